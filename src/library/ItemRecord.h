#pragma once

#include <QString>

namespace arvexhub::launcher {

/// What the records of every kind hold: an item of the library, installed or only offered by
/// the catalogue, and its download.
struct ItemRecord {
  QString name;     ///< folder name and catalogue identifier
  QString fullName; ///< display title
  QString publisher;
  QString path;                  ///< the installed item's main file (or folder); empty when not installed
  bool isBusy{false};            ///< a download and installation is running
  double downloadProgress{-1.0}; ///< 0..1 while downloading, else -1 (1 for a game found on disk)
  QString sha256;                ///< optional checksum of the archive, hexadecimal
  qint64 installedAt{0};         ///< when it was installed, ms since the epoch; 0 when not installed
  qint64 archiveSize{0};         ///< the catalogue's "size" of the archive in bytes; 0 when not given
  QString pictureFile;           ///< the file the row's picture was read from
};

} // namespace arvexhub::launcher
