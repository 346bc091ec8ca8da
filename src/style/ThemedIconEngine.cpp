#include "style/ThemedIconEngine.h"

#include "style/Style.h"

#include <QPainter>

namespace arvexhub::style {

ThemedIconEngine::ThemedIconEngine(const Style* style, QString svgPath, const QSize& size)
    : style_(style)
    , svgPath_(std::move(svgPath))
    , size_(size) {}

ThemedIconEngine::~ThemedIconEngine() = default;

void ThemedIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) {
  const qreal scale = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
  painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
}

QPixmap ThemedIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
  return scaledPixmap(size, mode, state, 1.0);
}

QPixmap ThemedIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State /*state*/,
                                       qreal scale) {
  if (!style_) {
    return {};
  }
  return style_->themedIconPixmap(svgPath_, size_.scaled(size, Qt::KeepAspectRatio), mode, scale);
}

QSize ThemedIconEngine::actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) {
  return size_.scaled(size, Qt::KeepAspectRatio).boundedTo(size);
}

QList<QSize> ThemedIconEngine::availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) {
  return {size_};
}

QIconEngine* ThemedIconEngine::clone() const {
  return new ThemedIconEngine(*this);
}

QString ThemedIconEngine::key() const {
  return QStringLiteral("ArvexHubThemedIcon");
}

bool ThemedIconEngine::isNull() {
  return !style_ || svgPath_.isEmpty();
}

} // namespace arvexhub::style
