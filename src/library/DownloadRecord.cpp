#include "library/DownloadRecord.h"

#include "library/ItemNames.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QtDebug>

namespace arvexhub::launcher {

namespace {

const QString recordSuffix = QStringLiteral(".json");
const QString partSuffix = QStringLiteral(".part");
// A record larger than this is not one of ours.
constexpr qint64 maxRecordBytes = 64 * 1024;

/// The record read from its file, or an explanation of why it cannot be trusted.
std::optional<DownloadRecord> parse(const QString& folder, const QString& fileName, const QString& kind,
                                    QString* why) {
  QFile file(QDir(folder).filePath(fileName));
  if (file.size() > maxRecordBytes || !file.open(QIODevice::ReadOnly)) {
    *why = QStringLiteral("unreadable");
    return std::nullopt;
  }
  const auto object = QJsonDocument::fromJson(file.readAll()).object();
  DownloadRecord record;
  record.name = object.value(QLatin1String("name")).toString();
  record.kind = object.value(QLatin1String("kind")).toString();
  record.url = QUrl(object.value(QLatin1String("url")).toString(), QUrl::StrictMode);
  record.validator = object.value(QLatin1String("validator")).toString();
  record.expectedSize = object.value(QLatin1String("size")).toInteger(-1);
  record.file = object.value(QLatin1String("file")).toString();
  record.written = QFileInfo(file).lastModified();
  if (!ItemNames::isSafe(record.name) || fileName != record.name + recordSuffix) {
    *why = QStringLiteral("unsafe or mismatched name");
  } else if (record.kind != kind || !record.url.isValid() || record.url.isRelative()) {
    *why = QStringLiteral("wrong kind or address");
  } else if (QDir::cleanPath(QFileInfo(record.file).absoluteFilePath()) !=
             QDir::cleanPath(DownloadRecord::partPath(folder, record.name))) {
    *why = QStringLiteral("path outside the download folder");
  } else if (!QFileInfo(record.file).isFile() || QFileInfo(record.file).isSymLink()) {
    *why = QStringLiteral("no part file");
  } else {
    return record;
  }
  return std::nullopt;
}

} // namespace

QString DownloadRecord::partPath(const QString& folder, const QString& name) {
  return QDir(folder).absoluteFilePath(name + partSuffix);
}

QString DownloadRecord::recordPath(const QString& folder, const QString& name) {
  return QDir(folder).absoluteFilePath(name + recordSuffix);
}

bool DownloadRecord::save(const QString& folder) const {
  const QJsonObject object{{QLatin1String("name"), name},
                           {QLatin1String("kind"), kind},
                           {QLatin1String("url"), url.toString(QUrl::FullyEncoded)},
                           {QLatin1String("validator"), validator},
                           {QLatin1String("size"), expectedSize},
                           {QLatin1String("file"), file}};
  QSaveFile out(recordPath(folder, name));
  return out.open(QIODevice::WriteOnly) && out.write(QJsonDocument(object).toJson()) >= 0 && out.commit();
}

std::optional<DownloadRecord> DownloadRecord::load(const QString& folder, const QString& name,
                                                   const QString& kind) {
  QString why;
  return QFileInfo::exists(recordPath(folder, name)) ? parse(folder, name + recordSuffix, kind, &why)
                                                     : std::nullopt;
}

QList<DownloadRecord> DownloadRecord::loadAll(const QString& folder, const QString& kind) {
  QList<DownloadRecord> records;
  QStringList kept;
  const QDir dir(folder);
  for (const auto& fileName : dir.entryList({QLatin1Char('*') + recordSuffix}, QDir::Files | QDir::Hidden)) {
    QString why;
    if (auto record = parse(folder, fileName, kind, &why)) {
      kept.append(record->name + partSuffix);
      records.append(*record);
      continue;
    }
    qWarning() << "Deleting an untrusted download record:" << dir.filePath(fileName) << why;
    QFile::remove(dir.filePath(fileName));
  }
  for (const auto& part : dir.entryList({QLatin1Char('*') + partSuffix}, QDir::Files | QDir::Hidden)) {
    if (!kept.contains(part)) {
      QFile::remove(dir.filePath(part));
    }
  }
  return records;
}

void DownloadRecord::remove(const QString& folder, const QString& name) {
  QFile::remove(partPath(folder, name));
  QFile::remove(recordPath(folder, name));
}

double DownloadRecord::fraction() const {
  const auto onDisk = QFileInfo(file).size();
  return expectedSize > 0 ? qBound(0.0, double(onDisk) / double(expectedSize), 1.0) : 0.0;
}

} // namespace arvexhub::launcher
