#pragma once

#include <QSize>
#include <QString>

#include <utility>

namespace arvexhub::launcher {

/// How a kind's pictures are kept in memory: at the size its cards show them.
enum class PictureFit {
  Fill,   ///< cropped to fill the card
  Height, ///< scaled to the card's height, aspect kept
};

/// What a failed installation logs: "{archive}", "{folder}" and "{name}" stand for the downloaded
/// file, the item's folder and its name; a reason follows. An empty text logs nothing.
struct InstallLogs {
  QString networkError{QStringLiteral("Download network error:")};
  QString extractFailed{QStringLiteral("Failed to extract {archive} to {folder}")};
  QString noMainFile{QStringLiteral("No .command file found after extraction in {folder}")};
};

/// How the item a path stands for is named when the controller removes it.
enum class ItemOfPath {
  AbsolutePath,     ///< the folder itself, made absolute
  LastComponent,    ///< the last component of the absolute path
  ContainingFolder, ///< the name of the folder that holds the file
  BaseName,         ///< the file name up to its first dot
};

/// What differs between the kinds of the library, apart from their records.
struct LibraryKind {
  LibraryKind(QString folder, QString document, QString word, QString pattern = {})
      : folderName(std::move(folder))
      , documentPath(std::move(document))
      , logWord(std::move(word))
      , mainFilePattern(std::move(pattern)) {}

  QString folderName;      ///< "games": ~/.arvexhub/games/ and ~/.arvexhub/thumbnails/games/
  QString documentPath;    ///< the catalogue document, "/games.json"
  QString logWord;         ///< "gamelist", in log messages
  QString mainFilePattern; ///< "*.command"; empty when the item is its folder
  PictureFit pictureFit{PictureFit::Fill};
  bool mainFileExecutable{false}; ///< the main file is a program (a game's start script)
  QString rescanMessage{QStringLiteral("Directory changed, rescanning:")}; ///< logged before a rescan
  bool pictureNeedsUrl{false}; ///< an entry without a picture link shows no picture, not even a cached one
  bool missingReplyIsError{false}; ///< a reply handler called without a reply logs a download failure
  InstallLogs installLogs;
  ItemOfPath itemOfPath{ItemOfPath::LastComponent};
  QString removeFailedLog; ///< warned, with the folder, when an item's folder stays on disk
  QString removedLog;      ///< logged, with the folder, when it is gone; empty: nothing
};

/// The size of the cards pictures are shown on.
inline constexpr QSize cardPictureSize{200, 102};

/// The item-data role every kind's model answers with the file its row's picture was read from
/// (empty when none), for views that show the picture larger than a card.
inline constexpr int pictureFileRole = 401;

} // namespace arvexhub::launcher
