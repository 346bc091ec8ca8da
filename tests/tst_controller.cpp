#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/AlbumListModel.h"
#include "library/GameListModel.h"
#include "library/LibraryProxyModel.h"
#include "library/MovieListModel.h"
#include "library/PlayTimeStore.h"
#include "runner/GameRunner.h"
#include "style/Style.h"
#include "style/ThemeManager.h"
#include "widgets/dialogs/MessageBox.h"
#include "widgets/window/LibraryViewBar.h"

#include "LibraryKinds.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <array>
#include <memory>

using arvexhub::launcher::Controller;
using arvexhub::launcher::GameRunner;
using arvexhub::launcher::LibraryProxyModel;
using arvexhub::launcher::LibraryViewBar;
using arvexhub::launcher::MessageBox;
using arvexhub::launcher::Preferences;
using State = GameRunner::State;
using arvexhub::style::Theme;
using arvexhub::test::words;
using namespace Qt::StringLiterals;

namespace {

QColor windowColorOf(const QString& themeFile) {
  const auto theme = Theme::fromJsonPath(u":/arvexhub/launcher/resources/themes/"_s + themeFile);
  return theme ? theme->backgroundColorMain2 : QColor();
}

QString gamePath(const QString& name) {
  return QDir::homePath() + u"/.arvexhub/games/"_s + name;
}

/// An installed game that runs until it is stopped; `executable` false makes it unable to start.
QString installGame(const QString& name, bool executable = true) {
  QDir().mkpath(gamePath(name));
  const auto script = gamePath(name) + u"/launcher.command"_s;
  QFile file(script);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write("#!/bin/sh\nexec sleep 60\n");
  file.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                 : QFile::ReadOwner | QFile::WriteOwner);
  return script;
}

QList<MessageBox*> shownMessageBoxes() {
  QList<MessageBox*> boxes;
  for (auto* widget : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<MessageBox*>(widget); box != nullptr && box->isVisible()) {
      boxes.append(box);
    }
  }
  return boxes;
}

/// The controller's media requests as they are emitted: "name(first argument)".
struct MediaRecorder {
  explicit MediaRecorder(Controller& controller) {
    const auto add = [this](const char* name, const QString& argument = {}) {
      requests.append(argument.isEmpty() ? QString::fromLatin1(name)
                                         : u"%1(%2)"_s.arg(QLatin1String(name), argument));
    };
    QObject::connect(&controller, &Controller::clearPlaylistRequested, [add] { add("clear"); });
    QObject::connect(&controller, &Controller::playFirstInPlaylistRequested, [add] { add("playFirst"); });
    QObject::connect(&controller, &Controller::addToPlaylistRequested,
                     [add](const QUrl& url, const QString&) { add("add", url.fileName()); });
    QObject::connect(&controller, &Controller::playAlbumRequested,
                     [add](const QUrl& url, const QString&) { add("playAlbum", url.fileName()); });
    QObject::connect(&controller, &Controller::playMovieRequested,
                     [add](const QUrl& url) { add("play", url.fileName()); });
    QObject::connect(&controller, &Controller::stopMovieRequested, [add] { add("stop"); });
    QObject::connect(&controller, &Controller::currentAlbumArtChanged,
                     [add](const QString& path) { add("art", QFileInfo(path).fileName()); });
  }
  QStringList requests;
};

void touch(const QString& path) {
  QFile file(path);
  file.open(QIODevice::WriteOnly);
}

QString albumFolder(const QStringList& files) {
  const auto folder = QDir::homePath() + u"/.arvexhub/albums/Night.Drive"_s;
  QDir().mkpath(folder);
  for (const auto& file : files) {
    const auto path = folder + QLatin1Char('/') + file;
    if (file.endsWith(u".png"_s)) {
      QImage cover(8, 8, QImage::Format_RGB32);
      cover.fill(Qt::blue);
      cover.save(path);
    } else {
      touch(path);
    }
  }
  return folder;
}

QSettings store() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, u"arvex-games"_s, u"arvex-hub"_s);
}

} // namespace

class TestController final : public QObject {
  Q_OBJECT

  std::unique_ptr<Controller> controller_;

private slots:
  void initTestCase() {
    QCoreApplication::setOrganizationName(u"Arvex Games"_s);
    QCoreApplication::setApplicationName(u"Arvex Hub"_s);
    QApplication::setStyle(new arvexhub::style::Style());
    // No catalogue: the library is what the tests install.
    qputenv("ARVEXHUB_CATALOGUE_URL", "http://127.0.0.1:1");
  }
  void init() {
    auto settings = store();
    settings.clear();
    settings.sync();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QDir(QDir::homePath() + u"/.arvexhub"_s).removeRecursively();
  }
  void cleanup() {
    for (auto* box : shownMessageBoxes()) {
      box->close(); // a failed case must not leave its box to the next one
    }
    controller_.reset();
  }

  void startsWithTheSavedTheme_data() {
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("file");
    QTest::newRow("default") << QString() << u"dark.json"_s;
    QTest::newRow("light") << u"Light"_s << u"light.json"_s;
    QTest::newRow("unknown id") << u"Sepia"_s << u"dark.json"_s;
  }
  void startsWithTheSavedTheme() {
    QFETCH(QString, saved);
    QFETCH(QString, file);
    if (!saved.isEmpty()) {
      store().setValue(u"app/theme"_s, saved);
      QApplication::setPalette(QPalette(Qt::red)); // a stale palette must not survive the start
    }
    if (saved == u"Sepia"_s) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Unknown theme"_s));
    }
    controller_ = std::make_unique<Controller>();
    QCOMPARE(QApplication::palette().color(QPalette::Window), windowColorOf(file));
    QCOMPARE(controller_->themeManager()->themes().size(), std::size_t{2});
  }

  void themePreferenceAndManagerFollowEachOther() {
    controller_ = std::make_unique<Controller>();
    auto* preferences = controller_->preferences();
    auto* manager = controller_->themeManager();
    QSignalSpy preferenceSpy(preferences, &Preferences::appThemeChanged);
    QSignalSpy managerSpy(manager, &arvexhub::style::ThemeManager::currentThemeChanged);

    preferences->setAppTheme(u"Light"_s);
    QCOMPARE(manager->currentTheme(), u"Light"_s);
    QCOMPARE(QApplication::palette().color(QPalette::Window), windowColorOf(u"light.json"_s));

    manager->setCurrentTheme(u"Dark"_s); // as the toolbar switch does
    QCOMPARE(preferences->appTheme(), u"Dark"_s);
    QCOMPARE(store().value(u"app/theme"_s).toString(), u"Dark"_s);
    QCOMPARE(QApplication::palette().color(QPalette::Window), windowColorOf(u"dark.json"_s));
    // Each change settles after one exchange: one signal on each side per change.
    QCOMPARE(preferenceSpy.count(), 2);
    QCOMPARE(managerSpy.count(), 2);

    // An unknown theme keeps the current one.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Unknown theme"_s));
    preferences->setAppTheme(u"Sepia"_s);
    QCOMPARE(manager->currentTheme(), u"Dark"_s);
    QCOMPARE(QApplication::palette().color(QPalette::Window), windowColorOf(u"dark.json"_s));
  }

  void languagesAndStartupChoice_data() {
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("themeNames"); // Dark, Light, and an id without a name
    QTest::addColumn<QString>("qtClose");        // Qt's own button text, in the same language
    const QString custom = u"custom"_s;
    QTest::newRow("fresh store") << QString() << u"en_US"_s << QStringList{u"Dark"_s, u"Light"_s, custom}
                                 << u"Close"_s;
    QTest::newRow("saved French") << u"fr_FR"_s << u"fr_FR"_s << QStringList{u"Sombre"_s, u"Clair"_s, custom}
                                  << u"Fermer"_s;
    QTest::newRow("saved unknown") << u"xx_YY"_s << u"en_US"_s << QStringList{u"Dark"_s, u"Light"_s, custom}
                                   << u"Close"_s;
  }
  void languagesAndStartupChoice() {
    QFETCH(QString, saved);
    QFETCH(QString, expected);
    QFETCH(QStringList, themeNames);
    QFETCH(QString, qtClose);
    if (!saved.isEmpty()) {
      store().setValue(u"app/language"_s, saved);
    }
    controller_ = std::make_unique<Controller>();
    QCOMPARE(controller_->languages(), (QStringList{u"en_US"_s, u"fr_FR"_s}));
    QCOMPARE(controller_->preferences()->appLanguage(), expected);
    QCOMPARE(store().value(u"app/language"_s, u"<absent>"_s).toString(),
             saved.isEmpty() ? u"<absent>"_s : expected);
    QCOMPARE((QStringList{controller_->themeName(u"Dark"_s), controller_->themeName(u"Light"_s),
                          controller_->themeName(u"custom"_s)}),
             themeNames);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Close"), qtClose);
    controller_.reset();
    // The translators go with the controller.
    QCOMPARE(QCoreApplication::translate("ArvexHubLauncher", "Dark"), u"Dark"_s);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Close"), u"Close"_s);
  }

  // Playing another game stops the running one; of games asked for while it stops, only the last starts.
  void playingAnotherGameStopsTheFirst() {
    const auto first = installGame(u"First"_s);
    const auto second = installGame(u"Second"_s);
    const auto third = installGame(u"Third"_s);
    controller_ = std::make_unique<Controller>();
    auto* runner = controller_->runner();
    auto* games = controller_->model();
    controller_->playGame(first);
    QTRY_COMPARE(runner->state(), State::Running);
    QCOMPARE(games->currentPlayingGame(), first);
    QStringList startedGames;
    connect(runner, &GameRunner::gameChanged, this, [&] {
      if (!runner->gameFilePath().isEmpty()) {
        startedGames.append(runner->gameFilePath());
      }
    });
    controller_->playGame(first); // already running: nothing happens
    QCOMPARE(runner->gameFilePath(), first);

    controller_->playGame(second);
    QVERIFY(games->currentPlayingGame().isEmpty()); // the mark goes at once
    controller_->playGame(third);
    QTRY_COMPARE(runner->gameFilePath(), third);
    QTRY_COMPARE(runner->state(), State::Running);
    QCOMPARE(games->currentPlayingGame(), third);
    QTest::qWait(300);
    QCOMPARE(startedGames, QStringList{third});
    // Each game that ran counts a session, by its folder's name.
    QCOMPARE(controller_->playTimes()->record(u"First"_s).sessions, 1);
    QCOMPARE(controller_->playTimes()->record(u"Second"_s).sessions, 0);
  }

  // The sort order and the filter are each tab's own, and come back at the next start.
  void sortAndFilterAreRememberedPerTab() {
    using Proxy = LibraryProxyModel;
    controller_ = std::make_unique<Controller>();
    {
      LibraryViewBar bar(controller_.get());
      bar.sortButton()->menu()->actions().at(2)->trigger(); // "Recently added", on the games tab
      bar.setActiveTab(1);
      bar.filterButton(Proxy::Filter::Installed)->click();
      QVERIFY(bar.filterButton(Proxy::Filter::Updates)->isHidden()); // the games' only
    }
    controller_ = std::make_unique<Controller>();
    LibraryViewBar bar(controller_.get());
    const auto* games = controller_->model()->libraryProxy();
    const auto* movies = controller_->movieModel()->libraryProxy();
    QCOMPARE(std::pair(games->sortOrder(), games->rowFilter()),
             std::pair(Proxy::SortOrder::RecentlyAdded, Proxy::Filter::All));
    QCOMPARE(std::pair(movies->sortOrder(), movies->rowFilter()),
             std::pair(Proxy::SortOrder::Name, Proxy::Filter::Installed));
  }

  void runnerErrorRaisesTheWindowAndShowsOneBox() {
    const auto broken = installGame(u"Broken"_s, false);
    controller_ = std::make_unique<Controller>();
    QSignalSpy raised(controller_.get(), &Controller::mainWindowRaiseRequested);

    controller_->playGame(broken);
    QTRY_COMPARE(shownMessageBoxes().size(), 1);
    QCOMPARE(raised.count(), 1);
    auto* box = shownMessageBoxes().first();
    QCOMPARE(box->title(), u"An error occurred while running the game"_s);
    QCOMPARE(box->text(), u"The process failed to start."_s);
    QTest::qWait(100);
    QCOMPARE(shownMessageBoxes().size(), 1);
  }

  // Each kind's removal names the item as its library does, from a path or from the selection,
  // after the confirmation the preference asks for; without either nothing is removed (never the
  // kind's folder itself).
  void removal_data() {
    QTest::addColumn<int>("kind");     // in the order of Controller::libraries()
    QTest::addColumn<QString>("path"); // relative to the kind's folder; "*": the selected item
    QTest::addColumn<int>("answer");   // the button clicked; 0: the warning is off
    QTest::addColumn<bool>("keepWarning");
    QTest::addColumn<bool>("removed");
    const auto paths = words("Space|Space|Space/feature.pdf|Space.zip");
    const int yes = MessageBox::Yes;
    for (int kind = 0; kind < 4; ++kind) {
      const auto name = arvexhub::test::libraryKinds().at(kind).toLatin1();
      QTest::addRow("%s: by path, at once", name.constData()) << kind << paths[kind] << 0 << false << true;
      QTest::addRow("%s: selected, confirmed", name.constData()) << kind << u"*"_s << yes << true << true;
      QTest::addRow("%s: nothing selected", name.constData()) << kind << QString() << 0 << false << false;
    }
    QTest::newRow("games: confirmed, warning unchecked") << 0 << u"Space"_s << yes << false << true;
    QTest::newRow("games: cancelled") << 0 << u"Space"_s << int(MessageBox::Cancel) << true << false;
  }
  void removal() {
    QFETCH(int, kind);
    QFETCH(QString, path);
    QFETCH(int, answer);
    QFETCH(bool, keepWarning);
    QFETCH(bool, removed);
    const auto folder =
        QDir::homePath() + u"/.arvexhub/"_s + arvexhub::test::libraryKinds().at(kind) + u"/"_s;
    QDir().mkpath(folder + u"Space"_s);
    touch(folder + u"Space/"_s + words("launcher.command|feature.mp4|feature.pdf|01 a.mp3").at(kind));
    controller_ = std::make_unique<Controller>();
    controller_->preferences()->setAppWarnBeforeGameRemoval(answer != 0);
    const std::array byPath{&Controller::removeGame, &Controller::removeMovie, &Controller::removeEbook,
                            &Controller::removeAlbum};
    const std::array selected{&Controller::removeCurrentGame, &Controller::removeCurrentMovie,
                              &Controller::removeCurrentEbook, &Controller::removeCurrentAlbum};
    if (path == QLatin1String("*")) {
      controller_->libraries().at(kind)->setCurrentName(u"Space"_s);
    }
    if (path.isEmpty() || path == QLatin1String("*")) {
      (controller_.get()->*selected[kind])();
    } else {
      (controller_.get()->*byPath[kind])(folder + path);
    }
    if (answer != 0) {
      QTRY_COMPARE(shownMessageBoxes().size(), 1);
      auto* box = shownMessageBoxes().first();
      QCOMPARE(box->title(),
               u"Do you want to remove this %1?"_s.arg(words("ArvexHub Game|Movie|Ebook|Album").at(kind)));
      QVERIFY(box->checkBoxChecked());
      box->setCheckBoxChecked(keepWarning);
      box->getButtonWidget(static_cast<MessageBox::Button>(answer))->click();
    }
    QTRY_COMPARE(QFileInfo::exists(folder + u"Space"_s), !removed);
    QVERIFY(QFileInfo::exists(folder));
    QCOMPARE(controller_->preferences()->appWarnBeforeGameRemoval(),
             answer == MessageBox::Yes ? keepWarning : answer != 0);
    controller_->playCurrentGame(); // a game was never selected, or is gone
    QCOMPARE(controller_->runner()->state(), State::Stopped);
  }

  void mimeDataValidity_data() {
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<bool>("valid");
    const auto game = gamePath(u"Valid"_s);
    const auto web = u"https://arvexgames.example/game.command"_s;
    QTest::newRow("folder") << QStringList{game} << true;
    QTest::newRow("start script") << QStringList{game + u"/launcher.command"_s} << true;
    QTest::newRow("other ending") << QStringList{game + u"/other.sh"_s} << false;
    QTest::newRow("game package") << QStringList{game + u"/Other.arvexhub"_s} << true;
    QTest::newRow("missing package") << QStringList{game + u"/Gone.arvexhub"_s} << false;
    QTest::newRow("missing script") << QStringList{game + u"/gone.command"_s} << false;
    QTest::newRow("web address") << QStringList{web} << false;
    QTest::newRow("web, then folder") << QStringList{web, game} << true;
    QTest::newRow("nothing") << QStringList{} << false;
  }
  void mimeDataValidity() {
    QFETCH(QStringList, urls);
    QFETCH(bool, valid);
    installGame(u"Valid"_s);
    touch(gamePath(u"Valid"_s) + u"/other.sh"_s);
    touch(gamePath(u"Valid"_s) + u"/Other.arvexhub"_s);
    controller_ = std::make_unique<Controller>();
    QMimeData data;
    QList<QUrl> list;
    for (const auto& url : urls) {
      list.append(url.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(url) : QUrl(url));
    }
    data.setUrls(list);
    QCOMPARE(controller_->isMimeDataValid(&data), valid);
    QVERIFY(!controller_->isMimeDataValid(nullptr));
  }

  // Each media operation asks the window for its steps in order, and moves the playing marks
  // (a movie plays before each one).
  void mediaRequestsInOrder_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("albumPlays");
    QTest::addColumn<QString>("moviePlays");
    const auto songs = words("02 b.wav|01 a.mp3|cover.txt|Night.png");
    const auto film = u"/movies/Film/Film.mp4"_s;
    QTest::newRow("album") << u"playWholeAlbum"_s << songs
                           << words("clear|playAlbum(01 a.mp3)|add(01 a.mp3)|playAlbum(02 b.wav)|"
                                    "add(02 b.wav)|playFirst|art(Night.png)")
                           << true << QString();
    QTest::newRow("album without songs")
        << u"playWholeAlbum"_s << words("cover.txt") << words("clear") << false << QString();
    QTest::newRow("album to the playlist")
        << u"addWholeAlbumToPlaylist"_s << songs << words("add(01 a.mp3)|add(02 b.wav)") << false << film;
    QTest::newRow("song") << u"playSong"_s << songs << words("art|add(01 a.mp3)|play(01 a.mp3)") << false
                          << QString();
    QTest::newRow("movie") << u"playMovie"_s << songs << words("art|play(01 a.mp3)") << false << u"song"_s;
    QTest::newRow("stop") << u"stopMovie"_s << songs << words("stop|art") << false << QString();
  }
  void mediaRequestsInOrder() {
    QFETCH(QString, operation);
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);
    QFETCH(bool, albumPlays);
    QFETCH(QString, moviePlays);
    const auto folder = albumFolder(files);
    controller_ = std::make_unique<Controller>();
    const auto album = [this, &folder] { return controller_->albumModel()->findIndexByPath(folder); };
    QTRY_VERIFY(album().isValid());
    if (files.contains(u"Night.png"_s)) { // the cover is read after the rows are shown
      QTRY_VERIFY(!album().data(arvexhub::launcher::AlbumRole::ThumbnailPath).toString().isEmpty());
    }
    controller_->playMovie(u"/movies/Film/Film.mp4"_s);
    MediaRecorder recorder(*controller_);
    const auto song = folder + u"/01 a.mp3"_s;
    if (operation == u"playWholeAlbum"_s) {
      controller_->playWholeAlbum(folder);
    } else if (operation == u"addWholeAlbumToPlaylist"_s) {
      controller_->addWholeAlbumToPlaylist(folder);
    } else if (operation == u"playSong"_s) {
      controller_->playSong(QUrl::fromLocalFile(song), u"a"_s);
    } else if (operation == u"playMovie"_s) {
      controller_->playMovie(song);
    } else {
      controller_->stopMovie();
    }
    QCOMPARE(recorder.requests, expected);
    QCOMPARE(album().data(arvexhub::launcher::AlbumRole::IsPlaying).toBool(), albumPlays);
    QCOMPARE(controller_->movieModel()->currentPlayingMovie(), moviePlays == u"song"_s ? song : moviePlays);
    if (albumPlays) { // a movie after the album, or a stop, takes the mark
      controller_->playMovie(song);
      QVERIFY(!album().data(arvexhub::launcher::AlbumRole::IsPlaying).toBool());
      controller_->playWholeAlbum(folder);
      controller_->stopMovie();
      QVERIFY(!album().data(arvexhub::launcher::AlbumRole::IsPlaying).toBool());
    }
  }
};

QTEST_MAIN(TestController)
#include "tst_controller.moc"
