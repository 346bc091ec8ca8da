// Install: GameListModel::downloadAndInstallGame of a large archive served on 127.0.0.1, end to
// end (download, checks, extraction, swap into place) until gameDownloadFinished, with the peak
// resident memory it adds to the idle program; against `curl -o` then `unzip` of the same
// archive from the same server.
//
// Usage: bench_install [archive size in MB = 300] [runs = 2]
// The archive is made once (random, so incompressible) in the build folder and reused.

#include "library/GameListModel.h"
#include "library/LibraryPaths.h"
#include "library/NetworkPolicy.h"

#include "BenchSupport.h"
#include "TestHttpServer.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace arvexhub::bench;
using arvexhub::launcher::GameListModel;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

constexpr int timeoutMs = 170000;
constexpr double targetRatio = 1.25;
constexpr double targetPeakMb = 64.0;
constexpr int dataFiles = 4;
const QString gameName = QStringLiteral("BigGame");

bool writeRandomFile(const QString& path, qint64 size) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    return false;
  }
  QList<quint32> block(4 * 1024 * 1024 / sizeof(quint32));
  for (qint64 left = size; left > 0;) {
    QRandomGenerator::global()->fillRange(block.data(), block.size());
    const qint64 bytes = std::min<qint64>(left, block.size() * qint64(sizeof(quint32)));
    if (file.write(reinterpret_cast<const char*>(block.constData()), bytes) != bytes) {
      return false;
    }
    left -= bytes;
  }
  return true;
}

/// The archive of `megabytes` MB: launcher.command and a few random data files, stored (random
/// data does not compress). Made once; a finished archive is only ever renamed into place.
QString archive(int megabytes) {
  const QString folder = QStringLiteral(ARVEXHUB_BENCH_DATA_DIR);
  const QString path = folder + QStringLiteral("/install-%1MB.zip").arg(megabytes);
  if (QFile::exists(path)) {
    return path;
  }
  say(QStringLiteral("  making %1 (once)").arg(path));
  QDir().mkpath(folder);
  QTemporaryDir staging(folder + QStringLiteral("/staging-XXXXXX"));
  const QString launcher = staging.filePath(QStringLiteral("launcher.command"));
  QFile script(launcher);
  if (!staging.isValid() || !script.open(QIODevice::WriteOnly) ||
      script.write("#!/bin/sh\necho \"Big game\"\n") < 0) {
    return {};
  }
  script.close();
  QFile::setPermissions(launcher,
                        QFile::permissions(launcher) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
  QDir(staging.path()).mkpath(QStringLiteral("data"));
  const qint64 perFile = qint64(megabytes) * 1024 * 1024 / dataFiles;
  for (int index = 0; index < dataFiles; ++index) {
    if (!writeRandomFile(staging.filePath(QStringLiteral("data/pak%1.bin").arg(index)), perFile)) {
      return {};
    }
  }
  const QString partial = path + QStringLiteral(".part");
  QFile::remove(partial);
  QProcess zip;
  zip.setWorkingDirectory(staging.path());
  zip.start(QStringLiteral("zip"),
            {QStringLiteral("-q"), QStringLiteral("-0"), QStringLiteral("-X"), QStringLiteral("-r"), partial,
             QStringLiteral("launcher.command"), QStringLiteral("data")});
  if (!zip.waitForFinished(-1) || zip.exitStatus() != QProcess::NormalExit || zip.exitCode() != 0 ||
      !QFile::rename(partial, path)) {
    say(QStringLiteral("  zip failed: %1").arg(QString::fromLocal8Bit(zip.readAllStandardError())));
    return {};
  }
  return path;
}

QByteArray sha256Of(const QString& path) {
  QFile file(path);
  QCryptographicHash hash(QCryptographicHash::Sha256);
  if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file)) {
    return {};
  }
  return hash.result().toHex();
}

/// Samples VmRSS every 20 ms on a thread of its own: the extraction blocks the event loop, so a
/// timer there would miss it.
class RssSampler final {
public:
  RssSampler()
      : thread_([this] {
        while (!stop_) {
          const qint64 kb = statusKb("VmRSS");
          qint64 seen = peak_;
          while (kb > seen && !peak_.compare_exchange_weak(seen, kb)) {
          }
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
      }) {}
  ~RssSampler() {
    stop_ = true;
    thread_.join();
  }
  Q_DISABLE_COPY_MOVE(RssSampler)
  qint64 peakKb() const {
    return peak_;
  }

private:
  std::atomic<bool> stop_{false};
  std::atomic<qint64> peak_{0};
  std::thread thread_;
};

struct ModelRun {
  double totalMs = -1;
  double downloadMs = -1; // request sent -> reply finished; the rest is checks, extraction, swap
  double idleMb = 0;
  double peakDeltaMb = 0;
  bool hwmUsed = false;
};

ModelRun runModel(TestHttpServer& server, const QString& archivePath, const QByteArray& sha256) {
  ModelRun run;
  const QUrl url = server.url(QStringLiteral("/BigGame.zip"));
  QJsonObject entry{{QStringLiteral("name"), gameName},
                    {QStringLiteral("fullName"), QStringLiteral("The Big Game")},
                    {QStringLiteral("developer"), QStringLiteral("Arvex Studio")},
                    {QStringLiteral("version"), QStringLiteral("1.0")},
                    {QStringLiteral("url"), url.toString()}};
  if (!sha256.isEmpty()) {
    entry.insert(QStringLiteral("sha256"), QString::fromLatin1(sha256));
  }
  TestHttpResponse catalogue;
  catalogue.body = QJsonDocument(QJsonArray{entry}).toJson();
  server.setResponse(QStringLiteral("/games.json"), catalogue);
  server.setBodyFromFile(QStringLiteral("/BigGame.zip"), archivePath);

  auto model = std::make_unique<GameListModel>();
  bool merged = false;
  QObject::connect(model.get(), &GameListModel::updateCheckFinished, model.get(), [&] { merged = true; });
  if (!spinUntil([&] { return merged; }, 10000)) {
    say(QStringLiteral("  the catalogue was not merged"));
    return run;
  }
  settle();

  QElapsedTimer clock;
  qint64 downloaded = -1;
  qint64 installed = -1;
  bool failed = false;
  QObject::connect(model->networkManager(), &QNetworkAccessManager::finished, model.get(),
                   [&](QNetworkReply* reply) {
                     if (reply->url() == url) {
                       downloaded = clock.nsecsElapsed();
                     }
                   });
  QObject::connect(model.get(), &GameListModel::gameDownloadFinished, model.get(),
                   [&] { installed = clock.nsecsElapsed(); });
  QObject::connect(model.get(), &QAbstractItemModel::dataChanged, model.get(), [&] {
    const auto& game = model->gameDataByName(gameName);
    failed = failed || (clock.isValid() && !game.isBusy && game.path.isEmpty());
  });

  const qint64 idleKb = statusKb("VmRSS");
  run.hwmUsed = resetPeakResident();
  {
    const RssSampler sampler;
    clock.start();
    model->downloadAndInstallGame(gameName, url);
    spinUntil([&] { return installed >= 0 || failed; }, timeoutMs);
    const qint64 peakKb = std::max(sampler.peakKb(), run.hwmUsed ? statusKb("VmHWM") : 0);
    run.idleMb = toMb(idleKb);
    run.peakDeltaMb = toMb(peakKb - idleKb);
  }
  if (installed < 0) {
    say(QStringLiteral("  the installation %1")
            .arg(failed ? QStringLiteral("failed") : QStringLiteral("timed out")));
    return run;
  }
  run.totalMs = double(installed) / 1e6;
  run.downloadMs = downloaded >= 0 ? double(downloaded) / 1e6 : -1;
  const QString gameFolder =
      arvexhub::launcher::LibraryPaths::libraryFolder(QStringLiteral("games")) + gameName;
  int files = 0;
  const qint64 bytes = folderBytes(gameFolder, &files);
  if (files != dataFiles + 2 || !QFileInfo(gameFolder + QStringLiteral("/launcher.command")).isExecutable()) {
    say(QStringLiteral("  unexpected installation: %1 files, %2 bytes").arg(files).arg(bytes));
    run.totalMs = -1;
  }
  model.reset();
  settle();
  QDir(gameFolder).removeRecursively();
  return run;
}

struct BaselineRun {
  double totalMs = -1;
  double curlMs = -1;
};

/// Runs a program while the event loop (and so the server) keeps running; its time in ms, or -1.
double runProcess(const QString& program, const QStringList& arguments) {
  QProcess process;
  bool done = false;
  QObject::connect(&process, &QProcess::finished, &process, [&] { done = true; });
  QObject::connect(&process, &QProcess::errorOccurred, &process, [&](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) {
      done = true;
    }
  });
  QElapsedTimer clock;
  clock.start();
  process.start(program, arguments);
  spinUntil([&] { return done; }, timeoutMs);
  const double elapsed = elapsedMs(clock);
  if (process.state() != QProcess::NotRunning || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    say(QStringLiteral("  %1 failed: %2")
            .arg(program, QString::fromLocal8Bit(process.readAllStandardError())));
    process.kill();
    process.waitForFinished();
    return -1;
  }
  return elapsed;
}

BaselineRun runBaseline(TestHttpServer& server, const QString& archivePath, const QString& scratch) {
  BaselineRun run;
  server.setBodyFromFile(QStringLiteral("/BigGame.zip"), archivePath);
  const QString download = scratch + QStringLiteral("/baseline.zip");
  const QString target = scratch + QStringLiteral("/baseline");
  const double curl =
      runProcess(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"), download,
                                          server.url(QStringLiteral("/BigGame.zip")).toString()});
  const double unzip = curl < 0
                           ? -1
                           : runProcess(QStringLiteral("unzip"), {QStringLiteral("-q"), QStringLiteral("-o"),
                                                                  download, QStringLiteral("-d"), target});
  if (unzip >= 0) {
    run.curlMs = curl;
    run.totalMs = curl + unzip;
  }
  QFile::remove(download);
  QDir(target).removeRecursively();
  return run;
}

/// The same archive fetched by a bare QNetworkAccessManager into a file, with `readBufferSize`
/// (0: unbounded): what Qt's HTTP stack and this in-process server give without the program.
double qtDownloadMs(TestHttpServer& server, const QString& archivePath, const QString& scratch,
                    qint64 readBufferSize) {
  server.setBodyFromFile(QStringLiteral("/BigGame.zip"), archivePath);
  QNetworkAccessManager manager;
  QFile file(scratch + QStringLiteral("/qt-download.zip"));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    return -1;
  }
  QElapsedTimer clock;
  clock.start();
  QNetworkReply* reply = manager.get(QNetworkRequest(server.url(QStringLiteral("/BigGame.zip"))));
  reply->setReadBufferSize(readBufferSize);
  bool done = false;
  QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] { file.write(reply->readAll()); });
  QObject::connect(reply, &QNetworkReply::finished, reply, [&] {
    file.write(reply->readAll());
    done = true;
  });
  spinUntil([&] { return done; }, timeoutMs);
  const double elapsed = elapsedMs(clock);
  const bool ok =
      done && reply->error() == QNetworkReply::NoError && file.size() == QFileInfo(archivePath).size();
  delete reply;
  file.remove();
  return ok ? elapsed : -1;
}

} // namespace

int main(int argc, char** argv) {
  BenchEnvironment environment;
  QApplication app(argc, argv);
  if (!environment.isValid()) {
    return 1;
  }
  const int megabytes = intArgument(argc, argv, 1, 300);
  const int runs = intArgument(argc, argv, 2, 2);

  TestHttpServer server;
  if (!serveCatalogue(server)) {
    return 1;
  }

  const QString archivePath = archive(megabytes);
  if (archivePath.isEmpty()) {
    say(QStringLiteral("cannot make the archive"));
    return 1;
  }
  // Reading it once puts it in the page cache for every run alike; the checksum is what a
  // catalogue entry would carry.
  QElapsedTimer hashClock;
  hashClock.start();
  const QByteArray sha256 = sha256Of(archivePath);
  const double hashMs = elapsedMs(hashClock);
  const double archiveMb = double(QFileInfo(archivePath).size()) / 1048576.0;

  ModelRun plain;
  ModelRun checked;
  BaselineRun baseline;
  double peak = 0;
  double qtDownload = -1;
  double qtBufferedDownload = -1;
  auto better = [](double current, double best) { return current >= 0 && (best < 0 || current < best); };
  for (int run = 0; run < runs; ++run) {
    const ModelRun p = runModel(server, archivePath, {});
    const BaselineRun b = runBaseline(server, archivePath, environment.temporaryFolder());
    const ModelRun c = runModel(server, archivePath, sha256);
    if (p.totalMs < 0 || b.totalMs < 0 || c.totalMs < 0) {
      return 1;
    }
    say(QStringLiteral("  run %1: model %2 (download %3), with sha256 %4; curl + unzip %5 (curl %6); peak "
                       "+%7 MB, with sha256 +%8 MB")
            .arg(run + 1)
            .arg(ms(p.totalMs), ms(p.downloadMs), ms(c.totalMs), ms(b.totalMs), ms(b.curlMs))
            .arg(p.peakDeltaMb, 0, 'f', 1)
            .arg(c.peakDeltaMb, 0, 'f', 1));
    if (better(p.totalMs, plain.totalMs)) {
      plain = p;
    }
    if (better(c.totalMs, checked.totalMs)) {
      checked = c;
    }
    if (better(b.totalMs, baseline.totalMs)) {
      baseline = b;
    }
    peak = std::max({peak, p.peakDeltaMb, c.peakDeltaMb});
    const double unbuffered = qtDownloadMs(server, archivePath, environment.temporaryFolder(), 0);
    const double buffered = qtDownloadMs(server, archivePath, environment.temporaryFolder(),
                                         arvexhub::launcher::NetworkPolicy::streamedReadBufferSize);
    qtDownload = better(unbuffered, qtDownload) ? unbuffered : qtDownload;
    qtBufferedDownload = better(buffered, qtBufferedDownload) ? buffered : qtBufferedDownload;
  }

  const bool timeMet = plain.totalMs <= targetRatio * baseline.totalMs;
  const bool checkedMet = checked.totalMs <= targetRatio * baseline.totalMs;
  const bool memoryMet = peak <= targetPeakMb;
  say(QStringLiteral("install: %1 MB archive: downloadAndInstallGame %2 (best of %3); curl + unzip: %4 (best "
                     "of %3); ratio %5 (target <= %6): %7")
          .arg(archiveMb, 0, 'f', 0)
          .arg(ms(plain.totalMs))
          .arg(runs)
          .arg(ms(baseline.totalMs))
          .arg(ratio(plain.totalMs / baseline.totalMs))
          .arg(targetRatio, 0, 'f', 2)
          .arg(verdict(timeMet)));
  say(QStringLiteral(
          "install with a sha256 in the catalogue: %1 (best of %2); ratio to curl + unzip %3 (target "
          "<= %4): %5")
          .arg(ms(checked.totalMs))
          .arg(runs)
          .arg(ratio(checked.totalMs / baseline.totalMs))
          .arg(targetRatio, 0, 'f', 2)
          .arg(verdict(checkedMet)));
  say(QStringLiteral(
          "  where the time goes: the model's download alone %1, curl's %2; a bare QNetworkAccessManager "
          "download to a file from the same server: %3 with Qt's unbounded read buffer, %4 with "
          "the 1 MB buffer the program uses (best of %5); QCryptographicHash SHA-256 of the cached archive "
          "alone: %6")
          .arg(ms(plain.downloadMs), ms(baseline.curlMs), ms(qtDownload), ms(qtBufferedDownload))
          .arg(runs)
          .arg(ms(hashMs)));
  say(QStringLiteral("install peak memory: +%1 MB above the idle program (%2 MB; %3) (target <= %4 MB): %5")
          .arg(peak, 0, 'f', 1)
          .arg(plain.idleMb, 0, 'f', 0)
          .arg(plain.hwmUsed ? QStringLiteral("VmHWM reset before, and VmRSS sampled every 20 ms")
                             : QStringLiteral("VmRSS sampled every 20 ms"))
          .arg(targetPeakMb, 0, 'f', 0)
          .arg(verdict(memoryMet)));
  return timeMet && checkedMet && memoryMet ? 0 : 2;
}
