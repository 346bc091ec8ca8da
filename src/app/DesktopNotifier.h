#pragma once

#include <QObject>
#include <QString>

namespace arvexhub::launcher {

/// Tells the desktop, through the freedesktop notification service on the session bus, that a
/// download has ended while the user looks at another window. Without a bus or a service nothing
/// is shown and nothing waits: the call is sent and its answer ignored.
class DesktopNotifier final : public QObject {
  Q_OBJECT

public:
  explicit DesktopNotifier(QObject* parent = nullptr);
  ~DesktopNotifier() override;
  Q_DISABLE_COPY_MOVE(DesktopNotifier)

  void downloadFinished(const QString& itemName);
  void downloadFailed(const QString& itemName, const QString& reason);

private:
  /// Sends the notification unless one of our windows is active; false when nothing was sent.
  bool notify(const QString& summary, const QString& body) const;
};

} // namespace arvexhub::launcher
