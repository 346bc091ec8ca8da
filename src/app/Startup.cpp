#include "app/Startup.h"

#include "app/Application.h"

#include <QFile>
#include <QFileInfo>
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

StartMode startMode(const QStringList& arguments) {
  if (arguments.isEmpty()) {
    return StartMode::Window;
  }
  const auto& first = arguments.first();
  if (first == QStringLiteral("--help") || first == QStringLiteral("-h")) {
    return StartMode::Help;
  }
  if (first == QStringLiteral("--version") || first == QStringLiteral("-v")) {
    return StartMode::Version;
  }
  return !first.isEmpty() && QFileInfo::exists(first) ? StartMode::OpenPath : StartMode::Nothing;
}

int start(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.append(QFile::decodeName(argv[i]));
  }
  switch (startMode(arguments)) {
  case StartMode::Window:
    return runGUI(argc, argv);
  case StartMode::OpenPath:
    // Absolute: the running instance may have another working folder.
    return runGUI(argc, argv, QFileInfo(arguments.first()).absoluteFilePath());
  case StartMode::Help:
    return printHelp(argc, argv);
  case StartMode::Version:
    return printVersion();
  case StartMode::Nothing:
    break;
  }
  return runCLI(argc, argv);
}

int runGUI(int argc, char* argv[], const QString& pathToOpen) {
  configureQApplication();
  Application app(argc, argv, pathToOpen);
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
