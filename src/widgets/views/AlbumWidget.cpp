#include "widgets/views/AlbumWidget.h"

#include "app/Controller.h"
#include "app/Preferences.h"
#include "style/widgets/Expander.h"
#include "widgets/panels/AlbumPropertiesPanel.h"
#include "widgets/panels/PanelRow.h"
#include "widgets/views/AlbumListView.h"
#include "widgets/window/MainWindow.h"

#include <QTabWidget>

namespace arvexhub::launcher {

AlbumWidget::AlbumWidget(Controller* controller, QWidget* parent)
    : QWidget(parent)
    , controller_(controller) {
  setupUi();
}

AlbumWidget::~AlbumWidget() = default;

void AlbumWidget::setupUi() {
  listView_ = new AlbumListView(controller_, this);
  propertiesPanel_ = new AlbumPropertiesPanel(controller_->albumModel(), this);
  expander_ = layOutPanelRow(this, listView_, propertiesPanel_);
  expander_->setExpanded(controller_->preferences()->appPropertiesPanelVisible());
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
