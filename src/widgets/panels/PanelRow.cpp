#include "widgets/panels/PanelRow.h"

#include "style/StyleUtils.h"
#include "style/widgets/Expander.h"

#include <QHBoxLayout>

namespace arvexhub::launcher {

style::Expander* layOutPanelRow(QWidget* row, QWidget* view, QWidget* panel) {
  auto* rowLayout = new QHBoxLayout(row);
  rowLayout->setSpacing(0);
  rowLayout->setContentsMargins(0, 0, 0, 0);
  rowLayout->addWidget(view);

  auto* expander = new style::Expander(row);
  expander->setOrientation(Qt::Horizontal);
  expander->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  auto* content = new QWidget(expander);
  content->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  auto* contentLayout = new QHBoxLayout(content);
  contentLayout->setContentsMargins(0, 0, 0, 0);
  contentLayout->setSpacing(0);
  contentLayout->addWidget(style::makeVerticalLine(content));
  contentLayout->addWidget(panel);
  expander->setContent(content);
  rowLayout->addWidget(expander);
  return expander;
}

} // namespace arvexhub::launcher
