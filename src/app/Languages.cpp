#include "app/Languages.h"

#include <QDir>
#include <QLocale>

namespace arvexhub::launcher::languages {

QStringList availableLanguages(const QString& folder) {
  static const QString prefix = QStringLiteral("ArvexHub_");
  QStringList languages;
  const auto entries =
      QDir(folder).entryList({QStringLiteral("*.qm")}, QDir::Files | QDir::Readable | QDir::NoDotAndDotDot);
  for (const auto& entry : entries) {
    const auto baseName = entry.section(QLatin1Char('.'), 0, 0);
    if (!baseName.startsWith(QStringLiteral("qt")) && baseName.startsWith(prefix)) {
      languages.append(baseName.mid(prefix.size()));
    }
  }
  return languages;
}

QString chooseStartupLanguage(const QStringList& available, const QString& saved, const QString& system) {
  if (available.isEmpty()) {
    return {};
  }
  if (saved.isEmpty()) {
    return available.first();
  }
  const auto english = QLocale(QLocale::English, QLocale::UnitedStates).name();
  for (const auto& candidate : {saved, system, english}) {
    if (available.contains(candidate)) {
      return candidate;
    }
  }
  return available.first();
}

} // namespace arvexhub::launcher::languages
