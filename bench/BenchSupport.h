#pragma once

namespace arvexhub::test {
class TestHttpServer;
}

class QAbstractItemModel;

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <functional>

namespace arvexhub::bench {

/// A private HOME and TMPDIR for one benchmark run (the library lives in $HOME/.arvexhub), and
/// the offscreen platform unless one is chosen. Create it before the QApplication.
class BenchEnvironment final {
public:
  BenchEnvironment();
  Q_DISABLE_COPY_MOVE(BenchEnvironment)

  /// Whether the private folders exist; says so when they could not be made.
  bool isValid() const;
  QString home() const;
  QString temporaryFolder() const;

private:
  QTemporaryDir dir_;
};

/// A field of /proc/self/status in kB ("VmRSS", "VmHWM"); -1 when it cannot be read.
qint64 statusKb(const char* field);
/// Resets VmHWM to the current VmRSS (Linux 4.0+); false when the kernel refuses.
bool resetPeakResident();
double toMb(qint64 kb);

/// Spins the event loop until `done` holds (checked every few ms) or `timeoutMs` passes.
bool spinUntil(const std::function<bool()>& done, int timeoutMs);
/// Runs posted events, deferred deletions included.
void settle();

double elapsedMs(const QElapsedTimer& clock);
/// The shortest of `runs` timings of `work`, in ms.
double bestOfMs(int runs, const std::function<void()>& work);

/// "met" or "MISSED", for the summary lines.
QString verdict(bool met);
QString ms(double milliseconds);
QString ratio(double value);
/// Prints a line to stdout at once, so interleaved warnings keep their order.
void say(const QString& line);

/// A PNG of a colour gradient with per-pixel noise (0..255): realistic sizes, unlike a flat fill.
QByteArray makePng(QSize size, quint32 seed, int noise);
/// A game folder as an install leaves it: an executable launcher.command, VERSION, optionally
/// the <name>.png picture.
bool createInstalledGame(const QString& gamesFolder, const QString& name, const QByteArray& version,
                         const QByteArray& png = {});
/// `count` distinct game names made of common words and a number ("ArvexRacer0001",
/// "HarvestSaga0042"), so a search matches some games and not others.
QStringList gameNames(int count);
/// Installs each named game with createInstalledGame, one in `pictureEvery` (counting from the
/// first) with the picture; says so and returns false when one cannot be made.
bool createInstalledGames(const QString& gamesFolder, const QStringList& names, const QByteArray& png,
                          int pictureEvery);
/// How many rows of `model` have a picture (a non-null pixmap as DecorationRole).
int rowsWithPicture(const QAbstractItemModel& model);
/// Bytes and files below a folder.
qint64 folderBytes(const QString& path, int* files = nullptr);

/// A positive integer argument, or `fallback` when it is missing or not one.
int intArgument(int argc, char** argv, int index, int fallback);

/// Listens on 127.0.0.1 and points the program's catalogue at the server; false, with a
/// message, when it cannot listen.
bool serveCatalogue(arvexhub::test::TestHttpServer& server);

/// The longest gap between the ticks of a fast timer while it runs: how long the event loop was
/// kept from anything else, plus at most the tick interval; and how many gaps passed a target.
class Heartbeat final {
public:
  explicit Heartbeat(double targetStallMs, int intervalMs = 1);
  void start();
  void stop();
  double longestMs() const;
  int gapsOverTarget() const;

private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 targetNs_;
  qint64 last_ = 0;
  qint64 longest_ = 0;
  int over_ = 0;
};

/// Runs a test server on a thread of its own while it lives, as the maker's server is another
/// machine: its work must not count as the program's, nor hold up the program's event loop.
class ServerThread final {
public:
  explicit ServerThread(arvexhub::test::TestHttpServer& server);
  ~ServerThread();
  Q_DISABLE_COPY_MOVE(ServerThread)

  /// Runs `work` on the server's thread and waits for it: the server's routes and records live
  /// there.
  void call(const std::function<void()>& work);

private:
  arvexhub::test::TestHttpServer& server_;
  QThread thread_;
};

} // namespace arvexhub::bench
