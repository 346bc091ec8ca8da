#include "library/MovieListModel.h"
#include "media/AudioVisualizer.h"
#include "media/MediaPlayerTab.h"
#include "media/PlaylistModel.h"

#include <style/Style.h>

#include <TestDir.h>
#include <TestHttpServer.h>

#include <QApplication>
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
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

constexpr int playbackTimeoutMs = 20000;
const QString movieFile = QStringLiteral(".arvexhub/movies/Space Trip/space_trip.mp4");

struct Message {
  QMessageBox::Icon icon;
  QString title;
  QString text;
};

QImage imageOf(const QIcon& icon) {
  return icon.pixmap(16, 16).toImage();
}

} // namespace

class TestMediaPlayerTab final : public QObject {
  Q_OBJECT

  TestDir media_; // made once: tone.wav, tone.mp3, clip.mp4, long.wav
  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<MovieListModel> movies_;
  std::unique_ptr<MediaPlayerTab> tab_;
  QList<Message> messages_;
  QMessageBox::StandardButton answer_{QMessageBox::Yes};
  std::optional<QString> typedName_;
  QString pickedFile_;

  static bool makeMedia(const QString& path, const QStringList& input) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-hide_banner"),
                                                       QStringLiteral("-loglevel"), QStringLiteral("error")} +
                                               input + QStringList{QStringLiteral("-y"), path});
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
  QString homePath(const QString& relativePath) const {
    return home_->filePath(relativePath);
  }
  QString playlistsPath(const QString& name) const {
    return homePath(QStringLiteral(".arvexhub/playlists/") + name);
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
    const QStringList tone{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                           QStringLiteral("sine=frequency=440:duration=0.4")};
    QVERIFY(makeMedia(media_.filePath(QStringLiteral("tone.wav")), tone));
    QVERIFY(makeMedia(media_.filePath(QStringLiteral("tone.mp3")),
                      tone + QStringList{QStringLiteral("-c:a"), QStringLiteral("libmp3lame")}));
    QVERIFY(makeMedia(media_.filePath(QStringLiteral("long.wav")),
                      {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                       QStringLiteral("sine=frequency=220:duration=30")}));
    QVERIFY(makeMedia(media_.filePath(QStringLiteral("clip.mp4")),
                      {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                       QStringLiteral("testsrc=size=64x48:rate=10:duration=0.4"), QStringLiteral("-f"),
                       QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("sine=duration=0.4"),
                       QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-pix_fmt"),
                       QStringLiteral("yuv420p"), QStringLiteral("-c:a"), QStringLiteral("aac"),
                       QStringLiteral("-shortest")}));
  }
  void init() {
    home_ = std::make_unique<TestDir>();
    qputenv("HOME", home_->path().toUtf8());
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    TestHttpResponse empty;
    empty.body = "[]";
    server_->setResponse(QStringLiteral("/movies.json"), empty);
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    QVERIFY(place(QStringLiteral("clip.mp4"), movieFile).isValid());
    movies_ = std::make_unique<MovieListModel>();
    tab_ = std::make_unique<MediaPlayerTab>(nullptr, movies_.get());
    tab_->setMessageProvider([this](QMessageBox::Icon icon, const QString& title, const QString& text,
                                    QMessageBox::StandardButtons) {
      messages_.append({icon, title, text});
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
    server_.reset();
    home_.reset();
    messages_.clear();
    answer_ = QMessageBox::Yes;
    typedName_.reset();
    pickedFile_.clear();
  }

  // Starting the media framework is the costliest part of opening the window: it waits until
  // something plays, and the controls used before that change nothing.
  void playerIsMadeOnFirstPlay() {
    QVERIFY(!tab_->findChild<QMediaPlayer*>());
    child<QPushButton>("playButton")->click();
    child<QPushButton>("nextButton")->click();
    auto* slider = child<QSlider>("positionSlider");
    slider->setSliderDown(true);
    slider->setSliderPosition(10); // a drag: the position is asked for
    slider->setSliderDown(false);
    tab_->stop();
    QVERIFY(!tab_->findChild<QMediaPlayer*>());
    QCOMPARE(tab_->currentPage(), MediaPlayerTab::VideoPage);
    tab_->play(QUrl::fromLocalFile(media_.filePath(QStringLiteral("tone.wav"))));
    QVERIFY(tab_->findChild<QMediaPlayer*>());
    QTRY_COMPARE(tab_->findChild<QMediaPlayer*>()->playbackState(), QMediaPlayer::PlayingState);
  }
  void navigation_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("moves"); // n: next button, p: previous button
    QTest::addColumn<int>("expected");
    QTest::newRow("next") << 3 << 0 << QStringLiteral("n") << 1;
    QTest::newRow("next on the last wraps to the first") << 3 << 2 << QStringLiteral("n") << 0;
    QTest::newRow("previous on the first wraps to the last") << 3 << 0 << QStringLiteral("p") << 2;
    QTest::newRow("there and back") << 3 << 1 << QStringLiteral("pn") << 1;
    QTest::newRow("one entry") << 1 << 0 << QStringLiteral("np") << 0;
    QTest::newRow("empty playlist, next") << 0 << -1 << QStringLiteral("n") << -1;
    QTest::newRow("empty playlist, previous") << 0 << -1 << QStringLiteral("p") << -1;
  }
  void navigation() {
    QFETCH(int, count);
    QFETCH(int, start);
    QFETCH(QString, moves);
    QFETCH(int, expected);
    for (int i = 0; i < count; ++i) {
      tab_->addToPlaylist(place(QStringLiteral("long.wav"), QStringLiteral("m/%1.wav").arg(i)), {});
    }
    if (start >= 0) {
      tab_->playFromList(tab_->playlistModel()->index(start));
    }
    for (const QChar move : moves) {
      QTest::mouseClick(child<QPushButton>(move == QLatin1Char('n') ? "nextButton" : "previousButton"),
                        Qt::LeftButton);
    }
    QCOMPARE(tab_->currentIndex(), expected);
    QCOMPARE(tab_->player()->source(), tab_->playlistModel()->url(expected));
    QCOMPARE(child<QListView>("playlistView")->currentIndex().row(), expected);
  }

  void endOfMediaRepeatsThePlaylist_data() {
    QTest::addColumn<QStringList>("files");
    QTest::newRow("two entries") << QStringList{QStringLiteral("tone.wav"), QStringLiteral("tone.mp3")};
    QTest::newRow("one entry") << QStringList{QStringLiteral("tone.mp3")};
  }
  void endOfMediaRepeatsThePlaylist() {
    QFETCH(QStringList, files);
    for (const auto& file : files) {
      tab_->addToPlaylist(place(file, QStringLiteral("m/") + file), {});
    }
    QSignalSpy statuses(tab_->player(), &QMediaPlayer::mediaStatusChanged);
    tab_->playCurrent();
    // Every entry plays to its end, and then the first one again.
    QVERIFY(reached(statuses, QMediaPlayer::EndOfMedia, int(files.size()) + 1));
    QTRY_COMPARE(tab_->currentIndex(), 1 % int(files.size()));
    QTRY_COMPARE(tab_->player()->playbackState(), QMediaPlayer::PlayingState);
  }

  void realPlayback_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("video");
    QTest::newRow("wav") << QStringLiteral("tone.wav") << false;
    QTest::newRow("mp3") << QStringLiteral("tone.mp3") << false;
    QTest::newRow("mp4") << QStringLiteral("clip.mp4") << true;
  }
  void realPlayback() {
    QFETCH(QString, file);
    QFETCH(bool, video);
    QSignalSpy statuses(tab_->player(), &QMediaPlayer::mediaStatusChanged);
    tab_->play(place(file, QStringLiteral("m/") + file));
    QVERIFY(reached(statuses, QMediaPlayer::LoadedMedia));
    QCOMPARE(tab_->player()->hasVideo(), video);
    QCOMPARE(tab_->currentPage(), video ? MediaPlayerTab::VideoPage : MediaPlayerTab::VisualizerPage);
    QTRY_VERIFY(tab_->player()->duration() > 0);
    QCOMPARE(child<QSlider>("positionSlider")->maximum(), int(tab_->player()->duration()));
  }

  void titles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("viaPlay");
    QTest::addColumn<QString>("expected");
    QTest::newRow("movie title from the library")
        << movieFile << QString() << true << QStringLiteral("Space Trip");
    QTest::newRow("given title") << QStringLiteral("m/song_one.wav") << QStringLiteral("Opening") << false
                                 << QStringLiteral("Opening");
    QTest::newRow("file name with blanks for underscores")
        << QStringLiteral("m/my_best_song.wav") << QString() << false << QStringLiteral("my best song");
    QTest::newRow("only the extension goes")
        << QStringLiteral("m/live.at_home.mp3") << QString() << false << QStringLiteral("live.at home");
    QTest::newRow("file unknown to the library")
        << QStringLiteral("m/clip_two.mp4") << QString() << true << QStringLiteral("clip two");
  }
  void titles() {
    QFETCH(QString, file);
    QFETCH(QString, title);
    QFETCH(bool, viaPlay);
    QFETCH(QString, expected);
    const QUrl url = place(QStringLiteral("clip.mp4"), file);
    if (viaPlay) {
      tab_->play(url);
    } else {
      tab_->addToPlaylist(url, title);
    }
    QCOMPARE(shownTitles(), QStringList{expected});
    QCOMPARE(tab_->currentIndex(), 0);
    QCOMPARE(tab_->player()->playbackState(),
             viaPlay ? QMediaPlayer::PlayingState : QMediaPlayer::StoppedState);
  }

  void addToPlaylistTakesLocalFilesOnly_data() {
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<bool>("added");
    QTest::newRow("local file") << QUrl::fromLocalFile(QStringLiteral("/m/a.mp3")) << true;
    QTest::newRow("web address") << QUrl(QStringLiteral("https://example.com/a.mp3")) << false;
    QTest::newRow("invalid") << QUrl() << false;
  }
  void addToPlaylistTakesLocalFilesOnly() {
    QFETCH(QUrl, url);
    QFETCH(bool, added);
    tab_->addToPlaylist(url, QStringLiteral("Entry"));
    QCOMPARE(tab_->playlistModel()->urls(), added ? QList<QUrl>{url} : QList<QUrl>());
    QCOMPARE(tab_->currentIndex(), added ? 0 : -1);
    QVERIFY(tab_->player()->source().isEmpty());
  }

  void savedPlaylistLoadsBack() {
    const QUrl movie = QUrl::fromLocalFile(homePath(movieFile));
    const QUrl song = place(QStringLiteral("tone.wav"), QStringLiteral("m/song_one.wav"));
    tab_->addToPlaylist(movie, {});
    tab_->addToPlaylist(song, QStringLiteral("Opening"));
    typedName_ = QStringLiteral("Evening");
    tab_->savePlaylist();
    const QString saved = playlistsPath(QStringLiteral("Evening.m3u"));
    QCOMPARE(contentOf(saved),
             (movie.toLocalFile() + QLatin1Char('\n') + song.toLocalFile() + QLatin1Char('\n')).toUtf8());
    QCOMPARE(tab_->currentPlaylistFile(), saved);
    QVERIFY(child<QPushButton>("deleteButton")->isEnabled());

    tab_->clearPlaylist();
    QVERIFY(!child<QPushButton>("deleteButton")->isEnabled());
    pickedFile_ = saved;
    tab_->loadPlaylist();
    QCOMPARE(tab_->playlistModel()->urls(), (QList<QUrl>{movie, song}));
    QCOMPARE(shownTitles(), (QStringList{QStringLiteral("Space Trip"), QStringLiteral("song one")}));
    QCOMPARE(tab_->currentIndex(), 0);
    QCOMPARE(tab_->player()->source(), movie);
    QCOMPARE(tab_->player()->playbackState(), QMediaPlayer::PlayingState);
    QCOMPARE(tab_->currentPlaylistFile(), saved);
    QVERIFY(child<QPushButton>("deleteButton")->isEnabled());
    QVERIFY(messages_.isEmpty());
  }

  void loadsOtherPlayersFiles() {
    const QString movie = homePath(movieFile);
    const QString file = home_->createFile(QStringLiteral(".arvexhub/playlists/other.m3u"),
                                           "#EXTM3U\n#EXTINF:3,Nice Title\n/m/first.mp3\n\n# a comment\n" +
                                               movie.toUtf8() + "\r\nsongs/rel_song.wav\n");
    pickedFile_ = file;
    tab_->loadPlaylist();
    QCOMPARE(tab_->playlistModel()->urls(),
             (QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/m/first.mp3")), QUrl::fromLocalFile(movie),
                          QUrl::fromLocalFile(playlistsPath(QStringLiteral("songs/rel_song.wav")))}));
    QCOMPARE(shownTitles(), (QStringList{QStringLiteral("Nice Title"), QStringLiteral("Space Trip"),
                                         QStringLiteral("rel song")}));
    QCOMPARE(tab_->currentPlaylistFile(), file);
  }

  void unsafeNamesWriteNothing_data() {
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::addColumn<bool>("refused"); // with a message; a cancelled dialog says nothing
    QTest::newRow("parent folder") << std::optional<QString>(QStringLiteral("../x")) << true;
    QTest::newRow("sub folder") << std::optional<QString>(QStringLiteral("a/b")) << true;
    QTest::newRow("dot dot") << std::optional<QString>(QStringLiteral("..")) << true;
    QTest::newRow("empty") << std::optional<QString>(QString()) << true;
    QTest::newRow("blanks") << std::optional<QString>(QStringLiteral("   ")) << true;
    QTest::newRow("cancelled") << std::optional<QString>() << false;
  }
  void unsafeNamesWriteNothing() {
    QFETCH(std::optional<QString>, typed);
    QFETCH(bool, refused);
    tab_->addToPlaylist(QUrl::fromLocalFile(QStringLiteral("/m/a.mp3")), {});
    typedName_ = typed;
    tab_->savePlaylist();
    QCOMPARE(messageTitles(), refused ? QStringList{QStringLiteral("Invalid Playlist Name")} : QStringList());
    QVERIFY(!QFile::exists(homePath(QStringLiteral(".arvexhub/x.m3u"))));
    QCOMPARE(QDir(playlistsPath({})).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(tab_->currentPlaylistFile().isEmpty());
  }

  void overwriteAsksFirst_data() {
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("yes") << QMessageBox::Yes;
    QTest::newRow("no") << QMessageBox::No;
  }
  void overwriteAsksFirst() {
    QFETCH(QMessageBox::StandardButton, answer);
    const QString file = home_->createFile(QStringLiteral(".arvexhub/playlists/Mix.m3u"), "/m/old.mp3\n");
    tab_->addToPlaylist(QUrl::fromLocalFile(QStringLiteral("/m/new.mp3")), {});
    typedName_ = QStringLiteral("Mix");
    answer_ = answer;
    tab_->savePlaylist();
    QCOMPARE(messages_.size(), 1);
    QCOMPARE(messages_.first().title, QStringLiteral("Confirm Overwrite"));
    QCOMPARE(messages_.first().text,
             QStringLiteral("Playlist 'Mix' already exists. Do you want to overwrite it?"));
    const bool yes = answer == QMessageBox::Yes;
    QCOMPARE(contentOf(file), yes ? QByteArray("/m/new.mp3\n") : QByteArray("/m/old.mp3\n"));
    QCOMPARE(tab_->currentPlaylistFile(), yes ? file : QString());
  }

  void failuresAreReported_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("saving an empty playlist")
        << QStringLiteral("save") << QStringLiteral("Empty Playlist")
        << QStringLiteral("There are no items in the playlist to save.");
    QTest::newRow("removing without a playlist file")
        << QStringLiteral("remove") << QStringLiteral("No Playlist Loaded")
        << QStringLiteral("There is no playlist file loaded to remove.");
    QTest::newRow("loading a file that cannot be read")
        << QStringLiteral("load") << QStringLiteral("Error")
        << QStringLiteral("Could not open the selected playlist file.");
  }
  void failuresAreReported() {
    QFETCH(QString, action);
    QFETCH(QString, title);
    QFETCH(QString, text);
    const bool keepsEntry = action != QStringLiteral("save");
    if (keepsEntry) {
      tab_->addToPlaylist(QUrl::fromLocalFile(QStringLiteral("/m/a.mp3")), {});
    }
    pickedFile_ = playlistsPath(QStringLiteral("missing.m3u"));
    if (action == QStringLiteral("save")) {
      tab_->savePlaylist();
    } else if (action == QStringLiteral("remove")) {
      tab_->removePlaylist();
    } else {
      tab_->loadPlaylist();
    }
    QCOMPARE(messages_.size(), 1);
    QCOMPARE(messages_.first().title, title);
    QCOMPARE(messages_.first().text, text);
    QCOMPARE(tab_->playlistModel()->rowCount(), keepsEntry ? 1 : 0);
  }

  void removePlaylist_data() {
    QTest::addColumn<bool>("inPlaylistsFolder");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("confirmed") << true << QMessageBox::Yes
                               << QStringList{QStringLiteral("Confirm Deletion"), QStringLiteral("Success")};
    QTest::newRow("declined") << true << QMessageBox::No << QStringList{QStringLiteral("Confirm Deletion")};
    QTest::newRow("loaded from another folder is never deleted")
        << false << QMessageBox::Yes << QStringList{QStringLiteral("No Playlist Loaded")};
  }
  void removePlaylist() {
    QFETCH(bool, inPlaylistsFolder);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QStringList, messages);
    const QString file = home_->createFile(inPlaylistsFolder ? QStringLiteral(".arvexhub/playlists/Old.m3u")
                                                             : QStringLiteral("Music/Old.m3u"),
                                           "/m/a.mp3\n");
    pickedFile_ = file;
    tab_->loadPlaylist();
    QCOMPARE(child<QPushButton>("deleteButton")->isEnabled(), inPlaylistsFolder);
    answer_ = answer;
    tab_->removePlaylist();
    QCOMPARE(messageTitles(), messages);
    const bool deleted = messages.contains(QStringLiteral("Success"));
    if (inPlaylistsFolder) {
      QVERIFY(messages_.first().text.contains(QStringLiteral("'Old.m3u'")));
    }
    QCOMPARE(QFile::exists(file), !deleted);
    QCOMPARE(tab_->playlistModel()->rowCount(), deleted ? 0 : 1);
    QCOMPARE(child<QPushButton>("deleteButton")->isEnabled(), inPlaylistsFolder && !deleted);
  }

  void albumArtPages_data() {
    QTest::addColumn<QString>("media");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("picture"); // written beside the file when not empty
    QTest::addColumn<MediaPlayerTab::Page>("pageAtStart");
    QTest::addColumn<MediaPlayerTab::Page>("pageWhenLoaded");
    QTest::addColumn<bool>("art");
    QTest::newRow("album song with its folder's picture")
        << QStringLiteral("tone.wav") << QStringLiteral(".arvexhub/albums/Blue/track_1.wav")
        << QStringLiteral("Blue.png") << MediaPlayerTab::VisualizerPage << MediaPlayerTab::VisualizerPage
        << true;
    QTest::newRow("another picture name does not count")
        << QStringLiteral("tone.wav") << QStringLiteral(".arvexhub/albums/Blue/track_1.wav")
        << QStringLiteral("cover.png") << MediaPlayerTab::VisualizerPage << MediaPlayerTab::VisualizerPage
        << false;
    QTest::newRow("movie") << QStringLiteral("clip.mp4") << movieFile << QString()
                           << MediaPlayerTab::VideoPage << MediaPlayerTab::VideoPage << false;
    QTest::newRow("audio outside the albums shows the meter once loaded")
        << QStringLiteral("tone.mp3") << QStringLiteral("Music/tone.mp3") << QString()
        << MediaPlayerTab::VideoPage << MediaPlayerTab::VisualizerPage << false;
  }
  void albumArtPages() {
    QFETCH(QString, media);
    QFETCH(QString, file);
    QFETCH(QString, picture);
    QFETCH(MediaPlayerTab::Page, pageAtStart);
    QFETCH(MediaPlayerTab::Page, pageWhenLoaded);
    QFETCH(bool, art);
    const QUrl url = place(media, file);
    if (!picture.isEmpty()) {
      QImage image(40, 20, QImage::Format_RGB32);
      image.fill(Qt::blue);
      QVERIFY(image.save(QFileInfo(url.toLocalFile()).dir().filePath(picture)));
    }
    QSignalSpy statuses(tab_->player(), &QMediaPlayer::mediaStatusChanged);
    tab_->play(url);
    QCOMPARE(tab_->currentPage(), pageAtStart);
    QCOMPARE(tab_->visualizer()->albumArt().size(), art ? QSize(40, 20) : QSize(0, 0));
    QVERIFY(reached(statuses, QMediaPlayer::LoadedMedia));
    QCOMPARE(tab_->currentPage(), pageWhenLoaded);
    QCOMPARE(tab_->visualizer()->albumArt().size(), art ? QSize(40, 20) : QSize(0, 0));
  }

  void setAlbumArtReachesPlayingAudioOnly_data() {
    QTest::addColumn<QString>("media");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<bool>("shown");
    QTest::newRow("audio playing") << QStringLiteral("long.wav") << true << true;
    QTest::newRow("video playing") << QStringLiteral("clip.mp4") << true << false;
    QTest::newRow("stopped") << QStringLiteral("long.wav") << false << false;
  }
  void setAlbumArtReachesPlayingAudioOnly() {
    QFETCH(QString, media);
    QFETCH(bool, playing);
    QFETCH(bool, shown);
    QSignalSpy statuses(tab_->player(), &QMediaPlayer::mediaStatusChanged);
    tab_->play(place(media, QStringLiteral("m/") + media));
    QVERIFY(reached(statuses, QMediaPlayer::LoadedMedia));
    if (!playing) {
      tab_->stop();
    }
    QImage image(30, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString picture = home_->filePath(QStringLiteral("art.png"));
    QVERIFY(image.save(picture));
    tab_->setAlbumArt(picture);
    QCOMPARE(!tab_->visualizer()->albumArt().isNull(), shown);
    tab_->setAlbumArt({});
    QVERIFY(tab_->visualizer()->albumArt().isNull());
  }

  void fullscreenRequests_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("double click on the video") << QStringLiteral("video");
    QTest::newRow("double click on the visualizer") << QStringLiteral("visualizer");
    QTest::newRow("full-screen button") << QStringLiteral("button");
  }
  void fullscreenRequests() {
    QFETCH(QString, how);
    QSignalSpy requests(tab_.get(), &MediaPlayerTab::fullscreenRequested);
    auto* button = child<QPushButton>("fullscreenButton");
    if (how == QStringLiteral("button")) {
      QTest::mouseClick(button, Qt::LeftButton);
    } else {
      QWidget* target =
          how == QStringLiteral("video") ? static_cast<QWidget*>(tab_->videoWidget()) : tab_->visualizer();
      QTest::mouseDClick(target, Qt::LeftButton);
    }
    QCOMPARE(requests.size(), 1);
    QVERIFY(!button->isChecked()); // only the host's answer checks it
  }

  void fullscreenHidesControlsAndCursor_data() {
    QTest::addColumn<bool>("before");
    QTest::addColumn<int>("during"); // playlist request in full screen: -1 none, 0 hide, 1 show
    QTest::addColumn<bool>("after");
    QTest::newRow("playlist shown") << true << -1 << true;
    QTest::newRow("playlist hidden") << false << -1 << false;
    QTest::newRow("hidden while full screen") << true << 0 << false;
    QTest::newRow("shown while full screen") << false << 1 << true;
  }
  void fullscreenHidesControlsAndCursor() {
    QFETCH(bool, before);
    QFETCH(int, during);
    QFETCH(bool, after);
    auto* controls = child<QWidget>("controls");
    auto* playlist = child<QListView>("playlistView");
    auto* button = child<QPushButton>("fullscreenButton");
    const QImage normalIcon = imageOf(tab_->style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    tab_->setPlaylistVisible(before);
    QCOMPARE(playlist->isVisible(), before);
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
    if (during >= 0) {
      tab_->setPlaylistVisible(during == 1);
      QVERIFY(!playlist->isVisible());
    }

    tab_->onHostIsFullscreen(false);
    QVERIFY(!button->isChecked());
    QCOMPARE(tab_->layout()->contentsMargins(), margins);
    QVERIFY(controls->isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(playlist->isVisible(), after);
    tab_->onHostIsFullscreen(false); // the host reports other window-state changes too
    QCOMPARE(playlist->isVisible(), after);
    QTest::qWait(50); // no hide timer may still be running: a rest after leaving changes nothing
    QVERIFY(controls->isVisible());
  }

  void playButtonFollowsThePlayer() {
    tab_->addToPlaylist(place(QStringLiteral("long.wav"), QStringLiteral("m/long.wav")), {});
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
  }
};

QTEST_MAIN(TestMediaPlayerTab)
#include "tst_mediaplayertab.moc"
