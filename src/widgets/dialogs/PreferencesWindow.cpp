#include "widgets/dialogs/PreferencesWindow.h"

#include "app/Common.h"
#include "app/Controller.h"
#include "app/MakeIcon.h"
#include "app/Preferences.h"
#include "style/ThemeManager.h"
#include "style/widgets/Label.h"
#include "style/widgets/Switch.h"
#include "widgets/dialogs/BottomWidget.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace arvexhub::launcher {
namespace {

QWidget* makeRowLabel(const QString& title, const QString& description, QWidget* parent) {
  auto* cell = new QWidget(parent);
  cell->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  cell->setFixedWidth(224);
  auto* layout = new QVBoxLayout(cell);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  auto* titleLabel = new QLabel(title, cell);
  titleLabel->setWordWrap(true);
  titleLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  layout->addWidget(titleLabel);
  auto* descriptionLabel = new style::Label(description, style::TextRole::Caption, cell);
  descriptionLabel->setWordWrap(true);
  descriptionLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  descriptionLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  layout->addWidget(descriptionLabel);
  layout->addStretch();
  return cell;
}

/// A switch that writes its preference when clicked and follows it when it changes elsewhere.
style::Switch* makePreferenceSwitch(Preferences* preferences, bool (Preferences::*getter)() const,
                                    void (Preferences::*setter)(bool), void (Preferences::*changed)(),
                                    QWidget* parent) {
  auto* toggle = new style::Switch(parent);
  toggle->setChecked((preferences->*getter)());
  QObject::connect(toggle, &style::Switch::clicked, preferences,
                   [preferences, setter](bool checked) { (preferences->*setter)(checked); });
  // setChecked() emits toggled(), which slides the knob, but not clicked(), so the value is
  // not written back; blocking the switch's signals would make the knob jump instead.
  QObject::connect(preferences, changed, toggle,
                   [toggle, preferences, getter] { toggle->setChecked((preferences->*getter)()); });
  return toggle;
}

/// Shows the preference's value among the box's items, whose data are the values, and writes the
/// one the user picks.
void bindPreferenceComboBox(QComboBox* box, Preferences* preferences, QString (Preferences::*getter)() const,
                            void (Preferences::*setter)(const QString&)) {
  box->setCurrentIndex(box->findData((preferences->*getter)()));
  // The preferences are the context: the window may outlive the controller that owns them.
  QObject::connect(box, &QComboBox::currentIndexChanged, preferences, [box, preferences, setter](int index) {
    (preferences->*setter)(box->itemData(index, Qt::UserRole).toString());
  });
}

} // namespace

PreferencesWindow::PreferencesWindow(Controller* controller, QWidget* parent)
    : QDialog(parent)
    , controller_(controller) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  setWindowTitle(QCoreApplication::translate("ArvexHubLauncher", "%1 Preferences")
                     .arg(QGuiApplication::applicationDisplayName()));
  setWindowModality(Qt::ApplicationModal);
  for (const auto hint : {Qt::WindowContextHelpButtonHint, Qt::WindowMaximizeButtonHint,
                          Qt::WindowMinimizeButtonHint, Qt::WindowFullscreenButtonHint}) {
    setWindowFlag(hint, false);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(makeForm());
  layout->addWidget(makeBottomBar());
  fitToContents();
}

PreferencesWindow::~PreferencesWindow() = default;

QWidget* PreferencesWindow::makeForm() {
  auto* scrollArea = new QScrollArea(this);
  scrollArea->setWidgetResizable(true);
  scrollArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  scrollArea->setFrameShape(QFrame::NoFrame);
  auto* content = new QWidget(scrollArea);
  content->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  auto* form = new QFormLayout(content);
  form->setContentsMargins(32, 16, 32, 32);
  form->setHorizontalSpacing(32);
  form->setVerticalSpacing(16);
  form->setRowWrapPolicy(QFormLayout::DontWrapRows);
  form->addRow(new style::Label(QCoreApplication::translate("ArvexHubLauncher", "Application"),
                                style::TextRole::H4, content));
  addLanguageRow(form);
  addThemeRow(form);
  addSwitchRows(form);
  addDownloadsRow(form);
  scrollArea->setWidget(content);
  return scrollArea;
}

void PreferencesWindow::addLanguageRow(QFormLayout* form) {
  auto* parent = form->parentWidget();
  languageComboBox_ = new QComboBox(parent);
  languageComboBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  for (const auto& code : controller_->languages()) {
    languageComboBox_->addItem(Common::languageIcon(code), Common::languageName(code), code);
  }
  bindPreferenceComboBox(languageComboBox_, controller_->preferences(), &Preferences::appLanguage,
                         &Preferences::setAppLanguage);
  form->addRow(makeRowLabel(QCoreApplication::translate("ArvexHubLauncher", "Language"),
                            QCoreApplication::translate(
                                "ArvexHubLauncher",
                                "You must restart the application for it to take this change into account."),
                            parent),
               languageComboBox_);
}

void PreferencesWindow::addThemeRow(QFormLayout* form) {
  auto* parent = form->parentWidget();
  themeComboBox_ = new QComboBox(parent);
  themeComboBox_->setMinimumWidth(100);
  for (const auto& theme : controller_->themeManager()->themes()) {
    const auto& id = theme.meta.name;
    const auto icon =
        id == Common::darkThemeId() ? style::icons::Icons16::Misc_Moon : style::icons::Icons16::Misc_Sun;
    themeComboBox_->addItem(makeIcon(icon), controller_->themeName(id), id);
  }
  bindPreferenceComboBox(themeComboBox_, controller_->preferences(), &Preferences::appTheme,
                         &Preferences::setAppTheme);
  form->addRow(makeRowLabel(QCoreApplication::translate("ArvexHubLauncher", "Theme"),
                            QCoreApplication::translate("ArvexHubLauncher",
                                                        "Change the app's look. No need to restart."),
                            parent),
               themeComboBox_);
}

void PreferencesWindow::addSwitchRows(QFormLayout* form) {
  auto* parent = form->parentWidget();
  auto* preferences = controller_->preferences();
  propertiesPanelSwitch_ = makePreferenceSwitch(preferences, &Preferences::appPropertiesPanelVisible,
                                                &Preferences::setAppPropertiesPanelVisible,
                                                &Preferences::appPropertiesPanelVisibleChanged, parent);
  form->addRow(makeRowLabel(QCoreApplication::translate("ArvexHubLauncher", "Show Game Information Panel"),
                            QCoreApplication::translate(
                                "ArvexHubLauncher", "Displays detailed information about the selected Game."),
                            parent),
               propertiesPanelSwitch_);
  warnBeforeRemovalSwitch_ = makePreferenceSwitch(preferences, &Preferences::appWarnBeforeGameRemoval,
                                                  &Preferences::setAppWarnBeforeGameRemoval,
                                                  &Preferences::appWarnBeforeGameRemovalChanged, parent);
  form->addRow(
      makeRowLabel(QCoreApplication::translate("ArvexHubLauncher", "Ask before removing a game"),
                   QCoreApplication::translate("ArvexHubLauncher",
                                               "Games are only removed from disk, not from your account."),
                   parent),
      warnBeforeRemovalSwitch_);
}

void PreferencesWindow::addDownloadsRow(QFormLayout* form) {
  auto* parent = form->parentWidget();
  auto* preferences = controller_->preferences();
  auto* count = new QSpinBox(parent);
  count->setRange(1, 4);
  count->setValue(preferences->appMaxDownloads());
  connect(count, &QSpinBox::valueChanged, preferences, &Preferences::setAppMaxDownloads);
  connect(preferences, &Preferences::appMaxDownloadsChanged, count,
          [count, preferences] { count->setValue(preferences->appMaxDownloads()); });
  form->addRow(makeRowLabel(QCoreApplication::translate("ArvexHubLauncher", "Maximum simultaneous downloads"),
                            QCoreApplication::translate(
                                "ArvexHubLauncher", "Other downloads wait in the queue, in the order asked."),
                            parent),
               count);
}

QWidget* PreferencesWindow::makeBottomBar() {
  auto* bottom = new BottomWidget(this);
  bottom->setFocusPolicy(Qt::NoFocus);
  bottom->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  auto* layout = new QHBoxLayout(bottom);
  layout->setContentsMargins(16, 12, 16, 12);
  auto* reset = new QPushButton(makeIcon(style::icons::Icons16::Action_Reset),
                                QCoreApplication::translate("ArvexHubLauncher", "Reset"), bottom);
  reset->setToolTip(QCoreApplication::translate("ArvexHubLauncher", "Reset to factory defaults."));
  reset->setDefault(false);
  reset->setAutoDefault(false);
  reset->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(reset, &QPushButton::clicked, this, [this] {
    if (controller_) {
      controller_->preferences()->resetToDefaults();
    }
  });
  layout->addWidget(reset, 0, Qt::AlignLeft);
  return bottom;
}

void PreferencesWindow::fitToContents() {
  ensurePolished();
  const auto hint = sizeHint();
  setFixedWidth(hint.width());
  setMaximumHeight(hint.height());
  setMinimumHeight(200);
  QTimer::singleShot(0, this, [this, hint] { resize(hint); });
}

void PreferencesWindow::mouseReleaseEvent(QMouseEvent* event) {
  QDialog::mouseReleaseEvent(event);
  if (auto* focused = QApplication::focusWidget()) {
    focused->clearFocus();
  }
}

QComboBox* PreferencesWindow::languageComboBox() const {
  return languageComboBox_;
}

QComboBox* PreferencesWindow::themeComboBox() const {
  return themeComboBox_;
}

style::Switch* PreferencesWindow::propertiesPanelSwitch() const {
  return propertiesPanelSwitch_;
}

style::Switch* PreferencesWindow::warnBeforeRemovalSwitch() const {
  return warnBeforeRemovalSwitch_;
}

} // namespace arvexhub::launcher
