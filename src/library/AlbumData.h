#pragma once

#include "library/ItemRecord.h"

#include <QPixmap>

namespace arvexhub::launcher {

/// One music album: a folder in the albums folder (its path), whatever it holds, or only offered
/// by the catalogue. Its name is the folder's name up to its first dot.
struct AlbumData : ItemRecord {
  QString thumbnailPath; ///< the file the thumbnail was loaded from, when there is one
  QString artist;
  QString releaseDate;
  QString url; ///< download link of the album's zip archive, as text
  QPixmap thumbnail;
  bool isInstalled{false};
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
