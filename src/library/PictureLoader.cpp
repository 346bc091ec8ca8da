#include "library/PictureLoader.h"

#include "library/Pictures.h"

#include <QThread>
#include <QTimer>

#include <algorithm>

namespace arvexhub::launcher {
namespace {

/// What one event-loop turn hands over: a row change each, so the view keeps up.
constexpr int picturesPerTurn = 8;

} // namespace

PictureLoader::PictureLoader(PictureFit fit, QObject* parent)
    : QObject(parent)
    , fit_(fit) {
  pool_.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
}

PictureLoader::~PictureLoader() {
  // A job running now posts to this object; it must not outlive it.
  pool_.clear();
  pool_.waitForDone();
}

void PictureLoader::readFile(const PictureJob& job) {
  start(job, {});
}

void PictureLoader::decode(const PictureJob& job, const QByteArray& bytes) {
  start(job, bytes);
}

int PictureLoader::pending() const {
  return pending_;
}

void PictureLoader::start(PictureJob job, const QByteArray& bytes) {
  ++pending_;
  const auto fit = fit_;
  const auto ratio = Pictures::screenPixelRatio();
  pool_.start([this, job = std::move(job), bytes, fit, ratio]() mutable {
    const auto image = job.fromCache ? Pictures::read(job.file) : QImage::fromData(bytes);
    if (!job.fromCache && !image.isNull()) {
      Pictures::saveAsPng(job.file, bytes, image);
    }
    job.image = Pictures::reduced(image, fit, ratio);
    QMetaObject::invokeMethod(
        this, [this, job] { onDone(job); }, Qt::QueuedConnection);
  });
}

void PictureLoader::onDone(const PictureJob& job) {
  if (done_.isEmpty()) {
    QTimer::singleShot(0, this, &PictureLoader::handOver);
  }
  done_.append(job);
}

void PictureLoader::handOver() {
  for (int i = 0; i < picturesPerTurn && !done_.isEmpty(); ++i) {
    const auto job = done_.takeFirst();
    --pending_;
    emit loaded(job);
  }
  if (!done_.isEmpty()) {
    QTimer::singleShot(0, this, &PictureLoader::handOver);
  }
}

} // namespace arvexhub::launcher
