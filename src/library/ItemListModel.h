#pragma once

#include "library/ItemDownload.h"
#include "library/ItemNames.h"
#include "library/ItemToolTip.h"
#include "library/LibraryModel.h"
#include "library/Pictures.h"
#include "library/PlayTimeStore.h"
#include "library/PlayTimeText.h"
#include "library/RecordTraits.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QtDebug>

#include <algorithm>

namespace arvexhub::launcher {

/// The rows of one kind of the library, with everything the kinds do alike on them: look-up by
/// name (a hash, not a scan), the item-data roles, the catalogue merge, pictures, the selection,
/// the playing mark, download state and removal. The kinds' own names for these are thin.
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

  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
    const auto* record = recordAt(index);
    if (record == nullptr) {
      return {};
    }
    if (role == Qt::DisplayRole) {
      return Traits::displayText(*record);
    }
    if (role == downloadStateRole) {
      return int(downloadStatus(record->name).state);
    }
    if (role == pictureFileRole) {
      return (record->*Traits::picture).isNull() ? QString() : record->pictureFile;
    }
    if (role == Qt::ToolTipRole) {
      return toolTip(*record);
    }
    if constexpr (Traits::decorated) {
      if (role == Qt::DecorationRole) {
        return record->*Traits::picture;
      }
    }
    return Traits::Roles::value(*record, role);
  }

  RowFacts rowFactsAt(int row) const override {
    const auto& record = rows_[row];
    const bool installed = Traits::isInstalled(record);
    return {record.name, installed, installed && Traits::hasUpdate(record), record.installedAt};
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

  /// The display text of the row whose path is exactly that; empty when none.
  QString displayTextOfPath(const QString& path) const {
    const int row = rowByPath(path);
    return row < 0 ? QString() : Traits::displayText(rows_[row]);
  }

  /// The path of the selected item; empty when none is selected or it is not installed.
  QString currentPath() const {
    const int row = currentName().isEmpty() ? -1 : rowByName(currentName());
    return row < 0 ? QString() : rows_[row].path;
  }

  void setPlayingPath(const QString& path) override {
    if (path == playingPath()) {
      return;
    }
    storePlayingPath(path);
    if constexpr (!std::is_null_pointer_v<decltype(Traits::playingMark)>) {
      for (auto& record : rows_) {
        record.*Traits::playingMark = !path.isEmpty() && record.path == path;
      }
    }
    allRowsChanged(Traits::playingRole == 0 ? QList<int>() : QList<int>{Traits::playingRole});
    emit playingPathChanged(path);
  }

  /// Deletes the installed item's folder; its row stays, to be downloaded again. An item whose
  /// folder cannot be deleted stays installed: offering a download over it would be wrong.
  void removeItem(const QString& name) override {
    const int row = rowByName(name);
    // A catalogue row has no folder: the folder of an empty path would be the working directory.
    if (row < 0 || rows_[row].path.isEmpty()) {
      return;
    }
    if (isDownloading(rows_[row].name)) {
      qWarning() << "Refusing to remove an item while it is downloaded:" << rows_[row].name;
      return;
    }
    const auto folder = itemFolder(rows_[row]);
    if (!deleteItemFolder(folder, rows_[row].path)) {
      return;
    }
    rows_[row].path.clear();
    rows_[row].isBusy = false;
    rows_[row].installedAt = 0;
    Traits::markRemoved(rows_[row]);
    rebuildIndexes();
    rowChanged(row);
    if (!currentName().isEmpty() && currentName() == name) {
      setCurrentName({});
    }
    // The separator matters: removing "Book" must not close a file of "Book 2".
    if (playingPath() == folder || playingPath().startsWith(folder + QLatin1Char('/'))) {
      setPlayingPath({});
    }
  }

  /// Adds one installed item by its main file, with its own picture read at once (a scan reads
  /// pictures later), unless the kind refuses it as a duplicate.
  void addInstalledNow(const QString& path) {
    auto record = fromDisk(path);
    if (acceptsInstalled(record)) {
      const WatcherSilence silence(this);
      record.pictureFile = pictureFile(record);
      record.*Traits::picture = Pictures::load(record.pictureFile, kind().pictureFit);
      appendRow(record);
    }
  }

  /// The record the last catalogue read gives for that exact name, or null.
  const Record* catalogueRecord(const QString& name) const {
    const auto found = catalogueIndex_.constFind(name);
    return found == catalogueIndex_.cend() ? nullptr : &catalogue_[*found].record;
  }

protected:
  ItemListModel(LibraryKind kind, QObject* parent)
      : LibraryModel(std::move(kind), parent) {}

  /// Starts the model (LibraryModel::start; the kind's constructor calls it last), with the
  /// selection, the playing item and finished installations announced by the kind's own signals.
  template <typename Kind>
  void start(void (Kind::*currentChanged)(const QString&), void (Kind::*playingChanged)(const QString&),
             void (Kind::*installed)(const QString&)) {
    auto* self = static_cast<Kind*>(this);
    connect(this, &LibraryModel::currentNameChanged, self, currentChanged);
    connect(this, &LibraryModel::playingPathChanged, self, playingChanged);
    connect(this, &LibraryModel::itemInstalled, self, installed);
    LibraryModel::start();
  }

  /// A removed item the catalogue offers comes back at once as its catalogue row, as a merge of
  /// the catalogue already read would bring it back; nothing is fetched.
  void restoreCatalogueRow(const QString& name) {
    const auto place = cataloguePlaceOf(name);
    if (place < 0 || rowByName(name) >= 0) {
      return;
    }
    const auto& [entry, pictureUrl] = catalogue_[place];
    appendRow(Traits::catalogueOnly(entry));
    loadCataloguePicture(entry.name, pictureUrl);
  }

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
    if (hasDownloads()) {
      showDownload(rows_.last()); // a download running, waiting or paused keeps its row busy
    }
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

  /// Starts the download of a row's archive into the library; the row turns busy. The checksum
  /// is the catalogue's.
  void downloadRow(int row, const QUrl& url, QHash<QString, QByteArray> extraFiles = {}) {
    auto& record = rows_[row];
    auto request = installRequest(record.name);
    request.url = url;
    request.sha256 = record.sha256;
    request.extraFiles = std::move(extraFiles);
    const double resumedAt = takePausedDownload(record.name); // continued from its part file
    if (!ItemNames::isSafe(record.name) || isDownloading(record.name)) {
      qWarning() << "Refusing to download" << record.name;
      return;
    }
    record.isBusy = true;
    record.downloadProgress = qMax(0.0, resumedAt); // the card keeps its split until data comes
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
        names.insert(QFileInfo(itemFolder(record)).fileName());
      }
    }
    return names;
  }

  QList<QPair<QString, QString>> mergeCatalogue(const QList<QJsonObject>& entries) override {
    readCatalogue(entries);
    const auto forgotten =
        forgetStalePausedDownloads([this](const QString& name) { return catalogueIndex_.contains(name); });
    for (const auto& name : forgotten) {
      if (const int row = rowByName(name); row >= 0) {
        rows_[row].isBusy = false; // inside the merge's reset: no signal of its own
        rows_[row].downloadProgress = -1.0;
      }
    }
    QList<QPair<QString, QString>> pictures;
    pictures.reserve(catalogue_.size());
    // By name, so that the rows only the catalogue has are appended in that order.
    for (const qsizetype place : catalogueInNameOrder()) {
      const auto& [entry, pictureUrl] = catalogue_[place];
      const auto foldedName = entry.name.toCaseFolded();
      const int row = names_.value(foldedName, -1);
      if (row >= 0) {
        mergeInto(rows_[row], entry);
      } else {
        appendRow(Traits::catalogueOnly(entry), foldedName);
      }
      pictures.append({entry.name, pictureUrl});
    }
    return pictures;
  }

  void addInstalledItem(const QString& path) override {
    const auto record = fromDisk(path);
    if (acceptsInstalled(record)) {
      appendRow(record);
      // Only a picture that is there: a pending one keeps the catalogue's picture away.
      const auto picture = pictureFile(record);
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
    return (rows_[row].*Traits::picture).isNull() && !isLocalPicturePending(name);
  }

  void setPicture(const QString& name, const QPixmap& picture, const QString& file) override {
    const int row = rowByName(name);
    if (row >= 0) {
      rows_[row].*Traits::picture = picture;
      rows_[row].pictureFile = file;
      Traits::setPictureFile(rows_[row], file);
      rowChanged(row);
    }
  }

  void onDownloadProgress(const QString& name, double fraction) override {
    const int row = rowByName(name);
    if (row >= 0) {
      rows_[row].downloadProgress = fraction;
      rowChanged(row, {Traits::Roles::template roleOf<&Record::downloadProgress>()});
    }
  }

  void onDownloadStateChanged(const QString& name) override {
    const int row = rowByName(name);
    if (row >= 0) {
      rowChanged(row, {downloadStateRole});
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
    rows_[row].path = installedPath;
    rows_[row].installedAt = installTime(installedPath);
    Traits::markInstalled(rows_[row]);
    indexRow(row);
    // Announced while the row still shows its download; then the row goes idle.
    emit itemInstalled(name);
    setIdle(rowByName(name));
  }

  void refreshRow(const QString& name) override {
    const int row = rowByName(name);
    if (row >= 0) {
      rowChanged(row);
    }
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
      auto record = fromCatalogue(entry);
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

  /// The place in the catalogue of the entry of that name, matched as a merge matches; -1 when none.
  qsizetype cataloguePlaceOf(const QString& name) const {
    const auto exact = catalogueIndex_.constFind(name);
    if (exact != catalogueIndex_.cend()) {
      return *exact;
    }
    const auto folded = name.toCaseFolded();
    for (qsizetype place = 0; place < catalogue_.size(); ++place) {
      if (catalogue_[place].record.name.toCaseFolded() == folded) {
        return place;
      }
    }
    return -1;
  }

  QString toolTip(const Record& record) const {
    ItemToolTip tip;
    tip.title = Traits::displayText(record);
    tip.installed = Traits::isInstalled(record);
    tip.busy = record.isBusy;
    tip.progress = record.downloadProgress;
    tip.updateAvailable = Traits::hasUpdate(record);
    tip.installedVersion = tip.installed ? Traits::installedVersion(record) : QString();
    // An installed row keeps its own version; the catalogue's entry has the one on offer.
    const auto place = tip.updateAvailable ? cataloguePlaceOf(record.name) : -1;
    tip.offeredVersion = Traits::offeredVersion(place < 0 ? record : catalogue_[place].record);
    tip.archiveSize = record.archiveSize;
    if (const auto* store = playTimes()) {
      tip.playTime = PlayTimeText::summary(store->record(record.name), store->now());
    }
    return tip.text();
  }

  /// The places of the catalogue's entries, ordered by name (case-sensitive, as the keys of a
  /// name-ordered map).
  QList<qsizetype> catalogueInNameOrder() const {
    // The names side by side: comparing through the large entries would miss the cache each time.
    QList<std::pair<QStringView, qsizetype>> names;
    names.reserve(catalogue_.size());
    for (qsizetype place = 0; place < catalogue_.size(); ++place) {
      names.append({catalogue_[place].record.name, place});
    }
    if (!std::is_sorted(names.cbegin(), names.cend())) { // most catalogues come sorted
      std::sort(names.begin(), names.end());
    }
    QList<qsizetype> order;
    order.reserve(names.size());
    for (const auto& [name, place] : names) {
      order.append(place);
    }
    return order;
  }

  /// The folder of an installed item: the one holding its main file, or the item itself.
  QString itemFolder(const Record& record) const {
    const auto& path = record.path;
    return kind().mainFilePattern.isEmpty() ? path : path.left(path.lastIndexOf(QLatin1Char('/')));
  }

  /// The item's own picture: "<folder>/<name>.png".
  QString pictureFile(const Record& record) const {
    return itemFolder(record) + QLatin1Char('/') + record.name + QStringLiteral(".png");
  }

  /// An installed item, without its picture; named by its folder (up to the first dot when the
  /// item is the folder). Plain string work: this runs for every installed item at every scan.
  Record fromDisk(const QString& path) const {
    Record record;
    record.path = path;
    record.installedAt = installTime(path);
    const auto folderPath = itemFolder(record);
    const QStringView folder(folderPath);
    const auto name = folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1);
    record.name =
        (kind().mainFilePattern.isEmpty() ? name.left(name.indexOf(QLatin1Char('.'))) : name).toString();
    Traits::markInstalled(record);
    Traits::foundOnDisk(record);
    return record;
  }

  static Record fromCatalogue(const QJsonObject& entry) {
    const auto text = [&entry](const char* key) { return entry.value(QLatin1String(key)).toString(); };
    Record record;
    record.name = text("name");
    for (const auto& [key, field] : Traits::texts) {
      record.*field = text(key);
    }
    setLink(record.url, text("url"));
    record.sha256 = text("sha256");
    record.archiveSize = qMax<qint64>(0, entry.value(QLatin1String("size")).toInteger());
    Traits::readExtra(record, entry);
    return record;
  }

  static void mergeInto(Record& row, const Record& entry) {
    for (const auto& [key, field] : Traits::texts) {
      row.*field = entry.*field;
    }
    row.url = entry.url;
    row.sha256 = entry.sha256;
    row.archiveSize = entry.archiveSize;
    Traits::mergeInto(row, entry);
  }

  static void setLink(QUrl& url, const QString& text) {
    url = QUrl(text, QUrl::TolerantMode);
  }
  static void setLink(QString& url, const QString& text) {
    url = text;
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

  void showDownload(Record& record) const {
    const auto status = downloadStatus(record.name);
    if (status.state != DownloadState::None) {
      record.isBusy = true;
      record.downloadProgress = qMax(0.0, status.fraction);
    }
  }

  QHash<QString, int> names_;                ///< case-folded name -> first row with it
  QHash<QString, int> paths_;                ///< installed path -> first row with it
  QList<CatalogueEntry> catalogue_;          ///< the last catalogue read, in document order
  QHash<QString, qsizetype> catalogueIndex_; ///< exact name -> its place in catalogue_
};

} // namespace arvexhub::launcher
