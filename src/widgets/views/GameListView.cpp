#include "widgets/views/GameListView.h"

#include "widgets/views/CatalogueGameDownload.h"
#include "widgets/views/ListViewKinds.h"

#include <QCoreApplication>
#include <QMenu>

namespace arvexhub::launcher {

GameListView::GameListView(Controller* controller, QWidget* parent)
    : KindListView(controller, listViewKinds::games, parent) {}

void GameListView::openItem(const QModelIndex& index) {
  // A catalogue game has no start script; asking to play nothing would stop the running game.
  openPath(index, GameRole::Path, &Controller::playGame);
}

void GameListView::fillContextMenu(QMenu* menu, const QModelIndex& index) {
  const QString path = index.data(GameRole::Path).toString();
  const QString name = nameAt(index);
  const bool installed = !path.isEmpty();
  const bool running = installed && path == items()->currentPlayingGame();
  if (index.data(GameRole::UpdateAvailable).toBool()) {
    menu->addAction(installed ? QCoreApplication::translate("ArvexHubLauncher", "Update Game")
                              : QCoreApplication::translate("ArvexHubLauncher", "Download"),
                    this, [this, name] {
                      clearCurrent();
                      if (auto* games = items()) {
                        downloadCatalogueGame(games, name, GameDownloadPurpose::Download);
                      }
                    });
    menu->addSeparator();
  }
  if (running) {
    addControllerEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Stop Game"),
                       &Controller::stopGame);
  } else {
    auto* play = addControllerEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Play Game"),
                                    &Controller::playGame, path);
    play->setShortcut(QKeySequence(Qt::Key_F5));
    play->setEnabled(installed);
  }
  menu->addSeparator();
  addInformationEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Show Game Information"), name);
}

} // namespace arvexhub::launcher
