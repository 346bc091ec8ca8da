// Starts the real application, waits until the library has settled, writes a picture of the
// main window and ends. For the README and for looking at the window without a display.
//   window-shot <file.png> [--theme Dark|Light] [--tab N] [--delay ms]
#include <app/Application.h>
#include <app/Controller.h>
#include <app/Preferences.h>
#include <app/Startup.h>
#include <widgets/MainWindow.h>

#include <QCommandLineParser>
#include <QTabWidget>
#include <QTimer>

using namespace arvexhub::launcher;

int main(int argc, char* argv[]) {
  configureQApplication();
  Application app(argc, argv);
  QCommandLineParser parser;
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Where to write the PNG."));
  const QCommandLineOption theme(QStringLiteral("theme"), QStringLiteral("Theme id."), QStringLiteral("id"));
  const QCommandLineOption tab(QStringLiteral("tab"), QStringLiteral("Tab to show."), QStringLiteral("index"), QStringLiteral("0"));
  const QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Wait before the picture (ms)."),
                                 QStringLiteral("ms"), QStringLiteral("2500"));
  parser.addOptions({theme, tab, delay});
  parser.process(app);
  if (parser.positionalArguments().isEmpty()) {
    parser.showHelp(2);
  }
  if (parser.isSet(theme)) {
    app.controller()->preferences()->setAppTheme(parser.value(theme));
  }
  auto* window = app.mainWindow();
  window->resize(1200, 760);
  window->tabWidget()->setCurrentIndex(parser.value(tab).toInt());
  QTimer::singleShot(parser.value(delay).toInt(), window, [window, file = parser.positionalArguments().first()] {
    window->grab().save(file);
    QApplication::quit();
  });
  return QApplication::exec();
}
