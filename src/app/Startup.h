#pragma once

#include <QString>
#include <QStringList>

namespace arvexhub::launcher {

inline constexpr const char* applicationVersion = "1.0.0";

/// Sets the application's identity (names, version, desktop file id); also decides where the
/// settings are stored.
void configureQApplication();
/// What a start does. Only the first argument counts.
enum class StartMode {
  Window,   ///< no argument: the window opens (or the running instance is raised)
  OpenPath, ///< an existing file or folder: opened by the running instance, or by a new one
  Help,
  Version,
  Nothing, ///< any other argument: the start ends at once
};

/// Decides the mode from the arguments after the program name. The options are matched exactly,
/// case included, before the argument is looked for on disk.
StartMode startMode(const QStringList& arguments);
/// The program's entry: decides the mode and runs it; returns the exit code.
int start(int argc, char* argv[]);
/// The graphical mode: builds the application and runs its event loop. A non-empty absolute
/// `pathToOpen` is handed to the running instance, or opened once this one is up.
int runGUI(int argc, char* argv[], const QString& pathToOpen = {});
/// The command-line mode for any argument other than the help and version options.
int runCLI(int argc, char* argv[]);
int printHelp(int argc, char* argv[]);
int printVersion();

} // namespace arvexhub::launcher
