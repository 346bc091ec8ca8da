#include "widgets/couch/CouchCardDelegate.h"

#include "style/Style.h"
#include "style/Theme.h"
#include "widgets/cards/CardPainter.h"
#include "widgets/couch/CouchPictures.h"

#include <QPainter>

namespace arvexhub::launcher {

QSize CouchCardDelegate::cardSize() {
  return {440, 224};
}

CouchCardDelegate::CouchCardDelegate(const CardKind& kind, CouchPictures* pictures, QObject* parent)
    : QStyledItemDelegate(parent)
    , fit_(kind.fit)
    , pictures_(pictures)
    , card_(new CardPainter(kind, this)) {}

CouchCardDelegate::~CouchCardDelegate() = default;

QSize CouchCardDelegate::sizeHint(const QStyleOptionViewItem& /*option*/,
                                  const QModelIndex& /*index*/) const {
  return cardSize() + QSize(0, nameHeight);
}

void CouchCardDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  QStyleOptionViewItem card(option);
  card.rect = QRect(option.rect.topLeft(), cardSize());
  if (const QPixmap large = largePicture(index, option.widget); !large.isNull()) {
    card_->paintWithPicture(painter, card, index, large);
  } else {
    card_->paint(painter, card, index);
  }

  const auto& theme = style::Style::themeOf(option.widget);
  const bool selected = option.state.testFlag(QStyle::State_Selected);
  const QRect nameRect(option.rect.left(), card.rect.bottom() + 1, option.rect.width(), nameHeight);
  painter->save();
  painter->setFont(selected ? theme.fontH4 : theme.fontH5);
  painter->setPen(selected ? theme.primaryColor : theme.secondaryColor);
  const QString name = painter->fontMetrics().elidedText(index.data(Qt::DisplayRole).toString(),
                                                         Qt::ElideRight, nameRect.width());
  painter->drawText(nameRect, Qt::AlignHCenter | Qt::AlignVCenter, name);
  painter->restore();
}

QPixmap CouchCardDelegate::largePicture(const QModelIndex& index, const QWidget* widget) const {
  const QString file = index.data(pictureFileRole).toString();
  if (file.isEmpty() || pictures_ == nullptr) {
    return {};
  }
  const qreal scale = qreal(cardSize().width()) / cardPictureSize.width();
  return pictures_->picture(file, fit_, scale * (widget != nullptr ? widget->devicePixelRatioF() : 1.0));
}

} // namespace arvexhub::launcher
