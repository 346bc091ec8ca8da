// Starts the real application, waits until the library has settled, puts the window in the state
// asked for, writes a picture of it and ends. For the README and for looking at the window
// without a display.
//   window-shot <file.png> [--theme Dark|Light] [--language fr_FR] [--tab N] [--delay ms]
//               [--select Game] [--play Game] [--download Game]
//               [--watch Movie] [--read Ebook] [--listen Album [--no-art]] [--fullscreen]
//               [--search Text] [--panel] [--command Text] [--find Text] [--hide-debug]
//               [--shortcuts] [--couch Game] [--queue Game] [--pause]
//               [--played Game] [--sort Order] [--filter Filter] [--sort-menu] [--tooltip Game]
// --watch, --read and --listen download the item from the catalogue, then open it; --search then
// searches the open e-book; --panel opens the side panels (the reader's contents and search).
// --command types a command into the console half a second before the picture (the --play game
// runs by then); --find opens the console's find bar with a text; --hide-debug hides the
// console's Debug lines. --shortcuts takes a picture of Help's list of keyboard shortcuts, --couch
// one of couch mode with that game selected, instead of the window. --queue shows that game's
// download waiting behind the --download one; --pause pauses the --download game part way.
// --played gives the game a session of 3 h 12 min that ended yesterday; --sort and --filter
// (LibraryProxyModel's names) are the shown tab's; --sort-menu and --tooltip show those popups.
#include "app/Application.h"
#include "app/Controller.h"
#include "app/Preferences.h"
#include "app/Startup.h"
#include "library/AlbumListModel.h"
#include "library/EbookListModel.h"
#include "library/GameListModel.h"
#include "library/MovieListModel.h"
#include "library/PlayTimeStore.h"
#include "media/EbookReaderTab.h"
#include "media/EbookSearchPanel.h"
#include "runner/GameRunner.h"
#include "widgets/console/CommandLine.h"
#include "widgets/console/ConsoleFindBar.h"
#include "widgets/couch/CouchModeView.h"
#include "widgets/views/GameListView.h"
#include "widgets/window/LibraryViewBar.h"
#include "widgets/window/MainWindow.h"
#include "widgets/window/MenuBar.h"
#include "widgets/window/ToolBar.h"

#include <QAbstractButton>
#include <QCommandLineParser>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QSettings>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>

using namespace arvexhub::launcher;

namespace {

/// Answers one download with part of a large body, paced like a slow connection, and then keeps
/// the connection open, so a card stays at the same point of its download while the picture is
/// taken.
class StalledDownload final : public QTcpServer {
public:
  StalledDownload() {
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
      auto* socket = nextPendingConnection();
      const auto answer = [socket] {
        if (socket->property("answered").toBool()) {
          return;
        }
        socket->setProperty("answered", true);
        constexpr int total = 1000000;
        constexpr int chunk = 20000;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/zip\r\nContent-Length: " +
                      QByteArray::number(total) + "\r\n\r\n");
        auto* pace = new QTimer(socket);
        connect(pace, &QTimer::timeout, socket, [socket, pace, sent = 0]() mutable {
          socket->write(QByteArray(chunk, '\0'));
          sent += chunk;
          if (sent >= total * 42 / 100) {
            pace->stop();
          }
        });
        pace->start(30);
      };
      // The request may already be waiting when the connection is taken.
      connect(socket, &QTcpSocket::readyRead, socket, answer);
      if (socket->bytesAvailable() > 0) {
        answer();
      }
    });
  }

  QUrl url() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/game.zip").arg(serverPort()));
  }
};

/// Full screen a moment after an item was opened, when asked.
void goFullscreen(MainWindow* window, const QCommandLineParser& parser) {
  if (parser.isSet(QStringLiteral("fullscreen"))) {
    QTimer::singleShot(300, window, &MainWindow::handleFullscreenRequest);
  }
}

/// The three media options download their item from the catalogue, then open it as a user would.
void watchMovie(Controller* controller, MainWindow* window, const QCommandLineParser& parser) {
  const auto name = parser.value(QStringLiteral("watch"));
  if (name.isEmpty()) {
    return;
  }
  auto* movies = controller->movieModel();
  QObject::connect(movies, &MovieListModel::movieDownloadFinished, window, [=, &parser] {
    controller->playMovie(movies->index(movies->movieRowByName(name)).data(MovieRole::Path).toString());
    goFullscreen(window, parser);
  });
  movies->downloadAndInstallMovie(name);
}

void readEbook(Controller* controller, MainWindow* window, const QCommandLineParser& parser) {
  const auto name = parser.value(QStringLiteral("read"));
  if (name.isEmpty()) {
    return;
  }
  auto* ebooks = controller->ebookModel();
  QObject::connect(ebooks, &EbookListModel::ebookDownloadFinished, window, [=, &parser] {
    controller->readEbook(ebooks->index(ebooks->ebookRowByName(name)).data(EbookRole::Path).toString());
    goFullscreen(window, parser);
  });
  ebooks->downloadAndInstallEbook(name);
}

void listenToAlbum(Controller* controller, MainWindow* window, const QCommandLineParser& parser) {
  const auto name = parser.value(QStringLiteral("listen"));
  if (name.isEmpty()) {
    return;
  }
  auto* albums = controller->albumModel();
  QObject::connect(albums, &AlbumListModel::albumDownloadFinished, window, [=, &parser] {
    controller->playWholeAlbum(albums->index(albums->albumRowByName(name)).data(AlbumRole::Path).toString());
    if (parser.isSet(QStringLiteral("no-art"))) {
      emit controller->currentAlbumArtChanged({}); // the meter instead of the cover
    }
    goFullscreen(window, parser);
  });
  albums->downloadAndInstallAlbum(name);
}

/// --queue: a second download waits behind the first; --pause: the first is paused part way.
void stageQueue(Controller* controller, const QCommandLineParser& parser, StalledDownload& server) {
  auto* games = controller->model();
  const auto queued = parser.value(QStringLiteral("queue"));
  if (!queued.isEmpty()) {
    controller->preferences()->setAppMaxDownloads(1);
    games->downloadAndInstallGame(queued, server.url());
  }
  if (parser.isSet(QStringLiteral("pause"))) {
    QTimer::singleShot(1500, games, [controller, games, name = parser.value(QStringLiteral("download"))] {
      controller->pauseDownload(games, name);
    });
  }
}

void stageWindow(Controller* controller, const QCommandLineParser& parser, StalledDownload& server) {
  auto* games = controller->model();
  const auto select = parser.value(QStringLiteral("select"));
  if (!select.isEmpty()) {
    controller->preferences()->setAppPropertiesPanelVisible(true);
    games->setCurrentGameName(select);
  }
  const auto play = parser.value(QStringLiteral("play"));
  if (!play.isEmpty()) {
    // The picture shows the game as it is installed, without the offer of its update.
    controller->runner()->setUpdateQuestion([] { return false; });
    controller->playGame(games->gameDataByName(play).path);
  }
  const auto download = parser.value(QStringLiteral("download"));
  if (!download.isEmpty()) {
    games->downloadAndInstallGame(download, server.url());
  }
  stageQueue(controller, parser, server);
}

/// Searches the e-book a moment after it opened, when asked.
void searchEbook(Controller* controller, MainWindow* window, const QCommandLineParser& parser) {
  const auto text = parser.value(QStringLiteral("search"));
  if (text.isEmpty()) {
    return;
  }
  QObject::connect(
      controller->ebookModel(), &EbookListModel::currentReadingEbookChanged, window,
      [window, text] {
        QTimer::singleShot(500, window, [window, text] {
          if (auto* reader = window->findChild<EbookReaderTab*>()) {
            reader->showSearch();
            reader->findChild<EbookSearchPanel*>()->search(text);
          }
        });
      },
      Qt::SingleShotConnection);
}

/// The console's command line, find bar and Debug filter, a moment before the picture.
void driveConsole(Controller* controller, MainWindow* window, const QCommandLineParser& parser, int delay) {
  const auto command = parser.value(QStringLiteral("command"));
  const auto find = parser.value(QStringLiteral("find"));
  const bool hideDebug = parser.isSet(QStringLiteral("hide-debug"));
  if (command.isEmpty() && find.isEmpty() && !hideDebug) {
    return;
  }
  controller->preferences()->setAppConsoleVisible(true);
  QTimer::singleShot(std::max(0, delay - 500), window, [=] {
    if (hideDebug) {
      window->findChild<QAbstractButton*>(QStringLiteral("debugToggle"))->setChecked(false);
    }
    if (!command.isEmpty()) {
      auto* line = window->findChild<CommandLine*>(QStringLiteral("commandLine"));
      line->setText(command);
      emit line->returnPressed();
    }
    if (!find.isEmpty()) {
      window->findChild<ConsoleFindBar*>(QStringLiteral("findBar"))->openBar();
      window->findChild<QLineEdit*>(QStringLiteral("findField"))->setText(find);
    }
  });
}

/// Couch mode at television size, with that game selected; the picture is of couch mode then.
QWidget* openCouchMode(MainWindow* window, const QCommandLineParser& parser) {
  window->openCouchMode();
  auto* couch = window->couchModeView();
  couch->setWindowState(Qt::WindowNoState); // the offscreen screen is smaller than a television
  couch->resize(1920, 1080);
  auto* row = couch->cardRow();
  const auto name = parser.value(QStringLiteral("couch"));
  for (int item = 0; item < row->model()->rowCount(); ++item) {
    if (row->model()->index(item, 0).data().toString() == name) {
      row->setCurrentIndex(row->model()->index(item, 0));
    }
  }
  return couch;
}

/// The shown tab's sort order and filter, stored before the window reads them.
void storeView(const QCommandLineParser& parser) {
  const auto kind = QStringList{QStringLiteral("games"), QStringLiteral("movies"), QStringLiteral("ebooks"),
                                QStringLiteral("albums")}
                        .value(parser.value(QStringLiteral("tab")).toInt());
  Preferences preferences;
  if (parser.isSet(QStringLiteral("sort"))) {
    preferences.setLibrarySortOrder(kind, parser.value(QStringLiteral("sort")));
  }
  if (parser.isSet(QStringLiteral("filter"))) {
    preferences.setLibraryFilter(kind, parser.value(QStringLiteral("filter")));
  }
}

/// A session of 3 h 12 min that ended yesterday.
void seedPlayTime(Controller* controller, const QString& game) {
  auto* store = controller->playTimes();
  const auto end = QDateTime::currentDateTime().addDays(-1);
  store->setClock([end] { return end.addSecs(-(3 * 3600 + 12 * 60)); });
  store->startSession(game);
  store->setClock([end] { return end; });
  store->endSession();
  store->setClock([] { return QDateTime::currentDateTimeUtc(); });
}

void showPopups(MainWindow* window, const QCommandLineParser& parser) {
  if (parser.isSet(QStringLiteral("sort-menu"))) {
    auto* button = window->toolBar()->viewBar()->sortButton();
    button->menu()->popup(button->mapToGlobal(QPoint(0, button->height())));
  }
  const auto name = parser.value(QStringLiteral("tooltip"));
  if (!name.isEmpty()) {
    auto* view = window->gameListView();
    const auto found =
        view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchFixedString);
    if (!found.isEmpty()) {
      const auto card = view->visualRect(found.first());
      QToolTip::showText(view->viewport()->mapToGlobal(card.center()),
                         found.first().data(Qt::ToolTipRole).toString(), view->viewport());
    }
  }
}

/// The window with the menus and tool tips open over it: they are windows of their own.
QImage grabWithPopups(MainWindow* window) {
  auto picture = window->grab().toImage();
  QPainter painter(&picture);
  for (auto* widget : QApplication::topLevelWidgets()) {
    const auto type = widget->windowType();
    if (widget->isVisible() && (type == Qt::Popup || type == Qt::ToolTip)) {
      painter.drawPixmap(widget->geometry().topLeft() - window->geometry().topLeft(), widget->grab());
    }
  }
  return picture;
}

} // namespace

int main(int argc, char* argv[]) {
  configureQApplication();
  QCommandLineParser parser;
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Where to write the PNG."));
  parser.addOptions({
      {QStringLiteral("theme"), QStringLiteral("Theme id."), QStringLiteral("id")},
      {QStringLiteral("language"), QStringLiteral("Language, e.g. fr_FR."), QStringLiteral("locale")},
      {QStringLiteral("tab"), QStringLiteral("Tab to show."), QStringLiteral("index"), QStringLiteral("0")},
      {QStringLiteral("delay"), QStringLiteral("Wait before the picture (ms)."), QStringLiteral("ms"),
       QStringLiteral("2500")},
      {QStringLiteral("select"), QStringLiteral("Game to select, with its properties."),
       QStringLiteral("name")},
      {QStringLiteral("play"), QStringLiteral("Installed game to start."), QStringLiteral("name")},
      {QStringLiteral("download"), QStringLiteral("Game whose download is shown running."),
       QStringLiteral("name")},
      {QStringLiteral("watch"), QStringLiteral("Movie to download and play."), QStringLiteral("name")},
      {QStringLiteral("read"), QStringLiteral("E-book to download and open."), QStringLiteral("name")},
      {QStringLiteral("listen"), QStringLiteral("Album to download and play."), QStringLiteral("name")},
      {QStringLiteral("no-art"), QStringLiteral("Play the album without its cover (the meter shows).")},
      {QStringLiteral("fullscreen"), QStringLiteral("Full screen once the item is open.")},
      {QStringLiteral("search"), QStringLiteral("Text to search in the open e-book."),
       QStringLiteral("text")},
      {QStringLiteral("panel"), QStringLiteral("Open the side panels.")},
      {QStringLiteral("command"), QStringLiteral("Command to send to the --play game."),
       QStringLiteral("text")},
      {QStringLiteral("find"), QStringLiteral("Text to find in the console."), QStringLiteral("text")},
      {QStringLiteral("hide-debug"), QStringLiteral("Hide the console's Debug lines.")},
      {QStringLiteral("shortcuts"), QStringLiteral("Picture of Help's list of keyboard shortcuts instead.")},
      {QStringLiteral("couch"), QStringLiteral("Couch mode, with that game selected."),
       QStringLiteral("name")},
      {QStringLiteral("queue"), QStringLiteral("Game whose download waits behind --download."),
       QStringLiteral("name")},
      {QStringLiteral("pause"), QStringLiteral("Pause the --download game part way.")},
      {QStringLiteral("played"), QStringLiteral("Game with a session that ended yesterday."),
       QStringLiteral("name")},
      {QStringLiteral("sort"), QStringLiteral("Sort order of the tab."), QStringLiteral("order")},
      {QStringLiteral("filter"), QStringLiteral("Filter of the tab."), QStringLiteral("filter")},
      {QStringLiteral("sort-menu"), QStringLiteral("Show the sort menu open.")},
      {QStringLiteral("tooltip"), QStringLiteral("Game whose card shows its tool tip."),
       QStringLiteral("name")},
  });
  QStringList arguments;
  for (int i = 0; i < argc; ++i) {
    arguments.append(QString::fromLocal8Bit(argv[i]));
  }
  parser.parse(arguments);
  if (parser.isSet(QStringLiteral("language"))) {
    // The language is read when the controller is made, so it is stored first.
    Preferences preferences;
    preferences.setAppLanguage(parser.value(QStringLiteral("language")));
  }
  storeView(parser);
  // The picture is taken with the program's own arguments only.
  int appArgc = 1;
  Application app(appArgc, argv);
  if (parser.positionalArguments().isEmpty()) {
    parser.showHelp(2);
  }
  auto* controller = app.controller();
  if (parser.isSet(QStringLiteral("theme"))) {
    controller->preferences()->setAppTheme(parser.value(QStringLiteral("theme")));
  }
  StalledDownload server;
  auto* window = app.mainWindow();
  window->resize(1280, 800);
  window->tabWidget()->setCurrentIndex(parser.value(QStringLiteral("tab")).toInt());
  const int delay = parser.value(QStringLiteral("delay")).toInt();
  // The catalogue's games are rows once it is merged; a picture without a catalogue waits for nothing.
  QObject::connect(
      controller->model(), &LibraryModel::updateCheckFinished, window,
      [controller, &parser, &server] { stageWindow(controller, parser, server); }, Qt::SingleShotConnection);
  driveConsole(controller, window, parser, delay);
  // Each media item is fetched once its kind's catalogue is in.
  QObject::connect(
      controller->movieModel(), &LibraryModel::updateCheckFinished, window,
      [=, &parser] { watchMovie(controller, window, parser); }, Qt::SingleShotConnection);
  QObject::connect(
      controller->ebookModel(), &LibraryModel::updateCheckFinished, window,
      [=, &parser] { readEbook(controller, window, parser); }, Qt::SingleShotConnection);
  QObject::connect(
      controller->albumModel(), &LibraryModel::updateCheckFinished, window,
      [=, &parser] { listenToAlbum(controller, window, parser); }, Qt::SingleShotConnection);
  searchEbook(controller, window, parser);
  if (parser.isSet(QStringLiteral("panel"))) {
    controller->preferences()->setAppPropertiesPanelVisible(true);
  }
  if (parser.isSet(QStringLiteral("played"))) {
    seedPlayTime(controller, parser.value(QStringLiteral("played")));
  }
  QTimer::singleShot(qMax(0, delay - 500), window, [window, &parser] { showPopups(window, parser); });
  QTimer::singleShot(delay, window, [window, &parser, file = parser.positionalArguments().first()] {
    if (parser.isSet(QStringLiteral("couch"))) {
      auto* couch = openCouchMode(window, parser);
      QTimer::singleShot(500, couch, [couch, file] { // laid out and its pictures loaded
        couch->grab().save(file);
        QApplication::quit();
      });
      return;
    }
    if (parser.isSet(QStringLiteral("shortcuts"))) {
      window->menuBar()->showShortcuts();
      window->findChild<QDialog*>(QStringLiteral("shortcutsDialog"))->grab().save(file);
    } else {
      grabWithPopups(window).save(file);
    }
    QApplication::quit();
  });
  return QApplication::exec();
}
