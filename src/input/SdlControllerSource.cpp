#include "input/SdlControllerSource.h"

#include <QDebug>
#include <QDir>
#include <QFileSystemWatcher>

#include <SDL.h>

namespace arvexhub::launcher {
namespace {

const QString inputDeviceFolder = QStringLiteral("/dev/input");
const QString deviceFolder = QStringLiteral("/dev");

SDL_GameController* asController(void* controller) {
  return static_cast<SDL_GameController*>(controller);
}

} // namespace

SdlControllerSource::SdlControllerSource(QObject* parent)
    : QObject(parent) {
  // SDL must leave the program's signals to Qt, and there is no SDL window whose focus could
  // decide whether controller events count.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  available_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  if (!available_) {
    qWarning() << "Game controllers are not available:" << SDL_GetError();
    return;
  }
  connect(&pollTimer_, &QTimer::timeout, this, &SdlControllerSource::poll);
  watchDevices();
  // Controllers already plugged in are reported on the first read.
  QTimer::singleShot(0, this, &SdlControllerSource::poll);
}

SdlControllerSource::~SdlControllerSource() {
  if (!available_) {
    return;
  }
  for (const auto& opened : std::as_const(controllers_)) {
    SDL_GameControllerClose(asController(opened.controller));
  }
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  // The last user frees what SDL keeps for the whole process (hints, the mapping database).
  if (SDL_WasInit(0) == 0) {
    SDL_Quit();
  }
}

bool SdlControllerSource::isAvailable() const {
  return available_;
}

QStringList SdlControllerSource::controllerNames() const {
  QStringList names;
  for (const int id : order_) {
    names << controllers_.value(id).name;
  }
  return names;
}

const QTimer* SdlControllerSource::pollTimer() const {
  return &pollTimer_;
}

void SdlControllerSource::watchDevices() {
  watcher_ = new QFileSystemWatcher(this);
  // Without an input folder yet, its parent says when one appears.
  const QString folder = QDir(inputDeviceFolder).exists() ? inputDeviceFolder : deviceFolder;
  if (!watcher_->addPath(folder)) {
    fallbackPolling_ = true;
    updateTimer();
    return;
  }
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &SdlControllerSource::onDevicesChanged);
}

void SdlControllerSource::onDevicesChanged() {
  if (!watcher_->directories().contains(inputDeviceFolder) && QDir(inputDeviceFolder).exists()) {
    watcher_->removePaths(watcher_->directories());
    watcher_->addPath(inputDeviceFolder);
  }
  // The node appears before the system has set up its permissions and SDL has heard of it.
  settleTicksLeft_ = settleDuration / settleInterval;
  updateTimer();
}

void SdlControllerSource::poll() {
  if (!available_) {
    return;
  }
  settleTicksLeft_ = std::max(0, settleTicksLeft_ - 1);
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      openController(event.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      closeController(event.cdevice.which);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      emit buttonChanged(event.cbutton.button, event.cbutton.state == SDL_PRESSED);
      break;
    case SDL_CONTROLLERAXISMOTION:
      emit axisChanged(event.caxis.axis, event.caxis.value);
      break;
    default:
      break;
    }
  }
  updateTimer();
}

void SdlControllerSource::openController(int deviceIndex) {
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (controller == nullptr) {
    qWarning() << "Could not open the game controller:" << SDL_GetError();
    return;
  }
  const int id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  if (controllers_.contains(id)) {
    SDL_GameControllerClose(controller); // reported twice; SDL counts the opens
    return;
  }
  const char* name = SDL_GameControllerName(controller);
  const QString text = name != nullptr ? QString::fromUtf8(name) : QString();
  controllers_.insert(id, {controller, text});
  order_.append(id);
  emit controllerAdded(text);
}

void SdlControllerSource::closeController(int instanceId) {
  const auto opened = controllers_.take(instanceId);
  if (opened.controller == nullptr) {
    return;
  }
  order_.removeOne(instanceId);
  SDL_GameControllerClose(asController(opened.controller));
  emit controllerRemoved(opened.name);
}

void SdlControllerSource::updateTimer() {
  int interval = 0;
  if (!controllers_.isEmpty()) {
    interval = activeInterval;
  } else if (settleTicksLeft_ > 0) {
    interval = settleInterval;
  } else if (fallbackPolling_) {
    interval = fallbackInterval;
  }
  if (interval == 0) {
    pollTimer_.stop();
  } else if (!pollTimer_.isActive() || pollTimer_.interval() != interval) {
    pollTimer_.start(interval);
  }
}

} // namespace arvexhub::launcher
