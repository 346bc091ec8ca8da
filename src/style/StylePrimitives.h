#pragma once

#include "style/Theme.h"

#include <QColor>
#include <QIcon>
#include <QRectF>
#include <QSize>

class QPainter;
class QStyleOption;
class QWidget;

namespace arvexhub::style {

/// The size of the icons the controls draw (check marks, arrows, handles).
inline constexpr QSize kIconSize{16, 16};

/// The interaction state a control is painted in.
enum class MouseState {
  Normal,
  Hovered,
  Pressed,
  Disabled,
};

MouseState mouseState(const QStyleOption* option);
/// One of four colours, by state.
const QColor& pick(MouseState state, const QColor& normal, const QColor& hovered, const QColor& pressed,
                   const QColor& disabled);
/// Focus the user moved with the keyboard: the only focus that gets a ring.
bool hasKeyboardFocus(const QStyleOption* option);

// Colours of each control kind per state.
QColor neutralBackground(const Theme& theme, MouseState state);
QColor primaryBackground(const Theme& theme, MouseState state);
QColor primaryForeground(const Theme& theme, MouseState state);
QColor textForeground(const Theme& theme, MouseState state);
QColor semiTransparentBackground(const Theme& theme, MouseState state, bool checked);
QColor borderColor(const Theme& theme, MouseState state);

/// A rounded rectangle: fill, then a border of the given width inside the rectangle.
void drawRoundedRect(QPainter* painter, const QRectF& rect, const QColor& fill, const QColor& border,
                     qreal borderWidth, qreal radius);
/// The keyboard-focus ring, drawn over the outer edge of the control's rectangle.
void drawFocusRing(QPainter* painter, const QRectF& rect, const Theme& theme, qreal radius);
/// A 1 px line from p1 to p2 on pixel centres.
void drawLine(QPainter* painter, const QPointF& p1, const QPointF& p2, const QColor& color);
/// The icon's shape in the colour, centred in the rectangle at the icon size.
void drawTintedIcon(QPainter* painter, const QRect& rect, const QIcon& icon, const QSize& size,
                    const QColor& color);
/// The icon as it is, centred in the rectangle.
void drawCenteredIcon(QPainter* painter, const QRect& rect, const QIcon& icon, const QSize& size,
                      QIcon::Mode mode, QIcon::State state);
/// A rectangle of the size centred in another.
QRect centeredRect(const QRect& outer, const QSize& size);

} // namespace arvexhub::style
