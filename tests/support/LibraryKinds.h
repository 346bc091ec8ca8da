#pragma once

// The four kinds of the library as the tests drive them: each model's look-ups and state under
// one set of names, whatever the kind calls them, and each kind's files on disk and in the
// catalogue. Header-only: it needs the core library, which the support library does not link.

#include "TestArchive.h"
#include "TestDir.h"

#include <app/Controller.h>
#include <library/AlbumListModel.h>
#include <library/EbookListModel.h>
#include <library/GameListModel.h>
#include <library/MovieListModel.h>

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStringList>

#include <functional>
#include <memory>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace arvexhub::test {

/// Makes a file immutable (even to root) while it lives, so that deleting its folder fails; false
/// from isSet() when the file system or the process cannot.
class Immutable {
public:
  explicit Immutable(const QString& path)
      : fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)) {
    set_ = setFlag(true);
  }
  ~Immutable() {
    if (set_) {
      setFlag(false);
    }
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Q_DISABLE_COPY_MOVE(Immutable)
  bool isSet() const {
    return set_;
  }

private:
  bool setFlag(bool on) {
    int flags = 0;
    if (fd_ < 0 || ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0) {
      return false;
    }
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    return ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
  }

  int fd_;
  bool set_ = false;
};

/// The kinds, as a test table's column says them.
inline QStringList libraryKinds() {
  return {QStringLiteral("games"), QStringLiteral("movies"), QStringLiteral("ebooks"),
          QStringLiteral("albums")};
}

/// The kind's catalogue document, "/games.json".
inline QString documentOf(const QString& kind) {
  return QLatin1Char('/') + (kind == QLatin1String("albums") ? QStringLiteral("music") : kind) +
         QStringLiteral(".json");
}

/// A PNG of one colour.
inline QByteArray pngOf(const QColor& colour, const QSize& size = {40, 40}) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

/// One kind's model seen through the operations every kind has.
struct KindUnderTest {
  QString name;     ///< "games", "movies", "ebooks" or "albums"
  QString document; ///< the catalogue document, "/games.json"
  launcher::LibraryModel* model{nullptr};
  int nameRole{Qt::DisplayRole};
  int pathRole{0};
  int busyRole{0};
  int playingRole{0};
  int progressRole{0};
  int pictureRole{0}; ///< -1 for games, whose pictures are in the records only
  std::function<int(const QString&)> rowByName;
  std::function<QString()> currentName;
  std::function<void(const QString&)> setCurrentName;
  std::function<QString()> playing; ///< the playing (or open) item's path
  std::function<void(const QString&)> setPlaying;
  /// Downloads the row of that name from its catalogue link.
  std::function<void(const QString&)> download;
  /// Deletes an installed item's folder (games take the folder, the others the name).
  std::function<void(const QString&)> remove;
  /// Adds an installed item by its main file (null for albums).
  std::function<void(const QString&)> addInstalled;
  /// The catalogue reply handler, called as a slot is.
  std::function<void()> replyHandler;
  /// The kind's own "download finished" and "playing item changed" signals, for a QSignalSpy.
  const char* downloadFinished{nullptr};
  const char* playingChanged{nullptr};

  QModelIndex indexOf(const QString& item) const {
    const int row = rowByName(item);
    return row < 0 ? QModelIndex() : model->index(row);
  }
  QString pathOf(const QString& item) const {
    return indexOf(item).data(pathRole).toString();
  }
  bool isInstalled(const QString& item) const {
    return !pathOf(item).isEmpty();
  }
  bool isBusy(const QString& item) const {
    return indexOf(item).data(busyRole).toBool();
  }
  /// The title the catalogue gives (a game shows its folder name instead).
  QString titleOf(const QString& item) const {
    if (auto* games = qobject_cast<launcher::GameListModel*>(model)) {
      return games->gameDataByName(item).fullName;
    }
    return indexOf(item).data(Qt::DisplayRole).toString();
  }
  /// The row's picture, wherever the kind keeps it.
  QPixmap pictureOf(const QString& item) const {
    if (auto* games = qobject_cast<launcher::GameListModel*>(model)) {
      return games->gameDataByName(item).icon;
    }
    return indexOf(item).data(pictureRole).value<QPixmap>();
  }
};

inline KindUnderTest kindUnderTest(launcher::LibraryModel* model) {
  using namespace launcher;
  KindUnderTest kind;
  kind.model = model;
  if (auto* games = qobject_cast<GameListModel*>(model)) {
    kind.name = QStringLiteral("games");
    kind.pathRole = GameRole::Path;
    kind.busyRole = GameRole::IsBusy;
    kind.playingRole = GameRole::IsPlaying;
    kind.progressRole = GameRole::DownloadProgress;
    kind.pictureRole = -1;
    kind.rowByName = [games](const QString& name) { return games->gameRowByName(name); };
    kind.currentName = [games] { return games->currentGameName(); };
    kind.setCurrentName = [games](const QString& name) { games->setCurrentGameName(name); };
    kind.playing = [games] { return games->currentPlayingGame(); };
    kind.setPlaying = [games](const QString& path) { games->setCurrentPlayingGame(path); };
    kind.download = [games](const QString& name) {
      games->downloadAndInstallGame(name, games->gameDataByName(name).url);
    };
    kind.remove = [games](const QString& name) {
      games->removeGame(games->libraryFolder() + QLatin1Char('/') + name);
    };
    kind.addInstalled = [games](const QString& path) { games->addGame(path); };
    kind.replyHandler = [games] { games->onGameListDownloaded(); };
    kind.downloadFinished = SIGNAL(gameDownloadFinished(QString));
    kind.playingChanged = SIGNAL(currentPlayingGameChanged(QString));
  } else if (auto* movies = qobject_cast<MovieListModel*>(model)) {
    kind.name = QStringLiteral("movies");
    kind.nameRole = MovieRole::Name;
    kind.pathRole = MovieRole::Path;
    kind.busyRole = MovieRole::IsBusy;
    kind.playingRole = MovieRole::IsPlaying;
    kind.progressRole = MovieRole::DownloadProgress;
    kind.pictureRole = MovieRole::Thumbnail;
    kind.rowByName = [movies](const QString& name) { return movies->movieRowByName(name); };
    kind.currentName = [movies] { return movies->currentMovieName(); };
    kind.setCurrentName = [movies](const QString& name) { movies->setCurrentMovieName(name); };
    kind.playing = [movies] { return movies->currentPlayingMovie(); };
    kind.setPlaying = [movies](const QString& path) { movies->setCurrentPlayingMovie(path); };
    kind.download = [movies](const QString& name) { movies->downloadAndInstallMovie(name); };
    kind.remove = [movies](const QString& name) { movies->removeMovie(name); };
    kind.addInstalled = [movies](const QString& path) { movies->addMovie(path); };
    kind.replyHandler = [movies] { movies->onMovieListDownloaded(); };
    kind.downloadFinished = SIGNAL(movieDownloadFinished(QString));
    kind.playingChanged = SIGNAL(currentPlayingMovieChanged(QString));
  } else if (auto* ebooks = qobject_cast<EbookListModel*>(model)) {
    kind.name = QStringLiteral("ebooks");
    kind.nameRole = EbookRole::Name;
    kind.pathRole = EbookRole::Path;
    kind.busyRole = EbookRole::IsBusy;
    kind.playingRole = EbookRole::IsReading;
    kind.progressRole = EbookRole::DownloadProgress;
    kind.pictureRole = EbookRole::Thumbnail;
    kind.rowByName = [ebooks](const QString& name) { return ebooks->ebookRowByName(name); };
    kind.currentName = [ebooks] { return ebooks->currentEbookName(); };
    kind.setCurrentName = [ebooks](const QString& name) { ebooks->setCurrentEbookName(name); };
    kind.playing = [ebooks] { return ebooks->currentReadingEbook(); };
    kind.setPlaying = [ebooks](const QString& path) { ebooks->setCurrentReadingEbook(path); };
    kind.download = [ebooks](const QString& name) { ebooks->downloadAndInstallEbook(name); };
    kind.remove = [ebooks](const QString& name) { ebooks->removeEbook(name); };
    kind.addInstalled = [ebooks](const QString& path) { ebooks->addEbook(path); };
    kind.replyHandler = [ebooks] { ebooks->onEbookListDownloaded(); };
    kind.downloadFinished = SIGNAL(ebookDownloadFinished(QString));
    kind.playingChanged = SIGNAL(currentReadingEbookChanged(QString));
  } else if (auto* albums = qobject_cast<AlbumListModel*>(model)) {
    kind.name = QStringLiteral("albums");
    kind.nameRole = AlbumRole::Name;
    kind.pathRole = AlbumRole::Path;
    kind.busyRole = AlbumRole::IsBusy;
    kind.playingRole = AlbumRole::IsPlaying;
    kind.progressRole = AlbumRole::DownloadProgress;
    kind.pictureRole = AlbumRole::Thumbnail;
    kind.rowByName = [albums](const QString& name) { return albums->albumRowByName(name); };
    kind.currentName = [albums] { return albums->currentAlbumName(); };
    kind.setCurrentName = [albums](const QString& name) { albums->setCurrentAlbumName(name); };
    kind.playing = [albums] { return albums->currentPlayingAlbumPath(); };
    kind.setPlaying = [albums](const QString& path) { albums->setCurrentPlayingAlbumPath(path); };
    kind.download = [albums](const QString& name) { albums->downloadAndInstallAlbum(name); };
    kind.remove = [albums](const QString& name) { albums->removeAlbum(name); };
    kind.replyHandler = [albums] { albums->onAlbumListDownloaded(); };
    kind.downloadFinished = SIGNAL(albumDownloadFinished(QString));
    kind.playingChanged = SIGNAL(currentPlayingAlbumChanged(QString));
  }
  kind.document = documentOf(kind.name);
  return kind;
}

/// The controller's model of that kind.
inline launcher::LibraryModel* modelOf(launcher::Controller* controller, const QString& kind) {
  if (kind == QLatin1String("games")) {
    return controller->model();
  }
  if (kind == QLatin1String("movies")) {
    return controller->movieModel();
  }
  return kind == QLatin1String("ebooks") ? static_cast<launcher::LibraryModel*>(controller->ebookModel())
                                         : controller->albumModel();
}

/// A new model of that kind; it scans and fetches its catalogue at once.
inline std::unique_ptr<launcher::LibraryModel> makeLibraryModel(const QString& kind) {
  using namespace launcher;
  if (kind == QLatin1String("games")) {
    return std::make_unique<GameListModel>();
  }
  if (kind == QLatin1String("movies")) {
    return std::make_unique<MovieListModel>();
  }
  if (kind == QLatin1String("ebooks")) {
    return std::make_unique<EbookListModel>();
  }
  return std::make_unique<AlbumListModel>();
}

/// The folder of that kind under `home`, as the library lays it out: "<home>/.arvexhub/games".
inline QString libraryFolderOf(const TestDir& home, const QString& kind) {
  return home.filePath(QStringLiteral(".arvexhub/") + kind);
}

/// The file an installed item of the kind is found by: a game's start script, a movie's MP4,
/// an e-book's PDF, an album's songs.
inline QString mainFileOf(const QString& kind) {
  if (kind == QLatin1String("games")) {
    return QStringLiteral("launcher.command");
  }
  if (kind == QLatin1String("movies")) {
    return QStringLiteral("feature.mp4");
  }
  return kind == QLatin1String("ebooks") ? QStringLiteral("book.pdf") : QStringLiteral("01 Intro.mp3");
}

/// Installs an item into its folder under `home`, with its own picture if asked; returns the
/// path its row gives (an album's folder, another kind's main file).
inline QString installItem(TestDir& home, const QString& kind, const QString& folder, bool picture = false,
                           const QByteArray& content = "#!/bin/sh\nexec sleep 30\n") {
  const QString base = QStringLiteral(".arvexhub/%1/%2/").arg(kind, folder);
  if (picture) {
    home.createFile(base + folder.section(QLatin1Char('.'), 0, 0) + QStringLiteral(".png"), pngOf(Qt::red));
  }
  const QString main = home.createFile(base + mainFileOf(kind), content);
  if (kind == QLatin1String("games")) {
    QFile::setPermissions(main, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  return kind == QLatin1String("albums") ? QFileInfo(main).path() : main;
}

/// An archive that installs as an item of the kind.
inline QByteArray archiveOf(const QString& kind) {
  if (kind == QLatin1String("games")) {
    return TestArchive::game("new");
  }
  if (kind == QLatin1String("albums")) {
    return TestArchive::zip(
        {{QStringLiteral("2 Blue.mp3"), "ID3", 0100644}, {QStringLiteral("1 Green.mp3"), "ID3", 0100644}});
  }
  return TestArchive::zip({{mainFileOf(kind), "content", 0100644}});
}

/// A catalogue entry of the kind: a title made from the name, the detail fields each kind shows,
/// and a version for games.
inline QJsonObject catalogueEntry(const QString& name, const QString& url = {}, const QString& thumbnail = {},
                                  const QString& title = {},
                                  const QString& detail = QStringLiteral("Arvex & Co")) {
  return {{QStringLiteral("name"), name},
          {QStringLiteral("fullName"), title.isEmpty() ? name + QStringLiteral(" Tale") : title},
          {QStringLiteral("version"), QStringLiteral("1.0")},
          {QStringLiteral("developer"), detail},
          {QStringLiteral("animation"), detail},
          {QStringLiteral("author"), detail},
          {QStringLiteral("artist"), detail},
          {QStringLiteral("publisher"), QStringLiteral("Arvex")},
          {QStringLiteral("launchDate"), QStringLiteral("2024")},
          {QStringLiteral("publicationDate"), QStringLiteral("2024")},
          {QStringLiteral("releaseDate"), QStringLiteral("2024")},
          {QStringLiteral("url"), url},
          {QStringLiteral("thumbnail"), thumbnail}};
}

} // namespace arvexhub::test
