#include "widgets/AlbumListView.h"

#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/AlbumListModel.h"
#include "widgets/AlbumListItemDelegate.h"
#include "widgets/EmptyStateHint.h"
#include "widgets/LibraryGrid.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QSortFilterProxyModel>

namespace arvexhub::launcher {

AlbumListView::AlbumListView(Controller* controller, QWidget* parent)
    : QListView(parent)
    , controller_(controller) {
  setupUi();
}

AlbumListView::~AlbumListView() = default;

void AlbumListView::setupUi() {
  setUpLibraryGrid(this);
  setItemDelegate(new AlbumListItemDelegate(this));
  connect(this, &QWidget::customContextMenuRequested, this, &AlbumListView::showContextMenu);
  connect(this, &QAbstractItemView::doubleClicked, this, &AlbumListView::activate);
  if (albumModel() != nullptr) {
    connectModel();
  }
}

void AlbumListView::connectModel() {
  auto* albums = albumModel();
  setModel(albums->proxyModel());
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [albums](const QModelIndex& current) {
    // An invalid index (a click on empty space) clears the current album.
    const QString name = current.data(AlbumRole::Name).toString();
    if (!name.isEmpty() || !current.isValid()) {
      albums->setCurrentAlbumName(name);
    }
  });
  connect(albums, &AlbumListModel::currentAlbumChanged, this, &AlbumListView::selectAlbum);
}

AlbumListModel* AlbumListView::albumModel() const {
  return controller_ ? controller_->albumModel() : nullptr;
}

void AlbumListView::selectAlbum(const QString& name) {
  auto* albums = albumModel();
  if (albums == nullptr ||
      currentIndex().data(AlbumRole::Name).toString().compare(name, Qt::CaseInsensitive) == 0) {
    return;
  }
  const int row = albums->albumRowByName(name);
  const QModelIndex index = row < 0 ? QModelIndex() : albums->proxyModel()->mapFromSource(albums->index(row));
  if (index.isValid()) {
    setCurrentIndex(index);
  }
}

void AlbumListView::activate(const QModelIndex& index) {
  auto* albums = albumModel();
  if (albums == nullptr || !index.isValid() || index.data(AlbumRole::IsBusy).toBool()) {
    return;
  }
  const QString folder = index.data(AlbumRole::Path).toString();
  if (!index.data(AlbumRole::IsInstalled).toBool()) {
    albums->downloadAndInstallAlbum(index.data(AlbumRole::Name).toString());
  } else if (!folder.isEmpty()) {
    controller_->playWholeAlbum(folder);
  }
}

void AlbumListView::clearCurrent() {
  clearSelection();
  if (selectionModel() != nullptr) {
    selectionModel()->clearCurrentIndex();
  }
}

void AlbumListView::mousePressEvent(QMouseEvent* event) {
  if (indexAt(event->position().toPoint()).isValid()) {
    QListView::mousePressEvent(event);
    return;
  }
  clearCurrent();
  event->accept();
}

void AlbumListView::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  paintEmptyStateHint(this, QCoreApplication::translate("ArvexHubLauncher", "No albums added yet."));
}

QMenu* AlbumListView::createContextMenu(const QModelIndex& index) {
  if (albumModel() == nullptr || !index.isValid() || index.data(AlbumRole::IsBusy).toBool()) {
    return nullptr;
  }
  const QString name = index.data(AlbumRole::Name).toString();
  const QString folder = index.data(AlbumRole::Path).toString();
  auto* menu = new QMenu(this);
  if (index.data(AlbumRole::IsInstalled).toBool()) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Play Album"), this, [this, folder] {
      if (controller_ && !folder.isEmpty()) {
        controller_->playWholeAlbum(folder);
      }
    });
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Add Album to Playlist"), this,
                    [this, folder] {
                      if (controller_ && !folder.isEmpty()) {
                        controller_->addWholeAlbumToPlaylist(folder);
                      }
                    });
  } else {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Download Album"), this, [this, name] {
      if (auto* albums = albumModel()) {
        albums->downloadAndInstallAlbum(name);
      }
    });
  }
  menu->addSeparator();
  menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Show Album Information"), this,
                  [this, name] {
                    if (auto* albums = albumModel()) {
                      albums->setCurrentAlbumName(name);
                      controller_->preferences()->setAppPropertiesPanelVisible(true);
                    }
                  });
  return menu;
}

void AlbumListView::showContextMenu(const QPoint& position) {
  // The position is in viewport coordinates, like the index look-up.
  QMenu* menu = createContextMenu(indexAt(position));
  if (menu == nullptr) {
    return;
  }
  menu->exec(viewport()->mapToGlobal(position));
  menu->deleteLater();
}

} // namespace arvexhub::launcher
