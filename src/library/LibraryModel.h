#pragma once

#include "library/CatalogueCache.h"
#include "library/DownloadState.h"
#include "library/LibraryKind.h"
#include "library/MissingPictures.h"

#include <QAbstractListModel>
#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QSet>

#include <functional>

class QFileSystemWatcher;
class QJsonArray;
class QNetworkAccessManager;
class QNetworkReply;
class QSortFilterProxyModel;

namespace arvexhub::launcher {

class DownloadQueue;
class ItemDownload;
class PictureLoader;
struct PictureJob;
class LibraryProxyModel;
class PlayTimeStore;
struct InstallRequest;

/// What the list models of the four kinds share: the library and thumbnail folders, the
/// folder watcher and rescan, the proxy the views show, the catalogue fetch and the picture
/// loading. The rows themselves live in `ItemListModel`.
class LibraryModel : public QAbstractListModel {
  Q_OBJECT

public:
  ~LibraryModel() override;
  Q_DISABLE_COPY_MOVE(LibraryModel)

  const LibraryKind& kind() const;
  QString libraryFolder() const;
  QString thumbnailFolder() const;
  QSortFilterProxyModel* proxyModel() const;
  QNetworkAccessManager* networkManager() const;
  bool hasDownloads() const;
  /// The text the display role gives for the row (the proxy sorts on it).
  virtual const QString& displayTextAt(int row) const = 0;
  /// What sorting and filtering read of a row, without a QVariant per comparison.
  struct RowFacts {
    const QString& name;
    bool installed;
    bool updateAvailable; ///< an installed item with a newer version offered
    qint64 installedAt;   ///< milliseconds since the epoch; 0 when not installed
  };
  virtual RowFacts rowFactsAt(int row) const = 0;
  /// The proxy as what it is: its sort order and filter are set per tab.
  LibraryProxyModel* libraryProxy() const;
  /// The games' play time, which the tool tips and the "recently played" order read; null for the
  /// kinds that are not played.
  const PlayTimeStore* playTimes() const;
  void setPlayTimes(const PlayTimeStore* store);
  /// Whether a download or an import of that item runs.
  bool isDownloading(const QString& name) const;
  /// Copies an item folder from elsewhere into the library, named after the folder, off the main
  /// thread; false when it cannot start (an unsafe name, no main file, a folder of the library
  /// itself, a download of that name running). The end is reported like a download's.
  bool importFolder(const QString& source);
  /// Installs a zip archive from disk, laid out like a catalogue archive, as the item named after
  /// the file's base name, through the same checks and staged swap as a download; false when it
  /// cannot start (not a file, an unsafe name, a download of that name running). The end is
  /// reported like a download's.
  bool installArchive(const QString& zipPath);
  /// The queue this model's downloads wait in; the model has its own until given a shared one
  /// (before any download starts).
  void setDownloadQueue(DownloadQueue* queue);
  /// "<home>/.arvexhub/downloads/<kind folder>/": part files and their records.
  QString downloadFolder() const;
  DownloadStatus downloadStatus(const QString& name) const;
  /// Keeps what was downloaded so far; false when nothing runs or waits, or it installs.
  bool pauseDownload(const QString& name);
  /// Continues a paused download from what is on disk; false when none is paused.
  bool resumeDownload(const QString& name);
  /// Stops and deletes what was downloaded; the row returns to what it was. False when there is no
  /// download or it installs.
  bool cancelDownload(const QString& name);
  /// While held, the installed items' own pictures wait (a window's first frame does not need
  /// them); releasing starts them, a few per event-loop turn as always.
  void holdLocalPictures(bool hold);

  /// The item the user selected, by name; empty when none.
  QString currentName() const;
  void setCurrentName(const QString& name);
  /// The main file (for an album, the folder) of what plays or is open; empty when nothing.
  QString playingPath() const;
  virtual void setPlayingPath(const QString& path) = 0;
  /// How the controller names the item of a path it removes, and the current item likewise.
  QString itemOfPath(const QString& path) const;
  QString currentItem() const;
  /// Deletes the installed item that name (as itemOfPath gives it) stands for.
  virtual void removeItem(const QString& item) = 0;
  /// While the rows show the catalogue kept from an earlier fetch because this one failed: when
  /// that copy was fetched. Null while the catalogue is fresh, or when none was ever fetched.
  QDateTime offlineCatalogueDate() const;

public slots:
  /// Fetches the kind's catalogue and merges it into the rows.
  void checkForUpdates();

signals:
  void rowCountChanged();
  /// The catalogue is merged and every picture of it has been dealt with.
  void updateCheckFinished();
  /// A download or installation of the item failed; `reason` is a sentence for the user.
  void downloadFailed(const QString& name, const QString& reason);
  /// The item's download or installation has ended well; the kinds announce it by their own names.
  void itemInstalled(const QString& name);
  void currentNameChanged(const QString& name);
  void playingPathChanged(const QString& path);
  /// The rows went over to the kept catalogue, or back to a fresh one.
  void catalogueOfflineChanged();

protected:
  LibraryModel(LibraryKind kind, QObject* parent);

  /// Creates the folders, cleans up what an interrupted install left, scans, watches and
  /// fetches. The kind's constructor calls it last.
  void start();
  void scanLibraryFolder();
  /// Adds the installed items of a folder laid out like the library folder.
  void scanFolder(const QString& path);
  /// True while a folder scan or a merge adds rows inside its reset (no insertion signals then).
  bool isBulkLoading() const {
    return bulkLoading_;
  }

  /// Merges the catalogue reply that sent the signal; the kinds' reply slots are this. Called
  /// without a reply, it stops (with a warning where the kind says so).
  void onCatalogueDownloaded();

  /// What installing that item into this library takes; the source is the caller's to set.
  InstallRequest installRequest(const QString& name) const;
  /// Starts a download and installation; false when one already runs for the name or it
  /// cannot start. The watcher stays silent until it ends.
  bool startDownload(const InstallRequest& request);
  /// Forgets that the item's download is paused, for a new download to continue it; its
  /// fraction, or -1 when it was not paused.
  double takePausedDownload(const QString& name);
  /// An installed item's own picture, read a few at a time after the rows are shown: decoding
  /// thousands of pictures at once would hold up the window.
  void queueLocalPicture(const QString& name, const QString& file);
  bool isLocalPicturePending(const QString& name) const;

  /// Deletes an installed item's folder (a direct child of the library folder only, links never
  /// followed); false, with the kind's warning, when its main file is still there afterwards.
  bool deleteItemFolder(const QString& folder, const QString& mainFile);
  /// The rows' marks are the kind's to set, and the change to announce.
  void storePlayingPath(const QString& path);

  /// Keeps the folder watcher silent while it lives: a count, so overlapping writers nest.
  class WatcherSilence final {
  public:
    explicit WatcherSilence(LibraryModel* model);
    ~WatcherSilence();
    Q_DISABLE_COPY_MOVE(WatcherSilence)

  private:
    LibraryModel* model_;
  };

  /// Fetches or reads from the cache the catalogue picture of one row, outside a merge.
  void loadCataloguePicture(const QString& name, const QString& url);
  /// When the main file (or folder) at that path was installed, in milliseconds since the epoch.
  static qint64 installTime(const QString& path);

  // What each kind provides.
  virtual void clearItems() = 0;
  /// Folder names of the installed rows.
  virtual QSet<QString> installedFolderNames() const = 0;
  virtual void addInstalledItem(const QString& path) = 0;
  /// Merges the catalogue inside a model reset; returns the pictures to load, name -> URL.
  virtual QList<QPair<QString, QString>> mergeCatalogue(const QList<QJsonObject>& entries) = 0;
  /// Whether the row of that name still needs a picture from the catalogue.
  virtual bool wantsPicture(const QString& name) const = 0;
  virtual void setPicture(const QString& name, const QPixmap& picture, const QString& file) = 0;
  virtual void onDownloadProgress(const QString& name, double fraction) = 0;
  virtual void onDownloadFinished(const QString& name, bool success, const QString& installedPath) = 0;
  /// Downloads the item again from its row's link (a paused one continues from its part file).
  virtual void downloadItem(const QString& name) = 0;
  /// The row's download state changed; the progress stays as it was.
  virtual void onDownloadStateChanged(const QString& name) = 0;
  /// Paused downloads whose item the catalogue no longer has, and that nobody touched for a week,
  /// are deleted.
  QStringList forgetStalePausedDownloads(const std::function<bool(const QString&)>& inCatalogue);
  /// The row of that name shows something new (its play time).
  virtual void refreshRow(const QString& name) = 0;

private:
  /// Counts writers of our own; the watcher speaks only while there are none.
  void silenceWatcher(int change);
  void rescan(const QString& path);
  /// Names of the item folders on disk, as a scan would find them.
  QSet<QString> folderNamesOnDisk() const;
  QString mainFileIn(const QString& folder) const;
  void mergeDocument(const QJsonArray& array);
  void restorePausedDownloads();
  void onDownloadPaused(ItemDownload* download);
  void onDownloadEnded(ItemDownload* download, bool success, const QString& path);
  void onImportFinished(const QString& name, const QString& installedPath, const QString& error);
  void loadPicture(const QString& name, const QString& url, quint64 generation, bool cached);
  void fetchQueuedPictures();
  void loadLocalPictures();
  void onPictureReply(QNetworkReply* reply, const QString& name, const QString& url, quint64 generation);
  void queuePictureFetch(const QString& name, const QString& url, quint64 generation);
  void onPictureLoaded(const PictureJob& job);
  void onLocalPictureLoaded(const PictureJob& job);
  /// Merges the catalogue kept from the last good fetch, when there is one.
  void mergeKeptCatalogue();
  void setOfflineCatalogueDate(const QDateTime& fetched);
  void pictureDone(quint64 generation);

  LibraryKind kind_;
  QString libraryFolder_;
  QString currentName_;
  QString playingPath_;
  QString thumbnailFolder_;
  QFileSystemWatcher* watcher_{nullptr};
  LibraryProxyModel* proxy_{nullptr};
  QNetworkAccessManager* network_{nullptr};
  QPointer<QNetworkReply> catalogueReply_; ///< the fetch whose answer is merged
  quint64 generation_{0};
  int pendingPictures_{0};
  struct PictureRequest {
    QString name;
    QString url;
    quint64 generation;
  };
  QList<PictureRequest> pictureQueue_;
  bool localPicturesHeld_{false};
  int picturesInFlight_{0};
  QList<QPair<QString, QString>> localPictures_; ///< name, file
  QSet<QString> localPicturesPending_;           ///< case-folded names
  int silence_{0};
  bool bulkLoading_{false};
  QHash<QString, ItemDownload*> downloads_; ///< by case-folded name
  CatalogueCache catalogueCache_;
  QDateTime offlineCatalogueDate_;
  MissingPictures missingPictures_;
  PictureLoader* pictureLoader_{nullptr};
  int picturesDecoding_{0}; ///< downloaded pictures handed to the loader, not yet back
  struct PausedDownload {
    QString name;
    double fraction;
    QDateTime written;
  };
  QHash<QString, PausedDownload> paused_; ///< by case-folded name
  DownloadQueue* queue_{nullptr};
  QString downloadFolder_;
  QSet<QString> imports_; ///< case-folded names of the folders being copied in
  QPointer<const PlayTimeStore> playTimes_;
};

} // namespace arvexhub::launcher
