#include "library/ItemNames.h"

#include <QUrl>

namespace arvexhub::launcher::ItemNames {
namespace {
constexpr int maxNameBytes = 255;
constexpr int maxStemLength = 64;
} // namespace

bool isSafe(const QString& name) {
  // A leading dot names a hidden folder: the library scan never sees one, and the installer's
  // own ".staging-…" and ".old-…" folders must never be an item's.
  if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) {
    return false;
  }
  // A UTF-16 unit takes at most 3 bytes in UTF-8: short names need no conversion to measure.
  if (name.size() * 3 > maxNameBytes && name.toUtf8().size() > maxNameBytes) {
    return false;
  }
  for (const QChar c : name) {
    if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control ||
        c.category() == QChar::Other_Format || c.isNull()) {
      return false;
    }
  }
  return true;
}

QString temporaryFileStem(const QUrl& url) {
  QString stem;
  for (const QChar c : url.fileName(QUrl::FullyDecoded).left(maxStemLength)) {
    const bool plain = (c.unicode() < 128 && c.isLetterOrNumber()) || c == QLatin1Char('.') ||
                       c == QLatin1Char('-') || c == QLatin1Char('_');
    stem.append(plain ? c : QLatin1Char('_'));
  }
  while (stem.startsWith(QLatin1Char('.'))) {
    stem.remove(0, 1);
  }
  return stem.isEmpty() ? QStringLiteral("download") : stem;
}

} // namespace arvexhub::launcher::ItemNames
