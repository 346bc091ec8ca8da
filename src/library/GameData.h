#pragma once

#include "library/ItemRecord.h"

#include <QPixmap>
#include <QUrl>

namespace arvexhub::launcher {

/// One game: installed (its path is the start script) or only offered by the catalogue.
struct GameData : ItemRecord {
  QPixmap icon;          ///< picture shown in lists
  bool isPlaying{false}; ///< this game's start script is the one running
  QString developer;
  bool demo{false};
  QUrl url;        ///< download link of the game's zip archive
  QString version; ///< version offered by the catalogue
  QString launchDate;
  bool updateAvailable{false}; ///< the game, or a newer version of it, can be downloaded
};

/// Item-data roles of the game model; views and delegates use the numbers.
namespace GameRole {
enum : int {
  Path = 257,
  IsPlaying = 258,
  UpdateAvailable = 259,
  IsBusy = 260,
  DownloadProgress = 261,
};
} // namespace GameRole

} // namespace arvexhub::launcher
