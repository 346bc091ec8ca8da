#include "app/Common.h"

#include <QHash>
#include <QLocale>

namespace arvexhub::launcher::Common {
namespace {

const QString flagsFolder = QStringLiteral(":/arvexhub/launcher/resources/flags/");
const QString ageRatingsFolder = QStringLiteral(":/arvexhub/launcher/resources/age_ratings/");

const QHash<QString, QString>& flagFiles() {
  static const QHash<QString, QString> files{
      {QStringLiteral("en_US"), QStringLiteral("en.svg")},
      {QStringLiteral("fr_FR"), QStringLiteral("fr.svg")},
  };
  return files;
}

} // namespace

QString darkThemeId() {
  return QStringLiteral("Dark");
}

QString lightThemeId() {
  return QStringLiteral("Light");
}

QString languageName(const QString& locale) {
  auto name = QLocale(locale).nativeLanguageName();
  if (!name.isEmpty()) {
    name[0] = name[0].toUpper();
  }
  return name == QStringLiteral("American English") ? QStringLiteral("English") : name;
}

QIcon languageIcon(const QString& locale) {
  const auto file = flagFiles().value(locale);
  return file.isEmpty() ? QIcon() : QIcon(flagsFolder + file);
}

QIcon ageIcon(AgeRating rating) {
  switch (rating) {
  case AgeRating::All:
    return QIcon(ageRatingsFolder + QStringLiteral("all.svg"));
  case AgeRating::Warning:
    return QIcon(ageRatingsFolder + QStringLiteral("warning.svg"));
  case AgeRating::Restricted:
    return QIcon(ageRatingsFolder + QStringLiteral("restricted.svg"));
  case AgeRating::Unknown:
    break;
  }
  return {};
}

} // namespace arvexhub::launcher::Common
