#include "CatalogueWriter.h"

#include "GameArchive.h"
#include "LauncherScript.h"
#include "SampleGames.h"
#include "Thumbnail.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>
#include <utility>

namespace arvexhub::sample {
namespace {

QString archivePath(const SampleGame& game) {
  return QStringLiteral("games/%1.zip").arg(game.name);
}

QString thumbnailPath(const SampleGame& game) {
  return QStringLiteral("thumbnails/%1.png").arg(game.name);
}

QByteArray fileSha256(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(&file);
  return hash.result().toHex();
}

QJsonObject catalogueEntry(const SampleGame& game) {
  const auto server = CatalogueWriter::serverPlaceholder();
  return {
      {QStringLiteral("name"), game.name},
      {QStringLiteral("fullName"), game.fullName},
      {QStringLiteral("developer"), game.developer},
      {QStringLiteral("publisher"), game.publisher},
      {QStringLiteral("demo"), game.demo},
      {QStringLiteral("url"), server + QLatin1Char('/') + archivePath(game)},
      {QStringLiteral("version"), game.version},
      {QStringLiteral("launchDate"), game.launchDate},
      {QStringLiteral("thumbnail"), server + QLatin1Char('/') + thumbnailPath(game)},
  };
}

/// The newest release as the update check reads it: its tag and, under "_links", the address of
/// its page, which here is the feed itself so that opening it shows something.
QByteArray releaseFeed() {
  const QJsonObject links{
      {QStringLiteral("self"), CatalogueWriter::serverPlaceholder() + QStringLiteral("/releases.json")},
  };
  const QJsonObject feed{
      {QStringLiteral("tag_name"), QStringLiteral("v1.1.0")},
      {QStringLiteral("name"), QStringLiteral("Arvex Hub 1.1.0")},
      {QStringLiteral("body"), QStringLiteral("Sample release")},
      {QStringLiteral("_links"), links},
  };
  return QJsonDocument(feed).toJson();
}

} // namespace

CatalogueWriter::CatalogueWriter(QString folder)
    : folder_(std::move(folder)) {}

QString CatalogueWriter::serverPlaceholder() {
  return QStringLiteral("{server}");
}

QStringList CatalogueWriter::relativePaths() const {
  QStringList paths{QStringLiteral("games.json"), QStringLiteral("releases.json")};
  for (const auto& game : sampleGames()) {
    paths << archivePath(game) << thumbnailPath(game);
  }
  return paths;
}

bool CatalogueWriter::isComplete() const {
  const auto paths = relativePaths();
  return std::all_of(paths.cbegin(), paths.cend(), [this](const QString& path) {
    return QFileInfo(folder_ + QLatin1Char('/') + path).isFile();
  });
}

QString CatalogueWriter::write() const {
  QDir root(folder_);
  if (!root.mkpath(QStringLiteral("games")) || !root.mkpath(QStringLiteral("thumbnails"))) {
    return QStringLiteral("cannot create the folders of %1").arg(folder_);
  }
  QJsonArray catalogue;
  for (const auto& game : sampleGames()) {
    QJsonObject entry;
    if (auto error = writeGame(game, entry); !error.isEmpty()) {
      return error;
    }
    catalogue.append(entry);
  }
  // games.json goes last: a folder with it and without an archive is an interrupted write.
  if (auto error = writeFile(QStringLiteral("releases.json"), releaseFeed()); !error.isEmpty()) {
    return error;
  }
  return writeFile(QStringLiteral("games.json"), QJsonDocument(catalogue).toJson());
}

QString CatalogueWriter::writeGame(const SampleGame& game, QJsonObject& entry) const {
  const auto png = thumbnailPng(game);
  if (png.isEmpty()) {
    return QStringLiteral("cannot draw the picture of %1").arg(game.name);
  }
  if (auto error = writeFile(thumbnailPath(game), png); !error.isEmpty()) {
    return error;
  }
  QByteArray sha256;
  if (auto error = writeArchive(game, sha256); !error.isEmpty()) {
    return error;
  }
  entry = catalogueEntry(game);
  entry.insert(QStringLiteral("sha256"), QString::fromLatin1(sha256));
  return {};
}

QString CatalogueWriter::writeArchive(const SampleGame& game, QByteArray& sha256) const {
  const auto path = folder_ + QLatin1Char('/') + archivePath(game);
  const auto partial = path + QStringLiteral(".part");
  QFile::remove(partial);
  const QList<ArchiveEntry> entries{
      {QStringLiteral("launcher.command"), launcherScript(game, game.version), true},
      {QStringLiteral("README.txt"), gameReadme(game, game.version), false},
  };
  if (auto error = writeZipArchive(partial, entries); !error.isEmpty()) {
    QFile::remove(partial);
    return error;
  }
  QFile::remove(path);
  if (!QFile::rename(partial, path)) {
    return QStringLiteral("cannot move %1 into place").arg(path);
  }
  sha256 = fileSha256(path);
  return sha256.isEmpty() ? QStringLiteral("cannot read back %1").arg(path) : QString();
}

QString CatalogueWriter::writeFile(const QString& relativePath, const QByteArray& content) const {
  QSaveFile file(folder_ + QLatin1Char('/') + relativePath);
  if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
    return QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
  }
  return {};
}

} // namespace arvexhub::sample
