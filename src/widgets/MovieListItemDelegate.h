#pragma once

#include "widgets/CardPainter.h"

#include <QStyledItemDelegate>

namespace arvexhub::launcher {

/// Paints a movie of the movies grid as a card (see CardPainter): the picture is the movie's
/// thumbnail, a running download shows its progress with one decimal, and the movie in the
/// player carries a "Watching" badge.
class MovieListItemDelegate final : public QStyledItemDelegate {
  Q_OBJECT

public:
  explicit MovieListItemDelegate(QObject* parent);
  ~MovieListItemDelegate() override;
  Q_DISABLE_COPY_MOVE(MovieListItemDelegate)

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
  const CardPainter card_;
};

} // namespace arvexhub::launcher
