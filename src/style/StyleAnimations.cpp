#include "style/StyleAnimations.h"

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

namespace arvexhub::style {
namespace {

/// A fully transparent colour fades from/to the other colour's hue rather than from black.
QColor transparentAs(const QColor& from, const QColor& to) {
  if (from.alpha() != 0) {
    return from;
  }
  QColor result = to;
  result.setAlpha(0);
  return result;
}

} // namespace

StyleAnimations::StyleAnimations(QObject* parent)
    : QObject(parent) {}

StyleAnimations::~StyleAnimations() {
  for (const auto& [widget, connection] : watched_) {
    disconnect(connection);
  }
}

int StyleAnimations::widgetCount() const {
  return static_cast<int>(watched_.size());
}

QColor StyleAnimations::color(const QWidget* widget, int part, const QColor& target, int duration) {
  if (!widget || duration <= 0) {
    return target;
  }
  const Key key{widget, part};
  auto it = entries_.find(key);
  if (it == entries_.end()) {
    watch(widget);
    entries_.emplace(key, Entry{target, nullptr});
    return target;
  }
  auto& entry = it->second;
  if (entry.target != target) {
    return startTransition(entry, widget, target, duration);
  }
  if (entry.animation && entry.animation->state() == QAbstractAnimation::Running) {
    return entry.animation->currentValue().value<QColor>();
  }
  return target;
}

QColor StyleAnimations::startTransition(Entry& entry, const QWidget* widget, const QColor& target,
                                        int duration) {
  const bool running = entry.animation && entry.animation->state() == QAbstractAnimation::Running;
  const QColor shown = running ? entry.animation->currentValue().value<QColor>() : entry.target;
  if (!entry.animation) {
    entry.animation = new QVariantAnimation(this);
    entry.animation->setEasingCurve(QEasingCurve::OutCubic);
    QPointer<QWidget> guard(const_cast<QWidget*>(widget));
    connect(entry.animation, &QVariantAnimation::valueChanged, this, [guard]() {
      if (guard) {
        guard->update();
      }
    });
  }
  entry.animation->stop();
  entry.animation->setStartValue(transparentAs(shown, target));
  entry.animation->setEndValue(transparentAs(target, shown));
  entry.animation->setDuration(duration);
  entry.target = target;
  entry.animation->start();
  return transparentAs(shown, target);
}

void StyleAnimations::watch(const QWidget* widget) {
  if (watched_.count(widget) != 0) {
    return;
  }
  watched_.emplace(widget, connect(widget, &QObject::destroyed, this, &StyleAnimations::forget));
}

void StyleAnimations::forget(QObject* widget) {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->first.first == widget) {
      delete it->second.animation;
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
  watched_.erase(widget);
}

} // namespace arvexhub::style
