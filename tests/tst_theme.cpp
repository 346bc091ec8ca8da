#include "style/Theme.h"

#include "TestDir.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using arvexhub::style::Theme;

class TestTheme final : public QObject {
  Q_OBJECT

private slots:
  void defaultThemeIsComplete();
  void parsesColours_data();
  void parsesColours();
  void rejectsDocument_data();
  void rejectsDocument();
  void keepsDefaultForBadColour_data();
  void keepsDefaultForBadColour();
  void readsMetrics();
  void shippedThemesHaveEveryKey_data();
  void shippedThemesHaveEveryKey();
  void missingFileIsRejected();
};

void TestTheme::defaultThemeIsComplete() {
  const Theme theme;
  QCOMPARE(Theme::colorKeys().size(), 66);
  for (const auto& key : Theme::colorKeys()) {
    const auto* color = theme.colorByKey(key);
    QVERIFY2(color && color->isValid(), qPrintable(key));
  }
  QVERIFY(!theme.meta.name.isEmpty());
  QCOMPARE(theme.borderRadius, 6);
  QCOMPARE(theme.spacing, 8);
  QVERIFY(theme.fontH2.pixelSize() > theme.fontRegular.pixelSize());
  QVERIFY(theme.fontH2.bold());
}

void TestTheme::parsesColours_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QColor>("expected");
  QTest::newRow("rgb upper") << QStringLiteral("#1C1D27") << QColor(0x1C, 0x1D, 0x27, 255);
  QTest::newRow("rgb lower") << QStringLiteral("#ffffff") << QColor(255, 255, 255, 255);
  // Theme files write alpha last; QColor's own parser would read it first.
  QTest::newRow("rgba alpha last") << QStringLiteral("#7F3Effcc") << QColor(0x7F, 0x3E, 0xFF, 0xCC);
  QTest::newRow("rgba transparent") << QStringLiteral("#3E3A5C0a") << QColor(0x3E, 0x3A, 0x5C, 0x0A);
}

void TestTheme::parsesColours() {
  QFETCH(QString, text);
  QFETCH(QColor, expected);
  QJsonObject object{{QStringLiteral("meta"), QJsonObject{{QStringLiteral("name"), QStringLiteral("T")}}},
                     {QStringLiteral("focusColor"), text}};
  const auto theme = Theme::fromJsonDoc(QJsonDocument(object));
  QVERIFY(theme.has_value());
  QCOMPARE(theme->focusColor.rgba(), expected.rgba());
  QCOMPARE(Theme::colorToHexString(theme->focusColor).toLower(), text.toLower());
}

void TestTheme::rejectsDocument_data() {
  QTest::addColumn<QByteArray>("json");
  QTest::newRow("array") << QByteArray(R"([{"meta": {"name": "X"}}])");
  QTest::newRow("not json") << QByteArray("{meta: ");
  QTest::newRow("empty") << QByteArray();
  QTest::newRow("no meta") << QByteArray(R"({"focusColor": "#ffffff"})");
  QTest::newRow("meta not object") << QByteArray(R"({"meta": "Dark"})");
  QTest::newRow("no name") << QByteArray(R"({"meta": {"version": "2.0.0"}})");
  QTest::newRow("empty name") << QByteArray(R"({"meta": {"name": ""}})");
  QTest::newRow("name not string") << QByteArray(R"({"meta": {"name": 3}})");
}

void TestTheme::rejectsDocument() {
  QFETCH(QByteArray, json);
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Theme document")));
  QVERIFY(!Theme::fromJsonData(json).has_value());
}

void TestTheme::keepsDefaultForBadColour_data() {
  QTest::addColumn<QByteArray>("value");
  QTest::newRow("number") << QByteArray("5");
  QTest::newRow("no hash") << QByteArray(R"("1C1D27")");
  QTest::newRow("short") << QByteArray(R"("#fff")");
  QTest::newRow("not hex") << QByteArray(R"("#zzzzzz")");
  QTest::newRow("named") << QByteArray(R"("red")");
  QTest::newRow("object") << QByteArray(R"({"r": 1})");
}

void TestTheme::keepsDefaultForBadColour() {
  QFETCH(QByteArray, value);
  const auto json = QByteArray(R"({"meta": {"name": "X"}, "primaryColor": )") + value +
                    QByteArray(R"(, "borderColor": "#123456"})");
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("primaryColor")));
  const auto theme = Theme::fromJsonData(json);
  QVERIFY(theme.has_value());
  QCOMPARE(theme->primaryColor, Theme().primaryColor);
  QCOMPARE(theme->borderColor, QColor(0x12, 0x34, 0x56));
  QCOMPARE(theme->meta.name, QStringLiteral("X"));
}

// A metric that is not a number keeps its default; the others still apply.
void TestTheme::readsMetrics() {
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("spacing")));
  const auto theme = Theme::fromJsonData(
      R"({"meta": {"name": "M", "version": "1.2.3", "author": "Me"}, "borderRadius": 3, "spacing": "big",
        "fontSizeH2": 40})");
  QVERIFY(theme.has_value());
  QCOMPARE(theme->meta.version, QStringLiteral("1.2.3"));
  QCOMPARE(theme->meta.author, QStringLiteral("Me"));
  QCOMPARE(theme->borderRadius, 3);
  QCOMPARE(theme->spacing, Theme().spacing);
  QCOMPARE(theme->fontH2.pixelSize(), 40);
}

void TestTheme::shippedThemesHaveEveryKey_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("name");
  QTest::newRow("dark") << QStringLiteral("dark.json") << QStringLiteral("Dark");
  QTest::newRow("light") << QStringLiteral("light.json") << QStringLiteral("Light");
}

void TestTheme::shippedThemesHaveEveryKey() {
  QFETCH(QString, file);
  QFETCH(QString, name);
  QFile source(QStringLiteral(ARVEXHUB_SOURCE_DIR "/resources/themes/") + file);
  QVERIFY(source.open(QIODevice::ReadOnly));
  const auto object = QJsonDocument::fromJson(source.readAll()).object();
  QStringList keys = object.keys();
  keys.removeOne(QStringLiteral("meta"));
  auto expected = Theme::colorKeys();
  keys.sort();
  expected.sort();
  QCOMPARE(keys, expected);

  const auto theme = Theme::fromJsonPath(source.fileName());
  QVERIFY(theme.has_value());
  QCOMPARE(theme->meta.name, name);
  QCOMPARE(theme->meta.version, QStringLiteral("2.0.0"));
  for (const auto& key : Theme::colorKeys()) {
    const auto written = object.value(key).toString();
    const auto* color = theme->colorByKey(key);
    QCOMPARE(color->name(QColor::HexRgb).toLower(), written.left(7).toLower());
    QCOMPARE(color->alpha(), written.size() == 9 ? written.mid(7).toInt(nullptr, 16) : 255);
  }
}

void TestTheme::missingFileIsRejected() {
  arvexhub::test::TestDir dir;
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Cannot read theme file")));
  QVERIFY(!Theme::fromJsonPath(dir.filePath(QStringLiteral("nothing.json"))).has_value());
}

QTEST_MAIN(TestTheme)
#include "tst_theme.moc"
