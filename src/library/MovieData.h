#pragma once

#include "library/ItemRecord.h"

#include <QPixmap>
#include <QUrl>

namespace arvexhub::launcher {

/// One movie: installed in the movies folder (its path is the movie file) or only offered by the
/// catalogue.
struct MovieData : ItemRecord {
  QString animation;
  QString launchDate;
  QUrl url; ///< download link of the movie's zip archive
  QPixmap thumbnail;
  bool isPlaying{false};
  bool isInstalled{false};
  bool updateAvailable{false};
};

namespace MovieRole {
enum : int {
  Path = 257,
  IsPlaying = 258,
  IsBusy = 259,
  DownloadProgress = 260,
  Name = 261,
  Animation = 262,
  Publisher = 263,
  LaunchDate = 264,
  Thumbnail = 265,
  IsInstalled = 266,
  UpdateAvailable = 267,
};
} // namespace MovieRole

} // namespace arvexhub::launcher
