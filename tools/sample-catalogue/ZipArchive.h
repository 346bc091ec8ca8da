#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace arvexhub::sample {

/// One file of a zip archive.
struct ArchiveEntry {
  QString name;
  QByteArray content;
  bool executable{false};
};

/// Writes a zip archive holding the entries, with Unix modes 0100755 (executable) or 0100644 in the
/// external attributes and one fixed modification time. Returns an error message, empty on success.
QString writeZipArchive(const QString& path, const QList<ArchiveEntry>& entries);

} // namespace arvexhub::sample
