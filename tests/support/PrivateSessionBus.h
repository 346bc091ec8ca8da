#pragma once

#include <QProcess>
#include <QString>

namespace arvexhub::test {

/// A session bus of the test's own: starts `dbus-daemon --session` and points
/// DBUS_SESSION_BUS_ADDRESS at it, so services the program registers on "the" session bus can be
/// called as another client would, without touching the desktop's bus. Create it before the first
/// use of QDBusConnection::sessionBus(), which reads the address once.
class PrivateSessionBus {
public:
  PrivateSessionBus();
  ~PrivateSessionBus();
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  /// False when the daemon could not start (not installed, or it did not answer).
  bool isValid() const;
  QString address() const;

private:
  QProcess daemon_;
  QString address_;
};

} // namespace arvexhub::test
