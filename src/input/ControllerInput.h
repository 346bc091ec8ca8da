#pragma once

#include <QEvent>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QWidget;

namespace arvexhub::launcher {

class SdlControllerSource;

/// Turns a game controller into what the program already answers. The D-pad and the left stick
/// (past a dead zone, with key repeat) become arrow keys, A becomes Return and B Escape, all sent
/// to the widget that has the keyboard focus (or the open menu), so grids, menus and message boxes
/// answer as they do to the keyboard. X, Y, the shoulder buttons and Start are requests for the
/// window to carry out.
class ControllerInput final : public QObject {
  Q_OBJECT

public:
  enum class Action {
    Up,
    Down,
    Left,
    Right,
    Activate,    ///< A: Return
    Back,        ///< B: Escape
    ContextMenu, ///< X
    Properties,  ///< Y
    PreviousTab, ///< left shoulder
    NextTab,     ///< right shoulder
    CouchMode,   ///< Start
  };
  Q_ENUM(Action)

  /// Stick positions nearer the centre than this count as the centre.
  static constexpr int deadZone = 12000;
  /// Gives the window a first look at an action; true when it was taken care of, so no key goes
  /// out for it.
  using ActionFilter = std::function<bool(Action)>;

  explicit ControllerInput(QObject* parent = nullptr);
  ~ControllerInput() override;
  Q_DISABLE_COPY_MOVE(ControllerInput)

  SdlControllerSource* source() const;
  void setActionFilter(ActionFilter filter);
  /// The window whose focus widget receives the keys while no menu or dialog is open: the main
  /// window, or couch mode while it is shown. Without one, the active window does.
  void setKeyWindow(QWidget* window);
  /// While disabled (a game runs and reads the same controller) nothing is sent.
  void setEnabled(bool enabled);
  bool isEnabled() const;
  /// How long a held direction waits before it repeats, and how often it repeats then.
  void setRepeatTiming(int delayMs, int intervalMs);

signals:
  /// X, Y, the shoulder buttons and Start, once per press.
  void actionRequested(ControllerInput::Action action);

private:
  void onButtonChanged(int button, bool pressed);
  void onAxisChanged(int axis, int value);
  void updateDirection();
  void pressAction(Action action);
  void releaseAction(Action action);
  void sendKey(Action action, QEvent::Type type, bool autoRepeat);
  void repeatDirection();
  QWidget* keyTarget() const;

  SdlControllerSource* source_;
  ActionFilter filter_;
  QPointer<QWidget> keyWindow_;
  bool enabled_{true};
  QTimer repeatTimer_;
  int repeatDelay_{400};
  int repeatInterval_{90};
  int padDirections_{0}; ///< bits of the D-pad's held directions
  int stickX_{0};
  int stickY_{0};
  int heldDirection_{-1};                     ///< the Action sent as a held arrow key, or -1
  QHash<int, QPointer<QWidget>> pressedKeys_; ///< Action → where its key press went
};

} // namespace arvexhub::launcher
