#include "media/MediaPlayerTab.h"

#include "app/Preferences.h"
#include "library/LibraryPaths.h"
#include "library/MovieListModel.h"
#include "media/AudioBufferOutput.h"
#include "media/AudioVisualizer.h"
#include "media/PlaylistFile.h"
#include "media/PlaylistModel.h"

#include <QApplication>
#include <QAudio>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSlider>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <QVideoWidget>

#include <limits>

namespace arvexhub::launcher {
namespace {

constexpr int playlistWidth = 250;
constexpr int controlsHideDelayMs = 3000;
constexpr qint64 shortSeekMs = 5000;
constexpr qint64 longSeekMs = 30000;
constexpr int volumeStep = 5;
constexpr int volumeSliderWidth = 100;
const char* const context = "MediaPlayerTab";

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
QString albumFolderPicture(const QString& songPath) {
  const QDir folder = QFileInfo(songPath).dir();
  const QString picture = folder.filePath(folder.dirName() + QStringLiteral(".png"));
  return QFileInfo::exists(picture) ? picture : QString();
}

int clampToInt(qint64 value) {
  return int(qBound(qint64{0}, value, qint64{std::numeric_limits<int>::max()}));
}

/// "1:05", or "0:01:05" when hours are shown.
QString clockText(qint64 milliseconds, bool withHours) {
  const qint64 seconds = qMax(qint64{0}, milliseconds) / 1000;
  const QLatin1Char zero('0');
  const QString minutesAndSeconds =
      QStringLiteral("%1:%2")
          .arg(withHours ? seconds / 60 % 60 : seconds / 60, withHours ? 2 : 1, 10, zero)
          .arg(seconds % 60, 2, 10, zero);
  return withHours ? QStringLiteral("%1:%2").arg(seconds / 3600).arg(minutesAndSeconds) : minutesAndSeconds;
}

/// The slider's geometry as its style sees it.
QStyleOptionSlider sliderOption(const QSlider* slider) {
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.orientation = slider->orientation();
  option.minimum = slider->minimum();
  option.maximum = slider->maximum();
  option.sliderPosition = slider->sliderPosition();
  option.sliderValue = slider->value();
  option.upsideDown = slider->invertedAppearance() != (slider->layoutDirection() == Qt::RightToLeft);
  option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
  return option;
}

} // namespace

/// What the player's keys do, in the order the user sees them listed.
enum class MediaPlayerTab::KeyAction : int {
  PlayPause,
  Back,
  Forward,
  LongBack,
  LongForward,
  VolumeUp,
  VolumeDown,
  Mute,
  Fullscreen,
  LeaveFullscreen,
  Next,
  Previous,
};

namespace {

struct PlayerKey {
  QKeyCombination key;
  const char* text;
};

/// Indexed by `KeyAction`.
const PlayerKey playerKeys[] = {
    {QKeyCombination(Qt::Key_Space), QT_TRANSLATE_NOOP("MediaPlayerTab", "Play or pause")},
    {QKeyCombination(Qt::Key_Left), QT_TRANSLATE_NOOP("MediaPlayerTab", "Back 5 seconds")},
    {QKeyCombination(Qt::Key_Right), QT_TRANSLATE_NOOP("MediaPlayerTab", "Forward 5 seconds")},
    {Qt::SHIFT | Qt::Key_Left, QT_TRANSLATE_NOOP("MediaPlayerTab", "Back 30 seconds")},
    {Qt::SHIFT | Qt::Key_Right, QT_TRANSLATE_NOOP("MediaPlayerTab", "Forward 30 seconds")},
    {QKeyCombination(Qt::Key_Up), QT_TRANSLATE_NOOP("MediaPlayerTab", "Volume up")},
    {QKeyCombination(Qt::Key_Down), QT_TRANSLATE_NOOP("MediaPlayerTab", "Volume down")},
    {QKeyCombination(Qt::Key_M), QT_TRANSLATE_NOOP("MediaPlayerTab", "Mute or unmute")},
    {QKeyCombination(Qt::Key_F),
     QT_TRANSLATE_NOOP("MediaPlayerTab", "Full screen (or double click the picture)")},
    {QKeyCombination(Qt::Key_Escape), QT_TRANSLATE_NOOP("MediaPlayerTab", "Leave full screen")},
    {QKeyCombination(Qt::Key_N), QT_TRANSLATE_NOOP("MediaPlayerTab", "Next")},
    {QKeyCombination(Qt::Key_P), QT_TRANSLATE_NOOP("MediaPlayerTab", "Previous")},
};

QString keyText(QKeyCombination key) {
  return QKeySequence(key).toString(QKeySequence::NativeText);
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
  // The keys work while the focus is anywhere in the tab, the tab itself included.
  setFocusPolicy(Qt::StrongFocus);
  addKeys();
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
  row->addWidget(makeButton(QStyle::SP_MediaSkipBackward, keyTip(KeyAction::Previous),
                            QStringLiteral("previousButton"), &MediaPlayerTab::previous));
  playButton_ = makeButton(QStyle::SP_MediaPlay, keyTip(KeyAction::PlayPause), QStringLiteral("playButton"),
                           &MediaPlayerTab::togglePlayback);
  row->addWidget(playButton_);
  row->addWidget(makeButton(QStyle::SP_MediaSkipForward, keyTip(KeyAction::Next),
                            QStringLiteral("nextButton"), &MediaPlayerTab::next));
  addSliders(row);
  fullscreenButton_ = makeButton(
      QStyle::SP_TitleBarMaxButton,
      QStringLiteral("%1 (%2)").arg(QCoreApplication::translate("MediaPlayerTab", "Toggle Fullscreen"),
                                    keyText(playerKeys[int(KeyAction::Fullscreen)].key)),
      QStringLiteral("fullscreenButton"), &MediaPlayerTab::requestFullscreen);
  fullscreenButton_->setCheckable(true);
  row->addWidget(fullscreenButton_);
  return controls_;
}

void MediaPlayerTab::addSliders(QHBoxLayout* row) {
  positionSlider_ = new QSlider(Qt::Horizontal, controls_);
  positionSlider_->setObjectName(QStringLiteral("positionSlider"));
  const char* const seekTip = QT_TRANSLATE_NOOP(
      "MediaPlayerTab", "Click or drag to seek; %1 and %2 move by 5 seconds, with Shift by 30 seconds");
  positionSlider_->setToolTip(QCoreApplication::translate(context, seekTip)
                                  .arg(keyText(playerKeys[int(KeyAction::Back)].key),
                                       keyText(playerKeys[int(KeyAction::Forward)].key)));
  positionSlider_->installEventFilter(this);
  row->addWidget(positionSlider_, 1);
  timeLabel_ = new QLabel(timeText(0, 0), controls_);
  timeLabel_->setObjectName(QStringLiteral("timeLabel"));
  row->addWidget(timeLabel_);
  row->addSpacing(12);
  muteButton_ =
      makeButton(QStyle::SP_MediaVolume, keyTip(KeyAction::Mute), QStringLiteral("muteButton"), nullptr);
  muteButton_->setCheckable(true);
  row->addWidget(muteButton_);
  volumeSlider_ = new QSlider(Qt::Horizontal, controls_);
  volumeSlider_->setObjectName(QStringLiteral("volumeSlider"));
  volumeSlider_->setRange(0, 100);
  volumeSlider_->setValue(100);
  volumeSlider_->setFixedWidth(volumeSliderWidth);
  volumeSlider_->setToolTip(QCoreApplication::translate("MediaPlayerTab", "Volume (%1 and %2)")
                                .arg(keyText(playerKeys[int(KeyAction::VolumeUp)].key),
                                     keyText(playerKeys[int(KeyAction::VolumeDown)].key)));
  row->addWidget(volumeSlider_);
}

QPushButton* MediaPlayerTab::makeButton(QStyle::StandardPixmap icon, const QString& toolTip,
                                        const QString& name, void (MediaPlayerTab::*onClick)()) {
  auto* button = new QPushButton(style()->standardIcon(icon), QString(), controls_);
  button->setObjectName(name);
  button->setToolTip(toolTip);
  if (onClick) {
    connect(button, &QPushButton::clicked, this, onClick);
  }
  return button;
}

void MediaPlayerTab::requestFullscreen() {
  // The button shows the window's state, which only the host changes.
  fullscreenButton_->setChecked(fullscreen_);
  emit fullscreenRequested();
}

void MediaPlayerTab::connectControls() {
  // A drag only moves the time shown; the player seeks once, where the handle is let go, so
  // the picture and the sound do not stutter through every step of the way.
  connect(positionSlider_, &QSlider::sliderMoved, this, &MediaPlayerTab::updateTimeLabel);
  connect(positionSlider_, &QSlider::sliderReleased, this, [this] { setPosition(positionSlider_->value()); });
  connect(playlistView_, &QListView::doubleClicked, this, &MediaPlayerTab::playFromList);
  connect(volumeSlider_, &QSlider::valueChanged, this, [this](int percent) {
    applyVolume();
    if (preferences_) {
      preferences_->setPlayerVolume(percent);
    }
    emit volumeChanged();
  });
  connect(muteButton_, &QPushButton::toggled, this, [this](bool muted) {
    muteButton_->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    applyVolume();
    if (preferences_) {
      preferences_->setPlayerMuted(muted);
    }
    emit volumeChanged();
  });
}

void MediaPlayerTab::addKeys() {
  for (int action = 0; action < int(std::size(playerKeys)); ++action) {
    auto* shortcut = new QShortcut(QKeySequence(playerKeys[action].key), this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, action] { runKey(KeyAction(action)); });
  }
}

void MediaPlayerTab::runKey(KeyAction action) {
  switch (action) {
  case KeyAction::PlayPause:
    return togglePlayback();
  case KeyAction::Back:
  case KeyAction::Forward:
    return seekBy(action == KeyAction::Back ? -shortSeekMs : shortSeekMs);
  case KeyAction::LongBack:
  case KeyAction::LongForward:
    return seekBy(action == KeyAction::LongBack ? -longSeekMs : longSeekMs);
  case KeyAction::VolumeUp:
  case KeyAction::VolumeDown:
    return setVolume(volume() + (action == KeyAction::VolumeUp ? volumeStep : -volumeStep));
  case KeyAction::Mute:
    return setMuted(!isMuted());
  case KeyAction::Fullscreen:
    return requestFullscreen();
  case KeyAction::LeaveFullscreen:
    return leaveFullscreen();
  case KeyAction::Next:
    return next();
  case KeyAction::Previous:
    return previous();
  }
}

QString MediaPlayerTab::keyTip(KeyAction action) const {
  const PlayerKey& key = playerKeys[int(action)];
  return QStringLiteral("%1 (%2)").arg(QCoreApplication::translate(context, key.text), keyText(key.key));
}

QList<std::pair<QString, QString>> MediaPlayerTab::keyList() {
  QList<std::pair<QString, QString>> keys;
  for (const PlayerKey& key : playerKeys) {
    keys.append({keyText(key.key), QCoreApplication::translate(context, key.text)});
  }
  return keys;
}

void MediaPlayerTab::leaveFullscreen() {
  if (fullscreen_) {
    emit fullscreenRequested();
  }
}

QMediaPlayer* MediaPlayerTab::ensurePlayer() {
  if (player_) {
    return player_;
  }
  player_ = new QMediaPlayer(this);
  audioOutput_ = new QAudioOutput(this);
  player_->setAudioOutput(audioOutput_);
  applyVolume();
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
    albumArtPath_ = albumFolderPicture(url.toLocalFile());
    albumArt_ = QPixmap(albumArtPath_);
    showVisualizerPage();
  } else {
    albumArtPath_.clear();
    albumArt_ = QPixmap();
    showVideoPage();
  }
  emit metadataChanged();
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
  albumArtPath_.clear();
  visualizer_->setAlbumArt(albumArt_);
}

void MediaPlayerTab::emptyPlaylist() {
  playlist_->clear();
  currentIndex_ = -1;
  setCurrentPlaylistFile({});
  emit metadataChanged();
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
  emit playbackStateChanged(state);
}

void MediaPlayerTab::positionChanged(qint64 position) {
  // The user's drag wins over the player's position until the slider is released.
  if (!positionSlider_->isSliderDown()) {
    positionSlider_->setValue(clampToInt(position));
    updateTimeLabel(position);
  }
}

void MediaPlayerTab::durationChanged(qint64 duration) {
  positionSlider_->setRange(0, clampToInt(duration));
  // Room for the longest text of this length, so the slider does not shift as the time runs.
  QString widest = timeText(duration, duration);
  widest.replace(QRegularExpression(QStringLiteral("\\d")), QStringLiteral("0"));
  timeLabel_->setMinimumWidth(timeLabel_->fontMetrics().horizontalAdvance(widest));
  updateTimeLabel(positionSlider_->value());
  emit metadataChanged();
}

void MediaPlayerTab::setPosition(int position) {
  seekTo(position);
}

void MediaPlayerTab::seekTo(qint64 milliseconds) {
  if (!player_ || player_->source().isEmpty()) {
    return;
  }
  // A length not known yet bounds nothing.
  const qint64 end = player_->duration();
  const qint64 position = end > 0 ? qBound(qint64{0}, milliseconds, end) : qMax(qint64{0}, milliseconds);
  player_->setPosition(position);
  // Shown at once: a paused player reports no position until it plays again.
  positionChanged(position);
  emit seeked(position);
}

void MediaPlayerTab::seekBy(qint64 offset) {
  seekTo(position() + offset);
}

void MediaPlayerTab::updateTimeLabel(qint64 elapsedMs) {
  timeLabel_->setText(timeText(elapsedMs, positionSlider_->maximum()));
}

QString MediaPlayerTab::timeText(qint64 elapsedMs, qint64 totalMs) {
  constexpr qint64 hourMs = 3600 * 1000;
  const bool withHours = qMax(elapsedMs, totalMs) >= hourMs;
  return clockText(elapsedMs, withHours) + QStringLiteral(" / ") + clockText(totalMs, withHours);
}

void MediaPlayerTab::setAlbumArt(const QString& imagePath) {
  albumArtPath_ = imagePath;
  albumArt_ = imagePath.isEmpty() ? QPixmap() : QPixmap(imagePath);
  if (player_ && player_->playbackState() != QMediaPlayer::StoppedState && !player_->hasVideo()) {
    visualizer_->setAlbumArt(albumArt_);
  }
  emit metadataChanged();
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
  // Keys keep working with the controls gone: the focus stays in the tab.
  if (controls_->isAncestorOf(QApplication::focusWidget())) {
    setFocus(Qt::OtherFocusReason);
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
  const bool onPicture = watched == videoWidget_ || watched == visualizer_;
  if (event->type() == QEvent::MouseButtonDblClick && onPicture) {
    emit fullscreenRequested();
    return true;
  }
  if (event->type() == QEvent::MouseButtonPress && onPicture) {
    setFocus(Qt::MouseFocusReason); // a click on the picture gives the keys to the player
  }
  if (event->type() == QEvent::MouseButtonPress && watched == positionSlider_) {
    return seekOnGroove(static_cast<QMouseEvent*>(event));
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

bool MediaPlayerTab::seekOnGroove(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || positionSlider_->maximum() <= 0) {
    return false;
  }
  const QStyleOptionSlider option = sliderOption(positionSlider_);
  QStyle* sliderStyle = positionSlider_->style();
  const QRect handle =
      sliderStyle->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, positionSlider_);
  const QPoint point = event->position().toPoint();
  if (handle.contains(point)) {
    return false; // the handle drags as usual
  }
  // A click beside the handle jumps right there instead of stepping a page towards it.
  const QRect groove =
      sliderStyle->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, positionSlider_);
  const int value = QStyle::sliderValueFromPosition(option.minimum, option.maximum,
                                                    point.x() - groove.x() - handle.width() / 2,
                                                    groove.width() - handle.width(), option.upsideDown);
  positionSlider_->setValue(value);
  updateTimeLabel(value);
  seekTo(value);
  return true;
}

void MediaPlayerTab::setPreferences(Preferences* preferences) {
  preferences_ = preferences;
  if (preferences) {
    setVolume(preferences->playerVolume());
    setMuted(preferences->playerMuted());
  }
}

QMediaPlayer::PlaybackState MediaPlayerTab::playbackState() const {
  return player_ ? player_->playbackState() : QMediaPlayer::StoppedState;
}

qint64 MediaPlayerTab::position() const {
  return player_ ? player_->position() : 0;
}

qint64 MediaPlayerTab::duration() const {
  return player_ ? player_->duration() : 0;
}

QString MediaPlayerTab::currentTitle() const {
  return currentIndex_ >= 0 ? playlist_->title(currentIndex_) : QString();
}

QUrl MediaPlayerTab::currentUrl() const {
  return playlist_->url(currentIndex_);
}

QString MediaPlayerTab::albumArtPath() const {
  return albumArtPath_;
}

int MediaPlayerTab::volume() const {
  return volumeSlider_->value();
}

void MediaPlayerTab::setVolume(int percent) {
  volumeSlider_->setValue(percent);
}

bool MediaPlayerTab::isMuted() const {
  return muteButton_->isChecked();
}

void MediaPlayerTab::setMuted(bool muted) {
  muteButton_->setChecked(muted);
}

void MediaPlayerTab::applyVolume() {
  if (audioOutput_) {
    // The slider follows the ear: its middle sounds half as loud, not a quarter.
    audioOutput_->setVolume(float(
        QAudio::convertVolume(volume() / 100.0, QAudio::LogarithmicVolumeScale, QAudio::LinearVolumeScale)));
    audioOutput_->setMuted(isMuted());
  }
}

} // namespace arvexhub::launcher
