#include "widgets/EbookPropertiesPanel.h"

#include "library/EbookListModel.h"

namespace arvexhub::launcher {

EbookPropertiesPanel::EbookPropertiesPanel(EbookListModel* model, QWidget* parent)
    : MediaPropertiesPanel(model,
                           {QStringLiteral("EbookPropertiesPanel"),
                            QStringLiteral("ebookThumbnail"),
                            QStringLiteral("ebookFullName"),
                            QStringLiteral("ebookDetails"),
                            EbookRole::Thumbnail,
                            EbookRole::DownloadProgress,
                            {{QStringLiteral("<b>Author:</b> %1"), EbookRole::Author},
                             {QStringLiteral("<b>Publisher:</b> %1"), EbookRole::Publisher},
                             {QStringLiteral("<b>Published:</b> %1"), EbookRole::PublicationDate}}},
                           parent)
    , model_(model) {
  connect(model_, &EbookListModel::currentEbookChanged, this, &EbookPropertiesPanel::updateUi);
  followCurrentItem(model_, EbookRole::DownloadProgress);
}

EbookPropertiesPanel::~EbookPropertiesPanel() = default;

QString EbookPropertiesPanel::currentName() const {
  return model_->currentEbookName();
}

int EbookPropertiesPanel::rowByName(const QString& name) const {
  return model_->ebookRowByName(name);
}

} // namespace arvexhub::launcher
