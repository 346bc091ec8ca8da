#pragma once

#include "library/LibraryKind.h"

#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace arvexhub::launcher::Pictures {

/// The picture reduced to what a card shows (at the screen's pixel ratio), so a catalogue of
/// thousands of large pictures does not hold them at full size. Small pictures stay as they are.
QPixmap forCard(const QImage& image, PictureFit fit);
/// A picture file, reduced for the card; null when it cannot be read.
QPixmap load(const QString& path, PictureFit fit);
/// Stores a downloaded picture as a PNG file: bytes that are one already as they came, others
/// encoded off the main thread. The file appears whole or not at all.
void saveAsPng(const QString& path, const QByteArray& bytes, const QImage& image);

} // namespace arvexhub::launcher::Pictures
