#pragma once

#include <QLineEdit>
#include <QStringList>

namespace arvexhub::launcher {

/// The line under the console's log where the player types commands for the running game.
/// Enter hands the text on and empties the line; Up and Down walk through the earlier commands,
/// and Down past the newest brings back what was being typed.
class CommandLine final : public QLineEdit {
  Q_OBJECT

public:
  /// The most commands the history keeps; the oldest go first.
  static constexpr int maximumHistory = 100;

  explicit CommandLine(QWidget* parent = nullptr);
  ~CommandLine() override;
  Q_DISABLE_COPY_MOVE(CommandLine)

  /// The earlier commands, oldest first.
  const QStringList& history() const;
  /// Replaces the history, keeping only its newest entries.
  void setHistory(const QStringList& history);

signals:
  /// A command was entered; it is already in the history.
  void commandEntered(const QString& command);

protected:
  void keyPressEvent(QKeyEvent* event) override;

private:
  void enter();
  void recall(int step);

  QStringList history_;
  int position_{0}; ///< index in the history of the line shown; its size for the draft
  QString draft_;
};

} // namespace arvexhub::launcher
