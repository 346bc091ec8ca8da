#include "style/widgets/LineEdit.h"

#include "style/Style.h"
#include "style/StyleUtils.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionFrame>

namespace arvexhub::style {
namespace {

constexpr int iconExtent = 16;
// QLineEdit keeps this gap between its contents rectangle and the text.
constexpr int lineEditTextGap = 2;

} // namespace

LineEdit::LineEdit(QWidget* parent)
    : QLineEdit(parent) {}

LineEdit::~LineEdit() = default;

QIcon LineEdit::icon() const {
  return icon_;
}

void LineEdit::setIcon(const QIcon& icon) {
  icon_ = icon;
  updateTextMargins();
  update();
}

void LineEdit::updateTextMargins() {
  // The icon leads the text, so it sits on the right in right-to-left layouts.
  const auto room = icon_.isNull() ? 0 : iconExtent + Style::themeOf(this).spacing / 2;
  const auto rightToLeft = layoutDirection() == Qt::RightToLeft;
  auto margins = textMargins();
  margins.setLeft(rightToLeft ? 0 : room);
  margins.setRight(rightToLeft ? room : 0);
  setTextMargins(margins);
}

QRect LineEdit::iconRect() const {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const auto contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
  const auto top = contents.top() + (contents.height() - iconExtent) / 2;
  const auto left = layoutDirection() == Qt::RightToLeft ? contents.right() + 1 - lineEditTextGap - iconExtent
                                                         : contents.left() + lineEditTextGap;
  return {left, top, iconExtent, iconExtent};
}

void LineEdit::paintEvent(QPaintEvent* event) {
  QLineEdit::paintEvent(event);
  if (icon_.isNull()) {
    return;
  }
  QPainter painter(this);
  drawCenteredIcon(painter, icon_, QSize(iconExtent, iconExtent), iconRect().center(), this);
}

void LineEdit::changeEvent(QEvent* event) {
  if (event->type() == QEvent::StyleChange || event->type() == QEvent::LayoutDirectionChange) {
    updateTextMargins();
  }
  QLineEdit::changeEvent(event);
}

} // namespace arvexhub::style
