#pragma once

#include "widgets/cards/CardPainter.h"

namespace arvexhub::launcher {

/// Paints the cards of the movies grid, as CardKind::movies describes them.
struct MovieListItemDelegate final : CardPainter {
  explicit MovieListItemDelegate(QObject* parent);
};

} // namespace arvexhub::launcher
