#pragma once

#include "ZipArchive.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace arvexhub::sample {

/// One entry of a catalogue document with the files served for it.
struct CatalogueItem {
  QString name;              ///< the entry's "name": its archive's and picture's file name
  QJsonObject fields;        ///< the entry's own keys; the writer adds "url", "thumbnail" and "sha256"
  QList<ArchiveEntry> files; ///< the archive, laid out as the installed item's folder
  QByteArray thumbnailPng;   ///< the picture the catalogue links to
};

/// What one kind of the catalogue produced: its items, and why some or all of them could not be made
/// (empty when everything was).
struct CataloguePart {
  QList<CatalogueItem> items;
  QString error;
};

} // namespace arvexhub::sample
