#pragma once

#include <QIconEngine>
#include <QPointer>
#include <QSize>
#include <QString>

namespace arvexhub::style {

class Style;

/// Draws an SVG icon in the colours of the style's current theme at the moment it is painted,
/// so icons made once (tool buttons, menus) follow a change of theme.
class ThemedIconEngine final : public QIconEngine {
public:
  ThemedIconEngine(const Style* style, QString svgPath, const QSize& size);
  ~ThemedIconEngine() override;

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
  QIconEngine* clone() const override;
  QString key() const override;
  bool isNull() override;

private:
  ThemedIconEngine(const ThemedIconEngine& other) = default;

  QPointer<const Style> style_;
  QString svgPath_;
  QSize size_;
};

} // namespace arvexhub::style
