#pragma once

#include <QListView>
#include <QPointer>

class QMenu;

namespace arvexhub::launcher {

class Controller;
class MovieListModel;

/// The movies tab's grid of movie cards over the movie model's proxy. It keeps its selection
/// and the model's current movie in step, plays a movie (or downloads one from the catalogue)
/// on double-click, plays on the release of Return, Enter or Space, offers a menu per movie
/// and says so when there are no movies.
class MovieListView final : public QListView {
  Q_OBJECT

public:
  MovieListView(Controller* controller, QWidget* parent = nullptr);
  ~MovieListView() override;
  Q_DISABLE_COPY_MOVE(MovieListView)

  /// The menu of the movie at that index, parented to the view and not shown yet; null when
  /// there is no movie there or its download is running.
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
  MovieListModel* movieModel() const;
  void selectMovie(const QString& name);
  void playMovieAt(const QModelIndex& index);
  void activate(const QModelIndex& index);
  void clearCurrent();
  void addWatchEntries(QMenu* menu, const QModelIndex& index);
  void showContextMenu(const QPoint& position);

  QPointer<Controller> controller_;
  int pressedKey_{Qt::Key_unknown};
};

} // namespace arvexhub::launcher
