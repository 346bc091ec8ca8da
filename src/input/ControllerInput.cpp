#include "input/ControllerInput.h"

#include "input/SdlControllerSource.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <SDL_gamecontroller.h>
#include <cstdlib>

namespace arvexhub::launcher {
namespace {

using Action = ControllerInput::Action;

constexpr int bitOf(Action direction) {
  return 1 << static_cast<int>(direction);
}

/// The D-pad's direction, or -1 for another button.
int directionOf(int button) {
  switch (button) {
  case SDL_CONTROLLER_BUTTON_DPAD_UP:
    return static_cast<int>(Action::Up);
  case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
    return static_cast<int>(Action::Down);
  case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
    return static_cast<int>(Action::Left);
  case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
    return static_cast<int>(Action::Right);
  default:
    return -1;
  }
}

/// The action of a button that is not on the D-pad, or -1 for a button without one.
int actionOf(int button) {
  switch (button) {
  case SDL_CONTROLLER_BUTTON_A:
    return static_cast<int>(Action::Activate);
  case SDL_CONTROLLER_BUTTON_B:
    return static_cast<int>(Action::Back);
  case SDL_CONTROLLER_BUTTON_X:
    return static_cast<int>(Action::ContextMenu);
  case SDL_CONTROLLER_BUTTON_Y:
    return static_cast<int>(Action::Properties);
  case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
    return static_cast<int>(Action::PreviousTab);
  case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
    return static_cast<int>(Action::NextTab);
  case SDL_CONTROLLER_BUTTON_START:
    return static_cast<int>(Action::CouchMode);
  default:
    return -1;
  }
}

int keyOf(Action action) {
  switch (action) {
  case Action::Up:
    return Qt::Key_Up;
  case Action::Down:
    return Qt::Key_Down;
  case Action::Left:
    return Qt::Key_Left;
  case Action::Right:
    return Qt::Key_Right;
  case Action::Activate:
    return Qt::Key_Return;
  case Action::Back:
    return Qt::Key_Escape;
  default:
    return Qt::Key_unknown;
  }
}

/// The stick's direction: the axis pushed further decides, within the dead zone there is none.
int stickDirection(int x, int y) {
  if (std::abs(x) < ControllerInput::deadZone && std::abs(y) < ControllerInput::deadZone) {
    return -1;
  }
  if (std::abs(x) >= std::abs(y)) {
    return static_cast<int>(x < 0 ? Action::Left : Action::Right);
  }
  return static_cast<int>(y < 0 ? Action::Up : Action::Down); // SDL's y grows downwards
}

} // namespace

ControllerInput::ControllerInput(QObject* parent)
    : QObject(parent)
    , source_(new SdlControllerSource(this)) {
  connect(source_, &SdlControllerSource::buttonChanged, this, &ControllerInput::onButtonChanged);
  connect(source_, &SdlControllerSource::axisChanged, this, &ControllerInput::onAxisChanged);
  connect(&repeatTimer_, &QTimer::timeout, this, &ControllerInput::repeatDirection);
}

ControllerInput::~ControllerInput() = default;

SdlControllerSource* ControllerInput::source() const {
  return source_;
}

void ControllerInput::setActionFilter(ActionFilter filter) {
  filter_ = std::move(filter);
}

void ControllerInput::setKeyWindow(QWidget* window) {
  keyWindow_ = window;
}

void ControllerInput::setEnabled(bool enabled) {
  enabled_ = enabled;
}

bool ControllerInput::isEnabled() const {
  return enabled_;
}

void ControllerInput::setRepeatTiming(int delayMs, int intervalMs) {
  repeatDelay_ = delayMs;
  repeatInterval_ = intervalMs;
}

void ControllerInput::onButtonChanged(int button, bool pressed) {
  if (const int direction = directionOf(button); direction >= 0) {
    padDirections_ = pressed ? padDirections_ | (1 << direction) : padDirections_ & ~(1 << direction);
    updateDirection();
    return;
  }
  const int found = actionOf(button);
  if (found < 0) {
    return;
  }
  const auto action = static_cast<Action>(found);
  if (keyOf(action) != Qt::Key_unknown) {
    pressed ? pressAction(action) : releaseAction(action);
  } else if (pressed && enabled_ && !(filter_ && filter_(action))) {
    emit actionRequested(action);
  }
}

void ControllerInput::onAxisChanged(int axis, int value) {
  if (axis == SDL_CONTROLLER_AXIS_LEFTX) {
    stickX_ = value;
  } else if (axis == SDL_CONTROLLER_AXIS_LEFTY) {
    stickY_ = value;
  } else {
    return;
  }
  updateDirection();
}

void ControllerInput::updateDirection() {
  int wanted = stickDirection(stickX_, stickY_);
  // The D-pad wins over the stick; of two held directions the first in Up, Down, Left, Right.
  for (const Action direction : {Action::Up, Action::Down, Action::Left, Action::Right}) {
    if ((padDirections_ & bitOf(direction)) != 0) {
      wanted = static_cast<int>(direction);
      break;
    }
  }
  if (wanted == heldDirection_) {
    return;
  }
  repeatTimer_.stop();
  if (heldDirection_ >= 0) {
    releaseAction(static_cast<Action>(heldDirection_));
  }
  heldDirection_ = wanted;
  if (wanted >= 0) {
    pressAction(static_cast<Action>(wanted));
    if (pressedKeys_.contains(wanted)) {
      repeatTimer_.start(repeatDelay_);
    }
  }
}

void ControllerInput::pressAction(Action action) {
  if (!enabled_ || (filter_ && filter_(action))) {
    return;
  }
  sendKey(action, QEvent::KeyPress, false);
}

void ControllerInput::releaseAction(Action action) {
  // Sent even when disabled meanwhile: no key stays half pressed.
  if (pressedKeys_.contains(static_cast<int>(action))) {
    sendKey(action, QEvent::KeyRelease, false);
  }
}

void ControllerInput::repeatDirection() {
  if (heldDirection_ < 0 || !enabled_) {
    repeatTimer_.stop();
    return;
  }
  sendKey(static_cast<Action>(heldDirection_), QEvent::KeyPress, true);
  repeatTimer_.setInterval(repeatInterval_);
}

void ControllerInput::sendKey(Action action, QEvent::Type type, bool autoRepeat) {
  const int id = static_cast<int>(action);
  QPointer<QWidget> target;
  if (type == QEvent::KeyPress) {
    // A repeat goes where the focus is now: the press before may have opened a menu.
    target = keyTarget();
    pressedKeys_.insert(id, target);
  } else {
    target = pressedKeys_.take(id); // the release goes where the press went
  }
  if (target) {
    QCoreApplication::postEvent(target,
                                new QKeyEvent(type, keyOf(action), Qt::NoModifier, QString(), autoRepeat));
  }
}

QWidget* ControllerInput::keyTarget() const {
  // Posted keys bypass modality, so an open menu or dialog is looked for first: nothing behind
  // it may receive them.
  if (auto* popup = QApplication::activePopupWidget()) {
    return popup;
  }
  QWidget* window = QApplication::activeModalWidget();
  if (window == nullptr) {
    window = keyWindow_ && keyWindow_->isVisible() ? keyWindow_.data() : QApplication::activeWindow();
  }
  if (window == nullptr) {
    return nullptr;
  }
  QWidget* focus = window->focusWidget();
  return focus != nullptr ? focus : window;
}

} // namespace arvexhub::launcher
