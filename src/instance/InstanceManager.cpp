#include "instance/InstanceManager.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cstdlib>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace arvexhub::instance {

namespace {
Q_LOGGING_CATEGORY(lcInstance, "arvexhub.instance")

// A primary that is just starting takes the lock a moment before it listens: give it this long.
constexpr int kConnectWindowMs = 1500;
constexpr int kConnectAttemptMs = 250;
constexpr unsigned long kRetryPauseMs = 100;
// Time for the frame to be written and acknowledged once connected.
constexpr int kReplyTimeoutMs = 2000;
// sun_path holds 108 bytes, and QLocalServer first binds under a slightly longer temporary name.
constexpr qsizetype kMaxSocketPathBytes = 96;

QString userId() {
#ifdef Q_OS_UNIX
  return QString::number(::geteuid());
#else
  return qEnvironmentVariable("USERNAME");
#endif
}

QString sanitized(const QString& name) {
  QString result = name;
  for (QChar& c : result) {
    const bool allowed = (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-' || c == u'_';
    if (!allowed) {
      c = u'_';
    }
  }
  return result;
}

QString defaultServerName() {
  const auto key =
      (QCoreApplication::organizationName() + u'\n' + QCoreApplication::applicationName()).toUtf8();
  const auto hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16);
  return sanitized(QStringLiteral("arvexhub-%1-%2").arg(QString::fromLatin1(hash), userId()));
}

bool isPrivateFolder(const QFileInfo& info) {
  constexpr auto othersAccess = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                QFile::WriteOther | QFile::ExeOther;
  if (!info.isDir() || info.isSymLink() || (info.permissions() & othersAccess) != 0) {
    return false;
  }
#ifdef Q_OS_UNIX
  return info.ownerId() == ::geteuid();
#else
  return true;
#endif
}

// The lock and socket live where only this user can create or replace files, so nobody else can
// squat the name or take the lock first.
QString privateFolder() {
  auto runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (!runtime.isEmpty() && isPrivateFolder(QFileInfo(runtime))) {
    return runtime;
  }
  auto folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation) +
                QStringLiteral("/arvexhub-") + userId();
  QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  if (!isPrivateFolder(QFileInfo(folder))) {
    qCWarning(lcInstance) << "No private folder for the instance lock:" << folder << "is not ours alone";
    return {};
  }
  return folder;
}

int remainingMs(const QDeadlineTimer& deadline) {
  return static_cast<int>(qMax<qint64>(deadline.remainingTime(), 0));
}

bool connectToPrimary(QLocalSocket& socket, const QString& server) {
  const QDeadlineTimer window(kConnectWindowMs);
  for (;;) {
    socket.connectToServer(server);
    if (socket.waitForConnected(kConnectAttemptMs)) {
      return true;
    }
    socket.abort();
    if (window.hasExpired()) {
      return false;
    }
    QThread::msleep(kRetryPauseMs);
  }
}

bool exchange(QLocalSocket& socket, const QByteArray& frame) {
  const QDeadlineTimer deadline(kReplyTimeoutMs);
  socket.write(frame);
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(remainingMs(deadline))) {
      return false;
    }
  }
  while (socket.bytesAvailable() < 1) {
    if (!socket.waitForReadyRead(remainingMs(deadline))) {
      return false;
    }
  }
  char reply = 0;
  return socket.getChar(&reply) && reply == kAcknowledgement;
}

bool deliverMessage(const QString& server, const QByteArray& message) {
  if (message.size() > kMaxMessageSize) {
    qCWarning(lcInstance, "Message of %lld bytes not sent: the limit is %lld",
              static_cast<long long>(message.size()), static_cast<long long>(kMaxMessageSize));
    return false;
  }
  QLocalSocket socket;
  if (!connectToPrimary(socket, server)) {
    qCWarning(lcInstance) << "The running instance holds the lock but does not listen on" << server;
    return false;
  }
  if (!exchange(socket, encodeFrame(message))) {
    qCWarning(lcInstance) << "The running instance did not acknowledge the message:" << socket.errorString();
    return false;
  }
  return true;
}
} // namespace

InstanceManager::InstanceManager(QObject* parent)
    : QObject(parent) {
  connect(&server_, &InstanceServer::messageReceived, this,
          &InstanceManager::secondaryInstanceMessageReceived);
  // setMode(Single) may come before there is an application to decide with.
  QTimer::singleShot(0, this, &InstanceManager::decideRole);
}

InstanceManager::~InstanceManager() {
  releasePrimary();
}

InstanceManager::Mode InstanceManager::mode() const {
  return mode_;
}

void InstanceManager::setMode(Mode mode) {
  if (mode == mode_) {
    return;
  }
  mode_ = mode;
  if (mode_ == Mode::Single) {
    decideRole();
    return;
  }
  releasePrimary();
  role_ = Role::Undecided;
  delivered_ = false;
}

InstanceManager::ExitMode InstanceManager::exitMode() const {
  return exitMode_;
}

void InstanceManager::setExitMode(ExitMode mode) {
  exitMode_ = mode;
}

bool InstanceManager::isPrimary() const {
  return mode_ == Mode::Multiple || role_ == Role::Primary;
}

bool InstanceManager::isSecondary() const {
  return mode_ == Mode::Single && role_ == Role::Secondary;
}

bool InstanceManager::messageDelivered() const {
  return delivered_;
}

QString InstanceManager::serverName() const {
  return serverName_.isEmpty() ? defaultServerName() : serverName_;
}

void InstanceManager::setServerName(const QString& name) {
  // The name becomes a file name: no separators, no surprises.
  serverName_ = sanitized(name);
}

QString InstanceManager::fullServerName() const {
  auto path = folder().isEmpty() ? QString() : folder() + u'/' + serverName();
  if (path.isEmpty() || QFile::encodeName(path).size() > kMaxSocketPathBytes) {
    return serverName(); // QLocalServer puts a bare name in the temporary folder
  }
  return path;
}

QString InstanceManager::lockFilePath() const {
  return folder().isEmpty() ? QString() : folder() + u'/' + serverName() + QStringLiteral(".lock");
}

QString InstanceManager::folder() const {
  if (!folder_) {
    folder_ = privateFolder();
  }
  return *folder_;
}

QByteArray InstanceManager::messageToSend() const {
  if (message_) {
    return *message_;
  }
  if (QCoreApplication::instance() == nullptr) {
    return {};
  }
  return QCoreApplication::arguments().mid(1).join(u' ').toUtf8();
}

void InstanceManager::setMessageToSend(const QByteArray& message) {
  message_ = message;
}

void InstanceManager::decideRole() {
  if (mode_ != Mode::Single || role_ != Role::Undecided) {
    return;
  }
  if (QCoreApplication::instance() == nullptr) {
    return; // the single shot queued by the constructor comes back once the event loop runs
  }
  if (becomePrimary()) {
    role_ = Role::Primary;
    return;
  }
  becomeSecondary();
}

bool InstanceManager::becomePrimary() {
  const auto lockPath = lockFilePath();
  if (lockPath.isEmpty()) {
    qCWarning(lcInstance) << "Running without the single-instance check";
    return true;
  }
  if (!takeLock(lockPath)) {
    return false;
  }
  if (lock_ && !server_.listen(fullServerName())) {
    // Keep the lock anyway: this is still the one instance, only unreachable.
    qCWarning(lcInstance) << "Later starts will not be able to reach this instance";
  }
  return true;
}

// Returns false only when another live instance holds the lock. Any other failure to lock lets
// this instance run unchecked rather than refuse to start.
bool InstanceManager::takeLock(const QString& path) {
  auto lock = std::make_unique<QLockFile>(path);
  // Never expire a lock by age: a primary may run for weeks. A lock whose owner process is gone
  // (a crashed or killed primary) is still stale, and tryLock removes it by itself.
  lock->setStaleLockTime(0);
  if (lock->tryLock(0)) {
    lock_ = std::move(lock);
    return true;
  }
  if (lock->error() == QLockFile::LockFailedError) {
    return false;
  }
  qCWarning(lcInstance) << "Cannot create the instance lock" << path
                        << "- running without the single-instance check";
  return true;
}

void InstanceManager::becomeSecondary() {
  role_ = Role::Secondary;
  // If the lock owner is alive but never answers, it is hung or could not listen. Starting anyway
  // would put two instances on the same files, so this one still ends, reporting the lost message.
  delivered_ = deliverMessage(fullServerName(), messageToSend());
  emit appExitRequested();
  if (exitMode_ == ExitMode::Auto) {
    const int code = delivered_ ? EXIT_SUCCESS : EXIT_FAILURE;
    QCoreApplication::exit(code);
    // There may be no event loop yet (we can be inside the application's constructor), and the
    // secondary must end before it opens any window.
    std::exit(code);
  }
}

void InstanceManager::releasePrimary() {
  server_.close();
  if (lock_) {
    lock_->unlock();
    lock_.reset();
  }
}

} // namespace arvexhub::instance
