#pragma once

#include "library/AlbumData.h"
#include "library/ItemListModel.h"

namespace arvexhub::launcher {

template <>
struct RecordTraits<AlbumData> {
  static QPixmap& picture(AlbumData& album) {
    return album.thumbnail;
  }
  static const QPixmap& picture(const AlbumData& album) {
    return album.thumbnail;
  }
  static const QString& displayText(const AlbumData& album) {
    return album.fullName;
  }
  static bool isInstalled(const AlbumData& album) {
    return album.isInstalled;
  }
  static AlbumData fromDisk(const QString& folder);
  static QString pictureFile(const AlbumData& album);
  static AlbumData fromCatalogue(const QJsonObject& entry);
  static void mergeInto(AlbumData& row, const AlbumData& entry);
  static AlbumData catalogueOnly(const AlbumData& entry);
  static void markInstalled(AlbumData& row, const QString& folder);
  static void markFailed(AlbumData&) {}
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
  int albumRowByName(const QString& name) const;
  /// The album whose folder is exactly `path`; invalid when none.
  QModelIndex findIndexByPath(const QString& path) const;

  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  QString currentAlbumName() const;
  void setCurrentAlbumName(const QString& name);
  /// The folder of the album whose music plays (or a file in it); empty when none.
  QString currentPlayingAlbumPath() const;
  void setCurrentPlayingAlbumPath(const QString& path);

public slots:
  /// The catalogue's reply handler.
  void onAlbumListDownloaded();
  /// Downloads the catalogue's album of exactly that name into the albums folder.
  void downloadAndInstallAlbum(const QString& albumName);
  /// Deletes the album's folder; its row stays, as a catalogue album without picture.
  void removeAlbum(const QString& albumName);

signals:
  void albumDownloadFinished(const QString& albumName);
  void currentAlbumChanged(const QString& name);
  void currentPlayingAlbumChanged(const QString& path);

protected:
  void itemInstalled(const QString& name) override;
  int progressRole() const override;

private:
  QString currentAlbumName_;
  QString currentPlayingAlbumPath_;
};

} // namespace arvexhub::launcher
