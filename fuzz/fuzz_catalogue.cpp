// A catalogue document, as the catalogue server sends it, merged into a library that already has
// items installed. The first byte picks the kind (games, movies, e-books, albums); the rest is
// the document, with every "@SERVER@" standing for the loopback server's address so that
// picture links can reach it. Pictures are served as a small PNG under "/pictures/"; any other
// host's address goes to the loopback server as a proxy and is refused there.
//
// One model per kind serves every input: before each, its rows go back to what a scan of the
// library gives, as after a change on disk (unless the last input merged nothing, which left
// them so), and the server's documents reach it from memory.
//
// Promises checked: a merge always ends (updateCheckFinished for a document that is an array,
// nothing sent for anything else); every row and data role of the model and of its sorted proxy
// can be read afterwards; every row has a safe name; nothing is written outside the kind's
// library and picture folders.

#include "library/AlbumListModel.h"
#include "library/EbookListModel.h"
#include "library/GameListModel.h"
#include "library/ItemNames.h"
#include "library/LibraryPaths.h"
#include "library/MovieListModel.h"
#include "library/NetworkPolicy.h"

#include "FuzzSupport.h"
#include "LoopbackCache.h"
#include "WriteWatch.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSortFilterProxyModel>
#include <QThreadPool>

#include <array>
#include <memory>

using namespace arvexhub::launcher;
namespace fuzz = arvexhub::fuzz;

namespace {

fuzz::LoopbackServer* server = nullptr;
QByteArray picture;
std::array<LibraryModel*, 4> models{};
std::array<bool, 4> asScanned{}; ///< the model's rows are those its last scan gave
fuzz::WriteWatch* writes = nullptr;

struct Kind {
  QString folder;   ///< library folder name
  QString document; ///< catalogue path
};

const Kind kinds[] = {
    {QStringLiteral("games"), QStringLiteral("/games.json")},
    {QStringLiteral("movies"), QStringLiteral("/movies.json")},
    {QStringLiteral("ebooks"), QStringLiteral("/ebooks.json")},
    {QStringLiteral("albums"), QStringLiteral("/music.json")},
};
std::array<QString, 4> thumbnailFolders; ///< of each kind, without a trailing '/'

const QString picturePaths[] = {QStringLiteral("/pictures/0.png"), QStringLiteral("/pictures/1.png"),
                                QStringLiteral("/pictures/2.png"), QStringLiteral("/pictures/3.png")};

/// Two installed items per kind, named as the seed catalogues name some of their entries, so
/// that a merge meets installed rows as well as new ones.
void installItems() {
  const QString games = LibraryPaths::libraryFolder(QStringLiteral("games"));
  const QString movies = LibraryPaths::libraryFolder(QStringLiteral("movies"));
  const QString ebooks = LibraryPaths::libraryFolder(QStringLiteral("ebooks"));
  const QString albums = LibraryPaths::libraryFolder(QStringLiteral("albums"));
  for (const QString& name : {QStringLiteral("MoonTactics"), QStringLiteral("Orbit")}) {
    fuzz::writeFile(games + name + QStringLiteral("/launcher.command"), "#!/bin/sh\necho hello\n");
    fuzz::writeFile(games + name + QStringLiteral("/VERSION"), "1.0");
    fuzz::writeFile(movies + name + QLatin1Char('/') + name + QStringLiteral(".mp4"), "not a movie");
    fuzz::writeFile(ebooks + name + QLatin1Char('/') + name + QStringLiteral(".pdf"), "%PDF-1.4\n");
    fuzz::writeFile(albums + name + QStringLiteral("/01 Intro.mp3"), "not music");
  }
  fuzz::writeFile(games + QStringLiteral("Orbit/Orbit.png"), fuzz::smallPng());
}

LibraryModel* makeModel(int kind) {
  switch (kind) {
  case 0:
    return new GameListModel;
  case 1:
    return new MovieListModel;
  case 2:
    return new EbookListModel;
  default:
    return new AlbumListModel;
  }
}

/// What the model itself does when the library changes on disk: an empty model, then the rows
/// a scan gives. Building a model per input would cost ten times the input (its network
/// thread, its folder watcher), and rows kept from the last input would make a fault depend
/// on the inputs before it.
struct Rescan : LibraryModel {
  using LibraryModel::beginResetModel;
  using LibraryModel::clearItems;
  using LibraryModel::endResetModel;
  using LibraryModel::scanLibraryFolder;
};

void rescan(LibraryModel& model) {
  (model.*&Rescan::beginResetModel)();
  (model.*&Rescan::clearItems)();
  (model.*&Rescan::endResetModel)();
  (model.*&Rescan::scanLibraryFolder)();
}

template <typename Model>
void checkNames(const LibraryModel& model) {
  for (const auto& record : static_cast<const Model&>(model).records()) {
    FUZZ_CHECK(ItemNames::isSafe(record.name), QStringLiteral("row named \"%1\"").arg(record.name));
  }
}

/// Reads every role of every row, the way the views and the proxy do.
void readEverything(const LibraryModel& model, int kind) {
  const int rows = model.rowCount();
  for (int row = 0; row < rows; ++row) {
    const QModelIndex index = model.index(row);
    for (int role = 0; role <= Qt::UserRole + 24; ++role) {
      model.data(index, role);
    }
    model.displayTextAt(row);
  }
  const QSortFilterProxyModel* proxy = model.proxyModel();
  FUZZ_CHECK(proxy->rowCount() == rows,
             QStringLiteral("proxy %1 rows, model %2").arg(proxy->rowCount()).arg(rows));
  for (int row = 0; row < proxy->rowCount(); ++row) {
    const QModelIndex index = proxy->index(row, 0);
    proxy->data(index, Qt::DisplayRole);
    proxy->data(index, Qt::DecorationRole);
    FUZZ_CHECK(proxy->mapToSource(index).isValid(), QStringLiteral("proxy row %1 maps to nothing").arg(row));
  }
  switch (kind) {
  case 0:
    return checkNames<GameListModel>(model);
  case 1:
    return checkNames<MovieListModel>(model);
  case 2:
    return checkNames<EbookListModel>(model);
  default:
    return checkNames<AlbumListModel>(model);
  }
}

/// Serves the input's document (and the pictures) for the kind; returns it.
QByteArray serve(int kind, const uint8_t* data, size_t size) {
  QByteArray document(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
  document.replace("@SERVER@", server->baseUrl().toUtf8());
  server->clear();
  server->serve(kinds[kind].document, document, "application/json");
  for (const QString& path : picturePaths) {
    server->serve(path, picture, "image/png");
  }
  return document;
}

/// Fetches the catalogue into the model; true when it was merged.
bool fetch(LibraryModel& model, int kind, bool isArray) {
  bool finished = false;
  bool documentArrived = false;
  const QObject input; // ends the connections below with the input
  QObject::connect(&model, &LibraryModel::updateCheckFinished, &input, [&finished] { finished = true; });
  QObject::connect(model.networkManager(), &QNetworkAccessManager::finished, &input,
                   [&documentArrived, kind](QNetworkReply* reply) {
                     documentArrived = documentArrived || reply->url().path() == kinds[kind].document;
                   });
  model.checkForUpdates();
  const bool ended = fuzz::spinUntil([&] { return isArray ? finished : documentArrived; }, 8000);
  FUZZ_CHECK(ended, isArray ? QStringLiteral("the merge never reported its end")
                            : QStringLiteral("the catalogue was never fetched"));
  fuzz::spinOnce(false); // the merge runs right after the reply's end
  // A document that is no list leaves the rows as they were, or brings back the last good one.
  FUZZ_CHECK(isArray || !finished || model.offlineCatalogueDate().isValid(),
             QStringLiteral("a document that is no list was merged"));
  return finished;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::initialize(argc, argv, fuzz::AppKind::Gui);
  server = new fuzz::LoopbackServer;
  server->becomeApplicationProxy();
  qputenv("ARVEXHUB_CATALOGUE_URL", server->baseUrl().toUtf8());
  NetworkPolicy::setStallTimeoutMs(3000);
  picture = fuzz::smallPng();
  installItems();
  int fetched = 0;
  for (int kind = 0; kind < 4; ++kind) {
    models[kind] = makeModel(kind);
    thumbnailFolders[kind] = QDir::cleanPath(LibraryPaths::thumbnailFolder(kinds[kind].folder));
    QObject::connect(models[kind]->networkManager(), &QNetworkAccessManager::finished,
                     [&fetched] { ++fetched; });
    models[kind]->networkManager()->setCache(new fuzz::LoopbackCache(server));
  }
  // Each fetched its catalogue on creation (the server had none): that must be over first.
  FUZZ_CHECK(fuzz::spinUntil([&fetched] { return fetched == 4; }, 8000),
             QStringLiteral("the first fetches never ended"));
  for (LibraryModel* model : models) {
    QObject::disconnect(model->networkManager(), &QNetworkAccessManager::finished, nullptr, nullptr);
  }
  writes = new fuzz::WriteWatch(fuzz::scratchHome()); // every folder is there by now
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return -1;
  }
  const int kind = data[0] % 4;
  LibraryModel& model = *models[kind];
  const bool isArray = QJsonDocument::fromJson(serve(kind, data, size)).isArray();
  // Pictures cached by an earlier input would make this one take another path.
  const QString& thumbnails = thumbnailFolders[kind];
  fuzz::recreateFolder(thumbnails);
  writes->changes(); // the harness's own

  if (!asScanned[kind]) {
    rescan(model);
  }
  asScanned[kind] = !fetch(model, kind, isArray);
  readEverything(model, kind);

  // Pictures and the kept catalogue are written in the background, and a picture of an earlier
  // input may still land in its own kind's folder: every picture folder and the cache folder
  // (the last good catalogue, the pictures that were missing) are the program's to write.
  QThreadPool::globalInstance()->waitForDone();
  static const QString pictures = QFileInfo(thumbnails).absolutePath();
  static const QString cache = QDir::cleanPath(LibraryPaths::cacheFolder());
  QStringList changed = writes->changes(pictures);
  changed.removeIf(
      [](const QString& path) { return path == cache || path.startsWith(cache + QLatin1Char('/')); });
  FUZZ_CHECK(changed.isEmpty(), QStringLiteral("written outside the picture and cache folders:\n") +
                                    changed.join(QLatin1Char('\n')));
  return 0;
}
