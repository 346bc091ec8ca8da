#pragma once

#include "widgets/LibraryListView.h"

namespace arvexhub::launcher {

class EbookListModel;

/// The e-books tab's grid of covers over the e-book model's proxy. It keeps its selection and
/// the model's current e-book in step, opens an installed e-book in the reader on double-click
/// or on the release of Return, Enter or Space (a double-click on one that is not installed
/// downloads it), offers a menu per e-book and says so when there are none.
class EbookListView final : public LibraryListView {
  Q_OBJECT

public:
  EbookListView(Controller* controller, QWidget* parent = nullptr);
  ~EbookListView() override;
  Q_DISABLE_COPY_MOVE(EbookListView)

protected:
  void setCurrentItemName(const QString& name) override;
  int sourceRowByName(const QString& name) const override;
  void openItem(const QModelIndex& index) override;
  void activateItem(const QModelIndex& index) override;
  void fillContextMenu(QMenu* menu, const QModelIndex& index) override;
  QString emptyText() const override;

private:
  EbookListModel* ebookModel() const;
  /// Opens the e-book in the reader when it is installed; true when it did.
  bool readEbookAt(const QModelIndex& index);
};

} // namespace arvexhub::launcher
