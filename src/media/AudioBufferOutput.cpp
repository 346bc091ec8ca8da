#include "media/AudioBufferOutput.h"

#include <QAudioDecoder>
#include <QAudioFormat>
#include <QDebug>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace arvexhub::launcher {

namespace {

// A buffer reached later than this behind the player's position is dropped: the meter shows
// what plays now, not what played a moment ago. A position this far behind the last buffer
// handed out is a seek backwards.
constexpr qint64 toleranceUs = 100'000;

// The decoder needs an absolute file URL; other sources are not decoded.
QUrl decodableSource(const QUrl& source) {
  if (!source.isLocalFile()) {
    return {};
  }
  return QUrl::fromLocalFile(QFileInfo(source.toLocalFile()).absoluteFilePath());
}

// The decoder converts only to a complete format (given only a sample type it keeps the
// media's own samples, and cannot hand out MP3 at all), so it gets one for any media: CD
// audio. Mono doubles into both channels, which keeps the peak.
QAudioFormat decodedFormat() {
  QAudioFormat format;
  format.setSampleFormat(QAudioFormat::Int16);
  format.setSampleRate(44100);
  format.setChannelCount(2);
  return format;
}

} // namespace

AudioBufferOutput::AudioBufferOutput(QMediaPlayer* player, QObject* parent)
    : QObject(parent)
    , player_(player)
    , decoder_(new QAudioDecoder(this))
    , clock_(new QTimer(this)) {
  decoder_->setAudioFormat(decodedFormat());
  clock_->setSingleShot(true);
  clock_->setTimerType(Qt::PreciseTimer);
  connect(clock_, &QTimer::timeout, this, &AudioBufferOutput::pump);
  connect(decoder_, &QAudioDecoder::bufferReady, this, &AudioBufferOutput::pump);
  connect(decoder_, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this,
          &AudioBufferOutput::onDecoderError);
  connect(player_, &QMediaPlayer::playbackStateChanged, this, &AudioBufferOutput::onPlaybackStateChanged);
  // Whether the source has video is known once it is loaded; playback may have begun before.
  connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this] {
    if (!started_ && player_->playbackState() == QMediaPlayer::PlayingState) {
      restartDecoder();
    }
  });
  // A seek moves the position at once, between two buffers.
  connect(player_, &QMediaPlayer::positionChanged, this, &AudioBufferOutput::pump);
}

void AudioBufferOutput::onPlaybackStateChanged(QMediaPlayer::PlaybackState state) {
  switch (state) {
  case QMediaPlayer::StoppedState:
    stopDecoder();
    break;
  case QMediaPlayer::PausedState:
    clock_->stop();
    break;
  case QMediaPlayer::PlayingState:
    if (!started_) {
      restartDecoder();
    }
    pump();
    break;
  }
}

void AudioBufferOutput::onDecoderError() {
  qWarning() << "Audio buffers: cannot decode" << decoder_->source() << decoder_->errorString();
  stopDecoder();
}

void AudioBufferOutput::restartDecoder() {
  stopDecoder();
  // A second decoder on a file whose video the player shows crashes Qt's GStreamer backend, and
  // a movie shows its picture, not the meter: only loaded sound-only sources are decoded.
  const auto status = player_->mediaStatus();
  const bool loaded = status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferingMedia ||
                      status == QMediaPlayer::BufferedMedia;
  if (!loaded || player_->hasVideo()) {
    return;
  }
  const QUrl source = decodableSource(player_->source());
  if (source.isEmpty()) {
    return;
  }
  decoder_->setSource(source);
  decoder_->start();
  started_ = true;
}

void AudioBufferOutput::stopDecoder() {
  clock_->stop();
  decoder_->stop();
  next_ = {};
  consumedStartUs_ = 0;
  started_ = false;
}

// Hands out every buffer the position has reached, reading from the decoder one buffer at a
// time: an unread decoder pauses by itself, so only a few buffers are ever decoded ahead.
void AudioBufferOutput::pump() {
  if (player_ == nullptr || player_->playbackState() != QMediaPlayer::PlayingState) {
    return;
  }
  const qint64 positionUs = player_->position() * 1000;
  if (positionUs + toleranceUs < consumedStartUs_) {
    restartDecoder();
  }
  while (takeNext()) {
    if (next_.startTime() > positionUs) {
      scheduleNext(positionUs);
      return;
    }
    const QAudioBuffer buffer = std::exchange(next_, {});
    consumedStartUs_ = buffer.startTime();
    if (buffer.startTime() >= positionUs - toleranceUs) {
      emit audioBufferReceived(buffer);
    }
  }
}

bool AudioBufferOutput::takeNext() {
  if (!next_.isValid() && started_ && decoder_->bufferAvailable()) {
    next_ = decoder_->read();
  }
  return next_.isValid();
}

// Wakes up when playback should reach the buffer held.
void AudioBufferOutput::scheduleNext(qint64 positionUs) {
  const double rate = std::max(0.01, player_->playbackRate());
  const auto waitMs = static_cast<int>((next_.startTime() - positionUs) / 1000 / rate);
  clock_->start(std::max(1, waitMs));
}

} // namespace arvexhub::launcher
