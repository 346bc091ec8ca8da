#include "style/widgets/IconWidget.h"

#include "style/StyleUtils.h"

#include <QPainter>

namespace arvexhub::style {

IconWidget::IconWidget(QWidget* parent)
    : IconWidget(QIcon(), QSize(16, 16), parent) {}

IconWidget::IconWidget(const QIcon& icon, QWidget* parent)
    : IconWidget(icon, QSize(16, 16), parent) {}

IconWidget::IconWidget(const QIcon& icon, const QSize& iconSize, QWidget* parent)
    : QWidget(parent)
    , icon_(icon)
    , iconSize_(iconSize.expandedTo(QSize(0, 0))) {
  setFixedSize(iconSize_);
}

IconWidget::~IconWidget() = default;

QIcon IconWidget::icon() const {
  return icon_;
}

void IconWidget::setIcon(const QIcon& icon) {
  icon_ = icon;
  update();
}

QSize IconWidget::iconSize() const {
  return iconSize_;
}

void IconWidget::setIconSize(const QSize& size) {
  const auto bounded = size.expandedTo(QSize(0, 0));
  if (bounded == iconSize_) {
    return;
  }
  iconSize_ = bounded;
  setFixedSize(iconSize_);
  update();
}

QSize IconWidget::sizeHint() const {
  return iconSize_;
}

void IconWidget::paintEvent(QPaintEvent*) {
  if (icon_.isNull() || iconSize_.isEmpty()) {
    return;
  }
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  drawCenteredIcon(painter, icon_, iconSize_, rect().center(), this);
}

} // namespace arvexhub::style
