#pragma once

#include <QAbstractNetworkCache>

namespace arvexhub::fuzz {

class LoopbackServer;

/// Hands a network access manager the loopback server's documents from memory, as fresh cache
/// entries: Qt answers a request for one of them (200, its body and type) without a thread or a
/// socket. Any other address (another path, host or port) still goes to the network. Nothing
/// is ever stored.
class LoopbackCache final : public QAbstractNetworkCache {
public:
  explicit LoopbackCache(const LoopbackServer* server);

  QNetworkCacheMetaData metaData(const QUrl& url) override;
  void updateMetaData(const QNetworkCacheMetaData& metaData) override;
  QIODevice* data(const QUrl& url) override;
  bool remove(const QUrl& url) override;
  qint64 cacheSize() const override;
  QIODevice* prepare(const QNetworkCacheMetaData& metaData) override;
  void insert(QIODevice* device) override;
  void clear() override;

private:
  const LoopbackServer* server_;
};

} // namespace arvexhub::fuzz
