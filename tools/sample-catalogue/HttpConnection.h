#pragma once

#include "SiteRouter.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QFile;
class QTcpSocket;

namespace arvexhub::sample {

/// One client connection: reads one HTTP/1.x request, sends the router's reply with Content-Length,
/// then closes ("Connection: close"). Files are streamed in chunks as the socket drains.
class HttpConnection final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(HttpConnection)

public:
  HttpConnection(QTcpSocket* socket, const SiteRouter* router, QObject* parent = nullptr);
  ~HttpConnection() override;

signals:
  /// A reply was started: e.g. "GET /games.json 200 1234".
  void served(const QString& line);

private:
  void readRequest();
  void handleRequest(const QByteArray& head);
  void sendReply(const SiteReply& reply);
  void pump();
  void finish();

  QTcpSocket* socket_;
  const SiteRouter* router_;
  QByteArray buffer_;
  QFile* file_{nullptr};
  qint64 remaining_{0};
  bool replying_{false};
  QTimer idleTimer_;
};

} // namespace arvexhub::sample
