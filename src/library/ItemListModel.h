#pragma once

#include "library/ItemDownload.h"
#include "library/ItemNames.h"
#include "library/LibraryModel.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QtDebug>

#include <algorithm>
#include <numeric>

namespace arvexhub::launcher {

/// Each record type says how it is read from the catalogue, merged and installed:
///
///   static QPixmap& picture(Record&);  and  static const QPixmap& picture(const Record&);
///   static bool isInstalled(const Record&);
///   static Record fromDisk(const QString& installedPath);           // without its picture
///   static QString pictureFile(const Record&);                      // the item's own picture
///   static Record fromCatalogue(const QJsonObject& entry);
///   static void mergeInto(Record& row, const Record& entry);        // an existing row
///   static Record catalogueOnly(const Record& entry);               // a row appended by the merge
///   static void markInstalled(Record& row, const QString& installedPath);
///   static void markFailed(Record& row);                            // after a failed download
///   static const QString& displayText(const Record& record);        // what the display role shows
///   static void setPictureFile(Record& row, const QString& file);
template <typename Record>
struct RecordTraits;

/// The rows of one kind of the library, with everything the kinds do alike on them: look-up by
/// name (a hash, not a scan), the catalogue merge, pictures and download state.
template <typename Record>
class ItemListModel : public LibraryModel {
public:
  using Traits = RecordTraits<Record>;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }

  const QString& displayTextAt(int row) const override {
    return Traits::displayText(rows_[row]);
  }

  /// First row whose name matches, ignoring case; -1 when none.
  int rowByName(const QString& name) const {
    return names_.value(name.toCaseFolded(), -1);
  }

  /// Row whose path matches exactly; -1 when none.
  int rowByPath(const QString& path) const {
    return path.isEmpty() ? -1 : paths_.value(path, -1);
  }

  const QList<Record>& records() const {
    return rows_;
  }

  /// The record the last catalogue read gives for that exact name, or null.
  const Record* catalogueRecord(const QString& name) const {
    const auto found = catalogueIndex_.constFind(name);
    return found == catalogueIndex_.cend() ? nullptr : &catalogue_[*found].record;
  }

protected:
  ItemListModel(LibraryKind kind, QObject* parent)
      : LibraryModel(std::move(kind), parent) {}

  const Record* recordAt(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || index.row() < 0 || index.row() >= rows_.size() ||
        index.column() != 0) {
      return nullptr;
    }
    return &rows_[index.row()];
  }

  void appendRow(const Record& record, const QString& foldedName = {}) {
    const auto row = static_cast<int>(rows_.size());
    const bool notify = !isBulkLoading();
    if (notify) {
      beginInsertRows({}, row, row);
    }
    rows_.append(record);
    indexRow(row, foldedName);
    if (notify) {
      endInsertRows();
      emit rowCountChanged();
    }
  }

  void removeRowAt(int row) {
    beginRemoveRows({}, row, row);
    rows_.removeAt(row);
    rebuildIndexes();
    endRemoveRows();
    emit rowCountChanged();
  }

  void rowChanged(int row, const QList<int>& roles = {}) {
    const auto changed = index(row);
    emit dataChanged(changed, changed, roles);
  }

  void allRowsChanged(const QList<int>& roles) {
    if (!rows_.isEmpty()) {
      emit dataChanged(index(0), index(static_cast<int>(rows_.size()) - 1), roles);
    }
  }

  /// Starts the download of a row's archive into the library; the row turns busy.
  void downloadRow(int row, const QUrl& url, InstallRequest request) {
    auto& record = rows_[row];
    request.itemName = record.name;
    request.url = url;
    request.libraryFolder = libraryFolder();
    request.mainFilePattern = kind().mainFilePattern;
    request.mainFileExecutable = kind().mainFileExecutable;
    request.logs = kind().installLogs;
    if (!ItemNames::isSafe(record.name) || isDownloading(record.name)) {
      qWarning() << "Refusing to download" << record.name;
      return;
    }
    record.isBusy = true;
    record.downloadProgress = 0.0;
    rowChanged(row);
    if (!startDownload(request)) {
      failRow(row);
    }
  }

  /// A download that did not complete: the row is idle again and downloadable if not installed.
  void failRow(int row) {
    if (row >= 0 && row < rows_.size()) {
      Traits::markFailed(rows_[row]);
      setIdle(row);
    }
  }

  /// The row's download has ended, whichever way.
  void setIdle(int row) {
    if (row >= 0 && row < rows_.size()) {
      rows_[row].isBusy = false;
      rows_[row].downloadProgress = -1.0;
      rowChanged(row);
    }
  }

  /// The kind announces a finished installation with its own signal.
  virtual void itemInstalled(const QString& name) = 0;
  /// The role that carries the download progress.
  virtual int progressRole() const = 0;

  // LibraryModel
  void clearItems() override {
    rows_.clear();
    names_.clear();
    paths_.clear();
    catalogue_.clear();
    catalogueIndex_.clear();
  }

  QSet<QString> installedFolderNames() const override {
    QSet<QString> names;
    for (const auto& record : rows_) {
      if (Traits::isInstalled(record)) {
        const QFileInfo main(record.path);
        names.insert(kind().mainFilePattern.isEmpty() ? main.fileName() : main.dir().dirName());
      }
    }
    return names;
  }

  QList<QPair<QString, QString>> mergeCatalogue(const QList<QJsonObject>& entries) override {
    readCatalogue(entries);
    QList<QPair<QString, QString>> pictures;
    pictures.reserve(catalogue_.size());
    // By name, so that the rows only the catalogue has are appended in that order.
    for (const qsizetype place : catalogueInNameOrder()) {
      const auto& [entry, pictureUrl] = catalogue_[place];
      const auto foldedName = entry.name.toCaseFolded();
      const int row = names_.value(foldedName, -1);
      if (row >= 0) {
        Traits::mergeInto(rows_[row], entry);
      } else {
        appendRow(Traits::catalogueOnly(entry), foldedName);
      }
      pictures.append({entry.name, pictureUrl});
    }
    restoreBusyRows();
    return pictures;
  }

  void addInstalledItem(const QString& path) override {
    const auto record = Traits::fromDisk(path);
    if (acceptsInstalled(record)) {
      appendRow(record);
      // Only a picture that is there: a pending one keeps the catalogue's picture away.
      const auto picture = Traits::pictureFile(record);
      if (QFileInfo::exists(picture)) {
        queueLocalPicture(record.name, picture);
      }
    }
  }

  /// Whether a record found on disk becomes a row (the kinds differ on duplicates).
  virtual bool acceptsInstalled(const Record& record) const {
    return rowByName(record.name) < 0;
  }

  bool wantsPicture(const QString& name) const override {
    const int row = rowByName(name);
    if (row < 0 || !Traits::isInstalled(rows_[row])) {
      return true;
    }
    return Traits::picture(rows_[row]).isNull() && !isLocalPicturePending(name);
  }

  void setPicture(const QString& name, const QPixmap& picture, const QString& file) override {
    const int row = rowByName(name);
    if (row >= 0) {
      Traits::picture(rows_[row]) = picture;
      Traits::setPictureFile(rows_[row], file);
      rowChanged(row);
    }
  }

  void onDownloadProgress(const QString& name, double fraction) override {
    const int row = rowByName(name);
    if (row >= 0) {
      rows_[row].downloadProgress = fraction;
      rowChanged(row, {progressRole()});
    }
  }

  void onDownloadFinished(const QString& name, bool success, const QString& installedPath) override {
    const int row = rowByName(name);
    if (row < 0) {
      return;
    }
    if (!success) {
      return failRow(row);
    }
    Traits::markInstalled(rows_[row], installedPath);
    indexRow(row);
    // Announced while the row still shows its download; then the row goes idle.
    itemInstalled(name);
    setIdle(rowByName(name));
  }

  QList<Record> rows_;

  /// After rows were removed or a row lost its path.
  void rebuildIndexes() {
    names_.clear();
    paths_.clear();
    for (qsizetype row = 0; row < rows_.size(); ++row) {
      indexRow(static_cast<int>(row));
    }
  }

private:
  struct CatalogueEntry {
    Record record;
    QString pictureUrl;
  };

  /// Keeps the entries with a safe name in the order the document first lists them; a later
  /// entry of the same name replaces the earlier one in its place.
  void readCatalogue(const QList<QJsonObject>& entries) {
    catalogue_.clear();
    catalogueIndex_.clear();
    catalogue_.reserve(entries.size());
    catalogueIndex_.reserve(entries.size());
    for (const auto& entry : entries) {
      auto record = Traits::fromCatalogue(entry);
      if (record.name.isEmpty()) {
        continue;
      }
      if (!ItemNames::isSafe(record.name)) {
        qWarning() << "Skipping catalogue entry with an unsafe name:" << record.name;
        continue;
      }
      CatalogueEntry read{std::move(record), entry.value(QLatin1String("thumbnail")).toString()};
      const auto known = catalogueIndex_.constFind(read.record.name);
      if (known != catalogueIndex_.cend()) {
        catalogue_[*known] = std::move(read);
      } else {
        catalogueIndex_.insert(read.record.name, catalogue_.size());
        catalogue_.append(std::move(read));
      }
    }
  }

  /// The places of the catalogue's entries, ordered by name (case-sensitive, as the keys of a
  /// name-ordered map).
  QList<qsizetype> catalogueInNameOrder() const {
    QList<qsizetype> order(catalogue_.size());
    std::iota(order.begin(), order.end(), qsizetype{0});
    const auto byName = [this](qsizetype a, qsizetype b) {
      return catalogue_[a].record.name < catalogue_[b].record.name;
    };
    if (!std::is_sorted(order.cbegin(), order.cend(), byName)) { // most catalogues come sorted
      std::sort(order.begin(), order.end(), byName);
    }
    return order;
  }

  /// Look-ups find the first row of a name or path.
  void indexRow(int row, const QString& foldedName = {}) {
    const auto& record = rows_[row];
    const auto key = foldedName.isNull() ? record.name.toCaseFolded() : foldedName;
    const auto found = names_.find(key);
    if (found == names_.end()) {
      names_.insert(key, row);
    } else {
      *found = qMin(*found, row);
    }
    if (!record.path.isEmpty()) {
      paths_.insert(record.path, qMin(row, paths_.value(record.path, row)));
    }
  }

  /// A merge rebuilds rows from the catalogue; downloads still running keep their rows busy.
  void restoreBusyRows() {
    if (!hasDownloads()) {
      return;
    }
    for (auto& record : rows_) {
      if (isDownloading(record.name) && !record.isBusy) {
        record.isBusy = true;
        record.downloadProgress = 0.0;
      }
    }
  }

  QHash<QString, int> names_;                ///< case-folded name -> first row with it
  QHash<QString, int> paths_;                ///< installed path -> first row with it
  QList<CatalogueEntry> catalogue_;          ///< the last catalogue read, in document order
  QHash<QString, qsizetype> catalogueIndex_; ///< exact name -> its place in catalogue_
};

} // namespace arvexhub::launcher
