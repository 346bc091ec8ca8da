#pragma once

#include "library/LibraryKind.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>

namespace arvexhub::launcher {

/// A catalogue picture on its way to a row.
struct PictureJob {
  QString name;
  QString url;  ///< where it came from, or would come from when the cached file fails
  QString file; ///< the cache file it was read from, or will be stored in
  quint64 generation{0};
  bool fromCache{false};
  bool local{false}; ///< the item's own picture, in its folder: no catalogue merge waits for it
  QImage image;      ///< reduced for the card; null when it could not be read or decoded
};

/// Decodes and reduces catalogue pictures off the main thread, and hands them back on the main
/// thread a few per event-loop turn: thousands of large pictures decoded where the window lives
/// would hold it up for seconds.
class PictureLoader final : public QObject {
  Q_OBJECT

public:
  PictureLoader(PictureFit fit, QObject* parent);
  ~PictureLoader() override;
  Q_DISABLE_COPY_MOVE(PictureLoader)

  /// Reads the job's cached file.
  void readFile(const PictureJob& job);
  /// Decodes downloaded bytes; when they decode, they are stored in the job's file.
  void decode(const PictureJob& job, const QByteArray& bytes);
  /// Jobs given and not yet handed back.
  int pending() const;

signals:
  void loaded(const PictureJob& job);

private:
  void start(PictureJob job, const QByteArray& bytes);
  void onDone(const PictureJob& job);
  void handOver();

  PictureFit fit_;
  QThreadPool pool_;
  QList<PictureJob> done_;
  int pending_{0};
};

} // namespace arvexhub::launcher
