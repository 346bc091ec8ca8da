#include "ZipArchive.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QDateTime>

namespace arvexhub::sample {
namespace {

constexpr uint osCodeUnix = 3;
constexpr quint32 executableMode = 0100755;
constexpr quint32 regularMode = 0100644;

QString addEntry(QuaZip& zip, const ArchiveEntry& entry) {
  QuaZipNewInfo info(entry.name);
  // A fixed time keeps an archive's bytes, and so its checksum, the same from one write to the next.
  info.dateTime = QDateTime(QDate(2024, 1, 1), QTime(12, 0));
  // Unzip tools read the Unix mode from the high 16 bits when the archive says it was made on Unix.
  info.externalAttr = (entry.executable ? executableMode : regularMode) << 16;
  QuaZipFile file(&zip);
  if (!file.open(QIODevice::WriteOnly, info)) {
    return QStringLiteral("cannot add %1 (zip error %2)").arg(entry.name).arg(file.getZipError());
  }
  if (file.write(entry.content) != entry.content.size()) {
    return QStringLiteral("cannot write %1").arg(entry.name);
  }
  file.close();
  if (file.getZipError() != 0) {
    return QStringLiteral("cannot finish %1 (zip error %2)").arg(entry.name).arg(file.getZipError());
  }
  return {};
}

} // namespace

QString writeZipArchive(const QString& path, const QList<ArchiveEntry>& entries) {
  QuaZip zip(path);
  zip.setOsCode(osCodeUnix);
  if (!zip.open(QuaZip::mdCreate)) {
    return QStringLiteral("cannot create %1 (zip error %2)").arg(path).arg(zip.getZipError());
  }
  for (const auto& entry : entries) {
    if (auto error = addEntry(zip, entry); !error.isEmpty()) {
      zip.close();
      return error;
    }
  }
  zip.close();
  if (zip.getZipError() != 0) {
    return QStringLiteral("cannot finish %1 (zip error %2)").arg(path).arg(zip.getZipError());
  }
  return {};
}

} // namespace arvexhub::sample
