#include "library/ArchiveReadDevice.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace arvexhub::launcher {
namespace {

// Large enough for every header and name the reader asks for; reads of this size or more
// (the compressed data of an entry) go straight to the caller's buffer.
constexpr qint64 windowSize = 64 * 1024;

} // namespace

ArchiveReadDevice::ArchiveReadDevice(QString path, QObject* parent)
    : QIODevice(parent)
    , path_(std::move(path)) {}

ArchiveReadDevice::~ArchiveReadDevice() {
  close();
}

bool ArchiveReadDevice::open(OpenMode mode) {
  if (isOpen() || (mode & ~QIODevice::Unbuffered) != QIODevice::ReadOnly) {
    return false;
  }
  fd_ = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    setErrorString(QString::fromLocal8Bit(std::strerror(fd_ < 0 ? errno : EINVAL)));
    close();
    return false;
  }
  size_ = st.st_size;
  window_.resize(size_t(windowSize));
  windowStart_ = 0;
  windowLength_ = 0;
  // The window is the only buffer: seeking must not throw a second one away.
  return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void ArchiveReadDevice::close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  window_ = {};
  windowLength_ = 0;
  QIODevice::close();
}

bool ArchiveReadDevice::isSequential() const {
  return false;
}

qint64 ArchiveReadDevice::size() const {
  return size_;
}

qint64 ArchiveReadDevice::readData(char* data, qint64 maxSize) {
  const qint64 offset = pos();
  if (offset >= size_) {
    return 0; // a damaged directory points past the end again and again
  }
  if (maxSize >= windowSize) {
    return readAt(offset, data, maxSize);
  }
  const qint64 windowEnd = windowStart_ + windowLength_;
  // A window that reaches the end of the file also answers reads that run past it.
  const bool inWindow =
      offset >= windowStart_ && offset <= windowEnd && (offset + maxSize <= windowEnd || windowEnd == size_);
  if (!inWindow) {
    windowLength_ = readAt(offset, window_.data(), windowSize);
    windowStart_ = offset;
    if (windowLength_ < 0) {
      windowLength_ = 0;
      return -1;
    }
  }
  const qint64 count = qMax(qint64{0}, qMin(maxSize, windowStart_ + windowLength_ - offset));
  std::memcpy(data, window_.data() + (offset - windowStart_), size_t(count));
  return count;
}

qint64 ArchiveReadDevice::writeData(const char*, qint64) {
  return -1;
}

qint64 ArchiveReadDevice::readAt(qint64 offset, char* data, qint64 length) {
  qint64 done = 0;
  while (done < length) {
    const ssize_t read = ::pread(fd_, data + done, size_t(length - done), off_t(offset + done));
    if (read < 0 && errno == EINTR) {
      continue;
    }
    if (read < 0) {
      setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
      return done > 0 ? done : -1;
    }
    if (read == 0) {
      break;
    }
    done += read;
  }
  return done;
}

} // namespace arvexhub::launcher
