#pragma once

#include "CatalogueItem.h"

namespace arvexhub::sample {

/// The sample albums for "music.json": each archive holds the songs ("01 <Title>.mp3" or ".wav") and
/// the album art <Name>.png at its top level. Songs are made as WAV; those meant as MP3 are encoded
/// with ffmpeg in `workFolder`. Without ffmpeg they stay WAV and the part says so.
CataloguePart albumItems(const QString& workFolder);

} // namespace arvexhub::sample
