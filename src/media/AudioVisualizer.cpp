#include "media/AudioVisualizer.h"

#include <QAudioBuffer>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace arvexhub::launcher {

namespace {

// The loudest sample of a buffer, all channels together, as a share of full scale. -32768 is
// one step beyond 32767: it counts as full scale, not as a level above it.
double peakLevel(const QAudioBuffer& buffer) {
  const qint16* samples = buffer.constData<qint16>();
  int peak = 0;
  for (qsizetype i = 0; i < buffer.sampleCount(); ++i) {
    peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
  }
  return std::min(1.0, peak / 32767.0);
}

} // namespace

AudioVisualizer::AudioVisualizer(QWidget* parent)
    : QWidget(parent)
    , levels_(barCount, 0.0) {
  // The paint event covers the whole area.
  setAutoFillBackground(false);
}

const QList<double>& AudioVisualizer::levels() const {
  return levels_;
}

const QPixmap& AudioVisualizer::albumArt() const {
  return albumArt_;
}

void AudioVisualizer::processBuffer(const QAudioBuffer& buffer) {
  if (!albumArt_.isNull() || buffer.format().sampleFormat() != QAudioFormat::Int16) {
    return;
  }
  levels_.removeFirst();
  levels_.append(peakLevel(buffer));
  update();
}

void AudioVisualizer::setAlbumArt(const QPixmap& pixmap) {
  albumArt_ = pixmap;
  update();
}

void AudioVisualizer::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), Qt::black);
  if (albumArt_.isNull()) {
    paintBars(painter);
  } else {
    paintAlbumArt(painter);
  }
}

// Fifty bars and their gaps take 75 bar widths, about the widget's width; a widget narrower
// than that has bars of no width and shows none.
void AudioVisualizer::paintBars(QPainter& painter) const {
  const int barWidth = static_cast<int>(width() / 75.0);
  if (barWidth <= 0) {
    return;
  }
  const int step = barWidth + barWidth / 2;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 255, 255));
  for (int i = 0; i < barCount; ++i) {
    const int barHeight = static_cast<int>(height() * levels_.at(i));
    painter.drawRect(i * step, height() - barHeight, barWidth, barHeight);
  }
}

void AudioVisualizer::paintAlbumArt(QPainter& painter) const {
  const QPixmap scaled = albumArt_.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
  painter.drawPixmap((width() - scaled.width()) / 2, (height() - scaled.height()) / 2, scaled);
}

} // namespace arvexhub::launcher
