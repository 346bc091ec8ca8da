// What the game model does on its own: versions and updates, the catalogue's names, pictures that
// stall, removal and updates of installed games. What all kinds do alike is in tst_librarymodels.

#include <library/GameListModel.h>
#include <library/NetworkPolicy.h>

#include <LibraryKinds.h>
#include <TestArchive.h>
#include <TestDir.h>
#include <TestHttpServer.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace arvexhub::launcher;
using namespace arvexhub::test;

namespace {

QJsonObject entry(const QString& name, const QString& version = {}, const QString& url = {},
                  const QString& thumbnail = {}) {
  return {{QStringLiteral("name"), name},
          {QStringLiteral("fullName"), name + QStringLiteral(" Deluxe")},
          {QStringLiteral("developer"), QStringLiteral("Arvex")},
          {QStringLiteral("version"), version},
          {QStringLiteral("url"), url},
          {QStringLiteral("thumbnail"), thumbnail}};
}

TestHttpResponse answer(const QByteArray& body, int status = 200) {
  TestHttpResponse response;
  response.status = status;
  response.body = body;
  return response;
}

QByteArray contentOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestGameListModel final : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestDir> temp_;
  std::unique_ptr<TestHttpServer> server_;

  std::unique_ptr<GameListModel> makeModel(const QJsonArray& catalogue, bool waitForCatalogue = true) {
    server_->setResponse(QStringLiteral("/games.json"), answer(QJsonDocument(catalogue).toJson()));
    auto model = std::make_unique<GameListModel>();
    QSignalSpy finished(model.get(), &GameListModel::updateCheckFinished);
    if (waitForCatalogue && !finished.wait(10000)) {
      qWarning("the catalogue merge did not finish");
    }
    return model;
  }
  QString gamesFolder(const QString& game = {}) const {
    return home_->filePath(QStringLiteral(".arvexhub/games/") + game);
  }
  QString installGame(const QString& name, const QByteArray& version = {}, bool picture = false) {
    const auto script =
        installItem(*home_, QStringLiteral("games"), name, picture, "#!/bin/bash\necho old\n");
    if (!version.isNull()) {
      home_->createFile(QStringLiteral(".arvexhub/games/%1/VERSION").arg(name), version);
    }
    return script;
  }
  QString url(const QString& path) const {
    return server_->url(path).toString();
  }
  static QStringList rowNames(const GameListModel& model) {
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row) {
      names.append(model.index(row).data().toString());
    }
    return names;
  }

private slots:
  void initTestCase() {
    NetworkPolicy::setStallTimeoutMs(700);
  }
  void init() {
    home_ = std::make_unique<TestDir>();
    temp_ = std::make_unique<TestDir>();
    qputenv("HOME", home_->path().toUtf8());
    qputenv("TMPDIR", temp_->path().toUtf8());
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
    qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
  }
  void cleanup() {
    server_.reset();
    temp_.reset();
    home_.reset();
  }

  void localVersion_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trimmed") << QByteArray("1.2\n") << QStringLiteral("1.2");
    QTest::newRow("empty file") << QByteArray("") << QString();
    QTest::newRow("missing file") << QByteArray() << QStringLiteral("0");
    QTest::newRow("utf-8") << QByteArray("  2.0-β ") << QStringLiteral("2.0-β");
  }
  void localVersion() {
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    const auto script = installGame(QStringLiteral("Alpha"), content);
    QCOMPARE(GameListModel::getLocalVersion(script), expected);
    QCOMPARE(GameListModel::getLocalVersion(QString()), QStringLiteral("0"));
  }

  void mergeDecidesUpdates_data() {
    QTest::addColumn<QByteArray>("installed"); // "<none>": not installed; null: no VERSION file
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("updateAvailable");
    const auto link = QStringLiteral("https://example.com/alpha.zip");
    QTest::newRow("same version") << QByteArray("1.2") << QStringLiteral("1.2") << link << false;
    QTest::newRow("newer") << QByteArray("1.2") << QStringLiteral("1.3") << link << true;
    QTest::newRow("older") << QByteArray("1.3") << QStringLiteral("1.2") << link << false;
    QTest::newRow("1.10 is newer than 1.9") << QByteArray("1.9") << QStringLiteral("1.10") << link << true;
    QTest::newRow("1.2 equals 1.2.0") << QByteArray("1.2.0") << QStringLiteral("1.2") << link << false;
    QTest::newRow("no VERSION file") << QByteArray() << QStringLiteral("1.0") << link << true;
    QTest::newRow("text versions compare as text")
        << QByteArray("beta") << QStringLiteral("gamma") << link << true;
    QTest::newRow("installed, no link") << QByteArray("1.2") << QStringLiteral("1.2") << QString() << false;
    QTest::newRow("not installed, link") << QByteArray("<none>") << QStringLiteral("1.0") << link << true;
    QTest::newRow("not installed, no link")
        << QByteArray("<none>") << QStringLiteral("1.0") << QString() << false;
  }
  void mergeDecidesUpdates() {
    QFETCH(QByteArray, installed);
    QFETCH(QString, offered);
    QFETCH(QString, url);
    QFETCH(bool, updateAvailable);
    if (installed != "<none>") {
      installGame(QStringLiteral("alpha"), installed);
    }
    const auto model = makeModel({entry(QStringLiteral("Alpha"), offered, url)});
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0).data(GameRole::UpdateAvailable).toBool(), updateAvailable);
    const auto& game = model->gameDataByName(QStringLiteral("ALPHA")); // matched ignoring case
    QCOMPARE(game.developer, QStringLiteral("Arvex"));
    QCOMPARE(game.url, QUrl(url)); // an empty catalogue link empties the row's
    QCOMPARE(model->gameRowByPath(game.path), game.path.isEmpty() ? -1 : 0);
    QCOMPARE(model->gameRowByPath(game.path.toUpper()), -1);
    QVERIFY(model->gameDataByName(QStringLiteral("Gamma")).name.isEmpty());
  }

  void laterDuplicateEntryWins() {
    server_->setResponse(QStringLiteral("/first.png"), answer(pngOf(Qt::red)));
    server_->setResponse(QStringLiteral("/second.png"), answer(pngOf(Qt::blue)));
    const auto model = makeModel(
        {entry(QStringLiteral("Alpha"), QStringLiteral("1"), {}, url(QStringLiteral("/first.png"))),
         entry(QStringLiteral("Alpha"), QStringLiteral("2"), {}, url(QStringLiteral("/second.png")))});
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->gameDataByName(QStringLiteral("Alpha")).version, QStringLiteral("2"));
    QCOMPARE(server_->requestCount(QStringLiteral("/first.png")), 0);
    QCOMPARE(server_->requestCount(QStringLiteral("/second.png")), 1);
  }

  void unsafeCatalogueNamesNeverBecomePaths_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("climbs out") << QStringLiteral("../../.bashrc");
    QTest::newRow("sub-folder") << QStringLiteral("a/b");
    QTest::newRow("dot-dot") << QStringLiteral("..");
    QTest::newRow("dot") << QStringLiteral(".");
    QTest::newRow("backslash") << QStringLiteral("..\\..\\x");
    QTest::newRow("control character") << QStringLiteral("a\nb");
    QTest::newRow("NUL") << QString::fromUtf16(u"a\u0000b", 3);
    QTest::newRow("too long") << QString(256, QLatin1Char('x'));
  }
  void unsafeCatalogueNamesNeverBecomePaths() {
    QFETCH(QString, name);
    server_->setResponse(QStringLiteral("/evil.png"), answer(pngOf(Qt::green)));
    const auto picture = url(QStringLiteral("/evil.png"));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^Skipping catalogue entry with an unsafe name")));
    const auto model = makeModel({entry(name, QStringLiteral("1"), url(QStringLiteral("/evil.zip")), picture),
                                  entry(QStringLiteral("Good"), QStringLiteral("1"), QString(), picture)});
    QCOMPARE(rowNames(*model), QStringList{QStringLiteral("Good")});
    QCOMPARE(server_->requestCount(QStringLiteral("/evil.png")), 1); // for "Good" only
    QCOMPARE(QDir(home_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral(".arvexhub")});
    const QDir thumbnails(home_->filePath(QStringLiteral(".arvexhub/thumbnails/games")));
    QCOMPARE(thumbnails.entryList(QDir::Files), QStringList{QStringLiteral("Good.png")});
  }

  // The rows show while a picture still loads; a rescan meanwhile keeps the resets balanced, and
  // a picture that stalls gives up.
  void stalledPictureDuringARescan() {
    auto stalled = answer(pngOf(Qt::blue));
    stalled.stallAfterBytes = 10;
    server_->setResponse(QStringLiteral("/slow.png"), stalled);
    auto model = makeModel(
        {entry(QStringLiteral("Alpha"), QStringLiteral("1"), QString(), url(QStringLiteral("/slow.png")))},
        false);
    QSignalSpy aboutToReset(model.get(), &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    QSignalSpy finished(model.get(), &GameListModel::updateCheckFinished);
    QTRY_COMPARE(model->rowCount(), 1);
    QCOMPARE(finished.count(), 0);

    installGame(QStringLiteral("Copied"), "1"); // someone copies a game in while pictures load
    QTRY_COMPARE(server_->requestCount(QStringLiteral("/games.json")), 2);
    QVERIFY(finished.wait(5000));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(aboutToReset.count(), reset.count());
    QCOMPARE(rowNames(*model), (QStringList{QStringLiteral("Copied"), QStringLiteral("Alpha")}));
    QVERIFY(model->gameDataByName(QStringLiteral("Alpha")).icon.isNull());
  }

  void currentGameIsAnnouncedOnce() {
    const auto model = makeModel({entry(QStringLiteral("Beta"), QStringLiteral("1"))});
    QSignalSpy current(model.get(), &GameListModel::currentGameChanged);
    model->setCurrentGameName(QStringLiteral("Beta"));
    model->setCurrentGameName(QStringLiteral("Beta"));
    QCOMPARE(current.count(), 1);
    QVERIFY(!model->index(0).data(999).isValid());
  }

  void removeGameDeletesOnlyInsideTheLibrary() {
    TestDir outside;
    const auto precious = outside.createFile(QStringLiteral("precious.txt"), "keep me");
    installGame(QStringLiteral("Alpha"), "1");
    installGame(QStringLiteral("Stuck"), "1");
    QVERIFY(QFile::link(outside.path(), gamesFolder(QStringLiteral("Linked"))));
    outside.createFile(QStringLiteral("launcher.command"), "#!/bin/bash\n"); // the link looks like a game
    const auto model = makeModel({});
    QCOMPARE(rowNames(*model),
             (QStringList{QStringLiteral("Alpha"), QStringLiteral("Linked"), QStringLiteral("Stuck")}));

    model->removeGame(gamesFolder(QStringLiteral("Linked")));
    QVERIFY(QFileInfo(precious).isFile()); // only the link went
    QVERIFY(!QFileInfo(gamesFolder(QStringLiteral("Linked"))).isSymLink());

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refusing to remove")));
    model->removeGame(outside.path() + QStringLiteral("/../Alpha")); // same name, elsewhere
    QVERIFY(QFileInfo::exists(gamesFolder(QStringLiteral("Alpha/launcher.command"))));

    // A game whose start script cannot be deleted stays listed: it is still on disk.
    const QString script = gamesFolder(QStringLiteral("Stuck/launcher.command"));
    const Immutable locked(script);
    if (locked.isSet()) {
      QTest::ignoreMessage(QtWarningMsg,
                           QRegularExpression(QStringLiteral("^Could not remove the game folder")));
      model->removeGame(gamesFolder(QStringLiteral("Stuck")));
      QVERIFY(QFileInfo::exists(script));
      QCOMPARE(model->gameDataByName(QStringLiteral("Stuck")).path, script);
    }
    QCOMPARE(rowNames(*model), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Stuck")}));
  }

  void downloadProgress() {
    QByteArray noise(200000, Qt::Uninitialized); // incompressible, so the archive stays large
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    auto slow = answer(TestArchive::game("x", {{QStringLiteral("data.bin"), noise}}));
    slow.bytesPerSecond = 400000;
    server_->setResponse(QStringLiteral("/alpha.zip"), slow);
    const auto model =
        makeModel({entry(QStringLiteral("Alpha"), QStringLiteral("1"), url(QStringLiteral("/alpha.zip")))});
    QList<double> seen;
    connect(model.get(), &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex& from, const QModelIndex&, const QList<int>& roles) {
              if (roles.contains(GameRole::DownloadProgress)) {
                seen.append(from.data(GameRole::DownloadProgress).toDouble());
              }
            });
    QSignalSpy done(model.get(), &GameListModel::gameDownloadFinished);
    model->downloadAndInstallGame(QStringLiteral("Alpha"),
                                  model->gameDataByName(QStringLiteral("Alpha")).url);
    QVERIFY(done.wait(10000));
    QVERIFY(seen.size() > 2);
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QVERIFY(seen.first() >= 0.0 && seen.last() <= 1.0);
  }

  // An update replaces the game's files and keeps its saves and picture; a failed one keeps the
  // installed version as it was.
  void updateOfAnInstalledGame_data() {
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<bool>("updated");
    QTest::newRow("new version") << TestArchive::game("new") << true;
    QTest::newRow("corrupt archive") << QByteArray("PK\x03\x04 broken") << false;
    QTest::newRow("no start script") << TestArchive::zip({{QStringLiteral("readme.txt"), "hi", 0100644}})
                                     << false;
  }
  void updateOfAnInstalledGame() {
    QFETCH(QByteArray, archive);
    QFETCH(bool, updated);
    const auto script = installGame(QStringLiteral("Alpha"), "1", true);
    const auto save = home_->createFile(QStringLiteral(".arvexhub/games/Alpha/saves/slot1.dat"), "level 9");
    server_->setResponse(QStringLiteral("/alpha.zip"), answer(archive));
    const auto model =
        makeModel({entry(QStringLiteral("Beta"), QStringLiteral("1")),
                   entry(QStringLiteral("Alpha"), QStringLiteral("2"), url(QStringLiteral("/alpha.zip")))});
    const int row = model->gameRowByName(QStringLiteral("Alpha"));
    QVERIFY(model->gameDataByName(QStringLiteral("Alpha")).updateAvailable);
    if (!updated) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^(Failed to extract|No )")));
    }
    model->downloadAndInstallGame(QStringLiteral("Alpha"),
                                  model->gameDataByName(QStringLiteral("Alpha")).url);
    QTRY_VERIFY_WITH_TIMEOUT(!model->gameDataByName(QStringLiteral("Alpha")).isBusy, 10000);

    const auto& game = model->gameDataByName(QStringLiteral("Alpha"));
    QCOMPARE(model->gameRowByName(QStringLiteral("Alpha")), row);
    QCOMPARE(game.path, script);
    QCOMPARE(contentOf(script).contains("new"), updated);
    QCOMPARE(contentOf(save), QByteArray("level 9"));
    QCOMPARE(GameListModel::getLocalVersion(script), updated ? QStringLiteral("2") : QStringLiteral("1"));
    QCOMPARE(game.updateAvailable, !updated);
    QVERIFY(QFileInfo(gamesFolder(QStringLiteral("Alpha/Alpha.png"))).isFile());
    QVERIFY(!game.icon.isNull());
    QCOMPARE(QDir(gamesFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Alpha")});
  }
};

QTEST_MAIN(TestGameListModel)
#include "tst_gamelistmodel.moc"
