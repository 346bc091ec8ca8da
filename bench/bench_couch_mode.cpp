// Couch mode over a library of 1,000 installed games with pictures, at 1920x1080 and pixel ratio
// 1 and 2: the time of a whole frame while the selection moves across all the games, against
// the games grid's viewport repainted on the same moves (as bench_grid_paint measures it); and
// the time from a press on a virtual controller's D-pad to the repainted selection.
//
// Usage: bench_couch_mode [games = 1000] [presses = 200]

#include "app/Controller.h"
#include "input/ControllerInput.h"
#include "input/SdlControllerSource.h"
#include "library/GameListModel.h"
#include "style/Style.h"
#include "widgets/couch/CouchModeView.h"
#include "widgets/views/GameListView.h"
#include "widgets/window/MainWindow.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListView>

#include <SDL.h>
#include <algorithm>
#include <vector>

using namespace arvexhub::bench;
using namespace arvexhub::launcher;

namespace {

constexpr double frameTargetMs = 8.0;
constexpr double pressTargetMs = 16.0;
const QSize screen(1920, 1080);

void makeLibrary(const QString& home, int games) {
  for (int game = 0; game < games; ++game) {
    const QString name = QStringLiteral("Game%1").arg(game, 4, 10, QLatin1Char('0'));
    const QString folder = home + QStringLiteral("/.arvexhub/games/") + name;
    QDir().mkpath(folder);
    QFile script(folder + QStringLiteral("/launcher.command"));
    if (script.open(QIODevice::WriteOnly)) {
      script.write("#!/bin/sh\n");
      script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    QFile picture(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    if (picture.open(QIODevice::WriteOnly)) {
      picture.write(makePng(QSize(460, 215), quint32(game) * 7919u + 1, 40));
    }
  }
}

struct Frames {
  double meanMs{0};
  double p95Ms{0};
  double maxMs{0};
};

Frames summary(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  Frames result;
  for (const double time : times) {
    result.meanMs += time / double(times.size());
  }
  result.p95Ms = times.at(times.size() * 95 / 100);
  result.maxMs = times.back();
  return result;
}

/// Moves the view's current item across every row, timing `paint` after each move.
Frames moveAcross(QAbstractItemView* view, const std::function<void()>& paint) {
  std::vector<double> times;
  const int rows = view->model()->rowCount();
  for (int row = 0; row < rows; ++row) {
    QElapsedTimer clock;
    clock.start();
    view->setCurrentIndex(view->model()->index(row, 0));
    paint();
    times.push_back(elapsedMs(clock));
  }
  return summary(times);
}

QImage frame(QSize size, qreal dpr) {
  QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(dpr);
  return image;
}

QString framesText(const Frames& frames) {
  return QStringLiteral("mean %1, p95 %2, max %3").arg(ms(frames.meanMs), ms(frames.p95Ms), ms(frames.maxMs));
}

bool measureFrames(MainWindow& window, qreal dpr) {
  auto* couch = window.couchModeView();
  QImage couchImage = frame(screen, dpr);
  const Frames couchFrames = moveAcross(couch->cardRow(), [&] { couch->render(&couchImage); });
  auto* grid = window.gameListView();
  QImage gridImage = frame(grid->viewport()->size(), dpr);
  const Frames gridFrames = moveAcross(grid, [&] { grid->viewport()->render(&gridImage); });
  const bool met = couchFrames.meanMs <= frameTargetMs;
  say(QStringLiteral("pixel ratio %1: couch mode, whole %2x%3 frame per move: %4 (target mean <= %5): %6")
          .arg(dpr)
          .arg(screen.width())
          .arg(screen.height())
          .arg(framesText(couchFrames), ms(frameTargetMs), verdict(met)));
  say(QStringLiteral("  baseline, games grid viewport %1x%2 per move: %3")
          .arg(grid->viewport()->width())
          .arg(grid->viewport()->height())
          .arg(framesText(gridFrames)));
  return met;
}

/// A D-pad press read as the poll timer reads it, delivered, and the frame repainted; the poll
/// interval is the longest a press waits before that.
bool measurePress(MainWindow& window, int presses) {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "Bench Pad";
  SDL_Joystick* pad = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
  auto* source = window.controllerInput()->source();
  source->poll();
  auto* couch = window.couchModeView();
  QImage image = frame(screen, 1.0);
  std::vector<double> times;
  std::vector<double> handled; // read, delivered, the details and the buttons updated
  for (int press = 0; press < presses; ++press) {
    // The frames before left the selection on the last game.
    const int button = press % 2 == 0 ? SDL_CONTROLLER_BUTTON_DPAD_LEFT : SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
    const int before = couch->cardRow()->currentIndex().row();
    SDL_JoystickSetVirtualButton(pad, button, 1);
    QElapsedTimer clock;
    clock.start();
    source->poll();
    QCoreApplication::sendPostedEvents();
    handled.push_back(elapsedMs(clock));
    couch->render(&image);
    times.push_back(elapsedMs(clock));
    if (couch->cardRow()->currentIndex().row() == before) {
      say(QStringLiteral("  the press did not move the selection"));
      return false;
    }
    SDL_JoystickSetVirtualButton(pad, button, 0);
    source->poll();
    QCoreApplication::sendPostedEvents();
  }
  SDL_JoystickClose(pad);
  const Frames result = summary(times);
  const double worstMs = result.p95Ms + SdlControllerSource::activeInterval;
  const bool met = worstMs <= pressTargetMs;
  say(QStringLiteral("  of which the press read and handled (before the repaint): %1")
          .arg(framesText(summary(handled))));
  say(QStringLiteral(
          "press to repainted selection: %1; with the %2 poll wait, at worst (p95) %3 (target <= %4): %5")
          .arg(framesText(result), ms(SdlControllerSource::activeInterval), ms(worstMs), ms(pressTargetMs),
               verdict(met)));
  return met;
}

} // namespace

int main(int argc, char** argv) {
  BenchEnvironment environment;
  QApplication app(argc, argv);
  if (!environment.isValid()) {
    return 1;
  }
  QApplication::setStyle(new arvexhub::style::Style());
  qputenv("ARVEXHUB_CATALOGUE_URL", "http://127.0.0.1:9/"); // no catalogue: the installed games only
  const int games = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
  const int presses = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 200;
  makeLibrary(environment.home(), games);
  Controller controller;
  MainWindow window(&controller);
  window.resize(screen);
  window.show();
  if (!spinUntil([&] { return controller.model()->rowCount() == games; }, 120000)) {
    say(QStringLiteral("the library did not load"));
    return 1;
  }
  window.openCouchMode();
  auto* couch = window.couchModeView();
  couch->setWindowState(Qt::WindowNoState); // the offscreen screen is smaller than a television
  couch->resize(screen);
  settle();
  say(QStringLiteral("%1 games").arg(games));
  bool met = true;
  for (const qreal dpr : {1.0, 2.0}) {
    met = measureFrames(window, dpr) && met;
  }
  met = measurePress(window, presses) && met;
  return met ? 0 : 2;
}
