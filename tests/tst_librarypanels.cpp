// The properties panels of the four library tabs: what they show of the model's current item,
// in tables over the kinds, then what the games' panel does on its own.

#include "widgets/AlbumPropertiesPanel.h"
#include "widgets/EbookPropertiesPanel.h"
#include "widgets/GamePropertiesPanel.h"
#include "widgets/MoviePropertiesPanel.h"

#include <LibraryKinds.h>
#include <TestHttpServer.h>

#include <style/Style.h>

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

using namespace arvexhub::launcher;
using namespace arvexhub::test;

namespace {

/// The object names of a kind's labels: picture, title, details (and version for games).
QStringList labelsOf(const QString& kind) {
  if (kind == QLatin1String("games")) {
    return {QStringLiteral("gameThumbnail"), QStringLiteral("gameFullName"), QStringLiteral("gameDetails"),
            QStringLiteral("gameVersion")};
  }
  if (kind == QLatin1String("albums")) {
    return {QStringLiteral("albumThumbnail"), QStringLiteral("albumName"), QStringLiteral("albumDetails")};
  }
  const QString prefix = kind.chopped(1); // "movie", "ebook"
  return {prefix + QStringLiteral("Thumbnail"), prefix + QStringLiteral("FullName"),
          prefix + QStringLiteral("Details")};
}

} // namespace

class TestLibraryPanels final : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<LibraryModel> model_;
  std::unique_ptr<PropertiesPanel> panel_;
  KindUnderTest kind_;

  /// The kind's model over the catalogue served, and its panel, not shown yet.
  void makeModel(const QString& kind) {
    model_ = makeLibraryModel(kind);
    kind_ = kindUnderTest(model_.get());
    QSignalSpy merged(model_.get(), &LibraryModel::updateCheckFinished);
    QVERIFY(merged.wait(10000));
    QVERIFY(!kind_.pictureOf(QStringLiteral("Full")).isNull());
  }
  void makePanel() {
    if (auto* games = qobject_cast<GameListModel*>(model_.get())) {
      panel_ = std::make_unique<GamePropertiesPanel>(games);
    } else if (auto* movies = qobject_cast<MovieListModel*>(model_.get())) {
      panel_ = std::make_unique<MoviePropertiesPanel>(movies);
    } else if (auto* ebooks = qobject_cast<EbookListModel*>(model_.get())) {
      panel_ = std::make_unique<EbookPropertiesPanel>(ebooks);
    } else {
      panel_ = std::make_unique<AlbumPropertiesPanel>(qobject_cast<AlbumListModel*>(model_.get()));
    }
    panel_->resize(300, 500);
  }
  void showPanel() {
    panel_->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel_.get()));
  }
  QLabel* label(int which) const {
    return panel_->findChild<QLabel*>(labelsOf(kind_.name).at(which));
  }
  /// The width the picture may take: the panel's inside, less the content margins.
  int availableWidth() const {
    return panel_->viewport()->width() - 32;
  }

private slots:
  void initTestCase() {
    QApplication::setStyle(new arvexhub::style::Style);
  }

  // Every kind's catalogue has "Full" with every detail and a picture, "Published" with only a
  // publisher, and "Bare" with nothing; "Ocean" is installed, with no picture.
  void init() {
    home_ = std::make_unique<TestDir>();
    qputenv("HOME", home_->path().toUtf8());
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    TestHttpResponse picture;
    picture.body = pngOf(Qt::darkCyan, {120, 60});
    server_->setResponse(QStringLiteral("/full.png"), picture);
    for (const QString& kind : libraryKinds()) {
      installItem(*home_, kind, QStringLiteral("Ocean"));
      auto full =
          catalogueEntry(QStringLiteral("Full"), {}, server_->url(QStringLiteral("/full.png")).toString(),
                         QStringLiteral("The <b>Full</b> Work"), QStringLiteral("Arvex & <i>Co</i>"));
      full.insert(QStringLiteral("publisher"), QStringLiteral("Arvex Publishing"));
      full.insert(QStringLiteral("version"), QStringLiteral("1.2"));
      const QJsonObject published{{QStringLiteral("name"), QStringLiteral("Published")},
                                  {QStringLiteral("fullName"), QStringLiteral("Published Work")},
                                  {QStringLiteral("publisher"), QStringLiteral("Arvex Publishing")},
                                  {QStringLiteral("version"), QStringLiteral("3")}};
      TestHttpResponse catalogue;
      catalogue.body =
          QJsonDocument(
              QJsonArray{full, published, QJsonObject{{QStringLiteral("name"), QStringLiteral("Bare")}}})
              .toJson();
      server_->setResponse(documentOf(kind), catalogue);
    }
  }

  void cleanup() {
    panel_.reset();
    model_.reset();
    server_.reset();
    home_.reset();
  }

  void showsTheCurrentItem_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("details");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<QString>("pictureText");
    // The first and last detail of each kind; the publisher is between them.
    const QList<QPair<QString, QString>> details{{QStringLiteral("Developer"), QStringLiteral("Released")},
                                                 {QStringLiteral("Studio"), QStringLiteral("Released")},
                                                 {QStringLiteral("Author"), QStringLiteral("Published")},
                                                 {QStringLiteral("Artist"), QStringLiteral("Released")}};
    const QString publisher = QStringLiteral("<b>Publisher:</b> Arvex Publishing");
    for (int i = 0; i < details.size(); ++i) {
      const QString kind = libraryKinds().at(i);
      const QString all =
          QStringLiteral("<b>%1:</b> Arvex &amp; &lt;i&gt;Co&lt;/i&gt;<br>%2<br><b>%3:</b> 2024")
              .arg(details[i].first, publisher, details[i].second);
      // Titles are plain text: the markup shows as written.
      QTest::addRow("%s: every detail", qPrintable(kind))
          << kind << "Full"
          << "The <b>Full</b> Work" << all << true << QString();
      QTest::addRow("%s: name in another case", qPrintable(kind))
          << kind << "fULL"
          << "The <b>Full</b> Work" << all << true << QString();
      QTest::addRow("%s: publisher only", qPrintable(kind))
          << kind << "Published"
          << "Published Work" << publisher << false << (kind == QLatin1String("games") ? "" : "No Thumbnail");
      if (kind != QLatin1String("games")) {
        QTest::addRow("%s: installed only", qPrintable(kind))
            << kind << "Ocean"
            << "Ocean" << QString() << false << "No Thumbnail";
      }
    }
    QTest::newRow("games: nothing known") << "games"
                                          << "Bare" << QString() << QString() << false << QString();
  }
  void showsTheCurrentItem() {
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, details);
    QFETCH(bool, picture);
    QFETCH(QString, pictureText);
    makeModel(kind);
    makePanel();
    showPanel();
    QVERIFY(!panel_->isEnabled());
    kind_.setCurrentName(name);
    QVERIFY(panel_->isEnabled());
    QCOMPARE(label(1)->text(), title);
    QCOMPARE(label(1)->textFormat(), Qt::PlainText);
    QCOMPARE(label(2)->text(), details);
    const QPixmap shown = label(0)->pixmap();
    QCOMPARE(shown.isNull(), !picture);
    QCOMPARE(label(0)->text(), pictureText);
    if (picture) {
      const QPixmap original = kind_.pictureOf(name);
      QCOMPARE(shown.width(), availableWidth());
      QCOMPARE(shown.height(), qRound(original.height() * double(availableWidth()) / original.width()));
    }
  }

  void emptiesWithoutAnItem_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("objectName");
    const QStringList panels{QStringLiteral("GamePropertiesPanel"), QStringLiteral("MoviePropertiesPanel"),
                             QStringLiteral("EbookPropertiesPanel"), QStringLiteral("AlbumPropertiesPanel")};
    for (int i = 0; i < panels.size(); ++i) {
      const QString kind = libraryKinds().at(i);
      QTest::addRow("%s: no current item", qPrintable(kind)) << kind << QString() << panels.at(i);
      QTest::addRow("%s: unknown item", qPrintable(kind)) << kind << "Missing" << panels.at(i);
    }
  }
  void emptiesWithoutAnItem() {
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, objectName);
    makeModel(kind);
    makePanel();
    showPanel();
    QCOMPARE(panel_->objectName(), objectName);
    kind_.setCurrentName(QStringLiteral("Full"));
    kind_.setCurrentName(name);
    QVERIFY(!panel_->isEnabled());
    for (int which = 0; which < labelsOf(kind).size(); ++which) {
      QVERIFY2(label(which)->text().isEmpty() && label(which)->pixmap().isNull(),
               qPrintable(labelsOf(kind).at(which)));
    }
  }

  void pictureFitsOnceShown_data() {
    QTest::addColumn<QString>("kind");
    for (const QString& kind : libraryKinds()) {
      QTest::newRow(qPrintable(kind)) << kind;
    }
  }
  void pictureFitsOnceShown() {
    QFETCH(QString, kind);
    makeModel(kind);
    // Filled while hidden, as when the panel is collapsed or the window not shown yet.
    kind_.setCurrentName(QStringLiteral("Full"));
    makePanel();
    QVERIFY(panel_->isEnabled());
    showPanel();
    QCOMPARE(label(0)->pixmap().width(), availableWidth());
    // The picture fitted to the default size of a hidden widget must not widen the text either.
    QTRY_VERIFY(label(1)->width() <= availableWidth());
  }

  void newItemScrollsToTop_data() {
    pictureFitsOnceShown_data();
  }
  void newItemScrollsToTop() {
    QFETCH(QString, kind);
    makeModel(kind);
    makePanel();
    panel_->resize(300, 120);
    showPanel();
    kind_.setCurrentName(QStringLiteral("Full"));
    auto* bar = panel_->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());
    kind_.setCurrentName(QStringLiteral("Published"));
    QCOMPARE(bar->value(), 0);
  }

  // What the games' panel does on its own.

  void gameVersion_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("version");
    QTest::newRow("offered") << "Full"
                             << "Version: 1.2";
    QTest::newRow("none offered") << "Bare"
                                  << "Version: ";
  }
  void gameVersion() {
    QFETCH(QString, name);
    QFETCH(QString, version);
    makeModel(QStringLiteral("games"));
    makePanel();
    kind_.setCurrentName(name);
    QCOMPARE(label(3)->text(), version);
    QCOMPARE(label(3)->textFormat(), Qt::PlainText);
  }

  void installedVersionFollowsTheRow() {
    const auto script = installItem(*home_, QStringLiteral("games"), QStringLiteral("Full"));
    home_->createFile(QStringLiteral(".arvexhub/games/Full/VERSION"), "1.0\n");
    makeModel(QStringLiteral("games"));
    makePanel();
    kind_.setCurrentName(QStringLiteral("Full"));
    QCOMPARE(label(3)->text(), QStringLiteral("Version: 1.0")); // not the 1.2 on offer

    // An update lands while the game is shown: the next change of its row shows it.
    home_->createFile(QStringLiteral(".arvexhub/games/Full/VERSION"), "1.2\n");
    kind_.setPlaying(script);
    QCOMPARE(label(3)->text(), QStringLiteral("Version: 1.2"));
  }
};

QTEST_MAIN(TestLibraryPanels)
#include "tst_librarypanels.moc"
