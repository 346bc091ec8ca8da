#include <app/Controller.h>
#include <app/Preferences.h>

#include <style/Style.h>
#include <style/ThemeManager.h>

#include <QApplication>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using arvexhub::launcher::Controller;
using arvexhub::launcher::Preferences;
using arvexhub::style::Theme;

namespace {

QColor windowColorOf(const QString& themeFile) {
  const auto theme = Theme::fromJsonPath(QStringLiteral(":/arvexhub/launcher/resources/themes/") + themeFile);
  return theme ? theme->backgroundColorMain2 : QColor();
}

QSettings store() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("arvex-games"),
                   QStringLiteral("arvex-hub"));
}

} // namespace

class TestController final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void startsWithTheSavedTheme_data();
  void startsWithTheSavedTheme();
  void themePreferenceAndManagerFollowEachOther();
  void unknownThemeKeepsTheCurrentOne();
  void languagesAndStartupChoice_data();
  void languagesAndStartupChoice();
  void themeNames();

private:
  std::unique_ptr<Controller> makeController();
  std::unique_ptr<Controller> controller_;
};

void TestController::initTestCase() {
  QCoreApplication::setOrganizationName(QStringLiteral("Arvex Games"));
  QCoreApplication::setApplicationName(QStringLiteral("Arvex Hub"));
  QApplication::setStyle(new arvexhub::style::Style());
}

void TestController::init() {
  auto settings = store();
  settings.clear();
  settings.sync();
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestController::cleanup() {
  controller_.reset();
}

std::unique_ptr<Controller> TestController::makeController() {
  return std::make_unique<Controller>();
}

void TestController::startsWithTheSavedTheme_data() {
  QTest::addColumn<QString>("saved");
  QTest::addColumn<QString>("file");
  QTest::newRow("default") << QString() << QStringLiteral("dark.json");
  QTest::newRow("light") << QStringLiteral("Light") << QStringLiteral("light.json");
  QTest::newRow("unknown id") << QStringLiteral("Sepia") << QStringLiteral("dark.json");
}

void TestController::startsWithTheSavedTheme() {
  QFETCH(QString, saved);
  QFETCH(QString, file);
  if (!saved.isEmpty()) {
    store().setValue(QStringLiteral("app/theme"), saved);
    QApplication::setPalette(QPalette(Qt::red)); // a stale palette must not survive the start
  }
  if (saved == QStringLiteral("Sepia")) {
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Unknown theme")));
  }
  controller_ = makeController();
  QCOMPARE(QApplication::palette().color(QPalette::Window), windowColorOf(file));
  QCOMPARE(controller_->themeManager()->themes().size(), std::size_t{2});
}

void TestController::themePreferenceAndManagerFollowEachOther() {
  controller_ = makeController();
  auto* preferences = controller_->preferences();
  auto* manager = controller_->themeManager();
  QSignalSpy preferenceSpy(preferences, &Preferences::appThemeChanged);
  QSignalSpy managerSpy(manager, &arvexhub::style::ThemeManager::currentThemeChanged);

  preferences->setAppTheme(QStringLiteral("Light"));
  QCOMPARE(manager->currentTheme(), QStringLiteral("Light"));
  QCOMPARE(QApplication::palette().color(QPalette::Window), windowColorOf(QStringLiteral("light.json")));

  manager->setCurrentTheme(QStringLiteral("Dark")); // as the toolbar switch does
  QCOMPARE(preferences->appTheme(), QStringLiteral("Dark"));
  QCOMPARE(store().value(QStringLiteral("app/theme")).toString(), QStringLiteral("Dark"));
  QCOMPARE(QApplication::palette().color(QPalette::Window), windowColorOf(QStringLiteral("dark.json")));
  // Each change settles after one exchange: one signal on each side per change.
  QCOMPARE(preferenceSpy.count(), 2);
  QCOMPARE(managerSpy.count(), 2);
}

void TestController::unknownThemeKeepsTheCurrentOne() {
  controller_ = makeController();
  controller_->preferences()->setAppTheme(QStringLiteral("Light"));
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Unknown theme")));
  controller_->preferences()->setAppTheme(QStringLiteral("Sepia"));
  QCOMPARE(controller_->themeManager()->currentTheme(), QStringLiteral("Light"));
  QCOMPARE(QApplication::palette().color(QPalette::Window), windowColorOf(QStringLiteral("light.json")));
}

void TestController::languagesAndStartupChoice_data() {
  QTest::addColumn<QString>("saved");
  QTest::addColumn<QString>("expected");
  QTest::addColumn<QString>("darkText");
  QTest::newRow("fresh store") << QString() << QStringLiteral("en_US") << QStringLiteral("Dark");
  QTest::newRow("saved French") << QStringLiteral("fr_FR") << QStringLiteral("fr_FR") << QStringLiteral("Sombre");
  QTest::newRow("saved unknown") << QStringLiteral("xx_YY") << QStringLiteral("en_US") << QStringLiteral("Dark");
}

void TestController::languagesAndStartupChoice() {
  QFETCH(QString, saved);
  QFETCH(QString, expected);
  QFETCH(QString, darkText);
  if (!saved.isEmpty()) {
    store().setValue(QStringLiteral("app/language"), saved);
  }
  controller_ = makeController();
  QCOMPARE(controller_->languages(), (QStringList{QStringLiteral("en_US"), QStringLiteral("fr_FR")}));
  QCOMPARE(controller_->preferences()->appLanguage(), expected);
  QCOMPARE(store().value(QStringLiteral("app/language"), QStringLiteral("<absent>")).toString(),
           saved.isEmpty() ? QStringLiteral("<absent>") : expected);
  QCOMPARE(controller_->themeName(QStringLiteral("Dark")), darkText);
  controller_.reset();
  // The translator goes with the controller.
  QCOMPARE(QCoreApplication::translate("ArvexHubLauncher", "Dark"), QStringLiteral("Dark"));
}

void TestController::themeNames() {
  controller_ = makeController();
  QCOMPARE(controller_->themeName(QStringLiteral("Dark")), QStringLiteral("Dark"));
  QCOMPARE(controller_->themeName(QStringLiteral("Light")), QStringLiteral("Light"));
  QCOMPARE(controller_->themeName(QStringLiteral("custom")), QStringLiteral("custom"));
}

QTEST_MAIN(TestController)
#include "tst_controller.moc"
