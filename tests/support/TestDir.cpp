#include "TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace arvexhub::test {

TestDir::TestDir() = default;

bool TestDir::isValid() const {
  return dir_.isValid();
}

QString TestDir::path() const {
  return dir_.path();
}

QString TestDir::filePath(const QString& relativePath) const {
  return dir_.filePath(relativePath);
}

QString TestDir::createFile(const QString& relativePath, const QByteArray& content) {
  const auto path = filePath(relativePath);
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    return {};
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()) {
    return {};
  }
  return path;
}

QString TestDir::createDir(const QString& relativePath) {
  const auto path = filePath(relativePath);
  return QDir().mkpath(path) ? path : QString();
}

} // namespace arvexhub::test
