#include "runner/Console.h"
#include "style/Style.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

using namespace Qt::StringLiterals;
using arvexhub::launcher::Console;
using arvexhub::launcher::GameRunner;

namespace {

const QString esc(QChar(0x1B));

QString logLine(const QString& level, const QString& message) {
  return u"[ArvexHub] [12] %1: %2"_s.arg(level, message);
}

QString logLine(const char* level, const char* message) {
  return logLine(QString::fromUtf8(level), QString::fromUtf8(message));
}

QString shownText(Console& console) {
  QTest::qWait(20); // a few turns of the event loop show a handful of messages
  return console.log_view()->toPlainText();
}

/// The foreground colours of the fragments of a block, in order; invalid when unset.
QList<QColor> fragmentColors(Console& console, int blockNumber = 0) {
  QList<QColor> colors;
  const QTextBlock block = console.log_view()->document()->findBlockByNumber(blockNumber);
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

  void parsesLines() {
    QFETCH(QString, line);
    QFETCH(QString, shown);
    QFETCH(QList<QColor>, colours);
    Console console;
    console.parse_output(line);
    QCOMPARE(console.messages().size(), shown.isEmpty() ? 0 : 1);
    if (shown.isEmpty()) {
      return;
    }
    QCOMPARE(shownText(console), shown);
    QCOMPARE(fragmentColors(console), colours);
    // The same message as HTML keeps game text escaped.
    QTextDocument html;
    html.setHtml(u"<pre>%1</pre>"_s.arg(console.colorize_line(console.messages().first())));
    QCOMPARE(html.toPlainText(), shown);
  }

  void commandResults() {
    Console console;
    QSignalSpy results(&console, &Console::command_result_received);
    console.command_sent(4, u"print(1 < 2)"_s);
    console.command_sent(5, u"bad()"_s);
    console.game_output_produced({logLine("Info", "====== Begin Lua command #4 ======"), u"true"_s,
                                  logLine("Info", "more"),
                                  logLine("Info", "====== End Lua command #4: success ======"),
                                  logLine("Info", "====== Begin Lua command #5 ======"),
                                  logLine("Info", "====== End Lua command #5: error ======")});
    QCOMPARE(shownText(console), u"> print(1 < 2)\ntrue\nInfo: more\n> bad()"_s);
    QCOMPARE(results.size(), 2);
    QCOMPARE(results.at(0), (QVariantList{4, u"print(1 < 2)"_s, true, u"truemore"_s}));
    QCOMPARE(results.at(1), (QVariantList{5, u"bad()"_s, false, QString()}));

    // A game that ends in the middle of a result forgets it: the end is then a line like any other.
    console.command_sent(6, u"six"_s);
    console.parse_output(logLine("Info", "====== Begin Lua command #6 ======"));
    console.game_finished();
    QTest::ignoreMessage(QtWarningMsg, "End of a command result without beginning");
    console.parse_output(logLine("Info", "====== End Lua command #6: success ======"));
    QCOMPARE(results.size(), 2);
    QCOMPARE(console.messages().size(), 6);
    QCOMPARE(shownText(console).section(QLatin1Char('\n'), -1),
             u"Info: ====== End Lua command #6: success ======"_s);
  }

  void settingChanges() {
    Console console;
    QSignalSpy changes(&console, &Console::setting_changed_in_game);
    console.game_output_produced({logLine("Info", "Fullscreen: yes"), logLine("Info", "Fullscreen: no"),
                                  logLine("Info", "Fullscreen: Yes"), logLine("Debug", "Fullscreen: yes"),
                                  u"Fullscreen: yes"_s});
    const QString key = u"game_fullscreen"_s;
    QCOMPARE(changes, (QList<QVariantList>{{key, true}, {key, false}, {key, false}}));
    QCOMPARE(console.messages().size(), 5); // shown all the same
  }

  // The runner's errors as messages of the console's own; clearing, by hand or by a new game.
  void runnerErrorsAndClearing() {
    Console console;
    QSignalSpy empty(&console, &Console::empty_changed);
    QVERIFY(console.is_empty());
    console.game_error(GameRunner::ErrorCode::ProcessReadError);
    console.game_error(GameRunner::ErrorCode::ProcessWriteError);
    QCOMPARE(console.messages().size(), 0);
    console.parse_output(QString()); // an empty line is shown as one
    console.game_error(GameRunner::ErrorCode::ProcessCrashed);
    console.game_error(GameRunner::ErrorCode::ProcessTimedOut);
    QCOMPARE(shownText(console), u"\nFatal: The game process crashed.\nError: The game process timed out."_s);
    QCOMPARE(fragmentColors(console, 1), QList<QColor>{QColor(252, 72, 80)});
    QCOMPARE(empty.size(), 1);
    console.clear();
    QVERIFY(console.is_empty());
    QVERIFY(console.messages().isEmpty());
    QCOMPARE(empty.size(), 2);
    console.parse_output(u"y"_s);
    QTRY_VERIFY(!console.is_empty());
    console.game_running();
    QVERIFY(console.is_empty());
    QCOMPARE(empty.size(), 4);
    QTest::qWait(10); // a few turns of the event loop: nothing cleared comes back
    QCOMPARE(console.log_view()->toPlainText(), QString());
  }

  void flood_data() {
    QTest::addColumn<int>("lines");
    QTest::newRow("shown in batches") << 20000;
    QTest::newRow("more than the view keeps") << Console::maximumBlockCount + 10;
  }

  void flood() {
    QFETCH(int, lines);
    Console console;
    QSignalSpy empty(&console, &Console::empty_changed);
    int edits = 0;
    connect(console.log_view()->document(), &QTextDocument::contentsChange, this, [&edits] { ++edits; });
    for (int first = 0; first < lines; first += 500) {
      QStringList output;
      for (int i = first; i < qMin(lines, first + 500); ++i) {
        output << logLine(u"Info"_s, u"line %1 <x>"_s.arg(i));
      }
      console.game_output_produced(output);
    }
    QTextDocument* document = console.log_view()->document();
    QCOMPARE(document->blockCount(), 1); // nothing shown before the loop turns
    const int kept = qMin(lines, int(Console::maximumBlockCount));
    QTRY_COMPARE_WITH_TIMEOUT(document->lastBlock().text(), u"Info: line %1 <x>"_s.arg(lines - 1), 60000);
    QCOMPARE(document->blockCount(), kept);
    QCOMPARE(document->firstBlock().text(), u"Info: line %1 <x>"_s.arg(lines - kept));
    QVERIFY2(edits < lines / 100, qPrintable(QString::number(edits)));
    QCOMPARE(empty.size(), 1);
    console.parse_output(u"one more"_s);
    QTRY_COMPARE(document->lastBlock().text(), u"one more"_s);
    QCOMPARE(document->blockCount(), qMin(kept + 1, int(Console::maximumBlockCount)));
  }

  void coloursAndFontFollowTheStyle_data() {
    QTest::addColumn<bool>("ours");
    QTest::newRow("another style") << false;
    QTest::newRow("our style") << true;
  }

  void coloursAndFontFollowTheStyle() {
    QFETCH(bool, ours);
    arvexhub::style::Style style;
    Console console;
    if (ours) {
      console.setStyle(&style);
    }
    const QStringList levels{u"Debug"_s, u"Info"_s, u"Warning"_s, u"Error"_s, u"Fatal"_s};
    for (const QString& level : levels) {
      console.parse_output(logLine(level, u"x"_s));
    }
    const arvexhub::style::Theme& theme = style.theme();
    const QList<QColor> expected{theme.primaryColor, theme.statusColorInfo, theme.statusColorWarning,
                                 theme.statusColorError, theme.statusColorError};
    QCOMPARE(shownText(console).count(QLatin1Char('\n')), 4);
    for (int i = 0; ours && i < levels.size(); ++i) { // the other style's colours: see parsesLines
      QCOMPARE(fragmentColors(console, i), QList<QColor>{expected.at(i)});
    }
    QCOMPARE(console.log_view()->frameShape(), QFrame::NoFrame);
    const QFont font = console.log_view()->font();
    QCOMPARE(font.family(),
             (ours ? theme.fontMonospace : QFontDatabase::systemFont(QFontDatabase::FixedFont)).family());
    QCOMPARE(font.pointSize(), ours ? 11 : QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSize());
    if (!ours) {
      return;
    }
    // A new theme recolours the whole log; the messages stay.
    QSignalSpy empty(&console, &Console::empty_changed);
    arvexhub::style::Theme changed = theme;
    changed.statusColorWarning = QColor(0x12, 0x34, 0x56);
    style.setTheme(changed);
    QCOMPARE(shownText(console).count(QLatin1Char('\n')), 4);
    QCOMPARE(fragmentColors(console, 2), QList<QColor>{QColor(0x12, 0x34, 0x56)});
    QCOMPARE(console.messages().size(), levels.size());
    QCOMPARE(empty.size(), 0);
  }
};

// Kept out of the class: moc misreads the raw strings in it.
void TestConsole::parsesLines_data() {
  QTest::addColumn<QString>("line");
  QTest::addColumn<QString>("shown");         // empty: nothing is stored
  QTest::addColumn<QList<QColor>>("colours"); // of the shown fragments, with another style than ours

  using C = QList<QColor>;
  const QColor none, debug(255, 255, 255, 127), info(126, 160, 255), warning(255, 188, 0), error(252, 72, 80);
  const auto t = [](const char* text) { return QString::fromUtf8(text); };
  QTest::newRow("free text") << t("hello world") << t("hello world") << C{none};
  QTest::newRow("warning line") << logLine("Warning", "low fuel") << t("Warning: low fuel") << C{warning};
  QTest::newRow("debug line") << logLine("Debug", "x") << t("Debug: x") << C{debug};
  QTest::newRow("info line") << logLine("Info", "ready") << t("Info: ready") << C{info};
  QTest::newRow("fatal line") << logLine("Fatal", "boom") << t("Fatal: boom") << C{error};
  QTest::newRow("unknown level") << logLine("Notice", "n") << t("Notice: n") << C{none};
  QTest::newRow("lower-case level") << logLine("error", "e") << t("error: e") << C{none};
  QTest::newRow("empty level") << t("[ArvexHub] [3] : plain") << t("[ArvexHub] [3] : plain") << C{none};
  QTest::newRow("free text with level start") << t("Error: by hand") << t("Error: by hand") << C{error};
  QTest::newRow("markup in free text")
      << t("<b>bold</b> & <img src=x>") << t("<b>bold</b> & <img src=x>") << C{none};
  QTest::newRow("entity in free text") << t("&amp; &lt;") << t("&amp; &lt;") << C{none};
  QTest::newRow("markup in level line")
      << logLine("Info", "<i>x</i> \"q\"") << t("Info: <i>x</i> \"q\"") << C{info};
  QTest::newRow("markup with unknown level") << logLine("Odd", "<b>") << t("Odd: <b>") << C{none};
  QTest::newRow("chunk location removed")
      << logLine("Error", R"(In Lua command: [string "print(x"]:1: unexpected symbol)")
      << t("Error: unexpected symbol") << C{error};
  QTest::newRow("chunk location only")
      << logLine("Error", R"(In Lua command: [string "x"]:7: )") << QString() << C{};
  QTest::newRow("chunk location kept for warnings")
      << logLine("Warning", R"(In Lua command: [string "x"]:7: w)")
      << t(R"(Warning: In Lua command: [string "x"]:7: w)") << C{warning};
  QTest::newRow("multi-code escape stays")
      << esc + QLatin1String("[1;31mx") << esc + QLatin1String("[1;31mx") << C{none};
  QTest::newRow("colour escapes") << u"a %1[31mred%1[0m still %1[92mgreen%1[5m<b>"_s.arg(esc)
                                  << t("a red still green<b>")
                                  << C{none, QColor(0xff, 0, 0), QColor(0x80, 0xff, 0x80)};
  QTest::newRow("colour escape in a level line")
      << logLine(u"Warning"_s, esc + u"[37mgrey"_s) << t("Warning: grey")
      << C{warning, QColor(0xd3, 0xd3, 0xd3)};
}

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
