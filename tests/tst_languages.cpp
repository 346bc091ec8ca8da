#include "app/Common.h"
#include "app/Languages.h"

#include "TestDir.h"

#include <QMetaEnum>
#include <QtTest>

using namespace arvexhub::launcher;

class TestLanguages final : public QObject {
  Q_OBJECT

private slots:
  void compiledInLanguages() {
    QCOMPARE(languages::availableLanguages(QStringLiteral(":/i18n/")),
             (QStringList{QStringLiteral("en_US"), QStringLiteral("fr_FR")}));
  }

  void listsOnlyOurCatalogues() {
    arvexhub::test::TestDir dir;
    for (const auto* name : {"ArvexHub_fr_FR.qm", "ArvexHub_en_US.qm", "qt_fr.qm", "qtArvexHub_de.qm",
                             "Other_de_DE.qm", "ArvexHub_de_DE.ts", "ArvexHub_es_ES.qm.bak"}) {
      QVERIFY(!dir.createFile(QString::fromLatin1(name), "x").isEmpty());
    }
    QVERIFY(!dir.createDir(QStringLiteral("ArvexHub_it_IT.qm")).isEmpty()); // a folder is no catalogue
    QCOMPARE(languages::availableLanguages(dir.path()),
             (QStringList{QStringLiteral("en_US"), QStringLiteral("fr_FR")}));
    QCOMPARE(languages::availableLanguages(dir.filePath(QStringLiteral("missing"))), QStringList());
  }

  void startupLanguage_data() {
    QTest::addColumn<QStringList>("available");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("expected");
    const QStringList both{QStringLiteral("en_US"), QStringLiteral("fr_FR")};
    QTest::newRow("nothing available")
        << QStringList() << QStringLiteral("fr_FR") << QStringLiteral("fr_FR") << QString();
    QTest::newRow("nothing saved") << QStringList{QStringLiteral("fr_FR"), QStringLiteral("en_US")}
                                   << QString() << QStringLiteral("en_US") << QStringLiteral("fr_FR");
    QTest::newRow("saved wins over system")
        << both << QStringLiteral("fr_FR") << QStringLiteral("en_US") << QStringLiteral("fr_FR");
    QTest::newRow("unknown saved, system known")
        << both << QStringLiteral("de_DE") << QStringLiteral("fr_FR") << QStringLiteral("fr_FR");
    QTest::newRow("unknown saved and system")
        << both << QStringLiteral("de_DE") << QStringLiteral("it_IT") << QStringLiteral("en_US");
    QTest::newRow("match is case-sensitive")
        << both << QStringLiteral("fr_fr") << QStringLiteral("it_IT") << QStringLiteral("en_US");
    QTest::newRow("no English, first one")
        << QStringList{QStringLiteral("fr_FR"), QStringLiteral("de_DE")} << QStringLiteral("it_IT")
        << QStringLiteral("es_ES") << QStringLiteral("fr_FR");
  }

  void startupLanguage() {
    QFETCH(QStringList, available);
    QFETCH(QString, saved);
    QFETCH(QString, system);
    QFETCH(QString, expected);
    QCOMPARE(languages::chooseStartupLanguage(available, saved, system), expected);
  }

  void languageNames_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("American English") << QStringLiteral("en_US") << QStringLiteral("English");
    QTest::newRow("French") << QStringLiteral("fr_FR") << QStringLiteral("Français");
    QTest::newRow("German") << QStringLiteral("de_DE") << QStringLiteral("Deutsch");
  }

  void languageNames() {
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(Common::languageName(locale), expected);
  }

  void flags_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("hasFlag");
    QTest::newRow("en_US") << QStringLiteral("en_US") << true;
    QTest::newRow("fr_FR") << QStringLiteral("fr_FR") << true;
    QTest::newRow("fr_CA") << QStringLiteral("fr_CA") << false;
    QTest::newRow("empty") << QString() << false;
  }

  void flags() {
    QFETCH(QString, locale);
    QFETCH(bool, hasFlag);
    const auto icon = Common::languageIcon(locale);
    QCOMPARE(!icon.pixmap(24, 18).isNull(), hasFlag);
  }

  void ageIcons() {
    for (const auto rating :
         {Common::AgeRating::All, Common::AgeRating::Warning, Common::AgeRating::Restricted}) {
      QVERIFY(!Common::ageIcon(rating).pixmap(32, 32).isNull());
    }
    QVERIFY(Common::ageIcon(Common::AgeRating::Unknown).isNull());
    QVERIFY(Common::ageIcon(static_cast<Common::AgeRating>(42)).isNull());
  }

  void enumerationsAreRegistered() {
    const auto rating = QMetaEnum::fromType<Common::AgeRating>();
    QCOMPARE(QByteArray(rating.valueToKey(3)), QByteArray("Restricted"));
    const auto control = QMetaEnum::fromType<Common::Control>();
    QCOMPARE(QByteArray(control.valueToKey(4)), QByteArray("Joypad"));
    const Common::Controls controls = Common::Control::Keyboard | Common::Control::Mouse;
    QVERIFY(controls.testFlag(Common::Control::Mouse));
    QVERIFY(!controls.testFlag(Common::Control::Joypad));
  }
};

QTEST_MAIN(TestLanguages)
#include "tst_languages.moc"
