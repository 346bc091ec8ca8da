#pragma once

#include <QStyledItemDelegate>

namespace arvexhub::launcher {

/// Draws a match of the reader's search in two lines: its page, then the words around it with the
/// match itself in bold, cut to the width of the list on both sides.
class SearchResultDelegate final : public QStyledItemDelegate {
  Q_OBJECT

public:
  explicit SearchResultDelegate(QObject* parent);
  ~SearchResultDelegate() override;
  Q_DISABLE_COPY_MOVE(SearchResultDelegate)

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace arvexhub::launcher
