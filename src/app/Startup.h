#pragma once

namespace arvexhub::launcher {

inline constexpr const char* applicationVersion = "1.0.0";

/// Sets the application's identity (names, version, desktop file id); also decides where the
/// settings are stored.
void configureQApplication();
/// The graphical mode: builds the application and runs its event loop.
int runGUI(int argc, char* argv[]);
/// The command-line mode for any argument other than the help and version options.
int runCLI(int argc, char* argv[]);
int printHelp(int argc, char* argv[]);
int printVersion();

} // namespace arvexhub::launcher
