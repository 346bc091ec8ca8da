// Kills the games library's process at file-changing calls of a first installation and of an
// update (the download's writes, the extraction, the carrying over of the user's files, the swap,
// the removal of the old version), starts it again on the same HOME and checks that the user
// lost nothing: the game is either the previous version or the new one, whole, it still runs,
// the save file is intact, nothing half-done is left behind, and the row can still be
// downloaded and installed: a download killed part way continues from what it had, and the game it
// installs is whole.
//
// ARVEXHUB_KILL_POINTS=all tries every kill point; a number N tries N of them spread over the
// installation (default 4).

#include "TestDir.h"
#include "TestGame.h"
#include "TestHttpServer.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using arvexhub::test::TestDir;
using arvexhub::test::TestGame;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

constexpr int processTimeoutMs = 120000;
const QMap<QString, QByteArray> userFiles{{u"save.dat"_s, QByteArrayLiteral("level 7, 3 lives")},
                                          {u"settings/options.ini"_s, QByteArrayLiteral("fast=1")}};

struct Run {
  bool finished = false; // ended by itself within the time (a kill counts as finished)
  bool killed = false;
  int exitCode = -1;
  QString output;
  QString errors;
};

/// The installation to interrupt: `from` 0 is a first installation, else an update from it.
struct Scenario {
  int from;
  int to;
  QString label() const {
    return from == 0 ? u"install"_s : u"update %1->%2"_s.arg(from).arg(to);
  }
};
const QList<Scenario> scenarios{{0, 1}, {1, 2}};

} // namespace

class TestCrashRecovery : public QObject {
  Q_OBJECT

  TestHttpServer server_;
  QHash<QString, long> killPoints_; // per scenario label, from an uninterrupted run

  QString gamesFolder(const TestDir& home) const {
    return home.filePath(u".arvexhub/games"_s);
  }
  QString gameFolder(const TestDir& home) const {
    return gamesFolder(home) + QLatin1Char('/') + TestGame::name;
  }

  void offer(int version) {
    TestHttpResponse catalogue;
    catalogue.body = TestGame::catalogue(version, server_.url(u"/game-v%1.zip"_s.arg(version)));
    server_.setResponse(u"/games.json"_s, catalogue);
  }

  /// Runs the driver on that HOME, serving requests meanwhile.
  Run drive(TestDir& home, const QString& command, long killAt = 0) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, home.path());
    environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u".config"_s));
    environment.insert(u"XDG_CACHE_HOME"_s, home.filePath(u".cache"_s));
    environment.insert(u"XDG_DATA_HOME"_s, home.filePath(u".local/share"_s));
    environment.insert(u"TMPDIR"_s, home.createDir(u"tmp"_s));
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"ARVEXHUB_CATALOGUE_URL"_s, server_.url(QString()).toString());
    environment.remove(u"ARVEXHUB_KILL_AT"_s);
    if (killAt > 0) {
      environment.insert(u"ARVEXHUB_KILL_AT"_s, QString::number(killAt));
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(LIBRARY_DRIVER_PATH), {command, TestGame::name});
    Run run;
    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning && clock.elapsed() < processTimeoutMs) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      process.waitForFinished(5);
    }
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished();
      return run;
    }
    run.finished = true;
    run.killed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
  }

  static QString field(const QString& output, const QString& name) {
    const auto match = QRegularExpression(u"\\b%1=(\\S*)"_s.arg(name)).match(output);
    return match.hasMatch() ? match.captured(1) : QString();
  }

  /// Installs the scenario's starting version with the user's files in it.
  void prepare(TestDir& home, const Scenario& scenario) {
    if (scenario.from == 0) {
      return;
    }
    offer(scenario.from);
    const Run first = drive(home, u"install"_s);
    QVERIFY2(first.output.contains(u"result ok"_s), qPrintable(first.output + first.errors));
    for (auto it = userFiles.cbegin(); it != userFiles.cend(); ++it) {
      const QString path = gameFolder(home) + QLatin1Char('/') + it.key();
      QVERIFY(QDir().mkpath(QFileInfo(path).path()));
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write(it.value()) == it.value().size());
    }
  }

  /// The game's start script runs and says the version its folder claims.
  void verifyRuns(const TestDir& home, const QByteArray& version) {
    QProcess game;
    game.start(gameFolder(home) + u"/launcher.command"_s, {});
    QVERIFY(game.waitForFinished(30000));
    QCOMPARE(game.exitStatus(), QProcess::NormalExit);
    QCOMPARE(game.exitCode(), 0);
    QCOMPARE(game.readAllStandardOutput().trimmed(),
             QByteArray("version ") + version.left(version.indexOf('.')));
  }

  /// What a restart finds after the process died at `killAt`.
  void verifyRestart(TestDir& home, const Scenario& scenario) {
    const Run restart = drive(home, u"check"_s);
    QVERIFY2(restart.finished && restart.exitCode == 0, qPrintable(restart.output + restart.errors));
    QCOMPARE(TestGame::leftovers(gamesFolder(home), home.filePath(u"tmp"_s)), QStringList());
    // Killed during the transfer: the row waits, paused, to continue from what arrived.
    const bool paused = field(restart.output, u"busy"_s) == u"1"_s;
    QVERIFY(paused || field(restart.output, u"busy"_s) == u"0"_s);
    const auto folder = TestGame::readFolder(gameFolder(home));
    if (folder.isEmpty()) {
      QVERIFY2(scenario.from == 0, "the installed version was lost");
      QVERIFY(!QFileInfo::exists(gameFolder(home)));
      QCOMPARE(field(restart.output, u"installed"_s), u"0"_s);
      QCOMPARE(field(restart.output, u"update"_s), u"1"_s);
      return;
    }
    const auto keptFiles = scenario.from == 0 ? QMap<QString, QByteArray>{} : userFiles;
    const bool previous =
        scenario.from > 0 && folder == TestGame::installedFolder(scenario.from, 0, keptFiles);
    const bool next = folder == TestGame::installedFolder(scenario.to, scenario.from, keptFiles);
    QVERIFY2(previous || next, qPrintable(u"half-installed: %1"_s.arg(folder.keys().join(u' '))));
    QCOMPARE(field(restart.output, u"installed"_s), u"1"_s);
    QCOMPARE(field(restart.output, u"version"_s).toUtf8(), folder.value(u"VERSION"_s));
    QCOMPARE(field(restart.output, u"update"_s), previous ? u"1"_s : u"0"_s);
    verifyRuns(home, folder.value(u"VERSION"_s));
  }

private slots:
  void initTestCase() {
    QVERIFY(server_.listen());
    for (const int version : {1, 2}) {
      TestHttpResponse archive;
      archive.body = TestGame::archive(version);
      archive.headers = {{"ETag", "\"v" + QByteArray::number(version) + '"'}};
      archive.ranges = true; // a download killed part way continues from what it had
      QVERIFY(!archive.body.isEmpty());
      server_.setResponse(u"/game-v%1.zip"_s.arg(version), archive);
    }
    // An uninterrupted run of each scenario counts its kill points.
    for (const Scenario& scenario : scenarios) {
      TestDir home;
      prepare(home, scenario);
      offer(scenario.to);
      const Run run = drive(home, u"install"_s);
      QVERIFY2(run.output.contains(u"result ok"_s), qPrintable(run.output + run.errors));
      const long points = QRegularExpression(u"kill points (\\d+)"_s).match(run.output).captured(1).toLong();
      QVERIFY2(points > 20, qPrintable(run.output));
      killPoints_.insert(scenario.label(), points);
      qInfo("%s: %ld kill points", qPrintable(scenario.label()), points);
    }
  }

  void killedInstallationLosesNothing_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<long>("killAt");
    const QByteArray chosen = qgetenv("ARVEXHUB_KILL_POINTS");
    for (const Scenario& scenario : scenarios) {
      const long points = killPoints_.value(scenario.label());
      const long wanted =
          chosen == "all" ? points : qBound(1L, chosen.isEmpty() ? 4L : chosen.toLong(), points);
      QList<long> at;
      for (long index = 0; index < wanted; ++index) {
        // Spread over the whole installation, the first and the last point included.
        at.append(wanted == 1 ? points : 1 + index * (points - 1) / (wanted - 1));
      }
      for (const long killAt : at) {
        QTest::addRow("%s, killed at %ld of %ld", qPrintable(scenario.label()), killAt, points)
            << scenario.from << scenario.to << killAt;
      }
    }
  }
  void killedInstallationLosesNothing() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(long, killAt);
    const Scenario scenario{from, to};
    TestDir home;
    prepare(home, scenario);
    if (QTest::currentTestFailed()) {
      return;
    }
    offer(to);
    const Run killed = drive(home, u"install"_s, killAt);
    QVERIFY2(killed.finished, "the installation hung");
    // The number of download writes varies a little with how the data arrives.
    if (!killed.killed) {
      QVERIFY2(killed.output.contains(u"result ok"_s), qPrintable(killed.output + killed.errors));
    } else {
      const auto where = QRegularExpression(u"killed at \\d+: ([^\n]*)"_s).match(killed.errors);
      QVERIFY2(where.hasMatch(), qPrintable(killed.errors));
      qInfo("killed before %s", qPrintable(where.captured(1)));
    }
    verifyRestart(home, scenario);
    if (QTest::currentTestFailed()) {
      return;
    }
    // The row can be downloaded and installed again, whole.
    const Run again = drive(home, u"install"_s);
    QVERIFY2(again.output.contains(u"result ok"_s), qPrintable(again.output + again.errors));
    QCOMPARE(TestGame::readFolder(gameFolder(home)),
             TestGame::installedFolder(to, from, from == 0 ? QMap<QString, QByteArray>{} : userFiles));
    QCOMPARE(TestGame::leftovers(gamesFolder(home), home.filePath(u"tmp"_s)), QStringList());
  }
};

QTEST_MAIN(TestCrashRecovery)
#include "tst_crashrecovery.moc"
