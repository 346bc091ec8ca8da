#include "widgets/AlbumListView.h"

#include "library/AlbumListModel.h"
#include "widgets/AlbumListItemDelegate.h"

#include <QCoreApplication>
#include <QMenu>

namespace arvexhub::launcher {
namespace {
LibraryListView::Traits albumTraits() {
  LibraryListView::Traits traits;
  traits.nameRole = AlbumRole::Name;
  traits.busyRole = AlbumRole::IsBusy;
  // Albums open on double-click only, and the grid's first album becomes current with the focus.
  traits.keysOpen = false;
  traits.startsWithoutCurrent = false;
  return traits;
}
} // namespace

AlbumListView::AlbumListView(Controller* controller, QWidget* parent)
    : KindListView(controller, albumTraits(),
                   {&Controller::albumModel, &AlbumListModel::setCurrentAlbumName,
                    &AlbumListModel::currentAlbumChanged,
                    QT_TRANSLATE_NOOP("ArvexHubLauncher", "No albums added yet.")},
                   parent) {}

void AlbumListView::openItem(const QModelIndex& index) {
  auto* albums = items();
  if (albums == nullptr || !index.isValid() || index.data(AlbumRole::IsBusy).toBool()) {
    return;
  }
  const QString folder = index.data(AlbumRole::Path).toString();
  if (!index.data(AlbumRole::IsInstalled).toBool()) {
    albums->downloadAndInstallAlbum(nameAt(index));
  } else if (!folder.isEmpty()) {
    controller()->playWholeAlbum(folder);
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
