#include "widgets/cards/CardPainter.h"

#include "library/DownloadState.h"
#include "style/Style.h"
#include "style/StyleUtils.h"

#include <QCache>
#include <QCoreApplication>
#include <QHashFunctions>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace arvexhub::launcher {
namespace {

/// Enough for a few screens of cards: a 1920×1080 page at pixel ratio 2 shows about 80 cards of
/// 400×204 pixels, 26 MB in one state, 52 MB if every card needed both.
constexpr qint64 cacheLimit = 96 * 1024 * 1024;

/// One card face: the row's picture fitted to a card of that size and ratio, rounded, in colour
/// or grey, over the card's rounded background.
struct FaceKey {
  qint64 source{0};
  QSize pixels; ///< the card in device pixels
  PictureFit fit{PictureFit::Fill};
  bool clip{false};
  qreal dpr{1.0};
  qreal radius{0.0}; ///< in device pixels
  QRgb background{0};
  bool grey{false};

  friend bool operator==(const FaceKey& a, const FaceKey& b) {
    return a.source == b.source && a.pixels == b.pixels && a.fit == b.fit && a.clip == b.clip &&
           a.dpr == b.dpr && a.radius == b.radius && a.background == b.background && a.grey == b.grey;
  }
};

size_t qHash(const FaceKey& key, size_t seed = 0) {
  return qHashMulti(seed, key.source, key.pixels.width(), key.pixels.height(), int(key.fit), key.clip,
                    key.dpr, key.radius, key.background, key.grey);
}

/// Drawing the background and then the picture is the same as drawing them composed once
/// (source-over is associative), so a repaint is one copy of pixels per card.
struct Face {
  QImage image;  ///< premultiplied, in device pixels
  QImage opaque; ///< the longest run of rows of `image` with no transparent pixel, without alpha
  int opaqueTop{0};
  QPoint origin; ///< of the face from the card's top-left, in device pixels

  bool isNull() const {
    return image.isNull();
  }
};

using FaceCache = QCache<FaceKey, Face>;

FaceCache& faceCache() {
  static FaceCache cache(cacheLimit);
  static const bool clearedOnExit = [] {
    // Pixmaps are released while the application still exists, not by static destruction.
    qAddPostRoutine([] { faceCache().clear(); });
    return true;
  }();
  Q_UNUSED(clearedOnExit)
  return cache;
}

Face lookUp(const FaceKey& key) {
  const auto* cached = faceCache().object(key);
  return cached ? *cached : Face();
}

Face remember(const FaceKey& key, const Face& face) {
  faceCache().insert(key, new Face(face), face.image.sizeInBytes()); // a face above the limit is dropped
  return face;
}

/// The picture as the card shows it, in device pixels: filling the card and cropped to its
/// centre, or scaled to the card's height; with rounded corners.
QPixmap rounded(const QPixmap& source, const FaceKey& key) {
  QPixmap picture;
  if (key.fit == PictureFit::Height) {
    picture = source.scaledToHeight(key.pixels.height(), Qt::SmoothTransformation);
  } else {
    const auto scaled = source.scaled(key.pixels, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    picture =
        scaled.copy((scaled.width() - key.pixels.width()) / 2, (scaled.height() - key.pixels.height()) / 2,
                    key.pixels.width(), key.pixels.height());
  }
  picture.setDevicePixelRatio(1.0);
  return style::makeRoundedPixmap(picture, key.radius);
}

/// The qGray weighting on straight (not premultiplied) colours, alpha kept.
QPixmap greyed(const QPixmap& colour) {
  auto image = colour.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = line[x];
      const int grey = (11 * qRed(pixel) + 16 * qGreen(pixel) + 5 * qBlue(pixel)) / 32;
      line[x] = qRgba(grey, grey, grey, qAlpha(pixel));
    }
  }
  return QPixmap::fromImage(std::move(image));
}

bool isOpaqueRow(const QImage& image, int y) {
  const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
  return std::all_of(line, line + image.width(), [](QRgb pixel) { return qAlpha(pixel) == 255; });
}

/// The longest run of rows in which every pixel is opaque, as [first, last).
std::pair<int, int> opaqueRows(const QImage& image) {
  std::pair<int, int> longest{0, 0};
  int start = 0;
  for (int y = 0; y <= image.height(); ++y) {
    if (y < image.height() && isOpaqueRow(image, y)) {
      continue;
    }
    if (y - start > longest.second - longest.first) {
      longest = {start, y};
    }
    start = y + 1;
  }
  return longest;
}

/// The face, with its opaque rows seen as an image without alpha: copying those is a plain copy of
/// memory, where blending the whole face would weigh every pixel. They share the face's pixels,
/// which the face keeps alive and never changes.
Face faceOf(QImage image, QPoint origin) {
  const auto [first, last] = opaqueRows(image);
  Face face{std::move(image), {}, first, origin};
  if (first < last) {
    face.opaque = QImage(face.image.constScanLine(first), face.image.width(), last - first,
                         face.image.bytesPerLine(), QImage::Format_RGB32);
  }
  return face;
}

/// The card's rounded background with the picture over it: centred for pictures scaled to the
/// height (spilling over the card unless the kind clips to it), at the corner otherwise.
Face composed(const FaceKey& key, const QPixmap& picture) {
  const QRect card(QPoint(0, 0), key.pixels);
  const QPointF offset = key.fit == PictureFit::Height
                             ? QPointF(card.width() - picture.width(), card.height() - picture.height()) * 0.5
                             : QPointF(0, 0);
  const QRect bounds = key.clip ? card : card.united(QRectF(offset, picture.size()).toAlignedRect());
  QImage image(bounds.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-bounds.topLeft());
    QPainterPath outline;
    outline.addRoundedRect(QRectF(card), key.radius, key.radius);
    painter.fillPath(outline, QColor::fromRgba(key.background));
    if (key.clip) {
      painter.setClipPath(outline);
    }
    painter.drawPixmap(offset, picture);
  }
  return faceOf(std::move(image), bounds.topLeft());
}

/// Rows [first, last) of `image` drawn with its top-left at `topLeft`, rows counted from `top`.
void drawRows(QPainter* painter, const QImage& image, int top, const QPointF& topLeft, qreal dpr, int first,
              int last) {
  first = std::max(first, top);
  last = std::min(last, top + image.height());
  if (first < last) {
    painter->drawImage(
        QRectF(topLeft + QPointF(0, first / dpr), QSizeF(image.width() / dpr, (last - first) / dpr)), image,
        QRectF(0, first - top, image.width(), last - first));
  }
}

/// Rows [first, last) of the face, in device pixels, with the face's top-left at `topLeft`. Where
/// the face lands on whole device pixels it is a copy: its opaque rows are copied as they are and
/// the rest blended, without smoothing. Painters on high-density devices smooth pixmaps by
/// default, which sends every copy through the generic resampling path: several times slower, and
/// spread over threads that a loaded machine starves. Elsewhere the face is drawn whole, smoothed
/// as the painter says.
void drawFace(QPainter* painter, const Face& face, const QPointF& topLeft, qreal dpr, int first, int last) {
  const QTransform& device = painter->deviceTransform();
  const QPointF corner = device.map(topLeft);
  const bool copy = device.type() <= QTransform::TxScale && device.m11() == dpr && device.m22() == dpr &&
                    corner == QPointF(corner.toPoint());
  if (!copy || face.opaque.isNull()) {
    drawRows(painter, face.image, 0, topLeft, dpr, first, last);
    return;
  }
  painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
  const int opaqueBottom = face.opaqueTop + face.opaque.height();
  drawRows(painter, face.image, 0, topLeft, dpr, first, std::min(last, face.opaqueTop));
  drawRows(painter, face.opaque, face.opaqueTop, topLeft, dpr, first, last);
  drawRows(painter, face.image, 0, topLeft, dpr, std::max(first, opaqueBottom), last);
}

Face colourFace(const QPixmap& source, FaceKey key) {
  key.grey = false;
  if (auto cached = lookUp(key); !cached.isNull()) {
    return cached;
  }
  return remember(key, composed(key, rounded(source, key)));
}

Face greyFace(const QPixmap& source, FaceKey key) {
  key.grey = true;
  if (auto cached = lookUp(key); !cached.isNull()) {
    return cached;
  }
  return remember(key, composed(key, greyed(rounded(source, key))));
}

/// The ratio of the pixels being painted: in a window the backing store's, which is the widget's,
/// and when a card is rendered into an image of another ratio, that image's.
qreal targetPixelRatio(const QPainter* painter) {
  const auto* engine = painter->paintEngine();
  const QPaintDevice* device = engine && engine->paintDevice() ? engine->paintDevice() : painter->device();
  return device ? device->devicePixelRatio() : 1.0;
}

/// A download's progress made safe to draw: unknown, negative or past the end stays on the card.
double clampedProgress(double progress) {
  return progress > 0.0 ? std::min(progress, 1.0) : 0.0;
}

void drawBadge(QPainter* painter, const QRectF& badge, const QString& text, const style::Theme& theme) {
  const qreal radius = theme.borderRadius / 1.5;
  painter->setPen(Qt::NoPen);
  painter->setBrush(theme.primaryColor);
  painter->drawRoundedRect(badge, radius, radius);
  painter->setPen(theme.primaryColorForeground);
  painter->drawText(badge, Qt::AlignCenter, text);
}

} // namespace

namespace {

/// The badge of a download that waits or is paused (source text in "ArvexHubLauncher"); null for none.
const char* downloadBadge(DownloadState state) {
  switch (state) {
  case DownloadState::Queued:
    return QT_TRANSLATE_NOOP("ArvexHubLauncher", "Queued");
  case DownloadState::Paused:
    return QT_TRANSLATE_NOOP("ArvexHubLauncher", "Paused");
  default:
    return nullptr;
  }
}

} // namespace

/// What a card shows of its row.
struct CardPainter::Content {
  QPixmap picture;
  bool installed{false};
  bool busy{false};
  double progress{-1.0}; ///< 0..1 while downloading; negative when unknown
  bool active{false};    ///< playing or being read
  DownloadState download{DownloadState::None};
};

struct CardPainter::Faces {
  Face colour;
  Face grey;
};

CardPainter::CardPainter(const CardKind& kind, QObject* parent)
    : QStyledItemDelegate(parent)
    , kind_(kind) {}

CardPainter::~CardPainter() = default;

QSize CardPainter::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return cardPictureSize;
}

qint64 CardPainter::cacheBytes() {
  return faceCache().totalCost();
}

qint64 CardPainter::cacheLimitBytes() {
  return cacheLimit;
}

void CardPainter::paint(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
  paintCard(painter, option, contentOf(index));
}

void CardPainter::paintWithPicture(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index, const QPixmap& picture) const {
  auto content = contentOf(index);
  content.picture = picture;
  paintCard(painter, option, content);
}

CardPainter::Content CardPainter::contentOf(const QModelIndex& index) const {
  const QVariant installed = index.data(kind_.installedRole);
  const QVariant progress = index.data(kind_.progressRole);
  Content content;
  content.picture = index.data(kind_.pictureRole).value<QPixmap>();
  content.installed = kind_.installedIsPath ? !installed.toString().isEmpty() : installed.toBool();
  content.busy = index.data(kind_.busyRole).toBool();
  content.progress = progress.isValid() ? progress.toDouble() : -1.0;
  content.active = kind_.activeRole >= 0 && index.data(kind_.activeRole).toBool();
  content.download = DownloadState(index.data(downloadStateRole).toInt());
  return content;
}

void CardPainter::paintCard(QPainter* painter, const QStyleOptionViewItem& option,
                            const Content& content) const {
  const auto& theme = style::Style::themeOf(option.widget);
  const QRectF card(option.rect);
  const qreal radius = theme.borderRadius;
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setFont(option.font);
  if (!drawFaces(painter, option.rect, content, theme)) {
    painter->setPen(Qt::NoPen);
    painter->setBrush(theme.backgroundColorMain2);
    painter->drawRoundedRect(card, radius, radius);
  }
  if (kind_.clipToCard) {
    // The face is already cut to the card; what follows is kept inside it too.
    QPainterPath outline;
    outline.addRoundedRect(card, radius, radius);
    painter->setClipPath(outline, Qt::ReplaceClip);
  }
  if (option.state & (QStyle::State_MouseOver | QStyle::State_Sunken)) {
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(255, 255, 255, option.state & QStyle::State_Sunken ? 64 : 32));
    painter->drawRoundedRect(card, radius, radius);
  }
  if (showsProgress(content)) {
    drawPercentBadge(painter, option, clampedProgress(content.progress), theme);
  }
  const char* badge = downloadBadge(content.download);
  if (badge == nullptr && content.active && !content.busy) {
    badge = kind_.activeBadge;
  }
  if (badge != nullptr) {
    drawStateBadge(painter, option, badge, theme);
  }
  if (option.state & QStyle::State_Selected) {
    drawSelection(painter, option, theme);
  }
  painter->restore();
}

bool CardPainter::showsProgress(const Content& content) const {
  return content.busy && (!kind_.splitNeedsProgress || content.progress >= 0.0);
}

CardPainter::Faces CardPainter::prepareFaces(const QRect& rect, qreal dpr, const Content& content,
                                             const style::Theme& theme) const {
  FaceKey key;
  key.source = content.picture.cacheKey();
  key.pixels =
      QSize(qRound(rect.width() * dpr),
            kind_.fit == PictureFit::Height ? int(rect.height() * dpr) : qRound(rect.height() * dpr));
  key.fit = kind_.fit;
  key.clip = kind_.clipToCard;
  key.dpr = dpr;
  key.radius = dpr * theme.borderRadius;
  key.background = theme.backgroundColorMain2.rgba();
  if (content.picture.isNull() || key.pixels.isEmpty()) {
    return {};
  }
  const bool split = showsProgress(content);
  Faces faces;
  if (split || content.installed) {
    faces.colour = colourFace(content.picture, key);
  }
  if (split || !content.installed) {
    faces.grey = greyFace(content.picture, key);
  }
  return faces;
}

bool CardPainter::drawFaces(QPainter* painter, const QRect& rect, const Content& content,
                            const style::Theme& theme) const {
  const qreal dpr = targetPixelRatio(painter);
  const auto faces = prepareFaces(rect, dpr, content, theme);
  const auto& shown = faces.colour.isNull() ? faces.grey : faces.colour;
  if (shown.isNull()) {
    return false;
  }
  const QPointF topLeft = QPointF(rect.topLeft()) + QPointF(shown.origin) / dpr;
  const int height = shown.image.height();
  if (!showsProgress(content)) {
    drawFace(painter, shown, topLeft, dpr, 0, height);
    return true;
  }
  // The picture fills with colour from the bottom up as the download advances.
  const int greyHeight = height - int(height * clampedProgress(content.progress));
  drawFace(painter, faces.grey, topLeft, dpr, 0, greyHeight);
  drawFace(painter, faces.colour, topLeft, dpr, greyHeight, height);
  return true;
}

void CardPainter::drawPercentBadge(QPainter* painter, const QStyleOptionViewItem& option, double progress,
                                   const style::Theme& theme) const {
  const QString text = QString::number(progress * 100.0, 'f', kind_.percentDecimals) + QLatin1Char('%');
  const QRect bounds = option.fontMetrics.boundingRect(text);
  const int tw = bounds.width();
  const int th = bounds.height();
  const QRect& rect = option.rect;
  const QRectF badge = kind_.percentBadge == PercentBadgeShape::TextHeight
                           ? QRectF(rect.right() - tw - 16, rect.bottom() - th - 8, tw + 16, th + 8)
                           : QRectF(QRect(QPoint(rect.right() - tw - 16, rect.bottom() - 16),
                                          QPoint(rect.right() - 1, rect.bottom() + th - 9))
                                        .intersected(rect));
  drawBadge(painter, badge, text, theme);
}

void CardPainter::drawStateBadge(QPainter* painter, const QStyleOptionViewItem& option, const char* source,
                                 const style::Theme& theme) const {
  const QString text = QCoreApplication::translate("ArvexHubLauncher", source);
  const QRect bounds = option.fontMetrics.boundingRect(text);
  drawBadge(painter,
            QRectF(option.rect.x() + 9, option.rect.y() + 9, bounds.width() + 16, bounds.height() + 8), text,
            theme);
}

void CardPainter::drawSelection(QPainter* painter, const QStyleOptionViewItem& option,
                                const style::Theme& theme) const {
  const bool focused = option.state & QStyle::State_HasFocus;
  const qreal width = theme.borderWidth + (focused ? theme.focusBorderWidth : 0);
  painter->setPen(QPen(focused ? theme.primaryColorHovered : theme.primaryColor, width, Qt::SolidLine,
                       kind_.selectionCap, kind_.selectionJoin));
  painter->setBrush(Qt::NoBrush);
  const qreal half = width / 2.0;
  const qreal radius = std::max(0.0, theme.borderRadius - half);
  painter->drawRoundedRect(QRectF(option.rect).adjusted(half, half, -half, -half), radius, radius);
}

} // namespace arvexhub::launcher
