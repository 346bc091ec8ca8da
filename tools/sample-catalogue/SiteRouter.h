#pragma once

#include <QByteArray>
#include <QString>

namespace arvexhub::sample {

/// What the server sends for one request: either `body` or the file at `filePath`.
struct SiteReply {
  int status{200};
  QByteArray reason{"OK"};
  QByteArray contentType;
  QByteArray body;
  QString filePath; ///< non-empty: stream this file; its size is `length`
  qint64 length{0};
  bool headOnly{false};
};

/// Maps requests to the files of a catalogue folder. JSON files are sent with the writer's
/// server placeholder replaced by the address the client used; paths outside the folder, hidden
/// files and unknown paths get 404.
class SiteRouter final {
public:
  explicit SiteRouter(QString root);

  /// `host` is the request's Host header; `port` the server's own port, used when the header is
  /// missing or not a loopback address.
  SiteReply reply(const QByteArray& method, const QByteArray& target, const QByteArray& host,
                  quint16 port) const;

  static SiteReply errorReply(int status, const QByteArray& reason);

private:
  QString resolve(const QByteArray& target) const;
  SiteReply fileReply(const QString& path, const QByteArray& host, quint16 port) const;

  QString root_;
};

} // namespace arvexhub::sample
