#include "style/StylePrimitives.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

namespace arvexhub::style {

const QColor& pick(MouseState state, const QColor& normal, const QColor& hovered, const QColor& pressed,
                   const QColor& disabled) {
  switch (state) {
  case MouseState::Hovered:
    return hovered;
  case MouseState::Pressed:
    return pressed;
  case MouseState::Disabled:
    return disabled;
  case MouseState::Normal:
    break;
  }
  return normal;
}

MouseState mouseState(const QStyleOption* option) {
  const auto state = option->state;
  if (!state.testFlag(QStyle::State_Enabled)) {
    return MouseState::Disabled;
  }
  if (state.testFlag(QStyle::State_Sunken)) {
    return MouseState::Pressed;
  }
  if (state.testFlag(QStyle::State_MouseOver)) {
    return MouseState::Hovered;
  }
  return MouseState::Normal;
}

bool hasKeyboardFocus(const QStyleOption* option) {
  return option->state.testFlag(QStyle::State_HasFocus) &&
         option->state.testFlag(QStyle::State_KeyboardFocusChange) &&
         option->state.testFlag(QStyle::State_Enabled);
}

namespace {} // namespace

QColor neutralBackground(const Theme& t, MouseState state) {
  return pick(state, t.neutralColor, t.neutralColorHovered, t.neutralColorPressed, t.neutralColorDisabled);
}

QColor primaryBackground(const Theme& t, MouseState state) {
  return pick(state, t.primaryColor, t.primaryColorHovered, t.primaryColorPressed, t.primaryColorDisabled);
}

QColor primaryForeground(const Theme& t, MouseState state) {
  return pick(state, t.primaryColorForeground, t.primaryColorForegroundHovered,
              t.primaryColorForegroundPressed, t.primaryColorForegroundDisabled);
}

QColor textForeground(const Theme& t, MouseState state) {
  return pick(state, t.secondaryColor, t.secondaryColorHovered, t.secondaryColorPressed,
              t.secondaryColorDisabled);
}

QColor semiTransparentBackground(const Theme& t, MouseState state, bool checked) {
  if (checked) {
    return pick(state, t.semiTransparentColor3, t.semiTransparentColor4, t.semiTransparentColor4,
                t.semiTransparentColor1);
  }
  return pick(state, Qt::transparent, t.semiTransparentColor2, t.semiTransparentColor3, Qt::transparent);
}

QColor borderColor(const Theme& t, MouseState state) {
  return pick(state, t.borderColor, t.borderColorHovered, t.borderColorPressed, t.borderColorDisabled);
}

void drawRoundedRect(QPainter* painter, const QRectF& rect, const QColor& fill, const QColor& border,
                     qreal borderWidth, qreal radius) {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setPen(Qt::NoPen);
  if (fill.alpha() > 0) {
    painter->setBrush(fill);
    painter->drawRoundedRect(rect, radius, radius);
  }
  if (border.alpha() > 0 && borderWidth > 0) {
    // The border as the ring between two rounded rectangles, so it never blurs across pixels.
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRoundedRect(rect, radius, radius);
    const auto inner = rect.adjusted(borderWidth, borderWidth, -borderWidth, -borderWidth);
    const auto innerRadius = std::max<qreal>(0.0, radius - borderWidth);
    path.addRoundedRect(inner, innerRadius, innerRadius);
    painter->setBrush(border);
    painter->drawPath(path);
  }
  painter->restore();
}

void drawFocusRing(QPainter* painter, const QRectF& rect, const Theme& theme, qreal radius) {
  drawRoundedRect(painter, rect, Qt::transparent, theme.focusColor, theme.focusBorderWidth, radius);
}

void drawLine(QPainter* painter, const QPointF& p1, const QPointF& p2, const QColor& color) {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setPen(QPen(color, 1.0));
  painter->drawLine(p1, p2);
  painter->restore();
}

QRect centeredRect(const QRect& outer, const QSize& size) {
  return QRect(outer.x() + (outer.width() - size.width()) / 2,
               outer.y() + (outer.height() - size.height()) / 2, size.width(), size.height());
}

void drawTintedIcon(QPainter* painter, const QRect& rect, const QIcon& icon, const QSize& size,
                    const QColor& color) {
  const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  QImage image = icon.pixmap(size, dpr).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) {
    return;
  }
  {
    QPainter tint(&image);
    tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
    tint.fillRect(QRect(QPoint(0, 0), image.size()), color);
  }
  painter->drawImage(centeredRect(rect, size), image);
}

void drawCenteredIcon(QPainter* painter, const QRect& rect, const QIcon& icon, const QSize& size,
                      QIcon::Mode mode, QIcon::State state) {
  const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  const auto pixmap = icon.pixmap(size, dpr, mode, state);
  if (pixmap.isNull()) {
    return;
  }
  const auto logical = (QSizeF(pixmap.size()) / pixmap.devicePixelRatio()).toSize();
  painter->drawPixmap(centeredRect(rect, logical), pixmap);
}

} // namespace arvexhub::style
