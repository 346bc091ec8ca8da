#include "app/Preferences.h"

#include "app/Common.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace arvexhub::launcher {
namespace {

const QString keyLanguage = QStringLiteral("app/language");
const QString keyPropertiesPanel = QStringLiteral("app/propertiesPanelVisible");
const QString keyConsole = QStringLiteral("app/appConsoleVisible");
const QString keyTheme = QStringLiteral("app/theme");
const QString keyGameList = QStringLiteral("app/gameList");
const QString keyLastOpenedPath = QStringLiteral("app/lastOpenedPath");
const QString keyLastConsoleSavePath = QStringLiteral("app/lastConsoleSavePath");
const QString keyWarnBeforeRemoval = QStringLiteral("app/warnBeforeGameRemoval");
const QString keyEnableAudio = QStringLiteral("games/enableAudio");
const QString keyForceSoftwareRendering = QStringLiteral("games/forceSoftwareRendering");
const QString keyFullScreen = QStringLiteral("games/fullScreen");
const QString keySuspendWhenUnfocused = QStringLiteral("games/suspendWhenUnFocused");
const QString keyMaxDownloads = QStringLiteral("app/maxDownloads");
constexpr int defaultMaxDownloads = 2;
const QString keyWindowGeometry = QStringLiteral("window/geometry");
const QString keySplitterState = QStringLiteral("window/splitterState");
const QString keyCommandHistory = QStringLiteral("app/consoleCommandHistory");
const QString keyPlayerVolume = QStringLiteral("app/playerVolume");
const QString keyPlayerMuted = QStringLiteral("app/playerMuted");
const QString defaultLanguage = QStringLiteral("en_US");

/// "Arvex Hub" -> "arvex-hub": the store's folder and file names.
QString storeName(const QString& name) {
  return name.toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
}

/// The documents locations, as a list: read back as a string it gives the documents folder
/// when there is exactly one, and an empty string otherwise. Computed once.
const QVariant& documentsDefault() {
  static const QVariant locations =
      QVariant(QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation));
  return locations;
}

const QString& themeDefault() {
  static const QString theme = Common::darkThemeId();
  return theme;
}

} // namespace

Preferences::Preferences(QObject* parent)
    : QObject(parent)
    , settings_(QSettings::NativeFormat, QSettings::UserScope,
                storeName(QCoreApplication::organizationName()),
                storeName(QCoreApplication::applicationName())) {}

Preferences::~Preferences() {
  settings_.sync();
}

template <typename T>
void Preferences::writeIfChanged(const QString& key, const T& current, const T& value,
                                 void (Preferences::*signal)()) {
  if (current == value) {
    return;
  }
  settings_.setValue(key, value);
  emit(this->*signal)();
}

QString Preferences::appLanguage() const {
  return settings_.value(keyLanguage, defaultLanguage).toString();
}

void Preferences::setAppLanguage(const QString& language) {
  writeIfChanged(keyLanguage, appLanguage(), language, &Preferences::appLanguageChanged);
}

bool Preferences::appPropertiesPanelVisible() const {
  return settings_.value(keyPropertiesPanel, false).toBool();
}

void Preferences::setAppPropertiesPanelVisible(bool visible) {
  writeIfChanged(keyPropertiesPanel, appPropertiesPanelVisible(), visible,
                 &Preferences::appPropertiesPanelVisibleChanged);
}

bool Preferences::appConsoleVisible() const {
  return settings_.value(keyConsole, false).toBool();
}

void Preferences::setAppConsoleVisible(bool visible) {
  writeIfChanged(keyConsole, appConsoleVisible(), visible, &Preferences::appConsoleVisibleChanged);
}

QString Preferences::appTheme() const {
  return settings_.value(keyTheme, themeDefault()).toString();
}

void Preferences::setAppTheme(const QString& theme) {
  writeIfChanged(keyTheme, appTheme(), theme, &Preferences::appThemeChanged);
}

QStringList Preferences::gameList() const {
  return settings_.value(keyGameList, QStringList()).toStringList();
}

void Preferences::setGameList(const QStringList& list) {
  if (gameList() != list) {
    writeList(list);
  }
}

void Preferences::addGameToList(const QString& path) {
  auto list = gameList();
  if (!list.contains(path, Qt::CaseSensitive)) {
    list.append(path);
    writeList(list);
  }
}

void Preferences::writeList(const QStringList& list) {
  settings_.setValue(keyGameList, list);
  emit gameListChanged();
}

QString Preferences::appLastOpenedPath() const {
  return settings_.value(keyLastOpenedPath, documentsDefault()).toString();
}

void Preferences::setAppLastOpenedPath(const QString& path) {
  writeIfChanged(keyLastOpenedPath, appLastOpenedPath(), path, &Preferences::appLastOpenedPathChanged);
}

QString Preferences::appLastConsoleSavePath() const {
  return settings_.value(keyLastConsoleSavePath, documentsDefault()).toString();
}

void Preferences::setAppLastConsoleSavePath(const QString& path) {
  writeIfChanged(keyLastConsoleSavePath, appLastConsoleSavePath(), path,
                 &Preferences::appLastConsoleSavePathChanged);
}

bool Preferences::appWarnBeforeGameRemoval() const {
  return settings_.value(keyWarnBeforeRemoval, true).toBool();
}

void Preferences::setAppWarnBeforeGameRemoval(bool warn) {
  writeIfChanged(keyWarnBeforeRemoval, appWarnBeforeGameRemoval(), warn,
                 &Preferences::appWarnBeforeGameRemovalChanged);
}

bool Preferences::gameEnableAudio() const {
  return settings_.value(keyEnableAudio, true).toBool();
}

void Preferences::setGameEnableAudio(bool enabled) {
  writeIfChanged(keyEnableAudio, gameEnableAudio(), enabled, &Preferences::gameEnableAudioChanged);
}

bool Preferences::gameForceSoftwareRendering() const {
  return settings_.value(keyForceSoftwareRendering, false).toBool();
}

void Preferences::setGameForceSoftwareRendering(bool force) {
  writeIfChanged(keyForceSoftwareRendering, gameForceSoftwareRendering(), force,
                 &Preferences::gameForceSoftwareRenderingChanged);
}

bool Preferences::gameFullScreen() const {
  return settings_.value(keyFullScreen, false).toBool();
}

void Preferences::setGameFullScreen(bool fullScreen) {
  writeIfChanged(keyFullScreen, gameFullScreen(), fullScreen, &Preferences::gameFullScreenChanged);
}

bool Preferences::gameSuspendWhenUnfocused() const {
  return settings_.value(keySuspendWhenUnfocused, true).toBool();
}

void Preferences::setGameSuspendWhenUnfocused(bool suspend) {
  writeIfChanged(keySuspendWhenUnfocused, gameSuspendWhenUnfocused(), suspend,
                 &Preferences::gameSuspendWhenUnfocusedChanged);
}

QByteArray Preferences::windowGeometry() const {
  return settings_.value(keyWindowGeometry, QByteArray()).toByteArray();
}

void Preferences::setWindowGeometry(const QByteArray& geometry) {
  settings_.setValue(keyWindowGeometry, geometry);
}

QByteArray Preferences::windowSplitterState() const {
  return settings_.value(keySplitterState, QByteArray()).toByteArray();
}

void Preferences::setWindowSplitterState(const QByteArray& state) {
  settings_.setValue(keySplitterState, state);
}

QStringList Preferences::consoleCommandHistory() const {
  return settings_.value(keyCommandHistory, QStringList()).toStringList();
}

void Preferences::setConsoleCommandHistory(const QStringList& history) {
  writeIfChanged(keyCommandHistory, consoleCommandHistory(), history,
                 &Preferences::consoleCommandHistoryChanged);
}

int Preferences::playerVolume() const {
  return qBound(0, settings_.value(keyPlayerVolume, 100).toInt(), 100);
}

void Preferences::setPlayerVolume(int percent) {
  writeIfChanged(keyPlayerVolume, playerVolume(), qBound(0, percent, 100), &Preferences::playerVolumeChanged);
}

bool Preferences::playerMuted() const {
  return settings_.value(keyPlayerMuted, false).toBool();
}

void Preferences::setPlayerMuted(bool muted) {
  writeIfChanged(keyPlayerMuted, playerMuted(), muted, &Preferences::playerMutedChanged);
}

int Preferences::appMaxDownloads() const {
  return qBound(1, settings_.value(keyMaxDownloads, defaultMaxDownloads).toInt(), 4);
}

void Preferences::setAppMaxDownloads(int count) {
  writeIfChanged(keyMaxDownloads, appMaxDownloads(), qBound(1, count, 4),
                 &Preferences::appMaxDownloadsChanged);
}

QString Preferences::librarySortOrder(const QString& kind) const {
  return settings_.value(QStringLiteral("window/%1SortOrder").arg(kind)).toString();
}

void Preferences::setLibrarySortOrder(const QString& kind, const QString& order) {
  writeIfChanged(QStringLiteral("window/%1SortOrder").arg(kind), librarySortOrder(kind), order,
                 &Preferences::libraryViewChanged);
}

QString Preferences::libraryFilter(const QString& kind) const {
  return settings_.value(QStringLiteral("window/%1Filter").arg(kind)).toString();
}

void Preferences::setLibraryFilter(const QString& kind, const QString& filter) {
  writeIfChanged(QStringLiteral("window/%1Filter").arg(kind), libraryFilter(kind), filter,
                 &Preferences::libraryViewChanged);
}

void Preferences::resetToDefaults() {
  setAppLanguage(defaultLanguage);
  setAppPropertiesPanelVisible(false);
  setAppConsoleVisible(false);
  setAppTheme(themeDefault());
  setAppWarnBeforeGameRemoval(true);
  setGameEnableAudio(true);
  setGameForceSoftwareRendering(false);
  setGameFullScreen(false);
  setGameSuspendWhenUnfocused(true);
  setAppMaxDownloads(defaultMaxDownloads);
}

} // namespace arvexhub::launcher
