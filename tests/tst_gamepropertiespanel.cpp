#include "library/GameListModel.h"
#include "widgets/GamePropertiesPanel.h"

#include <TestDir.h>
#include <TestHttpServer.h>

#include <style/Style.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace arvexhub::launcher;
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

QByteArray png(const QSize& size) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::darkCyan);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QJsonObject entry(std::initializer_list<std::pair<const char*, const char*>> fields,
                  const QUrl& thumbnail = {}) {
  QJsonObject object{{QStringLiteral("thumbnail"), thumbnail.toString()}};
  for (const auto& [key, value] : fields) {
    object.insert(QLatin1String(key), QString::fromUtf8(value));
  }
  return object;
}

} // namespace

class TestGamePropertiesPanel final : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<GameListModel> model_;
  std::unique_ptr<GamePropertiesPanel> panel_;

  QLabel* label(const char* name) const {
    return panel_->findChild<QLabel*>(QLatin1String(name));
  }
  void makePanel() {
    panel_ = std::make_unique<GamePropertiesPanel>(model_.get());
    panel_->resize(300, 500);
  }
  void showPanel() {
    panel_->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel_.get()));
  }
  /// The width the picture may take: the panel's inside, less the content margins.
  int availableWidth() const {
    return panel_->viewport()->width() - 32;
  }

private slots:
  void initTestCase() {
    QApplication::setStyle(new arvexhub::style::Style);
  }

  void init() {
    home_ = std::make_unique<TestDir>();
    qputenv("HOME", home_->path().toUtf8());
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
    const QJsonArray games{entry({{"name", "Full"},
                                  {"fullName", "The <b>Full</b> Game"},
                                  {"developer", "Arvex & <i>Co</i>"},
                                  {"publisher", "Arvex Publishing"},
                                  {"launchDate", "2024-05-01"},
                                  {"version", "1.2"}},
                                 server_->url(QStringLiteral("/full.png"))),
                           entry({{"name", "Published"},
                                  {"fullName", "Published Game"},
                                  {"publisher", "Arvex Publishing"},
                                  {"version", "3"}}),
                           entry({{"name", "Bare"}})};
    TestHttpResponse catalogue;
    catalogue.body = QJsonDocument(games).toJson();
    server_->setResponse(QStringLiteral("/games.json"), catalogue);
    TestHttpResponse picture;
    picture.body = png(QSize(120, 60));
    server_->setResponse(QStringLiteral("/full.png"), picture);
    model_ = std::make_unique<GameListModel>();
    QSignalSpy merged(model_.get(), &GameListModel::updateCheckFinished);
    QVERIFY(merged.wait(10000));
    QVERIFY(!model_->gameDataByName(QStringLiteral("Full")).icon.isNull());
  }

  void cleanup() {
    panel_.reset();
    model_.reset();
    server_.reset();
    home_.reset();
  }

  void showsTheCurrentGame_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fullName");
    QTest::addColumn<QString>("details");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("picture");
    const QString all = QStringLiteral("<b>Developer:</b> Arvex &amp; &lt;i&gt;Co&lt;/i&gt;<br>"
                                       "<b>Publisher:</b> Arvex Publishing<br><b>Released:</b> 2024-05-01");
    QTest::newRow("every detail") << "Full"
                                  << "The <b>Full</b> Game" << all << "Version: 1.2" << true;
    QTest::newRow("name in another case") << "fULL"
                                          << "The <b>Full</b> Game" << all << "Version: 1.2" << true;
    QTest::newRow("publisher only") << "Published"
                                    << "Published Game"
                                    << "<b>Publisher:</b> Arvex Publishing"
                                    << "Version: 3" << false;
    QTest::newRow("nothing known") << "Bare"
                                   << ""
                                   << ""
                                   << "Version: " << false;
  }
  void showsTheCurrentGame() {
    QFETCH(QString, name);
    QFETCH(QString, fullName);
    QFETCH(QString, details);
    QFETCH(QString, version);
    QFETCH(bool, picture);
    makePanel();
    showPanel();
    QVERIFY(!panel_->isEnabled());
    model_->setCurrentGameName(name);
    QVERIFY(panel_->isEnabled());
    QCOMPARE(label("gameFullName")->text(), fullName);
    QCOMPARE(label("gameFullName")->textFormat(), Qt::PlainText);
    QCOMPARE(label("gameDetails")->text(), details);
    QCOMPARE(label("gameVersion")->text(), version);
    const QPixmap shown = label("gameThumbnail")->pixmap();
    QCOMPARE(shown.isNull(), !picture);
    if (picture) {
      const QPixmap& icon = model_->gameDataByName(name).icon;
      QCOMPARE(shown.width(), availableWidth());
      QCOMPARE(shown.height(), qRound(icon.height() * double(availableWidth()) / icon.width()));
    }
  }

  void emptiesWithoutAGame_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("no current game") << "";
    QTest::newRow("unknown game") << "Missing";
  }
  void emptiesWithoutAGame() {
    QFETCH(QString, name);
    makePanel();
    showPanel();
    model_->setCurrentGameName(QStringLiteral("Full"));
    model_->setCurrentGameName(name);
    QVERIFY(!panel_->isEnabled());
    for (const char* labelName : {"gameThumbnail", "gameFullName", "gameDetails", "gameVersion"}) {
      QVERIFY2(label(labelName)->text().isEmpty() && label(labelName)->pixmap().isNull(), labelName);
    }
  }

  void pictureFitsOnceShown() {
    // Filled while hidden, as when the panel is collapsed or the window not shown yet.
    model_->setCurrentGameName(QStringLiteral("Full"));
    makePanel();
    QVERIFY(panel_->isEnabled());
    showPanel();
    QCOMPARE(label("gameThumbnail")->pixmap().width(), availableWidth());
    // The picture fitted to the default size of a hidden widget must not widen the text either.
    QTRY_VERIFY(label("gameFullName")->width() <= availableWidth());
  }

  void installedVersionFollowsTheRow() {
    const auto script =
        home_->createFile(QStringLiteral(".arvexhub/games/Full/launcher.command"), "#!/bin/sh\n");
    home_->createFile(QStringLiteral(".arvexhub/games/Full/VERSION"), "1.0\n");
    model_ = std::make_unique<GameListModel>();
    QSignalSpy merged(model_.get(), &GameListModel::updateCheckFinished);
    QVERIFY(merged.wait(10000));
    makePanel();
    model_->setCurrentGameName(QStringLiteral("Full"));
    QCOMPARE(label("gameVersion")->text(), QStringLiteral("Version: 1.0")); // not the 1.2 on offer

    // An update lands while the game is shown: the next change of its row shows it.
    home_->createFile(QStringLiteral(".arvexhub/games/Full/VERSION"), "1.2\n");
    model_->setCurrentPlayingGame(script);
    QCOMPARE(label("gameVersion")->text(), QStringLiteral("Version: 1.2"));
  }

  void newGameScrollsToTop() {
    makePanel();
    panel_->resize(300, 120);
    showPanel();
    model_->setCurrentGameName(QStringLiteral("Full"));
    auto* bar = panel_->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());
    model_->setCurrentGameName(QStringLiteral("Published"));
    QCOMPARE(bar->value(), 0);
  }
};

QTEST_MAIN(TestGamePropertiesPanel)
#include "tst_gamepropertiespanel.moc"
