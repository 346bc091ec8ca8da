#pragma once

#include "instance/InstanceManager.h"

#include <QApplication>

#include <memory>

namespace arvexhub::style {
class Style;
}

namespace arvexhub::launcher {

class Controller;
class MainWindow;

/// The application object: keeps one instance running, installs the style, builds the
/// controller and the main window, and hands paths to open (desktop file-open requests, a second
/// start's argument) to the controller.
class Application final : public QApplication {
  Q_OBJECT

public:
  /// A non-empty `pathToOpen` (absolute) goes to the running instance when there is one, and
  /// is otherwise opened once the window is up.
  Application(int& argc, char** argv, const QString& pathToOpen = {});
  ~Application() override;
  Q_DISABLE_COPY_MOVE(Application)

  Controller* controller() const;
  MainWindow* mainWindow() const;
  instance::InstanceManager& instanceManager();

protected:
  bool event(QEvent* event) override;

private:
  void installStyle();
  void onSecondaryInstanceMessage(unsigned int id, const QByteArray& message);

  instance::InstanceManager instanceManager_;
  style::Style* style_{nullptr};
  Controller* controller_{nullptr};
  std::unique_ptr<MainWindow> mainWindow_;
};

} // namespace arvexhub::launcher
