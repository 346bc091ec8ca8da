#include "SiteRouter.h"

#include "CatalogueWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace arvexhub::sample {
namespace {

QByteArray contentType(const QString& path) {
  const auto suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QStringLiteral("json")) {
    return "application/json";
  }
  if (suffix == QStringLiteral("zip")) {
    return "application/zip";
  }
  if (suffix == QStringLiteral("png")) {
    return "image/png";
  }
  if (suffix == QStringLiteral("txt")) {
    return "text/plain; charset=utf-8";
  }
  return "application/octet-stream";
}

/// "http://<Host>" when the Host header names a loopback address, else the server's own address.
/// Other hosts are not echoed, so a forged header cannot point the catalogue elsewhere.
QString serverAddress(const QByteArray& host, quint16 port) {
  static const QRegularExpression loopback(
      QStringLiteral("^(127\\.0\\.0\\.1|localhost|\\[::1\\]):[0-9]{1,5}$"),
      QRegularExpression::CaseInsensitiveOption);
  const auto hostText = QString::fromLatin1(host).trimmed();
  if (loopback.match(hostText).hasMatch()) {
    return QStringLiteral("http://") + hostText;
  }
  return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

bool isSafeSegment(const QString& segment) {
  return !segment.isEmpty() && !segment.startsWith(QLatin1Char('.')) && !segment.contains(QLatin1Char('\\'));
}

} // namespace

SiteRouter::SiteRouter(QString root)
    : root_(std::move(root)) {}

SiteReply SiteRouter::errorReply(int status, const QByteArray& reason) {
  SiteReply reply;
  reply.status = status;
  reply.reason = reason;
  reply.contentType = "text/plain; charset=utf-8";
  reply.body = reason + '\n';
  reply.length = reply.body.size();
  return reply;
}

SiteReply SiteRouter::reply(const QByteArray& method, const QByteArray& target, const QByteArray& host,
                            quint16 port) const {
  if (method != "GET" && method != "HEAD") {
    return errorReply(405, "Method Not Allowed");
  }
  const auto path = resolve(target);
  auto reply = path.isEmpty() ? errorReply(404, "Not Found") : fileReply(path, host, port);
  reply.headOnly = method == "HEAD";
  return reply;
}

QString SiteRouter::resolve(const QByteArray& target) const {
  const auto pathPart = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
  const auto path = QUrl::fromPercentEncoding(pathPart);
  if (!path.startsWith(QLatin1Char('/'))) {
    return {};
  }
  const auto segments = path.mid(1).split(QLatin1Char('/'));
  if (!std::all_of(segments.cbegin(), segments.cend(), isSafeSegment)) {
    return {};
  }
  const QFileInfo file(root_ + path);
  const auto canonicalRoot = QFileInfo(root_).canonicalFilePath() + QLatin1Char('/');
  if (!file.isFile() || !file.canonicalFilePath().startsWith(canonicalRoot)) {
    return {};
  }
  return file.canonicalFilePath();
}

SiteReply SiteRouter::fileReply(const QString& path, const QByteArray& host, quint16 port) const {
  SiteReply reply;
  reply.contentType = contentType(path);
  if (!path.endsWith(QStringLiteral(".json"))) {
    reply.filePath = path;
    reply.length = QFileInfo(path).size();
    return reply;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return errorReply(500, "Internal Server Error");
  }
  auto text = QString::fromUtf8(file.readAll());
  text.replace(CatalogueWriter::serverPlaceholder(), serverAddress(host, port));
  reply.body = text.toUtf8();
  reply.length = reply.body.size();
  return reply;
}

} // namespace arvexhub::sample
