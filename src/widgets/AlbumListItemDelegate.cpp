#include "widgets/AlbumListItemDelegate.h"

#include "library/AlbumData.h"
#include "library/LibraryKind.h"

namespace arvexhub::launcher {
namespace {

CardStyle albumCard() {
  CardStyle style;
  style.fit = PictureFit::Height;
  style.splitNeedsProgress = false;
  style.percentDecimals = 1;
  style.percentBadge = PercentBadgeShape::LowStrip;
  style.stateBadgeText = QT_TRANSLATE_NOOP("ArvexHubLauncher", "Playing");
  style.selectionCap = Qt::SquareCap;
  style.selectionJoin = Qt::BevelJoin;
  return style;
}

} // namespace

AlbumListItemDelegate::AlbumListItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , card_(albumCard()) {}

AlbumListItemDelegate::~AlbumListItemDelegate() = default;

void AlbumListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  const QVariant progress = index.data(AlbumRole::DownloadProgress);
  CardContent content;
  content.picture = index.data(AlbumRole::Thumbnail).value<QPixmap>();
  content.installed = index.data(AlbumRole::IsInstalled).toBool();
  content.busy = index.data(AlbumRole::IsBusy).toBool();
  content.progress = progress.isValid() ? progress.toDouble() : -1.0;
  content.active = index.data(AlbumRole::IsPlaying).toBool();
  card_.paint(painter, option, content);
}

QSize AlbumListItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return cardPictureSize;
}

} // namespace arvexhub::launcher
