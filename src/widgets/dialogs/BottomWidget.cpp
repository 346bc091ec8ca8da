#include "widgets/dialogs/BottomWidget.h"

#include "style/Style.h"

#include <QPainter>

namespace arvexhub::launcher {

BottomWidget::BottomWidget(QWidget* parent)
    : QWidget(parent) {}

void BottomWidget::paintEvent(QPaintEvent* event) {
  Q_UNUSED(event)
  QPainter painter(this);
  if (style::Style::of(this)) {
    painter.fillRect(rect(), style::Style::themeOf(this).backgroundColorMain3);
  } else {
    painter.fillRect(rect(), palette().brush(QPalette::Base));
  }
}

} // namespace arvexhub::launcher
