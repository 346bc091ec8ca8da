#pragma once

#include "widgets/CardPainter.h"

#include <QStyledItemDelegate>

namespace arvexhub::launcher {

/// Paints a game of the games grid as a card (see CardPainter): the picture is the decoration,
/// the game is installed when it has a start script, and a download shows its progress only
/// once one is known. A playing game gets no badge.
class GameListItemDelegate final : public QStyledItemDelegate {
  Q_OBJECT

public:
  explicit GameListItemDelegate(QObject* parent);
  ~GameListItemDelegate() override;
  Q_DISABLE_COPY_MOVE(GameListItemDelegate)

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
  const CardPainter card_;
};

} // namespace arvexhub::launcher
