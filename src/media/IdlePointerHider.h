#pragma once

#include <QCursor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

namespace arvexhub::launcher {

/// Hides the pointer over a surface, and the controls floating over it, once the pointer has
/// rested there for a while; the next movement brings both back. Used in full screen, where
/// the controls would otherwise cover the page for good.
class IdlePointerHider final : public QObject {
  Q_OBJECT

public:
  /// The rest after which the pointer and the controls go away.
  static constexpr int defaultDelayMsec = 3000;

  IdlePointerHider(QWidget* surface, QObject* parent);
  ~IdlePointerHider() override;
  Q_DISABLE_COPY_MOVE(IdlePointerHider)

  void setDelay(int msec);
  /// The widgets that go away with the pointer; only those visible at that moment come back.
  void setWidgets(const QList<QWidget*>& widgets);
  /// Starts watching for rest; turning it off brings the pointer and the controls back.
  void setActive(bool active);
  bool isActive() const;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void hideAll();
  void showAll();
  bool pointerOverWidgets() const;

  QPointer<QWidget> surface_;
  QList<QPointer<QWidget>> widgets_;
  QList<QPointer<QWidget>> hiddenWidgets_;
  QTimer timer_;
  QCursor surfaceCursor_;
  bool surfaceHadCursor_{false};
  bool surfaceTracked_{false};
  bool pointerHidden_{false};
  bool active_{false};
};

} // namespace arvexhub::launcher
