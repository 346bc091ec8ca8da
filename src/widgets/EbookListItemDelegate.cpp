#include "widgets/EbookListItemDelegate.h"

#include "library/EbookData.h"
#include "library/LibraryKind.h"

namespace arvexhub::launcher {
namespace {

CardStyle ebookCard() {
  CardStyle style;
  style.fit = PictureFit::Height;
  style.clipToCard = true;
  style.splitNeedsProgress = false;
  style.percentDecimals = 1;
  style.percentBadge = PercentBadgeShape::LowStrip;
  style.stateBadgeText = QT_TRANSLATE_NOOP("ArvexHubLauncher", "Reading");
  style.selectionCap = Qt::SquareCap;
  style.selectionJoin = Qt::BevelJoin;
  return style;
}

} // namespace

EbookListItemDelegate::EbookListItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , card_(ebookCard()) {}

EbookListItemDelegate::~EbookListItemDelegate() = default;

void EbookListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  const QVariant progress = index.data(EbookRole::DownloadProgress);
  CardContent content;
  content.picture = index.data(EbookRole::Thumbnail).value<QPixmap>();
  content.installed = index.data(EbookRole::IsInstalled).toBool();
  content.busy = index.data(EbookRole::IsBusy).toBool();
  content.progress = progress.isValid() ? progress.toDouble() : -1.0;
  content.active = index.data(EbookRole::IsReading).toBool();
  card_.paint(painter, option, content);
}

QSize EbookListItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return cardPictureSize;
}

} // namespace arvexhub::launcher
