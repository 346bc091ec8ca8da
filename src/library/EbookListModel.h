#pragma once

#include "library/EbookData.h"
#include "library/ItemListModel.h"

namespace arvexhub::launcher {

template <>
struct RecordTraits<EbookData> : ItemTraits<EbookData> {
  using Roles =
      RoleFields<&EbookData::name, nullptr, &EbookData::author, &EbookData::publisher,
                 &EbookData::publicationDate, &EbookData::thumbnail, &EbookData::path, &EbookData::isReading,
                 &EbookData::isBusy, &EbookData::downloadProgress, &EbookData::isInstalled>;
  static_assert(Roles::count == EbookRole::IsInstalled - firstItemRole + 1, "a field for every role");
  static constexpr CatalogueText<EbookData> texts[] = {{"fullName", &EbookData::fullName},
                                                       {"author", &EbookData::author},
                                                       {"publisher", &EbookData::publisher},
                                                       {"publicationDate", &EbookData::publicationDate}};
  static constexpr auto picture = &EbookData::thumbnail;
  static constexpr auto playingMark = &EbookData::isReading;
  static constexpr int playingRole = EbookRole::IsReading;
};

/// Every installed e-book, then every e-book only the catalogue offers, with the one the user
/// selected and the one open in the reader. The views show its proxy.
class EbookListModel final : public ItemListModel<EbookData> {
  Q_OBJECT
  Q_PROPERTY(int rowCount READ rowCount NOTIFY rowCountChanged)
  Q_PROPERTY(QString currentEbookName READ currentEbookName NOTIFY currentEbookChanged)
  Q_PROPERTY(QString currentReadingEbook READ currentReadingEbook NOTIFY currentReadingEbookChanged)

public:
  explicit EbookListModel(QObject* parent = nullptr);
  ~EbookListModel() override;
  Q_DISABLE_COPY_MOVE(EbookListModel)

  QHash<int, QByteArray> roleNames() const override;

  void addEbookFolder(const QString& folder) {
    scanFolder(folder);
  }
  /// Adds an installed e-book unless one of the same name (any case) is listed already.
  void addEbook(const QString& ebookFilePath) {
    addInstalledNow(ebookFilePath);
  }
  int ebookRowByName(const QString& name) const {
    return rowByName(name);
  }
  /// The title of the e-book whose PDF is exactly that path; empty when none.
  QString ebookNameByPath(const QString& path) const {
    return displayTextOfPath(path);
  }

  QString currentEbookName() const {
    return currentName();
  }
  void setCurrentEbookName(const QString& name) {
    setCurrentName(name);
  }
  QString currentReadingEbook() const {
    return playingPath();
  }
  void setCurrentReadingEbook(const QString& path) {
    setPlayingPath(path);
  }

public slots:
  /// Deletes an installed e-book's folder; the row stays, to be downloaded again.
  void removeEbook(const QString& name) {
    removeItem(name);
  }
  /// The catalogue's reply handler.
  void onEbookListDownloaded() {
    onCatalogueDownloaded();
  }
  /// Downloads the catalogue entry of exactly that name from its own link.
  void downloadAndInstallEbook(const QString& name);

signals:
  void currentEbookChanged(const QString& name);
  void currentReadingEbookChanged(const QString& path);
  void ebookDownloadFinished(const QString& ebookName);

protected:
  void downloadItem(const QString& name) override {
    downloadAndInstallEbook(name);
  }
};

} // namespace arvexhub::launcher
