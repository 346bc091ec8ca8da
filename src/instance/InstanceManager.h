#pragma once

#include "instance/InstanceServer.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QLockFile;

namespace arvexhub::instance {

/// Keeps the program to one running instance per user. In Single mode the first instance
/// becomes the primary; a later start becomes a secondary, hands its message (by default its
/// command line) to the primary and exits.
///
/// Configure the server name and message before calling setMode(Mode::Single): that call decides
/// the role at once when an application object exists, otherwise on the first event-loop turn.
class InstanceManager final : public QObject {
  Q_OBJECT

public:
  enum class Mode { Multiple = 0, Single = 1 };
  Q_ENUM(Mode)
  enum class ExitMode { Auto = 0, Manual = 1 };
  Q_ENUM(ExitMode)

  explicit InstanceManager(QObject* parent = nullptr);
  /// Closes the server, removes its socket and releases the lock.
  ~InstanceManager() override;
  Q_DISABLE_COPY_MOVE(InstanceManager)

  Mode mode() const;
  void setMode(Mode mode);
  ExitMode exitMode() const;
  void setExitMode(ExitMode mode);

  /// True in Multiple mode, where every instance stands on its own, and for the Single-mode primary.
  bool isPrimary() const;
  bool isSecondary() const;
  /// Whether this secondary's message reached the primary and was acknowledged.
  bool messageDelivered() const;

  /// Defaults to "arvexhub-<hash of organization and application name>-<user id>". Characters
  /// other than letters, digits, '-' and '_' are replaced; an empty name restores the default.
  QString serverName() const;
  void setServerName(const QString& name);
  /// Where the primary listens: a socket in the user's private runtime folder (the bare name, in
  /// the temporary folder, should that path be too long for a socket address).
  QString fullServerName() const;
  /// The lock file deciding the primary; empty when no private folder could be found.
  QString lockFilePath() const;

  /// Defaults to the application's arguments after the program name, joined with spaces, in UTF-8.
  /// At most kMaxMessageSize bytes; a longer message is not sent.
  QByteArray messageToSend() const;
  void setMessageToSend(const QByteArray& message);

signals:
  /// The primary received `message` from secondary connection number `id` (counting from 1).
  void secondaryInstanceMessageReceived(unsigned int id, const QByteArray& message);
  /// This instance is a secondary and should end, whether or not its message got through. In
  /// ExitMode::Auto the process then ends at once: code 0 if the primary acknowledged the message,
  /// 1 if it was too large or the primary (alive, holding the lock) did not answer.
  void appExitRequested();

private:
  enum class Role { Undecided, Primary, Secondary };

  QString folder() const;
  void decideRole();
  bool becomePrimary();
  bool takeLock(const QString& path);
  void becomeSecondary();
  void releasePrimary();

  Mode mode_{Mode::Multiple};
  ExitMode exitMode_{ExitMode::Auto};
  Role role_{Role::Undecided};
  bool delivered_{false};
  QString serverName_;
  mutable std::optional<QString> folder_; // looked up once: the lookup can warn and create folders
  std::optional<QByteArray> message_;
  std::unique_ptr<QLockFile> lock_;
  InstanceServer server_;
};

} // namespace arvexhub::instance
