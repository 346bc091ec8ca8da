#include "app/Application.h"
#include "app/Controller.h"
#include "app/Startup.h"
#include "library/GameListModel.h"
#include "widgets/window/MainWindow.h"
#include "widgets/window/MessageWidget.h"
#include "widgets/window/StatusBar.h"

#include "TestArchive.h"
#include "TestDir.h"

#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;
using arvexhub::launcher::Application;
using arvexhub::launcher::MessageWidget;

namespace {

/// How many times the main thread has gone to sleep and been woken up since it started.
qint64 mainThreadWakeUps() {
  QFile status(u"/proc/self/task/%1/status"_s.arg(QCoreApplication::applicationPid()));
  const QByteArray key("voluntary_ctxt_switches:");
  for (const QByteArray& line :
       status.open(QIODevice::ReadOnly) ? status.readAll().split('\n') : QByteArrayList()) {
    if (line.startsWith(key)) {
      return line.mid(key.size()).trimmed().toLongLong();
    }
  }
  return -1;
}

} // namespace

/// Runs inside the real application object, as the running instance.
class TestApplication final : public QObject {
  Q_OBJECT

public:
  explicit TestApplication(Application* app)
      : app_(app) {}

private slots:
  void windowIsShown() {
    QVERIFY(app_->mainWindow());
    QVERIFY(app_->mainWindow()->isVisible());
    QCOMPARE(app_->mainWindow()->windowTitle(), u"Arvex Hub"_s);
    // The icon follows the first frame.
    QVERIFY(QTest::qWaitForWindowExposed(app_->mainWindow()));
    QTRY_VERIFY(!QApplication::windowIcon().isNull());
    QList<int> sizes;
    for (const QSize& size : QApplication::windowIcon().availableSizes()) {
      sizes.append(size.width());
    }
    QCOMPARE(sizes, (QList<int>{16, 20, 32, 40, 48, 64, 96, 128, 256, 512, 1024}));
    const auto folder = u":/arvexhub/launcher/resources/app_icon/arvexhub_launcher_icon"_s;
    for (const auto* suffix : {".ico", ".icns", ".svg"}) {
      QVERIFY2(!QImage(folder + QString::fromLatin1(suffix)).isNull(), suffix);
    }
  }

  // Nothing happening, the program sleeps: no timer may keep waking it up.
  void idleWindowSleeps() {
    // The update check of the start has failed (nothing answers): what it started has settled.
    const auto* indicator = app_->mainWindow()->statusBar()->messageWidget();
    QTRY_COMPARE_WITH_TIMEOUT(indicator->currentPage(), MessageWidget::Page::Button, 20000);
    QEventLoop idle;
    QTimer::singleShot(10000, &idle, &QEventLoop::quit);
    const qint64 before = mainThreadWakeUps();
    idle.exec();
    const qint64 wakeUps = mainThreadWakeUps() - before;
    QVERIFY(before >= 0);
    // The end of this wait and the indicator hiding itself may each wake it once.
    QVERIFY2(wakeUps <= 5, qPrintable(u"%1 wake-ups in 10 s"_s.arg(wakeUps)));
  }

  void secondStart_data() {
    QTest::addColumn<QString>("argument"); // relative to the second start's own folder
    QTest::newRow("nothing to open: the window is raised") << QString();
    QTest::newRow("a package: it is opened here") << u"Hand Over.arvexhub"_s;
  }

  void secondStart() {
    QFETCH(QString, argument);
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    const arvexhub::test::TestDir packages;
    const auto package = packages.filePath(u"Hand Over.arvexhub"_s);
    QVERIFY(arvexhub::test::TestArchive::write(package, arvexhub::test::TestArchive::game("handed over")));
    QDir(QDir::homePath() + u"/.arvexhub/games/Hand Over"_s).removeRecursively();

    QSignalSpy messages(&app_->instanceManager(),
                        &arvexhub::instance::InstanceManager::secondaryInstanceMessageReceived);
    QProcess second;
    QSignalSpy finished(&second, &QProcess::finished); // waits in the event loop: this process answers
    second.setWorkingDirectory(packages.path());
    second.start(QStringLiteral(ARVEXHUB_PROGRAM_PATH),
                 argument.isEmpty() ? QStringList{} : QStringList{argument});
    QVERIFY(finished.wait(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);

    QCOMPARE(messages.count(), 1);
    QCOMPARE(QString::fromUtf8(messages.first().at(1).toByteArray()),
             argument.isEmpty() ? QString() : package);
    QTRY_VERIFY(app_->mainWindow()->isActiveWindow());
    if (!argument.isEmpty()) {
      QTRY_COMPARE_WITH_TIMEOUT(app_->controller()->model()->currentGameName(), u"Hand Over"_s, 20000);
    }
  }

private:
  Application* app_;
};

int main(int argc, char* argv[]) {
  arvexhub::launcher::configureQApplication();
  // Nothing answers on the discard port: the catalogues and the update check fail at once.
  qputenv("ARVEXHUB_CATALOGUE_URL", "http://127.0.0.1:9");
  qputenv("ARVEXHUB_RELEASE_FEED_URL", "http://127.0.0.1:9/releases.json");
  Application app(argc, argv);
  TestApplication test(&app);
  return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
