#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSslCertificate>
#include <QString>
#include <QStringList>
#include <QUrl>

class QTcpServer;

namespace arvexhub::test {

/// What the server answers on one path. The defaults give a plain, fast "200 OK".
struct TestHttpResponse {
  int status = 200;
  QByteArray body;
  /// Extra headers, e.g. Content-Type. Content-Length, Location and Connection are set by the server.
  QList<QPair<QByteArray, QByteArray>> headers;
  /// false: no Content-Length; the body ends when the server closes the connection.
  bool sendContentLength = true;
  /// 0: as fast as the socket takes it; otherwise the body is paced in small timed chunks.
  qint64 bytesPerSecond = 0;
  /// >= 0: send that many body bytes, then send nothing more and keep the connection open.
  qint64 stallAfterBytes = -1;
  /// >= 0: send that many body bytes, then reset the connection (no clean end).
  qint64 dropAfterBytes = -1;
  /// Non-empty: sent as Content-Length instead of the real body size.
  QByteArray declaredLength;
  /// Non-empty: sent as Location, with status 302 unless status is 301, 303, 307 or 308.
  QString redirectTo;
  /// Wait before sending the status line and headers.
  int delayMs = 0;
  /// Answers "Range: bytes=N-" with 206 and the rest of the body, unless an If-Range names another
  /// validator than this answer's ETag (or Last-Modified); then the whole body comes with 200.
  bool ranges = false;
};

/// A small HTTP/1.1 server on 127.0.0.1 for tests. It runs on the thread's event loop and never
/// blocks, so tests wait for replies with QSignalSpy::wait or QTRY_*.
///
/// Each connection serves one GET or HEAD request and then closes ("Connection: close"). Other
/// methods get 405, paths without a response get 404.
///
/// Paths: a request "/a?x=1" is answered by the response set for "/a?x=1" when there is one, else by
/// the one set for "/a". The path part is compared percent-decoded, the query as sent.
class TestHttpServer : public QObject {
  Q_OBJECT

public:
  enum class Mode { Http, Https };

  explicit TestHttpServer(Mode mode = Mode::Http, QObject* parent = nullptr);
  ~TestHttpServer() override;

  /// Listens on 127.0.0.1 with a port the system picks. True when listening.
  bool listen();
  quint16 port() const;
  /// "http://127.0.0.1:<port><path>" (https in Https mode).
  QUrl url(const QString& path) const;

  void setResponse(const QString& path, const TestHttpResponse& response);
  /// Serves the file's content as the body, read from disk in chunks at request time. The body of
  /// `options` is ignored; a file that cannot be opened then gives 500.
  void setBodyFromFile(const QString& path, const QString& filePath, TestHttpResponse options = {});
  /// Queues answers for the path after the current one: each request takes the next, the last
  /// stays. A file that changes between requests, a connection cut only the first time.
  void appendResponse(const QString& path, const TestHttpResponse& response, const QString& filePath = {});
  /// Forgets every response, every recorded request and the bytes sent.
  void clear();

  /// Requests whose target is `path`; when `path` has no query, requests for it with any query too.
  int requestCount(const QString& path) const;
  /// Body bytes written to clients so far, over every request.
  qint64 bodyBytesSent() const;

  /// The self-signed certificate of the Https mode, for 127.0.0.1 and localhost.
  static QSslCertificate certificate();
  /// Adds certificate() to the CA certificates of QSslConfiguration::defaultConfiguration(), once.
  static void trustCertificate();

private:
  class Connection;
  struct Route {
    TestHttpResponse response;
    QString filePath; // non-empty: the body comes from this file
  };

  void acceptConnections();
  /// Records the request and returns the route that answers it (a 404/405 route when none does).
  Route route(const QByteArray& method, const QString& target);
  Route takeRoute(const QString& key);

  Mode mode_;
  QTcpServer* server_ = nullptr;
  QHash<QString, QList<Route>> routes_;
  QStringList requested_;
  qint64 bodyBytesSent_ = 0;
};

} // namespace arvexhub::test
