#include "runner/GameRunner.h"

#include "app/Controller.h"
#include "library/GameData.h"
#include "library/GameListModel.h"
#include "widgets/views/CatalogueGameDownload.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcessEnvironment>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace arvexhub::launcher {
namespace {

constexpr int newlineIntervalMs = 100;
constexpr int destructionWaitMs = 1000;
constexpr int writeErrorSettleMs = 250;

QString flag(bool value) {
  return value ? QStringLiteral("1") : QStringLiteral("0");
}

/// Names the game and both versions; the name comes from a catalogue and is shown as text.
bool askForUpdate(const QString& game, const QString& installed, const QString& offered) {
  QMessageBox box(
      QMessageBox::Question, QCoreApplication::translate("ArvexHubLauncher", "Update Available"),
      QCoreApplication::translate("ArvexHubLauncher",
                                  "A new version of %1 is available: %2 → %3. Do you want to update now?")
          .arg(game, installed, offered),
      QMessageBox::Yes | QMessageBox::No);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::NoButton);
  return box.exec() == QMessageBox::Yes;
}

} // namespace

GameRunner::GameRunner(Controller* controller, QObject* parent)
    : QObject(parent)
    , controller_(controller) {
  process_.setProcessChannelMode(QProcess::MergedChannels);
  // A group of its own lets stop() reach whatever the start script spawned.
  process_.setChildProcessModifier([] { ::setpgid(0, 0); });
  connect(&process_, &QProcess::errorOccurred, this, &GameRunner::onErrorOccurred);
  connect(&process_, &QProcess::readyReadStandardOutput, this, &GameRunner::onReadyRead);
  connect(&process_, &QProcess::stateChanged, this, &GameRunner::onProcessStateChanged);
  connect(&process_, &QProcess::finished, this, &GameRunner::onFinished);
  connect(&newlineTimer_, &QTimer::timeout, this, &GameRunner::onNewlineTimeout);
  killTimer_.setSingleShot(true);
  killTimer_.setInterval(stopGracePeriodMs);
  connect(&killTimer_, &QTimer::timeout, this, &GameRunner::killGroupNow);
  newlineTimer_.setInterval(newlineIntervalMs);
}

GameRunner::~GameRunner() {
  // Nothing may reach observers from a runner being destroyed.
  process_.disconnect(this);
  newlineTimer_.stop();
  killTimer_.stop();
  const bool running = process_.state() != QProcess::NotRunning;
  if (!running && !groupAlive()) {
    return;
  }
  signalGroup(SIGTERM);
  const QDeadlineTimer deadline(destructionWaitMs);
  if (running) {
    process_.waitForFinished(static_cast<int>(deadline.remainingTime()));
  }
  while (groupAlive() && !deadline.hasExpired()) {
    QThread::msleep(10);
  }
  signalGroup(SIGKILL);
  if (process_.state() != QProcess::NotRunning) {
    process_.waitForFinished(destructionWaitMs);
  }
}

GameRunner::State GameRunner::state() const {
  switch (process_.state()) {
  case QProcess::Starting:
    return State::Starting;
  case QProcess::Running:
    return State::Running;
  case QProcess::NotRunning:
    break;
  }
  return State::Stopped;
}

const QString& GameRunner::gameFilePath() const {
  return gameFilePath_;
}

void GameRunner::start(const QString& filePath) {
  if (filePath.isEmpty() || filePath == gameFilePath_ || state() != State::Stopped) {
    return;
  }
  if (offerUpdate(filePath)) {
    return;
  }
  if (killTimer_.isActive()) {
    killGroupNow(); // what is left of the previous game goes before the next one starts
  }
  gameFilePath_ = filePath;
  emit gameChanged();

  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("ARVEXHUB_AUDIO"), flag(audioEnabled_));
  environment.insert(QStringLiteral("ARVEXHUB_FULLSCREEN"), flag(fullScreen_));
  environment.insert(QStringLiteral("ARVEXHUB_SOFTWARE_RENDERING"), flag(forceSoftwareRendering_));
  environment.insert(QStringLiteral("ARVEXHUB_SUSPEND_WHEN_UNFOCUSED"), flag(suspendWhenUnfocused_));
  process_.setProcessEnvironment(environment);

  const auto [program, arguments] = createArguments(filePath);
  process_.start(program, arguments, QIODevice::ReadWrite);
  const auto pid = process_.processId();
  if (pid > 0) {
    // Also done here, so a stop() right after the fork finds the group already made; the child
    // may have run its exec already, and then the call fails harmlessly.
    ::setpgid(static_cast<pid_t>(pid), static_cast<pid_t>(pid));
    groupId_ = pid;
  }
}

bool GameRunner::offerUpdate(const QString& filePath) {
  auto* model = controller_ ? controller_->model() : nullptr;
  if (!model) {
    return false;
  }
  const int row = model->gameRowByPath(filePath);
  if (row < 0 || !model->data(model->index(row, 0), GameRole::UpdateAvailable).toBool()) {
    return false;
  }
  const auto name = QFileInfo(filePath).dir().dirName();
  const auto& game = model->gameDataByName(name);
  if (!(updateQuestion_ ? updateQuestion_()
                        : askForUpdate(game.fullName.isEmpty() ? name : game.fullName,
                                       GameListModel::getLocalVersion(filePath), game.version))) {
    return false;
  }
  downloadCatalogueGame(model, name, GameDownloadPurpose::Update);
  return true;
}

void GameRunner::stop() {
  if (state() == State::Stopped) {
    return;
  }
  gameFilePath_.clear();
  emit gameChanged();
  stopRequested_ = true;
  signalGroup(SIGTERM);
  killTimer_.start();
}

int GameRunner::executeCommand(const QString& command) {
  if (state() == State::Stopped || command.trimmed().isEmpty()) {
    return -1;
  }
  const auto bytes = command.toUtf8() + '\n';
  if (process_.write(bytes) != bytes.size()) {
    return -1;
  }
  return ++lastCommandId_;
}

bool GameRunner::audioEnabled() const {
  return audioEnabled_;
}

void GameRunner::setAudioEnabled(bool enabled) {
  audioEnabled_ = enabled;
}

bool GameRunner::forceSoftwareRendering() const {
  return forceSoftwareRendering_;
}

void GameRunner::setForceSoftwareRendering(bool force) {
  forceSoftwareRendering_ = force;
}

bool GameRunner::fullScreen() const {
  return fullScreen_;
}

void GameRunner::setFullScreen(bool fullScreen) {
  fullScreen_ = fullScreen;
}

bool GameRunner::suspendWhenUnfocused() const {
  return suspendWhenUnfocused_;
}

void GameRunner::setSuspendWhenUnfocused(bool suspend) {
  suspendWhenUnfocused_ = suspend;
}

QPair<QString, QStringList> GameRunner::createArguments(const QString& filePath) const {
  return {filePath, {filePath}};
}

void GameRunner::setUpdateQuestion(UpdateQuestion question) {
  updateQuestion_ = std::move(question);
}

void GameRunner::onErrorOccurred(QProcess::ProcessError error) {
  switch (error) {
  case QProcess::FailedToStart:
    emit errorRaised(ErrorCode::ProcessFailedToStart);
    break;
  case QProcess::Crashed:
    if (!stopRequested_) { // a game ended by stop() counts as crashed; that is no error
      emit errorRaised(ErrorCode::ProcessCrashed);
    }
    break;
  case QProcess::Timedout:
    emit errorRaised(ErrorCode::ProcessTimedOut);
    break;
  case QProcess::ReadError:
    emit errorRaised(ErrorCode::ProcessReadError);
    break;
  case QProcess::WriteError:
    // The keep-alive newline races a game that is ending: its closed input is no error to show.
    // Only a game still running a moment later has really stopped taking input.
    QTimer::singleShot(writeErrorSettleMs, this, [this] {
      if (state() == State::Running) {
        emit errorRaised(ErrorCode::ProcessWriteError);
      }
    });
    break;
  case QProcess::UnknownError:
    emit errorRaised(ErrorCode::UnknownError);
    break;
  }
}

void GameRunner::onReadyRead() {
  readOutput(false);
}

void GameRunner::readOutput(bool includePartialLine) {
  QStringList batch;
  const auto append = [&batch](const QByteArray& bytes) {
    const auto line = QString::fromUtf8(bytes).trimmed();
    if (!line.isEmpty()) {
      batch.append(line);
    }
  };
  while (process_.canReadLine()) {
    append(process_.readLine());
  }
  if (includePartialLine) {
    append(process_.readAll()); // the game has ended: its last line needs no newline
  }
  if (!batch.isEmpty()) {
    emit outputProduced(batch);
  }
}

void GameRunner::onProcessStateChanged(QProcess::ProcessState newState) {
  if (newState != QProcess::NotRunning) {
    // Only while a game runs: an idle program must not wake up ten times a second.
    if (!newlineTimer_.isActive()) {
      newlineTimer_.start();
    }
    emit stateChanged();
    return;
  }
  newlineTimer_.stop();
  readOutput(true);
  lastCommandId_ = -1;
  clearGame();
  emit stateChanged();
}

void GameRunner::onFinished() {
  readOutput(true);
  stopRequested_ = false;
  emit stateChanged();
  lastCommandId_ = -1;
  clearGame();
  emit stateChanged();
  if (!groupAlive()) {
    killTimer_.stop();
    groupId_ = 0;
  }
}

void GameRunner::onNewlineTimeout() {
  if (state() != State::Stopped) {
    process_.write("\n", 1);
  }
}

void GameRunner::clearGame() {
  gameFilePath_.clear();
  emit gameChanged();
}

void GameRunner::signalGroup(int signal) const {
  if (groupId_ <= 0) {
    return;
  }
  const auto group = static_cast<pid_t>(groupId_);
  if (::kill(-group, signal) != 0 && errno == ESRCH && process_.state() != QProcess::NotRunning) {
    ::kill(group, signal); // the child has not made its group yet
  }
}

bool GameRunner::groupAlive() const {
  return groupId_ > 0 && ::kill(-static_cast<pid_t>(groupId_), 0) == 0;
}

void GameRunner::killGroupNow() {
  killTimer_.stop();
  signalGroup(SIGKILL);
  if (process_.state() == QProcess::NotRunning) {
    groupId_ = 0;
  }
}

} // namespace arvexhub::launcher
