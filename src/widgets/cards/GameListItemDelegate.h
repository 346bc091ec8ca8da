#pragma once

#include "widgets/cards/CardPainter.h"

namespace arvexhub::launcher {

/// Paints the cards of the games grid, as CardKind::games describes them.
struct GameListItemDelegate final : CardPainter {
  explicit GameListItemDelegate(QObject* parent);
};

} // namespace arvexhub::launcher
