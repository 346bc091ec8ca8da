#include "library/NetworkPolicy.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QtDebug>

namespace arvexhub::launcher::NetworkPolicy {
namespace {

constexpr int defaultStallTimeoutMs = 30000;
int stallTimeout = defaultStallTimeoutMs;

const char* const defaultCatalogueUrl = "https://catalogue.arvexgames.example";
const char* const defaultReleaseFeedUrl = "https://arvexgames.example/arvexhub/releases.json";

QUrl urlFromEnvironment(const char* variable, const char* fallback) {
  const auto value = qEnvironmentVariable(variable);
  return QUrl(value.isEmpty() ? QString::fromLatin1(fallback) : value, QUrl::StrictMode);
}

bool isLoopback(const QString& host) {
  if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0) {
    return true;
  }
  const QHostAddress address(host);
  return !address.isNull() && address.isLoopback();
}

/// A redirect is followed only to an allowed URL, and never from HTTPS down to HTTP. Qt has
/// already moved the reply's URL to the target when it asks: remember where it began.
void guardRedirects(QNetworkReply* reply, const QUrl& origin) {
  QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, origin](const QUrl& target) {
    // A request that began over HTTPS stays on HTTPS through every hop.
    const bool downgrade =
        origin.scheme() == QStringLiteral("https") && target.scheme() != QStringLiteral("https");
    if (downgrade || !isAllowed(target)) {
      qWarning() << "Refusing redirect:" << origin.toString() << "to" << target.toString();
      reply->abort();
      return;
    }
    emit reply->redirectAllowed();
  });
}

} // namespace

QUrl catalogueServerUrl() {
  return urlFromEnvironment("ARVEXHUB_CATALOGUE_URL", defaultCatalogueUrl);
}

QUrl catalogueDocumentUrl(const QString& documentPath) {
  auto url = catalogueServerUrl();
  auto path = url.path();
  while (path.endsWith(QLatin1Char('/'))) {
    path.chop(1);
  }
  url.setPath(path + documentPath);
  return url;
}

QUrl releaseFeedUrl() {
  return urlFromEnvironment("ARVEXHUB_RELEASE_FEED_URL", defaultReleaseFeedUrl);
}

bool isAllowed(const QUrl& url) {
  if (!url.isValid() || url.host().isEmpty()) {
    return false;
  }
  const auto scheme = url.scheme().toLower();
  return scheme == QStringLiteral("https") || (scheme == QStringLiteral("http") && isLoopback(url.host()));
}

int stallTimeoutMs() {
  return stallTimeout;
}

void setStallTimeoutMs(int milliseconds) {
  stallTimeout = milliseconds > 0 ? milliseconds : defaultStallTimeoutMs;
}

QNetworkReply* get(QNetworkAccessManager* manager, const QUrl& url,
                   const QList<QPair<QByteArray, QByteArray>>& headers) {
  if (!isAllowed(url)) {
    qWarning() << "Refusing to fetch a URL that is neither HTTPS nor local:" << url.toString();
    return nullptr;
  }
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
  request.setTransferTimeout(stallTimeout);
  for (const auto& [name, value] : headers) {
    request.setRawHeader(name, value);
  }
  auto* reply = manager->get(request);
  guardRedirects(reply, url);
  return reply;
}

void limitSize(QNetworkReply* reply, qint64 maxBytes) {
  // Checked on every chunk: the progress signal comes at most every so often.
  const auto check = [reply, maxBytes] {
    const auto declared = reply->header(QNetworkRequest::ContentLengthHeader);
    if (reply->bytesAvailable() > maxBytes || (declared.isValid() && declared.toLongLong() > maxBytes)) {
      qWarning() << "Aborting a reply larger than" << maxBytes << "bytes:" << reply->url().toString();
      reply->abort();
    }
  };
  QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, check);
  QObject::connect(reply, &QNetworkReply::readyRead, reply, check);
}

} // namespace arvexhub::launcher::NetworkPolicy
