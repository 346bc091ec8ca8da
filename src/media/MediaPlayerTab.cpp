#include "media/MediaPlayerTab.h"

#include "library/LibraryPaths.h"
#include "library/MovieListModel.h"
#include "media/AudioBufferOutput.h"
#include "media/AudioVisualizer.h"
#include "media/PlaylistFile.h"
#include "media/PlaylistModel.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QVideoWidget>

#include <limits>

namespace arvexhub::launcher {
namespace {

constexpr int playlistWidth = 250;
constexpr int controlsHideDelayMs = 3000;

/// The file's name without its extension, underscores shown as blanks.
QString nameFromFile(const QString& path) {
  const QFileInfo info(path);
  QString name = info.completeBaseName();
  if (name.isEmpty()) {
    name = info.fileName();
  }
  return name.replace(QLatin1Char('_'), QLatin1Char(' '));
}

/// A song of an album shows the picture its folder carries under the folder's own name.
QPixmap albumFolderPicture(const QString& songPath) {
  const QDir folder = QFileInfo(songPath).dir();
  return QPixmap(folder.filePath(folder.dirName() + QStringLiteral(".png")));
}

int clampToInt(qint64 value) {
  return int(qBound(qint64{0}, value, qint64{std::numeric_limits<int>::max()}));
}

} // namespace

MediaPlayerTab::MediaPlayerTab(QWidget* parent, MovieListModel* movieModel)
    : QWidget(parent)
    , movieModel_(movieModel) {
  nameProvider_ = [this]() -> std::optional<QString> {
    bool ok = false;
    const QString name = QInputDialog::getText(
        this, QCoreApplication::translate("MediaPlayerTab", "Save Playlist"),
        QCoreApplication::translate("MediaPlayerTab", "Playlist name:"), QLineEdit::Normal, QString(), &ok);
    return ok ? std::optional<QString>(name) : std::nullopt;
  };
  fileProvider_ = [this](const QString& folder) {
    return QFileDialog::getOpenFileName(
        this, QCoreApplication::translate("MediaPlayerTab", "Load Playlist"), folder,
        QCoreApplication::translate("MediaPlayerTab", "Playlists (*.m3u *.txt)"));
  };
  messageProvider_ = [this](QMessageBox::Icon icon, const QString& title, const QString& text,
                            QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, this);
    return QMessageBox::StandardButton(box.exec());
  };

  playlist_ = new PlaylistModel(this);
  hideTimer_ = new QTimer(this);
  hideTimer_->setSingleShot(true);
  hideTimer_->setInterval(controlsHideDelayMs);
  connect(hideTimer_, &QTimer::timeout, this, &MediaPlayerTab::hideFullscreenControls);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(makeDisplay(), 1);
  layout->addWidget(makeControls());
  connectControls();
}

MediaPlayerTab::~MediaPlayerTab() {
  // The cursor and the event filter are the whole application's: never leave them behind.
  QCoreApplication::instance()->removeEventFilter(this);
  setCursorHidden(false);
}

QWidget* MediaPlayerTab::makeDisplay() {
  visualizer_ = new AudioVisualizer;
  visualizer_->installEventFilter(this);
  displayStack_ = new QStackedWidget;
  // The video page is a blank stand-in until the player is made.
  displayStack_->insertWidget(VideoPage, new QWidget);
  displayStack_->insertWidget(VisualizerPage, visualizer_);

  playlistView_ = new QListView;
  playlistView_->setObjectName(QStringLiteral("playlistView"));
  playlistView_->setModel(playlist_);
  playlistView_->setFixedWidth(playlistWidth);
  playlistView_->setEditTriggers(QAbstractItemView::NoEditTriggers);

  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->addWidget(displayStack_);
  splitter_->addWidget(playlistView_);
  splitter_->setCollapsible(0, false);
  splitter_->setSizes({qMax(0, width() - playlistWidth), playlistWidth});
  savedSplitterState_ = splitter_->saveState();
  return splitter_;
}

QWidget* MediaPlayerTab::makeControls() {
  controls_ = new QWidget(this);
  controls_->setObjectName(QStringLiteral("controls"));
  auto* row = new QHBoxLayout(controls_);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(makeButton(QStyle::SP_DialogOpenButton,
                            QCoreApplication::translate("MediaPlayerTab", "Load Playlist"),
                            QStringLiteral("loadButton"), &MediaPlayerTab::loadPlaylist));
  row->addWidget(makeButton(QStyle::SP_DialogSaveButton,
                            QCoreApplication::translate("MediaPlayerTab", "Save Playlist"),
                            QStringLiteral("saveButton"), &MediaPlayerTab::savePlaylist));
  deleteButton_ = makeButton(QStyle::SP_TrashIcon,
                             QCoreApplication::translate("MediaPlayerTab", "Delete Current Playlist File"),
                             QStringLiteral("deleteButton"), &MediaPlayerTab::removePlaylist);
  deleteButton_->setEnabled(false);
  row->addWidget(deleteButton_);
  row->addSpacing(20);
  row->addWidget(makeButton(QStyle::SP_MediaSkipBackward, {}, QStringLiteral("previousButton"),
                            &MediaPlayerTab::previous));
  playButton_ =
      makeButton(QStyle::SP_MediaPlay, {}, QStringLiteral("playButton"), &MediaPlayerTab::togglePlayback);
  row->addWidget(playButton_);
  row->addWidget(
      makeButton(QStyle::SP_MediaSkipForward, {}, QStringLiteral("nextButton"), &MediaPlayerTab::next));
  positionSlider_ = new QSlider(Qt::Horizontal, controls_);
  positionSlider_->setObjectName(QStringLiteral("positionSlider"));
  row->addWidget(positionSlider_);
  fullscreenButton_ = makeButton(QStyle::SP_TitleBarMaxButton,
                                 QCoreApplication::translate("MediaPlayerTab", "Toggle Fullscreen"),
                                 QStringLiteral("fullscreenButton"), &MediaPlayerTab::requestFullscreen);
  fullscreenButton_->setCheckable(true);
  row->addWidget(fullscreenButton_);
  return controls_;
}

QPushButton* MediaPlayerTab::makeButton(QStyle::StandardPixmap icon, const QString& toolTip,
                                        const QString& name, void (MediaPlayerTab::*onClick)()) {
  auto* button = new QPushButton(style()->standardIcon(icon), QString(), controls_);
  button->setObjectName(name);
  button->setToolTip(toolTip);
  connect(button, &QPushButton::clicked, this, onClick);
  return button;
}

void MediaPlayerTab::requestFullscreen() {
  // The button shows the window's state, which only the host changes.
  fullscreenButton_->setChecked(fullscreen_);
  emit fullscreenRequested();
}

void MediaPlayerTab::connectControls() {
  connect(positionSlider_, &QSlider::sliderMoved, this, &MediaPlayerTab::setPosition);
  connect(playlistView_, &QListView::doubleClicked, this, &MediaPlayerTab::playFromList);
}

QMediaPlayer* MediaPlayerTab::ensurePlayer() {
  if (player_) {
    return player_;
  }
  player_ = new QMediaPlayer(this);
  audioOutput_ = new QAudioOutput(this);
  player_->setAudioOutput(audioOutput_);
  bufferOutput_ = new AudioBufferOutput(player_, this);
  videoWidget_ = new QVideoWidget;
  videoWidget_->installEventFilter(this);
  player_->setVideoOutput(videoWidget_);
  const int page = displayStack_->currentIndex();
  QWidget* standIn = displayStack_->widget(VideoPage);
  displayStack_->removeWidget(standIn);
  standIn->deleteLater();
  displayStack_->insertWidget(VideoPage, videoWidget_);
  displayStack_->setCurrentIndex(page);
  connect(player_, &QMediaPlayer::mediaStatusChanged, this, &MediaPlayerTab::mediaStatusChanged);
  connect(player_, &QMediaPlayer::playbackStateChanged, this, &MediaPlayerTab::handlePlaybackStateChanged);
  connect(player_, &QMediaPlayer::positionChanged, this, &MediaPlayerTab::positionChanged);
  connect(player_, &QMediaPlayer::durationChanged, this, &MediaPlayerTab::durationChanged);
  connect(bufferOutput_, &AudioBufferOutput::audioBufferReceived, visualizer_,
          &AudioVisualizer::processBuffer);
  return player_;
}

void MediaPlayerTab::play(const QUrl& url) {
  stopWithoutArt();
  emptyPlaylist();
  addToPlaylist(url, titleFor(url.toLocalFile()));
  playCurrent();
}

void MediaPlayerTab::stop() {
  stopWithoutArt();
}

void MediaPlayerTab::addToPlaylist(const QUrl& url, const QString& title) {
  if (!url.isValid() || !url.isLocalFile()) {
    return;
  }
  playlist_->append(url, title.isEmpty() ? nameFromFile(url.toLocalFile()) : title);
  if (currentIndex_ < 0) {
    currentIndex_ = 0;
  }
}

void MediaPlayerTab::playCurrent() {
  const QUrl url = playlist_->url(currentIndex_);
  if (url.isEmpty()) {
    return;
  }
  ensurePlayer()->setSource(url);
  player_->play();
  playlistView_->setCurrentIndex(playlist_->index(currentIndex_));
  if (url.path().contains(QStringLiteral("/albums/"))) {
    albumArt_ = albumFolderPicture(url.toLocalFile());
    showVisualizerPage();
  } else {
    albumArt_ = QPixmap();
    showVideoPage();
  }
}

void MediaPlayerTab::clearPlaylist() {
  stopWithoutArt();
  emptyPlaylist();
}

void MediaPlayerTab::stopWithoutArt() {
  if (player_) {
    player_->stop();
  }
  albumArt_ = QPixmap();
  visualizer_->setAlbumArt(albumArt_);
}

void MediaPlayerTab::emptyPlaylist() {
  playlist_->clear();
  currentIndex_ = -1;
  setCurrentPlaylistFile({});
}

void MediaPlayerTab::showVideoPage() {
  displayStack_->setCurrentIndex(VideoPage);
  visualizer_->setAlbumArt(QPixmap());
}

void MediaPlayerTab::showVisualizerPage() {
  displayStack_->setCurrentIndex(VisualizerPage);
  visualizer_->setAlbumArt(albumArt_);
}

QString MediaPlayerTab::titleFor(const QString& path) const {
  return movieModel_ ? movieModel_->movieNameByPath(path) : QString();
}

void MediaPlayerTab::togglePlayback() {
  switch (player_ ? player_->playbackState() : QMediaPlayer::StoppedState) {
  case QMediaPlayer::StoppedState:
    playCurrent();
    break;
  case QMediaPlayer::PausedState:
    player_->play();
    break;
  case QMediaPlayer::PlayingState:
    player_->pause();
    break;
  }
}

void MediaPlayerTab::next() {
  step(1);
}

void MediaPlayerTab::previous() {
  step(-1);
}

void MediaPlayerTab::step(int offset) {
  const int count = playlist_->rowCount();
  if (count == 0) {
    return;
  }
  currentIndex_ = (currentIndex_ + offset + count) % count;
  playCurrent();
}

void MediaPlayerTab::playFromList(const QModelIndex& index) {
  if (!index.isValid() || index.model() != playlist_) {
    return;
  }
  currentIndex_ = index.row();
  playCurrent();
}

void MediaPlayerTab::mediaStatusChanged(QMediaPlayer::MediaStatus status) {
  if (status == QMediaPlayer::EndOfMedia && !playlist_->isEmpty()) {
    // Changing the source from inside the player's own notice is left for the next turn, and
    // skipped if the user started something else meanwhile.
    QTimer::singleShot(0, this, [this] {
      if (player_->mediaStatus() == QMediaPlayer::EndOfMedia) {
        next();
      }
    });
  } else if (status == QMediaPlayer::LoadedMedia) {
    if (player_->hasVideo()) {
      showVideoPage();
    } else {
      showVisualizerPage();
    }
  }
}

void MediaPlayerTab::handlePlaybackStateChanged(QMediaPlayer::PlaybackState state) {
  playButton_->setIcon(style()->standardIcon(state == QMediaPlayer::PlayingState ? QStyle::SP_MediaPause
                                                                                 : QStyle::SP_MediaPlay));
}

void MediaPlayerTab::positionChanged(qint64 position) {
  // The user's drag wins over the player's position until the slider is released.
  if (!positionSlider_->isSliderDown()) {
    positionSlider_->setValue(clampToInt(position));
  }
}

void MediaPlayerTab::durationChanged(qint64 duration) {
  positionSlider_->setRange(0, clampToInt(duration));
}

void MediaPlayerTab::setPosition(int position) {
  if (player_) {
    player_->setPosition(position);
  }
}

void MediaPlayerTab::setAlbumArt(const QString& imagePath) {
  albumArt_ = imagePath.isEmpty() ? QPixmap() : QPixmap(imagePath);
  if (player_ && player_->playbackState() != QMediaPlayer::StoppedState && !player_->hasVideo()) {
    visualizer_->setAlbumArt(albumArt_);
  }
}

QDir MediaPlayerTab::getPlaylistsDir() const {
  QDir folder(LibraryPaths::root() + QStringLiteral("/playlists"));
  folder.mkpath(QStringLiteral("."));
  return folder;
}

void MediaPlayerTab::savePlaylist() {
  if (playlist_->isEmpty()) {
    tell(QMessageBox::Information, QCoreApplication::translate("MediaPlayerTab", "Empty Playlist"),
         QCoreApplication::translate("MediaPlayerTab", "There are no items in the playlist to save."));
    return;
  }
  const std::optional<QString> path = askPlaylistPath();
  if (!path) {
    return;
  }
  if (!PlaylistFile::write(*path, playlist_->urls())) {
    tell(QMessageBox::Warning, QCoreApplication::translate("MediaPlayerTab", "Error"),
         QCoreApplication::translate("MediaPlayerTab", "Could not save playlist to file."));
    return;
  }
  setCurrentPlaylistFile(*path);
}

std::optional<QString> MediaPlayerTab::askPlaylistPath() {
  const std::optional<QString> answer = nameProvider_ ? nameProvider_() : std::nullopt;
  if (!answer) {
    return std::nullopt;
  }
  const QString name = answer->trimmed();
  if (!PlaylistFile::isValidName(name)) {
    tell(QMessageBox::Warning, QCoreApplication::translate("MediaPlayerTab", "Invalid Playlist Name"),
         QCoreApplication::translate("MediaPlayerTab",
                                     "A playlist name must be a single file name: not empty, not \".\" or "
                                     "\"..\", and without \"/\" or \"\\\"."));
    return std::nullopt;
  }
  const QString path = getPlaylistsDir().filePath(name + PlaylistFile::suffix());
  if (QFileInfo::exists(path) &&
      tell(QMessageBox::Question, QCoreApplication::translate("MediaPlayerTab", "Confirm Overwrite"),
           QCoreApplication::translate("MediaPlayerTab",
                                       "Playlist '%1' already exists. Do you want to overwrite it?")
               .arg(name),
           QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
    return std::nullopt;
  }
  return path;
}

void MediaPlayerTab::loadPlaylist() {
  const QString path = fileProvider_ ? fileProvider_(getPlaylistsDir().absolutePath()) : QString();
  if (path.isEmpty()) {
    return;
  }
  const auto entries = PlaylistFile::read(path);
  if (!entries) {
    tell(QMessageBox::Warning, QCoreApplication::translate("MediaPlayerTab", "Error"),
         QCoreApplication::translate("MediaPlayerTab", "Could not open the selected playlist file."));
    return;
  }
  stopWithoutArt();
  playlist_->clear();
  currentIndex_ = -1;
  for (const PlaylistEntry& entry : *entries) {
    addToPlaylist(entry.url, entry.title.isEmpty() ? titleFor(entry.url.toLocalFile()) : entry.title);
  }
  // Only our own folder's files can be deleted from here: nothing outside the library is removed.
  setCurrentPlaylistFile(isInPlaylistsFolder(path) ? path : QString());
  playCurrent();
}

void MediaPlayerTab::removePlaylist() {
  if (currentPlaylistFile_.isEmpty() || !QFileInfo::exists(currentPlaylistFile_) ||
      !isInPlaylistsFolder(currentPlaylistFile_)) {
    tell(QMessageBox::Warning, QCoreApplication::translate("MediaPlayerTab", "No Playlist Loaded"),
         QCoreApplication::translate("MediaPlayerTab", "There is no playlist file loaded to remove."));
    return;
  }
  QFile file(currentPlaylistFile_);
  const QString question = QCoreApplication::translate(
      "MediaPlayerTab", "Are you sure you want to permanently delete the playlist file '%1' from your disk?");
  if (tell(QMessageBox::Question, QCoreApplication::translate("MediaPlayerTab", "Confirm Deletion"),
           question.arg(QFileInfo(file).fileName()),
           QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
    return;
  }
  if (!file.remove()) {
    tell(QMessageBox::Critical, QCoreApplication::translate("MediaPlayerTab", "Error"),
         QCoreApplication::translate("MediaPlayerTab", "Failed to delete the playlist file. Error: %1")
             .arg(file.errorString()));
    return;
  }
  tell(QMessageBox::Information, QCoreApplication::translate("MediaPlayerTab", "Success"),
       QCoreApplication::translate("MediaPlayerTab", "Playlist file deleted successfully."));
  clearPlaylist();
}

void MediaPlayerTab::setCurrentPlaylistFile(const QString& path) {
  currentPlaylistFile_ = path;
  deleteButton_->setEnabled(!path.isEmpty());
}

bool MediaPlayerTab::isInPlaylistsFolder(const QString& path) const {
  const QString folder = getPlaylistsDir().canonicalPath();
  return !folder.isEmpty() && QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath() == folder;
}

QMessageBox::StandardButton MediaPlayerTab::tell(QMessageBox::Icon icon, const QString& title,
                                                 const QString& text, QMessageBox::StandardButtons buttons) {
  return messageProvider_ ? messageProvider_(icon, title, text, buttons) : QMessageBox::NoButton;
}

void MediaPlayerTab::setPlaylistVisible(bool visible) {
  if (visible == !playlistView_->isHidden()) {
    return;
  }
  if (visible) {
    playlistView_->show();
    if (!savedSplitterState_.isEmpty()) {
      splitter_->restoreState(savedSplitterState_);
    }
  } else {
    savedSplitterState_ = splitter_->saveState();
    playlistView_->hide();
  }
}

void MediaPlayerTab::onHostIsFullscreen(bool isFullscreen) {
  fullscreenButton_->setChecked(isFullscreen);
  // The host reports every change of its window state, not only those into or out of full screen.
  if (isFullscreen == fullscreen_) {
    return;
  }
  fullscreen_ = isFullscreen;
  fullscreenButton_->setIcon(
      style()->standardIcon(isFullscreen ? QStyle::SP_TitleBarNormalButton : QStyle::SP_TitleBarMaxButton));
  // Edge to edge in full screen; the style's margins otherwise.
  const int margin = isFullscreen ? 0 : -1;
  layout()->setContentsMargins(margin, margin, margin, margin);
  if (isFullscreen) {
    setPlaylistVisible(false);
    QCoreApplication::instance()->installEventFilter(this);
    hideTimer_->start();
  } else {
    QCoreApplication::instance()->removeEventFilter(this);
    hideTimer_->stop();
    showFullscreenControls();
    setPlaylistVisible(true);
  }
}

void MediaPlayerTab::hideFullscreenControls() {
  if (!fullscreen_ || !isVisible()) {
    return;
  }
  controls_->hide();
  setCursorHidden(true);
}

void MediaPlayerTab::showFullscreenControls() {
  controls_->show();
  setCursorHidden(false);
}

void MediaPlayerTab::setCursorHidden(bool hidden) {
  if (hidden == cursorHidden_) {
    return;
  }
  cursorHidden_ = hidden;
  if (hidden) {
    QGuiApplication::setOverrideCursor(Qt::BlankCursor);
  } else {
    QGuiApplication::restoreOverrideCursor();
  }
}

bool MediaPlayerTab::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick && (watched == videoWidget_ || watched == visualizer_)) {
    emit fullscreenRequested();
    return true;
  }
  if (fullscreen_ && event->type() == QEvent::MouseMove) {
    showFullscreenControls();
    hideTimer_->start();
  }
  return QWidget::eventFilter(watched, event);
}

PlaylistModel* MediaPlayerTab::playlistModel() const {
  return playlist_;
}

int MediaPlayerTab::currentIndex() const {
  return currentIndex_;
}

QString MediaPlayerTab::currentPlaylistFile() const {
  return currentPlaylistFile_;
}

QMediaPlayer* MediaPlayerTab::player() {
  return ensurePlayer();
}

AudioVisualizer* MediaPlayerTab::visualizer() const {
  return visualizer_;
}

QVideoWidget* MediaPlayerTab::videoWidget() {
  ensurePlayer();
  return videoWidget_;
}

MediaPlayerTab::Page MediaPlayerTab::currentPage() const {
  return Page(displayStack_->currentIndex());
}

void MediaPlayerTab::setPlaylistNameProvider(PlaylistNameProvider provider) {
  nameProvider_ = std::move(provider);
}

void MediaPlayerTab::setPlaylistFileProvider(PlaylistFileProvider provider) {
  fileProvider_ = std::move(provider);
}

void MediaPlayerTab::setMessageProvider(MessageProvider provider) {
  messageProvider_ = std::move(provider);
}

void MediaPlayerTab::setControlsHideDelay(int milliseconds) {
  hideTimer_->setInterval(milliseconds);
}

} // namespace arvexhub::launcher
