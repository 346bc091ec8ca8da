#include "widgets/views/AlbumWidget.h"

#include "app/Controller.h"
#include "app/Preferences.h"
#include "style/StyleUtils.h"
#include "style/widgets/Expander.h"
#include "widgets/panels/AlbumPropertiesPanel.h"
#include "widgets/views/AlbumListView.h"
#include "widgets/window/MainWindow.h"

#include <QHBoxLayout>
#include <QTabWidget>

namespace arvexhub::launcher {

AlbumWidget::AlbumWidget(Controller* controller, QWidget* parent)
    : QWidget(parent)
    , controller_(controller) {
  setupUi();
}

AlbumWidget::~AlbumWidget() = default;

void AlbumWidget::setupUi() {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  listView_ = new AlbumListView(controller_, this);
  layout->addWidget(listView_);

  expander_ = new style::Expander(this);
  expander_->setOrientation(Qt::Horizontal);
  expander_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  auto* content = new QWidget(expander_);
  auto* contentLayout = new QHBoxLayout(content);
  contentLayout->setContentsMargins(0, 0, 0, 0);
  contentLayout->setSpacing(0);
  contentLayout->addWidget(style::makeVerticalLine(content));
  propertiesPanel_ = new AlbumPropertiesPanel(controller_->albumModel(), content);
  contentLayout->addWidget(propertiesPanel_);
  expander_->setContent(content);
  expander_->setExpanded(controller_->preferences()->appPropertiesPanelVisible());
  layout->addWidget(expander_);
  connect(expander_, &style::Expander::expandedChanged, this, &AlbumWidget::onExpandedChanged);
}

void AlbumWidget::onExpandedChanged(bool expanded) {
  // Only the user's choice on the music tab counts: other tabs close this panel themselves.
  const auto* mainWindow = qobject_cast<MainWindow*>(window());
  if (controller_ && mainWindow != nullptr &&
      mainWindow->tabWidget()->currentIndex() == MainWindow::MusicTab) {
    controller_->preferences()->setAppPropertiesPanelVisible(expanded);
  }
}

AlbumListView* AlbumWidget::listView() const {
  return listView_;
}

style::Expander* AlbumWidget::expander() const {
  return expander_;
}

AlbumPropertiesPanel* AlbumWidget::propertiesPanel() const {
  return propertiesPanel_;
}

} // namespace arvexhub::launcher
