#include "widgets/couch/CouchPictures.h"

#include "library/Pictures.h"

#include <QImage>

namespace arvexhub::launcher {
namespace {

/// A row of television cards at pixel ratio 2 several times over.
constexpr int cacheKilobytes = 48 * 1024;

} // namespace

CouchPictures::CouchPictures(QObject* parent)
    : QObject(parent)
    , pictures_(cacheKilobytes) {
  pool_.setMaxThreadCount(1); // a few cards at a time; the window keeps the other processor
}

CouchPictures::~CouchPictures() {
  // A read running now posts to this object; it must not outlive it.
  pool_.clear();
  pool_.waitForDone();
}

QPixmap CouchPictures::picture(const QString& file, PictureFit fit, qreal ratio) {
  const QString key = file + QLatin1Char('@') + QString::number(ratio);
  if (const auto* cached = pictures_.object(key)) {
    return *cached;
  }
  if (!reading_.contains(key) && !unreadable_.contains(key)) {
    reading_.insert(key);
    pool_.start([this, key, file, fit, ratio] {
      const QImage image = Pictures::reduced(Pictures::read(file), fit, ratio);
      QMetaObject::invokeMethod(
          this, [this, key, image] { onRead(key, image); }, Qt::QueuedConnection);
    });
  }
  return {};
}

void CouchPictures::clear() {
  pictures_.clear();
  unreadable_.clear();
}

void CouchPictures::onRead(const QString& key, const QImage& image) {
  reading_.remove(key);
  if (image.isNull()) {
    unreadable_.insert(key);
    return;
  }
  pictures_.insert(key, new QPixmap(QPixmap::fromImage(image)), int(image.sizeInBytes() / 1024) + 1);
  emit ready();
}

} // namespace arvexhub::launcher
