// Console flood: a game that writes a million log lines as fast as it can, run by GameRunner
// and shown by a Console in a 1000x600 window, until the window has painted the last line; its
// lines per second, the longest stall of the event loop and the peak resident memory with the
// view at its block cap. Against a bare QPlainTextEdit with the same block cap, fed the same
// lines from the same game through a QProcess, one edit block per read.
//
// Then, with the console at its cap, finding a text as it is typed and hiding the Debug lines,
// against QTextDocument::find counting the same matches in the same document.
//
// Usage: bench_console_flood [lines = 1000000] [runs = 2]
// Each measurement runs in a fresh process (this program, started again with --measure), so
// the memory of one never counts in the next.

#include "runner/Console.h"
#include "runner/GameRunner.h"
#include "style/Style.h"
#include "widgets/console/ConsoleSearch.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <utility>

using namespace arvexhub::bench;
using arvexhub::launcher::Console;
using arvexhub::launcher::ConsoleSearch;
using arvexhub::launcher::GameRunner;

namespace {

constexpr int timeoutMs = 300000;
constexpr double targetLinesPerSecond = 50000.0;
constexpr double targetRatio = 0.65;
constexpr double targetStallMs = 50.0;
constexpr double targetPeakMb = 100.0;
constexpr double targetFindMs = 50.0;
/// Typed one key at a time; "loaded" is in more than half the lines, in another case.
const QString typedQuery = QStringLiteral("LOADED #9");
constexpr int heartbeatMs = 1;
const QSize windowSize(1000, 600);
const QString measureOption = QStringLiteral("--measure");
const QString consoleMode = QStringLiteral("console");
const QString bareMode = QStringLiteral("bare");

/// The start script of the game: awk writes `lines` log lines of 40 to 60 characters, most in
/// the "[ArvexHub] [frame] Level: message" form (Info, Debug, Warning, Error), some free text
/// with markup characters, some with colour escapes. Every line ends with " #<its number>".
QByteArray floodScript(int lines) {
  return "#!/bin/sh\n"
         "# Writes " +
         QByteArray::number(lines) +
         " log lines as fast as it can, then ends.\n"
         "exec awk -v n=" +
         QByteArray::number(lines) + R"AWK( 'BEGIN {
  split("texture atlas|sound bank|level chunk|shader cache|font page|save slot|mod manifest", thing, "|")
  for (i = 1; i <= n; i++) {
    r = i % 20; t = thing[i % 7 + 1]; f = int(i / 250) + 1; v = (i * 7919) % 10000
    if (r < 11)      printf "[ArvexHub] [%d] Info: %s %d loaded #%d\n", f, t, v, i
    else if (r < 14) printf "[ArvexHub] [%d] Debug: %s took %d us #%d\n", f, t, v, i
    else if (r < 17) printf "[ArvexHub] [%d] Warning: %s %d is late #%d\n", f, t, v, i
    else if (r < 18) printf "[ArvexHub] [%d] Error: cannot open %s %d #%d\n", f, t, v, i
    else if (r < 19) printf "frame %d took %d ms <vsync> & %s #%d\n", f, v % 40, t, i
    else             printf "[ArvexHub] [%d] Info: %s \033[92mok\033[0m %d #%d\n", f, t, v, i
  }
}'
)AWK";
}

QString writeScript(const QString& folder, int lines) {
  const QString path = folder + QStringLiteral("/flood/flood.command");
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  const QByteArray script = floodScript(lines);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(script) != script.size()) {
    return {};
  }
  file.close();
  QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
  return path;
}

QString lineSuffix(qint64 number) {
  return QStringLiteral(" #%1").arg(number);
}

/// Watches a text view until its last block is the game's last line, then until the first
/// paint of the view after that has run: the moment the window shows the last line.
class ShownWatcher final : public QObject {
public:
  ShownWatcher(QPlainTextEdit* view, const QElapsedTimer& clock, int lines)
      : view_(view)
      , clock_(clock)
      , suffix_(lineSuffix(lines)) {
    view->viewport()->installEventFilter(this);
    connect(view->document(), &QTextDocument::contentsChange, this, [this] {
      if (documentNs_ < 0 && view_->document()->lastBlock().text().endsWith(suffix_)) {
        documentNs_ = clock_.nsecsElapsed();
      }
    });
  }
  qint64 documentNs() const {
    return documentNs_;
  }
  qint64 shownNs() const {
    return shownNs_;
  }
  int paints() const {
    return paints_;
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == view_->viewport() && event->type() == QEvent::Paint) {
      ++paints_;
      if (documentNs_ >= 0 && !paintSeen_) {
        paintSeen_ = true;
        // Runs once this paint and the flush of the window it belongs to are done.
        QTimer::singleShot(0, this, [this] { shownNs_ = clock_.nsecsElapsed(); });
      }
    }
    return false;
  }

private:
  QPlainTextEdit* view_;
  const QElapsedTimer& clock_;
  QString suffix_;
  qint64 documentNs_ = -1;
  qint64 shownNs_ = -1;
  bool paintSeen_ = false;
  int paints_ = 0;
};

/// CPU time of this process, all threads, in ns: with the wall time, how much of a run was
/// spent waiting (for the game, or for a machine busy with something else).
qint64 processCpuNs() {
  timespec now{};
  return clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now) == 0 ? qint64(now.tv_sec) * 1000000000 + now.tv_nsec
                                                            : -1;
}

/// Figures of one measurement, passed from the measuring process as "key=value" words.
using Figures = QHash<QString, double>;

void report(const Figures& figures) {
  QStringList words{QStringLiteral("figures")};
  for (auto it = figures.cbegin(); it != figures.cend(); ++it) {
    words << QStringLiteral("%1=%2").arg(it.key()).arg(it.value(), 0, 'f', 3);
  }
  say(words.join(QLatin1Char(' ')));
}

bool showAndWait(QWidget& window) {
  window.resize(windowSize);
  window.show();
  const bool exposed =
      spinUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }, 10000);
  settle();
  return exposed;
}

/// Checks that the view holds exactly the last lines of the game, up to its block cap.
bool viewHoldsTheLastLines(const QPlainTextEdit& view, int lines) {
  const QTextDocument* document = view.document();
  const int kept = std::min(lines, Console::maximumBlockCount);
  const bool ok = document->blockCount() == kept &&
                  document->lastBlock().text().endsWith(lineSuffix(lines)) &&
                  document->firstBlock().text().endsWith(lineSuffix(lines - kept + 1));
  if (!ok) {
    std::fprintf(stderr, "the view holds %d blocks, from \"%s\" to \"%s\"\n", document->blockCount(),
                 qUtf8Printable(document->firstBlock().text()), qUtf8Printable(document->lastBlock().text()));
  }
  return ok;
}

/// Finding in the log the console keeps at its cap: each key of a query typed, until the view has
/// painted the selected match (the first key also copies the log); the Debug filter; and the
/// baseline, QTextDocument::find counting the matches of "loaded" in the same document.
Figures measureFind(Console& console) {
  QPlainTextEdit* view = console.log_view();
  ConsoleSearch search(view);
  QElapsedTimer clock;
  double firstKeyMs = -1;
  double slowestKeyMs = 0;
  int loadedMatches = -1;
  for (qsizetype typed = 1; typed <= typedQuery.size(); ++typed) {
    clock.start();
    search.setQuery(typedQuery.left(typed));
    view->viewport()->repaint();
    const double elapsed = elapsedMs(clock);
    firstKeyMs = firstKeyMs < 0 ? elapsed : firstKeyMs;
    slowestKeyMs = std::max(slowestKeyMs, elapsed);
    loadedMatches = typed == 6 ? search.matchCount() : loadedMatches;
  }
  const int typedMatches = search.matchCount();

  clock.start();
  int documentMatches = 0;
  for (QTextCursor found = view->document()->find(QStringLiteral("loaded")); !found.isNull();
       found = view->document()->find(QStringLiteral("loaded"), found)) {
    ++documentMatches;
  }
  const double documentFindMs = elapsedMs(clock);

  clock.start();
  console.set_debug_shown(false);
  view->viewport()->repaint();
  const double hideMs = elapsedMs(clock);
  search.setQuery(QStringLiteral(" us #")); // only Debug lines say it
  const int hiddenMatches = search.matchCount();
  clock.start();
  console.set_debug_shown(true);
  view->viewport()->repaint();
  const double showMs = elapsedMs(clock);
  if (loadedMatches <= 0 || loadedMatches != documentMatches || typedMatches <= 0 || hiddenMatches != 0) {
    std::fprintf(stderr, "the search found %d \"loaded\" (QTextDocument::find %d), %d \"%s\", %d hidden\n",
                 loadedMatches, documentMatches, typedMatches, qUtf8Printable(typedQuery), hiddenMatches);
    return {};
  }
  return {{QStringLiteral("find_first_ms"), firstKeyMs},
          {QStringLiteral("find_slowest_ms"), slowestKeyMs},
          {QStringLiteral("find_matches"), double(loadedMatches)},
          {QStringLiteral("find_typed_matches"), double(typedMatches)},
          {QStringLiteral("document_find_ms"), documentFindMs},
          {QStringLiteral("debug_hide_ms"), hideMs},
          {QStringLiteral("debug_show_ms"), showMs}};
}

/// The game run by GameRunner, shown by a Console.
int measureConsole(const QString& script, int lines) {
  Console console;
  if (!showAndWait(console)) {
    std::fputs("the console window was not exposed\n", stderr);
    return 1;
  }
  GameRunner runner(nullptr, nullptr);
  QElapsedTimer clock;
  // Around the console's own handler of the same signal: the time spent parsing and storing.
  qint64 handlerStart = 0;
  qint64 handlerNs = 0;
  qint64 received = 0;
  qint64 receivedNs = -1;
  int batches = 0;
  QObject::connect(&runner, &GameRunner::outputProduced, &runner,
                   [&] { handlerStart = clock.nsecsElapsed(); });
  console.set_game_runner(&runner);
  QObject::connect(&runner, &GameRunner::outputProduced, &runner, [&](const QStringList& batch) {
    const qint64 now = clock.nsecsElapsed();
    handlerNs += now - handlerStart;
    received += batch.size();
    receivedNs = now;
    ++batches;
  });
  bool stopped = false;
  QObject::connect(&runner, &GameRunner::stateChanged, &runner, [&] {
    stopped = stopped || (clock.isValid() && runner.state() == GameRunner::State::Stopped);
  });
  ShownWatcher watcher(console.log_view(), clock, lines);
  Heartbeat heartbeat(targetStallMs, heartbeatMs);

  const qint64 idleKb = statusKb("VmRSS");
  const bool hwmReset = resetPeakResident();
  const qint64 cpuStart = processCpuNs();
  heartbeat.start();
  clock.start();
  runner.start(script);
  const bool shown = spinUntil([&] { return watcher.shownNs() >= 0; }, timeoutMs);
  heartbeat.stop();
  const qint64 cpuNs = processCpuNs() - cpuStart;
  const qint64 peakKb = statusKb("VmHWM");
  const qint64 endKb = statusKb("VmRSS");
  if (!shown) {
    std::fprintf(stderr, "the console did not show the last line within %d s (%lld lines received)\n",
                 timeoutMs / 1000, static_cast<long long>(received));
    return 1;
  }
  spinUntil([&] { return stopped; }, 10000);
  const QStringList& messages = console.messages();
  if (received != lines || messages.isEmpty() || !messages.last().endsWith(lineSuffix(lines)) ||
      !viewHoldsTheLastLines(*console.log_view(), lines) || watcher.paints() == 0) {
    std::fprintf(stderr, "the console received %lld lines and keeps %lld messages, with %d paints\n",
                 static_cast<long long>(received), static_cast<long long>(messages.size()), watcher.paints());
    return 1;
  }
  const Figures find = measureFind(console);
  if (find.isEmpty()) {
    return 1;
  }
  Figures figures{{QStringLiteral("shown_ms"), double(watcher.shownNs()) / 1e6},
                  {QStringLiteral("cpu_ms"), double(cpuNs) / 1e6},
                  {QStringLiteral("document_ms"), double(watcher.documentNs()) / 1e6},
                  {QStringLiteral("received_ms"), double(receivedNs) / 1e6},
                  {QStringLiteral("handler_ms"), double(handlerNs) / 1e6},
                  {QStringLiteral("batches"), double(batches)},
                  {QStringLiteral("paints"), double(watcher.paints())},
                  {QStringLiteral("messages"), double(messages.size())},
                  {QStringLiteral("stall_ms"), heartbeat.longestMs()},
                  {QStringLiteral("stalls_over_target"), double(heartbeat.gapsOverTarget())},
                  {QStringLiteral("idle_kb"), double(idleKb)},
                  {QStringLiteral("peak_kb"), hwmReset ? double(peakKb) : -1.0},
                  {QStringLiteral("end_kb"), double(endKb)}};
  figures.insert(find);
  report(figures);
  return 0;
}

/// The same game read by a bare QProcess into a bare QPlainTextEdit: every complete line that
/// a read brought is appended in one edit block, in the console's font, following the end.
int measureBare(const QString& script, int lines) {
  QPlainTextEdit view;
  view.setReadOnly(true);
  view.setUndoRedoEnabled(false);
  view.setMaximumBlockCount(Console::maximumBlockCount);
  view.setLineWrapMode(QPlainTextEdit::NoWrap);
  view.setFont(arvexhub::style::Style::themeOf(&view).fontMonospace);
  if (!showAndWait(view)) {
    std::fputs("the window was not exposed\n", stderr);
    return 1;
  }
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  QElapsedTimer clock;
  qint64 handlerNs = 0;
  qint64 received = 0;
  qint64 receivedNs = -1;
  int batches = 0;
  bool blank = true;
  const auto append = [&](bool includePartialLine) {
    const qint64 start = clock.nsecsElapsed();
    QStringList batch;
    while (process.canReadLine()) {
      batch << QString::fromUtf8(process.readLine()).trimmed();
    }
    if (includePartialLine && process.bytesAvailable() > 0) {
      batch << QString::fromUtf8(process.readAll()).trimmed();
    }
    if (batch.isEmpty()) {
      return;
    }
    QScrollBar* bar = view.verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    QTextCursor cursor(view.document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const QString& line : std::as_const(batch)) {
      if (!std::exchange(blank, false)) {
        cursor.insertBlock();
      }
      cursor.insertText(line);
    }
    cursor.endEditBlock();
    if (atBottom) {
      bar->setValue(bar->maximum());
    }
    const qint64 now = clock.nsecsElapsed();
    handlerNs += now - start;
    received += batch.size();
    receivedNs = now;
    ++batches;
  };
  bool finished = false;
  QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, [&] { append(false); });
  QObject::connect(&process, &QProcess::finished, &process, [&] {
    append(true);
    finished = true;
  });
  ShownWatcher watcher(&view, clock, lines);
  Heartbeat heartbeat(targetStallMs, heartbeatMs);

  const qint64 idleKb = statusKb("VmRSS");
  const bool hwmReset = resetPeakResident();
  const qint64 cpuStart = processCpuNs();
  heartbeat.start();
  clock.start();
  process.start(script, {script});
  const bool shown = spinUntil([&] { return watcher.shownNs() >= 0; }, timeoutMs);
  heartbeat.stop();
  const qint64 cpuNs = processCpuNs() - cpuStart;
  const qint64 peakKb = statusKb("VmHWM");
  const qint64 endKb = statusKb("VmRSS");
  if (!shown) {
    std::fprintf(stderr, "the view did not show the last line within %d s (%lld lines received)\n",
                 timeoutMs / 1000, static_cast<long long>(received));
    return 1;
  }
  spinUntil([&] { return finished; }, 10000);
  if (received != lines || !viewHoldsTheLastLines(view, lines) || watcher.paints() == 0) {
    std::fprintf(stderr, "the view received %lld lines, with %d paints\n", static_cast<long long>(received),
                 watcher.paints());
    return 1;
  }
  report({{QStringLiteral("shown_ms"), double(watcher.shownNs()) / 1e6},
          {QStringLiteral("cpu_ms"), double(cpuNs) / 1e6},
          {QStringLiteral("document_ms"), double(watcher.documentNs()) / 1e6},
          {QStringLiteral("received_ms"), double(receivedNs) / 1e6},
          {QStringLiteral("handler_ms"), double(handlerNs) / 1e6},
          {QStringLiteral("batches"), double(batches)},
          {QStringLiteral("paints"), double(watcher.paints())},
          {QStringLiteral("stall_ms"), heartbeat.longestMs()},
          {QStringLiteral("stalls_over_target"), double(heartbeat.gapsOverTarget())},
          {QStringLiteral("idle_kb"), double(idleKb)},
          {QStringLiteral("peak_kb"), hwmReset ? double(peakKb) : -1.0},
          {QStringLiteral("end_kb"), double(endKb)}});
  return 0;
}

/// Runs one measurement in a fresh process of this program; its figures, or none on failure.
Figures measureInChild(const QString& mode, const QString& script, int lines) {
  QProcess child;
  child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  child.start(QCoreApplication::applicationFilePath(), {measureOption, mode, script, QString::number(lines)});
  if (!child.waitForFinished(timeoutMs + 30000) || child.exitStatus() != QProcess::NormalExit ||
      child.exitCode() != 0) {
    say(QStringLiteral("  the %1 measurement failed (exit %2)").arg(mode).arg(child.exitCode()));
    child.kill();
    child.waitForFinished();
    return {};
  }
  Figures figures;
  for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
    if (!line.startsWith("figures ")) {
      continue;
    }
    for (const QByteArray& word : line.mid(8).split(' ')) {
      const qsizetype equals = word.indexOf('=');
      bool ok = false;
      const double value = word.mid(equals + 1).toDouble(&ok);
      if (equals > 0 && ok) {
        figures.insert(QString::fromLatin1(word.left(equals)), value);
      }
    }
  }
  if (!figures.contains(QStringLiteral("shown_ms"))) {
    say(QStringLiteral("  the %1 measurement reported nothing").arg(mode));
  }
  return figures;
}

/// The game alone, read through a pipe as fast as a QProcess can: the ceiling of any reader.
double generatorMs(const QString& script) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  QElapsedTimer clock;
  clock.start();
  process.start(script, {script});
  while (process.state() != QProcess::NotRunning || process.bytesAvailable() > 0) {
    process.waitForReadyRead(1000);
    process.readAll();
  }
  const double elapsed = elapsedMs(clock);
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? elapsed : -1;
}

QtMessageHandler defaultHandler = nullptr;

/// Passes every message on but the one the offscreen platform gives for each window shown.
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("This plugin does not support propagateSizeHints"))) {
    return;
  }
  if (defaultHandler) {
    defaultHandler(type, context, message);
  }
}

QString mb(qint64 kb) {
  return QString::number(toMb(kb), 'f', 0) + QStringLiteral(" MB");
}

QString perSecond(double lines, double milliseconds) {
  return QString::number(lines / (milliseconds / 1000.0), 'f', 0);
}

} // namespace

int main(int argc, char** argv) {
  if (argc == 5 && QString::fromLocal8Bit(argv[1]) == measureOption) {
    // The environment, the platform included, is the one the first process set up.
    defaultHandler = qInstallMessageHandler(messageHandler);
    QApplication app(argc, argv);
    const QString mode = QString::fromLocal8Bit(argv[2]);
    const QString script = QString::fromLocal8Bit(argv[3]);
    const int lines = intArgument(argc, argv, 4, 0);
    if (lines <= 0) {
      return 1;
    }
    if (mode == consoleMode) {
      return measureConsole(script, lines);
    }
    return mode == bareMode ? measureBare(script, lines) : 1;
  }

  BenchEnvironment environment;
  QCoreApplication app(argc, argv);
  if (!environment.isValid()) {
    return 1;
  }
  const int lines = intArgument(argc, argv, 1, 1000000);
  const int runs = intArgument(argc, argv, 2, 2);
  const QString script = writeScript(environment.temporaryFolder(), lines);
  if (script.isEmpty()) {
    say(QStringLiteral("cannot write the game script"));
    return 1;
  }
  const double generator = generatorMs(script);
  if (generator < 0) {
    say(QStringLiteral("the game script failed"));
    return 1;
  }

  Figures console;
  Figures bare;
  double consoleStall = 0;
  double bareStall = 0;
  int consoleStalls = 0;
  int bareStalls = 0;
  double consolePeakKb = 0;
  double consolePeakAboveIdleKb = 0;
  double barePeakKb = 0;
  double barePeakAboveIdleKb = 0;
  const QString shown = QStringLiteral("shown_ms");
  const QString peak = QStringLiteral("peak_kb");
  const QString idle = QStringLiteral("idle_kb");
  for (int run = 0; run < runs; ++run) {
    // Alternated, so neither always runs on a machine warmed up by the other.
    Figures c;
    Figures b;
    if (run % 2 == 0) {
      c = measureInChild(consoleMode, script, lines);
      b = c.isEmpty() ? Figures() : measureInChild(bareMode, script, lines);
    } else {
      b = measureInChild(bareMode, script, lines);
      c = b.isEmpty() ? Figures() : measureInChild(consoleMode, script, lines);
    }
    if (!c.contains(shown) || !b.contains(shown)) {
      return 1;
    }
    if (c.value(peak) < 0 || b.value(peak) < 0) {
      say(QStringLiteral("the kernel does not reset VmHWM; no peak memory can be measured"));
      return 1;
    }
    say(QStringLiteral("  run %1: Console %2 (%3 lines/s, longest stall %4, peak %5, +%6 above idle); "
                       "bare QPlainTextEdit %7 (%8 lines/s, longest stall %9, peak %10, +%11 above idle)")
            .arg(run + 1)
            .arg(ms(c.value(shown)), perSecond(lines, c.value(shown)),
                 ms(c.value(QStringLiteral("stall_ms"))), mb(qint64(c.value(peak))),
                 mb(qint64(c.value(peak) - c.value(idle))))
            .arg(ms(b.value(shown)), perSecond(lines, b.value(shown)),
                 ms(b.value(QStringLiteral("stall_ms"))), mb(qint64(b.value(peak))),
                 mb(qint64(b.value(peak) - b.value(idle)))));
    if (console.isEmpty() || c.value(shown) < console.value(shown)) {
      console = c;
    }
    if (bare.isEmpty() || b.value(shown) < bare.value(shown)) {
      bare = b;
    }
    consoleStall = std::max(consoleStall, c.value(QStringLiteral("stall_ms")));
    bareStall = std::max(bareStall, b.value(QStringLiteral("stall_ms")));
    consoleStalls += int(c.value(QStringLiteral("stalls_over_target")));
    bareStalls += int(b.value(QStringLiteral("stalls_over_target")));
    consolePeakKb = std::max(consolePeakKb, c.value(peak));
    consolePeakAboveIdleKb = std::max(consolePeakAboveIdleKb, c.value(peak) - c.value(idle));
    barePeakKb = std::max(barePeakKb, b.value(peak));
    barePeakAboveIdleKb = std::max(barePeakAboveIdleKb, b.value(peak) - b.value(idle));
  }

  const double consoleRate = lines / (console.value(shown) / 1000.0);
  const double bareRate = lines / (bare.value(shown) / 1000.0);
  const bool rateMet = consoleRate >= targetLinesPerSecond;
  const bool ratioMet = consoleRate >= targetRatio * bareRate;
  const bool stallMet = consoleStall <= targetStallMs;
  const bool memoryMet = toMb(qint64(consolePeakKb)) <= targetPeakMb;
  say(QStringLiteral(
          "console flood: %1 lines from a game through GameRunner and Console, until the %2x%3 window "
          "showed the last line: %4 (best of %5), %6 lines/s (target >= %7): %8")
          .arg(lines)
          .arg(windowSize.width())
          .arg(windowSize.height())
          .arg(ms(console.value(shown)))
          .arg(runs)
          .arg(perSecond(lines, console.value(shown)))
          .arg(targetLinesPerSecond, 0, 'f', 0)
          .arg(verdict(rateMet)));
  say(QStringLiteral("console flood: a bare QPlainTextEdit fed by a QProcess: %1 (best of %2), %3 lines/s; "
                     "ratio %4 (target >= %5): %6")
          .arg(ms(bare.value(shown)))
          .arg(runs)
          .arg(perSecond(lines, bare.value(shown)))
          .arg(ratio(consoleRate / bareRate))
          .arg(targetRatio, 0, 'f', 2)
          .arg(verdict(ratioMet)));
  say(QStringLiteral(
          "console flood: longest event-loop stall (gap between ticks of a %1 ms timer, worst of %2): "
          "Console %3 (%4 gaps over %5 ms), bare %6 (%7 over) (target <= %5 ms): %8")
          .arg(heartbeatMs)
          .arg(runs)
          .arg(ms(consoleStall))
          .arg(consoleStalls)
          .arg(targetStallMs, 0, 'f', 0)
          .arg(ms(bareStall))
          .arg(bareStalls)
          .arg(verdict(stallMet)));
  say(QStringLiteral(
          "console flood memory: peak resident (VmHWM) of the process, the view ending with %1 blocks "
          "(its cap is %9): Console %2, +%3 above the idle window of %4; bare %5, +%6 above idle (target "
          "<= %7 MB, judged on the Console's whole peak resident): %8")
          .arg(std::min(lines, Console::maximumBlockCount))
          .arg(mb(qint64(consolePeakKb)), mb(qint64(consolePeakAboveIdleKb)), mb(qint64(console.value(idle))),
               mb(qint64(barePeakKb)), mb(qint64(barePeakAboveIdleKb)))
          .arg(targetPeakMb, 0, 'f', 0)
          .arg(verdict(memoryMet))
          .arg(Console::maximumBlockCount));
  const double findMs = std::max(console.value(QStringLiteral("find_first_ms")),
                                 console.value(QStringLiteral("find_slowest_ms")));
  const bool findMet = findMs <= targetFindMs;
  say(QStringLiteral("console find: in the %1 lines the console keeps, \"%2\" typed one key at a time, each "
                     "key until the view painted the selected match: first key %3 (copies the log once), "
                     "slowest key %4 (target <= %5 ms): %6; %7 matches of \"loaded\", %8 of the whole text; "
                     "baseline QTextDocument::find counting the same matches %9")
          .arg(std::min(lines, Console::maximumBlockCount))
          .arg(typedQuery, ms(console.value(QStringLiteral("find_first_ms"))),
               ms(console.value(QStringLiteral("find_slowest_ms"))))
          .arg(targetFindMs, 0, 'f', 0)
          .arg(verdict(findMet))
          .arg(qint64(console.value(QStringLiteral("find_matches"))))
          .arg(qint64(console.value(QStringLiteral("find_typed_matches"))))
          .arg(ms(console.value(QStringLiteral("document_find_ms")))));
  say(QStringLiteral(
          "console Debug filter: hiding the Debug lines among them %1, showing them again %2, each "
          "until the view painted")
          .arg(ms(console.value(QStringLiteral("debug_hide_ms"))),
               ms(console.value(QStringLiteral("debug_show_ms")))));
  say(QStringLiteral(
          "  where the time goes (best runs): the game alone through a pipe %1 (%2 lines/s); Console: "
          "last line received %3, in the document %4, painted %5; %6 in the outputProduced handlers "
          "(parsing, storing) over %7 batches, %8 paints, %9 of CPU in the process; %10 messages kept, "
          "resident at the end "
          "%11")
          .arg(ms(generator), perSecond(lines, generator), ms(console.value(QStringLiteral("received_ms"))),
               ms(console.value(QStringLiteral("document_ms"))), ms(console.value(shown)),
               ms(console.value(QStringLiteral("handler_ms"))))
          .arg(int(console.value(QStringLiteral("batches"))))
          .arg(int(console.value(QStringLiteral("paints"))))
          .arg(ms(console.value(QStringLiteral("cpu_ms"))))
          .arg(qint64(console.value(QStringLiteral("messages"))))
          .arg(mb(qint64(console.value(QStringLiteral("end_kb"))))));
  say(QStringLiteral(
          "  bare: last line received %1, in the document %2, painted %3; %4 reading and appending over "
          "%5 batches, %6 paints, %7 of CPU in the process; resident at the end %8")
          .arg(ms(bare.value(QStringLiteral("received_ms"))), ms(bare.value(QStringLiteral("document_ms"))),
               ms(bare.value(shown)), ms(bare.value(QStringLiteral("handler_ms"))))
          .arg(int(bare.value(QStringLiteral("batches"))))
          .arg(int(bare.value(QStringLiteral("paints"))))
          .arg(ms(bare.value(QStringLiteral("cpu_ms"))))
          .arg(mb(qint64(bare.value(QStringLiteral("end_kb"))))));
  return rateMet && ratioMet && stallMet && memoryMet && findMet ? 0 : 2;
}
