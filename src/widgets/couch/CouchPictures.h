#pragma once

#include "library/LibraryKind.h"

#include <QCache>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QThreadPool>

namespace arvexhub::launcher {

/// Large pictures for the couch mode's cards, read from the files the library's card-size
/// pictures came from: those, stretched to a television card, would look blurred. A file is read
/// and reduced off the main thread when a card first asks for it; the last few dozen are kept.
class CouchPictures final : public QObject {
  Q_OBJECT

public:
  explicit CouchPictures(QObject* parent = nullptr);
  ~CouchPictures() override;
  Q_DISABLE_COPY_MOVE(CouchPictures)

  /// The file's picture reduced as a card's at `ratio` times the card size; null while it is
  /// read (ready() follows) or when it cannot be.
  QPixmap picture(const QString& file, PictureFit fit, qreal ratio);
  /// Forgets what was read: the files may have changed since.
  void clear();

signals:
  void ready();

private:
  void onRead(const QString& key, const QImage& image);

  QThreadPool pool_;
  QCache<QString, QPixmap> pictures_; ///< by file and ratio; cost in kilobytes
  QSet<QString> reading_;
  QSet<QString> unreadable_;
};

} // namespace arvexhub::launcher
