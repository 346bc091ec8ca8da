#include "library/Pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QSaveFile>
#include <QThreadPool>

namespace arvexhub::launcher::Pictures {
namespace {

qreal screenPixelRatio() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? qGuiApp->devicePixelRatio() : 1.0;
}

} // namespace

QPixmap forCard(const QImage& image, PictureFit fit) {
  if (image.isNull()) {
    return {};
  }
  const auto target = (QSizeF(cardPictureSize) * screenPixelRatio()).toSize();
  if (fit == PictureFit::Height) {
    const int height = target.height();
    return QPixmap::fromImage(image.height() > height ? image.scaledToHeight(height, Qt::SmoothTransformation)
                                                      : image);
  }
  const auto scaledSize = image.size().scaled(target, Qt::KeepAspectRatioByExpanding);
  if (scaledSize.width() >= image.width()) {
    return QPixmap::fromImage(image); // already at or below the card's size
  }
  // The card shows the centre of the picture; keep just that.
  const auto scaled = image.scaled(scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  const QRect centre(QPoint((scaled.width() - target.width()) / 2, (scaled.height() - target.height()) / 2),
                     target);
  return QPixmap::fromImage(scaled.copy(centre));
}

QPixmap load(const QString& path, PictureFit fit) {
  // Given a name that does not exist, the reader tries a row of other suffixes first.
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  QImageReader reader(&file);
  reader.setAutoTransform(true);
  return forCard(reader.read(), fit);
}

void saveAsPng(const QString& path, const QByteArray& bytes, const QImage& image) {
  static const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);
  if (bytes.startsWith(pngSignature)) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) {
      file.commit();
    }
    return;
  }
  // Encoding takes longer than the download; thousands of pictures would hold up the window.
  QThreadPool::globalInstance()->start([path, image] {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && image.save(&file, "PNG")) {
      file.commit();
    }
  });
}

} // namespace arvexhub::launcher::Pictures
