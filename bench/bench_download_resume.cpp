// Resume: a large archive served on 127.0.0.1 whose connection is cut half way, continued with a
// ranged request; against a full download of the same archive from the same server. Measures the
// bytes the server sent in all and the time from the cut to the end of the transfer.
//
// Usage: bench_download_resume [archive size in MB = 300]

#include "library/ItemDownload.h"
#include "library/LibraryPaths.h"

#include "BenchSupport.h"
#include "TestHttpServer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QRandomGenerator>

using namespace arvexhub::bench;
using arvexhub::launcher::InstallRequest;
using arvexhub::launcher::ItemDownload;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

constexpr int timeoutMs = 170000;
constexpr double maxBytesRatio = 1.05;
constexpr double maxTimeRatio = 0.6;

/// A stored zip of `megabytes` MB of random data and a start script, made with Info-ZIP.
QString makeArchive(const QString& folder, int megabytes) {
  QFile data(folder + QStringLiteral("/data.bin"));
  QFile script(folder + QStringLiteral("/launcher.command"));
  if (!data.open(QIODevice::WriteOnly) || !script.open(QIODevice::WriteOnly) ||
      script.write("#!/bin/sh\n") < 0) {
    return {};
  }
  QList<quint32> block(1 << 20);
  for (int i = 0; i < megabytes / 4; ++i) {
    QRandomGenerator::global()->fillRange(block.data(), block.size());
    data.write(reinterpret_cast<const char*>(block.constData()), block.size() * qint64(sizeof(quint32)));
  }
  data.close();
  script.close();
  QProcess zip;
  zip.setWorkingDirectory(folder);
  zip.start(QStringLiteral("zip"),
            {QStringLiteral("-0qj"), QStringLiteral("game.zip"), data.fileName(), script.fileName()});
  const bool made = zip.waitForFinished(timeoutMs) && zip.exitCode() == 0;
  data.remove();
  return made ? folder + QStringLiteral("/game.zip") : QString();
}

struct Run {
  double cutToEndMs{-1}; ///< from the cut (or the start, without one) to the end of the transfer
  double totalMs{-1};
  qint64 bytesSent{0};
};

/// Downloads and installs the archive once; `cutAt` >= 0 cuts the first answer after that many bytes.
Run download(TestHttpServer& server, const QString& archive, qint64 cutAt, const QString& name) {
  TestHttpResponse response;
  response.headers = {{"ETag", "\"v1\""}};
  response.ranges = true;
  TestHttpResponse cut = response;
  cut.dropAfterBytes = cutAt;
  server.clear();
  server.appendResponse(QStringLiteral("/game.zip"), cutAt >= 0 ? cut : response, archive);
  server.appendResponse(QStringLiteral("/game.zip"), response, archive);
  QNetworkAccessManager manager;
  InstallRequest request;
  request.itemName = name;
  request.url = server.url(QStringLiteral("/game.zip"));
  request.libraryFolder = arvexhub::launcher::LibraryPaths::libraryFolder(QStringLiteral("games"));
  request.downloadFolder = arvexhub::launcher::LibraryPaths::downloadFolder(QStringLiteral("games"));
  request.kindName = QStringLiteral("games");
  request.mainFilePattern = QStringLiteral("*.command");
  ItemDownload item(&manager, request);
  Run run;
  QElapsedTimer clock;
  QElapsedTimer sinceCut;
  bool transferred = false;
  bool ended = false;
  QObject::connect(&item, &ItemDownload::transferEnded, [&] {
    run.totalMs = elapsedMs(clock);
    run.cutToEndMs = elapsedMs(sinceCut);
    transferred = true;
  });
  QObject::connect(&item, &ItemDownload::finished, [&](bool success, const QString&) { ended = success; });
  clock.start();
  sinceCut.start();
  item.start();
  if (cutAt >= 0 &&
      !spinUntil([&] { return server.requestCount(QStringLiteral("/game.zip")) == 2; }, timeoutMs)) {
    return {};
  }
  sinceCut.start(); // the second request is the one that continues
  if (!spinUntil([&] { return transferred; }, timeoutMs) || !spinUntil([&] { return ended; }, timeoutMs)) {
    return {};
  }
  run.bytesSent = server.bodyBytesSent();
  return run;
}

} // namespace

int main(int argc, char** argv) {
  BenchEnvironment environment;
  QApplication app(argc, argv);
  if (!environment.isValid()) {
    return 1;
  }
  const int megabytes = intArgument(argc, argv, 1, 300);
  TestHttpServer server;
  const QString archive = makeArchive(environment.temporaryFolder(), megabytes);
  if (!server.listen() || archive.isEmpty()) {
    say(QStringLiteral("cannot serve the archive"));
    return 1;
  }
  ItemDownload::setRetryDelayMs(1); // the wait before a retry is policy, not transfer
  const qint64 size = QFileInfo(archive).size();
  download(server, archive, -1, QStringLiteral("Warm")); // the archive in the page cache for both runs
  const Run full = download(server, archive, -1, QStringLiteral("Full"));
  const Run resumed = download(server, archive, size / 2, QStringLiteral("Resumed"));
  if (full.totalMs < 0 || resumed.totalMs < 0) {
    say(QStringLiteral("a download did not finish"));
    return 1;
  }
  const double bytesRatio = double(resumed.bytesSent) / double(size);
  const double timeRatio = resumed.cutToEndMs / full.totalMs;
  say(QStringLiteral("archive: %1 MB").arg(double(size) / 1048576.0, 0, 'f', 1));
  say(QStringLiteral("full download (baseline): %1, %2 bytes sent")
          .arg(ms(full.totalMs))
          .arg(full.bytesSent));
  say(QStringLiteral("cut at half, resumed: %1 from the cut to the end (%2 in all), %3 bytes sent")
          .arg(ms(resumed.cutToEndMs), ms(resumed.totalMs))
          .arg(resumed.bytesSent));
  say(QStringLiteral("bytes sent / size: %1 (target <= %2) %3")
          .arg(ratio(bytesRatio), ratio(maxBytesRatio), verdict(bytesRatio <= maxBytesRatio)));
  say(QStringLiteral("resumed time / full time: %1 (target <= %2) %3")
          .arg(ratio(timeRatio), ratio(maxTimeRatio), verdict(timeRatio <= maxTimeRatio)));
  return 0;
}
