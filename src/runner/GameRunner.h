#pragma once

#include <QObject>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace arvexhub::launcher {

class Controller;

/// Owns the one process a game runs in: starts and stops its start script, reads its merged
/// output line by line, and writes to its standard input (a keep-alive newline every 100 ms
/// and one-line commands).
///
/// The game runs in a process group of its own, so stopping it reaches the children its
/// script started as well: the group is asked to terminate, then killed when it has not
/// ended after a grace period.
class GameRunner final : public QObject {
  Q_OBJECT

public:
  enum class State {
    Stopped = 0,
    Starting = 1,
    Running = 2,
  };
  Q_ENUM(State)

  enum class ErrorCode {
    NoError = 0,
    UnknownError = 1,
    ProcessFailedToStart = 2,
    ProcessCrashed = 3,
    ProcessWriteError = 4,
    ProcessReadError = 5,
    ProcessTimedOut = 6,
  };
  Q_ENUM(ErrorCode)

  /// Asked before a game with a newer version is started; true means "update now".
  using UpdateQuestion = std::function<bool()>;

  /// The controller is only used to reach the game list model; it may be null.
  GameRunner(Controller* controller, QObject* parent);
  /// Terminates a running game's process group, waits for it at most about a second, then
  /// kills what is left. This blocks the caller.
  ~GameRunner() override;
  Q_DISABLE_COPY_MOVE(GameRunner)

  State state() const;
  const QString& gameFilePath() const;

  /// Starts the start script unless a game is starting or running or the path is empty or
  /// the current one. A game with an update available offers the update first.
  void start(const QString& filePath);
  /// Asks the game's process group to end; kills it after a grace period. Returns at once.
  void stop();
  /// Writes one command line to the game; returns its id (0, 1, … per run) or -1.
  int executeCommand(const QString& command);

  bool audioEnabled() const;
  void setAudioEnabled(bool enabled);
  bool forceSoftwareRendering() const;
  void setForceSoftwareRendering(bool force);
  bool fullScreen() const;
  void setFullScreen(bool fullScreen);
  bool suspendWhenUnfocused() const;
  void setSuspendWhenUnfocused(bool suspend);

  /// The program and arguments that run a start script: the script itself, given its path.
  QPair<QString, QStringList> createArguments(const QString& filePath) const;

  /// Replaces the update question (a message box by default).
  void setUpdateQuestion(UpdateQuestion question);

  /// How long a stopped game may take to end before its process group is killed.
  static constexpr int stopGracePeriodMs = 3000;

signals:
  void stateChanged();
  void errorRaised(GameRunner::ErrorCode error);
  void gameChanged();
  void outputProduced(const QStringList& lines);

private:
  bool offerUpdate(const QString& filePath);
  void onErrorOccurred(QProcess::ProcessError error);
  void onReadyRead();
  void onProcessStateChanged(QProcess::ProcessState newState);
  void onFinished();
  void onNewlineTimeout();
  void readOutput(bool includePartialLine);
  void clearGame();
  void signalGroup(int signal) const;
  bool groupAlive() const;
  void killGroupNow();

  QProcess process_;
  QTimer newlineTimer_;
  QTimer killTimer_;
  int lastCommandId_{-1};
  QString gameFilePath_;
  bool audioEnabled_{true};
  bool forceSoftwareRendering_{false};
  bool fullScreen_{false};
  bool suspendWhenUnfocused_{true};
  Controller* controller_{nullptr};
  bool stopRequested_{false};
  qint64 groupId_{0}; ///< process group of the last game started, 0 when none is left
  UpdateQuestion updateQuestion_;
};

} // namespace arvexhub::launcher
