#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

namespace arvexhub::launcher {

/// What a partly downloaded archive needs to continue later, kept as "<name>.json" beside the
/// part file "<name>.part" in the kind's download folder. Read back at the next start, it is
/// untrusted: a record that does not parse, names an unsafe item or points outside the folder is
/// deleted with its part file.
struct DownloadRecord {
  QString name;      ///< the item; a safe single path component
  QString kind;      ///< the kind's folder name, "games"
  QUrl url;          ///< the archive the part file is the beginning of
  QString validator; ///< the first answer's ETag, else its Last-Modified; empty: cannot continue
  qint64 expectedSize{-1};
  QString file;      ///< the part file: <folder>/<name>.part
  QDateTime written; ///< when the record was last saved (its file's time)

  static QString partPath(const QString& folder, const QString& name);
  static QString recordPath(const QString& folder, const QString& name);

  /// Writes the record atomically as <folder>/<name>.json.
  bool save(const QString& folder) const;
  /// The record of that item in the folder when there is a trustworthy one.
  static std::optional<DownloadRecord> load(const QString& folder, const QString& name, const QString& kind);
  /// Every trustworthy record of the folder; records that are not are deleted with a warning, and
  /// so are part files without a record (nothing says what they are the beginning of).
  static QList<DownloadRecord> loadAll(const QString& folder, const QString& kind);
  /// Deletes the item's part file and record.
  static void remove(const QString& folder, const QString& name);
  /// The share of the file on disk, 0..1; 0 when the size is unknown.
  double fraction() const;
};

} // namespace arvexhub::launcher
