#include "widgets/MovieListItemDelegate.h"

#include "library/LibraryKind.h"
#include "library/MovieData.h"

namespace arvexhub::launcher {
namespace {

CardStyle movieCard() {
  CardStyle style;
  style.splitNeedsProgress = false;
  style.percentDecimals = 1;
  style.percentBadge = PercentBadgeShape::LowStrip;
  style.stateBadgeText = QT_TRANSLATE_NOOP("ArvexHubLauncher", "Watching");
  style.selectionCap = Qt::SquareCap;
  style.selectionJoin = Qt::BevelJoin;
  return style;
}

} // namespace

MovieListItemDelegate::MovieListItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , card_(movieCard()) {}

MovieListItemDelegate::~MovieListItemDelegate() = default;

void MovieListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  const QVariant progress = index.data(MovieRole::DownloadProgress);
  CardContent content;
  content.picture = index.data(MovieRole::Thumbnail).value<QPixmap>();
  content.installed = index.data(MovieRole::IsInstalled).toBool();
  content.busy = index.data(MovieRole::IsBusy).toBool();
  content.progress = progress.isValid() ? progress.toDouble() : -1.0;
  content.active = index.data(MovieRole::IsPlaying).toBool();
  card_.paint(painter, option, content);
}

QSize MovieListItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return cardPictureSize;
}

} // namespace arvexhub::launcher
