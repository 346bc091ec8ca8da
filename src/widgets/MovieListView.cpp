#include "widgets/MovieListView.h"

#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/MovieListModel.h"
#include "widgets/EmptyStateHint.h"
#include "widgets/LibraryGrid.h"
#include "widgets/MovieListItemDelegate.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSortFilterProxyModel>

#include <utility>

namespace arvexhub::launcher {
MovieListView::MovieListView(Controller* controller, QWidget* parent)
    : QListView(parent)
    , controller_(controller) {
  setupUi();
}

MovieListView::~MovieListView() = default;

void MovieListView::setupUi() {
  setUpLibraryGrid(this);
  setItemDelegate(new MovieListItemDelegate(this));
  connect(this, &QWidget::customContextMenuRequested, this, &MovieListView::showContextMenu);
  connect(this, &QAbstractItemView::doubleClicked, this, &MovieListView::activate);
  if (movieModel() != nullptr) {
    connectModel();
  }
  // Nothing is selected at start.
  clearCurrent();
}

void MovieListView::connectModel() {
  auto* movies = movieModel();
  setModel(movies->proxyModel());
  setCurrentIndex(model()->index(0, 0));
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [movies](const QModelIndex& current) {
            const QString name = current.data(MovieRole::Name).toString();
            if (!name.isEmpty()) {
              movies->setCurrentMovieName(name);
            }
          });
  connect(movies, &MovieListModel::currentMovieChanged, this, &MovieListView::selectMovie);
}

MovieListModel* MovieListView::movieModel() const {
  return controller_ ? controller_->movieModel() : nullptr;
}

void MovieListView::selectMovie(const QString& name) {
  const auto* proxy = model();
  if (proxy == nullptr) {
    return;
  }
  for (int row = 0; row < proxy->rowCount(); ++row) {
    const QModelIndex index = proxy->index(row, 0);
    if (index.data(MovieRole::Name).toString().compare(name, Qt::CaseInsensitive) == 0) {
      if (index != currentIndex()) {
        setCurrentIndex(index);
      }
      return;
    }
  }
}

void MovieListView::playMovieAt(const QModelIndex& index) {
  const QString path = index.data(MovieRole::Path).toString();
  if (controller_ && !path.isEmpty()) {
    controller_->playMovie(path);
  }
}

void MovieListView::activate(const QModelIndex& index) {
  if (index.data(MovieRole::IsInstalled).toBool() && !index.data(MovieRole::Path).toString().isEmpty()) {
    playMovieAt(index);
  } else if (index.data(MovieRole::UpdateAvailable).toBool() && movieModel() != nullptr) {
    movieModel()->downloadAndInstallMovie(index.data(MovieRole::Name).toString());
  }
}

void MovieListView::clearCurrent() {
  clearSelection();
  if (selectionModel() != nullptr) {
    selectionModel()->clearCurrentIndex();
  }
}

void MovieListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QListView::currentChanged(current, previous);
  const QString name = current.data(MovieRole::Name).toString();
  if (auto* movies = movieModel(); movies != nullptr && !name.isEmpty()) {
    movies->setCurrentMovieName(name);
  }
}

void MovieListView::mousePressEvent(QMouseEvent* event) {
  if (indexAt(event->position().toPoint()).isValid()) {
    QListView::mousePressEvent(event);
    return;
  }
  clearCurrent();
  event->accept();
}

void MovieListView::keyPressEvent(QKeyEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  if (isActivationKey(event->key())) {
    // Taken here, so Space does not toggle the selection; the movie starts on the release.
    pressedKey_ = event->key();
    event->accept();
    return;
  }
  QListView::keyPressEvent(event);
}

void MovieListView::keyReleaseEvent(QKeyEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  const int pressed = std::exchange(pressedKey_, static_cast<int>(Qt::Key_unknown));
  if (event->key() != pressed || !isActivationKey(pressed) || event->isAutoRepeat()) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  playMovieAt(currentIndex());
  event->accept();
}

void MovieListView::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  paintEmptyStateHint(this, QCoreApplication::translate("ArvexHubLauncher", "No movies added yet."));
}

void MovieListView::focusOutEvent(QFocusEvent* event) {
  // A key pressed here but released elsewhere must not start a movie at a later release.
  pressedKey_ = Qt::Key_unknown;
  QListView::focusOutEvent(event);
}

QMenu* MovieListView::createContextMenu(const QModelIndex& index) {
  auto* movies = movieModel();
  if (movies == nullptr || !index.isValid() || index.data(MovieRole::IsBusy).toBool()) {
    return nullptr;
  }
  const QString name = index.data(MovieRole::Name).toString();
  auto* menu = new QMenu(this);
  const bool installed = index.data(MovieRole::IsInstalled).toBool();
  if (!installed && index.data(MovieRole::UpdateAvailable).toBool()) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Download"), this, [this, name] {
      if (auto* model = movieModel()) {
        model->downloadAndInstallMovie(name);
      }
    });
    menu->addSeparator();
  }
  addWatchEntries(menu, index);
  menu->addSeparator();
  menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Show Movie Information"), this,
                  [this, name] {
                    if (controller_) {
                      controller_->movieModel()->setCurrentMovieName(name);
                      controller_->preferences()->setAppPropertiesPanelVisible(true);
                    }
                  });
  return menu;
}

void MovieListView::addWatchEntries(QMenu* menu, const QModelIndex& index) {
  const QString path = index.data(MovieRole::Path).toString();
  if (!index.data(MovieRole::IsInstalled).toBool()) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Watch Movie"))->setEnabled(false);
    return;
  }
  if (!path.isEmpty() && path == movieModel()->currentPlayingMovie()) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Stop Movie"), this, [this] {
      if (controller_) {
        controller_->stopMovie();
      }
    });
  } else {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Watch Movie"), this, [this, path] {
      if (controller_) {
        controller_->playMovie(path);
      }
    });
  }
  menu->addSeparator();
  menu->addAction(QCoreApplication::translate("MovieListView", "Add to Media Player Playlist"), this,
                  [this, path] {
                    if (controller_) {
                      controller_->addMovieToPlaylist(path, controller_->movieModel()->movieNameByPath(path));
                    }
                  });
}

void MovieListView::showContextMenu(const QPoint& position) {
  // The position is in viewport coordinates, like the index look-up.
  QMenu* menu = createContextMenu(indexAt(position));
  if (menu == nullptr) {
    return;
  }
  menu->exec(viewport()->mapToGlobal(position));
  menu->deleteLater();
}

} // namespace arvexhub::launcher
