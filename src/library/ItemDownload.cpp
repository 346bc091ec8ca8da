#include "library/ItemDownload.h"

#include "library/ArchiveExtractor.h"
#include "library/ItemNames.h"
#include "library/NetworkPolicy.h"
#include "library/Sha256.h"
#include "library/StagedInstall.h"

#include <QCoreApplication>
#include <QDir>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <QTimer>
#include <QtDebug>

namespace arvexhub::launcher {

ItemDownload::ItemDownload(QNetworkAccessManager* manager, InstallRequest request, QObject* parent)
    : QObject(parent)
    , manager_(manager)
    , request_(std::move(request)) {}

ItemDownload::~ItemDownload() {
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
  }
}

const InstallRequest& ItemDownload::request() const {
  return request_;
}

QString ItemDownload::errorString() const {
  return errorString_;
}

bool ItemDownload::start() {
  if (!request_.localArchive.isEmpty()) {
    // Ends later, as a download does, so the caller can connect to `finished` first.
    QTimer::singleShot(0, this, [this] { installArchive(request_.localArchive); });
    return true;
  }
  if (!openTemporaryFile()) {
    return false;
  }
  if (!request_.sha256.isEmpty()) {
    hash_ = std::make_unique<Sha256>(); // only when there is something to check
  }
  reply_ = NetworkPolicy::get(manager_, request_.url);
  if (!reply_) {
    errorString_ = QCoreApplication::translate("ArvexHubLauncher", "The download address %1 is not allowed.")
                       .arg(request_.url.toDisplayString());
    return false;
  }
  reply_->setReadBufferSize(NetworkPolicy::streamedReadBufferSize);
  connect(reply_, &QNetworkReply::metaDataChanged, this, &ItemDownload::onMetaDataChanged);
  connect(reply_, &QNetworkReply::readyRead, this, &ItemDownload::onReadyRead);
  connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
    if (total > 0) {
      emit progressChanged(static_cast<double>(received) / static_cast<double>(total));
    }
  });
  connect(reply_, &QNetworkReply::finished, this, &ItemDownload::onFinished);
  return true;
}

bool ItemDownload::openTemporaryFile() {
  // Each download has a file of its own, named safely whatever the URL says.
  const auto folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
  file_ = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/arvexhub-") +
                                           ItemNames::temporaryFileStem(request_.url) +
                                           QStringLiteral("-XXXXXX.part"));
  if (!file_->open()) {
    qWarning() << "Failed to open temporary file for writing:" << file_->fileTemplate();
    errorString_ = QCoreApplication::translate("ArvexHubLauncher", "No temporary file can be written: %1")
                       .arg(file_->errorString());
    return false;
  }
  return true;
}

void ItemDownload::onMetaDataChanged() {
  const auto declared = reply_->header(QNetworkRequest::ContentLengthHeader);
  if (!declared.isValid()) {
    return;
  }
  const auto available = QStorageInfo(QFileInfo(file_->fileName()).absolutePath()).bytesAvailable();
  if (available >= 0 && declared.toLongLong() > available) {
    qWarning() << "Not enough free disk space for the download of" << request_.itemName << ":"
               << declared.toLongLong() << "bytes";
    fail(QCoreApplication::translate("ArvexHubLauncher", "There is not enough free disk space."));
  }
}

void ItemDownload::onReadyRead() {
  if (done_ || !reply_->isOpen()) {
    return;
  }
  const auto data = reply_->readAll();
  bytesReceived_ += data.size();
  if (hash_) {
    hash_->addData(data);
  }
  if (file_->write(data) != data.size()) {
    qWarning() << "Failed to write the download of" << request_.itemName << ":" << file_->errorString();
    fail(QCoreApplication::translate("ArvexHubLauncher", "The download could not be written to disk: %1")
             .arg(file_->errorString()));
  }
}

void ItemDownload::onFinished() {
  if (done_) {
    return;
  }
  onReadyRead();
  if (done_) {
    return;
  }
  if (reply_->error() != QNetworkReply::NoError) {
    log(request_.logs.networkError, reply_->errorString());
    return fail(reply_->errorString());
  }
  // Qt may quietly retry a request whose connection died and call a short answer a success.
  const auto declared = reply_->header(QNetworkRequest::ContentLengthHeader);
  if (declared.isValid() && declared.toLongLong() != bytesReceived_) {
    qWarning() << "Download ended early:" << bytesReceived_ << "of" << declared.toLongLong() << "bytes";
    return fail(QCoreApplication::translate("ArvexHubLauncher",
                                            "The connection was lost before the download was complete."));
  }
  if (!file_->flush()) {
    return fail(
        QCoreApplication::translate("ArvexHubLauncher", "The download could not be written to disk: %1")
            .arg(file_->errorString()));
  }
  if (!verifyChecksum()) {
    return fail(QCoreApplication::translate(
        "ArvexHubLauncher", "The download is damaged: it does not match the catalogue's checksum."));
  }
  installArchive(file_->fileName());
}

void ItemDownload::installArchive(const QString& path) {
  archivePath_ = path;
  if (!beginExtraction()) {
    return fail(QCoreApplication::translate("ArvexHubLauncher", "The archive cannot be installed: %1")
                    .arg(archive_->errorString()));
  }
  QTimer::singleShot(0, this, &ItemDownload::extractStep);
}

bool ItemDownload::beginExtraction() {
  staged_ = std::make_unique<StagedInstall>(request_.libraryFolder, request_.itemName);
  archive_ = std::make_unique<ArchiveExtractor>(archivePath_);
  if (!staged_->create() || !archive_->beginExtraction(staged_->stagingPath())) {
    log(request_.logs.extractFailed, archive_->errorString());
    return false;
  }
  return true;
}

void ItemDownload::extractStep() {
  // A slice at a time, so a large archive never holds up the window.
  constexpr qint64 bytesPerStep = qint64{16} << 20;
  switch (archive_->extractSome(bytesPerStep)) {
  case ArchiveExtractor::Progress::Running:
    QTimer::singleShot(0, this, &ItemDownload::extractStep);
    return;
  case ArchiveExtractor::Progress::Failed:
    log(request_.logs.extractFailed, archive_->errorString());
    return fail(QCoreApplication::translate("ArvexHubLauncher", "The archive cannot be installed: %1")
                    .arg(archive_->errorString()));
  case ArchiveExtractor::Progress::Finished:
    break;
  }
  const auto installed = install();
  if (installed.isEmpty()) {
    return fail(errorString_);
  }
  done_ = true;
  file_.reset();
  staged_.reset();
  emit finished(true, installed);
}

bool ItemDownload::verifyChecksum() {
  if (request_.sha256.isEmpty()) {
    return true;
  }
  const auto actual = hash_->hexResult();
  if (actual.compare(request_.sha256.toLatin1().toLower()) != 0) {
    qWarning() << "Checksum mismatch for the download of" << request_.itemName;
    return false;
  }
  return true;
}

QString ItemDownload::install() {
  const auto mainFile = findMainFile(staged_->stagingPath());
  if (!request_.mainFilePattern.isEmpty() && mainFile.isEmpty()) {
    log(request_.logs.noMainFile);
    errorString_ = QCoreApplication::translate("ArvexHubLauncher", "The archive holds no start file.");
    return {};
  }
  if (request_.mainFileExecutable && !ArchiveExtractor::makeExecutable(mainFile)) {
    qWarning() << "Cannot make the start script executable:" << mainFile;
    errorString_ =
        QCoreApplication::translate("ArvexHubLauncher", "The start file cannot be made executable.");
    return {};
  }
  if (!writeExtraFiles(staged_->stagingPath()) || !staged_->commit()) {
    qWarning() << "Failed to install" << request_.itemName << ":" << staged_->errorString();
    errorString_ = QCoreApplication::translate("ArvexHubLauncher", "The files could not be put in place: %1")
                       .arg(staged_->errorString());
    return {};
  }
  const QDir item(staged_->itemPath());
  return mainFile.isEmpty() ? item.absolutePath() : item.absoluteFilePath(QFileInfo(mainFile).fileName());
}

QString ItemDownload::findMainFile(const QString& folder) const {
  if (request_.mainFilePattern.isEmpty()) {
    return {};
  }
  const auto matches = QDir(folder).entryInfoList({request_.mainFilePattern}, QDir::Files, QDir::NoSort);
  return matches.isEmpty() ? QString() : matches.first().absoluteFilePath();
}

bool ItemDownload::writeExtraFiles(const QString& folder) const {
  for (auto it = request_.extraFiles.cbegin(); it != request_.extraFiles.cend(); ++it) {
    QFile file(QDir(folder).filePath(it.key()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(it.value()) != it.value().size()) {
      return false;
    }
  }
  return true;
}

namespace {

/// The value as the log shows it: quoted, as QDebug writes strings.
QString quoted(const QString& value) {
  QString text;
  QDebug(&text).nospace() << value;
  return text;
}

} // namespace

void ItemDownload::log(const QString& format, const QString& reason) const {
  if (format.isEmpty()) {
    return;
  }
  auto text = format;
  text.replace(QLatin1String("{archive}"), quoted(archivePath_))
      .replace(QLatin1String("{folder}"),
               quoted(QDir::cleanPath(request_.libraryFolder + QLatin1Char('/') + request_.itemName)))
      .replace(QLatin1String("{name}"), quoted(request_.itemName));
  if (!reason.isEmpty()) {
    text += QLatin1Char(' ') + quoted(reason);
  }
  qWarning().noquote() << text;
}

void ItemDownload::fail(const QString& reason) {
  if (done_) {
    return;
  }
  done_ = true;
  errorString_ = reason;
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
  }
  archive_.reset();
  staged_.reset(); // discards the staging folder
  file_.reset();
  emit finished(false, {});
}

} // namespace arvexhub::launcher
