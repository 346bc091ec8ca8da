#pragma once

#include "widgets/CardPainter.h"

namespace arvexhub::launcher {

/// Paints the cards of the movies grid, as CardKind::movies describes them.
struct MovieListItemDelegate final : CardPainter {
  explicit MovieListItemDelegate(QObject* parent);
};

} // namespace arvexhub::launcher
