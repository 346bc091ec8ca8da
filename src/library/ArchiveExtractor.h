#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

class QuaZipFile;

namespace arvexhub::launcher {

/// Bounds an archive must stay within before anything of it is written.
struct ArchiveLimits {
  qint64 maxEntries = 100000;
  qint64 maxTotalBytes = qint64(32) * 1024 * 1024 * 1024; // unpacked
};

/// Checks and unpacks a downloaded zip archive. The whole central directory is checked before
/// anything is written, and the archive is refused as a whole when a single entry could escape
/// the target folder, is not a plain file or folder, or would exceed the limits.
class ArchiveExtractor final {
public:
  enum class Progress { Running, Finished, Failed };

  explicit ArchiveExtractor(QString archivePath, ArchiveLimits limits = {});
  ~ArchiveExtractor();
  Q_DISABLE_COPY_MOVE(ArchiveExtractor)

  /// Reads the whole directory of the archive and checks every entry; writes nothing.
  bool check();
  /// Checks (if not yet done), verifies the unpacked size fits the free space of the target's file
  /// system, then extracts every entry below `folder` (which must exist, normally empty). Any failure
  /// returns false; what was written stays for the caller to delete with the folder.
  bool extractTo(const QString& folder);

  /// The same in steps, so a large archive does not hold up the event loop: checks as
  /// `extractTo` does and opens the archive; then each `extractSome` writes about `byteBudget`
  /// bytes (at least one entry) until it reports Finished or Failed.
  bool beginExtraction(const QString& folder);
  Progress extractSome(qint64 byteBudget);
  /// Bytes written so far, plus one for each entry (so that a step over empty entries counts).
  qint64 bytesExtracted() const;

  QString errorString() const;
  qint64 totalUnpackedSize() const;
  int entryCount() const;
  /// Normalized relative paths (no trailing "/") of the files and folders, after check().
  QStringList entryNames() const;

  /// Adds the execute bits (u+x, g+x, o+x) to a regular file; false for anything else.
  static bool makeExecutable(const QString& path);

private:
  struct Entry {
    QString name; // normalized: no trailing "/"
    QByteArray rawName;
    bool isFolder = false;
    bool executable = false;
    qint64 size = 0;
  };

  bool readDirectory();
  bool addEntry(const QByteArray& rawName, quint64 flags, quint64 method, quint64 externalAttr,
                quint64 uncompressedSize);
  bool checkClashes();
  bool hasRoomIn(const QString& folder);
  struct Extraction;
  Progress startNextEntry();
  bool openFile(const Entry& entry);
  Progress copyChunk();
  bool closeFile(const Entry& entry);
  void advance();
  void abandonFile();
  bool makeFolders(const QString& folder, const QString& relativePath);
  bool fail(const QString& message);
  bool refuse(const QString& name, const QString& reason);

  QString archivePath_;
  ArchiveLimits limits_;
  QList<Entry> entries_;
  QString error_;
  qint64 totalSize_ = 0;
  std::unique_ptr<Extraction> extraction_;
  qint64 bytesExtracted_ = 0;
  bool checked_ = false;
  bool valid_ = false;
};

} // namespace arvexhub::launcher
