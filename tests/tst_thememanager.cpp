#include "style/Style.h"
#include "style/ThemeManager.h"

#include "TestDir.h"

#include <QApplication>
#include <QPalette>
#include <QSignalSpy>
#include <QtTest>

using arvexhub::style::Style;
using arvexhub::style::Theme;
using arvexhub::style::ThemeManager;

namespace {
const QString themesFolder = QStringLiteral(":/arvexhub/launcher/resources/themes");

QByteArray themeJson(const QString& name, const QString& window) {
  return QStringLiteral(R"({"meta": {"name": "%1"}, "backgroundColorMain2": "%2"})")
      .arg(name, window)
      .toUtf8();
}
} // namespace

class TestThemeManager final : public QObject {
  Q_OBJECT

  Style* style_{nullptr};
  std::unique_ptr<ThemeManager> manager_;

private slots:
  void init() {
    style_ = new Style();
    QApplication::setStyle(style_); // the application owns it from here
    manager_ = std::make_unique<ThemeManager>(style_);
  }

  void cleanup() {
    manager_.reset();
  }

  void switchingChangesPaletteAndSignals_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("file");
    QTest::newRow("dark") << QStringLiteral("Dark") << QStringLiteral("dark.json");
    QTest::newRow("light") << QStringLiteral("Light") << QStringLiteral("light.json");
  }

  void switchingChangesPaletteAndSignals() {
    QFETCH(QString, id);
    QFETCH(QString, file);
    manager_->loadDirectory(themesFolder);
    const auto expected = Theme::fromJsonPath(themesFolder + QLatin1Char('/') + file);
    QVERIFY(expected.has_value());

    QSignalSpy managerSpy(manager_.get(), &ThemeManager::currentThemeChanged);
    QSignalSpy styleSpy(style_, &Style::themeChanged);
    manager_->setCurrentTheme(id);

    QCOMPARE(managerSpy.count(), 1);
    QCOMPARE(styleSpy.count(), 1);
    QCOMPARE(manager_->currentTheme(), id);
    QCOMPARE(style_->theme().meta.name, id);
    QCOMPARE(QApplication::palette().color(QPalette::Window), expected->backgroundColorMain2);
    QCOMPARE(QApplication::palette().color(QPalette::Highlight), expected->primaryColor);
  }

  // The same theme again, or an unknown id, changes nothing and says nothing.
  void sameOrUnknownIdKeepsCurrentTheme() {
    manager_->loadDirectory(themesFolder);
    manager_->setCurrentTheme(QStringLiteral("Dark"));
    const auto window = QApplication::palette().color(QPalette::Window);
    QSignalSpy spy(manager_.get(), &ThemeManager::currentThemeChanged);
    manager_->setCurrentTheme(QStringLiteral("Dark"));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Unknown theme")));
    manager_->setCurrentTheme(QStringLiteral("dark")); // ids are exact
    QCOMPARE(spy.count(), 0);
    QCOMPARE(manager_->currentTheme(), QStringLiteral("Dark"));
    QCOMPARE(QApplication::palette().color(QPalette::Window), window);
  }

  // The shipped themes load in name order, none current; "next" cycles through them.
  void nextThemeCyclesInNameOrder() {
    manager_->loadDirectory(themesFolder);
    QCOMPARE(manager_->themes().size(), std::size_t{2});
    QVERIFY(manager_->currentTheme().isEmpty());
    QSignalSpy spy(manager_.get(), &ThemeManager::currentThemeChanged);
    manager_->setNextTheme();
    QCOMPARE(manager_->currentTheme(), QStringLiteral("Dark"));
    manager_->setNextTheme();
    QCOMPARE(manager_->currentTheme(), QStringLiteral("Light"));
    manager_->setNextTheme();
    QCOMPARE(manager_->currentTheme(), QStringLiteral("Dark"));
    QCOMPARE(spy.count(), 3);
  }

  void skipsFilesThatAreNotThemes() {
    arvexhub::test::TestDir dir;
    dir.createFile(QStringLiteral("a.json"), themeJson(QStringLiteral("Alpha"), QStringLiteral("#102030")));
    dir.createFile(QStringLiteral("b.json"), "[1, 2, 3]");
    dir.createFile(QStringLiteral("c.json"), R"({"meta": {}})");
    dir.createFile(QStringLiteral("d.txt"), themeJson(QStringLiteral("Ignored"), QStringLiteral("#000000")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Theme document")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Skipping theme file:.*b.json")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Theme document")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Skipping theme file:.*c.json")));
    manager_->loadDirectory(dir.path());
    QCOMPARE(manager_->themes().size(), std::size_t{1});
    QCOMPARE(manager_->themes()[0].meta.name, QStringLiteral("Alpha"));
  }

  void reloadingCurrentThemeAppliesIt() {
    arvexhub::test::TestDir first;
    arvexhub::test::TestDir second;
    first.createFile(QStringLiteral("t.json"), themeJson(QStringLiteral("Same"), QStringLiteral("#102030")));
    second.createFile(QStringLiteral("t.json"), themeJson(QStringLiteral("Same"), QStringLiteral("#405060")));
    manager_->loadDirectory(first.path());
    manager_->setCurrentTheme(QStringLiteral("Same"));
    manager_->loadDirectory(second.path());
    QCOMPARE(manager_->themes().size(), std::size_t{1});
    QCOMPARE(QApplication::palette().color(QPalette::Window), QColor(0x40, 0x50, 0x60));
  }
};

QTEST_MAIN(TestThemeManager)
#include "tst_thememanager.moc"
