#pragma once

#include <QPixmap>

class QColor;

namespace arvexhub::launcher {

/// A controller button's face as the couch mode shows it next to an action: a filled circle
/// with the button's letter ("A", "B", "X", "Y") or a rounded bar for a shoulder ("LB", "RB").
/// `height` is in device-independent pixels.
QPixmap controllerGlyph(const QString& label, const QColor& fill, const QColor& text, int height, qreal dpr);

} // namespace arvexhub::launcher
