#include "app/Startup.h"

#include "app/Application.h"

#include <QGuiApplication>

#include <cstdio>

namespace arvexhub::launcher {

void configureQApplication() {
  QCoreApplication::setApplicationName(QStringLiteral("Arvex Hub"));
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Arvex Hub"));
  QCoreApplication::setOrganizationName(QStringLiteral("Arvex Games"));
  QCoreApplication::setOrganizationDomain(QStringLiteral("arvexgames.example"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(applicationVersion));
  QGuiApplication::setDesktopFileName(QStringLiteral("example.arvexgames.arvexhub"));
}

int runGUI(int argc, char* argv[]) {
  configureQApplication();
  Application app(argc, argv);
  return QApplication::exec();
}

int runCLI(int argc, char* argv[]) {
  Q_UNUSED(argc)
  Q_UNUSED(argv)
  return 0;
}

int printHelp(int argc, char* argv[]) {
  const char* name = argc < 1 ? "ArvexHub" : argv[0];
  std::fprintf(stdout, "Usage:\n%s [--version] [--help] [<path/to/game.arvexhub>]\n", name);
  std::fflush(stdout);
  return 0;
}

int printVersion() {
  std::fprintf(stdout, "%s\n", applicationVersion);
  std::fflush(stdout);
  return 0;
}

} // namespace arvexhub::launcher
