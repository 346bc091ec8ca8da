#include "library/Pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QSaveFile>
#include <QThreadPool>

#include <atomic>

namespace arvexhub::launcher::Pictures {
namespace {

// Bytes of pictures waiting to be written.
std::atomic<qint64> bytesWaiting{0};
constexpr qint64 maxBytesWaiting = qint64{32} << 20;

/// The PNG bytes, or the image encoded as PNG when there are none, in a file that appears whole or
/// not at all.
void writeWhole(const QString& path, const QByteArray& png, const QImage& image) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) &&
      (png.isEmpty() ? image.save(&file, "PNG") : file.write(png) == png.size())) {
    file.commit();
  }
}

} // namespace

qreal screenPixelRatio() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? qGuiApp->devicePixelRatio() : 1.0;
}

QImage reduced(const QImage& image, PictureFit fit, qreal pixelRatio) {
  if (image.isNull()) {
    return {};
  }
  const auto target = (QSizeF(cardPictureSize) * pixelRatio).toSize();
  if (fit == PictureFit::Height) {
    const int height = target.height();
    return image.height() > height ? image.scaledToHeight(height, Qt::SmoothTransformation) : image;
  }
  const auto scaledSize = image.size().scaled(target, Qt::KeepAspectRatioByExpanding);
  if (scaledSize.width() >= image.width()) {
    return image; // already at or below the card's size
  }
  // The card shows the centre of the picture; keep just that.
  const auto scaled = image.scaled(scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  const QRect centre(QPoint((scaled.width() - target.width()) / 2, (scaled.height() - target.height()) / 2),
                     target);
  return scaled.copy(centre);
}

QPixmap forCard(const QImage& image, PictureFit fit) {
  return QPixmap::fromImage(reduced(image, fit, screenPixelRatio()));
}

QImage read(const QString& path) {
  // Given a name that does not exist, the reader tries a row of other suffixes first.
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  QImageReader reader(&file);
  reader.setAutoTransform(true);
  return reader.read();
}

QPixmap load(const QString& path, PictureFit fit) {
  return forCard(read(path), fit);
}

void saveAsPng(const QString& path, const QByteArray& bytes, const QImage& image) {
  static const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
  const bool isPng = bytes.startsWith(pngSignature);
  const auto png = isPng ? bytes : QByteArray();
  const auto toEncode = isPng ? QImage() : image;
  // Off the main thread: a file written whole is synced to disk, and encoding takes longer than
  // the download. What waits is bounded; past that, the caller writes its own.
  const qint64 size = isPng ? png.size() : toEncode.sizeInBytes();
  if (bytesWaiting + size > maxBytesWaiting) {
    writeWhole(path, png, toEncode);
    return;
  }
  bytesWaiting += size;
  QThreadPool::globalInstance()->start([path, png, toEncode, size] {
    writeWhole(path, png, toEncode);
    bytesWaiting -= size;
  });
}

} // namespace arvexhub::launcher::Pictures
