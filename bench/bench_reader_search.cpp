// Reader search: a 500-page book (written here, with text on every page) opened in the e-book
// reader tab (shown, 1280x800) and searched from its search field, for a word on one page in five
// and for a word on every line. Timed: from the search to the first match listed, and to the full
// list; meanwhile a 1 ms heartbeat timer measures the longest stall of the event loop, and how much
// of it the main thread was busy (target: 50 ms busy). Baseline: the same searches with a bare
// QPdfSearchModel on its own document, in the same run, its full list reached when it holds as many
// matches as the reader found. The machine's load average is printed with the figures: on a loaded
// machine a stall also holds the time the thread waited for a processor.
//
// Usage: bench_reader_search [pages = 500] [runs = 2]

#include "media/EbookReaderTab.h"
#include "media/EbookSearchPanel.h"

#include "BenchSupport.h"
#include "SimplePdf.h"

#include <QApplication>
#include <QFile>
#include <QPdfDocument>
#include <QPdfSearchModel>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <ctime>
#include <tuple>

using namespace arvexhub::bench;
using arvexhub::launcher::EbookReaderTab;
using arvexhub::launcher::EbookSearchPanel;

namespace {

constexpr double stallTargetMs = 50.0;
constexpr int searchTimeoutMs = 120000;
const QStringList words{QStringLiteral("lighthouse"), QStringLiteral("the")};

const char* const lines[] = {
    "The tide came in over the flats while the gulls argued about the last of the light.",
    "Every harbour keeps a ledger of the boats that left and the few that came back again.",
    "She mended the nets by the window and listened to the radio read out the weather.",
    "Rope, tar and salt: the smell of the quay stayed in the coats long after the season.",
    "By morning the fog had lifted enough to show the outline of the northern breakwater.",
    "Nobody could say who first painted the stripes on the tower, only that they had faded.",
};
constexpr int lineCount = sizeof(lines) / sizeof(lines[0]);

/// Pages of 36 lines of text; one page in five also mentions the lighthouse, once.
QByteArray writeBook(int pages) {
  arvexhub::pdf::SimplePdf book(QSizeF(420, 595));
  for (int page = 0; page < pages; ++page) {
    book.newPage();
    if (page % 10 == 0) {
      book.addOutlineEntry(QStringLiteral("Chapter %1").arg(page / 10 + 1), page);
    }
    for (int line = 0; line < 36; ++line) {
      const QString text = page % 5 == 2 && line == 20
                               ? QStringLiteral("At dusk the lighthouse keeper climbed up.")
                               : QString::fromLatin1(lines[(page + line) % lineCount]);
      book.drawText(QPointF(30, 40 + line * 14.5), text, 9, Qt::black);
    }
  }
  return book.toPdf(QStringLiteral("Harbour Ledger"));
}

/// CPU time of the calling thread in ms.
double threadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

/// The longest gap between two ticks of a 1 ms timer: how long the event loop was held at most.
/// On a loaded machine a gap also holds time the thread waited for a processor; the thread's own
/// CPU time between two ticks tells how much of it the program was busy.
class StallMeter final : public QObject {
public:
  StallMeter() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(1);
    connect(&timer_, &QTimer::timeout, this, [this] {
      const double cpu = threadCpuMs();
      worstMs_ = std::max(worstMs_, elapsedMs(sinceTick_));
      worstBusyMs_ = std::max(worstBusyMs_, cpu - cpuAtTick_);
      sinceTick_.start();
      cpuAtTick_ = cpu;
    });
  }
  Q_DISABLE_COPY_MOVE(StallMeter)

  void start() {
    worstMs_ = 0;
    worstBusyMs_ = 0;
    sinceTick_.start();
    cpuAtTick_ = threadCpuMs();
    timer_.start();
  }
  /// The longest gap, and the most CPU time the thread spent between two ticks.
  std::pair<double, double> stop() {
    timer_.stop();
    return {worstMs_, worstBusyMs_};
  }

private:
  QTimer timer_;
  QElapsedTimer sinceTick_;
  double cpuAtTick_{0};
  double worstMs_{0};
  double worstBusyMs_{0};
};

struct Search {
  double firstMs{-1};
  double fullMs{-1};
  double stallMs{-1};
  double busyMs{-1};
  int matches{0};
};

Search searchInReader(EbookSearchPanel* panel, const QString& word) {
  panel->clear();
  settle();
  Search result;
  StallMeter meter;
  QElapsedTimer clock;
  const QObject context;
  QObject::connect(panel->model(), &QAbstractItemModel::rowsInserted, &context, [&] {
    if (result.firstMs < 0) {
      result.firstMs = elapsedMs(clock);
    }
  });
  bool finished = false;
  QObject::connect(panel, &EbookSearchPanel::searchFinished, &context, [&] { finished = true; });
  meter.start();
  clock.start();
  panel->search(word);
  spinUntil([&] { return finished; }, searchTimeoutMs);
  result.fullMs = finished ? elapsedMs(clock) : -1;
  std::tie(result.stallMs, result.busyMs) = meter.stop();
  result.matches = panel->model()->rowCount(QModelIndex());
  return result;
}

Search searchBare(const QString& path, const QString& word, int expected) {
  QPdfDocument document;
  document.load(path);
  QPdfSearchModel model;
  model.setDocument(&document);
  Search result;
  StallMeter meter;
  QElapsedTimer clock;
  QObject::connect(&model, &QAbstractItemModel::rowsInserted, &model, [&] {
    if (result.firstMs < 0) {
      result.firstMs = elapsedMs(clock);
    }
  });
  meter.start();
  clock.start();
  model.setSearchString(word);
  const bool full = spinUntil([&] { return model.rowCount(QModelIndex()) >= expected; }, searchTimeoutMs);
  result.fullMs = full ? elapsedMs(clock) : -1;
  std::tie(result.stallMs, result.busyMs) = meter.stop();
  result.matches = model.rowCount(QModelIndex());
  return result;
}

/// The run with the shortest full list.
Search best(const QList<Search>& runs) {
  return *std::min_element(runs.cbegin(), runs.cend(), [](const Search& a, const Search& b) {
    return a.fullMs >= 0 && (b.fullMs < 0 || a.fullMs < b.fullMs);
  });
}

double worstOf(const QList<Search>& runs, double Search::*figure) {
  double worst = 0;
  for (const auto& run : runs) {
    worst = std::max(worst, run.*figure);
  }
  return worst;
}

void report(const QString& word, const QList<Search>& reader, const QList<Search>& bare) {
  const Search ours = best(reader);
  const Search base = best(bare);
  say(QStringLiteral("\"%1\": %2 matches").arg(word).arg(ours.matches));
  const double busy = worstOf(reader, &Search::busyMs);
  say(QStringLiteral(
          "  reader tab:           first %1, full list %2, longest stall %3, busy %4 of it at most — %5")
          .arg(ms(ours.firstMs), ms(ours.fullMs), ms(worstOf(reader, &Search::stallMs)), ms(busy),
               verdict(busy <= stallTargetMs)));
  say(QStringLiteral(
          "  bare QPdfSearchModel: first %1, full list %2, longest stall %3, busy %4 of it at most")
          .arg(ms(base.firstMs), ms(base.fullMs), ms(worstOf(bare, &Search::stallMs)),
               ms(worstOf(bare, &Search::busyMs))));
}

} // namespace

int main(int argc, char** argv) {
  BenchEnvironment environment;
  if (!environment.isValid()) {
    return 1;
  }
  const int pages = intArgument(argc, argv, 1, 500);
  const int runs = intArgument(argc, argv, 2, 2);
  QApplication app(argc, argv);
  const QString path = environment.temporaryFolder() + QStringLiteral("/book.pdf");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(writeBook(pages)) <= 0) {
    say(QStringLiteral("cannot write %1").arg(path));
    return 1;
  }
  file.close();
  EbookReaderTab reader(nullptr, nullptr);
  reader.resize(1280, 800);
  reader.show();
  reader.setReaderPanelVisible(true);
  reader.openEbook(QUrl::fromLocalFile(path), QString());
  auto* panel = reader.findChild<EbookSearchPanel*>();
  if (!spinUntil([&] { return reader.findChild<QPdfDocument*>()->pageCount() == pages; }, 30000)) {
    say(QStringLiteral("the reader did not open the %1-page book").arg(pages));
    return 1;
  }
  QFile load(QStringLiteral("/proc/loadavg"));
  const QString loadAverage = load.open(QIODevice::ReadOnly)
                                  ? QString::fromLatin1(load.readLine()).section(QLatin1Char(' '), 0, 2)
                                  : QStringLiteral("unknown");
  say(QStringLiteral("Reader search, a %1-page book, best of %2 runs (load average %3)")
          .arg(pages)
          .arg(runs)
          .arg(loadAverage));
  bool met = true;
  for (const auto& word : words) {
    QList<Search> ours;
    QList<Search> bare;
    for (int run = 0; run < runs; ++run) {
      ours.append(searchInReader(panel, word));
      bare.append(searchBare(path, word, ours.last().matches));
    }
    report(word, ours, bare);
    met = met && worstOf(ours, &Search::busyMs) <= stallTargetMs && best(ours).fullMs >= 0;
  }
  return met ? 0 : 1;
}
