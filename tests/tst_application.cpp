#include <app/Application.h>
#include <app/Controller.h>
#include <app/Startup.h>
#include <library/GameListModel.h>
#include <widgets/MainWindow.h>

#include <TestArchive.h>
#include <TestDir.h>

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

using arvexhub::launcher::Application;

/// Runs inside the real application object, as the running instance.
class TestApplication final : public QObject {
  Q_OBJECT

public:
  explicit TestApplication(Application* app)
      : app_(app) {}

private slots:
  void windowIsShown();
  void secondStartRaisesTheWindow();
  void secondStartHandsOverItsPath();

private:
  Application* app_;
};

void TestApplication::windowIsShown() {
  QVERIFY(app_->mainWindow());
  QVERIFY(app_->mainWindow()->isVisible());
  QCOMPARE(app_->mainWindow()->windowTitle(), QStringLiteral("Arvex Hub"));
  // The icon follows the first frame.
  QVERIFY(QTest::qWaitForWindowExposed(app_->mainWindow()));
  QTRY_VERIFY(!QApplication::windowIcon().isNull());
  const auto folder = QStringLiteral(":/arvexhub/launcher/resources/app_icon/arvexhub_launcher_icon");
  for (const int size : {16, 20, 32, 40, 48, 64, 96, 128, 256, 512, 1024}) {
    QCOMPARE(QImage(folder + QStringLiteral("_%1.png").arg(size)).size(), QSize(size, size));
  }
  for (const auto* suffix : {".ico", ".icns", ".svg"}) {
    QVERIFY2(!QImage(folder + QString::fromLatin1(suffix)).isNull(), suffix);
  }
}

void TestApplication::secondStartRaisesTheWindow() {
  QWidget other;
  other.show();
  other.activateWindow();
  QTRY_VERIFY(other.isActiveWindow());

  QSignalSpy messages(&app_->instanceManager(),
                      &arvexhub::instance::InstanceManager::secondaryInstanceMessageReceived);
  QProcess second;
  QSignalSpy finished(&second, &QProcess::finished);
  second.start(QStringLiteral(ARVEXHUB_PROGRAM_PATH), {});
  QVERIFY(finished.wait(20000));
  QCOMPARE(second.exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.exitCode(), 0);

  QCOMPARE(messages.count(), 1);
  QCOMPARE(messages.first().at(1).toByteArray(), QByteArray());
  QTRY_VERIFY(app_->mainWindow()->isActiveWindow());
}

void TestApplication::secondStartHandsOverItsPath() {
  const arvexhub::test::TestDir packages;
  const auto package = packages.filePath(QStringLiteral("Hand Over.arvexhub"));
  QVERIFY(arvexhub::test::TestArchive::write(package, arvexhub::test::TestArchive::game("handed over")));
  QDir(QDir::homePath() + QStringLiteral("/.arvexhub/games/Hand Over")).removeRecursively();

  QSignalSpy messages(&app_->instanceManager(),
                      &arvexhub::instance::InstanceManager::secondaryInstanceMessageReceived);
  QProcess second;
  QSignalSpy finished(&second, &QProcess::finished); // waits in the event loop: this process answers
  second.setWorkingDirectory(packages.path());       // a path relative to the second start's own folder
  second.start(QStringLiteral(ARVEXHUB_PROGRAM_PATH), {QStringLiteral("Hand Over.arvexhub")});
  QVERIFY(finished.wait(20000));
  QCOMPARE(second.exitCode(), 0);

  QCOMPARE(messages.count(), 1);
  QCOMPARE(QString::fromUtf8(messages.first().at(1).toByteArray()), package);
  QTRY_COMPARE_WITH_TIMEOUT(app_->controller()->model()->currentGameName(), QStringLiteral("Hand Over"),
                            20000);
}

int main(int argc, char* argv[]) {
  arvexhub::launcher::configureQApplication();
  Application app(argc, argv);
  TestApplication test(&app);
  return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
