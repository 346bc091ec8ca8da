#include "widgets/MovieListView.h"

#include "library/MovieListModel.h"
#include "widgets/MovieListItemDelegate.h"

#include <QCoreApplication>
#include <QMenu>

namespace arvexhub::launcher {
namespace {
LibraryListView::Traits movieTraits() {
  LibraryListView::Traits traits;
  traits.nameRole = MovieRole::Name;
  traits.busyRole = MovieRole::IsBusy;
  // The panel keeps showing the last movie when the selection is cleared.
  traits.clearingClearsCurrentItem = false;
  return traits;
}
} // namespace

MovieListView::MovieListView(Controller* controller, QWidget* parent)
    : KindListView(controller, movieTraits(),
                   {&Controller::movieModel, &MovieListModel::setCurrentMovieName,
                    &MovieListModel::currentMovieChanged,
                    QT_TRANSLATE_NOOP("ArvexHubLauncher", "No movies added yet.")},
                   parent) {}

void MovieListView::openItem(const QModelIndex& index) {
  const QString path = index.data(MovieRole::Path).toString();
  if (controller() != nullptr && !path.isEmpty()) {
    controller()->playMovie(path);
  }
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
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Stop Movie"), this, [this] {
      if (controller() != nullptr) {
        controller()->stopMovie();
      }
    });
  } else {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Watch Movie"), this, [this, path] {
      if (controller() != nullptr) {
        controller()->playMovie(path);
      }
    });
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
