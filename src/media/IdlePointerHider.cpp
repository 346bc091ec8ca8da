#include "media/IdlePointerHider.h"

#include <QCursor>
#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace arvexhub::launcher {

IdlePointerHider::IdlePointerHider(QWidget* surface, QObject* parent)
    : QObject(parent)
    , surface_(surface) {
  timer_.setSingleShot(true);
  timer_.setInterval(defaultDelayMsec);
  connect(&timer_, &QTimer::timeout, this, &IdlePointerHider::hideAll);
  surface_->installEventFilter(this);
}

IdlePointerHider::~IdlePointerHider() = default;

void IdlePointerHider::setDelay(int msec) {
  timer_.setInterval(msec);
}

void IdlePointerHider::setWidgets(const QList<QWidget*>& widgets) {
  widgets_.clear();
  for (auto* widget : widgets) {
    widgets_.append(widget);
  }
}

void IdlePointerHider::setActive(bool active) {
  if (active == active_ || surface_ == nullptr) {
    return;
  }
  active_ = active;
  if (active) {
    // Without tracking, the surface only hears of movements while a button is held.
    surfaceTracked_ = surface_->hasMouseTracking();
    surface_->setMouseTracking(true);
    timer_.start();
    return;
  }
  timer_.stop();
  showAll();
  surface_->setMouseTracking(surfaceTracked_);
}

bool IdlePointerHider::isActive() const {
  return active_;
}

bool IdlePointerHider::eventFilter(QObject* watched, QEvent* event) {
  if (active_ && watched == surface_ && event->type() == QEvent::MouseMove) {
    showAll();
    timer_.start();
  }
  return QObject::eventFilter(watched, event);
}

void IdlePointerHider::hideAll() {
  // Controls the user is pointing at stay until the pointer leaves them.
  if (pointerOverWidgets()) {
    timer_.start();
    return;
  }
  if (pointerHidden_ || surface_ == nullptr) {
    return;
  }
  pointerHidden_ = true;
  surfaceHadCursor_ = surface_->testAttribute(Qt::WA_SetCursor);
  surfaceCursor_ = surface_->cursor();
  surface_->setCursor(Qt::BlankCursor);
  hiddenWidgets_.clear();
  for (const auto& widget : std::as_const(widgets_)) {
    if (widget != nullptr && widget->isVisible()) {
      hiddenWidgets_.append(widget);
      widget->hide();
    }
  }
}

void IdlePointerHider::showAll() {
  if (!pointerHidden_) {
    return;
  }
  pointerHidden_ = false;
  if (surface_ != nullptr) {
    if (surfaceHadCursor_) {
      surface_->setCursor(surfaceCursor_);
    } else {
      surface_->unsetCursor();
    }
  }
  for (const auto& widget : std::as_const(hiddenWidgets_)) {
    if (widget != nullptr) {
      widget->show();
    }
  }
  hiddenWidgets_.clear();
}

bool IdlePointerHider::pointerOverWidgets() const {
  // Asked of the pointer itself: a widget's under-mouse mark can outlive a move to another parent.
  const QPoint pointer = QCursor::pos();
  return std::any_of(widgets_.cbegin(), widgets_.cend(), [pointer](const QPointer<QWidget>& widget) {
    return widget != nullptr && widget->isVisible() &&
           widget->rect().contains(widget->mapFromGlobal(pointer));
  });
}

} // namespace arvexhub::launcher
