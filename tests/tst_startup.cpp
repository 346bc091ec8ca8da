#include "app/Startup.h"

#include "TestArchive.h"
#include "TestDir.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

const QString program = QStringLiteral(ARVEXHUB_PROGRAM_PATH);

/// A private environment: its own settings, library and single-instance folder.
QProcessEnvironment environmentFor(const QString& home) {
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert(u"HOME"_s, home);
  environment.insert(u"XDG_CONFIG_HOME"_s, home + u"/.config"_s);
  environment.insert(u"XDG_RUNTIME_DIR"_s, home + u"/run"_s);
  environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
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
  const QDir run(home + u"/run"_s);
  QDeadlineTimer deadline(20000);
  while (!deadline.hasExpired()) {
    if (!run.entryList({u"arvexhub-*"_s}, QDir::System | QDir::Files).isEmpty()) {
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
    QVERIFY(!home_->createDir(u"run"_s).isEmpty());
    QFile::setPermissions(home_->filePath(u"run"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }

  // The mode of each start; those that open no window are run, and say what they have to say.
  void commandLine_data() {
    using arvexhub::launcher::StartMode;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<StartMode>("mode");
    QTest::addColumn<QByteArray>("output");
    const auto file = files_.createFile(u"game.arvexhub"_s, "zip");
    const auto usage =
        QByteArray("Usage:\n") + program.toUtf8() + " [--version] [--help] [<path/to/game.arvexhub>]\n";
    const auto args = [](const char* text) { return QString::fromUtf8(text).split(QLatin1Char(' ')); };
    QTest::newRow("none") << QStringList{} << StartMode::Window << QByteArray();
    QTest::newRow("--help") << args("--help") << StartMode::Help << usage;
    QTest::newRow("-h") << args("-h") << StartMode::Help << usage;
    QTest::newRow("-h, then a file") << QStringList{u"-h"_s, file} << StartMode::Help << usage;
    QTest::newRow("--help, then -v") << args("--help --version") << StartMode::Help << usage;
    QTest::newRow("--version") << args("--version") << StartMode::Version << QByteArray("1.0.0\n");
    QTest::newRow("-v, then -h") << args("-v -h") << StartMode::Version << QByteArray("1.0.0\n");
    QTest::newRow("existing file") << QStringList{file} << StartMode::OpenPath << QByteArray();
    QTest::newRow("existing file, then an option")
        << QStringList{file, u"-h"_s} << StartMode::OpenPath << QByteArray();
    QTest::newRow("existing folder") << QStringList{files_.path()} << StartMode::OpenPath << QByteArray();
    QTest::newRow("missing file") << QStringList{file + u".gone"_s} << StartMode::Nothing << QByteArray();
    QTest::newRow("unknown option") << args("--verbose") << StartMode::Nothing << QByteArray();
    QTest::newRow("capitals") << args("--HELP") << StartMode::Nothing << QByteArray();
    QTest::newRow("-V") << args("-V") << StartMode::Nothing << QByteArray();
    QTest::newRow("empty") << QStringList{QString()} << StartMode::Nothing << QByteArray();
  }
  void commandLine() {
    using arvexhub::launcher::StartMode;
    QFETCH(QStringList, arguments);
    QFETCH(StartMode, mode);
    QFETCH(QByteArray, output);
    QCOMPARE(arvexhub::launcher::startMode(arguments), mode);
    if (mode == StartMode::Window || mode == StartMode::OpenPath) {
      return; // those open the window: see below
    }
    const auto result = runToEnd(arguments, home_->path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.output, output);
    // No graphical start happened: nothing was written to the settings store.
    QVERIFY(!QFileInfo::exists(home_->filePath(u".config/arvex-games"_s)));
  }

  // A path is opened by the running instance, or by the start that becomes it, even after a
  // killed one; a start with nothing to open then hands over and ends.
  void pathIsOpened_data() {
    QTest::addColumn<QString>("before"); // what happened to a first start without arguments
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("opened"); // the file that shows the path was opened, in the home folder
    const QString installed = u".arvexhub/games/Sky Path/launcher.command"_s;
    QTest::newRow("package, nothing running") << QString() << u"Sky Path.arvexhub"_s << installed;
    QTest::newRow("package, handed over") << u"running"_s << u"Sky Path.arvexhub"_s << installed;
    QTest::newRow("start script, handed over") << u"running"_s << u"launcher.command"_s << u"ran"_s;
    QTest::newRow("package, after a killed start") << u"killed"_s << u"Sky Path.arvexhub"_s << installed;
  }
  void pathIsOpened() {
    QFETCH(QString, before);
    QFETCH(QString, argument);
    QFETCH(QString, opened);
    const auto folder = home_->createDir(u"downloads"_s);
    QVERIFY(arvexhub::test::TestArchive::write(folder + u"/Sky Path.arvexhub"_s,
                                               arvexhub::test::TestArchive::game("sky")));
    // The game runner hands the script its own path: it leaves its mark beside the home folder.
    const auto script =
        home_->createFile(u"downloads/launcher.command"_s, "#!/bin/sh\ntouch \"$(dirname \"$0\")/../ran\"\n");
    QVERIFY(QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner));

    QProcess first;
    first.setProcessEnvironment(environmentFor(home_->path()));
    first.setWorkingDirectory(folder);
    first.start(program, before.isEmpty() ? QStringList{argument} : QStringList{});
    QVERIFY(first.waitForStarted());
    QVERIFY(waitForPrimary(home_->path()));
    if (before == u"killed"_s) {
      ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
      QVERIFY(first.waitForFinished(5000));
      first.start(program, {argument}); // its lock and socket left behind do not count
      QVERIFY(first.waitForStarted());
    } else if (!before.isEmpty()) {
      QCOMPARE(runToEnd({argument}, home_->path(), folder).exitCode, 0);
    }
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(home_->filePath(opened)), 20000);
    QCOMPARE(runToEnd({}, home_->path()).exitCode, 0);
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    QVERIFY(first.waitForFinished(20000));
  }

private:
  arvexhub::test::TestDir files_; ///< for the data tables, which run before init()
  std::unique_ptr<arvexhub::test::TestDir> home_;
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
