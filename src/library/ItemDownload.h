#pragma once

#include "library/LibraryKind.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QTemporaryFile;

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
  QString localArchive; ///< a zip already on disk: installed from there, `url` is not fetched
  InstallLogs logs;
};

/// One running download and installation: the archive streams to its own temporary file, is
/// checked, unpacked into a hidden staging folder and swapped in, so a failure at any point
/// leaves the installed version as it was. Deletes nothing but its own staging folder and
/// temporary file.
class ItemDownload final : public QObject {
  Q_OBJECT

public:
  ItemDownload(QNetworkAccessManager* manager, InstallRequest request, QObject* parent = nullptr);
  ~ItemDownload() override;
  Q_DISABLE_COPY_MOVE(ItemDownload)

  /// Starts the transfer (or, for a local archive, the installation); false (and `finished` is
  /// never sent) when it cannot even begin.
  bool start();
  const InstallRequest& request() const;
  /// Why the last download failed, in a sentence for the user.
  QString errorString() const;

signals:
  /// Only when the server declared the size.
  void progressChanged(double fraction);
  /// `installedPath` is the main file (or the item folder when there is no pattern).
  void finished(bool success, const QString& installedPath);

private:
  bool openTemporaryFile();
  void onMetaDataChanged();
  void onReadyRead();
  void onFinished();
  bool verifyChecksum();
  void installArchive(const QString& path);
  bool beginExtraction();
  void extractStep();
  QString install();
  QString findMainFile(const QString& folder) const;
  bool writeExtraFiles(const QString& folder) const;
  void fail(const QString& reason);
  /// Logs one of the request's texts with its values filled in, and the reason.
  void log(const QString& format, const QString& reason = {}) const;

  QNetworkAccessManager* manager_;
  InstallRequest request_;
  QPointer<QNetworkReply> reply_;
  std::unique_ptr<QTemporaryFile> file_;
  QString archivePath_; ///< the downloaded file or the local archive
  std::unique_ptr<StagedInstall> staged_;
  std::unique_ptr<ArchiveExtractor> archive_;
  std::unique_ptr<Sha256> hash_;
  qint64 bytesReceived_{0};
  bool done_{false};
  QString errorString_;
};

} // namespace arvexhub::launcher
