#pragma once

#include <QByteArray>
#include <QImage>

namespace arvexhub::sample {

struct SampleGame;

/// The game's square picture: a gradient in its colours with its motif. Shapes only, so it needs
/// no fonts.
QImage drawThumbnail(const SampleGame& game, int size = 256);

/// drawThumbnail() as PNG bytes; empty if encoding fails.
QByteArray thumbnailPng(const SampleGame& game);

} // namespace arvexhub::sample
