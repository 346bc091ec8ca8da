// Search: keystrokes typed into the tool bar's search field of the real main window (1920x1080,
// games tab, 10,000 installed games), each timed from the key press until the games grid has
// repainted; against the same filter strings set on a bare QSortFilterProxyModel (configured as
// the games model's proxy: case-insensitive, sorted, dynamic) over a QStringListModel of the same
// names, without a view. The sequence types "arvex" and erases it again, several rounds.
//
// Usage: bench_search_filter [installed games = 10000] [rounds = 3] [sort order = Name]
//        [filter = All]
// The sort order (Name, RecentlyPlayed, RecentlyAdded, InstalledFirst) and the filter (All,
// Installed) are the tool bar's; with RecentlyPlayed, one game in 50 has been played.

#include "app/Application.h"
#include "app/BasicUpdater.h"
#include "app/Controller.h"
#include "app/Startup.h"
#include "library/GameListModel.h"
#include "library/LibraryPaths.h"
#include "library/LibraryProxyModel.h"
#include "library/PlayTimeStore.h"
#include "style/widgets/LineEdit.h"
#include "widgets/views/GameListView.h"
#include "widgets/window/MainWindow.h"
#include "widgets/window/ToolBar.h"

#include "BenchSupport.h"

#include <QHostAddress>
#include <QLineEdit>
#include <QMetaEnum>
#include <QPaintEvent>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QTabWidget>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <optional>

using namespace arvexhub::bench;
using arvexhub::launcher::Application;
using arvexhub::launcher::MainWindow;

namespace {

constexpr double targetMs = 60.0;
constexpr int pictureEvery = 10;
constexpr int repaintTimeoutMs = 10000;
const QSize windowSize(1920, 1080);
const QString word = QStringLiteral("arvex");

/// Stamps the next Paint event of the watched widget.
class NextPaint final : public QObject {
public:
  using QObject::QObject;
  Q_DISABLE_COPY_MOVE(NextPaint)

  void arm(const QElapsedTimer& clock) {
    clock_ = &clock;
    paintMs_ = -1;
  }
  bool seen() const {
    return paintMs_ >= 0;
  }
  double paintMs() const {
    return paintMs_;
  }
  /// Whether the caught Paint event covered the whole watched widget.
  bool whole() const {
    return whole_;
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && clock_ != nullptr && paintMs_ < 0) {
      paintMs_ = elapsedMs(*clock_);
      whole_ = static_cast<QPaintEvent*>(event)->rect().contains(static_cast<QWidget*>(watched)->rect());
    }
    return QObject::eventFilter(watched, event);
  }

private:
  const QElapsedTimer* clock_{nullptr};
  double paintMs_{-1};
  bool whole_{false};
};

struct Keystroke {
  QString text;       // the field's text after it
  int rows = 0;       // rows shown after it
  double totalMs = 0; // key press -> the grid's repaint done
  double keyMs = 0;   // the key press and release handled: filter applied, views told
  double paintMs = 0; // key press -> the grid's Paint event delivered
  bool wholeGrid = false;
};

/// The sequence: type the word, then erase it, letter by letter.
QList<int> keys() {
  QList<int> result;
  for (const QChar letter : word) {
    result.append(Qt::Key_A + (letter.unicode() - 'a'));
  }
  for (qsizetype index = 0; index < word.size(); ++index) {
    result.append(Qt::Key_Backspace);
  }
  return result;
}

QString textAfter(int keystroke) {
  const int length = int(word.size());
  return word.left(keystroke < length ? keystroke + 1 : 2 * length - keystroke - 1);
}

int expectedRows(const QStringList& names, const QString& text) {
  return int(std::count_if(names.cbegin(), names.cend(),
                           [&](const QString& name) { return name.contains(text, Qt::CaseInsensitive); }));
}

Keystroke typeKey(QLineEdit* field, int key, NextPaint& paint, const QSortFilterProxyModel* proxy) {
  Keystroke result;
  QElapsedTimer clock;
  clock.start();
  paint.arm(clock);
  QTest::keyClick(field, Qt::Key(key), Qt::NoModifier);
  result.keyMs = elapsedMs(clock);
  QTimer timeout;
  timeout.setSingleShot(true);
  timeout.start(repaintTimeoutMs);
  while (!paint.seen() && timeout.isActive()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  result.totalMs = elapsedMs(clock);
  result.paintMs = paint.seen() ? paint.paintMs() : -1;
  result.wholeGrid = paint.whole();
  result.text = field->text();
  result.rows = proxy->rowCount();
  settle(); // what else the keystroke queued runs before the next one, as between a user's keys
  return result;
}

/// The same filter strings on a bare proxy, without a view; each call's time in ms.
QList<double> baselineFilters(const QStringList& names, int rounds) {
  QStringListModel source(names);
  QSortFilterProxyModel proxy;
  proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
  proxy.setSortRole(Qt::DisplayRole);
  proxy.setDynamicSortFilter(true);
  proxy.setSourceModel(&source);
  proxy.sort(0, Qt::AscendingOrder);
  QList<double> times;
  const auto sequence = keys();
  for (int round = 0; round < rounds; ++round) {
    for (int keystroke = 0; keystroke < sequence.size(); ++keystroke) {
      QElapsedTimer clock;
      clock.start();
      proxy.setFilterFixedString(textAfter(keystroke));
      times.append(elapsedMs(clock));
    }
  }
  return times;
}

double average(const QList<double>& values) {
  double sum = 0;
  for (const double value : values) {
    sum += value;
  }
  return values.isEmpty() ? -1 : sum / double(values.size());
}

double worst(const QList<double>& values) {
  return values.isEmpty() ? -1 : *std::max_element(values.cbegin(), values.cend());
}

/// A loopback address that refuses connections: the catalogue and the release feed fail at once.
bool refuseNetwork() {
  QTcpServer server;
  if (!server.listen(QHostAddress::LocalHost)) {
    return false;
  }
  const QByteArray url = "http://127.0.0.1:" + QByteArray::number(server.serverPort());
  server.close();
  qputenv("ARVEXHUB_CATALOGUE_URL", url);
  qputenv("ARVEXHUB_RELEASE_FEED_URL", url + "/releases.json");
  return true;
}

/// The shown window on the games tab, its library and pictures loaded and its start-up checks
/// over: what a user types into.
bool prepareWindow(Application& app, int games) {
  MainWindow* window = app.mainWindow();
  const auto* model = app.controller()->model();
  bool checked = false;
  const QObject context;
  QObject::connect(app.controller()->updater(), &arvexhub::launcher::BasicUpdater::checkFinished, &context,
                   [&] { checked = true; });
  window->tabWidget()->setCurrentIndex(MainWindow::GamesTab);
  window->resize(windowSize);
  const int pictures = (games + pictureEvery - 1) / pictureEvery;
  const bool ready = spinUntil(
      [&] {
        return checked && model->proxyModel()->rowCount() == games && rowsWithPicture(*model) == pictures;
      },
      60000);
  window->activateWindow();
  window->toolBar()->searchField()->setFocus(Qt::MouseFocusReason);
  settle();
  return ready && window->size() == windowSize;
}

void reportKeystrokes(const QList<QList<Keystroke>>& rounds) {
  for (qsizetype index = 0; index < rounds.first().size(); ++index) {
    QStringList times;
    QStringList breakdown;
    for (const auto& round : rounds) {
      const Keystroke& key = round.at(index);
      times.append(ms(key.totalMs));
      breakdown.append(QStringLiteral("%1/%2").arg(ms(key.keyMs), ms(key.paintMs)));
    }
    const Keystroke& first = rounds.first().at(index);
    say(QStringLiteral("  \"%1\" (%2 rows): %3  [key handled / Paint delivered: %4]")
            .arg(first.text)
            .arg(first.rows)
            .arg(times.join(QStringLiteral(", ")), breakdown.join(QStringLiteral(", "))));
  }
}

/// Types the sequence `rounds` times into the window's search field; nothing when a keystroke
/// left the wrong text or rows, or no repaint.
std::optional<QList<QList<Keystroke>>> typeRounds(const Application& app, const QStringList& names,
                                                  int rounds) {
  auto* field = app.mainWindow()->toolBar()->searchField();
  const auto* proxy = app.controller()->model()->proxyModel();
  NextPaint paint;
  app.mainWindow()->gameListView()->viewport()->installEventFilter(&paint);
  QList<QList<Keystroke>> typed;
  const auto sequence = keys();
  for (int round = 0; round < rounds; ++round) {
    QList<Keystroke> keystrokes;
    for (int keystroke = 0; keystroke < sequence.size(); ++keystroke) {
      const Keystroke key = typeKey(field, sequence.at(keystroke), paint, proxy);
      const int expected = expectedRows(names, textAfter(keystroke));
      if (key.paintMs < 0 || key.text != textAfter(keystroke) || key.rows != expected) {
        say(QStringLiteral("keystroke %1: \"%2\", %3 rows (%4 expected), %5")
                .arg(keystroke + 1)
                .arg(key.text)
                .arg(key.rows)
                .arg(expected)
                .arg(key.paintMs < 0 ? QStringLiteral("no repaint") : QStringLiteral("repainted")));
        return std::nullopt;
      }
      keystrokes.append(key);
    }
    typed.append(keystrokes);
  }
  return typed;
}

/// Prints the figures; whether the target is met.
bool report(const QList<QList<Keystroke>>& typed, const QList<double>& baseline, QSize grid, int games) {
  QList<double> totals;
  int whole = 0;
  for (const auto& round : typed) {
    for (const Keystroke& key : round) {
      totals.append(key.totalMs);
      whole += key.wholeGrid ? 1 : 0;
    }
  }
  say(QStringLiteral(
          "search: %1 installed games (1 in %2 with a picture, all loaded), %3x%4 window on the games "
          "tab, grid viewport %5x%6; \"%7\" typed and erased, %8 rounds; %9 of %10 repaints covered the "
          "whole grid")
          .arg(games)
          .arg(pictureEvery)
          .arg(windowSize.width())
          .arg(windowSize.height())
          .arg(grid.width())
          .arg(grid.height())
          .arg(word)
          .arg(typed.size())
          .arg(whole)
          .arg(totals.size()));
  reportKeystrokes(typed);
  const bool met = average(totals) <= targetMs && worst(totals) <= targetMs;
  say(QStringLiteral("search keystroke to repainted grid: average %1, worst %2 (%3 keystrokes) (target <= %4 "
                     "each): %5")
          .arg(ms(average(totals)), ms(worst(totals)))
          .arg(totals.size())
          .arg(ms(targetMs))
          .arg(verdict(met)));
  say(QStringLiteral(
          "search: bare QSortFilterProxyModel over a QStringListModel, same strings: average %1, worst "
          "%2; ratio of averages %3")
          .arg(ms(average(baseline)), ms(worst(baseline)), ratio(average(totals) / average(baseline))));
  return met;
}

template <typename Enum>
std::optional<Enum> enumArgument(int argc, char** argv, int index) {
  if (argc <= index) {
    return Enum{};
  }
  bool known = false;
  const int value = QMetaEnum::fromType<Enum>().keyToValue(argv[index], &known);
  return known ? std::optional<Enum>(static_cast<Enum>(value)) : std::nullopt;
}

/// Sets the games tab's sort order and filter as the tool bar would; false for an unknown name.
bool applyView(const Application& app, const QStringList& names, int argc, char** argv) {
  using arvexhub::launcher::LibraryProxyModel;
  const auto order = enumArgument<LibraryProxyModel::SortOrder>(argc, argv, 3);
  const auto filter = enumArgument<LibraryProxyModel::Filter>(argc, argv, 4);
  if (!order || !filter || *filter == LibraryProxyModel::Filter::Updates) {
    say(QStringLiteral("unknown sort order or filter (Updates would leave no row to search)"));
    return false;
  }
  auto* games = app.controller()->model();
  if (*order == LibraryProxyModel::SortOrder::RecentlyPlayed) {
    for (qsizetype game = 0; game < names.size(); game += 50) {
      app.controller()->playTimes()->startSession(names.at(game));
    }
    app.controller()->playTimes()->endSession();
  }
  games->libraryProxy()->setSortOrder(*order);
  games->libraryProxy()->setRowFilter(*filter);
  say(QStringLiteral("games sorted by %1, filter %2")
          .arg(QString::fromLatin1(argc > 3 ? argv[3] : "Name"),
               QString::fromLatin1(argc > 4 ? argv[4] : "All")));
  settle();
  return true;
}

} // namespace

int main(int argc, char** argv) {
  BenchEnvironment environment;
  if (!environment.isValid() || !refuseNetwork()) {
    return 1;
  }
  const int games = intArgument(argc, argv, 1, 10000);
  const int rounds = intArgument(argc, argv, 2, 3);
  const QStringList names = gameNames(games);
  if (!createInstalledGames(arvexhub::launcher::LibraryPaths::libraryFolder(QStringLiteral("games")), names,
                            makePng({400, 204}, 3, 48), pictureEvery)) {
    return 1;
  }
  arvexhub::launcher::configureQApplication();
  Application app(argc, argv);
  if (!prepareWindow(app, games)) {
    say(QStringLiteral("the window did not show the %1 games with their pictures at %2x%3")
            .arg(games)
            .arg(windowSize.width())
            .arg(windowSize.height()));
    return 1;
  }
  if (!applyView(app, names, argc, argv)) {
    return 1;
  }
  const auto typed = typeRounds(app, names, rounds);
  if (!typed) {
    return 1;
  }
  const bool met = report(*typed, baselineFilters(names, rounds),
                          app.mainWindow()->gameListView()->viewport()->size(), games);
  return met ? 0 : 2;
}
