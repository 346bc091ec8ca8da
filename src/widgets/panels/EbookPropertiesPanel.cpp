#include "widgets/panels/EbookPropertiesPanel.h"

#include "library/EbookListModel.h"

namespace arvexhub::launcher {

EbookPropertiesPanel::EbookPropertiesPanel(EbookListModel* model, QWidget* parent)
    : MediaPropertiesPanel(model, Kind::Ebooks, parent) {
  follow(model, &EbookListModel::currentEbookName, &EbookListModel::currentEbookChanged);
}

} // namespace arvexhub::launcher
