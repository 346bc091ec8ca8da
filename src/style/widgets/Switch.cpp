#include "style/widgets/Switch.h"

#include "style/Style.h"
#include "style/StylePrimitives.h"
#include "style/ThemeFollower.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>
#include <cmath>

namespace arvexhub::style {
namespace {

constexpr int trackWidth = 32;
constexpr int trackHeight = 18;
constexpr int knobPadding = 3;

QColor mix(const QColor& from, const QColor& to, qreal progress) {
  const auto p = std::clamp(progress, qreal(0.), qreal(1.));
  const auto lerp = [p](float a, float b) { return a + (b - a) * static_cast<float>(p); };
  const auto a = from.toRgb();
  const auto b = to.toRgb();
  return QColor::fromRgbF(lerp(a.redF(), b.redF()), lerp(a.greenF(), b.greenF()), lerp(a.blueF(), b.blueF()),
                          lerp(a.alphaF(), b.alphaF()));
}

MouseState stateOf(const QAbstractButton& button) {
  if (!button.isEnabled()) {
    return MouseState::Disabled;
  }
  if (button.isDown()) {
    return MouseState::Pressed;
  }
  return button.underMouse() ? MouseState::Hovered : MouseState::Normal;
}

} // namespace

Switch::Switch(QWidget* parent)
    : Switch(QString(), parent) {}

Switch::Switch(const QString& text, QWidget* parent)
    : QAbstractButton(parent) {
  setText(text);
  setCheckable(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_Hover);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  knobAnimation_.setStartValue(0.);
  knobAnimation_.setEndValue(0.);
  connect(&knobAnimation_, &QVariantAnimation::valueChanged, this, [this] { update(); });
  connect(this, &QAbstractButton::toggled, this, &Switch::animateKnob);
  new ThemeFollower(this, [this] {
    updateGeometry();
    update();
  });
}

Switch::~Switch() = default;

QSize Switch::sizeHint() const {
  const auto& theme = Style::themeOf(this);
  const auto margin = theme.focusBorderWidth;
  auto width = trackWidth + 2 * margin;
  auto height = trackHeight + 2 * margin;
  if (!text().isEmpty()) {
    const auto metrics = fontMetrics();
    width += theme.spacing + metrics.horizontalAdvance(text());
    height = std::max(height, metrics.height());
  }
  return {width, height};
}

QSize Switch::minimumSizeHint() const {
  const auto margin = Style::themeOf(this).focusBorderWidth;
  return {trackWidth + 2 * margin, trackHeight + 2 * margin};
}

void Switch::animateKnob(bool checked) {
  const auto target = checked ? 1. : 0.;
  const auto from = knobAnimation_.state() == QAbstractAnimation::Running ? knobProgress() : 1. - target;
  knobAnimation_.stop();
  const auto animated = style()->styleHint(QStyle::SH_Widget_Animation_Duration, nullptr, this) > 0;
  const auto duration = Style::themeOf(this).animationDuration;
  if (!animated || duration <= 0 || !isVisible()) {
    update();
    return;
  }
  // A reversal mid-way runs for the remaining distance only, at the same speed.
  knobAnimation_.setDuration(std::max(1, qRound(duration * std::abs(target - from))));
  knobAnimation_.setStartValue(from);
  knobAnimation_.setEndValue(target);
  knobAnimation_.setEasingCurve(QEasingCurve::OutCubic);
  knobAnimation_.start();
}

qreal Switch::knobProgress() const {
  if (knobAnimation_.state() == QAbstractAnimation::Running) {
    return knobAnimation_.currentValue().toReal();
  }
  return isChecked() ? 1. : 0.;
}

QRect Switch::trackRect() const {
  const auto margin = Style::themeOf(this).focusBorderWidth;
  const auto top = (height() - trackHeight) / 2;
  auto track = QRect(margin, top, trackWidth, trackHeight);
  if (layoutDirection() == Qt::RightToLeft) {
    track.moveRight(width() - 1 - margin);
  }
  return track;
}

void Switch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const auto track = trackRect();
  drawTrack(painter, QRectF(track));
  drawKnob(painter, QRectF(track));
  drawLabel(painter, track);
}

void Switch::drawTrack(QPainter& painter, const QRectF& track) const {
  const auto& theme = Style::themeOf(this);
  const auto look = stateOf(*this);
  const auto radius = track.height() / 2.;
  painter.setPen(Qt::NoPen);
  painter.setBrush(mix(neutralBackground(theme, look), primaryBackground(theme, look), knobProgress()));
  painter.drawRoundedRect(track, radius, radius);

  QStyleOption option;
  option.initFrom(this);
  const auto keyboardFocus = option.state.testFlag(QStyle::State_HasFocus) &&
                             option.state.testFlag(QStyle::State_KeyboardFocusChange);
  if (keyboardFocus) {
    // The ring sits just outside the track, in the margin kept for it.
    const auto half = theme.focusBorderWidth / 2.;
    const auto ring = track.adjusted(-half, -half, half, half);
    painter.setPen(QPen(theme.focusColor, theme.focusBorderWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(ring, ring.height() / 2., ring.height() / 2.);
  }
}

void Switch::drawKnob(QPainter& painter, const QRectF& track) const {
  const auto& theme = Style::themeOf(this);
  const auto look = stateOf(*this);
  const auto progress = knobProgress();
  const auto diameter = track.height() - 2. * knobPadding;
  const auto travel = track.width() - 2. * knobPadding - diameter;
  const auto position = layoutDirection() == Qt::RightToLeft ? 1. - progress : progress;
  const QRectF knob(track.left() + knobPadding + travel * position, track.top() + knobPadding, diameter,
                    diameter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(mix(textForeground(theme, look), primaryForeground(theme, look), progress));
  painter.drawEllipse(knob);
}

void Switch::drawLabel(QPainter& painter, const QRect& track) const {
  if (text().isEmpty()) {
    return;
  }
  const auto spacing = Style::themeOf(this).spacing;
  auto textRect = rect();
  if (layoutDirection() == Qt::RightToLeft) {
    textRect.setRight(track.left() - spacing);
  } else {
    textRect.setLeft(track.right() + 1 + spacing);
  }
  const auto elided = fontMetrics().elidedText(text(), Qt::ElideRight, textRect.width());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, elided);
}

} // namespace arvexhub::style
