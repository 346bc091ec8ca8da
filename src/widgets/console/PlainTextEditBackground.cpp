#include "widgets/console/PlainTextEditBackground.h"

#include "style/Style.h"

#include <QPainter>

namespace arvexhub::launcher {

PlainTextEditBackground::PlainTextEditBackground(QWidget* parent)
    : QWidget(parent) {}

PlainTextEditBackground::~PlainTextEditBackground() = default;

void PlainTextEditBackground::paintEvent(QPaintEvent* event) {
  Q_UNUSED(event)
  QPainter painter(this);
  if (const auto* style = style::Style::of(this)) {
    painter.fillRect(rect(), style->theme().backgroundColorWorkspace);
  } else {
    painter.fillRect(rect(), palette().brush(QPalette::Base));
  }
}

} // namespace arvexhub::launcher
