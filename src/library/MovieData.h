#pragma once

#include <QPixmap>
#include <QString>
#include <QUrl>

namespace arvexhub::launcher {

/// One movie: installed in the movies folder or only offered by the catalogue.
struct MovieData {
  QString name; ///< folder name and catalogue identifier
  QString fullName;
  QString animation;
  QString publisher;
  QString launchDate;
  QUrl url;     ///< download link of the movie's zip archive
  QString path; ///< absolute path of the movie file
  QPixmap thumbnail;
  bool isPlaying{false};
  bool isBusy{false};
  bool isInstalled{false};
  bool updateAvailable{false};
  double downloadProgress{-1.0};
  QString sha256;
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
