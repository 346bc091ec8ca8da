#include "style/Icons16.h"

#include <QIcon>
#include <QStringList>

#include <array>

namespace arvexhub::style::icons {
namespace {

struct IconEntry {
  Icons16 icon;
  QLatin1String name;
  QLatin1String freedesktop;
};

constexpr std::array iconTable{
#define ARVEXHUB_ICON16(value, name, freedesktop)                                                            \
  IconEntry{Icons16::value, QLatin1String(name), QLatin1String(freedesktop)},
#include "style/icons/Icons16List.h"
#undef ARVEXHUB_ICON16
};

const QString& pathPrefix() {
  static const QString prefix = QStringLiteral(":/arvexhub/style/icons/16/");
  return prefix;
}

} // namespace

QList<Icons16> allIcons() {
  QList<Icons16> list;
  list.reserve(static_cast<qsizetype>(iconTable.size()));
  for (const auto& entry : iconTable) {
    list.append(entry.icon);
  }
  return list;
}

QString iconName(Icons16 icon) {
  return iconTable.at(static_cast<std::size_t>(icon)).name;
}

QString iconPath(Icons16 icon) {
  return pathPrefix() + iconName(icon) + QStringLiteral(".svg");
}

bool iconFromName(const QString& name, Icons16& icon) {
  for (const auto& entry : iconTable) {
    if (entry.name == name) {
      icon = entry.icon;
      return true;
    }
  }
  return false;
}

QString fromFreeDesktop(const QString& freedesktopName) {
  if (freedesktopName.isEmpty()) {
    return {};
  }
  for (const auto& entry : iconTable) {
    if (entry.freedesktop == freedesktopName) {
      return iconPath(entry.icon);
    }
  }
  return {};
}

void initializeIconTheme() {
  static const QString themeRoot = QStringLiteral(":/arvexhub/style/icon-theme");
  auto paths = QIcon::themeSearchPaths();
  if (!paths.contains(themeRoot)) {
    paths.prepend(themeRoot);
    QIcon::setThemeSearchPaths(paths);
  }
}

} // namespace arvexhub::style::icons
