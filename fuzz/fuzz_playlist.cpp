// A playlist file, as another player or an older save of this one left it, read by the media
// player.
//
// Promises checked: every local entry is an absolute, clean file path; a playlist the program
// writes from the local entries reads back as the same files, in the same order.

#include "media/PlaylistFile.h"

#include "FuzzSupport.h"

#include <QDir>
#include <QFile>

using namespace arvexhub::launcher;
namespace fuzz = arvexhub::fuzz;

namespace {

QString listPath;
QString savedPath;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::initialize(argc, argv, fuzz::AppKind::Core);
  const QString folder = fuzz::scratchHome() + QStringLiteral("/playlists");
  QDir().mkpath(folder);
  listPath = folder + QStringLiteral("/other player") + PlaylistFile::suffix();
  savedPath = folder + QStringLiteral("/saved") + PlaylistFile::suffix();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::writeFile(listPath, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
  const auto entries = PlaylistFile::read(listPath);
  FUZZ_CHECK(entries.has_value(), QStringLiteral("a readable file was not read"));

  QList<QUrl> local;
  for (const PlaylistEntry& entry : *entries) {
    if (!entry.url.isLocalFile()) {
      continue;
    }
    const QString path = entry.url.toLocalFile();
    FUZZ_CHECK(QDir::isAbsolutePath(path) && QDir::cleanPath(path) == path,
               QStringLiteral("entry path %1").arg(path));
    local.append(entry.url);
  }

  FUZZ_CHECK(PlaylistFile::write(savedPath, local), QStringLiteral("the playlist could not be saved"));
  const auto again = PlaylistFile::read(savedPath);
  FUZZ_CHECK(again.has_value(), QStringLiteral("the saved playlist could not be read"));
  // Compared as the file system sees the names: a UTF-16 list can hold a lone surrogate, which
  // no file name can, and which names the same file as the replacement character it is saved as.
  const auto fileNames = [](const QList<QUrl>& urls) {
    QList<QByteArray> names;
    for (const QUrl& url : urls) {
      names.append(QFile::encodeName(url.toLocalFile()));
    }
    return names;
  };
  QList<QUrl> reread;
  for (const PlaylistEntry& entry : *again) {
    reread.append(entry.url);
  }
  FUZZ_CHECK(fileNames(reread) == fileNames(local),
             QStringLiteral("saved %1 entries, read back %2: %3 / %4")
                 .arg(local.size())
                 .arg(reread.size())
                 .arg(QUrl::toStringList(local).join(QLatin1Char('|')),
                      QUrl::toStringList(reread).join(QLatin1Char('|'))));
  return 0;
}
