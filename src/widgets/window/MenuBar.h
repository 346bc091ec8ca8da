#pragma once

#include "style/Icons16.h"

#include <QMenuBar>
#include <QPointer>

class QActionGroup;

namespace arvexhub::launcher {

class Controller;

/// The File, View and Help menus.
class MenuBar final : public QMenuBar {
  Q_OBJECT

public:
  MenuBar(Controller* controller, QWidget* parent = nullptr);
  ~MenuBar() override;
  Q_DISABLE_COPY_MOVE(MenuBar)

  void onActiveTabChanged(int index);

  QAction* informationAction() const;
  /// Opens the list of keyboard shortcuts: the menus' own and the media player's.
  void showShortcuts();
  /// View › Couch Mode (F9): the window opens its full-screen couch mode when it is triggered.
  QAction* couchModeAction() const;

private:
  void addFileMenu();
  void addViewMenu();
  void addHelpMenu();
  void addThemeMenu(QMenu* viewMenu);
  QIcon icon(style::icons::Icons16 which) const;

  QPointer<Controller> controller_;
  QAction* informationAction_{nullptr};
  QAction* couchModeAction_{nullptr};
  QActionGroup* themeGroup_{nullptr};
  bool noIcons_{false};
};

} // namespace arvexhub::launcher
