#include <runner/Console.h>
#include <style/Style.h>

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

using arvexhub::launcher::Console;
using arvexhub::launcher::GameRunner;

namespace {

const QString esc(QChar(0x1B));

QString logLine(const QString& level, const QString& message) {
  return QStringLiteral("[ArvexHub] [12] %1: %2").arg(level, message);
}

QString logLine(const char* level, const char* message) {
  return logLine(QString::fromUtf8(level), QString::fromUtf8(message));
}

QString shownText(Console& console) {
  QTest::qWait(20); // a few turns of the event loop show a handful of messages
  return console.log_view()->toPlainText();
}

/// The foreground colours of the fragments of the first block, in order; invalid when unset.
QList<QColor> fragmentColors(Console& console) {
  QList<QColor> colors;
  const QTextBlock block = console.log_view()->document()->firstBlock();
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextCharFormat format = it.fragment().charFormat();
    colors << (format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor());
  }
  return colors;
}

} // namespace

class TestConsole : public QObject {
  Q_OBJECT

private slots:
  void parsesLines_data();
  void parsesLines();
  void colourEscapesBecomeSpans();
  void commandResults();
  void settingChanges_data();
  void settingChanges();
  void runnerErrors();
  void floodIsShownInBatches();
  void floodKeepsTheLastLines();
  void clearEmptiesTheView();
  void themeChangeRecolours();
};

void TestConsole::parsesLines_data() {
  QTest::addColumn<QString>("line");
  QTest::addColumn<QString>("shown"); // empty: nothing is stored
  QTest::addColumn<bool>("coloured");

  QTest::newRow("free text") << "hello world" << "hello world" << false;
  QTest::newRow("warning line") << logLine("Warning", "low fuel") << "Warning: low fuel" << true;
  QTest::newRow("debug line") << logLine("Debug", "x") << "Debug: x" << true;
  QTest::newRow("info line") << logLine("Info", "ready") << "Info: ready" << true;
  QTest::newRow("fatal line") << logLine("Fatal", "boom") << "Fatal: boom" << true;
  QTest::newRow("unknown level") << logLine("Notice", "n") << "Notice: n" << false;
  QTest::newRow("lower-case level") << logLine("error", "e") << "error: e" << false;
  QTest::newRow("empty level") << "[ArvexHub] [3] : plain" << "[ArvexHub] [3] : plain" << false;
  QTest::newRow("free text with level start") << "Error: by hand" << "Error: by hand" << true;
  QTest::newRow("markup in free text") << "<b>bold</b> & <img src=x>" << "<b>bold</b> & <img src=x>" << false;
  QTest::newRow("entity in free text") << "&amp; &lt;" << "&amp; &lt;" << false;
  QTest::newRow("markup in level line") << logLine("Info", "<i>x</i> \"q\"") << "Info: <i>x</i> \"q\"" << true;
  QTest::newRow("markup with unknown level") << logLine("Odd", "<b>") << "Odd: <b>" << false;
  QTest::newRow("chunk location removed")
    << logLine("Error", R"(In Lua command: [string "print(x"]:1: unexpected symbol)")
    << "Error: unexpected symbol" << true;
  QTest::newRow("chunk location only") << logLine("Error", R"(In Lua command: [string "x"]:7: )") << QString() << false;
  QTest::newRow("chunk location kept for warnings")
    << logLine("Warning", R"(In Lua command: [string "x"]:7: w)")
    << R"(Warning: In Lua command: [string "x"]:7: w)" << true;
  QTest::newRow("multi-code escape stays") << esc + QLatin1String("[1;31mx") << esc + QLatin1String("[1;31mx") << false;
}

void TestConsole::parsesLines() {
  QFETCH(QString, line);
  QFETCH(QString, shown);
  QFETCH(bool, coloured);
  Console console;
  console.parse_output(line);
  QCOMPARE(console.messages().size(), shown.isEmpty() ? 0 : 1);
  if (shown.isEmpty()) {
    return;
  }
  QCOMPARE(shownText(console), shown);
  const QList<QColor> colors = fragmentColors(console);
  QCOMPARE(colors.size(), 1);
  QCOMPARE(colors.first().isValid(), coloured);
  // The same message as HTML keeps game text escaped.
  QTextDocument html;
  html.setHtml(QStringLiteral("<pre>%1</pre>").arg(console.colorize_line(console.messages().first())));
  QCOMPARE(html.toPlainText(), shown);
}

void TestConsole::colourEscapesBecomeSpans() {
  Console console;
  console.parse_output(QStringLiteral("a %1[31mred%1[0m still %1[92mgreen%1[5m<b>").arg(esc));
  QCOMPARE(shownText(console), QStringLiteral("a red still green<b>"));
  QCOMPARE(fragmentColors(console), (QList<QColor>{QColor(), QColor(0xff, 0, 0), QColor(0x80, 0xff, 0x80)}));
  console.clear();
  console.parse_output(logLine(QStringLiteral("Warning"), esc + QStringLiteral("[37mgrey")));
  QCOMPARE(shownText(console), QStringLiteral("Warning: grey"));
  const QList<QColor> colors = fragmentColors(console);
  QCOMPARE(colors.size(), 2);
  QCOMPARE(colors.at(0), arvexhub::style::Style::themeOf(&console).statusColorWarning);
  QCOMPARE(colors.at(1), QColor(0xd3, 0xd3, 0xd3));
}

void TestConsole::commandResults() {
  Console console;
  QSignalSpy results(&console, &Console::command_result_received);
  console.command_sent(4, QStringLiteral("print(1 < 2)"));
  console.command_sent(5, QStringLiteral("bad()"));
  console.game_output_produced({logLine("Info", "====== Begin Lua command #4 ======"), QStringLiteral("true"),
                                 logLine("Info", "more"), logLine("Info", "====== End Lua command #4: success ======"),
                                 logLine("Info", "====== Begin Lua command #5 ======"),
                                 logLine("Info", "====== End Lua command #5: error ======")});
  QCOMPARE(shownText(console), QStringLiteral("> print(1 < 2)\ntrue\nInfo: more\n> bad()"));
  QCOMPARE(results.size(), 2);
  QCOMPARE(results.at(0), (QVariantList{4, QStringLiteral("print(1 < 2)"), true, QStringLiteral("truemore")}));
  QCOMPARE(results.at(1), (QVariantList{5, QStringLiteral("bad()"), false, QString()}));

  // A game that ends in the middle of a result forgets it: the end is then a line like any other.
  console.command_sent(6, QStringLiteral("six"));
  console.parse_output(logLine("Info", "====== Begin Lua command #6 ======"));
  console.game_finished();
  QTest::ignoreMessage(QtWarningMsg, "End of a command result without beginning");
  console.parse_output(logLine("Info", "====== End Lua command #6: success ======"));
  QCOMPARE(results.size(), 2);
  QCOMPARE(console.messages().size(), 6);
  QCOMPARE(shownText(console).section(QLatin1Char('\n'), -1), QStringLiteral("Info: ====== End Lua command #6: success ======"));
}

void TestConsole::settingChanges_data() {
  QTest::addColumn<QString>("line");
  QTest::addColumn<QVariantList>("expected");
  QTest::newRow("yes") << logLine("Info", "Fullscreen: yes") << QVariantList{true};
  QTest::newRow("no") << logLine("Info", "Fullscreen: no") << QVariantList{false};
  QTest::newRow("other word") << logLine("Info", "Fullscreen: Yes") << QVariantList{false};
  QTest::newRow("not info") << logLine("Debug", "Fullscreen: yes") << QVariantList{};
  QTest::newRow("free text") << "Fullscreen: yes" << QVariantList{};
}

void TestConsole::settingChanges() {
  QFETCH(QString, line);
  QFETCH(QVariantList, expected);
  Console console;
  QSignalSpy changes(&console, &Console::setting_changed_in_game);
  console.parse_output(line);
  QCOMPARE(changes.size(), expected.size());
  for (int i = 0; i < expected.size(); ++i) {
    QCOMPARE(changes.at(i), (QVariantList{QStringLiteral("game_fullscreen"), expected.at(i)}));
  }
  QCOMPARE(console.messages().size(), 1); // shown all the same
}

void TestConsole::runnerErrors() {
  Console console;
  console.game_error(GameRunner::ErrorCode::ProcessReadError);
  console.game_error(GameRunner::ErrorCode::ProcessWriteError);
  QCOMPARE(console.messages().size(), 0);
  console.game_error(GameRunner::ErrorCode::ProcessCrashed);
  console.game_error(GameRunner::ErrorCode::ProcessTimedOut);
  QCOMPARE(shownText(console),
           QStringLiteral("Fatal: The game process crashed.\nError: The game process timed out."));
  QCOMPARE(fragmentColors(console), QList<QColor>{arvexhub::style::Style::themeOf(&console).statusColorErrorPressed});
}

void TestConsole::floodIsShownInBatches() {
  Console console;
  QSignalSpy empty(&console, &Console::empty_changed);
  int edits = 0;
  connect(console.log_view()->document(), &QTextDocument::contentsChange, this, [&edits] { ++edits; });
  constexpr int lines = 20000;
  for (int batch = 0; batch < lines / 500; ++batch) {
    QStringList output;
    for (int i = 0; i < 500; ++i) {
      output << logLine(QStringLiteral("Info"), QStringLiteral("line %1 <x>").arg(batch * 500 + i));
    }
    console.game_output_produced(output);
  }
  QCOMPARE(console.log_view()->document()->blockCount(), 1); // nothing shown before the loop turns
  QTRY_COMPARE_WITH_TIMEOUT(console.log_view()->document()->blockCount(), lines, 30000);
  QVERIFY2(edits < lines / 100, qPrintable(QString::number(edits)));
  QCOMPARE(console.log_view()->document()->lastBlock().text(), QStringLiteral("Info: line 19999 <x>"));
  QCOMPARE(empty.size(), 1);
  QVERIFY(!console.is_empty());
}

void TestConsole::floodKeepsTheLastLines() {
  Console console;
  QStringList output;
  for (int i = 0; i < Console::maximumBlockCount + 10; ++i) {
    output << QString::number(i);
  }
  console.game_output_produced(output);
  QTRY_COMPARE_WITH_TIMEOUT(console.log_view()->document()->lastBlock().text(), output.last(), 60000);
  QCOMPARE(console.log_view()->document()->blockCount(), Console::maximumBlockCount);
  QCOMPARE(console.log_view()->document()->firstBlock().text(), QStringLiteral("10"));
  console.parse_output(QStringLiteral("one more"));
  QTRY_COMPARE(console.log_view()->document()->lastBlock().text(), QStringLiteral("one more"));
  QCOMPARE(console.log_view()->document()->blockCount(), Console::maximumBlockCount);
}

void TestConsole::clearEmptiesTheView() {
  Console console;
  QSignalSpy empty(&console, &Console::empty_changed);
  QVERIFY(console.is_empty());
  console.parse_output(QString());
  console.parse_output(QStringLiteral("x"));
  QCOMPARE(shownText(console), QStringLiteral("\nx"));
  QCOMPARE(empty.size(), 1);
  console.clear();
  QVERIFY(console.is_empty());
  QVERIFY(console.messages().isEmpty());
  QCOMPARE(empty.size(), 2);
  console.parse_output(QStringLiteral("y"));
  QTRY_VERIFY(!console.is_empty());
  console.game_running();
  QVERIFY(console.is_empty());
  QCOMPARE(empty.size(), 4);
  QTest::qWait(10);
  QCOMPARE(console.log_view()->toPlainText(), QString());
}

void TestConsole::themeChangeRecolours() {
  arvexhub::style::Style style;
  Console console;
  console.setStyle(&style);
  console.parse_output(logLine("Warning", "w"));
  console.parse_output(QStringLiteral("free"));
  QCOMPARE(shownText(console), QStringLiteral("Warning: w\nfree"));
  QCOMPARE(fragmentColors(console), QList<QColor>{style.theme().statusColorWarning});
  QSignalSpy empty(&console, &Console::empty_changed);
  arvexhub::style::Theme theme = style.theme();
  theme.statusColorWarning = QColor(0x12, 0x34, 0x56);
  style.setTheme(theme);
  QCOMPARE(shownText(console), QStringLiteral("Warning: w\nfree"));
  QCOMPARE(fragmentColors(console), QList<QColor>{QColor(0x12, 0x34, 0x56)});
  QCOMPARE(console.messages().size(), 2);
  QCOMPARE(empty.size(), 0);
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
