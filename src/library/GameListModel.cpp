#include "library/GameListModel.h"

#include "library/Pictures.h"
#include "library/Versions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtDebug>

namespace arvexhub::launcher {
namespace {

LibraryKind gamesKind() {
  LibraryKind kind;
  kind.folderName = QStringLiteral("games");
  kind.documentPath = QStringLiteral("/games.json");
  kind.logWord = QStringLiteral("gamelist");
  kind.mainFilePattern = QStringLiteral("*.command");
  kind.mainFileExecutable = true;
  return kind;
}

QString text(const QJsonObject& entry, const char* key) {
  return entry.value(QLatin1String(key)).toString();
}

} // namespace

GameData RecordTraits<GameData>::fromDisk(const QString& startScript) {
  // Plain string work: this runs once per installed game at every scan.
  const auto folder = QStringView(startScript).left(startScript.lastIndexOf(QLatin1Char('/')));
  GameData game;
  game.path = startScript;
  game.name = folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1).toString();
  game.downloadProgress = 1.0;
  return game;
}

QString RecordTraits<GameData>::pictureFile(const GameData& game) {
  return game.path.left(game.path.lastIndexOf(QLatin1Char('/')) + 1) + game.name + QStringLiteral(".png");
}

GameData RecordTraits<GameData>::fromCatalogue(const QJsonObject& entry) {
  GameData game;
  game.name = text(entry, "name");
  game.fullName = text(entry, "fullName");
  game.developer = text(entry, "developer");
  game.publisher = text(entry, "publisher");
  game.demo = entry.value(QLatin1String("demo")).toBool();
  game.url = QUrl(text(entry, "url"), QUrl::TolerantMode);
  game.version = text(entry, "version");
  game.launchDate = text(entry, "launchDate");
  game.sha256 = text(entry, "sha256");
  return game;
}

void RecordTraits<GameData>::mergeInto(GameData& row, const GameData& entry) {
  row.fullName = entry.fullName;
  row.developer = entry.developer;
  row.publisher = entry.publisher;
  row.demo = entry.demo;
  row.url = entry.url;
  row.sha256 = entry.sha256;
  row.updateAvailable = row.path.isEmpty()
                            ? !entry.url.isEmpty()
                            : Versions::isNewer(entry.version, GameListModel::getLocalVersion(row.path));
}

GameData RecordTraits<GameData>::catalogueOnly(const GameData& entry) {
  auto game = entry;
  game.path.clear();
  game.updateAvailable = !entry.url.isEmpty();
  return game;
}

void RecordTraits<GameData>::markInstalled(GameData& row, const QString& startScript) {
  row.path = startScript;
  row.updateAvailable = false;
}

void RecordTraits<GameData>::markFailed(GameData& row) {
  if (row.path.isEmpty()) {
    row.updateAvailable = true; // offer the download again
  }
}

GameListModel::GameListModel(QObject* parent)
    : ItemListModel<GameData>(gamesKind(), parent) {
  start();
}

GameListModel::~GameListModel() = default;

void GameListModel::addGameFolder(const QString& folder) {
  scanFolder(folder);
}

void GameListModel::addGame(const QString& commandFilePath) {
  if (rowByPath(commandFilePath) < 0) {
    const WatcherSilence silence(this);
    auto game = Traits::fromDisk(commandFilePath);
    game.icon = Pictures::load(Traits::pictureFile(game), kind().pictureFit);
    appendRow(game);
  }
}

bool GameListModel::acceptsInstalled(const GameData& game) const {
  return rowByPath(game.path) < 0;
}

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
  const WatcherSilence silence(this);
  const QString startScript = rows_[row].path;
  removeItemFolder(gameFolderPath);
  // A game whose start script could not be deleted is still installed: hiding its row would
  // leave it on disk unseen.
  if (!startScript.isEmpty() && QFileInfo::exists(startScript)) {
    qWarning() << "Could not remove the game folder:" << gameFolderPath;
    return;
  }
  removeRowAt(row);
}

int GameListModel::gameRowByPath(const QString& path) const {
  return rowByPath(path);
}

int GameListModel::gameRowByName(const QString& name) const {
  return rowByName(name);
}

const GameData& GameListModel::gameDataByName(const QString& name) const {
  static const GameData none;
  const int row = rowByName(name);
  return row < 0 ? none : rows_[row];
}

QVariant GameListModel::data(const QModelIndex& index, int role) const {
  const auto* game = recordAt(index);
  if (!game) {
    return {};
  }
  switch (role) {
  case Qt::DisplayRole:
    return game->name;
  case Qt::DecorationRole:
    return game->icon;
  case GameRole::Path:
    return game->path;
  case GameRole::IsPlaying:
    return game->isPlaying;
  case GameRole::UpdateAvailable:
    return game->updateAvailable;
  case GameRole::IsBusy:
    return game->isBusy;
  case GameRole::DownloadProgress:
    return game->downloadProgress;
  default:
    return {};
  }
}

QString GameListModel::currentGameName() const {
  return currentGameName_;
}

void GameListModel::setCurrentGameName(const QString& name) {
  if (name != currentGameName_) {
    currentGameName_ = name;
    emit currentGameChanged(name);
  }
}

QString GameListModel::currentPlayingGame() const {
  return currentPlayingGame_;
}

void GameListModel::setCurrentPlayingGame(const QString& path) {
  if (path == currentPlayingGame_) {
    return;
  }
  for (auto& game : rows_) {
    game.isPlaying = !game.path.isEmpty() && game.path == path;
  }
  currentPlayingGame_ = path;
  allRowsChanged({});
  emit currentPlayingGameChanged(path);
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

void GameListModel::onGameListDownloaded() {
  onCatalogueDownloaded();
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
  InstallRequest request;
  request.sha256 = entry != nullptr ? entry->sha256 : QString();
  request.extraFiles.insert(QStringLiteral("VERSION"), version.toUtf8());
  downloadRow(row, downloadUrl, request);
}

void GameListModel::itemInstalled(const QString& name) {
  emit gameDownloadFinished(name);
}

int GameListModel::progressRole() const {
  return GameRole::DownloadProgress;
}

} // namespace arvexhub::launcher
