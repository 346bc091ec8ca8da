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

} // namespace arvexhub::launcher::Pictures
