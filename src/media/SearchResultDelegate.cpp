#include "media/SearchResultDelegate.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QPdfSearchModel>

namespace arvexhub::launcher {
namespace {

constexpr int padding = 4;

/// The model marks line ends in its contexts with a symbol; a list line reads better with blanks.
QString oneLine(QString text) {
  return text.replace(QChar(0x23CE), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

struct Context {
  QString before;
  QString match;
  QString after;
};

/// The words around a match. When the text differs from the search in case only, the model fails
/// to find the match in its context and gives the whole context before and its end after; the
/// match is found again here, in any case.
Context matchContext(const QModelIndex& index, const QString& searched) {
  Context context{oneLine(index.data(int(QPdfSearchModel::Role::ContextBefore)).toString()), searched,
                  oneLine(index.data(int(QPdfSearchModel::Role::ContextAfter)).toString())};
  if (!context.after.isEmpty() && context.before.endsWith(context.after)) {
    const QString whole = context.before;
    const auto at = whole.indexOf(searched, 0, Qt::CaseInsensitive);
    if (at >= 0) {
      context = {whole.left(at), whole.mid(at, searched.size()), whole.mid(at + searched.size())};
    }
  }
  return context;
}

/// The match in the middle of the line in bold, as much of the words around it as fits on each side.
void drawContext(QPainter* painter, const QRect& line, const QFont& font, const Context& context) {
  QFont bold = font;
  bold.setBold(true);
  const QFontMetrics metrics(font);
  const QFontMetrics boldMetrics(bold);
  const int matchWidth = std::min(boldMetrics.horizontalAdvance(context.match), line.width());
  const QString before = metrics.elidedText(context.before, Qt::ElideLeft, (line.width() - matchWidth) / 2);
  const int beforeWidth = metrics.horizontalAdvance(before);
  const int afterLeft = line.left() + beforeWidth + matchWidth;
  painter->setFont(font);
  painter->drawText(QRect(line.left(), line.top(), beforeWidth, line.height()), Qt::AlignVCenter, before);
  painter->drawText(QRect(afterLeft, line.top(), line.right() - afterLeft, line.height()), Qt::AlignVCenter,
                    metrics.elidedText(context.after, Qt::ElideRight, line.right() - afterLeft));
  painter->setFont(bold);
  painter->drawText(QRect(line.left() + beforeWidth, line.top(), matchWidth, line.height()), Qt::AlignVCenter,
                    boldMetrics.elidedText(context.match, Qt::ElideRight, matchWidth));
}

} // namespace

SearchResultDelegate::SearchResultDelegate(QObject* parent)
    : QStyledItemDelegate(parent) {}

SearchResultDelegate::~SearchResultDelegate() = default;

void SearchResultDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  QStyleOptionViewItem background(option);
  initStyleOption(&background, index);
  background.text.clear();
  const auto* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);

  const QRect area = option.rect.adjusted(padding, padding, -padding, -padding);
  const int lineHeight = option.fontMetrics.height();
  const bool selected = option.state & QStyle::State_Selected;
  painter->save();
  painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::PlaceholderText));
  const int page = index.data(int(QPdfSearchModel::Role::Page)).toInt() + 1;
  painter->drawText(QRect(area.topLeft(), QSize(area.width(), lineHeight)), Qt::AlignLeft | Qt::AlignVCenter,
                    QCoreApplication::translate("SearchResultDelegate", "Page %1").arg(page));
  const auto* model = qobject_cast<const QPdfSearchModel*>(index.model());
  painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  drawContext(painter, QRect(area.left(), area.top() + lineHeight, area.width(), lineHeight), option.font,
              matchContext(index, model != nullptr ? model->searchString() : QString()));
  painter->restore();
}

QSize SearchResultDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& /*index*/) const {
  return {option.rect.width(), 2 * option.fontMetrics.height() + 2 * padding};
}

} // namespace arvexhub::launcher
