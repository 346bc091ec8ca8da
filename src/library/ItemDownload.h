#pragma once

#include "library/DownloadState.h"
#include "library/LibraryKind.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QFile;
class QNetworkReply;
class QTimer;

namespace arvexhub::launcher {

class ArchiveExtractor;
class Sha256;
class StagedInstall;

/// What an item's download must install, and how.
struct InstallRequest {
  QString itemName;        ///< a safe single path component
  QUrl url;                ///< the zip archive
  QString libraryFolder;   ///< the kind's folder; the item lands in <libraryFolder>/<itemName>
  QString mainFilePattern; ///< required at the archive's top level ("*.command"); empty: none
  bool mainFileExecutable{false};
  QString sha256;                        ///< optional, hexadecimal: verified before anything is unpacked
  QHash<QString, QByteArray> extraFiles; ///< written into the item folder with the new files
  QString localArchive;   ///< a zip already on disk: installed from there, `url` is not fetched
  QString downloadFolder; ///< where the part file and its record live until the install
  QString kindName;       ///< the kind's folder name, kept in the record
  InstallLogs logs;
};

/// One download and installation: the archive streams to a part file in the kind's download
/// folder, beside a record that lets it continue after a dropped connection, a pause or the end
/// of the program; once whole it is checked, unpacked into a hidden staging folder and swapped in,
/// so a failure at any point leaves the installed version as it was. A continued transfer only
/// ever extends the file from its own validated end; anything else starts again from zero.
class ItemDownload final : public QObject {
  Q_OBJECT

public:
  ItemDownload(QNetworkAccessManager* manager, InstallRequest request, QObject* parent = nullptr);
  ~ItemDownload() override;
  Q_DISABLE_COPY_MOVE(ItemDownload)

  /// Starts (or continues from the part on disk) the transfer, or for a local archive the
  /// installation; a failure to begin is reported through `finished`, later.
  void start();
  /// Stops the transfer and keeps the part file; false during the install step or after the end.
  bool pause();
  /// Stops and deletes the part file; false during the install step or after the end.
  bool cancel();
  bool wasCancelled() const;
  DownloadStatus status() const;
  const InstallRequest& request() const;
  /// Why the last download failed, in a sentence for the user.
  QString errorString() const;

  /// Tests shorten the wait before the first retry (it doubles with each); 0 restores one second.
  static void setRetryDelayMs(int milliseconds);

signals:
  /// Only when the server declared the size.
  void progressChanged(double fraction);
  /// The download no longer transfers: it installs, paused or ended.
  void transferEnded();
  void paused();
  /// `installedPath` is the main file (or the item folder when there is no pattern).
  void finished(bool success, const QString& installedPath);

private:
  bool openPartFile();
  void sendRequest();
  void onMetaDataChanged();
  bool acceptsAnswer();
  void restartFromZero(const char* why);
  void saveRecord() const;
  void onReadyRead();
  void measureSpeed(qint64 total);
  void onFinished();
  bool retry(const QString& reason);
  void dropReply();
  void endTransfer();
  void hashStep();
  void installArchive(const QString& path);
  bool beginExtraction();
  void extractStep();
  QString install();
  QString findMainFile(const QString& folder) const;
  bool writeExtraFiles(const QString& folder) const;
  void fail(const QString& reason);
  void removePart() const;
  /// Logs one of the request's texts with its values filled in, and the reason.
  void log(const QString& format, const QString& reason = {}) const;

  QNetworkAccessManager* manager_;
  InstallRequest request_;
  QPointer<QNetworkReply> reply_;
  std::unique_ptr<QFile> file_;
  QTimer* retryTimer_;
  QString archivePath_; ///< the downloaded file or the local archive
  std::unique_ptr<StagedInstall> staged_;
  std::unique_ptr<ArchiveExtractor> archive_;
  std::unique_ptr<Sha256> hash_;
  QString validator_;       ///< of the answer the part file began with
  qint64 offset_{0};        ///< bytes on disk when the current request was sent
  qint64 received_{0};      ///< bytes of the current answer
  qint64 expectedSize_{-1}; ///< the whole file's
  bool answered_{false};    ///< the current reply has sent its headers
  int tries_{0};            ///< retries since the file last grew past its largest size
  qint64 furthest_{0};      ///< the largest size the file had
  double speed_{0.0};
  qint64 speedBytes_{0};
  qint64 speedStartMs_{-1};
  DownloadState state_{DownloadState::Queued};
  bool cancelled_{false};
  QString errorString_;
};

} // namespace arvexhub::launcher
