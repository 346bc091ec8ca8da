#include "widgets/GameListView.h"

#include "app/Controller.h"
#include "library/GameListModel.h"
#include "widgets/CatalogueGameDownload.h"
#include "widgets/GameListItemDelegate.h"

#include <QCoreApplication>
#include <QMenu>

namespace arvexhub::launcher {
namespace {
LibraryListView::Traits gameTraits() {
  LibraryListView::Traits traits;
  traits.busyRole = GameRole::IsBusy;
  traits.dragKeepsSelection = true;
  return traits;
}
} // namespace

GameListView::GameListView(Controller* controller, QWidget* parent)
    : LibraryListView(controller, gameTraits(), parent) {
  setItemDelegate(new GameListItemDelegate(this));
  if (auto* games = gameModel()) {
    connect(games, &GameListModel::currentGameChanged, this, &GameListView::selectItem);
  }
  setUpModel(gameModel());
}

GameListView::~GameListView() = default;

GameListModel* GameListView::gameModel() const {
  return controller() != nullptr ? controller()->model() : nullptr;
}

void GameListView::setCurrentItemName(const QString& name) {
  gameModel()->setCurrentGameName(name);
}

int GameListView::sourceRowByName(const QString& name) const {
  return gameModel()->gameRowByName(name);
}

void GameListView::openItem(const QModelIndex& index) {
  const QString path = index.data(GameRole::Path).toString();
  // A catalogue game has no start script; asking to play nothing would stop the running game.
  if (controller() != nullptr && !path.isEmpty()) {
    controller()->playGame(path);
  }
}

QString GameListView::emptyText() const {
  return QCoreApplication::translate("ArvexHubLauncher", "No Arvex games added yet.");
}

void GameListView::fillContextMenu(QMenu* menu, const QModelIndex& index) {
  const QString path = index.data(GameRole::Path).toString();
  const QString name = nameAt(index);
  const bool installed = !path.isEmpty();
  const bool running = installed && path == gameModel()->currentPlayingGame();
  if (index.data(GameRole::UpdateAvailable).toBool()) {
    menu->addAction(installed ? QCoreApplication::translate("ArvexHubLauncher", "Update Game")
                              : QCoreApplication::translate("ArvexHubLauncher", "Download"),
                    this, [this, name] {
                      clearCurrent();
                      if (auto* games = gameModel()) {
                        downloadCatalogueGame(games, name, GameDownloadPurpose::Download);
                      }
                    });
    menu->addSeparator();
  }
  if (running) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Stop Game"), this, [this] {
      if (controller() != nullptr) {
        controller()->stopGame();
      }
    });
  } else {
    auto* play =
        menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Play Game"), this, [this, path] {
          if (controller() != nullptr) {
            controller()->playGame(path);
          }
        });
    play->setShortcut(QKeySequence(Qt::Key_F5));
    play->setEnabled(installed);
  }
  menu->addSeparator();
  addInformationEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Show Game Information"), name);
}

} // namespace arvexhub::launcher
