#include "media/SearchResultDelegate.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfSearchModel>
#include <QPdfSelection>

namespace arvexhub::launcher {
namespace {

constexpr int padding = 4;

constexpr int contextChars = 40;
constexpr int cachedPages = 16;

/// A page's text has line ends; a list line reads better with blanks.
QString oneLine(QString text) {
  return text.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
      .replace(QChar(0x23CE), QLatin1Char(' '))
      .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

struct Context {
  QString before;
  QString match;
  QString after;
};

/// The words around the match that is the nth on its page, found in the page's text as the
/// search finds them: in any case, one after the other. The model's own contexts come from the
/// first place the searched text appears near the match, in its exact case: often another one.
Context matchContext(const QModelIndex& index, const QString& pageText, const QString& searched) {
  const int nth = index.data(int(QPdfSearchModel::Role::IndexOnPage)).toInt();
  qsizetype at = -searched.size();
  for (int found = 0; found <= nth && (found == 0 || at >= 0); ++found) {
    at = pageText.indexOf(searched, at + searched.size(), Qt::CaseInsensitive);
  }
  if (at < 0 || searched.isEmpty()) {
    return {oneLine(index.data(int(QPdfSearchModel::Role::ContextBefore)).toString()), searched,
            oneLine(index.data(int(QPdfSearchModel::Role::ContextAfter)).toString())};
  }
  const qsizetype start = std::max<qsizetype>(0, at - contextChars);
  return {oneLine(pageText.mid(start, at - start)), pageText.mid(at, searched.size()),
          oneLine(pageText.mid(at + searched.size(), contextChars))};
}

/// The match in the middle of the line in bold, as much of the words around it as fits on each side.
void drawContext(QPainter* painter, const QRect& line, const QFont& font, const Context& context) {
  QFont bold = font;
  bold.setBold(true);
  const QFontMetrics metrics(font);
  const QFontMetrics boldMetrics(bold);
  // A pixel to spare: text measured to the exact width would be cut short.
  const int matchWidth = std::min(boldMetrics.horizontalAdvance(context.match) + 1, line.width());
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
  const QString searched = model != nullptr ? model->searchString() : QString();
  painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  drawContext(painter, QRect(area.left(), area.top() + lineHeight, area.width(), lineHeight), option.font,
              matchContext(index, pageText(model, page - 1), searched));
  painter->restore();
}

void SearchResultDelegate::forgetPages() {
  pageTexts_.clear();
}

QString SearchResultDelegate::pageText(const QPdfSearchModel* model, int page) const {
  if (model == nullptr || model->document() == nullptr) {
    return {};
  }
  const auto cached = pageTexts_.constFind(page);
  if (cached != pageTexts_.cend()) {
    return *cached;
  }
  if (pageTexts_.size() >= cachedPages) {
    pageTexts_.clear(); // the list shows a few pages' matches at a time
  }
  return pageTexts_[page] = model->document()->getAllText(page).text();
}

QSize SearchResultDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& /*index*/) const {
  return {option.rect.width(), 2 * option.fontMetrics.height() + 2 * padding};
}

} // namespace arvexhub::launcher
