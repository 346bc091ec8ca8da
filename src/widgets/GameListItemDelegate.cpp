#include "GameListItemDelegate.h"

#include "library/GameData.h"
#include "library/LibraryKind.h"

namespace arvexhub::launcher {

GameListItemDelegate::GameListItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , card_(CardStyle{}) {}

GameListItemDelegate::~GameListItemDelegate() = default;

void GameListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  const QVariant progress = index.data(GameRole::DownloadProgress);
  CardContent content;
  content.picture = index.data(Qt::DecorationRole).value<QPixmap>();
  content.installed = !index.data(GameRole::Path).toString().isEmpty();
  content.busy = index.data(GameRole::IsBusy).toBool();
  content.progress = progress.isValid() ? progress.toDouble() : -1.0;
  card_.paint(painter, option, content);
}

QSize GameListItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return cardPictureSize;
}

} // namespace arvexhub::launcher
