#include "library/MovieListModel.h"

#include "library/Pictures.h"

#include <QFileInfo>
#include <QtDebug>

namespace arvexhub::launcher {
namespace {

LibraryKind moviesKind() {
  LibraryKind kind;
  kind.folderName = QStringLiteral("movies");
  kind.documentPath = QStringLiteral("/movies.json");
  kind.logWord = QStringLiteral("movielist");
  kind.mainFilePattern = QStringLiteral("*.mp4");
  kind.pictureNeedsUrl = true; // an entry without a picture link shows none, cached or not
  kind.installLogs.extractFailed = QStringLiteral("Failed to extract {archive}");
  kind.installLogs.noMainFile = QStringLiteral("No .mp4 file found after extraction for {name}");
  return kind;
}

QString text(const QJsonObject& entry, const char* key) {
  return entry.value(QLatin1String(key)).toString();
}

QString folderOf(const QString& file) {
  return file.left(file.lastIndexOf(QLatin1Char('/')));
}

} // namespace

MovieData RecordTraits<MovieData>::fromDisk(const QString& movieFile) {
  const auto folder = folderOf(movieFile);
  MovieData movie;
  movie.path = movieFile;
  movie.name = folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1);
  movie.fullName = movie.name;
  movie.isInstalled = true;
  return movie;
}

QString RecordTraits<MovieData>::pictureFile(const MovieData& movie) {
  return folderOf(movie.path) + QLatin1Char('/') + movie.name + QStringLiteral(".png");
}

MovieData RecordTraits<MovieData>::fromCatalogue(const QJsonObject& entry) {
  MovieData movie;
  movie.name = text(entry, "name");
  movie.fullName = text(entry, "fullName");
  movie.animation = text(entry, "animation");
  movie.publisher = text(entry, "publisher");
  movie.launchDate = text(entry, "launchDate");
  movie.url = QUrl(text(entry, "url"), QUrl::TolerantMode);
  movie.sha256 = text(entry, "sha256");
  return movie;
}

void RecordTraits<MovieData>::mergeInto(MovieData& row, const MovieData& entry) {
  row.fullName = entry.fullName;
  row.animation = entry.animation;
  row.publisher = entry.publisher;
  row.launchDate = entry.launchDate;
  row.url = entry.url;
  row.sha256 = entry.sha256;
  // An installed movie has no newer version; one that is not follows the catalogue's link.
  if (!row.isInstalled) {
    row.updateAvailable = !entry.url.isEmpty();
  }
}

MovieData RecordTraits<MovieData>::catalogueOnly(const MovieData& entry) {
  auto movie = entry;
  movie.path.clear();
  movie.isInstalled = false;
  movie.updateAvailable = !entry.url.isEmpty();
  return movie;
}

void RecordTraits<MovieData>::markInstalled(MovieData& row, const QString& movieFile) {
  row.path = movieFile;
  row.isInstalled = true;
  row.updateAvailable = false;
}

void RecordTraits<MovieData>::markFailed(MovieData& row) {
  if (!row.isInstalled) {
    row.updateAvailable = true; // offer the download again
  }
}

MovieListModel::MovieListModel(QObject* parent)
    : ItemListModel<MovieData>(moviesKind(), parent) {
  start();
}

MovieListModel::~MovieListModel() = default;

void MovieListModel::addMovieFolder(const QString& folder) {
  scanFolder(folder);
}

void MovieListModel::addMovie(const QString& movieFilePath) {
  auto movie = Traits::fromDisk(movieFilePath);
  if (rowByName(movie.name) >= 0) {
    return;
  }
  const WatcherSilence silence(this);
  movie.thumbnail = Pictures::load(Traits::pictureFile(movie), kind().pictureFit);
  appendRow(movie);
}

int MovieListModel::movieRowByName(const QString& name) const {
  return rowByName(name);
}

QString MovieListModel::movieNameByPath(const QString& path) const {
  const int row = rowByPath(path);
  return row < 0 ? QString() : rows_[row].fullName;
}

QVariant MovieListModel::data(const QModelIndex& index, int role) const {
  const auto* movie = recordAt(index);
  if (!movie) {
    return {};
  }
  switch (role) {
  case Qt::DisplayRole:
    return movie->fullName;
  case MovieRole::Path:
    return movie->path;
  case MovieRole::IsPlaying:
    return movie->isPlaying;
  case MovieRole::IsBusy:
    return movie->isBusy;
  case MovieRole::DownloadProgress:
    return movie->downloadProgress;
  case MovieRole::Name:
    return movie->name;
  case MovieRole::Animation:
    return movie->animation;
  case MovieRole::Publisher:
    return movie->publisher;
  case MovieRole::LaunchDate:
    return movie->launchDate;
  case MovieRole::Thumbnail:
    return movie->thumbnail;
  case MovieRole::IsInstalled:
    return movie->isInstalled;
  case MovieRole::UpdateAvailable:
    return movie->updateAvailable;
  default:
    return {};
  }
}

QString MovieListModel::currentMovieName() const {
  return currentMovieName_;
}

void MovieListModel::setCurrentMovieName(const QString& name) {
  if (name != currentMovieName_) {
    currentMovieName_ = name;
    emit currentMovieChanged(name);
  }
}

QString MovieListModel::currentPlayingMovie() const {
  return currentPlayingMovie_;
}

void MovieListModel::setCurrentPlayingMovie(const QString& path) {
  if (path == currentPlayingMovie_) {
    return;
  }
  currentPlayingMovie_ = path;
  for (auto& movie : rows_) {
    movie.isPlaying = !path.isEmpty() && movie.path == path;
  }
  allRowsChanged({MovieRole::IsPlaying});
  emit currentPlayingMovieChanged(path);
}

void MovieListModel::removeMovie(const QString& movieName) {
  const int row = rowByName(movieName);
  // A catalogue row has no folder: the folder of an empty path would be the working directory.
  if (row < 0 || rows_[row].path.isEmpty()) {
    return;
  }
  const WatcherSilence silence(this);
  auto& movie = rows_[row];
  const auto folder = folderOf(movie.path);
  removeItemFolder(folder);
  if (QFileInfo::exists(movie.path)) {
    qWarning() << "Could not remove the movie folder:" << folder;
    return;
  }
  movie.isInstalled = false;
  movie.path.clear();
  // The row stays so the movie can be downloaded again.
  movie.updateAvailable = !movie.url.isEmpty();
  rebuildIndexes();
  rowChanged(row);
  if (!currentMovieName_.isEmpty() && currentMovieName_ == movieName) {
    setCurrentMovieName({});
  }
  if (currentPlayingMovie_.startsWith(folder + QLatin1Char('/'))) {
    setCurrentPlayingMovie({});
  }
}

void MovieListModel::onMovieListDownloaded() {
  onCatalogueDownloaded();
}

void MovieListModel::downloadAndInstallMovie(const QString& movieName) {
  const int row = rowByName(movieName);
  if (row >= 0) {
    downloadAndInstallMovie(movieName, QUrl(rows_[row].url));
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
  const auto* entry = catalogueRecord(rows_[row].name);
  InstallRequest request;
  request.sha256 = entry != nullptr ? entry->sha256 : QString();
  downloadRow(row, downloadUrl, request);
}

void MovieListModel::itemInstalled(const QString& name) {
  emit movieDownloadFinished(name);
}

int MovieListModel::progressRole() const {
  return MovieRole::DownloadProgress;
}

} // namespace arvexhub::launcher
