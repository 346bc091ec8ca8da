#include "widgets/window/StatusBar.h"

#include "app/Controller.h"
#include "app/MakeIcon.h"
#include "library/DownloadQueue.h"
#include "library/GameListModel.h"
#include "style/Style.h"
#include "style/ThemeFollower.h"
#include "style/widgets/IconWidget.h"
#include "widgets/window/CatalogueOfflineNotice.h"
#include "widgets/window/MessageWidget.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>

namespace arvexhub::launcher {

StatusBar::StatusBar(Controller* controller, QWidget* parent)
    : QStatusBar(parent)
    , controller_(controller) {
  setFixedHeight(28);
  setSizeGripEnabled(false);
  setContentsMargins(16, 0, 16, 0);
  addWidget(makeLibraryWidget());
  controllerNote_ = new QLabel(this);
  controllerNote_->setObjectName(QStringLiteral("controllerNote"));
  controllerNote_->setTextFormat(Qt::PlainText); // a device's name is not markup
  controllerNote_->hide();
  addWidget(controllerNote_);
  downloadsLabel_ = new QLabel(this);
  downloadsLabel_->setObjectName(QStringLiteral("downloadsLabel"));
  addWidget(downloadsLabel_);
  messageWidget_ = new MessageWidget(this);
  addPermanentWidget(messageWidget_);

  if (controller_) {
    connect(controller_->model(), &GameListModel::rowCountChanged, this, &StatusBar::updateLibraryIcon);
    connect(controller_->updater(), &BasicUpdater::checkStarted, this, &StatusBar::onCheckStarted);
    connect(controller_->updater(), &BasicUpdater::checkFinished, this, &StatusBar::onCheckFinished);
    connect(controller_, &Controller::downloadFailed, this, &StatusBar::onDownloadFailed);
    connect(controller_->downloadQueue(), &DownloadQueue::changed, this, &StatusBar::updateDownloads);
  }
  updateDownloads();
  updateLibraryIcon();
  applyTheme();
  new style::ThemeFollower(this, [this] { applyTheme(); });
}

StatusBar::~StatusBar() = default;

MessageWidget* StatusBar::messageWidget() const {
  return messageWidget_;
}

void StatusBar::setControllerName(const QString& name) {
  controllerNote_->setText(
      QCoreApplication::translate("ArvexHubLauncher", "%1: controller connected").arg(name));
  controllerNote_->setVisible(!name.isEmpty());
}

QString StatusBar::downloadsText() const {
  return downloadsLabel_->text();
}

void StatusBar::updateDownloads() {
  const auto* queue = controller_ ? controller_->downloadQueue() : nullptr;
  const int running = queue ? queue->runningCount() : 0;
  const int waiting = queue ? queue->waitingCount() : 0;
  QStringList parts;
  if (running > 0) {
    parts.append(QCoreApplication::translate("ArvexHubLauncher", "%n downloading", nullptr, running));
  }
  if (waiting > 0) {
    parts.append(QCoreApplication::translate("ArvexHubLauncher", "%n queued", nullptr, waiting));
  }
  downloadsLabel_->setText(parts.join(QStringLiteral(", ")));
  downloadsLabel_->setVisible(!parts.isEmpty());
}

QWidget* StatusBar::makeLibraryWidget() {
  auto* widget = new QWidget(this);
  widget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  auto* layout = new QHBoxLayout(widget);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(8);
  libraryIcon_ = new style::IconWidget(widget);
  libraryIcon_->setObjectName(QStringLiteral("libraryIcon"));
  layout->addWidget(libraryIcon_);
  if (controller_) {
    layout->addWidget(new CatalogueOfflineNotice(controller_, widget));
  }
  return widget;
}

void StatusBar::updateLibraryIcon() {
  const bool empty = !controller_ || controller_->model()->rowCount() < 1;
  libraryIcon_->setIcon(
      makeIcon(empty ? style::icons::Icons16::Misc_Warning : style::icons::Icons16::Misc_Library));
}

void StatusBar::applyTheme() {
  if (const auto* style = style::Style::of(this)) {
    libraryIcon_->setPalette(style->paletteForTextRole(style::TextRole::Caption));
  }
  // Icons are drawn in the theme's colours.
  updateLibraryIcon();
}

void StatusBar::onCheckStarted() {
  messageWidget_->setClickCallback({});
  messageWidget_->setCurrentPage(MessageWidget::Page::Spinner, {},
                                 QCoreApplication::translate("ArvexHubLauncher", "Checking for updates…"));
}

void StatusBar::onCheckFinished(const BasicUpdater::Result& result) {
  switch (result.code) {
  case 0:
    messageWidget_->setCurrentPage(MessageWidget::Page::Button, {},
                                   QCoreApplication::translate("ArvexHubLauncher", "No Update Available"));
    break;
  case 1: {
    const QUrl address(result.releaseUrl);
    messageWidget_->setClickCallback([address] { QDesktopServices::openUrl(address); });
    messageWidget_->setCurrentPage(
        MessageWidget::Page::ButtonWithText,
        QCoreApplication::translate("ArvexHubLauncher", "Update Available"),
        QCoreApplication::translate("ArvexHubLauncher", "You have %1, %2 is available.")
            .arg(result.currentVersion, result.latestVersion));
    break;
  }
  case 2:
    // A failure looks like "nothing new" at a glance; its tool tip says what happened.
    messageWidget_->setCurrentPage(
        MessageWidget::Page::Button, {},
        QCoreApplication::translate("ArvexHubLauncher", "Failed to check for updates. Error code: %1")
            .arg(result.error));
    break;
  default:
    break;
  }
}

void StatusBar::onDownloadFailed(const QString& itemName, const QString& reason) {
  showMessage(
      QCoreApplication::translate("ArvexHubLauncher", "Could not install \"%1\": %2").arg(itemName, reason),
      failureMessageDuration);
}

} // namespace arvexhub::launcher
