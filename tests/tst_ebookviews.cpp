#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/EbookListModel.h"
#include "widgets/EbookListItemDelegate.h"
#include "widgets/EbookListView.h"
#include "widgets/EbookPropertiesPanel.h"

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

const QColor coverColour(40, 160, 60);

QByteArray png(const QSize& size) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(coverColour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QJsonObject entry(const char* name, const char* fullName, const QUrl& url, const char* author = "") {
  return {{QStringLiteral("name"), QLatin1String(name)},
          {QStringLiteral("fullName"), QLatin1String(fullName)},
          {QStringLiteral("author"), QLatin1String(author)},
          {QStringLiteral("publicationDate"), QStringLiteral("1965")},
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
         close(actual.blue(), expected.blue()) && close(actual.alpha(), expected.alpha());
}

} // namespace

class TestEbookViews final : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<Controller> controller_;
  std::unique_ptr<QWidget> window_;
  EbookListView* view_{nullptr};

  EbookListModel* ebooks() const {
    return controller_->ebookModel();
  }
  QModelIndex indexOf(const QString& name) const {
    const auto* model = view_->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      if (model->index(row, 0).data(EbookRole::Name).toString() == name) {
        return model->index(row, 0);
      }
    }
    return {};
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
  QImage paintCard(const QSize& cover, bool installed, bool busy, double progress, bool reading) const {
    QStandardItemModel model;
    auto* item = new QStandardItem;
    if (cover.isValid()) {
      QPixmap picture(cover);
      picture.fill(coverColour);
      item->setData(picture, EbookRole::Thumbnail);
    }
    item->setData(installed, EbookRole::IsInstalled);
    item->setData(busy, EbookRole::IsBusy);
    item->setData(progress, EbookRole::DownloadProgress);
    item->setData(reading, EbookRole::IsReading);
    model.appendRow(item);
    QStyleOptionViewItem option;
    option.initFrom(view_);
    option.rect = QRect(QPoint(0, 0), cardPictureSize);
    option.state &= ~(QStyle::State_MouseOver | QStyle::State_Selected); // the pointer may rest on the view
    QImage image(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    EbookListItemDelegate delegate(nullptr);
    delegate.paint(&painter, option, item->index());
    return image;
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
    home_->createFile(QStringLiteral(".arvexhub/ebooks/Dune/dune.pdf"), "%PDF-1.4");
    home_->createFile(QStringLiteral(".arvexhub/ebooks/Dune/Dune.png"), png({60, 90}));
    home_->createFile(QStringLiteral(".arvexhub/ebooks/Ocean/ocean.pdf"), "%PDF-1.4");
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    for (const char* document : {"/games.json", "/movies.json", "/music.json"}) {
      serve(QLatin1String(document), "[]");
    }
    serve(QStringLiteral("/river.zip"), QByteArray(4096, 'r'), 10); // never ends: the row stays busy
    serve(QStringLiteral("/comet.zip"),
          TestArchive::zip({{QStringLiteral("comet.pdf"), "%PDF-1.4", 0100644}}));
    const QJsonArray catalogue{entry("Dune", "Dune <Saga>", {}, "Herbert & Co"),
                               entry("River", "River", server_->url(QStringLiteral("/river.zip"))),
                               entry("Comet", "Comet Tale", server_->url(QStringLiteral("/comet.zip")))};
    serve(QStringLiteral("/ebooks.json"), QJsonDocument(catalogue).toJson());

    controller_ = std::make_unique<Controller>();
    QSignalSpy merged(ebooks(), &EbookListModel::updateCheckFinished);
    QVERIFY(merged.wait(10000));
    window_ = std::make_unique<QWidget>();
    window_->resize(900, 600);
    view_ = new EbookListView(controller_.get(), window_.get());
    view_->setGeometry(0, 0, 900, 600);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QCOMPARE(view_->model()->rowCount(), 4);
    QVERIFY(!view_->currentIndex().isValid());
  }

  void cleanup() {
    window_.reset();
    controller_.reset();
    server_.reset();
    home_.reset();
  }

  void contextMenu_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("catalogue") << "Comet"
                               << "Download|-|!Read Ebook|-|Show Ebook Information";
    QTest::newRow("installed") << "Ocean"
                               << "Read Ebook|-|Show Ebook Information|-|Remove Ebook";
    QTest::newRow("downloading") << "River"
                                 << "";
  }
  void contextMenu() {
    QFETCH(QString, name);
    QFETCH(QString, expected);
    ebooks()->downloadAndInstallEbook(QStringLiteral("River"));
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(name)));
    QCOMPARE(menu ? entries(menu.get()) : QString(), expected);
    QVERIFY(!view_->createContextMenu({}));
  }

  void menuEntriesAct() {
    QSignalSpy read(controller_.get(), &Controller::readEbookRequested);
    const QString dune = indexOf(QStringLiteral("Dune")).data(EbookRole::Path).toString();
    std::unique_ptr<QMenu> menu(view_->createContextMenu(indexOf(QStringLiteral("Dune"))));
    trigger(menu.get(), QStringLiteral("Read Ebook"));
    QCOMPARE(read.count(), 1);
    QCOMPARE(read.first(), (QVariantList{QUrl::fromLocalFile(dune), QStringLiteral("Dune <Saga>")}));
    QCOMPARE(ebooks()->currentReadingEbook(), dune);

    controller_->preferences()->setAppPropertiesPanelVisible(false);
    trigger(menu.get(), QStringLiteral("Show Ebook Information"));
    QCOMPARE(ebooks()->currentEbookName(), QStringLiteral("Dune"));
    QCOMPARE(view_->currentIndex(), indexOf(QStringLiteral("Dune")));
    QVERIFY(controller_->preferences()->appPropertiesPanelVisible());

    controller_->preferences()->setAppWarnBeforeGameRemoval(false); // no confirmation box
    trigger(menu.get(), QStringLiteral("Remove Ebook"));
    QVERIFY(!QFileInfo::exists(dune));
    QVERIFY(!indexOf(QStringLiteral("Dune")).data(EbookRole::IsInstalled).toBool()); // the row stays
    QVERIFY(ebooks()->currentReadingEbook().isEmpty());

    menu.reset(view_->createContextMenu(indexOf(QStringLiteral("Comet"))));
    trigger(menu.get(), QStringLiteral("Download"));
    QVERIFY(indexOf(QStringLiteral("Comet")).data(EbookRole::IsBusy).toBool());
  }

  void activation_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("reads");
    QTest::addColumn<bool>("downloads");
    for (const char* how : {"double-click", "Return", "Enter", "Space"}) {
      QTest::addRow("%s on an installed book", how) << how << "Ocean" << true << false;
    }
    QTest::newRow("double-click on a catalogue book") << "double-click"
                                                      << "Comet" << false << true;
    QTest::newRow("Return on a catalogue book") << "Return"
                                                << "Comet" << false << false;
    QTest::newRow("auto-repeated Return") << "repeat"
                                          << "Ocean" << false << false;
  }
  void activation() {
    QFETCH(QString, how);
    QFETCH(QString, name);
    QFETCH(bool, reads);
    QFETCH(bool, downloads);
    QSignalSpy read(controller_.get(), &Controller::readEbookRequested);
    const QModelIndex target = indexOf(name);
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
    QCOMPARE(read.count(), reads ? 1 : 0);
    QCOMPARE(ebooks()->currentReadingEbook(), reads ? target.data(EbookRole::Path).toString() : QString());
    QCOMPARE(target.data(EbookRole::IsBusy).toBool(), downloads);
  }

  void selectionFollowsTheModel() {
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {},
                      view_->visualRect(indexOf(QStringLiteral("Ocean"))).center());
    QCOMPARE(ebooks()->currentEbookName(), QStringLiteral("Ocean"));
    ebooks()->setCurrentEbookName(QStringLiteral("DUNE"));
    QCOMPARE(view_->currentIndex(), indexOf(QStringLiteral("Dune")));
    ebooks()->setCurrentEbookName(QStringLiteral("Nowhere"));
    QCOMPARE(view_->currentIndex(), indexOf(QStringLiteral("Dune")));

    const QPoint empty(view_->viewport()->width() - 2, view_->viewport()->height() - 2);
    QVERIFY(!view_->indexAt(empty).isValid());
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, empty);
    QVERIFY(!view_->currentIndex().isValid());
    QVERIFY(ebooks()->currentEbookName().isEmpty());
  }

  void hintOnlyWhenEmpty_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("hint");
    QTest::newRow("no book shown") << "Zulu" << true;
    QTest::newRow("one book shown") << "Ocean" << false;
  }
  void hintOnlyWhenEmpty() {
    QFETCH(QString, filter);
    QFETCH(bool, hint);
    ebooks()->proxyModel()->setFilterFixedString(filter);
    const QColor colour = Style::themeOf(view_).secondaryAlternativeColor;
    const QImage image = view_->viewport()->grab().toImage();
    bool drawn = false;
    for (int y = image.height() / 2 - 8; y <= image.height() / 2 + 8 && !drawn; ++y) {
      for (int x = 0; x < image.width() && !drawn; ++x) {
        drawn = image.pixelColor(x, y) == colour;
      }
    }
    QCOMPARE(drawn, hint);
  }

  void panelShowsTheCurrentBook_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("cover");
    QTest::addColumn<QString>("thumbnailText");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("details");
    QTest::newRow("catalogue fields, escaped") << "dune" << true << true << ""
                                               << "Dune <Saga>"
                                               << "<b>Author:</b> Herbert &amp; Co<br><b>Published:</b> 1965";
    QTest::newRow("installed only, no cover") << "Ocean" << true << false << "No Thumbnail"
                                              << "Ocean"
                                              << "";
    QTest::newRow("no current book") << "" << false << false << ""
                                     << ""
                                     << "";
    QTest::newRow("unknown book") << "Nowhere" << false << false << ""
                                  << ""
                                  << "";
  }
  void panelShowsTheCurrentBook() {
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    QFETCH(bool, cover);
    QFETCH(QString, thumbnailText);
    QFETCH(QString, title);
    QFETCH(QString, details);
    QTRY_VERIFY(!indexOf(QStringLiteral("Dune")).data(EbookRole::Thumbnail).value<QPixmap>().isNull());
    EbookPropertiesPanel panel(ebooks());
    panel.resize(300, 500);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    ebooks()->setCurrentEbookName(QStringLiteral("Comet")); // something else shown before
    ebooks()->setCurrentEbookName(name);
    const auto* thumbnail = panel.findChild<QLabel*>(QStringLiteral("ebookThumbnail"));
    QCOMPARE(panel.objectName(), QStringLiteral("EbookPropertiesPanel"));
    QCOMPARE(panel.isEnabled(), enabled);
    QCOMPARE(!thumbnail->pixmap().isNull(), cover);
    if (cover) {
      QCOMPARE(thumbnail->pixmap().width(), panel.viewport()->width() - 32);
    }
    QCOMPARE(thumbnail->text(), thumbnailText);
    QCOMPARE(panel.findChild<QLabel*>(QStringLiteral("ebookFullName"))->text(), title);
    QCOMPARE(panel.findChild<QLabel*>(QStringLiteral("ebookDetails"))->text(), details);
  }

  void card_data() {
    QTest::addColumn<QSize>("cover");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<double>("progress");
    QTest::addColumn<bool>("reading");
    // Colours at the cover's middle top, the card's left side, its corner, the state badge's spot and
    // the percentage badge's spot.
    QTest::addColumn<QString>("expected");
    const QSize tall(60, 90);
    QTest::newRow("tall cover centred")
        << tall << true << false << -1.0 << false << "colour|card|clear|card|card";
    QTest::newRow("wide cover clipped to the card")
        << QSize(600, 100) << true << false << -1.0 << false << "colour|colour|clear|colour|colour";
    QTest::newRow("catalogue book in grey")
        << tall << false << false << -1.0 << false << "grey|card|clear|card|card";
    QTest::newRow("reading") << tall << true << false << -1.0 << true << "colour|card|clear|badge|card";
    QTest::newRow("no reading badge while busy")
        << tall << true << true << 0.5 << true << "grey|card|clear|card|badge";
    QTest::newRow("busy, progress unknown")
        << tall << false << true << -1.0 << false << "grey|card|clear|card|badge";
    QTest::newRow("no cover") << QSize() << true << false << -1.0 << false << "card|card|clear|card|card";
  }
  void card() {
    QFETCH(QSize, cover);
    QFETCH(bool, installed);
    QFETCH(bool, busy);
    QFETCH(double, progress);
    QFETCH(bool, reading);
    QFETCH(QString, expected);
    const auto& theme = Style::themeOf(view_);
    const int grey = qGray(coverColour.rgb());
    const QMap<QString, QColor> colours{{QStringLiteral("colour"), coverColour},
                                        {QStringLiteral("grey"), QColor(grey, grey, grey)},
                                        {QStringLiteral("card"), theme.backgroundColorMain2},
                                        {QStringLiteral("badge"), theme.primaryColor},
                                        {QStringLiteral("clear"), QColor(0, 0, 0, 0)}};
    const QImage image = paintCard(cover, installed, busy, progress, reading);
    const QList<QPoint> spots{{100, 20}, {3, 50}, {0, 0}, {11, 11}, {190, 94}};
    const QStringList names = expected.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < spots.size(); ++i) {
      QVERIFY2(near(image.pixelColor(spots[i]), colours.value(names[i])),
               qPrintable(QStringLiteral("spot %1 is not %2").arg(i).arg(names[i])));
    }
    QCOMPARE(EbookListItemDelegate(nullptr).sizeHint({}, {}), QSize(200, 102));
  }

  void downloadThenRead() {
    QSignalSpy installed(ebooks(), &EbookListModel::ebookDownloadFinished);
    QSignalSpy read(controller_.get(), &Controller::readEbookRequested);
    doubleClick(indexOf(QStringLiteral("Comet")));
    QVERIFY(installed.wait(10000));
    const QString path = indexOf(QStringLiteral("Comet")).data(EbookRole::Path).toString();
    QCOMPARE(path, home_->filePath(QStringLiteral(".arvexhub/ebooks/Comet/comet.pdf")));
    QVERIFY(QFileInfo(path).isFile());

    doubleClick(indexOf(QStringLiteral("Comet")));
    QCOMPARE(read.count(), 1);
    QCOMPARE(read.first(), (QVariantList{QUrl::fromLocalFile(path), QStringLiteral("Comet Tale")}));
    QVERIFY(indexOf(QStringLiteral("Comet")).data(EbookRole::IsReading).toBool());
    const QRect card = view_->visualRect(indexOf(QStringLiteral("Comet")));
    QTRY_VERIFY(near(view_->viewport()->grab().toImage().pixelColor(card.topLeft() + QPoint(11, 11)),
                     Style::themeOf(view_).primaryColor));
  }
};

QTEST_MAIN(TestEbookViews)
#include "tst_ebookviews.moc"
