#include "widgets/GameListView.h"

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
    : KindListView(controller, gameTraits(),
                   {&Controller::model, &GameListModel::setCurrentGameName,
                    &GameListModel::currentGameChanged,
                    QT_TRANSLATE_NOOP("ArvexHubLauncher", "No Arvex games added yet.")},
                   parent) {}

void GameListView::openItem(const QModelIndex& index) {
  const QString path = index.data(GameRole::Path).toString();
  // A catalogue game has no start script; asking to play nothing would stop the running game.
  if (controller() != nullptr && !path.isEmpty()) {
    controller()->playGame(path);
  }
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
