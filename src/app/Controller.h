#pragma once

#include "runner/GameRunner.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QMimeData;
class QTranslator;

namespace arvexhub::style {
class ThemeManager;
}

namespace arvexhub::launcher {

class AlbumListModel;
class BasicUpdater;
class DownloadQueue;
class EbookListModel;
class GameListModel;
class LibraryModel;
class MovieListModel;
class PlayTimeStore;
class Preferences;

/// The application's central object: owns the preferences, the library models, the game
/// runner, the update checker, the theme manager and the translator, and carries out the
/// commands that span several of them. Views call its operations and follow its signals.
class Controller final : public QObject {
  Q_OBJECT

public:
  explicit Controller(QObject* parent = nullptr);
  ~Controller() override;
  Q_DISABLE_COPY_MOVE(Controller)

  Preferences* preferences() const;
  GameListModel* model() const;
  MovieListModel* movieModel() const;
  EbookListModel* ebookModel() const;
  AlbumListModel* albumModel() const;
  /// The four libraries: games, movies, e-books, albums.
  QList<LibraryModel*> libraries() const;
  /// Holds or releases the installed items' own pictures in every library (see
  /// LibraryModel::holdLocalPictures).
  void holdLocalPictures(bool hold);
  GameRunner* runner() const;
  /// The games' play time, counted from the runner's start and stop.
  PlayTimeStore* playTimes() const;
  BasicUpdater* updater() const;
  style::ThemeManager* themeManager() const;
  QStringList languages() const;
  /// The downloads of every library wait here for their turn.
  DownloadQueue* downloadQueue() const;

  /// Pause, resume and cancel the download of an item of any library (see LibraryModel); false
  /// when the item has no such download or it is being installed.
  bool pauseDownload(LibraryModel* library, const QString& name);
  bool resumeDownload(LibraryModel* library, const QString& name);
  bool cancelDownload(LibraryModel* library, const QString& name);

  /// Starts the game's start script; while another game runs, that one is stopped first and
  /// this one starts once it has ended.
  void playGame(const QString& path);
  void stopGame();
  void playStopGame();
  void playCurrentGame();
  /// Removes the game folder, after a confirmation unless the user turned it off.
  void removeGame(const QString& path);
  void removeCurrentGame();
  void loadGames();
  void openGameFolder(const QString& path);
  /// A path dropped on the window or handed over by the desktop or a second start: a start
  /// script starts, a game folder is copied and a game package (".arvexhub") is installed into
  /// the games library (both after asking before replacing a game of the same name).
  void openDroppedPath(const QString& path);
  void importGameFolder(const QString& folder);
  /// Installs a game package, a zip laid out like a catalogue game archive and named after the
  /// game, then selects the game; a package that cannot be installed changes nothing.
  void installGamePackage(const QString& path);

  void playMovie(const QString& path);
  void playCurrentMovie();
  void playStopMovie();
  void stopMovie();
  void addMovieToPlaylist(const QString& path, const QString& name);
  void removeMovie(const QString& path);
  void removeCurrentMovie();

  void readEbook(const QString& path);
  void removeEbook(const QString& path);
  void removeCurrentEbook();

  /// Plays every song of the album in that folder (the album's installed folder).
  void playWholeAlbum(const QString& folder);
  void addWholeAlbumToPlaylist(const QString& folder);
  void playCurrentAlbum();
  void removeAlbum(const QString& path);
  void removeCurrentAlbum();
  void playSong(const QUrl& url, const QString& name);
  void addSongToPlaylist(const QUrl& url, const QString& name);

  void openPreferencesDialog();
  void openAboutDialog();
  /// Asks the release feed whether a newer version of the application exists.
  void checkForUpdates();
  void openContactPage();
  void openSourceCodePage();

  /// The translated name of a theme id; other ids are returned as they are.
  QString themeName(const QString& id) const;
  /// Whether a drag carries something the window can take: a folder, a start script or a game
  /// package.
  bool isMimeDataValid(const QMimeData* mimeData) const;

signals:
  void focusOnListViewRequested(Qt::FocusReason reason);
  void focusOnSearchFieldRequested(Qt::FocusReason reason);
  void mainWindowRaiseRequested();
  void clearPlaylistRequested();
  void playFirstInPlaylistRequested();
  void addToPlaylistRequested(const QUrl& url, const QString& name);
  void playAlbumRequested(const QUrl& url, const QString& name);
  void playMovieRequested(const QUrl& url);
  void stopMovieRequested();
  void currentAlbumArtChanged(const QString& imagePath);
  void readEbookRequested(const QUrl& url, const QString& name);
  /// A download or installation failed; `reason` is a sentence for the user.
  void downloadFailed(const QString& itemName, const QString& reason);

private:
  void setupThemeManager();
  /// Desktop notifications for downloads that end while the window is not active.
  void setupNotifier();
  void loadLanguages();
  void setupRunner();
  void setupDownloadQueue();
  void setupPlayTimes();
  void startRunner(const QString& path);
  void onRunnerStateChanged();
  void onRunnerError(GameRunner::ErrorCode code);
  /// Removes the item (as the library names it) from disk, after a confirmation unless the user
  /// turned it off; an empty name removes nothing.
  void removeFromLibrary(LibraryModel* library, const QString& item);
  /// Runs `add` at once, or after the user agreed to replace the installed game of that name.
  void confirmGameReplacement(const QString& name, const std::function<void()>& add);
  /// Makes the game current once its installation has ended well.
  void selectWhenInstalled(const QString& name);
  QString gamesFolder() const;
  /// Emits the album's songs for the playlist; false when the folder lists no song at all.
  bool queueAlbum(const QString& folder, bool announcePlay);

  Preferences* preferences_{nullptr};
  GameListModel* gameModel_{nullptr};
  MovieListModel* movieModel_{nullptr};
  EbookListModel* ebookModel_{nullptr};
  AlbumListModel* albumModel_{nullptr};
  GameRunner* runner_{nullptr};
  BasicUpdater* updater_{nullptr};
  style::ThemeManager* themeManager_{nullptr};
  QStringList languages_;
  QTranslator* translator_{nullptr};
  QString pendingGame_;
  DownloadQueue* downloadQueue_{nullptr};
  PlayTimeStore* playTimes_{nullptr};
};

} // namespace arvexhub::launcher
