#include "widgets/views/AlbumListView.h"

#include "widgets/views/ListViewKinds.h"

#include <QCoreApplication>
#include <QMenu>

namespace arvexhub::launcher {

AlbumListView::AlbumListView(Controller* controller, QWidget* parent)
    : KindListView(controller, listViewKinds::albums, parent) {}

void AlbumListView::openItem(const QModelIndex& index) {
  auto* albums = items();
  if (albums == nullptr || !index.isValid() || index.data(AlbumRole::IsBusy).toBool()) {
    return;
  }
  if (!index.data(AlbumRole::IsInstalled).toBool()) {
    albums->downloadAndInstallAlbum(nameAt(index));
  } else {
    openPath(index, AlbumRole::Path, &Controller::playWholeAlbum);
  }
}

void AlbumListView::fillContextMenu(QMenu* menu, const QModelIndex& index) {
  const QString name = nameAt(index);
  const QString folder = index.data(AlbumRole::Path).toString();
  if (index.data(AlbumRole::IsInstalled).toBool()) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Play Album"), this, [this, folder] {
      if (controller() != nullptr && !folder.isEmpty()) {
        controller()->playWholeAlbum(folder);
      }
    });
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Add Album to Playlist"), this,
                    [this, folder] {
                      if (controller() != nullptr && !folder.isEmpty()) {
                        controller()->addWholeAlbumToPlaylist(folder);
                      }
                    });
  } else {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Download Album"), this, [this, name] {
      if (auto* albums = items()) {
        albums->downloadAndInstallAlbum(name);
      }
    });
  }
  menu->addSeparator();
  addInformationEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Show Album Information"), name);
}

} // namespace arvexhub::launcher
