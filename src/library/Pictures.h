#pragma once

#include "library/LibraryKind.h"

#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace arvexhub::launcher::Pictures {

/// The pixel ratio pictures are kept at; on the main thread only.
qreal screenPixelRatio();
/// The picture reduced to what a card shows at that pixel ratio; safe on any thread.
QImage reduced(const QImage& image, PictureFit fit, qreal pixelRatio);
/// The picture reduced to what a card shows (at the screen's pixel ratio), so a catalogue of
/// thousands of large pictures does not hold them at full size. Small pictures stay as they are.
QPixmap forCard(const QImage& image, PictureFit fit);
/// A picture file as it is; null when it cannot be read. Safe on any thread.
QImage read(const QString& path);
/// A picture file, reduced for the card; null when it cannot be read.
QPixmap load(const QString& path, PictureFit fit);
/// Stores a downloaded picture as a PNG file, off the main thread: bytes that are one already as
/// they came, others encoded. The file appears whole or not at all, a little later.
void saveAsPng(const QString& path, const QByteArray& bytes, const QImage& image);

} // namespace arvexhub::launcher::Pictures
