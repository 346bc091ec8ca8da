#pragma once

#include <QAbstractButton>
#include <QVariantAnimation>

namespace arvexhub::style {

/// An on/off toggle drawn as a pill with a sliding knob, with an optional text on its right.
class Switch final : public QAbstractButton {
  Q_OBJECT

public:
  explicit Switch(QWidget* parent = nullptr);
  explicit Switch(const QString& text, QWidget* parent = nullptr);
  ~Switch() override;
  Q_DISABLE_COPY_MOVE(Switch)

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void animateKnob(bool checked);
  /// 0 with the knob on the off side, 1 on the on side; in between while it slides.
  qreal knobProgress() const;
  QRect trackRect() const;
  void drawTrack(QPainter& painter, const QRectF& track) const;
  void drawKnob(QPainter& painter, const QRectF& track) const;
  void drawLabel(QPainter& painter, const QRect& track) const;

  QVariantAnimation knobAnimation_;
};

} // namespace arvexhub::style
