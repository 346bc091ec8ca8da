#pragma once

#include "library/GameData.h"
#include "library/ItemListModel.h"

namespace arvexhub::launcher {

template <>
struct RecordTraits<GameData> {
  static QPixmap& picture(GameData& game) {
    return game.icon;
  }
  static const QPixmap& picture(const GameData& game) {
    return game.icon;
  }
  static const QString& displayText(const GameData& game) {
    return game.name;
  }
  static bool isInstalled(const GameData& game) {
    return !game.path.isEmpty();
  }
  static GameData fromDisk(const QString& startScript);
  static QString pictureFile(const GameData& game);
  static GameData fromCatalogue(const QJsonObject& entry);
  static void mergeInto(GameData& row, const GameData& entry);
  static GameData catalogueOnly(const GameData& entry);
  static void markInstalled(GameData& row, const QString& startScript);
  static void markFailed(GameData& row);
  static void setPictureFile(GameData&, const QString&) {}
};

/// Every installed game, then every game only the catalogue offers. The views show its proxy.
class GameListModel final : public ItemListModel<GameData> {
  Q_OBJECT

public:
  explicit GameListModel(QObject* parent = nullptr);
  ~GameListModel() override;
  Q_DISABLE_COPY_MOVE(GameListModel)

  void addGameFolder(const QString& folder);
  void addGame(const QString& commandFilePath);
  /// Removes the game's row and deletes its folder, which must be a direct child of the games
  /// folder; symbolic links are never followed.
  void removeGame(const QString& gameFolderPath);
  int gameRowByPath(const QString& path) const;
  int gameRowByName(const QString& name) const;
  /// The first game of that name (any case), or an empty record kept for the program's life.
  const GameData& gameDataByName(const QString& name) const;

  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  QString currentGameName() const;
  void setCurrentGameName(const QString& name);
  QString currentPlayingGame() const;
  void setCurrentPlayingGame(const QString& path);

  /// The installed version in the game's "VERSION" file; "0" when there is none.
  static QString getLocalVersion(const QString& path);

public slots:
  /// The catalogue's reply handler.
  void onGameListDownloaded();
  void downloadAndInstallGame(const QString& gameName, const QUrl& downloadUrl);

signals:
  void currentGameChanged(const QString& name);
  void currentPlayingGameChanged(const QString& path);
  void gameDownloadFinished(const QString& gameName);

protected:
  void itemInstalled(const QString& name) override;
  int progressRole() const override;
  bool acceptsInstalled(const GameData& game) const override;

private:
  QString currentGameName_;
  QString currentPlayingGame_;
};

} // namespace arvexhub::launcher
