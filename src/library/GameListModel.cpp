#include "library/GameListModel.h"

#include "library/Versions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtDebug>

namespace arvexhub::launcher {
namespace {

LibraryKind gamesKind() {
  LibraryKind kind(QStringLiteral("games"), QStringLiteral("/games.json"), QStringLiteral("gamelist"),
                   QStringLiteral("*.command"));
  kind.mainFileExecutable = true;
  kind.itemOfPath = ItemOfPath::AbsolutePath;
  kind.removeFailedLog = QStringLiteral("Could not remove the game folder:");
  return kind;
}

} // namespace

void RecordTraits<GameData>::readExtra(GameData& game, const QJsonObject& entry) {
  game.demo = entry.value(QLatin1String("demo")).toBool();
  game.version = entry.value(QLatin1String("version")).toString();
  game.launchDate = entry.value(QLatin1String("launchDate")).toString();
}

void RecordTraits<GameData>::mergeInto(GameData& row, const GameData& entry) {
  row.demo = entry.demo;
  row.updateAvailable = row.path.isEmpty()
                            ? !entry.url.isEmpty()
                            : Versions::isNewer(entry.version, GameListModel::getLocalVersion(row.path));
}

GameData RecordTraits<GameData>::catalogueOnly(const GameData& entry) {
  auto game = entry;
  game.updateAvailable = !entry.url.isEmpty();
  return game;
}

QString RecordTraits<GameData>::installedVersion(const GameData& game) {
  // "0" stands for a game without a version file: no version to show.
  const auto version = GameListModel::getLocalVersion(game.path);
  return version == QLatin1String("0") ? QString() : version;
}

void RecordTraits<GameData>::markInstalled(GameData& game) {
  game.updateAvailable = false;
}

void RecordTraits<GameData>::markFailed(GameData& game) {
  if (game.path.isEmpty()) {
    game.updateAvailable = true; // offer the download again
  }
}

GameListModel::GameListModel(QObject* parent)
    : ItemListModel<GameData>(gamesKind(), parent) {
  start(&GameListModel::currentGameChanged, &GameListModel::currentPlayingGameChanged,
        &GameListModel::gameDownloadFinished);
}

GameListModel::~GameListModel() = default;

void GameListModel::removeGame(const QString& gameFolderPath) {
  const int row = rowByName(QDir(gameFolderPath).dirName());
  if (row < 0) {
    return;
  }
  const auto parent = QFileInfo(QFileInfo(gameFolderPath).absolutePath()).canonicalFilePath();
  if (parent != QFileInfo(libraryFolder()).canonicalFilePath()) {
    qWarning() << "Refusing to remove a folder outside the games folder:" << gameFolderPath;
    return;
  }
  // A game whose start script could not be deleted is still installed: hiding its row would
  // leave it on disk unseen.
  if (deleteItemFolder(gameFolderPath, rows_[row].path)) {
    const auto name = rows_[row].name;
    removeRowAt(row);
    restoreCatalogueRow(name);
  }
}

const GameData& GameListModel::gameDataByName(const QString& name) const {
  static const GameData none;
  const int row = rowByName(name);
  return row < 0 ? none : rows_[row];
}

QString GameListModel::getLocalVersion(const QString& path) {
  if (path.isEmpty()) {
    return QStringLiteral("0");
  }
  QFile file(QFileInfo(path).absolutePath() + QStringLiteral("/VERSION"));
  if (!file.open(QIODevice::ReadOnly)) {
    return QStringLiteral("0");
  }
  return QString::fromUtf8(file.readAll()).trimmed();
}

void GameListModel::downloadAndInstallGame(const QString& gameName, const QUrl& downloadUrl) {
  const int row = rowByName(gameName);
  if (row < 0) {
    return;
  }
  if (!downloadUrl.isValid()) {
    qWarning() << "Download failed for" << gameName << "due to invalid URL provided.";
    return failRow(row);
  }
  const auto* entry = catalogueRecord(rows_[row].name);
  if (entry == nullptr) {
    entry = catalogueRecord(gameName);
  }
  const auto version = entry != nullptr ? entry->version : QString();
  downloadRow(row, downloadUrl, {{QStringLiteral("VERSION"), version.toUtf8()}});
}

} // namespace arvexhub::launcher
