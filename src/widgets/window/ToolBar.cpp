#include "widgets/window/ToolBar.h"

#include "app/Common.h"
#include "app/Controller.h"
#include "app/MakeIcon.h"
#include "app/Preferences.h"
#include "library/AlbumListModel.h"
#include "library/GameListModel.h"
#include "library/LibraryModel.h"
#include "library/LibraryProxyModel.h"
#include "library/MovieListModel.h"
#include "runner/GameRunner.h"
#include "style/widgets/IconWidget.h"
#include "style/widgets/LineEdit.h"
#include "style/widgets/Switch.h"
#include "widgets/window/LibraryViewBar.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QToolButton>

namespace arvexhub::launcher {
namespace {
using style::icons::Icons16;

enum Tab { GamesTab = 0, MoviesTab = 1, EbooksTab = 2, MusicTab = 3 };

QToolButton* makeToolButton(const QIcon& icon, Qt::ToolButtonStyle buttonStyle, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setIcon(icon);
  button->setToolButtonStyle(buttonStyle);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoRepeat(false);
  return button;
}
} // namespace

ToolBar::ToolBar(Controller* controller, QWidget* parent)
    : QToolBar(parent)
    , controller_(controller) {
  setupUi();
  updateButtonStates();
}

ToolBar::~ToolBar() = default;

QToolButton* ToolBar::playStopButton() const {
  return playStopButton_;
}

QToolButton* ToolBar::removeButton() const {
  return removeButton_;
}

style::LineEdit* ToolBar::searchField() const {
  return searchField_;
}

LibraryViewBar* ToolBar::viewBar() const {
  return viewBar_;
}

void ToolBar::setupUi() {
  setAllowedAreas(Qt::TopToolBarArea);
  setMovable(false);
  setFloatable(false);
  const auto extent = style()->pixelMetric(QStyle::PM_SmallIconSize);
  setIconSize(QSize(extent, extent));
  setBackgroundRole(QPalette::Window);
  setAutoFillBackground(false);
  setToolButtonStyle(Qt::ToolButtonFollowStyle);
  setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);

  addRemoveButton();
  addSeparator();
  addPlayStopButton();
  connectButtonStates();
  addSpacer();
  addViewBar();
  addSearchField();
  addThemeSwitch();
  addSeparator();
  addPreferencesButton();
  addPanelToggle();
}

void ToolBar::addRemoveButton() {
  removeButton_ = makeToolButton(makeIcon(Icons16::Action_Trash), Qt::ToolButtonIconOnly, this);
  connect(removeButton_, &QToolButton::clicked, this, &ToolBar::onRemoveClicked);
  addWidget(removeButton_);
}

void ToolBar::addPlayStopButton() {
  playStopButton_ = makeToolButton(makeIcon(Icons16::Media_Stop), Qt::ToolButtonTextBesideIcon, this);
  playStopButton_->setText(QCoreApplication::translate("ArvexHubLauncher", "Stop"));
  connect(playStopButton_, &QToolButton::clicked, this, &ToolBar::onPlayStopClicked);
  addWidget(playStopButton_);
}

void ToolBar::connectButtonStates() {
  if (!controller_) {
    return;
  }
  auto* games = controller_->model();
  connect(controller_->runner(), &GameRunner::stateChanged, this, &ToolBar::updateButtonStates);
  connect(games, &GameListModel::currentGameChanged, this, &ToolBar::updateButtonStates);
  connect(games, &GameListModel::gameDownloadFinished, this, &ToolBar::updateButtonStates);
  connect(games, &QAbstractItemModel::dataChanged, this, &ToolBar::updateButtonStates);
  auto* movies = controller_->movieModel();
  connect(movies, &MovieListModel::currentMovieChanged, this, &ToolBar::updateButtonStates);
  connect(movies, &MovieListModel::movieDownloadFinished, this, &ToolBar::updateButtonStates);
  connect(movies, &QAbstractItemModel::dataChanged, this, &ToolBar::updateButtonStates);
  auto* albums = controller_->albumModel();
  connect(albums, &AlbumListModel::currentAlbumChanged, this, &ToolBar::updateButtonStates);
  connect(albums, &QAbstractItemModel::dataChanged, this, &ToolBar::updateButtonStates);
}

void ToolBar::addSpacer() {
  auto* spacer = new QWidget(this);
  spacer->setAttribute(Qt::WA_TransparentForMouseEvents);
  spacer->setMinimumSize(0, 0);
  spacer->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Ignored);
  spacer->setUpdatesEnabled(false);
  addWidget(spacer);
}

void ToolBar::addSearchField() {
  searchField_ = new style::LineEdit(this);
  searchField_->setPlaceholderText(
      QStringLiteral("%1 (%2)").arg(QCoreApplication::translate("ArvexHubLauncher", "Search…"),
                                    QKeySequence(QKeySequence::Find).toString(QKeySequence::NativeText)));
  searchField_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  searchField_->setFixedWidth(180);
  searchField_->setClearButtonEnabled(true);
  searchField_->setFocusPolicy(Qt::ClickFocus);
  searchField_->setIcon(makeIcon(Icons16::Navigation_Search));
  connect(searchField_, &QLineEdit::textEdited, this, &ToolBar::onSearchTextEdited);

  // Escape anywhere in the window empties the search and goes back to the list.
  auto* cancel = new QAction(searchField_);
  cancel->setShortcut(QKeySequence::Cancel);
  connect(cancel, &QAction::triggered, this, [this] {
    searchField_->clear();
    emit searchField_->textEdited(searchField_->text());
    if (controller_) {
      emit controller_->focusOnListViewRequested(Qt::ShortcutFocusReason);
    }
  });
  searchField_->addAction(cancel);
  connect(searchField_, &QLineEdit::returnPressed, this, [this] {
    if (controller_) {
      emit controller_->focusOnListViewRequested(Qt::ShortcutFocusReason);
    }
  });
  if (controller_) {
    connect(controller_, &Controller::focusOnSearchFieldRequested, searchField_,
            [this](Qt::FocusReason reason) { searchField_->setFocus(reason); });
  }
  addWidget(searchField_);
}

void ToolBar::addViewBar() {
  viewBar_ = new LibraryViewBar(controller_, this);
  viewBarAction_ = addWidget(viewBar_);
  addSeparator();
}

void ToolBar::addThemeSwitch() {
  auto* box = new QWidget(this);
  box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  auto* layout = new QHBoxLayout(box);
  layout->setSpacing(4);
  layout->setContentsMargins(8, 0, 8, 0);
  layout->addWidget(new style::IconWidget(makeIcon(Icons16::Misc_Sun), box));
  themeSwitch_ = new style::Switch(box);
  themeSwitch_->setFocusPolicy(Qt::NoFocus);
  themeSwitch_->setToolTip(QCoreApplication::translate("ArvexHubLauncher", "Switch Theme"));
  layout->addWidget(themeSwitch_);
  layout->addWidget(new style::IconWidget(makeIcon(Icons16::Misc_Moon), box));
  addWidget(box);
  if (!controller_) {
    return;
  }
  auto* preferences = controller_->preferences();
  const auto followPreference = [this, preferences] {
    const QSignalBlocker blocker(themeSwitch_);
    themeSwitch_->setChecked(preferences->appTheme() == Common::darkThemeId());
  };
  followPreference();
  connect(preferences, &Preferences::appThemeChanged, themeSwitch_, followPreference);
  connect(themeSwitch_, &QAbstractButton::clicked, preferences, [preferences](bool checked) {
    preferences->setAppTheme(checked ? Common::darkThemeId() : Common::lightThemeId());
  });
}

void ToolBar::addPreferencesButton() {
  auto* button = makeToolButton(makeIcon(Icons16::Navigation_Settings), Qt::ToolButtonIconOnly, this);
  button->setToolTip(QCoreApplication::translate("ArvexHubLauncher", "Preferences…"));
  connect(button, &QToolButton::clicked, this, [this] {
    if (controller_) {
      controller_->openPreferencesDialog();
    }
  });
  addWidget(button);
}

void ToolBar::addPanelToggle() {
  panelToggle_ = makeToolButton(makeIcon(Icons16::Navigation_UiPanelRight), Qt::ToolButtonIconOnly, this);
  panelToggle_->setText(QCoreApplication::translate("ArvexHubLauncher", "Show/Hide Information"));
  panelToggle_->setToolTip(panelToggle_->text());
  panelToggle_->setCheckable(true);
  addWidget(panelToggle_);
  if (!controller_) {
    return;
  }
  auto* preferences = controller_->preferences();
  panelToggle_->setChecked(preferences->appPropertiesPanelVisible());
  connect(panelToggle_, &QToolButton::clicked, preferences, &Preferences::setAppPropertiesPanelVisible);
  connect(preferences, &Preferences::appPropertiesPanelVisibleChanged, panelToggle_, [this, preferences] {
    const QSignalBlocker blocker(panelToggle_);
    panelToggle_->setChecked(preferences->appPropertiesPanelVisible());
  });
}

void ToolBar::onActiveTabChanged(int index) {
  activeTab_ = index;
  if (!searchField_->text().isEmpty()) {
    searchField_->clear(); // the previous tab keeps its filter
  }
  viewBarAction_->setVisible(viewBar_->setActiveTab(index));
  updateButtonStates();
}

void ToolBar::onSearchTextEdited(const QString& text) {
  // E-books are not filtered. The library tabs come in the order of the controller's libraries.
  if (!controller_ || activeTab_ == EbooksTab) {
    return;
  }
  if (auto* library = controller_->libraries().value(activeTab_)) {
    library->libraryProxy()->setSearchText(text);
  }
}

void ToolBar::onRemoveClicked() {
  callForActiveTab(&Controller::removeCurrentGame, &Controller::removeCurrentMovie,
                   &Controller::removeCurrentAlbum);
}

void ToolBar::onPlayStopClicked() {
  callForActiveTab(&Controller::playStopGame, &Controller::playStopMovie, &Controller::playCurrentAlbum);
}

void ToolBar::callForActiveTab(ControllerCall games, ControllerCall movies, ControllerCall music) {
  Controller* controller = controller_;
  if (controller == nullptr) {
    return;
  }
  switch (activeTab_) {
  case GamesTab:
    return (controller->*games)();
  case MoviesTab:
    return (controller->*movies)();
  case MusicTab:
    return (controller->*music)();
  default:
    return;
  }
}

void ToolBar::updateButtonStates() {
  if (removeButton_ == nullptr || playStopButton_ == nullptr) {
    return;
  }
  // Without a controller every tab shows the idle, disabled buttons.
  switch (controller_ ? activeTab_ : -1) {
  case GamesTab:
    updateGameButtons();
    break;
  case MoviesTab:
    updateMovieButtons();
    break;
  case MusicTab:
    updateAlbumButtons();
    break;
  default:
    playStopButton_->setText(QCoreApplication::translate("ArvexHubLauncher", "Play"));
    playStopButton_->setIcon(makeIcon(Icons16::Media_Play));
    playStopButton_->setEnabled(false);
    removeButton_->setEnabled(false);
    break;
  }
}

void ToolBar::updateMovieButtons() {
  auto* movies = controller_->movieModel();
  const auto name = movies->currentMovieName();
  const int row = name.isEmpty() ? -1 : movies->movieRowByName(name);
  const auto movie = movies->index(row);
  const bool installed = row >= 0 && movie.data(MovieRole::IsInstalled).toBool();
  const bool playing = row >= 0 && movie.data(MovieRole::IsPlaying).toBool();
  updateButtons(playing ? QCoreApplication::translate("ArvexHubLauncher", "Stop")
                        : QCoreApplication::translate("ArvexHubLauncher", "Play"),
                playing ? QCoreApplication::translate("ArvexHubLauncher", "Stop Movie")
                        : QCoreApplication::translate("ArvexHubLauncher", "Play Movie"),
                !playing, QCoreApplication::translate("ArvexHubLauncher", "Remove Movie"), installed,
                installed && !playing);
}

void ToolBar::updateAlbumButtons() {
  auto* albums = controller_->albumModel();
  const auto name = albums->currentAlbumName();
  const int row = name.isEmpty() ? -1 : albums->albumRowByName(name);
  const bool installed = row >= 0 && albums->index(row).data(AlbumRole::IsInstalled).toBool();
  updateButtons(QCoreApplication::translate("ArvexHubLauncher", "Play"),
                QCoreApplication::translate("ArvexHubLauncher", "Play Album"), true,
                QCoreApplication::translate("ArvexHubLauncher", "Remove Album"), installed, installed);
}

void ToolBar::updateGameButtons() {
  auto* games = controller_->model();
  const auto name = games->currentGameName();
  const bool installed = !name.isEmpty() && !games->gameDataByName(name).path.isEmpty();
  const bool stopped = controller_->runner()->state() == GameRunner::State::Stopped;
  updateButtons(stopped ? QCoreApplication::translate("ArvexHubLauncher", "Play")
                        : QCoreApplication::translate("ArvexHubLauncher", "Stop"),
                stopped ? QCoreApplication::translate("ArvexHubLauncher", "Play Game")
                        : QCoreApplication::translate("ArvexHubLauncher", "Stop Game"),
                stopped, QCoreApplication::translate("ArvexHubLauncher", "Remove Game"),
                !stopped || installed, installed && stopped);
}

void ToolBar::updateButtons(const QString& text, const QString& toolTip, bool playIcon,
                            const QString& removeToolTip, bool playEnabled, bool removeEnabled) {
  playStopButton_->setText(text);
  playStopButton_->setToolTip(toolTip);
  playStopButton_->setIcon(makeIcon(playIcon ? Icons16::Media_Play : Icons16::Media_Stop));
  playStopButton_->setEnabled(playEnabled);
  removeButton_->setToolTip(removeToolTip);
  removeButton_->setEnabled(removeEnabled);
}

} // namespace arvexhub::launcher
