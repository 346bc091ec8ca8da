#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QPoint;
class QPushButton;

namespace arvexhub::style {
class IconWidget;
}

namespace arvexhub::launcher {

class CommandLine;
class Console;
class ConsoleFindBar;
class Controller;

/// The strip under the main window's content that shows the running game's output: a header
/// (which game plays, clear and close buttons) above the console, a context menu on the log
/// and saving the log to a text file. Under the log, a command line sends commands to the running
/// game; Ctrl+F opens a find bar over the log, and a toggle hides or shows the Debug lines.
class BottomPanel final : public QWidget {
  Q_OBJECT

public:
  /// Asks for the file to save the log to, given the suggested one; empty means cancelled.
  using SaveFileNameProvider = std::function<QString(const QString& suggested)>;

  BottomPanel(Controller* controller, QWidget* parent = nullptr);
  ~BottomPanel() override;
  Q_DISABLE_COPY_MOVE(BottomPanel)

  Console* console() const;

  /// Replaces the save dialog (a native file dialog by default).
  void setSaveFileNameProvider(SaveFileNameProvider provider);

  /// The log view's context menu, parented to the log view and not shown yet.
  QMenu* createContextMenu();

  /// Asks for a file and writes the log to it as plain text. The file is replaced only once
  /// the whole log is written; a failure leaves it as it was and tells the user why.
  void saveConsoleContentToFile();

  /// The absolute path of a folder, or of the folder holding a file; empty when the path
  /// names nothing that exists.
  static QString getDirectoryFromPath(const QString& path);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QFrame* buildHeader();
  QWidget* buildCommandRow();
  void connectConsole();
  void openFindBar();
  void updateCommandLine();
  void sendCommand(const QString& command);
  void updateHeader();
  void applyTextPalette();
  void showContextMenu(const QPoint& position);
  void closePanel();
  QString suggestedFileName() const;
  void showSaveError(const QString& filePath, const QString& reason);

  QPointer<Controller> controller_;
  Console* console_{nullptr};
  QPushButton* clearButton_{nullptr};
  QPushButton* closeButton_{nullptr};
  QCheckBox* debugToggle_{nullptr};
  ConsoleFindBar* findBar_{nullptr};
  CommandLine* commandLine_{nullptr};
  style::IconWidget* statusIcon_{nullptr};
  QLabel* playingLabel_{nullptr};
  QLabel* gameLabel_{nullptr};
  SaveFileNameProvider saveFileNameProvider_;
};

} // namespace arvexhub::launcher
