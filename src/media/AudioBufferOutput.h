#pragma once

#include <QAudioBuffer>
#include <QMediaPlayer>
#include <QObject>
#include <QPointer>

class QAudioDecoder;
class QTimer;

namespace arvexhub::launcher {

/// Hands out the decoded audio of what a media player plays, buffer by buffer, as playback
/// reaches each buffer's start time (Qt 6.4 has no QAudioBufferOutput). It decodes the
/// player's local file a second time with QAudioDecoder into signed 16-bit stereo buffers at
/// 44.1 kHz, follows the player's seeks, pauses, stops and source changes, and reads from the
/// decoder only as playback needs, so a long track never piles up in memory. A buffer that
/// playback has passed by more than 100 ms is dropped rather than handed out late.
class AudioBufferOutput final : public QObject {
  Q_OBJECT

public:
  explicit AudioBufferOutput(QMediaPlayer* player, QObject* parent = nullptr);
  Q_DISABLE_COPY_MOVE(AudioBufferOutput)

signals:
  /// One buffer of signed 16-bit samples whose start time the player's position has just
  /// reached (QAudioBuffer::startTime() is in microseconds from the start of the media).
  void audioBufferReceived(const QAudioBuffer& buffer);

private:
  void onPlaybackStateChanged(QMediaPlayer::PlaybackState state);
  void onDecoderError();
  void restartDecoder();
  void stopDecoder();
  void pump();
  bool takeNext();
  void scheduleNext(qint64 positionUs);

  QPointer<QMediaPlayer> player_;
  QAudioDecoder* decoder_{nullptr};
  QTimer* clock_{nullptr};
  QAudioBuffer next_;
  qint64 consumedStartUs_{0};
  bool started_{false};
};

} // namespace arvexhub::launcher
