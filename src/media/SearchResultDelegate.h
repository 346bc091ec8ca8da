#pragma once

#include <QHash>
#include <QStyledItemDelegate>

class QPdfSearchModel;

namespace arvexhub::launcher {

/// Draws a match of the reader's search in two lines: its page, then the words around it with the
/// match itself in bold, cut to the width of the list on both sides. The text of the pages shown
/// is kept until the search changes.
class SearchResultDelegate final : public QStyledItemDelegate {
  Q_OBJECT

public:
  explicit SearchResultDelegate(QObject* parent);
  ~SearchResultDelegate() override;
  Q_DISABLE_COPY_MOVE(SearchResultDelegate)

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  /// Drops the pages' text, for another search or another book.
  void forgetPages();

private:
  QString pageText(const QPdfSearchModel* model, int page) const;

  mutable QHash<int, QString> pageTexts_;
};

} // namespace arvexhub::launcher
