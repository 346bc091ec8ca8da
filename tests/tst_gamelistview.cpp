#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/GameListModel.h"
#include "runner/GameRunner.h"
#include "widgets/CustomSplitter.h"
#include "widgets/GameListView.h"

#include <TestDir.h>
#include <TestHttpServer.h>

#include <style/Style.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace arvexhub::launcher;
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

QJsonObject entry(const char* name, const char* version, const QUrl& url) {
  return {{QStringLiteral("name"), QLatin1String(name)},
          {QStringLiteral("version"), QLatin1String(version)},
          {QStringLiteral("url"), url.toString()}};
}

/// A menu as text: one entry per action, "-" for a separator, "!" before a disabled entry and
/// the shortcut after a tab.
QStringList entries(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
    if (!action->shortcut().isEmpty()) {
      text += QLatin1Char('\t') + action->shortcut().toString();
    }
    texts.append(action->isEnabled() ? text : QLatin1Char('!') + text);
  }
  return texts;
}

QAction* entry(const QMenu* menu, const QString& text) {
  for (QAction* action : menu->actions()) {
    if (action->text() == text) {
      return action;
    }
  }
  return nullptr;
}

} // namespace

class TestGameListView final : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<Controller> controller_;
  std::unique_ptr<QWidget> window_;
  GameListView* view_{nullptr};
  QLineEdit* edit_{nullptr};
  QString boxTitle_;
  QString boxText_;

  GameListModel* games() const {
    return controller_->model();
  }
  /// Installs a game whose start script only waits; returns the script's path.
  QString install(const QString& name, const QByteArray& version = {}) {
    const QString script = home_->createFile(QStringLiteral(".arvexhub/games/%1/launcher.command").arg(name),
                                             "#!/bin/sh\nexec sleep 30\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!version.isEmpty()) {
      home_->createFile(QStringLiteral(".arvexhub/games/%1/VERSION").arg(name), version);
    }
    return script;
  }
  QString pathOf(const char* name) const {
    return games()->gameDataByName(QLatin1String(name)).path;
  }
  QModelIndex indexOf(const char* name) const {
    const auto* model = view_->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      if (model->index(row, 0).data().toString() == QLatin1String(name)) {
        return model->index(row, 0);
      }
    }
    return {};
  }
  QString currentName() const {
    return view_->currentIndex().data().toString();
  }
  QPoint centreOf(const char* name) const {
    return view_->visualRect(indexOf(name)).center();
  }
  void key(QWidget* target, QEvent::Type type, bool autoRepeat = false) {
    QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(target, &event);
  }
  /// Closes the next message box, noting its title and text.
  void answerMessageBox() {
    QTimer::singleShot(0, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        boxTitle_ = box->windowTitle();
        boxText_ = box->text();
        box->button(QMessageBox::Ok)->click();
      }
    });
  }

private slots:
  void initTestCase() {
    QCoreApplication::setOrganizationName(QStringLiteral("Arvex Games"));
    QCoreApplication::setApplicationName(QStringLiteral("Arvex Hub"));
    QApplication::setStyle(new arvexhub::style::Style);
  }

  void init() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("arvex-games"),
              QStringLiteral("arvex-hub"))
        .clear();
    home_ = std::make_unique<TestDir>();
    qputenv("HOME", home_->path().toUtf8());
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    install(QStringLiteral("Bravo"), "1.0");
    install(QStringLiteral("Charlie"));
    install(QStringLiteral("Echo"));
    install(QStringLiteral("Foxtrot"));
    // Alpha's archive never comes: its download stays busy for the whole test.
    TestHttpResponse stalled;
    stalled.body = QByteArray(1024, 'x');
    stalled.stallAfterBytes = 10;
    server_->setResponse(QStringLiteral("/alpha.zip"), stalled);
    TestHttpResponse catalogue;
    catalogue.body =
        QJsonDocument(QJsonArray{entry("Alpha", "1.0", server_->url(QStringLiteral("/alpha.zip"))),
                                 entry("Bravo", "2.0", server_->url(QStringLiteral("/bravo.zip"))),
                                 entry("Delta", "1.0", {}), entry("Foxtrot", "2.0", {})})
            .toJson();
    server_->setResponse(QStringLiteral("/games.json"), catalogue);

    controller_ = std::make_unique<Controller>();
    QSignalSpy merged(games(), &GameListModel::updateCheckFinished);
    QVERIFY(merged.wait(10000));
    window_ = std::make_unique<QWidget>();
    window_->resize(900, 600);
    view_ = new GameListView(controller_.get(), window_.get());
    view_->setGeometry(0, 0, 900, 560);
    edit_ = new QLineEdit(window_.get());
    edit_->setGeometry(0, 570, 900, 30);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QCOMPARE(view_->model()->rowCount(), 6);
  }

  void cleanup() {
    window_.reset();
    controller_.reset(); // stops a game still running
    server_.reset();
    home_.reset();
  }

  void nothingSelectedAtStart() {
    view_->setFocus();
    QVERIFY(!view_->currentIndex().isValid());
    QVERIFY(view_->selectionModel()->selectedIndexes().isEmpty());
    QVERIFY(games()->currentGameName().isEmpty());
  }

  void contextMenu_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("running");
    QTest::addColumn<QString>("expected");
    QTest::newRow("catalogue game with an offer") << "Alpha"
                                                  << ""
                                                  << "Download|-|!Play Game\tF5|-|Show Game Information";
    QTest::newRow("installed with an update") << "Bravo"
                                              << ""
                                              << "Update Game|-|Play Game\tF5|-|Show Game Information";
    QTest::newRow("installed, running") << "Charlie"
                                        << "Charlie"
                                        << "Stop Game|-|Show Game Information";
    QTest::newRow("installed, idle") << "Charlie"
                                     << ""
                                     << "Play Game\tF5|-|Show Game Information";
    QTest::newRow("another game running") << "Charlie"
                                          << "Echo"
                                          << "Play Game\tF5|-|Show Game Information";
    QTest::newRow("catalogue game without an offer") << "Delta"
                                                     << ""
                                                     << "!Play Game\tF5|-|Show Game Information";
  }
  void contextMenu() {
    QFETCH(QString, name);
    QFETCH(QString, running);
    QFETCH(QString, expected);
    games()->setCurrentPlayingGame(running.isEmpty() ? QString() : pathOf(running.toLatin1().constData()));
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(name.toLatin1().constData())));
    QVERIFY(menu);
    QCOMPARE(entries(menu.get()).join(QLatin1Char('|')), expected);
    QVERIFY(!view_->createContextMenu({}));
  }

  void playAndStopFromTheMenu() {
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf("Charlie")));
    entry(menu.get(), QStringLiteral("Play Game"))->trigger();
    QTRY_COMPARE(controller_->runner()->state(), GameRunner::State::Running);
    QCOMPARE(games()->currentPlayingGame(), pathOf("Charlie"));
    menu.reset(view_->createContextMenu(indexOf("Charlie")));
    entry(menu.get(), QStringLiteral("Stop Game"))->trigger();
    QTRY_COMPARE(controller_->runner()->state(), GameRunner::State::Stopped);
    QVERIFY(games()->currentPlayingGame().isEmpty());
  }

  void downloadFromTheMenu() {
    view_->setCurrentIndex(indexOf("Alpha"));
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf("Alpha")));
    entry(menu.get(), QStringLiteral("Download"))->trigger();
    QVERIFY(indexOf("Alpha").data(GameRole::IsBusy).toBool());
    QVERIFY(!view_->currentIndex().isValid());
    QVERIFY(games()->currentGameName().isEmpty());
    QVERIFY2(!view_->createContextMenu(indexOf("Alpha")), "no menu while the download runs");
  }

  void updateWithoutLinkIsReported() {
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf("Foxtrot")));
    QTest::ignoreMessage(
        QtWarningMsg,
        "Could not find online data or valid URL for game: \"Foxtrot\" to start download/update.");
    answerMessageBox();
    entry(menu.get(), QStringLiteral("Update Game"))->trigger();
    QCOMPARE(boxTitle_, QStringLiteral("Download Error"));
    QCOMPARE(boxText_, QStringLiteral("Could not find necessary information to download the game."));
    QVERIFY(!indexOf("Foxtrot").data(GameRole::IsBusy).toBool());
  }

  void showGameInformation() {
    controller_->preferences()->setAppPropertiesPanelVisible(false);
    view_->setCurrentIndex(indexOf("Bravo"));
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf("Charlie")));
    entry(menu.get(), QStringLiteral("Show Game Information"))->trigger();
    QCOMPARE(games()->currentGameName(), QStringLiteral("Charlie"));
    QCOMPARE(currentName(), QStringLiteral("Charlie"));
    QVERIFY(controller_->preferences()->appPropertiesPanelVisible());
  }

  void startsTheCurrentGame_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("starts");
    for (const char* how : {"double-click", "Return", "Enter", "Space"}) {
      QTest::addRow("%s on an installed game", how) << how << "Charlie" << true;
      QTest::addRow("%s on a catalogue game", how) << how << "Delta" << false;
    }
  }
  void startsTheCurrentGame() {
    QFETCH(QString, how);
    QFETCH(QString, name);
    QFETCH(bool, starts);
    // Another game runs: asking for a game without a start script must not stop it.
    controller_->playGame(pathOf("Echo"));
    QTRY_COMPARE(controller_->runner()->state(), GameRunner::State::Running);
    const QModelIndex target = indexOf(name.toLatin1().constData());
    view_->setFocus();
    view_->setCurrentIndex(target);
    if (how == QLatin1String("double-click")) {
      const QPoint centre = view_->visualRect(target).center();
      QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, centre); // the view needs the press first
      QTest::mouseDClick(view_->viewport(), Qt::LeftButton, {}, centre);
    } else {
      const Qt::Key key = how == QLatin1String("Return")  ? Qt::Key_Return
                          : how == QLatin1String("Enter") ? Qt::Key_Enter
                                                          : Qt::Key_Space;
      QTest::keyPress(view_, key);
      QCOMPARE(games()->currentPlayingGame(), pathOf("Echo"));
      QVERIFY2(view_->currentIndex() == target, "the key is not passed on");
      QTest::keyRelease(view_, key);
    }
    if (starts) {
      QTRY_COMPARE(games()->currentPlayingGame(), target.data(GameRole::Path).toString());
    } else {
      QCOMPARE(games()->currentPlayingGame(), pathOf("Echo"));
      QCOMPARE(controller_->runner()->state(), GameRunner::State::Running);
    }
  }

  void keyActivation_data() {
    // f: focus to the view (V) or the edit (E); p, r, a: press, release, auto-repeated release
    // of Return, sent to the view (V) or the edit (E).
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("starts");
    QTest::newRow("press and release") << "fV pV rV" << true;
    QTest::newRow("auto-repeated release") << "fV pV aV" << false;
    QTest::newRow("held, then released") << "fV pV aV pV aV pV rV" << true;
    QTest::newRow("pressed in another widget") << "fE pE fV rV" << false;
    QTest::newRow("press left behind by a focus change") << "fV pV fE rE pE fV rV" << false;
    QTest::newRow("view without focus") << "fE pV rV" << false;
  }
  void keyActivation() {
    QFETCH(QString, steps);
    QFETCH(bool, starts);
    view_->setCurrentIndex(indexOf("Charlie"));
    for (const QString& step : steps.split(QLatin1Char(' '))) {
      QVERIFY2(games()->currentPlayingGame().isEmpty(), "nothing starts before the last step");
      QWidget* target = step.at(1) == QLatin1Char('V') ? static_cast<QWidget*>(view_) : edit_;
      switch (step.at(0).toLatin1()) {
      case 'f':
        target->setFocus();
        QVERIFY(target->hasFocus());
        break;
      case 'p':
        key(target, QEvent::KeyPress);
        break;
      case 'a':
        key(target, QEvent::KeyRelease, true);
        key(target, QEvent::KeyPress, true);
        break;
      default:
        key(target, QEvent::KeyRelease);
      }
    }
    QCOMPARE(games()->currentPlayingGame(), starts ? pathOf("Charlie") : QString());
  }

  void keysWithoutFocusAreIgnored() {
    view_->setCurrentIndex(indexOf("Bravo"));
    edit_->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(view_, &press);
    QVERIFY(!press.isAccepted());
    QCOMPARE(currentName(), QStringLiteral("Bravo"));
  }

  void clickOnEmptySpaceClearsTheCurrentGame() {
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, centreOf("Charlie"));
    QCOMPARE(games()->currentGameName(), QStringLiteral("Charlie"));
    const QPoint empty(view_->viewport()->width() - 2, view_->viewport()->height() - 2);
    QVERIFY(!view_->indexAt(empty).isValid());
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, empty);
    QVERIFY(!view_->currentIndex().isValid());
    QVERIFY(view_->selectionModel()->selectedIndexes().isEmpty());
    QVERIFY(games()->currentGameName().isEmpty());
  }

  void dragKeepsTheSelection() {
    QTest::mousePress(view_->viewport(), Qt::LeftButton, {}, centreOf("Bravo"));
    QMouseEvent move(QEvent::MouseMove, centreOf("Delta"), view_->viewport()->mapToGlobal(centreOf("Delta")),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view_->viewport(), &move);
    QTest::mouseRelease(view_->viewport(), Qt::LeftButton, {}, centreOf("Delta"));
    QCOMPARE(view_->selectionModel()->selectedIndexes(), QModelIndexList{indexOf("Bravo")});
  }

  void followsTheModelsCurrentGame_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("selected");
    QTest::newRow("same case") << "Charlie"
                               << "Charlie";
    QTest::newRow("other case") << "cHARLIE"
                                << "Charlie";
    QTest::newRow("unknown game") << "Zulu"
                                  << "Bravo";
  }
  void followsTheModelsCurrentGame() {
    QFETCH(QString, name);
    QFETCH(QString, selected);
    view_->setCurrentIndex(indexOf("Bravo"));
    games()->setCurrentGameName(name);
    QCOMPARE(currentName(), selected);
    QCOMPARE(view_->selectionModel()->selectedIndexes(), QModelIndexList{view_->currentIndex()});
  }

  void hintOnlyWhenEmpty_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("hint");
    QTest::newRow("no game shown") << "Zulu" << true;
    QTest::newRow("one game shown") << "Charlie" << false;
  }
  void hintOnlyWhenEmpty() {
    QFETCH(QString, filter);
    QFETCH(bool, hint);
    games()->proxyModel()->setFilterFixedString(filter);
    const QImage image = view_->viewport()->grab().toImage();
    const auto& theme = arvexhub::style::Style::themeOf(view_);
    QRect drawn;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) == theme.secondaryAlternativeColor) {
          drawn |= QRect(x, y, 1, 1);
        }
      }
    }
    QCOMPARE(!drawn.isEmpty(), hint);
    if (hint) {
      // Centred, and as wide as the text in the heading font.
      const int width =
          QFontMetrics(theme.fontH2).horizontalAdvance(QStringLiteral("No Arvex games added yet."));
      QVERIFY2(qAbs(drawn.center().x() - image.rect().center().x()) <= 2,
               qPrintable(QString::number(drawn.center().x())));
      QVERIFY2(qAbs(drawn.center().y() - image.rect().center().y()) <= 4,
               qPrintable(QString::number(drawn.center().y())));
      QVERIFY2(qAbs(drawn.width() - width) <= 4, qPrintable(QString::number(drawn.width())));
    }
  }

  void splitterReportsHandleRelease_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("reports");
    QTest::newRow("left button") << Qt::LeftButton << 1;
    QTest::newRow("right button") << Qt::RightButton << 0;
  }
  void splitterReportsHandleRelease() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, reports);
    CustomSplitter splitter;
    splitter.setOrientation(Qt::Vertical);
    splitter.addWidget(new QWidget);
    splitter.addWidget(new QWidget);
    splitter.resize(200, 200);
    splitter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splitter));
    QSignalSpy released(&splitter, &CustomSplitter::handleMouseReleased);
    QTest::mousePress(splitter.handle(1), button);
    QTest::mouseRelease(splitter.handle(1), button);
    QCOMPARE(released.count(), reports);
  }
};

QTEST_MAIN(TestGameListView)
#include "tst_gamelistview.moc"
