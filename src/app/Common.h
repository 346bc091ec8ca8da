#pragma once

#include <QFlags>
#include <QIcon>
#include <QObject>
#include <QString>

namespace arvexhub::launcher::Common {
Q_NAMESPACE

enum class AgeRating {
  Unknown = 0,
  All = 1,
  Warning = 2,
  Restricted = 3,
};
Q_ENUM_NS(AgeRating)

enum class Control {
  None = 0,
  Keyboard = 1,
  Mouse = 2,
  Joypad = 4,
  Other = 8,
};
Q_ENUM_NS(Control)
Q_DECLARE_FLAGS(Controls, Control)

QString darkThemeId();
QString lightThemeId();

/// The language's own name for itself, capitalised ("English", "Français").
QString languageName(const QString& locale);
/// The flag of the locale's language, or an empty icon.
QIcon languageIcon(const QString& locale);
QIcon ageIcon(AgeRating rating);

} // namespace arvexhub::launcher::Common

Q_DECLARE_OPERATORS_FOR_FLAGS(arvexhub::launcher::Common::Controls)
