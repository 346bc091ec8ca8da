#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace arvexhub::sample {

struct SampleGame;

/// Writes the sample catalogue into a folder:
///   games.json                the catalogue, URLs starting with serverPlaceholder()
///   releases.json             the application's release feed
///   games/<Name>.zip          each game's archive (launcher.command and README.txt)
///   thumbnails/<Name>.png     each game's picture
/// The server replaces serverPlaceholder() in JSON files with its own address when it sends them.
class CatalogueWriter final {
public:
  explicit CatalogueWriter(QString folder);

  /// Text standing for "http://<host>:<port>" in the written JSON files.
  static QString serverPlaceholder();

  /// Every file of the catalogue exists in the folder.
  bool isComplete() const;
  /// (Re)writes every file. Returns an error message, empty on success.
  QString write() const;

private:
  QStringList relativePaths() const;
  QString writeGame(const SampleGame& game, QJsonObject& entry) const;
  QString writeFile(const QString& relativePath, const QByteArray& content) const;
  QString writeArchive(const SampleGame& game, QByteArray& sha256) const;

  QString folder_;
};

} // namespace arvexhub::sample
