#pragma once

#include <QByteArray>
#include <QString>

namespace arvexhub::sample {

struct SampleGame;

/// The "launcher.command" bash script of a sample game. It prints a short demo of the console
/// output the launcher reads and answers the commands it reads from standard input.
QByteArray launcherScript(const SampleGame& game, const QString& version);

/// The "README.txt" that goes with the script in a game's archive.
QByteArray gameReadme(const SampleGame& game, const QString& version);

} // namespace arvexhub::sample
