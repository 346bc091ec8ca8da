#pragma once

#include "SiteRouter.h"

#include <QObject>
#include <QString>
#include <QTcpServer>

namespace arvexhub::sample {

/// Serves a catalogue folder over HTTP on 127.0.0.1 only.
class CatalogueServer final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CatalogueServer)

public:
  explicit CatalogueServer(const QString& folder, QObject* parent = nullptr);

  /// Listens on 127.0.0.1; port 0 lets the system pick a free port.
  bool listen(quint16 port);
  quint16 port() const;
  QString errorString() const;

signals:
  /// One line per request, e.g. "GET /games.json 200 1234".
  void served(const QString& line);

private:
  void acceptConnections();

  SiteRouter router_;
  QTcpServer server_;
};

} // namespace arvexhub::sample
