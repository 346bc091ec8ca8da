#include "library/AlbumListModel.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QtDebug>

namespace arvexhub::launcher {
namespace {

LibraryKind albumsKind() {
  LibraryKind kind;
  kind.folderName = QStringLiteral("albums");
  kind.documentPath = QStringLiteral("/music.json");
  kind.logWord = QStringLiteral("album list");
  kind.pictureFit = PictureFit::Height;
  kind.rescanMessage = QStringLiteral("Album directory changed, rescanning:");
  kind.pictureNeedsUrl = true; // an entry without a picture link shows none, cached or not
  kind.installLogs = {QStringLiteral("Download failed:"),
                      QStringLiteral("Failed to extract album archive: {archive}"), QString()};
  return kind;
}

QString text(const QJsonObject& entry, const char* key) {
  return entry.value(QLatin1String(key)).toString();
}

/// Whether the playing path is the album folder or a file in it.
bool playsFrom(const QString& folder, const QString& playingPath) {
  return !folder.isEmpty() && (playingPath == folder || playingPath.startsWith(folder + QLatin1Char('/')));
}

/// The picture a new album folder gets: the catalogue's own file as received, else the card's.
QByteArray coverBytes(const AlbumData& album) {
  QFile cached(album.thumbnailPath);
  if (!album.thumbnailPath.isEmpty() && cached.open(QIODevice::ReadOnly)) {
    return cached.readAll();
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  album.thumbnail.save(&buffer, "PNG");
  return bytes;
}

} // namespace

AlbumData RecordTraits<AlbumData>::fromDisk(const QString& folder) {
  AlbumData album;
  album.path = folder;
  album.name = QFileInfo(folder).baseName();
  album.fullName = album.name;
  album.isInstalled = true;
  return album;
}

QString RecordTraits<AlbumData>::pictureFile(const AlbumData& album) {
  return album.path + QLatin1Char('/') + album.name + QStringLiteral(".png");
}

AlbumData RecordTraits<AlbumData>::fromCatalogue(const QJsonObject& entry) {
  AlbumData album;
  album.name = text(entry, "name");
  if (album.name.contains(QLatin1Char('.'))) {
    // An installed album is named by its folder up to the first dot: such a name could be
    // downloaded but never found again on disk.
    qWarning() << "Skipping catalogue album whose name holds a dot:" << album.name;
    album.name.clear();
    return album;
  }
  album.fullName = text(entry, "fullName");
  album.artist = text(entry, "artist");
  album.publisher = text(entry, "publisher");
  album.releaseDate = text(entry, "releaseDate");
  album.url = text(entry, "url");
  album.sha256 = text(entry, "sha256");
  return album;
}

void RecordTraits<AlbumData>::mergeInto(AlbumData& row, const AlbumData& entry) {
  row.fullName = entry.fullName;
  row.artist = entry.artist;
  row.publisher = entry.publisher;
  row.releaseDate = entry.releaseDate;
  row.url = entry.url;
  row.sha256 = entry.sha256;
}

AlbumData RecordTraits<AlbumData>::catalogueOnly(const AlbumData& entry) {
  return entry;
}

void RecordTraits<AlbumData>::markInstalled(AlbumData& row, const QString& folder) {
  row.path = folder;
  row.isInstalled = true;
  const auto cover = pictureFile(row);
  if (!row.thumbnail.isNull() && QFileInfo::exists(cover)) {
    row.thumbnailPath = cover;
  }
}

AlbumListModel::AlbumListModel(QObject* parent)
    : ItemListModel<AlbumData>(albumsKind(), parent) {
  start();
}

AlbumListModel::~AlbumListModel() = default;

int AlbumListModel::albumRowByName(const QString& name) const {
  return rowByName(name);
}

QModelIndex AlbumListModel::findIndexByPath(const QString& path) const {
  const int row = rowByPath(path);
  return row < 0 ? QModelIndex() : index(row);
}

QVariant AlbumListModel::data(const QModelIndex& index, int role) const {
  const auto* album = recordAt(index);
  if (!album) {
    return {};
  }
  switch (role) {
  case Qt::DisplayRole:
    return album->fullName;
  case AlbumRole::Name:
    return album->name;
  case AlbumRole::Path:
    return album->path;
  case AlbumRole::Thumbnail:
    return album->thumbnail;
  case AlbumRole::ThumbnailPath:
    return album->thumbnailPath;
  case AlbumRole::Artist:
    return album->artist;
  case AlbumRole::Publisher:
    return album->publisher;
  case AlbumRole::ReleaseDate:
    return album->releaseDate;
  case AlbumRole::IsInstalled:
    return album->isInstalled;
  case AlbumRole::IsPlaying:
    return playsFrom(album->path, currentPlayingAlbumPath_);
  case AlbumRole::IsBusy:
    return album->isBusy;
  case AlbumRole::DownloadProgress:
    return album->downloadProgress;
  default:
    return {};
  }
}

QString AlbumListModel::currentAlbumName() const {
  return currentAlbumName_;
}

void AlbumListModel::setCurrentAlbumName(const QString& name) {
  if (name != currentAlbumName_) {
    currentAlbumName_ = name;
    emit currentAlbumChanged(name);
  }
}

QString AlbumListModel::currentPlayingAlbumPath() const {
  return currentPlayingAlbumPath_;
}

void AlbumListModel::setCurrentPlayingAlbumPath(const QString& path) {
  if (path == currentPlayingAlbumPath_) {
    return;
  }
  // The mark is worked out from the path when asked for, so a rescan cannot lose it.
  currentPlayingAlbumPath_ = path;
  allRowsChanged({AlbumRole::IsPlaying});
  emit currentPlayingAlbumChanged(path);
}

void AlbumListModel::onAlbumListDownloaded() {
  onCatalogueDownloaded();
}

void AlbumListModel::downloadAndInstallAlbum(const QString& albumName) {
  const auto* found = catalogueRecord(albumName);
  if (found == nullptr) {
    return;
  }
  const auto entry = *found;
  int row = rowByName(albumName);
  if (row < 0) {
    appendRow(Traits::catalogueOnly(entry));
    row = rowByName(albumName);
  }
  InstallRequest request;
  request.sha256 = entry.sha256;
  const auto& album = rows_[row];
  if (!album.thumbnail.isNull()) {
    request.extraFiles.insert(album.name + QStringLiteral(".png"), coverBytes(album));
  }
  downloadRow(row, QUrl(entry.url, QUrl::TolerantMode), request);
}

void AlbumListModel::removeAlbum(const QString& albumName) {
  const int row = rowByName(albumName);
  if (row < 0 || rows_[row].path.isEmpty()) {
    return; // nothing installed: there is no folder to delete
  }
  auto& album = rows_[row];
  if (isDownloading(album.name)) {
    qWarning() << "Refusing to remove an album while it is downloaded:" << album.name;
    return;
  }
  const WatcherSilence silence(this);
  const auto folder = album.path;
  // Deleted first: an album still on disk must not be offered for download.
  if (QFileInfo::exists(folder)) {
    removeItemFolder(folder);
  }
  if (QFileInfo::exists(folder)) {
    qWarning() << "Failed to remove album directory:" << folder;
    return;
  }
  album.isInstalled = false;
  album.path.clear();
  album.thumbnailPath.clear();
  album.thumbnail = QPixmap();
  rebuildIndexes();
  rowChanged(row);
  if (!currentAlbumName_.isEmpty() && currentAlbumName_ == albumName) {
    setCurrentAlbumName({});
  }
  if (playsFrom(folder, currentPlayingAlbumPath_)) {
    setCurrentPlayingAlbumPath({});
  }
}

void AlbumListModel::itemInstalled(const QString& name) {
  emit albumDownloadFinished(name);
}

int AlbumListModel::progressRole() const {
  return AlbumRole::DownloadProgress;
}

} // namespace arvexhub::launcher
