#include "widgets/views/EmptyStateHint.h"

#include "style/Style.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QTextOption>

namespace arvexhub::launcher {

void paintEmptyStateHint(QAbstractItemView* view, const QString& text) {
  const auto* model = view->model();
  if (model == nullptr || model->rowCount(view->rootIndex()) != 0) {
    return;
  }
  const style::Theme& theme = style::Style::themeOf(view);
  QPainter painter(view->viewport());
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(theme.secondaryAlternativeColor);
  painter.setFont(theme.fontH2);
  painter.drawText(QRectF(view->viewport()->rect()), text, QTextOption(Qt::AlignCenter));
}

} // namespace arvexhub::launcher
