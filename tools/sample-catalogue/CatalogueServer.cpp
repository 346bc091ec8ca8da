#include "CatalogueServer.h"

#include "HttpConnection.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace arvexhub::sample {

CatalogueServer::CatalogueServer(const QString& folder, QObject* parent)
    : QObject(parent)
    , router_(folder) {
  connect(&server_, &QTcpServer::newConnection, this, &CatalogueServer::acceptConnections);
}

bool CatalogueServer::listen(quint16 port) {
  return server_.listen(QHostAddress::LocalHost, port);
}

quint16 CatalogueServer::port() const {
  return server_.serverPort();
}

QString CatalogueServer::errorString() const {
  return server_.errorString();
}

void CatalogueServer::acceptConnections() {
  while (auto* socket = server_.nextPendingConnection()) {
    auto* connection = new HttpConnection(socket, &router_, this);
    connect(connection, &HttpConnection::served, this, &CatalogueServer::served);
  }
}

} // namespace arvexhub::sample
