// The properties panels of the four library tabs: what they show of the model's current item,
// in tables over the kinds, then what the games' panel does on its own.

#include "library/PlayTimeStore.h"
#include "style/Style.h"
#include "widgets/panels/AlbumPropertiesPanel.h"
#include "widgets/panels/EbookPropertiesPanel.h"
#include "widgets/panels/GamePropertiesPanel.h"
#include "widgets/panels/MoviePropertiesPanel.h"

#include "LibraryKinds.h"
#include "TestHttpServer.h"

#include <QApplication>
#include <QJsonDocument>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

using namespace arvexhub::launcher;
using namespace arvexhub::test;

namespace {

/// The object names of a kind's panel, then of its labels: picture, title, details (and version).
QStringList objectNamesOf(const QString& kind) {
  const char* const names[] = {"GamePropertiesPanel gameThumbnail gameFullName gameDetails gameVersion",
                               "MoviePropertiesPanel movieThumbnail movieFullName movieDetails",
                               "EbookPropertiesPanel ebookThumbnail ebookFullName ebookDetails",
                               "AlbumPropertiesPanel albumThumbnail albumName albumDetails"};
  return QString::fromLatin1(names[libraryKinds().indexOf(kind)]).split(QLatin1Char(' '));
}

} // namespace

class TestLibraryPanels final : public QObject, private LibraryFixture {
  Q_OBJECT

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
  QLabel* label(int which) const {
    return panel_->findChild<QLabel*>(objectNamesOf(kind_.name).at(which + 1));
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
    QVERIFY(setUpLibrary());
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
      TestHttpResponse catalogue;
      catalogue.body = "[" + QJsonDocument(full).toJson() + R"(,
          {"name": "Published", "fullName": "Published Work", "publisher": "Arvex Publishing", "version": "3"},
          {"name": "Bare"}])";
      server_->setResponse(documentOf(kind), catalogue);
    }
  }

  void cleanup() {
    panel_.reset();
    model_.reset();
    tearDownLibrary();
  }

  void showsTheCurrentItem_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("details");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<QString>("pictureText");
    QTest::addColumn<QString>("version"); // games only
    // The first and last detail of each kind; the publisher is between them.
    const QStringList details{QStringLiteral("Developer Released"), QStringLiteral("Studio Released"),
                              QStringLiteral("Author Published"), QStringLiteral("Artist Released")};
    const QString publisher = QStringLiteral("<b>Publisher:</b> Arvex Publishing");
    const QString none;
    for (int i = 0; i < details.size(); ++i) {
      const QString kind = libraryKinds().at(i);
      const QString all =
          QStringLiteral("<b>%1:</b> Arvex &amp; &lt;i&gt;Co&lt;/i&gt;<br>%2<br><b>%3:</b> 2024")
              .arg(details[i].section(u' ', 0, 0), publisher, details[i].section(u' ', 1));
      const QString noPicture = i == 0 ? QString() : QStringLiteral("No Thumbnail");
      // Titles are plain text: the markup shows as written.
      const QString title = QStringLiteral("The <b>Full</b> Work");
      QTest::addRow("%s: every detail", qPrintable(kind))
          << kind << "Full" << true << title << all << true << none << QStringLiteral("Version: 1.2");
      QTest::addRow("%s: name in another case", qPrintable(kind))
          << kind << "fULL" << true << title << all << true << none << QStringLiteral("Version: 1.2");
      QTest::addRow("%s: publisher only", qPrintable(kind))
          << kind << "Published" << true << "Published Work" << publisher << false << noPicture
          << "Version: 3";
      QTest::addRow("%s: no current item", qPrintable(kind))
          << kind << none << false << none << none << false << none << none;
      QTest::addRow("%s: unknown item", qPrintable(kind))
          << kind << "Missing" << false << none << none << false << none << none;
      if (i > 0) {
        QTest::addRow("%s: installed only", qPrintable(kind))
            << kind << "Ocean" << true << "Ocean" << none << false << noPicture << none;
      }
    }
    QTest::newRow("games: nothing known") << QStringLiteral("games") << QStringLiteral("Bare") << true << none
                                          << none << false << none << QStringLiteral("Version: ");
  }
  void showsTheCurrentItem() {
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(bool, shown);
    QFETCH(QString, title);
    QFETCH(QString, details);
    QFETCH(bool, picture);
    QFETCH(QString, pictureText);
    QFETCH(QString, version);
    makeModel(kind);
    // Another item first, filled while the panel is hidden (collapsed, or the window not shown
    // yet): nothing of it may stay.
    kind_.setCurrentName(QStringLiteral("Full"));
    makePanel();
    QCOMPARE(panel_->objectName(), objectNamesOf(kind).first());
    panel_->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel_.get()));
    kind_.setCurrentName(name);
    QCOMPARE(panel_->isEnabled(), shown);
    QCOMPARE(label(1)->text(), title);
    QCOMPARE(label(1)->textFormat(), Qt::PlainText);
    QCOMPARE(label(2)->text(), details);
    const QPixmap shownPicture = label(0)->pixmap();
    QCOMPARE(shownPicture.isNull(), !picture);
    QCOMPARE(label(0)->text(), pictureText);
    if (kind == QLatin1String("games")) {
      QCOMPARE(label(3)->text(), version);
      QCOMPARE(label(3)->textFormat(), Qt::PlainText);
    }
    if (picture) { // fitted once shown, with the text no wider
      const QPixmap original = kind_.pictureOf(name);
      QCOMPARE(shownPicture.width(), availableWidth());
      QCOMPARE(shownPicture.height(),
               qRound(original.height() * double(availableWidth()) / original.width()));
      QTRY_VERIFY(label(1)->width() <= availableWidth());
      // Another item is shown from its top.
      panel_->resize(300, 120);
      auto* bar = panel_->verticalScrollBar();
      QTRY_VERIFY(bar->maximum() > 0);
      bar->setValue(bar->maximum());
      kind_.setCurrentName(QStringLiteral("Published"));
      QCOMPARE(bar->value(), 0);
    }
  }

  // What the games' panel does on its own.

  void installedVersionAndPlayTimeFollowTheRow() {
    const auto script = installItem(*home_, QStringLiteral("games"), QStringLiteral("Full"));
    home_->createFile(QStringLiteral(".arvexhub/games/Full/VERSION"), "1.0\n");
    makeModel(QStringLiteral("games"));
    QDateTime now(QDate(2026, 12, 6), QTime(10, 0));
    PlayTimeStore played(home_->filePath(QStringLiteral("playtime.json")));
    played.setClock([&now] { return now; });
    model_->setPlayTimes(&played);
    makePanel();
    kind_.setCurrentName(QStringLiteral("Full"));
    QCOMPARE(label(3)->text(), QStringLiteral("Version: 1.0")); // not the 1.2 on offer
    auto* playTime = panel_->findChild<QLabel*>(QStringLiteral("gamePlayTime"));
    QCOMPARE(playTime->text(), QStringLiteral("Never played"));

    // An update lands while the game is shown: the next change of its row shows it.
    home_->createFile(QStringLiteral(".arvexhub/games/Full/VERSION"), "1.2\n");
    kind_.setPlaying(script);
    QCOMPARE(label(3)->text(), QStringLiteral("Version: 1.2"));

    // Its play time, on the panel and the card's tool tip, follows the sessions.
    played.startSession(QStringLiteral("Full"));
    now = now.addSecs(3 * 3600 + 12 * 60 + 59);
    played.endSession();
    now = now.addDays(1);
    kind_.setPlaying({});
    const QString summary = QStringLiteral("Played 3 h 12 min · last played yesterday");
    QCOMPARE(playTime->text(), summary + QStringLiteral("\n1 session(s)"));
    QVERIFY(kind_.indexOf(QStringLiteral("Full")).data(Qt::ToolTipRole).toString().endsWith(u'\n' + summary));
  }
};

QTEST_MAIN(TestLibraryPanels)
#include "tst_librarypanels.moc"
