#include "widgets/views/CatalogueGameDownload.h"

#include "library/GameListModel.h"

#include <QMessageBox>
#include <QtDebug>

namespace arvexhub::launcher {
namespace {

struct MissingLinkReport {
  const char* logEnd;
  const char* title;
  const char* text;
};

// In the order of GameDownloadPurpose.
const MissingLinkReport missingLinkReports[] = {
    {"to start download/update.", "Download Error",
     "Could not find necessary information to download the game."},
    {"to start update.", "Update Error", "Could not find necessary information to update the game."},
};

} // namespace

void downloadCatalogueGame(GameListModel* games, const QString& name, GameDownloadPurpose purpose) {
  const GameData& game = games->gameDataByName(name);
  if (!game.name.isEmpty() && game.url.isValid()) {
    // A copy: the row changes as the download starts.
    games->downloadAndInstallGame(name, QUrl(game.url));
    return;
  }
  const MissingLinkReport& report = missingLinkReports[static_cast<int>(purpose)];
  qWarning() << "Could not find online data or valid URL for game:" << name << report.logEnd;
  QMessageBox::critical(nullptr, QLatin1String(report.title), QLatin1String(report.text), QMessageBox::Ok);
}

} // namespace arvexhub::launcher
