#include "SampleGames.h"

namespace arvexhub::sample {
namespace {

SampleGame game(const char* name, const char* fullName, const char* developer, const char* publisher,
                bool demo, const char* version, const char* launchDate, const char* top, const char* bottom,
                Motif motif) {
  return {QString::fromUtf8(name),
          QString::fromUtf8(fullName),
          QString::fromUtf8(developer),
          QString::fromUtf8(publisher),
          demo,
          QString::fromUtf8(version),
          QString::fromUtf8(launchDate),
          {QColor(QString::fromLatin1(top)), QColor(QString::fromLatin1(bottom)), motif}};
}

QList<SampleGame> makeGames() {
  return {
      game("StarlightOdyssey", "Starlight Odyssey", "Nebula Lantern Studio", "Arvex Games", false, "1.2.3",
           "2023-03-14", "#1b1f4b", "#6a3fa0", Motif::Star),
      game("MoonTactics", "Moon Tactics", "Crater Works", "Arvex Games", false, "1.1.0", "2022-11-02",
           "#0f2a3d", "#4f7ea8", Motif::Moon),
      game("PixelGarden", "Pixel Garden", "Little Sprout", "Greenhouse Press", true, "2.0", "2024-04-21",
           "#1f5f3a", "#a8d672", Motif::Flower),
      game("TidalForge", "Tidal Forge", "Deepwater Collective", "Harbor Light Publishing", false, "1.0.0",
           "2021-07-30", "#06364f", "#2bb3c0", Motif::Wave),
      game("ArvexRacer", "Arvex Racer", "Arvex Games", "Arvex Games", false, "3.4.0", "2020-05-09", "#3a0d0d",
           "#e0572a", Motif::Flag),
      game("EmberKeep", "Ember Keep", "Old Lantern Games", "Arvex Games", true, "0.8.2", "2024-10-05",
           "#2b1408", "#f29a2e", Motif::Flame),
      game("CloudHopper", "Cloud Hopper", "Paper Kite", "Paper Kite", false, "1.0.5", "2023-09-18", "#3d6fb6",
           "#bfe3ff", Motif::Cloud),
  };
}

} // namespace

const QList<SampleGame>& sampleGames() {
  static const QList<SampleGame> games = makeGames();
  return games;
}

const SampleGame& installedExample() {
  return sampleGames().at(1);
}

QString installedExampleVersion() {
  return QStringLiteral("1.0.0");
}

} // namespace arvexhub::sample
