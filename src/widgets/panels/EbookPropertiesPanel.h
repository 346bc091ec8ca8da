#pragma once

#include "widgets/panels/MediaPropertiesPanel.h"

namespace arvexhub::launcher {

class EbookListModel;

/// The details of the e-book model's current e-book beside the e-books grid: cover, title,
/// author, publisher and publication date. Empty and disabled without a current e-book.
class EbookPropertiesPanel final : public MediaPropertiesPanel {
  Q_OBJECT

public:
  EbookPropertiesPanel(EbookListModel* model, QWidget* parent = nullptr);
};

} // namespace arvexhub::launcher
