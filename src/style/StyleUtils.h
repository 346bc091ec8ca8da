#pragma once

#include <QColor>
#include <QPixmap>

class QIcon;
class QLayout;
class QPainter;
class QPoint;
class QWidget;

namespace arvexhub::style {

/// Centres the widget on the host widget, or on the screen when there is none.
void centerWidget(QWidget* widget, const QWidget* host = nullptr);
/// Removes and deletes every item of the layout, nested layouts and their widgets included.
void clearLayout(QLayout* layout);
QColor colorWithAlphaF(const QColor& color, qreal alpha);
/// The pixmap's shape (its alpha) filled with the colour.
QPixmap getColorizedPixmap(const QPixmap& input, const QColor& color);
/// The pixmap with its corners rounded (transparent outside the radius, in device pixels).
QPixmap makeRoundedPixmap(const QPixmap& input, double radius);
QPixmap makeRoundedPixmap(const QPixmap& input, double topLeft, double topRight, double bottomRight,
                          double bottomLeft);
/// A 1 px separator in the theme's border colour, with the parent as Qt parent.
QWidget* makeHorizontalLine(QWidget* parent, int maxWidth = -1);
QWidget* makeVerticalLine(QWidget* parent, int maxHeight = -1);
/// Draws the icon at that size centred on the point, greyed out like other controls while the
/// widget is disabled. An icon with nothing as large as asked for is drawn as large as it comes.
void drawCenteredIcon(QPainter& painter, const QIcon& icon, const QSize& size, const QPoint& center,
                      const QWidget* widget);

} // namespace arvexhub::style
