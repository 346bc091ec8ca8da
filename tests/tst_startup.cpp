#include <app/Startup.h>

#include <TestArchive.h>
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

Finished runToEnd(const QStringList& arguments, const QString& home, const QString& workingFolder = {}) {
  constexpr int timeoutMs = 20000;
  QProcess process;
  process.setProcessEnvironment(environmentFor(home));
  process.setWorkingDirectory(workingFolder);
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
  void init() {
    home_ = std::make_unique<arvexhub::test::TestDir>();
    QVERIFY(!home_->createDir(QStringLiteral("run")).isEmpty());
    QFile::setPermissions(home_->filePath(QStringLiteral("run")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }

  void startMode_data() {
    using arvexhub::launcher::StartMode;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("mode");
    const auto file = files_.createFile(QStringLiteral("game.arvexhub"), "zip");
    QTest::newRow("none") << QStringList{} << int(StartMode::Window);
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << int(StartMode::Help);
    QTest::newRow("-h, then a file") << QStringList{QStringLiteral("-h"), file} << int(StartMode::Help);
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << int(StartMode::Version);
    QTest::newRow("-v") << QStringList{QStringLiteral("-v")} << int(StartMode::Version);
    QTest::newRow("existing file") << QStringList{file} << int(StartMode::OpenPath);
    QTest::newRow("existing file, then an option")
        << QStringList{file, QStringLiteral("-h")} << int(StartMode::OpenPath);
    QTest::newRow("existing folder") << QStringList{files_.path()} << int(StartMode::OpenPath);
    QTest::newRow("missing file") << QStringList{file + QStringLiteral(".gone")} << int(StartMode::Nothing);
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--verbose")} << int(StartMode::Nothing);
    QTest::newRow("capitals") << QStringList{QStringLiteral("--HELP")} << int(StartMode::Nothing);
    QTest::newRow("empty") << QStringList{QString()} << int(StartMode::Nothing);
  }
  void startMode() {
    QFETCH(QStringList, arguments);
    QFETCH(int, mode);
    QCOMPARE(int(arvexhub::launcher::startMode(arguments)), mode);
  }

  void commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("output");
    const auto usage =
        QByteArray("Usage:\n") + program.toUtf8() + " [--version] [--help] [<path/to/game.arvexhub>]\n";
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << usage;
    QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << usage;
    QTest::newRow("--help, second argument ignored")
        << QStringList{QStringLiteral("--help"), QStringLiteral("--version")} << usage;
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << QByteArray("1.0.0\n");
    QTest::newRow("-v") << QStringList{QStringLiteral("-v")} << QByteArray("1.0.0\n");
    QTest::newRow("-v, second argument ignored")
        << QStringList{QStringLiteral("-v"), QStringLiteral("-h")} << QByteArray("1.0.0\n");
    QTest::newRow("capitals are no option") << QStringList{QStringLiteral("--HELP")} << QByteArray();
    QTest::newRow("-V") << QStringList{QStringLiteral("-V")} << QByteArray();
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--verbose")} << QByteArray();
    QTest::newRow("a path") << QStringList{QStringLiteral("/no-such-folder/game.arvexhub")} << QByteArray();
    QTest::newRow("empty argument") << QStringList{QString()} << QByteArray();
  }
  void commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, output);
    const auto result = runToEnd(arguments, home_->path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.output, output);
    // No graphical start happened: nothing was written to the settings store.
    QVERIFY(!QFileInfo::exists(home_->filePath(QStringLiteral(".config/arvex-games"))));
  }

  void pathIsOpened_data() {
    QTest::addColumn<bool>("alreadyRunning");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("opened"); // the file that shows the path was opened, in the home folder
    QTest::newRow("package, nothing running") << false << QStringLiteral("Sky Path.arvexhub")
                                              << QStringLiteral(".arvexhub/games/Sky Path/launcher.command");
    QTest::newRow("package, handed over") << true << QStringLiteral("Sky Path.arvexhub")
                                          << QStringLiteral(".arvexhub/games/Sky Path/launcher.command");
    QTest::newRow("start script, handed over")
        << true << QStringLiteral("launcher.command") << QStringLiteral("ran");
  }
  void pathIsOpened() {
    QFETCH(bool, alreadyRunning);
    QFETCH(QString, argument);
    QFETCH(QString, opened);
    const auto folder = home_->createDir(QStringLiteral("downloads"));
    QVERIFY(arvexhub::test::TestArchive::write(folder + QStringLiteral("/Sky Path.arvexhub"),
                                               arvexhub::test::TestArchive::game("sky")));
    // The game runner hands the script its own path: it leaves its mark beside the home folder.
    const auto script = home_->createFile(QStringLiteral("downloads/launcher.command"),
                                          "#!/bin/sh\ntouch \"$(dirname \"$0\")/../ran\"\n");
    QVERIFY(QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner));

    QProcess first;
    first.setProcessEnvironment(environmentFor(home_->path()));
    first.setWorkingDirectory(folder);
    first.start(program, alreadyRunning ? QStringList{} : QStringList{argument});
    QVERIFY(first.waitForStarted());
    QVERIFY(waitForPrimary(home_->path()));
    if (alreadyRunning) {
      QCOMPARE(runToEnd({argument}, home_->path(), folder).exitCode, 0);
    }
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(home_->filePath(opened)), 20000);
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    QVERIFY(first.waitForFinished(20000));
  }

  void secondStartHandsOverAndEnds() {
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

  void killedFirstInstanceDoesNotBlock() {
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

private:
  arvexhub::test::TestDir files_; ///< for the data tables, which run before init()
  std::unique_ptr<arvexhub::test::TestDir> home_;
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
