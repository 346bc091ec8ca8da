#include "app/BasicUpdater.h"
#include "app/Controller.h"
#include "app/MakeIcon.h"
#include "app/Preferences.h"
#include "library/GameListModel.h"
#include "style/Style.h"
#include "style/widgets/IconWidget.h"
#include "style/widgets/LoadingSpinner.h"
#include "widgets/window/CatalogueOfflineNotice.h"
#include "widgets/window/MessageWidget.h"
#include "widgets/window/StatusBar.h"

#include "LibraryKinds.h"
#include "PrivateSessionBus.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;
using arvexhub::launcher::BasicUpdater;
using arvexhub::launcher::Controller;
using arvexhub::launcher::LibraryModel;
using arvexhub::launcher::MessageWidget;
using arvexhub::launcher::StatusBar;
using arvexhub::style::LoadingSpinner;
using arvexhub::style::icons::Icons16;
using arvexhub::test::LibraryFixture;
using arvexhub::test::PrivateSessionBus;
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

/// Stands in for the desktop's notification service: remembers summary and body.
class NotificationCatcher final : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
  QStringList shown;

public slots:
  uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
              const QStringList&, const QVariantMap&, int) {
    shown.append(summary + u" | "_s + body);
    return uint(shown.size());
  }
};

class TestStatusBar final : public QObject, private LibraryFixture {
  Q_OBJECT

private slots:
  void initTestCase() {
    QCoreApplication::setApplicationVersion(u"1.0.0"_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication::setStyle(new arvexhub::style::Style);
    QDesktopServices::setUrlHandler(u"http"_s, &browser_, "openUrl");
    QDesktopServices::setUrlHandler(u"https"_s, &browser_, "openUrl");
    QVERIFY(bus_.isValid());
    // A connection of its own, as the desktop's service would have.
    auto desktop = QDBusConnection::connectToBus(bus_.address(), u"desktop"_s);
    QVERIFY(desktop.registerObject(u"/org/freedesktop/Notifications"_s, &notifications_,
                                   QDBusConnection::ExportAllSlots));
    QVERIFY(desktop.registerService(u"org.freedesktop.Notifications"_s));
  }

  void cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QDesktopServices::unsetUrlHandler(u"https"_s);
  }

  void init() {
    browser_.opened.clear();
    QSettings(u"arvex-games"_s, u"arvex-hub"_s).clear();
    QVERIFY(setUpLibrary());
    // An empty catalogue: the game list holds only what the test installs.
    server_->setResponse(u"/games.json"_s, answer("[]"));
    controller_ = std::make_unique<Controller>();
    statusBar_ = std::make_unique<StatusBar>(controller_.get());
    statusBar_->resize(480, statusBar_->height());
    statusBar_->show();
  }

  void cleanup() {
    statusBar_.reset();
    controller_.reset();
    tearDownLibrary();
  }

  void pages_data() {
    QTest::addColumn<Page>("from"); // shown first, with the text and tool tip "old"
    QTest::addColumn<Page>("page"); // then asked for, with "new"
    QTest::addColumn<Page>("shown");
    QTest::addColumn<QString>("buttonText");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<Page>("later"); // once the icon-only button's time is up
    const QString old = u"old"_s, fresh = u"new"_s;
    QTest::newRow("hidden") << Page::ButtonWithText << Page::Hidden << Page::Hidden << QString() << QString()
                            << Page::Hidden;
    QTest::newRow("spinner") << Page::ButtonWithText << Page::Spinner << Page::Spinner << QString() << fresh
                             << Page::Spinner;
    QTest::newRow("icon only, for a while")
        << Page::Spinner << Page::Button << Page::Button << QString() << fresh << Page::Hidden;
    QTest::newRow("with text") << Page::Spinner << Page::ButtonWithText << Page::ButtonWithText << fresh
                               << fresh << Page::ButtonWithText;
    QTest::newRow("with text again: the new text")
        << Page::ButtonWithText << Page::ButtonWithText << Page::ButtonWithText << fresh << fresh
        << Page::ButtonWithText;
    QTest::newRow("icon only over the text: unchanged")
        << Page::ButtonWithText << Page::Button << Page::ButtonWithText << old << old << Page::ButtonWithText;
    QTest::newRow("spinner again: unchanged")
        << Page::Spinner << Page::Spinner << Page::Spinner << QString() << old << Page::Spinner;
    QTest::newRow("a check starts during the icon-only button")
        << Page::Button << Page::Spinner << Page::Spinner << QString() << fresh << Page::Spinner;
    QTest::newRow("an update is found during the icon-only button")
        << Page::Button << Page::ButtonWithText << Page::ButtonWithText << fresh << fresh
        << Page::ButtonWithText;
  }
  void pages() {
    QFETCH(Page, from);
    QFETCH(Page, page);
    QFETCH(Page, shown);
    QFETCH(QString, buttonText);
    QFETCH(QString, toolTip);
    QFETCH(Page, later);

    MessageWidget widget;
    QVERIFY(widget.isHidden());
    widget.setButtonDuration(5);
    widget.setCurrentPage(from, u"old"_s, u"old"_s);
    widget.setCurrentPage(page, u"new"_s, u"new"_s);

    QCOMPARE(widget.currentPage(), shown);
    QCOMPARE(widget.currentIndex(), std::min(int(shown), int(Page::Button)));
    QCOMPARE(widget.isHidden(), shown == Page::Hidden);
    QCOMPARE(widget.findChild<LoadingSpinner*>()->spinning(), shown == Page::Spinner);
    QCOMPARE(widget.findChild<QPushButton*>()->text(), buttonText);
    QCOMPARE(widget.currentWidget()->toolTip(), toolTip);
    QTest::qWait(100); // the button's 5 ms pass; a page that stays sends no signal to wait for
    QCOMPARE(widget.currentPage(), later);
    QCOMPARE(widget.isHidden(), later == Page::Hidden);
  }

  void updateCheckOutcomes_data() {
    QTest::addColumn<QByteArray>("tagName");
    QTest::addColumn<Page>("page");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QStringList>("opened");

    QTest::newRow("no update") << QByteArray("v1.0.0") << Page::Button << QString()
                               << u"No Update Available"_s << QStringList();
    QTest::newRow("update available")
        << QByteArray("v1.0.1") << Page::ButtonWithText << u"Update Available"_s
        << u"You have 1.0.0, 1.0.1 is available."_s << QStringList{u"/releases/v1.0.1"_s};
    QTest::newRow("check failed") << QByteArray("not a version") << Page::Button << QString()
                                  << u"Failed to check for updates. Error code: -1"_s << QStringList();
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
    controller_->updater()->checkForUpdates(server_->url(u"/releases.json"_s).toString());
    QCOMPARE(indicator->currentPage(), Page::Spinner);
    QVERIFY(indicator->isVisible());
    QVERIFY(indicator->findChild<LoadingSpinner*>()->spinning());
    QCOMPARE(indicator->currentWidget()->toolTip(), u"Checking for updates…"_s);
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

    // The next check finds nothing: a click opens nothing, and the button goes after its time.
    browser_.opened.clear();
    indicator->setButtonDuration(5);
    serveFeed("v1.0.0");
    checkForUpdates();
    QTest::mouseClick(button(), Qt::LeftButton);
    QVERIFY(browser_.opened.isEmpty());
    QTRY_VERIFY(indicator->isHidden());
  }

  void libraryIconFollowsTheGameList() {
    QVERIFY(image(Icons16::Misc_Warning) != image(Icons16::Misc_Library));
    QTRY_COMPARE(server_->requestCount(u"/games.json"_s), 1);
    QCOMPARE(controller_->model()->rowCount(), 0);
    QCOMPARE(libraryIcon(), image(Icons16::Misc_Warning));

    home_->createFile(u".arvexhub/games/Alpha/launcher.command"_s, "#!/bin/sh\n");
    QTRY_COMPARE(controller_->model()->rowCount(), 1);
    QCOMPARE(libraryIcon(), image(Icons16::Misc_Library));

    QVERIFY(QDir(home_->filePath(u".arvexhub/games/Alpha"_s)).removeRecursively());
    QTRY_COMPARE(controller_->model()->rowCount(), 0);
    QCOMPARE(libraryIcon(), image(Icons16::Misc_Warning));
  }

  // In the window always; on the desktop only while the window is not active.
  void downloadEndIsTold_data() {
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("windowActive");
    QTest::addColumn<QString>("notification");
    const QString full = u"Could not install \"Alpha\": There is not enough free disk space."_s;
    QTest::newRow("failed, window active") << true << u"Alpha"_s << true << QString();
    QTest::newRow("failed") << true << u"Alpha"_s << false << u"Download failed | "_s + full;
    QTest::newRow("installed") << false << u"Alpha"_s << false
                               << u"Download finished | \"Alpha\" is installed."_s;
    QTest::newRow("a name is not markup")
        << false << u"<b>A&B</b>"_s << false
        << u"Download finished | \"&lt;b&gt;A&amp;B&lt;/b&gt;\" is installed."_s;
  }
  void downloadEndIsTold() {
    QFETCH(bool, failed);
    QFETCH(QString, name);
    QFETCH(bool, windowActive);
    QFETCH(QString, notification);
    notifications_.shown.clear();
    QApplication::setActiveWindow(windowActive ? statusBar_.get() : nullptr);
    QTRY_COMPARE(QApplication::activeWindow() != nullptr, windowActive);
    if (failed) {
      emit controller_->downloadFailed(name, u"There is not enough free disk space."_s);
      QCOMPARE(statusBar_->currentMessage(),
               u"Could not install \"Alpha\": There is not enough free disk space."_s);
    } else {
      emit controller_->model()->itemInstalled(name);
    }
    if (notification.isEmpty()) {
      QTest::qWait(200); // the bus answers in a few milliseconds; nothing may arrive
      QVERIFY(notifications_.shown.isEmpty());
    } else {
      QTRY_COMPARE(notifications_.shown, QStringList{notification});
    }
  }

  void offlineCatalogueIsTold() {
    const auto* notice = statusBar_->findChild<arvexhub::launcher::CatalogueOfflineNotice*>();
    QTRY_VERIFY(QFileInfo::exists(home_->filePath(u".arvexhub/cache/games.json"_s)));
    QVERIFY(notice->isHidden());
    server_->setResponse(u"/games.json"_s, answer("[]", 500));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Failed to download gamelist:"_s));
    QSignalSpy changed(controller_->model(), &LibraryModel::catalogueOfflineChanged);
    controller_->model()->checkForUpdates();
    QVERIFY(changed.wait());
    QVERIFY(notice->isVisible());
    const auto fetched = QFileInfo(home_->filePath(u".arvexhub/cache/games.json"_s)).lastModified();
    QCOMPARE(notice->text(),
             u"Catalogue offline, fetched "_s + QLocale().toString(fetched, QLocale::ShortFormat));

    server_->setResponse(u"/games.json"_s, answer("[]"));
    QTest::mouseClick(notice->findChild<QToolButton*>(), Qt::LeftButton);
    QVERIFY(changed.wait());
    QVERIFY(notice->isHidden());
  }

  void downloadsAreCounted() {
    auto stalled = answer(QByteArray(4096, 'z'));
    stalled.stallAfterBytes = 0;
    server_->setResponse(u"/a.zip"_s, stalled);
    server_->setResponse(u"/games.json"_s,
                         answer(R"([{"name":"A","url":")" + server_->url(u"/a.zip"_s).toEncoded() +
                                R"("},{"name":"B","url":")" + server_->url(u"/a.zip"_s).toEncoded() +
                                R"("}])"));
    auto* games = controller_->model();
    QSignalSpy merged(games, &arvexhub::launcher::LibraryModel::updateCheckFinished);
    games->checkForUpdates();
    QVERIFY(merged.wait());
    QVERIFY(statusBar_->downloadsText().isEmpty());
    controller_->preferences()->setAppMaxDownloads(1);
    for (const auto& name : {u"A"_s, u"B"_s}) {
      games->downloadAndInstallGame(name, server_->url(u"/a.zip"_s));
    }
    QCOMPARE(statusBar_->downloadsText(), u"1 downloading, 1 queued"_s);
    QVERIFY(controller_->pauseDownload(games, u"A"_s));
    QCOMPARE(statusBar_->downloadsText(), u"1 downloading"_s);
  }

private:
  void serveFeed(const QByteArray& tagName) {
    server_->setResponse(u"/releases.json"_s,
                         answer("{\"tag_name\": \"" + tagName + "\", \"_links\": {\"self\": \"" +
                                server_->url(u"/releases/"_s + QString::fromUtf8(tagName)).toEncoded() +
                                "\"}}"));
  }

  void checkForUpdates() {
    QSignalSpy finished(controller_->updater(), &BasicUpdater::checkFinished);
    controller_->updater()->checkForUpdates(server_->url(u"/releases.json"_s).toString());
    QVERIFY(finished.wait());
  }

  QPushButton* button() const {
    return statusBar_->messageWidget()->findChild<QPushButton*>();
  }

  QImage libraryIcon() const {
    const auto* icon = statusBar_->findChild<arvexhub::style::IconWidget*>(u"libraryIcon"_s);
    return icon->icon().pixmap(16, 16).toImage();
  }

  static QImage image(Icons16 icon) {
    return arvexhub::launcher::makeIcon(icon).pixmap(16, 16).toImage();
  }

  PrivateSessionBus bus_; // before the program's first use of the session bus
  NotificationCatcher notifications_;
  UrlCatcher browser_;
  std::unique_ptr<Controller> controller_;
  std::unique_ptr<StatusBar> statusBar_;
};

QTEST_MAIN(TestStatusBar)
#include "tst_statusbar.moc"
