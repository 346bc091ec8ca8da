#include "widgets/cards/MovieListItemDelegate.h"

namespace arvexhub::launcher {

MovieListItemDelegate::MovieListItemDelegate(QObject* parent)
    : CardPainter(CardKind::movies, parent) {}

} // namespace arvexhub::launcher
