#pragma once

#include <QList>
#include <QString>

namespace arvexhub::style::icons {

/// Every 16-pixel icon the program uses.
enum class Icons16 {
#define ARVEXHUB_ICON16(value, name, freedesktop) value,
#include "style/icons/Icons16List.h"
#undef ARVEXHUB_ICON16
};

/// Every icon of the table, in table order.
QList<Icons16> allIcons();
/// "category/name", for example "action/trash".
QString iconName(Icons16 icon);
/// ":/arvexhub/style/icons/16/<category>/<name>.svg".
QString iconPath(Icons16 icon);
/// The icon with that "category/name", if the program has one.
bool iconFromName(const QString& name, Icons16& icon);
/// Resource path of the icon a freedesktop icon name stands for; empty when there is none.
QString fromFreeDesktop(const QString& freedesktopName);
/// Makes the icon set reachable as the Qt icon theme "qlementine".
void initializeIconTheme();

} // namespace arvexhub::style::icons
