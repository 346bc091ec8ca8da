#pragma once

#include "widgets/CardPainter.h"

#include <QStyledItemDelegate>

namespace arvexhub::launcher {

/// Paints an album of the music grid as a card (see CardPainter): the cover scaled to the card's
/// height and centred, a download's progress with one decimal, and a "Playing" badge on the
/// album whose music plays.
class AlbumListItemDelegate final : public QStyledItemDelegate {
  Q_OBJECT

public:
  explicit AlbumListItemDelegate(QObject* parent);
  ~AlbumListItemDelegate() override;
  Q_DISABLE_COPY_MOVE(AlbumListItemDelegate)

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
  const CardPainter card_;
};

} // namespace arvexhub::launcher
