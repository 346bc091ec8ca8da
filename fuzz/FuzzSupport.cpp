#include "FuzzSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
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
  for (const QString& name : folder.entryList({QStringLiteral("arvexhub-fuzz-*-*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
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
  for (const char* variable : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
    qunsetenv(variable);
  }
  // Memory-backed where the machine has it: the installer's and the playlist's fsync calls and
  // the many small files cost little there, and a long run does not wear a disk.
  const QFileInfo shm(QStringLiteral("/dev/shm"));
  const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
  removeAbandonedScratch(base);
  scratch = new QTemporaryDir(base + QStringLiteral("/arvexhub-fuzz-%1-XXXXXX").arg(QCoreApplication::applicationPid()));
  if (!scratch->isValid()) {
    std::fprintf(stderr, "cannot create a scratch folder in %s\n", qUtf8Printable(base));
    std::abort();
  }
  std::atexit(removeScratch);
  const QString home = scratch->path() + QStringLiteral("/home");
  for (const QString& folder : {QStringLiteral("/.config"), QStringLiteral("/.local/share"), QStringLiteral("/.cache"),
                                QStringLiteral("/run"), QStringLiteral("/tmp")}) {
    QDir().mkpath(home + folder);
  }
  QFile::setPermissions(home + QStringLiteral("/run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner);
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

void recreateFolder(const QString& path) {
  const QFileInfo info(path);
  if (info.isSymLink() || info.isFile()) {
    QFile::remove(path);
  } else if (info.isDir()) {
    QDir(path).removeRecursively();
  }
  if (!QDir().mkpath(path)) {
    fail(__FILE__, __LINE__, "mkpath", path);
  }
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    fail(__FILE__, __LINE__, "write", path);
  }
}

Snapshot snapshot(const QString& root, const QString& excluded) {
  Snapshot result;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (!excluded.isEmpty() && (path == excluded || path.startsWith(excluded + QLatin1Char('/')))) {
      continue;
    }
    const QFileInfo info = it.fileInfo();
    result.insert(path, {info.isDir() ? -1 : info.size(), info.lastModified()});
  }
  return result;
}

QStringList differences(const Snapshot& before, const Snapshot& after) {
  QStringList changed;
  for (auto it = after.cbegin(); it != after.cend(); ++it) {
    const auto old = before.constFind(it.key());
    if (old == before.cend()) {
      changed << QStringLiteral("new: ") + it.key();
    } else if (*old != it.value()) {
      changed << QStringLiteral("changed: ") + it.key();
    }
  }
  for (auto it = before.cbegin(); it != before.cend(); ++it) {
    if (!after.contains(it.key())) {
      changed << QStringLiteral("gone: ") + it.key();
    }
  }
  return changed;
}

bool spinOnce(int timeoutMs) {
  // A timer wakes the wait up, so a caller's deadline is checked even when nothing happens.
  static QTimer* wakeUp = [] {
    auto* timer = new QTimer;
    timer->setInterval(5);
    timer->start();
    return timer;
  }();
  Q_UNUSED(wakeUp);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents, timeoutMs);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return true;
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
