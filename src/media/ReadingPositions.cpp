#include "media/ReadingPositions.h"

#include "library/LibraryPaths.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

namespace arvexhub::launcher {
namespace {

const QString pageKey = QStringLiteral("page");
const QString zoomKey = QStringLiteral("zoom");
const QString readAtKey = QStringLiteral("readAt");

} // namespace

ReadingPositions::ReadingPositions(QString filePath)
    : filePath_(std::move(filePath)) {
  load();
}

QString ReadingPositions::defaultFilePath() {
  return LibraryPaths::root() + QStringLiteral("/reading-positions.json");
}

ReadingPositions::Position ReadingPositions::position(const QString& bookPath) const {
  return entries_.value(bookPath).position;
}

void ReadingPositions::setPosition(const QString& bookPath, Position position) {
  auto& entry = entries_[bookPath];
  entry.position = {std::max(0, position.page), std::max<qreal>(0, position.zoom)};
  entry.readAt = QDateTime::currentMSecsSinceEpoch();
  changed_ = true;
  if (entries_.size() > maximumBooks) {
    forgetOldest();
  }
}

bool ReadingPositions::save() {
  if (!changed_) {
    return true;
  }
  QJsonObject books;
  for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
    books.insert(
        it.key(),
        QJsonObject{{pageKey, it->position.page}, {zoomKey, it->position.zoom}, {readAtKey, it->readAt}});
  }
  QDir().mkpath(QFileInfo(filePath_).absolutePath());
  QSaveFile file(filePath_);
  if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(books).toJson()) < 0 || !file.commit()) {
    qWarning() << "Cannot write the reading positions:" << filePath_ << file.errorString();
    return false;
  }
  changed_ = false;
  return true;
}

void ReadingPositions::load() {
  QFile file(filePath_);
  if (!file.exists()) {
    return;
  }
  const auto document =
      file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()) : QJsonDocument();
  file.close();
  if (!document.isObject()) {
    // Kept for whoever wants to look at it; the reader starts with no pages remembered.
    const QString aside = filePath_ + QStringLiteral(".unreadable");
    QFile::remove(aside);
    QFile::rename(filePath_, aside);
    qWarning() << "Unreadable reading positions set aside:" << aside;
    return;
  }
  const auto books = document.object();
  for (auto it = books.begin(); it != books.end(); ++it) {
    const auto book = it->toObject();
    entries_.insert(
        it.key(), {{std::max(0, book.value(pageKey).toInt()), std::max(0.0, book.value(zoomKey).toDouble())},
                   qint64(book.value(readAtKey).toDouble())});
  }
}

void ReadingPositions::forgetOldest() {
  auto oldest = entries_.begin();
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->readAt < oldest->readAt) {
      oldest = it;
    }
  }
  entries_.erase(oldest);
}

} // namespace arvexhub::launcher
