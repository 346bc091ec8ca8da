#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace arvexhub::launcher {

/// The last catalogue document of a kind that was fetched and read well, kept in the library's
/// cache folder, so the library still shows the catalogue while the maker's server cannot be
/// reached.
class CatalogueCache final {
public:
  /// For the document at that path on the server ("/games.json").
  explicit CatalogueCache(const QString& documentPath);

  QString filePath() const;
  /// Replaces the kept document; the file is written whole or not at all.
  bool store(const QByteArray& document) const;
  /// The kept document, empty when there is none.
  QByteArray load() const;
  /// When the kept document was fetched; null when there is none.
  QDateTime fetchedAt() const;

private:
  QString filePath_;
};

} // namespace arvexhub::launcher
