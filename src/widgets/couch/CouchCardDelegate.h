#pragma once

#include "library/LibraryKind.h"

#include <QStyledItemDelegate>

namespace arvexhub::launcher {

class CardPainter;
class CouchPictures;
struct CardKind;

/// A large card of the couch mode's row: the library grid's card of that kind (CardPainter,
/// with its picture, download progress, badges and selection frame) at television size, and the
/// item's name beneath it, highlighted when selected. The picture is read anew at that size
/// (CouchPictures); until it is, the grid's smaller one stands in.
class CouchCardDelegate final : public QStyledItemDelegate {
  Q_OBJECT

public:
  /// The grid's card, 2.2 times larger, and the line of the name under it.
  static QSize cardSize();
  static constexpr int nameHeight = 56;

  CouchCardDelegate(const CardKind& kind, CouchPictures* pictures, QObject* parent);
  ~CouchCardDelegate() override;
  Q_DISABLE_COPY_MOVE(CouchCardDelegate)

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
  QPixmap largePicture(const QModelIndex& index, const QWidget* widget) const;

  const PictureFit fit_;
  CouchPictures* pictures_;
  CardPainter* card_;
};

} // namespace arvexhub::launcher
