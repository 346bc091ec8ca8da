#include <instance/InstanceManager.h>
#include <instance/InstanceServer.h>
#include <instance/MessageFraming.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include <unistd.h>

using arvexhub::instance::FrameDecoder;
using arvexhub::instance::InstanceManager;
using arvexhub::instance::InstanceServer;
using arvexhub::instance::kAcknowledgement;
using arvexhub::instance::kMaxMessageSize;

namespace {
constexpr int kProcessTimeoutMs = 15000;
// Long enough for any connection the primary should drop by its own read timeout.
constexpr int kDropTimeoutMs = InstanceServer::kReadTimeoutMs + 3000;
constexpr auto kOthersAccess = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                               QFile::WriteOther | QFile::ExeOther;

// Written byte by byte so the decoder is not checked against the code it shares with the encoder.
QByteArray header(quint32 length) {
  QByteArray bytes;
  for (int shift = 24; shift >= 0; shift -= 8) {
    bytes.append(static_cast<char>((length >> shift) & 0xff));
  }
  return bytes;
}

QByteArray frame(const QByteArray& payload) {
  return header(static_cast<quint32>(payload.size())) + payload;
}

// Same pattern as the peer program's PEER_MESSAGE_SIZE messages.
QByteArray patternMessage(qsizetype size) {
  QByteArray message(size, Qt::Uninitialized);
  for (qsizetype i = 0; i < size; ++i) {
    message[i] = static_cast<char>('a' + i % 26);
  }
  return message;
}

QString uniqueServerName() {
  static int counter = 0;
  return QStringLiteral("tst-im-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

std::unique_ptr<InstanceManager> makeManager(const QString& serverName) {
  auto manager = std::make_unique<InstanceManager>();
  manager->setExitMode(InstanceManager::ExitMode::Manual); // an Auto secondary would end the test
  manager->setServerName(serverName);
  return manager;
}

std::unique_ptr<InstanceManager> makePrimary(const QString& serverName) {
  auto manager = makeManager(serverName);
  manager->setMode(InstanceManager::Mode::Single);
  return manager;
}

/// Records our own warnings (keeping them out of the log) so tests can wait for them.
class WarningLog final {
public:
  WarningLog() {
    instance_ = this;
    previous_ = qInstallMessageHandler(&WarningLog::handle);
  }
  ~WarningLog() {
    qInstallMessageHandler(previous_);
    instance_ = nullptr;
  }
  Q_DISABLE_COPY_MOVE(WarningLog)

  bool contains(const QString& pattern) const {
    const QRegularExpression expression(pattern);
    return std::any_of(messages_.cbegin(), messages_.cend(), [&expression](const QString& message) {
      return expression.match(message).hasMatch();
    });
  }
  QString all() const {
    return messages_.join(u'\n');
  }

private:
  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (QByteArray(context.category).startsWith("arvexhub.instance")) {
      if (type == QtWarningMsg) {
        instance_->messages_.append(message);
      }
      return;
    }
    instance_->previous_(type, context, message);
  }

  static inline WarningLog* instance_{nullptr};
  QtMessageHandler previous_{nullptr};
  QStringList messages_;
};

/// Another start of a program using InstanceManager; killed with the object if still running.
class Peer final {
public:
  Peer(const QString& serverName, const QStringList& arguments, const QStringList& environment = {}) {
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PEER_SERVER_NAME"), serverName);
    for (const auto& entry : environment) {
      env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    }
    process_.setProcessEnvironment(env);
    process_.start(QStringLiteral(INSTANCE_PEER_PATH), arguments);
  }
  ~Peer() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished();
    }
  }
  Q_DISABLE_COPY_MOVE(Peer)

  QProcess& process() {
    return process_;
  }
  bool isRunning() const {
    return process_.state() != QProcess::NotRunning;
  }
  /// Everything printed so far.
  QByteArray output() {
    output_ += process_.readAllStandardOutput();
    return output_;
  }
  QByteArray errors() {
    return process_.readAllStandardError();
  }

private:
  QProcess process_;
  QByteArray output_;
};

std::unique_ptr<QLocalSocket> connectedClient(const QString& server) {
  auto socket = std::make_unique<QLocalSocket>();
  socket->connectToServer(server);
  return socket->waitForConnected(2000) ? std::move(socket) : nullptr;
}
} // namespace

class TestInstanceManager final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void decodesFramesFromAnyReads_data();
  void decodesFramesFromAnyReads();
  void encodesBigEndianLengthPrefix_data();
  void encodesBigEndianLengthPrefix();
  void serverNameIsPerApplicationAndSafe_data();
  void serverNameIsPerApplicationAndSafe();
  void secondProcessHandsOverItsMessage_data();
  void secondProcessHandsOverItsMessage();
  void killedPrimaryDoesNotBlockNextStart();
  void manualSecondaryStaysAndReportsDelivery();
  void unresponsivePrimaryKeepsSecondary_data();
  void unresponsivePrimaryKeepsSecondary();
  void dropsMalformedConnections_data();
  void dropsMalformedConnections();
  void readsSplitMessagesFromSeveralConnections_data();
  void readsSplitMessagesFromSeveralConnections();
  void refusesConnectionsBeyondTheLimit();
  void multipleModeNeverTakesTheLock();
  void leavingReleasesLockAndSocket_data();
  void leavingReleasesLockAndSocket();
};

void TestInstanceManager::initTestCase() {
  // The test environment points XDG_RUNTIME_DIR at a folder that does not exist yet; the session
  // manager would have created it, owner-only.
  const auto runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && !QFileInfo::exists(runtime)) {
    QVERIFY(QDir().mkpath(runtime));
    QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  }
  InstanceManager manager;
  QVERIFY2(!manager.lockFilePath().isEmpty(), "no private folder for the lock");
  QVERIFY(QFileInfo::exists(QStringLiteral(INSTANCE_PEER_PATH)));
}

void TestInstanceManager::decodesFramesFromAnyReads_data() {
  QTest::addColumn<QByteArrayList>("reads");
  QTest::addColumn<FrameDecoder::State>("state");
  QTest::addColumn<QByteArray>("message");

  using State = FrameDecoder::State;
  const auto max = patternMessage(kMaxMessageSize);
  QTest::newRow("empty message") << QByteArrayList{header(0)} << State::Complete << QByteArray();
  QTest::newRow("header byte by byte") << QByteArrayList{QByteArray(1, '\0'), QByteArray(1, '\0'),
                                                         QByteArray(1, '\0'), QByteArray(1, '\3'), "abc"}
                                       << State::Complete << QByteArray("abc");
  QTest::newRow("payload split") << QByteArrayList{header(5) + "he", "l", "lo"} << State::Complete
                                 << QByteArray("hello");
  QTest::newRow("length above 255") << QByteArrayList{frame(patternMessage(300))} << State::Complete
                                    << patternMessage(300);
  QTest::newRow("maximum size") << QByteArrayList{header(kMaxMessageSize), max} << State::Complete << max;
  QTest::newRow("just over the maximum")
      << QByteArrayList{header(kMaxMessageSize + 1)} << State::Invalid << QByteArray();
  QTest::newRow("huge length") << QByteArrayList{"\xff\xff\xff\xff"} << State::Invalid << QByteArray();
  QTest::newRow("bytes after the frame")
      << QByteArrayList{frame("hi") + "x"} << State::Invalid << QByteArray();
  QTest::newRow("bytes after the frame, later")
      << QByteArrayList{frame("hi"), "x"} << State::Invalid << QByteArray();
  QTest::newRow("frame after garbage")
      << QByteArrayList{"\xff\xff\xff\xff", frame("hi")} << State::Invalid << QByteArray();
  QTest::newRow("truncated payload") << QByteArrayList{header(10) + "short"} << State::Incomplete
                                     << QByteArray();
  QTest::newRow("partial header") << QByteArrayList{QByteArray(2, '\0')} << State::Incomplete << QByteArray();
}

void TestInstanceManager::decodesFramesFromAnyReads() {
  QFETCH(QByteArrayList, reads);
  QFETCH(FrameDecoder::State, state);
  QFETCH(QByteArray, message);

  FrameDecoder decoder;
  auto last = decoder.state();
  for (const auto& bytes : reads) {
    last = decoder.feed(bytes);
  }
  QCOMPARE(last, state);
  QCOMPARE(decoder.state(), state);
  QCOMPARE(decoder.message(), message);
}

void TestInstanceManager::encodesBigEndianLengthPrefix_data() {
  QTest::addColumn<QByteArray>("payload");
  QTest::addColumn<QByteArray>("prefix");

  QTest::newRow("empty") << QByteArray() << QByteArray("\0\0\0\0", 4);
  QTest::newRow("short") << QByteArray("hello") << QByteArray("\0\0\0\x05", 4);
  QTest::newRow("two length bytes") << patternMessage(0x012c) << QByteArray("\0\0\x01\x2c", 4);
  QTest::newRow("maximum") << patternMessage(kMaxMessageSize) << QByteArray("\0\x01\0\0", 4);
}

void TestInstanceManager::encodesBigEndianLengthPrefix() {
  QFETCH(QByteArray, payload);
  QFETCH(QByteArray, prefix);

  QCOMPARE(arvexhub::instance::encodeFrame(payload), prefix + payload);
}

void TestInstanceManager::serverNameIsPerApplicationAndSafe_data() {
  QTest::addColumn<QString>("requested");
  QTest::addColumn<QString>("expected");

  QTest::newRow("plain") << QStringLiteral("my-server_2") << QStringLiteral("my-server_2");
  QTest::newRow("path separators") << QStringLiteral("../etc/x") << QStringLiteral("___etc_x");
  QTest::newRow("spaces and accents") << QStringLiteral("a b\u00e9") << QStringLiteral("a_b_");
}

void TestInstanceManager::serverNameIsPerApplicationAndSafe() {
  QFETCH(QString, requested);
  QFETCH(QString, expected);

  InstanceManager manager;
  const auto defaultName = manager.serverName();
  const auto uid = ::geteuid();
  QVERIFY2(
      QRegularExpression(QStringLiteral("^arvexhub-[0-9a-f]{16}-%1$").arg(uid)).match(defaultName).hasMatch(),
      qPrintable(defaultName));
  QCOMPARE(InstanceManager().serverName(), defaultName);

  const auto application = QCoreApplication::applicationName();
  QCoreApplication::setApplicationName(application + QStringLiteral("-other"));
  const auto otherName = manager.serverName();
  QCoreApplication::setApplicationName(application);
  QVERIFY(otherName != defaultName);

  manager.setServerName(requested);
  QCOMPARE(manager.serverName(), expected);
  QCOMPARE(QFileInfo(manager.lockFilePath()).fileName(), expected + QStringLiteral(".lock"));
  manager.setServerName({});
  QCOMPARE(manager.serverName(), defaultName);
}

void TestInstanceManager::secondProcessHandsOverItsMessage_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<QStringList>("environment");
  QTest::addColumn<bool>("removeSocket");
  QTest::addColumn<int>("exitCode");
  QTest::addColumn<bool>("delivered");
  QTest::addColumn<QByteArray>("message");

  const QStringList none;
  QTest::newRow("no arguments") << none << none << false << 0 << true << QByteArray();
  QTest::newRow("one argument") << QStringList{QStringLiteral("open")} << none << false << 0 << true
                                << QByteArray("open");
  QTest::newRow("spaces and accents")
      << QStringList{QStringLiteral("--open"), QStringLiteral("my file.txt"), QStringLiteral("caf\u00e9")}
      << none << false << 0 << true << QStringLiteral("--open my file.txt caf\u00e9").toUtf8();
  QTest::newRow("maximum size") << none
                                << QStringList{QStringLiteral("PEER_MESSAGE_SIZE=%1").arg(kMaxMessageSize)}
                                << false << 0 << true << patternMessage(kMaxMessageSize);
  QTest::newRow("decided on the first event-loop turn")
      << QStringList{QStringLiteral("early")} << QStringList{QStringLiteral("PEER_EARLY=1")} << false << 0
      << true << QByteArray("early");
  QTest::newRow("over the maximum")
      << none << QStringList{QStringLiteral("PEER_MESSAGE_SIZE=%1").arg(kMaxMessageSize + 1)} << false << 1
      << false << QByteArray();
  QTest::newRow("primary not listening")
      << QStringList{QStringLiteral("lost")} << none << true << 1 << false << QByteArray();
}

void TestInstanceManager::secondProcessHandsOverItsMessage() {
  QFETCH(QStringList, arguments);
  QFETCH(QStringList, environment);
  QFETCH(bool, removeSocket);
  QFETCH(int, exitCode);
  QFETCH(bool, delivered);
  QFETCH(QByteArray, message);

  const auto name = uniqueServerName();
  const auto primary = makePrimary(name);
  QVERIFY(primary->isPrimary());
  QSignalSpy received(primary.get(), &InstanceManager::secondaryInstanceMessageReceived);
  if (removeSocket) {
    QVERIFY(QLocalServer::removeServer(primary->fullServerName()));
  }

  QElapsedTimer elapsed;
  elapsed.start();
  Peer peer(name, arguments, environment);
  QVERIFY(peer.process().waitForStarted());
  // The primary lives in this thread: wait with the event loop running.
  QTRY_VERIFY_WITH_TIMEOUT(!peer.isRunning(), kProcessTimeoutMs);
  const auto errors = peer.errors();
  QCOMPARE(peer.process().exitStatus(), QProcess::NormalExit);
  QVERIFY2(peer.process().exitCode() == exitCode, errors.constData());
  QVERIFY2(elapsed.elapsed() < 6000, "the secondary took too long to end");
  QVERIFY2(!peer.output().contains("continued"), "the secondary ran past setMode");
  if (delivered) {
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toUInt(), 1u);
    QCOMPARE(received.at(0).at(1).toByteArray(), message);
  } else {
    QCOMPARE(received.count(), 0);
  }
}

void TestInstanceManager::killedPrimaryDoesNotBlockNextStart() {
  const auto name = uniqueServerName();
  {
    Peer crashed(name, {});
    QTRY_VERIFY_WITH_TIMEOUT(crashed.output().contains("primary"), kProcessTimeoutMs);
    crashed.process().kill();
    QVERIFY(crashed.process().waitForFinished());
    QCOMPARE(crashed.process().exitStatus(), QProcess::CrashExit);
  }
  const auto manager = makeManager(name);
  // The killed primary left both behind; they must not count.
  QVERIFY(QFileInfo::exists(manager->lockFilePath()));
  QVERIFY(QFileInfo::exists(manager->fullServerName()));

  QElapsedTimer elapsed;
  elapsed.start();
  manager->setMode(InstanceManager::Mode::Single);
  QVERIFY(manager->isPrimary());
  QVERIFY(!manager->isSecondary());
  QVERIFY2(elapsed.elapsed() < 1000, "the stale lock was waited for");

  QSignalSpy received(manager.get(), &InstanceManager::secondaryInstanceMessageReceived);
  Peer next(name, {QStringLiteral("after"), QStringLiteral("crash")});
  QTRY_VERIFY_WITH_TIMEOUT(!next.isRunning(), kProcessTimeoutMs);
  QCOMPARE(next.process().exitCode(), 0);
  QCOMPARE(received.count(), 1);
  QCOMPARE(received.at(0).at(1).toByteArray(), QByteArray("after crash"));
}

void TestInstanceManager::manualSecondaryStaysAndReportsDelivery() {
  const auto name = uniqueServerName();
  Peer primary(name, {});
  QTRY_VERIFY_WITH_TIMEOUT(primary.output().contains("primary"), kProcessTimeoutMs);

  const auto secondary = makeManager(name);
  const QByteArray message("from the test \xe2\x9c\x93");
  secondary->setMessageToSend(message);
  QSignalSpy exitRequested(secondary.get(), &InstanceManager::appExitRequested);
  secondary->setMode(InstanceManager::Mode::Single);

  QVERIFY(secondary->isSecondary());
  QVERIFY(!secondary->isPrimary());
  QVERIFY(secondary->messageDelivered());
  QCOMPARE(exitRequested.count(), 1);
  QTRY_VERIFY_WITH_TIMEOUT(primary.output().contains("received 1 " + message.toBase64()), kProcessTimeoutMs);
  QVERIFY(primary.isRunning());
  primary.process().kill();
  QVERIFY(primary.process().waitForFinished());

  // The first-turn decision must not run it a second time.
  QCoreApplication::processEvents();
  QCOMPARE(exitRequested.count(), 1);
  makePrimary(name); // takes over the killed peer's lock and cleans up behind itself
}

void TestInstanceManager::unresponsivePrimaryKeepsSecondary_data() {
  QTest::addColumn<bool>("removeSocket");
  QTest::addColumn<QString>("warning");
  QTest::addColumn<bool>("lateDelivery");

  // The primary runs in this thread, blocked while the secondary waits: it accepts nothing in time.
  QTest::newRow("primary never answers") << false << QStringLiteral("did not acknowledge") << true;
  QTest::newRow("primary not listening")
      << true << QStringLiteral("holds the lock but does not listen") << false;
}

void TestInstanceManager::unresponsivePrimaryKeepsSecondary() {
  QFETCH(bool, removeSocket);
  QFETCH(QString, warning);
  QFETCH(bool, lateDelivery);

  const auto name = uniqueServerName();
  const auto primary = makePrimary(name);
  QSignalSpy received(primary.get(), &InstanceManager::secondaryInstanceMessageReceived);
  if (removeSocket) {
    QVERIFY(QLocalServer::removeServer(primary->fullServerName()));
  }
  const auto secondary = makeManager(name);
  secondary->setMessageToSend("late");
  QSignalSpy exitRequested(secondary.get(), &InstanceManager::appExitRequested);

  WarningLog log;
  QElapsedTimer elapsed;
  elapsed.start();
  secondary->setMode(InstanceManager::Mode::Single);
  const auto waited = elapsed.elapsed();

  QVERIFY(secondary->isSecondary());
  QVERIFY(!secondary->messageDelivered());
  QCOMPARE(exitRequested.count(), 1);
  QVERIFY2(log.contains(warning), qPrintable(log.all()));
  QVERIFY2(waited >= 1000 && waited < 5000, qPrintable(QString::number(waited)));
  QVERIFY(primary->isPrimary());
  if (lateDelivery) {
    // Nothing is lost: once it runs again, the primary still reads what was sent.
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(1).toByteArray(), QByteArray("late"));
  }
}

void TestInstanceManager::dropsMalformedConnections_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<bool>("clientCloses");
  QTest::addColumn<QString>("reason");

  QByteArray noise(256, Qt::Uninitialized);
  QRandomGenerator generator(20240601);
  generator.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
  noise[0] = static_cast<char>(noise[0] | 0x01); // a length of 16 MiB or more

  const auto malformed = QStringLiteral("malformed or oversized message");
  const auto closed = QStringLiteral("closed before sending a whole message");
  const auto timedOut = QStringLiteral("timed out");
  QTest::newRow("random bytes") << noise << false << malformed;
  QTest::newRow("huge length") << QByteArray("\xff\xff\xff\xff"
                                             "abc")
                               << false << malformed;
  QTest::newRow("one byte over the maximum")
      << frame(patternMessage(kMaxMessageSize + 1)) << false << malformed;
  QTest::newRow("bytes after the frame") << frame("ok") + "junk" << false << malformed;
  QTest::newRow("truncated frame, then closed") << header(100) + "partial" << true << closed;
  QTest::newRow("half a header, then closed") << QByteArray(2, '\0') << true << closed;
  QTest::newRow("nothing sent") << QByteArray() << false << timedOut;
  QTest::newRow("stalls after the header") << header(10) + "abc" << false << timedOut;
}

void TestInstanceManager::dropsMalformedConnections() {
  QFETCH(QByteArray, bytes);
  QFETCH(bool, clientCloses);
  QFETCH(QString, reason);

  WarningLog log;
  const auto primary = makePrimary(uniqueServerName());
  QSignalSpy received(primary.get(), &InstanceManager::secondaryInstanceMessageReceived);
  const auto bad = connectedClient(primary->fullServerName());
  QVERIFY(bad);
  QSignalSpy badClosed(bad.get(), &QLocalSocket::disconnected);
  bad->write(bytes);
  if (clientCloses) {
    bad->disconnectFromServer();
  } else {
    QVERIFY(badClosed.wait(kDropTimeoutMs));
  }
  const auto expected = QStringLiteral("^Dropped connection 1: %1$").arg(reason);
  QTRY_VERIFY2_WITH_TIMEOUT(log.contains(expected), qPrintable(log.all()), kDropTimeoutMs);

  const auto good = connectedClient(primary->fullServerName());
  QVERIFY(good);
  good->write(frame("still works"));
  QTRY_COMPARE(received.count(), 1);
  QCOMPARE(received.at(0).at(0).toUInt(), 2u);
  QCOMPARE(received.at(0).at(1).toByteArray(), QByteArray("still works"));
  QTRY_VERIFY(good->bytesAvailable() > 0);
  QCOMPARE(good->readAll(), QByteArray(1, kAcknowledgement));
}

void TestInstanceManager::readsSplitMessagesFromSeveralConnections_data() {
  QTest::addColumn<int>("chunkSize");
  QTest::addColumn<QByteArrayList>("payloads");

  const QByteArrayList small{QByteArray(), "alpha", QStringLiteral("\u00fcn\u00efc\u00f6d\u00e9").toUtf8(),
                             patternMessage(300)};
  QTest::newRow("byte by byte") << 1 << small;
  QTest::newRow("three bytes at a time") << 3 << small;
  QTest::newRow("large messages in pieces")
      << 4096 << QByteArrayList{patternMessage(kMaxMessageSize), "x", patternMessage(20000)};
}

void TestInstanceManager::readsSplitMessagesFromSeveralConnections() {
  QFETCH(int, chunkSize);
  QFETCH(QByteArrayList, payloads);

  const auto primary = makePrimary(uniqueServerName());
  QSignalSpy received(primary.get(), &InstanceManager::secondaryInstanceMessageReceived);
  std::vector<std::unique_ptr<QLocalSocket>> clients;
  qsizetype longest = 0;
  for (const auto& payload : payloads) {
    clients.push_back(connectedClient(primary->fullServerName()));
    QVERIFY(clients.back());
    longest = std::max(longest, frame(payload).size());
  }
  // Interleaved, last connection first, with the primary reading between the pieces.
  for (qsizetype offset = 0; offset < longest; offset += chunkSize) {
    for (auto i = clients.size(); i-- > 0;) {
      clients[i]->write(frame(payloads[static_cast<qsizetype>(i)]).mid(offset, chunkSize));
      clients[i]->flush();
    }
    QCoreApplication::processEvents();
  }

  QTRY_COMPARE(received.count(), payloads.size());
  std::map<unsigned int, QByteArray> byId;
  for (const auto& arguments : received) {
    byId.emplace(arguments.at(0).toUInt(), arguments.at(1).toByteArray());
  }
  for (qsizetype i = 0; i < payloads.size(); ++i) {
    QCOMPARE(byId[static_cast<unsigned int>(i + 1)], payloads[i]);
  }
  for (const auto& client : clients) {
    QTRY_VERIFY(client->bytesAvailable() > 0);
    QCOMPARE(client->readAll(), QByteArray(1, kAcknowledgement));
  }
}

void TestInstanceManager::refusesConnectionsBeyondTheLimit() {
  WarningLog log;
  const auto primary = makePrimary(uniqueServerName());
  QSignalSpy received(primary.get(), &InstanceManager::secondaryInstanceMessageReceived);
  std::vector<std::unique_ptr<QLocalSocket>> silent;
  for (std::size_t i = 0; i < InstanceServer::kMaxPendingConnections; ++i) {
    silent.push_back(connectedClient(primary->fullServerName()));
    QVERIFY(silent.back());
  }
  const auto extra = connectedClient(primary->fullServerName());
  QVERIFY(extra);
  QSignalSpy extraClosed(extra.get(), &QLocalSocket::disconnected);
  // Refused at once, well before the silent ones time out.
  QVERIFY(extraClosed.wait(InstanceServer::kReadTimeoutMs / 2));
  QVERIFY2(log.contains(QStringLiteral("too many at once")), qPrintable(log.all()));

  silent.front()->write(frame("one of the first"));
  QTRY_COMPARE(received.count(), 1);
  QCOMPARE(received.at(0).at(1).toByteArray(), QByteArray("one of the first"));
}

void TestInstanceManager::multipleModeNeverTakesTheLock() {
  const auto name = uniqueServerName();
  const auto first = makeManager(name);
  const auto second = makeManager(name);
  QCOMPARE(first->mode(), InstanceManager::Mode::Multiple);
  QCoreApplication::processEvents(); // the first-turn decision must leave Multiple mode alone

  for (const auto* manager : {first.get(), second.get()}) {
    QVERIFY(manager->isPrimary());
    QVERIFY(!manager->isSecondary());
  }
  QVERIFY(!QFileInfo::exists(first->lockFilePath()));
  QVERIFY(!QFileInfo::exists(first->fullServerName()));

  const auto single = makePrimary(name);
  QVERIFY(single->isPrimary());
  QVERIFY(QFileInfo::exists(single->lockFilePath()));
}

void TestInstanceManager::leavingReleasesLockAndSocket_data() {
  QTest::addColumn<bool>("destroy");

  QTest::newRow("destroyed") << true;
  QTest::newRow("back to Multiple mode") << false;
}

void TestInstanceManager::leavingReleasesLockAndSocket() {
  QFETCH(bool, destroy);

  const auto name = uniqueServerName();
  auto first = makePrimary(name);
  QVERIFY(first->isPrimary());
  const auto lock = first->lockFilePath();
  const auto socket = first->fullServerName();
  QVERIFY(QFileInfo::exists(lock));
  QVERIFY(QFileInfo::exists(socket));
  QCOMPARE(QFileInfo(socket).permissions() & kOthersAccess, QFile::Permissions());
  QCOMPARE(QFileInfo(QFileInfo(lock).path()).permissions() & kOthersAccess, QFile::Permissions());

  if (destroy) {
    first.reset();
  } else {
    first->setMode(InstanceManager::Mode::Multiple);
    QVERIFY(first->isPrimary());
  }
  QVERIFY(!QFileInfo::exists(lock));
  QVERIFY(!QFileInfo::exists(socket));

  const auto next = makePrimary(name);
  QVERIFY(next->isPrimary());
  QVERIFY(!next->isSecondary());
}

QTEST_GUILESS_MAIN(TestInstanceManager)
#include "tst_instancemanager.moc"
