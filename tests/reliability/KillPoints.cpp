// Defines the C library's file-changing calls in the executable itself, which every shared
// library's calls resolve to first; each one counts and then hands over to the next definition
// (the sanitizer's or the C library's).
#include "KillPoints.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

namespace arvexhub::test::killpoints {
namespace {

std::atomic<bool> armed{false};
std::atomic<long> count{0};
long killAt = -1;

void say(const char* text) {
  // Straight to the kernel: write() itself is counted here.
  ::syscall(SYS_write, 2, text, std::strlen(text));
}

/// Counts one kill point; dies at the chosen one.
void point(const char* call, const char* path) {
  if (!armed.load(std::memory_order_relaxed)) {
    return;
  }
  const long reached = count.fetch_add(1) + 1;
  if (reached == killAt) {
    char line[768];
    std::snprintf(line, sizeof line, "killed at %ld: %s %s\n", reached, call, path ? path : "");
    say(line);
    ::raise(SIGKILL);
  }
}

bool isRegularFile(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

bool changesFile(int flags) {
  return (flags & (O_CREAT | O_TRUNC | O_WRONLY | O_RDWR)) != 0;
}

template <typename Function>
Function next(const char* name) {
  void* symbol = ::dlsym(RTLD_NEXT, name);
  if (!symbol) {
    say("kill points: a C library call is missing\n");
    std::abort();
  }
  return reinterpret_cast<Function>(symbol);
}

/// An open call's mode argument; counts the call when it may change a file.
mode_t openPoint(const char* call, const char* path, int flags, va_list arguments) {
  if (changesFile(flags)) {
    point(call, path);
  }
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

} // namespace

void arm() {
  if (const char* at = std::getenv("ARVEXHUB_KILL_AT")) {
    killAt = std::strtol(at, nullptr, 10);
  }
  armed = true;
}

long passed() {
  return count.load();
}

} // namespace arvexhub::test::killpoints

using arvexhub::test::killpoints::isRegularFile;
using arvexhub::test::killpoints::next;
using arvexhub::test::killpoints::openPoint;
using arvexhub::test::killpoints::point;

extern "C" {

ssize_t write(int fd, const void* buffer, size_t size) {
  static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
  if (isRegularFile(fd)) {
    point("write", nullptr);
  }
  return real(fd, buffer, size);
}

ssize_t writev(int fd, const struct iovec* vectors, int count) {
  static const auto real = next<ssize_t (*)(int, const struct iovec*, int)>("writev");
  if (isRegularFile(fd)) {
    point("writev", nullptr);
  }
  return real(fd, vectors, count);
}

int open(const char* path, int flags, ...) {
  static const auto real = next<int (*)(const char*, int, ...)>("open");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = openPoint("open", path, flags, arguments);
  va_end(arguments);
  return real(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  static const auto real = next<int (*)(const char*, int, ...)>("open64");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = openPoint("open", path, flags, arguments);
  va_end(arguments);
  return real(path, flags, mode);
}

int openat(int dirFd, const char* path, int flags, ...) {
  static const auto real = next<int (*)(int, const char*, int, ...)>("openat");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = openPoint("openat", path, flags, arguments);
  va_end(arguments);
  return real(dirFd, path, flags, mode);
}

int openat64(int dirFd, const char* path, int flags, ...) {
  static const auto real = next<int (*)(int, const char*, int, ...)>("openat64");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = openPoint("openat", path, flags, arguments);
  va_end(arguments);
  return real(dirFd, path, flags, mode);
}

// The calls that always change a file: each counts, then hands over.
#define ARVEXHUB_KILL_POINT(Result, name, parameters, path, ...)                                             \
  Result name parameters {                                                                                   \
    static const auto real = next<Result(*) parameters>(#name);                                              \
    point(#name, path);                                                                                      \
    return real(__VA_ARGS__);                                                                                \
  }

ARVEXHUB_KILL_POINT(int, rename, (const char* from, const char* to), to, from, to)
ARVEXHUB_KILL_POINT(int, renameat, (int fromDir, const char* from, int toDir, const char* to), to, fromDir,
                    from, toDir, to)
ARVEXHUB_KILL_POINT(int, renameat2,
                    (int fromDir, const char* from, int toDir, const char* to, unsigned int flags), to,
                    fromDir, from, toDir, to, flags)
ARVEXHUB_KILL_POINT(int, link, (const char* from, const char* to), to, from, to)
ARVEXHUB_KILL_POINT(int, linkat, (int fromDir, const char* from, int toDir, const char* to, int flags), to,
                    fromDir, from, toDir, to, flags)
ARVEXHUB_KILL_POINT(int, symlink, (const char* target, const char* path), path, target, path)
ARVEXHUB_KILL_POINT(int, unlink, (const char* path), path, path)
ARVEXHUB_KILL_POINT(int, unlinkat, (int dirFd, const char* path, int flags), path, dirFd, path, flags)
ARVEXHUB_KILL_POINT(int, rmdir, (const char* path), path, path)
ARVEXHUB_KILL_POINT(int, mkdir, (const char* path, mode_t mode), path, path, mode)
ARVEXHUB_KILL_POINT(int, mkdirat, (int dirFd, const char* path, mode_t mode), path, dirFd, path, mode)
ARVEXHUB_KILL_POINT(int, chmod, (const char* path, mode_t mode), path, path, mode)
ARVEXHUB_KILL_POINT(int, fchmod, (int fd, mode_t mode), nullptr, fd, mode)
ARVEXHUB_KILL_POINT(int, fchmodat, (int dirFd, const char* path, mode_t mode, int flags), path, dirFd, path,
                    mode, flags)
ARVEXHUB_KILL_POINT(int, ftruncate64, (int fd, off64_t length), nullptr, fd, length)
ARVEXHUB_KILL_POINT(int, fsync, (int fd), nullptr, fd)
ARVEXHUB_KILL_POINT(int, fdatasync, (int fd), nullptr, fd)
ARVEXHUB_KILL_POINT(ssize_t, pwrite64, (int fd, const void* buffer, size_t size, off64_t offset), nullptr, fd,
                    buffer, size, offset)

} // extern "C"
