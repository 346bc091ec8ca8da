// Start-up: the real Application (controller, models, main window) built in a fresh process
// until its first frame is painted, with 1,000 installed games and a catalogue and release feed
// that refuse connections; against a bare QWidget window of the same size under the same style,
// in the same kind of process, timed the same way. Every sample is a process of its own (this
// program started again with "--sample"), the two kinds taking turns; medians are reported.
//
// The clock starts before the QApplication is made, since the real Application is one: the
// baseline pays for its QApplication too. The frame counts as shown when the event-loop pass in
// which the window got its first Paint event returns, its children painted and the backing store
// flushed. A step-by-step copy of the Application's start-up says where the time goes, and a
// catalogue that accepts connections but never answers shows whether anything waits for it.
//
// Usage: bench_startup [samples of each kind = 7] [installed games = 1000]

#include "app/Application.h"
#include "app/Controller.h"
#include "app/Startup.h"
#include "instance/InstanceManager.h"
#include "library/GameListModel.h"
#include "library/LibraryPaths.h"
#include "style/Icons16.h"
#include "style/Style.h"
#include "widgets/window/MainWindow.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QHostAddress>
#include <QIcon>
#include <QProcess>
#include <QTcpServer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <optional>

using namespace arvexhub::bench;
using arvexhub::launcher::Application;
using arvexhub::launcher::Controller;
using arvexhub::launcher::MainWindow;

namespace {

constexpr double targetMs = 300.0;
constexpr double targetRatio = 6.0;
constexpr int pictureEvery = 5;
constexpr int frameTimeoutMs = 20000;
const QSize pictureSize(400, 204); // the card's picture at pixel ratio 2
const char* const sampleOption = "--sample";

qint64 steadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// ---- in a sample process -------------------------------------------------------------------

/// The first Paint event any top-level widget receives. Installed on the application object
/// while it is being made, so no paint can slip past it.
class FirstPaint final : public QObject {
public:
  using QObject::QObject;
  Q_DISABLE_COPY_MOVE(FirstPaint)

  static inline bool armed = false;
  static inline qint64 paintNs = -1;
  static inline QString windowClass;
  static inline QSize windowSize;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (paintNs < 0 && event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
      paintNs = steadyNs();
      windowClass = QString::fromLatin1(watched->metaObject()->className());
      windowSize = static_cast<QWidget*>(watched)->size();
    }
    return false;
  }
};

void installFirstPaint() {
  if (FirstPaint::armed) {
    QCoreApplication::instance()->installEventFilter(new FirstPaint(QCoreApplication::instance()));
  }
}
Q_COREAPP_STARTUP_FUNCTION(installFirstPaint)

/// Milestones of one sample, in ms since its clock started.
class Marks final {
public:
  explicit Marks(qint64 startNs)
      : startNs_(startNs) {}
  Q_DISABLE_COPY_MOVE(Marks)

  void mark(const QString& name) {
    text_ += QStringLiteral("%1%2:%3")
                 .arg(text_.isEmpty() ? QString() : QStringLiteral(","), name)
                 .arg(sinceStart(steadyNs()), 0, 'f', 1);
  }
  double sinceStart(qint64 ns) const {
    return double(ns - startNs_) / 1e6;
  }
  QString text() const {
    return text_;
  }

private:
  qint64 startNs_;
  QString text_;
};

/// Runs the event loop until the first frame is painted, then `after` (which may add marks);
/// prints the sample's line.
int finishSample(Marks& marks, const std::function<void(Marks&)>& after = {}) {
  QTimer timeout;
  timeout.setSingleShot(true);
  timeout.start(frameTimeoutMs);
  while (FirstPaint::paintNs < 0 && timeout.isActive()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  const qint64 doneNs = steadyNs();
  if (FirstPaint::paintNs < 0) {
    say(QStringLiteral("sample failed: no frame within %1 s").arg(frameTimeoutMs / 1000));
    return 1;
  }
  if (after) {
    after(marks);
  }
  say(QStringLiteral("sample frame=%1 paint=%2 doneNs=%3 window=%4 size=%5x%6 marks=%7")
          .arg(marks.sinceStart(doneNs), 0, 'f', 2)
          .arg(marks.sinceStart(FirstPaint::paintNs), 0, 'f', 2)
          .arg(doneNs)
          .arg(FirstPaint::windowClass)
          .arg(FirstPaint::windowSize.width())
          .arg(FirstPaint::windowSize.height())
          .arg(marks.text()));
  return 0;
}

/// What Application does to install its style.
void installApplicationStyle(QApplication& app) {
  auto* style = new arvexhub::style::Style(&app);
  style->setAnimationsEnabled(true);
  style->setAutoIconColor(arvexhub::style::AutoIconColor::TextColor);
  style->setIconPathGetter(&arvexhub::style::icons::fromFreeDesktop);
  QApplication::setStyle(style);
  arvexhub::style::icons::initializeIconTheme();
  QIcon::setThemeName(QStringLiteral("qlementine"));
}

/// The real Application; after the frame, waits until the library's `pictures` are all shown.
int applicationSample(int argc, char** argv, int pictures) {
  Marks marks(steadyNs());
  Application app(argc, argv);
  marks.mark(QStringLiteral("constructed"));
  return finishSample(marks, [&](Marks& after) {
    if (spinUntil([&] { return rowsWithPicture(*app.controller()->model()) >= pictures; }, frameTimeoutMs)) {
      after.mark(QStringLiteral("pictures"));
    }
  });
}

/// The Application's start-up step by step, with a mark after each.
int stepsSample(int argc, char** argv) {
  Marks marks(steadyNs());
  QApplication app(argc, argv);
  marks.mark(QStringLiteral("qapplication"));
  QApplication::setQuitOnLastWindowClosed(true);
  arvexhub::instance::InstanceManager instances;
  instances.setMode(arvexhub::instance::InstanceManager::Mode::Single);
  marks.mark(QStringLiteral("instance"));
  installApplicationStyle(app);
  marks.mark(QStringLiteral("style"));
  auto* controller = new Controller(&app);
  controller->holdLocalPictures(true);
  marks.mark(QStringLiteral("controller"));
  const auto window = std::make_unique<MainWindow>(controller);
  marks.mark(QStringLiteral("mainwindow"));
  window->show();
  window->afterFirstFrame([controller] {
    MainWindow::setAppIcon();
    controller->holdLocalPictures(false);
  });
  marks.mark(QStringLiteral("show"));
  return finishSample(marks);
}

int bareSample(int argc, char** argv, QSize size) {
  Marks marks(steadyNs());
  QApplication app(argc, argv);
  marks.mark(QStringLiteral("qapplication"));
  installApplicationStyle(app);
  marks.mark(QStringLiteral("style"));
  QWidget window;
  window.resize(size);
  window.show();
  marks.mark(QStringLiteral("show"));
  return finishSample(marks);
}

int runSample(int argc, char** argv) {
  FirstPaint::armed = true;
  arvexhub::launcher::configureQApplication();
  const QString kind = QString::fromLatin1(argv[2]);
  if (kind == QStringLiteral("app")) {
    return applicationSample(argc, argv, intArgument(argc, argv, 3, 0));
  }
  if (kind == QStringLiteral("steps")) {
    return stepsSample(argc, argv);
  }
  return bareSample(argc, argv, {intArgument(argc, argv, 3, 900), intArgument(argc, argv, 4, 700)});
}

// ---- in the measuring process --------------------------------------------------------------

struct Sample {
  double frameMs = -1; // clock start -> first frame painted and flushed
  double paintMs = -1; // clock start -> the window's first Paint event
  double execMs = -1;  // process started -> first frame
  QString window;
  QSize size;
  std::map<QString, double> marks;
};

std::optional<Sample> parseSample(const QString& line, qint64 startedNs) {
  Sample sample;
  for (const QString& field : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QString key = field.section(QLatin1Char('='), 0, 0);
    const QString value = field.section(QLatin1Char('='), 1);
    if (key == QStringLiteral("frame")) {
      sample.frameMs = value.toDouble();
    } else if (key == QStringLiteral("paint")) {
      sample.paintMs = value.toDouble();
    } else if (key == QStringLiteral("doneNs")) {
      sample.execMs = double(value.toLongLong() - startedNs) / 1e6;
    } else if (key == QStringLiteral("window")) {
      sample.window = value;
    } else if (key == QStringLiteral("size")) {
      sample.size = {value.section(QLatin1Char('x'), 0, 0).toInt(),
                     value.section(QLatin1Char('x'), 1).toInt()};
    } else if (key == QStringLiteral("marks")) {
      for (const QString& mark : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        sample.marks[mark.section(QLatin1Char(':'), 0, 0)] = mark.section(QLatin1Char(':'), 1).toDouble();
      }
    }
  }
  if (sample.frameMs < 0) {
    return std::nullopt;
  }
  return sample;
}

/// Runs one sample process with these arguments (its kind first); nothing when it failed.
std::optional<Sample> sample(const QStringList& arguments, const QProcessEnvironment& environment) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  const qint64 startedNs = steadyNs();
  process.start(QCoreApplication::applicationFilePath(),
                QStringList{QString::fromLatin1(sampleOption)} + arguments);
  if (!process.waitForFinished(frameTimeoutMs + 10000) || process.exitStatus() != QProcess::NormalExit) {
    process.kill();
    process.waitForFinished();
    say(QStringLiteral("  the %1 sample did not finish").arg(arguments.first()));
    return std::nullopt;
  }
  const QString output = QString::fromUtf8(process.readAllStandardOutput());
  for (const QString& line : output.split(QLatin1Char('\n'))) {
    if (line.startsWith(QStringLiteral("sample frame="))) {
      return parseSample(line, startedNs);
    }
  }
  say(QStringLiteral("  the %1 sample failed (exit %2): %3")
          .arg(arguments.first())
          .arg(process.exitCode())
          .arg(output.trimmed()));
  return std::nullopt;
}

/// A mark of the sample; the first Paint event's time for "paint", the frame's for "frame"; -1
/// when it has none of that name.
double markOf(const Sample& sample, const QString& name) {
  if (name == QStringLiteral("paint")) {
    return sample.paintMs;
  }
  if (name == QStringLiteral("frame")) {
    return sample.frameMs;
  }
  const auto it = sample.marks.find(name);
  return it == sample.marks.end() ? -1.0 : it->second;
}

double median(QList<double> values) {
  if (values.isEmpty()) {
    return -1;
  }
  std::sort(values.begin(), values.end());
  const auto middle = values.size() / 2;
  return values.size() % 2 == 1 ? values.at(middle) : (values.at(middle - 1) + values.at(middle)) / 2.0;
}

QString list(const QList<double>& values) {
  QStringList texts;
  for (const double value : values) {
    texts.append(QString::number(value, 'f', 0));
  }
  return texts.join(QLatin1Char(' '));
}

/// The samples of one kind.
class Series final {
public:
  Series() = default;
  Q_DISABLE_COPY_MOVE(Series)

  void add(const Sample& sample) {
    samples_.append(sample);
  }
  QList<double> values(const std::function<double(const Sample&)>& field) const {
    QList<double> result;
    for (const auto& sample : samples_) {
      result.append(field(sample));
    }
    return result;
  }
  double frame() const {
    return median(values([](const Sample& s) { return s.frameMs; }));
  }
  double paint() const {
    return median(values([](const Sample& s) { return s.paintMs; }));
  }
  double exec() const {
    return median(values([](const Sample& s) { return s.execMs; }));
  }
  double mark(const QString& name) const {
    return median(values([&](const Sample& s) { return markOf(s, name); }));
  }
  /// The median time from one mark to another (an empty name: the clock's start).
  double between(const QString& from, const QString& to) const {
    return median(
        values([&](const Sample& s) { return markOf(s, to) - (from.isEmpty() ? 0 : markOf(s, from)); }));
  }
  QString frames() const {
    return list(values([](const Sample& s) { return s.frameMs; }));
  }
  qsizetype size() const {
    return samples_.size();
  }

private:
  QList<Sample> samples_;
};

/// A loopback port that refuses connections: bound once, then closed.
quint16 closedPort() {
  QTcpServer server;
  if (!server.listen(QHostAddress::LocalHost)) {
    return 0;
  }
  const quint16 port = server.serverPort();
  server.close();
  return port;
}

QProcessEnvironment withServers(const QString& catalogue, const QString& feed) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("ARVEXHUB_CATALOGUE_URL"), catalogue);
  environment.insert(QStringLiteral("ARVEXHUB_RELEASE_FEED_URL"), feed);
  return environment;
}

QString loopbackUrl(quint16 port, const QString& path) {
  return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
}

/// Where the time goes, from the step-by-step samples.
void reportSteps(const Series& steps) {
  const QStringList names{QStringLiteral("qapplication"), QStringLiteral("instance"),
                          QStringLiteral("style"),        QStringLiteral("controller"),
                          QStringLiteral("mainwindow"),   QStringLiteral("show"),
                          QStringLiteral("paint"),        QStringLiteral("frame")};
  QStringList parts;
  QString previous;
  for (const QString& name : names) {
    parts.append(QStringLiteral("%1 %2").arg(name, ms(steps.between(previous, name))));
    previous = name;
  }
  say(QStringLiteral(
          "  where the time goes (Application's steps, each since the one before; paint: event-loop work "
          "until the first Paint event; frame: painting; medians of %1): %2")
          .arg(steps.size())
          .arg(parts.join(QStringLiteral(", "))));
}

bool createLibrary(int games) {
  const QString folder = arvexhub::launcher::LibraryPaths::libraryFolder(QStringLiteral("games"));
  return createInstalledGames(folder, gameNames(games), makePng(pictureSize, 11, 48), pictureEvery);
}

struct Runs {
  Series app;
  Series bare;
  Series steps;
  Series unanswered; // the real Application with a catalogue that never answers
};

/// `samples` processes of each kind, the kinds taking turns; false when one failed.
bool takeSamples(Runs& runs, int samples, const QStringList& appArguments, QSize window,
                 const QProcessEnvironment& refusing, const QProcessEnvironment& silent) {
  const QStringList bareArguments{QStringLiteral("bare"), QString::number(window.width()),
                                  QString::number(window.height())};
  for (int run = 0; run < samples; ++run) {
    const auto a = sample(appArguments, refusing);
    const auto b = sample(bareArguments, refusing);
    const auto s = sample({QStringLiteral("steps")}, refusing);
    const auto u = sample(appArguments, silent);
    if (!a || !b || !s || !u) {
      return false;
    }
    runs.app.add(*a);
    runs.bare.add(*b);
    runs.steps.add(*s);
    runs.unanswered.add(*u);
  }
  return true;
}

/// Prints the figures; whether both targets are met.
bool report(const Runs& runs, int games, QSize window) {
  const double frame = runs.app.frame();
  const double baseline = runs.bare.frame();
  const bool timeMet = frame <= targetMs;
  const bool ratioMet = frame <= targetRatio * baseline;
  say(QStringLiteral(
          "start-up: %1 installed games (1 in %2 with a %3x%4 picture), catalogue and release feed "
          "refusing connections on 127.0.0.1; %5x%6 window")
          .arg(games)
          .arg(pictureEvery)
          .arg(pictureSize.width())
          .arg(pictureSize.height())
          .arg(window.width())
          .arg(window.height()));
  say(QStringLiteral(
          "start-up to the first frame: Application %1 (median of %2 processes: %3) (target <= %4): %5")
          .arg(ms(frame))
          .arg(runs.app.size())
          .arg(runs.app.frames())
          .arg(ms(targetMs))
          .arg(verdict(timeMet)));
  say(QStringLiteral(
          "start-up: bare QWidget under the same style, same size: %1 (median of %2: %3); ratio %4 "
          "(target <= %5): %6")
          .arg(ms(baseline))
          .arg(runs.bare.size())
          .arg(runs.bare.frames())
          .arg(ratio(frame / baseline))
          .arg(targetRatio, 0, 'f', 0)
          .arg(verdict(ratioMet)));
  say(QStringLiteral(
          "  Application constructed at %1, first Paint event at %2 (bare %3); from the process start "
          "(exec, loading, static set-up included) %4 (bare %5); every picture of the library shown at %6")
          .arg(ms(runs.app.mark(QStringLiteral("constructed"))), ms(runs.app.paint()), ms(runs.bare.paint()),
               ms(runs.app.exec()), ms(runs.bare.exec()), ms(runs.app.mark(QStringLiteral("pictures")))));
  say(QStringLiteral(
          "  from after the style to the first frame (Controller + MainWindow + show + paint): %1; bare "
          "QWidget + show + paint: %2")
          .arg(ms(runs.steps.between(QStringLiteral("style"), QStringLiteral("frame"))),
               ms(runs.bare.between(QStringLiteral("style"), QStringLiteral("frame")))));
  reportSteps(runs.steps);
  say(QStringLiteral(
          "  with a catalogue and release feed that accept the connection and never answer: %1 (median "
          "of %2: %3)")
          .arg(ms(runs.unanswered.frame()))
          .arg(runs.unanswered.size())
          .arg(runs.unanswered.frames()));
  return timeMet && ratioMet;
}

int measure(int samples, int games) {
  const quint16 catalogue = closedPort();
  const quint16 feed = closedPort();
  // Accepts connections (the kernel completes them) and never answers.
  QTcpServer silent;
  if (catalogue == 0 || feed == 0 || !silent.listen(QHostAddress::LocalHost) || !createLibrary(games)) {
    say(QStringLiteral("cannot prepare the library or the loopback ports"));
    return 1;
  }
  const auto refusing =
      withServers(loopbackUrl(catalogue, {}), loopbackUrl(feed, QStringLiteral("/releases.json")));
  const auto unanswering = withServers(loopbackUrl(silent.serverPort(), {}),
                                       loopbackUrl(silent.serverPort(), QStringLiteral("/releases.json")));
  const QStringList appArguments{QStringLiteral("app"),
                                 QString::number((games + pictureEvery - 1) / pictureEvery)};
  // Unmeasured: fills the file cache and the settings a second start finds.
  const auto warmUp = sample(appArguments, refusing);
  if (!warmUp || warmUp->window != QStringLiteral("arvexhub::launcher::MainWindow")) {
    say(QStringLiteral("the warm-up start did not paint the main window first"));
    return 1;
  }
  Runs runs;
  if (!takeSamples(runs, samples, appArguments, warmUp->size, refusing, unanswering)) {
    return 1;
  }
  return report(runs, games, warmUp->size) ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
  if (argc > 2 && qstrcmp(argv[1], sampleOption) == 0) {
    return runSample(argc, argv);
  }
  BenchEnvironment environment;
  QCoreApplication app(argc, argv);
  if (!environment.isValid()) {
    return 1;
  }
  return measure(intArgument(argc, argv, 1, 7), intArgument(argc, argv, 2, 1000));
}
