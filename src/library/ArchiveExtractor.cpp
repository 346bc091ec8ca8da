#include "library/ArchiveExtractor.h"

#include "library/ArchiveReadDevice.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/unzip.h>

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace arvexhub::launcher {
namespace {

constexpr quint64 flagEncrypted = 0x0001;
constexpr quint64 flagStrongEncryption = 0x0040;
constexpr quint64 methodStored = 0;
constexpr quint64 methodDeflated = 8;
constexpr qsizetype copyBufferSize = qsizetype(64) * 1024;
// Every file may take up to a block more than its size on disk.
constexpr qint64 blockSlack = 4096;

/// The raw central directory record of the current entry, with its name bytes.
bool readCurrentInfo(QuaZip& zip, unz_file_info64& info, QByteArray& rawName) {
  if (unzGetCurrentFileInfo64(zip.getUnzFile(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
    return false;
  }
  rawName = QByteArray(qsizetype(info.size_filename), '\0');
  return unzGetCurrentFileInfo64(zip.getUnzFile(), &info, rawName.data(), info.size_filename, nullptr, 0,
                                 nullptr, 0) == UNZ_OK;
}

bool isAsciiLetter(QChar c) {
  return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

/// Why an entry name could write outside the target folder or could not be created as is; empty if fine.
QString nameProblem(const QString& name) {
  if (name.isEmpty()) {
    return QStringLiteral("empty name");
  }
  if (name.startsWith(QLatin1Char('/'))) {
    return QStringLiteral("absolute path");
  }
  if (name.size() >= 2 && isAsciiLetter(name.at(0)) && name.at(1) == QLatin1Char(':')) {
    return QStringLiteral("drive letter");
  }
  for (const QChar c : name) {
    if (c == QLatin1Char('\\')) {
      return QStringLiteral("backslash in name");
    }
    if (c.category() == QChar::Other_Control) {
      return QStringLiteral("control character in name");
    }
  }
  QString path = name;
  if (path.endsWith(QLatin1Char('/'))) {
    path.chop(1);
  }
  for (const QString& part : path.split(QLatin1Char('/'))) {
    if (part.isEmpty()) {
      return QStringLiteral("empty path component");
    }
    if (part == QLatin1String(".") || part == QLatin1String("..")) {
      return QStringLiteral("\".\" or \"..\" path component");
    }
  }
  return {};
}

/// What a Unix file type other than a regular file or a folder is, for the refusal message.
QString fileTypeName(quint32 type) {
  switch (type) {
  case S_IFLNK:
    return QStringLiteral("symbolic link");
  case S_IFCHR:
    return QStringLiteral("character device");
  case S_IFBLK:
    return QStringLiteral("block device");
  case S_IFIFO:
    return QStringLiteral("FIFO");
  case S_IFSOCK:
    return QStringLiteral("socket");
  default:
    return QStringLiteral("unknown file type %1").arg(type, 0, 8);
  }
}

/// Why an entry is not a plain file or folder that can be read and written as is; empty if fine.
QString kindProblem(quint64 flags, quint64 method, quint32 type, bool folder, quint64 size) {
  if (flags & (flagEncrypted | flagStrongEncryption)) {
    return QStringLiteral("encrypted entry");
  }
  if (type != 0 && type != S_IFREG && type != S_IFDIR) {
    return fileTypeName(type);
  }
  if (type == S_IFREG && folder) {
    return QStringLiteral("file entry named like a folder");
  }
  if (!folder && method != methodStored && method != methodDeflated) {
    return QStringLiteral("unsupported compression method %1").arg(method);
  }
  if (size > quint64(std::numeric_limits<qint64>::max())) {
    return QStringLiteral("declared size overflows");
  }
  if (folder && size != 0) {
    return QStringLiteral("folder entry with data");
  }
  return {};
}

bool writeAll(int fd, const char* data, qint64 size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size_t(size));
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

} // namespace

ArchiveExtractor::ArchiveExtractor(QString archivePath, ArchiveLimits limits)
    : archivePath_(std::move(archivePath))
    , limits_(limits) {}

bool ArchiveExtractor::check() {
  if (!checked_) {
    checked_ = true;
    valid_ = readDirectory();
    if (!valid_) {
      entries_.clear();
      totalSize_ = 0;
    }
  }
  return valid_;
}

ArchiveExtractor::~ArchiveExtractor() {
  abandonFile();
}

bool ArchiveExtractor::extractTo(const QString& folder) {
  if (!beginExtraction(folder)) {
    return false;
  }
  auto progress = Progress::Running;
  while (progress == Progress::Running) {
    progress = extractSome(std::numeric_limits<qint64>::max() / 2);
  }
  return progress == Progress::Finished;
}

QString ArchiveExtractor::errorString() const {
  return error_;
}

qint64 ArchiveExtractor::totalUnpackedSize() const {
  return totalSize_;
}

int ArchiveExtractor::entryCount() const {
  return int(entries_.size());
}

QStringList ArchiveExtractor::entryNames() const {
  QStringList names;
  names.reserve(entries_.size());
  for (const Entry& entry : entries_) {
    names.append(entry.name);
  }
  return names;
}

bool ArchiveExtractor::makeExecutable(const QString& path) {
  const QByteArray native = QFile::encodeName(path);
  struct stat st {};
  if (::lstat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return false;
  }
  return ::chmod(native.constData(), (st.st_mode & 07777) | S_IXUSR | S_IXGRP | S_IXOTH) == 0;
}

bool ArchiveExtractor::readDirectory() {
  ArchiveReadDevice file(archivePath_);
  QuaZip zip(&file);
  if (!zip.open(QuaZip::mdUnzip)) {
    return fail(QStringLiteral("not a zip archive or unreadable (error %1)").arg(zip.getZipError()));
  }
  const int declared = zip.getEntriesCount();
  if (declared <= 0) {
    return fail(QStringLiteral("the archive is empty or its directory is unreadable"));
  }
  if (declared > limits_.maxEntries) {
    return fail(QStringLiteral("more than %1 entries").arg(limits_.maxEntries));
  }
  for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
    if (entries_.size() >= limits_.maxEntries) {
      return fail(QStringLiteral("more than %1 entries").arg(limits_.maxEntries));
    }
    unz_file_info64 info{};
    QByteArray rawName;
    if (!readCurrentInfo(zip, info, rawName)) {
      return fail(QStringLiteral("unreadable entry in the archive directory"));
    }
    if (!addEntry(rawName, info.flag, info.compression_method, info.external_fa, info.uncompressed_size)) {
      return false;
    }
  }
  if (zip.getZipError() != UNZ_OK || entries_.isEmpty()) {
    return fail(QStringLiteral("damaged archive directory (error %1)").arg(zip.getZipError()));
  }
  return checkClashes();
}

bool ArchiveExtractor::addEntry(const QByteArray& rawName, quint64 flags, quint64 method,
                                quint64 externalAttr, quint64 uncompressedSize) {
  // Names are read as raw bytes: a NUL would cut the name short in any C string on the way.
  QStringDecoder utf8(QStringDecoder::Utf8,
                      QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
  QString name = utf8(rawName);
  if (utf8.hasError()) {
    return refuse(QString::fromLatin1(rawName), QStringLiteral("name is not valid UTF-8"));
  }
  if (const QString problem = nameProblem(name); !problem.isEmpty()) {
    return refuse(name, problem);
  }
  const quint32 mode = quint32(externalAttr >> 16);
  const bool folder = name.endsWith(QLatin1Char('/')) || (mode & S_IFMT) == S_IFDIR;
  if (const QString problem = kindProblem(flags, method, mode & S_IFMT, folder, uncompressedSize);
      !problem.isEmpty()) {
    return refuse(name, problem);
  }
  const auto size = qint64(uncompressedSize);
  if (size > limits_.maxTotalBytes - totalSize_) {
    return fail(QStringLiteral("more than %1 bytes once unpacked").arg(limits_.maxTotalBytes));
  }
  totalSize_ += size;
  if (name.endsWith(QLatin1Char('/'))) {
    name.chop(1);
  }
  entries_.append({name, rawName, folder, (mode & 0111) != 0, size});
  return true;
}

bool ArchiveExtractor::checkClashes() {
  QSet<QString> names;
  QSet<QString> folders; // every parent folder an entry implies
  for (const Entry& entry : std::as_const(entries_)) {
    if (names.contains(entry.name)) {
      return refuse(entry.name, QStringLiteral("duplicate name"));
    }
    names.insert(entry.name);
    for (qsizetype i = entry.name.indexOf(QLatin1Char('/')); i >= 0;
         i = entry.name.indexOf(QLatin1Char('/'), i + 1)) {
      folders.insert(entry.name.left(i));
    }
  }
  for (const Entry& entry : std::as_const(entries_)) {
    if (!entry.isFolder && folders.contains(entry.name)) {
      return refuse(entry.name, QStringLiteral("file with the same path as a folder"));
    }
  }
  return true;
}

bool ArchiveExtractor::hasRoomIn(const QString& folder) {
  QStorageInfo storage(folder);
  if (!storage.isValid()) {
    return fail(QStringLiteral("cannot read the free space of %1").arg(folder));
  }
  const qint64 slack = qint64(entries_.size()) * blockSlack;
  const qint64 available = storage.bytesAvailable();
  if (totalSize_ > std::numeric_limits<qint64>::max() - slack || totalSize_ + slack > available) {
    return fail(QStringLiteral("not enough free space: %1 bytes needed, %2 available on %3")
                    .arg(totalSize_ + slack)
                    .arg(available)
                    .arg(storage.rootPath()));
  }
  return true;
}

/// What an extraction in progress holds between two steps.
struct ArchiveExtractor::Extraction {
  explicit Extraction(const QString& archivePath)
      : file(archivePath)
      , zip(&file)
      , source(&zip) {}

  ArchiveReadDevice file;
  QuaZip zip;
  QuaZipFile source;
  QString folder;
  QByteArray buffer;
  qsizetype index = 0;
  bool more = false;
  int fd = -1;          ///< the file being written, -1 between files
  qint64 remaining = 0; ///< bytes of that file still to copy
  QString path;
};

bool ArchiveExtractor::beginExtraction(const QString& folder) {
  extraction_.reset();
  bytesExtracted_ = 0;
  if (!check()) {
    return false;
  }
  if (!QFileInfo(folder).isDir()) {
    return fail(QStringLiteral("target folder %1 does not exist").arg(folder));
  }
  if (!hasRoomIn(folder)) {
    return false;
  }
  auto extraction = std::make_unique<Extraction>(archivePath_);
  if (!extraction->zip.open(QuaZip::mdUnzip)) {
    return fail(QStringLiteral("cannot reopen the archive (error %1)").arg(extraction->zip.getZipError()));
  }
  extraction->folder = folder;
  extraction->buffer = QByteArray(copyBufferSize, Qt::Uninitialized);
  extraction->more = extraction->zip.goToFirstFile();
  extraction_ = std::move(extraction);
  return true;
}

ArchiveExtractor::Progress ArchiveExtractor::extractSome(qint64 byteBudget) {
  if (!extraction_) {
    return Progress::Failed;
  }
  const qint64 target = bytesExtracted_ + qMax<qint64>(byteBudget, 1);
  while (bytesExtracted_ < target) {
    const auto progress = extraction_->fd >= 0 ? copyChunk() : startNextEntry();
    if (progress != Progress::Running) {
      abandonFile();
      extraction_.reset();
      return progress;
    }
  }
  return Progress::Running;
}

qint64 ArchiveExtractor::bytesExtracted() const {
  return bytesExtracted_;
}

ArchiveExtractor::Progress ArchiveExtractor::startNextEntry() {
  auto& x = *extraction_;
  if (!x.more) {
    if (x.zip.getZipError() != UNZ_OK || x.index != entries_.size()) {
      fail(QStringLiteral("damaged archive directory (error %1)").arg(x.zip.getZipError()));
      return Progress::Failed;
    }
    return Progress::Finished;
  }
  // The file is read a second time: it must still hold exactly the entries that were checked.
  unz_file_info64 info{};
  QByteArray rawName;
  if (x.index >= entries_.size() || !readCurrentInfo(x.zip, info, rawName) ||
      rawName != entries_.at(x.index).rawName ||
      qint64(info.uncompressed_size) != entries_.at(x.index).size) {
    fail(QStringLiteral("the archive changed since it was checked"));
    return Progress::Failed;
  }
  const Entry& entry = entries_.at(x.index);
  const bool ok = entry.isFolder ? makeFolders(x.folder, entry.name) : openFile(entry);
  if (entry.isFolder) {
    advance();
  }
  ++bytesExtracted_; // every entry counts, so a budget always moves on
  return ok ? Progress::Running : Progress::Failed;
}

bool ArchiveExtractor::openFile(const Entry& entry) {
  auto& x = *extraction_;
  const qsizetype slash = entry.name.lastIndexOf(QLatin1Char('/'));
  if (slash > 0 && !makeFolders(x.folder, entry.name.left(slash))) {
    return false;
  }
  x.path = x.folder + QLatin1Char('/') + entry.name;
  // O_EXCL with O_NOFOLLOW: never write through anything already at that path.
  x.fd = ::open(QFile::encodeName(x.path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                S_IRUSR | S_IWUSR);
  if (x.fd < 0) {
    return fail(QStringLiteral("cannot create %1: %2").arg(x.path, qt_error_string(errno)));
  }
  if (!x.source.open(QIODevice::ReadOnly)) {
    return fail(
        QStringLiteral("cannot read entry %1 (error %2)").arg(entry.name).arg(x.source.getZipError()));
  }
  x.remaining = entry.size;
  return true;
}

ArchiveExtractor::Progress ArchiveExtractor::copyChunk() {
  auto& x = *extraction_;
  const Entry& entry = entries_.at(x.index);
  if (x.remaining > 0) {
    // Never more than declared: a lying header must not fill the disk.
    const qint64 read = x.source.read(x.buffer.data(), qMin(qint64(x.buffer.size()), x.remaining));
    if (read <= 0) {
      fail(read < 0
               ? QStringLiteral("cannot read entry %1 (error %2)").arg(entry.name).arg(x.source.getZipError())
               : QStringLiteral("entry %1 is shorter than its declared size").arg(entry.name));
      return Progress::Failed;
    }
    if (!writeAll(x.fd, x.buffer.constData(), read)) {
      fail(QStringLiteral("cannot write %1: %2").arg(entry.name, qt_error_string(errno)));
      return Progress::Failed;
    }
    x.remaining -= read;
    bytesExtracted_ += read;
    return Progress::Running;
  }
  return closeFile(entry) ? Progress::Running : Progress::Failed;
}

bool ArchiveExtractor::closeFile(const Entry& entry) {
  auto& x = *extraction_;
  char extra = 0;
  bool ok = true;
  if (x.source.read(&extra, 1) > 0) {
    ok = fail(QStringLiteral("entry %1 is longer than its declared size").arg(entry.name));
  }
  x.source.close(); // only now does the CRC get compared
  if (ok && x.source.getZipError() != UNZ_OK) {
    ok =
        fail(QStringLiteral("entry %1 is damaged (error %2%3)")
                 .arg(entry.name)
                 .arg(x.source.getZipError())
                 .arg(x.source.getZipError() == UNZ_CRCERROR ? QStringLiteral(", CRC mismatch") : QString()));
  }
  if (ok && ::fchmod(x.fd, entry.executable ? 0755 : 0644) != 0) {
    ok = fail(QStringLiteral("cannot set the permissions of %1: %2").arg(x.path, qt_error_string(errno)));
  }
  if (::close(std::exchange(x.fd, -1)) != 0 && ok) {
    ok = fail(QStringLiteral("cannot write %1: %2").arg(x.path, qt_error_string(errno)));
  }
  advance();
  return ok;
}

void ArchiveExtractor::advance() {
  auto& x = *extraction_;
  ++x.index;
  x.more = x.zip.goToNextFile();
}

void ArchiveExtractor::abandonFile() {
  if (extraction_ && extraction_->fd >= 0) {
    ::close(std::exchange(extraction_->fd, -1));
  }
  if (extraction_ && extraction_->source.isOpen()) {
    extraction_->source.close();
  }
}

bool ArchiveExtractor::makeFolders(const QString& folder, const QString& relativePath) {
  QString path = folder;
  for (const QString& part : relativePath.split(QLatin1Char('/'))) {
    path += QLatin1Char('/') + part;
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), S_IRWXU) == 0) {
      if (::chmod(native.constData(), 0755) != 0) {
        return fail(QStringLiteral("cannot set the permissions of %1: %2").arg(path, qt_error_string(errno)));
      }
      continue;
    }
    const int error = errno;
    struct stat st {};
    // An existing folder is one created for an earlier entry; anything else (a symlink) is refused.
    if (error != EEXIST || ::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      return fail(QStringLiteral("cannot create folder %1: %2").arg(path, qt_error_string(error)));
    }
  }
  return true;
}

bool ArchiveExtractor::fail(const QString& message) {
  error_ = message;
  qWarning() << "Archive" << archivePath_ << "failed:" << qUtf8Printable(message);
  return false;
}

bool ArchiveExtractor::refuse(const QString& name, const QString& reason) {
  error_ = QStringLiteral("refused entry \"%1\": %2").arg(name, reason);
  qWarning() << "Refusing archive entry:" << name << qUtf8Printable(reason);
  return false;
}

} // namespace arvexhub::launcher
