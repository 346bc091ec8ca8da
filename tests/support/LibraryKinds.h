#pragma once

// The four kinds of the library as the tests drive them: each model's look-ups and state under
// one set of names, whatever the kind calls them, and each kind's files on disk and in the
// catalogue. Header-only: it needs the core library, which the support library does not link.

#include "app/Controller.h"
#include "library/AlbumListModel.h"
#include "library/EbookListModel.h"
#include "library/GameListModel.h"
#include "library/MovieListModel.h"

#include "TestArchive.h"
#include "TestDir.h"
#include "TestHttpServer.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStringList>

#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

namespace arvexhub::test {

using namespace Qt::StringLiterals;

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

/// A private home and temporary folder and a catalogue server on this machine, fresh for each test
/// function: a test calls setUpLibrary() from init() and tearDownLibrary() from cleanup().
class LibraryFixture {
protected:
  bool setUpLibrary() {
    home_ = std::make_unique<TestDir>();
    temp_ = std::make_unique<TestDir>();
    qputenv("HOME", home_->path().toUtf8());
    qputenv("TMPDIR", temp_->path().toUtf8());
    server_ = std::make_unique<TestHttpServer>();
    const bool listening = server_->listen();
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    return listening;
  }
  void tearDownLibrary() {
    qunsetenv("TMPDIR"); // the next folders are not made in one that is gone
    server_.reset();
    temp_.reset();
    home_.reset();
  }
  static TestHttpResponse answer(const QByteArray& body, int status = 200) {
    TestHttpResponse response;
    response.status = status;
    response.body = body;
    return response;
  }
  QString url(const QString& path) const {
    return server_->url(path).toString();
  }

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestDir> temp_;
  std::unique_ptr<TestHttpServer> server_;
};

/// "a|b|c" as a list.
inline QStringList words(const char* text) {
  return QString::fromUtf8(text).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

/// The kinds, as a test table's column says them.
inline QStringList libraryKinds() {
  return words("games|movies|ebooks|albums");
}

/// The kind's catalogue document, "/games.json".
inline QString documentOf(const QString& kind) {
  return QLatin1Char('/') + (kind == QLatin1String("albums") ? u"music"_s : kind) + u".json"_s;
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
  /// Downloads the row of that name from its catalogue link.
  std::function<void(const QString&)> download;
  /// Adds an installed item by its main file (null for albums).
  std::function<void(const QString&)> addInstalled;
  /// The catalogue reply handler, called as a slot is.
  std::function<void()> replyHandler;
  /// The kind's own "download finished" and "playing item changed" signals, for a QSignalSpy.
  const char* downloadFinished{nullptr};
  const char* playingChanged{nullptr};

  void setRoles(const char* kind, std::initializer_list<int> roles) {
    name = QString::fromLatin1(kind);
    document = documentOf(name);
    auto role = roles.begin();
    for (int* field : {&nameRole, &pathRole, &busyRole, &playingRole, &progressRole, &pictureRole}) {
      *field = *role++;
    }
  }
  /// First row of that name, ignoring case; -1 when none.
  int rowByName(const QString& item) const {
    const auto found = model->match(model->index(0), nameRole, item, 1, Qt::MatchFixedString);
    return found.isEmpty() ? -1 : found.first().row();
  }
  QString currentName() const {
    return model->currentName();
  }
  void setCurrentName(const QString& item) const {
    model->setCurrentName(item);
  }
  /// The playing (or open) item's path.
  QString playing() const {
    return model->playingPath();
  }
  void setPlaying(const QString& path) const {
    model->setPlayingPath(path);
  }
  /// Deletes an installed item's folder.
  void remove(const QString& item) const {
    model->removeItem(name == QLatin1String("games") ? model->libraryFolder() + item : item);
  }
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
    kind.setRoles("games", {Qt::DisplayRole, GameRole::Path, GameRole::IsBusy, GameRole::IsPlaying,
                            GameRole::DownloadProgress, -1});
    kind.download = [games](const QString& name) {
      games->downloadAndInstallGame(name, games->gameDataByName(name).url);
    };
    kind.replyHandler = [games] { games->onGameListDownloaded(); };
    kind.downloadFinished = SIGNAL(gameDownloadFinished(QString));
    kind.playingChanged = SIGNAL(currentPlayingGameChanged(QString));
  } else if (auto* movies = qobject_cast<MovieListModel*>(model)) {
    kind.setRoles("movies", {MovieRole::Name, MovieRole::Path, MovieRole::IsBusy, MovieRole::IsPlaying,
                             MovieRole::DownloadProgress, MovieRole::Thumbnail});
    kind.download = [movies](const QString& name) { movies->downloadAndInstallMovie(name); };
    kind.addInstalled = [movies](const QString& path) { movies->addMovie(path); };
    kind.replyHandler = [movies] { movies->onMovieListDownloaded(); };
    kind.downloadFinished = SIGNAL(movieDownloadFinished(QString));
    kind.playingChanged = SIGNAL(currentPlayingMovieChanged(QString));
  } else if (auto* ebooks = qobject_cast<EbookListModel*>(model)) {
    kind.setRoles("ebooks", {EbookRole::Name, EbookRole::Path, EbookRole::IsBusy, EbookRole::IsReading,
                             EbookRole::DownloadProgress, EbookRole::Thumbnail});
    kind.download = [ebooks](const QString& name) { ebooks->downloadAndInstallEbook(name); };
    kind.addInstalled = [ebooks](const QString& path) { ebooks->addEbook(path); };
    kind.replyHandler = [ebooks] { ebooks->onEbookListDownloaded(); };
    kind.downloadFinished = SIGNAL(ebookDownloadFinished(QString));
    kind.playingChanged = SIGNAL(currentReadingEbookChanged(QString));
  } else if (auto* albums = qobject_cast<AlbumListModel*>(model)) {
    kind.setRoles("albums", {AlbumRole::Name, AlbumRole::Path, AlbumRole::IsBusy, AlbumRole::IsPlaying,
                             AlbumRole::DownloadProgress, AlbumRole::Thumbnail});
    kind.download = [albums](const QString& name) { albums->downloadAndInstallAlbum(name); };
    kind.replyHandler = [albums] { albums->onAlbumListDownloaded(); };
    kind.downloadFinished = SIGNAL(albumDownloadFinished(QString));
    kind.playingChanged = SIGNAL(currentPlayingAlbumChanged(QString));
  }
  return kind;
}

/// The controller's model of that kind.
inline launcher::LibraryModel* modelOf(launcher::Controller* controller, const QString& kind) {
  return controller->libraries().value(libraryKinds().indexOf(kind));
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
  return home.filePath(u".arvexhub/"_s + kind);
}

/// The file an installed item of the kind is found by: a game's start script, a movie's MP4,
/// an e-book's PDF, an album's songs.
inline QString mainFileOf(const QString& kind) {
  return words("launcher.command|feature.mp4|book.pdf|01 Intro.mp3").value(libraryKinds().indexOf(kind));
}

/// Installs an item into its folder under `home`, with its own picture if asked; returns the
/// path its row gives (an album's folder, another kind's main file).
inline QString installItem(TestDir& home, const QString& kind, const QString& folder, bool picture = false,
                           const QByteArray& content = "#!/bin/sh\nexec sleep 30\n") {
  const QString base = u".arvexhub/%1/%2/"_s.arg(kind, folder);
  if (picture) {
    home.createFile(base + folder.section(QLatin1Char('.'), 0, 0) + u".png"_s, pngOf(Qt::red));
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
    return TestArchive::zip({{u"2 Blue.mp3"_s, "ID3", 0100644}, {u"1 Green.mp3"_s, "ID3", 0100644}});
  }
  return TestArchive::zip({{mainFileOf(kind), "content", 0100644}});
}

/// A catalogue entry of the kind: a title made from the name, the detail fields each kind shows,
/// and a version for games.
inline QJsonObject catalogueEntry(const QString& name, const QString& url = {}, const QString& thumbnail = {},
                                  const QString& title = {}, const QString& detail = u"Arvex & Co"_s) {
  return {{u"name"_s, name},
          {u"fullName"_s, title.isEmpty() ? name + u" Tale"_s : title},
          {u"version"_s, u"1.0"_s},
          {u"developer"_s, detail},
          {u"animation"_s, detail},
          {u"author"_s, detail},
          {u"artist"_s, detail},
          {u"publisher"_s, u"Arvex"_s},
          {u"launchDate"_s, u"2024"_s},
          {u"publicationDate"_s, u"2024"_s},
          {u"releaseDate"_s, u"2024"_s},
          {u"url"_s, url},
          {u"thumbnail"_s, thumbnail}};
}

} // namespace arvexhub::test
