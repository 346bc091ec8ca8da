#include "instance/InstanceManager.h"
#include "instance/InstanceServer.h"
#include "instance/MessageFraming.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using arvexhub::instance::FrameDecoder;
using arvexhub::instance::InstanceManager;
using arvexhub::instance::InstanceServer;
using arvexhub::instance::kAcknowledgement;
using arvexhub::instance::kMaxMessageSize;

namespace {
constexpr int kProcessTimeoutMs = 15000;
constexpr int kDropTimeoutMs = InstanceServer::kReadTimeoutMs + 3000;

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

QString uniqueServerName() {
  static int counter = 0;
  return QStringLiteral("tst-im-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

std::unique_ptr<InstanceManager> makeManager(const QString& serverName, bool single) {
  auto manager = std::make_unique<InstanceManager>();
  manager->setExitMode(InstanceManager::ExitMode::Manual); // an Auto secondary would end the test
  manager->setServerName(serverName);
  if (single) {
    manager->setMode(InstanceManager::Mode::Single);
  }
  return manager;
}

/// Another start of a program guarded by InstanceManager (see support/instance-peer).
void startPeer(QProcess& process, const QString& serverName, const QStringList& arguments,
               const QString& messageSize = {}) {
  auto env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("PEER_SERVER_NAME"), serverName);
  if (!messageSize.isEmpty()) {
    env.insert(QStringLiteral("PEER_MESSAGE_SIZE"), messageSize);
  }
  process.setProcessEnvironment(env);
  process.start(QStringLiteral(INSTANCE_PEER_PATH), arguments);
}

std::unique_ptr<QLocalSocket> connectedClient(const QString& server) {
  auto socket = std::make_unique<QLocalSocket>();
  socket->connectToServer(server);
  return socket->waitForConnected(2000) ? std::move(socket) : nullptr;
}
} // namespace

class TestInstanceManager final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    // The test environment points XDG_RUNTIME_DIR at a folder that does not exist yet; the session
    // manager would have created it, owner-only.
    const auto runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && !QFileInfo::exists(runtime)) {
      QVERIFY(QDir().mkpath(runtime));
      QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QVERIFY2(!InstanceManager().lockFilePath().isEmpty(), "no private folder for the lock");
  }

  void decodesFrames_data() {
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<FrameDecoder::State>("state");
    QTest::addColumn<QByteArray>("message");

    using State = FrameDecoder::State;
    const QByteArray max(kMaxMessageSize, 'm');
    QTest::newRow("whole, length above 255")
        << QByteArrayList{frame(QByteArray(300, 'w'))} << State::Complete << QByteArray(300, 'w');
    QTest::newRow("split header and payload")
        << QByteArrayList{QByteArray(3, '\0'), "\5he", "l", "lo"} << State::Complete << QByteArray("hello");
    QTest::newRow("maximum size") << QByteArrayList{header(kMaxMessageSize), max} << State::Complete << max;
    QTest::newRow("one over the maximum")
        << QByteArrayList{header(kMaxMessageSize + 1)} << State::Invalid << QByteArray();
    QTest::newRow("huge length") << QByteArrayList{"\xff\xff\xff\xff"} << State::Invalid << QByteArray();
    QTest::newRow("trailing bytes") << QByteArrayList{frame("hi"), "x"} << State::Invalid << QByteArray();
    QTest::newRow("truncated") << QByteArrayList{header(10) + "short"} << State::Incomplete << QByteArray();
  }
  void decodesFrames() {
    QFETCH(QByteArrayList, reads);
    QFETCH(FrameDecoder::State, state);
    QFETCH(QByteArray, message);

    FrameDecoder decoder;
    for (const auto& bytes : reads) {
      decoder.feed(bytes);
    }
    QCOMPARE(decoder.state(), state);
    QCOMPARE(decoder.message(), message);
  }

  void secondProcessHandsOverItsMessage_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("messageSize");
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("no arguments") << QStringList() << QString() << QByteArray();
    QTest::newRow("several arguments")
        << QStringList{QStringLiteral("--open"), QStringLiteral("my file.txt"), QStringLiteral("caf\u00e9")}
        << QString() << QStringLiteral("--open my file.txt caf\u00e9").toUtf8();
    QTest::newRow("explicit empty message")
        << QStringList{QStringLiteral("ignored")} << QStringLiteral("0") << QByteArray();
  }
  void secondProcessHandsOverItsMessage() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, messageSize);
    QFETCH(QByteArray, message);

    const auto name = uniqueServerName();
    const auto primary = makeManager(name, true);
    QVERIFY(primary->isPrimary());
    QSignalSpy received(primary.get(), &InstanceManager::secondaryInstanceMessageReceived);

    QProcess peer;
    startPeer(peer, name, arguments, messageSize);
    QVERIFY(peer.waitForStarted());
    // The primary lives in this thread: wait with the event loop running.
    QTRY_VERIFY_WITH_TIMEOUT(peer.state() == QProcess::NotRunning, kProcessTimeoutMs);
    QCOMPARE(peer.exitStatus(), QProcess::NormalExit);
    QVERIFY2(peer.exitCode() == 0, peer.readAllStandardError().constData());
    QVERIFY2(!peer.readAllStandardOutput().contains("continued"), "the secondary ran past setMode");
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(1).toByteArray(), message);
  }

  void killedPrimaryDoesNotBlockNextStart() {
    const auto name = uniqueServerName();
    {
      QProcess crashed;
      startPeer(crashed, name, {});
      QByteArray output;
      QTRY_VERIFY2_WITH_TIMEOUT((output += crashed.readAllStandardOutput()).contains("primary"),
                                (output + crashed.readAllStandardError()).constData(), kProcessTimeoutMs);
      crashed.kill();
      QVERIFY(crashed.waitForFinished());
    }
    auto manager = makeManager(name, false);
    // The killed primary left both behind; they must not count.
    QVERIFY(QFileInfo::exists(manager->lockFilePath()));
    QVERIFY(QFileInfo::exists(manager->fullServerName()));

    QElapsedTimer elapsed;
    elapsed.start();
    manager->setMode(InstanceManager::Mode::Single);
    QVERIFY(manager->isPrimary());
    QVERIFY2(elapsed.elapsed() < 1000, "the stale lock was waited for");

    QSignalSpy received(manager.get(), &InstanceManager::secondaryInstanceMessageReceived);
    QProcess next;
    startPeer(next, name, {QStringLiteral("after"), QStringLiteral("crash")});
    QTRY_VERIFY_WITH_TIMEOUT(next.state() == QProcess::NotRunning, kProcessTimeoutMs);
    QCOMPARE(next.exitCode(), 0);
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(1).toByteArray(), QByteArray("after crash"));
  }

  void dropsMalformedConnections_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("clientCloses");
    QTest::addColumn<QString>("reason");

    const auto malformed = QStringLiteral("malformed or oversized message");
    QTest::newRow("huge length") << QByteArray("\xff\xff\xff\xff"
                                               "abc")
                                 << false << malformed;
    QTest::newRow("one over the maximum")
        << frame(QByteArray(kMaxMessageSize + 1, 'o')) << false << malformed;
    QTest::newRow("bytes after the frame") << frame("ok") + "junk" << false << malformed;
    QTest::newRow("truncated, then closed")
        << header(100) + "partial" << true << QStringLiteral("closed before sending a whole message");
    QTest::newRow("stalls after the header") << header(10) + "abc" << false << QStringLiteral("timed out");
  }
  void dropsMalformedConnections() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, clientCloses);
    QFETCH(QString, reason);

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^Dropped connection 1: ") + reason));
    const auto primary = makeManager(uniqueServerName(), true);
    QSignalSpy received(primary.get(), &InstanceManager::secondaryInstanceMessageReceived);
    const auto bad = connectedClient(primary->fullServerName());
    QVERIFY(bad);
    QSignalSpy badClosed(bad.get(), &QLocalSocket::disconnected);
    bad->write(bytes);
    if (clientCloses) {
      bad->disconnectFromServer();
    } else {
      QVERIFY(badClosed.wait(kDropTimeoutMs)); // the primary hangs up
    }

    const auto good = connectedClient(primary->fullServerName());
    QVERIFY(good);
    good->write(frame("still works"));
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toUInt(), 2u);
    QCOMPARE(received.at(0).at(1).toByteArray(), QByteArray("still works"));
    QTRY_VERIFY(good->bytesAvailable() > 0);
    QCOMPARE(good->readAll(), QByteArray(1, kAcknowledgement));
  }

  void multipleModeTakesNoLock() {
    const auto name = uniqueServerName();
    const auto first = makeManager(name, false);
    const auto second = makeManager(name, false);
    QCoreApplication::processEvents(); // the first-turn decision must leave Multiple mode alone
    QVERIFY(first->isPrimary() && !first->isSecondary());
    QVERIFY(second->isPrimary() && !second->isSecondary());
    QVERIFY(!QFileInfo::exists(first->lockFilePath()));
    QVERIFY(!QFileInfo::exists(first->fullServerName()));
  }

  void destructionReleasesPrivateLockAndSocket() {
    constexpr auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                            QFile::WriteOther | QFile::ExeOther;
    const auto name = uniqueServerName();
    auto first = makeManager(name, true);
    QVERIFY(first->isPrimary());
    const auto lock = first->lockFilePath();
    const auto socket = first->fullServerName();
    QVERIFY(QFileInfo::exists(lock));
    QVERIFY(QFileInfo::exists(socket));
    QCOMPARE(QFileInfo(socket).permissions() & others, QFile::Permissions());
    QCOMPARE(QFileInfo(QFileInfo(lock).path()).permissions() & others, QFile::Permissions());
    QCOMPARE(QFileInfo(QFileInfo(socket).path()).permissions() & others, QFile::Permissions());

    first.reset();
    QVERIFY(!QFileInfo::exists(lock));
    QVERIFY(!QFileInfo::exists(socket));
    const auto next = makeManager(name, true);
    QVERIFY(next->isPrimary() && !next->isSecondary());
  }
};

QTEST_GUILESS_MAIN(TestInstanceManager)
#include "tst_instancemanager.moc"
