#include "widgets/cards/GameListItemDelegate.h"

namespace arvexhub::launcher {

GameListItemDelegate::GameListItemDelegate(QObject* parent)
    : CardPainter(CardKind::games, parent) {}

} // namespace arvexhub::launcher
