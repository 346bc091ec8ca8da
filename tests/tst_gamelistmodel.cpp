// What the game model does on its own: versions and updates, the catalogue's names, pictures that
// stall, removal and updates of installed games. What all kinds do alike is in tst_librarymodels.

#include "library/GameListModel.h"
#include "library/NetworkPolicy.h"

#include "LibraryKinds.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace arvexhub::launcher;
using namespace arvexhub::test;
using namespace Qt::StringLiterals;

namespace {

QJsonObject entry(const QString& name, const QString& version = {}, const QString& url = {},
                  const QString& thumbnail = {}) {
  auto game = catalogueEntry(name, url, thumbnail, name + u" Deluxe"_s, u"Arvex"_s);
  game.insert(u"version"_s, version);
  return game;
}

QByteArray contentOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestGameListModel final : public QObject, private LibraryFixture {
  Q_OBJECT

  std::unique_ptr<GameListModel> makeModel(const QJsonArray& catalogue, bool waitForCatalogue = true) {
    server_->setResponse(u"/games.json"_s, answer(QJsonDocument(catalogue).toJson()));
    auto model = std::make_unique<GameListModel>();
    QSignalSpy finished(model.get(), &GameListModel::updateCheckFinished);
    if (waitForCatalogue && !finished.wait(10000)) {
      qWarning("the catalogue merge did not finish");
    }
    return model;
  }
  QString gamesFolder(const QString& game = {}) const {
    return home_->filePath(u".arvexhub/games/"_s + game);
  }
  QString installGame(const QString& name, const QByteArray& version = {}, bool picture = false) {
    const auto script = installItem(*home_, u"games"_s, name, picture, "#!/bin/bash\necho old\n");
    if (!version.isNull()) {
      home_->createFile(u".arvexhub/games/%1/VERSION"_s.arg(name), version);
    }
    return script;
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
    QVERIFY(setUpLibrary());
  }
  void cleanup() {
    tearDownLibrary();
  }

  void localVersion_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trimmed") << QByteArray("1.2\n") << u"1.2"_s;
    QTest::newRow("empty file") << QByteArray("") << QString();
    QTest::newRow("missing file") << QByteArray() << u"0"_s;
    QTest::newRow("utf-8") << QByteArray("  2.0-β ") << u"2.0-β"_s;
  }
  void localVersion() {
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    const auto script = installGame(u"Alpha"_s, content);
    QCOMPARE(GameListModel::getLocalVersion(script), expected);
    QCOMPARE(GameListModel::getLocalVersion(QString()), u"0"_s);
  }

  void mergeDecidesUpdates_data() {
    QTest::addColumn<QByteArray>("installed"); // "<none>": not installed; null: no VERSION file
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("updateAvailable");
    const auto link = u"https://example.com/alpha.zip"_s;
    QTest::newRow("same version") << QByteArray("1.2") << u"1.2"_s << link << false;
    QTest::newRow("newer") << QByteArray("1.2") << u"1.3"_s << link << true;
    QTest::newRow("older") << QByteArray("1.3") << u"1.2"_s << link << false;
    QTest::newRow("no VERSION file") << QByteArray() << u"1.0"_s << link << true;
    QTest::newRow("installed, no link") << QByteArray("1.2") << u"1.2"_s << QString() << false;
    QTest::newRow("not installed, link") << QByteArray("<none>") << u"1.0"_s << link << true;
    QTest::newRow("not installed, no link") << QByteArray("<none>") << u"1.0"_s << QString() << false;
  }
  void mergeDecidesUpdates() {
    QFETCH(QByteArray, installed);
    QFETCH(QString, offered);
    QFETCH(QString, url);
    QFETCH(bool, updateAvailable);
    if (installed != "<none>") {
      installGame(u"alpha"_s, installed);
    }
    const auto model = makeModel({entry(u"Alpha"_s, offered, url)});
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0).data(GameRole::UpdateAvailable).toBool(), updateAvailable);
    const auto& game = model->gameDataByName(u"ALPHA"_s); // matched ignoring case
    QCOMPARE(game.developer, u"Arvex"_s);
    QCOMPARE(game.url, QUrl(url)); // an empty catalogue link empties the row's
    QCOMPARE(model->gameRowByPath(game.path), game.path.isEmpty() ? -1 : 0);
    QCOMPARE(model->gameRowByPath(game.path.toUpper()), -1);
    QVERIFY(model->gameDataByName(u"Gamma"_s).name.isEmpty());
  }

  void laterDuplicateEntryWins() {
    server_->setResponse(u"/first.png"_s, answer(pngOf(Qt::red)));
    server_->setResponse(u"/second.png"_s, answer(pngOf(Qt::blue)));
    const auto model = makeModel({entry(u"Alpha"_s, u"1"_s, {}, url(u"/first.png"_s)),
                                  entry(u"Alpha"_s, u"2"_s, {}, url(u"/second.png"_s))});
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->gameDataByName(u"Alpha"_s).version, u"2"_s);
    QCOMPARE(server_->requestCount(u"/first.png"_s), 0);
    QCOMPARE(server_->requestCount(u"/second.png"_s), 1);
  }

  void unsafeCatalogueNamesNeverBecomePaths_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("climbs out") << u"../../.bashrc"_s;
  }
  void unsafeCatalogueNamesNeverBecomePaths() {
    QFETCH(QString, name);
    server_->setResponse(u"/evil.png"_s, answer(pngOf(Qt::green)));
    const auto picture = url(u"/evil.png"_s);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(u"^Skipping catalogue entry with an unsafe name"_s));
    const auto model = makeModel(
        {entry(name, u"1"_s, url(u"/evil.zip"_s), picture), entry(u"Good"_s, u"1"_s, QString(), picture)});
    QCOMPARE(rowNames(*model), QStringList{u"Good"_s});
    QCOMPARE(server_->requestCount(u"/evil.png"_s), 1); // for "Good" only
    QCOMPARE(QDir(home_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u".arvexhub"_s});
    const QDir thumbnails(home_->filePath(u".arvexhub/thumbnails/games"_s));
    QCOMPARE(thumbnails.entryList(QDir::Files), QStringList{u"Good.png"_s});
  }

  // The rows show while a picture still loads; a rescan meanwhile keeps the resets balanced, and
  // a picture that stalls gives up.
  void stalledPictureDuringARescan() {
    auto stalled = answer(pngOf(Qt::blue));
    stalled.stallAfterBytes = 10;
    server_->setResponse(u"/slow.png"_s, stalled);
    auto model = makeModel({entry(u"Alpha"_s, u"1"_s, QString(), url(u"/slow.png"_s))}, false);
    QSignalSpy aboutToReset(model.get(), &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    QSignalSpy finished(model.get(), &GameListModel::updateCheckFinished);
    QTRY_COMPARE(model->rowCount(), 1);
    QCOMPARE(finished.count(), 0);

    installGame(u"Copied"_s, "1"); // someone copies a game in while pictures load
    QTRY_COMPARE(server_->requestCount(u"/games.json"_s), 2);
    QVERIFY(finished.wait(5000));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(aboutToReset.count(), reset.count());
    QCOMPARE(rowNames(*model), (QStringList{u"Copied"_s, u"Alpha"_s}));
    QVERIFY(model->gameDataByName(u"Alpha"_s).icon.isNull());
  }

  void removeGameDeletesOnlyInsideTheLibrary() {
    TestDir outside;
    const auto precious = outside.createFile(u"precious.txt"_s, "keep me");
    installGame(u"Alpha"_s, "1");
    installGame(u"Stuck"_s, "1");
    QVERIFY(QFile::link(outside.path(), gamesFolder(u"Linked"_s)));
    outside.createFile(u"launcher.command"_s, "#!/bin/bash\n"); // the link looks like a game
    const auto model = makeModel({});
    QCOMPARE(rowNames(*model), (QStringList{u"Alpha"_s, u"Linked"_s, u"Stuck"_s}));

    model->removeGame(gamesFolder(u"Linked"_s));
    QVERIFY(QFileInfo(precious).isFile()); // only the link went
    QVERIFY(!QFileInfo(gamesFolder(u"Linked"_s)).isSymLink());

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Refusing to remove"_s));
    model->removeGame(outside.path() + u"/../Alpha"_s); // same name, elsewhere
    QVERIFY(QFileInfo::exists(gamesFolder(u"Alpha/launcher.command"_s)));

    // A game whose start script cannot be deleted stays listed: it is still on disk.
    const QString script = gamesFolder(u"Stuck/launcher.command"_s);
    const Immutable locked(script);
    if (locked.isSet()) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Could not remove the game folder"_s));
      model->removeGame(gamesFolder(u"Stuck"_s));
      QVERIFY(QFileInfo::exists(script));
      QCOMPARE(model->gameDataByName(u"Stuck"_s).path, script);
    }
    QCOMPARE(rowNames(*model), (QStringList{u"Alpha"_s, u"Stuck"_s}));
  }

  // An update replaces the game's files and keeps its saves and picture; a failed one keeps the
  // installed version as it was.
  void updateOfAnInstalledGame_data() {
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<bool>("updated");
    QTest::newRow("new version") << TestArchive::game("new") << true;
    QTest::newRow("corrupt archive") << QByteArray("PK\x03\x04 broken") << false;
    QTest::newRow("no start script") << TestArchive::zip({{u"readme.txt"_s, "hi", 0100644}}) << false;
  }
  void updateOfAnInstalledGame() {
    QFETCH(QByteArray, archive);
    QFETCH(bool, updated);
    const auto script = installGame(u"Alpha"_s, "1", true);
    const auto save = home_->createFile(u".arvexhub/games/Alpha/saves/slot1.dat"_s, "level 9");
    server_->setResponse(u"/alpha.zip"_s, answer(archive));
    const auto model = makeModel({entry(u"Beta"_s, u"1"_s), entry(u"Alpha"_s, u"2"_s, url(u"/alpha.zip"_s))});
    const int row = model->gameRowByName(u"Alpha"_s);
    QVERIFY(model->gameDataByName(u"Alpha"_s).updateAvailable);
    if (!updated) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^(Failed to extract|No )"_s));
    }
    model->downloadAndInstallGame(u"Alpha"_s, model->gameDataByName(u"Alpha"_s).url);
    QTRY_VERIFY_WITH_TIMEOUT(!model->gameDataByName(u"Alpha"_s).isBusy, 10000);

    const auto& game = model->gameDataByName(u"Alpha"_s);
    QCOMPARE(model->gameRowByName(u"Alpha"_s), row);
    QCOMPARE(game.path, script);
    QCOMPARE(contentOf(script).contains("new"), updated);
    QCOMPARE(contentOf(save), QByteArray("level 9"));
    QCOMPARE(GameListModel::getLocalVersion(script), updated ? u"2"_s : u"1"_s);
    QCOMPARE(game.updateAvailable, !updated);
    QVERIFY(QFileInfo(gamesFolder(u"Alpha/Alpha.png"_s)).isFile());
    QVERIFY(!game.icon.isNull());
    QCOMPARE(QDir(gamesFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"Alpha"_s});
  }
};

QTEST_MAIN(TestGameListModel)
#include "tst_gamelistmodel.moc"
