#include "app/Controller.h"
#include "app/MakeIcon.h"
#include "app/Preferences.h"
#include "runner/Console.h"
#include "runner/GameRunner.h"
#include "widgets/BottomPanel.h"
#include "widgets/MessageBox.h"

#include <style/Style.h>
#include <style/widgets/IconWidget.h>

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

#include <memory>

using namespace arvexhub::launcher;
using arvexhub::style::icons::Icons16;

class TestBottomPanel : public QObject {
  Q_OBJECT

  Controller* controller_{nullptr};
  std::unique_ptr<BottomPanel> panel_;
  QTemporaryDir dir_;

  /// Starts a script that only sleeps, named as given, and returns its path.
  QString startGame(const QString& name) {
    const QString path = dir_.filePath(name);
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly) || script.write("#!/bin/bash\nsleep 30\n") < 0 ||
        !script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
      return {};
    }
    script.close(); // a script still open for writing cannot be run
    controller_->runner()->start(path);
    return path;
  }
  bool showLines() {
    panel_->console()->add_line(QStringLiteral("first"));
    panel_->console()->add_line(QStringLiteral("second"));
    return QTest::qWaitFor([this] { return shownLog().contains(QStringLiteral("second")); });
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
    QCoreApplication::setOrganizationName(QStringLiteral("Arvex Games"));
    QCoreApplication::setApplicationName(QStringLiteral("Arvex Hub"));
    QApplication::setStyle(new arvexhub::style::Style);
  }
  void init() {
    QSettings(QStringLiteral("arvex-games"), QStringLiteral("arvex-hub")).clear();
    controller_ = new Controller;
    panel_ = std::make_unique<BottomPanel>(controller_);
    panel_->show();
  }
  void cleanup() {
    panel_.reset();
    delete controller_; // stops a game still running
  }

  void header_data() {
    QTest::addColumn<bool>("running");
    QTest::newRow("no game") << false;
    QTest::newRow("game running") << true;
  }
  void header() {
    QFETCH(bool, running);
    const QString path = running ? startGame(QStringLiteral("launcher.command")) : QString();
    const auto* playing = panel_->findChild<QLabel*>(QStringLiteral("playingLabel"));
    const auto* game = panel_->findChild<QLabel*>(QStringLiteral("gameLabel"));
    const auto* icon = panel_->findChild<arvexhub::style::IconWidget*>(QStringLiteral("statusIcon"));
    QVERIFY(playing && game && icon);
    QCOMPARE(playing->isVisible(), running);
    QVERIFY(playing->text().contains(QStringLiteral("Playing:")));
    QCOMPARE(game->text(), running ? path : QStringLiteral("No game playing"));
    const auto image = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    const QImage info = image(makeIcon(Icons16::Misc_Info)),
                 command = image(makeIcon(Icons16::Software_CommandLine));
    QVERIFY(info != command);
    QCOMPARE(image(icon->icon()), running ? command : info);
  }

  void clearButtonFollowsTheLog_data() {
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("button") << false;
    QTest::newRow("menu") << true;
  }
  void clearButtonFollowsTheLog() {
    QFETCH(bool, fromMenu);
    auto* clear = panel_->findChild<QPushButton*>(QStringLiteral("clearButton"));
    QVERIFY(clear);
    QVERIFY(!clear->isVisible());
    QVERIFY(showLines());
    QVERIFY(clear->isVisible());
    if (fromMenu) {
      std::unique_ptr<QMenu> menu(panel_->createContextMenu());
      entries(menu.get()).at(2)->trigger();
    } else {
      QTest::mouseClick(clear, Qt::LeftButton);
    }
    QTRY_VERIFY(!clear->isVisible());
    QVERIFY(shownLog().isEmpty());
  }

  void contextMenu_data() {
    QTest::addColumn<bool>("withText");
    QTest::addColumn<bool>("selected");
    QTest::newRow("empty") << false << false;
    QTest::newRow("text") << true << false;
    QTest::newRow("selection") << true << true;
  }
  void contextMenu() {
    QFETCH(bool, withText);
    QFETCH(bool, selected);
    QVERIFY(!withText || showLines());
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
    QCOMPARE(texts,
             (QStringList{QStringLiteral("Copy"), QStringLiteral("Select All"), QStringLiteral("Clear"),
                          QStringLiteral("Save To File…"), QStringLiteral("Close")}));
    QCOMPARE(enabled, (QList<bool>{selected, withText, withText, withText, true}));
    QCOMPARE(actions.last()->shortcut(), QKeySequence(Qt::Key_F12));
    controller_->preferences()->setAppConsoleVisible(true);
    actions.last()->trigger();
    QVERIFY(!controller_->preferences()->appConsoleVisible());
  }

  void save_data() {
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("chosen"); // relative to the target folder; empty: cancelled
    QTest::addColumn<bool>("fails");
    QTest::addColumn<bool>("remembered"); // the chosen file's folder becomes the next start folder
    QTest::newRow("no game") << false << QStringLiteral("log.txt") << false << true;
    QTest::newRow("game running") << true << QStringLiteral("log.txt") << false << true;
    QTest::newRow("cancelled") << false << QString() << false << false;
    QTest::newRow("missing folder") << false << QStringLiteral("missing/log.txt") << true << false;
    QTest::newRow("folder as file") << false << QStringLiteral("folder") << true << true;
  }
  void save() {
    QFETCH(bool, running);
    QFETCH(QString, chosen);
    QFETCH(bool, fails);
    QFETCH(bool, remembered);
    QTemporaryDir last, target;
    QVERIFY(QDir(target.path()).mkdir(QStringLiteral("folder")));
    controller_->preferences()->setAppLastConsoleSavePath(last.path());
    if (running) {
      QVERIFY(!startGame(QStringLiteral("launcher.command")).isEmpty());
      QTRY_COMPARE(controller_->runner()->state(), GameRunner::State::Running);
    }
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
    const auto match =
        QRegularExpression(QStringLiteral("^(.*)/(.*)_(\\d{8}_\\d{6})\\.txt$")).match(suggested);
    QVERIFY2(match.hasMatch(), qPrintable(suggested));
    QCOMPARE(match.captured(1), last.path());
    QCOMPARE(match.captured(2), running ? QStringLiteral("launcher") : QString());
    const auto stamp = QDateTime::fromString(match.captured(3), QStringLiteral("yyyyMMdd_HHmmss"));
    QVERIFY(stamp >= before && stamp <= QDateTime::currentDateTime());

    MessageBox* box = nullptr;
    for (auto* widget : QApplication::topLevelWidgets()) {
      if (auto* candidate = qobject_cast<MessageBox*>(widget); candidate && candidate->isVisible()) {
        box = candidate;
      }
    }
    QCOMPARE(box != nullptr, fails);
    QStringList expected{QStringLiteral("folder")};
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
    QVERIFY(QDir(target.filePath(QStringLiteral("folder"))).isEmpty());
    QCOMPARE(controller_->preferences()->appLastConsoleSavePath(), remembered ? target.path() : last.path());
  }
};

QTEST_MAIN(TestBottomPanel)
#include "tst_bottompanel.moc"
