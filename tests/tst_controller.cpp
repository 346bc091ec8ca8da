#include <app/Controller.h>
#include <app/Preferences.h>
#include <library/AlbumListModel.h>
#include <library/GameListModel.h>
#include <library/MovieListModel.h>
#include <runner/GameRunner.h>
#include <widgets/MessageBox.h>

#include <style/Style.h>
#include <style/ThemeManager.h>

#include <QApplication>
#include <QImage>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using arvexhub::launcher::Controller;
using arvexhub::launcher::GameRunner;
using arvexhub::launcher::MessageBox;
using arvexhub::launcher::Preferences;
using State = GameRunner::State;
using arvexhub::style::Theme;

namespace {

QColor windowColorOf(const QString& themeFile) {
  const auto theme = Theme::fromJsonPath(QStringLiteral(":/arvexhub/launcher/resources/themes/") + themeFile);
  return theme ? theme->backgroundColorMain2 : QColor();
}

QString gamePath(const QString& name) {
  return QDir::homePath() + QStringLiteral("/.arvexhub/games/") + name;
}

/// An installed game that runs until it is stopped; `executable` false makes it unable to start.
QString installGame(const QString& name, bool executable = true) {
  QDir().mkpath(gamePath(name));
  const auto script = gamePath(name) + QStringLiteral("/launcher.command");
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
                                         : QStringLiteral("%1(%2)").arg(QLatin1String(name), argument));
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

QStringList words(const char* text) {
  return QString::fromUtf8(text).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

QString albumFolder(const QStringList& files) {
  const auto folder = QDir::homePath() + QStringLiteral("/.arvexhub/albums/Night.Drive");
  QDir().mkpath(folder);
  for (const auto& file : files) {
    const auto path = folder + QLatin1Char('/') + file;
    if (file.endsWith(QStringLiteral(".png"))) {
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
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("arvex-games"),
                   QStringLiteral("arvex-hub"));
}

} // namespace

class TestController final : public QObject {
  Q_OBJECT

  std::unique_ptr<Controller> controller_;

private slots:
  void initTestCase() {
    QCoreApplication::setOrganizationName(QStringLiteral("Arvex Games"));
    QCoreApplication::setApplicationName(QStringLiteral("Arvex Hub"));
    QApplication::setStyle(new arvexhub::style::Style());
    // No catalogue: the library is what the tests install.
    qputenv("ARVEXHUB_CATALOGUE_URL", "http://127.0.0.1:1");
  }
  void init() {
    auto settings = store();
    settings.clear();
    settings.sync();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QDir(QDir::homePath() + QStringLiteral("/.arvexhub")).removeRecursively();
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
    QTest::newRow("default") << QString() << QStringLiteral("dark.json");
    QTest::newRow("light") << QStringLiteral("Light") << QStringLiteral("light.json");
    QTest::newRow("unknown id") << QStringLiteral("Sepia") << QStringLiteral("dark.json");
  }
  void startsWithTheSavedTheme() {
    QFETCH(QString, saved);
    QFETCH(QString, file);
    if (!saved.isEmpty()) {
      store().setValue(QStringLiteral("app/theme"), saved);
      QApplication::setPalette(QPalette(Qt::red)); // a stale palette must not survive the start
    }
    if (saved == QStringLiteral("Sepia")) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Unknown theme")));
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

    preferences->setAppTheme(QStringLiteral("Light"));
    QCOMPARE(manager->currentTheme(), QStringLiteral("Light"));
    QCOMPARE(QApplication::palette().color(QPalette::Window), windowColorOf(QStringLiteral("light.json")));

    manager->setCurrentTheme(QStringLiteral("Dark")); // as the toolbar switch does
    QCOMPARE(preferences->appTheme(), QStringLiteral("Dark"));
    QCOMPARE(store().value(QStringLiteral("app/theme")).toString(), QStringLiteral("Dark"));
    QCOMPARE(QApplication::palette().color(QPalette::Window), windowColorOf(QStringLiteral("dark.json")));
    // Each change settles after one exchange: one signal on each side per change.
    QCOMPARE(preferenceSpy.count(), 2);
    QCOMPARE(managerSpy.count(), 2);

    // An unknown theme keeps the current one.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Unknown theme")));
    preferences->setAppTheme(QStringLiteral("Sepia"));
    QCOMPARE(manager->currentTheme(), QStringLiteral("Dark"));
    QCOMPARE(QApplication::palette().color(QPalette::Window), windowColorOf(QStringLiteral("dark.json")));
  }

  void languagesAndStartupChoice_data() {
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("themeNames"); // Dark, Light, and an id without a name
    const QString custom = QStringLiteral("custom");
    QTest::newRow("fresh store") << QString() << QStringLiteral("en_US")
                                 << QStringList{QStringLiteral("Dark"), QStringLiteral("Light"), custom};
    QTest::newRow("saved French") << QStringLiteral("fr_FR") << QStringLiteral("fr_FR")
                                  << QStringList{QStringLiteral("Sombre"), QStringLiteral("Clair"), custom};
    QTest::newRow("saved unknown") << QStringLiteral("xx_YY") << QStringLiteral("en_US")
                                   << QStringList{QStringLiteral("Dark"), QStringLiteral("Light"), custom};
  }
  void languagesAndStartupChoice() {
    QFETCH(QString, saved);
    QFETCH(QString, expected);
    QFETCH(QStringList, themeNames);
    if (!saved.isEmpty()) {
      store().setValue(QStringLiteral("app/language"), saved);
    }
    controller_ = std::make_unique<Controller>();
    QCOMPARE(controller_->languages(), (QStringList{QStringLiteral("en_US"), QStringLiteral("fr_FR")}));
    QCOMPARE(controller_->preferences()->appLanguage(), expected);
    QCOMPARE(store().value(QStringLiteral("app/language"), QStringLiteral("<absent>")).toString(),
             saved.isEmpty() ? QStringLiteral("<absent>") : expected);
    QCOMPARE((QStringList{controller_->themeName(QStringLiteral("Dark")),
                          controller_->themeName(QStringLiteral("Light")),
                          controller_->themeName(QStringLiteral("custom"))}),
             themeNames);
    controller_.reset();
    // The translator goes with the controller.
    QCOMPARE(QCoreApplication::translate("ArvexHubLauncher", "Dark"), QStringLiteral("Dark"));
  }

  // Playing another game stops the running one; of games asked for while it stops, only the last starts.
  void playingAnotherGameStopsTheFirst() {
    const auto first = installGame(QStringLiteral("First"));
    const auto second = installGame(QStringLiteral("Second"));
    const auto third = installGame(QStringLiteral("Third"));
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
  }

  void runnerErrorRaisesTheWindowAndShowsOneBox() {
    const auto broken = installGame(QStringLiteral("Broken"), false);
    controller_ = std::make_unique<Controller>();
    QSignalSpy raised(controller_.get(), &Controller::mainWindowRaiseRequested);

    controller_->playGame(broken);
    QTRY_COMPARE(shownMessageBoxes().size(), 1);
    QCOMPARE(raised.count(), 1);
    auto* box = shownMessageBoxes().first();
    QCOMPARE(box->title(), QStringLiteral("An error occurred while running the game"));
    QCOMPARE(box->text(), QStringLiteral("The process failed to start."));
    QTest::qWait(100);
    QCOMPARE(shownMessageBoxes().size(), 1);
  }

  void removalConfirmation_data() {
    QTest::addColumn<bool>("warn");
    QTest::addColumn<int>("answer"); // the button clicked; 0 when no box is expected
    QTest::addColumn<bool>("keepWarning");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<bool>("warnAfter");
    QTest::newRow("warning off: at once") << false << 0 << true << true << false;
    QTest::newRow("yes, keep warning") << true << int(MessageBox::Yes) << true << true << true;
    QTest::newRow("yes, warning unchecked") << true << int(MessageBox::Yes) << false << true << false;
    QTest::newRow("cancel") << true << int(MessageBox::Cancel) << false << false << true;
  }
  void removalConfirmation() {
    QFETCH(bool, warn);
    QFETCH(int, answer);
    QFETCH(bool, keepWarning);
    QFETCH(bool, removed);
    QFETCH(bool, warnAfter);
    installGame(QStringLiteral("Doomed"));
    controller_ = std::make_unique<Controller>();
    controller_->preferences()->setAppWarnBeforeGameRemoval(warn);

    controller_->removeGame(gamePath(QStringLiteral("Doomed")));
    if (answer != 0) {
      QTRY_COMPARE(shownMessageBoxes().size(), 1);
      auto* box = shownMessageBoxes().first();
      QCOMPARE(box->title(), QStringLiteral("Do you want to remove this ArvexHub Game?"));
      QVERIFY(box->checkBoxChecked());
      box->setCheckBoxChecked(keepWarning);
      box->getButtonWidget(static_cast<MessageBox::Button>(answer))->click();
    }
    QTRY_COMPARE(QFileInfo::exists(gamePath(QStringLiteral("Doomed"))), !removed);
    QCOMPARE(controller_->model()->gameRowByName(QStringLiteral("Doomed")) < 0, removed);
    QCOMPARE(controller_->preferences()->appWarnBeforeGameRemoval(), warnAfter);
  }

  void currentGameOperationsNeedACurrentGame() {
    installGame(QStringLiteral("Kept"));
    controller_ = std::make_unique<Controller>();
    controller_->preferences()->setAppWarnBeforeGameRemoval(false);
    QVERIFY(controller_->model()->currentGameName().isEmpty());

    controller_->playCurrentGame();
    controller_->removeCurrentGame();
    controller_->removeGame(QString());
    QTest::qWait(100);
    QCOMPARE(controller_->runner()->state(), State::Stopped);
    QVERIFY(QFileInfo::exists(gamePath(QStringLiteral("Kept"))));
    QVERIFY(QFileInfo::exists(gamePath(QString())));
    QVERIFY(shownMessageBoxes().isEmpty());
  }

  void mimeDataValidity_data() {
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<bool>("valid");
    const auto game = gamePath(QStringLiteral("Valid"));
    const auto web = QStringLiteral("https://arvexgames.example/game.command");
    QTest::newRow("folder") << QStringList{game} << true;
    QTest::newRow("start script") << QStringList{game + QStringLiteral("/launcher.command")} << true;
    QTest::newRow("other ending") << QStringList{game + QStringLiteral("/other.sh")} << false;
    QTest::newRow("game package") << QStringList{game + QStringLiteral("/Other.arvexhub")} << true;
    QTest::newRow("missing package") << QStringList{game + QStringLiteral("/Gone.arvexhub")} << false;
    QTest::newRow("missing script") << QStringList{game + QStringLiteral("/gone.command")} << false;
    QTest::newRow("web address") << QStringList{web} << false;
    QTest::newRow("web, then folder") << QStringList{web, game} << true;
    QTest::newRow("nothing") << QStringList{} << false;
  }
  void mimeDataValidity() {
    QFETCH(QStringList, urls);
    QFETCH(bool, valid);
    installGame(QStringLiteral("Valid"));
    touch(gamePath(QStringLiteral("Valid")) + QStringLiteral("/other.sh"));
    touch(gamePath(QStringLiteral("Valid")) + QStringLiteral("/Other.arvexhub"));
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

  void mediaRequestsInOrder_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("expected");
    const auto songs = words("02 b.wav|01 a.mp3|cover.txt|Night.png");
    QTest::newRow("album") << QStringLiteral("playWholeAlbum") << songs
                           << words("clear|playAlbum(01 a.mp3)|add(01 a.mp3)|playAlbum(02 b.wav)|"
                                    "add(02 b.wav)|playFirst|art(Night.png)");
    QTest::newRow("album without songs")
        << QStringLiteral("playWholeAlbum") << words("cover.txt") << words("clear");
    QTest::newRow("album to the playlist")
        << QStringLiteral("addWholeAlbumToPlaylist") << songs << words("add(01 a.mp3)|add(02 b.wav)");
    QTest::newRow("song") << QStringLiteral("playSong") << songs << words("art|add(01 a.mp3)|play(01 a.mp3)");
    QTest::newRow("movie") << QStringLiteral("playMovie") << songs << words("art|play(01 a.mp3)");
    QTest::newRow("stop") << QStringLiteral("stopMovie") << songs << words("stop|art");
  }
  void mediaRequestsInOrder() {
    QFETCH(QString, operation);
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);
    const auto folder = albumFolder(files);
    controller_ = std::make_unique<Controller>();
    const auto album = [this, &folder] { return controller_->albumModel()->findIndexByPath(folder); };
    QTRY_VERIFY(album().isValid());
    if (files.contains(QStringLiteral("Night.png"))) { // the cover is read after the rows are shown
      QTRY_VERIFY(!album().data(arvexhub::launcher::AlbumRole::ThumbnailPath).toString().isEmpty());
    }
    MediaRecorder recorder(*controller_);
    const auto song = folder + QStringLiteral("/01 a.mp3");
    if (operation == QStringLiteral("playWholeAlbum")) {
      controller_->playWholeAlbum(folder);
    } else if (operation == QStringLiteral("addWholeAlbumToPlaylist")) {
      controller_->addWholeAlbumToPlaylist(folder);
    } else if (operation == QStringLiteral("playSong")) {
      controller_->playSong(QUrl::fromLocalFile(song), QStringLiteral("a"));
    } else if (operation == QStringLiteral("playMovie")) {
      controller_->playMovie(song);
    } else {
      controller_->stopMovie();
    }
    QCOMPARE(recorder.requests, expected);
  }

  void playingMarksFollowWhatPlays() {
    const auto folder = albumFolder({QStringLiteral("01 a.mp3")});
    controller_ = std::make_unique<Controller>();
    auto* movies = controller_->movieModel();
    const auto albumPlaying = [this, &folder] {
      return controller_->albumModel()
          ->findIndexByPath(folder)
          .data(arvexhub::launcher::AlbumRole::IsPlaying)
          .toBool();
    };
    QTRY_VERIFY(controller_->albumModel()->findIndexByPath(folder).isValid());

    controller_->playWholeAlbum(folder);
    QVERIFY(albumPlaying());
    controller_->playMovie(QStringLiteral("/movies/Film/Film.mp4"));
    QVERIFY(!albumPlaying());
    QCOMPARE(movies->currentPlayingMovie(), QStringLiteral("/movies/Film/Film.mp4"));
    controller_->playWholeAlbum(folder);
    QVERIFY(movies->currentPlayingMovie().isEmpty());
    controller_->stopMovie();
    QVERIFY(!albumPlaying());
  }
};

QTEST_MAIN(TestController)
#include "tst_controller.moc"
