#include "app/Application.h"

#include "app/Controller.h"
#include "media/MediaPlayerTab.h"
#include "media/MprisService.h"
#include "style/Icons16.h"
#include "style/Style.h"
#include "widgets/window/MainWindow.h"

#include <QFileInfo>
#include <QFileOpenEvent>
#include <QIcon>
#include <QTimer>

namespace arvexhub::launcher {

Application::Application(int& argc, char** argv, const QString& pathToOpen)
    : QApplication(argc, argv) {
  setQuitOnLastWindowClosed(true);
  // A second start hands its path (nothing but the path, whatever blanks it holds) to the
  // running instance and ends here, before any window exists.
  instanceManager_.setMessageToSend(pathToOpen.toUtf8());
  instanceManager_.setMode(instance::InstanceManager::Mode::Single);
  installStyle();
  controller_ = new Controller(this);
  controller_->holdLocalPictures(true);
  mainWindow_ = std::make_unique<MainWindow>(controller_);
  mainWindow_->mediaPlayerTab()->setPreferences(controller_->preferences());
  mainWindow_->show();
  // The window shows first; its icon, the library's own pictures and the desktop's media
  // controls follow a moment later.
  mainWindow_->afterFirstFrame([controller = controller_, player = mainWindow_->mediaPlayerTab()] {
    MainWindow::setAppIcon();
    controller->holdLocalPictures(false);
    MprisService::publish(player, QDBusConnection::sessionBus());
  });
  connect(&instanceManager_, &instance::InstanceManager::secondaryInstanceMessageReceived, this,
          &Application::onSecondaryInstanceMessage);
  if (!pathToOpen.isEmpty()) {
    QTimer::singleShot(0, controller_, [this, pathToOpen] { controller_->openDroppedPath(pathToOpen); });
  }
}

Application::~Application() {
  mainWindow_.reset();
}

Controller* Application::controller() const {
  return controller_;
}

MainWindow* Application::mainWindow() const {
  return mainWindow_.get();
}

instance::InstanceManager& Application::instanceManager() {
  return instanceManager_;
}

void Application::installStyle() {
  style_ = new style::Style(this);
  style_->setAnimationsEnabled(true);
  style_->setAutoIconColor(style::AutoIconColor::TextColor);
  style_->setIconPathGetter(&style::icons::fromFreeDesktop);
  QApplication::setStyle(style_);
  style::icons::initializeIconTheme();
  QIcon::setThemeName(QStringLiteral("qlementine"));
}

void Application::onSecondaryInstanceMessage(unsigned int id, const QByteArray& message) {
  Q_UNUSED(id)
  if (mainWindow_) {
    mainWindow_->raise();
    mainWindow_->activateWindow();
  }
  const auto path = QString::fromUtf8(message);
  if (!path.isEmpty()) {
    controller_->openDroppedPath(path);
  }
}

bool Application::event(QEvent* event) {
  if (event->type() == QEvent::FileOpen) {
    const auto path = static_cast<QFileOpenEvent*>(event)->file();
    if (QFileInfo::exists(path) && path.endsWith(QStringLiteral(".arvexhub"), Qt::CaseSensitive)) {
      controller_->openDroppedPath(path);
      event->accept();
    }
  }
  return QApplication::event(event);
}

} // namespace arvexhub::launcher
