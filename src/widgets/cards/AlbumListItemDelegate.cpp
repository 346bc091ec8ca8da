#include "widgets/cards/AlbumListItemDelegate.h"

namespace arvexhub::launcher {

AlbumListItemDelegate::AlbumListItemDelegate(QObject* parent)
    : CardPainter(CardKind::albums, parent) {}

} // namespace arvexhub::launcher
