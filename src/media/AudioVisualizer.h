#pragma once

#include <QList>
#include <QPixmap>
#include <QWidget>

class QAudioBuffer;
class QPainter;

namespace arvexhub::launcher {

/// What the media player shows instead of video while audio plays: the album picture, centred
/// on black, or without one a scrolling level meter, one bar per recent audio buffer
/// with the newest at the right, each as high as that buffer's peak level.
class AudioVisualizer final : public QWidget {
  Q_OBJECT

public:
  /// How many bars the meter shows, and so how many recent levels it keeps.
  static constexpr int barCount = 50;

  explicit AudioVisualizer(QWidget* parent = nullptr);
  Q_DISABLE_COPY_MOVE(AudioVisualizer)

  /// The peak levels of the most recent buffers, oldest first, each from 0.0 to 1.0; always
  /// barCount values.
  const QList<double>& levels() const;
  const QPixmap& albumArt() const;

public slots:
  /// Takes one buffer: its peak becomes the newest bar. Ignored while a picture is shown and
  /// for anything but signed 16-bit samples.
  void processBuffer(const QAudioBuffer& buffer);
  /// Shows the picture instead of the meter; a null picture brings the meter back.
  void setAlbumArt(const QPixmap& pixmap);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void paintBars(QPainter& painter) const;
  void paintAlbumArt(QPainter& painter) const;

  QList<double> levels_;
  QPixmap albumArt_;
};

} // namespace arvexhub::launcher
