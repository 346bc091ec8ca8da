#include "app/MakeIcon.h"

#include "style/Style.h"

namespace arvexhub::launcher {

QIcon makeIcon(style::icons::Icons16 icon, bool noIcon, const QSize& size) {
  if (noIcon) {
    return {};
  }
  const auto path = style::icons::iconPath(icon);
  if (const auto* style = style::Style::of()) {
    return style->makeThemedIcon(path, size);
  }
  return QIcon(path);
}

} // namespace arvexhub::launcher
