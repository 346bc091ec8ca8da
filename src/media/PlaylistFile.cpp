#include "media/PlaylistFile.h"

#include "library/ItemNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

namespace arvexhub::launcher::PlaylistFile {
namespace {

/// A path holding a line break cannot stand on a line of its own; its encoded URL can.
QString lineFor(const QUrl& url) {
  const QString path = url.toLocalFile();
  const bool breaksLine = path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r'));
  return breaksLine ? QString::fromLatin1(url.toEncoded()) : path;
}

bool hasScheme(const QString& line) {
  static const QRegularExpression scheme(QStringLiteral("^(file:|[A-Za-z][A-Za-z0-9+.-]*://)"),
                                         QRegularExpression::CaseInsensitiveOption);
  return scheme.match(line).hasMatch();
}

QUrl entryUrl(const QDir& folder, const QString& line) {
  QString path = line;
  if (hasScheme(line)) {
    const QUrl url(line);
    if (!url.isLocalFile()) {
      return url; // a stream or another scheme: the player tab decides what to do with it
    }
    path = url.toLocalFile();
  }
  // Joined by hand: QDir takes a path that starts with ':' for a Qt resource and leaves it
  // relative, but in a playlist it is a file beside the playlist like any other.
  const QString absolute =
      path.startsWith(QLatin1Char('/')) ? path : folder.absolutePath() + QLatin1Char('/') + path;
  return QUrl::fromLocalFile(QDir::cleanPath(absolute));
}

/// "#EXTINF:<seconds>,<title>" names the entry on the next path line.
QString titleFromDirective(const QString& line) {
  static const QString extInf = QStringLiteral("#EXTINF:");
  if (!line.startsWith(extInf, Qt::CaseInsensitive) || !line.contains(QLatin1Char(','))) {
    return {};
  }
  return line.section(QLatin1Char(','), 1).trimmed();
}

} // namespace

QString suffix() {
  return QStringLiteral(".m3u");
}

bool isValidName(const QString& name) {
  return ItemNames::isSafe(name) && ItemNames::isSafe(name + suffix());
}

bool write(const QString& path, const QList<QUrl>& urls) {
  if (QFileInfo(path).isSymLink()) {
    return false; // a planted link would send the playlist out of its folder
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
    return false;
  }
  QTextStream stream(&file);
  for (const QUrl& url : urls) {
    stream << lineFor(url) << '\n';
  }
  stream.flush();
  if (stream.status() != QTextStream::Ok) {
    file.cancelWriting();
  }
  return file.commit();
}

std::optional<QList<PlaylistEntry>> read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return std::nullopt;
  }
  const QDir folder = QFileInfo(path).absoluteDir();
  QTextStream stream(&file);
  QList<PlaylistEntry> entries;
  QString title;
  QString line;
  while (stream.readLineInto(&line)) {
    if (line.trimmed().isEmpty()) {
      continue;
    }
    if (line.startsWith(QLatin1Char('#'))) {
      const QString named = titleFromDirective(line);
      title = named.isEmpty() ? title : named;
      continue;
    }
    entries.append({entryUrl(folder, line), title});
    title.clear();
  }
  return entries;
}

} // namespace arvexhub::launcher::PlaylistFile
