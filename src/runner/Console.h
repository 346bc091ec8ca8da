#pragma once

#include "runner/GameRunner.h"

#include <QColor>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QWidget>

class QPlainTextEdit;
class QTextCursor;

namespace arvexhub::launcher {

/// Shows what a game writes on its output: free text, structured log lines coloured by level
/// and by the colour escapes the game writes, the echo of Lua commands. Reports command results
/// and the settings the game changed by itself.
///
/// Every message is kept in escaped form, so game text is always shown as text, never as
/// markup. Messages are stored as they arrive but shown in batches: at most one document edit
/// per event-loop turn, each turn bounded in time, so a flood of output never freezes the window.
class Console final : public QWidget {
  Q_OBJECT

public:
  /// The most blocks the log view keeps; older lines go first.
  static constexpr int maximumBlockCount = 100000;
  /// The longest a single turn of the event loop spends showing new messages.
  static constexpr int updateBudgetMs = 30;

  explicit Console(QWidget* parent = nullptr);
  ~Console() override;
  Q_DISABLE_COPY_MOVE(Console)

  void set_game_runner(GameRunner* runner);
  /// Records the text of a command sent with `GameRunner::executeCommand` under its id, for
  /// the echo and the result signal.
  void command_sent(int id, const QString& text);

  void clear();
  bool is_empty() const;
  QPlainTextEdit* log_view() const;
  /// Every message of the current game, escaped.
  const QStringList& messages() const;
  /// Shows or hides the Debug lines; hidden ones are kept and come back when shown again.
  void set_debug_shown(bool shown);
  bool debug_shown() const;

  void add_message(const QString& prefix, const QString& text);
  /// Stores one already escaped message as it is.
  void add_line(const QString& line);
  void parse_output(const QString& line);
  bool detect_command_result(const QString& level, const QString& message);
  void detect_setting_change(const QString& level, const QString& message);
  /// The HTML of one stored message: its level colour and its colour escapes as spans.
  QString colorize_line(const QString& message) const;
  /// Appends the messages not shown yet, within the time budget of one turn; what is left is
  /// shown on the next turn.
  void update_ui_with_new_messages();

public slots:
  void game_running();
  void game_finished();
  void game_output_produced(const QStringList& lines);
  void game_error(arvexhub::launcher::GameRunner::ErrorCode error);

signals:
  void empty_changed();
  void setting_changed_in_game(const QString& key, const QVariant& value);
  void command_result_received(int id, const QString& command, bool success, const QString& result);

private:
  struct Span {
    QString text; ///< escaped
    QColor color; ///< invalid: the default text colour
  };
  QVector<Span> spans(const QString& message) const;
  QColor levelColor(const QString& message) const;
  void store(const QString& message);
  void scheduleUpdate();
  void applyTheme();
  void reportEmptiness();
  void markLevel(const QTextCursor& cursor, const QString& message) const;

  QPlainTextEdit* logView_{nullptr};
  QPointer<GameRunner> runner_;
  QStringList messages_;
  int lastShown_{-1};
  QMap<int, QString> pendingCommands_;
  int currentCommand_{-1};
  QString currentResult_;
  QColor debugColor_;
  QColor infoColor_;
  QColor warningColor_;
  QColor errorColor_;
  QColor fatalColor_;
  QTimer updateTimer_;
  bool reportedEmpty_{true};
  bool viewBlank_{true}; ///< the view holds no line yet, not even an empty one
  bool debugShown_{true};
};

} // namespace arvexhub::launcher
