#pragma once

#include "input/ControllerInput.h"

#include <QWidget>

#include <functional>
#include <vector>

class QTabWidget;

namespace arvexhub::style {
class Expander;
}

namespace arvexhub::launcher {

class AlbumWidget;
class BottomPanel;
class Controller;
class CouchModeView;
class LibraryListView;
class CustomSplitter;
class DropArea;
class EbookListView;
class EbookPropertiesPanel;
class EbookReaderTab;
class GameListView;
class GamePropertiesPanel;
class MediaPlayerTab;
class MenuBar;
class MovieListView;
class MoviePropertiesPanel;
class StatusBar;
class ToolBar;

/// The program's only top-level window: the bars, a tab per library kind, the media player and
/// the e-book reader. Remembers its geometry and the games splitter in the preferences.
class MainWindow final : public QWidget {
  Q_OBJECT

public:
  enum Tab { GamesTab = 0, MoviesTab, EbooksTab, MusicTab, PlayerTab, ReaderTab };

  explicit MainWindow(Controller* controller, QWidget* parent = nullptr);
  ~MainWindow() override;
  Q_DISABLE_COPY_MOVE(MainWindow)

  /// Sets the application-wide window icon from the compiled-in pictures.
  static void setAppIcon();
  /// Runs `work` once the window's first frame is painted (or a second after this call, should
  /// no frame come): what that first picture does not need waits until the user sees it.
  void afterFirstFrame(std::function<void()> work);

  QTabWidget* tabWidget() const;
  ToolBar* toolBar() const;
  MenuBar* menuBar() const;
  StatusBar* statusBar() const;
  GameListView* gameListView() const;
  style::Expander* gamesExpander() const;
  GamePropertiesPanel* gamePropertiesPanel() const;
  CustomSplitter* splitter() const;
  BottomPanel* consolePanel() const;
  DropArea* dropArea() const;
  MovieListView* movieListView() const;
  style::Expander* moviesExpander() const;
  EbookListView* ebookListView() const;
  style::Expander* ebooksExpander() const;
  AlbumWidget* albumWidget() const;
  MediaPlayerTab* mediaPlayerTab() const;
  EbookReaderTab* ebookReaderTab() const;
  ControllerInput* controllerInput() const;
  CouchModeView* couchModeView() const;

signals:
  void fullscreenChanged(bool isFullscreen);

public slots:
  void handleFullscreenRequest();
  void updatePropertiesPanelVisibility();
  /// Shows the library full screen for the couch, games first; leaving it returns here.
  void openCouchMode();

protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void setupUi();
  void connectController();
  void connectMediaPlayer();
  void connectEbookReader();
  QWidget* createGamesTab();
  QWidget* createMoviesTab();
  QWidget* createEbooksTab();
  QWidget* createAlbumsTab();
  QWidget* makeLibraryRow(QWidget* view, QWidget* panel, style::Expander** expander, int tab);
  void setupConsoleSplitter(QWidget* gamesRow, QWidget* page);
  void onSplitterHandleReleased();
  void onConsolePreferenceChanged();
  void storeGeometry();
  bool isMediaTabCurrent() const;
  void runAfterFirstFrameWork();
  void setupControllerInput();
  void setupCouchMode();
  void onControllerAction(ControllerInput::Action action);
  /// The player and the reader take A, B and the shoulders for themselves.
  bool handleMediaTabAction(ControllerInput::Action action);
  void leaveMediaTab();
  LibraryListView* currentLibraryView() const;
  void showCurrentCardMenu();

  Controller* controller_;
  MenuBar* menuBar_{nullptr};
  ToolBar* toolBar_{nullptr};
  StatusBar* statusBar_{nullptr};
  QTabWidget* tabWidget_{nullptr};
  DropArea* dropArea_{nullptr};
  CustomSplitter* splitter_{nullptr};
  GameListView* gameListView_{nullptr};
  style::Expander* gamesExpander_{nullptr};
  GamePropertiesPanel* gamePropertiesPanel_{nullptr};
  BottomPanel* consolePanel_{nullptr};
  MovieListView* movieListView_{nullptr};
  style::Expander* moviesExpander_{nullptr};
  MoviePropertiesPanel* moviePropertiesPanel_{nullptr};
  EbookListView* ebookListView_{nullptr};
  style::Expander* ebooksExpander_{nullptr};
  EbookPropertiesPanel* ebookPropertiesPanel_{nullptr};
  AlbumWidget* albumWidget_{nullptr};
  MediaPlayerTab* mediaPlayerTab_{nullptr};
  EbookReaderTab* ebookReaderTab_{nullptr};
  ControllerInput* controllerInput_{nullptr};
  CouchModeView* couchModeView_{nullptr};
  int lastLibraryTab_{GamesTab};
  bool firstFramePainted_{false};
  std::vector<std::function<void()>> afterFirstFrame_;
};

} // namespace arvexhub::launcher
