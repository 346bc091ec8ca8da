#pragma once

#include <QPixmap>
#include <QString>

namespace arvexhub::launcher {

/// One e-book: installed in the e-books folder or only offered by the catalogue.
struct EbookData {
  QString name; ///< folder name and catalogue identifier
  QString fullName;
  QString author;
  QString publisher;
  QString publicationDate;
  QString path; ///< absolute path of the PDF file
  QString url;  ///< download link of the e-book's zip archive, as text
  QPixmap thumbnail;
  bool isInstalled{false};
  bool isBusy{false};
  bool isReading{false};
  double downloadProgress{-1.0};
  QString sha256;
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
