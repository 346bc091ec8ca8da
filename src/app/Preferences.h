#pragma once

#include <QObject>
#include <QSettings>
#include <QStringList>

namespace arvexhub::launcher {

/// The user's persistent settings: one typed getter, setter and change signal per setting.
/// Setters write and signal only on a real change, so a default never written counts as set.
class Preferences final : public QObject {
  Q_OBJECT

public:
  explicit Preferences(QObject* parent = nullptr);
  ~Preferences() override;
  Q_DISABLE_COPY_MOVE(Preferences)

  QString appLanguage() const;
  void setAppLanguage(const QString& language);
  bool appPropertiesPanelVisible() const;
  void setAppPropertiesPanelVisible(bool visible);
  bool appConsoleVisible() const;
  void setAppConsoleVisible(bool visible);
  QString appTheme() const;
  void setAppTheme(const QString& theme);
  QStringList gameList() const;
  void setGameList(const QStringList& list);
  void addGameToList(const QString& path);
  QString appLastOpenedPath() const;
  void setAppLastOpenedPath(const QString& path);
  QString appLastConsoleSavePath() const;
  void setAppLastConsoleSavePath(const QString& path);
  bool appWarnBeforeGameRemoval() const;
  void setAppWarnBeforeGameRemoval(bool warn);
  bool gameEnableAudio() const;
  void setGameEnableAudio(bool enabled);
  bool gameForceSoftwareRendering() const;
  void setGameForceSoftwareRendering(bool force);
  bool gameFullScreen() const;
  void setGameFullScreen(bool fullScreen);
  bool gameSuspendWhenUnfocused() const;
  void setGameSuspendWhenUnfocused(bool suspend);
  /// How many downloads transfer at once, 1 to 4.
  int appMaxDownloads() const;
  void setAppMaxDownloads(int count);
  QByteArray windowGeometry() const;
  void setWindowGeometry(const QByteArray& geometry);
  QByteArray windowSplitterState() const;
  void setWindowSplitterState(const QByteArray& state);
  /// The console's last commands, oldest first.
  QStringList consoleCommandHistory() const;
  void setConsoleCommandHistory(const QStringList& history);
  /// The media player's volume in percent (0 to 100) and its mute switch.
  int playerVolume() const;
  void setPlayerVolume(int percent);
  bool playerMuted() const;
  void setPlayerMuted(bool muted);
  /// A library tab's sort order and row filter, by the kind's folder name ("games"); empty when
  /// never chosen.
  QString librarySortOrder(const QString& kind) const;
  void setLibrarySortOrder(const QString& kind, const QString& order);
  QString libraryFilter(const QString& kind) const;
  void setLibraryFilter(const QString& kind, const QString& filter);

  /// Puts back the defaults of the language, theme and flags; paths, the game list and the
  /// window state are kept.
  void resetToDefaults();

signals:
  void appLanguageChanged();
  void appPropertiesPanelVisibleChanged();
  void appConsoleVisibleChanged();
  void appThemeChanged();
  void gameListChanged();
  void appLastOpenedPathChanged();
  void appLastConsoleSavePathChanged();
  void appWarnBeforeGameRemovalChanged();
  void gameEnableAudioChanged();
  void gameForceSoftwareRenderingChanged();
  void gameFullScreenChanged();
  void gameSuspendWhenUnfocusedChanged();
  void consoleCommandHistoryChanged();
  void playerVolumeChanged();
  void playerMutedChanged();
  void appMaxDownloadsChanged();
  void libraryViewChanged();

private:
  template <typename T>
  void writeIfChanged(const QString& key, const T& current, const T& value, void (Preferences::*signal)());
  void writeList(const QStringList& list);

  QSettings settings_;
};

} // namespace arvexhub::launcher
