// User journeys through the real main window over a private library and a local catalogue.
#include <app/Controller.h>
#include <app/Preferences.h>
#include <library/GameListModel.h>
#include <runner/GameRunner.h>
#include <widgets/AlbumWidget.h>
#include <widgets/CustomSplitter.h>
#include <widgets/GameListView.h>
#include <widgets/GamePropertiesPanel.h>
#include <widgets/MainWindow.h>
#include <widgets/MenuBar.h>
#include <widgets/MessageBox.h>
#include <widgets/StatusBar.h>
#include <widgets/ToolBar.h>

#include <style/Style.h>
#include <style/widgets/Expander.h>
#include <style/widgets/LineEdit.h>

#include <TestDir.h>
#include <TestHttpServer.h>

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace arvexhub::launcher;
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpServer;
using State = GameRunner::State;

namespace {

const QString echoScript = QStringLiteral(ARVEXHUB_SOURCE_DIR "/tests/games/echo.command");

QString gamesFolder() {
  return QDir::homePath() + QStringLiteral("/.arvexhub/games/");
}

/// An installed game whose start script answers commands and runs until it is stopped.
QString installGame(const QString& name) {
  QDir().mkpath(gamesFolder() + name);
  const auto script = gamesFolder() + name + QStringLiteral("/launcher.command");
  QFile::remove(script);
  QFile::copy(echoScript, script);
  return script;
}

QByteArray catalogue(const QStringList& names, const QUrl& base) {
  QJsonArray games;
  for (const auto& name : names) {
    games.append(
        QJsonObject{{QStringLiteral("name"), name},
                    {QStringLiteral("fullName"), name + QStringLiteral(" Deluxe")},
                    {QStringLiteral("version"), QStringLiteral("2.0")},
                    {QStringLiteral("developer"), QStringLiteral("Arvex")},
                    {QStringLiteral("url"), base.resolved(QUrl(name + QStringLiteral(".zip"))).toString()}});
  }
  return QJsonDocument(games).toJson();
}

QModelIndex proxyIndexOf(GameListView* view, const QString& name) {
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
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    qputenv("ARVEXHUB_RELEASE_FEED_URL", server_->url(QStringLiteral("/releases.json")).toString().toUtf8());
  }

  void init() {
    QSettings().clear();
    QDir(QDir::homePath() + QStringLiteral("/.arvexhub")).removeRecursively();
    installGame(QStringLiteral("Echo"));
    installGame(QStringLiteral("Chorus"));
    arvexhub::test::TestHttpResponse answer;
    answer.body =
        catalogue({QStringLiteral("Echo"), QStringLiteral("Remote")}, server_->url(QStringLiteral("/")));
    server_->setResponse(QStringLiteral("/games.json"), answer);
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

  void selectingACardFollowsInTheProperties() {
    controller_->preferences()->setAppPropertiesPanelVisible(true);
    auto* view = window_->gameListView();
    auto* panel = window_->gamePropertiesPanel();
    QTRY_VERIFY(panel->isVisible());
    const auto card = proxyIndexOf(view, QStringLiteral("Echo"));
    QVERIFY(card.isValid());

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(card).center());
    QCOMPARE(games()->currentGameName(), QStringLiteral("Echo"));
    QVERIFY(panel->isEnabled());
    QCOMPARE(panel->findChild<QLabel*>(QStringLiteral("gameFullName"))->text(),
             QStringLiteral("Echo Deluxe"));
    QVERIFY(window_->toolBar()->removeButton()->isEnabled());

    // A click between the cards lets go of the game.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->viewport()->rect().bottomRight() - QPoint(5, 5));
    QVERIFY(games()->currentGameName().isEmpty());
    QVERIFY(!panel->isEnabled());
    QVERIFY(!window_->toolBar()->removeButton()->isEnabled());
  }

  void startingAGame_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("double-click") << QStringLiteral("double-click");
    QTest::newRow("Return") << QStringLiteral("Return");
    QTest::newRow("start script dropped on the window") << QStringLiteral("drop");
  }
  void startingAGame() {
    QFETCH(QString, how);
    auto* view = window_->gameListView();
    auto* runner = controller_->runner();
    auto* playStop = window_->toolBar()->playStopButton();
    QVERIFY(!controller_->preferences()->appConsoleVisible());
    const auto card = proxyIndexOf(view, QStringLiteral("Chorus"));
    const auto centre = view->visualRect(card).center();

    if (how != QStringLiteral("drop")) {
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    }
    if (how == QStringLiteral("drop")) {
      drop(window_.get(), gamesFolder() + QStringLiteral("Chorus/launcher.command"));
    } else if (how == QStringLiteral("Return")) {
      view->setFocus();
      QTest::keyClick(view, Qt::Key_Return);
    } else {
      QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    }
    QTRY_COMPARE(runner->state(), State::Running);
    QCOMPARE(runner->gameFilePath(), gamesFolder() + QStringLiteral("Chorus/launcher.command"));
    QCOMPARE(games()->currentPlayingGame(), runner->gameFilePath());
    QCOMPARE(playStop->text(), QStringLiteral("Stop"));
    QVERIFY(!window_->toolBar()->removeButton()->isEnabled());
    // The console opens with the game, so its first lines are seen.
    QVERIFY(controller_->preferences()->appConsoleVisible());
    QTRY_VERIFY(window_->splitter()->sizes().value(1) > 0);

    playStop->click();
    QTRY_COMPARE(runner->state(), State::Stopped);
    QCOMPARE(playStop->text(), QStringLiteral("Play"));
    QVERIFY(games()->currentPlayingGame().isEmpty());
  }

  void searchFiltersAndEscapeClears() {
    auto* search = window_->toolBar()->searchField();
    auto* proxy = games()->proxyModel();
    const int all = proxy->rowCount();
    QCOMPARE(all, 3);

    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("cho"));
    QCOMPARE(proxy->rowCount(), 2); // Echo, Chorus; the filter ignores case
    QTest::keyClicks(search, QStringLiteral("r"));
    QCOMPARE(proxy->rowCount(), 1);

    QTest::keyClick(search, Qt::Key_Escape);
    QVERIFY(search->text().isEmpty());
    QCOMPARE(proxy->rowCount(), all);
    QTRY_VERIFY(window_->gameListView()->hasFocus());
  }

  void switchingTabsAdaptsTheBars() {
    auto* tabs = window_->tabWidget();
    auto* search = window_->toolBar()->searchField();
    auto* information = window_->menuBar()->informationAction();
    games()->setCurrentGameName(QStringLiteral("Echo"));
    QVERIFY(window_->toolBar()->playStopButton()->isEnabled());
    QTest::keyClicks(search, QStringLiteral("echo"));
    QCOMPARE(games()->proxyModel()->rowCount(), 1);

    tabs->setCurrentIndex(MainWindow::EbooksTab);
    QVERIFY(search->text().isEmpty());
    QCOMPARE(games()->proxyModel()->rowCount(), 1); // the games tab keeps its filter
    QVERIFY(!window_->toolBar()->playStopButton()->isEnabled());
    QVERIFY(!window_->toolBar()->removeButton()->isEnabled());
    QVERIFY(!information->isEnabled());

    tabs->setCurrentIndex(MainWindow::GamesTab);
    QVERIFY(window_->toolBar()->playStopButton()->isEnabled());
    QVERIFY(information->isEnabled());
    QCOMPARE(information->text(), QStringLiteral("Show/Hide Game Information"));
  }

  void onlyTheCurrentTabsPanelIsOpen() {
    auto* preferences = controller_->preferences();
    preferences->setAppPropertiesPanelVisible(true);
    const auto expanders = [this] {
      QList<arvexhub::style::Expander*> all;
      for (auto* expander : window_->findChildren<arvexhub::style::Expander*>()) {
        if (expander->content() != nullptr && expander->content()->findChild<QScrollArea*>() != nullptr) {
          all.append(expander);
        }
      }
      return all;
    };
    QCOMPARE(expanders().size(), 4); // games, movies, e-books, music
    for (const int tab : {int(MainWindow::GamesTab), int(MainWindow::MoviesTab), int(MainWindow::EbooksTab),
                          int(MainWindow::MusicTab), int(MainWindow::PlayerTab)}) {
      window_->tabWidget()->setCurrentIndex(tab);
      const auto* current = window_->tabWidget()->currentWidget();
      for (auto* expander : expanders()) {
        QCOMPARE(expander->expanded(), current->isAncestorOf(expander));
      }
    }
    // Collapsing the movie panel by hand is remembered for every tab.
    window_->tabWidget()->setCurrentIndex(MainWindow::MoviesTab);
    auto* movies = window_->tabWidget()->currentWidget()->findChild<arvexhub::style::Expander*>();
    movies->setExpanded(false);
    QVERIFY(!preferences->appPropertiesPanelVisible());
  }

  void mediaRequestsShowTheirTab_data() {
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("tab");
    QTest::newRow("movie") << QStringLiteral("movie") << int(MainWindow::PlayerTab);
    QTest::newRow("album") << QStringLiteral("album") << int(MainWindow::PlayerTab);
    QTest::newRow("e-book") << QStringLiteral("ebook") << int(MainWindow::ReaderTab);
    QTest::newRow("queue only") << QStringLiteral("queue") << int(MainWindow::GamesTab);
  }
  void mediaRequestsShowTheirTab() {
    QFETCH(QString, request);
    QFETCH(int, tab);
    const auto file = QUrl::fromLocalFile(QDir::homePath() + QStringLiteral("/missing.mp4"));
    auto* controller = controller_.get();
    if (request == QStringLiteral("movie")) {
      emit controller->playMovieRequested(file);
    } else if (request == QStringLiteral("album")) {
      emit controller->playAlbumRequested(file, QStringLiteral("Song"));
    } else if (request == QStringLiteral("ebook")) {
      emit controller->readEbookRequested(
          QUrl::fromLocalFile(QDir::homePath() + QStringLiteral("/missing.pdf")), QStringLiteral("Book"));
    } else {
      emit controller->addToPlaylistRequested(file, QStringLiteral("Song"));
    }
    QCOMPARE(window_->tabWidget()->currentIndex(), tab);
  }

  void fullscreenOnlyOnMediaTabs_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("toggles");
    QTest::newRow("games") << int(MainWindow::GamesTab) << false;
    QTest::newRow("music") << int(MainWindow::MusicTab) << false;
    QTest::newRow("media player") << int(MainWindow::PlayerTab) << true;
    QTest::newRow("e-book reader") << int(MainWindow::ReaderTab) << true;
  }
  void fullscreenOnlyOnMediaTabs() {
    QFETCH(int, tab);
    QFETCH(bool, toggles);
    window_->tabWidget()->setCurrentIndex(tab);
    QSignalSpy changes(window_.get(), &MainWindow::fullscreenChanged);

    window_->handleFullscreenRequest();
    QCOMPARE(window_->isFullScreen(), toggles);
    QCOMPARE(window_->tabWidget()->tabBar()->isVisible(), !toggles);
    QCOMPARE(window_->toolBar()->isVisible(), !toggles);
    QCOMPARE(window_->statusBar()->isVisible(), !toggles);
    if (toggles) {
      QCOMPARE(changes.last().first().toBool(), true);
      window_->handleFullscreenRequest();
      QVERIFY(!window_->isFullScreen());
      QVERIFY(window_->tabWidget()->tabBar()->isVisible());
      QVERIFY(window_->toolBar()->isVisible());
    }
  }

  void geometryAndConsoleAreRestored() {
    window_->resize(1234, 777);
    controller_->preferences()->setAppConsoleVisible(true);
    QTRY_VERIFY(window_->splitter()->sizes().value(1) > 0);
    window_.reset();

    window_ = std::make_unique<MainWindow>(controller_.get());
    QCOMPARE(window_->size(), QSize(1234, 777));
    window_->show();
    QTRY_VERIFY(window_->splitter()->sizes().value(1) > 0);
    controller_->preferences()->setAppConsoleVisible(false);
    QCOMPARE(window_->splitter()->sizes().value(1), 0);
  }

  void droppingAGameFolderAddsIt() {
    TestDir outside;
    const auto source = outside.createDir(QStringLiteral("Dropped"));
    QFile::copy(echoScript, source + QStringLiteral("/launcher.command"));
    outside.createFile(QStringLiteral("Dropped/data/level1.txt"), "level one");
    QSignalSpy installed(games(), &GameListModel::gameDownloadFinished);

    drop(window_.get(), source);
    QVERIFY(installed.wait(10000));
    QCOMPARE(installed.first().first().toString(), QStringLiteral("Dropped"));
    const auto copy = gamesFolder() + QStringLiteral("Dropped/");
    QCOMPARE(games()->gameDataByName(QStringLiteral("Dropped")).path,
             copy + QStringLiteral("launcher.command"));
    QVERIFY(QFileInfo(copy + QStringLiteral("launcher.command")).isExecutable());

    // A copy, not a shared file: what the game writes in the library leaves the original alone.
    QFile level(copy + QStringLiteral("data/level1.txt"));
    QVERIFY(level.open(QIODevice::WriteOnly | QIODevice::Truncate));
    level.write("changed");
    level.close();
    QCOMPARE(contentOf(source + QStringLiteral("/data/level1.txt")), QByteArray("level one"));
  }

  void droppingAFolderOverAGameAsksFirst() {
    TestDir outside;
    const auto source = outside.createDir(QStringLiteral("Echo"));
    outside.createFile(QStringLiteral("Echo/launcher.command"), "#!/bin/sh\necho new\n");
    const auto installedScript = gamesFolder() + QStringLiteral("Echo/launcher.command");
    const auto oldScript = contentOf(installedScript);

    drop(window_.get(), source);
    MessageBox* box = nullptr;
    QTRY_VERIFY((box = shownMessageBox()) != nullptr);
    box->getButtonWidget(MessageBox::Cancel)->click();
    QTest::qWait(200);
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
