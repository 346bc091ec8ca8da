#pragma once

#include "library/GameData.h"
#include "library/ItemListModel.h"

namespace arvexhub::launcher {

template <>
struct RecordTraits<GameData> : ItemTraits<GameData> {
  using Roles = RoleFields<&GameData::path, &GameData::isPlaying, &GameData::updateAvailable,
                           &GameData::isBusy, &GameData::downloadProgress>;
  static_assert(Roles::count == GameRole::DownloadProgress - firstItemRole + 1, "a field for every role");
  static constexpr CatalogueText<GameData> texts[] = {{"fullName", &GameData::fullName},
                                                      {"developer", &GameData::developer},
                                                      {"publisher", &GameData::publisher}};
  static constexpr auto picture = &GameData::icon;
  static constexpr auto playingMark = &GameData::isPlaying;
  static constexpr int playingRole = 0; // a game's row is refreshed whole
  static constexpr bool decorated = true;

  static const QString& displayText(const GameData& game) {
    return game.name;
  }
  static bool isInstalled(const GameData& game) {
    return !game.path.isEmpty();
  }
  static void foundOnDisk(GameData& game) {
    game.downloadProgress = 1.0; // counts as fully downloaded
  }
  static void readExtra(GameData& game, const QJsonObject& entry);
  static void mergeInto(GameData& row, const GameData& entry);
  static GameData catalogueOnly(const GameData& entry);
  static void markInstalled(GameData& game);
  static void markFailed(GameData& game);
  static void markRemoved(GameData&) {} // a game's row goes with its folder (removeGame)
  static bool hasUpdate(const GameData& game) {
    return game.updateAvailable && isInstalled(game);
  }
  static QString installedVersion(const GameData& game);
  static QString offeredVersion(const GameData& game) {
    return game.version;
  }
};

/// Every installed game, then every game only the catalogue offers. The views show its proxy.
class GameListModel final : public ItemListModel<GameData> {
  Q_OBJECT

public:
  explicit GameListModel(QObject* parent = nullptr);
  ~GameListModel() override;
  Q_DISABLE_COPY_MOVE(GameListModel)

  void addGameFolder(const QString& folder) {
    scanFolder(folder);
  }
  void addGame(const QString& commandFilePath) {
    addInstalledNow(commandFilePath);
  }
  /// Removes the game's row and deletes its folder, which must be a direct child of the games
  /// folder; symbolic links are never followed.
  void removeGame(const QString& gameFolderPath);
  int gameRowByPath(const QString& path) const {
    return rowByPath(path);
  }
  int gameRowByName(const QString& name) const {
    return rowByName(name);
  }
  /// The first game of that name (any case), or an empty record kept for the program's life.
  const GameData& gameDataByName(const QString& name) const;

  QString currentGameName() const {
    return currentName();
  }
  void setCurrentGameName(const QString& name) {
    setCurrentName(name);
  }
  QString currentPlayingGame() const {
    return playingPath();
  }
  void setCurrentPlayingGame(const QString& path) {
    setPlayingPath(path);
  }

  /// The installed version in the game's "VERSION" file; "0" when there is none.
  static QString getLocalVersion(const QString& path);

  void removeItem(const QString& gameFolderPath) override {
    removeGame(gameFolderPath);
  }

public slots:
  /// The catalogue's reply handler.
  void onGameListDownloaded() {
    onCatalogueDownloaded();
  }
  void downloadAndInstallGame(const QString& gameName, const QUrl& downloadUrl);

signals:
  void currentGameChanged(const QString& name);
  void currentPlayingGameChanged(const QString& path);
  void gameDownloadFinished(const QString& gameName);

protected:
  bool acceptsInstalled(const GameData& game) const override {
    return rowByPath(game.path) < 0;
  }
  void downloadItem(const QString& name) override {
    const int row = rowByName(name);
    if (row >= 0) {
      downloadAndInstallGame(name, rows_[row].url);
    }
  }
};

} // namespace arvexhub::launcher
