#include "widgets/window/MainWindow.h"

#include "app/Controller.h"
#include "app/Preferences.h"
#include "input/SdlControllerSource.h"
#include "library/EbookListModel.h"
#include "library/GameListModel.h"
#include "library/MovieListModel.h"
#include "media/EbookReaderTab.h"
#include "media/MediaPlayerTab.h"
#include "runner/GameRunner.h"
#include "style/StyleUtils.h"
#include "style/widgets/Expander.h"
#include "widgets/console/BottomPanel.h"
#include "widgets/couch/CouchModeView.h"
#include "widgets/panels/EbookPropertiesPanel.h"
#include "widgets/panels/GamePropertiesPanel.h"
#include "widgets/panels/MoviePropertiesPanel.h"
#include "widgets/panels/PanelRow.h"
#include "widgets/views/AlbumListView.h"
#include "widgets/views/AlbumWidget.h"
#include "widgets/views/EbookListView.h"
#include "widgets/views/GameListView.h"
#include "widgets/views/MovieListView.h"
#include "widgets/window/CustomSplitter.h"
#include "widgets/window/DropArea.h"
#include "widgets/window/MenuBar.h"
#include "widgets/window/StatusBar.h"
#include "widgets/window/ToolBar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMimeData>
#include <QPixmap>
#include <QShortcut>
#include <QSysInfo>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

namespace arvexhub::launcher {
namespace {
constexpr int checkForUpdatesDelayMs = 1000;
constexpr int firstFrameFallbackMs = 1000;
constexpr int consoleInitialHeight = 100;

QVBoxLayout* makePageLayout(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

} // namespace

MainWindow::MainWindow(Controller* controller, QWidget* parent)
    : QWidget(parent)
    , controller_(controller) {
  ensurePolished();
  setMinimumSize(900, 700);
  style::centerWidget(this);
  setWindowTitle(QGuiApplication::applicationDisplayName());
  setupUi();
  restoreGeometry(controller_->preferences()->windowGeometry());
  connectController();
  setupCouchMode();
  setupControllerInput();
  QTimer::singleShot(checkForUpdatesDelayMs, controller_, &Controller::checkForUpdates);
  QTimer::singleShot(0, controller_, &Controller::loadGames);
  setAcceptDrops(true);
}

MainWindow::~MainWindow() = default;

QTabWidget* MainWindow::tabWidget() const {
  return tabWidget_;
}

ToolBar* MainWindow::toolBar() const {
  return toolBar_;
}

MenuBar* MainWindow::menuBar() const {
  return menuBar_;
}

StatusBar* MainWindow::statusBar() const {
  return statusBar_;
}

GameListView* MainWindow::gameListView() const {
  return gameListView_;
}

style::Expander* MainWindow::gamesExpander() const {
  return gamesExpander_;
}

GamePropertiesPanel* MainWindow::gamePropertiesPanel() const {
  return gamePropertiesPanel_;
}

CustomSplitter* MainWindow::splitter() const {
  return splitter_;
}

BottomPanel* MainWindow::consolePanel() const {
  return consolePanel_;
}

DropArea* MainWindow::dropArea() const {
  return dropArea_;
}

MovieListView* MainWindow::movieListView() const {
  return movieListView_;
}

style::Expander* MainWindow::moviesExpander() const {
  return moviesExpander_;
}

EbookListView* MainWindow::ebookListView() const {
  return ebookListView_;
}

style::Expander* MainWindow::ebooksExpander() const {
  return ebooksExpander_;
}

AlbumWidget* MainWindow::albumWidget() const {
  return albumWidget_;
}

MediaPlayerTab* MainWindow::mediaPlayerTab() const {
  return mediaPlayerTab_;
}

EbookReaderTab* MainWindow::ebookReaderTab() const {
  return ebookReaderTab_;
}

ControllerInput* MainWindow::controllerInput() const {
  return controllerInput_;
}

CouchModeView* MainWindow::couchModeView() const {
  return couchModeView_;
}

void MainWindow::setupUi() {
  menuBar_ = new MenuBar(controller_, this);
  auto* layout = makePageLayout(this);
  toolBar_ = new ToolBar(controller_, this);
  tabWidget_ = new QTabWidget(this);
  tabWidget_->setDocumentMode(true);
  // Tab labels are names of places, not translated.
  tabWidget_->addTab(createGamesTab(), QStringLiteral("Games"));
  tabWidget_->addTab(createMoviesTab(), QStringLiteral("Movies"));
  tabWidget_->addTab(createEbooksTab(), QStringLiteral("Ebooks"));
  tabWidget_->addTab(createAlbumsTab(), QStringLiteral("Music"));
  mediaPlayerTab_ = new MediaPlayerTab(this, controller_->movieModel());
  tabWidget_->addTab(mediaPlayerTab_, QStringLiteral("Media Player"));
  ebookReaderTab_ = new EbookReaderTab(this, controller_->ebookModel());
  tabWidget_->addTab(ebookReaderTab_, QStringLiteral("Ebook Reader"));
  statusBar_ = new StatusBar(controller_, this);

  layout->setMenuBar(menuBar_);
  layout->addWidget(toolBar_);
  layout->addWidget(tabWidget_);
  layout->addWidget(statusBar_);

  auto* close = new QShortcut(QKeySequence::Close, this);
  close->setContext(Qt::WindowShortcut);
  connect(close, &QShortcut::activated, this, &QWidget::close);

  dropArea_ = new DropArea(this);

  connect(tabWidget_, &QTabWidget::currentChanged, toolBar_, &ToolBar::onActiveTabChanged);
  connect(tabWidget_, &QTabWidget::currentChanged, this, &MainWindow::updatePropertiesPanelVisibility);
  connect(controller_->preferences(), &Preferences::appPropertiesPanelVisibleChanged, this,
          &MainWindow::updatePropertiesPanelVisibility);
  QTimer::singleShot(0, this, [this] {
    updatePropertiesPanelVisibility();
    toolBar_->onActiveTabChanged(tabWidget_->currentIndex());
  });
}

void MainWindow::connectController() {
  connect(controller_, &Controller::focusOnListViewRequested, this, [this](Qt::FocusReason reason) {
    QWidget* view = nullptr;
    switch (tabWidget_->currentIndex()) {
    case GamesTab:
      view = gameListView_;
      break;
    case MoviesTab:
      view = movieListView_;
      break;
    case EbooksTab:
      view = ebookListView_;
      break;
    case MusicTab:
      view = albumWidget_->listView();
      break;
    default:
      break;
    }
    if (view != nullptr && view->isVisible()) {
      view->setFocus(reason);
    }
  });
  connect(controller_, &Controller::mainWindowRaiseRequested, this, &QWidget::raise);
  connectMediaPlayer();
  connectEbookReader();
}

void MainWindow::connectMediaPlayer() {
  auto* player = mediaPlayerTab_;
  const auto showPlayer = [this] { tabWidget_->setCurrentIndex(PlayerTab); };
  connect(controller_, &Controller::playMovieRequested, player, &MediaPlayerTab::play);
  connect(controller_, &Controller::stopMovieRequested, player, &MediaPlayerTab::stop);
  connect(controller_, &Controller::addToPlaylistRequested, player, &MediaPlayerTab::addToPlaylist);
  connect(controller_, &Controller::playFirstInPlaylistRequested, player, &MediaPlayerTab::playCurrent);
  connect(controller_, &Controller::playMovieRequested, this, showPlayer);
  connect(controller_, &Controller::playAlbumRequested, this, showPlayer);
  connect(controller_, &Controller::clearPlaylistRequested, player, &MediaPlayerTab::clearPlaylist);
  connect(controller_, &Controller::currentAlbumArtChanged, player, &MediaPlayerTab::setAlbumArt);
  connect(player, &MediaPlayerTab::fullscreenRequested, this, &MainWindow::handleFullscreenRequest);
  connect(this, &MainWindow::fullscreenChanged, player, &MediaPlayerTab::onHostIsFullscreen);
}

void MainWindow::connectEbookReader() {
  auto* reader = ebookReaderTab_;
  connect(controller_, &Controller::readEbookRequested, reader, &EbookReaderTab::openEbook);
  connect(controller_, &Controller::readEbookRequested, this,
          [this] { tabWidget_->setCurrentIndex(ReaderTab); });
  connect(reader, &EbookReaderTab::fullscreenRequested, this, &MainWindow::handleFullscreenRequest);
  connect(this, &MainWindow::fullscreenChanged, reader, &EbookReaderTab::onHostIsFullscreen);
}

QWidget* MainWindow::createGamesTab() {
  auto* page = new QWidget;
  makePageLayout(page);
  gameListView_ = new GameListView(controller_, page);
  gamePropertiesPanel_ = new GamePropertiesPanel(controller_->model(), page);
  auto* row = makeLibraryRow(gameListView_, gamePropertiesPanel_, &gamesExpander_, GamesTab);
  setupConsoleSplitter(row, page);
  return page;
}

QWidget* MainWindow::createMoviesTab() {
  auto* page = new QWidget;
  makePageLayout(page);
  movieListView_ = new MovieListView(controller_, page);
  moviePropertiesPanel_ = new MoviePropertiesPanel(controller_->movieModel(), page);
  page->layout()->addWidget(
      makeLibraryRow(movieListView_, moviePropertiesPanel_, &moviesExpander_, MoviesTab));
  return page;
}

QWidget* MainWindow::createEbooksTab() {
  auto* page = new QWidget;
  makePageLayout(page);
  ebookListView_ = new EbookListView(controller_, page);
  ebookPropertiesPanel_ = new EbookPropertiesPanel(controller_->ebookModel(), page);
  page->layout()->addWidget(
      makeLibraryRow(ebookListView_, ebookPropertiesPanel_, &ebooksExpander_, EbooksTab));
  return page;
}

QWidget* MainWindow::createAlbumsTab() {
  auto* page = new QWidget;
  makePageLayout(page);
  albumWidget_ = new AlbumWidget(controller_, page);
  page->layout()->addWidget(albumWidget_);
  return page;
}

QWidget* MainWindow::makeLibraryRow(QWidget* view, QWidget* panel, style::Expander** expander, int tab) {
  auto* row = new QWidget;
  auto* shown = layOutPanelRow(row, view, panel);
  *expander = shown;
  connect(shown, &style::Expander::expandedChanged, this, [this, shown, tab] {
    if (tabWidget_->currentIndex() == tab) {
      controller_->preferences()->setAppPropertiesPanelVisible(shown->expanded());
    }
  });
  return row;
}

void MainWindow::setupConsoleSplitter(QWidget* gamesRow, QWidget* page) {
  auto* preferences = controller_->preferences();
  splitter_ = new CustomSplitter(page);
  splitter_->setOrientation(Qt::Vertical);
  splitter_->setHandleWidth(1);
  splitter_->addWidget(gamesRow);
  consolePanel_ = new BottomPanel(controller_, splitter_);
  splitter_->addWidget(consolePanel_);
  splitter_->setCollapsible(0, false);
  splitter_->setStretchFactor(0, 1);
  // The stored state gives the console its height; the preference says whether it is open (the
  // state may be older when the program did not end normally).
  splitter_->restoreState(preferences->windowSplitterState());
  if ((splitter_->sizes().value(1) > 0) != preferences->appConsoleVisible()) {
    onConsolePreferenceChanged();
  }
  page->layout()->addWidget(splitter_);

  connect(splitter_, &CustomSplitter::handleMouseReleased, this, &MainWindow::onSplitterHandleReleased);
  connect(preferences, &Preferences::appConsoleVisibleChanged, this, &MainWindow::onConsolePreferenceChanged);
  // A game that starts opens the console, so its first lines are seen.
  connect(controller_->runner(), &GameRunner::stateChanged, this, [this, preferences] {
    if (controller_->runner()->state() == GameRunner::State::Starting) {
      preferences->setAppConsoleVisible(true);
    }
  });
}

void MainWindow::onSplitterHandleReleased() {
  auto* preferences = controller_->preferences();
  if (splitter_->count() > 1) {
    preferences->setAppConsoleVisible(splitter_->sizes().value(1) != 0);
  }
  preferences->setWindowSplitterState(splitter_->saveState());
}

void MainWindow::onConsolePreferenceChanged() {
  const int consoleHeight = controller_->preferences()->appConsoleVisible() ? consoleInitialHeight : 0;
  splitter_->setSizes({splitter_->sizes().value(0), consoleHeight});
}

void MainWindow::updatePropertiesPanelVisibility() {
  const bool visible = controller_->preferences()->appPropertiesPanelVisible();
  const int index = tabWidget_->currentIndex();
  menuBar_->onActiveTabChanged(index);
  // Only the current tab's panel can be open; this does not write the preference back.
  const std::pair<style::Expander*, int> expanders[] = {
      {gamesExpander_, GamesTab},
      {moviesExpander_, MoviesTab},
      {ebooksExpander_, EbooksTab},
      {albumWidget_->expander(), MusicTab},
  };
  for (const auto& [expander, tab] : expanders) {
    const QSignalBlocker blocker(expander);
    expander->setExpanded(index == tab && visible);
  }
  mediaPlayerTab_->setPlaylistVisible(index == PlayerTab && visible);
  ebookReaderTab_->setReaderPanelVisible(index == ReaderTab && visible);
}

bool MainWindow::isMediaTabCurrent() const {
  const int index = tabWidget_->currentIndex();
  return index == PlayerTab || index == ReaderTab;
}

void MainWindow::handleFullscreenRequest() {
  if (isMediaTabCurrent()) {
    setWindowState(windowState() ^ Qt::WindowFullScreen);
  }
}

void MainWindow::setupCouchMode() {
  QStringList titles;
  for (const int tab : {GamesTab, MoviesTab, EbooksTab, MusicTab}) {
    titles.append(tabWidget_->tabText(tab));
  }
  couchModeView_ = new CouchModeView(
      controller_, {gameListView_, movieListView_, ebookListView_, albumWidget_->listView()}, titles, this);
  connect(menuBar_->couchModeAction(), &QAction::triggered, this, &MainWindow::openCouchMode);
  connect(couchModeView_, &CouchModeView::closed, this, [this] {
    activateWindow();
    if (controllerInput_ != nullptr) {
      controllerInput_->setKeyWindow(this);
    }
  });
  connect(tabWidget_, &QTabWidget::currentChanged, this, [this](int index) {
    if (index < PlayerTab) {
      lastLibraryTab_ = index;
    }
  });
}

void MainWindow::openCouchMode() {
  couchModeView_->open();
  controllerInput_->setKeyWindow(couchModeView_);
}

void MainWindow::setupControllerInput() {
  controllerInput_ = new ControllerInput(this);
  controllerInput_->setKeyWindow(this);
  controllerInput_->setActionFilter(
      [this](ControllerInput::Action action) { return handleMediaTabAction(action); });
  // Queued: a menu it opens runs its own loop, which must not run inside the controller's read.
  connect(controllerInput_, &ControllerInput::actionRequested, this, &MainWindow::onControllerAction,
          Qt::QueuedConnection);
  auto* source = controllerInput_->source();
  const auto showName = [this, source] {
    const auto names = source->controllerNames();
    statusBar_->setControllerName(names.isEmpty() ? QString() : names.constLast());
  };
  connect(source, &SdlControllerSource::controllerAdded, this, showName);
  connect(source, &SdlControllerSource::controllerRemoved, this, showName);
  // A running game reads the same controller: its presses are not meant for this window.
  connect(controller_->runner(), &GameRunner::stateChanged, this, [this] {
    controllerInput_->setEnabled(controller_->runner()->state() == GameRunner::State::Stopped);
  });
}

void MainWindow::onControllerAction(ControllerInput::Action action) {
  using Action = ControllerInput::Action;
  if (couchModeView_->isVisible()) {
    couchModeView_->handleControllerAction(action);
    return;
  }
  if (QApplication::activePopupWidget() != nullptr || QApplication::activeModalWidget() != nullptr) {
    return; // a menu or a dialog answers A and B only
  }
  const int tabCount = tabWidget_->count();
  switch (action) {
  case Action::CouchMode:
    openCouchMode();
    break;
  case Action::PreviousTab:
  case Action::NextTab: {
    const int step = action == Action::NextTab ? 1 : tabCount - 1;
    tabWidget_->setCurrentIndex((tabWidget_->currentIndex() + step) % tabCount);
    break;
  }
  case Action::ContextMenu:
    showCurrentCardMenu();
    break;
  case Action::Properties: {
    auto* preferences = controller_->preferences();
    preferences->setAppPropertiesPanelVisible(!preferences->appPropertiesPanelVisible());
    break;
  }
  default:
    break;
  }
}

bool MainWindow::handleMediaTabAction(ControllerInput::Action action) {
  using Action = ControllerInput::Action;
  const int tab = tabWidget_->currentIndex();
  if ((tab != PlayerTab && tab != ReaderTab) || couchModeView_->isVisible() ||
      QApplication::activePopupWidget() != nullptr || QApplication::activeModalWidget() != nullptr) {
    return false;
  }
  const bool player = tab == PlayerTab;
  switch (action) {
  case Action::Activate:
    player ? mediaPlayerTab_->togglePlayback() : ebookReaderTab_->nextPage();
    return true;
  case Action::PreviousTab:
    player ? mediaPlayerTab_->previous() : ebookReaderTab_->previousPage();
    return true;
  case Action::NextTab:
    player ? mediaPlayerTab_->next() : ebookReaderTab_->nextPage();
    return true;
  case Action::Back:
    leaveMediaTab();
    return true;
  default:
    return false;
  }
}

void MainWindow::leaveMediaTab() {
  if (isFullScreen()) {
    handleFullscreenRequest();
  } else {
    tabWidget_->setCurrentIndex(lastLibraryTab_);
  }
}

LibraryListView* MainWindow::currentLibraryView() const {
  switch (tabWidget_->currentIndex()) {
  case GamesTab:
    return gameListView_;
  case MoviesTab:
    return movieListView_;
  case EbooksTab:
    return ebookListView_;
  case MusicTab:
    return albumWidget_->listView();
  default:
    return nullptr;
  }
}

void MainWindow::showCurrentCardMenu() {
  auto* view = currentLibraryView();
  if (view == nullptr || !view->currentIndex().isValid()) {
    return;
  }
  view->setFocus(Qt::OtherFocusReason);
  view->showContextMenu(view->visualRect(view->currentIndex()).center());
}

void MainWindow::afterFirstFrame(std::function<void()> work) {
  afterFirstFrame_.push_back(std::move(work));
  if (firstFramePainted_) {
    QTimer::singleShot(0, this, &MainWindow::runAfterFirstFrameWork);
  } else if (afterFirstFrame_.size() == 1) {
    QTimer::singleShot(firstFrameFallbackMs, this, &MainWindow::runAfterFirstFrameWork);
  }
}

void MainWindow::runAfterFirstFrameWork() {
  auto work = std::move(afterFirstFrame_);
  afterFirstFrame_.clear();
  for (const auto& step : work) {
    step();
  }
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == QEvent::Paint && !firstFramePainted_) {
    firstFramePainted_ = true;
    // Queued: it runs once this frame is painted and on screen.
    QTimer::singleShot(0, this, &MainWindow::runAfterFirstFrameWork);
  }
  return QWidget::event(event);
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) {
    return;
  }
  const bool showBars = !isFullScreen() || !isMediaTabCurrent();
  menuBar_->setVisible(showBars);
  toolBar_->setVisible(showBars);
  statusBar_->setVisible(showBars);
  tabWidget_->tabBar()->setVisible(showBars);
  emit fullscreenChanged(isFullScreen());
}

void MainWindow::storeGeometry() {
  auto* preferences = controller_->preferences();
  preferences->setWindowGeometry(saveGeometry());
  if (splitter_ != nullptr) {
    preferences->setWindowSplitterState(splitter_->saveState());
  }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  storeGeometry();
  dropArea_->setGeometry(0, 0, width(), height());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  storeGeometry();
  QWidget::closeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (controller_->isMimeDataValid(event->mimeData())) {
    event->acceptProposedAction();
    dropArea_->raise();
    dropArea_->animateVisibility(true);
  }
}

void MainWindow::dragLeaveEvent(QDragLeaveEvent* event) {
  QWidget::dragLeaveEvent(event);
  dropArea_->animateVisibility(false);
}

void MainWindow::dropEvent(QDropEvent* event) {
  dropArea_->animateVisibility(false);
  if (!controller_->isMimeDataValid(event->mimeData())) {
    return;
  }
  event->acceptProposedAction();
  for (const auto& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      controller_->openDroppedPath(url.toLocalFile());
    }
  }
}

void MainWindow::setAppIcon() {
  const auto product = QSysInfo::productType();
  if (product == QStringLiteral("macos") || product == QStringLiteral("osx")) {
    return; // the bundle carries the icon there
  }
  // Large pictures for high-density screens and task switchers. Decoding the 512 and 1024 pixel
  // files is costly: the application sets the icon once the first frame is on screen.
  static constexpr std::array sizes{16, 20, 24, 32, 40, 48, 64, 96, 128, 256, 512, 1024};
  QIcon icon;
  for (const int size : sizes) {
    const auto path =
        QStringLiteral(":/arvexhub/launcher/resources/app_icon/arvexhub_launcher_icon_%1.png").arg(size);
    // Decoded once per size and shared by every mode and state: adding the file eight times
    // decodes it eight times, which made a third of the start-up.
    const QPixmap picture(path);
    if (picture.isNull()) {
      continue;
    }
    for (const auto mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected}) {
      for (const auto state : {QIcon::On, QIcon::Off}) {
        icon.addPixmap(picture, mode, state);
      }
    }
  }
  QGuiApplication::setWindowIcon(icon);
}

} // namespace arvexhub::launcher
