// One run of the games library in a process of its own, the way the application runs it, for the
// crash-recovery test: it can be killed at any file-changing call of an installation and started
// again on the same HOME.
//
//   library-driver install <game>  downloads and installs the catalogue's version of the game;
//                                  prints "result ok" or "result failed: <reason>", then
//                                  "kill points <n>" (the file-changing calls it made)
//   library-driver check <game>    starts the library (which tidies what a killed run left) and
//                                  prints the game's row: "row installed=<0|1> busy=<0|1>
//                                  update=<0|1> version=<installed version> path=<start script>"
//
// ARVEXHUB_KILL_AT=N kills an install at its Nth file-changing call (see KillPoints.h).

#include "library/GameListModel.h"

#include "KillPoints.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

using arvexhub::launcher::GameData;
using arvexhub::launcher::GameListModel;
using arvexhub::launcher::LibraryModel;
namespace killpoints = arvexhub::test::killpoints;

namespace {

constexpr int waitMs = 60000;

void say(const QString& line) {
  QTextStream(stdout) << line << Qt::endl;
}

/// Runs the event loop until `done` or the time runs out.
template <typename Predicate>
bool spinUntil(Predicate done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < waitMs) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  return done();
}

bool waitForCatalogue(GameListModel& model) {
  bool merged = false;
  QObject::connect(&model, &LibraryModel::updateCheckFinished, [&merged] { merged = true; });
  return spinUntil([&merged] { return merged; });
}

int install(GameListModel& model, const QString& name) {
  const GameData& game = model.gameDataByName(name);
  if (game.name.isEmpty() || !game.url.isValid()) {
    say(QStringLiteral("result failed: the catalogue does not offer %1").arg(name));
    return 1;
  }
  bool finished = false;
  QString failure;
  QObject::connect(&model, &GameListModel::gameDownloadFinished,
                   [&](const QString& done) { finished = finished || done == name; });
  QObject::connect(&model, &LibraryModel::downloadFailed, [&](const QString& failed, const QString& reason) {
    if (failed == name) {
      failure = reason.isEmpty() ? QStringLiteral("no reason given") : reason;
    }
  });
  killpoints::arm();
  model.downloadAndInstallGame(name, game.url);
  if (!spinUntil([&] { return finished || !failure.isEmpty(); })) {
    failure = QStringLiteral("no end within %1 s").arg(waitMs / 1000);
  }
  say(failure.isEmpty() ? QStringLiteral("result ok") : QStringLiteral("result failed: %1").arg(failure));
  say(QStringLiteral("kill points %1").arg(killpoints::passed()));
  return failure.isEmpty() ? 0 : 1;
}

int check(const GameListModel& model, const QString& name) {
  const int row = model.gameRowByName(name);
  if (row < 0) {
    say(QStringLiteral("row missing"));
    return 1;
  }
  const GameData& game = model.gameDataByName(name);
  say(QStringLiteral("row installed=%1 busy=%2 update=%3 version=%4 path=%5")
          .arg(game.path.isEmpty() ? 0 : 1)
          .arg(game.isBusy ? 1 : 0)
          .arg(game.updateAvailable ? 1 : 0)
          .arg(game.path.isEmpty() ? QString() : GameListModel::getLocalVersion(game.path), game.path));
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() != 3 ||
      (arguments.at(1) != QStringLiteral("install") && arguments.at(1) != QStringLiteral("check"))) {
    std::fprintf(stderr, "usage: library-driver install|check <game>\n");
    return 2;
  }
  GameListModel model;
  if (!waitForCatalogue(model)) {
    say(QStringLiteral("result failed: no catalogue"));
    return 1;
  }
  return arguments.at(1) == QStringLiteral("install") ? install(model, arguments.at(2))
                                                      : check(model, arguments.at(2));
}
