#pragma once

#include <QByteArray>
#include <QDir>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QStyle>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

class QAudioOutput;
class QHBoxLayout;
class QLabel;
class QListView;
class QModelIndex;
class QMouseEvent;
class QPushButton;
class QSlider;
class QSplitter;
class QStackedWidget;
class QTimer;
class QVideoWidget;

namespace arvexhub::launcher {

class AudioBufferOutput;
class AudioVisualizer;
class MovieListModel;
class PlaylistModel;
class Preferences;

/// The music and movie tab: plays local files from a playlist that repeats endlessly, shows a
/// movie's video or, for audio, the visualizer over the album's picture, and saves and loads
/// playlists as ".m3u" files in the library's playlists folder.
class MediaPlayerTab final : public QWidget {
  Q_OBJECT

public:
  /// Asks for the name of a playlist to save; nothing when the user cancels.
  using PlaylistNameProvider = std::function<std::optional<QString>()>;
  /// Asks for a playlist file to load, starting in the given folder; empty when cancelled.
  using PlaylistFileProvider = std::function<QString(const QString& folder)>;
  /// Shows a message with the given buttons and returns the one the user chose.
  using MessageProvider =
      std::function<QMessageBox::StandardButton(QMessageBox::Icon icon, const QString& title,
                                                const QString& text, QMessageBox::StandardButtons buttons)>;

  /// Pages of the display stack.
  enum Page { VideoPage = 0, VisualizerPage = 1 };

  MediaPlayerTab(QWidget* parent, MovieListModel* movieModel);
  ~MediaPlayerTab() override;
  Q_DISABLE_COPY_MOVE(MediaPlayerTab)

  /// Replaces the playlist with this one file and plays it.
  void play(const QUrl& url);
  /// Stops playback; the playlist stays.
  void stop();
  /// Appends a local file; an empty title becomes the file's name. Playback is left alone.
  void addToPlaylist(const QUrl& url, const QString& title);
  void playCurrent();
  void clearPlaylist();
  void setPlaylistVisible(bool visible);
  /// "<home>/.arvexhub/playlists", created when missing.
  QDir getPlaylistsDir() const;

  PlaylistModel* playlistModel() const;
  /// The entry playing or to play; -1 while the playlist is empty.
  int currentIndex() const;
  /// The playlist file in use (saved or loaded here); empty when none.
  QString currentPlaylistFile() const;
  /// The player, made on first use: starting the media framework is the costliest part of
  /// opening the window, so it waits until something is played.
  QMediaPlayer* player();
  AudioVisualizer* visualizer() const;
  QVideoWidget* videoWidget();
  Page currentPage() const;

  void setPlaylistNameProvider(PlaylistNameProvider provider);
  void setPlaylistFileProvider(PlaylistFileProvider provider);
  void setMessageProvider(MessageProvider provider);
  /// How long the controls stay in full screen without mouse movement (3000 ms by default).
  void setControlsHideDelay(int milliseconds);

  /// Where the volume and the mute switch are kept; they are read at once and written on change.
  void setPreferences(Preferences* preferences);
  /// The keys the tab answers while it has the focus, as (key, what it does) pairs for the user.
  static QList<std::pair<QString, QString>> keyList();
  /// "1:05 / 3:42", with hours for a total of an hour or more ("0:01:05 / 1:02:05").
  static QString timeText(qint64 elapsedMs, qint64 totalMs);

  QMediaPlayer::PlaybackState playbackState() const;
  qint64 position() const;
  qint64 duration() const;
  /// The title and file of the current entry; empty while the playlist is empty.
  QString currentTitle() const;
  QUrl currentUrl() const;
  /// The picture shown for the current song; empty when there is none.
  QString albumArtPath() const;
  /// Volume in percent, 0 to 100.
  int volume() const;
  void setVolume(int percent);
  bool isMuted() const;
  void setMuted(bool muted);
  /// Moves the playback position to `milliseconds` (clamped to the media) or by `offset`.
  void seekTo(qint64 milliseconds);
  void seekBy(qint64 offset);

signals:
  void fullscreenRequested();
  void playbackStateChanged(QMediaPlayer::PlaybackState state);
  /// The current entry, its length or its picture changed.
  void metadataChanged();
  void volumeChanged();
  /// The user or a remote control moved the position.
  void seeked(qint64 position);

public slots:
  void onHostIsFullscreen(bool isFullscreen);
  void setAlbumArt(const QString& imagePath);
  void savePlaylist();
  void loadPlaylist();
  void removePlaylist();
  void togglePlayback();
  void next();
  void previous();
  void playFromList(const QModelIndex& index);
  void mediaStatusChanged(QMediaPlayer::MediaStatus status);
  void handlePlaybackStateChanged(QMediaPlayer::PlaybackState state);
  void positionChanged(qint64 position);
  void durationChanged(qint64 duration);
  void setPosition(int position);
  void hideFullscreenControls();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  enum class KeyAction : int;

  QWidget* makeDisplay();
  QWidget* makeControls();
  void addSliders(QHBoxLayout* row);
  QPushButton* makeButton(QStyle::StandardPixmap icon, const QString& toolTip, const QString& name,
                          void (MediaPlayerTab::*onClick)());
  void requestFullscreen();
  void connectControls();
  QMediaPlayer* ensurePlayer();
  void stopWithoutArt();
  void emptyPlaylist();
  void showVideoPage();
  void showVisualizerPage();
  void step(int offset);
  QString titleFor(const QString& path) const;
  void setCurrentPlaylistFile(const QString& path);
  bool isInPlaylistsFolder(const QString& path) const;
  std::optional<QString> askPlaylistPath();
  QMessageBox::StandardButton tell(QMessageBox::Icon icon, const QString& title, const QString& text,
                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok);
  void showFullscreenControls();
  void setCursorHidden(bool hidden);
  void addKeys();
  void runKey(KeyAction action);
  QString keyTip(KeyAction action) const;
  void leaveFullscreen();
  void applyVolume();
  void updateTimeLabel(qint64 elapsedMs);
  bool seekOnGroove(QMouseEvent* event);

  QPointer<MovieListModel> movieModel_;
  QMediaPlayer* player_{nullptr};
  QAudioOutput* audioOutput_{nullptr};
  AudioBufferOutput* bufferOutput_{nullptr};
  QStackedWidget* displayStack_{nullptr};
  QVideoWidget* videoWidget_{nullptr};
  AudioVisualizer* visualizer_{nullptr};
  PlaylistModel* playlist_{nullptr};
  QListView* playlistView_{nullptr};
  QSplitter* splitter_{nullptr};
  QByteArray savedSplitterState_;
  QWidget* controls_{nullptr};
  QPushButton* deleteButton_{nullptr};
  QPushButton* playButton_{nullptr};
  QPushButton* fullscreenButton_{nullptr};
  QSlider* positionSlider_{nullptr};
  QLabel* timeLabel_{nullptr};
  QPushButton* muteButton_{nullptr};
  QSlider* volumeSlider_{nullptr};
  QPointer<Preferences> preferences_;
  QString albumArtPath_;
  QTimer* hideTimer_{nullptr};
  int currentIndex_{-1};
  QString currentPlaylistFile_;
  QPixmap albumArt_;
  bool fullscreen_{false};
  bool cursorHidden_{false};
  PlaylistNameProvider nameProvider_;
  PlaylistFileProvider fileProvider_;
  MessageProvider messageProvider_;
};

} // namespace arvexhub::launcher
