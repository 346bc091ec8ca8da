#pragma once

#include "CatalogueItem.h"

namespace arvexhub::sample {

/// The sample games for "games.json": each archive holds the start script "launcher.command" and a
/// README.txt at its top level.
CataloguePart gameItems();

/// Writes a game package "<folder>/<name>.arvexhub" of the first sample game: a zip laid out as its
/// catalogue archive. Returns an error message, empty on success.
QString writeGamePackage(const QString& folder);

} // namespace arvexhub::sample
