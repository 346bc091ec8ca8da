#include "library/EbookListModel.h"

namespace arvexhub::launcher {
namespace {

LibraryKind ebooksKind() {
  LibraryKind kind(QStringLiteral("ebooks"), QStringLiteral("/ebooks.json"), QStringLiteral("ebooklist"),
                   QStringLiteral("*.pdf"));
  kind.pictureFit = PictureFit::Height;
  kind.pictureNeedsUrl = true;
  kind.missingReplyIsError = true;
  // Only a document missing from the archive is logged.
  kind.installLogs = {QString(), QString(),
                      QStringLiteral("No .pdf file found after extracting ebook archive: {name}")};
  kind.itemOfPath = ItemOfPath::ContainingFolder;
  kind.removeFailedLog = QStringLiteral("Failed to remove ebook directory:");
  kind.removedLog = QStringLiteral("Removed ebook directory:");
  return kind;
}

} // namespace

EbookListModel::EbookListModel(QObject* parent)
    : ItemListModel<EbookData>(ebooksKind(), parent) {
  start(&EbookListModel::currentEbookChanged, &EbookListModel::currentReadingEbookChanged,
        &EbookListModel::ebookDownloadFinished);
}

EbookListModel::~EbookListModel() = default;

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

void EbookListModel::downloadAndInstallEbook(const QString& name) {
  const auto* entry = catalogueRecord(name);
  const int row = rowByName(name);
  if (entry != nullptr && row >= 0) {
    downloadRow(row, QUrl(entry->url));
  }
}

} // namespace arvexhub::launcher
