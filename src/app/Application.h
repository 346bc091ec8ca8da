#pragma once

#include <QApplication>

#include <memory>

class QMainWindow;

namespace arvexhub::style {
class Style;
class ThemeManager;
} // namespace arvexhub::style

namespace arvexhub::launcher {

/// The application object: installs the style and shows the main window.
class Application final : public QApplication {
  Q_OBJECT

public:
  Application(int& argc, char** argv);
  ~Application() override;
  Q_DISABLE_COPY_MOVE(Application)

private:
  style::Style* style_{nullptr};
  style::ThemeManager* themeManager_{nullptr};
  std::unique_ptr<QMainWindow> mainWindow_;
};

} // namespace arvexhub::launcher
