#pragma once

#include <QSize>
#include <QString>

namespace arvexhub::launcher {

/// How a kind's pictures are kept in memory: at the size its cards show them.
enum class PictureFit {
  Fill,   ///< cropped to fill the card
  Height, ///< scaled to the card's height, aspect kept
};

/// What differs between the kinds of the library, apart from their records.
struct LibraryKind {
  QString folderName;      ///< "games": ~/.arvexhub/games/ and ~/.arvexhub/thumbnails/games/
  QString documentPath;    ///< the catalogue document, "/games.json"
  QString logWord;         ///< "gamelist", in log messages
  QString mainFilePattern; ///< "*.command"; empty when the item is its folder
  PictureFit pictureFit{PictureFit::Fill};
  bool mainFileExecutable{false}; ///< the main file is a program (a game's start script)
  QString rescanMessage{QStringLiteral("Directory changed, rescanning:")}; ///< logged before a rescan
  bool catalogueInNameOrder{false}; ///< merge (and append) catalogue entries by name, not document order
  bool pictureNeedsUrl{false};      ///< an entry without a picture link shows no picture, not even a cached one
};

/// The size of the cards pictures are shown on.
inline constexpr QSize cardPictureSize{200, 102};

} // namespace arvexhub::launcher
