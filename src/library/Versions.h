#pragma once

#include <QString>

namespace arvexhub::launcher::Versions {

/// Whether `offered` is newer than `installed`. Dotted numbers compare numerically, part by
/// part, missing parts counting as 0 ("1.10" > "1.9", "1.2" == "1.2.0"); any other text falls
/// back to a plain comparison of the characters.
bool isNewer(const QString& offered, const QString& installed);

} // namespace arvexhub::launcher::Versions
