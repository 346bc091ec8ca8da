#include "library/ItemDownload.h"

#include "library/ArchiveExtractor.h"
#include "library/DownloadRecord.h"
#include "library/ItemNames.h"
#include "library/NetworkPolicy.h"
#include "library/Sha256.h"
#include "library/StagedInstall.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QTimer>
#include <QtDebug>

namespace arvexhub::launcher {

namespace {

constexpr int defaultRetryDelayMs = 1000;
int retryDelayMs = defaultRetryDelayMs;
// Retries in a row without any data coming back; the waits double: 1 s, 2 s, 4 s, 8 s, 16 s.
constexpr int maxTries = 5;
constexpr qint64 speedWindowMs = 1000;

/// Failures of the connection rather than answers of the server: worth another try.
bool isDropped(QNetworkReply::NetworkError error) {
  switch (error) {
  case QNetworkReply::RemoteHostClosedError:
  case QNetworkReply::ConnectionRefusedError:
  case QNetworkReply::TimeoutError:
  case QNetworkReply::OperationCanceledError: // the stall timeout: our own aborts disconnect first
  case QNetworkReply::TemporaryNetworkFailureError:
  case QNetworkReply::NetworkSessionFailedError:
  case QNetworkReply::ProxyConnectionClosedError:
  case QNetworkReply::UnknownNetworkError:
    return true;
  default:
    return false;
  }
}

/// The answer's validator: its ETag, else its Last-Modified; empty when it has neither.
QString validatorOf(const QNetworkReply* reply) {
  const auto etag = reply->rawHeader("ETag");
  return QString::fromLatin1(etag.isEmpty() ? reply->rawHeader("Last-Modified") : etag);
}

/// "bytes <first>-<last>/<total>": first and total, or -1 each when it does not read so.
std::pair<qint64, qint64> contentRange(const QByteArray& header) {
  static const QRegularExpression form(QStringLiteral("^bytes (\\d+)-(\\d+)/(\\d+)$"));
  const auto match = form.match(QString::fromLatin1(header.trimmed()));
  if (!match.hasMatch()) {
    return {-1, -1};
  }
  return {match.captured(1).toLongLong(), match.captured(3).toLongLong()};
}

} // namespace

void ItemDownload::setRetryDelayMs(int milliseconds) {
  retryDelayMs = milliseconds > 0 ? milliseconds : defaultRetryDelayMs;
}

ItemDownload::ItemDownload(QNetworkAccessManager* manager, InstallRequest request, QObject* parent)
    : QObject(parent)
    , manager_(manager)
    , request_(std::move(request))
    , retryTimer_(new QTimer(this)) {
  retryTimer_->setSingleShot(true);
  connect(retryTimer_, &QTimer::timeout, this, &ItemDownload::sendRequest);
}

ItemDownload::~ItemDownload() {
  dropReply();
}

const InstallRequest& ItemDownload::request() const {
  return request_;
}

QString ItemDownload::errorString() const {
  return errorString_;
}

bool ItemDownload::wasCancelled() const {
  return cancelled_;
}

DownloadStatus ItemDownload::status() const {
  DownloadStatus status;
  status.state = state_;
  const auto done = offset_ + received_;
  status.fraction = expectedSize_ > 0 ? qBound(0.0, double(done) / double(expectedSize_), 1.0) : -1.0;
  status.bytesPerSecond = state_ == DownloadState::Running ? speed_ : 0.0;
  if (status.bytesPerSecond > 0.0 && expectedSize_ > 0) {
    status.secondsLeft = qint64(double(expectedSize_ - done) / status.bytesPerSecond);
  }
  return status;
}

void ItemDownload::start() {
  state_ = request_.localArchive.isEmpty() ? DownloadState::Running : DownloadState::Installing;
  if (!request_.localArchive.isEmpty()) {
    // Ends later, as a download does, so the caller can connect to `finished` first.
    QTimer::singleShot(0, this, [this] { installArchive(request_.localArchive); });
    return;
  }
  if (!NetworkPolicy::isAllowed(request_.url)) {
    qWarning() << "Refusing to fetch a URL that is neither HTTPS nor local:" << request_.url.toString();
    const auto reason =
        QCoreApplication::translate("ArvexHubLauncher", "The download address %1 is not allowed.")
            .arg(request_.url.toDisplayString());
    QTimer::singleShot(0, this, [this, reason] { fail(reason); });
    return;
  }
  if (!openPartFile()) {
    const auto reason =
        QCoreApplication::translate("ArvexHubLauncher", "No temporary file can be written: %1")
            .arg(file_->errorString());
    QTimer::singleShot(0, this, [this, reason] { fail(reason); });
    return;
  }
  sendRequest();
}

bool ItemDownload::openPartFile() {
  const auto& folder = request_.downloadFolder;
  QDir().mkpath(folder);
  const auto record = DownloadRecord::load(folder, request_.itemName, request_.kindName);
  // Only the same address, with a validator to guard the range, is continued.
  const bool resumable = record && record->url == request_.url && !record->validator.isEmpty();
  file_ = std::make_unique<QFile>(DownloadRecord::partPath(folder, request_.itemName));
  if (!file_->open(QIODevice::WriteOnly | (resumable ? QIODevice::Append : QIODevice::Truncate))) {
    qWarning() << "Failed to open temporary file for writing:" << file_->fileName();
    return false;
  }
  if (resumable) {
    validator_ = record->validator;
    expectedSize_ = record->expectedSize;
  } else {
    QFile::remove(DownloadRecord::recordPath(folder, request_.itemName));
  }
  return true;
}

void ItemDownload::sendRequest() {
  offset_ = file_->size();
  received_ = 0;
  answered_ = false;
  QList<QPair<QByteArray, QByteArray>> headers;
  if (offset_ > 0 && !validator_.isEmpty()) {
    headers = {{"Range", "bytes=" + QByteArray::number(offset_) + '-'}, {"If-Range", validator_.toLatin1()}};
  } else if (offset_ > 0) {
    file_->resize(0); // nothing guards a range: the whole file again
    offset_ = 0;
  }
  reply_ = NetworkPolicy::get(manager_, request_.url, headers);
  reply_->setReadBufferSize(NetworkPolicy::streamedReadBufferSize);
  connect(reply_, &QNetworkReply::metaDataChanged, this, &ItemDownload::onMetaDataChanged);
  connect(reply_, &QNetworkReply::readyRead, this, &ItemDownload::onReadyRead);
  connect(reply_, &QNetworkReply::finished, this, &ItemDownload::onFinished);
}

void ItemDownload::onMetaDataChanged() {
  if (answered_) {
    // Qt sent the request again by itself after a dropped connection: this second answer does
    // not continue what was written. Ask again from the end of the file instead.
    const auto reason = QCoreApplication::translate(
        "ArvexHubLauncher", "The connection was lost before the download was complete.");
    if (!retry(reason)) {
      fail(reason);
    }
    return;
  }
  const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status < 200 || status >= 300) {
    if (status == 416) {
      restartFromZero("the server refused the range");
    }
    return; // an error: the end of the reply tells
  }
  answered_ = true;
  if (!acceptsAnswer()) {
    return;
  }
  validator_ = validatorOf(reply_);
  saveRecord();
  const auto available = QStorageInfo(QFileInfo(file_->fileName()).absolutePath()).bytesAvailable();
  if (available >= 0 && expectedSize_ - offset_ > available) {
    qWarning() << "Not enough free disk space for the download of" << request_.itemName << ":"
               << expectedSize_ - offset_ << "bytes";
    fail(QCoreApplication::translate("ArvexHubLauncher", "There is not enough free disk space."));
  }
}

bool ItemDownload::acceptsAnswer() {
  const auto declared = reply_->header(QNetworkRequest::ContentLengthHeader);
  if (reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 206) {
    if (offset_ > 0) {
      qDebug() << "The server sent the whole file again:" << request_.url.toString();
      file_->resize(0); // the answer is the whole file: never splice it onto the part
      offset_ = 0;
    }
    expectedSize_ = declared.isValid() ? declared.toLongLong() : -1;
    return true;
  }
  const auto [first, total] = contentRange(reply_->rawHeader("Content-Range"));
  const auto validator = validatorOf(reply_);
  if (first != offset_ || total <= offset_ || (!validator.isEmpty() && validator != validator_)) {
    qWarning() << "Refusing a range that does not continue the download of" << request_.itemName << ":"
               << reply_->rawHeader("Content-Range");
    restartFromZero("bad range");
    return false;
  }
  expectedSize_ = total;
  return true;
}

void ItemDownload::restartFromZero(const char* why) {
  qDebug() << "Starting the download again from zero:" << request_.itemName << why;
  dropReply();
  file_->resize(0);
  validator_.clear();
  QFile::remove(DownloadRecord::recordPath(request_.downloadFolder, request_.itemName));
  QTimer::singleShot(0, this, [this] {
    if (state_ == DownloadState::Running && !reply_) {
      sendRequest();
    }
  });
}

void ItemDownload::saveRecord() const {
  DownloadRecord record{
      request_.itemName, request_.kindName, request_.url, validator_, expectedSize_, file_->fileName(), {}};
  if (!record.save(request_.downloadFolder)) {
    qWarning() << "Failed to write the download record of" << request_.itemName;
  }
}

void ItemDownload::onReadyRead() {
  if (!reply_ || !answered_ || !reply_->isOpen() || state_ != DownloadState::Running) {
    return;
  }
  const auto data = reply_->readAll();
  if (data.isEmpty()) {
    return;
  }
  received_ += data.size();
  if (offset_ + received_ > furthest_) {
    furthest_ = offset_ + received_;
    tries_ = 0; // the connection works again: it brings what we never had
  }
  if (file_->write(data) != data.size()) {
    qWarning() << "Failed to write the download of" << request_.itemName << ":" << file_->errorString();
    return fail(
        QCoreApplication::translate("ArvexHubLauncher", "The download could not be written to disk: %1")
            .arg(file_->errorString()));
  }
  measureSpeed(offset_ + received_);
  if (expectedSize_ > 0) {
    emit progressChanged(double(offset_ + received_) / double(expectedSize_));
  }
}

void ItemDownload::measureSpeed(qint64 total) {
  const auto now = QDateTime::currentMSecsSinceEpoch();
  if (speedStartMs_ < 0) {
    speedStartMs_ = now;
    speedBytes_ = total;
  } else if (now - speedStartMs_ >= speedWindowMs) {
    const double recent = double(total - speedBytes_) * 1000.0 / double(now - speedStartMs_);
    speed_ = speed_ > 0.0 ? 0.5 * speed_ + 0.5 * recent : recent; // steadier than one window
    speedStartMs_ = now;
    speedBytes_ = total;
  }
}

void ItemDownload::onFinished() {
  onReadyRead();
  if (state_ != DownloadState::Running || !reply_) {
    return;
  }
  const auto error = reply_->error();
  if (error != QNetworkReply::NoError) {
    if (isDropped(error) && retry(reply_->errorString())) {
      return;
    }
    log(request_.logs.networkError, reply_->errorString());
    return fail(reply_->errorString());
  }
  // Qt may quietly retry a request whose connection died and call a short answer a success.
  const auto declared = reply_->header(QNetworkRequest::ContentLengthHeader);
  if (!answered_ || (declared.isValid() && declared.toLongLong() != received_)) {
    const auto reason = QCoreApplication::translate(
        "ArvexHubLauncher", "The connection was lost before the download was complete.");
    if (retry(reason)) {
      return;
    }
    qWarning() << "Download ended early:" << received_ << "of" << declared.toLongLong() << "bytes";
    return fail(reason);
  }
  dropReply();
  if (!file_->flush()) {
    return fail(
        QCoreApplication::translate("ArvexHubLauncher", "The download could not be written to disk: %1")
            .arg(file_->errorString()));
  }
  file_->close();
  state_ = DownloadState::Installing;
  endTransfer();
  if (!request_.sha256.isEmpty()) {
    hash_ = std::make_unique<Sha256>();
    archive_.reset();
    file_->open(QIODevice::ReadOnly);
  }
  hashStep();
}

bool ItemDownload::retry(const QString& reason) {
  if (tries_ >= maxTries) {
    return false;
  }
  const int delay = retryDelayMs << tries_;
  ++tries_;
  qDebug() << "Download interrupted, trying again in" << delay << "ms:" << request_.itemName << reason;
  dropReply();
  file_->flush();
  retryTimer_->start(delay);
  return true;
}

void ItemDownload::dropReply() {
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
    reply_->deleteLater();
    reply_.clear();
  }
}

void ItemDownload::endTransfer() {
  retryTimer_->stop();
  speed_ = 0.0;
  emit transferEnded();
}

bool ItemDownload::pause() {
  if (state_ != DownloadState::Running && state_ != DownloadState::Queued) {
    return false;
  }
  dropReply();
  if (file_) {
    file_->flush();
    file_->close();
  }
  state_ = DownloadState::Paused;
  endTransfer();
  emit paused();
  return true;
}

bool ItemDownload::cancel() {
  if (state_ != DownloadState::Running && state_ != DownloadState::Queued &&
      state_ != DownloadState::Paused) {
    return false;
  }
  cancelled_ = true;
  fail({});
  return true;
}

void ItemDownload::hashStep() {
  // The whole file, including what an earlier run wrote, a slice per turn of the event loop.
  constexpr qint64 bytesPerStep = qint64{16} << 20;
  if (hash_ && !file_->atEnd()) {
    hash_->addData(file_->read(bytesPerStep));
    QTimer::singleShot(0, this, &ItemDownload::hashStep);
    return;
  }
  if (hash_) {
    file_->close();
    if (hash_->hexResult().compare(request_.sha256.toLatin1().toLower()) != 0) {
      qWarning() << "Checksum mismatch for the download of" << request_.itemName;
      return fail(QCoreApplication::translate(
          "ArvexHubLauncher", "The download is damaged: it does not match the catalogue's checksum."));
    }
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
  state_ = DownloadState::None;
  file_.reset();
  staged_.reset();
  removePart();
  emit finished(true, installed);
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
  if (state_ == DownloadState::None) {
    return;
  }
  const bool transferring = state_ == DownloadState::Running;
  state_ = DownloadState::None;
  errorString_ = reason;
  dropReply();
  archive_.reset();
  staged_.reset(); // discards the staging folder
  file_.reset();
  removePart(); // a download that failed leaves nothing behind
  if (transferring) {
    endTransfer();
  }
  emit finished(false, {});
}

void ItemDownload::removePart() const {
  if (request_.localArchive.isEmpty() && !request_.downloadFolder.isEmpty()) {
    DownloadRecord::remove(request_.downloadFolder, request_.itemName);
  }
}

} // namespace arvexhub::launcher
