#include "GameInstaller.h"

#include "LauncherScript.h"
#include "SampleGames.h"
#include "Thumbnail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace arvexhub::sample {

GameInstaller::GameInstaller(const QString& home)
    : gamesFolder_(QDir(home).absoluteFilePath(QStringLiteral(".arvexhub/games"))) {}

QString GameInstaller::gameFolder() const {
  return gamesFolder_ + QLatin1Char('/') + installedExample().name;
}

QString GameInstaller::errorString() const {
  return error_;
}

GameInstaller::Result GameInstaller::install() {
  const auto target = gameFolder();
  if (QFileInfo::exists(target)) {
    return Result::AlreadyPresent;
  }
  // Files go into a hidden staging folder first, so the library never sees half a game.
  const auto staging =
      gamesFolder_ + QStringLiteral("/.") + installedExample().name + QStringLiteral(".partial");
  QDir(staging).removeRecursively();
  if (!QDir().mkpath(staging) || !writeFiles(staging)) {
    QDir(staging).removeRecursively();
    return Result::Failed;
  }
  if (!QDir().rename(staging, target)) {
    error_ = QStringLiteral("cannot move %1 to %2").arg(staging, target);
    QDir(staging).removeRecursively();
    return Result::Failed;
  }
  return Result::Installed;
}

bool GameInstaller::writeFiles(const QString& folder) {
  const auto& game = installedExample();
  const auto version = installedExampleVersion();
  const auto png = thumbnailPng(game.look);
  const auto prefix = folder + QLatin1Char('/');
  return !png.isEmpty() &&
         writeFile(prefix + QStringLiteral("launcher.command"), launcherScript(game, version), true) &&
         writeFile(prefix + QStringLiteral("README.txt"), gameReadme(game, version), false) &&
         writeFile(prefix + QStringLiteral("VERSION"), version.toUtf8() + '\n', false) &&
         writeFile(prefix + game.name + QStringLiteral(".png"), png, false) &&
         writeFile(prefix + QStringLiteral("save.dat"), QByteArrayLiteral("level=3\nstars=9\nscore=3750\n"),
                   false);
}

bool GameInstaller::writeFile(const QString& path, const QByteArray& content, bool executable) {
  QSaveFile file(path);
  const bool ok = file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
  if (!ok) {
    error_ = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
  }
  if (executable) {
    QFile::setPermissions(path,
                          QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
  }
  return true;
}

} // namespace arvexhub::sample
