#pragma once

#include "library/ItemRecord.h"

#include <QPixmap>

namespace arvexhub::launcher {

/// One e-book: installed in the e-books folder (its path is the PDF file) or only offered by the
/// catalogue.
struct EbookData : ItemRecord {
  QString author;
  QString publicationDate;
  QString url; ///< download link of the e-book's zip archive, as text
  QPixmap thumbnail;
  bool isInstalled{false};
  bool isReading{false};
};

namespace EbookRole {
enum : int {
  Name = 257,
  Author = 259,
  Publisher = 260,
  PublicationDate = 261,
  Thumbnail = 262,
  Path = 263,
  IsReading = 264,
  IsBusy = 265,
  DownloadProgress = 266,
  IsInstalled = 267,
};
} // namespace EbookRole

} // namespace arvexhub::launcher
