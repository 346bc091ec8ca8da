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
class QListView;
class QModelIndex;
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

signals:
  void fullscreenRequested();

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
  QWidget* makeDisplay();
  QWidget* makeControls();
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
