#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/AlbumListModel.h"
#include "library/SongListModel.h"
#include "widgets/AlbumListView.h"
#include "widgets/AlbumPropertiesPanel.h"
#include "widgets/AlbumWidget.h"
#include "widgets/MainWindow.h"
#include "widgets/SongListView.h"

#include <TestArchive.h>
#include <TestDir.h>
#include <TestHttpServer.h>

#include <style/Style.h>
#include <style/widgets/Expander.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace arvexhub::launcher;
using arvexhub::style::Style;
using arvexhub::test::TestArchive;
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

QByteArray png(const QColor& colour) {
  QImage image(40, 40, QImage::Format_ARGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QJsonObject entry(const char* name, const QUrl& url, const QUrl& thumbnail = {}) {
  return {{QStringLiteral("name"), QLatin1String(name)},
          {QStringLiteral("fullName"), QLatin1String(name) + QStringLiteral(" Anthology")},
          {QStringLiteral("artist"), QStringLiteral("Arvex <Band>")},
          {QStringLiteral("url"), url.toString()},
          {QStringLiteral("thumbnail"), thumbnail.toString()}};
}

/// A menu as text: one entry per action, "-" for a separator; empty for no menu.
QString entries(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu != nullptr ? menu->actions() : QList<QAction*>()) {
    texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
  }
  return texts.join(QLatin1Char('|'));
}

void trigger(const QMenu* menu, const QString& text) {
  for (QAction* action : menu->actions()) {
    if (action->text() == text) {
      return action->trigger();
    }
  }
  QFAIL(qPrintable(QStringLiteral("no entry ") + text));
}

bool near(const QColor& actual, const QColor& expected) {
  const auto close = [](int a, int b) { return std::abs(a - b) <= 3; };
  return close(actual.red(), expected.red()) && close(actual.green(), expected.green()) &&
         close(actual.blue(), expected.blue());
}

QStringList names(const QSignalSpy& spy) {
  QStringList list;
  for (const auto& arguments : spy) {
    list.append(arguments.at(1).toString());
  }
  return list;
}

} // namespace

class TestAlbumViews final : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<Controller> controller_;
  std::unique_ptr<QWidget> window_;
  AlbumWidget* albumWidget_{nullptr};
  AlbumListView* view_{nullptr};
  QString rockFolder_;

  AlbumListModel* albums() const {
    return controller_->albumModel();
  }
  QModelIndex indexOf(const QString& name) const {
    const int row = albums()->albumRowByName(name);
    return albums()->proxyModel()->mapFromSource(albums()->index(row));
  }
  void doubleClick(QAbstractItemView* view, const QModelIndex& index) {
    const QPoint centre = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre); // the view needs the press first
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
  }
  void serve(const QString& path, const QByteArray& body, qint64 stallAfter = -1, int delayMs = 0) {
    TestHttpResponse response;
    response.body = body;
    response.stallAfterBytes = stallAfter;
    response.delayMs = delayMs;
    server_->setResponse(path, response);
  }
  QColor pixelOf(const QModelIndex& index, const QPoint& offset) const {
    const QImage image = view_->viewport()->grab().toImage();
    return image.pixelColor(view_->visualRect(index).topLeft() + offset);
  }

private slots:
  void initTestCase() {
    QCoreApplication::setOrganizationName(QStringLiteral("Arvex Games"));
    QCoreApplication::setApplicationName(QStringLiteral("Arvex Hub"));
    QApplication::setStyle(new Style);
  }

  void init() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("arvex-games"),
              QStringLiteral("arvex-hub"))
        .clear();
    home_ = std::make_unique<TestDir>();
    qputenv("HOME", home_->path().toUtf8());
    // A folder with a dot: the album is "Rock", its folder "Rock.Live".
    rockFolder_ = home_->createDir(QStringLiteral(".arvexhub/albums/Rock.Live"));
    for (const char* song : {"b.mp3", "a.wav", "c.ogg"}) {
      home_->createFile(QStringLiteral(".arvexhub/albums/Rock.Live/") + QLatin1String(song), "x");
    }
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    for (const char* document : {"/games.json", "/movies.json", "/ebooks.json"}) {
      serve(QLatin1String(document), "[]");
    }
    serve(QStringLiteral("/slow.zip"), QByteArray(4096, 's'), 10); // never ends: the row stays busy
    serve(QStringLiteral("/jazz.zip"), TestArchive::zip({{QStringLiteral("2 Blue.mp3"), "x", 0100644},
                                                         {QStringLiteral("1 Green.mp3"), "x", 0100644}}));
    serve(QStringLiteral("/jazz.png"), png(Qt::blue));
    const QJsonArray catalogue{
        entry("Jazz", server_->url(QStringLiteral("/jazz.zip")), server_->url(QStringLiteral("/jazz.png"))),
        entry("Slow", server_->url(QStringLiteral("/slow.zip")))};
    serve(QStringLiteral("/music.json"), QJsonDocument(catalogue).toJson());

    controller_ = std::make_unique<Controller>();
    QSignalSpy merged(albums(), &AlbumListModel::updateCheckFinished);
    QVERIFY(merged.wait(10000));
    window_ = std::make_unique<QWidget>();
    window_->resize(1000, 600);
    albumWidget_ = new AlbumWidget(controller_.get(), window_.get());
    albumWidget_->setGeometry(window_->rect());
    view_ = albumWidget_->listView();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QCOMPARE(view_->model()->rowCount(), 3);
  }

  void cleanup() {
    window_.reset();
    controller_.reset();
    server_.reset();
    home_.reset();
  }

  void contextMenu_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("downloading");
    QTest::addColumn<QString>("expected");
    QTest::newRow("installed") << "Rock" << false
                               << "Play Album|Add Album to Playlist|-|Show Album Information";
    QTest::newRow("catalogue") << "Jazz" << false << "Download Album|-|Show Album Information";
    QTest::newRow("downloading") << "Slow" << true << "";
    QTest::newRow("empty space") << "" << false << "";
  }
  void contextMenu() {
    QFETCH(QString, name);
    QFETCH(bool, downloading);
    QFETCH(QString, expected);
    if (downloading) {
      albums()->downloadAndInstallAlbum(name);
    }
    std::unique_ptr<QMenu> menu(view_->createContextMenu(name.isEmpty() ? QModelIndex() : indexOf(name)));
    QCOMPARE(entries(menu.get()), expected);
  }

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
    QSignalSpy played(controller_.get(), &Controller::playAlbumRequested);
    QSignalSpy queued(controller_.get(), &Controller::addToPlaylistRequested);
    if (operation.isEmpty()) {
      doubleClick(view_, indexOf(QStringLiteral("Rock")));
    } else {
      std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(QStringLiteral("Rock"))));
      trigger(menu.get(), operation);
    }
    QCOMPARE(names(queued), (QStringList{QStringLiteral("a.wav"), QStringLiteral("b.mp3")}));
    QCOMPARE(queued.first().first().toUrl(), QUrl::fromLocalFile(rockFolder_ + QStringLiteral("/a.wav")));
    QCOMPARE(played.count(), plays ? 2 : 0);
    QCOMPARE(indexOf(QStringLiteral("Rock")).data(AlbumRole::IsPlaying).toBool(), plays);
  }

  void selectionAndCurrentAlbumFollowEachOther() {
    auto* panel = albumWidget_->propertiesPanel();
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {},
                      view_->visualRect(indexOf(QStringLiteral("Rock"))).center());
    QCOMPARE(albums()->currentAlbumName(), QStringLiteral("Rock"));
    QVERIFY(panel->isEnabled());
    albums()->setCurrentAlbumName(QStringLiteral("jazz"));
    QCOMPARE(view_->currentIndex(), indexOf(QStringLiteral("Jazz")));
    QCOMPARE(panel->findChild<QLabel*>(QStringLiteral("albumName"))->text(),
             QStringLiteral("Jazz Anthology"));
    QCOMPARE(panel->findChild<QLabel*>(QStringLiteral("albumDetails"))->text(),
             QStringLiteral("<b>Artist:</b> Arvex &lt;Band&gt;"));
    const QRect cards = view_->visualRect(indexOf(QStringLiteral("Slow")));
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, cards.bottomRight() + QPoint(8, 60));
    QCOMPARE(albums()->currentAlbumName(), QString());
    QVERIFY(view_->selectionModel()->selectedIndexes().isEmpty());
    QVERIFY(!panel->isEnabled());
  }

  void panelFollowsChangesOfTheShownAlbum() {
    albums()->setCurrentAlbumName(QStringLiteral("Jazz"));
    const auto* thumbnail =
        albumWidget_->propertiesPanel()->findChild<QLabel*>(QStringLiteral("albumThumbnail"));
    const auto centreColour = [thumbnail] {
      const QImage image = thumbnail->pixmap().toImage();
      return image.pixelColor(image.rect().center());
    };
    QVERIFY(near(centreColour(), Qt::blue));
    // A new cover arrives after the catalogue merge has ended: only the row's data changes.
    QFile::remove(home_->filePath(QStringLiteral(".arvexhub/thumbnails/albums/Jazz.png")));
    serve(QStringLiteral("/jazz.png"), png(Qt::red), -1, 200);
    QSignalSpy merged(albums(), &AlbumListModel::updateCheckFinished);
    albums()->checkForUpdates();
    QVERIFY(merged.wait(10000));
    QVERIFY(near(centreColour(), Qt::red));
  }

  void cardsShowPlayingAndCatalogueCovers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QString>("expected");
    QTest::newRow("playing badge") << "Rock" << QPoint(11, 11) << "badge";
    QTest::newRow("catalogue cover centred, in grey") << "Jazz" << QPoint(100, 51) << "grey";
    QTest::newRow("beside the cover") << "Jazz" << QPoint(20, 51) << "background";
  }
  void cardsShowPlayingAndCatalogueCovers() {
    QFETCH(QString, name);
    QFETCH(QPoint, offset);
    QFETCH(QString, expected);
    const auto& theme = Style::themeOf(view_);
    const int grey = qGray(QColor(Qt::blue).rgb());
    const QMap<QString, QColor> colours{{QStringLiteral("badge"), theme.primaryColor},
                                        {QStringLiteral("grey"), QColor(grey, grey, grey)},
                                        {QStringLiteral("background"), theme.backgroundColorMain2}};
    QVERIFY(!near(pixelOf(indexOf(QStringLiteral("Rock")), QPoint(11, 11)), theme.primaryColor));
    albums()->setCurrentPlayingAlbumPath(rockFolder_);
    const QColor seen = pixelOf(indexOf(name), offset);
    QVERIFY2(near(seen, colours.value(expected)), qPrintable(seen.name()));
  }

  void hintOnlyWhenEmpty_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("hint");
    QTest::newRow("no album shown") << "Zulu" << true;
    QTest::newRow("one album shown") << "Rock" << false;
  }
  void hintOnlyWhenEmpty() {
    QFETCH(QString, filter);
    QFETCH(bool, hint);
    albums()->proxyModel()->setFilterFixedString(filter);
    const QImage image = view_->viewport()->grab().toImage();
    const QColor hintColour = Style::themeOf(view_).secondaryAlternativeColor;
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        drawn += image.pixelColor(x, y) == hintColour ? 1 : 0;
      }
    }
    QCOMPARE(drawn > 0, hint);
  }

  void panelStateIsStoredOnlyFromTheMusicTab_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("stored");
    QTest::newRow("music tab") << int(MainWindow::MusicTab) << true;
    QTest::newRow("games tab") << int(MainWindow::GamesTab) << false;
  }
  void panelStateIsStoredOnlyFromTheMusicTab() {
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

  void downloadThenPlayAndQueueSongs() {
    QSignalSpy installed(albums(), &AlbumListModel::albumDownloadFinished);
    doubleClick(view_, indexOf(QStringLiteral("Jazz")));
    QVERIFY(indexOf(QStringLiteral("Jazz")).data(AlbumRole::IsBusy).toBool());
    QVERIFY(installed.wait(10000));
    const QString folder = indexOf(QStringLiteral("Jazz")).data(AlbumRole::Path).toString();
    QCOMPARE(folder, home_->filePath(QStringLiteral(".arvexhub/albums/Jazz")));
    QVERIFY(near(pixelOf(indexOf(QStringLiteral("Jazz")), QPoint(100, 51)), Qt::blue)); // in colour now

    QSignalSpy played(controller_.get(), &Controller::playAlbumRequested);
    QSignalSpy art(controller_.get(), &Controller::currentAlbumArtChanged);
    doubleClick(view_, indexOf(QStringLiteral("Jazz")));
    QCOMPARE(names(played), (QStringList{QStringLiteral("1 Green.mp3"), QStringLiteral("2 Blue.mp3")}));
    QCOMPARE(art.last().first().toString(), folder + QStringLiteral("/Jazz.png"));
    QVERIFY(indexOf(QStringLiteral("Jazz")).data(AlbumRole::IsPlaying).toBool());

    // The album's songs, one at a time.
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
    QCOMPARE(entries(menu.get()), QStringLiteral("Play Song|Add Song to Playlist"));
    trigger(menu.get(), QStringLiteral("Add Song to Playlist"));
    QCOMPARE(names(queued), QStringList{QStringLiteral("2 Blue.mp3")});
    QCOMPARE(movie.count(), 0);
    doubleClick(list, songs.index(0));
    QCOMPARE(movie.count(), 1);
    QCOMPARE(movie.first().first().toUrl(), QUrl::fromLocalFile(folder + QStringLiteral("/1 Green.mp3")));
    QVERIFY(!indexOf(QStringLiteral("Jazz")).data(AlbumRole::IsPlaying).toBool()); // a single song plays now
  }

  void songViewWithoutSongs() {
    SongListView songView(controller_.get());
    QSignalSpy back(&songView, &SongListView::backToAlbumList);
    songView.findChild<QToolButton*>()->click();
    QCOMPARE(back.count(), 1);
    QStringListModel other(QStringList{QStringLiteral("a.mp3")});
    songView.setModel(&other);
    QTest::ignoreMessage(QtWarningMsg, "SongListView: No valid SongListModel set for context menu");
    QVERIFY(songView.createContextMenu(other.index(0)) == nullptr);
  }
};

QTEST_MAIN(TestAlbumViews)
#include "tst_albumviews.moc"
