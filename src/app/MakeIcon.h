#pragma once

#include "style/Icons16.h"

#include <QIcon>
#include <QSize>

namespace arvexhub::launcher {

/// The program's icon accessor: the style's themed icon when the application style is ours,
/// the plain icon otherwise, and an empty icon when `noIcon` is set (menus on macOS).
QIcon makeIcon(style::icons::Icons16 icon, bool noIcon = false, const QSize& size = QSize(16, 16));

} // namespace arvexhub::launcher
