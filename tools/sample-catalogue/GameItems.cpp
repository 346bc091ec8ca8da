#include "GameItems.h"

#include "LauncherScript.h"
#include "SampleGames.h"

namespace arvexhub::sample {

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
    const QList<ArchiveEntry> files{
        {QStringLiteral("launcher.command"), launcherScript(game, game.version), true},
        {QStringLiteral("README.txt"), gameReadme(game, game.version), false},
    };
    part.items.append({game.name, fields, files, png});
  }
  return part;
}

} // namespace arvexhub::sample
