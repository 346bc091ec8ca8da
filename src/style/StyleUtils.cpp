#include "style/StyleUtils.h"

#include "style/Style.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace arvexhub::style {
namespace {

/// A separator that paints itself in the theme's border colour, so it follows theme changes
/// without anyone restyling it.
class LineWidget final : public QWidget {
public:
  LineWidget(Qt::Orientation orientation, int maxLength, QWidget* parent)
      : QWidget(parent) {
    const auto thickness = std::max(1, Style::themeOf(this).borderWidth);
    if (orientation == Qt::Horizontal) {
      setFixedHeight(thickness);
      setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
      if (maxLength > 0) {
        setMaximumWidth(maxLength);
      }
    } else {
      setFixedWidth(thickness);
      setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
      if (maxLength > 0) {
        setMaximumHeight(maxLength);
      }
    }
    followStyle();
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Style::themeOf(this).borderColor);
  }

  void changeEvent(QEvent* event) override {
    if (event->type() == QEvent::StyleChange) {
      followStyle();
    }
    QWidget::changeEvent(event);
  }

private:
  void followStyle() {
    disconnect(themeConnection_);
    if (auto* style = Style::of(this)) {
      themeConnection_ = connect(style, &Style::themeChanged, this, [this] { update(); });
    }
  }

  QMetaObject::Connection themeConnection_;
};

/// The rectangle's outline with an independent radius at each corner; each radius is clamped
/// to half the shorter side so neighbouring arcs never overlap.
QPainterPath roundedRectPath(const QRectF& rect, double topLeft, double topRight, double bottomRight,
                             double bottomLeft) {
  const auto limit = std::min(rect.width(), rect.height()) / 2.;
  const auto tl = std::clamp(topLeft, 0., limit);
  const auto tr = std::clamp(topRight, 0., limit);
  const auto br = std::clamp(bottomRight, 0., limit);
  const auto bl = std::clamp(bottomLeft, 0., limit);
  QPainterPath path;
  path.moveTo(rect.left() + tl, rect.top());
  path.lineTo(rect.right() - tr, rect.top());
  path.arcTo(QRectF(rect.right() - 2 * tr, rect.top(), 2 * tr, 2 * tr), 90., -90.);
  path.lineTo(rect.right(), rect.bottom() - br);
  path.arcTo(QRectF(rect.right() - 2 * br, rect.bottom() - 2 * br, 2 * br, 2 * br), 0., -90.);
  path.lineTo(rect.left() + bl, rect.bottom());
  path.arcTo(QRectF(rect.left(), rect.bottom() - 2 * bl, 2 * bl, 2 * bl), 270., -90.);
  path.lineTo(rect.left(), rect.top() + tl);
  path.arcTo(QRectF(rect.left(), rect.top(), 2 * tl, 2 * tl), 180., -90.);
  path.closeSubpath();
  return path;
}

/// The rectangle, in global coordinates, a widget should be centred on.
QRect hostRect(const QWidget* widget, const QWidget* host) {
  if (host) {
    return host->isWindow() ? host->frameGeometry() : QRect(host->mapToGlobal(QPoint(0, 0)), host->size());
  }
  auto* screen = widget->screen();
  if (!screen) {
    screen = QGuiApplication::primaryScreen();
  }
  return screen ? screen->availableGeometry() : QRect();
}

} // namespace

void centerWidget(QWidget* widget, const QWidget* host) {
  if (!widget) {
    return;
  }
  const auto target = hostRect(widget, host);
  if (target.isNull()) {
    return;
  }
  // The frame (title bar included, once the window has one) is what should look centred.
  const auto frame = widget->frameGeometry();
  auto topLeft = target.center() - QPoint(frame.width() / 2, frame.height() / 2);
  if (!widget->isWindow()) {
    topLeft = widget->parentWidget()->mapFromGlobal(topLeft);
  }
  widget->move(topLeft);
}

void clearLayout(QLayout* layout) {
  if (!layout) {
    return;
  }
  while (auto* item = layout->takeAt(0)) {
    if (auto* childLayout = item->layout()) {
      // The item is the nested layout itself: empty it, then deleting the item deletes it.
      clearLayout(childLayout);
    } else if (auto* widget = item->widget()) {
      delete widget;
    }
    delete item;
  }
}

QColor colorWithAlphaF(const QColor& color, qreal alpha) {
  auto result = color;
  result.setAlphaF(std::clamp(alpha, qreal(0.), qreal(1.)));
  return result;
}

QPixmap getColorizedPixmap(const QPixmap& input, const QColor& color) {
  if (input.isNull()) {
    return {};
  }
  auto image = input.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  {
    // SourceIn keeps the destination's alpha (times the colour's) and takes the colour's RGB.
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
  }
  auto result = QPixmap::fromImage(std::move(image));
  result.setDevicePixelRatio(input.devicePixelRatio());
  return result;
}

QPixmap makeRoundedPixmap(const QPixmap& input, double radius) {
  return makeRoundedPixmap(input, radius, radius, radius, radius);
}

QPixmap makeRoundedPixmap(const QPixmap& input, double topLeft, double topRight, double bottomRight,
                          double bottomLeft) {
  if (input.isNull()) {
    return {};
  }
  // Work in device pixels: the radii are given in device pixels too.
  QImage image(input.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(roundedRectPath(QRectF(image.rect()), topLeft, topRight, bottomRight, bottomLeft));
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    auto source = input;
    source.setDevicePixelRatio(1.);
    painter.drawPixmap(0, 0, source);
  }
  auto result = QPixmap::fromImage(std::move(image));
  result.setDevicePixelRatio(input.devicePixelRatio());
  return result;
}

QWidget* makeHorizontalLine(QWidget* parent, int maxWidth) {
  return new LineWidget(Qt::Horizontal, maxWidth, parent);
}

QWidget* makeVerticalLine(QWidget* parent, int maxHeight) {
  return new LineWidget(Qt::Vertical, maxHeight, parent);
}

void drawCenteredIcon(QPainter& painter, const QIcon& icon, const QSize& size, const QPoint& center,
                      const QWidget* widget) {
  const auto mode = widget->isEnabled() ? QIcon::Normal : QIcon::Disabled;
  const auto pixmap = icon.pixmap(size, widget->devicePixelRatioF(), mode);
  auto target = QRect(QPoint(0, 0), pixmap.deviceIndependentSize().toSize());
  target.moveCenter(center);
  painter.drawPixmap(target, pixmap);
}

} // namespace arvexhub::style
