// Library scan: the games folder of a large library read by the model at start-up, against a
// bare QDirIterator pass listing every file of the same tree. Both run once unmeasured first, so
// the file system's cache is warm for every measured run.
//
// Usage: bench_library_scan [games = 10000] [runs = 3]

#include "library/GameListModel.h"
#include "library/LibraryPaths.h"
#include "library/Pictures.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QDirIterator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStringList>

#include <memory>

using namespace arvexhub::bench;
using arvexhub::launcher::GameListModel;

namespace {

constexpr double targetRatio = 2.0;

/// Constructs a model (which scans the games folder and asks the unreachable catalogue), waits
/// for the refused request so nothing is left running, and returns the constructor's time.
double constructModel(int expectedRows) {
  QElapsedTimer clock;
  clock.start();
  auto model = std::make_unique<GameListModel>();
  const double elapsed = elapsedMs(clock);
  if (model->rowCount() != expectedRows) {
    say(QStringLiteral("  the model has %1 rows, %2 expected").arg(model->rowCount()).arg(expectedRows));
  }
  bool replied = false;
  QObject::connect(model->networkManager(), &QNetworkAccessManager::finished, model.get(),
                   [&](QNetworkReply*) { replied = true; });
  spinUntil([&] { return replied; }, 5000);
  model.reset();
  settle();
  return elapsed;
}

qsizetype listTree(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    files.append(it.next());
  }
  return files.size();
}

} // namespace

int main(int argc, char** argv) {
  BenchEnvironment environment;
  QApplication app(argc, argv);
  if (!environment.isValid()) {
    return 1;
  }
  const int games = intArgument(argc, argv, 1, 10000);
  const int runs = intArgument(argc, argv, 2, 3);
  // Nothing listens on port 1: the catalogue request fails at once and merges nothing.
  qputenv("ARVEXHUB_CATALOGUE_URL", "http://127.0.0.1:1");

  const QString gamesFolder = arvexhub::launcher::LibraryPaths::libraryFolder(QStringLiteral("games"));
  const QByteArray picture = makePng({128, 128}, 7, 48);
  QStringList pictureFiles;
  for (int number = 1; number <= games; ++number) {
    const QString name = QStringLiteral("Game%1").arg(number, 5, 10, QLatin1Char('0'));
    const bool withPicture = number % 10 == 0;
    if (!createInstalledGame(gamesFolder, name, "1.0", withPicture ? picture : QByteArray())) {
      say(QStringLiteral("cannot create the games in %1").arg(gamesFolder));
      return 1;
    }
    if (withPicture) {
      pictureFiles.append(gamesFolder + name + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
  }

  constructModel(games); // warms the cache
  const qsizetype listed = listTree(gamesFolder);
  double scan = 1e300;
  double bare = 1e300;
  for (int run = 0; run < runs; ++run) {
    scan = std::min(scan, constructModel(games));
    bare = std::min(bare, bestOfMs(1, [&] { listTree(gamesFolder); }));
  }
  const double pictures = bestOfMs(runs, [&] {
    for (const auto& file : pictureFiles) {
      arvexhub::launcher::Pictures::load(file, arvexhub::launcher::PictureFit::Fill);
    }
  });

  const bool met = scan <= targetRatio * bare;
  say(QStringLiteral("library scan: %1 games (%2 with a %3 KB picture), %4 entries on disk")
          .arg(games)
          .arg(pictureFiles.size())
          .arg(double(picture.size()) / 1024.0, 0, 'f', 1)
          .arg(listed));
  say(QStringLiteral("library scan: model construction: %1 (best of %2); bare QDirIterator pass: %3 (best of "
                     "%2); ratio %4 (target <= %5): %6")
          .arg(ms(scan))
          .arg(runs)
          .arg(ms(bare))
          .arg(ratio(scan / bare))
          .arg(targetRatio, 0, 'f', 0)
          .arg(verdict(met)));
  say(QStringLiteral("  of the scan, loading the %1 pictures alone: %2 (best of %3)")
          .arg(pictureFiles.size())
          .arg(ms(pictures))
          .arg(runs));
  return met ? 0 : 2;
}
