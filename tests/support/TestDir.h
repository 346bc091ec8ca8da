#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace arvexhub::test {

/// A temporary folder that is removed with the object, with helpers to fill it.
class TestDir {
public:
  TestDir();

  bool isValid() const;
  QString path() const;
  /// Absolute path of a relative path inside the folder.
  QString filePath(const QString& relativePath) const;
  /// Writes the file (creating its parent folders); returns its absolute path, empty on failure.
  QString createFile(const QString& relativePath, const QByteArray& content = {});
  /// Creates the folder and its parents; returns its absolute path, empty on failure.
  QString createDir(const QString& relativePath);

private:
  QTemporaryDir dir_;
};

} // namespace arvexhub::test
