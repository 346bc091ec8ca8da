#pragma once

#include <QListView>
#include <QPointer>

class QMenu;

namespace arvexhub::launcher {

class Controller;
class GameListModel;

/// The games tab's grid of game cards over the game model's proxy. It keeps its selection
/// and the model's current game in step, starts a game on double-click or on the release of
/// Return, Enter or Space, offers a menu per game and says so when there are no games.
class GameListView final : public QListView {
  Q_OBJECT

public:
  GameListView(Controller* controller, QWidget* parent = nullptr);
  ~GameListView() override;
  Q_DISABLE_COPY_MOVE(GameListView)

  /// The menu of the game at that index, parented to the view and not shown yet; null when
  /// there is no game there or its download is running.
  QMenu* createContextMenu(const QModelIndex& index);

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void paintEvent(QPaintEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

private:
  void setupUi();
  void connectModel();
  GameListModel* gameModel() const;
  void selectGame(const QString& name);
  void playGameAt(const QModelIndex& index);
  void clearCurrent();
  void downloadGame(const QString& name);
  void showContextMenu(const QPoint& position);

  QPointer<Controller> controller_;
  int pressedKey_{Qt::Key_unknown};
};

} // namespace arvexhub::launcher
