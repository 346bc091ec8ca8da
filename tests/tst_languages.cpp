#include "app/Common.h"
#include "app/Languages.h"

#include "TestDir.h"

#include <QMetaEnum>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace arvexhub::launcher;

class TestLanguages final : public QObject {
  Q_OBJECT

private slots:
  void compiledInLanguages() {
    QCOMPARE(languages::availableLanguages(u":/i18n/"_s), (QStringList{u"en_US"_s, u"fr_FR"_s}));
  }

  void listsOnlyOurCatalogues() {
    arvexhub::test::TestDir dir;
    for (const auto* name : {"ArvexHub_fr_FR.qm", "ArvexHub_en_US.qm", "qt_fr.qm", "qtArvexHub_de.qm",
                             "Other_de_DE.qm", "ArvexHub_de_DE.ts", "ArvexHub_es_ES.qm.bak"}) {
      QVERIFY(!dir.createFile(QString::fromLatin1(name), "x").isEmpty());
    }
    QVERIFY(!dir.createDir(u"ArvexHub_it_IT.qm"_s).isEmpty()); // a folder is no catalogue
    QCOMPARE(languages::availableLanguages(dir.path()), (QStringList{u"en_US"_s, u"fr_FR"_s}));
    QCOMPARE(languages::availableLanguages(dir.filePath(u"missing"_s)), QStringList());
  }

  void startupLanguage_data() {
    QTest::addColumn<QStringList>("available");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("expected");
    const QStringList both{u"en_US"_s, u"fr_FR"_s};
    QTest::newRow("nothing available") << QStringList() << u"fr_FR"_s << u"fr_FR"_s << QString();
    QTest::newRow("nothing saved") << QStringList{u"fr_FR"_s, u"en_US"_s} << QString() << u"en_US"_s
                                   << u"fr_FR"_s;
    QTest::newRow("saved wins over system") << both << u"fr_FR"_s << u"en_US"_s << u"fr_FR"_s;
    QTest::newRow("unknown saved, system known") << both << u"de_DE"_s << u"fr_FR"_s << u"fr_FR"_s;
    QTest::newRow("unknown saved and system") << both << u"de_DE"_s << u"it_IT"_s << u"en_US"_s;
    QTest::newRow("match is case-sensitive") << both << u"fr_fr"_s << u"it_IT"_s << u"en_US"_s;
    QTest::newRow("no English, first one")
        << QStringList{u"fr_FR"_s, u"de_DE"_s} << u"it_IT"_s << u"es_ES"_s << u"fr_FR"_s;
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
    QTest::newRow("American English") << u"en_US"_s << u"English"_s;
    QTest::newRow("French") << u"fr_FR"_s << u"Français"_s;
    QTest::newRow("German") << u"de_DE"_s << u"Deutsch"_s;
  }

  void languageNames() {
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(Common::languageName(locale), expected);
  }

  void flags_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("hasFlag");
    QTest::newRow("en_US") << u"en_US"_s << true;
    QTest::newRow("fr_FR") << u"fr_FR"_s << true;
    QTest::newRow("fr_CA") << u"fr_CA"_s << false;
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
