#include "app/Application.h"

#include <style/Icons16.h>
#include <style/Style.h>
#include <style/ThemeManager.h>

#include <QIcon>
#include <QMainWindow>

namespace arvexhub::launcher {

Application::Application(int& argc, char** argv)
  : QApplication(argc, argv) {
  setQuitOnLastWindowClosed(true);

  style_ = new style::Style(this);
  style_->setAnimationsEnabled(true);
  style_->setAutoIconColor(style::AutoIconColor::TextColor);
  style_->setIconPathGetter(&style::icons::fromFreeDesktop);
  setStyle(style_);
  style::icons::initializeIconTheme();
  QIcon::setThemeName(QStringLiteral("qlementine"));

  themeManager_ = new style::ThemeManager(style_, this);
  themeManager_->loadDirectory(QStringLiteral(":/arvexhub/launcher/resources/themes"));
  themeManager_->setCurrentTheme(QStringLiteral("Dark"));

  mainWindow_ = std::make_unique<QMainWindow>();
  mainWindow_->setWindowTitle(applicationDisplayName());
  mainWindow_->resize(900, 700);
  mainWindow_->show();
}

Application::~Application() = default;

} // namespace arvexhub::launcher
