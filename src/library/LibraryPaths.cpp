#include "library/LibraryPaths.h"

#include <QDir>

namespace arvexhub::launcher::LibraryPaths {

QString root() {
  return QDir::homePath() + QStringLiteral("/.arvexhub");
}

QString libraryFolder(const QString& kindFolder) {
  return root() + QLatin1Char('/') + kindFolder + QLatin1Char('/');
}

QString thumbnailFolder(const QString& kindFolder) {
  return root() + QStringLiteral("/thumbnails/") + kindFolder + QLatin1Char('/');
}

QString cacheFolder() {
  return root() + QStringLiteral("/cache/");
}

QString downloadFolder(const QString& kindFolder) {
  return root() + QStringLiteral("/downloads/") + kindFolder + QLatin1Char('/');
}

QString playTimeFile() {
  return root() + QStringLiteral("/playtime.json");
}

} // namespace arvexhub::launcher::LibraryPaths
