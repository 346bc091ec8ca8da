#pragma once

#include <QPointer>
#include <QWidget>

class QAbstractItemModel;
class QListView;
class QMenu;

namespace arvexhub::launcher {

class Controller;
class SongListModel;

/// The songs of one album: a list with a button back to the albums. A song plays on
/// double-click; its menu plays it or adds it to the media player's playlist.
class SongListView final : public QWidget {
  Q_OBJECT

public:
  SongListView(Controller* controller, QWidget* parent = nullptr);
  ~SongListView() override;
  Q_DISABLE_COPY_MOVE(SongListView)

  /// Shows the songs of that model (a `SongListModel`).
  void setModel(QAbstractItemModel* model);
  /// The menu of the song at that index of the list, parented to the view and not shown yet;
  /// null when there is no song there.
  QMenu* createContextMenu(const QModelIndex& index);

signals:
  void backToAlbumList();
  /// The list shows another model.
  void viewChanged();

private:
  void setupUi();
  void showContextMenu(const QPoint& position);
  void playSongAt(const QModelIndex& index);
  SongListModel* songModel() const;
  /// The song's name, or empty (logged) when the list has no song model or the row no name.
  QString songNameAt(const QModelIndex& index, const char* noModelMessage) const;
  void startSong(int row, const QString& name, bool play);

  QPointer<Controller> controller_;
  QListView* list_{nullptr};
};

} // namespace arvexhub::launcher
