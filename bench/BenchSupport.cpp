#include "BenchSupport.h"

#include "TestHttpServer.h"

#include <QAbstractItemModel>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

namespace arvexhub::bench {

BenchEnvironment::BenchEnvironment() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  if (!dir_.isValid()) {
    return;
  }
  QDir().mkpath(home());
  QDir().mkpath(temporaryFolder());
  qputenv("HOME", QFile::encodeName(home()));
  qputenv("TMPDIR", QFile::encodeName(temporaryFolder()));
  // Settings and caches of the run stay inside it too.
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home() + QStringLiteral("/.config")));
  qputenv("XDG_DATA_HOME", QFile::encodeName(home() + QStringLiteral("/.local/share")));
  qputenv("XDG_CACHE_HOME", QFile::encodeName(home() + QStringLiteral("/.cache")));
  const QString runtime = temporaryFolder() + QStringLiteral("/runtime");
  QDir().mkpath(runtime);
  QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
}

bool BenchEnvironment::isValid() const {
  if (!dir_.isValid()) {
    say(QStringLiteral("cannot create a temporary folder"));
  }
  return dir_.isValid();
}

QString BenchEnvironment::home() const {
  return dir_.filePath(QStringLiteral("home"));
}

QString BenchEnvironment::temporaryFolder() const {
  return dir_.filePath(QStringLiteral("tmp"));
}

qint64 statusKb(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return -1;
  }
  const QByteArray prefix = QByteArray(field) + ':';
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(prefix)) {
      const QByteArray value = line.mid(prefix.size()).trimmed();
      bool ok = false;
      const qint64 kb = value.left(value.indexOf(' ')).toLongLong(&ok);
      return ok ? kb : -1;
    }
  }
  return -1;
}

bool resetPeakResident() {
  QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
  return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1 && clearRefs.flush();
}

double toMb(qint64 kb) {
  return double(kb) / 1024.0;
}

bool spinUntil(const std::function<bool()>& done, int timeoutMs) {
  if (done()) {
    return true;
  }
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) {
      loop.quit();
    }
  });
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  poll.start();
  loop.exec();
  return done();
}

void settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
}

double elapsedMs(const QElapsedTimer& clock) {
  return double(clock.nsecsElapsed()) / 1e6;
}

double bestOfMs(int runs, const std::function<void()>& work) {
  double best = std::numeric_limits<double>::max();
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer clock;
    clock.start();
    work();
    best = std::min(best, elapsedMs(clock));
  }
  return best;
}

QString verdict(bool met) {
  return met ? QStringLiteral("met") : QStringLiteral("MISSED");
}

QString ms(double milliseconds) {
  return QString::number(milliseconds, 'f', milliseconds < 10.0 ? 1 : 0) + QStringLiteral(" ms");
}

QString ratio(double value) {
  return QString::number(value, 'f', 2);
}

void say(const QString& line) {
  std::fputs(qUtf8Printable(line + QLatin1Char('\n')), stdout);
  std::fflush(stdout);
}

QByteArray makePng(QSize size, quint32 seed, int noise) {
  QImage image(size, QImage::Format_RGB32);
  QRandomGenerator random(seed);
  const int hue = int(seed % 360);
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size.width(); ++x) {
      const int jitter = noise > 0 ? int(random.bounded(noise + 1)) - noise / 2 : 0;
      const int r = std::clamp(x * 255 / std::max(1, size.width() - 1) + jitter, 0, 255);
      const int g = std::clamp(y * 255 / std::max(1, size.height() - 1) + jitter, 0, 255);
      const int b = std::clamp((hue + x / 2 + jitter) % 256, 0, 255);
      line[x] = qRgb(r, g, b);
    }
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png;
}

namespace {

bool writeFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

} // namespace

bool createInstalledGame(const QString& gamesFolder, const QString& name, const QByteArray& version,
                         const QByteArray& png) {
  const QString folder = gamesFolder + QLatin1Char('/') + name;
  if (!QDir().mkpath(folder)) {
    return false;
  }
  const QString script = folder + QStringLiteral("/launcher.command");
  if (!writeFile(script, "#!/bin/sh\necho \"" + name.toUtf8() + "\"\n") ||
      !QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner | QFile::ExeGroup |
                                         QFile::ExeOther) ||
      !writeFile(folder + QStringLiteral("/VERSION"), version + '\n')) {
    return false;
  }
  return png.isEmpty() || writeFile(folder + QLatin1Char('/') + name + QStringLiteral(".png"), png);
}

QStringList gameNames(int count) {
  static const std::array<const char*, 16> firsts{"Arvex", "Arctic", "Astro",  "Dark",    "Star",   "Harvest",
                                                  "Iron",  "Neon",   "Pixel",  "Crystal", "Shadow", "Solar",
                                                  "Tiny",  "Wild",   "Frozen", "Lunar"};
  static const std::array<const char*, 16> seconds{
      "Racer",   "Quest", "Tactics", "Legends", "Garden", "Depths", "Odyssey", "Arena",
      "Kingdom", "Drift", "Runner",  "Saga",    "Forge",  "Voyage", "Party",   "Islands"};
  const int pairs = int(firsts.size() * seconds.size());
  QStringList names;
  names.reserve(count);
  for (int index = 0; index < count; ++index) {
    // Neighbouring games start with different words, as in a real library.
    const int pair = index % pairs;
    names.append(QLatin1String(firsts.at(pair % firsts.size())) +
                 QLatin1String(seconds.at(pair / firsts.size())) +
                 QStringLiteral("%1").arg(index / pairs + 1, 4, 10, QLatin1Char('0')));
  }
  return names;
}

bool createInstalledGames(const QString& gamesFolder, const QStringList& names, const QByteArray& png,
                          int pictureEvery) {
  for (qsizetype index = 0; index < names.size(); ++index) {
    const bool withPicture = pictureEvery > 0 && index % pictureEvery == 0;
    if (!createInstalledGame(gamesFolder, names.at(index), "1.0", withPicture ? png : QByteArray())) {
      say(QStringLiteral("cannot create the games in %1").arg(gamesFolder));
      return false;
    }
  }
  return true;
}

int rowsWithPicture(const QAbstractItemModel& model) {
  int count = 0;
  for (int row = 0; row < model.rowCount(); ++row) {
    count += model.index(row, 0).data(Qt::DecorationRole).value<QPixmap>().isNull() ? 0 : 1;
  }
  return count;
}

qint64 folderBytes(const QString& path, int* files) {
  qint64 bytes = 0;
  int count = 0;
  QDirIterator it(path, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    it.next();
    bytes += it.fileInfo().size();
    ++count;
  }
  if (files) {
    *files = count;
  }
  return bytes;
}

int intArgument(int argc, char** argv, int index, int fallback) {
  if (index >= argc) {
    return fallback;
  }
  bool ok = false;
  const int value = QString::fromLocal8Bit(argv[index]).toInt(&ok);
  return ok && value > 0 ? value : fallback;
}

bool serveCatalogue(arvexhub::test::TestHttpServer& server) {
  if (!server.listen()) {
    say(QStringLiteral("cannot listen on 127.0.0.1"));
    return false;
  }
  qputenv("ARVEXHUB_CATALOGUE_URL", server.url(QString()).toString().toUtf8());
  return true;
}

Heartbeat::Heartbeat(double targetStallMs, int intervalMs)
    : targetNs_(qint64(targetStallMs * 1e6)) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(intervalMs);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
    const qint64 now = clock_.nsecsElapsed();
    const qint64 gap = now - last_;
    last_ = now;
    longest_ = std::max(longest_, gap);
    over_ += gap > targetNs_ ? 1 : 0;
  });
}

void Heartbeat::start() {
  clock_.start();
  last_ = 0;
  timer_.start();
}

void Heartbeat::stop() {
  timer_.stop();
}

double Heartbeat::longestMs() const {
  return double(longest_) / 1e6;
}

int Heartbeat::gapsOverTarget() const {
  return over_;
}

ServerThread::ServerThread(arvexhub::test::TestHttpServer& server)
    : server_(server) {
  server_.moveToThread(&thread_);
  thread_.start();
}

ServerThread::~ServerThread() {
  call([this, main = QCoreApplication::instance()->thread()] { server_.moveToThread(main); });
  thread_.quit();
  thread_.wait();
}

void ServerThread::call(const std::function<void()>& work) {
  QMetaObject::invokeMethod(&server_, work, Qt::BlockingQueuedConnection);
}

} // namespace arvexhub::bench
