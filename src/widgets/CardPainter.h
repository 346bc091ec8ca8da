#pragma once

#include "library/LibraryKind.h"

#include <QPixmap>
#include <Qt>

class QPainter;
class QRect;
class QStyleOptionViewItem;

namespace arvexhub::style {
class Theme;
}

namespace arvexhub::launcher {

/// What a card shows of one row; each kind's delegate reads it from the row's roles.
struct CardContent {
  QPixmap picture;
  bool installed{false};
  bool busy{false};      ///< a download and installation is running
  double progress{-1.0}; ///< 0..1 while downloading; negative when unknown
  bool active{false};    ///< playing or being read: the state badge shows while not busy
};

/// Where the percentage badge of a running download sits.
enum class PercentBadgeShape {
  TextHeight, ///< bottom-right, as high as the text and its padding
  LowStrip,   ///< bottom-right, from 16 px above the card's bottom, clipped to the card
};

/// How the kinds' cards differ; the rest of a card is the same for all of them. The defaults are
/// the game card's.
struct CardStyle {
  PictureFit fit{PictureFit::Fill};
  bool clipToCard{false};        ///< clip everything to the card's rounded outline
  bool splitNeedsProgress{true}; ///< a busy row without a known progress looks idle
  int percentDecimals{0};
  PercentBadgeShape percentBadge{PercentBadgeShape::TextHeight};
  const char* stateBadgeText{nullptr}; ///< source text in "ArvexHubLauncher"; null: no badge
  Qt::PenCapStyle selectionCap{Qt::RoundCap};
  Qt::PenJoinStyle selectionJoin{Qt::RoundJoin};
};

/// Paints library cards: the picture on a rounded background, in colour when installed, grey
/// when only in the catalogue, filling with colour from the bottom during a download, with the
/// badges, the hover and press overlay and the selection frame, all from the view's theme.
///
/// The scaled, rounded and grey pictures, composed over the card's background, are kept in one
/// application-wide cache bounded in bytes, so a repaint only copies pixels. An entry is keyed by
/// the picture's cache key, so a changed picture is never served from an old entry.
class CardPainter final {
public:
  explicit CardPainter(const CardStyle& style);
  Q_DISABLE_COPY_MOVE(CardPainter)

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const CardContent& content) const;

  /// Bytes of picture data the cache holds now, and the most it holds.
  static qint64 cacheBytes();
  static qint64 cacheLimitBytes();

private:
  struct Faces;

  Faces prepareFaces(const QRect& rect, qreal dpr, const CardContent& content,
                     const style::Theme& theme) const;
  /// False when there is no picture to draw.
  bool drawFaces(QPainter* painter, const QRect& rect, const CardContent& content,
                 const style::Theme& theme) const;
  void drawPercentBadge(QPainter* painter, const QStyleOptionViewItem& option, double progress,
                        const style::Theme& theme) const;
  void drawStateBadge(QPainter* painter, const QStyleOptionViewItem& option, const style::Theme& theme) const;
  void drawSelection(QPainter* painter, const QStyleOptionViewItem& option, const style::Theme& theme) const;
  bool showsProgress(const CardContent& content) const;

  const CardStyle style_;
};

} // namespace arvexhub::launcher
