#include "widgets/views/MovieListView.h"

#include "widgets/views/ListViewKinds.h"

#include <QCoreApplication>
#include <QMenu>

namespace arvexhub::launcher {

MovieListView::MovieListView(Controller* controller, QWidget* parent)
    : KindListView(controller, listViewKinds::movies, parent) {}

void MovieListView::openItem(const QModelIndex& index) {
  openPath(index, MovieRole::Path, &Controller::playMovie);
}

void MovieListView::activateItem(const QModelIndex& index) {
  if (index.data(MovieRole::IsInstalled).toBool() && !index.data(MovieRole::Path).toString().isEmpty()) {
    openItem(index);
  } else if (index.data(MovieRole::UpdateAvailable).toBool() && items() != nullptr) {
    items()->downloadAndInstallMovie(nameAt(index));
  }
}

void MovieListView::fillContextMenu(QMenu* menu, const QModelIndex& index) {
  const QString name = nameAt(index);
  if (!index.data(MovieRole::IsInstalled).toBool() && index.data(MovieRole::UpdateAvailable).toBool()) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Download"), this, [this, name] {
      if (auto* movies = items()) {
        movies->downloadAndInstallMovie(name);
      }
    });
    menu->addSeparator();
  }
  addWatchEntries(menu, index);
  menu->addSeparator();
  addInformationEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Show Movie Information"), name);
}

void MovieListView::addWatchEntries(QMenu* menu, const QModelIndex& index) {
  const QString path = index.data(MovieRole::Path).toString();
  if (!index.data(MovieRole::IsInstalled).toBool()) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Watch Movie"))->setEnabled(false);
    return;
  }
  if (!path.isEmpty() && path == items()->currentPlayingMovie()) {
    addControllerEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Stop Movie"),
                       &Controller::stopMovie);
  } else {
    addControllerEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Watch Movie"),
                       &Controller::playMovie, path);
  }
  menu->addSeparator();
  menu->addAction(QCoreApplication::translate("MovieListView", "Add to Media Player Playlist"), this,
                  [this, path] {
                    if (controller() != nullptr) {
                      controller()->addMovieToPlaylist(path, items()->movieNameByPath(path));
                    }
                  });
}

} // namespace arvexhub::launcher
