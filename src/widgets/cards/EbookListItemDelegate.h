#pragma once

#include "widgets/cards/CardPainter.h"

namespace arvexhub::launcher {

/// Paints the cards of the e-books grid, as CardKind::ebooks describes them.
struct EbookListItemDelegate final : CardPainter {
  explicit EbookListItemDelegate(QObject* parent);
};

} // namespace arvexhub::launcher
