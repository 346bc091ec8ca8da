#pragma once

#include "library/ItemListModel.h"
#include "library/MovieData.h"

namespace arvexhub::launcher {

template <>
struct RecordTraits<MovieData> : ItemTraits<MovieData> {
  using Roles =
      RoleFields<&MovieData::path, &MovieData::isPlaying, &MovieData::isBusy, &MovieData::downloadProgress,
                 &MovieData::name, &MovieData::animation, &MovieData::publisher, &MovieData::launchDate,
                 &MovieData::thumbnail, &MovieData::isInstalled, &MovieData::updateAvailable>;
  static_assert(Roles::count == MovieRole::UpdateAvailable - firstItemRole + 1, "a field for every role");
  static constexpr CatalogueText<MovieData> texts[] = {{"fullName", &MovieData::fullName},
                                                       {"animation", &MovieData::animation},
                                                       {"publisher", &MovieData::publisher},
                                                       {"launchDate", &MovieData::launchDate}};
  static constexpr auto picture = &MovieData::thumbnail;
  static constexpr auto playingMark = &MovieData::isPlaying;
  static constexpr int playingRole = MovieRole::IsPlaying;

  /// An installed movie has no newer version; one that is not follows the catalogue's link.
  static void mergeInto(MovieData& row, const MovieData& entry) {
    if (!row.isInstalled) {
      row.updateAvailable = !entry.url.isEmpty();
    }
  }
  static MovieData catalogueOnly(const MovieData& entry) {
    auto movie = entry;
    movie.updateAvailable = !entry.url.isEmpty();
    return movie;
  }
  static void markInstalled(MovieData& movie) {
    movie.isInstalled = true;
    movie.updateAvailable = false;
  }
  static void markFailed(MovieData& movie) {
    if (!movie.isInstalled) {
      movie.updateAvailable = true; // offer the download again
    }
  }
  static void markRemoved(MovieData& movie) {
    movie.isInstalled = false;
    movie.updateAvailable = !movie.url.isEmpty();
  }
};

/// Every installed movie, then every movie only the catalogue offers; it also knows the movie
/// the user selected and the one in the media player. The views show its proxy.
class MovieListModel final : public ItemListModel<MovieData> {
  Q_OBJECT
  Q_PROPERTY(QString currentMovieName READ currentMovieName NOTIFY currentMovieChanged)
  Q_PROPERTY(QString currentPlayingMovie READ currentPlayingMovie NOTIFY currentPlayingMovieChanged)
  Q_PROPERTY(int rowCount READ rowCount NOTIFY rowCountChanged)

public:
  explicit MovieListModel(QObject* parent = nullptr);
  ~MovieListModel() override;
  Q_DISABLE_COPY_MOVE(MovieListModel)

  /// Adds the movies of a folder laid out like the movies folder.
  void addMovieFolder(const QString& folder) {
    scanFolder(folder);
  }
  /// Adds one installed movie unless a movie of its folder's name (any case) is listed.
  void addMovie(const QString& movieFilePath) {
    addInstalledNow(movieFilePath);
  }
  /// First row of that name, ignoring case; -1 when none.
  int movieRowByName(const QString& name) const {
    return rowByName(name);
  }
  /// The title of the movie whose file that is; empty when none.
  QString movieNameByPath(const QString& path) const {
    return displayTextOfPath(path);
  }

  QString currentMovieName() const {
    return currentName();
  }
  void setCurrentMovieName(const QString& name) {
    setCurrentName(name);
  }
  QString currentPlayingMovie() const {
    return playingPath();
  }
  void setCurrentPlayingMovie(const QString& path) {
    setPlayingPath(path);
  }

public slots:
  /// Deletes the movie's folder; the row stays as a movie that can be downloaded again.
  void removeMovie(const QString& movieName) {
    removeItem(movieName);
  }
  /// The catalogue's reply handler.
  void onMovieListDownloaded() {
    onCatalogueDownloaded();
  }
  /// Downloads the row's own catalogue link.
  void downloadAndInstallMovie(const QString& movieName);
  void downloadAndInstallMovie(const QString& movieName, const QUrl& downloadUrl);

signals:
  void currentMovieChanged(const QString& name);
  void currentPlayingMovieChanged(const QString& path);
  void movieDownloadFinished(const QString& movieName);

protected:
  void downloadItem(const QString& name) override {
    downloadAndInstallMovie(name);
  }
};

} // namespace arvexhub::launcher
