#include <TestDir.h>

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <csignal>

namespace {

const QString program = QStringLiteral(ARVEXHUB_PROGRAM_PATH);

/// A private environment: its own settings, library and single-instance folder.
QProcessEnvironment environmentFor(const QString& home) {
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("HOME"), home);
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  return environment;
}

struct Finished {
  int exitCode{-1};
  QByteArray output;
};

Finished runToEnd(const QStringList& arguments, const QString& home, int timeoutMs = 20000) {
  QProcess process;
  process.setProcessEnvironment(environmentFor(home));
  process.start(program, arguments);
  if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
    process.kill();
    process.waitForFinished();
    return {};
  }
  return {process.exitCode(), process.readAllStandardOutput()};
}

/// The running instance has its single-instance socket in place.
bool waitForPrimary(const QString& home) {
  const QDir run(home + QStringLiteral("/run"));
  QDeadlineTimer deadline(20000);
  while (!deadline.hasExpired()) {
    if (!run.entryList({QStringLiteral("arvexhub-*")}, QDir::System | QDir::Files).isEmpty()) {
      return true;
    }
    QTest::qWait(50); // polling a file another process creates; there is no signal to wait on
  }
  return false;
}

} // namespace

class TestStartup final : public QObject {
  Q_OBJECT

private slots:
  void init();
  void commandLine_data();
  void commandLine();
  void secondStartHandsOverAndEnds();
  void killedFirstInstanceDoesNotBlock();

private:
  std::unique_ptr<arvexhub::test::TestDir> home_;
};

void TestStartup::init() {
  home_ = std::make_unique<arvexhub::test::TestDir>();
  QVERIFY(!home_->createDir(QStringLiteral("run")).isEmpty());
  QFile::setPermissions(home_->filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestStartup::commandLine_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<QByteArray>("output");
  const auto usage = QByteArray("Usage:\n") + program.toUtf8() + " [--version] [--help] [<path/to/game.arvexhub>]\n";
  QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << usage;
  QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << usage;
  QTest::newRow("--help, second argument ignored")
    << QStringList{QStringLiteral("--help"), QStringLiteral("--version")} << usage;
  QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << QByteArray("1.0.0\n");
  QTest::newRow("-v") << QStringList{QStringLiteral("-v")} << QByteArray("1.0.0\n");
  QTest::newRow("-v, second argument ignored") << QStringList{QStringLiteral("-v"), QStringLiteral("-h")}
                                               << QByteArray("1.0.0\n");
  QTest::newRow("capitals are no option") << QStringList{QStringLiteral("--HELP")} << QByteArray();
  QTest::newRow("-V") << QStringList{QStringLiteral("-V")} << QByteArray();
  QTest::newRow("unknown option") << QStringList{QStringLiteral("--verbose")} << QByteArray();
  QTest::newRow("a path") << QStringList{QStringLiteral("/tmp/game.arvexhub")} << QByteArray();
  QTest::newRow("empty argument") << QStringList{QString()} << QByteArray();
}

void TestStartup::commandLine() {
  QFETCH(QStringList, arguments);
  QFETCH(QByteArray, output);
  const auto result = runToEnd(arguments, home_->path());
  QCOMPARE(result.exitCode, 0);
  QCOMPARE(result.output, output);
  // No graphical start happened: nothing was written to the settings store.
  QVERIFY(!QFileInfo::exists(home_->filePath(QStringLiteral(".config/arvex-games"))));
}

void TestStartup::secondStartHandsOverAndEnds() {
  QProcess first;
  first.setProcessEnvironment(environmentFor(home_->path()));
  first.start(program, {});
  QVERIFY(first.waitForStarted());
  QVERIFY(waitForPrimary(home_->path()));

  const auto second = runToEnd({}, home_->path());
  QCOMPARE(second.exitCode, 0);
  QCOMPARE(first.state(), QProcess::Running);

  first.terminate();
  QVERIFY(first.waitForFinished(20000));
}

void TestStartup::killedFirstInstanceDoesNotBlock() {
  QProcess killed;
  killed.setProcessEnvironment(environmentFor(home_->path()));
  killed.start(program, {});
  QVERIFY(killed.waitForStarted());
  QVERIFY(waitForPrimary(home_->path()));
  ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
  QVERIFY(killed.waitForFinished(5000));

  // The next start becomes the running instance: it does not hand over and end.
  QProcess next;
  next.setProcessEnvironment(environmentFor(home_->path()));
  next.start(program, {});
  QVERIFY(next.waitForStarted());
  QVERIFY(!next.waitForFinished(3000));
  QCOMPARE(next.state(), QProcess::Running);

  const auto third = runToEnd({}, home_->path());
  QCOMPARE(third.exitCode, 0);
  next.terminate();
  QVERIFY(next.waitForFinished(20000));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
