// A zip archive installed from disk the way a downloaded one is (ItemDownload with a local
// archive: the archive check, the extraction into a hidden staging folder and the swap), over
// an installed version that holds a save file of the user's. The first byte picks the kind
// (games, movies, e-books, albums); the rest is the archive.
//
// Promises checked after each input:
// - nothing is written outside the kind's library folder, and nothing in it but the item;
// - no ".staging-*" or ".old-*" folder is left;
// - a failed install leaves the installed version exactly as it was;
// - a finished install holds every entry of the archive, the extra files, the user's files the
//   archive lacks, no symbolic link, and reports its main file (executable for a game).

#include "library/ArchiveExtractor.h"
#include "library/ItemDownload.h"
#include "library/LibraryPaths.h"

#include "FuzzSupport.h"
#include "WriteWatch.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QSet>

#include <array>

using namespace arvexhub::launcher;
namespace fuzz = arvexhub::fuzz;

namespace {

const QString itemName = QStringLiteral("Fuzzed");
const QByteArray saveContent = "the user's save";

struct Kind {
  QString folder;
  QString mainFilePattern;
  QString installedMainFile; ///< of the version installed before each input; empty: none
  bool executable;
};

const Kind kinds[] = {
    {QStringLiteral("games"), QStringLiteral("*.command"), QStringLiteral("launcher.command"), true},
    {QStringLiteral("movies"), QStringLiteral("*.mp4"), QStringLiteral("Fuzzed.mp4"), false},
    {QStringLiteral("ebooks"), QStringLiteral("*.pdf"), QStringLiteral("Fuzzed.pdf"), false},
    {QStringLiteral("albums"), QString(), QString(), false},
};

QNetworkAccessManager* network = nullptr;
fuzz::WriteWatch* writes = nullptr;

/// What each kind's library holds between inputs: the installed version with the user's save,
/// nothing else. An input whose install failed leaves it so (that is checked), and the next
/// input of the kind takes it as it is.
struct Library {
  bool intact = false;
  fuzz::Snapshot item; ///< of the installed version
};
std::array<Library, 4> libraries;

struct Paths {
  QString library;
  QString item;
  QString archive;
};

Paths pathsOf(const Kind& kind) {
  const QString library = QDir::cleanPath(LibraryPaths::libraryFolder(kind.folder));
  return {library, library + QLatin1Char('/') + itemName,
          fuzz::scratchHome() + QStringLiteral("/tmp/") + itemName + QStringLiteral(".zip")};
}

void prepare(Library& state, const Kind& kind, const Paths& paths) {
  if (state.intact) {
    return;
  }
  fuzz::recreateFolder(paths.library);
  if (!kind.installedMainFile.isEmpty()) {
    fuzz::writeFile(paths.item + QLatin1Char('/') + kind.installedMainFile, "the installed version");
  }
  fuzz::writeFile(paths.item + QStringLiteral("/saves/slot1.dat"), saveContent);
  state.item = fuzz::snapshot(paths.item);
  state.intact = true;
}

InstallRequest requestFor(const Kind& kind, const Paths& paths) {
  InstallRequest request;
  request.itemName = itemName;
  request.libraryFolder = paths.library + QLatin1Char('/');
  request.mainFilePattern = kind.mainFilePattern;
  request.mainFileExecutable = kind.executable;
  request.localArchive = paths.archive;
  if (kind.folder == QLatin1String("games")) {
    request.extraFiles.insert(QStringLiteral("VERSION"), "2.0");
  } else if (kind.folder == QLatin1String("albums")) {
    request.extraFiles.insert(itemName + QStringLiteral(".png"), "cover");
  }
  return request;
}

/// The installed path, empty when the install failed.
QString install(const InstallRequest& request) {
  bool finished = false;
  QString installedPath;
  ItemDownload download(network, request);
  QObject::connect(&download, &ItemDownload::finished, [&](bool ok, const QString& path) {
    finished = true;
    installedPath = ok ? path : QString();
    FUZZ_CHECK(!ok || !path.isEmpty(), QStringLiteral("an install reported no path"));
  });
  download.start();
  FUZZ_CHECK(fuzz::spinUntil([&] { return finished; }, 8000), QStringLiteral("the install never ended"));
  return installedPath;
}

void checkLibrary(const Paths& paths) {
  const QStringList outside = writes->changes(paths.library);
  FUZZ_CHECK(outside.isEmpty(),
             QStringLiteral("written outside the library folder:\n") + outside.join(QLatin1Char('\n')));
  const QStringList inLibrary = fuzz::entryNames(paths.library);
  FUZZ_CHECK(inLibrary == QStringList{itemName},
             QStringLiteral("the library folder holds: ") + inLibrary.join(QStringLiteral(", ")));
}

void checkUnchanged(const Library& state, const Paths& paths) {
  const QStringList changed = fuzz::differences(state.item, fuzz::snapshot(paths.item));
  FUZZ_CHECK(changed.isEmpty(), QStringLiteral("a failed install changed the installed version:\n") +
                                    changed.join(QLatin1Char('\n')));
  FUZZ_CHECK(fuzz::readFile(paths.item + QStringLiteral("/saves/slot1.dat")) == saveContent,
             QStringLiteral("the save file changed"));
}

/// Every path the installed item may hold: the archive's entries and their folders, the extra
/// files, the user's files the archive lacks (carried over) and the old main file.
QSet<QString> expectedPaths(const Kind& kind, const Paths& paths, const InstallRequest& request) {
  // What the archive holds, as its check reads it.
  ArchiveExtractor extractor(paths.archive);
  FUZZ_CHECK(extractor.check(),
             QStringLiteral("installed an archive whose check fails: ") + extractor.errorString());
  const QStringList entries = extractor.entryNames();
  QSet<QString> expected(entries.cbegin(), entries.cend());
  for (const QString& entry : entries) {
    for (qsizetype slash = entry.indexOf(QLatin1Char('/')); slash > 0;
         slash = entry.indexOf(QLatin1Char('/'), slash + 1)) {
      expected.insert(entry.left(slash));
    }
    FUZZ_CHECK(QFileInfo::exists(paths.item + QLatin1Char('/') + entry),
               QStringLiteral("entry %1 missing").arg(entry));
  }
  for (auto it = request.extraFiles.cbegin(); it != request.extraFiles.cend(); ++it) {
    expected.insert(it.key());
    FUZZ_CHECK(fuzz::readFile(paths.item + QLatin1Char('/') + it.key()) == it.value(),
               QStringLiteral("extra file %1").arg(it.key()));
  }
  if (!expected.contains(QStringLiteral("saves"))) {
    expected.insert(QStringLiteral("saves"));
    expected.insert(QStringLiteral("saves/slot1.dat"));
    FUZZ_CHECK(fuzz::readFile(paths.item + QStringLiteral("/saves/slot1.dat")) == saveContent,
               QStringLiteral("the save file was lost"));
  } else if (!expected.contains(QStringLiteral("saves/slot1.dat")) &&
             QFileInfo(paths.item + QStringLiteral("/saves")).isDir()) {
    expected.insert(QStringLiteral("saves/slot1.dat"));
  }
  if (!kind.installedMainFile.isEmpty()) {
    expected.insert(kind.installedMainFile);
  }
  return expected;
}

void checkInstalled(const Kind& kind, const Paths& paths, const InstallRequest& request,
                    const QString& installedPath) {
  const QSet<QString> expected = expectedPaths(kind, paths, request);
  QDirIterator it(paths.item, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    FUZZ_CHECK(!it.fileInfo().isSymLink(), QStringLiteral("symbolic link %1").arg(path));
    const QString relative = path.mid(paths.item.size() + 1);
    FUZZ_CHECK(expected.contains(relative), QStringLiteral("unexpected file %1").arg(relative));
  }
  if (kind.mainFilePattern.isEmpty()) {
    FUZZ_CHECK(QDir::cleanPath(installedPath) == paths.item,
               QStringLiteral("installed at %1").arg(installedPath));
    return;
  }
  const QFileInfo main(installedPath);
  FUZZ_CHECK(main.absolutePath() == paths.item && main.isFile() && !main.isSymLink() &&
                 QDir::match(kind.mainFilePattern, main.fileName()),
             QStringLiteral("main file %1").arg(installedPath));
  FUZZ_CHECK(!kind.executable || main.isExecutable(),
             QStringLiteral("%1 is not executable").arg(installedPath));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::initialize(argc, argv, fuzz::AppKind::Core);
  network = new QNetworkAccessManager;
  for (const Kind& kind : kinds) {
    fuzz::recreateFolder(LibraryPaths::libraryFolder(kind.folder));
  }
  writes = new fuzz::WriteWatch(fuzz::scratchHome()); // every folder is there by now
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return -1;
  }
  const Kind& kind = kinds[data[0] % 4];
  Library& library = libraries[data[0] % 4];
  const Paths paths = pathsOf(kind);
  prepare(library, kind, paths);
  fuzz::writeFile(paths.archive, QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1));
  const InstallRequest request = requestFor(kind, paths);
  writes->changes(); // the harness's own

  const QString installedPath = install(request);
  checkLibrary(paths);
  if (installedPath.isEmpty()) {
    checkUnchanged(library, paths);
    return 0;
  }
  library.intact = false;
  checkInstalled(kind, paths, request, installedPath);
  return 0;
}
