#pragma once

#include "widgets/PropertiesPanel.h"

class QLabel;

namespace arvexhub::launcher {

class EbookListModel;

/// The details of the e-book model's current e-book beside the e-books grid: cover, title,
/// author, publisher and publication date. Empty and disabled without a current e-book.
class EbookPropertiesPanel final : public PropertiesPanel {
  Q_OBJECT

public:
  EbookPropertiesPanel(EbookListModel* model, QWidget* parent = nullptr);
  ~EbookPropertiesPanel() override;
  Q_DISABLE_COPY_MOVE(EbookPropertiesPanel)

  /// Shows the e-book of that name.
  void updateUi(const QString& name);

private:
  void setupUi();
  void followShownRow();
  void clearLabels();

  EbookListModel* model_{nullptr};
  QLabel* fullName_{nullptr};
  QLabel* details_{nullptr};
};

} // namespace arvexhub::launcher
