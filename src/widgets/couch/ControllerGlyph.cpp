#include "widgets/couch/ControllerGlyph.h"

#include <QColor>
#include <QFont>
#include <QPainter>

namespace arvexhub::launcher {

QPixmap controllerGlyph(const QString& label, const QColor& fill, const QColor& text, int height, qreal dpr) {
  // One letter fits a circle; a shoulder's two letters need a wider, rounded face.
  const int width = label.size() > 1 ? height * 3 / 2 : height;
  QPixmap pixmap(QSize(width, height) * dpr);
  pixmap.setDevicePixelRatio(dpr);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  const QRectF face(0.5, 0.5, width - 1.0, height - 1.0);
  painter.drawRoundedRect(face, height / 2.0, height / 2.0);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(height * (label.size() > 1 ? 2 : 3) / 5);
  painter.setFont(font);
  painter.setPen(text);
  painter.drawText(face, Qt::AlignCenter, label);
  return pixmap;
}

} // namespace arvexhub::launcher
