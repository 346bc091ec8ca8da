#include "app/Application.h"

#include "app/Controller.h"
#include "widgets/MainWindow.h"

#include <style/Icons16.h>
#include <style/Style.h>

#include <QFileInfo>
#include <QFileOpenEvent>
#include <QIcon>

namespace arvexhub::launcher {

Application::Application(int& argc, char** argv)
  : QApplication(argc, argv) {
  setQuitOnLastWindowClosed(true);
  MainWindow::setAppIcon();
  // A second start hands its message to the running instance and ends here, before any
  // window exists.
  instanceManager_.setMode(instance::InstanceManager::Mode::Single);
  installStyle();
  controller_ = new Controller(this);
  mainWindow_ = std::make_unique<MainWindow>(controller_);
  mainWindow_->show();
  connect(&instanceManager_, &instance::InstanceManager::secondaryInstanceMessageReceived, this,
          &Application::onSecondaryInstanceMessage);
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
  const auto parts = QString::fromUtf8(message).split(QLatin1Char(' '), Qt::KeepEmptyParts, Qt::CaseSensitive);
  if (!parts.isEmpty()) {
    controller_->playGame(parts.first());
  }
}

bool Application::event(QEvent* event) {
  if (event->type() == QEvent::FileOpen) {
    const auto path = static_cast<QFileOpenEvent*>(event)->file();
    if (QFileInfo::exists(path) && path.endsWith(QStringLiteral(".arvexhub"), Qt::CaseSensitive)) {
      controller_->playGame(path);
      event->accept();
    }
  }
  return QApplication::event(event);
}

} // namespace arvexhub::launcher
