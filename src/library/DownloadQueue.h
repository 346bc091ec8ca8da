#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

namespace arvexhub::launcher {

class ItemDownload;

/// Lets a few downloads transfer at once, across every kind of the library; the others wait and
/// start in the order they were asked for.
class DownloadQueue final : public QObject {
  Q_OBJECT

public:
  static constexpr int defaultMaximum = 2;

  explicit DownloadQueue(QObject* parent = nullptr);
  Q_DISABLE_COPY_MOVE(DownloadQueue)

  /// Starts the download now when a transfer is free, else when its turn comes.
  void add(ItemDownload* download);
  /// The download no longer transfers or waits (it installs, paused or ended); the next starts.
  void remove(ItemDownload* download);
  bool isWaiting(const ItemDownload* download) const;
  int runningCount() const;
  int waitingCount() const;
  int maximum() const;
  /// 1 to 4; more allowed at once starts waiting downloads at once.
  void setMaximum(int maximum);

signals:
  /// A download started, waits or left.
  void changed();

private:
  void startWaiting();

  QList<QPointer<ItemDownload>> running_;
  QList<QPointer<ItemDownload>> waiting_;
  int maximum_{defaultMaximum};
};

} // namespace arvexhub::launcher
