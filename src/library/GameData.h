#pragma once

#include <QPixmap>
#include <QString>
#include <QUrl>

namespace arvexhub::launcher {

/// One game: installed (it has a start script) or only offered by the catalogue.
struct GameData {
  QString path;          ///< absolute path of the start script; empty while only in the catalogue
  QString name;          ///< folder name and catalogue identifier
  QPixmap icon;          ///< picture shown in lists
  bool isPlaying{false}; ///< this game's start script is the one running
  QString fullName;
  QString developer;
  QString publisher;
  bool demo{false};
  QUrl url;        ///< download link of the game's zip archive
  QString version; ///< version offered by the catalogue
  QString launchDate;
  bool updateAvailable{false};   ///< the game, or a newer version of it, can be downloaded
  bool isBusy{false};            ///< a download and installation is running
  double downloadProgress{-1.0}; ///< 0..1 while downloading, 1 for a game found on disk, else -1
  QString sha256;                ///< optional checksum of the archive, hexadecimal
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
