#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QFileSystemWatcher;

namespace arvexhub::launcher {

/// The game controllers SDL knows, read through its game-controller interface only (no SDL
/// window, no video): every controller SDL's built-in mapping database describes, connected and
/// disconnected while the program runs.
///
/// SDL learns of new devices only when it is asked (SDL_PumpEvents), so asking on a timer would
/// wake the program all the time. Instead a file-system watcher on the input device folder (an
/// inotify watch, no wake-ups) says when a device node comes or goes; SDL is then asked a few
/// times while the system sets the device up. The timer runs steadily only while a controller is
/// connected. Where no device folder can be watched, SDL is asked every two seconds.
class SdlControllerSource final : public QObject {
  Q_OBJECT

public:
  /// How often connected controllers are read, in milliseconds: a press waits at most this long
  /// before the window answers it.
  static constexpr int activeInterval = 8;
  /// How often SDL is asked while a new device settles, and for how long.
  static constexpr int settleInterval = 250;
  static constexpr int settleDuration = 3000;
  /// How often SDL is asked where no device folder can be watched.
  static constexpr int fallbackInterval = 2000;

  explicit SdlControllerSource(QObject* parent = nullptr);
  ~SdlControllerSource() override;
  Q_DISABLE_COPY_MOVE(SdlControllerSource)

  /// False when SDL could not start its game-controller support; nothing is ever reported then.
  bool isAvailable() const;
  /// The names of the connected controllers, in the order they came.
  QStringList controllerNames() const;
  /// The timer that reads SDL; it runs only while a controller is connected or a device settles.
  const QTimer* pollTimer() const;

public slots:
  /// Reads what SDL has now: new and removed controllers, buttons and sticks.
  void poll();

signals:
  void controllerAdded(const QString& name);
  void controllerRemoved(const QString& name);
  /// `button` is an SDL_GameControllerButton.
  void buttonChanged(int button, bool pressed);
  /// `axis` is an SDL_GameControllerAxis, `value` from -32768 to 32767.
  void axisChanged(int axis, int value);

private:
  struct Opened {
    void* controller{nullptr}; ///< the SDL_GameController
    QString name;
  };

  void watchDevices();
  void onDevicesChanged();
  void openController(int deviceIndex);
  void closeController(int instanceId);
  void updateTimer();

  bool available_{false};
  QTimer pollTimer_;
  QFileSystemWatcher* watcher_{nullptr};
  int settleTicksLeft_{0};
  bool fallbackPolling_{false};
  QHash<int, Opened> controllers_; ///< by SDL joystick instance id
  QList<int> order_;               ///< instance ids, in the order they came
};

} // namespace arvexhub::launcher
