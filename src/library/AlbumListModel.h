#pragma once

#include "library/AlbumData.h"
#include "library/ItemListModel.h"

namespace arvexhub::launcher {

template <>
struct RecordTraits<AlbumData> : ItemTraits<AlbumData> {
  // The playing mark (265) is worked out from the playing path when asked for.
  using Roles =
      RoleFields<&AlbumData::name, &AlbumData::path, &AlbumData::thumbnail, &AlbumData::thumbnailPath,
                 &AlbumData::artist, &AlbumData::publisher, &AlbumData::releaseDate, &AlbumData::isInstalled,
                 nullptr, &AlbumData::isBusy, &AlbumData::downloadProgress>;
  static_assert(Roles::count == AlbumRole::DownloadProgress - firstItemRole + 1, "a field for every role");
  static constexpr CatalogueText<AlbumData> texts[] = {{"fullName", &AlbumData::fullName},
                                                       {"artist", &AlbumData::artist},
                                                       {"publisher", &AlbumData::publisher},
                                                       {"releaseDate", &AlbumData::releaseDate}};
  static constexpr auto picture = &AlbumData::thumbnail;
  static constexpr std::nullptr_t playingMark = nullptr;
  static constexpr int playingRole = AlbumRole::IsPlaying;

  static void readExtra(AlbumData& album, const QJsonObject& entry);
  static void markInstalled(AlbumData& album);
  static void markRemoved(AlbumData& album) {
    album.isInstalled = false;
    album.thumbnailPath.clear();
    album.thumbnail = QPixmap();
  }
  static void setPictureFile(AlbumData& album, const QString& file) {
    album.thumbnailPath = file;
  }
};

/// Every album folder of the albums folder (an album is its folder, whatever it holds), then
/// every album only the catalogue offers. The views show its proxy.
class AlbumListModel final : public ItemListModel<AlbumData> {
  Q_OBJECT

public:
  explicit AlbumListModel(QObject* parent = nullptr);
  ~AlbumListModel() override;
  Q_DISABLE_COPY_MOVE(AlbumListModel)

  /// First album of that name, ignoring case; -1 when none.
  int albumRowByName(const QString& name) const {
    return rowByName(name);
  }
  /// The album whose folder is exactly `path`; invalid when none.
  QModelIndex findIndexByPath(const QString& path) const;

  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  QString currentAlbumName() const {
    return currentName();
  }
  void setCurrentAlbumName(const QString& name) {
    setCurrentName(name);
  }
  /// The folder of the album whose music plays (or a file in it); empty when none.
  QString currentPlayingAlbumPath() const {
    return playingPath();
  }
  void setCurrentPlayingAlbumPath(const QString& path) {
    setPlayingPath(path);
  }

public slots:
  /// The catalogue's reply handler.
  void onAlbumListDownloaded() {
    onCatalogueDownloaded();
  }
  /// Downloads the catalogue's album of exactly that name into the albums folder.
  void downloadAndInstallAlbum(const QString& albumName);
  /// Deletes the album's folder; its row stays, as a catalogue album without picture.
  void removeAlbum(const QString& albumName) {
    removeItem(albumName);
  }

signals:
  void albumDownloadFinished(const QString& albumName);
  void currentAlbumChanged(const QString& name);
  void currentPlayingAlbumChanged(const QString& path);

protected:
  void downloadItem(const QString& name) override {
    downloadAndInstallAlbum(name);
  }
};

} // namespace arvexhub::launcher
