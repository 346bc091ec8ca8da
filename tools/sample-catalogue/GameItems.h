#pragma once

#include "CatalogueItem.h"

namespace arvexhub::sample {

/// The sample games for "games.json": each archive holds the start script "launcher.command" and a
/// README.txt at its top level.
CataloguePart gameItems();

} // namespace arvexhub::sample
