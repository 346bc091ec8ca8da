#include "instance/InstanceServer.h"

#include <QLocalSocket>
#include <QLoggingCategory>
#include <QTimer>

#include <utility>

namespace arvexhub::instance {

namespace {
Q_LOGGING_CATEGORY(lcServer, "arvexhub.instance.server")
} // namespace

InstanceServer::InstanceServer(QObject* parent)
    : QObject(parent) {
  connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::acceptConnections);
}

InstanceServer::~InstanceServer() {
  close();
}

bool InstanceServer::listen(const QString& name) {
  close();
  // Only called while holding the instance lock, so a socket already there is a crashed
  // primary's leftover, never a live server.
  QLocalServer::removeServer(name);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(name)) {
    qCWarning(lcServer) << "Cannot listen on" << name << ':' << server_.errorString();
    return false;
  }
  return true;
}

void InstanceServer::close() {
  server_.close();
  // Taken out first: aborting a socket emits disconnected, which looks the socket up again.
  const auto pending = std::exchange(pending_, {});
  for (const auto& entry : pending) {
    entry.first->abort();
    entry.first->deleteLater();
  }
}

bool InstanceServer::isListening() const {
  return server_.isListening();
}

void InstanceServer::acceptConnections() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    ++connections_;
    if (pending_.size() >= kMaxPendingConnections) {
      qCWarning(lcServer) << "Refused connection" << connections_ << ": too many at once";
      socket->abort();
      socket->deleteLater();
      continue;
    }
    accept(socket);
  }
}

void InstanceServer::accept(QLocalSocket* socket) {
  pending_.emplace(socket, Pending{connections_, FrameDecoder()});
  // Keeps unread data in the kernel rather than in our memory; one frame is all we want.
  socket->setReadBufferSize(kFrameHeaderSize + kMaxMessageSize + 1);
  connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
  connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
    readFrom(socket); // what arrived just before the close still counts
    drop(socket, "closed before sending a whole message");
  });
  QTimer::singleShot(kReadTimeoutMs, socket, [this, socket] { drop(socket, "timed out"); });
  if (socket->bytesAvailable() > 0) {
    readFrom(socket);
  }
}

void InstanceServer::readFrom(QLocalSocket* socket) {
  const auto it = pending_.find(socket);
  if (it == pending_.end()) {
    return;
  }
  switch (it->second.decoder.feed(socket->readAll())) {
  case FrameDecoder::State::Incomplete:
    return;
  case FrameDecoder::State::Invalid:
    drop(socket, "malformed or oversized message");
    return;
  case FrameDecoder::State::Complete:
    finish(socket);
    return;
  }
}

void InstanceServer::finish(QLocalSocket* socket) {
  const auto it = pending_.find(socket);
  const auto id = it->second.id;
  const auto message = it->second.decoder.message();
  pending_.erase(it);
  // Acknowledge before emitting: the secondary is waiting to exit, whatever the slots do.
  socket->write(&kAcknowledgement, 1);
  connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  socket->disconnectFromServer();
  emit messageReceived(id, message);
}

void InstanceServer::drop(QLocalSocket* socket, const char* reason) {
  const auto it = pending_.find(socket);
  if (it == pending_.end()) {
    return;
  }
  qCWarning(lcServer, "Dropped connection %u: %s", it->second.id, reason);
  pending_.erase(it);
  socket->abort();
  socket->deleteLater();
}

} // namespace arvexhub::instance
