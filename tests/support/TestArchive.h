#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace arvexhub::test {

/// Builds zip archives for tests.
class TestArchive {
public:
  struct Entry {
    QString name;        ///< path inside the archive; a trailing "/" makes a folder
    QByteArray content;  ///< for a symbolic link: its target
    quint32 unixMode{0}; ///< file type and permissions (0100755, 0120777...); 0 for none
  };

  /// A zip archive holding the entries in order; empty on failure.
  static QByteArray zip(const QList<Entry>& entries);
  /// A game archive: an executable "launcher.command" printing `greeting`, plus extra files.
  static QByteArray game(const QByteArray& greeting, const QList<Entry>& extra = {});
  /// Writes the archive to a file; false on failure.
  static bool write(const QString& path, const QByteArray& archive);
};

} // namespace arvexhub::test
