#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>

namespace arvexhub::sample {

/// The motif drawn on a picture.
enum class Motif { Star, Moon, Flower, Wave, Flag, Flame, Cloud, Note, Disc };

/// What a square picture shows: a gradient from top to bottom with a motif over it.
struct PictureLook {
  QColor topColour;
  QColor bottomColour;
  Motif motif{Motif::Star};
};

/// The square picture of a game or album. Shapes only, so it needs no fonts.
QImage drawThumbnail(const PictureLook& look, int size = 256);

/// The image as PNG bytes; empty if encoding fails.
QByteArray pngBytes(const QImage& image);

/// drawThumbnail() as PNG bytes; empty if encoding fails.
QByteArray thumbnailPng(const PictureLook& look);

} // namespace arvexhub::sample
