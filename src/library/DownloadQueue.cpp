#include "library/DownloadQueue.h"

#include "library/ItemDownload.h"

#include <algorithm>

namespace arvexhub::launcher {

DownloadQueue::DownloadQueue(QObject* parent)
    : QObject(parent) {}

void DownloadQueue::add(ItemDownload* download) {
  waiting_.append(download);
  startWaiting();
  emit changed();
}

void DownloadQueue::remove(ItemDownload* download) {
  const auto removed = running_.removeAll(download) + waiting_.removeAll(download);
  if (removed > 0) {
    startWaiting();
    emit changed();
  }
}

bool DownloadQueue::isWaiting(const ItemDownload* download) const {
  return std::any_of(waiting_.cbegin(), waiting_.cend(),
                     [download](const QPointer<ItemDownload>& waiting) { return waiting == download; });
}

int DownloadQueue::runningCount() const {
  return int(std::count_if(running_.cbegin(), running_.cend(),
                           [](const QPointer<ItemDownload>& download) { return !download.isNull(); }));
}

int DownloadQueue::waitingCount() const {
  return int(std::count_if(waiting_.cbegin(), waiting_.cend(),
                           [](const QPointer<ItemDownload>& download) { return !download.isNull(); }));
}

int DownloadQueue::maximum() const {
  return maximum_;
}

void DownloadQueue::setMaximum(int maximum) {
  maximum_ = qBound(1, maximum, 4);
  startWaiting();
  emit changed();
}

void DownloadQueue::startWaiting() {
  // A download deleted without leaving frees its place.
  const auto gone = [](const QPointer<ItemDownload>& download) { return download.isNull(); };
  running_.removeIf(gone);
  waiting_.removeIf(gone);
  while (running_.size() < maximum_ && !waiting_.isEmpty()) {
    const auto next = waiting_.takeFirst();
    running_.append(next);
    next->start(); // never ends synchronously: a failure to begin comes later
  }
}

} // namespace arvexhub::launcher
