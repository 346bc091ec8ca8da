#include "app/BasicUpdater.h"

#include "library/NetworkPolicy.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QVersionNumber>
#include <QtDebug>

namespace arvexhub::launcher {
namespace {

/// The feed is small: a check that hears nothing for this long has failed.
constexpr int transferTimeoutMs = 5000;

QVersionNumber runningVersion() {
  return QVersionNumber::fromString(QCoreApplication::applicationVersion());
}

BasicUpdater::Result failure(int error) {
  BasicUpdater::Result result;
  result.code = 2;
  result.currentVersion = runningVersion().toString();
  result.error = error;
  return result;
}

/// "v1.2.3", "V1.2.3" or "1.2.3"; a null version when the tag holds none.
QVersionNumber releasedVersion(const QJsonObject& feed) {
  QString tag = feed.value(QStringLiteral("tag_name")).toString();
  if (tag.startsWith(QLatin1Char('v'), Qt::CaseInsensitive)) {
    tag.remove(0, 1);
  }
  return QVersionNumber::fromString(tag);
}

/// The release page is opened in the user's browser: only an address our network rules
/// accept is taken, never a local file or another program's scheme.
QString releaseAddress(const QJsonObject& feed) {
  const QString address =
      feed.value(QStringLiteral("_links")).toObject().value(QStringLiteral("self")).toString();
  return NetworkPolicy::isAllowed(QUrl(address, QUrl::StrictMode)) ? address : QString();
}

} // namespace

BasicUpdater::Result BasicUpdater::resultFromFeed(const QByteArray& body) {
  const QJsonObject feed = QJsonDocument::fromJson(body).object();
  const QVersionNumber released = releasedVersion(feed);
  if (released.isNull()) {
    return failure(-1);
  }
  const QVersionNumber current = runningVersion();
  if (QVersionNumber::compare(released, current) <= 0) {
    return {0, current.toString(), current.toString(), QString(), 0};
  }
  const QString address = releaseAddress(feed);
  if (address.isEmpty()) {
    return failure(-1);
  }
  return {1, current.toString(), released.toString(), address, 0};
}

BasicUpdater::BasicUpdater(QObject* parent)
    : QObject(parent)
    , network_(new QNetworkAccessManager(this)) {
  qRegisterMetaType<BasicUpdater::Result>();
  connect(network_, &QNetworkAccessManager::finished, this, &BasicUpdater::onReplyReceived);
}

BasicUpdater::~BasicUpdater() = default;

void BasicUpdater::checkForUpdates(const QString& url) {
  if (busy_) {
    return;
  }
  busy_ = true;
  emit checkStarted();
  const QUrl feedUrl(url, QUrl::StrictMode);
  if (!NetworkPolicy::isAllowed(feedUrl)) {
    // Nothing was sent, so no reply will ever clear the flag: finish the check here.
    qWarning() << "Refusing to check for updates at a URL that is neither HTTPS nor local:" << url;
    busy_ = false;
    emit checkFinished(failure(QNetworkReply::ProtocolUnknownError));
    return;
  }
  QNetworkRequest request(feedUrl);
  // Same origin only: a redirect can neither leave the maker's host nor drop HTTPS.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
  request.setTransferTimeout(transferTimeoutMs);
  network_->get(request);
}

void BasicUpdater::doUpdate() {
  // Installing a release is left to the user: the status bar opens the release page.
}

void BasicUpdater::onReplyReceived(QNetworkReply* reply) {
  busy_ = false;
  reply->deleteLater();
  if (reply->error() != QNetworkReply::NoError) {
    emit checkFinished(failure(reply->error()));
    return;
  }
  emit checkFinished(resultFromFeed(reply->readAll()));
}

} // namespace arvexhub::launcher
