#include "app/Controller.h"
#include "app/MakeIcon.h"
#include "app/Preferences.h"
#include "runner/Console.h"
#include "runner/GameRunner.h"
#include "style/Style.h"
#include "style/widgets/IconWidget.h"
#include "widgets/console/BottomPanel.h"
#include "widgets/console/CommandLine.h"
#include "widgets/console/ConsoleFindBar.h"
#include "widgets/dialogs/MessageBox.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;
using namespace arvexhub::launcher;
using arvexhub::style::icons::Icons16;

class TestBottomPanel : public QObject {
  Q_OBJECT

  Controller* controller_{nullptr};
  std::unique_ptr<BottomPanel> panel_;
  QTemporaryDir dir_;

  /// Starts a script, by default one that only sleeps, named as given, and returns its path.
  QString startGame(const QString& name, const QByteArray& text = "#!/bin/bash\nsleep 30\n") {
    const QString path = dir_.filePath(name);
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly) || script.write(text) < 0 ||
        !script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
      return {};
    }
    script.close(); // a script still open for writing cannot be run
    controller_->runner()->start(path);
    return path;
  }
  bool showLines() {
    panel_->console()->add_line(u"first"_s);
    panel_->console()->add_line(u"second"_s);
    return QTest::qWaitFor([this] { return shownLog().contains(u"second"_s); });
  }
  QString shownLog() const {
    return panel_->console()->log_view()->toPlainText();
  }
  QList<QAction*> entries(QMenu* menu) const {
    QList<QAction*> actions = menu->actions();
    actions.removeIf([](const QAction* action) { return action->isSeparator(); });
    return actions;
  }

private slots:
  void initTestCase() {
    QCoreApplication::setOrganizationName(u"Arvex Games"_s);
    QCoreApplication::setApplicationName(u"Arvex Hub"_s);
    QApplication::setStyle(new arvexhub::style::Style);
  }
  void init() {
    QSettings(u"arvex-games"_s, u"arvex-hub"_s).clear();
    controller_ = new Controller;
    panel_ = std::make_unique<BottomPanel>(controller_);
    panel_->show();
  }
  void cleanup() {
    panel_.reset();
    delete controller_; // stops a game still running
  }

  void contextMenu_data() {
    QTest::addColumn<bool>("withText");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("clearedBy");
    QTest::newRow("empty") << false << false << QString();
    QTest::newRow("text, cleared with the button") << true << false << u"button"_s;
    QTest::newRow("selection, cleared from the menu") << true << true << u"menu"_s;
  }
  void contextMenu() {
    QFETCH(bool, withText);
    QFETCH(bool, selected);
    QFETCH(QString, clearedBy);
    auto* clear = panel_->findChild<QPushButton*>(u"clearButton"_s);
    QVERIFY(clear && !clear->isVisible());
    QVERIFY(!withText || showLines());
    QCOMPARE(clear->isVisible(), withText);
    if (selected) {
      panel_->console()->log_view()->selectAll();
    }
    std::unique_ptr<QMenu> menu(panel_->createContextMenu());
    const auto actions = entries(menu.get());
    QStringList texts;
    QList<bool> enabled;
    for (const auto* action : actions) {
      texts << action->text();
      enabled << action->isEnabled();
    }
    QCOMPARE(texts, (QStringList{u"Copy"_s, u"Select All"_s, u"Clear"_s, u"Save To File…"_s, u"Close"_s}));
    QCOMPARE(enabled, (QList<bool>{selected, withText, withText, withText, true}));
    QCOMPARE(actions.last()->shortcut(), QKeySequence(Qt::Key_F12));
    if (clearedBy == u"menu"_s) {
      actions.at(2)->trigger();
    } else if (!clearedBy.isEmpty()) {
      QTest::mouseClick(clear, Qt::LeftButton);
    }
    QTRY_VERIFY(!clear->isVisible());
    QVERIFY(shownLog().isEmpty());
    controller_->preferences()->setAppConsoleVisible(true);
    actions.last()->trigger();
    QVERIFY(!controller_->preferences()->appConsoleVisible());
  }

  // The window may close while the menu is open: nothing of the panel is touched afterwards.
  void panelGoesWhileItsMenuIsOpen() {
    QTimer::singleShot(0, this, [this] {
      QVERIFY(QApplication::activePopupWidget());
      panel_.reset();
    });
    emit panel_->console()->log_view()->customContextMenuRequested(QPoint(5, 5));
    QVERIFY(!panel_);
  }

  // A real game answers in the command-result format; the history outlives the panel.
  void commandLine() {
    auto* line = panel_->findChild<CommandLine*>(u"commandLine"_s);
    QVERIFY(!line->isEnabled() && line->placeholderText().contains(u"Start a game"_s));
    startGame(u"answers.command"_s,
              "#!/bin/bash\nn=0\nwhile IFS= read -r line; do\n"
              "  [ -z \"$line\" ] && continue\n"
              "  echo \"[ArvexHub] [4] Info: ====== Begin Lua command #$n ======\"\n"
              "  echo \"[ArvexHub] [4] Debug: got $line\"\n"
              "  echo \"[ArvexHub] [4] Info: ====== End Lua command #$n: success ======\"\n"
              "  n=$((n + 1))\ndone\n");
    QTRY_VERIFY(line->isEnabled());
    for (const QString& command : {u"first"_s, u"print(2)"_s, u"print(2)"_s, u"a\nb"_s}) {
      line->setText(command); // as pasted
      QTest::keyClick(line, Qt::Key_Return);
    }
    QTRY_COMPARE(shownLog(), u"> first\nDebug: got first\n> print(2)\nDebug: got print(2)\n> print(2)\n"
                             "Debug: got print(2)\n> a b\nDebug: got a b"_s);
    const QStringList history{u"first"_s, u"print(2)"_s, u"a b"_s}; // a repeat is kept once
    QCOMPARE(controller_->preferences()->consoleCommandHistory(), history);
    QTest::keyClicks(line, u"draft"_s);
    for (const auto& [key, shown] :
         {std::pair(Qt::Key_Up, u"a b"_s), std::pair(Qt::Key_Up, u"print(2)"_s),
          std::pair(Qt::Key_Up, u"first"_s), std::pair(Qt::Key_Up, u"first"_s),
          std::pair(Qt::Key_Down, u"print(2)"_s), std::pair(Qt::Key_Down, u"a b"_s),
          std::pair(Qt::Key_Down, u"draft"_s)}) {
      QTest::keyClick(line, key);
      QCOMPARE(line->text(), shown);
    }
    controller_->runner()->stop();
    QTRY_VERIFY(!line->isEnabled());
    panel_ = std::make_unique<BottomPanel>(controller_);
    line = panel_->findChild<CommandLine*>(u"commandLine"_s);
    QCOMPARE(line->history(), history);
    QStringList many;
    for (int i = 0; i < 150; ++i) {
      many << QString::number(i);
    }
    line->setHistory(many);
    QCOMPARE(line->history(), many.mid(50));
  }

  // Ctrl+F, the count, Enter and Shift+Enter round the ends, the Debug filter, Escape.
  void findAndDebugFilter() {
    Console* console = panel_->console();
    for (int i = 0; i < 30; ++i) {
      console->parse_output(u"[ArvexHub] [1] %1: apple %2"_s.arg(i % 3 ? u"Info"_s : u"Debug"_s).arg(i));
    }
    QTRY_COMPARE(console->log_view()->document()->blockCount(), 30);
    QTest::keyClick(console->log_view(), Qt::Key_F, Qt::ControlModifier);
    auto* bar = panel_->findChild<ConsoleFindBar*>(u"findBar"_s);
    QVERIFY(bar->isVisible());
    auto* field = bar->findChild<QLineEdit*>(u"findField"_s);
    auto* count = bar->findChild<QLabel*>(u"matchCount"_s);
    QTest::keyClicks(field, u"APPLE 2"_s);
    QCOMPARE(count->text(), u"1 of 11"_s); // 2, 20 to 29
    QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(count->text(), u"10 of 11"_s);
    QCOMPARE(console->log_view()->textCursor().block().text(), u"Info: apple 28"_s);
    QVERIFY(!console->log_view()->extraSelections().isEmpty()); // the matches on screen
    auto* debug = panel_->findChild<QAbstractButton*>(u"debugToggle"_s);
    debug->click(); // hides 21, 24, 27 and the same lines of a new Debug line
    console->parse_output(u"[ArvexHub] [1] Debug: apple 2"_s);
    QTRY_COMPARE(count->text(), u"7 of 8"_s);
    QTRY_COMPARE(console->messages().size(), 31);
    QVERIFY(!console->log_view()->document()->lastBlock().isVisible());
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(count->text(), u"8 of 8"_s);
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!bar->isVisible() && console->log_view()->extraSelections().isEmpty());
    debug->click();
    QTRY_VERIFY(console->log_view()->document()->lastBlock().isVisible());
    QTest::keyClick(panel_->findChild<CommandLine*>(u"commandLine"_s), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QCOMPARE(count->text(), u"11 of 12"_s); // from the match selected last
  }

  void save_data() {
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("chosen"); // relative to the target folder; empty: cancelled
    QTest::addColumn<bool>("fails");
    QTest::addColumn<bool>("remembered"); // the chosen file's folder becomes the next start folder
    QTest::newRow("no game") << false << u"log.txt"_s << false << true;
    QTest::newRow("game running") << true << u"log.txt"_s << false << true;
    QTest::newRow("cancelled") << false << QString() << false << false;
    QTest::newRow("missing folder") << false << u"missing/log.txt"_s << true << false;
    QTest::newRow("folder as file") << false << u"folder"_s << true << true;
  }
  void save() {
    QFETCH(bool, running);
    QFETCH(QString, chosen);
    QFETCH(bool, fails);
    QFETCH(bool, remembered);
    QTemporaryDir last, target;
    QVERIFY(QDir(target.path()).mkdir(u"folder"_s));
    controller_->preferences()->setAppLastConsoleSavePath(last.path());
    const QString game = running ? startGame(u"launcher.command"_s) : QString();
    QTRY_COMPARE(controller_->runner()->state(),
                 running ? GameRunner::State::Running : GameRunner::State::Stopped);
    // The header tells which game plays.
    const auto* playing = panel_->findChild<QLabel*>(u"playingLabel"_s);
    QVERIFY(playing && playing->text().contains(u"Playing:"_s));
    QCOMPARE(playing->isVisible(), running);
    QCOMPARE(panel_->findChild<QLabel*>(u"gameLabel"_s)->text(), running ? game : u"No game playing"_s);
    const auto image = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    QVERIFY(image(makeIcon(Icons16::Misc_Info)) != image(makeIcon(Icons16::Software_CommandLine)));
    QCOMPARE(image(panel_->findChild<arvexhub::style::IconWidget*>(u"statusIcon"_s)->icon()),
             image(makeIcon(running ? Icons16::Software_CommandLine : Icons16::Misc_Info)));
    QVERIFY(showLines());
    QString suggested;
    const QString path = chosen.isEmpty() ? QString() : target.filePath(chosen);
    panel_->setSaveFileNameProvider([&](const QString& name) {
      suggested = name;
      return path;
    });
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    std::unique_ptr<QMenu> menu(panel_->createContextMenu());
    entries(menu.get()).at(3)->trigger();
    QVERIFY(suggested.isEmpty()); // asked only once the menu has closed
    QTRY_VERIFY(!suggested.isEmpty());
    const auto match = QRegularExpression(u"^(.*)/(.*)_(\\d{8}_\\d{6})\\.txt$"_s).match(suggested);
    QVERIFY2(match.hasMatch(), qPrintable(suggested));
    QCOMPARE(match.captured(1), last.path());
    QCOMPARE(match.captured(2), running ? u"launcher"_s : QString());
    const auto stamp = QDateTime::fromString(match.captured(3), u"yyyyMMdd_HHmmss"_s);
    QVERIFY(stamp >= before && stamp <= QDateTime::currentDateTime());

    MessageBox* box = nullptr;
    for (auto* widget : QApplication::topLevelWidgets()) {
      if (auto* candidate = qobject_cast<MessageBox*>(widget); candidate && candidate->isVisible()) {
        box = candidate;
      }
    }
    QCOMPARE(box != nullptr, fails);
    QStringList expected{u"folder"_s};
    if (box) {
      QCOMPARE(box->type(), MessageBox::Error);
      QCOMPARE(box->buttons(), MessageBox::Buttons(MessageBox::Ok));
      QVERIFY(box->text().contains(path));
      box->close();
    } else if (!path.isEmpty()) {
      QFile written(path);
      QVERIFY(written.open(QIODevice::ReadOnly | QIODevice::Text));
      QCOMPARE(QString::fromUtf8(written.readAll()), shownLog());
      expected << chosen;
    }
    // Nothing else is left behind: no partial file, no temporary file.
    QCOMPARE(QDir(target.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), expected);
    QVERIFY(QDir(target.filePath(u"folder"_s)).isEmpty());
    QCOMPARE(controller_->preferences()->appLastConsoleSavePath(), remembered ? target.path() : last.path());
  }
};

QTEST_MAIN(TestBottomPanel)
#include "tst_bottompanel.moc"
