#include "app/Controller.h"
#include "library/GameListModel.h"
#include "runner/GameError.h"
#include "runner/GameRunner.h"

#include "LibraryKinds.h"
#include "TestHttpServer.h"

#include <QApplication>
#include <QMessageBox>
#include <QtTest>

#include <memory>

using arvexhub::launcher::Controller;
using arvexhub::launcher::GameRunner;
using State = GameRunner::State;
using Error = GameRunner::ErrorCode;
using Batches = QList<QStringList>;
using Errors = QList<Error>;
using States = QList<State>;
using namespace Qt::StringLiterals;
using namespace arvexhub::test;

namespace {

QString game(const QString& name) {
  return QStringLiteral(ARVEXHUB_GAMES_DIR "/") + name;
}

/// Gone, or a zombie waiting to be reaped: either way nothing of it runs any more.
bool processGone(qint64 pid) {
  QFile stat(u"/proc/%1/stat"_s.arg(pid));
  const auto text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
  const auto state = text.mid(text.lastIndexOf(')') + 2, 1);
  return text.isEmpty() || state == "Z" || state == "X";
}

/// Everything a runner reports, recorded as it arrives.
struct Recorder {
  explicit Recorder(GameRunner& runner) {
    QObject::connect(&runner, &GameRunner::outputProduced, [this](const QStringList& batch) {
      batches.append(batch);
      lines += batch;
    });
    QObject::connect(&runner, &GameRunner::stateChanged, [this, &runner] {
      if (states.isEmpty() || states.last() != runner.state()) {
        states.append(runner.state());
      }
    });
    QObject::connect(&runner, &GameRunner::gameChanged,
                     [this, &runner] { paths.append(runner.gameFilePath()); });
    QObject::connect(&runner, &GameRunner::errorRaised, [this](Error error) { errors.append(error); });
  }
  Batches batches;
  QStringList lines;
  States states;
  QStringList paths;
  Errors errors;
};

} // namespace

class TestGameRunner final : public QObject {
  Q_OBJECT

private slots:
  void runs_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<Batches>("batches");
    QTest::addColumn<Errors>("errors");
    QTest::addColumn<States>("states");
    const States fullRun{State::Starting, State::Running, State::Stopped};
    QTest::newRow("output rules") << u"output.command"_s << false
                                  << Batches{{u"word"_s},
                                             {u"one"_s, u"two"_s, u"three"_s},
                                             {u"split line"_s},
                                             {u"last line without newline"_s}}
                                  << Errors{} << fullRun;
    QTest::newRow("not executable") << u"notexecutable.command"_s << false << Batches{}
                                    << Errors{Error::ProcessFailedToStart}
                                    << States{State::Starting, State::Stopped};
    QTest::newRow("kills itself") << u"crash.command"_s << false << Batches{{u"about to crash"_s}}
                                  << Errors{Error::ProcessCrashed} << fullRun;
    QTest::newRow("exit code 3") << u"exit3.command"_s << false << Batches{{u"leaving with code 3"_s}}
                                 << Errors{} << fullRun;
    QTest::newRow("stopped") << u"echo.command"_s << true << Batches{{u"ready"_s}} << Errors{} << fullRun;
  }

  void runs() {
    QFETCH(QString, name);
    QFETCH(bool, stop);
    QFETCH(Batches, batches);
    QFETCH(Errors, errors);
    QFETCH(States, states);
    GameRunner runner(nullptr, nullptr);
    Recorder recorder(runner);
    const auto path = game(name);
    QCOMPARE(runner.createArguments(path), qMakePair(path, QStringList{path}));
    runner.start(path);
    QCOMPARE(runner.gameFilePath(), path);
    if (stop) {
      QTRY_VERIFY_WITH_TIMEOUT(!recorder.lines.isEmpty(), 10000);
      runner.stop();
    }
    QTRY_COMPARE_WITH_TIMEOUT(runner.state(), State::Stopped, 10000);
    QCoreApplication::processEvents(); // a late report would arrive now
    QCOMPARE(recorder.states, states);
    QCOMPARE(recorder.batches, batches);
    QCOMPARE(recorder.errors, errors);
    QCOMPARE(recorder.paths.first(), path);
    QVERIFY(recorder.paths.last().isEmpty());
    QVERIFY(runner.gameFilePath().isEmpty());
  }

  void commandsAndStartWhileBusy() {
    GameRunner runner(nullptr, nullptr);
    Recorder recorder(runner);
    QCOMPARE(runner.executeCommand(u"early"_s), -1); // nothing runs yet
    runner.start(QString());
    QVERIFY(recorder.paths.isEmpty());
    const auto path = game(u"echo.command"_s);
    runner.start(path);
    QTRY_VERIFY_WITH_TIMEOUT(recorder.lines.contains(u"ready"_s), 10000);
    runner.start(path); // neither the same game again nor another one while this one runs
    runner.start(game(u"exit3.command"_s));
    QCOMPARE(recorder.paths, QStringList{path});
    QCOMPARE(runner.executeCommand(u" \t "_s), -1);
    QCOMPARE(runner.executeCommand(u"first"_s), 0);
    QCOMPARE(runner.executeCommand(u"  second "_s), 1);
    QCOMPARE(runner.executeCommand(u"été"_s), 2);
    const QStringList echoes{u"ready"_s, u"echo: [first]"_s, u"echo: [  second ]"_s, u"echo: [été]"_s};
    QTRY_COMPARE_WITH_TIMEOUT(recorder.lines, echoes, 10000); // the other game never ran

    runner.stop();
    QTRY_COMPARE_WITH_TIMEOUT(runner.state(), State::Stopped, 10000);
    QCOMPARE(runner.executeCommand(u"late"_s), -1);
    runner.start(path); // ids start again with each run
    QTRY_COMPARE_WITH_TIMEOUT(runner.state(), State::Running, 10000);
    QCOMPARE(runner.executeCommand(u"again"_s), 0);
  }

  void stopLeavesNoProcess_data() {
    QTest::addColumn<bool>("destroy");
    QTest::addColumn<bool>("ignoresTerm");
    for (const bool destroy : {false, true}) {
      for (const bool ignoresTerm : {false, true}) {
        QTest::addRow("%s, %s", destroy ? "destroy" : "stop",
                      ignoresTerm ? "ignores SIGTERM" : "child process")
            << destroy << ignoresTerm;
      }
    }
  }

  void stopLeavesNoProcess() {
    QFETCH(bool, destroy);
    QFETCH(bool, ignoresTerm);
    auto runner = std::make_unique<GameRunner>(nullptr, nullptr);
    Recorder recorder(*runner);
    runner->start(game(ignoresTerm ? u"ignoreterm.command"_s : u"child.command"_s));
    QTRY_VERIFY_WITH_TIMEOUT(!recorder.lines.isEmpty(), 10000);
    const auto pids = recorder.lines.first().split(u' '); // the script's, then its child's
    const auto scriptPid = pids.value(0).toLongLong(), childPid = pids.value(1).toLongLong();
    QVERIFY(scriptPid > 0 && childPid > 0 && !processGone(scriptPid) && !processGone(childPid));

    if (destroy) {
      runner.reset(); // kills what ignores SIGTERM after a moment
      QTRY_VERIFY_WITH_TIMEOUT(processGone(scriptPid) && processGone(childPid), 2000);
      return;
    }
    QSignalSpy stateSpy(runner.get(), &GameRunner::stateChanged);
    runner->stop();
    QVERIFY(runner->gameFilePath().isEmpty());
    QCOMPARE(runner->state(), State::Running); // until the process has really ended
    if (ignoresTerm) {
      QVERIFY(!stateSpy.wait(1500)); // the grace period runs out before the kill
      QVERIFY(!processGone(childPid));
    }
    QTRY_COMPARE_WITH_TIMEOUT(runner->state(), State::Stopped, GameRunner::stopGracePeriodMs + 5000);
    QTRY_VERIFY_WITH_TIMEOUT(processGone(scriptPid) && processGone(childPid),
                             GameRunner::stopGracePeriodMs + 2000);
    QVERIFY(!recorder.errors.contains(Error::ProcessCrashed));
  }

  void launchOptionsReachTheEnvironment_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("defaults") << false << u"audio=1 fullscreen=0 software=0 suspend=1"_s;
    QTest::newRow("all changed") << true << u"audio=0 fullscreen=1 software=1 suspend=0"_s;
  }

  void launchOptionsReachTheEnvironment() {
    QFETCH(bool, changed);
    QFETCH(QString, expected);
    const QByteArray inherited = QTest::currentDataTag();
    qputenv("ARVEXHUB_TEST_INHERITED", inherited);
    GameRunner runner(nullptr, nullptr);
    if (changed) {
      runner.setAudioEnabled(!runner.audioEnabled());
      runner.setFullScreen(!runner.fullScreen());
      runner.setForceSoftwareRendering(!runner.forceSoftwareRendering());
      runner.setSuspendWhenUnfocused(!runner.suspendWhenUnfocused());
    }
    QCOMPARE((QList<bool>{runner.audioEnabled(), runner.fullScreen(), runner.forceSoftwareRendering(),
                          runner.suspendWhenUnfocused()}),
             (QList<bool>{!changed, changed, changed, !changed}));
    Recorder recorder(runner);
    runner.start(game(u"environment.command"_s));
    QTRY_COMPARE_WITH_TIMEOUT(recorder.lines,
                              (QStringList{expected, u"inherited="_s + QString::fromUtf8(inherited)}), 10000);
  }

  void updateOffer_data() {
    QTest::addColumn<QByteArray>("offered"); // the catalogue's version and link
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("outcome"); // "started", "downloaded", or the box shown instead
    QTest::newRow("same version") << QByteArray("1.0 /quest.zip") << true << 0 << u"started"_s;
    QTest::newRow("newer, answered No") << QByteArray("2.0 /quest.zip") << false << 1 << u"started"_s;
    QTest::newRow("newer, answered Yes") << QByteArray("2.0 /quest.zip") << true << 1 << u"downloaded"_s;
    QTest::newRow("newer, no link")
        << QByteArray("2.0") << true << 1
        << u"Update Error|Could not find necessary information to update the game."_s;
  }

  void updateOffer() {
    QFETCH(QByteArray, offered);
    QFETCH(bool, answer);
    QFETCH(int, questions);
    QFETCH(QString, outcome);
    TestDir home;
    qputenv("HOME", home.path().toUtf8());
    const auto path = installItem(home, u"games"_s, u"Quest"_s, false, "#!/bin/bash\necho quest\n");
    home.createFile(u".arvexhub/games/Quest/VERSION"_s, "1.0");
    TestHttpServer server;
    QVERIFY(server.listen());
    const auto link = offered.split(' ').value(1);
    TestHttpResponse catalogue;
    catalogue.body = "[{\"name\":\"Quest\",\"version\":\"" + offered.split(' ').first() + "\",\"url\":\"" +
                     (link.isEmpty() ? link : server.url(QString::fromLatin1(link)).toEncoded()) + "\"}]";
    server.setResponse(u"/games.json"_s, catalogue);
    qputenv("ARVEXHUB_CATALOGUE_URL", server.url(QString()).toEncoded());

    Controller controller;
    QSignalSpy merged(controller.model(), &arvexhub::launcher::GameListModel::updateCheckFinished);
    QVERIFY(merged.wait(10000));
    GameRunner runner(&controller, nullptr);
    int asked = 0;
    runner.setUpdateQuestion([&asked, answer] {
      ++asked;
      return answer;
    });
    Recorder recorder(runner);
    QString box;
    QTimer::singleShot(0, &runner, [&box] { // a box, if the start shows one, is up by then
      if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        box = shown->windowTitle() + u'|' + shown->text();
        shown->accept();
      }
    });
    if (link.isEmpty()) {
      QTest::ignoreMessage(QtWarningMsg,
                           "Could not find online data or valid URL for game: \"Quest\" to start update.");
    }
    runner.start(path);
    QCOMPARE(asked, questions);
    const bool started = runner.state() != State::Stopped;
    QCOMPARE(runner.gameFilePath(), started ? path : QString());
    if (started) {
      QTRY_COMPARE_WITH_TIMEOUT(recorder.lines, QStringList{u"quest"_s}, 10000);
      QCOMPARE(server.requestCount(u"/quest.zip"_s), 0);
    } else if (box.isEmpty()) {
      QTRY_VERIFY_WITH_TIMEOUT(server.requestCount(u"/quest.zip"_s) > 0, 10000);
    }
    QCOMPARE(box.isEmpty() ? (started ? u"started"_s : u"downloaded"_s) : box, outcome);
  }

  void errorTexts_data() {
    QTest::addColumn<Error>("error");
    QTest::addColumn<QString>("text");
    const auto unknown = u"An unknown error occurred to the game process."_s;
    QTest::newRow("failed to start") << Error::ProcessFailedToStart << u"The game process failed to start."_s;
    QTest::newRow("crashed") << Error::ProcessCrashed << u"The game process crashed."_s;
    QTest::newRow("timed out") << Error::ProcessTimedOut << u"The game process timed out."_s;
    QTest::newRow("write error") << Error::ProcessWriteError << QString();
    QTest::newRow("read error") << Error::ProcessReadError << QString();
    QTest::newRow("unknown") << Error::UnknownError << unknown;
    QTest::newRow("no error") << Error::NoError << unknown;
  }

  void errorTexts() {
    QFETCH(Error, error);
    QFETCH(QString, text);
    QCOMPARE(arvexhub::launcher::i18n::gameError(error), text);
  }
};

QTEST_MAIN(TestGameRunner)
#include "tst_gamerunner.moc"
