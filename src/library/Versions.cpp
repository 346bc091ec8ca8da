#include "library/Versions.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace arvexhub::launcher::Versions {
namespace {

/// The numeric parts of a dotted version, or nothing when the text is not one.
std::optional<QList<qulonglong>> numericParts(const QString& version) {
  if (version.isEmpty()) {
    return std::nullopt;
  }
  QList<qulonglong> parts;
  for (const auto& part : version.split(QLatin1Char('.'))) {
    bool ok = false;
    const auto value = part.toULongLong(&ok);
    if (!ok || part.isEmpty() || !part.front().isDigit()) {
      return std::nullopt;
    }
    parts.append(value);
  }
  return parts;
}

} // namespace

bool isNewer(const QString& offered, const QString& installed) {
  const auto a = numericParts(offered);
  const auto b = numericParts(installed);
  if (!a || !b) {
    return QString::compare(offered, installed, Qt::CaseSensitive) > 0;
  }
  const auto count = qMax(a->size(), b->size());
  for (qsizetype i = 0; i < count; ++i) {
    const auto x = i < a->size() ? a->at(i) : 0;
    const auto y = i < b->size() ? b->at(i) : 0;
    if (x != y) {
      return x > y;
    }
  }
  return false;
}

} // namespace arvexhub::launcher::Versions
