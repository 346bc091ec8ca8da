#include "library/CatalogueCache.h"

#include "library/LibraryPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace arvexhub::launcher {

CatalogueCache::CatalogueCache(const QString& documentPath)
    : filePath_(LibraryPaths::cacheFolder() + QFileInfo(documentPath).fileName()) {}

QString CatalogueCache::filePath() const {
  return filePath_;
}

bool CatalogueCache::store(const QByteArray& document) const {
  QDir().mkpath(QFileInfo(filePath_).path());
  QSaveFile file(filePath_);
  return file.open(QIODevice::WriteOnly) && file.write(document) == document.size() && file.commit();
}

QByteArray CatalogueCache::load() const {
  QFile file(filePath_);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QDateTime CatalogueCache::fetchedAt() const {
  const QFileInfo info(filePath_);
  // The file is replaced whole after each good fetch: its time is the fetch's.
  return info.isFile() ? info.lastModified() : QDateTime();
}

} // namespace arvexhub::launcher
