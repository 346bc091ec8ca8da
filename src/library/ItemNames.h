#pragma once

#include <QString>

class QUrl;

namespace arvexhub::launcher::ItemNames {

/// Whether a name from outside may become one file or folder name: not empty, not "." or
/// "..", no "/", "\\", NUL or control characters, at most 255 bytes in UTF-8.
bool isSafe(const QString& name);

/// A harmless stem for a temporary file named after a download URL: the URL's file name
/// with everything but letters, digits, ".", "-" and "_" replaced, never empty.
QString temporaryFileStem(const QUrl& url);

} // namespace arvexhub::launcher::ItemNames
