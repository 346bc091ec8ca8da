#include "app/Preferences.h"
#include "library/MovieListModel.h"
#include "media/AudioVisualizer.h"
#include "media/MediaPlayerTab.h"
#include "media/PlaylistModel.h"
#include "style/Style.h"

#include "LibraryKinds.h"

#include <QApplication>
#include <QAudioOutput>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QVideoWidget>
#include <QtTest>

#include <memory>
#include <optional>

using namespace arvexhub::launcher;
using namespace Qt::StringLiterals;
using namespace arvexhub::test;

namespace {

constexpr int playbackTimeoutMs = 20000;
const QString movieFile = u".arvexhub/movies/Space Trip/space_trip.mp4"_s;

struct Message {
  QString title;
  QString text;
};

QImage imageOf(const QIcon& icon) {
  return icon.pixmap(16, 16).toImage();
}

} // namespace

class TestMediaPlayerTab final : public QObject, private LibraryFixture {
  Q_OBJECT

  TestDir media_; // made once: tone.wav, tone.mp3, clip.mp4, long.wav
  std::unique_ptr<MovieListModel> movies_;
  std::unique_ptr<MediaPlayerTab> tab_;
  QList<Message> messages_;
  QMessageBox::StandardButton answer_{QMessageBox::Yes};
  std::optional<QString> typedName_;
  QString pickedFile_;

  static bool makeMedia(const QString& path, const QStringList& input) {
    QProcess ffmpeg;
    ffmpeg.start(u"ffmpeg"_s, QStringList{u"-hide_banner"_s, u"-loglevel"_s, u"error"_s} + input +
                                  QStringList{u"-y"_s, path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit &&
           ffmpeg.exitCode() == 0;
  }
  /// A copy of a generated media file at a path under the private home.
  QUrl place(const QString& media, const QString& relativePath) {
    QFile source(media_.filePath(media));
    return source.open(QIODevice::ReadOnly)
               ? QUrl::fromLocalFile(home_->createFile(relativePath, source.readAll()))
               : QUrl();
  }
  /// A 40 x 20 picture written at a path under the private home.
  QString writePicture(const QString& relativePath) const {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::blue);
    const QString path = homePath(relativePath);
    return QDir().mkpath(QFileInfo(path).path()) && image.save(path) ? path : QString();
  }
  QString homePath(const QString& relativePath) const {
    return home_->filePath(relativePath);
  }
  QString playlistsPath(const QString& name) const {
    return homePath(u".arvexhub/playlists/"_s + name);
  }
  QStringList shownTitles() const {
    QStringList names;
    for (int row = 0; row < tab_->playlistModel()->rowCount(); ++row) {
      names.append(tab_->playlistModel()->title(row));
    }
    return names;
  }
  QStringList messageTitles() const {
    QStringList result;
    for (const auto& message : messages_) {
      result.append(message.title);
    }
    return result;
  }
  template <typename T>
  T* child(const char* name) const {
    return tab_->findChild<T*>(QLatin1String(name));
  }
  static QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  /// Waits until the player has reported that status since the spy began.
  static bool reached(QSignalSpy& spy, QMediaPlayer::MediaStatus status, int times = 1) {
    return QTest::qWaitFor(
        [&] {
          int seen = 0;
          for (const auto& arguments : spy) {
            seen += arguments.at(0).value<QMediaPlayer::MediaStatus>() == status ? 1 : 0;
          }
          return seen >= times;
        },
        playbackTimeoutMs);
  }

private slots:
  void initTestCase() {
    QApplication::setStyle(new arvexhub::style::Style);
    const QStringList tone{u"-f"_s, u"lavfi"_s, u"-i"_s, u"sine=frequency=440:duration=0.4"_s};
    QVERIFY(makeMedia(media_.filePath(u"tone.wav"_s), tone));
    QVERIFY(makeMedia(media_.filePath(u"tone.mp3"_s), tone + QStringList{u"-c:a"_s, u"libmp3lame"_s}));
    QVERIFY(makeMedia(media_.filePath(u"long.wav"_s),
                      {u"-f"_s, u"lavfi"_s, u"-i"_s, u"sine=frequency=220:duration=30"_s}));
    QVERIFY(makeMedia(media_.filePath(u"clip.mp4"_s),
                      {u"-f"_s, u"lavfi"_s, u"-i"_s, u"testsrc=size=64x48:rate=10:duration=0.4"_s, u"-f"_s,
                       u"lavfi"_s, u"-i"_s, u"sine=duration=0.4"_s, u"-c:v"_s, u"libx264"_s, u"-pix_fmt"_s,
                       u"yuv420p"_s, u"-c:a"_s, u"aac"_s, u"-shortest"_s}));
  }
  void init() {
    QVERIFY(setUpLibrary());
    server_->setResponse(u"/movies.json"_s, answer("[]"));
    QVERIFY(place(u"clip.mp4"_s, movieFile).isValid());
    movies_ = std::make_unique<MovieListModel>();
    tab_ = std::make_unique<MediaPlayerTab>(nullptr, movies_.get());
    tab_->setMessageProvider(
        [this](QMessageBox::Icon, const QString& title, const QString& text, QMessageBox::StandardButtons) {
          messages_.append({title, text});
          return answer_;
        });
    tab_->setPlaylistNameProvider([this] { return typedName_; });
    tab_->setPlaylistFileProvider([this](const QString&) { return pickedFile_; });
    tab_->resize(900, 500);
    tab_->show();
    QVERIFY(QTest::qWaitForWindowExposed(tab_.get()));
  }
  void cleanup() {
    tab_.reset();
    movies_.reset();
    tearDownLibrary();
    messages_.clear();
    answer_ = QMessageBox::Yes;
    typedName_.reset();
    pickedFile_.clear();
  }

  void navigation_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("moves"); // n, p, s: next, previous, play button; d: slider drag; x: stop
    QTest::addColumn<int>("expected");
    QTest::newRow("next") << 3 << 0 << u"n"_s << 1;
    QTest::newRow("next on the last wraps to the first") << 3 << 2 << u"n"_s << 0;
    QTest::newRow("previous on the first wraps to the last") << 3 << 0 << u"p"_s << 2;
    QTest::newRow("there and back") << 3 << 1 << u"pn"_s << 1;
    QTest::newRow("one entry") << 1 << 0 << u"np"_s << 0;
    QTest::newRow("empty playlist") << 0 << -1 << u"npsdx"_s << -1;
  }
  void navigation() {
    QFETCH(int, count);
    QFETCH(int, start);
    QFETCH(QString, moves);
    QFETCH(int, expected);
    for (int i = 0; i < count; ++i) {
      tab_->addToPlaylist(place(u"long.wav"_s, u"m/%1.wav"_s.arg(i)), {});
    }
    if (start >= 0) {
      tab_->playFromList(tab_->playlistModel()->index(start));
    }
    for (const QChar move : moves) {
      if (move == u'x') {
        tab_->stop();
      } else if (move == u'd') {
        auto* slider = child<QSlider>("positionSlider");
        slider->setSliderDown(true);
        slider->setSliderPosition(10); // a drag: the position is asked for
        slider->setSliderDown(false);
      } else {
        const char* name = move == u'n' ? "nextButton" : move == u'p' ? "previousButton" : "playButton";
        QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton);
      }
    }
    QCOMPARE(tab_->currentIndex(), expected);
    QCOMPARE(child<QListView>("playlistView")->currentIndex().row(), expected);
    // Starting the media framework is the costliest part of opening the window: it waits until
    // something plays, and the controls used before that change nothing.
    auto* player = tab_->findChild<QMediaPlayer*>();
    QCOMPARE(player != nullptr, expected >= 0);
    if (player) {
      QCOMPARE(player->source(), tab_->playlistModel()->url(expected));
      QTRY_COMPARE(player->playbackState(), QMediaPlayer::PlayingState);
    }
  }

  void endOfMediaRepeatsThePlaylist_data() {
    QTest::addColumn<QStringList>("files");
    QTest::newRow("two entries") << QStringList{u"tone.wav"_s, u"tone.mp3"_s};
    QTest::newRow("one entry") << QStringList{u"tone.mp3"_s};
  }
  void endOfMediaRepeatsThePlaylist() {
    QFETCH(QStringList, files);
    for (const auto& file : files) {
      tab_->addToPlaylist(place(file, u"m/"_s + file), {});
    }
    QSignalSpy statuses(tab_->player(), &QMediaPlayer::mediaStatusChanged);
    tab_->playCurrent();
    // Every entry plays to its end, and then the first one again.
    QVERIFY(reached(statuses, QMediaPlayer::EndOfMedia, int(files.size()) + 1));
    QTRY_COMPARE(tab_->currentIndex(), 1 % int(files.size()));
    QTRY_COMPARE(tab_->player()->playbackState(), QMediaPlayer::PlayingState);
  }

  void titles_data() {
    QTest::addColumn<QString>("file"); // placed in the home folder, unless it is an address
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("viaPlay");
    QTest::addColumn<QString>("expected"); // empty: not added
    QTest::newRow("movie title from the library") << movieFile << QString() << true << u"Space Trip"_s;
    QTest::newRow("given title") << u"m/song_one.wav"_s << u"Opening"_s << false << u"Opening"_s;
    QTest::newRow("file name with blanks for underscores")
        << u"m/my_best_song.wav"_s << QString() << false << u"my best song"_s;
    QTest::newRow("only the extension goes")
        << u"m/live.at_home.mp3"_s << QString() << false << u"live.at home"_s;
    QTest::newRow("file unknown to the library") << u"m/clip_two.mp4"_s << QString() << true << u"clip two"_s;
    QTest::newRow("web address") << u"https://example.com/a.mp3"_s << u"Entry"_s << false << QString();
    QTest::newRow("web address played") << u"https://example.com/a.mp3"_s << QString() << true << QString();
    QTest::newRow("invalid") << QString() << u"Entry"_s << false << QString();
  }
  void titles() {
    QFETCH(QString, file);
    QFETCH(QString, title);
    QFETCH(bool, viaPlay);
    QFETCH(QString, expected);
    const bool address = file.isEmpty() || file.contains(u"://"_s);
    const QUrl url = address ? QUrl(file) : place(u"clip.mp4"_s, file);
    if (viaPlay) {
      tab_->play(url);
    } else {
      tab_->addToPlaylist(url, title);
    }
    const bool added = !expected.isEmpty();
    QCOMPARE(shownTitles(), added ? QStringList{expected} : QStringList());
    QCOMPARE(tab_->playlistModel()->urls(), added ? QList<QUrl>{url} : QList<QUrl>());
    QCOMPARE(tab_->currentIndex(), added ? 0 : -1);
    QCOMPARE(tab_->player()->playbackState(),
             viaPlay && added ? QMediaPlayer::PlayingState : QMediaPlayer::StoppedState);
  }

  void savedPlaylistLoadsBack() {
    const QUrl movie = QUrl::fromLocalFile(homePath(movieFile));
    const QUrl song = place(u"tone.wav"_s, u"m/song_one.wav"_s);
    tab_->addToPlaylist(movie, {});
    tab_->addToPlaylist(song, u"Opening"_s);
    typedName_ = u"Evening"_s;
    tab_->savePlaylist();
    const QString saved = playlistsPath(u"Evening.m3u"_s);
    QCOMPARE(contentOf(saved),
             (movie.toLocalFile() + QLatin1Char('\n') + song.toLocalFile() + QLatin1Char('\n')).toUtf8());
    QCOMPARE(tab_->currentPlaylistFile(), saved);
    QVERIFY(child<QPushButton>("deleteButton")->isEnabled());

    tab_->clearPlaylist();
    QVERIFY(!child<QPushButton>("deleteButton")->isEnabled());
    pickedFile_ = saved;
    tab_->loadPlaylist();
    QCOMPARE(tab_->playlistModel()->urls(), (QList<QUrl>{movie, song}));
    QCOMPARE(shownTitles(), (QStringList{u"Space Trip"_s, u"song one"_s}));
    QCOMPARE(tab_->currentIndex(), 0);
    QCOMPARE(tab_->player()->source(), movie);
    QCOMPARE(tab_->player()->playbackState(), QMediaPlayer::PlayingState);
    QCOMPARE(tab_->currentPlaylistFile(), saved);
    QVERIFY(child<QPushButton>("deleteButton")->isEnabled());
    QVERIFY(messages_.isEmpty());

    // Another player's list: the titles it gives come first.
    pickedFile_ = home_->createFile(u".arvexhub/playlists/other.m3u"_s,
                                    "#EXTM3U\n#EXTINF:3,Nice Title\n/m/first.mp3\n" +
                                        movie.toLocalFile().toUtf8() + "\n");
    tab_->loadPlaylist();
    QCOMPARE(shownTitles(), (QStringList{u"Nice Title"_s, u"Space Trip"_s}));
    QCOMPARE(tab_->currentPlaylistFile(), pickedFile_);
  }

  void savingAsksForAName_data() {
    QTest::addColumn<std::optional<QString>>("typed"); // a playlist "Mix" exists already
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("overwritten");
    const QStringList refused{u"Invalid Playlist Name"_s};
    const QStringList asked{u"Confirm Overwrite"_s};
    const auto name = [](const char* text) { return std::optional<QString>(QString::fromUtf8(text)); };
    QTest::newRow("parent folder") << name("../x") << QMessageBox::Yes << refused << false;
    QTest::newRow("sub folder") << name("a/b") << QMessageBox::Yes << refused << false;
    QTest::newRow("dot dot") << name("..") << QMessageBox::Yes << refused << false;
    QTest::newRow("empty") << name("") << QMessageBox::Yes << refused << false;
    QTest::newRow("blanks") << name("   ") << QMessageBox::Yes << refused << false;
    QTest::newRow("cancelled") << std::optional<QString>() << QMessageBox::Yes << QStringList() << false;
    QTest::newRow("existing name, overwritten") << name("Mix") << QMessageBox::Yes << asked << true;
    QTest::newRow("existing name, kept") << name("Mix") << QMessageBox::No << asked << false;
  }
  void savingAsksForAName() {
    QFETCH(std::optional<QString>, typed);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QStringList, messages);
    QFETCH(bool, overwritten);
    const QString file = home_->createFile(u".arvexhub/playlists/Mix.m3u"_s, "/m/old.mp3\n");
    tab_->addToPlaylist(QUrl::fromLocalFile(u"/m/new.mp3"_s), {});
    typedName_ = typed;
    answer_ = answer;
    tab_->savePlaylist();
    QCOMPARE(messageTitles(), messages);
    if (messages == QStringList{u"Confirm Overwrite"_s}) {
      QCOMPARE(messages_.first().text, u"Playlist 'Mix' already exists. Do you want to overwrite it?"_s);
    }
    QCOMPARE(contentOf(file), overwritten ? QByteArray("/m/new.mp3\n") : QByteArray("/m/old.mp3\n"));
    QVERIFY(!QFile::exists(homePath(u".arvexhub/x.m3u"_s)));
    QCOMPARE(QDir(playlistsPath({})).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{u"Mix.m3u"_s});
    QCOMPARE(tab_->currentPlaylistFile(), overwritten ? file : QString());
  }

  void playlistFileMessages_data() {
    QTest::addColumn<QString>("before"); // an "entry" added, or a list loaded from "playlists/" or "Music/"
    QTest::addColumn<QString>("action");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("text"); // of the first message
    QTest::addColumn<int>("entries");  // left afterwards
    const QString deletion =
        u"Are you sure you want to permanently delete the playlist file 'Old.m3u' from your disk?"_s;
    const QString noFile = u"There is no playlist file loaded to remove."_s;
    QTest::newRow("saving an empty playlist")
        << QString() << u"save"_s << QMessageBox::Yes << QStringList{u"Empty Playlist"_s}
        << u"There are no items in the playlist to save."_s << 0;
    QTest::newRow("loading a file that cannot be read")
        << u"entry"_s << u"load"_s << QMessageBox::Yes << QStringList{u"Error"_s}
        << u"Could not open the selected playlist file."_s << 1;
    QTest::newRow("removing without a playlist file") << u"entry"_s << u"remove"_s << QMessageBox::Yes
                                                      << QStringList{u"No Playlist Loaded"_s} << noFile << 1;
    QTest::newRow("removal confirmed") << u"playlists/"_s << u"remove"_s << QMessageBox::Yes
                                       << QStringList{u"Confirm Deletion"_s, u"Success"_s} << deletion << 0;
    QTest::newRow("removal declined") << u"playlists/"_s << u"remove"_s << QMessageBox::No
                                      << QStringList{u"Confirm Deletion"_s} << deletion << 1;
    QTest::newRow("loaded from another folder is never deleted")
        << u"Music/"_s << u"remove"_s << QMessageBox::Yes << QStringList{u"No Playlist Loaded"_s} << noFile
        << 1;
  }
  void playlistFileMessages() {
    QFETCH(QString, before);
    QFETCH(QString, action);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QStringList, messages);
    QFETCH(QString, text);
    QFETCH(int, entries);
    const bool inPlaylists = before == u"playlists/"_s;
    const bool loaded = before.endsWith(QLatin1Char('/'));
    const QString file =
        loaded ? home_->createFile((inPlaylists ? u".arvexhub/"_s : QString()) + before + u"Old.m3u"_s,
                                   "/m/a.mp3\n")
               : QString();
    pickedFile_ = file;
    if (loaded) {
      tab_->loadPlaylist();
    } else if (!before.isEmpty()) {
      tab_->addToPlaylist(QUrl::fromLocalFile(u"/m/a.mp3"_s), {});
    }
    QCOMPARE(child<QPushButton>("deleteButton")->isEnabled(), inPlaylists);
    pickedFile_ = playlistsPath(u"missing.m3u"_s);
    answer_ = answer;
    if (action == u"save"_s) {
      tab_->savePlaylist();
    } else {
      action == u"remove"_s ? tab_->removePlaylist() : tab_->loadPlaylist();
    }
    QCOMPARE(messageTitles(), messages);
    QCOMPARE(messages_.first().text, text);
    QCOMPARE(tab_->playlistModel()->rowCount(), entries);
    const bool deleted = messages.contains(u"Success"_s);
    QVERIFY(file.isEmpty() || QFile::exists(file) != deleted);
    QCOMPARE(child<QPushButton>("deleteButton")->isEnabled(), inPlaylists && !deleted);
  }

  void albumArtPages_data() {
    QTest::addColumn<QString>("media");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("picture"); // written beside the file when not empty
    QTest::addColumn<MediaPlayerTab::Page>("pageAtStart");
    QTest::addColumn<MediaPlayerTab::Page>("pageWhenLoaded");
    QTest::addColumn<bool>("art");
    QTest::newRow("album song with its folder's picture")
        << u"tone.wav"_s << u".arvexhub/albums/Blue/track_1.wav"_s << u"Blue.png"_s
        << MediaPlayerTab::VisualizerPage << MediaPlayerTab::VisualizerPage << true;
    QTest::newRow("another picture name does not count")
        << u"tone.wav"_s << u".arvexhub/albums/Blue/track_1.wav"_s << u"cover.png"_s
        << MediaPlayerTab::VisualizerPage << MediaPlayerTab::VisualizerPage << false;
    QTest::newRow("movie") << u"clip.mp4"_s << movieFile << QString() << MediaPlayerTab::VideoPage
                           << MediaPlayerTab::VideoPage << false;
    QTest::newRow("audio outside the albums shows the meter once loaded")
        << u"tone.mp3"_s << u"Music/tone.mp3"_s << QString() << MediaPlayerTab::VideoPage
        << MediaPlayerTab::VisualizerPage << false;
  }
  void albumArtPages() {
    QFETCH(QString, media);
    QFETCH(QString, file);
    QFETCH(QString, picture);
    QFETCH(MediaPlayerTab::Page, pageAtStart);
    QFETCH(MediaPlayerTab::Page, pageWhenLoaded);
    QFETCH(bool, art);
    const QUrl url = place(media, file);
    QVERIFY(picture.isEmpty() || !writePicture(QFileInfo(file).path() + u'/' + picture).isEmpty());
    QSignalSpy statuses(tab_->player(), &QMediaPlayer::mediaStatusChanged);
    tab_->play(url);
    QCOMPARE(tab_->currentPage(), pageAtStart);
    QCOMPARE(tab_->visualizer()->albumArt().size(), art ? QSize(40, 20) : QSize(0, 0));
    QVERIFY(reached(statuses, QMediaPlayer::LoadedMedia));
    QCOMPARE(tab_->currentPage(), pageWhenLoaded);
    QCOMPARE(tab_->player()->hasVideo(), pageWhenLoaded == MediaPlayerTab::VideoPage);
    QCOMPARE(tab_->visualizer()->albumArt().size(), art ? QSize(40, 20) : QSize(0, 0));
    QTRY_VERIFY(tab_->player()->duration() > 0);
    QCOMPARE(child<QSlider>("positionSlider")->maximum(), int(tab_->player()->duration()));
    if (tab_->player()->hasVideo()) { // a picture for the visualizer waits while a movie plays
      tab_->setAlbumArt(writePicture(u"art.png"_s));
      QVERIFY(tab_->visualizer()->albumArt().isNull());
    }
  }

  void fullscreen_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("playlistBefore");
    QTest::newRow("double click on the video") << u"video"_s << true;
    QTest::newRow("double click on the visualizer") << u"visualizer"_s << false;
    QTest::newRow("full-screen button") << u"button"_s << true;
  }
  void fullscreen() {
    QFETCH(QString, how);
    QFETCH(bool, playlistBefore);
    QSignalSpy requests(tab_.get(), &MediaPlayerTab::fullscreenRequested);
    auto* button = child<QPushButton>("fullscreenButton");
    if (how == u"button"_s) {
      QTest::mouseClick(button, Qt::LeftButton);
    } else {
      QWidget* target = how == u"video"_s ? static_cast<QWidget*>(tab_->videoWidget()) : tab_->visualizer();
      QTest::mouseDClick(target, Qt::LeftButton);
    }
    QCOMPARE(requests.size(), 1);
    QVERIFY(!button->isChecked()); // only the host's answer checks it

    auto* controls = child<QWidget>("controls");
    auto* playlist = child<QListView>("playlistView");
    const QImage normalIcon = imageOf(tab_->style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    tab_->setPlaylistVisible(playlistBefore);
    QCOMPARE(playlist->isVisible(), playlistBefore);
    tab_->setControlsHideDelay(10);
    const QMargins margins = tab_->layout()->contentsMargins();
    QVERIFY(!margins.isNull());

    tab_->onHostIsFullscreen(true);
    QCOMPARE(tab_->layout()->contentsMargins(), QMargins()); // edge to edge
    QVERIFY(button->isChecked());
    QCOMPARE(imageOf(button->icon()), normalIcon);
    QVERIFY(!playlist->isVisible());
    QTRY_VERIFY(!controls->isVisible());
    QVERIFY(QGuiApplication::overrideCursor() &&
            QGuiApplication::overrideCursor()->shape() == Qt::BlankCursor);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(tab_->videoWidget(), &move);
    QVERIFY(controls->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    QTRY_VERIFY(!controls->isVisible()); // and they go again after a rest

    tab_->onHostIsFullscreen(false);
    QVERIFY(!button->isChecked());
    QCOMPARE(tab_->layout()->contentsMargins(), margins);
    QVERIFY(controls->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(playlist->isVisible()); // the playlist comes back in the window
    tab_->setPlaylistVisible(false);
    tab_->onHostIsFullscreen(false); // the host reports other window-state changes too
    QVERIFY(!playlist->isVisible());
    QTest::qWait(50); // no hide timer may still be running: a rest after leaving changes nothing
    QVERIFY(controls->isVisible());
  }

  void playButtonFollowsThePlayer() {
    tab_->addToPlaylist(place(u"long.wav"_s, u"m/long.wav"_s), {});
    auto* play = child<QPushButton>("playButton");
    const QImage playIcon = imageOf(tab_->style()->standardIcon(QStyle::SP_MediaPlay));
    const QImage pauseIcon = imageOf(tab_->style()->standardIcon(QStyle::SP_MediaPause));
    QVERIFY(playIcon != pauseIcon);
    const QList<QMediaPlayer::PlaybackState> expected{QMediaPlayer::PlayingState, QMediaPlayer::PausedState,
                                                      QMediaPlayer::PlayingState};
    for (const auto state : expected) {
      QTest::mouseClick(play, Qt::LeftButton);
      QTRY_COMPARE(tab_->player()->playbackState(), state);
      QCOMPARE(imageOf(play->icon()), state == QMediaPlayer::PlayingState ? pauseIcon : playIcon);
    }
    auto* slider = child<QSlider>("positionSlider");
    QTRY_VERIFY(slider->maximum() > 20000);
    slider->setSliderDown(true);
    slider->setSliderPosition(20000); // a drag: the player seeks there
    slider->setSliderDown(false);
    QTRY_VERIFY(tab_->player()->position() >= 20000);
    QTRY_VERIFY(slider->value() >= 20000);
    // A click on the groove jumps to that point rather than a page towards it.
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() / 4, slider->height() / 2));
    QTRY_VERIFY(tab_->player()->position() < 15000);

    // A picture reaches the visualizer while audio plays, not once it has stopped.
    const QString picture = writePicture(u"art.png"_s);
    tab_->setAlbumArt(picture);
    QVERIFY(!tab_->visualizer()->albumArt().isNull());
    tab_->stop();
    tab_->setAlbumArt(picture);
    QVERIFY(tab_->visualizer()->albumArt().isNull());
  }

  void timeText_data() {
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QString>("expected");
    QTest::newRow("minutes") << qint64{65999} << qint64{222000} << u"1:05 / 3:42"_s;
    QTest::newRow("just under an hour") << qint64{3599999} << qint64{3599999} << u"59:59 / 59:59"_s;
    QTest::newRow("hours") << qint64{65000} << qint64{3725000} << u"0:01:05 / 1:02:05"_s;
    QTest::newRow("a position before the start") << qint64{-400} << qint64{9000} << u"0:00 / 0:09"_s;
  }
  void timeText() {
    QFETCH(qint64, elapsed);
    QFETCH(qint64, total);
    QFETCH(QString, expected);
    QCOMPARE(MediaPlayerTab::timeText(elapsed, total), expected);
  }

  void keys_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("fullscreen");
    QTest::addColumn<QString>("expected"); // state volume mute entry full-screen-requests
    QTest::addColumn<QString>("time");     // the label afterwards; empty: not looked at
    QTest::newRow("Space plays") << u"Space"_s << false << u"playing 50 sound 0 0"_s << QString();
    QTest::newRow("Left") << u"Left"_s << false << u"paused 50 sound 0 0"_s << u"0:15 / 0:30"_s;
    QTest::newRow("Right") << u"Right"_s << false << u"paused 50 sound 0 0"_s << u"0:25 / 0:30"_s;
    QTest::newRow("Shift+Left stops at the start")
        << u"Shift+Left"_s << false << u"paused 50 sound 0 0"_s << u"0:00 / 0:30"_s;
    QTest::newRow("Up") << u"Up"_s << false << u"paused 55 sound 0 0"_s << QString();
    QTest::newRow("Down") << u"Down"_s << false << u"paused 45 sound 0 0"_s << QString();
    QTest::newRow("M") << u"M"_s << false << u"paused 50 muted 0 0"_s << QString();
    QTest::newRow("F") << u"F"_s << false << u"paused 50 sound 0 1"_s << QString();
    QTest::newRow("Escape in a window") << u"Escape"_s << false << u"paused 50 sound 0 0"_s << QString();
    QTest::newRow("Escape in full screen") << u"Escape"_s << true << u"paused 50 sound 0 1"_s << QString();
    QTest::newRow("N") << u"N"_s << false << u"playing 50 sound 1 0"_s << QString();
    QTest::newRow("P wraps") << u"P"_s << false << u"playing 50 sound 1 0"_s << QString();
  }
  void keys() {
    QFETCH(QString, key);
    QFETCH(bool, fullscreen);
    QFETCH(QString, expected);
    QFETCH(QString, time);
    tab_->addToPlaylist(place(u"long.wav"_s, u"m/a.wav"_s), {});
    tab_->addToPlaylist(place(u"long.wav"_s, u"m/b.wav"_s), {});
    tab_->setVolume(50);
    tab_->playCurrent();
    QTRY_COMPARE(tab_->playbackState(), QMediaPlayer::PlayingState);
    tab_->togglePlayback();
    QTRY_COMPARE(tab_->playbackState(), QMediaPlayer::PausedState);
    QTRY_COMPARE(tab_->duration(), 30000);
    tab_->seekTo(20200);
    auto* label = child<QLabel>("timeLabel");
    QTRY_COMPARE(label->text(), u"0:20 / 0:30"_s);
    tab_->onHostIsFullscreen(fullscreen);
    QSignalSpy requests(tab_.get(), &MediaPlayerTab::fullscreenRequested);
    const auto summary = [&] {
      return u"%1 %2 %3 %4 %5"_s
          .arg(tab_->playbackState() == QMediaPlayer::PlayingState ? u"playing"_s : u"paused"_s)
          .arg(tab_->volume())
          .arg(tab_->player()->audioOutput()->isMuted() ? u"muted"_s : u"sound"_s)
          .arg(tab_->currentIndex())
          .arg(requests.size());
    };
    // The keys reach the player from anywhere in the tab, the playlist included.
    tab_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(tab_.get()));
    QWidget* target = fullscreen ? static_cast<QWidget*>(tab_.get()) : child<QListView>("playlistView");
    target->setFocus();
    const QKeyCombination combination = QKeySequence::fromString(key)[0];
    QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
    QTRY_COMPARE(summary(), expected);
    if (!time.isEmpty()) {
      QTRY_COMPARE(label->text(), time);
    }
  }

  void volumeIsRemembered() {
    Preferences preferences; // the store outlives a run: start from a known state
    preferences.setPlayerVolume(100);
    preferences.setPlayerMuted(false);
    tab_->setPreferences(&preferences);
    tab_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(tab_.get()));
    child<QSlider>("volumeSlider")->setValue(30);
    QTest::mouseClick(child<QPushButton>("muteButton"), Qt::LeftButton);
    Preferences later;
    MediaPlayerTab next(nullptr, nullptr);
    next.setPreferences(&later);
    QCOMPARE(next.volume(), 30);
    QVERIFY(next.isMuted());
    QVERIFY(next.player()->audioOutput()->isMuted()); // the player made later starts muted too
    QVERIFY(next.player()->audioOutput()->volume() < 0.3f);
    QVERIFY(next.player()->audioOutput()->volume() > 0.0f);
  }
};

QTEST_MAIN(TestMediaPlayerTab)
#include "tst_mediaplayertab.moc"
