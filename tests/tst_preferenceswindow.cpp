#include "app/Common.h"
#include "app/Controller.h"
#include "app/Preferences.h"
#include "style/Style.h"
#include "style/Theme.h"
#include "style/widgets/Switch.h"
#include "widgets/dialogs/PreferencesWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTranslator>

#include <memory>

using arvexhub::launcher::Controller;
using arvexhub::launcher::Preferences;
using arvexhub::launcher::PreferencesWindow;
namespace Common = arvexhub::launcher::Common;

namespace {

/// The preferences store as the program opens it, read and written behind its back.
QSettings settingsStore() {
  return QSettings(QStringLiteral("arvex-games"), QStringLiteral("arvex-hub"));
}

const QString languageKey = QStringLiteral("app/language"), themeKey = QStringLiteral("app/theme");

/// Every text the user reads, in a stable order (language names are in their own language anyway).
QStringList texts(const PreferencesWindow& window) {
  const auto* themes = window.themeComboBox();
  QStringList texts{window.windowTitle(), themes->itemText(0), themes->itemText(1)};
  for (const auto* widget : window.findChildren<QWidget*>()) {
    const auto text = widget->property("text").toString();
    bool number = false; // a count reads the same in every language
    text.toInt(&number);
    texts << (number ? QString() : text) << widget->toolTip();
  }
  return texts;
}

/// Selects the neighbour of the current item as a user would, with the keyboard.
QString chooseAnother(QComboBox* combo) {
  combo->setFocus();
  QTest::keyClick(combo, combo->currentIndex() + 1 < combo->count() ? Qt::Key_Down : Qt::Key_Up);
  return combo->currentData().toString();
}

} // namespace

class TestPreferencesWindow : public QObject {
  Q_OBJECT

  QPointer<Controller> controller_;
  std::unique_ptr<PreferencesWindow> window_;

  bool showWindow() {
    window_ = std::make_unique<PreferencesWindow>(controller_);
    window_->show();
    return QTest::qWaitForWindowActive(window_.get());
  }

private slots:
  void initTestCase() {
    QCoreApplication::setOrganizationName(QStringLiteral("Arvex Games"));
    QCoreApplication::setApplicationName(QStringLiteral("Arvex Hub"));
    QApplication::setStyle(new arvexhub::style::Style);
  }
  void init() {
    settingsStore().clear();
    controller_ = new Controller;
  }
  void cleanup() {
    window_.reset();
    delete controller_;
  }

  void combos_data() {
    QTest::addColumn<bool>("theme");
    QTest::addColumn<QString>("saved");
    QTest::newRow("english") << false << QStringLiteral("en_US");
    QTest::newRow("french") << false << QStringLiteral("fr_FR");
    QTest::newRow("dark") << true << Common::darkThemeId();
    QTest::newRow("light") << true << Common::lightThemeId();
  }
  void combos() {
    QFETCH(bool, theme);
    QFETCH(QString, saved);
    (controller_->preferences()->*(theme ? &Preferences::setAppTheme : &Preferences::setAppLanguage))(saved);
    const auto ids =
        theme ? QStringList{Common::darkThemeId(), Common::lightThemeId()} : controller_->languages();
    QVERIFY(showWindow());
    auto* combo = theme ? window_->themeComboBox() : window_->languageComboBox();
    QCOMPARE(combo->count(), ids.size());
    for (int i = 0; i < ids.size(); ++i) {
      QCOMPARE(combo->itemData(i).toString(), ids.at(i));
      QCOMPARE(combo->itemText(i),
               theme ? controller_->themeName(ids.at(i)) : Common::languageName(ids.at(i)));
    }
    QCOMPARE(combo->currentData().toString(), saved);

    const auto chosen = chooseAnother(combo);
    QVERIFY(chosen != saved);
    QCOMPARE(settingsStore().value(theme ? themeKey : languageKey).toString(), chosen);
    if (theme) {
      const auto expected = arvexhub::style::Theme::fromJsonPath(
          QStringLiteral(":/arvexhub/launcher/resources/themes/%1.json").arg(chosen.toLower()));
      QVERIFY(expected && QApplication::palette().color(QPalette::Window) == expected->backgroundColorMain2);
    }
  }

  void switches_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("initial");
    QTest::newRow("properties panel off") << QStringLiteral("app/propertiesPanelVisible") << false;
    QTest::newRow("properties panel on") << QStringLiteral("app/propertiesPanelVisible") << true;
    QTest::newRow("warn off") << QStringLiteral("app/warnBeforeGameRemoval") << false;
    QTest::newRow("warn on") << QStringLiteral("app/warnBeforeGameRemoval") << true;
  }
  void switches() {
    QFETCH(QString, key);
    QFETCH(bool, initial);
    const bool panel = key.contains(QStringLiteral("Panel"));
    const auto set =
        panel ? &Preferences::setAppPropertiesPanelVisible : &Preferences::setAppWarnBeforeGameRemoval;
    (controller_->preferences()->*set)(initial);
    QVERIFY(showWindow());
    auto* toggle = panel ? window_->propertiesPanelSwitch() : window_->warnBeforeRemovalSwitch();
    QCOMPARE(toggle->isChecked(), initial);

    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(settingsStore().value(key).toBool(), !initial);
    (controller_->preferences()->*set)(initial); // a change made elsewhere moves the switch
    QCOMPARE(toggle->isChecked(), initial);
  }

  void resetRestoresSwitchesOnly() {
    auto* preferences = controller_->preferences();
    preferences->setAppPropertiesPanelVisible(true);
    preferences->setAppWarnBeforeGameRemoval(false);
    preferences->setAppTheme(Common::lightThemeId());
    QVERIFY(showWindow());
    auto* reset = window_->findChild<QPushButton*>();
    QVERIFY(reset);
    QTest::mouseClick(reset, Qt::LeftButton);
    QVERIFY(!window_->propertiesPanelSwitch()->isChecked() &&
            window_->warnBeforeRemovalSwitch()->isChecked());
    QVERIFY(!preferences->appPropertiesPanelVisible() && preferences->appWarnBeforeGameRemoval());
    QCOMPARE(window_->themeComboBox()->currentData().toString(), Common::lightThemeId());
  }

  void sizeIsBounded() {
    QVERIFY(showWindow());
    const auto hint = window_->sizeHint();
    window_->resize(hint.width() * 2, hint.height() * 3);
    QCOMPARE(window_->size(), hint);
    window_->resize(10, 10);
    QCOMPARE(window_->size(), QSize(hint.width(), 200));
  }

  void outlivesController() {
    QVERIFY(showWindow());
    delete controller_;
    chooseAnother(window_->languageComboBox());
    chooseAnother(window_->themeComboBox());
    QTest::mouseClick(window_->propertiesPanelSwitch(), Qt::LeftButton);
    QTest::mouseClick(window_->findChild<QPushButton*>(), Qt::LeftButton);
    QCOMPARE(settingsStore().allKeys(), QStringList{});
  }

  void frenchTexts() {
    const auto english = texts(PreferencesWindow(controller_));
    delete controller_;
    settingsStore().setValue(languageKey, QStringLiteral("fr_FR"));
    controller_ = new Controller;
    // Ours, beside Qt's own.
    const QTranslator* translator = nullptr;
    for (const auto* candidate : controller_->findChildren<QTranslator*>()) {
      translator = candidate->translate("ArvexHubLauncher", "Dark").isEmpty() ? translator : candidate;
    }
    QVERIFY(translator && translator->language() == QStringLiteral("fr_FR"));
    const auto french = texts(PreferencesWindow(controller_));
    QCOMPARE(french.size(), english.size());
    for (int i = 0; i < english.size(); ++i) {
      // A text may read the same in both languages ("Application"); then the catalogue must say so.
      const auto& source = english.at(i);
      QVERIFY2(source.isEmpty() || french.at(i) != source ||
                   !translator->translate("ArvexHubLauncher", source.toUtf8().constData()).isEmpty(),
               qPrintable(source));
    }
  }
};

QTEST_MAIN(TestPreferencesWindow)
#include "tst_preferenceswindow.moc"
