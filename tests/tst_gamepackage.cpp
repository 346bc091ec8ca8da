#include "app/Controller.h"
#include "library/GameListModel.h"
#include "style/Style.h"
#include "widgets/dialogs/MessageBox.h"

#include "TestArchive.h"
#include "TestDir.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using arvexhub::launcher::Controller;
using arvexhub::launcher::MessageBox;
using arvexhub::test::TestArchive;

namespace {

QString gamesFolder() {
  return QDir::homePath() + QStringLiteral("/.arvexhub/games");
}

QByteArray startScriptOf(const QString& game) {
  QFile file(gamesFolder() + QLatin1Char('/') + game + QStringLiteral("/launcher.command"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Every file under the home folder, with its content: what "nothing changed" compares.
QMap<QString, QByteArray> snapshot() {
  QMap<QString, QByteArray> files;
  QDirIterator it(QDir::homePath(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile file(it.next());
    if (!it.filePath().contains(QStringLiteral("/.config/")) && file.open(QIODevice::ReadOnly)) {
      files.insert(it.filePath(), file.readAll());
    }
  }
  return files;
}

MessageBox* shownMessageBox() {
  for (auto* widget : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<MessageBox*>(widget); box != nullptr && box->isVisible()) {
      return box;
    }
  }
  return nullptr;
}

} // namespace

class TestGamePackage final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    QApplication::setStyle(new arvexhub::style::Style());
    qputenv("ARVEXHUB_CATALOGUE_URL", "http://127.0.0.1:1"); // no catalogue: the library is what we install
  }

  void init() {
    QDir(gamesFolder()).removeRecursively();
    packages_ = std::make_unique<arvexhub::test::TestDir>();
  }

  void cleanup() {
    if (auto* box = shownMessageBox()) {
      box->close();
    }
    controller_.reset();
  }

  void installsAndSelects() {
    const auto package = writePackage(QStringLiteral("Star Hopper.arvexhub"), TestArchive::game("hop"));
    controller_ = std::make_unique<Controller>();
    QSignalSpy failed(controller_.get(), &Controller::downloadFailed);
    controller_->openDroppedPath(package);
    QTRY_COMPARE(controller_->model()->currentGameName(), QStringLiteral("Star Hopper"));
    QVERIFY(startScriptOf(QStringLiteral("Star Hopper")).contains("hop"));
    const QFileInfo script(gamesFolder() + QStringLiteral("/Star Hopper/launcher.command"));
    QVERIFY(script.isExecutable());
    QVERIFY(!controller_->model()->gameDataByName(QStringLiteral("Star Hopper")).path.isEmpty());
    QVERIFY(QFileInfo::exists(package)); // the package itself is left where it was
    QCOMPARE(failed.count(), 0);
  }

  void replacementIsAsked_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("script");
    QTest::newRow("yes") << int(MessageBox::Yes) << QByteArray("new");
    QTest::newRow("cancel") << int(MessageBox::Cancel) << QByteArray("old");
  }

  void replacementIsAsked() {
    QFETCH(int, answer);
    QFETCH(QByteArray, script);
    const auto game = gamesFolder() + QStringLiteral("/Kept");
    QVERIFY(QDir().mkpath(game));
    QFile old(game + QStringLiteral("/launcher.command"));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("#!/bin/sh\necho old\n") > 0);
    old.close();
    const auto package = writePackage(QStringLiteral("Kept.arvexhub"), TestArchive::game("new"));
    controller_ = std::make_unique<Controller>();
    QSignalSpy installed(controller_->model(), &arvexhub::launcher::GameListModel::gameDownloadFinished);

    controller_->installGamePackage(package);
    QTRY_VERIFY(shownMessageBox() != nullptr);
    QCOMPARE(startScriptOf(QStringLiteral("Kept")),
             QByteArray("#!/bin/sh\necho old\n")); // nothing before the answer
    shownMessageBox()->getButtonWidget(static_cast<MessageBox::Button>(answer))->click();
    if (answer == MessageBox::Yes) {
      QVERIFY(installed.wait());
      QCOMPARE(controller_->model()->currentGameName(), QStringLiteral("Kept"));
    }
    QVERIFY(startScriptOf(QStringLiteral("Kept")).contains(script));
  }

  void badPackagesChangeNothing_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("archive");
    const auto game = TestArchive::game("hi");
    QTest::newRow("name is ..") << QStringLiteral("...arvexhub") << game;
    QTest::newRow("empty name") << QStringLiteral(".arvexhub") << game;
    QTest::newRow("control character in name") << QStringLiteral("Bad\x01.arvexhub") << game;
    QTest::newRow("not a zip") << QStringLiteral("Text.arvexhub") << QByteArray("just text\n");
    QTest::newRow("zip slip") << QStringLiteral("Slip.arvexhub")
                              << TestArchive::game("hi",
                                                   {{QStringLiteral("../../escaped.txt"), "x", 0100644}});
    QTest::newRow("no start script") << QStringLiteral("Empty.arvexhub")
                                     << TestArchive::zip(
                                            {{QStringLiteral("README.txt"), "read me", 0100644}});
    QTest::newRow("start script in a sub-folder")
        << QStringLiteral("Deep.arvexhub")
        << TestArchive::zip({{QStringLiteral("game/launcher.command"), "x", 0100755}});
  }

  void badPackagesChangeNothing() {
    QFETCH(QString, fileName);
    QFETCH(QByteArray, archive);
    const auto package = writePackage(fileName, archive);
    QVERIFY(!package.isEmpty());
    controller_ = std::make_unique<Controller>();
    const auto rows = controller_->model()->rowCount();
    const auto before = snapshot();
    QSignalSpy failed(controller_.get(), &Controller::downloadFailed);

    controller_->openDroppedPath(package);
    QTRY_COMPARE(failed.count(), 1);
    QCOMPARE(failed.first().at(0).toString(), QFileInfo(fileName).completeBaseName());
    QVERIFY(!failed.first().at(1).toString().isEmpty());
    QCOMPARE(snapshot(), before);
    QCOMPARE(QDir(gamesFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(controller_->model()->rowCount(), rows);
    QVERIFY(controller_->model()->currentGameName().isEmpty());
    QVERIFY(shownMessageBox() == nullptr);
  }

private:
  QString writePackage(const QString& fileName, const QByteArray& archive) {
    const auto path = packages_->filePath(fileName);
    return TestArchive::write(path, archive) ? path : QString();
  }

  std::unique_ptr<arvexhub::test::TestDir> packages_;
  std::unique_ptr<Controller> controller_;
};

QTEST_MAIN(TestGamePackage)
#include "tst_gamepackage.moc"
