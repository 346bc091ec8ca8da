#include "Thumbnail.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace arvexhub::sample {
namespace {

// Shapes are drawn on a 100 × 100 canvas; the painter scales it to the picture size.
QPolygonF star(QPointF centre, qreal outer, qreal inner, int points) {
  QPolygonF polygon;
  for (int i = 0; i < points * 2; ++i) {
    const qreal radius = (i % 2 == 0) ? outer : inner;
    const qreal angle = -M_PI / 2 + i * M_PI / points;
    polygon << centre + QPointF(radius * qCos(angle), radius * qSin(angle));
  }
  return polygon;
}

void drawStar(QPainter& painter) {
  painter.drawPolygon(star({50, 48}, 30, 12, 5));
  painter.drawEllipse(QPointF(20, 20), 2.5, 2.5);
  painter.drawEllipse(QPointF(82, 28), 2, 2);
  painter.drawEllipse(QPointF(76, 82), 3, 3);
}

void drawMoon(QPainter& painter) {
  QPainterPath full;
  full.addEllipse(QPointF(50, 50), 30, 30);
  QPainterPath bite;
  bite.addEllipse(QPointF(64, 40), 26, 26);
  painter.drawPath(full.subtracted(bite));
}

void drawFlower(QPainter& painter) {
  for (int i = 0; i < 6; ++i) {
    const qreal angle = i * M_PI / 3;
    painter.drawEllipse(QPointF(50 + 17 * qCos(angle), 46 + 17 * qSin(angle)), 11, 11);
  }
  painter.setBrush(QColor(255, 214, 90));
  painter.drawEllipse(QPointF(50, 46), 10, 10);
  painter.fillRect(QRectF(48, 62, 4, 26), QColor(255, 255, 255, 200));
}

void drawWave(QPainter& painter) {
  for (int row = 0; row < 3; ++row) {
    QPainterPath path;
    const qreal y = 38 + row * 16;
    path.moveTo(10, y);
    for (int i = 0; i < 4; ++i) {
      path.quadTo(20 + i * 20, y - 12, 30 + i * 20, y);
    }
    path.lineTo(90, y + 8);
    path.lineTo(10, y + 8);
    path.closeSubpath();
    painter.drawPath(path);
  }
}

void drawFlag(QPainter& painter) {
  const qreal cell = 10;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 6; ++column) {
      if ((row + column) % 2 == 0) {
        painter.drawRect(QRectF(22 + column * cell, 24 + row * cell, cell, cell));
      }
    }
  }
  painter.drawRect(QRectF(18, 24, 3, 56));
}

void drawFlame(QPainter& painter) {
  QPainterPath flame;
  flame.moveTo(50, 14);
  flame.cubicTo(72, 40, 76, 58, 66, 76);
  flame.cubicTo(58, 90, 42, 90, 34, 76);
  flame.cubicTo(26, 60, 36, 46, 44, 36);
  flame.cubicTo(46, 48, 52, 52, 56, 54);
  flame.cubicTo(58, 40, 54, 26, 50, 14);
  painter.drawPath(flame);
}

void drawCloud(QPainter& painter) {
  QPainterPath cloud;
  cloud.addEllipse(QPointF(38, 54), 16, 14);
  cloud.addEllipse(QPointF(56, 44), 20, 18);
  cloud.addEllipse(QPointF(72, 56), 13, 11);
  cloud.addRoundedRect(QRectF(24, 54, 60, 14), 7, 7);
  painter.drawPath(cloud.simplified());
}

void drawNote(QPainter& painter) {
  // Two beamed quavers.
  painter.drawEllipse(QPointF(34, 70), 10, 8);
  painter.drawEllipse(QPointF(68, 62), 10, 8);
  painter.drawRect(QRectF(41, 28, 4, 42));
  painter.drawRect(QRectF(75, 20, 4, 42));
  QPolygonF beam;
  beam << QPointF(41, 28) << QPointF(79, 20) << QPointF(79, 30) << QPointF(41, 38);
  painter.drawPolygon(beam);
}

void drawDisc(QPainter& painter) {
  QPainterPath disc;
  disc.addEllipse(QPointF(50, 50), 34, 34);
  QPainterPath hole;
  hole.addEllipse(QPointF(50, 50), 4, 4);
  painter.drawPath(disc.subtracted(hole));
  painter.setBrush(QColor(0, 0, 0, 60));
  painter.drawEllipse(QPointF(50, 50), 13, 13);
}

void drawMotif(QPainter& painter, Motif motif) {
  switch (motif) {
  case Motif::Star:
    return drawStar(painter);
  case Motif::Moon:
    return drawMoon(painter);
  case Motif::Flower:
    return drawFlower(painter);
  case Motif::Wave:
    return drawWave(painter);
  case Motif::Flag:
    return drawFlag(painter);
  case Motif::Flame:
    return drawFlame(painter);
  case Motif::Cloud:
    return drawCloud(painter);
  case Motif::Note:
    return drawNote(painter);
  case Motif::Disc:
    return drawDisc(painter);
  }
}

void drawBackground(QPainter& painter, const PictureLook& look) {
  QLinearGradient gradient(0, 0, 0, 100);
  gradient.setColorAt(0, look.topColour);
  gradient.setColorAt(1, look.bottomColour);
  painter.fillRect(QRectF(0, 0, 100, 100), gradient);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 40));
  painter.drawEllipse(QPointF(50, 112), 70, 24);
}

} // namespace

QImage drawThumbnail(const PictureLook& look, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 100.0, size / 100.0);
  drawBackground(painter, look);
  painter.setBrush(QColor(255, 255, 255, 225));
  drawMotif(painter, look.motif);
  painter.end();
  return image.convertToFormat(QImage::Format_RGB32);
}

QByteArray pngBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    return {};
  }
  return bytes;
}

QByteArray thumbnailPng(const PictureLook& look) {
  return pngBytes(drawThumbnail(look));
}

} // namespace arvexhub::sample
