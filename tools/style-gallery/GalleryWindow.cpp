#include "GalleryWindow.h"

#include "style/Icons16.h"
#include "style/Style.h"
#include "style/StyleUtils.h"
#include "style/ThemeManager.h"
#include "style/widgets/AboutDialog.h"
#include "style/widgets/Expander.h"
#include "style/widgets/IconWidget.h"
#include "style/widgets/Label.h"
#include "style/widgets/LineEdit.h"
#include "style/widgets/LoadingSpinner.h"
#include "style/widgets/StatusBadgeWidget.h"
#include "style/widgets/Switch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace arvexhub::style;

namespace {

QIcon themedIcon(QWidget* widget, icons::Icons16 icon) {
  const auto path = icons::iconPath(icon);
  auto* style = Style::of(widget);
  return style ? style->makeThemedIcon(path) : QIcon(path);
}

QGroupBox* makeGroup(const QString& title, QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(group);
  layout->setSpacing(8);
  return group;
}

} // namespace

GalleryWindow::GalleryWindow(ThemeManager* themeManager, QWidget* parent)
    : QWidget(parent)
    , themeManager_(themeManager) {
  setWindowTitle(QStringLiteral("Style gallery"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 16);
  layout->setSpacing(16);
  layout->addWidget(makeThemeRow());
  auto* columns = new QHBoxLayout();
  columns->setSpacing(16);
  columns->addWidget(makeButtonsColumn());
  columns->addWidget(makeInputsColumn());
  columns->addWidget(makeKitColumn());
  columns->addWidget(makeViewsColumn());
  layout->addLayout(columns);
}

QWidget* GalleryWindow::makeThemeRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new Label(QStringLiteral("Arvex Hub style"), TextRole::H2, row));
  layout->addStretch();
  layout->addWidget(new IconWidget(themedIcon(row, icons::Icons16::Misc_Sun), row));
  auto* themeSwitch = new Switch(row);
  themeSwitch->setChecked(themeManager_->currentTheme() == QStringLiteral("Dark"));
  connect(themeSwitch, &Switch::toggled, this, [this](bool dark) {
    themeManager_->setCurrentTheme(dark ? QStringLiteral("Dark") : QStringLiteral("Light"));
  });
  layout->addWidget(themeSwitch);
  layout->addWidget(new IconWidget(themedIcon(row, icons::Icons16::Misc_Moon), row));
  return row;
}

QWidget* GalleryWindow::makeButtonsColumn() {
  auto* group = makeGroup(QStringLiteral("Buttons"), this);
  auto* layout = group->layout();
  auto* primary = new QPushButton(QStringLiteral("Default button"), group);
  primary->setDefault(true);
  layout->addWidget(primary);
  auto* withIcon =
      new QPushButton(themedIcon(group, icons::Icons16::Action_Download), QStringLiteral("Download"), group);
  layout->addWidget(withIcon);
  auto* disabled = new QPushButton(QStringLiteral("Disabled"), group);
  disabled->setEnabled(false);
  layout->addWidget(disabled);
  auto* flat = new QPushButton(QStringLiteral("Flat button"), group);
  flat->setFlat(true);
  layout->addWidget(flat);

  auto* tools = new QWidget(group);
  auto* toolsLayout = new QHBoxLayout(tools);
  toolsLayout->setContentsMargins(0, 0, 0, 0);
  for (const auto icon : {icons::Icons16::Media_Play, icons::Icons16::Action_Trash,
                          icons::Icons16::Navigation_Settings, icons::Icons16::Navigation_UiPanelRight}) {
    auto* button = new QToolButton(tools);
    button->setIcon(themedIcon(tools, icon));
    button->setCheckable(icon == icons::Icons16::Navigation_UiPanelRight);
    button->setChecked(true);
    toolsLayout->addWidget(button);
  }
  auto* menuButton = new QToolButton(tools);
  menuButton->setText(QStringLiteral("Menu"));
  menuButton->setPopupMode(QToolButton::InstantPopup);
  menuButton->setMenu(makeMenu(menuButton));
  toolsLayout->addWidget(menuButton);
  toolsLayout->addStretch();
  layout->addWidget(tools);

  auto* about = new QPushButton(QStringLiteral("About…"), group);
  connect(about, &QPushButton::clicked, this, [this] { makeAboutDialog(this)->show(); });
  layout->addWidget(about);

  auto* check = new QCheckBox(QStringLiteral("Check box"), group);
  check->setChecked(true);
  layout->addWidget(check);
  auto* partial = new QCheckBox(QStringLiteral("Partially checked"), group);
  partial->setTristate(true);
  partial->setCheckState(Qt::PartiallyChecked);
  layout->addWidget(partial);
  layout->addWidget(new QCheckBox(QStringLiteral("Unchecked"), group));
  auto* radio = new QRadioButton(QStringLiteral("Radio selected"), group);
  radio->setChecked(true);
  layout->addWidget(radio);
  layout->addWidget(new QRadioButton(QStringLiteral("Radio"), group));
  auto* disabledCheck = new QCheckBox(QStringLiteral("Disabled"), group);
  disabledCheck->setEnabled(false);
  disabledCheck->setChecked(true);
  layout->addWidget(disabledCheck);
  qobject_cast<QVBoxLayout*>(layout)->addStretch();
  return group;
}

QWidget* GalleryWindow::makeInputsColumn() {
  auto* group = makeGroup(QStringLiteral("Inputs"), this);
  auto* layout = group->layout();
  auto* plain = new QLineEdit(group);
  plain->setPlaceholderText(QStringLiteral("Placeholder text"));
  layout->addWidget(plain);
  auto* search = new LineEdit(group);
  search->setIcon(themedIcon(search, icons::Icons16::Navigation_Search));
  search->setPlaceholderText(QStringLiteral("Search… (Ctrl+F)"));
  search->setClearButtonEnabled(true);
  layout->addWidget(search);
  auto* filled = new QLineEdit(QStringLiteral("Some text"), group);
  filled->setEnabled(false);
  layout->addWidget(filled);
  auto* combo = new QComboBox(group);
  combo->addItem(themedIcon(combo, icons::Icons16::Misc_Moon), QStringLiteral("Dark"));
  combo->addItem(themedIcon(combo, icons::Icons16::Misc_Sun), QStringLiteral("Light"));
  layout->addWidget(combo);
  auto* spin = new QSpinBox(group);
  spin->setValue(42);
  layout->addWidget(spin);
  auto* slider = new QSlider(Qt::Horizontal, group);
  slider->setValue(60);
  layout->addWidget(slider);
  auto* progress = new QProgressBar(group);
  progress->setValue(45);
  layout->addWidget(progress);
  auto* busy = new QProgressBar(group);
  busy->setValue(100);
  busy->setTextVisible(false);
  layout->addWidget(busy);
  qobject_cast<QVBoxLayout*>(layout)->addStretch();
  return group;
}

QWidget* GalleryWindow::makeKitColumn() {
  auto* group = makeGroup(QStringLiteral("Kit widgets"), this);
  auto* layout = qobject_cast<QVBoxLayout*>(group->layout());
  for (const auto role : {TextRole::H3, TextRole::H5, TextRole::Default, TextRole::Caption}) {
    layout->addWidget(new Label(QStringLiteral("Label in role %1").arg(static_cast<int>(role)), role, group));
  }
  auto* switches = new QHBoxLayout();
  auto* on = new Switch(QStringLiteral("On"), group);
  on->setChecked(true);
  switches->addWidget(on);
  switches->addWidget(new Switch(QStringLiteral("Off"), group));
  auto* off = new Switch(QStringLiteral("Disabled"), group);
  off->setEnabled(false);
  switches->addWidget(off);
  layout->addLayout(switches);

  auto* badges = new QHBoxLayout();
  for (const auto badge :
       {StatusBadge::Info, StatusBadge::Warning, StatusBadge::Error, StatusBadge::Success}) {
    badges->addWidget(new StatusBadgeWidget(badge, group));
  }
  auto* spinner = new LoadingSpinner(group);
  spinner->setSpinning(true);
  badges->addWidget(spinner);
  badges->addStretch();
  layout->addLayout(badges);
  layout->addWidget(makeHorizontalLine(group));

  auto* expander = new Expander(group);
  auto* content =
      new QLabel(QStringLiteral("Expander content: shown and hidden with an animation."), expander);
  content->setWordWrap(true);
  expander->setContent(content);
  expander->setExpanded(true);
  auto* toggle = new QPushButton(QStringLiteral("Toggle expander"), group);
  connect(toggle, &QPushButton::clicked, expander,
          [expander] { expander->setExpanded(!expander->expanded()); });
  layout->addWidget(toggle);
  layout->addWidget(expander);
  layout->addStretch();
  return group;
}

QWidget* GalleryWindow::makeViewsColumn() {
  auto* tabs = new QTabWidget(this);
  auto* list = new QListWidget(tabs);
  for (const auto* name :
       {"Arvex Racer", "Moon Tactics", "Pixel Garden", "Starlight Odyssey", "Tidal Forge"}) {
    list->addItem(QString::fromLatin1(name));
  }
  list->setCurrentRow(1);
  tabs->addTab(list, QStringLiteral("Games"));
  auto* console = new QPlainTextEdit(tabs);
  console->setPlainText(QStringLiteral("[INFO] Game started\n[WARN] Low memory\n[ERROR] Texture missing\n"));
  console->setFont(Style::themeOf(this).fontMonospace);
  tabs->addTab(console, QStringLiteral("Console"));
  tabs->addTab(new QWidget(tabs), QStringLiteral("Movies"));
  tabs->setMinimumWidth(260);
  return tabs;
}

QWidget* GalleryWindow::makeAboutDialog(QWidget* parent) {
  auto* dialog = new AboutDialog(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setIcon(QIcon(icons::iconPath(icons::Icons16::Misc_Gamepad)).pixmap(64, 64));
  dialog->setApplicationName(QStringLiteral("Arvex Hub"));
  dialog->setVersion(QStringLiteral("1.0.0"));
  dialog->setDescription(QStringLiteral("Your Arvex games, movies, e-books and music in one place."));
  dialog->setWebsiteUrl(QUrl(QStringLiteral("https://arvexgames.example")));
  dialog->addSocialMediaLink(QStringLiteral("Forum"),
                             QUrl(QStringLiteral("https://forum.arvexgames.example")));
  dialog->setLicense(QStringLiteral("Proprietary"));
  dialog->setCopyright(QStringLiteral("© 2026 Arvex Games"));
  return dialog;
}

QMenu* GalleryWindow::makeMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  menu->addAction(themedIcon(menu, icons::Icons16::Media_Play), QStringLiteral("Play"),
                  QKeySequence(Qt::Key_Return));
  menu->addAction(themedIcon(menu, icons::Icons16::Action_Copy), QStringLiteral("Copy"), QKeySequence::Copy);
  auto* check = menu->addAction(QStringLiteral("Show console"));
  check->setCheckable(true);
  check->setChecked(true);
  menu->addSeparator();
  auto* submenu = menu->addMenu(QStringLiteral("Theme"));
  submenu->addAction(QStringLiteral("Dark"));
  submenu->addAction(QStringLiteral("Light"));
  auto* disabled = menu->addAction(themedIcon(menu, icons::Icons16::Action_Trash), QStringLiteral("Remove"));
  disabled->setEnabled(false);
  return menu;
}
