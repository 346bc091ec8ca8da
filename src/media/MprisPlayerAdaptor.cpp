#include "media/MprisPlayerAdaptor.h"

#include "media/MediaPlayerTab.h"
#include "media/MprisService.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace arvexhub::launcher {
namespace {

const QString interfaceName = QStringLiteral("org.mpris.MediaPlayer2.Player");
constexpr qint64 microsecondsPerMs = 1000;

} // namespace

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service)
    , service_(service) {
  MediaPlayerTab* player = service->player();
  connect(player, &MediaPlayerTab::playbackStateChanged, this, [this] {
    service_->announce(interfaceName, {{QStringLiteral("PlaybackStatus"), playbackStatus()},
                                       {QStringLiteral("CanSeek"), canSeek()}});
  });
  connect(player, &MediaPlayerTab::metadataChanged, this, &MprisPlayerAdaptor::announceTrack);
  connect(player, &MediaPlayerTab::volumeChanged, this, [this] {
    service_->announce(interfaceName, {{QStringLiteral("Volume"), volume()}});
  });
  connect(player, &MediaPlayerTab::seeked, this,
          [this](qint64 position) { emit Seeked(position * microsecondsPerMs); });
}

MprisPlayerAdaptor::~MprisPlayerAdaptor() = default;

void MprisPlayerAdaptor::announceTrack() {
  const bool entries = hasEntries();
  service_->announce(interfaceName, {{QStringLiteral("Metadata"), metadata()},
                                     {QStringLiteral("CanGoNext"), entries},
                                     {QStringLiteral("CanGoPrevious"), entries},
                                     {QStringLiteral("CanPlay"), entries},
                                     {QStringLiteral("CanPause"), entries},
                                     {QStringLiteral("CanSeek"), canSeek()}});
}

QString MprisPlayerAdaptor::playbackStatus() const {
  MediaPlayerTab* player = service_->player();
  switch (player ? player->playbackState() : QMediaPlayer::StoppedState) {
  case QMediaPlayer::PlayingState:
    return QStringLiteral("Playing");
  case QMediaPlayer::PausedState:
    return QStringLiteral("Paused");
  case QMediaPlayer::StoppedState:
    break;
  }
  return QStringLiteral("Stopped");
}

// Playback runs at its normal speed only; a rate asked for is ignored.
double MprisPlayerAdaptor::rate() const {
  return 1.0;
}

void MprisPlayerAdaptor::setRate(double rate) {
  Q_UNUSED(rate)
}

QDBusObjectPath MprisPlayerAdaptor::trackId() const {
  MediaPlayerTab* player = service_->player();
  if (!player || player->currentIndex() < 0) {
    return QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
  }
  return QDBusObjectPath(
      QStringLiteral("/org/mpris/MediaPlayer2/arvexhub/track/%1").arg(player->currentIndex()));
}

QVariantMap MprisPlayerAdaptor::metadata() const {
  QVariantMap map{{QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId())}};
  MediaPlayerTab* player = service_->player();
  if (!player || player->currentIndex() < 0) {
    return map;
  }
  map.insert(QStringLiteral("xesam:title"), player->currentTitle());
  map.insert(QStringLiteral("xesam:url"), player->currentUrl().toString());
  if (player->duration() > 0) {
    map.insert(QStringLiteral("mpris:length"), qlonglong(player->duration() * microsecondsPerMs));
  }
  if (!player->albumArtPath().isEmpty()) {
    map.insert(QStringLiteral("mpris:artUrl"), QUrl::fromLocalFile(player->albumArtPath()).toString());
  }
  return map;
}

double MprisPlayerAdaptor::volume() const {
  MediaPlayerTab* player = service_->player();
  return player && !player->isMuted() ? player->volume() / 100.0 : 0.0;
}

void MprisPlayerAdaptor::setVolume(double volume) {
  if (MediaPlayerTab* player = service_->player()) {
    player->setVolume(qRound(qBound(0.0, volume, 1.0) * 100));
    player->setMuted(false);
  }
}

qlonglong MprisPlayerAdaptor::position() const {
  MediaPlayerTab* player = service_->player();
  return player ? player->position() * microsecondsPerMs : 0;
}

bool MprisPlayerAdaptor::hasEntries() const {
  MediaPlayerTab* player = service_->player();
  return player && player->currentIndex() >= 0;
}

bool MprisPlayerAdaptor::canSeek() const {
  MediaPlayerTab* player = service_->player();
  return player && player->playbackState() != QMediaPlayer::StoppedState && player->duration() > 0;
}

bool MprisPlayerAdaptor::canControl() const {
  return true;
}

void MprisPlayerAdaptor::Next() {
  if (MediaPlayerTab* player = service_->player()) {
    player->next();
  }
}

void MprisPlayerAdaptor::Previous() {
  if (MediaPlayerTab* player = service_->player()) {
    player->previous();
  }
}

void MprisPlayerAdaptor::Pause() {
  MediaPlayerTab* player = service_->player();
  if (player && player->playbackState() == QMediaPlayer::PlayingState) {
    player->togglePlayback();
  }
}

void MprisPlayerAdaptor::PlayPause() {
  if (MediaPlayerTab* player = service_->player()) {
    player->togglePlayback();
  }
}

void MprisPlayerAdaptor::Stop() {
  if (MediaPlayerTab* player = service_->player()) {
    player->stop();
  }
}

void MprisPlayerAdaptor::Play() {
  MediaPlayerTab* player = service_->player();
  if (player && player->playbackState() != QMediaPlayer::PlayingState) {
    player->togglePlayback();
  }
}

void MprisPlayerAdaptor::Seek(qlonglong offset) {
  if (MediaPlayerTab* player = service_->player(); player && canSeek()) {
    player->seekBy(offset / microsecondsPerMs);
  }
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
  MediaPlayerTab* player = service_->player();
  // A request meant for an entry that is no longer playing, or beyond its end, is ignored.
  if (!player || !canSeek() || trackId != this->trackId() || position < 0 ||
      position > player->duration() * microsecondsPerMs) {
    return;
  }
  player->seekTo(position / microsecondsPerMs);
}

void MprisPlayerAdaptor::OpenUri(const QString& uri, const QDBusMessage& message) {
  message.setDelayedReply(true);
  service_->bus().send(message.createErrorReply(
      QStringLiteral("org.freedesktop.DBus.Error.NotSupported"),
      QStringLiteral("Cannot open %1: files are opened from the library.").arg(uri)));
}

} // namespace arvexhub::launcher
