#include "CatalogueWriter.h"

#include "AlbumItems.h"
#include "CatalogueItem.h"
#include "EbookItems.h"
#include "GameItems.h"
#include "MovieItems.h"
#include "SampleGames.h"
#include "SampleMedia.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <utility>

namespace arvexhub::sample {
namespace {

template <typename Sample>
QStringList namesOf(const QList<Sample>& samples) {
  QStringList names;
  for (const auto& sample : samples) {
    names << sample.name;
  }
  return names;
}

const QList<CatalogueWriter::Kind>& kinds() {
  static const QList<CatalogueWriter::Kind> all{
      {QStringLiteral("games.json"), QStringLiteral("games"), namesOf(sampleGames()),
       [](const QString&) { return gameItems(); }},
      {QStringLiteral("movies.json"), QStringLiteral("movies"), namesOf(sampleMovies()), movieItems},
      {QStringLiteral("ebooks.json"), QStringLiteral("ebooks"), namesOf(sampleEbooks()),
       [](const QString&) { return ebookItems(); }},
      {QStringLiteral("music.json"), QStringLiteral("albums"), namesOf(sampleAlbums()), albumItems},
  };
  return all;
}

QString archivePath(const CatalogueWriter::Kind& kind, const QString& name) {
  return QStringLiteral("%1/%2.zip").arg(kind.folder, name);
}

QString thumbnailPath(const CatalogueWriter::Kind& kind, const QString& name) {
  return QStringLiteral("thumbnails/%1/%2.png").arg(kind.folder, name);
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
  QStringList paths{QStringLiteral("releases.json")};
  for (const auto& kind : kinds()) {
    paths << kind.document;
    for (const auto& name : kind.names) {
      paths << archivePath(kind, name) << thumbnailPath(kind, name);
    }
  }
  return paths;
}

bool CatalogueWriter::isComplete() const {
  const auto paths = relativePaths();
  return std::all_of(paths.cbegin(), paths.cend(), [this](const QString& path) {
    return QFileInfo(folder_ + QLatin1Char('/') + path).isFile();
  });
}

QStringList CatalogueWriter::write() const {
  const QTemporaryDir work; // ffmpeg's inputs and outputs
  if (!QDir().mkpath(folder_) || !work.isValid()) {
    return {QStringLiteral("cannot create %1 or a temporary folder").arg(folder_)};
  }
  QStringList errors;
  for (const auto& kind : kinds()) {
    if (auto error = writeKind(kind, work.path()); !error.isEmpty()) {
      errors << error;
    }
  }
  if (auto error = writeFile(QStringLiteral("releases.json"), releaseFeed()); !error.isEmpty()) {
    errors << error;
  }
  return errors;
}

QString CatalogueWriter::writeKind(const Kind& kind, const QString& workFolder) const {
  QDir root(folder_);
  if (!root.mkpath(kind.folder) || !root.mkpath(QStringLiteral("thumbnails/") + kind.folder)) {
    return QStringLiteral("cannot create the folders of %1 in %2").arg(kind.folder, folder_);
  }
  const auto part = kind.make(workFolder);
  if (part.items.isEmpty()) {
    return part.error;
  }
  QJsonArray document;
  for (const auto& item : part.items) {
    QJsonObject entry;
    if (auto error = writeItem(kind, item, entry); !error.isEmpty()) {
      return error;
    }
    document.append(entry);
  }
  // The document goes last: a folder with it and without an archive is an interrupted write.
  const auto error = writeFile(kind.document, QJsonDocument(document).toJson());
  return error.isEmpty() ? part.error : error;
}

QString CatalogueWriter::writeItem(const Kind& kind, const CatalogueItem& item, QJsonObject& entry) const {
  if (auto error = writeFile(thumbnailPath(kind, item.name), item.thumbnailPng); !error.isEmpty()) {
    return error;
  }
  QByteArray sha256;
  if (auto error = writeArchive(archivePath(kind, item.name), item, sha256); !error.isEmpty()) {
    return error;
  }
  const auto server = serverPlaceholder() + QLatin1Char('/');
  entry = item.fields;
  entry.insert(QStringLiteral("name"), item.name);
  entry.insert(QStringLiteral("url"), server + archivePath(kind, item.name));
  entry.insert(QStringLiteral("thumbnail"), server + thumbnailPath(kind, item.name));
  entry.insert(QStringLiteral("sha256"), QString::fromLatin1(sha256));
  // The cards' tool tips tell a download's size before it starts.
  entry.insert(QStringLiteral("size"),
               QFileInfo(folder_ + QLatin1Char('/') + archivePath(kind, item.name)).size());
  return {};
}

QString CatalogueWriter::writeArchive(const QString& relativePath, const CatalogueItem& item,
                                      QByteArray& sha256) const {
  const auto path = folder_ + QLatin1Char('/') + relativePath;
  const auto partial = path + QStringLiteral(".part");
  QFile::remove(partial);
  if (auto error = writeZipArchive(partial, item.files); !error.isEmpty()) {
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
