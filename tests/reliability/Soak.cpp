// Soak: cycles of download -> install -> play -> stop -> update -> remove of one game through the
// application's own controller, against a local server that injects faults at random (dropped
// connections, stalls, corrupt archives), cuts a download off half way or pauses it and expects it to
// continue where it stopped, with games that sometimes ignore SIGTERM. After every
// cycle: the game's folder is exactly what it should be (or gone), the row agrees with the disk,
// no staging folder or partial download is left, no process of the game survives, and the open
// file descriptors do not grow; resident memory is reported and must stay flat.
//
// Usage: soak [cycles = 500] [seed]
// The first cycles inject each fault once, so even a short run meets them all.

#include "app/Controller.h"
#include "library/GameListModel.h"
#include "library/ItemDownload.h"
#include "library/NetworkPolicy.h"
#include "runner/GameRunner.h"

#include "TestDir.h"
#include "TestGame.h"
#include "TestHttpServer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <csignal>
#include <iterator>
#include <map>
#include <unistd.h>

using arvexhub::launcher::Controller;
using arvexhub::launcher::GameData;
using arvexhub::launcher::GameListModel;
using arvexhub::launcher::GameRunner;
using arvexhub::launcher::LibraryModel;
using arvexhub::test::TestDir;
using arvexhub::test::TestGame;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

constexpr int waitMs = 30000;
constexpr int stallTimeoutMs = 1000; // long enough that a loaded machine is not taken for a stall
constexpr int fdSlack = 4;
constexpr double memorySlackMb = 24.0;
const QByteArray saveFile("checkpoint 12, 4 lives");

enum class Fault { None, Drop, Stall, Corrupt, Resumed, Paused };

const char* faultName(Fault fault) {
  switch (fault) {
  case Fault::Drop:
    return "dropped connection";
  case Fault::Stall:
    return "stall";
  case Fault::Corrupt:
    return "corrupt archive";
  case Fault::Resumed:
    return "drop resumed";
  case Fault::Paused:
    return "pause and resume";
  case Fault::None:
    break;
  }
  return "none";
}

void say(const QString& line) {
  QTextStream(stdout) << line << Qt::endl;
}

template <typename Predicate>
bool spinUntil(Predicate done, int timeoutMs = waitMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < timeoutMs) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  }
  return done();
}

int openDescriptors() {
  return static_cast<int>(
      QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

double residentMb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) {
    return -1;
  }
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) {
      return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
  }
  return -1;
}

/// Processes whose parent is this one (zombies included).
QStringList childProcesses() {
  QStringList children;
  const QString self = QString::number(::getpid());
  for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
      continue;
    }
    const QByteArray text = stat.readAll();
    // "pid (name) state ppid ...": the name may hold blanks, the last ")" ends it.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() > 1 && QString::fromLatin1(fields.at(1)) == self) {
      children.append(pid);
    }
  }
  return children;
}

class Soak {
public:
  Soak(int cycles, quint32 seed)
      : cycles_(cycles)
      , random_(seed)
      , seed_(seed) {}

  bool prepare() {
    if (!server_.listen()) {
      return fail(QStringLiteral("the test server does not listen"));
    }
    qputenv("ARVEXHUB_CATALOGUE_URL", server_.url(QString()).toString().toUtf8());
    qputenv("ARVEXHUB_RELEASE_FEED_URL", server_.url(QStringLiteral("/releases.json")).toString().toUtf8());
    qputenv("ARVEXHUB_TEST_PIDS", QFile::encodeName(pids_.path()));
    arvexhub::launcher::NetworkPolicy::setStallTimeoutMs(stallTimeoutMs);
    // A drop or a stall is retried before it counts as a failure: quickly, within the cycle's time.
    arvexhub::launcher::ItemDownload::setRetryDelayMs(10);
    offer(1);
    controller_ = std::make_unique<Controller>();
    controller_->runner()->setUpdateQuestion([] { return false; });
    QObject::connect(model(), &GameListModel::gameDownloadFinished, [this](const QString& name) {
      if (name == TestGame::name) {
        downloadEnded_ = true;
      }
    });
    QObject::connect(model(), &LibraryModel::downloadFailed,
                     [this](const QString& name, const QString& reason) {
                       if (name == TestGame::name) {
                         downloadEnded_ = true;
                         failure_ = reason;
                       }
                     });
    return spinUntil([this] { return model()->gameRowByName(TestGame::name) >= 0; }) ||
           fail(QStringLiteral("the catalogue never arrived"));
  }

  bool run() {
    QElapsedTimer clock;
    clock.start();
    for (cycle_ = 0; cycle_ < cycles_; ++cycle_) {
      if (!runCycle()) {
        return false;
      }
      if (cycle_ == warmUpCycles()) {
        baselineFds_ = openDescriptors();
        baselineMb_ = residentMb();
      }
      if (cycle_ > warmUpCycles() && openDescriptors() > baselineFds_ + fdSlack) {
        return fail(QStringLiteral("file descriptors grow: %1 after warm-up, %2 now")
                        .arg(baselineFds_)
                        .arg(openDescriptors()));
      }
      if ((cycle_ + 1) % 50 == 0 || cycle_ + 1 == cycles_) {
        report(clock.elapsed());
      }
    }
    const double grown = residentMb() - baselineMb_;
    say(QStringLiteral("soak: %1 cycles in %2 s, seed %3; faults injected: %4; data lost: none; "
                       "resident memory %5 MB after warm-up, %6 MB at the end")
            .arg(cycles_)
            .arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1)
            .arg(seed_)
            .arg(faultSummary())
            .arg(baselineMb_, 0, 'f', 1)
            .arg(residentMb(), 0, 'f', 1));
#ifndef __SANITIZE_ADDRESS__
    // The address sanitizer's quarantine holds freed memory on purpose; only plain builds can tell.
    if (cycles_ > 2 * warmUpCycles() && grown > memorySlackMb) {
      return fail(QStringLiteral("resident memory grew by %1 MB").arg(grown, 0, 'f', 1));
    }
#else
    Q_UNUSED(grown)
#endif
    return true;
  }

private:
  int warmUpCycles() const {
    return qMin(10, cycles_ / 5);
  }

  GameListModel* model() const {
    return controller_->model();
  }

  QString gamesFolder() const {
    return model()->libraryFolder();
  }

  QString gameFolder() const {
    return gamesFolder() + QLatin1Char('/') + TestGame::name;
  }

  bool fail(const QString& what) {
    say(QStringLiteral("soak FAILED in cycle %1 (seed %2): %3").arg(cycle_).arg(seed_).arg(what));
    return false;
  }

  void offer(int version) {
    TestHttpResponse catalogue;
    catalogue.body = TestGame::catalogue(version, server_.url(QStringLiteral("/game-v%1.zip").arg(version)));
    server_.setResponse(QStringLiteral("/games.json"), catalogue);
  }

  /// The fault of the next download: each once in the first cycles, then one download in four.
  Fault nextFault() {
    static const Fault firstOnes[] = {Fault::Drop, Fault::Stall, Fault::Corrupt, Fault::Resumed,
                                      Fault::Paused};
    constexpr int kinds = int(std::size(firstOnes));
    if (downloads_ < kinds) {
      return firstOnes[downloads_];
    }
    return random_.bounded(4) == 0 ? Fault(1 + random_.bounded(kinds)) : Fault::None;
  }

  void serveArchive(int version, Fault fault) {
    TestHttpResponse response;
    response.body = TestGame::archive(version);
    switch (fault) {
    case Fault::Drop:
      response.dropAfterBytes = random_.bounded(response.body.size());
      break;
    case Fault::Stall:
      response.stallAfterBytes = random_.bounded(response.body.size());
      break;
    case Fault::Corrupt:
      // Flipped bytes inside a file's data: only the archive's checksums can tell.
      for (int flip = 0; flip < 8; ++flip) {
        const int at = response.body.size() / 4 + random_.bounded(response.body.size() / 2);
        response.body[at] = static_cast<char>(response.body.at(at) ^ 0x5a);
      }
      break;
    case Fault::None:
    case Fault::Resumed:
    case Fault::Paused:
      break;
    }
    server_.setResponse(QStringLiteral("/game-v%1.zip").arg(version), response);
  }

  bool refreshCatalogue(int version) {
    offer(version);
    bool merged = false;
    const auto connection =
        QObject::connect(model(), &LibraryModel::updateCheckFinished, [&merged] { merged = true; });
    model()->checkForUpdates();
    const bool ok = spinUntil([&merged] { return merged; });
    QObject::disconnect(connection);
    return ok || fail(QStringLiteral("the catalogue of version %1 never arrived").arg(version));
  }

  /// Downloads and installs the offered version, first with a fault when one is drawn; the
  /// folder must be `before` after a failed attempt and `after` once installed.
  bool download(int version, const QMap<QString, QByteArray>& before,
                const QMap<QString, QByteArray>& after) {
    const Fault fault = nextFault();
    ++downloads_;
    if (fault == Fault::Resumed || fault == Fault::Paused) {
      ++faults_[faultName(fault)];
      return interruptedDownload(version, fault) &&
             checkFolder(after, QStringLiteral("after a %1").arg(QString::fromLatin1(faultName(fault))));
    }
    if (fault != Fault::None) {
      ++faults_[faultName(fault)];
      serveArchive(version, fault);
      if (!attempt(version)) {
        return false;
      }
      if (failure_.isEmpty()) {
        return fail(QStringLiteral("a download with a %1 was reported installed")
                        .arg(QString::fromLatin1(faultName(fault))));
      }
      if (!checkFolder(before, QStringLiteral("after a %1").arg(QString::fromLatin1(faultName(fault))))) {
        return false;
      }
    }
    serveArchive(version, Fault::None);
    if (!attempt(version)) {
      return false;
    }
    if (!failure_.isEmpty()) {
      return fail(QStringLiteral("the download of version %1 failed: %2").arg(version).arg(failure_));
    }
    return checkFolder(after, QStringLiteral("after installing version %1").arg(version));
  }

  bool attempt(int version) {
    if (!startAttempt(version)) {
      return false;
    }
    return spinUntil([this] { return downloadEnded_; }) ||
           fail(QStringLiteral("the download of version %1 never ended").arg(version));
  }

  bool startAttempt(int version) {
    const GameData& game = model()->gameDataByName(TestGame::name);
    if (!game.updateAvailable) {
      return fail(QStringLiteral("version %1 is not offered as a download").arg(version));
    }
    downloadEnded_ = false;
    failure_.clear();
    model()->downloadAndInstallGame(TestGame::name, game.url);
    return true;
  }

  /// A download cut off half way, by the network or by the user, continues from the bytes it has:
  /// it installs, and the server never sends the archive twice over.
  bool interruptedDownload(int version, Fault fault) {
    TestHttpResponse whole;
    whole.body = TestGame::archive(version);
    whole.headers = {{"ETag", QByteArray("\"v") + QByteArray::number(version) + '"'}};
    whole.ranges = true;
    const qint64 size = whole.body.size();
    TestHttpResponse first = whole;
    if (fault == Fault::Resumed) {
      first.dropAfterBytes = size / 4 + random_.bounded(size / 2);
    } else {
      first.bytesPerSecond = size * 2; // slow enough to be caught half way
    }
    const QString path = QStringLiteral("/game-v%1.zip").arg(version);
    server_.setResponse(path, first);
    server_.appendResponse(path, whole);
    const qint64 sentBefore = server_.bodyBytesSent();
    if (!startAttempt(version) || (fault == Fault::Paused && !pauseAndResume())) {
      return false;
    }
    if (!spinUntil([this] { return downloadEnded_; }) || !failure_.isEmpty()) {
      return fail(QStringLiteral("after a %1 the download failed: %2")
                      .arg(QString::fromLatin1(faultName(fault)), failure_));
    }
    const qint64 sent = server_.bodyBytesSent() - sentBefore;
    return sent < 2 * size || fail(QStringLiteral("after a %1 the server sent %2 bytes of a %3-byte archive")
                                       .arg(QString::fromLatin1(faultName(fault)))
                                       .arg(sent)
                                       .arg(size));
  }

  bool pauseAndResume() {
    const auto status = [this] { return model()->downloadStatus(TestGame::name); };
    const auto state = [status] { return status().state; };
    spinUntil([status] { return status().fraction > 0.1; });
    if (!model()->pauseDownload(TestGame::name) ||
        !spinUntil([state] { return state() == arvexhub::launcher::DownloadState::Paused; })) {
      return fail(QStringLiteral("the download could not be paused"));
    }
    spinUntil([] { return false; }, 50);
    return model()->resumeDownload(TestGame::name) ||
           fail(QStringLiteral("the paused download did not resume"));
  }

  /// The folder holds exactly `expected` (nothing at all when empty), and the row agrees.
  bool checkFolder(const QMap<QString, QByteArray>& expected, const QString& when) {
    const auto found = TestGame::readFolder(gameFolder());
    if (found != expected) {
      return fail(QStringLiteral("%1 the game's folder holds [%2], not [%3]")
                      .arg(when, found.keys().join(u' '), expected.keys().join(u' ')));
    }
    const int row = model()->gameRowByName(TestGame::name);
    const GameData& game = model()->gameDataByName(TestGame::name);
    const bool installed = row >= 0 && !game.path.isEmpty();
    if (installed != !expected.isEmpty() || (row >= 0 && game.isBusy)) {
      return fail(
          QStringLiteral("%1 the row says installed=%2 busy=%3").arg(when).arg(installed).arg(game.isBusy));
    }
    const auto left = TestGame::leftovers(gamesFolder(), QDir::tempPath());
    return left.isEmpty() || fail(QStringLiteral("%1 left behind: %2").arg(when, left.join(u' ')));
  }

  bool play() {
    const bool deaf = cycle_ == 3 || random_.bounded(10) == 0;
    if (deaf) {
      ++faults_["game ignoring SIGTERM"];
    }
    qputenv("ARVEXHUB_TEST_GAME", deaf ? "ignore-term" : "run");
    for (const QString& file : QDir(pids_.path()).entryList(QDir::Files)) {
      QFile::remove(pids_.filePath(file));
    }
    GameRunner* runner = controller_->runner();
    runner->start(model()->gameDataByName(TestGame::name).path);
    if (!spinUntil([this] { return !QDir(pids_.path()).entryList(QDir::Files).isEmpty(); })) {
      return fail(QStringLiteral("the game did not start"));
    }
    QFile record(pids_.filePath(QDir(pids_.path()).entryList(QDir::Files).first()));
    // The script writes its line in one go, but the file may be read before it is complete.
    QList<QByteArray> gamePids;
    spinUntil([&] {
      record.open(QIODevice::ReadOnly);
      gamePids = record.readAll().trimmed().split(' ');
      record.close();
      return gamePids.size() == 2;
    });
    runner->stop();
    if (!spinUntil([runner] { return runner->state() == GameRunner::State::Stopped; },
                   GameRunner::stopGracePeriodMs + waitMs)) {
      return fail(QStringLiteral("the game did not stop"));
    }
    const auto gone = [&gamePids] {
      for (const QByteArray& pid : gamePids) {
        if (::kill(static_cast<pid_t>(pid.toInt()), 0) == 0) {
          return false;
        }
      }
      return true;
    };
    if (gamePids.size() != 2 || !spinUntil(gone, GameRunner::stopGracePeriodMs + 2000)) {
      return fail(QStringLiteral("processes of the game survived its stop: %1")
                      .arg(QString::fromLatin1(gamePids.join(' '))));
    }
    return true;
  }

  bool runCycle() {
    QMap<QString, QByteArray> withSave{{QStringLiteral("save.dat"), saveFile}};
    if (!refreshCatalogue(1) || !download(1, {}, TestGame::installedFolder(1, 0))) {
      return false;
    }
    // The user plays; the game writes its save file into its folder.
    QFile save(gameFolder() + QStringLiteral("/save.dat"));
    if (!save.open(QIODevice::WriteOnly) || save.write(saveFile) != saveFile.size()) {
      return fail(QStringLiteral("cannot write the save file"));
    }
    save.close();
    if (!play() || !refreshCatalogue(2) ||
        !download(2, TestGame::installedFolder(1, 0, withSave), TestGame::installedFolder(2, 1, withSave))) {
      return false;
    }
    model()->removeGame(gameFolder());
    if (!checkFolder({}, QStringLiteral("after the removal"))) {
      return false;
    }
    const QStringList children = childProcesses();
    return children.isEmpty() || fail(QStringLiteral("child processes left: %1").arg(children.join(u' ')));
  }

  QString faultSummary() const {
    QStringList parts;
    int total = 0;
    for (const auto& [name, count] : faults_) {
      parts.append(QStringLiteral("%1 %2").arg(count).arg(QString::fromLatin1(name)));
      total += count;
    }
    return QStringLiteral("%1 (%2)").arg(total).arg(parts.join(QStringLiteral(", ")));
  }

  void report(qint64 elapsedMs) const {
    say(QStringLiteral("cycle %1: %2 s, faults %3, open descriptors %4, resident %5 MB")
            .arg(cycle_ + 1)
            .arg(double(elapsedMs) / 1000.0, 0, 'f', 1)
            .arg(faultSummary())
            .arg(openDescriptors())
            .arg(residentMb(), 0, 'f', 1));
  }

  int cycles_;
  QRandomGenerator random_;
  quint32 seed_;
  int cycle_ = 0;
  int downloads_ = 0;
  TestHttpServer server_;
  TestDir pids_;
  std::unique_ptr<Controller> controller_;
  bool downloadEnded_ = false;
  QString failure_;
  std::map<const char*, int> faults_;
  int baselineFds_ = 0;
  double baselineMb_ = 0;
};

} // namespace

int main(int argc, char** argv) {
  // A HOME and temporary folder of its own: nothing real is touched, and nothing else's
  // temporary files are taken for left-overs.
  QTemporaryDir home;
  const QByteArray root = QFile::encodeName(home.path());
  QDir(home.path()).mkpath(QStringLiteral("tmp"));
  QDir(home.path()).mkpath(QStringLiteral("run"));
  QFile::setPermissions(home.path() + QStringLiteral("/run"),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("HOME", root);
  qputenv("TMPDIR", root + "/tmp");
  qputenv("XDG_CONFIG_HOME", root + "/.config");
  qputenv("XDG_CACHE_HOME", root + "/.cache");
  qputenv("XDG_DATA_HOME", root + "/.local/share");
  qputenv("XDG_RUNTIME_DIR", root + "/run");
  QApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  const int cycles = arguments.size() > 1 ? arguments.at(1).toInt() : 500;
  const quint32 seed =
      arguments.size() > 2 ? arguments.at(2).toUInt() : QRandomGenerator::global()->generate();
  if (cycles <= 0) {
    say(QStringLiteral("usage: soak [cycles = 500] [seed]"));
    return 2;
  }
  Soak soak(cycles, seed);
  return soak.prepare() && soak.run() ? 0 : 1;
}
