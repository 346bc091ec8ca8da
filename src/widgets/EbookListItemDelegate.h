#pragma once

#include "widgets/CardPainter.h"

#include <QStyledItemDelegate>

namespace arvexhub::launcher {

/// Paints an e-book of the e-books grid as a card (see CardPainter): the cover scaled to the
/// card's height and centred, everything clipped to the rounded card, a "Reading" badge on the
/// book open in the reader.
class EbookListItemDelegate final : public QStyledItemDelegate {
  Q_OBJECT

public:
  explicit EbookListItemDelegate(QObject* parent);
  ~EbookListItemDelegate() override;
  Q_DISABLE_COPY_MOVE(EbookListItemDelegate)

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
  const CardPainter card_;
};

} // namespace arvexhub::launcher
