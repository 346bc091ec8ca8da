#pragma once

#include "library/ItemListModel.h"
#include "library/MovieData.h"

namespace arvexhub::launcher {

template <>
struct RecordTraits<MovieData> {
  static QPixmap& picture(MovieData& movie) {
    return movie.thumbnail;
  }
  static const QPixmap& picture(const MovieData& movie) {
    return movie.thumbnail;
  }
  static const QString& displayText(const MovieData& movie) {
    return movie.fullName;
  }
  static bool isInstalled(const MovieData& movie) {
    return movie.isInstalled;
  }
  static MovieData fromDisk(const QString& movieFile);
  static QString pictureFile(const MovieData& movie);
  static MovieData fromCatalogue(const QJsonObject& entry);
  static void mergeInto(MovieData& row, const MovieData& entry);
  static MovieData catalogueOnly(const MovieData& entry);
  static void markInstalled(MovieData& row, const QString& movieFile);
  static void markFailed(MovieData& row);
  static void setPictureFile(MovieData&, const QString&) {}
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
  void addMovieFolder(const QString& folder);
  /// Adds one installed movie unless a movie of its folder's name (any case) is listed.
  void addMovie(const QString& movieFilePath);
  /// First row of that name, ignoring case; -1 when none.
  int movieRowByName(const QString& name) const;
  /// The title of the movie whose file that is; empty when none.
  QString movieNameByPath(const QString& path) const;

  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  QString currentMovieName() const;
  void setCurrentMovieName(const QString& name);
  QString currentPlayingMovie() const;
  void setCurrentPlayingMovie(const QString& path);

public slots:
  /// The catalogue's reply handler.
  void onMovieListDownloaded();
  /// Deletes the movie's folder; the row stays as a movie that can be downloaded again.
  void removeMovie(const QString& movieName);
  /// Downloads the row's own catalogue link.
  void downloadAndInstallMovie(const QString& movieName);
  void downloadAndInstallMovie(const QString& movieName, const QUrl& downloadUrl);

signals:
  void currentMovieChanged(const QString& name);
  void currentPlayingMovieChanged(const QString& path);
  void movieDownloadFinished(const QString& movieName);

protected:
  void itemInstalled(const QString& name) override;
  int progressRole() const override;

private:
  QString currentMovieName_;
  QString currentPlayingMovie_;
};

} // namespace arvexhub::launcher
