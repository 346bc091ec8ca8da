#include "library/StagedInstall.h"

#include "library/FileTree.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace arvexhub::launcher {
namespace {

const QLatin1String stagingPrefix(".staging-");
const QLatin1String oldPrefix(".old-");
constexpr int nameAttempts = 16;

/// A random suffix without "-", so that the item name can be read back from a left-over's name.
QString randomToken() {
  static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  QString token;
  for (int i = 0; i < 10; ++i) {
    token += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof(alphabet) - 1))]);
  }
  return token;
}

QByteArray native(const QString& path) {
  return QFile::encodeName(path);
}

bool existsNoFollow(const QString& path) {
  struct stat st {};
  return ::lstat(native(path).constData(), &st) == 0 || errno != ENOENT;
}

/// Renames without replacing anything already at `to`; plain rename where the flag is not supported.
bool renameNoReplace(const QString& from, const QString& to) {
  if (::renameat2(AT_FDCWD, native(from).constData(), AT_FDCWD, native(to).constData(), RENAME_NOREPLACE) ==
      0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
    return false;
  }
  return !existsNoFollow(to) && ::rename(native(from).constData(), native(to).constData()) == 0;
}

/// The <name> of ".old-<name>-<token>", empty when the name does not have that form.
QString itemOfOldFolder(const QString& fileName) {
  const qsizetype dash = fileName.lastIndexOf(QLatin1Char('-'));
  return dash > oldPrefix.size() ? fileName.mid(oldPrefix.size(), dash - oldPrefix.size()) : QString();
}

void restoreOrRemoveOld(const QString& libraryFolder, const QString& fileName) {
  const QString path = libraryFolder + QLatin1Char('/') + fileName;
  const QString item = itemOfOldFolder(fileName);
  if (item.isEmpty()) {
    return;
  }
  const QString itemPath = libraryFolder + QLatin1Char('/') + item;
  if (!existsNoFollow(itemPath)) {
    qWarning() << "Restoring the previous installation of" << item;
    if (!renameNoReplace(path, itemPath)) {
      qWarning() << "Cannot restore" << path << qUtf8Printable(qt_error_string(errno));
    }
  } else if (!filetree::removeTree(path)) {
    qWarning() << "Cannot remove left-over" << path;
  }
}

/// The ".staging-*" and ".old-*" entries of the library folder. A plain directory read: this runs
/// at every start over thousands of items, and only hidden names can match.
QStringList leftoverNames(const QString& libraryFolder) {
  QStringList names;
  DIR* dir = ::opendir(native(libraryFolder).constData());
  if (dir == nullptr) {
    return names;
  }
  const QByteArray staging = QByteArray(stagingPrefix.data(), stagingPrefix.size());
  const QByteArray old = QByteArray(oldPrefix.data(), oldPrefix.size());
  while (const dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (name[0] == '.' && (qstrncmp(name, staging.constData(), staging.size()) == 0 ||
                           qstrncmp(name, old.constData(), old.size()) == 0)) {
      names.append(QFile::decodeName(name));
    }
  }
  ::closedir(dir);
  return names;
}

} // namespace

StagedInstall::StagedInstall(const QString& libraryFolder, QString itemName)
    // Paths are joined with "/": a folder given with a trailing one must not double it.
    : libraryFolder_(QDir::cleanPath(libraryFolder))
    , itemName_(std::move(itemName)) {}

StagedInstall::~StagedInstall() {
  discard();
}

bool StagedInstall::create() {
  if (active_) {
    return fail(QStringLiteral("the staging folder already exists"));
  }
  if (!QDir().mkpath(libraryFolder_)) {
    return fail(QStringLiteral("cannot create the library folder %1").arg(libraryFolder_));
  }
  for (int attempt = 0; attempt < nameAttempts; ++attempt) {
    const QString path =
        libraryFolder_ + QLatin1Char('/') + stagingPrefix + itemName_ + QLatin1Char('-') + randomToken();
    if (::mkdir(native(path).constData(), 0755) == 0) {
      stagingPath_ = path;
      active_ = true;
      return true;
    }
    if (errno != EEXIST) {
      return fail(QStringLiteral("cannot create %1: %2").arg(path, qt_error_string(errno)));
    }
  }
  return fail(QStringLiteral("no free staging folder name in %1").arg(libraryFolder_));
}

QString StagedInstall::stagingPath() const {
  return stagingPath_;
}

QString StagedInstall::itemPath() const {
  return libraryFolder_ + QLatin1Char('/') + itemName_;
}

bool StagedInstall::commit() {
  struct stat st {};
  if (!active_ || ::lstat(native(stagingPath_).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    return fail(QStringLiteral("no staging folder to install"));
  }
  if (::lstat(native(itemPath()).constData(), &st) != 0) {
    return errno == ENOENT
               ? moveIntoPlace()
               : fail(QStringLiteral("cannot read %1: %2").arg(itemPath(), qt_error_string(errno)));
  }
  if (!S_ISDIR(st.st_mode)) {
    return fail(QStringLiteral("%1 is not a folder").arg(itemPath()));
  }
  QString error;
  if (!filetree::carryOver(itemPath(), stagingPath_, &error)) {
    return fail(QStringLiteral("cannot carry over the files of the installed version: %1").arg(error));
  }
  QString oldFolder;
  if (!swapIn(&oldFolder)) {
    return false;
  }
  active_ = false;
  // Should this fail, the hidden left-over is removed at the next start.
  if (!filetree::removeTree(oldFolder)) {
    qWarning() << "Cannot remove the previous installation" << oldFolder;
  }
  return true;
}

void StagedInstall::discard() {
  if (!active_) {
    return;
  }
  active_ = false;
  if (!filetree::removeTree(stagingPath_)) {
    qWarning() << "Cannot remove the staging folder" << stagingPath_;
  }
}

QString StagedInstall::errorString() const {
  return error_;
}

bool StagedInstall::moveIntoPlace() {
  if (!renameNoReplace(stagingPath_, itemPath())) {
    return fail(
        QStringLiteral("cannot rename %1 to %2: %3").arg(stagingPath_, itemPath(), qt_error_string(errno)));
  }
  active_ = false;
  return true;
}

bool StagedInstall::swapIn(QString* oldFolder) {
  if (::renameat2(AT_FDCWD, native(stagingPath_).constData(), AT_FDCWD, native(itemPath()).constData(),
                  RENAME_EXCHANGE) == 0) {
    *oldFolder = stagingPath_; // the staging name now holds the previous version
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
    return fail(QStringLiteral("cannot exchange %1 and %2: %3")
                    .arg(stagingPath_, itemPath(), qt_error_string(errno)));
  }
  return swapByRenames(oldFolder);
}

/// Two renames for file systems without an atomic exchange. The item is missing only between them,
/// and cleanupLeftovers() puts the ".old-" folder back if the program is killed right there.
bool StagedInstall::swapByRenames(QString* oldFolder) {
  QString old;
  for (int attempt = 0; attempt < nameAttempts && (old.isEmpty() || existsNoFollow(old)); ++attempt) {
    old = libraryFolder_ + QLatin1Char('/') + oldPrefix + itemName_ + QLatin1Char('-') + randomToken();
  }
  if (!renameNoReplace(itemPath(), old)) {
    return fail(QStringLiteral("cannot rename %1 to %2: %3").arg(itemPath(), old, qt_error_string(errno)));
  }
  if (::rename(native(stagingPath_).constData(), native(itemPath()).constData()) != 0) {
    const QString reason = qt_error_string(errno);
    if (::rename(native(old).constData(), native(itemPath()).constData()) != 0) {
      qWarning() << "Cannot put back" << old << "; it is restored at the next start";
    }
    return fail(QStringLiteral("cannot rename %1 to %2: %3").arg(stagingPath_, itemPath(), reason));
  }
  *oldFolder = old;
  return true;
}

bool StagedInstall::fail(const QString& message) {
  error_ = message;
  qWarning() << "Installation of" << itemName_ << "failed:" << qUtf8Printable(message);
  return false;
}

void StagedInstall::cleanupLeftovers(const QString& folder) {
  const QString libraryFolder = QDir::cleanPath(folder);
  const QDir dir(libraryFolder);
  for (const QString& name : leftoverNames(libraryFolder)) {
    if (name.startsWith(stagingPrefix)) {
      if (!filetree::removeTree(dir.filePath(name))) {
        qWarning() << "Cannot remove left-over" << dir.filePath(name);
      }
    } else if (name.startsWith(oldPrefix)) {
      restoreOrRemoveOld(libraryFolder, name);
    }
  }
}

bool StagedInstall::removeItemFolder(const QString& libraryFolder, const QString& path) {
  const QString library = QFileInfo(libraryFolder).canonicalFilePath();
  QString cleaned = path;
  while (cleaned.size() > 1 && cleaned.endsWith(QLatin1Char('/'))) {
    cleaned.chop(1); // "link/" would otherwise stand for the folder the link points to
  }
  const QFileInfo info(cleaned);
  const QString name = info.fileName();
  // Only the parent is canonicalized: resolving the last component would follow a link.
  if (library.isEmpty() || name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
      QFileInfo(info.path()).canonicalFilePath() != library) {
    qWarning() << "Not removing" << path << ": not an item of" << libraryFolder;
    return false;
  }
  const int libraryFd = ::open(native(library).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  struct stat st {};
  bool removed = false;
  if (libraryFd >= 0 && ::fstatat(libraryFd, native(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
      (S_ISDIR(st.st_mode) || S_ISLNK(st.st_mode))) {
    removed = filetree::removeTreeAt(libraryFd, native(name));
  }
  if (libraryFd >= 0) {
    ::close(libraryFd);
  }
  return removed;
}

} // namespace arvexhub::launcher
