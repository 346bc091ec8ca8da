#pragma once

class QString;

namespace arvexhub::launcher {

class GameListModel;

/// Why a game of the catalogue is downloaded: a missing link is reported in the words of each.
enum class GameDownloadPurpose { Download, Update };

/// Downloads and installs the catalogue's archive of that game (any case). Without a record of
/// it or without a valid link nothing starts: a warning is logged and a modal box tells the user.
void downloadCatalogueGame(GameListModel* games, const QString& name, GameDownloadPurpose purpose);

} // namespace arvexhub::launcher
