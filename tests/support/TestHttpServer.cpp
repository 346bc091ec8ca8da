#include "TestHttpServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/sockios.h>
#include <sys/ioctl.h>
#endif

namespace arvexhub::test {

namespace {

constexpr qint64 kChunkSize = 64 * 1024;
// Keeps memory bounded for huge files: no more than this waits in the socket's buffers.
constexpr qint64 kHighWater = 256 * 1024;
constexpr int kMaxRequestHead = 64 * 1024;
constexpr int kPaceIntervalMs = 20;
constexpr int kDrainPollMs = 5;
constexpr int kDrainLimitMs = 2000;

QString certificateDir() {
  return QStringLiteral(ARVEXHUB_TEST_CERT_DIR);
}

QByteArray readFixture(const QString& name) {
  QFile file(certificateDir() + QLatin1Char('/') + name);
  if (!file.open(QIODevice::ReadOnly)) {
    qWarning("TestHttpServer: cannot read %s", qPrintable(file.fileName()));
    return {};
  }
  return file.readAll();
}

QSslKey privateKey() {
  static const QSslKey key(readFixture(QStringLiteral("server.key")), QSsl::Rsa, QSsl::Pem);
  return key;
}

bool isRedirectStatus(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QByteArray reasonPhrase(int status) {
  // Clients go by the code; the phrase is for people reading a capture.
  return status < 300 ? "OK" : status < 400 ? "Redirect" : status < 500 ? "Client Error" : "Server Error";
}

// The request target as a route key: the path percent-decoded, the query (if any) as sent.
QString routeKey(const QByteArray& target) {
  const int query = target.indexOf('?');
  const QByteArray path = query < 0 ? target : target.left(query);
  QString key = QUrl::fromPercentEncoding(path);
  if (query >= 0) {
    key += QString::fromLatin1(target.mid(query));
  }
  return key;
}

QString pathWithoutQuery(const QString& target) {
  return target.section(QLatin1Char('?'), 0, 0);
}

// Bytes the kernel still holds for the peer (unsent or unacknowledged).
qint64 kernelBytesToWrite(const QTcpSocket* socket) {
#ifdef Q_OS_LINUX
  int queued = 0;
  if (ioctl(static_cast<int>(socket->socketDescriptor()), SIOCOUTQ, &queued) == 0) {
    return queued;
  }
#else
  Q_UNUSED(socket);
#endif
  return 0;
}

// Closes with a TCP reset rather than a FIN, so even a body without Content-Length ends uncleanly.
void resetConnection(QTcpSocket* socket) {
#ifdef Q_OS_UNIX
  const linger hardClose{1, 0};
  setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hardClose,
             sizeof hardClose);
#endif
  socket->abort();
}

} // namespace

/// Serves the single request of one accepted socket, then deletes itself.
class TestHttpServer::Connection : public QObject {
public:
  Connection(TestHttpServer* server, QTcpSocket* socket);
  ~Connection() override;

private:
  enum class State { Reading, Waiting, Sending, Ending, Stalled };
  enum class End { Close, Stall, Drop };

  void readRequest();
  void handleRequest(const QByteArray& head);
  void start(const Route& route);
  void startSending(bool headOnly);
  void applyRange(const QByteArray& head);
  void sendHeaders();
  QByteArray headerBlock() const;
  void pump();
  qint64 budget() const;
  QByteArray readBody(qint64 maxSize);
  void schedulePace();
  void finishBody();
  void resetWhenFlushed();
  qint64 pendingBytes() const;

  TestHttpServer* server_;
  QTcpSocket* socket_;
  State state_ = State::Reading;
  QByteArray head_;
  TestHttpResponse response_;
  QFile file_;
  qint64 bodySize_ = 0;
  qint64 offset_ = 0; // where a range starts in the body
  QByteArray range_;  // the Content-Range of a 206
  qint64 limit_ = 0;
  qint64 sent_ = 0;
  End end_ = End::Close;
  QElapsedTimer clock_;
  bool pacing_ = false;
  bool pumping_ = false;
};

TestHttpServer::Connection::Connection(TestHttpServer* server, QTcpSocket* socket)
    : QObject(server)
    , server_(server)
    , socket_(socket) {
  socket_->setParent(this);
  connect(socket_, &QTcpSocket::readyRead, this, &Connection::readRequest);
  connect(socket_, &QTcpSocket::bytesWritten, this, &Connection::pump);
  connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
  if (auto* ssl = qobject_cast<QSslSocket*>(socket_)) {
    // bytesWritten reports encryption, not sending: room in the buffer shows up here.
    connect(ssl, &QSslSocket::encryptedBytesWritten, this, &Connection::pump);
  }
  if (socket_->state() != QAbstractSocket::ConnectedState) {
    deleteLater();
    return;
  }
  // Bytes that came with the TLS handshake are already buffered and raise no further readyRead.
  QTimer::singleShot(0, this, &Connection::readRequest);
}

TestHttpServer::Connection::~Connection() {
  // The socket is deleted with us; none of its last signals must reach a half-destroyed object.
  socket_->disconnect(this);
}

void TestHttpServer::Connection::readRequest() {
  const QByteArray data = socket_->readAll();
  if (state_ != State::Reading) {
    return; // one request per connection; anything after it is read and dropped
  }
  head_ += data;
  const int end = head_.indexOf("\r\n\r\n");
  if (end >= 0) {
    handleRequest(head_.left(end));
  } else if (head_.size() > kMaxRequestHead) {
    socket_->abort();
    deleteLater();
  }
}

void TestHttpServer::Connection::handleRequest(const QByteArray& head) {
  const int lineEnd = head.indexOf("\r\n");
  const QList<QByteArray> parts = (lineEnd < 0 ? head : head.left(lineEnd)).split(' ');
  if (parts.size() != 3 || !parts[1].startsWith('/') || !parts[2].startsWith("HTTP/")) {
    Route bad;
    bad.response.status = 400;
    bad.response.body = "Bad request\n";
    start(bad);
    startSending(false);
    return;
  }
  start(server_->route(parts[0], routeKey(parts[1])));
  if (response_.ranges) {
    applyRange(head);
  }
  startSending(parts[0] == "HEAD");
}

void TestHttpServer::Connection::applyRange(const QByteArray& head) {
  QByteArray range;
  QByteArray ifRange;
  for (const QByteArray& line : head.split('\n')) {
    const QByteArray lower = line.trimmed().toLower();
    if (lower.startsWith("range: bytes=")) {
      range = lower.mid(13);
    } else if (lower.startsWith("if-range:")) {
      ifRange = line.trimmed().mid(9).trimmed();
    }
  }
  bool ok = false;
  const qint64 first = range.endsWith('-') ? range.chopped(1).toLongLong(&ok) : -1;
  bool current = ifRange.isEmpty();
  for (const auto& [name, value] : response_.headers) {
    current =
        current || ((name.toLower() == "etag" || name.toLower() == "last-modified") && value == ifRange);
  }
  if (!ok || !current || first < 0 || first >= bodySize_) {
    return;
  }
  response_.status = 206;
  range_ = "bytes " + QByteArray::number(first) + '-' + QByteArray::number(bodySize_ - 1) + '/' +
           QByteArray::number(bodySize_);
  offset_ = first;
  bodySize_ -= first;
  if (file_.isOpen()) {
    file_.seek(first);
  }
}

void TestHttpServer::Connection::start(const Route& route) {
  response_ = route.response;
  state_ = State::Waiting;
  if (route.filePath.isEmpty()) {
    bodySize_ = response_.body.size();
  } else {
    file_.setFileName(route.filePath);
    if (file_.open(QIODevice::ReadOnly)) {
      bodySize_ = file_.size();
    } else {
      response_ = TestHttpResponse{};
      response_.status = 500;
      response_.body = "Cannot open " + route.filePath.toUtf8() + '\n';
      bodySize_ = response_.body.size();
    }
  }
}

void TestHttpServer::Connection::startSending(bool headOnly) {
  const qint64 stall = response_.stallAfterBytes;
  const qint64 drop = response_.dropAfterBytes;
  limit_ = headOnly ? 0 : bodySize_;
  if (stall >= 0) {
    limit_ = std::min(limit_, stall);
  }
  if (drop >= 0) {
    limit_ = std::min(limit_, drop);
  }
  end_ = drop >= 0 && (stall < 0 || drop <= stall) ? End::Drop : stall >= 0 ? End::Stall : End::Close;
  if (response_.delayMs > 0) {
    QTimer::singleShot(response_.delayMs, this, &Connection::sendHeaders);
  } else {
    sendHeaders();
  }
}

void TestHttpServer::Connection::sendHeaders() {
  socket_->write(headerBlock());
  state_ = State::Sending;
  clock_.start();
  pump();
}

QByteArray TestHttpServer::Connection::headerBlock() const {
  const bool redirect = !response_.redirectTo.isEmpty();
  const int status = redirect && !isRedirectStatus(response_.status) ? 302 : response_.status;
  QByteArray block = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
  if (response_.sendContentLength) {
    const QByteArray& declared = response_.declaredLength;
    block += "Content-Length: " + (declared.isEmpty() ? QByteArray::number(bodySize_) : declared) + "\r\n";
  }
  if (!range_.isEmpty()) {
    block += "Content-Range: " + range_ + "\r\n";
  }
  if (redirect) {
    block += "Location: " + response_.redirectTo.toUtf8() + "\r\n";
  }
  for (const auto& [name, value] : response_.headers) {
    block += name + ": " + value + "\r\n";
  }
  block += "Connection: close\r\n\r\n";
  return block;
}

// Writes as much body as the socket buffer and the pace allow; called again on bytesWritten and on
// pace ticks, so nothing blocks and at most kHighWater bytes wait in memory.
void TestHttpServer::Connection::pump() {
  if (state_ != State::Sending || pumping_) {
    return; // pumping_: QSslSocket may report bytesWritten from inside write()
  }
  pumping_ = true;
  for (qint64 room = budget(); sent_ < limit_ && room > 0; room = budget()) {
    const QByteArray chunk = readBody(std::min(room, limit_ - sent_));
    if (chunk.isEmpty()) {
      limit_ = sent_; // the file shrank since the request came in
      break;
    }
    socket_->write(chunk);
    sent_ += chunk.size();
    server_->bodyBytesSent_ += chunk.size();
  }
  pumping_ = false;
  if (sent_ >= limit_) {
    finishBody();
  } else if (response_.bytesPerSecond > 0) {
    schedulePace();
  }
}

qint64 TestHttpServer::Connection::budget() const {
  qint64 room = std::min(kChunkSize, kHighWater - pendingBytes());
  if (response_.bytesPerSecond > 0) {
    // Never ahead of the rate since the headers went out, so a paced body takes at least size / rate.
    const double allowed = double(response_.bytesPerSecond) * double(clock_.nsecsElapsed()) / 1e9;
    room = std::min(room, qint64(allowed) - sent_);
  }
  return room;
}

QByteArray TestHttpServer::Connection::readBody(qint64 maxSize) {
  if (!file_.isOpen()) {
    return response_.body.mid(offset_ + sent_, maxSize);
  }
  return file_.read(maxSize);
}

void TestHttpServer::Connection::schedulePace() {
  if (pacing_) {
    return;
  }
  pacing_ = true;
  QTimer::singleShot(kPaceIntervalMs, this, [this] {
    pacing_ = false;
    pump();
  });
}

void TestHttpServer::Connection::finishBody() {
  file_.close();
  switch (end_) {
  case End::Close:
    state_ = State::Ending;
    socket_->disconnectFromHost(); // writes what is buffered first
    break;
  case End::Stall:
    state_ = State::Stalled;
    break;
  case End::Drop:
    state_ = State::Ending;
    clock_.start();
    resetWhenFlushed();
    break;
  }
}

// A reset throws away what is still queued, so the client would get fewer bytes than promised: wait
// until the peer has them all (bounded, in case it stopped reading).
void TestHttpServer::Connection::resetWhenFlushed() {
  const bool flushed = pendingBytes() == 0 && kernelBytesToWrite(socket_) == 0;
  if (!flushed && clock_.elapsed() < kDrainLimitMs) {
    QTimer::singleShot(kDrainPollMs, this, &Connection::resetWhenFlushed);
    return;
  }
  resetConnection(socket_);
  deleteLater();
}

qint64 TestHttpServer::Connection::pendingBytes() const {
  qint64 pending = socket_->bytesToWrite();
  if (const auto* ssl = qobject_cast<const QSslSocket*>(socket_)) {
    pending += ssl->encryptedBytesToWrite();
  }
  return pending;
}

TestHttpServer::TestHttpServer(Mode mode, QObject* parent)
    : QObject(parent)
    , mode_(mode) {
  if (mode_ == Mode::Https) {
    auto* sslServer = new QSslServer(this);
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificate(certificate());
    config.setPrivateKey(privateKey());
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    sslServer->setSslConfiguration(config);
    server_ = sslServer;
  } else {
    server_ = new QTcpServer(this);
  }
  // A TLS socket becomes pending only once its handshake is done, which newConnection does not wait for.
  connect(server_, &QTcpServer::pendingConnectionAvailable, this, &TestHttpServer::acceptConnections);
}

TestHttpServer::~TestHttpServer() = default;

bool TestHttpServer::listen() {
  return server_->isListening() || server_->listen(QHostAddress::LocalHost, 0);
}

quint16 TestHttpServer::port() const {
  return server_->serverPort();
}

QUrl TestHttpServer::url(const QString& path) const {
  const QString scheme = mode_ == Mode::Https ? QStringLiteral("https") : QStringLiteral("http");
  const QString slash = path.startsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/");
  return QUrl(QStringLiteral("%1://127.0.0.1:%2%3%4").arg(scheme, QString::number(port()), slash, path));
}

void TestHttpServer::setResponse(const QString& path, const TestHttpResponse& response) {
  routes_.insert(path, {Route{response, QString()}});
}

void TestHttpServer::setBodyFromFile(const QString& path, const QString& filePath, TestHttpResponse options) {
  options.body.clear();
  routes_.insert(path, {Route{options, filePath}});
}

void TestHttpServer::appendResponse(const QString& path, const TestHttpResponse& response,
                                    const QString& filePath) {
  auto answer = response;
  if (!filePath.isEmpty()) {
    answer.body.clear();
  }
  routes_[path].append(Route{answer, filePath});
}

TestHttpServer::Route TestHttpServer::takeRoute(const QString& key) {
  auto& answers = routes_[key];
  return answers.size() > 1 ? answers.takeFirst() : answers.first();
}

void TestHttpServer::clear() {
  routes_.clear();
  requested_.clear();
  bodyBytesSent_ = 0;
}

int TestHttpServer::requestCount(const QString& path) const {
  const bool anyQuery = !path.contains(QLatin1Char('?'));
  return int(std::count_if(requested_.cbegin(), requested_.cend(), [&](const QString& target) {
    return target == path || (anyQuery && pathWithoutQuery(target) == path);
  }));
}

qint64 TestHttpServer::bodyBytesSent() const {
  return bodyBytesSent_;
}

QSslCertificate TestHttpServer::certificate() {
  static const QSslCertificate cert(readFixture(QStringLiteral("server.crt")), QSsl::Pem);
  return cert;
}

void TestHttpServer::trustCertificate() {
  QSslConfiguration config = QSslConfiguration::defaultConfiguration();
  if (config.caCertificates().contains(certificate())) {
    return;
  }
  config.addCaCertificate(certificate());
  QSslConfiguration::setDefaultConfiguration(config);
}

void TestHttpServer::acceptConnections() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    new Connection(this, socket);
  }
}

TestHttpServer::Route TestHttpServer::route(const QByteArray& method, const QString& target) {
  requested_.append(target);
  Route found;
  if (method != "GET" && method != "HEAD") {
    found.response.status = 405;
    found.response.body = "Only GET and HEAD\n";
    found.response.headers = {{"Allow", "GET, HEAD"}};
  } else if (routes_.contains(target)) {
    found = takeRoute(target);
  } else if (routes_.contains(pathWithoutQuery(target))) {
    found = takeRoute(pathWithoutQuery(target));
  } else {
    found.response.status = 404;
    found.response.body = "Not found\n";
  }
  return found;
}

} // namespace arvexhub::test
