#include "AlbumItems.h"

#include "Ffmpeg.h"
#include "SampleMedia.h"
#include "SongWave.h"

#include <QDir>
#include <QFile>

namespace arvexhub::sample {
namespace {

QString songFileName(int track, const SampleSong& song, const QString& suffix) {
  return QStringLiteral("%1 %2.%3").arg(track, 2, 10, QLatin1Char('0')).arg(song.title, suffix);
}

/// The WAV encoded as MP3 with the song's tags; empty with `error` set when ffmpeg fails.
QByteArray encodeMp3(const QString& ffmpeg, const SampleAlbum& album, const SampleSong& song,
                     const QByteArray& wav, const QString& workFolder, QString& error) {
  const QDir work(workFolder);
  const auto wavPath = work.filePath(QStringLiteral("song.wav"));
  const auto mp3Path = work.filePath(QStringLiteral("song.mp3"));
  QFile input(wavPath);
  if (!input.open(QIODevice::WriteOnly) || input.write(wav) != wav.size()) {
    error = QStringLiteral("cannot write %1").arg(wavPath);
    return {};
  }
  input.close();
  const auto arguments = QStringList{QStringLiteral("-i"), wavPath} +
                         ffmpegOptions("-c:a libmp3lame -b:a 96k") + reproducibleOutput() +
                         QStringList{QStringLiteral("-metadata"),
                                     QStringLiteral("title=") + song.title,
                                     QStringLiteral("-metadata"),
                                     QStringLiteral("artist=") + album.artist,
                                     QStringLiteral("-metadata"),
                                     QStringLiteral("album=") + album.fullName,
                                     mp3Path};
  error = runFfmpeg(ffmpeg, arguments);
  QFile output(mp3Path);
  return error.isEmpty() && output.open(QIODevice::ReadOnly) ? output.readAll() : QByteArray();
}

QString addSongs(const QString& ffmpeg, const SampleAlbum& album, const QString& workFolder,
                 CatalogueItem& item) {
  for (int index = 0; index < album.songs.size(); ++index) {
    const auto& song = album.songs.at(index);
    const auto wav = songWav(song);
    if (!song.mp3 || ffmpeg.isEmpty()) {
      item.files.append({songFileName(index + 1, song, QStringLiteral("wav")), wav});
      continue;
    }
    QString error;
    const auto mp3 = encodeMp3(ffmpeg, album, song, wav, workFolder, error);
    if (mp3.isEmpty()) {
      return QStringLiteral("album %1: %2").arg(album.name, error);
    }
    item.files.append({songFileName(index + 1, song, QStringLiteral("mp3")), mp3});
  }
  return {};
}

} // namespace

CataloguePart albumItems(const QString& workFolder) {
  const auto ffmpeg = ffmpegProgram();
  CataloguePart part;
  if (ffmpeg.isEmpty()) {
    part.error = ffmpegMissing(QStringLiteral("the sample songs are written as WAV only"));
  }
  for (const auto& album : sampleAlbums()) {
    CatalogueItem item{album.name,
                       {{QStringLiteral("fullName"), album.fullName},
                        {QStringLiteral("artist"), album.artist},
                        {QStringLiteral("publisher"), album.publisher},
                        {QStringLiteral("releaseDate"), album.releaseDate}},
                       {},
                       thumbnailPng(album.art)};
    if (item.thumbnailPng.isEmpty()) {
      return {{}, QStringLiteral("cannot draw the album art of %1").arg(album.name)};
    }
    item.files.append({album.name + QStringLiteral(".png"), item.thumbnailPng});
    if (auto error = addSongs(ffmpeg, album, workFolder, item); !error.isEmpty()) {
      return {{}, error};
    }
    part.items.append(item);
  }
  return part;
}

} // namespace arvexhub::sample
