// User journeys through the real main window over a private library and a local catalogue.
#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/GameListModel.h"
#include "runner/GameRunner.h"
#include "style/Style.h"
#include "style/widgets/Expander.h"
#include "style/widgets/LineEdit.h"
#include "widgets/couch/CouchModeView.h"
#include "widgets/dialogs/MessageBox.h"
#include "widgets/panels/GamePropertiesPanel.h"
#include "widgets/views/AlbumListView.h"
#include "widgets/views/AlbumWidget.h"
#include "widgets/views/GameListView.h"
#include "widgets/window/CustomSplitter.h"
#include "widgets/window/MainWindow.h"
#include "widgets/window/MenuBar.h"
#include "widgets/window/StatusBar.h"
#include "widgets/window/ToolBar.h"

#include "TestDir.h"
#include "TestHttpServer.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace arvexhub::launcher;
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpServer;
using State = GameRunner::State;

namespace {

const QString echoScript = QStringLiteral(ARVEXHUB_SOURCE_DIR "/tests/games/echo.command");

QString gamesFolder() {
  return QDir::homePath() + u"/.arvexhub/games/"_s;
}

/// An installed game whose start script answers commands and runs until it is stopped.
QString installGame(const QString& name) {
  QDir().mkpath(gamesFolder() + name);
  const auto script = gamesFolder() + name + u"/launcher.command"_s;
  QFile::remove(script);
  QFile::copy(echoScript, script);
  return script;
}

QByteArray catalogue(const QStringList& names, const QUrl& base) {
  QJsonArray games;
  for (const auto& name : names) {
    games.append(QJsonObject{{u"name"_s, name},
                             {u"fullName"_s, name + u" Deluxe"_s},
                             {u"version"_s, u"2.0"_s},
                             {u"developer"_s, u"Arvex"_s},
                             {u"url"_s, base.resolved(QUrl(name + u".zip"_s)).toString()}});
  }
  return QJsonDocument(games).toJson();
}

QModelIndex proxyIndexOf(const QAbstractItemView* view, const QString& name) {
  const auto* proxy = view->model();
  for (int row = 0; row < proxy->rowCount(); ++row) {
    if (proxy->index(row, 0).data().toString() == name) {
      return proxy->index(row, 0);
    }
  }
  return {};
}

MessageBox* shownMessageBox() {
  for (auto* widget : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<MessageBox*>(widget); box != nullptr && box->isVisible()) {
      return box;
    }
  }
  return nullptr;
}

QByteArray contentOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void drop(QWidget* window, const QString& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  const QPoint centre = window->rect().center();
  QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &enter);
  QDropEvent dropped(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &dropped);
}

} // namespace

class TestMainWindow final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    QApplication::setStyle(new arvexhub::style::Style());
    QCoreApplication::setApplicationVersion(u"1.0.0"_s);
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    qputenv("ARVEXHUB_RELEASE_FEED_URL", server_->url(u"/releases.json"_s).toString().toUtf8());
  }

  void init() {
    QSettings().clear();
    QDir(QDir::homePath() + u"/.arvexhub"_s).removeRecursively();
    installGame(u"Echo"_s);
    installGame(u"Chorus"_s);
    arvexhub::test::TestHttpResponse answer;
    answer.body = catalogue({u"Echo"_s, u"Remote"_s}, server_->url(u"/"_s));
    server_->setResponse(u"/games.json"_s, answer);
    makeWindow();
  }

  void cleanup() {
    window_.reset();
    controller_.reset(); // stops a running game
  }

  // Work the first frame does not need runs once it is painted, or after a second without one.
  void workWaitsForTheFirstFrame() {
    MainWindow hidden(controller_.get());
    int runs = 0;
    hidden.afterFirstFrame([&runs] { ++runs; });
    QCoreApplication::processEvents();
    QCOMPARE(runs, 0);
    QTRY_COMPARE_WITH_TIMEOUT(runs, 1, 5000);

    MainWindow shown(controller_.get());
    bool beforeFrame = true;
    bool ranAfterFrame = false;
    shown.afterFirstFrame([&] { ranAfterFrame = !beforeFrame; });
    shown.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shown));
    beforeFrame = false; // exposure is not yet the painted frame: the work is still queued
    QTRY_VERIFY(ranAfterFrame);
    shown.afterFirstFrame([&runs] { ++runs; }); // later work runs on the next turn
    QTRY_COMPARE(runs, 2);
  }

  void startingAGame_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("double-click") << u"double-click"_s;
    QTest::newRow("Return") << u"Return"_s;
    QTest::newRow("start script dropped on the window") << u"drop"_s;
  }
  void startingAGame() {
    QFETCH(QString, how);
    auto* view = window_->gameListView();
    auto* runner = controller_->runner();
    auto* playStop = window_->toolBar()->playStopButton();
    QVERIFY(!controller_->preferences()->appConsoleVisible());
    const auto card = proxyIndexOf(view, u"Chorus"_s);
    const auto centre = view->visualRect(card).center();

    if (how != u"drop"_s) {
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    }
    if (how == u"drop"_s) {
      drop(window_.get(), gamesFolder() + u"Chorus/launcher.command"_s);
    } else if (how == u"Return"_s) {
      view->setFocus();
      QTest::keyClick(view, Qt::Key_Return);
    } else {
      QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    }
    QTRY_COMPARE(runner->state(), State::Running);
    QCOMPARE(runner->gameFilePath(), gamesFolder() + u"Chorus/launcher.command"_s);
    QCOMPARE(games()->currentPlayingGame(), runner->gameFilePath());
    QCOMPARE(playStop->text(), u"Stop"_s);
    QVERIFY(!window_->toolBar()->removeButton()->isEnabled());
    // The console opens with the game, so its first lines are seen.
    QVERIFY(controller_->preferences()->appConsoleVisible());
    QTRY_VERIFY(window_->splitter()->sizes().value(1) > 0);

    playStop->click();
    QTRY_COMPARE(runner->state(), State::Stopped);
    QCOMPARE(playStop->text(), u"Play"_s);
    QVERIFY(games()->currentPlayingGame().isEmpty());

    // The next window opens at this one's size, with the console as it was.
    window_->resize(1234, 777);
    window_ = std::make_unique<MainWindow>(controller_.get());
    QCOMPARE(window_->size(), QSize(1234, 777));
    window_->show();
    QTRY_VERIFY(window_->splitter()->sizes().value(1) > 0);
    controller_->preferences()->setAppConsoleVisible(false);
    QCOMPARE(window_->splitter()->sizes().value(1), 0);
  }

  // The search filters the current tab; Escape clears it, switching tabs empties the field only.
  void searchAndTabsAdaptTheBars() {
    auto* search = window_->toolBar()->searchField();
    auto* proxy = games()->proxyModel();
    auto* information = window_->menuBar()->informationAction();
    const int all = proxy->rowCount();
    QCOMPARE(all, 3);

    search->setFocus();
    QTest::keyClicks(search, u"cho"_s);
    QCOMPARE(proxy->rowCount(), 2); // Echo, Chorus; the filter ignores case
    QTest::keyClicks(search, u"r"_s);
    QCOMPARE(proxy->rowCount(), 1);
    QTest::keyClick(search, Qt::Key_Escape);
    QVERIFY(search->text().isEmpty());
    QCOMPARE(proxy->rowCount(), all);
    QTRY_VERIFY(window_->gameListView()->hasFocus());

    games()->setCurrentGameName(u"Echo"_s);
    QVERIFY(window_->toolBar()->playStopButton()->isEnabled());
    QTest::keyClicks(search, u"echo"_s);
    QCOMPARE(proxy->rowCount(), 1);
    window_->tabWidget()->setCurrentIndex(MainWindow::EbooksTab);
    QVERIFY(search->text().isEmpty());
    QCOMPARE(proxy->rowCount(), 1); // the games tab keeps its filter
    QVERIFY(!window_->toolBar()->playStopButton()->isEnabled());
    QVERIFY(!window_->toolBar()->removeButton()->isEnabled());
    QVERIFY(!information->isEnabled());

    window_->tabWidget()->setCurrentIndex(MainWindow::GamesTab);
    QVERIFY(window_->toolBar()->playStopButton()->isEnabled());
    QVERIFY(information->isEnabled());
    QCOMPARE(information->text(), u"Show/Hide Game Information"_s);
  }

  // The properties panel follows the card selected; only the current tab's panel is open.
  void propertiesPanels() {
    auto* preferences = controller_->preferences();
    preferences->setAppPropertiesPanelVisible(true);
    auto* view = window_->gameListView();
    auto* panel = window_->gamePropertiesPanel();
    QTRY_VERIFY(panel->isVisible());
    const auto card = proxyIndexOf(view, u"Echo"_s);
    QVERIFY(card.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(card).center());
    QCOMPARE(games()->currentGameName(), u"Echo"_s);
    QVERIFY(panel->isEnabled());
    QCOMPARE(panel->findChild<QLabel*>(u"gameFullName"_s)->text(), u"Echo Deluxe"_s);
    QVERIFY(window_->toolBar()->removeButton()->isEnabled());
    // A click between the cards lets go of the game.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->viewport()->rect().bottomRight() - QPoint(5, 5));
    QVERIFY(games()->currentGameName().isEmpty());
    QVERIFY(!panel->isEnabled());
    QVERIFY(!window_->toolBar()->removeButton()->isEnabled());

    const QList<arvexhub::style::Expander*> expanders{window_->gamesExpander(), window_->moviesExpander(),
                                                      window_->ebooksExpander(),
                                                      window_->albumWidget()->expander()};
    for (const int tab : {int(MainWindow::GamesTab), int(MainWindow::MoviesTab), int(MainWindow::EbooksTab),
                          int(MainWindow::MusicTab), int(MainWindow::PlayerTab)}) {
      window_->tabWidget()->setCurrentIndex(tab);
      for (auto* expander : expanders) {
        QCOMPARE(expander->expanded(), window_->tabWidget()->currentWidget()->isAncestorOf(expander));
      }
    }
    // Collapsing the movie panel by hand is remembered for every tab.
    window_->tabWidget()->setCurrentIndex(MainWindow::MoviesTab);
    window_->moviesExpander()->setExpanded(false);
    QVERIFY(!preferences->appPropertiesPanelVisible());

    // Couch mode's details name both versions of a game with an update.
    QFile version(gamesFolder() + u"Echo/VERSION"_s);
    QVERIFY(version.open(QIODevice::WriteOnly) && version.write("1.0") == 3);
    version.close();
    window_->openCouchMode();
    auto* couch = window_->couchModeView();
    couch->cardRow()->setCurrentIndex(proxyIndexOf(couch->cardRow(), u"Echo"_s));
    QCOMPARE(couch->findChild<QLabel*>(u"couchVersion"_s)->text(), u"Version 1.0, 2.0 available"_s);
    couch->close();
  }

  // Requests show their tab; full screen only toggles on the media tabs, with the bars hidden.
  void mediaRequestsAndFullscreen_data() {
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("tab");
    QTest::newRow("movie") << u"movie"_s << int(MainWindow::PlayerTab);
    QTest::newRow("album") << u"album"_s << int(MainWindow::PlayerTab);
    QTest::newRow("e-book") << u"ebook"_s << int(MainWindow::ReaderTab);
    QTest::newRow("queue only") << u"queue"_s << int(MainWindow::GamesTab);
    QTest::newRow("music tab") << u"music"_s << int(MainWindow::MusicTab);
  }
  void mediaRequestsAndFullscreen() {
    QFETCH(QString, request);
    QFETCH(int, tab);
    const auto file = QUrl::fromLocalFile(QDir::homePath() + u"/missing.mp4"_s);
    auto* controller = controller_.get();
    if (request == u"movie"_s) {
      emit controller->playMovieRequested(file);
    } else if (request == u"album"_s) {
      emit controller->playAlbumRequested(file, u"Song"_s);
    } else if (request == u"ebook"_s) {
      emit controller->readEbookRequested(QUrl::fromLocalFile(QDir::homePath() + u"/missing.pdf"_s),
                                          u"Book"_s);
    } else if (request == u"queue"_s) {
      emit controller->addToPlaylistRequested(file, u"Song"_s);
    } else { // the music tab: the album grid takes the focus asked for
      window_->tabWidget()->setCurrentIndex(tab);
      emit controller->focusOnListViewRequested(Qt::ShortcutFocusReason);
      QTRY_VERIFY(window_->albumWidget()->listView()->hasFocus());
    }
    QCOMPARE(window_->tabWidget()->currentIndex(), tab);

    const bool toggles = tab == MainWindow::PlayerTab || tab == MainWindow::ReaderTab;
    QSignalSpy changes(window_.get(), &MainWindow::fullscreenChanged);
    window_->handleFullscreenRequest();
    QCOMPARE(window_->isFullScreen(), toggles);
    for (const QWidget* bar :
         {static_cast<QWidget*>(window_->tabWidget()->tabBar()), static_cast<QWidget*>(window_->toolBar()),
          static_cast<QWidget*>(window_->statusBar())}) {
      QCOMPARE(bar->isVisible(), !toggles);
    }
    if (toggles) {
      QCOMPARE(changes.last().first().toBool(), true);
      window_->handleFullscreenRequest();
      QVERIFY(!window_->isFullScreen());
      QVERIFY(window_->tabWidget()->tabBar()->isVisible());
      QVERIFY(window_->toolBar()->isVisible());
    }
  }

  // A dropped folder is copied into the library; over an installed game, only once confirmed.
  void droppingAGameFolder() {
    TestDir outside;
    const auto source = outside.createDir(u"Dropped"_s);
    QFile::copy(echoScript, source + u"/launcher.command"_s);
    outside.createFile(u"Dropped/data/level1.txt"_s, "level one");
    QSignalSpy installed(games(), &GameListModel::gameDownloadFinished);
    drop(window_.get(), source);
    QVERIFY(installed.wait(10000));
    QCOMPARE(installed.first().first().toString(), u"Dropped"_s);
    const auto copy = gamesFolder() + u"Dropped/"_s;
    QCOMPARE(games()->gameDataByName(u"Dropped"_s).path, copy + u"launcher.command"_s);
    QVERIFY(QFileInfo(copy + u"launcher.command"_s).isExecutable());
    // A copy, not a shared file: what the game writes in the library leaves the original alone.
    QFile level(copy + u"data/level1.txt"_s);
    QVERIFY(level.open(QIODevice::WriteOnly | QIODevice::Truncate) && level.write("changed") > 0);
    level.close();
    QCOMPARE(contentOf(source + u"/data/level1.txt"_s), QByteArray("level one"));

    const auto installedScript = gamesFolder() + u"Echo/launcher.command"_s;
    const auto oldScript = contentOf(installedScript);
    outside.createFile(u"Echo/launcher.command"_s, "#!/bin/sh\necho new\n");
    drop(window_.get(), outside.filePath(u"Echo"_s));
    MessageBox* box = nullptr;
    QTRY_VERIFY((box = shownMessageBox()) != nullptr);
    box->getButtonWidget(MessageBox::Cancel)->click();
    QVERIFY(!installed.wait(200)); // nothing is installed after the cancel
    QCOMPARE(contentOf(installedScript), oldScript);
  }

private:
  void makeWindow() {
    window_.reset();
    controller_ = std::make_unique<Controller>();
    QSignalSpy merged(games(), &LibraryModel::updateCheckFinished);
    window_ = std::make_unique<MainWindow>(controller_.get());
    window_->resize(1100, 760);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QVERIFY(merged.count() > 0 || merged.wait(10000));
  }
  GameListModel* games() const {
    return controller_->model();
  }

  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<Controller> controller_;
  std::unique_ptr<MainWindow> window_;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
