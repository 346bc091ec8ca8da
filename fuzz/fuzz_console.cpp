// A game's output, as the runner reads it from the process, through the console: the
// structured-line parser, the command echo and result detection, the colour escapes and the
// batched display.
//
// Promise checked: game text is always shown as text, never as markup. The HTML a stored
// message is colourised into holds no tag but the console's own colour spans.

#include "runner/Console.h"

#include "FuzzSupport.h"

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextDocument>

using arvexhub::launcher::Console;

namespace {

Console* console = nullptr;

/// The HTML with the console's own tags taken out.
QString withoutOwnTags(const QString& html) {
  static const QRegularExpression ownTags(QStringLiteral(R"(<span style="color: ?#[0-9a-f]{6};?">|</span>)"));
  QString text = html;
  text.remove(ownTags);
  return text;
}

/// The runner's reading of a process's merged output: lines cut at '\n', decoded as UTF-8 and
/// trimmed; blank lines are dropped; the last line needs no newline.
QStringList outputLines(const QByteArray& bytes) {
  QStringList lines;
  for (const QByteArray& raw : bytes.split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (!line.isEmpty()) {
      lines.append(line);
    }
  }
  return lines;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  arvexhub::fuzz::initialize(argc, argv, arvexhub::fuzz::AppKind::Widgets);
  console = new Console;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A new game: the log and the command bookkeeping start empty.
  console->game_running();
  console->game_finished();
  for (int id = 0; id < 4; ++id) {
    console->command_sent(id, QStringLiteral("print(<%1> & \"x\")").arg(id));
  }

  const QStringList lines =
      outputLines(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
  // The runner hands over what one read brought: a few lines at a time.
  for (qsizetype first = 0; first < lines.size(); first += 3) {
    console->game_output_produced(lines.mid(first, 3));
  }

  for (const QString& message : console->messages()) {
    const QString html = console->colorize_line(message);
    const QString text = withoutOwnTags(html);
    FUZZ_CHECK(!text.contains(QLatin1Char('<')) && !text.contains(QLatin1Char('>')),
               QStringLiteral("markup from the game in %1").arg(html));
  }

  // Shows everything, a turn's batch at a time.
  for (int turn = 0; turn < 1000 && !console->messages().isEmpty(); ++turn) {
    console->update_ui_with_new_messages();
    const int blocks = console->log_view()->document()->blockCount();
    if (blocks >= console->messages().size()) {
      break;
    }
  }
  console->game_finished();
  return 0;
}
