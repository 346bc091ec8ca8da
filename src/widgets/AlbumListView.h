#pragma once

#include <QListView>
#include <QPointer>

class QMenu;

namespace arvexhub::launcher {

class AlbumListModel;
class Controller;

/// The music tab's grid of album cards over the album model's proxy. It keeps its selection
/// and the model's current album in step, plays an installed album (or downloads a catalogue
/// one) on double-click, offers a menu per album and says so when there are no albums. Every
/// album operation is given the album's installed folder.
class AlbumListView final : public QListView {
  Q_OBJECT

public:
  AlbumListView(Controller* controller, QWidget* parent = nullptr);
  ~AlbumListView() override;
  Q_DISABLE_COPY_MOVE(AlbumListView)

  /// The menu of the album at that index of the view's model, parented to the view and not
  /// shown yet; null when there is no album there or its download is running.
  QMenu* createContextMenu(const QModelIndex& index);

public slots:
  void showContextMenu(const QPoint& position);

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

private:
  void setupUi();
  void connectModel();
  AlbumListModel* albumModel() const;
  void selectAlbum(const QString& name);
  void activate(const QModelIndex& index);
  void clearCurrent();

  QPointer<Controller> controller_;
};

} // namespace arvexhub::launcher
