#include "app/Preferences.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using arvexhub::launcher::Preferences;

namespace {

using BoolGetter = bool (Preferences::*)() const;
using BoolSetter = void (Preferences::*)(bool);
using StringGetter = QString (Preferences::*)() const;
using StringSetter = void (Preferences::*)(const QString&);
using Signal = void (Preferences::*)();

struct BoolSetting {
  const char* key;
  BoolGetter getter;
  BoolSetter setter;
  Signal changed;
  bool defaultValue;
};

const BoolSetting boolSettings[] = {
    {"app/propertiesPanelVisible", &Preferences::appPropertiesPanelVisible,
     &Preferences::setAppPropertiesPanelVisible, &Preferences::appPropertiesPanelVisibleChanged, false},
    {"app/appConsoleVisible", &Preferences::appConsoleVisible, &Preferences::setAppConsoleVisible,
     &Preferences::appConsoleVisibleChanged, false},
    {"app/warnBeforeGameRemoval", &Preferences::appWarnBeforeGameRemoval,
     &Preferences::setAppWarnBeforeGameRemoval, &Preferences::appWarnBeforeGameRemovalChanged, true},
    {"games/enableAudio", &Preferences::gameEnableAudio, &Preferences::setGameEnableAudio,
     &Preferences::gameEnableAudioChanged, true},
    {"games/forceSoftwareRendering", &Preferences::gameForceSoftwareRendering,
     &Preferences::setGameForceSoftwareRendering, &Preferences::gameForceSoftwareRenderingChanged, false},
    {"games/fullScreen", &Preferences::gameFullScreen, &Preferences::setGameFullScreen,
     &Preferences::gameFullScreenChanged, false},
    {"games/suspendWhenUnFocused", &Preferences::gameSuspendWhenUnfocused,
     &Preferences::setGameSuspendWhenUnfocused, &Preferences::gameSuspendWhenUnfocusedChanged, true},
};

struct StringSetting {
  const char* key;
  StringGetter getter;
  StringSetter setter;
  Signal changed;
};

const StringSetting stringSettings[] = {
    {"app/language", &Preferences::appLanguage, &Preferences::setAppLanguage,
     &Preferences::appLanguageChanged},
    {"app/theme", &Preferences::appTheme, &Preferences::setAppTheme, &Preferences::appThemeChanged},
    {"app/lastOpenedPath", &Preferences::appLastOpenedPath, &Preferences::setAppLastOpenedPath,
     &Preferences::appLastOpenedPathChanged},
    {"app/lastConsoleSavePath", &Preferences::appLastConsoleSavePath, &Preferences::setAppLastConsoleSavePath,
     &Preferences::appLastConsoleSavePathChanged},
};

QString documentsFolder() {
  const auto locations = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation);
  return locations.size() == 1 ? locations.first() : QString();
}

/// Every change signal of the preferences, counted in one place.
class AllSignals {
public:
  explicit AllSignals(Preferences* preferences) {
    const auto* meta = preferences->metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
      if (meta->method(i).methodType() == QMetaMethod::Signal) {
        spies_.push_back(std::make_unique<QSignalSpy>(preferences, meta->method(i)));
      }
    }
  }
  QStringList names() const {
    QStringList names;
    for (const auto& spy : spies_) {
      for (int i = 0; i < spy->count(); ++i) {
        names.append(QString::fromLatin1(spy->signal()));
      }
    }
    return names;
  }

private:
  std::vector<std::unique_ptr<QSignalSpy>> spies_;
};

} // namespace

Q_DECLARE_METATYPE(BoolSetting)
Q_DECLARE_METATYPE(StringSetting)

class TestPreferences final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    QCoreApplication::setOrganizationName(QStringLiteral("Arvex Games"));
    QCoreApplication::setApplicationName(QStringLiteral("Arvex Hub"));
  }

  void init() {
    auto settings = store();
    settings.clear();
    settings.sync();
    preferences_ = std::make_unique<Preferences>();
  }

  void cleanup() {
    preferences_.reset();
  }

  void defaults() {
    QCOMPARE(preferences_->appLanguage(), QStringLiteral("en_US"));
    QCOMPARE(preferences_->appTheme(), QStringLiteral("Dark"));
    QCOMPARE(preferences_->gameList(), QStringList());
    QCOMPARE(preferences_->appLastOpenedPath(), documentsFolder());
    QCOMPARE(preferences_->appLastConsoleSavePath(), documentsFolder());
    QVERIFY(preferences_->windowGeometry().isEmpty());
    QVERIFY(preferences_->windowSplitterState().isEmpty());
    for (const auto& setting : boolSettings) {
      QCOMPARE((preferences_.get()->*setting.getter)(), setting.defaultValue);
    }
    // The store is named after the organisation and application, lower case, dashes for spaces.
    QVERIFY(store().fileName().endsWith(QStringLiteral("arvex-games/arvex-hub.conf")));
  }

  void boolSetterWritesAndSignalsOnlyOnChange_data() {
    QTest::addColumn<BoolSetting>("setting");
    for (const auto& setting : boolSettings) {
      QTest::newRow(setting.key) << setting;
    }
  }
  void boolSetterWritesAndSignalsOnlyOnChange() {
    QFETCH(BoolSetting, setting);
    auto* preferences = preferences_.get();
    QSignalSpy spy(preferences, setting.changed);
    const auto key = QString::fromLatin1(setting.key);

    (preferences->*setting.setter)(setting.defaultValue);
    QCOMPARE(spy.count(), 0);
    QVERIFY(!store().contains(key));

    (preferences->*setting.setter)(!setting.defaultValue);
    QCOMPARE(spy.count(), 1);
    QCOMPARE((preferences->*setting.getter)(), !setting.defaultValue);
    QCOMPARE(store().value(key).toBool(), !setting.defaultValue);

    (preferences->*setting.setter)(!setting.defaultValue);
    QCOMPARE(spy.count(), 1);
  }

  void stringSetterWritesAndSignalsOnlyOnChange_data() {
    QTest::addColumn<StringSetting>("setting");
    for (const auto& setting : stringSettings) {
      QTest::newRow(setting.key) << setting;
    }
  }
  void stringSetterWritesAndSignalsOnlyOnChange() {
    QFETCH(StringSetting, setting);
    auto* preferences = preferences_.get();
    QSignalSpy spy(preferences, setting.changed);
    const auto key = QString::fromLatin1(setting.key);

    (preferences->*setting.setter)((preferences->*setting.getter)());
    QCOMPARE(spy.count(), 0);
    QVERIFY(!store().contains(key));

    (preferences->*setting.setter)(QStringLiteral("Value"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(store().value(key).toString(), QStringLiteral("Value"));
    (preferences->*setting.setter)(QStringLiteral("value")); // compared exactly
    QCOMPARE(spy.count(), 2);
    (preferences->*setting.setter)(QStringLiteral("value"));
    QCOMPARE(spy.count(), 2);
  }

  void gameListSignalsOnlyOnChange() {
    QSignalSpy spy(preferences_.get(), &Preferences::gameListChanged);
    const auto path = QStringLiteral("/games/Alpha/launcher.command");
    preferences_->addGameToList(path);
    preferences_->addGameToList(path);
    QCOMPARE(spy.count(), 1);
    preferences_->addGameToList(path.toUpper());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(preferences_->gameList(), (QStringList{path, path.toUpper()}));
    QCOMPARE(store().value(QStringLiteral("app/gameList")).toStringList(), preferences_->gameList());

    const QStringList list{QStringLiteral("a"), QStringLiteral("b")};
    preferences_->setGameList(list);
    preferences_->setGameList(list);
    QCOMPARE(spy.count(), 3);
    preferences_->setGameList({QStringLiteral("b"), QStringLiteral("a")}); // order counts
    QCOMPARE(spy.count(), 4);
    preferences_->setGameList({});
    preferences_->setGameList({});
    QCOMPARE(spy.count(), 5);
  }

  void windowStateIsWrittenWithoutSignal() {
    AllSignals emitted(preferences_.get());
    preferences_->setWindowGeometry(QByteArray("geometry"));
    preferences_->setWindowSplitterState(QByteArray("splitter"));
    QCOMPARE(preferences_->windowGeometry(), QByteArray("geometry"));
    QCOMPARE(preferences_->windowSplitterState(), QByteArray("splitter"));
    QCOMPARE(store().value(QStringLiteral("window/geometry")).toByteArray(), QByteArray("geometry"));
    QCOMPARE(emitted.names(), QStringList());
  }

  void resetRestoresDefaultsAndKeepsTheRest() {
    {
      AllSignals emitted(preferences_.get());
      preferences_->resetToDefaults(); // on the defaults: silent
      QCOMPARE(emitted.names(), QStringList());
    }
    preferences_->setAppLanguage(QStringLiteral("fr_FR"));
    preferences_->setAppTheme(QStringLiteral("Light"));
    preferences_->setAppConsoleVisible(true);
    preferences_->setGameSuspendWhenUnfocused(false);
    preferences_->setGameList({QStringLiteral("kept")});
    preferences_->setAppLastOpenedPath(QStringLiteral("/kept"));
    preferences_->setWindowGeometry(QByteArray("kept"));

    AllSignals emitted(preferences_.get());
    preferences_->resetToDefaults();
    QCOMPARE(emitted.names().size(), 4);
    QVERIFY(emitted.names().contains(QStringLiteral("appLanguageChanged()")));
    QVERIFY(emitted.names().contains(QStringLiteral("appThemeChanged()")));
    QVERIFY(emitted.names().contains(QStringLiteral("appConsoleVisibleChanged()")));
    QVERIFY(emitted.names().contains(QStringLiteral("gameSuspendWhenUnfocusedChanged()")));
    QCOMPARE(preferences_->appLanguage(), QStringLiteral("en_US"));
    QCOMPARE(preferences_->appTheme(), QStringLiteral("Dark"));
    QCOMPARE(preferences_->gameList(), QStringList{QStringLiteral("kept")});
    QCOMPARE(preferences_->appLastOpenedPath(), QStringLiteral("/kept"));
    QCOMPARE(preferences_->windowGeometry(), QByteArray("kept"));
  }

  void valuesSurviveTheObject() {
    preferences_->setGameFullScreen(true);
    preferences_.reset();
    QVERIFY(store().value(QStringLiteral("games/fullScreen")).toBool());
    preferences_ = std::make_unique<Preferences>();
    QVERIFY(preferences_->gameFullScreen());
  }

private:
  QSettings store() const {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("arvex-games"),
                     QStringLiteral("arvex-hub"));
  }
  std::unique_ptr<Preferences> preferences_;
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
