#pragma once

#include "widgets/views/KindListView.h"

namespace arvexhub::launcher {

struct EbookListItemDelegate;
class EbookListModel;

/// The e-books tab's grid of covers over the e-book model's proxy. It keeps its selection and
/// the model's current e-book in step, opens an installed e-book in the reader on double-click
/// or on the release of Return, Enter or Space (a double-click on one that is not installed
/// downloads it), offers a menu per e-book and says so when there are none.
class EbookListView final : public KindListView<EbookListModel, EbookListItemDelegate> {
  Q_OBJECT

public:
  EbookListView(Controller* controller, QWidget* parent = nullptr);

protected:
  void openItem(const QModelIndex& index) override;
  void activateItem(const QModelIndex& index) override;
  void fillContextMenu(QMenu* menu, const QModelIndex& index) override;

private:
  /// Opens the e-book in the reader when it is installed; true when it did.
  bool readEbookAt(const QModelIndex& index);
};

} // namespace arvexhub::launcher
