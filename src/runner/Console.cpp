#include "runner/Console.h"

#include "runner/GameError.h"
#include "style/Style.h"
#include "style/ThemeFollower.h"

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

namespace arvexhub::launcher {

namespace {

const QRegularExpression& logLinePattern() {
  static const QRegularExpression re(QStringLiteral(R"(^\[ArvexHub\] \[(\d+)\] (\w*): (.+)$)"));
  return re;
}

const QRegularExpression& beginCommandPattern() {
  static const QRegularExpression re(QStringLiteral(R"(^====== Begin Lua command #(\d+) ======$)"));
  return re;
}

const QRegularExpression& endCommandPattern() {
  static const QRegularExpression re(QStringLiteral(R"(^====== End Lua command #(\d+): (\w+) ======$)"));
  return re;
}

const QRegularExpression& settingChangePattern() {
  static const QRegularExpression re(QStringLiteral(R"(^Fullscreen: (\w+)$)"));
  return re;
}

const QRegularExpression& chunkLocationPattern() {
  static const QRegularExpression re(QStringLiteral(R"(In Lua command: \[string ".*"\]:\d+: )"));
  return re;
}

const QRegularExpression& colorEscapePattern() {
  static const QRegularExpression re(QStringLiteral("\033\\[(\\d+)m"));
  return re;
}

constexpr QChar escapeChar{0x1B};
/// The user state of a log block holding a Debug line, for the level filter.
constexpr int debugBlockState = 1;
const QLatin1String debugStart("Debug: ");
constexpr int monospacePointSize = 11;

/// The colour of an escape code, or an invalid colour for codes that set none.
QColor escapeColor(int code) {
  static const std::array<QColor, 8> normal{
      QColor(0x00, 0x00, 0x00), QColor(0xff, 0x00, 0x00), QColor(0x00, 0xff, 0x00), QColor(0xff, 0xff, 0x00),
      QColor(0x00, 0x00, 0xff), QColor(0xff, 0x00, 0xff), QColor(0x00, 0xff, 0xff), QColor(0xd3, 0xd3, 0xd3),
  };
  static const std::array<QColor, 8> bright{
      QColor(0x80, 0x80, 0x80), QColor(0xff, 0x80, 0x80), QColor(0x80, 0xff, 0x80), QColor(0xff, 0xff, 0x80),
      QColor(0x80, 0x80, 0xff), QColor(0xff, 0x80, 0xff), QColor(0x80, 0xff, 0xff), QColor(0xff, 0xff, 0xff),
  };
  if (code >= 30 && code <= 37) {
    return normal.at(static_cast<std::size_t>(code - 30));
  }
  if (code >= 90 && code <= 97) {
    return bright.at(static_cast<std::size_t>(code - 90));
  }
  return {};
}

/// Undoes `QString::toHtmlEscaped`.
QString unescaped(const QString& text) {
  if (!text.contains(QLatin1Char('&'))) {
    return text;
  }
  static const std::array<std::pair<QLatin1String, QChar>, 4> entities{{
      {QLatin1String("&lt;"), QLatin1Char('<')},
      {QLatin1String("&gt;"), QLatin1Char('>')},
      {QLatin1String("&quot;"), QLatin1Char('"')},
      {QLatin1String("&amp;"), QLatin1Char('&')},
  }};
  QString result;
  result.reserve(text.size());
  for (qsizetype i = 0; i < text.size();) {
    bool replaced = false;
    if (text.at(i) == QLatin1Char('&')) {
      for (const auto& [entity, character] : entities) {
        if (QStringView(text).mid(i).startsWith(entity)) {
          result.append(character);
          i += entity.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) {
      result.append(text.at(i));
      ++i;
    }
  }
  return result;
}

} // namespace

Console::Console(QWidget* parent)
    : QWidget(parent)
    , logView_(new QPlainTextEdit(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(logView_);

  logView_->setFrameShape(QFrame::NoFrame);
  logView_->setReadOnly(true);
  logView_->setUndoRedoEnabled(false);
  logView_->setLineWrapMode(QPlainTextEdit::NoWrap);

  updateTimer_.setSingleShot(true);
  updateTimer_.setInterval(0);
  connect(&updateTimer_, &QTimer::timeout, this, &Console::update_ui_with_new_messages);

  applyTheme();
  new style::ThemeFollower(this, [this] { applyTheme(); });
}

Console::~Console() = default;

void Console::set_game_runner(GameRunner* runner) {
  if (runner_) {
    disconnect(runner_, nullptr, this, nullptr);
  }
  runner_ = runner;
  if (!runner) {
    return;
  }
  connect(runner, &GameRunner::stateChanged, this, [this] {
    if (!runner_) {
      return;
    }
    switch (runner_->state()) {
    case GameRunner::State::Stopped:
      game_finished();
      break;
    case GameRunner::State::Running:
      game_running();
      break;
    case GameRunner::State::Starting:
      break;
    }
  });
  connect(runner, &GameRunner::errorRaised, this, &Console::game_error);
  connect(runner, &GameRunner::outputProduced, this, &Console::game_output_produced);
}

void Console::command_sent(int id, const QString& text) {
  if (id >= 0) {
    pendingCommands_.insert(id, text);
  }
}

void Console::clear() {
  updateTimer_.stop();
  logView_->clear();
  viewBlank_ = true;
  messages_.clear();
  lastShown_ = -1;
  reportedEmpty_ = true;
  emit empty_changed();
}

bool Console::is_empty() const {
  return logView_->document()->isEmpty();
}

QPlainTextEdit* Console::log_view() const {
  return logView_;
}

const QStringList& Console::messages() const {
  return messages_;
}

void Console::add_message(const QString& prefix, const QString& text) {
  const QStringList parts = text.split(QLatin1Char('\n'));
  for (const QString& part : parts) {
    store(part.isEmpty() ? QString() : (prefix + QStringLiteral(": ") + part).toHtmlEscaped());
  }
}

void Console::add_line(const QString& line) {
  store(line);
}

void Console::parse_output(const QString& line) {
  if (line.isEmpty()) {
    store({});
    return;
  }
  QString level;
  QString message = line;
  if (const auto match = logLinePattern().match(line); match.hasMatch()) {
    level = match.captured(2);
    message = match.captured(3);
  }
  if (detect_command_result(level, message)) {
    return;
  }
  if (level.isEmpty()) {
    store(line.toHtmlEscaped());
    return;
  }
  detect_setting_change(level, message);
  if (level == QLatin1String("Error")) {
    message.remove(chunkLocationPattern());
  }
  if (message.isEmpty()) {
    return;
  }
  store((level + QStringLiteral(": ") + message).toHtmlEscaped());
}

bool Console::detect_command_result(const QString& level, const QString& message) {
  if (level == QLatin1String("Info")) {
    if (const auto begin = beginCommandPattern().match(message); begin.hasMatch()) {
      if (currentCommand_ != -1) {
        qWarning("Beginning of a command result inside another command result");
      }
      currentCommand_ = begin.captured(1).toInt();
      currentResult_.clear();
      store(QStringLiteral("&gt; ") + pendingCommands_.value(currentCommand_).toHtmlEscaped());
      return true;
    }
    if (const auto end = endCommandPattern().match(message); end.hasMatch()) {
      if (currentCommand_ == -1) {
        qWarning("End of a command result without beginning");
        return false;
      }
      const int id = end.captured(1).toInt();
      const bool success = end.captured(2) == QLatin1String("success");
      const QString command = pendingCommands_.take(currentCommand_);
      if (id != currentCommand_) {
        qWarning("Unmatched command delimiters");
      }
      currentCommand_ = -1;
      const QString result = std::exchange(currentResult_, QString());
      emit command_result_received(id, command, success, result);
      return true;
    }
  }
  if (currentCommand_ != -1) {
    currentResult_ += message;
  }
  return false;
}

void Console::detect_setting_change(const QString& level, const QString& message) {
  if (level != QLatin1String("Info")) {
    return;
  }
  if (const auto match = settingChangePattern().match(message); match.hasMatch()) {
    emit setting_changed_in_game(QStringLiteral("game_fullscreen"),
                                 QVariant(match.captured(1) == QLatin1String("yes")));
  }
}

QColor Console::levelColor(const QString& message) const {
  const std::array<std::pair<QLatin1String, const QColor*>, 5> levels{{
      {debugStart, &debugColor_},
      {QLatin1String("Info: "), &infoColor_},
      {QLatin1String("Warning: "), &warningColor_},
      {QLatin1String("Error: "), &errorColor_},
      {QLatin1String("Fatal: "), &fatalColor_},
  }};
  for (const auto& [start, color] : levels) {
    if (message.startsWith(start)) {
      return *color;
    }
  }
  return {};
}

QVector<Console::Span> Console::spans(const QString& message) const {
  const QColor level = levelColor(message);
  if (!message.contains(escapeChar)) {
    return {Span{message, level}};
  }
  QVector<Span> result;
  QColor current = level;
  qsizetype from = 0;
  auto it = colorEscapePattern().globalMatch(message);
  while (it.hasNext()) {
    const auto match = it.next();
    if (match.capturedStart() > from) {
      result.append(Span{message.mid(from, match.capturedStart() - from), current});
    }
    from = match.capturedEnd();
    if (const QColor color = escapeColor(match.captured(1).toInt()); color.isValid()) {
      current = color;
    }
  }
  if (from < message.size()) {
    result.append(Span{message.mid(from), current});
  }
  return result;
}

QString Console::colorize_line(const QString& message) const {
  const QColor level = levelColor(message);
  QString html;
  for (const Span& span : spans(message)) {
    if (span.color.isValid() && span.color != level) {
      html += QStringLiteral("<span style=\"color:%1;\">%2</span>").arg(span.color.name(), span.text);
    } else {
      html += span.text;
    }
  }
  if (level.isValid()) {
    html = QStringLiteral("<span style=\"color: %1\">%2</span>").arg(level.name(), html);
  }
  return html;
}

void Console::store(const QString& message) {
  // Only the lines the view can hold are kept; the oldest go a batch at a time.
  if (messages_.size() >= maximumBlockCount + maximumBlockCount / 8) {
    const qsizetype dropped = messages_.size() - maximumBlockCount + 1;
    messages_.remove(0, dropped);
    lastShown_ = static_cast<int>(std::max<qsizetype>(-1, lastShown_ - dropped));
  }
  messages_.append(message);
  scheduleUpdate();
}

void Console::scheduleUpdate() {
  if (!updateTimer_.isActive()) {
    updateTimer_.start();
  }
}

void Console::update_ui_with_new_messages() {
  updateTimer_.stop();
  const qsizetype pending = messages_.size() - 1 - lastShown_;
  if (pending <= 0) {
    return;
  }
  // Lines that the block limit would drop at once are not worth laying out.
  if (pending >= maximumBlockCount) {
    logView_->clear();
    viewBlank_ = true;
    lastShown_ = static_cast<int>(messages_.size()) - maximumBlockCount - 1;
  }

  QScrollBar* bar = logView_->verticalScrollBar();
  const bool atBottom = bar->value() >= bar->maximum();
  QElapsedTimer elapsed;
  elapsed.start();
  QTextCursor cursor(logView_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  const QTextCharFormat plain;
  int shown = 0;
  while (lastShown_ + 1 < messages_.size()) {
    const QString& message = messages_.at(++lastShown_);
    if (viewBlank_) {
      viewBlank_ = false;
    } else {
      cursor.insertBlock(QTextBlockFormat(), plain);
    }
    for (const Span& span : spans(message)) {
      QTextCharFormat format;
      if (span.color.isValid()) {
        format.setForeground(span.color);
      }
      cursor.insertText(unescaped(span.text), format);
    }
    markLevel(cursor, message);
    if (++shown % 256 == 0 && elapsed.elapsed() >= updateBudgetMs) {
      break;
    }
  }
  cursor.endEditBlock();
  // The oldest lines go in an edit of their own, the cursor placed by position: QTextDocument's
  // own block limit moves a cursor block by block over them, which lays out every removed line.
  QTextDocument* document = logView_->document();
  if (const int excess = document->blockCount() - maximumBlockCount; excess > 0) {
    QTextCursor oldest(document);
    oldest.beginEditBlock();
    oldest.setPosition(document->findBlockByNumber(excess).position(), QTextCursor::KeepAnchor);
    oldest.removeSelectedText();
    oldest.endEditBlock();
  }
  if (atBottom) {
    bar->setValue(bar->maximum());
  }
  if (lastShown_ + 1 < messages_.size()) {
    scheduleUpdate();
  }
  reportEmptiness();
}

void Console::markLevel(const QTextCursor& cursor, const QString& message) const {
  // Every block is marked, since a new block may inherit the marks of the one it was split from.
  const bool debug = message.startsWith(debugStart);
  QTextBlock block = cursor.block();
  block.setUserState(debug ? debugBlockState : -1);
  block.setVisible(!debug || debugShown_);
}

void Console::set_debug_shown(bool shown) {
  if (shown == debugShown_) {
    return;
  }
  debugShown_ = shown;
  QTextDocument* document = logView_->document();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    if (block.userState() == debugBlockState) {
      block.setVisible(shown);
    }
  }
  // Only the line counts change: the plain-text layout lays out what comes on screen.
  document->markContentsDirty(0, document->characterCount());
  reportEmptiness();
}

bool Console::debug_shown() const {
  return debugShown_;
}

void Console::reportEmptiness() {
  if (is_empty() != reportedEmpty_) {
    reportedEmpty_ = is_empty();
    emit empty_changed();
  }
}

void Console::applyTheme() {
  if (const auto* style = style::Style::of(this)) {
    const style::Theme& theme = style->theme();
    debugColor_ = theme.primaryColor;
    infoColor_ = theme.statusColorInfo;
    warningColor_ = theme.statusColorWarning;
    errorColor_ = theme.statusColorError;
    fatalColor_ = theme.statusColorError;
    QFont font = theme.fontMonospace;
    font.setPointSize(monospacePointSize);
    logView_->setFont(font);
  } else {
    debugColor_ = QColor(255, 255, 255, 127);
    infoColor_ = QColor(126, 160, 255);
    warningColor_ = QColor(255, 188, 0);
    errorColor_ = QColor(252, 72, 80);
    fatalColor_ = errorColor_;
    logView_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  }
  // Shows the whole log again, in batches, in the new colours; the messages stay.
  updateTimer_.stop();
  logView_->clear();
  viewBlank_ = true;
  lastShown_ = -1;
  if (!messages_.isEmpty()) {
    scheduleUpdate();
  }
}

void Console::game_running() {
  clear();
}

void Console::game_finished() {
  currentCommand_ = -1;
  pendingCommands_.clear();
  currentResult_.clear();
}

void Console::game_output_produced(const QStringList& lines) {
  for (const QString& line : lines) {
    parse_output(line);
  }
}

void Console::game_error(GameRunner::ErrorCode error) {
  switch (error) {
  case GameRunner::ErrorCode::ProcessFailedToStart:
  case GameRunner::ErrorCode::ProcessCrashed:
    add_message(QStringLiteral("Fatal"), i18n::gameError(error));
    break;
  case GameRunner::ErrorCode::ProcessTimedOut:
  case GameRunner::ErrorCode::UnknownError:
  case GameRunner::ErrorCode::NoError:
    add_message(QStringLiteral("Error"), i18n::gameError(error));
    break;
  case GameRunner::ErrorCode::ProcessWriteError:
  case GameRunner::ErrorCode::ProcessReadError:
    break;
  }
}

} // namespace arvexhub::launcher
