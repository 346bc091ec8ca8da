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

#include "FuzzSupport.h"
#include "WriteWatch.h"

#include <library/ArchiveExtractor.h>
#include <library/ItemDownload.h>
#include <library/LibraryPaths.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QSet>

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
  const QString home = fuzz::scratchHome();
  const QString library = QDir::cleanPath(LibraryPaths::libraryFolder(kind.folder));
  const QString item = library + QLatin1Char('/') + itemName;
  const QString archive = home + QStringLiteral("/tmp/") + itemName + QStringLiteral(".zip");

  fuzz::recreateFolder(library);
  if (!kind.installedMainFile.isEmpty()) {
    fuzz::writeFile(item + QLatin1Char('/') + kind.installedMainFile, "the installed version");
  }
  fuzz::writeFile(item + QStringLiteral("/saves/slot1.dat"), saveContent);
  fuzz::writeFile(archive, QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1));

  InstallRequest request;
  request.itemName = itemName;
  request.libraryFolder = library + QLatin1Char('/');
  request.mainFilePattern = kind.mainFilePattern;
  request.mainFileExecutable = kind.executable;
  request.localArchive = archive;
  QHash<QString, QByteArray> extraFiles;
  if (kind.folder == QLatin1String("games")) {
    extraFiles.insert(QStringLiteral("VERSION"), "2.0");
  } else if (kind.folder == QLatin1String("albums")) {
    extraFiles.insert(itemName + QStringLiteral(".png"), "cover");
  }
  request.extraFiles = extraFiles;

  writes->changes(); // the harness's own
  const auto itemBefore = fuzz::snapshot(item);

  bool finished = false;
  bool success = false;
  QString installedPath;
  {
    ItemDownload download(network, request);
    QObject::connect(&download, &ItemDownload::finished, [&](bool ok, const QString& path) {
      finished = true;
      success = ok;
      installedPath = path;
    });
    FUZZ_CHECK(download.start(), QStringLiteral("a local archive's install did not start"));
    FUZZ_CHECK(fuzz::spinUntil([&] { return finished; }, 8000), QStringLiteral("the install never ended"));
  }

  const QStringList outside = writes->changes(library);
  FUZZ_CHECK(outside.isEmpty(),
             QStringLiteral("written outside the library folder:\n") + outside.join(QLatin1Char('\n')));
  const QStringList inLibrary = fuzz::entryNames(library);
  FUZZ_CHECK(inLibrary == QStringList{itemName},
             QStringLiteral("the library folder holds: ") + inLibrary.join(QStringLiteral(", ")));

  if (!success) {
    const QStringList changed = fuzz::differences(itemBefore, fuzz::snapshot(item));
    FUZZ_CHECK(changed.isEmpty(), QStringLiteral("a failed install changed the installed version:\n") +
                                      changed.join(QLatin1Char('\n')));
    FUZZ_CHECK(fuzz::readFile(item + QStringLiteral("/saves/slot1.dat")) == saveContent,
               QStringLiteral("the save file changed"));
    return 0;
  }

  // What the archive holds, as its check reads it.
  ArchiveExtractor extractor(archive);
  FUZZ_CHECK(extractor.check(),
             QStringLiteral("installed an archive whose check fails: ") + extractor.errorString());
  const QStringList entries = extractor.entryNames();
  QSet<QString> expected(entries.cbegin(), entries.cend());
  for (const QString& entry : entries) {
    for (qsizetype slash = entry.indexOf(QLatin1Char('/')); slash > 0;
         slash = entry.indexOf(QLatin1Char('/'), slash + 1)) {
      expected.insert(entry.left(slash));
    }
    FUZZ_CHECK(QFileInfo::exists(item + QLatin1Char('/') + entry),
               QStringLiteral("entry %1 missing").arg(entry));
  }
  for (auto it = extraFiles.cbegin(); it != extraFiles.cend(); ++it) {
    expected.insert(it.key());
    FUZZ_CHECK(fuzz::readFile(item + QLatin1Char('/') + it.key()) == it.value(),
               QStringLiteral("extra file %1").arg(it.key()));
  }
  // The user's files the new version lacks are carried over.
  if (!expected.contains(QStringLiteral("saves"))) {
    expected.insert(QStringLiteral("saves"));
    expected.insert(QStringLiteral("saves/slot1.dat"));
    FUZZ_CHECK(fuzz::readFile(item + QStringLiteral("/saves/slot1.dat")) == saveContent,
               QStringLiteral("the save file was lost"));
  } else if (!expected.contains(QStringLiteral("saves/slot1.dat")) &&
             QFileInfo(item + QStringLiteral("/saves")).isDir()) {
    expected.insert(QStringLiteral("saves/slot1.dat"));
  }
  if (!kind.installedMainFile.isEmpty()) {
    expected.insert(kind.installedMainFile);
  }
  QDirIterator it(item, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    FUZZ_CHECK(!it.fileInfo().isSymLink(), QStringLiteral("symbolic link %1").arg(path));
    const QString relative = path.mid(item.size() + 1);
    FUZZ_CHECK(expected.contains(relative), QStringLiteral("unexpected file %1").arg(relative));
  }

  if (kind.mainFilePattern.isEmpty()) {
    FUZZ_CHECK(QDir::cleanPath(installedPath) == item, QStringLiteral("installed at %1").arg(installedPath));
  } else {
    const QFileInfo main(installedPath);
    FUZZ_CHECK(main.absolutePath() == item && main.isFile() && !main.isSymLink(),
               QStringLiteral("main file %1").arg(installedPath));
    FUZZ_CHECK(QDir::match(kind.mainFilePattern, main.fileName()),
               QStringLiteral("main file %1").arg(installedPath));
    FUZZ_CHECK(!kind.executable || main.isExecutable(),
               QStringLiteral("%1 is not executable").arg(installedPath));
  }
  return 0;
}
