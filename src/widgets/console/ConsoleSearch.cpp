#include "widgets/console/ConsoleSearch.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace arvexhub::launcher {
namespace {

/// Enough for any screen; a line full of one-letter matches must not make painting slow.
constexpr int maximumHighlights = 1000;
constexpr int otherMatchAlpha = 90;

/// Lower case, one character for one, so positions in the folded text are positions in the log.
/// (QString::toLower may lengthen a text, and takes twice as long.)
QString folded(QString text) {
  for (QChar& c : text) {
    const char16_t u = c.unicode();
    if (u < 0x80) {
      if (u >= u'A' && u <= u'Z') {
        c = QChar(static_cast<char16_t>(u + (u'a' - u'A')));
      }
    } else if (!c.isSurrogate()) {
      c = c.toLower();
    }
  }
  return text;
}

} // namespace

ConsoleSearch::ConsoleSearch(QPlainTextEdit* view, QObject* parent)
    : QObject(parent)
    , view_(view) {
  refreshTimer_.setSingleShot(true);
  refreshTimer_.setInterval(refreshDelayMs);
  connect(&refreshTimer_, &QTimer::timeout, this, [this] {
    const QTextCursor cursor = view_->textCursor();
    search();
    // The selected match stays selected when it is still one.
    const auto it = std::lower_bound(matches_.cbegin(), matches_.cend(), cursor.selectionStart());
    const bool same = it != matches_.cend() && *it == cursor.selectionStart() &&
                      cursor.selectionEnd() - cursor.selectionStart() == query_.size();
    current_ = same ? static_cast<int>(it - matches_.cbegin()) : -1;
    highlight();
    emit changed();
  });
  connect(view_->document(), &QTextDocument::contentsChange, this, [this] {
    textStale_ = true;
    // Not restarted on every change: a game that writes all the time still sees its matches.
    if (active_ && !refreshTimer_.isActive()) {
      refreshTimer_.start();
    }
  });
  connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, &ConsoleSearch::highlight);
  connect(view_->verticalScrollBar(), &QScrollBar::rangeChanged, this, &ConsoleSearch::highlight);
}

ConsoleSearch::~ConsoleSearch() = default;

void ConsoleSearch::setQuery(const QString& query) {
  query_ = query;
  active_ = true;
  search();
  const auto it = std::lower_bound(matches_.cbegin(), matches_.cend(), view_->textCursor().selectionStart());
  select(matches_.isEmpty() ? -1 : static_cast<int>(it == matches_.cend() ? 0 : it - matches_.cbegin()));
}

const QString& ConsoleSearch::query() const {
  return query_;
}

void ConsoleSearch::stop() {
  active_ = false;
  refreshTimer_.stop();
  matches_.clear();
  current_ = -1;
  text_ = QString(); // a full log's copy is some megabytes
  textStale_ = true;
  highlight();
}

int ConsoleSearch::matchCount() const {
  return static_cast<int>(matches_.size());
}

int ConsoleSearch::currentIndex() const {
  return current_;
}

void ConsoleSearch::next() {
  if (textStale_) {
    setQuery(query_); // positions from before the last change could select the wrong text
  }
  if (!matches_.isEmpty()) {
    select(current_ < 0 ? 0 : (current_ + 1) % matchCount());
  }
}

void ConsoleSearch::previous() {
  if (textStale_) {
    setQuery(query_);
  }
  if (!matches_.isEmpty()) {
    select(current_ <= 0 ? matchCount() - 1 : current_ - 1);
  }
}

void ConsoleSearch::refreshText() {
  // Folded once per change of the log, so each keystroke is a plain scan. The raw text has the
  // document's positions: blocks end in a paragraph separator, which no query holds.
  text_ = folded(view_->document()->toRawText());
  textStale_ = false;
}

void ConsoleSearch::search() {
  matches_.clear();
  if (textStale_) {
    refreshText();
  }
  if (query_.isEmpty()) {
    return;
  }
  const QString needle = folded(query_);
  for (qsizetype at = text_.indexOf(needle); at >= 0; at = text_.indexOf(needle, at + needle.size())) {
    matches_.append(static_cast<int>(at));
  }
  keepVisibleOnly();
}

void ConsoleSearch::keepVisibleOnly() {
  if (matches_.isEmpty()) {
    return;
  }
  // One walk over the blocks from the first match on: a look-up per match would cost more.
  QTextBlock block = view_->document()->findBlock(matches_.first());
  int blockEnd = block.position() + block.length();
  const auto hidden = [&block, &blockEnd](int position) {
    while (block.isValid() && blockEnd <= position) {
      block = block.next(); // a block's position costs a look-up, its length does not
      blockEnd += block.length();
    }
    return block.isValid() && !block.isVisible();
  };
  matches_.erase(std::remove_if(matches_.begin(), matches_.end(), hidden), matches_.end());
}

void ConsoleSearch::select(int index) {
  current_ = index;
  if (index >= 0) {
    QTextCursor cursor(view_->document());
    cursor.setPosition(matches_.at(index));
    cursor.setPosition(matches_.at(index) + static_cast<int>(query_.size()), QTextCursor::KeepAnchor);
    view_->setTextCursor(cursor);
    view_->centerCursor();
  }
  highlight();
  emit changed();
}

void ConsoleSearch::highlight() {
  if (!active_ && view_->extraSelections().isEmpty()) {
    return; // the log scrolls all the time while a game writes
  }
  QList<QTextEdit::ExtraSelection> selections;
  if (active_ && !matches_.isEmpty()) {
    const QRect area = view_->viewport()->rect();
    const int top = view_->cursorForPosition(area.topLeft()).block().position();
    const QTextBlock bottom = view_->cursorForPosition(area.bottomRight()).block();
    const int end = bottom.position() + bottom.length();
    QColor other = view_->palette().color(QPalette::Highlight);
    other.setAlpha(otherMatchAlpha);
    for (auto it = std::lower_bound(matches_.cbegin(), matches_.cend(), top);
         it != matches_.cend() && *it < end && selections.size() < maximumHighlights; ++it) {
      QTextEdit::ExtraSelection selection;
      selection.cursor = QTextCursor(view_->document());
      selection.cursor.setPosition(*it);
      selection.cursor.setPosition(*it + static_cast<int>(query_.size()), QTextCursor::KeepAnchor);
      const bool current = it - matches_.cbegin() == current_;
      selection.format.setBackground(current ? view_->palette().color(QPalette::Highlight) : other);
      if (current) {
        selection.format.setForeground(view_->palette().color(QPalette::HighlightedText));
      }
      selections.append(selection);
    }
  }
  view_->setExtraSelections(selections);
}

} // namespace arvexhub::launcher
