#pragma once

#include "instance/MessageFraming.h"

#include <QLocalServer>
#include <QObject>

#include <unordered_map>

class QLocalSocket;

namespace arvexhub::instance {

/// The primary's end of the channel: accepts secondaries, reads the one frame each sends,
/// acknowledges it and reports it. Malformed, oversized or stalled connections are dropped.
class InstanceServer final : public QObject {
  Q_OBJECT

public:
  /// How long a connection may take to deliver its whole frame.
  static constexpr int kReadTimeoutMs = 2000;
  /// Connections being read at once; more are refused so a flood cannot pile up buffers.
  static constexpr std::size_t kMaxPendingConnections = 16;

  explicit InstanceServer(QObject* parent = nullptr);
  ~InstanceServer() override;
  Q_DISABLE_COPY_MOVE(InstanceServer)

  /// Replaces any socket left behind by a crashed primary and listens, reachable by this user only.
  bool listen(const QString& name);
  /// Stops listening, drops every connection and removes the socket file.
  void close();
  bool isListening() const;

signals:
  /// A whole message arrived on connection number `id` (counting every accepted connection from 1).
  void messageReceived(unsigned int id, const QByteArray& message);

private:
  struct Pending {
    unsigned int id{0};
    FrameDecoder decoder;
  };

  void acceptConnections();
  void accept(QLocalSocket* socket);
  void readFrom(QLocalSocket* socket);
  void finish(QLocalSocket* socket);
  void drop(QLocalSocket* socket, const char* reason);

  QLocalServer server_;
  std::unordered_map<QLocalSocket*, Pending> pending_;
  unsigned int connections_{0};
};

} // namespace arvexhub::instance
