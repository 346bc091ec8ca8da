#include "widgets/window/DropArea.h"

#include "style/Icons16.h"
#include "style/Style.h"
#include "style/StyleUtils.h"
#include "style/ThemeFollower.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPen>
#include <QStyle>
#include <QSvgRenderer>
#include <QVariantAnimation>

namespace arvexhub::launcher {
namespace {

constexpr int iconSize = 64;
constexpr double iconPixelRatio = 2.0;

QPixmap renderDropIcon(const QColor& color) {
  QPixmap pixmap(QSize(iconSize, iconSize) * iconPixelRatio);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(style::icons::iconPath(style::icons::Icons16::Action_Download));
  renderer.setAspectRatioMode(Qt::KeepAspectRatio);
  {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
  }
  pixmap.setDevicePixelRatio(iconPixelRatio);
  return style::getColorizedPixmap(pixmap, color);
}

} // namespace

DropArea::DropArea(QWidget* parent)
    : QWidget(parent)
    , animation_(new QVariantAnimation(this)) {
  setAcceptDrops(false);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAutoFillBackground(false);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setFocusPolicy(Qt::NoFocus);
  hide();

  animation_->setStartValue(0.0);
  animation_->setEndValue(0.0);
  animation_->setDuration(style()->styleHint(QStyle::SH_Widget_Animation_Duration, nullptr, this) / 2);
  connect(animation_, &QVariantAnimation::valueChanged, this, [this] { update(); });
  connect(animation_, &QVariantAnimation::finished, this, [this] {
    if (!visible_) {
      hide();
    }
  });
  updateIcon();
  // The icon carries the theme's accent colour: a theme switch recolours it.
  new style::ThemeFollower(this, [this] { updateIcon(); });
}

DropArea::~DropArea() = default;

void DropArea::updateIcon() {
  icon_ = renderDropIcon(style::Style::themeOf(this).primaryColor);
  update();
}

void DropArea::animateVisibility(bool visible) {
  if (visible == visible_) {
    return;
  }
  visible_ = visible;
  if (visible) {
    show();
  }
  const QVariant reached = animation_->currentValue();
  animation_->stop();
  animation_->setStartValue(reached);
  animation_->setEndValue(visible ? 1.0 : 0.0);
  animation_->start();
}

void DropArea::paintEvent(QPaintEvent* event) {
  Q_UNUSED(event)
  const style::Theme& theme = style::Style::themeOf(this);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setOpacity(animation_->currentValue().toDouble());
  painter.setPen(Qt::NoPen);
  painter.setBrush(style::colorWithAlphaF(theme.backgroundColorWorkspace, 0.95));
  painter.drawRect(rect());
  paintFrame(painter, theme);
  paintMessage(painter, theme);
}

void DropArea::paintFrame(QPainter& painter, const style::Theme& theme) const {
  const double penWidth = 2.0 * theme.borderWidth;
  QPen pen(theme.primaryColor, penWidth, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin);
  pen.setDashPattern({2.0 * penWidth, 2.0 * penWidth});
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const double inset = 3.0 * theme.spacing + penWidth / 2.0;
  const double radius = 2.0 * theme.borderRadius;
  painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), radius, radius);
}

void DropArea::paintMessage(QPainter& painter, const style::Theme& theme) const {
  // Icon, title and subtitle as one block, centred vertically.
  const int gap = 2 * theme.spacing;
  const int titleHeight = QFontMetrics(theme.fontH2).height();
  const int subtitleHeight = QFontMetrics(theme.fontRegular).height();
  const double top = (height() - (iconSize + gap + titleHeight + gap + subtitleHeight)) * 0.5;
  painter.drawPixmap((width() - 1 - (iconSize - 1)) / 2, static_cast<int>(top), icon_);

  const double titleTop = top + iconSize + gap;
  painter.setFont(theme.fontH2);
  painter.setPen(theme.primaryColor);
  painter.drawText(QRectF(0, titleTop, width(), titleHeight), Qt::AlignHCenter | Qt::AlignTop,
                   QCoreApplication::translate("ArvexHubLauncher", "Drop Files Here"));

  painter.setFont(theme.fontRegular);
  painter.setPen(theme.secondaryColor);
  painter.drawText(
      QRectF(0, titleTop + titleHeight + gap, width(), subtitleHeight), Qt::AlignHCenter | Qt::AlignTop,
      QStringLiteral("%1 (*.arvexhub).")
          .arg(QCoreApplication::translate("ArvexHubLauncher", "Accepts folders and ArvexHub Games")));
}

} // namespace arvexhub::launcher
