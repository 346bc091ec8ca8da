#include "MovieItems.h"

#include "Ffmpeg.h"
#include "SampleMedia.h"

#include <QDir>
#include <QFile>

namespace arvexhub::sample {
namespace {

QStringList encodeArguments(const SampleMovie& movie, const QString& mp4) {
  const auto video = movie.videoSource + QStringLiteral("=size=640x360:rate=24");
  const auto sound = QStringLiteral("sine=frequency=%1:beep_factor=4:sample_rate=44100").arg(movie.toneHz);
  return ffmpegOptions("-f lavfi -i") + QStringList{video} + ffmpegOptions("-f lavfi -i") +
         QStringList{sound} +
         ffmpegOptions("-t 4 -map 0:v -map 1:a -c:v libx264 -preset veryfast -crf 30 -pix_fmt yuv420p "
                       "-c:a aac -b:a 64k -movflags +faststart") +
         reproducibleOutput() +
         QStringList{QStringLiteral("-metadata"), QStringLiteral("title=") + movie.fullName, mp4};
}

/// A frame from the middle of the movie, at the size of a card's picture or a little more.
QStringList frameArguments(const QString& mp4, const QString& png) {
  return ffmpegOptions("-ss 1.5 -i") + QStringList{mp4} + ffmpegOptions("-frames:v 1 -vf scale=320:-2") +
         reproducibleOutput() + QStringList{png};
}

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString makeMovie(const QString& ffmpeg, const SampleMovie& movie, const QString& workFolder,
                  CatalogueItem& item) {
  const QDir work(workFolder);
  const auto mp4 = work.filePath(movie.name + QStringLiteral(".mp4"));
  const auto png = work.filePath(movie.name + QStringLiteral(".png"));
  for (const auto& arguments : {encodeArguments(movie, mp4), frameArguments(mp4, png)}) {
    if (auto error = runFfmpeg(ffmpeg, arguments); !error.isEmpty()) {
      return QStringLiteral("movie %1: %2").arg(movie.name, error);
    }
  }
  const auto video = readAll(mp4);
  item.thumbnailPng = readAll(png);
  if (video.isEmpty() || item.thumbnailPng.isEmpty()) {
    return QStringLiteral("movie %1: ffmpeg wrote no file").arg(movie.name);
  }
  item.name = movie.name;
  item.fields = {
      {QStringLiteral("fullName"), movie.fullName},
      {QStringLiteral("animation"), movie.studio},
      {QStringLiteral("publisher"), movie.publisher},
      {QStringLiteral("launchDate"), movie.launchDate},
  };
  item.files = {{movie.name + QStringLiteral(".mp4"), video},
                {movie.name + QStringLiteral(".png"), item.thumbnailPng}};
  return {};
}

} // namespace

CataloguePart movieItems(const QString& workFolder) {
  const auto ffmpeg = ffmpegProgram();
  if (ffmpeg.isEmpty()) {
    return {{}, ffmpegMissing(QStringLiteral("the sample movies are not written"))};
  }
  CataloguePart part;
  for (const auto& movie : sampleMovies()) {
    CatalogueItem item;
    if (auto error = makeMovie(ffmpeg, movie, workFolder, item); !error.isEmpty()) {
      return {{}, error + QStringLiteral("; the sample movies are not written")};
    }
    part.items.append(item);
  }
  return part;
}

} // namespace arvexhub::sample
