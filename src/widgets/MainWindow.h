#pragma once

#include <QWidget>

class QTabWidget;

namespace arvexhub::launcher {

class Controller;

/// The program's only top-level window: a tab per library kind, the media player and the
/// e-book reader.
class MainWindow final : public QWidget {
  Q_OBJECT

public:
  explicit MainWindow(Controller* controller, QWidget* parent = nullptr);
  ~MainWindow() override;
  Q_DISABLE_COPY_MOVE(MainWindow)

  /// Sets the application-wide window icon from the compiled-in pictures.
  static void setAppIcon();

  QTabWidget* tabWidget() const;

private:
  void setupUi();
  QWidget* makeGamesTab();

  Controller* controller_;
  QTabWidget* tabWidget_{nullptr};
};

} // namespace arvexhub::launcher
