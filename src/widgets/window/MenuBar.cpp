#include "widgets/window/MenuBar.h"

#include "app/Common.h"
#include "app/Controller.h"
#include "app/MakeIcon.h"
#include "app/Preferences.h"
#include "media/MediaPlayerTab.h"
#include "style/Theme.h"
#include "style/ThemeManager.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QSysInfo>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace arvexhub::launcher {
namespace {
using style::icons::Icons16;

} // namespace

MenuBar::MenuBar(Controller* controller, QWidget* parent)
    : QMenuBar(parent)
    , controller_(controller)
    , noIcons_(QSysInfo::productType().compare(QStringLiteral("macos"), Qt::CaseInsensitive) == 0) {
  setNativeMenuBar(true);
  addFileMenu();
  addViewMenu();
  addHelpMenu();
}

MenuBar::~MenuBar() = default;

QAction* MenuBar::informationAction() const {
  return informationAction_;
}

QAction* MenuBar::couchModeAction() const {
  return couchModeAction_;
}

QIcon MenuBar::icon(style::icons::Icons16 which) const {
  return makeIcon(which, noIcons_);
}

void MenuBar::addFileMenu() {
  auto* menu = addMenu(QCoreApplication::translate("ArvexHubLauncher", "File"));
  auto* search = menu->addAction(icon(Icons16::Navigation_Search),
                                 QCoreApplication::translate("ArvexHubLauncher", "Search…"));
  search->setShortcut(QKeySequence::Find);
  connect(search, &QAction::triggered, this, [this] {
    if (controller_) {
      emit controller_->focusOnSearchFieldRequested(Qt::ShortcutFocusReason);
    }
  });
  menu->addSeparator();
  auto* preferences = menu->addAction(icon(Icons16::Navigation_Settings),
                                      QCoreApplication::translate("ArvexHubLauncher", "Preferences…"));
  preferences->setShortcut(QKeySequence::Preferences);
  preferences->setMenuRole(QAction::PreferencesRole);
  connect(preferences, &QAction::triggered, this, [this] {
    if (controller_) {
      controller_->openPreferencesDialog();
    }
  });
  menu->addSeparator();
  auto* quit =
      menu->addAction(icon(Icons16::Action_Close), QCoreApplication::translate("ArvexHubLauncher", "Quit"));
  quit->setShortcut(QKeySequence::Quit);
  quit->setMenuRole(QAction::QuitRole);
  connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void MenuBar::addViewMenu() {
  auto* menu = addMenu(QCoreApplication::translate("ArvexHubLauncher", "View"));
  addThemeMenu(menu);
  auto* next = menu->addAction(icon(Icons16::Action_Swap),
                               QCoreApplication::translate("ArvexHubLauncher", "Switch Theme"));
  next->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  connect(next, &QAction::triggered, this, [this] {
    if (controller_) {
      controller_->themeManager()->setNextTheme();
    }
  });
  menu->addSeparator();
  informationAction_ =
      menu->addAction(icon(Icons16::Navigation_UiPanelRight),
                      QCoreApplication::translate("ArvexHubLauncher", "Show/Hide Information"));
  informationAction_->setCheckable(true);
  informationAction_->setShortcut(QKeySequence(Qt::Key_F10));
  couchModeAction_ = menu->addAction(icon(Icons16::Misc_Gamepad),
                                     QCoreApplication::translate("ArvexHubLauncher", "Couch Mode"));
  couchModeAction_->setShortcut(QKeySequence(Qt::Key_F9));
  if (!controller_) {
    return;
  }
  auto* preferences = controller_->preferences();
  informationAction_->setChecked(preferences->appPropertiesPanelVisible());
  connect(informationAction_, &QAction::triggered, preferences, &Preferences::setAppPropertiesPanelVisible);
  connect(preferences, &Preferences::appPropertiesPanelVisibleChanged, informationAction_,
          [this, preferences] {
            const QSignalBlocker blocker(informationAction_);
            informationAction_->setChecked(preferences->appPropertiesPanelVisible());
          });
}

void MenuBar::addThemeMenu(QMenu* viewMenu) {
  auto* menu = viewMenu->addMenu(icon(Icons16::Misc_PaintPalette),
                                 QCoreApplication::translate("ArvexHubLauncher", "Theme"));
  themeGroup_ = new QActionGroup(menu);
  themeGroup_->setExclusive(true);
  if (!controller_) {
    return;
  }
  auto* themes = controller_->themeManager();
  for (const auto& theme : themes->themes()) {
    const auto id = theme.meta.name;
    const auto themeIcon = id == Common::darkThemeId() ? Icons16::Misc_Moon : Icons16::Misc_Sun;
    auto* action = menu->addAction(icon(themeIcon), controller_->themeName(id));
    action->setCheckable(true);
    action->setAutoRepeat(false);
    action->setData(id);
    action->setChecked(id == themes->currentTheme());
    themeGroup_->addAction(action);
    connect(action, &QAction::triggered, themes, [themes, id](bool checked) {
      if (checked) {
        themes->setCurrentTheme(id);
      }
    });
  }
  auto* preferences = controller_->preferences();
  connect(preferences, &Preferences::appThemeChanged, themeGroup_, [this, preferences] {
    for (auto* action : themeGroup_->actions()) {
      const QSignalBlocker blocker(action);
      action->setChecked(action->data().toString() == preferences->appTheme());
    }
  });
}

void MenuBar::addHelpMenu() {
  auto* menu = addMenu(QCoreApplication::translate("ArvexHubLauncher", "Help"));
  auto* shortcuts = menu->addAction(icon(Icons16::Misc_Question),
                                    QCoreApplication::translate("ArvexHubLauncher", "Keyboard Shortcuts…"));
  connect(shortcuts, &QAction::triggered, this, &MenuBar::showShortcuts);
  auto* about =
      menu->addAction(icon(Icons16::Misc_Info), QCoreApplication::translate("ArvexHubLauncher", "About…"));
  about->setMenuRole(QAction::AboutRole);
  connect(about, &QAction::triggered, this, [this] {
    if (controller_) {
      controller_->openAboutDialog();
    }
  });
}

void MenuBar::showShortcuts() {
  auto* dialog = new QDialog(window());
  dialog->setObjectName(QStringLiteral("shortcutsDialog"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QCoreApplication::translate("ArvexHubLauncher", "Keyboard Shortcuts"));
  auto* list = new QTreeWidget(dialog);
  list->setHeaderLabels({QCoreApplication::translate("ArvexHubLauncher", "Key"),
                         QCoreApplication::translate("ArvexHubLauncher", "Action")});
  list->setRootIsDecorated(false);
  const auto addGroup = [list](const QString& title, const QList<std::pair<QString, QString>>& keys) {
    auto* group = new QTreeWidgetItem(list, {title});
    group->setFirstColumnSpanned(true);
    for (const auto& [key, text] : keys) {
      new QTreeWidgetItem(group, {key, text});
    }
  };
  QList<std::pair<QString, QString>> windowKeys;
  for (QAction* menu : actions()) {
    for (QAction* action : menu->menu() ? menu->menu()->actions() : QList<QAction*>()) {
      if (!action->shortcut().isEmpty()) {
        windowKeys.append({action->shortcut().toString(QKeySequence::NativeText),
                           action->text().remove(QStringLiteral("…"))});
      }
    }
  }
  addGroup(QCoreApplication::translate("ArvexHubLauncher", "Window"), windowKeys);
  addGroup(QCoreApplication::translate("ArvexHubLauncher", "Media player"), MediaPlayerTab::keyList());
  list->expandAll();
  list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
  connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(list);
  layout->addWidget(buttons);
  dialog->resize(480, 560);
  dialog->show();
}

void MenuBar::onActiveTabChanged(int index) {
  switch (index) {
  case 0:
    informationAction_->setText(
        QCoreApplication::translate("ArvexHubLauncher", "Show/Hide Game Information"));
    informationAction_->setEnabled(true);
    break;
  case 1:
    informationAction_->setText(
        QCoreApplication::translate("ArvexHubLauncher", "Show/Hide Movie Information"));
    informationAction_->setEnabled(true);
    break;
  default:
    informationAction_->setText(QCoreApplication::translate("ArvexHubLauncher", "Show/Hide Information"));
    informationAction_->setEnabled(false);
    break;
  }
}

} // namespace arvexhub::launcher
