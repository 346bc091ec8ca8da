#pragma once

#include <QPointer>
#include <QToolBar>

class QToolButton;

namespace arvexhub::style {
class LineEdit;
class Switch;
} // namespace arvexhub::style

namespace arvexhub::launcher {

class Controller;
class LibraryViewBar;

/// The bar above the tabs: play/stop and remove for the active tab, the search field, the
/// theme switch, the preferences button and the properties-panel toggle.
class ToolBar final : public QToolBar {
  Q_OBJECT

public:
  ToolBar(Controller* controller, QWidget* parent = nullptr);
  ~ToolBar() override;
  Q_DISABLE_COPY_MOVE(ToolBar)

  void onActiveTabChanged(int index);
  void updateButtonStates();

  QToolButton* playStopButton() const;
  QToolButton* removeButton() const;
  style::LineEdit* searchField() const;
  LibraryViewBar* viewBar() const;

private:
  void setupUi();
  void addRemoveButton();
  void addPlayStopButton();
  void connectButtonStates();
  void addSpacer();
  void addSearchField();
  void addViewBar();
  void addThemeSwitch();
  void addPreferencesButton();
  void addPanelToggle();
  void onSearchTextEdited(const QString& text);
  void onRemoveClicked();
  void onPlayStopClicked();
  using ControllerCall = void (Controller::*)();
  /// Calls the games', the movies' or the music tab's action, whichever tab is active; the other
  /// tabs have none.
  void callForActiveTab(ControllerCall games, ControllerCall movies, ControllerCall music);
  void updateGameButtons();
  void updateMovieButtons();
  void updateAlbumButtons();
  void updateButtons(const QString& text, const QString& toolTip, bool playIcon, const QString& removeToolTip,
                     bool playEnabled, bool removeEnabled);

  QPointer<Controller> controller_;
  int activeTab_{0};
  QToolButton* removeButton_{nullptr};
  QToolButton* playStopButton_{nullptr};
  style::LineEdit* searchField_{nullptr};
  style::Switch* themeSwitch_{nullptr};
  QToolButton* panelToggle_{nullptr};
  LibraryViewBar* viewBar_{nullptr};
  QAction* viewBarAction_{nullptr};
};

} // namespace arvexhub::launcher
