#include "library/MissingPictures.h"

#include "library/LibraryPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QThreadPool>

namespace arvexhub::launcher {
namespace {

qint64 now() {
  return QDateTime::currentSecsSinceEpoch();
}

bool isFresh(qint64 since) {
  // A time in the future is a clock that was wrong, not a reason to wait longer.
  const qint64 age = now() - since;
  return age >= 0 && age < MissingPictures::retryAfterSeconds;
}

} // namespace

MissingPictures::MissingPictures(const QString& kindFolder)
    : filePath_(LibraryPaths::cacheFolder() + kindFolder + QStringLiteral("-missing-pictures.json")) {}

QString MissingPictures::filePath() const {
  return filePath_;
}

bool MissingPictures::isMissing(const QString& url) {
  load();
  const auto found = missingSince_.constFind(url);
  return found != missingSince_.cend() && isFresh(*found);
}

void MissingPictures::markMissing(const QString& url) {
  load();
  missingSince_.insert(url, now());
  changed_ = true;
}

void MissingPictures::load() {
  if (loaded_) {
    return;
  }
  loaded_ = true;
  QFile file(filePath_);
  if (!file.open(QIODevice::ReadOnly)) {
    return;
  }
  // Pairs [link, seconds]; whatever else the file holds is passed over.
  const auto pairs = QJsonDocument::fromJson(file.readAll()).array();
  missingSince_.reserve(pairs.size());
  for (const auto& value : pairs) {
    const auto pair = value.toArray();
    const auto since = qint64(pair.at(1).toDouble(-1));
    if (pair.size() == 2 && pair.at(0).isString() && isFresh(since)) {
      missingSince_.insert(pair.at(0).toString(), since);
    }
  }
}

void MissingPictures::save() {
  if (!changed_) {
    return;
  }
  changed_ = false;
  // Tens of thousands of links take a while to write and sync; the list is a copy.
  QThreadPool::globalInstance()->start([path = filePath_, links = missingSince_] {
    QJsonArray pairs;
    for (auto entry = links.constBegin(); entry != links.constEnd(); ++entry) {
      if (isFresh(entry.value())) {
        pairs.append(QJsonArray{entry.key(), double(entry.value())});
      }
    }
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    const auto bytes = QJsonDocument(pairs).toJson(QJsonDocument::Compact);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) {
      file.commit();
    }
  });
}

} // namespace arvexhub::launcher
