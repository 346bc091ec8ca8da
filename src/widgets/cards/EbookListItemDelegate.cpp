#include "widgets/cards/EbookListItemDelegate.h"

namespace arvexhub::launcher {

EbookListItemDelegate::EbookListItemDelegate(QObject* parent)
    : CardPainter(CardKind::ebooks, parent) {}

} // namespace arvexhub::launcher
