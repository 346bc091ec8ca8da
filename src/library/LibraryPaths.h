#pragma once

#include <QString>

namespace arvexhub::launcher::LibraryPaths {

/// "<home>/.arvexhub"
QString root();
/// "<home>/.arvexhub/<kind folder>/", where installed items live.
QString libraryFolder(const QString& kindFolder);
/// "<home>/.arvexhub/thumbnails/<kind folder>/", where catalogue pictures are cached.
QString thumbnailFolder(const QString& kindFolder);
/// "<home>/.arvexhub/cache/", where the last good catalogues and the missing pictures are kept.
QString cacheFolder();
/// "<home>/.arvexhub/downloads/<kind folder>/", where unfinished downloads wait to continue.
QString downloadFolder(const QString& kindFolder);
/// "<home>/.arvexhub/playtime.json", the games' play time.
QString playTimeFile();

} // namespace arvexhub::launcher::LibraryPaths
