#include "widgets/views/SongListView.h"

#include "app/Controller.h"
#include "library/SongListModel.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QListView>
#include <QMenu>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QtDebug>

namespace arvexhub::launcher {

SongListView::SongListView(Controller* controller, QWidget* parent)
    : QWidget(parent)
    , controller_(controller) {
  setupUi();
}

SongListView::~SongListView() = default;

void SongListView::setupUi() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  auto* top = new QHBoxLayout;
  top->addStretch();
  auto* back = new QToolButton(this);
  back->setText(QString(QChar(0x2191)));
  back->setToolTip(QStringLiteral("Back to Albums"));
  top->addWidget(back);
  layout->addLayout(top);
  list_ = new QListView(this);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  layout->addWidget(list_);
  connect(back, &QToolButton::clicked, this, &SongListView::backToAlbumList);
  connect(list_, &QWidget::customContextMenuRequested, this, &SongListView::showContextMenu);
  connect(list_, &QAbstractItemView::doubleClicked, this, &SongListView::playSongAt);
}

void SongListView::setModel(QAbstractItemModel* model) {
  list_->setModel(model);
  emit viewChanged();
}

SongListModel* SongListView::songModel() const {
  return qobject_cast<SongListModel*>(list_->model());
}

QString SongListView::songNameAt(const QModelIndex& index, const char* noModelMessage) const {
  if (songModel() == nullptr) {
    qWarning() << noModelMessage;
    return {};
  }
  const QString name = index.data(SongListModel::NameRole).toString();
  if (name.isEmpty()) {
    qWarning() << "SongListView: Empty song name for index" << index.row();
  }
  return name;
}

QMenu* SongListView::createContextMenu(const QModelIndex& index) {
  const QString name = songNameAt(index, "SongListView: No valid SongListModel set for context menu");
  if (name.isEmpty()) {
    return nullptr;
  }
  const int row = index.row();
  auto* menu = new QMenu(this);
  menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Play Song"), this,
                  [this, row, name] { startSong(row, name, true); });
  menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Add Song to Playlist"), this,
                  [this, row, name] { startSong(row, name, false); });
  return menu;
}

void SongListView::showContextMenu(const QPoint& position) {
  const QModelIndex index = list_->indexAt(position);
  if (!index.isValid()) {
    qDebug() << "SongListView: Invalid index for context menu at position" << position;
    return;
  }
  // Guarded: the view, and the menu with it, may be destroyed while the menu's loop runs.
  const QPointer<QMenu> menu = createContextMenu(index);
  if (menu.isNull()) {
    return;
  }
  menu->exec(list_->viewport()->mapToGlobal(position));
  if (menu) {
    menu->deleteLater();
  }
}

void SongListView::playSongAt(const QModelIndex& index) {
  if (!index.isValid()) {
    qDebug() << "SongListView: Invalid index for double-click";
    return;
  }
  const QString name = songNameAt(index, "SongListView: No valid SongListModel set for double-click");
  if (!name.isEmpty()) {
    startSong(index.row(), name, true);
  }
}

void SongListView::startSong(int row, const QString& name, bool play) {
  auto* songs = songModel();
  const QString path = songs != nullptr ? songs->getSongPathForRow(row) : QString();
  if (path.isEmpty()) {
    qWarning() << "SongListView: Failed to get path for song" << name;
    return;
  }
  if (!controller_) {
    return;
  }
  const QUrl url = QUrl::fromLocalFile(path);
  if (play) {
    qDebug() << "SongListView: Playing song" << name << "from" << path;
    controller_->playSong(url, name);
  } else {
    qDebug() << "SongListView: Adding song" << name << "to playlist from" << path;
    controller_->addSongToPlaylist(url, name);
  }
}

} // namespace arvexhub::launcher
