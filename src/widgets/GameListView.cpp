#include "widgets/GameListView.h"

#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/GameListModel.h"
#include "widgets/EmptyStateHint.h"
#include "widgets/GameListItemDelegate.h"
#include "widgets/LibraryGrid.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSortFilterProxyModel>
#include <QtDebug>

#include <utility>

namespace arvexhub::launcher {
GameListView::GameListView(Controller* controller, QWidget* parent)
    : QListView(parent)
    , controller_(controller) {
  setupUi();
}

GameListView::~GameListView() = default;

void GameListView::setupUi() {
  setUpLibraryGrid(this);
  setItemDelegate(new GameListItemDelegate(this));
  connect(this, &QWidget::customContextMenuRequested, this, &GameListView::showContextMenu);
  connect(this, &QAbstractItemView::doubleClicked, this, &GameListView::playGameAt);
  if (gameModel() != nullptr) {
    connectModel();
  }
  // Nothing is selected at start.
  clearCurrent();
}

void GameListView::connectModel() {
  auto* games = gameModel();
  setModel(games->proxyModel());
  // A view that once had a current index does not make its first game current when it gets
  // the focus; the set-up clears it again.
  setCurrentIndex(model()->index(0, 0));
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [games](const QModelIndex& current) {
            const QString name = current.data(Qt::DisplayRole).toString();
            if (!name.isEmpty()) {
              games->setCurrentGameName(name);
            }
          });
  connect(games, &GameListModel::currentGameChanged, this, &GameListView::selectGame);
}

GameListModel* GameListView::gameModel() const {
  return controller_ ? controller_->model() : nullptr;
}

void GameListView::selectGame(const QString& name) {
  auto* games = gameModel();
  // Rows of the same name (in any case) count as that game: the selection stays where it is.
  if (games == nullptr ||
      currentIndex().data(Qt::DisplayRole).toString().compare(name, Qt::CaseInsensitive) == 0) {
    return;
  }
  const int row = games->gameRowByName(name);
  const QModelIndex index = row < 0 ? QModelIndex() : games->proxyModel()->mapFromSource(games->index(row));
  if (index.isValid()) {
    setCurrentIndex(index);
  }
}

void GameListView::playGameAt(const QModelIndex& index) {
  const QString path = index.data(GameRole::Path).toString();
  // A catalogue game has no start script; asking to play nothing would stop the running game.
  if (controller_ && !path.isEmpty()) {
    controller_->playGame(path);
  }
}

void GameListView::clearCurrent() {
  clearSelection();
  if (selectionModel() != nullptr) {
    selectionModel()->clearCurrentIndex();
  }
}

void GameListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QListView::currentChanged(current, previous);
  // An invalid index (a click on empty space) clears the current game.
  if (auto* games = gameModel()) {
    games->setCurrentGameName(current.data(Qt::DisplayRole).toString());
  }
}

void GameListView::mousePressEvent(QMouseEvent* event) {
  if (indexAt(event->position().toPoint()).isValid()) {
    QListView::mousePressEvent(event);
    return;
  }
  clearCurrent();
  event->accept();
}

void GameListView::mouseMoveEvent(QMouseEvent* event) {
  // No rubber band and no selection dragged along with a held button.
  if (event->buttons() != Qt::NoButton) {
    event->ignore();
    return;
  }
  QListView::mouseMoveEvent(event);
}

void GameListView::keyPressEvent(QKeyEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  if (isActivationKey(event->key())) {
    // Taken here, so Space does not toggle the selection; the game starts on the release.
    pressedKey_ = event->key();
    event->accept();
    return;
  }
  QListView::keyPressEvent(event);
}

void GameListView::keyReleaseEvent(QKeyEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  const int pressed = std::exchange(pressedKey_, static_cast<int>(Qt::Key_unknown));
  if (event->key() != pressed || !isActivationKey(pressed) || event->isAutoRepeat()) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  playGameAt(currentIndex());
  event->accept();
}

void GameListView::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  paintEmptyStateHint(this, QCoreApplication::translate("ArvexHubLauncher", "No Arvex games added yet."));
}

void GameListView::focusOutEvent(QFocusEvent* event) {
  // A key pressed here but released elsewhere must not start a game at a later release.
  pressedKey_ = Qt::Key_unknown;
  QListView::focusOutEvent(event);
}

QMenu* GameListView::createContextMenu(const QModelIndex& index) {
  auto* games = gameModel();
  if (games == nullptr || !index.isValid() || index.data(GameRole::IsBusy).toBool()) {
    return nullptr;
  }
  const QString path = index.data(GameRole::Path).toString();
  const QString name = index.data(Qt::DisplayRole).toString();
  const bool installed = !path.isEmpty();
  const bool running = installed && path == games->currentPlayingGame();

  auto* menu = new QMenu(this);
  if (index.data(GameRole::UpdateAvailable).toBool()) {
    menu->addAction(installed ? QCoreApplication::translate("ArvexHubLauncher", "Update Game")
                              : QCoreApplication::translate("ArvexHubLauncher", "Download"),
                    this, [this, name] {
                      clearCurrent();
                      downloadGame(name);
                    });
    menu->addSeparator();
  }
  if (running) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Stop Game"), this, [this] {
      if (controller_) {
        controller_->stopGame();
      }
    });
  } else {
    auto* play =
        menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Play Game"), this, [this, path] {
          if (controller_) {
            controller_->playGame(path);
          }
        });
    play->setShortcut(QKeySequence(Qt::Key_F5));
    play->setEnabled(installed);
  }
  menu->addSeparator();
  menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Show Game Information"), this,
                  [this, name] {
                    if (controller_) {
                      controller_->model()->setCurrentGameName(name);
                      controller_->preferences()->setAppPropertiesPanelVisible(true);
                    }
                  });
  return menu;
}

void GameListView::downloadGame(const QString& name) {
  auto* games = gameModel();
  if (games == nullptr) {
    return;
  }
  const GameData& game = games->gameDataByName(name);
  if (!game.name.isEmpty() && game.url.isValid()) {
    // Copies: the row changes as the download starts.
    games->downloadAndInstallGame(QString(game.name), QUrl(game.url));
    return;
  }
  qWarning() << "Could not find online data or valid URL for game:" << name << "to start download/update.";
  QMessageBox::critical(nullptr, QStringLiteral("Download Error"),
                        QStringLiteral("Could not find necessary information to download the game."),
                        QMessageBox::Ok);
}

void GameListView::showContextMenu(const QPoint& position) {
  // The position is in viewport coordinates, like the index look-up.
  QMenu* menu = createContextMenu(indexAt(position));
  if (menu == nullptr) {
    return;
  }
  menu->exec(viewport()->mapToGlobal(position));
  menu->deleteLater();
}

} // namespace arvexhub::launcher
