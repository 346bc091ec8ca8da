#include "GameItems.h"

#include "LauncherScript.h"
#include "SampleGames.h"

#include <QDir>

namespace arvexhub::sample {
namespace {

QList<ArchiveEntry> archiveFiles(const SampleGame& game) {
  return {
      {QStringLiteral("launcher.command"), launcherScript(game, game.version), true},
      {QStringLiteral("README.txt"), gameReadme(game, game.version), false},
  };
}

} // namespace

CataloguePart gameItems() {
  CataloguePart part;
  for (const auto& game : sampleGames()) {
    const auto png = thumbnailPng(game.look);
    if (png.isEmpty()) {
      return {{}, QStringLiteral("cannot draw the picture of %1").arg(game.name)};
    }
    const QJsonObject fields{
        {QStringLiteral("fullName"), game.fullName},   {QStringLiteral("developer"), game.developer},
        {QStringLiteral("publisher"), game.publisher}, {QStringLiteral("demo"), game.demo},
        {QStringLiteral("version"), game.version},     {QStringLiteral("launchDate"), game.launchDate},
    };
    part.items.append({game.name, fields, archiveFiles(game), png});
  }
  return part;
}

QString writeGamePackage(const QString& folder) {
  if (!QDir().mkpath(folder)) {
    return QStringLiteral("cannot create %1").arg(folder);
  }
  const auto& game = sampleGames().first();
  return writeZipArchive(QDir(folder).absoluteFilePath(game.name + QStringLiteral(".arvexhub")),
                         archiveFiles(game));
}

} // namespace arvexhub::sample
