#pragma once

#include "CatalogueItem.h"

namespace arvexhub::sample {

/// The sample movies for "movies.json", made with ffmpeg in `workFolder`: each archive holds
/// <Name>.mp4 (H.264 video with AAC sound) and <Name>.png (a frame of it) at its top level. Without
/// ffmpeg, or when it fails, the part has no items and says why.
CataloguePart movieItems(const QString& workFolder);

} // namespace arvexhub::sample
