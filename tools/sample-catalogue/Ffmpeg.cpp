#include "Ffmpeg.h"

#include <QProcess>
#include <QStandardPaths>

namespace arvexhub::sample {
namespace {

// Each run encodes a few seconds; a run that takes this long is stuck.
constexpr int runTimeoutMs = 60000;

} // namespace

QString ffmpegProgram() {
  return QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
}

QString ffmpegMissing(const QString& consequence) {
  return QStringLiteral(
             "ffmpeg was not found on PATH (Debian package ffmpeg, installed by scripts/bootstrap): ") +
         consequence;
}

QStringList ffmpegOptions(const char* text) {
  return QString::fromLatin1(text).split(QLatin1Char(' '));
}

QStringList reproducibleOutput() {
  return ffmpegOptions("-fflags +bitexact -flags:v +bitexact -flags:a +bitexact -map_metadata -1");
}

QString runFfmpeg(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setStandardInputFile(QProcess::nullDevice());
  process.start(program, QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                                     QStringLiteral("error"), QStringLiteral("-y")} +
                             arguments);
  if (!process.waitForFinished(runTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    return QStringLiteral("ffmpeg did not finish: ") + process.errorString();
  }
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    const auto words = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return QStringLiteral("ffmpeg failed (%1): %2").arg(process.exitCode()).arg(words.right(300));
  }
  return {};
}

} // namespace arvexhub::sample
