#include "app/Controller.h"

#include "app/BasicUpdater.h"
#include "app/Common.h"
#include "app/DesktopNotifier.h"
#include "app/Languages.h"
#include "app/MakeIcon.h"
#include "app/Preferences.h"
#include "library/AlbumListModel.h"
#include "library/DownloadQueue.h"
#include "library/EbookListModel.h"
#include "library/GameListModel.h"
#include "library/LibraryPaths.h"
#include "library/MovieListModel.h"
#include "library/NetworkPolicy.h"
#include "library/PlayTimeStore.h"
#include "library/SongListModel.h"
#include "runner/GameRunner.h"
#include "style/Style.h"
#include "style/ThemeManager.h"
#include "style/widgets/AboutDialog.h"
#include "widgets/dialogs/MessageBox.h"
#include "widgets/dialogs/PreferencesWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMimeData>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#include <initializer_list>
#include <memory>

namespace arvexhub::launcher {
namespace {
const QString translationsFolder = QStringLiteral(":/i18n/");
const QString startScriptName = QStringLiteral("launcher.command");

// The maker's pages. The contact page has no address yet: opening it does nothing.
const QUrl websiteUrl(QStringLiteral("https://arvexgames.example"));
const QUrl sourceCodeUrl(QStringLiteral("https://arvexgames.example/arvexhub/source"));
const QUrl contactUrl;

/// The error box says what went wrong in the runner's own words.
QString runnerErrorText(GameRunner::ErrorCode code) {
  switch (code) {
  case GameRunner::ErrorCode::UnknownError:
    return QCoreApplication::translate("ArvexHubLauncher", "Unknown error.");
  case GameRunner::ErrorCode::ProcessFailedToStart:
    return QCoreApplication::translate("ArvexHubLauncher", "The process failed to start.");
  case GameRunner::ErrorCode::ProcessCrashed:
    return QCoreApplication::translate("ArvexHubLauncher", "The process crashed.");
  case GameRunner::ErrorCode::ProcessWriteError:
    return QCoreApplication::translate("ArvexHubLauncher", "The process had a write error.");
  case GameRunner::ErrorCode::ProcessReadError:
    return QCoreApplication::translate("ArvexHubLauncher", "The process had a read error.");
  case GameRunner::ErrorCode::ProcessTimedOut:
    return QCoreApplication::translate("ArvexHubLauncher", "The process no longer responds.");
  default:
    return {};
  }
}

bool isStartScript(const QString& path) {
  return path.endsWith(QStringLiteral(".command"));
}

bool isGamePackage(const QString& path) {
  return path.endsWith(QStringLiteral(".arvexhub"), Qt::CaseInsensitive);
}

/// What the removal box asks, per library in the order of Controller::libraries().
const char* const removalTitles[] = {
    QT_TRANSLATE_NOOP("ArvexHubLauncher", "Do you want to remove this ArvexHub Game?"),
    QT_TRANSLATE_NOOP("ArvexHubLauncher", "Do you want to remove this Movie?"),
    QT_TRANSLATE_NOOP("ArvexHubLauncher", "Do you want to remove this Ebook?"),
    QT_TRANSLATE_NOOP("ArvexHubLauncher", "Do you want to remove this Album?"),
};
} // namespace

Controller::Controller(QObject* parent)
    : QObject(parent)
    , preferences_(new Preferences(this))
    , gameModel_(new GameListModel(this))
    , movieModel_(new MovieListModel(this))
    , ebookModel_(new EbookListModel(this))
    , albumModel_(new AlbumListModel(this))
    , runner_(new GameRunner(this, this))
    , updater_(new BasicUpdater(this)) {
  setupThemeManager();
  loadLanguages();
  setupRunner();
  setupPlayTimes();
  for (LibraryModel* library : libraries()) {
    connect(library, &LibraryModel::downloadFailed, this, &Controller::downloadFailed);
  }
  setupNotifier();
  setupDownloadQueue();
}

void Controller::setupDownloadQueue() {
  downloadQueue_ = new DownloadQueue(this);
  downloadQueue_->setMaximum(preferences_->appMaxDownloads());
  connect(preferences_, &Preferences::appMaxDownloadsChanged, downloadQueue_,
          [this] { downloadQueue_->setMaximum(preferences_->appMaxDownloads()); });
  for (LibraryModel* library : libraries()) {
    library->setDownloadQueue(downloadQueue_);
  }
}

DownloadQueue* Controller::downloadQueue() const {
  return downloadQueue_;
}

bool Controller::pauseDownload(LibraryModel* library, const QString& name) {
  return library && library->pauseDownload(name);
}

bool Controller::resumeDownload(LibraryModel* library, const QString& name) {
  return library && library->resumeDownload(name);
}

bool Controller::cancelDownload(LibraryModel* library, const QString& name) {
  return library && library->cancelDownload(name);
}

Controller::~Controller() = default;

Preferences* Controller::preferences() const {
  return preferences_;
}

GameListModel* Controller::model() const {
  return gameModel_;
}

MovieListModel* Controller::movieModel() const {
  return movieModel_;
}

EbookListModel* Controller::ebookModel() const {
  return ebookModel_;
}

AlbumListModel* Controller::albumModel() const {
  return albumModel_;
}

QList<LibraryModel*> Controller::libraries() const {
  return {gameModel_, movieModel_, ebookModel_, albumModel_};
}

void Controller::holdLocalPictures(bool hold) {
  for (LibraryModel* library : libraries()) {
    library->holdLocalPictures(hold);
  }
}

GameRunner* Controller::runner() const {
  return runner_;
}

BasicUpdater* Controller::updater() const {
  return updater_;
}

style::ThemeManager* Controller::themeManager() const {
  return themeManager_;
}

QStringList Controller::languages() const {
  return languages_;
}

QString Controller::themeName(const QString& id) const {
  if (id == Common::darkThemeId()) {
    return QCoreApplication::translate("ArvexHubLauncher", "Dark");
  }
  if (id == Common::lightThemeId()) {
    return QCoreApplication::translate("ArvexHubLauncher", "Light");
  }
  return id;
}

void Controller::playGame(const QString& path) {
  if (runner_->state() != GameRunner::State::Stopped) {
    if (runner_->gameFilePath() == path) {
      return;
    }
    // The new game starts once the running one has really ended.
    pendingGame_ = path;
    runner_->stop();
    gameModel_->setCurrentPlayingGame({});
    return;
  }
  pendingGame_.clear();
  startRunner(path);
}

void Controller::stopGame() {
  runner_->stop();
  gameModel_->setCurrentPlayingGame({});
}

void Controller::playStopGame() {
  if (runner_->state() != GameRunner::State::Stopped) {
    stopGame();
  } else {
    playCurrentGame();
  }
}

void Controller::playCurrentGame() {
  const auto name = gameModel_->currentGameName();
  if (name.isEmpty()) {
    return; // no path is built from an empty name
  }
  playGame(gamesFolder() + name + QLatin1Char('/') + startScriptName);
}

void Controller::removeGame(const QString& path) {
  removeFromLibrary(gameModel_, gameModel_->itemOfPath(path));
}

void Controller::removeCurrentGame() {
  removeFromLibrary(gameModel_, gameModel_->currentItem());
}

void Controller::loadGames() {
  // The models load themselves when they are made.
}

void Controller::openGameFolder(const QString& path) {
  if (!path.isEmpty()) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteDir().absolutePath()));
  }
}

void Controller::openDroppedPath(const QString& path) {
  const QFileInfo info(path);
  if (info.isDir()) {
    importGameFolder(info.absoluteFilePath());
  } else if (info.isFile() && isStartScript(path)) {
    playGame(info.absoluteFilePath());
  } else if (info.isFile() && isGamePackage(path)) {
    installGamePackage(info.absoluteFilePath());
  }
}

void Controller::importGameFolder(const QString& folder) {
  const auto name = QFileInfo(folder).fileName();
  confirmGameReplacement(name, [this, folder, name] {
    if (!gameModel_->importFolder(folder)) {
      emit downloadFailed(name, QCoreApplication::translate(
                                    "ArvexHubLauncher",
                                    "It is not a game folder (a start script at its top level), or it is "
                                    "already in the library or being added."));
    }
  });
}

void Controller::installGamePackage(const QString& path) {
  const auto name = QFileInfo(path).completeBaseName();
  confirmGameReplacement(name, [this, path, name] {
    if (!gameModel_->installArchive(path)) {
      emit downloadFailed(name, QCoreApplication::translate(
                                    "ArvexHubLauncher",
                                    "The game package cannot be installed: its name is not a valid game "
                                    "name, or a game of that name is being added."));
      return;
    }
    selectWhenInstalled(name);
  });
}

void Controller::selectWhenInstalled(const QString& name) {
  // Both connections end with the installation, whichever way it ends.
  auto installed = std::make_shared<QMetaObject::Connection>();
  auto failed = std::make_shared<QMetaObject::Connection>();
  const auto done = [installed, failed] {
    QObject::disconnect(*installed);
    QObject::disconnect(*failed);
  };
  *installed = connect(gameModel_, &GameListModel::gameDownloadFinished, this,
                       [this, name, done](const QString& gameName) {
                         if (gameName.compare(name, Qt::CaseInsensitive) == 0) {
                           done();
                           gameModel_->setCurrentGameName(gameName);
                         }
                       });
  *failed = connect(gameModel_, &LibraryModel::downloadFailed, this, [name, done](const QString& gameName) {
    if (gameName.compare(name, Qt::CaseInsensitive) == 0) {
      done();
    }
  });
}

void Controller::confirmGameReplacement(const QString& name, const std::function<void()>& add) {
  if (gameModel_->gameDataByName(name).path.isEmpty()) {
    add();
    return;
  }
  auto* box = new MessageBox(QApplication::activeWindow());
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setType(MessageBox::Warning);
  box->setTitle(
      QCoreApplication::translate("ArvexHubLauncher", "Do you want to replace this ArvexHub Game?"));
  box->setText(QCoreApplication::translate("ArvexHubLauncher",
                                           "A game named %1 is already installed. Its saves are kept.")
                   .arg(name));
  box->setButtons(MessageBox::Yes | MessageBox::Cancel);
  connect(box, &QDialog::finished, this, [add](int result) {
    if (MessageBox::buttonResult(result) == MessageBox::Yes) {
      add();
    }
  });
  box->show();
}

void Controller::playMovie(const QString& path) {
  if (path.isEmpty()) {
    return;
  }
  emit currentAlbumArtChanged({});
  albumModel_->setCurrentPlayingAlbumPath({});
  movieModel_->setCurrentPlayingMovie(path);
  emit playMovieRequested(QUrl::fromLocalFile(path));
}

void Controller::playCurrentMovie() {
  playMovie(movieModel_->currentPath());
}

void Controller::playStopMovie() {
  if (movieModel_->currentPlayingMovie().isEmpty()) {
    playCurrentMovie();
  } else {
    stopMovie();
  }
}

void Controller::stopMovie() {
  movieModel_->setCurrentPlayingMovie({});
  albumModel_->setCurrentPlayingAlbumPath({});
  emit stopMovieRequested();
  emit currentAlbumArtChanged({});
}

void Controller::addMovieToPlaylist(const QString& path, const QString& name) {
  if (!path.isEmpty() && !name.isEmpty()) {
    emit addToPlaylistRequested(QUrl::fromLocalFile(path), name);
  }
}

void Controller::removeMovie(const QString& path) {
  removeFromLibrary(movieModel_, movieModel_->itemOfPath(path));
}

void Controller::removeCurrentMovie() {
  removeFromLibrary(movieModel_, movieModel_->currentItem());
}

void Controller::readEbook(const QString& path) {
  if (path.isEmpty()) {
    return;
  }
  const auto name = ebookModel_->ebookNameByPath(path);
  ebookModel_->setCurrentReadingEbook(path);
  emit readEbookRequested(QUrl::fromLocalFile(path), name);
}

void Controller::removeEbook(const QString& path) {
  removeFromLibrary(ebookModel_, ebookModel_->itemOfPath(path));
}

void Controller::removeCurrentEbook() {
  removeFromLibrary(ebookModel_, ebookModel_->currentItem());
}

void Controller::playWholeAlbum(const QString& folder) {
  if (folder.isEmpty() || !QFileInfo::exists(folder)) {
    return;
  }
  movieModel_->setCurrentPlayingMovie({});
  const auto album = albumModel_->findIndexByPath(folder);
  const auto art = album.isValid() ? album.data(AlbumRole::ThumbnailPath).toString() : QString();
  emit clearPlaylistRequested();
  const bool anySong = queueAlbum(folder, true);
  if (anySong) {
    albumModel_->setCurrentPlayingAlbumPath(folder);
    emit playFirstInPlaylistRequested();
    emit currentAlbumArtChanged(art);
  }
}

void Controller::addWholeAlbumToPlaylist(const QString& folder) {
  if (!folder.isEmpty() && QFileInfo::exists(folder)) {
    queueAlbum(folder, false);
  }
}

bool Controller::queueAlbum(const QString& folder, bool announcePlay) {
  SongListModel songs;
  songs.setCurrentFolder(folder);
  const int count = songs.rowCount();
  for (int row = 0; row < count; ++row) {
    const auto path = songs.getSongPathForRow(row);
    if (path.isEmpty()) {
      continue;
    }
    const auto url = QUrl::fromLocalFile(path);
    const auto name = songs.index(row).data(SongListModel::NameRole).toString();
    if (announcePlay) {
      emit playAlbumRequested(url, name);
    }
    emit addToPlaylistRequested(url, name);
  }
  return count > 0;
}

void Controller::playCurrentAlbum() {
  // The album's installed folder: the one a download made, whatever its name holds.
  playWholeAlbum(albumModel_->currentPath());
}

void Controller::removeAlbum(const QString& path) {
  removeFromLibrary(albumModel_, albumModel_->itemOfPath(path));
}

void Controller::removeCurrentAlbum() {
  removeFromLibrary(albumModel_, albumModel_->currentItem());
}

void Controller::playSong(const QUrl& url, const QString& name) {
  if (url.isValid() && url.isLocalFile()) {
    movieModel_->setCurrentPlayingMovie({});
    albumModel_->setCurrentPlayingAlbumPath({});
    emit currentAlbumArtChanged({});
    emit addToPlaylistRequested(url, name);
    emit playMovieRequested(url);
  }
}

void Controller::addSongToPlaylist(const QUrl& url, const QString& name) {
  if (url.isValid() && url.isLocalFile()) {
    emit addToPlaylistRequested(url, name);
  }
}

void Controller::openPreferencesDialog() {
  auto* window = new PreferencesWindow(this, QApplication::activeWindow());
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

void Controller::openAboutDialog() {
  auto* dialog = new style::AboutDialog(QApplication::activeWindow());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setIcon(QGuiApplication::windowIcon());
  dialog->setApplicationName(QGuiApplication::applicationDisplayName());
  dialog->setVersion(QCoreApplication::applicationVersion());
  dialog->setDescription(QCoreApplication::translate(
      "ArvexHubLauncher", "Your Arvex games, movies, e-books and music in one place: download, install, "
                          "update and play them."));
  dialog->setWebsiteUrl(websiteUrl);
  dialog->addSocialMediaLink(QCoreApplication::translate("ArvexHubLauncher", "Source Code"), sourceCodeUrl);
  dialog->setCopyright(
      QCoreApplication::translate("ArvexHubLauncher", "© 2026 Arvex Games. All rights reserved."));
  dialog->show();
}

void Controller::checkForUpdates() {
  updater_->checkForUpdates(NetworkPolicy::releaseFeedUrl().toString());
}

void Controller::openContactPage() {
  if (contactUrl.isValid()) {
    QDesktopServices::openUrl(contactUrl);
  }
}

void Controller::openSourceCodePage() {
  QDesktopServices::openUrl(sourceCodeUrl);
}

bool Controller::isMimeDataValid(const QMimeData* mimeData) const {
  if (mimeData == nullptr || !mimeData->hasUrls()) {
    return false;
  }
  for (const auto& url : mimeData->urls()) {
    if (!url.isLocalFile()) {
      continue;
    }
    const QFileInfo info(url.toLocalFile());
    if (info.isDir() ||
        (info.isFile() && (isStartScript(info.filePath()) || isGamePackage(info.filePath())))) {
      return true;
    }
  }
  return false;
}

void Controller::setupNotifier() {
  // Only heard when the user looks elsewhere; the window tells the rest itself.
  auto* notifier = new DesktopNotifier(this);
  for (LibraryModel* library : libraries()) {
    connect(library, &LibraryModel::itemInstalled, notifier, &DesktopNotifier::downloadFinished);
  }
  connect(this, &Controller::downloadFailed, notifier, &DesktopNotifier::downloadFailed);
}

void Controller::setupThemeManager() {
  themeManager_ = new style::ThemeManager(style::Style::of(), this);
  themeManager_->loadDirectory(QStringLiteral(":/arvexhub/launcher/resources/themes"));
  themeManager_->setCurrentTheme(preferences_->appTheme());
  if (themeManager_->currentTheme().isEmpty()) {
    // A stored id that no theme file has: show the default theme rather than none at all.
    themeManager_->setCurrentTheme(Common::darkThemeId());
  }
  connect(preferences_, &Preferences::appThemeChanged, this,
          [this] { themeManager_->setCurrentTheme(preferences_->appTheme()); });
  connect(themeManager_, &style::ThemeManager::currentThemeChanged, this,
          [this] { preferences_->setAppTheme(themeManager_->currentTheme()); });
}

void Controller::loadLanguages() {
  languages_ = languages::availableLanguages(translationsFolder);
  const auto language =
      languages::chooseStartupLanguage(languages_, preferences_->appLanguage(), QLocale().name());
  preferences_->setAppLanguage(language);

  // Qt's own texts (the buttons of message boxes and dialogs) in the same language, when the
  // system has Qt's translations; installed first, so ours are asked first.
  auto* qtTranslator = new QTranslator(this);
  if (qtTranslator->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(qtTranslator);
  } else {
    delete qtTranslator;
  }
  translator_ = new QTranslator(this);
  const auto fileName = QDir(translationsFolder).absolutePath() + QStringLiteral("/ArvexHub");
  if (translator_->load(QLocale(language), fileName, QStringLiteral("_"), translationsFolder)) {
    QCoreApplication::installTranslator(translator_);
  }
}

void Controller::setupRunner() {
  connect(runner_, &GameRunner::stateChanged, this, &Controller::onRunnerStateChanged);
  const auto applyLaunchOptions = [this] {
    runner_->setSuspendWhenUnfocused(preferences_->gameSuspendWhenUnfocused());
    runner_->setAudioEnabled(preferences_->gameEnableAudio());
    runner_->setFullScreen(preferences_->gameFullScreen());
    runner_->setForceSoftwareRendering(preferences_->gameForceSoftwareRendering());
  };
  applyLaunchOptions();
  for (const auto signal :
       {&Preferences::gameSuspendWhenUnfocusedChanged, &Preferences::gameEnableAudioChanged,
        &Preferences::gameFullScreenChanged, &Preferences::gameForceSoftwareRenderingChanged}) {
    connect(preferences_, signal, this, applyLaunchOptions);
  }
  connect(runner_, &GameRunner::errorRaised, this, &Controller::onRunnerError);
}

PlayTimeStore* Controller::playTimes() const {
  return playTimes_;
}

void Controller::setupPlayTimes() {
  playTimes_ = new PlayTimeStore(LibraryPaths::playTimeFile(), this);
  gameModel_->setPlayTimes(playTimes_);
  // A session is the time the game runs; it is counted by the game's folder name, which outlives
  // the folder itself.
  connect(runner_, &GameRunner::stateChanged, playTimes_, [this] {
    if (runner_->state() == GameRunner::State::Running) {
      playTimes_->startSession(QFileInfo(runner_->gameFilePath()).dir().dirName());
    } else if (runner_->state() == GameRunner::State::Stopped) {
      playTimes_->endSession();
    }
  });
}

void Controller::startRunner(const QString& path) {
  gameModel_->setCurrentPlayingGame(gameModel_->gameRowByPath(path) >= 0 ? path : QString());
  if (QFile::exists(path) && isStartScript(path)) {
    runner_->start(path);
  }
}

void Controller::onRunnerStateChanged() {
  if (runner_->state() != GameRunner::State::Stopped) {
    return;
  }
  if (pendingGame_.isEmpty()) {
    gameModel_->setCurrentPlayingGame({});
    return;
  }
  const auto path = std::exchange(pendingGame_, QString());
  gameModel_->setCurrentPlayingGame(path);
  QTimer::singleShot(0, this, [this, path] { startRunner(path); });
}

void Controller::onRunnerError(GameRunner::ErrorCode code) {
  emit mainWindowRaiseRequested();
  QTimer::singleShot(0, this, [code] {
    auto* box = new MessageBox(QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setType(MessageBox::Error);
    box->setButtons(MessageBox::Ok);
    box->setTitle(
        QCoreApplication::translate("ArvexHubLauncher", "An error occurred while running the game"));
    box->setText(runnerErrorText(code));
    box->show();
  });
}

void Controller::removeFromLibrary(LibraryModel* library, const QString& item) {
  if (item.isEmpty()) {
    return;
  }
  if (!preferences_->appWarnBeforeGameRemoval()) {
    library->removeItem(item);
    return;
  }
  auto* box = new MessageBox(QApplication::activeWindow());
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setType(MessageBox::Warning);
  box->setTitle(QCoreApplication::translate("ArvexHubLauncher", removalTitles[libraries().indexOf(library)]));
  box->setText(QCoreApplication::translate("ArvexHubLauncher",
                                           "The item will be removed from disk, not from your account."));
  box->setButtons(MessageBox::Yes | MessageBox::Cancel);
  box->setButtonIcon(MessageBox::Yes, makeIcon(style::icons::Icons16::Action_Trash));
  box->setCheckBox(QCoreApplication::translate("ArvexHubLauncher", "Show this message next time"), true);
  connect(box, &QDialog::finished, this, [this, box, library, item](int result) {
    if (MessageBox::buttonResult(result) == MessageBox::Yes) {
      preferences_->setAppWarnBeforeGameRemoval(box->checkBoxChecked());
      library->removeItem(item);
    }
  });
  box->show();
}

QString Controller::gamesFolder() const {
  return QDir::homePath() + QStringLiteral("/.arvexhub/games/");
}

} // namespace arvexhub::launcher
