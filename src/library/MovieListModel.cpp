#include "library/MovieListModel.h"

#include <QtDebug>

namespace arvexhub::launcher {
namespace {

LibraryKind moviesKind() {
  LibraryKind kind(QStringLiteral("movies"), QStringLiteral("/movies.json"), QStringLiteral("movielist"),
                   QStringLiteral("*.mp4"));
  kind.pictureNeedsUrl = true; // an entry without a picture link shows none, cached or not
  kind.installLogs.extractFailed = QStringLiteral("Failed to extract {archive}");
  kind.installLogs.noMainFile = QStringLiteral("No .mp4 file found after extraction for {name}");
  kind.removeFailedLog = QStringLiteral("Could not remove the movie folder:");
  return kind;
}

} // namespace

MovieListModel::MovieListModel(QObject* parent)
    : ItemListModel<MovieData>(moviesKind(), parent) {
  start(&MovieListModel::currentMovieChanged, &MovieListModel::currentPlayingMovieChanged,
        &MovieListModel::movieDownloadFinished);
}

MovieListModel::~MovieListModel() = default;

void MovieListModel::downloadAndInstallMovie(const QString& movieName) {
  const int row = rowByName(movieName);
  if (row >= 0) {
    downloadAndInstallMovie(movieName, rows_[row].url);
  }
}

void MovieListModel::downloadAndInstallMovie(const QString& movieName, const QUrl& downloadUrl) {
  const int row = rowByName(movieName);
  if (row < 0) {
    return;
  }
  if (!downloadUrl.isValid()) {
    qWarning() << "Download failed for" << movieName << "due to invalid URL.";
    return failRow(row);
  }
  downloadRow(row, downloadUrl);
}

} // namespace arvexhub::launcher
