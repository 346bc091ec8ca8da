#pragma once

#include "CatalogueItem.h"

namespace arvexhub::sample {

/// The sample e-books for "ebooks.json": each archive holds <Name>.pdf (a coloured cover page, then
/// pages of searchable text, with a table of contents) and <Name>.png (the cover) at its top level.
CataloguePart ebookItems();

} // namespace arvexhub::sample
