#include "style/widgets/Expander.h"

#include <QEvent>
#include <QStyle>

#include <algorithm>

namespace arvexhub::style {

Expander::Expander(QWidget* parent)
    : QWidget(parent) {
  applyExtent(0);
  connect(&animation_, &QVariantAnimation::valueChanged, this,
          [this](const QVariant& value) { applyExtent(value.toInt()); });
  connect(&animation_, &QVariantAnimation::finished, this, &Expander::onAnimationFinished);
  animation_.setEasingCurve(QEasingCurve::OutCubic);
}

Expander::~Expander() = default;

Qt::Orientation Expander::orientation() const {
  return orientation_;
}

void Expander::setOrientation(Qt::Orientation orientation) {
  if (orientation == orientation_) {
    return;
  }
  animation_.stop();
  // Release the old direction before the new one is constrained.
  if (orientation_ == Qt::Vertical) {
    setMinimumHeight(0);
    setMaximumHeight(QWIDGETSIZE_MAX);
  } else {
    setMinimumWidth(0);
    setMaximumWidth(QWIDGETSIZE_MAX);
  }
  orientation_ = orientation;
  applyExtent(targetExtent());
  onAnimationFinished();
}

QWidget* Expander::content() const {
  return content_;
}

void Expander::setContent(QWidget* content) {
  if (content == content_) {
    return;
  }
  animation_.stop();
  delete content_.data();
  content_ = content;
  if (content_) {
    content_->setParent(this);
    content_->setVisible(expanded_);
  }
  applyExtent(targetExtent());
}

bool Expander::expanded() const {
  return expanded_;
}

void Expander::setExpanded(bool expanded) {
  if (expanded == expanded_) {
    return;
  }
  expanded_ = expanded;
  if (expanded_ && content_) {
    content_->show();
  }
  animateTo(targetExtent());
  emit expandedChanged(expanded_);
}

QSize Expander::sizeHint() const {
  const auto hint = content_ ? content_->sizeHint() : QSize(0, 0);
  return orientation_ == Qt::Vertical ? QSize(hint.width(), extent_) : QSize(extent_, hint.height());
}

QSize Expander::minimumSizeHint() const {
  const auto hint = content_ ? content_->minimumSizeHint() : QSize(0, 0);
  return orientation_ == Qt::Vertical ? QSize(hint.width(), extent_) : QSize(extent_, hint.height());
}

int Expander::naturalExtent() const {
  if (!content_) {
    return 0;
  }
  const auto hint = content_->sizeHint().expandedTo(content_->minimumSize());
  if (orientation_ == Qt::Horizontal) {
    return hint.width();
  }
  // Wrapping text is as tall as the width we give it, not as its default hint says.
  if (content_->hasHeightForWidth() && width() > 0) {
    return std::max(content_->heightForWidth(width()), content_->minimumHeight());
  }
  return hint.height();
}

int Expander::targetExtent() const {
  return expanded_ ? naturalExtent() : 0;
}

void Expander::animateTo(int extent) {
  animation_.stop();
  const auto duration = style()->styleHint(QStyle::SH_Widget_Animation_Duration, nullptr, this);
  if (duration <= 0 || extent == extent_ || !isVisible()) {
    applyExtent(extent);
    onAnimationFinished();
    return;
  }
  // Starting from where we are makes a reversal mid-way continue smoothly.
  animation_.setDuration(duration);
  animation_.setStartValue(extent_);
  animation_.setEndValue(extent);
  animation_.start();
}

void Expander::applyExtent(int extent) {
  extent_ = std::max(0, extent);
  if (orientation_ == Qt::Vertical) {
    setMinimumHeight(extent_);
    setMaximumHeight(extent_);
  } else {
    setMinimumWidth(extent_);
    setMaximumWidth(extent_);
  }
  layoutContent();
}

void Expander::onAnimationFinished() {
  if (!expanded_ && content_) {
    content_->hide();
  }
}

void Expander::followContent() {
  const auto target = targetExtent();
  if (animation_.state() == QAbstractAnimation::Running) {
    if (expanded_) {
      animation_.setEndValue(target);
    }
  } else if (target != extent_) {
    applyExtent(target);
  }
  layoutContent();
}

void Expander::layoutContent() {
  if (!content_) {
    return;
  }
  // The content keeps its full size and is clipped by us while we are smaller.
  const auto natural = naturalExtent();
  if (orientation_ == Qt::Vertical) {
    content_->setGeometry(0, 0, width(), std::max(height(), natural));
  } else {
    content_->setGeometry(0, 0, std::max(width(), natural), height());
  }
}

bool Expander::event(QEvent* event) {
  switch (event->type()) {
  case QEvent::LayoutRequest:
  case QEvent::ChildRemoved:
  case QEvent::Show:
    followContent();
    break;
  default:
    break;
  }
  return QWidget::event(event);
}

void Expander::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // A new width changes the height of wrapping content.
  followContent();
}

} // namespace arvexhub::style
