#pragma once

#include <QListView>
#include <QPointer>

class QMenu;

namespace arvexhub::launcher {

class Controller;
class EbookListModel;

/// The e-books tab's grid of covers over the e-book model's proxy. It keeps its selection and
/// the model's current e-book in step, opens an installed e-book in the reader on double-click
/// or on the release of Return, Enter or Space (a double-click on one that is not installed
/// downloads it), offers a menu per e-book and says so when there are none.
class EbookListView final : public QListView {
  Q_OBJECT

public:
  EbookListView(Controller* controller, QWidget* parent = nullptr);
  ~EbookListView() override;
  Q_DISABLE_COPY_MOVE(EbookListView)

  /// The menu of the e-book at that index, parented to the view and not shown yet; null when
  /// there is no e-book there or its download is running.
  QMenu* createContextMenu(const QModelIndex& index);

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void paintEvent(QPaintEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

private:
  void setupUi();
  void connectModel();
  EbookListModel* ebookModel() const;
  void selectEbook(const QString& name);
  /// Opens the e-book in the reader when it is installed; true when it did.
  bool readEbookAt(const QModelIndex& index);
  void activate(const QModelIndex& index);
  void showInformation(const QString& name);
  void clearCurrent();
  void showContextMenu(const QPoint& position);

  QPointer<Controller> controller_;
  int pressedKey_{Qt::Key_unknown};
};

} // namespace arvexhub::launcher
