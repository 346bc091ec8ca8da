#pragma once

#include "widgets/cards/CardPainter.h"

namespace arvexhub::launcher {

/// Paints the cards of the music grid, as CardKind::albums describes them.
struct AlbumListItemDelegate final : CardPainter {
  explicit AlbumListItemDelegate(QObject* parent);
};

} // namespace arvexhub::launcher
