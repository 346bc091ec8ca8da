#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/MovieListModel.h"
#include "widgets/MovieListItemDelegate.h"
#include "widgets/MovieListView.h"
#include "widgets/MoviePropertiesPanel.h"

#include <TestArchive.h>
#include <TestDir.h>
#include <TestHttpServer.h>

#include <style/Style.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSettings>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTest>

#include <memory>

using namespace arvexhub::launcher;
using arvexhub::style::Style;
using arvexhub::test::TestArchive;
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

const QColor pictureColour(200, 40, 40);

QByteArray png(const QColor& colour) {
  QImage image(200, 102, QImage::Format_ARGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QJsonObject entry(const char* name, const char* fullName, const QUrl& url, const char* animation = "") {
  return {{QStringLiteral("name"), QLatin1String(name)},
          {QStringLiteral("fullName"), QLatin1String(fullName)},
          {QStringLiteral("animation"), QLatin1String(animation)},
          {QStringLiteral("publisher"), QStringLiteral("Arvex")},
          {QStringLiteral("url"), url.toString()}};
}

/// A menu as text: one entry per action, "-" for a separator, "!" before a disabled entry.
QString entries(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    const QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
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
  QFAIL(qPrintable(QStringLiteral("no entry ") + text));
}

bool near(const QColor& actual, const QColor& expected) {
  const auto close = [](int a, int b) { return std::abs(a - b) <= 3; };
  return close(actual.red(), expected.red()) && close(actual.green(), expected.green()) &&
         close(actual.blue(), expected.blue());
}

} // namespace

class TestMovieViews final : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<Controller> controller_;
  std::unique_ptr<QWidget> window_;
  MovieListView* view_{nullptr};

  MovieListModel* movies() const {
    return controller_->movieModel();
  }
  QModelIndex indexOf(const char* name) const {
    const auto* model = view_->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      if (model->index(row, 0).data(MovieRole::Name).toString() == QLatin1String(name)) {
        return model->index(row, 0);
      }
    }
    return {};
  }
  QString pathOf(const char* name) const {
    return indexOf(name).data(MovieRole::Path).toString();
  }
  void doubleClick(const QModelIndex& index) {
    const QPoint centre = view_->visualRect(index).center();
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, centre); // the view needs the press first
    QTest::mouseDClick(view_->viewport(), Qt::LeftButton, {}, centre);
  }
  void serve(const QString& path, const QByteArray& body, qint64 stallAfter = -1) {
    TestHttpResponse response;
    response.body = body;
    response.stallAfterBytes = stallAfter;
    server_->setResponse(path, response);
  }
  /// A card at the origin, neither hovered nor selected.
  QStyleOptionViewItem cardOption() const {
    QStyleOptionViewItem option;
    option.widget = view_;
    option.font = view_->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.rect = QRect(0, 0, 200, 102);
    option.state = QStyle::State_Enabled;
    return option;
  }
  QColor viewPixel(const QPoint& point) const {
    return view_->viewport()->grab().toImage().pixelColor(point);
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
    home_->createFile(QStringLiteral(".arvexhub/movies/Space/space.mp4"), "frames");
    home_->createFile(QStringLiteral(".arvexhub/movies/Space/Space.png"), png(pictureColour));
    home_->createFile(QStringLiteral(".arvexhub/movies/Ocean/ocean.mp4"), "frames");
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    for (const char* document : {"/games.json", "/ebooks.json", "/music.json"}) {
      serve(QLatin1String(document), "[]");
    }
    serve(QStringLiteral("/river.zip"), QByteArray(4096, 'r'), 10); // never ends: the row stays busy
    serve(QStringLiteral("/comet.zip"), TestArchive::zip({{QStringLiteral("comet.mp4"), "frames", 0100644}}));
    const QJsonArray catalogue{
        entry("Space", "Space <Odyssey>", server_->url(QStringLiteral("/space.zip")), "Arvex & Co"),
        entry("River", "River", server_->url(QStringLiteral("/river.zip"))),
        entry("Comet", "Comet Tale", server_->url(QStringLiteral("/comet.zip"))),
        entry("Delta", "Delta", {})};
    serve(QStringLiteral("/movies.json"), QJsonDocument(catalogue).toJson());

    controller_ = std::make_unique<Controller>();
    QSignalSpy merged(movies(), &MovieListModel::updateCheckFinished);
    QVERIFY(merged.wait(10000));
    window_ = std::make_unique<QWidget>();
    window_->resize(900, 600);
    view_ = new MovieListView(controller_.get(), window_.get());
    view_->setGeometry(0, 0, 900, 600);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QCOMPARE(view_->model()->rowCount(), 5);
  }

  void cleanup() {
    window_.reset();
    controller_.reset();
    server_.reset();
    home_.reset();
  }

  void contextMenu_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("playing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("catalogue movie with a link") << "Comet"
                                                 << ""
                                                 << "Download|-|!Watch Movie|-|Show Movie Information";
    QTest::newRow("catalogue movie without a link") << "Delta"
                                                    << ""
                                                    << "!Watch Movie|-|Show Movie Information";
    QTest::newRow("installed") << "Ocean"
                               << ""
                               << "Watch Movie|-|Add to Media Player Playlist|-|Show Movie Information";
    QTest::newRow("another movie plays")
        << "Ocean"
        << "Space"
        << "Watch Movie|-|Add to Media Player Playlist|-|Show Movie Information";
    QTest::newRow("playing") << "Space"
                             << "Space"
                             << "Stop Movie|-|Add to Media Player Playlist|-|Show Movie Information";
    QTest::newRow("downloading") << "River"
                                 << ""
                                 << "";
  }
  void contextMenu() {
    QFETCH(QString, name);
    QFETCH(QString, playing);
    QFETCH(QString, expected);
    movies()->downloadAndInstallMovie(QStringLiteral("River"));
    if (!playing.isEmpty()) {
      controller_->playMovie(pathOf(playing.toLatin1().constData()));
    }
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(name.toLatin1().constData())));
    QCOMPARE(menu ? entries(menu.get()) : QString(), expected);
    QVERIFY(!view_->createContextMenu({}));
  }

  void menuEntriesCallTheController() {
    QSignalSpy play(controller_.get(), &Controller::playMovieRequested);
    QSignalSpy stop(controller_.get(), &Controller::stopMovieRequested);
    QSignalSpy queue(controller_.get(), &Controller::addToPlaylistRequested);
    const QUrl space = QUrl::fromLocalFile(pathOf("Space"));
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf("Space")));
    trigger(menu.get(), QStringLiteral("Watch Movie"));
    QCOMPARE(play.count(), 1);
    QCOMPARE(play.first().first().toUrl(), space);
    QCOMPARE(movies()->currentPlayingMovie(), pathOf("Space"));
    trigger(menu.get(), QStringLiteral("Add to Media Player Playlist"));
    QCOMPARE(queue.count(), 1);
    QCOMPARE(queue.first(), (QVariantList{space, QStringLiteral("Space <Odyssey>")}));
    menu.reset(view_->createContextMenu(indexOf("Space")));
    trigger(menu.get(), QStringLiteral("Stop Movie"));
    QCOMPARE(stop.count(), 1);
    QVERIFY(movies()->currentPlayingMovie().isEmpty());

    controller_->preferences()->setAppPropertiesPanelVisible(false);
    view_->setCurrentIndex(indexOf("Space"));
    menu.reset(view_->createContextMenu(indexOf("Ocean")));
    trigger(menu.get(), QStringLiteral("Show Movie Information"));
    QCOMPARE(movies()->currentMovieName(), QStringLiteral("Ocean"));
    QCOMPARE(view_->currentIndex(), indexOf("Ocean"));
    QVERIFY(controller_->preferences()->appPropertiesPanelVisible());
  }

  void activation_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plays");
    QTest::addColumn<bool>("downloads");
    for (const char* how : {"double-click", "Return", "Enter", "Space"}) {
      QTest::addRow("%s on an installed movie", how) << how << "Ocean" << true << false;
      QTest::addRow("%s on a movie without a link", how) << how << "Delta" << false << false;
    }
    QTest::newRow("double-click on a catalogue movie") << "double-click"
                                                       << "Comet" << false << true;
    QTest::newRow("Return on a catalogue movie") << "Return"
                                                 << "Comet" << false << false;
    QTest::newRow("auto-repeated Return") << "repeat"
                                          << "Ocean" << false << false;
  }
  void activation() {
    QFETCH(QString, how);
    QFETCH(QString, name);
    QFETCH(bool, plays);
    QFETCH(bool, downloads);
    QSignalSpy play(controller_.get(), &Controller::playMovieRequested);
    const QModelIndex target = indexOf(name.toLatin1().constData());
    view_->setFocus();
    view_->setCurrentIndex(target);
    if (how == QLatin1String("double-click")) {
      doubleClick(target);
    } else if (how == QLatin1String("repeat")) {
      QTest::keyPress(view_, Qt::Key_Return);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QString(), true);
      QApplication::sendEvent(view_, &release);
    } else {
      const Qt::Key key = how == QLatin1String("Return")  ? Qt::Key_Return
                          : how == QLatin1String("Enter") ? Qt::Key_Enter
                                                          : Qt::Key_Space;
      QTest::keyClick(view_, key);
      QCOMPARE(view_->currentIndex(), target); // Space does not toggle the selection
    }
    QCOMPARE(play.count(), plays ? 1 : 0);
    QCOMPARE(movies()->currentPlayingMovie(), plays ? target.data(MovieRole::Path).toString() : QString());
    QCOMPARE(target.data(MovieRole::IsBusy).toBool(), downloads);
  }

  void selectionFollowsTheModel() {
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, view_->visualRect(indexOf("Ocean")).center());
    QCOMPARE(movies()->currentMovieName(), QStringLiteral("Ocean"));
    movies()->setCurrentMovieName(QStringLiteral("SPACE"));
    QCOMPARE(view_->currentIndex(), indexOf("Space"));
    movies()->setCurrentMovieName(QStringLiteral("Nowhere"));
    QCOMPARE(view_->currentIndex(), indexOf("Space"));

    const QPoint empty(view_->viewport()->width() - 2, view_->viewport()->height() - 2);
    QVERIFY(!view_->indexAt(empty).isValid());
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, empty);
    QVERIFY(!view_->currentIndex().isValid());
    QVERIFY(view_->selectionModel()->selectedIndexes().isEmpty());
  }

  void hintOnlyWhenEmpty_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("hint");
    QTest::newRow("no movie shown") << "Zulu" << true;
    QTest::newRow("one movie shown") << "Ocean" << false;
  }
  void hintOnlyWhenEmpty() {
    QFETCH(QString, filter);
    QFETCH(bool, hint);
    movies()->proxyModel()->setFilterFixedString(filter);
    const QColor colour = Style::themeOf(view_).secondaryAlternativeColor;
    const QImage image = view_->viewport()->grab().toImage();
    const QRect row(0, image.height() / 2 - 8, image.width(), 16); // the hint's middle line
    bool drawn = false;
    for (int y = row.top(); y <= row.bottom() && !drawn; ++y) {
      for (int x = 0; x < row.width() && !drawn; ++x) {
        drawn = image.pixelColor(x, y) == colour;
      }
    }
    QCOMPARE(drawn, hint);
  }

  void panelShowsTheCurrentMovie_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<QString>("thumbnailText");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("details");
    QTest::newRow("catalogue fields, escaped") << "space" << true << true << ""
                                               << "Space <Odyssey>"
                                               << "<b>Studio:</b> Arvex &amp; Co<br><b>Publisher:</b> Arvex";
    QTest::newRow("installed only, no picture") << "Ocean" << true << false << "No Thumbnail"
                                                << "Ocean"
                                                << "";
    QTest::newRow("no current movie") << "" << false << false << ""
                                      << ""
                                      << "";
    QTest::newRow("unknown movie") << "Nowhere" << false << false << ""
                                   << ""
                                   << "";
  }
  void panelShowsTheCurrentMovie() {
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    QFETCH(bool, picture);
    QFETCH(QString, thumbnailText);
    QFETCH(QString, title);
    QFETCH(QString, details);
    QTRY_VERIFY(!indexOf("Space").data(MovieRole::Thumbnail).value<QPixmap>().isNull());
    MoviePropertiesPanel panel(movies());
    panel.resize(300, 500);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    movies()->setCurrentMovieName(QStringLiteral("Delta")); // something else shown before
    movies()->setCurrentMovieName(name);
    const auto* thumbnail = panel.findChild<QLabel*>(QStringLiteral("movieThumbnail"));
    QCOMPARE(panel.objectName(), QStringLiteral("MoviePropertiesPanel"));
    QCOMPARE(panel.isEnabled(), enabled);
    QCOMPARE(!thumbnail->pixmap().isNull(), picture);
    if (picture) {
      QCOMPARE(thumbnail->pixmap().width(), panel.viewport()->width() - 32);
    }
    QCOMPARE(thumbnail->text(), thumbnailText);
    QCOMPARE(panel.findChild<QLabel*>(QStringLiteral("movieFullName"))->text(), title);
    QCOMPARE(panel.findChild<QLabel*>(QStringLiteral("movieDetails"))->text(), details);
  }

  void card_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<double>("progress");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<QString>("top");    // colour of the picture's top
    QTest::addColumn<QString>("corner"); // where the "Watching" badge goes
    QTest::addColumn<bool>("percent");   // the percentage badge
    QTest::newRow("installed") << true << false << -1.0 << false << "colour"
                               << "colour" << false;
    QTest::newRow("catalogue") << false << false << -1.0 << false << "grey"
                               << "grey" << false;
    QTest::newRow("watching") << true << false << -1.0 << true << "colour"
                              << "badge" << false;
    QTest::newRow("no watching badge while busy") << true << true << 0.5 << true << "grey"
                                                  << "grey" << true;
    QTest::newRow("busy, progress unknown") << false << true << -1.0 << false << "grey"
                                            << "grey" << true;
  }
  void card() {
    QFETCH(bool, installed);
    QFETCH(bool, busy);
    QFETCH(double, progress);
    QFETCH(bool, playing);
    QFETCH(QString, top);
    QFETCH(QString, corner);
    QFETCH(bool, percent);
    QPixmap picture(200, 102);
    picture.fill(pictureColour);
    QStandardItemModel model;
    auto* item = new QStandardItem;
    item->setData(picture, MovieRole::Thumbnail);
    item->setData(installed, MovieRole::IsInstalled);
    item->setData(busy, MovieRole::IsBusy);
    item->setData(progress, MovieRole::DownloadProgress);
    item->setData(playing, MovieRole::IsPlaying);
    model.appendRow(item);
    const auto& theme = Style::themeOf(view_);
    const QRect rect(0, 0, 200, 102);
    const int grey = qGray(pictureColour.rgb());
    const QMap<QString, QColor> colours{{QStringLiteral("colour"), pictureColour},
                                        {QStringLiteral("grey"), QColor(grey, grey, grey)},
                                        {QStringLiteral("badge"), theme.primaryColor}};
    QImage image(rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const QStyleOptionViewItem option = cardOption();
    MovieListItemDelegate delegate(nullptr);
    QCOMPARE(delegate.sizeHint(option, item->index()), QSize(200, 102));
    delegate.paint(&painter, option, item->index());
    QVERIFY(near(image.pixelColor(100, 20), colours.value(top)));
    QVERIFY(near(image.pixelColor(11, 11), colours.value(corner)));
    QCOMPARE(near(image.pixelColor(rect.right() - 4, rect.bottom() - 4), theme.primaryColor), percent);
  }

  void percentBadgeHasOneDecimal() {
    QStandardItemModel model;
    auto* item = new QStandardItem;
    item->setData(true, MovieRole::IsBusy);
    item->setData(0.425, MovieRole::DownloadProgress);
    model.appendRow(item);
    const QStyleOptionViewItem option = cardOption();
    QImage image(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    MovieListItemDelegate(nullptr).paint(&painter, option, item->index());
    const QColor badge = Style::themeOf(view_).primaryColor;
    // From 16 pixels above the card's bottom, as wide as "42.5%" and its padding.
    const int left =
        option.rect.right() - option.fontMetrics.boundingRect(QStringLiteral("42.5%")).width() - 16;
    const int middle = option.rect.bottom() - 8;
    QVERIFY(near(image.pixelColor(left + 1, middle), badge));
    QVERIFY(!near(image.pixelColor(left - 2, middle), badge));
    QVERIFY(near(image.pixelColor(left + 8, option.rect.bottom() - 15), badge));
    QVERIFY(!near(image.pixelColor(left + 8, option.rect.bottom() - 18), badge));
  }

  void downloadThenWatch() {
    QSignalSpy installed(movies(), &MovieListModel::movieDownloadFinished);
    QSignalSpy play(controller_.get(), &Controller::playMovieRequested);
    QSignalSpy queue(controller_.get(), &Controller::addToPlaylistRequested);
    doubleClick(indexOf("Comet"));
    QVERIFY(installed.wait(10000));
    const QString path = pathOf("Comet");
    QCOMPARE(path, home_->filePath(QStringLiteral(".arvexhub/movies/Comet/comet.mp4")));
    QVERIFY(QFileInfo(path).isFile());

    doubleClick(indexOf("Comet"));
    QCOMPARE(play.count(), 1);
    QCOMPARE(play.first().first().toUrl(), QUrl::fromLocalFile(path));
    QVERIFY(indexOf("Comet").data(MovieRole::IsPlaying).toBool());
    const QRect card = view_->visualRect(indexOf("Comet"));
    QTRY_VERIFY(near(viewPixel(card.topLeft() + QPoint(11, 11)), Style::themeOf(view_).primaryColor));

    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf("Comet")));
    trigger(menu.get(), QStringLiteral("Add to Media Player Playlist"));
    QCOMPARE(queue.count(), 1);
    QCOMPARE(queue.first(), (QVariantList{QUrl::fromLocalFile(path), QStringLiteral("Comet Tale")}));
  }
};

QTEST_MAIN(TestMovieViews)
#include "tst_movieviews.moc"
