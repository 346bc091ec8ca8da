#include "FuzzSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace arvexhub::fuzz {
namespace {

QTemporaryDir* scratch = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  // Every refused input logs a warning; printing them would cost more than the input itself.
  // Fatal messages still end the run, as Qt's own handler would.
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    std::abort();
  }
}

/// A run that crashed never removed its scratch folder: the folders of processes that are gone
/// are removed at the next start (in /dev/shm they would hold memory until a reboot).
void removeAbandonedScratch(const QString& base) {
  const QDir folder(base);
  for (const QString& name :
       folder.entryList({QStringLiteral("arvexhub-fuzz-*-*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
    bool isNumber = false;
    const qint64 pid = name.section(QLatin1Char('-'), 2, 2).toLongLong(&isNumber);
    if (isNumber && pid > 0 && !QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)) &&
        QFileInfo(folder.filePath(name)).ownerId() == ::getuid()) {
      QDir(folder.filePath(name)).removeRecursively();
    }
  }
}

void removeScratch() {
  delete scratch;
  scratch = nullptr;
}

} // namespace

void initialize(int* argc, char*** argv, AppKind kind) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Proxies from the environment would send requests away from this machine.
  for (const char* variable :
       {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
    qunsetenv(variable);
  }
  // Memory-backed where the machine has it: the installer's and the playlist's fsync calls and
  // the many small files cost little there, and a long run does not wear a disk.
  const QFileInfo shm(QStringLiteral("/dev/shm"));
  const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
  removeAbandonedScratch(base);
  scratch = new QTemporaryDir(
      base + QStringLiteral("/arvexhub-fuzz-%1-XXXXXX").arg(QCoreApplication::applicationPid()));
  if (!scratch->isValid()) {
    std::fprintf(stderr, "cannot create a scratch folder in %s\n", qUtf8Printable(base));
    std::abort();
  }
  std::atexit(removeScratch);
  const QString home = scratch->path() + QStringLiteral("/home");
  for (const QString& folder : {QStringLiteral("/.config"), QStringLiteral("/.local/share"),
                                QStringLiteral("/.cache"), QStringLiteral("/run"), QStringLiteral("/tmp")}) {
    QDir().mkpath(home + folder);
  }
  QFile::setPermissions(home + QStringLiteral("/run"),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("HOME", QFile::encodeName(home));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
  qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
  qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home + QStringLiteral("/run")));
  qputenv("TMPDIR", QFile::encodeName(home + QStringLiteral("/tmp")));
  if (qEnvironmentVariableIntValue("ARVEXHUB_FUZZ_VERBOSE") == 0) {
    qInstallMessageHandler(quietMessages);
  }
  // The application object lives as long as the process: libFuzzer never returns to main.
  switch (kind) {
  case AppKind::Core:
    new QCoreApplication(*argc, *argv);
    break;
  case AppKind::Gui:
    new QGuiApplication(*argc, *argv);
    break;
  case AppKind::Widgets:
    new QApplication(*argc, *argv);
    break;
  }
  QCoreApplication::setApplicationName(QStringLiteral("arvexhub-fuzz"));
  QCoreApplication::setApplicationVersion(QStringLiteral(ARVEXHUB_VERSION));
}

QString scratchHome() {
  return scratch->path() + QStringLiteral("/home");
}

void fail(const char* file, int line, const char* condition, const QString& detail) {
  std::fprintf(stderr, "%s:%d: broken promise: %s\n  %s\n", file, line, condition, qUtf8Printable(detail));
  std::fflush(stderr);
  std::abort();
}

namespace {

/// Calls `visit(name)` for each entry of an open folder but "." and "..". A plain read
/// into a buffer on the stack: opendir and QDirIterator allocate more per folder than a whole
/// input of most targets costs.
template <typename Visit>
void forEachEntry(int folder, Visit visit) {
  alignas(dirent64) char buffer[8192];
  for (ssize_t read = 0; (read = ::getdents64(folder, buffer, sizeof buffer)) > 0;) {
    for (ssize_t at = 0; at < read;) {
      const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
      at += entry->d_reclen;
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
        visit(entry->d_name);
      }
    }
  }
}

int openFolder(int parent, const char* name) {
  return ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

/// Removes everything below an open folder; false when something there cannot be removed.
bool removeBelow(int folder) {
  // Reading on while entries go can skip some: read again until a pass finds nothing.
  for (;;) {
    bool found = false;
    bool removed = false;
    ::lseek(folder, 0, SEEK_SET);
    forEachEntry(folder, [&](const char* name) {
      found = true;
      if (::unlinkat(folder, name, 0) == 0) {
        removed = true;
        return;
      }
      if (errno != EISDIR && errno != EPERM) {
        return;
      }
      if (const int child = openFolder(folder, name); child >= 0) {
        removeBelow(child);
        ::close(child);
      }
      removed = ::unlinkat(folder, name, AT_REMOVEDIR) == 0 || removed;
    });
    if (!found || !removed) {
      return !found;
    }
  }
}

/// Appends "path\0type permissions inode size seconds.nanoseconds\0" for each entry below an
/// open folder; `path` is the folder's path relative to the root and comes back unchanged.
void list(int folder, std::string& path, std::string& listing) {
  forEachEntry(folder, [&](const char* name) {
    const size_t length = path.size();
    path.append(1, '/').append(name);
    struct stat info {};
    if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
      char attributes[96];
      std::snprintf(attributes, sizeof attributes, "%o %llu %lld %lld.%09ld", unsigned(info.st_mode),
                    static_cast<unsigned long long>(info.st_ino), static_cast<long long>(info.st_size),
                    static_cast<long long>(info.st_mtim.tv_sec), info.st_mtim.tv_nsec);
      listing.append(path).append(1, '\0').append(attributes).append(1, '\0');
      if (const int child = S_ISDIR(info.st_mode) ? openFolder(folder, name) : -1; child >= 0) {
        list(child, path, listing);
        ::close(child);
      }
    }
    path.resize(length);
  });
}

std::map<std::string, std::string> entries(const std::string& listing) {
  std::map<std::string, std::string> result;
  for (size_t at = 0; at < listing.size();) {
    const size_t pathEnd = listing.find('\0', at);
    const size_t attributesEnd = listing.find('\0', pathEnd + 1);
    result.emplace(listing.substr(at, pathEnd - at),
                   listing.substr(pathEnd + 1, attributesEnd - pathEnd - 1));
    at = attributesEnd + 1;
  }
  return result;
}

} // namespace

void recreateFolder(const QString& path) {
  const QByteArray native = QFile::encodeName(path);
  struct stat info {};
  if (::lstat(native.constData(), &info) == 0 && !S_ISDIR(info.st_mode)) {
    ::unlink(native.constData());
  }
  if (::mkdir(native.constData(), 0755) != 0 && errno == ENOENT) {
    QDir().mkpath(path);
  }
  const int folder = openFolder(AT_FDCWD, native.constData());
  if (folder < 0) {
    fail(__FILE__, __LINE__, "mkpath", path);
  }
  const bool emptied = removeBelow(folder);
  ::fchmod(folder, 0755);
  ::close(folder);
  if (!emptied) {
    fail(__FILE__, __LINE__, "empty folder", path);
  }
}

void writeFile(const QString& path, const QByteArray& bytes) {
  const QByteArray native = QFile::encodeName(path);
  const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
  int file = ::open(native.constData(), flags, 0644);
  if (file < 0 && errno == ENOENT && QDir().mkpath(QFileInfo(path).absolutePath())) {
    file = ::open(native.constData(), flags, 0644);
  }
  bool written = file >= 0;
  for (qsizetype at = 0; written && at < bytes.size();) {
    const ssize_t wrote = ::write(file, bytes.constData() + at, size_t(bytes.size() - at));
    written = wrote > 0;
    at += wrote;
  }
  if (file < 0 || ::close(file) != 0 || !written) {
    fail(__FILE__, __LINE__, "write", path);
  }
}

QByteArray readFile(const QString& path) {
  QByteArray bytes;
  const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (file < 0) {
    return bytes;
  }
  char buffer[4096];
  for (ssize_t read = 0; (read = ::read(file, buffer, sizeof buffer)) > 0;) {
    bytes.append(buffer, qsizetype(read));
  }
  ::close(file);
  return bytes;
}

QStringList entryNames(const QString& folder) {
  QStringList names;
  if (const int open = openFolder(AT_FDCWD, QFile::encodeName(folder).constData()); open >= 0) {
    forEachEntry(open, [&names](const char* name) { names.append(QFile::decodeName(name)); });
    ::close(open);
  }
  return names;
}

Snapshot snapshot(const QString& root) {
  Snapshot result{root, {}};
  if (const int folder = openFolder(AT_FDCWD, QFile::encodeName(root).constData()); folder >= 0) {
    std::string path;
    list(folder, path, result.listing);
    ::close(folder);
  }
  return result;
}

QStringList differences(const Snapshot& before, const Snapshot& after) {
  if (before.listing == after.listing) {
    return {};
  }
  // Entries may also just come in another order: compared by path.
  const auto old = entries(before.listing);
  const auto now = entries(after.listing);
  QStringList changed;
  for (const auto& [path, attributes] : now) {
    const auto found = old.find(path);
    const QString name = after.root + QFile::decodeName(path.c_str());
    if (found == old.cend()) {
      changed << QStringLiteral("new: ") + name;
    } else if (found->second != attributes) {
      changed << QStringLiteral("changed: ") + name;
    }
  }
  for (const auto& [path, attributes] : old) {
    if (now.count(path) == 0) {
      changed << QStringLiteral("gone: ") + before.root + QFile::decodeName(path.c_str());
    }
  }
  return changed;
}

void spinOnce(bool wait) {
  // A timer wakes the wait up, so a caller's deadline is checked even when nothing happens.
  static QTimer* wakeUp = [] {
    auto* timer = new QTimer;
    timer->setInterval(5);
    timer->start();
    return timer;
  }();
  Q_UNUSED(wakeUp);
  // Waiting sleeps until there is something to do: polling would take the processor from the
  // threads (Qt's network thread) whose answer is awaited.
  QCoreApplication::processEvents(wait ? QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents
                                       : QEventLoop::AllEvents);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

LoopbackServer::LoopbackServer() {
  if (!listen(QHostAddress::LocalHost, 0)) {
    fail(__FILE__, __LINE__, "listen", errorString());
  }
}

QString LoopbackServer::baseUrl() const {
  return QStringLiteral("http://127.0.0.1:%1").arg(serverPort());
}

void LoopbackServer::serve(const QString& path, const QByteArray& body, const QByteArray& contentType) {
  documents_.insert(path, {body, contentType});
}

void LoopbackServer::clear() {
  documents_.clear();
}

const LoopbackServer::Document* LoopbackServer::documentAt(const QUrl& url) const {
  if (url.scheme() != QLatin1String("http") || url.host() != QLatin1String("127.0.0.1") ||
      url.port() != serverPort()) {
    return nullptr;
  }
  const auto found = documents_.constFind(url.path(QUrl::FullyEncoded));
  return found == documents_.cend() ? nullptr : &*found;
}

void LoopbackServer::becomeApplicationProxy() const {
  QNetworkProxy::setApplicationProxy(
      QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), serverPort()));
}

void LoopbackServer::incomingConnection(qintptr descriptor) {
  auto* socket = new QTcpSocket(this);
  socket->setSocketDescriptor(descriptor);
  auto request = std::make_shared<QByteArray>();
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
    request->append(socket->readAll());
    const qsizetype headEnd = request->indexOf("\r\n\r\n");
    if (headEnd < 0) {
      if (request->size() > 65536) {
        socket->abort();
      }
      return;
    }
    const QList<QByteArray> requestLine = request->left(request->indexOf("\r\n")).split(' ');
    const QByteArray method = requestLine.value(0);
    QByteArray target = requestLine.value(1);
    QByteArray answer;
    if (method == "CONNECT") {
      answer = "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    } else {
      // A proxied request names the whole URL; a direct one only the path.
      const QString path = QUrl(QString::fromLatin1(target)).path(QUrl::FullyEncoded);
      const auto found = documents_.constFind(path);
      if (method == "GET" && found != documents_.cend()) {
        answer = "HTTP/1.1 200 OK\r\nContent-Type: " + found->contentType +
                 "\r\nContent-Length: " + QByteArray::number(found->body.size()) +
                 "\r\nConnection: close\r\n\r\n" + found->body;
      } else {
        answer = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      }
    }
    socket->write(answer);
    socket->disconnectFromHost();
  });
}

QByteArray smallPng() {
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

} // namespace arvexhub::fuzz
