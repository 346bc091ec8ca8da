#include "library/AlbumListModel.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QtDebug>

namespace arvexhub::launcher {
namespace {

LibraryKind albumsKind() {
  LibraryKind kind(QStringLiteral("albums"), QStringLiteral("/music.json"), QStringLiteral("album list"));
  kind.pictureFit = PictureFit::Height;
  kind.rescanMessage = QStringLiteral("Album directory changed, rescanning:");
  kind.pictureNeedsUrl = true; // an entry without a picture link shows none, cached or not
  kind.installLogs = {QStringLiteral("Download failed:"),
                      QStringLiteral("Failed to extract album archive: {archive}"), QString()};
  kind.itemOfPath = ItemOfPath::BaseName;
  kind.removeFailedLog = QStringLiteral("Failed to remove album directory:");
  return kind;
}

/// Whether the playing path is the album folder or a file in it.
bool playsFrom(const QString& folder, const QString& playingPath) {
  return !folder.isEmpty() && (playingPath == folder || playingPath.startsWith(folder + QLatin1Char('/')));
}

/// The picture a new album folder gets: the catalogue's own file as stored, else the card's.
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

void RecordTraits<AlbumData>::readExtra(AlbumData& album, const QJsonObject&) {
  if (album.name.contains(QLatin1Char('.'))) {
    // An installed album is named by its folder up to the first dot: such a name could be
    // downloaded but never found again on disk.
    qWarning() << "Skipping catalogue album whose name holds a dot:" << album.name;
    album.name.clear();
  }
}

void RecordTraits<AlbumData>::markInstalled(AlbumData& album) {
  album.isInstalled = true;
  const auto cover = album.path + QLatin1Char('/') + album.name + QStringLiteral(".png");
  if (!album.thumbnail.isNull() && QFileInfo::exists(cover)) {
    album.thumbnailPath = cover;
  }
}

AlbumListModel::AlbumListModel(QObject* parent)
    : ItemListModel<AlbumData>(albumsKind(), parent) {
  start(&AlbumListModel::currentAlbumChanged, &AlbumListModel::currentPlayingAlbumChanged,
        &AlbumListModel::albumDownloadFinished);
}

AlbumListModel::~AlbumListModel() = default;

QModelIndex AlbumListModel::findIndexByPath(const QString& path) const {
  const int row = rowByPath(path);
  return row < 0 ? QModelIndex() : index(row);
}

QVariant AlbumListModel::data(const QModelIndex& index, int role) const {
  // Worked out from the path when asked for, so a rescan cannot lose the mark.
  if (role == AlbumRole::IsPlaying && recordAt(index) != nullptr) {
    return playsFrom(recordAt(index)->path, playingPath());
  }
  return ItemListModel<AlbumData>::data(index, role);
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
  const auto& album = rows_[row];
  QHash<QString, QByteArray> cover;
  if (!album.thumbnail.isNull()) {
    cover.insert(album.name + QStringLiteral(".png"), coverBytes(album));
  }
  downloadRow(row, QUrl(entry.url, QUrl::TolerantMode), cover);
}

} // namespace arvexhub::launcher
