#pragma once

#include "Thumbnail.h"

#include <QList>
#include <QString>

namespace arvexhub::sample {

/// One invented game of the sample catalogue.
struct SampleGame {
  QString name; ///< folder name and catalogue identifier
  QString fullName;
  QString developer;
  QString publisher;
  bool demo{false};
  QString version;
  QString launchDate;
  PictureLook look;
};

/// Every game of the sample catalogue, in catalogue order.
const QList<SampleGame>& sampleGames();

/// The game that --install-into installs with an older version than the catalogue's.
const SampleGame& installedExample();

/// The version written into the installed example, older than installedExample().version.
QString installedExampleVersion();

} // namespace arvexhub::sample
