#pragma once

#include <QPixmap>
#include <QString>

namespace arvexhub::launcher {

/// One music album: a folder in the albums folder, or only offered by the catalogue.
struct AlbumData {
  QString thumbnailPath; ///< the file the thumbnail was loaded from, when there is one
  QString path;          ///< absolute path of the album folder; empty while only in the catalogue
  QString name;          ///< folder name up to its first dot, and catalogue identifier
  QString fullName;
  QString artist;
  QString publisher;
  QString releaseDate;
  QString url; ///< download link of the album's zip archive, as text
  QPixmap thumbnail;
  bool isInstalled{false};
  bool isBusy{false};
  double downloadProgress{-1.0};
  QString sha256; ///< optional checksum of the archive, hexadecimal
};

/// Item-data roles of the album model; views, delegates and panels use the numbers.
namespace AlbumRole {
enum : int {
  Name = 257,
  Path = 258,
  Thumbnail = 259,
  ThumbnailPath = 260,
  Artist = 261,
  Publisher = 262,
  ReleaseDate = 263,
  IsInstalled = 264,
  IsPlaying = 265,
  IsBusy = 266,
  DownloadProgress = 267,
};
} // namespace AlbumRole

} // namespace arvexhub::launcher
