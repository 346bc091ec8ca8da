#include <app/BasicUpdater.h>
#include <app/Controller.h>
#include <app/MakeIcon.h>
#include <library/GameListModel.h>
#include <widgets/MessageWidget.h>
#include <widgets/StatusBar.h>

#include <style/Style.h>
#include <style/widgets/IconWidget.h>
#include <style/widgets/LoadingSpinner.h>

#include <TestDir.h>
#include <TestHttpServer.h>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

using arvexhub::launcher::BasicUpdater;
using arvexhub::launcher::Controller;
using arvexhub::launcher::MessageWidget;
using arvexhub::launcher::StatusBar;
using arvexhub::style::LoadingSpinner;
using arvexhub::style::icons::Icons16;
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;
using Page = MessageWidget::Page;

/// Stands in for the browser: remembers what the program asked to open.
class UrlCatcher final : public QObject {
  Q_OBJECT

public:
  QList<QUrl> opened;

public slots:
  void openUrl(const QUrl& url) {
    opened.append(url);
  }
};

class TestStatusBar final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication::setStyle(new arvexhub::style::Style);
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser_, "openUrl");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser_, "openUrl");
  }

  void cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
  }

  void init() {
    browser_.opened.clear();
    QSettings(QStringLiteral("arvex-games"), QStringLiteral("arvex-hub")).clear();
    home_ = std::make_unique<TestDir>();
    qputenv("HOME", home_->path().toUtf8());
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    // An empty catalogue: the game list holds only what the test installs.
    TestHttpResponse catalogue;
    catalogue.body = "[]";
    server_->setResponse(QStringLiteral("/games.json"), catalogue);
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    controller_ = std::make_unique<Controller>();
    statusBar_ = std::make_unique<StatusBar>(controller_.get());
    statusBar_->resize(480, statusBar_->height());
    statusBar_->show();
  }

  void cleanup() {
    statusBar_.reset();
    controller_.reset();
    server_.reset();
    home_.reset();
  }

  void pages_data() {
    QTest::addColumn<Page>("page");
    QTest::addColumn<int>("stackIndex");
    QTest::addColumn<bool>("spinning");
    QTest::addColumn<QString>("buttonText");
    QTest::addColumn<QString>("toolTip");

    const QString text = QStringLiteral("Update Available");
    const QString tip = QStringLiteral("tip");
    QTest::newRow("hidden") << Page::Hidden << 0 << false << QString() << QString();
    QTest::newRow("spinner") << Page::Spinner << 1 << true << QString() << tip;
    QTest::newRow("icon only") << Page::Button << 2 << false << QString() << tip;
    QTest::newRow("with text") << Page::ButtonWithText << 2 << false << text << tip;
  }
  void pages() {
    QFETCH(Page, page);
    QFETCH(int, stackIndex);
    QFETCH(bool, spinning);
    QFETCH(QString, buttonText);
    QFETCH(QString, toolTip);

    MessageWidget widget;
    QVERIFY(widget.isHidden());
    // Start from a page showing text and a spinner, so the page asked for must clear what it hides.
    widget.setCurrentPage(page == Page::ButtonWithText ? Page::Spinner : Page::ButtonWithText,
                          QStringLiteral("old"), QStringLiteral("old tip"));
    widget.setCurrentPage(page, QStringLiteral("Update Available"), QStringLiteral("tip"));

    QCOMPARE(widget.currentPage(), page);
    QCOMPARE(widget.currentIndex(), stackIndex);
    QCOMPARE(widget.isHidden(), page == Page::Hidden);
    QCOMPARE(widget.findChild<LoadingSpinner*>()->spinning(), spinning);
    QCOMPARE(widget.findChild<QPushButton*>()->text(), buttonText);
    QCOMPARE(widget.currentWidget()->toolTip(), toolTip);
  }

  void iconOnlyButtonHidesAfterItsTime_data() {
    QTest::addColumn<Page>("next");
    QTest::addColumn<Page>("expected");
    QTest::newRow("left alone") << Page::Button << Page::Hidden;
    QTest::newRow("a check starts") << Page::Spinner << Page::Spinner;
    QTest::newRow("an update is found") << Page::ButtonWithText << Page::ButtonWithText;
  }
  void iconOnlyButtonHidesAfterItsTime() {
    QFETCH(Page, next);
    QFETCH(Page, expected);

    MessageWidget widget;
    widget.setButtonDuration(5);
    widget.setCurrentPage(Page::Button);
    widget.setCurrentPage(next, QStringLiteral("Update Available"));
    passTime(100);
    QCOMPARE(widget.currentPage(), expected);
    QCOMPARE(widget.isHidden(), expected == Page::Hidden);
  }

  void updateCheckOutcomes_data() {
    QTest::addColumn<QByteArray>("tagName");
    QTest::addColumn<Page>("page");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QStringList>("opened");

    QTest::newRow("no update") << QByteArray("v1.0.0") << Page::Button << QString()
                               << QStringLiteral("No Update Available") << QStringList();
    QTest::newRow("update available")
        << QByteArray("v1.0.1") << Page::ButtonWithText << QStringLiteral("Update Available")
        << QStringLiteral("You have 1.0.0, 1.0.1 is available.")
        << QStringList{QStringLiteral("/releases/v1.0.1")};
    QTest::newRow("check failed") << QByteArray("not a version") << Page::Button << QString()
                                  << QStringLiteral("Failed to check for updates. Error code: -1")
                                  << QStringList();
  }
  void updateCheckOutcomes() {
    QFETCH(QByteArray, tagName);
    QFETCH(Page, page);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(QStringList, opened);

    serveFeed(tagName);
    auto* indicator = statusBar_->messageWidget();
    QSignalSpy finished(controller_->updater(), &BasicUpdater::checkFinished);
    controller_->updater()->checkForUpdates(server_->url(QStringLiteral("/releases.json")).toString());
    QCOMPARE(indicator->currentPage(), Page::Spinner);
    QVERIFY(indicator->isVisible());
    QVERIFY(indicator->findChild<LoadingSpinner*>()->spinning());
    QCOMPARE(indicator->currentWidget()->toolTip(), QStringLiteral("Checking for updates…"));
    QVERIFY(finished.wait());

    QCOMPARE(indicator->currentPage(), page);
    QVERIFY(indicator->isVisible());
    QCOMPARE(button()->text(), text);
    QCOMPARE(button()->toolTip(), toolTip);
    QTest::mouseClick(button(), Qt::LeftButton);
    QStringList paths;
    for (const QUrl& url : std::as_const(browser_.opened)) {
      QCOMPARE(url.authority(), server_->url(QString()).authority());
      paths.append(url.path());
    }
    QCOMPARE(paths, opened);
  }

  void updateNoticeStaysUntilTheNextCheck() {
    statusBar_->messageWidget()->setButtonDuration(5);
    serveFeed("v1.0.1");
    checkForUpdates();
    passTime(100);
    QCOMPARE(statusBar_->messageWidget()->currentPage(), Page::ButtonWithText);

    serveFeed("v1.0.0");
    checkForUpdates();
    QTest::mouseClick(button(), Qt::LeftButton);
    QVERIFY(browser_.opened.isEmpty()); // the notice's address went with it
    QTRY_VERIFY(statusBar_->messageWidget()->isHidden());
  }

  void libraryIconFollowsTheGameList() {
    QVERIFY(image(Icons16::Misc_Warning) != image(Icons16::Misc_Library));
    QTRY_COMPARE(server_->requestCount(QStringLiteral("/games.json")), 1);
    QCOMPARE(controller_->model()->rowCount(), 0);
    QCOMPARE(libraryIcon(), image(Icons16::Misc_Warning));

    home_->createFile(QStringLiteral(".arvexhub/games/Alpha/launcher.command"), "#!/bin/sh\n");
    QTRY_COMPARE(controller_->model()->rowCount(), 1);
    QCOMPARE(libraryIcon(), image(Icons16::Misc_Library));

    QVERIFY(QDir(home_->filePath(QStringLiteral(".arvexhub/games/Alpha"))).removeRecursively());
    QTRY_COMPARE(controller_->model()->rowCount(), 0);
    QCOMPARE(libraryIcon(), image(Icons16::Misc_Warning));
  }

  void failedInstallIsTold() {
    emit controller_->downloadFailed(QStringLiteral("Alpha"),
                                     QStringLiteral("There is not enough free disk space."));
    QCOMPARE(statusBar_->currentMessage(),
             QStringLiteral("Could not install \"Alpha\": There is not enough free disk space."));
  }

private:
  void serveFeed(const QByteArray& tagName) {
    TestHttpResponse feed;
    feed.body = "{\"tag_name\": \"" + tagName + "\", \"_links\": {\"self\": \"" +
                server_->url(QStringLiteral("/releases/") + QString::fromUtf8(tagName)).toEncoded() + "\"}}";
    server_->setResponse(QStringLiteral("/releases.json"), feed);
  }

  void checkForUpdates() {
    QSignalSpy finished(controller_->updater(), &BasicUpdater::checkFinished);
    controller_->updater()->checkForUpdates(server_->url(QStringLiteral("/releases.json")).toString());
    QVERIFY(finished.wait());
  }

  QPushButton* button() const {
    return statusBar_->messageWidget()->findChild<QPushButton*>();
  }

  QImage libraryIcon() const {
    const auto* icon = statusBar_->findChild<arvexhub::style::IconWidget*>(QStringLiteral("libraryIcon"));
    return icon->icon().pixmap(16, 16).toImage();
  }

  static QImage image(Icons16 icon) {
    return arvexhub::launcher::makeIcon(icon).pixmap(16, 16).toImage();
  }
  /// Runs the event loop for a while; timers due before then fire first.

  static void passTime(int milliseconds) {
    QTimer later;
    later.setSingleShot(true);
    QSignalSpy spy(&later, &QTimer::timeout);
    later.start(milliseconds);
    QVERIFY(spy.wait());
  }

  UrlCatcher browser_;
  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<Controller> controller_;
  std::unique_ptr<StatusBar> statusBar_;
};

QTEST_MAIN(TestStatusBar)
#include "tst_statusbar.moc"
