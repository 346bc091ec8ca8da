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

mode_t modeOf(int flags, va_list arguments) {
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

using arvexhub::test::killpoints::changesFile;
using arvexhub::test::killpoints::isRegularFile;
using arvexhub::test::killpoints::modeOf;
using arvexhub::test::killpoints::next;
using arvexhub::test::killpoints::point;

extern "C" {

ssize_t write(int fd, const void* buffer, size_t size) {
  static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
  if (isRegularFile(fd)) {
    point("write", nullptr);
  }
  return real(fd, buffer, size);
}

ssize_t pwrite64(int fd, const void* buffer, size_t size, off64_t offset) {
  static const auto real = next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
  point("pwrite", nullptr);
  return real(fd, buffer, size, offset);
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
  const mode_t mode = modeOf(flags, arguments);
  va_end(arguments);
  if (changesFile(flags)) {
    point("open", path);
  }
  return real(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  static const auto real = next<int (*)(const char*, int, ...)>("open64");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = modeOf(flags, arguments);
  va_end(arguments);
  if (changesFile(flags)) {
    point("open", path);
  }
  return real(path, flags, mode);
}

int openat(int dirFd, const char* path, int flags, ...) {
  static const auto real = next<int (*)(int, const char*, int, ...)>("openat");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = modeOf(flags, arguments);
  va_end(arguments);
  if (changesFile(flags)) {
    point("openat", path);
  }
  return real(dirFd, path, flags, mode);
}

int openat64(int dirFd, const char* path, int flags, ...) {
  static const auto real = next<int (*)(int, const char*, int, ...)>("openat64");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = modeOf(flags, arguments);
  va_end(arguments);
  if (changesFile(flags)) {
    point("openat", path);
  }
  return real(dirFd, path, flags, mode);
}

int rename(const char* from, const char* to) {
  static const auto real = next<int (*)(const char*, const char*)>("rename");
  point("rename", to);
  return real(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
  static const auto real = next<int (*)(int, const char*, int, const char*)>("renameat");
  point("renameat", to);
  return real(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
  static const auto real = next<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
  point("renameat2", to);
  return real(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to) {
  static const auto real = next<int (*)(const char*, const char*)>("link");
  point("link", to);
  return real(from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
  static const auto real = next<int (*)(int, const char*, int, const char*, int)>("linkat");
  point("linkat", to);
  return real(fromDir, from, toDir, to, flags);
}

int symlink(const char* target, const char* path) {
  static const auto real = next<int (*)(const char*, const char*)>("symlink");
  point("symlink", path);
  return real(target, path);
}

int unlink(const char* path) {
  static const auto real = next<int (*)(const char*)>("unlink");
  point("unlink", path);
  return real(path);
}

int unlinkat(int dirFd, const char* path, int flags) {
  static const auto real = next<int (*)(int, const char*, int)>("unlinkat");
  point("unlinkat", path);
  return real(dirFd, path, flags);
}

int rmdir(const char* path) {
  static const auto real = next<int (*)(const char*)>("rmdir");
  point("rmdir", path);
  return real(path);
}

int mkdir(const char* path, mode_t mode) {
  static const auto real = next<int (*)(const char*, mode_t)>("mkdir");
  point("mkdir", path);
  return real(path, mode);
}

int mkdirat(int dirFd, const char* path, mode_t mode) {
  static const auto real = next<int (*)(int, const char*, mode_t)>("mkdirat");
  point("mkdirat", path);
  return real(dirFd, path, mode);
}

int chmod(const char* path, mode_t mode) {
  static const auto real = next<int (*)(const char*, mode_t)>("chmod");
  point("chmod", path);
  return real(path, mode);
}

int fchmod(int fd, mode_t mode) {
  static const auto real = next<int (*)(int, mode_t)>("fchmod");
  point("fchmod", nullptr);
  return real(fd, mode);
}

int fchmodat(int dirFd, const char* path, mode_t mode, int flags) {
  static const auto real = next<int (*)(int, const char*, mode_t, int)>("fchmodat");
  point("fchmodat", path);
  return real(dirFd, path, mode, flags);
}

int ftruncate64(int fd, off64_t length) {
  static const auto real = next<int (*)(int, off64_t)>("ftruncate64");
  point("ftruncate", nullptr);
  return real(fd, length);
}

int fsync(int fd) {
  static const auto real = next<int (*)(int)>("fsync");
  point("fsync", nullptr);
  return real(fd);
}

int fdatasync(int fd) {
  static const auto real = next<int (*)(int)>("fdatasync");
  point("fdatasync", nullptr);
  return real(fd);
}

} // extern "C"
