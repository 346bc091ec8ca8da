#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace arvexhub::launcher::NetworkPolicy {

/// The catalogue server: $ARVEXHUB_CATALOGUE_URL, else the maker's address.
QUrl catalogueServerUrl();
/// A document of the catalogue server, for example "/games.json".
QUrl catalogueDocumentUrl(const QString& documentPath);
/// The application's release feed: $ARVEXHUB_RELEASE_FEED_URL, else the maker's address.
QUrl releaseFeedUrl();

/// HTTPS anywhere; plain HTTP only to this machine (127.0.0.0/8, ::1, localhost).
bool isAllowed(const QUrl& url);

/// How long a request may go without receiving anything before it fails.
int stallTimeoutMs();
/// Tests shorten the stall timeout; 0 restores the default.
void setStallTimeoutMs(int milliseconds);

/// Largest amount of data a streamed download buffers before the program has written it out:
/// Qt's default is unbounded and runs hundreds of MB ahead of the disk.
inline constexpr qint64 streamedReadBufferSize = qint64{1} << 20;

/// Sends a GET with the program's rules: refused (nullptr, with a warning) for a URL that is
/// not allowed; a stall timeout; redirects followed only to allowed URLs and never from HTTPS
/// to HTTP.
/// `headers` are added to the request (a range to continue a download, for instance).
QNetworkReply* get(QNetworkAccessManager* manager, const QUrl& url,
                   const QList<QPair<QByteArray, QByteArray>>& headers = {});
/// Aborts the reply, with a warning, once it declares or holds more than `maxBytes`: for answers
/// that are read whole when they have arrived.
void limitSize(QNetworkReply* reply, qint64 maxBytes);

} // namespace arvexhub::launcher::NetworkPolicy
