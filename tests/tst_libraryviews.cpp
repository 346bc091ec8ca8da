// The grids of the four library tabs: what they do alike, in tables over the kinds, then what
// each kind does on its own.

#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/LibraryProxyModel.h"
#include "library/SongListModel.h"
#include "runner/GameRunner.h"
#include "style/Style.h"
#include "style/widgets/Expander.h"
#include "widgets/panels/AlbumPropertiesPanel.h"
#include "widgets/views/AlbumListView.h"
#include "widgets/views/AlbumWidget.h"
#include "widgets/views/EbookListView.h"
#include "widgets/views/GameListView.h"
#include "widgets/views/MovieListView.h"
#include "widgets/views/SongListView.h"
#include "widgets/window/CustomSplitter.h"
#include "widgets/window/MainWindow.h"

#include "LibraryKinds.h"
#include "TestHttpServer.h"

#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace arvexhub::launcher;
using arvexhub::style::Style;
using namespace arvexhub::test;

namespace {

/// A menu as text: one entry per action, "-" for a separator, "!" before a disabled entry and
/// the shortcut after a tab; empty for no menu.
QString entries(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu != nullptr ? menu->actions() : QList<QAction*>()) {
    QString text = action->isSeparator() ? u"-"_s : action->text();
    if (!action->shortcut().isEmpty()) {
      text += QLatin1Char('\t') + action->shortcut().toString();
    }
    texts.append(action->isEnabled() ? text : QLatin1Char('!') + text);
  }
  return texts.join(QLatin1Char('|'));
}

void trigger(const QMenu* menu, const QString& text) {
  for (QAction* action : menu->actions()) {
    if (action->text() == text) {
      return action->trigger();
    }
  }
  QFAIL(qPrintable(u"no entry "_s + text));
}

bool near(const QColor& actual, const QColor& expected) {
  const auto close = [](int a, int b) { return std::abs(a - b) <= 3; };
  return close(actual.red(), expected.red()) && close(actual.green(), expected.green()) &&
         close(actual.blue(), expected.blue()) && close(actual.alpha(), expected.alpha());
}

QStringList secondArguments(const QSignalSpy& spy) {
  QStringList list;
  for (const auto& arguments : spy) {
    list.append(arguments.at(1).toString());
  }
  return list;
}

} // namespace

class TestLibraryViews final : public QObject, private LibraryFixture {
  Q_OBJECT

  std::unique_ptr<Controller> controller_;
  std::unique_ptr<QWidget> window_;
  LibraryListView* view_{nullptr};
  QLineEdit* edit_{nullptr};
  KindUnderTest kind_;

  void serve(const QString& path, const QByteArray& body, qint64 stallAfter = -1, int delayMs = 0) {
    TestHttpResponse response;
    response.body = body;
    response.stallAfterBytes = stallAfter;
    response.delayMs = delayMs;
    server_->setResponse(path, response);
  }
  QString link(const QString& kind, const char* file) const {
    return server_->url(QLatin1Char('/') + kind + QLatin1Char('/') + QLatin1String(file)).toString();
  }
  /// Shows the grid of that kind (with a line edit below it to take the focus).
  void showView(const QString& kind) {
    kind_ = kindUnderTest(modelOf(controller_.get(), kind));
    window_ = std::make_unique<QWidget>();
    window_->resize(900, 600);
    if (kind == QLatin1String("games")) {
      view_ = new GameListView(controller_.get(), window_.get());
    } else if (kind == QLatin1String("movies")) {
      view_ = new MovieListView(controller_.get(), window_.get());
    } else if (kind == QLatin1String("ebooks")) {
      view_ = new EbookListView(controller_.get(), window_.get());
    } else {
      view_ = new AlbumListView(controller_.get(), window_.get());
    }
    view_->setGeometry(0, 0, 900, 560);
    edit_ = new QLineEdit(window_.get());
    edit_->setGeometry(0, 570, 900, 30);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }
  QModelIndex indexOf(const QString& name) const {
    return kind_.model->proxyModel()->mapFromSource(kind_.indexOf(name));
  }
  QString currentName() const {
    return view_->currentIndex().data(kind_.nameRole).toString();
  }
  void doubleClick(QAbstractItemView* view, const QModelIndex& index) {
    const QPoint centre = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre); // the view needs the press first
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
  }
  QColor cardPixel(const QString& name, const QPoint& offset) const {
    return view_->viewport()->grab().toImage().pixelColor(view_->visualRect(indexOf(name)).topLeft() +
                                                          offset);
  }
  /// Opens an installed item the way the user's request reaches the controller.
  void open(const QString& path) {
    const QList<void (Controller::*)(const QString&)> opens{
        &Controller::playGame, &Controller::playMovie, &Controller::readEbook, &Controller::playWholeAlbum};
    (controller_.get()->*opens.at(libraryKinds().indexOf(kind_.name)))(path);
  }

private slots:
  void initTestCase() {
    QCoreApplication::setOrganizationName(u"Arvex Games"_s);
    QCoreApplication::setApplicationName(u"Arvex Hub"_s);
    QApplication::setStyle(new Style);
  }

  // Every kind has "Ocean" and "Space" installed ("Space" with its own picture), "River" in the
  // catalogue with a download that never ends, and "Comet" with one that installs and a cover.
  // Movies and games also have "Delta" without a link; games "Bravo" with an update and
  // "Foxtrot" with an update but no link.
  void init() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, u"arvex-games"_s, u"arvex-hub"_s).clear();
    QVERIFY(setUpLibrary());
    for (const QString& kind : libraryKinds()) {
      installItem(*home_, kind, u"Space"_s, true);
      serve(QLatin1Char('/') + kind + u"/river.zip"_s, QByteArray(4096, 'r'), 10);
      serve(QLatin1Char('/') + kind + u"/comet.zip"_s, archiveOf(kind));
      serve(QLatin1Char('/') + kind + u"/comet.png"_s, pngOf(Qt::blue));
      QJsonArray catalogue{catalogueEntry(u"River"_s, link(kind, "river.zip")),
                           catalogueEntry(u"Comet"_s, link(kind, "comet.zip"), link(kind, "comet.png"))};
      if (kind == QLatin1String("albums")) {
        // A folder with a dot: the album is "Ocean", its folder "Ocean.Live".
        for (const char* song : {"b.mp3", "a.wav", "c.ogg"}) {
          home_->createFile(u".arvexhub/albums/Ocean.Live/"_s + QLatin1String(song), "x");
        }
      } else {
        installItem(*home_, kind, u"Ocean"_s);
        catalogue.append(catalogueEntry(u"Space"_s, link(kind, "space.zip"), {}, u"Space <Odyssey>"_s));
      }
      if (kind == QLatin1String("games") || kind == QLatin1String("movies")) {
        catalogue.append(catalogueEntry(u"Delta"_s));
      }
      if (kind == QLatin1String("games")) {
        catalogue.removeAt(2); // installed games without an update: playing one asks nothing
        installItem(*home_, kind, u"Bravo"_s);
        home_->createFile(u".arvexhub/games/Bravo/VERSION"_s, "1.0");
        installItem(*home_, kind, u"Foxtrot"_s);
        auto bravo = catalogueEntry(u"Bravo"_s, link(kind, "bravo.zip"));
        bravo.insert(u"version"_s, u"2.0"_s);
        auto foxtrot = catalogueEntry(u"Foxtrot"_s);
        foxtrot.insert(u"version"_s, u"2.0"_s);
        catalogue.append(bravo);
        catalogue.append(foxtrot);
      }
      serve(documentOf(kind), QJsonDocument(catalogue).toJson());
    }
    controller_ = std::make_unique<Controller>();
    std::vector<std::unique_ptr<QSignalSpy>> merged;
    for (const QString& kind : libraryKinds()) {
      merged.push_back(
          std::make_unique<QSignalSpy>(modelOf(controller_.get(), kind), &LibraryModel::updateCheckFinished));
    }
    for (const auto& spy : merged) {
      QVERIFY(spy->count() > 0 || spy->wait(10000));
    }
  }

  void cleanup() {
    window_.reset();
    controller_.reset(); // stops a game still running
    tearDownLibrary();
  }

  void startsWithoutCurrentItem_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("focusMakesCurrent");
    QTest::addColumn<bool>("checkItem"); // the panel of movies keeps the first movie
    QTest::newRow("games") << "games" << false << true;
    QTest::newRow("movies") << "movies" << false << false;
    QTest::newRow("ebooks") << "ebooks" << false << true;
    QTest::newRow("albums: the focus makes the first album current") << "albums" << true << false;
  }
  void startsWithoutCurrentItem() {
    QFETCH(QString, kind);
    QFETCH(bool, focusMakesCurrent);
    QFETCH(bool, checkItem);
    showView(kind);
    view_->setFocus();
    QCOMPARE(view_->currentIndex(), focusMakesCurrent ? view_->model()->index(0, 0) : QModelIndex());
    QVERIFY(view_->selectionModel()->selectedIndexes().isEmpty());
    if (checkItem) {
      QVERIFY(kind_.currentName().isEmpty());
    }
  }

  void contextMenu_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("playing");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* tag, const char* kind, const char* name, const char* playing,
                        const char* expected) { QTest::newRow(tag) << kind << name << playing << expected; };
    row("game in the catalogue", "games", "Comet", "", "Download|-|!Play Game\tF5|-|Show Game Information");
    row("game with an update", "games", "Bravo", "", "Update Game|-|Play Game\tF5|-|Show Game Information");
    row("game running", "games", "Ocean", "Ocean", "Stop Game|-|Show Game Information");
    row("game idle", "games", "Ocean", "", "Play Game\tF5|-|Show Game Information");
    row("another game running", "games", "Ocean", "Space", "Play Game\tF5|-|Show Game Information");
    row("game without an offer", "games", "Delta", "", "!Play Game\tF5|-|Show Game Information");
    row("game downloading", "games", "River", "", "Pause|Cancel Download");
    row("movie in the catalogue", "movies", "Comet", "", "Download|-|!Watch Movie|-|Show Movie Information");
    row("movie without a link", "movies", "Delta", "", "!Watch Movie|-|Show Movie Information");
    row("movie installed", "movies", "Ocean", "",
        "Watch Movie|-|Add to Media Player Playlist|-|Show Movie Information");
    row("another movie plays", "movies", "Ocean", "Space",
        "Watch Movie|-|Add to Media Player Playlist|-|Show Movie Information");
    row("movie playing", "movies", "Space", "Space",
        "Stop Movie|-|Add to Media Player Playlist|-|Show Movie Information");
    row("movie downloading", "movies", "River", "", "Pause|Cancel Download");
    row("book in the catalogue", "ebooks", "Comet", "", "Download|-|!Read Ebook|-|Show Ebook Information");
    row("book installed", "ebooks", "Ocean", "", "Read Ebook|-|Show Ebook Information|-|Remove Ebook");
    row("book downloading", "ebooks", "River", "", "Pause|Cancel Download");
    row("album installed", "albums", "Ocean", "",
        "Play Album|Add Album to Playlist|-|Show Album Information");
    row("album in the catalogue", "albums", "Comet", "", "Download Album|-|Show Album Information");
    row("album downloading", "albums", "River", "", "Pause|Cancel Download");
  }
  void contextMenu() {
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, playing);
    QFETCH(QString, expected);
    showView(kind);
    kind_.download(u"River"_s);
    QVERIFY(kind_.isBusy(u"River"_s));
    kind_.setPlaying(playing.isEmpty() ? QString() : kind_.pathOf(playing));
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(name)));
    QCOMPARE(entries(menu.get()), expected);
    QVERIFY(!view_->createContextMenu({}));
  }

  void activation_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("outcome"); // "opens", "downloads" or "nothing"
    const auto add = [](const QByteArray& tag, const char* kind, const char* how, const char* name,
                        const char* result) {
      QTest::newRow(tag.constData()) << kind << how << name << result;
    };
    for (const char* kind : {"games", "movies", "ebooks"}) {
      const QByteArray of = kind + QByteArray(": ");
      for (const char* how : {"double-click", "Return", "Enter", "Space"}) {
        add(of + how + " on an installed item", kind, how, "Ocean", "opens");
        if (QLatin1String(kind) != QLatin1String("ebooks")) {
          add(of + how + " without a link", kind, how, "Delta", "nothing");
        }
      }
      if (QLatin1String(kind) != QLatin1String("games")) {
        add(of + "double-click in the catalogue", kind, "double-click", "Comet", "downloads");
        add(of + "Return in the catalogue", kind, "Return", "Comet", "nothing");
      }
      add(of + "auto-repeated Return", kind, "repeat", "Ocean", "nothing");
    }
    add("albums: double-click on an installed album", "albums", "double-click", "Ocean", "opens");
    add("albums: double-click in the catalogue", "albums", "double-click", "Comet", "downloads");
    add("albums: keys do not open an album", "albums", "Return", "Ocean", "nothing");
  }
  void activation() {
    QFETCH(QString, kind);
    QFETCH(QString, how);
    QFETCH(QString, name);
    QFETCH(QString, outcome);
    showView(kind);
    // Another item is open: asking to open one that cannot be must not close it.
    const QString other = kind_.pathOf(u"Space"_s);
    open(other);
    QTRY_COMPARE(kind_.playing(), other);
    const QModelIndex target = indexOf(name);
    view_->setFocus();
    view_->setCurrentIndex(target);
    if (how == QLatin1String("double-click")) {
      doubleClick(view_, target);
    } else {
      const Qt::Key key = how == QLatin1String("Enter")   ? Qt::Key_Enter
                          : how == QLatin1String("Space") ? Qt::Key_Space
                                                          : Qt::Key_Return;
      QTest::keyPress(view_, key);
      QCOMPARE(kind_.playing(), other);
      QVERIFY2(view_->currentIndex() == target, "the key is not passed on");
      QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), how == QLatin1String("repeat"));
      QApplication::sendEvent(view_, &release);
    }
    if (outcome == QLatin1String("opens")) {
      QTRY_COMPARE(kind_.playing(), target.data(kind_.pathRole).toString());
    } else {
      QCOMPARE(kind_.playing(), other);
    }
    QCOMPARE(target.data(kind_.busyRole).toBool(), outcome == QLatin1String("downloads"));
    if (kind == QLatin1String("games")) {
      QTRY_COMPARE(controller_->runner()->state(), GameRunner::State::Running);
    }
  }

  void keySequences_data() {
    // f: focus to the view (V) or the edit (E); p, r, a: press, release, auto-repeated release
    // of Return, sent to the view (V) or the edit (E).
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("opens");
    for (const char* kind : {"games", "movies", "ebooks"}) {
      QTest::addRow("%s: press and release", kind) << kind << "fV pV rV" << true;
      QTest::addRow("%s: auto-repeated release", kind) << kind << "fV pV aV" << false;
      QTest::addRow("%s: held, then released", kind) << kind << "fV pV aV pV aV pV rV" << true;
      QTest::addRow("%s: pressed in another widget", kind) << kind << "fE pE fV rV" << false;
      QTest::addRow("%s: press left behind by a focus change", kind)
          << kind << "fV pV fE rE pE fV rV" << false;
      QTest::addRow("%s: view without focus", kind) << kind << "fE pV rV" << false;
    }
  }
  void keySequences() {
    QFETCH(QString, kind);
    QFETCH(QString, steps);
    QFETCH(bool, opens);
    showView(kind);
    view_->setCurrentIndex(indexOf(u"Ocean"_s));
    for (const QString& step : steps.split(QLatin1Char(' '))) {
      QVERIFY2(kind_.playing().isEmpty(), "nothing opens before the last step");
      QWidget* target = step.at(1) == QLatin1Char('V') ? static_cast<QWidget*>(view_) : edit_;
      const auto key = [target](QEvent::Type type, bool autoRepeat) {
        QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(target, &event);
      };
      switch (step.at(0).toLatin1()) {
      case 'f':
        target->setFocus();
        QVERIFY(target->hasFocus());
        break;
      case 'p':
        key(QEvent::KeyPress, false);
        break;
      case 'a':
        key(QEvent::KeyRelease, true);
        key(QEvent::KeyPress, true);
        break;
      default:
        key(QEvent::KeyRelease, false);
      }
    }
    QCOMPARE(kind_.playing(), opens ? kind_.pathOf(u"Ocean"_s) : QString());
    // Nor does a key without the focus move the selection.
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    edit_->setFocus();
    QApplication::sendEvent(view_, &right);
    QVERIFY(!right.isAccepted());
    QCOMPARE(currentName(), u"Ocean"_s);
  }

  void clickOnEmptySpaceClearsTheSelection_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("itemCleared");
    QTest::newRow("games") << "games" << true;
    QTest::newRow("movies: the panel keeps the movie") << "movies" << false;
    QTest::newRow("ebooks") << "ebooks" << true;
    QTest::newRow("albums") << "albums" << true;
  }
  void clickOnEmptySpaceClearsTheSelection() {
    QFETCH(QString, kind);
    QFETCH(bool, itemCleared);
    showView(kind);
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, view_->visualRect(indexOf(u"Ocean"_s)).center());
    QCOMPARE(kind_.currentName(), u"Ocean"_s);
    const QPoint empty(view_->viewport()->width() - 2, view_->viewport()->height() - 2);
    QVERIFY(!view_->indexAt(empty).isValid());
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, empty);
    QVERIFY(!view_->currentIndex().isValid());
    QVERIFY(view_->selectionModel()->selectedIndexes().isEmpty());
    QCOMPARE(kind_.currentName(), itemCleared ? QString() : u"Ocean"_s);
  }

  void followsTheModelsCurrentItem_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("selected");
    for (const QString& kind : libraryKinds()) {
      QTest::addRow("%s: same case", qPrintable(kind)) << kind << "Ocean"
                                                       << "Ocean";
      QTest::addRow("%s: other case", qPrintable(kind)) << kind << "oCEAN"
                                                        << "Ocean";
      QTest::addRow("%s: unknown item", qPrintable(kind)) << kind << "Zulu"
                                                          << "Space";
    }
  }
  void followsTheModelsCurrentItem() {
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, selected);
    showView(kind);
    view_->setCurrentIndex(indexOf(u"Space"_s));
    QCOMPARE(kind_.currentName(), u"Space"_s);
    kind_.setCurrentName(name);
    QCOMPARE(currentName(), selected);
    QCOMPARE(view_->selectionModel()->selectedIndexes(), QModelIndexList{view_->currentIndex()});
  }

  void hintOnlyWhenEmpty_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<LibraryProxyModel::Filter>("rows");
    QTest::addColumn<QString>("hint"); // empty: none
    const QStringList hints{u"No Arvex games added yet."_s, u"No movies added yet."_s,
                            u"No ebooks added yet."_s, u"No albums added yet."_s};
    constexpr auto all = LibraryProxyModel::Filter::All;
    for (int i = 0; i < hints.size(); ++i) {
      const QString kind = libraryKinds().at(i);
      QTest::addRow("%s: nothing shown", qPrintable(kind)) << kind << "Zulu" << all << hints.at(i);
      QTest::addRow("%s: one item shown", qPrintable(kind)) << kind << "Ocean" << all << QString();
      QTest::addRow("%s: hidden by the Installed filter", qPrintable(kind))
          << kind << "River" << LibraryProxyModel::Filter::Installed
          << u"Nothing here matches the chosen filter."_s;
    }
  }
  void hintOnlyWhenEmpty() {
    QFETCH(QString, kind);
    QFETCH(QString, filter);
    QFETCH(LibraryProxyModel::Filter, rows);
    QFETCH(QString, hint);
    showView(kind);
    kind_.model->proxyModel()->setFilterFixedString(filter);
    kind_.model->libraryProxy()->setRowFilter(rows);
    const QImage image = view_->viewport()->grab().toImage();
    const auto& theme = Style::themeOf(view_);
    QRect drawn;
    for (int y = image.height() / 4; y < image.height(); ++y) { // below the cards
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) == theme.secondaryAlternativeColor) {
          drawn |= QRect(x, y, 1, 1);
        }
      }
    }
    QCOMPARE(!drawn.isEmpty(), !hint.isEmpty());
    if (!hint.isEmpty()) {
      // Centred, and as wide as the text in the heading font.
      const int width = QFontMetrics(theme.fontH2).tightBoundingRect(hint).width();
      QCOMPARE_LE(qAbs(drawn.center().x() - image.rect().center().x()), 2);
      QCOMPARE_LE(qAbs(drawn.center().y() - image.rect().center().y()), 4);
      QCOMPARE_LE(qAbs(drawn.width() - width), 4);
    }
  }

  void menuEntriesAct_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("information");
    QTest::addColumn<QString>("openEntry");
    QTest::addColumn<QString>("stopEntry");
    const auto add = [](const char* kind, const char* information, const char* open, const char* stop) {
      QTest::newRow(kind) << kind << information << open << stop;
    };
    add("games", "Show Game Information", "Play Game", "Stop Game");
    add("movies", "Show Movie Information", "Watch Movie", "Stop Movie");
    add("ebooks", "Show Ebook Information", "Read Ebook", "");
    add("albums", "Show Album Information", "Play Album", "");
  }
  void menuEntriesAct() {
    QFETCH(QString, kind);
    QFETCH(QString, information);
    QFETCH(QString, openEntry);
    QFETCH(QString, stopEntry);
    showView(kind);
    const QString ocean = u"Ocean"_s;
    controller_->preferences()->setAppPropertiesPanelVisible(false);
    view_->setCurrentIndex(indexOf(u"Space"_s));
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(ocean)));
    trigger(menu.get(), information);
    QCOMPARE(kind_.currentName(), ocean);
    QCOMPARE(currentName(), ocean);
    QVERIFY(controller_->preferences()->appPropertiesPanelVisible());

    trigger(menu.get(), openEntry);
    QTRY_COMPARE(kind_.playing(), kind_.pathOf(ocean));
    QVERIFY(indexOf(ocean).data(kind_.playingRole).toBool());
    const bool game = kind == QLatin1String("games");
    QTRY_VERIFY(!game || controller_->runner()->state() == GameRunner::State::Running);
    if (!stopEntry.isEmpty()) {
      menu.reset(view_->createContextMenu(indexOf(ocean)));
      trigger(menu.get(), stopEntry);
      QTRY_VERIFY(kind_.playing().isEmpty());
      QTRY_VERIFY(!game || controller_->runner()->state() == GameRunner::State::Stopped);
    }
  }

  void downloadFromTheMenu_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("clearsCurrent");
    QTest::newRow("games") << "games" << u"Download"_s << true;
    QTest::newRow("movies") << "movies" << u"Download"_s << false;
    QTest::newRow("ebooks") << "ebooks" << u"Download"_s << false;
    QTest::newRow("albums") << "albums" << u"Download Album"_s << false;
  }
  void downloadFromTheMenu() {
    QFETCH(QString, kind);
    QFETCH(QString, entry);
    QFETCH(bool, clearsCurrent);
    showView(kind);
    const QString river = u"River"_s;
    view_->setCurrentIndex(indexOf(river));
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(river)));
    trigger(menu.get(), entry);
    QVERIFY(kind_.isBusy(river));
    QCOMPARE(!view_->currentIndex().isValid(), clearsCurrent);
    QCOMPARE(kind_.currentName().isEmpty(), clearsCurrent);
    menu.reset(view_->createContextMenu(indexOf(river))); // while the download runs
    QCOMPARE(entries(menu.get()), u"Pause|Cancel Download"_s);
  }

  void downloadThenOpen_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("installed"); // relative to the kind's folder
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("requested"); // the first file asked for, relative to the item's folder
    QTest::addColumn<QString>("art");       // the album's cover for the player, relative to its folder
    const auto add = [](const char* tag, const char* kind, const char* installed, const char* request,
                        const char* requested, const char* art) {
      QTest::newRow(tag) << kind << installed << QByteArray(request) << requested << art;
    };
    add("movies", "movies", "Comet/feature.mp4", SIGNAL(playMovieRequested(QUrl)), "feature.mp4", "");
    add("ebooks", "ebooks", "Comet/book.pdf", SIGNAL(readEbookRequested(QUrl, QString)), "book.pdf", "");
    add("albums: songs by name", "albums", "Comet", SIGNAL(playAlbumRequested(QUrl, QString)), "1 Green.mp3",
        "Comet.png");
  }
  void downloadThenOpen() {
    QFETCH(QString, kind);
    QFETCH(QString, installed);
    QFETCH(QByteArray, request);
    QFETCH(QString, requested);
    QFETCH(QString, art);
    showView(kind);
    const QString comet = u"Comet"_s;
    const int grey = qGray(QColor(Qt::blue).rgb());
    QTRY_VERIFY(near(cardPixel(comet, {100, 51}), QColor(grey, grey, grey))); // not installed: in grey
    QSignalSpy finished(kind_.model, kind_.downloadFinished);
    QSignalSpy requests(controller_.get(), request.constData());
    doubleClick(view_, indexOf(comet));
    QVERIFY(kind_.isBusy(comet));
    QVERIFY(finished.wait(10000));
    const QString path = kind_.pathOf(comet);
    QCOMPARE(path, libraryFolderOf(*home_, kind) + QLatin1Char('/') + installed);
    QVERIFY(QFileInfo::exists(path));
    QTRY_VERIFY(near(cardPixel(comet, {100, 51}), QColor(Qt::blue))); // in colour now

    QSignalSpy arts(controller_.get(), &Controller::currentAlbumArtChanged);
    doubleClick(view_, indexOf(comet));
    QVERIFY(!requests.isEmpty());
    if (!art.isEmpty()) {
      QCOMPARE(arts.last().first().toString(), libraryFolderOf(*home_, kind) + u"/Comet/"_s + art);
    }
    QCOMPARE(requests.first().first().toUrl(),
             QUrl::fromLocalFile(
                 QFileInfo(libraryFolderOf(*home_, kind) + u"/Comet/"_s + requested).absoluteFilePath()));
    QCOMPARE(kind_.playing(), path);
    QVERIFY(indexOf(comet).data(kind_.playingRole).toBool());
    QTRY_VERIFY(near(cardPixel(comet, {11, 11}), Style::themeOf(view_).primaryColor)); // the badge
  }

  // What the games do on their own.

  void gameUpdateWithoutLinkIsReported() {
    showView(u"games"_s);
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(u"Foxtrot"_s)));
    QTest::ignoreMessage(
        QtWarningMsg,
        "Could not find online data or valid URL for game: \"Foxtrot\" to start download/update.");
    QString title;
    QString text;
    QTimer::singleShot(0, this, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::Ok)->click();
      }
    });
    trigger(menu.get(), u"Update Game"_s);
    QCOMPARE(title, u"Download Error"_s);
    QCOMPARE(text, u"Could not find necessary information to download the game."_s);
    QVERIFY(!kind_.isBusy(u"Foxtrot"_s));
  }

  void gameDragKeepsTheSelection() {
    showView(u"games"_s);
    const QPoint from = view_->visualRect(indexOf(u"Bravo"_s)).center();
    const QPoint to = view_->visualRect(indexOf(u"Delta"_s)).center();
    QTest::mousePress(view_->viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, view_->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view_->viewport(), &move);
    QTest::mouseRelease(view_->viewport(), Qt::LeftButton, {}, to);
    QCOMPARE(view_->selectionModel()->selectedIndexes(), QModelIndexList{indexOf(u"Bravo"_s)});
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

  // What the movies do on their own.

  // Watching and stopping from the menu are in menuEntriesAct.
  void moviePlaylistEntryGivesTheTitle() {
    showView(u"movies"_s);
    QSignalSpy queue(controller_.get(), &Controller::addToPlaylistRequested);
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(u"Space"_s)));
    trigger(menu.get(), u"Add to Media Player Playlist"_s);
    QCOMPARE(queue.count(), 1);
    QCOMPARE(queue.first(),
             (QVariantList{QUrl::fromLocalFile(kind_.pathOf(u"Space"_s)), u"Space <Odyssey>"_s}));
  }

  // What the e-books do on their own.

  void ebookReadAndRemoveFromTheMenu() {
    showView(u"ebooks"_s);
    QSignalSpy read(controller_.get(), &Controller::readEbookRequested);
    const QString space = kind_.pathOf(u"Space"_s);
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(u"Space"_s)));
    trigger(menu.get(), u"Read Ebook"_s);
    QCOMPARE(read.count(), 1);
    QCOMPARE(read.first(), (QVariantList{QUrl::fromLocalFile(space), u"Space <Odyssey>"_s}));
    QCOMPARE(kind_.playing(), space);

    controller_->preferences()->setAppWarnBeforeGameRemoval(false); // no confirmation box
    trigger(menu.get(), u"Remove Ebook"_s);
    QVERIFY(!QFileInfo::exists(space));
    QVERIFY(indexOf(u"Space"_s).isValid()); // the row stays
    QVERIFY(!kind_.isInstalled(u"Space"_s));
    QVERIFY(kind_.playing().isEmpty());
  }

  // What the albums do on their own.

  void albumOperationsUseTheInstalledFolder_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("plays");
    QTest::newRow("play from the menu") << "Play Album" << true;
    QTest::newRow("queue from the menu") << "Add Album to Playlist" << false;
    QTest::newRow("double-click") << "" << true;
  }
  void albumOperationsUseTheInstalledFolder() {
    QFETCH(QString, operation);
    QFETCH(bool, plays);
    showView(u"albums"_s);
    const QString folder = home_->filePath(u".arvexhub/albums/Ocean.Live"_s);
    QSignalSpy played(controller_.get(), &Controller::playAlbumRequested);
    QSignalSpy queued(controller_.get(), &Controller::addToPlaylistRequested);
    if (operation.isEmpty()) {
      doubleClick(view_, indexOf(u"Ocean"_s));
    } else {
      std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(u"Ocean"_s)));
      trigger(menu.get(), operation);
    }
    QCOMPARE(secondArguments(queued), (QStringList{u"a.wav"_s, u"b.mp3"_s}));
    QCOMPARE(queued.first().first().toUrl(), QUrl::fromLocalFile(folder + u"/a.wav"_s));
    QCOMPARE(played.count(), plays ? 2 : 0);
    QCOMPARE(indexOf(u"Ocean"_s).data(AlbumRole::IsPlaying).toBool(), plays);
  }

  // The album widget's panel follows its grid (what a panel shows is in tst_librarypanels).
  void albumPanelFollowsTheSelection() {
    kind_ = kindUnderTest(controller_->albumModel());
    window_ = std::make_unique<QWidget>();
    window_->resize(1000, 600);
    auto* widget = new AlbumWidget(controller_.get(), window_.get());
    widget->setGeometry(window_->rect());
    view_ = widget->listView();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    auto* panel = widget->propertiesPanel();
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, view_->visualRect(indexOf(u"Ocean"_s)).center());
    QVERIFY(panel->isEnabled());
    QCOMPARE(panel->findChild<QLabel*>(u"albumName"_s)->text(), u"Ocean"_s);
    const QPoint empty(view_->viewport()->width() - 2, view_->viewport()->height() - 2);
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, empty);
    QVERIFY(!panel->isEnabled());
  }

  void albumPanelFollowsANewCover() {
    auto* albums = controller_->albumModel();
    AlbumPropertiesPanel panel(albums);
    albums->setCurrentAlbumName(u"Comet"_s);
    const auto* thumbnail = panel.findChild<QLabel*>(u"albumThumbnail"_s);
    const auto centreColour = [thumbnail] {
      const QImage image = thumbnail->pixmap().toImage();
      return image.pixelColor(image.rect().center());
    };
    QVERIFY(near(centreColour(), Qt::blue));
    // A new cover arrives after the catalogue merge has ended: only the row's data changes.
    QFile::remove(home_->filePath(u".arvexhub/thumbnails/albums/Comet.png"_s));
    serve(u"/albums/comet.png"_s, pngOf(Qt::red), -1, 200);
    QSignalSpy merged(albums, &AlbumListModel::updateCheckFinished);
    albums->checkForUpdates();
    QVERIFY(merged.wait(10000));
    QVERIFY(near(centreColour(), Qt::red));
  }

  void albumPanelStateIsStoredOnlyFromTheMusicTab_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("stored");
    QTest::newRow("music tab") << int(MainWindow::MusicTab) << true;
    QTest::newRow("games tab") << int(MainWindow::GamesTab) << false;
  }
  void albumPanelStateIsStoredOnlyFromTheMusicTab() {
    QFETCH(int, tab);
    QFETCH(bool, stored);
    auto* preferences = controller_->preferences();
    preferences->setAppPropertiesPanelVisible(true);
    MainWindow window(controller_.get());
    window.tabWidget()->setCurrentIndex(tab);
    auto* widget = new AlbumWidget(controller_.get(), window.tabWidget()->widget(MainWindow::MusicTab));
    QVERIFY(widget->expander()->expanded());
    widget->expander()->setExpanded(false);
    QCOMPARE(preferences->appPropertiesPanelVisible(), !stored);
  }

  void songsPlayOneAtATime() {
    const QString folder = home_->filePath(u".arvexhub/albums/Ocean.Live"_s);
    controller_->playWholeAlbum(folder);
    SongListModel songs;
    songs.setCurrentFolder(folder);
    SongListView songView(controller_.get());
    songView.resize(300, 300);
    songView.setModel(&songs);
    songView.show();
    auto* list = songView.findChild<QListView*>();
    QSignalSpy movie(controller_.get(), &Controller::playMovieRequested);
    QSignalSpy queued(controller_.get(), &Controller::addToPlaylistRequested);
    std::unique_ptr<QMenu> menu(songView.createContextMenu(songs.index(1)));
    QCOMPARE(entries(menu.get()), u"Play Song|Add Song to Playlist"_s);
    trigger(menu.get(), u"Add Song to Playlist"_s);
    QCOMPARE(secondArguments(queued), QStringList{u"b.mp3"_s});
    QCOMPARE(movie.count(), 0);
    doubleClick(list, songs.index(0));
    QCOMPARE(movie.count(), 1);
    QCOMPARE(movie.first().first().toUrl(), QUrl::fromLocalFile(folder + u"/a.wav"_s));
    QVERIFY(controller_->albumModel()->currentPlayingAlbumPath().isEmpty()); // a single song plays now
  }

  void songViewWithoutSongs() {
    SongListView songView(controller_.get());
    QSignalSpy back(&songView, &SongListView::backToAlbumList);
    songView.findChild<QToolButton*>()->click();
    QCOMPARE(back.count(), 1);
    QStringListModel other(QStringList{u"a.mp3"_s});
    songView.setModel(&other);
    QTest::ignoreMessage(QtWarningMsg, "SongListView: No valid SongListModel set for context menu");
    QVERIFY(songView.createContextMenu(other.index(0)) == nullptr);
  }
};

QTEST_MAIN(TestLibraryViews)
#include "tst_libraryviews.moc"
