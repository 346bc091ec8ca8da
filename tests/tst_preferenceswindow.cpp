#include "app/Common.h"
#include "app/Controller.h"
#include "app/Preferences.h"
#include "widgets/BottomWidget.h"
#include "widgets/PreferencesWindow.h"

#include <style/Style.h>
#include <style/Theme.h>
#include <style/ThemeManager.h>
#include <style/widgets/Switch.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

#include <memory>

using arvexhub::launcher::BottomWidget;
using arvexhub::launcher::Controller;
using arvexhub::launcher::Preferences;
using arvexhub::launcher::PreferencesWindow;
using arvexhub::style::Switch;
namespace Common = arvexhub::launcher::Common;

namespace {

const QString languageKey = QStringLiteral("app/language");
const QString themeKey = QStringLiteral("app/theme");
const QString propertiesPanelKey = QStringLiteral("app/propertiesPanelVisible");
const QString warnBeforeRemovalKey = QStringLiteral("app/warnBeforeGameRemoval");

/// The preferences store as the program opens it, read and written behind its back.
std::unique_ptr<QSettings> store() {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                     QStringLiteral("arvex-games"), QStringLiteral("arvex-hub"));
}

QPushButton* resetButton(const QWidget& window, const QString& text = QStringLiteral("Reset")) {
  const auto buttons = window.findChildren<QPushButton*>();
  for (auto* button : buttons) {
    if (button->text() == text) {
      return button;
    }
  }
  return nullptr;
}

/// Every text the user reads in the window, in a stable order; language names excluded as they
/// are written in their own language whatever the interface language.
QStringList visibleTexts(const PreferencesWindow& window) {
  QStringList texts{window.windowTitle()};
  const auto labels = window.findChildren<QLabel*>();
  for (const auto* label : labels) {
    texts.append(label->text());
  }
  const auto buttons = window.findChildren<QPushButton*>();
  for (const auto* button : buttons) {
    texts.append(button->text());
    texts.append(button->toolTip());
  }
  const auto* themes = window.themeComboBox();
  for (int i = 0; i < themes->count(); ++i) {
    texts.append(themes->itemText(i));
  }
  return texts;
}

enum class Toggle { PropertiesPanel, WarnBeforeRemoval };

} // namespace

Q_DECLARE_METATYPE(Toggle)

class TestPreferencesWindow : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void languageComboListsLanguages_data();
  void languageComboListsLanguages();
  void choosingLanguageWritesIt();
  void themeComboListsThemes_data();
  void themeComboListsThemes();
  void choosingThemeWritesAndApplies_data();
  void choosingThemeWritesAndApplies();
  void switchesFollowAndWritePreferences_data();
  void switchesFollowAndWritePreferences();
  void resetShowsDefaultsOnSwitches();
  void sizeIsBounded();
  void releaseOnEmptySpaceTakesFocus_data();
  void releaseOnEmptySpaceTakesFocus();
  void outlivesController();
  void frenchTexts();

private:
  std::unique_ptr<PreferencesWindow> showWindow();

  Controller* controller_{nullptr};
};

void TestPreferencesWindow::initTestCase() {
  QCoreApplication::setOrganizationName(QStringLiteral("Arvex Games"));
  QCoreApplication::setApplicationName(QStringLiteral("Arvex Hub"));
  // The controller's theme manager binds to the application style, so ours comes first.
  QApplication::setStyle(new arvexhub::style::Style);
}

void TestPreferencesWindow::init() {
  auto settings = store();
  settings->clear();
  settings->sync();
  controller_ = new Controller;
}

void TestPreferencesWindow::cleanup() {
  delete controller_;
  controller_ = nullptr;
}

std::unique_ptr<PreferencesWindow> TestPreferencesWindow::showWindow() {
  auto window = std::make_unique<PreferencesWindow>(controller_, nullptr);
  window->show();
  if (!QTest::qWaitForWindowActive(window.get())) {
    return nullptr;
  }
  return window;
}

void TestPreferencesWindow::languageComboListsLanguages_data() {
  QTest::addColumn<QString>("saved");

  QTest::newRow("english") << QStringLiteral("en_US");
  QTest::newRow("french") << QStringLiteral("fr_FR");
}

void TestPreferencesWindow::languageComboListsLanguages() {
  QFETCH(QString, saved);

  const auto languages = controller_->languages();
  QVERIFY(languages.contains(saved));
  controller_->preferences()->setAppLanguage(saved);

  const PreferencesWindow window(controller_, nullptr);
  const auto* combo = window.languageComboBox();
  QCOMPARE(combo->count(), languages.size());
  for (int i = 0; i < languages.size(); ++i) {
    QCOMPARE(combo->itemData(i, Qt::UserRole).toString(), languages.at(i));
    QCOMPARE(combo->itemText(i), Common::languageName(languages.at(i)));
  }
  QCOMPARE(combo->currentData(Qt::UserRole).toString(), saved);
}

void TestPreferencesWindow::choosingLanguageWritesIt() {
  QVERIFY(controller_->languages().size() >= 2);
  auto window = showWindow();
  QVERIFY(window);
  auto* combo = window->languageComboBox();
  const auto before = combo->currentIndex();
  QVERIFY(before >= 0);
  const auto target = before + 1 < combo->count() ? before + 1 : before - 1;
  QSignalSpy changed(controller_->preferences(), &Preferences::appLanguageChanged);

  combo->setFocus();
  QTest::keyClick(combo, target > before ? Qt::Key_Down : Qt::Key_Up);
  QCOMPARE(combo->currentIndex(), target);

  const auto chosen = combo->itemData(target, Qt::UserRole).toString();
  QCOMPARE(changed.size(), 1);
  QCOMPARE(controller_->preferences()->appLanguage(), chosen);
  QCOMPARE(store()->value(languageKey).toString(), chosen);
}

void TestPreferencesWindow::themeComboListsThemes_data() {
  QTest::addColumn<QString>("saved");

  QTest::newRow("dark") << Common::darkThemeId();
  QTest::newRow("light") << Common::lightThemeId();
}

void TestPreferencesWindow::themeComboListsThemes() {
  QFETCH(QString, saved);

  controller_->preferences()->setAppTheme(saved);
  const PreferencesWindow window(controller_, nullptr);
  const auto* combo = window.themeComboBox();
  QStringList ids;
  QStringList names;
  for (int i = 0; i < combo->count(); ++i) {
    ids.append(combo->itemData(i, Qt::UserRole).toString());
    names.append(combo->itemText(i));
  }
  QCOMPARE(ids, (QStringList{Common::darkThemeId(), Common::lightThemeId()}));
  QCOMPARE(names, (QStringList{controller_->themeName(Common::darkThemeId()),
                               controller_->themeName(Common::lightThemeId())}));
  QCOMPARE(names, (QStringList{QStringLiteral("Dark"), QStringLiteral("Light")}));
  QCOMPARE(combo->currentData(Qt::UserRole).toString(), saved);
}

void TestPreferencesWindow::choosingThemeWritesAndApplies_data() {
  QTest::addColumn<QString>("from");
  QTest::addColumn<QString>("to");
  QTest::addColumn<QString>("themeFile");

  QTest::newRow("dark to light") << Common::darkThemeId() << Common::lightThemeId()
                                 << QStringLiteral(":/arvexhub/launcher/resources/themes/light.json");
  QTest::newRow("light to dark") << Common::lightThemeId() << Common::darkThemeId()
                                 << QStringLiteral(":/arvexhub/launcher/resources/themes/dark.json");
}

void TestPreferencesWindow::choosingThemeWritesAndApplies() {
  QFETCH(QString, from);
  QFETCH(QString, to);
  QFETCH(QString, themeFile);

  const auto expected = arvexhub::style::Theme::fromJsonPath(themeFile);
  QVERIFY(expected.has_value());
  controller_->preferences()->setAppTheme(from);
  QVERIFY(QApplication::palette().color(QPalette::Window) != expected->backgroundColorMain2);

  auto window = showWindow();
  QVERIFY(window);
  auto* combo = window->themeComboBox();
  QSignalSpy changed(controller_->preferences(), &Preferences::appThemeChanged);
  combo->setFocus();
  const auto target = combo->findData(to);
  QVERIFY(target >= 0);
  QTest::keyClick(combo, target > combo->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
  QCOMPARE(combo->currentIndex(), target);

  QCOMPARE(changed.size(), 1);
  QCOMPARE(controller_->preferences()->appTheme(), to);
  QCOMPARE(store()->value(themeKey).toString(), to);
  QCOMPARE(controller_->themeManager()->currentTheme(), to);
  QCOMPARE(QApplication::palette().color(QPalette::Window), expected->backgroundColorMain2);
}

void TestPreferencesWindow::switchesFollowAndWritePreferences_data() {
  QTest::addColumn<Toggle>("toggle");
  QTest::addColumn<QString>("key");
  QTest::addColumn<bool>("initial");

  QTest::newRow("properties panel off") << Toggle::PropertiesPanel << propertiesPanelKey << false;
  QTest::newRow("properties panel on") << Toggle::PropertiesPanel << propertiesPanelKey << true;
  QTest::newRow("warn off") << Toggle::WarnBeforeRemoval << warnBeforeRemovalKey << false;
  QTest::newRow("warn on") << Toggle::WarnBeforeRemoval << warnBeforeRemovalKey << true;
}

void TestPreferencesWindow::switchesFollowAndWritePreferences() {
  QFETCH(Toggle, toggle);
  QFETCH(QString, key);
  QFETCH(bool, initial);

  auto* preferences = controller_->preferences();
  const auto isPanel = toggle == Toggle::PropertiesPanel;
  const auto get = [=] {
    return isPanel ? preferences->appPropertiesPanelVisible() : preferences->appWarnBeforeGameRemoval();
  };
  const auto set = [=](bool value) {
    isPanel ? preferences->setAppPropertiesPanelVisible(value) : preferences->setAppWarnBeforeGameRemoval(value);
  };
  set(initial);

  auto window = showWindow();
  QVERIFY(window);
  auto* toggleSwitch = isPanel ? window->propertiesPanelSwitch() : window->warnBeforeRemovalSwitch();
  auto* otherSwitch = isPanel ? window->warnBeforeRemovalSwitch() : window->propertiesPanelSwitch();
  const auto otherBefore = otherSwitch->isChecked();
  QCOMPARE(toggleSwitch->isChecked(), initial);

  QSignalSpy changed(preferences, isPanel ? &Preferences::appPropertiesPanelVisibleChanged
                                          : &Preferences::appWarnBeforeGameRemovalChanged);
  QSignalSpy toggled(toggleSwitch, &Switch::toggled);
  QTest::mouseClick(toggleSwitch, Qt::LeftButton);
  QCOMPARE(toggleSwitch->isChecked(), !initial);
  QCOMPARE(changed.size(), 1);
  QCOMPARE(get(), !initial);
  QCOMPARE(store()->value(key).toBool(), !initial);
  QCOMPARE(otherSwitch->isChecked(), otherBefore);

  // A change made elsewhere moves the switch like any other state change, and is not
  // written back a second time.
  set(initial);
  QCOMPARE(toggleSwitch->isChecked(), initial);
  QCOMPARE(toggled.size(), 2);
  QCOMPARE(toggled.last().first().toBool(), initial);
  QCOMPARE(changed.size(), 2);
  QCOMPARE(store()->value(key).toBool(), initial);
}

void TestPreferencesWindow::resetShowsDefaultsOnSwitches() {
  auto* preferences = controller_->preferences();
  preferences->setAppPropertiesPanelVisible(true);
  preferences->setAppWarnBeforeGameRemoval(false);
  preferences->setAppLanguage(QStringLiteral("fr_FR"));
  preferences->setAppTheme(Common::lightThemeId());

  auto window = showWindow();
  QVERIFY(window);
  QVERIFY(window->propertiesPanelSwitch()->isChecked());
  QVERIFY(!window->warnBeforeRemovalSwitch()->isChecked());
  const auto languageShown = window->languageComboBox()->currentText();
  const auto themeShown = window->themeComboBox()->currentText();

  auto* reset = resetButton(*window);
  QVERIFY(reset);
  QTest::mouseClick(reset, Qt::LeftButton);

  QVERIFY(!window->propertiesPanelSwitch()->isChecked());
  QVERIFY(window->warnBeforeRemovalSwitch()->isChecked());
  QVERIFY(!preferences->appPropertiesPanelVisible());
  QVERIFY(preferences->appWarnBeforeGameRemoval());
  QCOMPARE(window->languageComboBox()->currentText(), languageShown);
  QCOMPARE(window->themeComboBox()->currentText(), themeShown);
}

void TestPreferencesWindow::sizeIsBounded() {
  auto window = showWindow();
  QVERIFY(window);
  const auto hint = window->sizeHint();
  QVERIFY(hint.height() >= 200);
  QCOMPARE(window->minimumWidth(), hint.width());
  QCOMPARE(window->maximumWidth(), hint.width());
  QCOMPARE(window->minimumHeight(), 200);
  QCOMPARE(window->maximumHeight(), hint.height());
  QTRY_COMPARE(window->size(), hint);

  window->resize(hint.width() * 2, hint.height() * 3);
  QCOMPARE(window->size(), hint);
  window->resize(10, 10);
  QCOMPARE(window->size(), QSize(hint.width(), 200));
}

void TestPreferencesWindow::releaseOnEmptySpaceTakesFocus_data() {
  QTest::addColumn<bool>("themeCombo");
  QTest::addColumn<bool>("onBottomBar");

  QTest::newRow("language, bottom bar") << false << true;
  QTest::newRow("language, form margin") << false << false;
  QTest::newRow("theme, bottom bar") << true << true;
  QTest::newRow("theme, form margin") << true << false;
}

void TestPreferencesWindow::releaseOnEmptySpaceTakesFocus() {
  QFETCH(bool, themeCombo);
  QFETCH(bool, onBottomBar);

  auto window = showWindow();
  QVERIFY(window);
  auto* combo = themeCombo ? window->themeComboBox() : window->languageComboBox();
  combo->setFocus(Qt::MouseFocusReason);
  QTRY_VERIFY(combo->hasFocus());

  QWidget* target = nullptr;
  QPoint point;
  if (onBottomBar) {
    target = window->findChild<BottomWidget*>();
    QVERIFY(target);
    point = QPoint(target->width() - 4, target->height() / 2);
  } else {
    const auto* scrollArea = window->findChild<QScrollArea*>();
    QVERIFY(scrollArea);
    target = scrollArea->widget();
    point = QPoint(target->width() - 4, 4);
  }
  QCOMPARE(target->childAt(point), nullptr);
  QTest::mouseClick(target, Qt::LeftButton, {}, point);
  QTRY_VERIFY(!combo->hasFocus());
}

void TestPreferencesWindow::outlivesController() {
  auto window = showWindow();
  QVERIFY(window);
  delete controller_;
  controller_ = nullptr;

  // Nothing is written any more, and using the controls does not touch freed objects.
  for (auto* combo : {window->languageComboBox(), window->themeComboBox()}) {
    combo->setFocus();
    const auto key = combo->currentIndex() + 1 < combo->count() ? Qt::Key_Down : Qt::Key_Up;
    const auto before = combo->currentIndex();
    QTest::keyClick(combo, key);
    QVERIFY(combo->currentIndex() != before);
  }
  QTest::mouseClick(window->propertiesPanelSwitch(), Qt::LeftButton);
  auto* reset = resetButton(*window);
  QVERIFY(reset);
  QTest::mouseClick(reset, Qt::LeftButton);

  const auto settings = store();
  for (const auto& key : {languageKey, themeKey, propertiesPanelKey, warnBeforeRemovalKey}) {
    QVERIFY2(!settings->contains(key), qPrintable(key));
  }
}

void TestPreferencesWindow::frenchTexts() {
  // The same window in English first, as the reference.
  QStringList english;
  {
    const PreferencesWindow window(controller_, nullptr);
    english = visibleTexts(window);
  }

  delete controller_;
  controller_ = nullptr;
  {
    auto settings = store();
    settings->setValue(languageKey, QStringLiteral("fr_FR"));
    settings->sync();
  }
  controller_ = new Controller;
  QCOMPARE(controller_->preferences()->appLanguage(), QStringLiteral("fr_FR"));
  QPointer<QTranslator> translator = controller_->findChild<QTranslator*>();
  QVERIFY(translator);
  QCOMPARE(translator->language(), QStringLiteral("fr_FR"));

  QStringList french;
  {
    const PreferencesWindow window(controller_, nullptr);
    QCOMPARE(window.languageComboBox()->currentData(Qt::UserRole).toString(), QStringLiteral("fr_FR"));
    french = visibleTexts(window);
  }
  QCOMPARE(french.size(), english.size());
  // A text may read the same in both languages ("Application"); then the catalogue must say so.
  QStringList untranslated;
  for (int i = 0; i < english.size(); ++i) {
    const auto& source = english.at(i);
    if (!source.isEmpty() && french.at(i) == source &&
        translator->translate("ArvexHubLauncher", source.toUtf8().constData()).isEmpty()) {
      untranslated.append(source);
    }
  }

  // The translator goes with its controller, so what comes next is English again.
  delete controller_;
  controller_ = nullptr;
  QVERIFY(translator.isNull());
  {
    auto settings = store();
    settings->setValue(languageKey, QStringLiteral("en_US"));
    settings->sync();
  }
  controller_ = new Controller;
  {
    const PreferencesWindow window(controller_, nullptr);
    QCOMPARE(visibleTexts(window), english);
  }

  QVERIFY2(untranslated.isEmpty(), qPrintable(QStringLiteral("Not in French: ") + untranslated.join(QStringLiteral(" | "))));
}

QTEST_MAIN(TestPreferencesWindow)
#include "tst_preferenceswindow.moc"
