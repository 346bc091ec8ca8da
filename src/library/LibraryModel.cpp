#include "library/LibraryModel.h"

#include "library/DownloadQueue.h"
#include "library/DownloadRecord.h"
#include "library/FolderImport.h"
#include "library/ItemDownload.h"
#include "library/ItemNames.h"
#include "library/LibraryPaths.h"
#include "library/LibraryProxyModel.h"
#include "library/NetworkPolicy.h"
#include "library/PictureLoader.h"
#include "library/Pictures.h"
#include "library/PlayTimeStore.h"
#include "library/StagedInstall.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileSystemWatcher>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTimer>
#include <QtDebug>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace arvexhub::launcher {

LibraryModel::WatcherSilence::WatcherSilence(LibraryModel* model)
    : model_(model) {
  model_->silenceWatcher(+1);
}

LibraryModel::WatcherSilence::~WatcherSilence() {
  model_->silenceWatcher(-1);
}

void LibraryModel::silenceWatcher(int change) {
  silence_ += change;
  watcher_->blockSignals(silence_ > 0);
}

LibraryModel::LibraryModel(LibraryKind kind, QObject* parent)
    : QAbstractListModel(parent)
    , kind_(std::move(kind))
    , libraryFolder_(LibraryPaths::libraryFolder(kind_.folderName))
    , thumbnailFolder_(LibraryPaths::thumbnailFolder(kind_.folderName))
    , catalogueCache_(kind_.documentPath)
    , missingPictures_(kind_.folderName) {
  downloadFolder_ = LibraryPaths::downloadFolder(kind_.folderName);
  setDownloadQueue(new DownloadQueue(this));
  watcher_ = new QFileSystemWatcher(this);
  pictureLoader_ = new PictureLoader(kind_.pictureFit, this);
  connect(pictureLoader_, &PictureLoader::loaded, this, &LibraryModel::onPictureLoaded);
  proxy_ = new LibraryProxyModel(this);
  network_ = new QNetworkAccessManager(this);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &LibraryModel::rescan);
}

LibraryModel::~LibraryModel() {
  missingPictures_.save();
}

const LibraryKind& LibraryModel::kind() const {
  return kind_;
}

QString LibraryModel::libraryFolder() const {
  return libraryFolder_;
}

QString LibraryModel::thumbnailFolder() const {
  return thumbnailFolder_;
}

QSortFilterProxyModel* LibraryModel::proxyModel() const {
  return proxy_;
}

LibraryProxyModel* LibraryModel::libraryProxy() const {
  return proxy_;
}

const PlayTimeStore* LibraryModel::playTimes() const {
  return playTimes_;
}

void LibraryModel::setPlayTimes(const PlayTimeStore* store) {
  if (playTimes_) {
    disconnect(playTimes_, nullptr, this, nullptr);
  }
  playTimes_ = store;
  if (store != nullptr) {
    connect(store, &PlayTimeStore::changed, this, &LibraryModel::refreshRow);
  }
}

QNetworkAccessManager* LibraryModel::networkManager() const {
  return network_;
}

bool LibraryModel::hasDownloads() const {
  return !downloads_.isEmpty() || !paused_.isEmpty();
}

bool LibraryModel::isDownloading(const QString& name) const {
  const auto key = name.toCaseFolded();
  return downloads_.contains(key) || imports_.contains(key) || paused_.contains(key);
}

bool LibraryModel::importFolder(const QString& source) {
  const QFileInfo folder(source);
  const auto name = folder.fileName();
  const auto library = QDir(libraryFolder_).canonicalPath();
  const auto canonical = folder.canonicalFilePath();
  if (!folder.isDir() || !ItemNames::isSafe(name) || mainFileIn(canonical).isEmpty() ||
      canonical == library || canonical.startsWith(library + QLatin1Char('/')) || isDownloading(name)) {
    qWarning() << "Refusing to import the folder" << source;
    return false;
  }
  const FolderImport import{canonical, libraryFolder_, name, kind_.mainFilePattern, kind_.mainFileExecutable};
  imports_.insert(name.toCaseFolded());
  silenceWatcher(+1); // until the copy has ended
  QPointer<LibraryModel> model(this);
  QThreadPool::globalInstance()->start([model, import] {
    QString error;
    const auto installed = import.run(&error);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [model, name = import.itemName, installed, error] {
          if (model) {
            model->onImportFinished(name, installed, error);
          }
        },
        Qt::QueuedConnection);
  });
  return true;
}

bool LibraryModel::installArchive(const QString& zipPath) {
  const QFileInfo archive(zipPath);
  const auto name = archive.completeBaseName();
  if (!archive.isFile() || !ItemNames::isSafe(name) || isDownloading(name)) {
    qWarning() << "Refusing to install the archive" << zipPath;
    return false;
  }
  auto request = installRequest(name);
  request.localArchive = archive.absoluteFilePath();
  return startDownload(request);
}

InstallRequest LibraryModel::installRequest(const QString& name) const {
  InstallRequest request;
  request.itemName = name;
  request.libraryFolder = libraryFolder_;
  request.mainFilePattern = kind_.mainFilePattern;
  request.mainFileExecutable = kind_.mainFileExecutable;
  request.logs = kind_.installLogs;
  request.downloadFolder = downloadFolder_;
  request.kindName = kind_.folderName;
  return request;
}

void LibraryModel::onImportFinished(const QString& name, const QString& installedPath, const QString& error) {
  imports_.remove(name.toCaseFolded());
  silenceWatcher(-1);
  if (installedPath.isEmpty()) {
    emit downloadFailed(name, error);
    return;
  }
  addInstalledItem(installedPath); // a new item gets its row; an existing row stays
  onDownloadFinished(name, true, installedPath);
}

namespace {

/// The first readable regular file (or link to one) of a folder whose name ends with the
/// suffix, ignoring case as name filters do; hidden files are passed over. A plain directory read: QDir's
/// filters compile a pattern per folder, which made scanning thousands of games several times slower.
QString firstReadableFileEndingWith(const QString& folder, const QString& suffix) {
  const auto path = QFile::encodeName(folder);
  DIR* dir = ::opendir(path.constData());
  if (!dir) {
    return {};
  }
  QString found;
  while (const dirent* entry = ::readdir(dir)) {
    const auto name = QFile::decodeName(entry->d_name);
    // Hidden files are not listed, as with QDir's default filters.
    if (name.startsWith(QLatin1Char('.')) || !name.endsWith(suffix, Qt::CaseInsensitive)) {
      continue;
    }
    const auto file = path + '/' + entry->d_name;
    struct stat info {};
    if (::stat(file.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
        ::access(file.constData(), R_OK) == 0) {
      found = folder + QLatin1Char('/') + name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

/// Downloads of a run that was killed leave their temporary files behind; the next start,
/// before any download of its own, removes them.
void removeAbandonedDownloads() {
  QDirIterator parts(QStandardPaths::writableLocation(QStandardPaths::TempLocation),
                     {QStringLiteral("arvexhub-*.part")}, QDir::Files | QDir::Hidden);
  while (parts.hasNext()) {
    QFile::remove(parts.next());
  }
}

} // namespace

void LibraryModel::start() {
  removeAbandonedDownloads();
  // The proxy asks for rows: only once the kind's part of the object exists.
  proxy_->setSourceModel(this);
  proxy_->sort(0, Qt::AscendingOrder);
  QDir().mkpath(libraryFolder_);
  QDir().mkpath(thumbnailFolder_);
  StagedInstall::cleanupLeftovers(libraryFolder_);
  restorePausedDownloads();
  scanLibraryFolder();
  watcher_->addPath(libraryFolder_);
  checkForUpdates();
}

void LibraryModel::scanLibraryFolder() {
  scanFolder(libraryFolder_);
}

void LibraryModel::scanFolder(const QString& path) {
  const QDir folder(path);
  if (!folder.exists()) {
    return;
  }
  const WatcherSilence silence(this);
  const int countBefore = rowCount();
  // One reset for the whole folder: thousands of single insertions would each be re-sorted.
  beginResetModel();
  bulkLoading_ = true;
  const auto items = folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  for (const auto& item : items) {
    const auto mainFile = mainFileIn(item.absoluteFilePath());
    if (!mainFile.isEmpty()) {
      addInstalledItem(mainFile);
    }
  }
  bulkLoading_ = false;
  endResetModel();
  if (rowCount() != countBefore) {
    emit rowCountChanged();
  }
}

QString LibraryModel::mainFileIn(const QString& folder) const {
  if (kind_.mainFilePattern.isEmpty()) {
    return folder;
  }
  const auto suffix = kind_.mainFilePattern.mid(1);
  if (!kind_.mainFilePattern.startsWith(QLatin1Char('*')) || suffix.contains(QLatin1Char('*'))) {
    QDirIterator files(folder, {kind_.mainFilePattern}, QDir::Files | QDir::Readable);
    return files.hasNext() ? files.next() : QString();
  }
  return firstReadableFileEndingWith(folder, suffix);
}

QSet<QString> LibraryModel::folderNamesOnDisk() const {
  QSet<QString> names;
  const auto items = QDir(libraryFolder_).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  for (const auto& item : items) {
    if (!mainFileIn(item.absoluteFilePath()).isEmpty()) {
      names.insert(item.fileName());
    }
  }
  return names;
}

void LibraryModel::rescan(const QString& path) {
  // The watcher's notice can arrive after our own install or removal has finished; only a
  // change the rows do not already show is someone else's.
  if (folderNamesOnDisk() == installedFolderNames()) {
    return;
  }
  qDebug() << qPrintable(kind_.rescanMessage) << path;
  ++generation_; // replies of the last fetch no longer apply
  pictureQueue_.clear();
  localPictures_.clear();
  localPicturesPending_.clear();
  const int countBefore = rowCount();
  beginResetModel();
  clearItems();
  endResetModel();
  scanLibraryFolder();
  if (rowCount() != countBefore) {
    emit rowCountChanged();
  }
  checkForUpdates();
}

namespace {

// Larger answers are refused: a catalogue or a picture of that size is a fault or an attack.
constexpr qint64 maxCatalogueBytes = qint64{64} << 20;
constexpr qint64 maxPictureBytes = qint64{16} << 20;

} // namespace

void LibraryModel::checkForUpdates() {
  ++generation_;
  pictureQueue_.clear(); // pictures of the last merge no longer apply
  // A reply of an earlier fetch is no longer this one and is dropped when it arrives.
  catalogueReply_ = NetworkPolicy::get(network_, NetworkPolicy::catalogueDocumentUrl(kind_.documentPath));
  if (catalogueReply_) {
    NetworkPolicy::limitSize(catalogueReply_, maxCatalogueBytes);
    connect(catalogueReply_, &QNetworkReply::finished, this, &LibraryModel::onCatalogueDownloaded);
  }
}

void LibraryModel::onCatalogueDownloaded() {
  auto* reply = qobject_cast<QNetworkReply*>(sender());
  const auto failed = QStringLiteral("Failed to download %1:").arg(kind_.logWord);
  if (reply == nullptr) {
    if (kind_.missingReplyIsError) {
      qWarning() << qPrintable(failed) << QStringLiteral("Unknown error");
    }
    return;
  }
  reply->deleteLater();
  if (reply != catalogueReply_) {
    return; // a rescan or a newer fetch took over
  }
  catalogueReply_.clear();
  if (reply->error() != QNetworkReply::NoError) {
    qWarning() << qPrintable(failed) << reply->errorString();
    return mergeKeptCatalogue();
  }
  const auto bytes = reply->readAll();
  QJsonParseError error{};
  const auto document = QJsonDocument::fromJson(bytes, &error);
  if (!document.isArray()) {
    qWarning() << qPrintable(QStringLiteral("Failed to parse %1 JSON:").arg(kind_.logWord))
               << error.errorString();
    return mergeKeptCatalogue();
  }
  // Kept for the day the server cannot be reached; writing megabytes must not hold up the merge.
  QThreadPool::globalInstance()->start([cache = catalogueCache_, bytes] { cache.store(bytes); });
  setOfflineCatalogueDate({});
  mergeDocument(document.array());
}

void LibraryModel::mergeKeptCatalogue() {
  const auto document = QJsonDocument::fromJson(catalogueCache_.load());
  if (!document.isArray()) {
    return; // never fetched: the rows stay as the folder has them
  }
  const auto fetched = catalogueCache_.fetchedAt();
  qDebug() << "Showing the catalogue kept from" << fetched.toString(Qt::ISODate)
           << catalogueCache_.filePath();
  setOfflineCatalogueDate(fetched);
  mergeDocument(document.array());
}

QDateTime LibraryModel::offlineCatalogueDate() const {
  return offlineCatalogueDate_;
}

void LibraryModel::setOfflineCatalogueDate(const QDateTime& fetched) {
  if (fetched != offlineCatalogueDate_) {
    offlineCatalogueDate_ = fetched;
    emit catalogueOfflineChanged();
  }
}

void LibraryModel::mergeDocument(const QJsonArray& array) {
  QList<QJsonObject> entries;
  entries.reserve(array.size());
  for (const auto& value : array) {
    entries.append(value.toObject());
  }
  const int countBefore = rowCount();
  beginResetModel();
  bulkLoading_ = true;
  const auto pictures = mergeCatalogue(entries);
  bulkLoading_ = false;
  endResetModel();
  if (rowCount() != countBefore) {
    emit rowCountChanged();
  }

  pendingPictures_ = static_cast<int>(pictures.size());
  if (pictures.isEmpty()) {
    emit updateCheckFinished();
    return;
  }
  // One listing of the cache instead of a file look-up per entry.
  const auto cachedList = QDir(thumbnailFolder_).entryList({QStringLiteral("*.png")}, QDir::Files);
  const QSet<QString> cached(cachedList.cbegin(), cachedList.cend());
  for (const auto& [name, url] : pictures) {
    loadPicture(name, url, generation_, cached.contains(name + QStringLiteral(".png")));
  }
}

void LibraryModel::loadPicture(const QString& name, const QString& url, quint64 generation, bool cached) {
  cached = cached && !(kind_.pictureNeedsUrl && url.isEmpty());
  if ((!cached && url.isEmpty()) || !wantsPicture(name)) {
    return pictureDone(generation);
  }
  if (cached) {
    // A cached picture is never fetched again; deleting the file makes the next merge fetch it.
    return pictureLoader_->readFile(
        {name, url, thumbnailFolder_ + name + QStringLiteral(".png"), generation, true, false, {}});
  }
  queuePictureFetch(name, url, generation);
}

void LibraryModel::queuePictureFetch(const QString& name, const QString& url, quint64 generation) {
  if (url.isEmpty() || missingPictures_.isMissing(url)) {
    return pictureDone(generation);
  }
  pictureQueue_.append({name, url, generation});
  fetchQueuedPictures();
}

void LibraryModel::onPictureLoaded(const PictureJob& job) {
  if (job.local) {
    return onLocalPictureLoaded(job);
  }
  picturesDecoding_ -= job.fromCache ? 0 : 1;
  if (job.generation == generation_) {
    if (!job.image.isNull()) {
      setPicture(job.name, QPixmap::fromImage(job.image), job.file);
      pictureDone(job.generation);
    } else if (job.fromCache) {
      // Cut short by a run that was killed while writing it, or no picture at all: fetched again.
      QFile::remove(job.file);
      queuePictureFetch(job.name, job.url, job.generation);
    } else {
      pictureDone(job.generation);
    }
  }
  fetchQueuedPictures(); // room for another download
}

void LibraryModel::fetchQueuedPictures() {
  // A few at a time: thousands of queued requests would run out their stall timeout while
  // waiting for one of the server's few connections.
  constexpr int maxPictureRequests = 6;
  // Downloaded bytes wait in memory until decoded: only so many at once.
  constexpr int maxPicturesDecoding = 12;
  while (picturesInFlight_ < maxPictureRequests && picturesDecoding_ < maxPicturesDecoding &&
         !pictureQueue_.isEmpty()) {
    const auto request = pictureQueue_.takeFirst();
    auto* reply = NetworkPolicy::get(network_, QUrl(request.url, QUrl::TolerantMode));
    if (!reply) {
      pictureDone(request.generation);
      continue;
    }
    ++picturesInFlight_;
    NetworkPolicy::limitSize(reply, maxPictureBytes);
    connect(reply, &QNetworkReply::finished, this, [this, reply, request] {
      --picturesInFlight_;
      onPictureReply(reply, request.name, request.url, request.generation);
      fetchQueuedPictures();
    });
  }
}

void LibraryModel::onPictureReply(QNetworkReply* reply, const QString& name, const QString& url,
                                  quint64 generation) {
  reply->deleteLater();
  if (generation != generation_) {
    return;
  }
  if (reply->error() == QNetworkReply::NoError) {
    ++picturesDecoding_;
    return pictureLoader_->decode(
        {name, url, thumbnailFolder_ + name + QStringLiteral(".png"), generation, false, false, {}},
        reply->readAll());
  }
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status == 404 || status == 410) {
    missingPictures_.markMissing(url);
  }
  pictureDone(generation);
}

void LibraryModel::pictureDone(quint64 generation) {
  if (generation == generation_ && --pendingPictures_ == 0) {
    missingPictures_.save();
    emit updateCheckFinished();
  }
}

void LibraryModel::loadCataloguePicture(const QString& name, const QString& url) {
  ++pendingPictures_; // counted like a merge's, so a merge's end is still told once
  loadPicture(name, url, generation_, QFileInfo::exists(thumbnailFolder_ + name + QStringLiteral(".png")));
}

qint64 LibraryModel::installTime(const QString& path) {
  // The inode's change time: set when the install wrote or unpacked the file, and left alone by
  // what a game writes beside it.
  struct stat info {};
  if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) {
    return 0;
  }
  return qint64{info.st_ctim.tv_sec} * 1000 + info.st_ctim.tv_nsec / 1000000;
}

void LibraryModel::queueLocalPicture(const QString& name, const QString& file) {
  if (localPictures_.isEmpty()) {
    QTimer::singleShot(0, this, &LibraryModel::loadLocalPictures);
  }
  localPictures_.append({name, file});
  localPicturesPending_.insert(name.toCaseFolded());
}

bool LibraryModel::isLocalPicturePending(const QString& name) const {
  return localPicturesPending_.contains(name.toCaseFolded());
}

void LibraryModel::holdLocalPictures(bool hold) {
  localPicturesHeld_ = hold;
  if (!hold && !localPictures_.isEmpty()) {
    QTimer::singleShot(0, this, &LibraryModel::loadLocalPictures);
  }
}

void LibraryModel::loadLocalPictures() {
  if (localPicturesHeld_) {
    return; // the release starts them again
  }
  // Decoded off the main thread like the catalogue's: a library of large pictures decoded here
  // would hold up the window, and a controller's press, for tens of milliseconds a turn.
  for (const auto& [name, file] : std::exchange(localPictures_, {})) {
    pictureLoader_->readFile({name, {}, file, generation_, true, true, {}});
  }
}

void LibraryModel::onLocalPictureLoaded(const PictureJob& job) {
  // A rescan since has forgotten it, or queued it again.
  if (localPicturesPending_.remove(job.name.toCaseFolded()) && !job.image.isNull()) {
    setPicture(job.name, QPixmap::fromImage(job.image), job.file);
  }
}

bool LibraryModel::startDownload(const InstallRequest& request) {
  const auto key = request.itemName.toCaseFolded();
  if (downloads_.contains(key)) {
    qWarning() << "A download is already running for" << request.itemName;
    return false;
  }
  auto* download = new ItemDownload(network_, request, this);
  downloads_.insert(key, download);
  silenceWatcher(+1); // until the download has ended
  const auto name = request.itemName;
  connect(download, &ItemDownload::progressChanged, this,
          [this, name](double fraction) { onDownloadProgress(name, fraction); });
  connect(download, &ItemDownload::transferEnded, queue_, [this, download] { queue_->remove(download); });
  connect(download, &ItemDownload::paused, this, [this, download] { onDownloadPaused(download); });
  connect(download, &ItemDownload::finished, this,
          [this, download](bool success, const QString& path) { onDownloadEnded(download, success, path); });
  queue_->add(download);
  return true;
}

void LibraryModel::onDownloadEnded(ItemDownload* download, bool success, const QString& path) {
  const auto name = download->request().itemName;
  downloads_.remove(name.toCaseFolded());
  queue_->remove(download);
  download->deleteLater();
  if (success && !download->request().localArchive.isEmpty()) {
    addInstalledItem(path); // an item new to the library gets its row
  }
  onDownloadFinished(name, success, path);
  silenceWatcher(-1);
  if (!success && !download->wasCancelled()) {
    emit downloadFailed(name, download->errorString());
  }
}

void LibraryModel::onDownloadPaused(ItemDownload* download) {
  const auto name = download->request().itemName;
  const auto fraction = download->status().fraction;
  downloads_.remove(name.toCaseFolded());
  queue_->remove(download);
  download->deleteLater();
  paused_.insert(name.toCaseFolded(), {name, qMax(0.0, fraction), QDateTime::currentDateTime()});
  silenceWatcher(-1);
  onDownloadProgress(name, qMax(0.0, fraction));
  onDownloadStateChanged(name);
}

void LibraryModel::setDownloadQueue(DownloadQueue* queue) {
  if (queue_ && queue_->parent() == this) {
    queue_->deleteLater();
  }
  queue_ = queue;
  // Waiting and starting show on the cards.
  connect(queue_, &DownloadQueue::changed, this, [this] {
    for (auto* download : std::as_const(downloads_)) {
      onDownloadStateChanged(download->request().itemName);
    }
  });
}

QString LibraryModel::downloadFolder() const {
  return downloadFolder_;
}

DownloadStatus LibraryModel::downloadStatus(const QString& name) const {
  const auto key = name.toCaseFolded();
  if (auto* download = downloads_.value(key)) {
    auto status = download->status();
    if (queue_->isWaiting(download)) {
      status.state = DownloadState::Queued;
    }
    return status;
  }
  if (const auto paused = paused_.constFind(key); paused != paused_.cend()) {
    return {DownloadState::Paused, paused->fraction, 0.0, -1};
  }
  return {};
}

bool LibraryModel::pauseDownload(const QString& name) {
  auto* download = downloads_.value(name.toCaseFolded());
  return download && download->pause();
}

bool LibraryModel::resumeDownload(const QString& name) {
  const auto paused = paused_.constFind(name.toCaseFolded());
  if (paused == paused_.cend()) {
    return false;
  }
  downloadItem(paused->name); // a new download continues from the part file
  return downloads_.contains(name.toCaseFolded());
}

double LibraryModel::takePausedDownload(const QString& name) {
  const auto paused = paused_.take(name.toCaseFolded());
  return paused.name.isEmpty() ? -1.0 : paused.fraction;
}

bool LibraryModel::cancelDownload(const QString& name) {
  const auto key = name.toCaseFolded();
  if (auto* download = downloads_.value(key)) {
    return download->cancel();
  }
  const auto paused = paused_.take(key);
  if (paused.name.isEmpty()) {
    return false;
  }
  DownloadRecord::remove(downloadFolder_, paused.name);
  onDownloadFinished(paused.name, false, {});
  return true;
}

void LibraryModel::restorePausedDownloads() {
  // What a run that ended (or was killed) in the middle of a download left: paused cards.
  for (const auto& record : DownloadRecord::loadAll(downloadFolder_, kind_.folderName)) {
    paused_.insert(record.name.toCaseFolded(), {record.name, record.fraction(), record.written});
  }
}

QStringList LibraryModel::forgetStalePausedDownloads(const std::function<bool(const QString&)>& inCatalogue) {
  QStringList forgotten;
  const auto weekAgo = QDateTime::currentDateTime().addDays(-7);
  for (auto it = paused_.begin(); it != paused_.end();) {
    if (!inCatalogue(it->name) && it->written < weekAgo) {
      qDebug() << "Deleting a download the catalogue no longer offers:" << it->name;
      DownloadRecord::remove(downloadFolder_, it->name);
      forgotten.append(it->name);
      it = paused_.erase(it);
    } else {
      ++it;
    }
  }
  return forgotten;
}

bool LibraryModel::deleteItemFolder(const QString& folder, const QString& mainFile) {
  const WatcherSilence silence(this);
  const bool existed = QFileInfo::exists(folder);
  if (existed) {
    StagedInstall::removeItemFolder(libraryFolder_, folder);
  }
  if (QFileInfo::exists(mainFile)) {
    qWarning() << qPrintable(kind_.removeFailedLog) << folder;
    return false;
  }
  if (existed && !kind_.removedLog.isEmpty()) {
    qDebug() << qPrintable(kind_.removedLog) << folder;
  }
  return true;
}

QString LibraryModel::currentName() const {
  return currentName_;
}

void LibraryModel::setCurrentName(const QString& name) {
  if (name != currentName_) {
    currentName_ = name;
    emit currentNameChanged(name);
  }
}

QString LibraryModel::playingPath() const {
  return playingPath_;
}

void LibraryModel::storePlayingPath(const QString& path) {
  playingPath_ = path;
}

QString LibraryModel::itemOfPath(const QString& path) const {
  if (path.isEmpty()) {
    return {}; // never the working directory
  }
  switch (kind_.itemOfPath) {
  case ItemOfPath::AbsolutePath:
    return QDir(path).absolutePath();
  case ItemOfPath::LastComponent:
    return QFileInfo(QDir(path).absolutePath()).fileName();
  case ItemOfPath::ContainingFolder:
    return QFileInfo(path).dir().dirName();
  case ItemOfPath::BaseName:
    return QFileInfo(path).baseName();
  }
  return {};
}

QString LibraryModel::currentItem() const {
  if (currentName_.isEmpty() || kind_.itemOfPath != ItemOfPath::AbsolutePath) {
    return currentName_;
  }
  return QDir::cleanPath(libraryFolder_ + currentName_);
}

} // namespace arvexhub::launcher
