#include "HttpConnection.h"

#include <QFile>
#include <QTcpSocket>

namespace arvexhub::sample {
namespace {

constexpr qsizetype maxHeadSize = 16 * 1024;
constexpr qint64 chunkSize = 64 * 1024;
constexpr qint64 maxQueuedBytes = 256 * 1024;
constexpr int idleTimeoutMs = 30000;

QByteArray headerValue(const QList<QByteArray>& lines, const QByteArray& name) {
  for (const auto& line : lines) {
    const auto colon = line.indexOf(':');
    if (colon > 0 && line.left(colon).trimmed().toLower() == name) {
      return line.mid(colon + 1).trimmed();
    }
  }
  return {};
}

QByteArray statusHead(const SiteReply& reply) {
  QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reply.reason + "\r\n";
  head += "Content-Type: " + reply.contentType + "\r\n";
  head += "Content-Length: " + QByteArray::number(reply.length) + "\r\n";
  if (reply.status == 405) {
    head += "Allow: GET, HEAD\r\n";
  }
  head += "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
  return head;
}

} // namespace

HttpConnection::HttpConnection(QTcpSocket* socket, const SiteRouter* router, QObject* parent)
    : QObject(parent)
    , socket_(socket)
    , router_(router) {
  socket_->setParent(this);
  connect(socket_, &QTcpSocket::readyRead, this, &HttpConnection::readRequest);
  connect(socket_, &QTcpSocket::bytesWritten, this, &HttpConnection::pump);
  connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
  // A client that sends nothing, or stops reading, does not hold the connection for ever.
  idleTimer_.setSingleShot(true);
  idleTimer_.setInterval(idleTimeoutMs);
  connect(&idleTimer_, &QTimer::timeout, socket_, &QTcpSocket::abort);
  connect(socket_, &QTcpSocket::bytesWritten, &idleTimer_, qOverload<>(&QTimer::start));
  idleTimer_.start();
  readRequest();
}

HttpConnection::~HttpConnection() = default;

void HttpConnection::readRequest() {
  if (replying_) {
    socket_->readAll();
    return;
  }
  buffer_ += socket_->readAll();
  const auto end = buffer_.indexOf("\r\n\r\n");
  if (end >= 0) {
    handleRequest(buffer_.left(end));
  } else if (buffer_.size() > maxHeadSize) {
    replying_ = true;
    sendReply(SiteRouter::errorReply(431, "Request Header Fields Too Large"));
  }
}

void HttpConnection::handleRequest(const QByteArray& head) {
  replying_ = true;
  const auto lines = head.split('\n');
  const auto requestLine = lines.value(0).trimmed().split(' ');
  if (requestLine.size() != 3 || !requestLine.at(2).startsWith("HTTP/1.")) {
    sendReply(SiteRouter::errorReply(400, "Bad Request"));
    return;
  }
  const auto& method = requestLine.at(0);
  const auto& target = requestLine.at(1);
  const auto reply = router_->reply(method, target, headerValue(lines, "host"), socket_->localPort());
  // One multi-argument arg() call: a "%1" inside the target must not be substituted again.
  emit served(QStringLiteral("%1 %2 %3 %4")
                  .arg(QString::fromLatin1(method), QString::fromLatin1(target),
                       QString::number(reply.status), QString::number(reply.length)));
  sendReply(reply);
}

void HttpConnection::sendReply(const SiteReply& reply) {
  socket_->write(statusHead(reply));
  if (reply.headOnly) {
    return finish();
  }
  if (reply.filePath.isEmpty()) {
    socket_->write(reply.body);
    return finish();
  }
  file_ = new QFile(reply.filePath, this);
  if (!file_->open(QIODevice::ReadOnly)) {
    socket_->abort(); // the head promised a body that cannot be read
    return;
  }
  remaining_ = reply.length;
  pump();
}

void HttpConnection::pump() {
  if (file_ == nullptr) {
    return;
  }
  while (remaining_ > 0 && socket_->bytesToWrite() < maxQueuedBytes) {
    const auto chunk = file_->read(qMin(chunkSize, remaining_));
    if (chunk.isEmpty()) {
      socket_->abort(); // the file shrank under us; a short body must not look complete
      return;
    }
    remaining_ -= chunk.size();
    socket_->write(chunk);
  }
  if (remaining_ == 0) {
    file_->close();
    file_ = nullptr;
    finish();
  }
}

void HttpConnection::finish() {
  // disconnectFromHost() sends what is queued before closing.
  socket_->disconnectFromHost();
}

} // namespace arvexhub::sample
