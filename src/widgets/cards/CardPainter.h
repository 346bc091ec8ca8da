#pragma once

#include "widgets/cards/CardKind.h"

#include <QStyledItemDelegate>

class QRect;

namespace arvexhub::style {
class Theme;
}

namespace arvexhub::launcher {

/// Paints the rows of a library grid as cards, each kind as its CardKind says: the picture on a
/// rounded background, in colour when installed, grey when only in the catalogue, filling with
/// colour from the bottom during a download, with the badges, the hover and press overlay and the
/// selection frame, all from the view's theme. Every card has the same size.
///
/// The scaled, rounded and grey pictures, composed over the card's background, are kept in one
/// application-wide cache bounded in bytes, so a repaint only copies pixels. An entry is keyed by
/// the picture's cache key, so a changed picture is never served from an old entry.
class CardPainter : public QStyledItemDelegate {
  Q_OBJECT

public:
  CardPainter(const CardKind& kind, QObject* parent);
  ~CardPainter() override;
  Q_DISABLE_COPY_MOVE(CardPainter)

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  /// The same card with another picture than the row's: the same one, read larger.
  void paintWithPicture(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                        const QPixmap& picture) const;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  /// Bytes of picture data the cache holds now, and the most it holds.
  static qint64 cacheBytes();
  static qint64 cacheLimitBytes();

private:
  struct Content;
  struct Faces;

  Content contentOf(const QModelIndex& index) const;
  void paintCard(QPainter* painter, const QStyleOptionViewItem& option, const Content& content) const;
  Faces prepareFaces(const QRect& rect, qreal dpr, const Content& content, const style::Theme& theme) const;
  /// False when there is no picture to draw.
  bool drawFaces(QPainter* painter, const QRect& rect, const Content& content,
                 const style::Theme& theme) const;
  void drawPercentBadge(QPainter* painter, const QStyleOptionViewItem& option, double progress,
                        const style::Theme& theme) const;
  /// A badge at the top left; `source` is a text in "ArvexHubLauncher".
  void drawStateBadge(QPainter* painter, const QStyleOptionViewItem& option, const char* source,
                      const style::Theme& theme) const;
  void drawSelection(QPainter* painter, const QStyleOptionViewItem& option, const style::Theme& theme) const;
  bool showsProgress(const Content& content) const;

  const CardKind kind_;
};

} // namespace arvexhub::launcher
