#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace arvexhub::sample {

struct CatalogueItem;
struct CataloguePart;

/// Writes the sample catalogue into a folder:
///   games.json, movies.json, ebooks.json, music.json
///                                 the catalogues, URLs starting with serverPlaceholder()
///   releases.json                 the application's release feed
///   <kind>/<Name>.zip             each item's archive (kind: games, movies, ebooks, albums)
///   thumbnails/<kind>/<Name>.png  each item's picture
/// The server replaces serverPlaceholder() in JSON files with its own address when it sends them.
class CatalogueWriter final {
public:
  /// One kind of the catalogue: its document, its folder, its item names and how its items are made
  /// (given a scratch folder).
  struct Kind {
    QString document;
    QString folder;
    QStringList names;
    std::function<CataloguePart(const QString& workFolder)> make;
  };

  explicit CatalogueWriter(QString folder);

  /// Text standing for "http://<host>:<port>" in the written JSON files.
  static QString serverPlaceholder();

  /// Every file of the catalogue exists in the folder.
  bool isComplete() const;
  /// (Re)writes every file. A kind that cannot be made (movies without ffmpeg) does not stop the
  /// others. Returns the error messages, none on success.
  QStringList write() const;

private:
  QStringList relativePaths() const;
  QString writeKind(const Kind& kind, const QString& workFolder) const;
  QString writeItem(const Kind& kind, const CatalogueItem& item, QJsonObject& entry) const;
  QString writeArchive(const QString& relativePath, const CatalogueItem& item, QByteArray& sha256) const;
  QString writeFile(const QString& relativePath, const QByteArray& content) const;

  QString folder_;
};

} // namespace arvexhub::sample
