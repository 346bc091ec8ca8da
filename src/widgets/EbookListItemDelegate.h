#pragma once

#include "widgets/CardPainter.h"

namespace arvexhub::launcher {

/// Paints the cards of the e-books grid, as CardKind::ebooks describes them.
struct EbookListItemDelegate final : CardPainter {
  explicit EbookListItemDelegate(QObject* parent);
};

} // namespace arvexhub::launcher
