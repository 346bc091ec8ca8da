#include "library/FileTree.h"

#include <QDebug>
#include <QFile>
#include <QList>

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace arvexhub::launcher::filetree {
namespace {

constexpr size_t copyBufferSize = size_t(1) << 20;

/// Closes a descriptor when leaving the scope.
class Fd {
public:
  explicit Fd(int fd)
      : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const {
    return fd_;
  }
  bool isValid() const {
    return fd_ >= 0;
  }

private:
  int fd_;
};

int openFolderAt(int parentFd, const char* name) {
  return ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

/// The names in an open folder, without "." and "..". The listing is taken before anything changes.
bool listFolder(int folderFd, QList<QByteArray>* names) {
  const int listFd = ::dup(folderFd);
  DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
  if (dir == nullptr) {
    if (listFd >= 0) {
      ::close(listFd);
    }
    return false;
  }
  ::rewinddir(dir);
  errno = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const QByteArray name(entry->d_name);
    if (name != ".." && name != ".") {
      names->append(name);
    }
  }
  const bool ok = errno == 0;
  ::closedir(dir);
  return ok;
}

QString describe(const QByteArray& name) {
  return QFile::decodeName(name) + QStringLiteral(": ") + qt_error_string(errno);
}

bool failWith(QString* error, const QString& message) {
  if (error != nullptr) {
    *error = message;
  }
  return false;
}

bool copyData(int from, int to) {
  QByteArray buffer(qsizetype(copyBufferSize), Qt::Uninitialized);
  for (;;) {
    const ssize_t read = ::read(from, buffer.data(), copyBufferSize);
    if (read < 0 && errno == EINTR) {
      continue;
    }
    if (read <= 0) {
      return read == 0;
    }
    for (ssize_t done = 0; done < read;) {
      const ssize_t written = ::write(to, buffer.constData() + done, size_t(read - done));
      if (written < 0 && errno == EINTR) {
        continue;
      }
      if (written <= 0) {
        return false;
      }
      done += written;
    }
  }
}

/// Copies a regular file with its permissions and times, for when a hard link is not possible.
bool copyFileAt(int fromFd, int toFd, const QByteArray& name, const struct stat& st) {
  const Fd from(::openat(fromFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!from.isValid()) {
    return false;
  }
  const Fd to(::openat(toFd, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       S_IRUSR | S_IWUSR));
  if (!to.isValid()) {
    return false;
  }
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  return copyData(from.get(), to.get()) && ::fchmod(to.get(), st.st_mode & 07777) == 0 &&
         ::futimens(to.get(), times) == 0;
}

bool copyLinkAt(int fromFd, int toFd, const QByteArray& name) {
  QByteArray target(PATH_MAX, '\0');
  const ssize_t length = ::readlinkat(fromFd, name.constData(), target.data(), size_t(target.size()));
  if (length < 0 || length >= target.size()) {
    return false;
  }
  target.truncate(length);
  return ::symlinkat(target.constData(), toFd, name.constData()) == 0;
}

bool carryOverAt(int fromFd, int toFd, Sharing sharing, QString* error);

bool carryFolderAt(int fromFd, int toFd, const QByteArray& name, const struct stat& st, Sharing sharing,
                   QString* error) {
  if (::mkdirat(toFd, name.constData(), S_IRWXU) != 0) {
    return failWith(error, describe(name));
  }
  const Fd from(openFolderAt(fromFd, name.constData()));
  const Fd to(openFolderAt(toFd, name.constData()));
  if (!from.isValid() || !to.isValid()) {
    return failWith(error, describe(name));
  }
  return carryOverAt(from.get(), to.get(), sharing, error) &&
         (::fchmod(to.get(), st.st_mode & 07777) == 0 || failWith(error, describe(name)));
}

/// Brings one entry `to` lacks.
bool carryEntryAt(int fromFd, int toFd, const QByteArray& name, const struct stat& st, Sharing sharing,
                  QString* error) {
  if (S_ISDIR(st.st_mode)) {
    return carryFolderAt(fromFd, toFd, name, st, sharing, error);
  }
  // Without AT_SYMLINK_FOLLOW a link to a symbolic link links the symbolic link itself.
  if (sharing == Sharing::HardLinks && ::linkat(fromFd, name.constData(), toFd, name.constData(), 0) == 0) {
    return true;
  }
  if (S_ISREG(st.st_mode)) {
    return copyFileAt(fromFd, toFd, name, st) || failWith(error, describe(name));
  }
  if (S_ISLNK(st.st_mode)) {
    return copyLinkAt(fromFd, toFd, name) || failWith(error, describe(name));
  }
  qWarning() << "Not carrying over special file:" << QFile::decodeName(name);
  return true;
}

bool carryOverAt(int fromFd, int toFd, Sharing sharing, QString* error) {
  QList<QByteArray> names;
  if (!listFolder(fromFd, &names)) {
    return failWith(error, QStringLiteral("cannot list a folder: ") + qt_error_string(errno));
  }
  for (const QByteArray& name : std::as_const(names)) {
    struct stat from {};
    struct stat to {};
    if (::fstatat(fromFd, name.constData(), &from, AT_SYMLINK_NOFOLLOW) != 0) {
      return failWith(error, describe(name));
    }
    if (::fstatat(toFd, name.constData(), &to, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno != ENOENT) {
        return failWith(error, describe(name));
      }
      if (!carryEntryAt(fromFd, toFd, name, from, sharing, error)) {
        return false;
      }
      continue;
    }
    if (S_ISDIR(from.st_mode) && S_ISDIR(to.st_mode)) {
      const Fd fromChild(openFolderAt(fromFd, name.constData()));
      const Fd toChild(openFolderAt(toFd, name.constData()));
      if (!fromChild.isValid() || !toChild.isValid()) {
        return failWith(error, describe(name));
      }
      if (!carryOverAt(fromChild.get(), toChild.get(), sharing, error)) {
        return false;
      }
    } else if (S_ISDIR(from.st_mode) != S_ISDIR(to.st_mode)) {
      qWarning() << "New version replaces" << QFile::decodeName(name) << "with an entry of another type";
    }
  }
  return true;
}

} // namespace

bool removeTreeAt(int folderFd, const QByteArray& name) {
  struct stat st {};
  if (::fstatat(folderFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT;
  }
  if (!S_ISDIR(st.st_mode)) {
    return ::unlinkat(folderFd, name.constData(), 0) == 0 || errno == ENOENT;
  }
  // A folder the game made read-only must still be emptied; the flag refuses to touch a symlink.
  if ((st.st_mode & S_IRWXU) != S_IRWXU) {
    ::fchmodat(folderFd, name.constData(), (st.st_mode & 07777) | S_IRWXU, AT_SYMLINK_NOFOLLOW);
  }
  bool ok = true;
  {
    const Fd fd(openFolderAt(folderFd, name.constData()));
    QList<QByteArray> names;
    if (!fd.isValid() || !listFolder(fd.get(), &names)) {
      return false;
    }
    for (const QByteArray& child : std::as_const(names)) {
      ok = removeTreeAt(fd.get(), child) && ok;
    }
  }
  return ::unlinkat(folderFd, name.constData(), AT_REMOVEDIR) == 0 && ok;
}

bool removeTree(const QString& path) {
  const QByteArray native = QFile::encodeName(path);
  const qsizetype slash = native.lastIndexOf('/');
  const QByteArray parent = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : native.left(slash);
  const QByteArray name = native.mid(slash + 1);
  if (name.isEmpty() || name == "." || name == "..") {
    return false;
  }
  const Fd parentFd(::open(parent.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return parentFd.isValid() && removeTreeAt(parentFd.get(), name);
}

bool carryOver(const QString& from, const QString& to, QString* error, Sharing sharing) {
  const Fd fromFd(
      ::open(QFile::encodeName(from).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  const Fd toFd(::open(QFile::encodeName(to).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fromFd.isValid() || !toFd.isValid()) {
    return failWith(error, QStringLiteral("cannot open %1 or %2: %3").arg(from, to, qt_error_string(errno)));
  }
  return carryOverAt(fromFd.get(), toFd.get(), sharing, error);
}

} // namespace arvexhub::launcher::filetree
