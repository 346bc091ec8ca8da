#pragma once

#include "library/EbookData.h"
#include "library/ItemListModel.h"

namespace arvexhub::launcher {

template <>
struct RecordTraits<EbookData> {
  static QPixmap& picture(EbookData& ebook) {
    return ebook.thumbnail;
  }
  static const QPixmap& picture(const EbookData& ebook) {
    return ebook.thumbnail;
  }
  static const QString& displayText(const EbookData& ebook) {
    return ebook.fullName;
  }
  static bool isInstalled(const EbookData& ebook) {
    return ebook.isInstalled;
  }
  static EbookData fromDisk(const QString& pdfPath);
  static QString pictureFile(const EbookData& ebook);
  static EbookData fromCatalogue(const QJsonObject& entry);
  static void mergeInto(EbookData& row, const EbookData& entry);
  static EbookData catalogueOnly(const EbookData& entry);
  static void markInstalled(EbookData& row, const QString& pdfPath);
  static void markFailed(EbookData&) {}
  static void setPictureFile(EbookData&, const QString&) {}
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

  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QHash<int, QByteArray> roleNames() const override;

  void addEbookFolder(const QString& folder);
  /// Adds an installed e-book unless one of the same name (any case) is listed already.
  void addEbook(const QString& ebookFilePath);
  int ebookRowByName(const QString& name) const;
  /// The title of the e-book whose PDF is exactly that path; empty when none.
  QString ebookNameByPath(const QString& path) const;

  QString currentEbookName() const;
  void setCurrentEbookName(const QString& name);
  QString currentReadingEbook() const;
  void setCurrentReadingEbook(const QString& path);

public slots:
  /// The catalogue's reply handler.
  void onEbookListDownloaded();
  /// Deletes an installed e-book's folder; the row stays, to be downloaded again.
  void removeEbook(const QString& name);
  /// Downloads the catalogue entry of exactly that name from its own link.
  void downloadAndInstallEbook(const QString& name);

signals:
  void currentEbookChanged(const QString& name);
  void currentReadingEbookChanged(const QString& path);
  void ebookDownloadFinished(const QString& ebookName);

protected:
  void itemInstalled(const QString& name) override;
  int progressRole() const override;

private:
  void forgetFolder(const QString& name, const QString& folder);

  QString currentEbookName_;
  QString currentReadingEbook_;
};

} // namespace arvexhub::launcher
