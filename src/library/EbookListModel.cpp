#include "library/EbookListModel.h"

#include "library/Pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QtDebug>

namespace arvexhub::launcher {
namespace {

LibraryKind ebooksKind() {
  LibraryKind kind;
  kind.folderName = QStringLiteral("ebooks");
  kind.documentPath = QStringLiteral("/ebooks.json");
  kind.logWord = QStringLiteral("ebooklist");
  kind.mainFilePattern = QStringLiteral("*.pdf");
  kind.pictureFit = PictureFit::Height;
  kind.pictureNeedsUrl = true;
  kind.missingReplyIsError = true;
  // Only a document missing from the archive is logged.
  kind.installLogs = {QString(), QString(),
                      QStringLiteral("No .pdf file found after extracting ebook archive: {name}")};
  return kind;
}

QString text(const QJsonObject& entry, const char* key) {
  return entry.value(QLatin1String(key)).toString();
}

} // namespace

EbookData RecordTraits<EbookData>::fromDisk(const QString& pdfPath) {
  EbookData ebook;
  ebook.path = pdfPath;
  ebook.name = QFileInfo(pdfPath).dir().dirName();
  ebook.fullName = ebook.name;
  ebook.isInstalled = true;
  return ebook;
}

QString RecordTraits<EbookData>::pictureFile(const EbookData& ebook) {
  return QFileInfo(ebook.path).absolutePath() + QLatin1Char('/') + ebook.name + QStringLiteral(".png");
}

EbookData RecordTraits<EbookData>::fromCatalogue(const QJsonObject& entry) {
  EbookData ebook;
  ebook.name = text(entry, "name");
  ebook.fullName = text(entry, "fullName");
  ebook.author = text(entry, "author");
  ebook.publisher = text(entry, "publisher");
  ebook.publicationDate = text(entry, "publicationDate");
  ebook.url = text(entry, "url");
  ebook.sha256 = text(entry, "sha256");
  return ebook;
}

void RecordTraits<EbookData>::mergeInto(EbookData& row, const EbookData& entry) {
  row.fullName = entry.fullName;
  row.author = entry.author;
  row.publisher = entry.publisher;
  row.publicationDate = entry.publicationDate;
  row.url = entry.url;
  row.sha256 = entry.sha256;
}

EbookData RecordTraits<EbookData>::catalogueOnly(const EbookData& entry) {
  return entry;
}

void RecordTraits<EbookData>::markInstalled(EbookData& row, const QString& pdfPath) {
  row.path = pdfPath;
  row.isInstalled = true;
}

EbookListModel::EbookListModel(QObject* parent)
    : ItemListModel<EbookData>(ebooksKind(), parent) {
  start();
}

EbookListModel::~EbookListModel() = default;

QVariant EbookListModel::data(const QModelIndex& index, int role) const {
  const auto* ebook = recordAt(index);
  if (!ebook) {
    return {};
  }
  switch (role) {
  case Qt::DisplayRole:
    return ebook->fullName;
  case EbookRole::Name:
    return ebook->name;
  case EbookRole::Author:
    return ebook->author;
  case EbookRole::Publisher:
    return ebook->publisher;
  case EbookRole::PublicationDate:
    return ebook->publicationDate;
  case EbookRole::Thumbnail:
    return ebook->thumbnail;
  case EbookRole::Path:
    return ebook->path;
  case EbookRole::IsReading:
    return ebook->isReading;
  case EbookRole::IsBusy:
    return ebook->isBusy;
  case EbookRole::DownloadProgress:
    return ebook->downloadProgress;
  case EbookRole::IsInstalled:
    return ebook->isInstalled;
  default:
    return {};
  }
}

QHash<int, QByteArray> EbookListModel::roleNames() const {
  return {
      {Qt::DisplayRole, "fullName"},
      {EbookRole::Name, "name"},
      {EbookRole::Author, "author"},
      {EbookRole::Publisher, "publisher"},
      {EbookRole::PublicationDate, "publicationDate"},
      {EbookRole::Thumbnail, "thumbnail"},
      {EbookRole::Path, "path"},
      {EbookRole::IsReading, "isReading"},
      {EbookRole::IsBusy, "isBusy"},
      {EbookRole::DownloadProgress, "downloadProgress"},
      {EbookRole::IsInstalled, "isInstalled"},
  };
}

void EbookListModel::addEbookFolder(const QString& folder) {
  scanFolder(folder);
}

void EbookListModel::addEbook(const QString& ebookFilePath) {
  auto ebook = Traits::fromDisk(ebookFilePath);
  if (rowByName(ebook.name) < 0) {
    ebook.thumbnail = Pictures::load(Traits::pictureFile(ebook), kind().pictureFit);
    appendRow(ebook);
  }
}

int EbookListModel::ebookRowByName(const QString& name) const {
  return rowByName(name);
}

QString EbookListModel::ebookNameByPath(const QString& path) const {
  const int row = rowByPath(path);
  return row < 0 ? QString() : rows_[row].fullName;
}

QString EbookListModel::currentEbookName() const {
  return currentEbookName_;
}

void EbookListModel::setCurrentEbookName(const QString& name) {
  if (name != currentEbookName_) {
    currentEbookName_ = name;
    emit currentEbookChanged(name);
  }
}

QString EbookListModel::currentReadingEbook() const {
  return currentReadingEbook_;
}

void EbookListModel::setCurrentReadingEbook(const QString& path) {
  if (path == currentReadingEbook_) {
    return;
  }
  currentReadingEbook_ = path;
  for (auto& ebook : rows_) {
    ebook.isReading = !path.isEmpty() && ebook.path == path;
  }
  allRowsChanged({EbookRole::IsReading});
  emit currentReadingEbookChanged(path);
}

void EbookListModel::removeEbook(const QString& name) {
  const int row = rowByName(name);
  // Without a path the "folder" would be the working directory: nothing of ours to delete.
  if (row < 0 || rows_[row].path.isEmpty()) {
    return;
  }
  const WatcherSilence silence(this);
  auto& ebook = rows_[row];
  const auto folder = QFileInfo(ebook.path).absolutePath();
  if (QFileInfo::exists(folder)) {
    if (removeItemFolder(folder)) {
      qDebug() << "Removed ebook directory:" << folder;
    } else {
      qWarning() << "Failed to remove ebook directory:" << folder;
    }
  }
  // A book still on disk stays installed: the row must not offer a download over it.
  if (QFileInfo::exists(ebook.path)) {
    return;
  }
  ebook.isInstalled = false;
  ebook.isBusy = isDownloading(ebook.name); // a download still running keeps its row busy
  ebook.path.clear();
  rebuildIndexes();
  rowChanged(row);
  forgetFolder(name, folder);
}

/// The selection and the reader let go of an e-book whose folder is gone.
void EbookListModel::forgetFolder(const QString& name, const QString& folder) {
  if (!currentEbookName_.isEmpty() && currentEbookName_ == name) {
    setCurrentEbookName({});
  }
  // The separator matters: removing "Book" must not close a PDF of "Book 2".
  if (currentReadingEbook_.startsWith(folder + QLatin1Char('/'))) {
    setCurrentReadingEbook({});
  }
}

void EbookListModel::onEbookListDownloaded() {
  onCatalogueDownloaded();
}

void EbookListModel::downloadAndInstallEbook(const QString& name) {
  const auto* entry = catalogueRecord(name);
  const int row = rowByName(name);
  if (entry == nullptr || row < 0) {
    return;
  }
  InstallRequest request;
  request.sha256 = entry->sha256;
  downloadRow(row, QUrl(entry->url), request);
}

void EbookListModel::itemInstalled(const QString& name) {
  emit ebookDownloadFinished(name);
}

int EbookListModel::progressRole() const {
  return EbookRole::DownloadProgress;
}

} // namespace arvexhub::launcher
