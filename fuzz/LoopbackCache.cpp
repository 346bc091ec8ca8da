#include "LoopbackCache.h"

#include "FuzzSupport.h"

#include <QBuffer>
#include <QDateTime>

namespace arvexhub::fuzz {

LoopbackCache::LoopbackCache(const LoopbackServer* server)
    : server_(server) {}

QNetworkCacheMetaData LoopbackCache::metaData(const QUrl& url) {
  const LoopbackServer::Document* document = server_->documentAt(url);
  // Qt never ends a reply whose cached body is empty: that one comes from the server.
  if (document == nullptr || document->body.isEmpty()) {
    return {};
  }
  QNetworkCacheMetaData entry;
  entry.setUrl(url);
  entry.setSaveToDisk(true);
  // Fresh for a while: Qt takes it without asking the server whether it changed.
  entry.setExpirationDate(QDateTime::currentDateTimeUtc().addSecs(3600));
  entry.setRawHeaders({{"Content-Type", document->contentType},
                       {"Content-Length", QByteArray::number(document->body.size())}});
  entry.setAttributes({{QNetworkRequest::HttpStatusCodeAttribute, 200},
                       {QNetworkRequest::HttpReasonPhraseAttribute, QByteArray("OK")}});
  return entry;
}

void LoopbackCache::updateMetaData(const QNetworkCacheMetaData&) {}

QIODevice* LoopbackCache::data(const QUrl& url) {
  const LoopbackServer::Document* document = server_->documentAt(url);
  if (document == nullptr) {
    return nullptr;
  }
  auto* device = new QBuffer; // Qt deletes it once read
  device->setData(document->body);
  device->open(QIODevice::ReadOnly);
  return device;
}

bool LoopbackCache::remove(const QUrl&) {
  return false;
}

qint64 LoopbackCache::cacheSize() const {
  return 0;
}

QIODevice* LoopbackCache::prepare(const QNetworkCacheMetaData&) {
  return nullptr; // what comes from the network is not kept
}

void LoopbackCache::insert(QIODevice*) {}

void LoopbackCache::clear() {}

} // namespace arvexhub::fuzz
