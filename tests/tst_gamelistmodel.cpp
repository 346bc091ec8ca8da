#include <library/GameListModel.h>
#include <library/NetworkPolicy.h>

#include <LibraryKinds.h>
#include <TestArchive.h>
#include <TestDir.h>
#include <TestHttpServer.h>

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace arvexhub::launcher;
using arvexhub::test::pngOf;
using arvexhub::test::TestArchive;
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

Q_DECLARE_METATYPE(TestHttpResponse)

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

TestHttpResponse answer(int status, const QByteArray& body) {
  TestHttpResponse response;
  response.status = status;
  response.body = body;
  return response;
}

QByteArray json(const QJsonArray& array) {
  return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace

class TestGameListModel final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void ownPictureFillsInAfterTheRows();
  void localVersion_data();
  void localVersion();
  void mergeDecidesUpdates_data();
  void mergeDecidesUpdates();
  void mergeCopiesFieldsAndAppendsCatalogueRows();
  void laterDuplicateEntryWins();
  void unsafeCatalogueNamesNeverBecomePaths_data();
  void unsafeCatalogueNamesNeverBecomePaths();
  void plainHttpOnlyForLoopback();
  void rowsShowBeforePicturesAndStalledPictureEnds();
  void rescanDuringMergeKeepsResetsBalanced();
  void externalChangeRescansButOwnRemovalDoesNot();
  void currentGameIsAnnouncedOnce();
  void removeGameDeletesOnlyInsideTheLibrary();
  void gameThatCannotBeDeletedStaysListed();
  void downloadInstallsGame();
  void downloadProgress();
  void failedDownloadLeavesNothing_data();
  void failedDownloadLeavesNothing();
  void failedUpdateKeepsInstalledGame_data();
  void failedUpdateKeepsInstalledGame();
  void updateKeepsSavesAndReplacesFiles();

private:
  std::unique_ptr<GameListModel> makeModel(bool waitForCatalogue = true);
  QString gamesFolder() const;
  QString installGame(const QString& name, const QByteArray& version = {}, bool picture = false);
  void serveCatalogue(const QJsonArray& entries);
  QStringList rowNames(const GameListModel& model) const;
  QStringList temporaryLeftOvers() const;

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestDir> temp_;
  std::unique_ptr<TestHttpServer> server_;
};

void TestGameListModel::initTestCase() {
  NetworkPolicy::setStallTimeoutMs(700);
}

void TestGameListModel::init() {
  home_ = std::make_unique<TestDir>();
  temp_ = std::make_unique<TestDir>();
  qputenv("HOME", home_->path().toUtf8());
  qputenv("TMPDIR", temp_->path().toUtf8());
  server_ = std::make_unique<TestHttpServer>();
  QVERIFY(server_->listen());
  qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
}

void TestGameListModel::cleanup() {
  server_.reset();
  temp_.reset();
  home_.reset();
}

std::unique_ptr<GameListModel> TestGameListModel::makeModel(bool waitForCatalogue) {
  auto model = std::make_unique<GameListModel>();
  if (waitForCatalogue) {
    QSignalSpy finished(model.get(), &GameListModel::updateCheckFinished);
    if (!finished.wait(10000)) {
      qWarning("the catalogue merge did not finish");
    }
  }
  return model;
}

QString TestGameListModel::gamesFolder() const {
  return home_->filePath(QStringLiteral(".arvexhub/games"));
}

QString TestGameListModel::installGame(const QString& name, const QByteArray& version, bool picture) {
  const auto folder = QStringLiteral(".arvexhub/games/") + name;
  const auto script =
      home_->createFile(folder + QStringLiteral("/launcher.command"), "#!/bin/bash\necho old\n");
  if (!version.isNull()) {
    home_->createFile(folder + QStringLiteral("/VERSION"), version);
  }
  if (picture) {
    home_->createFile(folder + QLatin1Char('/') + name + QStringLiteral(".png"), pngOf(Qt::red));
  }
  return script;
}

void TestGameListModel::serveCatalogue(const QJsonArray& entries) {
  TestHttpResponse response;
  response.body = json(entries);
  server_->setResponse(QStringLiteral("/games.json"), response);
}

QStringList TestGameListModel::rowNames(const GameListModel& model) const {
  QStringList names;
  for (int row = 0; row < model.rowCount(); ++row) {
    names.append(model.index(row).data().toString());
  }
  return names;
}

QStringList TestGameListModel::temporaryLeftOvers() const {
  return QDir(temp_->path()).entryList(QDir::Files | QDir::Hidden);
}

void TestGameListModel::ownPictureFillsInAfterTheRows() {
  installGame(QStringLiteral("Alpha"), "1", true);
  installGame(QStringLiteral("Beta"), "1", false);
  serveCatalogue({});
  auto model = std::make_unique<GameListModel>();
  QCOMPARE(model->rowCount(), 2); // the rows are there before any picture is decoded
  QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
  QTRY_VERIFY(!model->gameDataByName(QStringLiteral("Alpha")).icon.isNull());
  QVERIFY(model->gameDataByName(QStringLiteral("Beta")).icon.isNull());
  QVERIFY(!changed.isEmpty());
}

void TestGameListModel::localVersion_data() {
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<QString>("expected");
  QTest::newRow("trimmed") << QByteArray("1.2\n") << QStringLiteral("1.2");
  QTest::newRow("empty file") << QByteArray("") << QString();
  QTest::newRow("missing file") << QByteArray() << QStringLiteral("0");
  QTest::newRow("utf-8") << QByteArray("  2.0-β ") << QStringLiteral("2.0-β");
}

void TestGameListModel::localVersion() {
  QFETCH(QByteArray, content);
  QFETCH(QString, expected);
  const auto script = installGame(QStringLiteral("Alpha"), content);
  QCOMPARE(GameListModel::getLocalVersion(script), expected);
  QCOMPARE(GameListModel::getLocalVersion(QString()), QStringLiteral("0"));
}

void TestGameListModel::mergeDecidesUpdates_data() {
  QTest::addColumn<QByteArray>("installed"); // null: not installed
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
  QTest::newRow("not installed, link") << QByteArray("<none>") << QStringLiteral("1.0") << link << true;
  QTest::newRow("not installed, no link")
      << QByteArray("<none>") << QStringLiteral("1.0") << QString() << false;
}

void TestGameListModel::mergeDecidesUpdates() {
  QFETCH(QByteArray, installed);
  QFETCH(QString, offered);
  QFETCH(QString, url);
  QFETCH(bool, updateAvailable);
  if (installed != "<none>") {
    installGame(QStringLiteral("Alpha"), installed);
  }
  serveCatalogue({entry(QStringLiteral("Alpha"), offered, url)});
  const auto model = makeModel();
  QCOMPARE(model->rowCount(), 1);
  QCOMPARE(model->index(0).data(GameRole::UpdateAvailable).toBool(), updateAvailable);
}

void TestGameListModel::mergeCopiesFieldsAndAppendsCatalogueRows() {
  installGame(QStringLiteral("alpha"), "1.0");
  serveCatalogue(
      {entry(QStringLiteral("Alpha"), QStringLiteral("1.0"), QString()),
       entry(QStringLiteral("Beta"), QStringLiteral("2.0"), QStringLiteral("https://example.com/b.zip")),
       QJsonValue(42), QJsonObject{{QStringLiteral("fullName"), QStringLiteral("no name")}}});
  auto model = std::make_unique<GameListModel>();
  QSignalSpy rowCount(model.get(), &GameListModel::rowCountChanged);
  QSignalSpy finished(model.get(), &GameListModel::updateCheckFinished);
  QVERIFY(finished.wait());
  QCOMPARE(rowNames(*model), (QStringList{QStringLiteral("alpha"), QStringLiteral("Beta")}));
  QCOMPARE(rowCount.count(), 1);

  const auto& alpha = model->gameDataByName(QStringLiteral("ALPHA"));
  QCOMPARE(alpha.fullName, QStringLiteral("Alpha Deluxe")); // matched ignoring case
  QCOMPARE(alpha.developer, QStringLiteral("Arvex"));
  QVERIFY(alpha.url.isEmpty()); // an empty catalogue link empties the row's
  QVERIFY(!alpha.path.isEmpty());
  const auto& beta = model->gameDataByName(QStringLiteral("Beta"));
  QVERIFY(beta.path.isEmpty());
  QCOMPARE(beta.version, QStringLiteral("2.0"));
  QVERIFY(beta.updateAvailable);
  QCOMPARE(model->gameDataByName(QStringLiteral("Gamma")).name, QString());
  QCOMPARE(model->gameRowByName(QStringLiteral("BETA")), 1);
  QCOMPARE(model->gameRowByPath(alpha.path), 0);
  QCOMPARE(model->gameRowByPath(alpha.path.toUpper()), -1);
}

void TestGameListModel::laterDuplicateEntryWins() {
  const auto first = server_->url(QStringLiteral("/first.png")).toString();
  const auto second = server_->url(QStringLiteral("/second.png")).toString();
  serveCatalogue({entry(QStringLiteral("Alpha"), QStringLiteral("1"), QString(), first),
                  entry(QStringLiteral("Alpha"), QStringLiteral("2"), QString(), second)});
  server_->setResponse(QStringLiteral("/first.png"), answer(200, pngOf(Qt::red)));
  server_->setResponse(QStringLiteral("/second.png"), answer(200, pngOf(Qt::blue)));
  const auto model = makeModel();
  QCOMPARE(model->rowCount(), 1);
  QCOMPARE(model->gameDataByName(QStringLiteral("Alpha")).version, QStringLiteral("2"));
  QCOMPARE(server_->requestCount(QStringLiteral("/first.png")), 0);
  QCOMPARE(server_->requestCount(QStringLiteral("/second.png")), 1);
}

void TestGameListModel::unsafeCatalogueNamesNeverBecomePaths_data() {
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

void TestGameListModel::unsafeCatalogueNamesNeverBecomePaths() {
  QFETCH(QString, name);
  server_->setResponse(QStringLiteral("/evil.png"), answer(200, pngOf(Qt::green)));
  const auto picture = server_->url(QStringLiteral("/evil.png")).toString();
  serveCatalogue(
      {entry(name, QStringLiteral("1"), server_->url(QStringLiteral("/evil.zip")).toString(), picture),
       entry(QStringLiteral("Good"), QStringLiteral("1"), QString(), picture)});
  QTest::ignoreMessage(QtWarningMsg,
                       QRegularExpression(QStringLiteral("^Skipping catalogue entry with an unsafe name")));
  const auto model = makeModel();
  QCOMPARE(rowNames(*model), QStringList{QStringLiteral("Good")});
  QCOMPARE(server_->requestCount(QStringLiteral("/evil.png")), 1); // for "Good" only
  QCOMPARE(QDir(home_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
           QStringList{QStringLiteral(".arvexhub")});
  const QDir thumbnails(home_->filePath(QStringLiteral(".arvexhub/thumbnails/games")));
  QCOMPARE(thumbnails.entryList(QDir::Files), QStringList{QStringLiteral("Good.png")});
}

void TestGameListModel::plainHttpOnlyForLoopback() {
  qputenv("ARVEXHUB_CATALOGUE_URL", "http://catalogue.example.com");
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refusing to fetch")));
  const auto model = makeModel(false);
  QCOMPARE(model->rowCount(), 0);
  QVERIFY(!NetworkPolicy::isAllowed(QUrl(QStringLiteral("http://10.0.0.1/x.zip"))));
  QVERIFY(NetworkPolicy::isAllowed(QUrl(QStringLiteral("http://127.0.0.2/x.zip"))));
  QVERIFY(NetworkPolicy::isAllowed(QUrl(QStringLiteral("http://[::1]/x.zip"))));
  QVERIFY(NetworkPolicy::isAllowed(QUrl(QStringLiteral("http://localhost/x.zip"))));
  QVERIFY(NetworkPolicy::isAllowed(QUrl(QStringLiteral("https://catalogue.example.com/x.zip"))));
  QVERIFY(!NetworkPolicy::isAllowed(QUrl(QStringLiteral("file:///etc/passwd"))));
}

void TestGameListModel::rowsShowBeforePicturesAndStalledPictureEnds() {
  auto stalled = answer(200, pngOf(Qt::blue));
  stalled.stallAfterBytes = 10;
  server_->setResponse(QStringLiteral("/slow.png"), stalled);
  serveCatalogue({entry(QStringLiteral("Alpha"), QStringLiteral("1"), QString(),
                        server_->url(QStringLiteral("/slow.png")).toString())});
  auto model = makeModel(false);
  QSignalSpy finished(model.get(), &GameListModel::updateCheckFinished);
  QTRY_COMPARE(model->rowCount(), 1); // the row is there while its picture still loads
  QCOMPARE(finished.count(), 0);
  QVERIFY(finished.wait(5000)); // the stalled picture gives up
  QCOMPARE(finished.count(), 1);
  QVERIFY(model->gameDataByName(QStringLiteral("Alpha")).icon.isNull());
}

void TestGameListModel::rescanDuringMergeKeepsResetsBalanced() {
  auto stalled = answer(200, pngOf(Qt::blue));
  stalled.stallAfterBytes = 10;
  server_->setResponse(QStringLiteral("/slow.png"), stalled);
  serveCatalogue({entry(QStringLiteral("Alpha"), QStringLiteral("1"), QString(),
                        server_->url(QStringLiteral("/slow.png")).toString())});
  auto model = makeModel(false);
  QSignalSpy aboutToReset(model.get(), &QAbstractItemModel::modelAboutToBeReset);
  QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
  QSignalSpy finished(model.get(), &GameListModel::updateCheckFinished);
  QTRY_COMPARE(model->rowCount(), 1);

  installGame(QStringLiteral("Copied"), "1"); // someone copies a game in while pictures load
  QTRY_COMPARE(server_->requestCount(QStringLiteral("/games.json")), 2);
  QVERIFY(finished.wait(5000));
  QTRY_COMPARE(finished.count(), 1);
  QCOMPARE(aboutToReset.count(), reset.count());
  QCOMPARE(rowNames(*model), (QStringList{QStringLiteral("Copied"), QStringLiteral("Alpha")}));
}

void TestGameListModel::externalChangeRescansButOwnRemovalDoesNot() {
  installGame(QStringLiteral("Alpha"), "1");
  installGame(QStringLiteral("Beta"), "1");
  serveCatalogue({});
  const auto model = makeModel();
  QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);

  model->removeGame(gamesFolder() + QStringLiteral("/Alpha"));
  QCOMPARE(rowNames(*model), QStringList{QStringLiteral("Beta")});
  QVERIFY(!QFileInfo::exists(gamesFolder() + QStringLiteral("/Alpha")));
  QTest::qWait(300); // give a stray watcher notice the time to arrive; none may rescan
  QCOMPARE(server_->requestCount(QStringLiteral("/games.json")), 1);

  installGame(QStringLiteral("Gamma"), "1");
  QTRY_COMPARE(server_->requestCount(QStringLiteral("/games.json")), 2);
  QTRY_COMPARE(rowNames(*model), (QStringList{QStringLiteral("Beta"), QStringLiteral("Gamma")}));
}

void TestGameListModel::currentGameIsAnnouncedOnce() {
  installGame(QStringLiteral("Alpha"), "1");
  serveCatalogue({entry(QStringLiteral("Beta"), QStringLiteral("1"))});
  const auto model = makeModel();
  QSignalSpy current(model.get(), &GameListModel::currentGameChanged);
  model->setCurrentGameName(QStringLiteral("Alpha"));
  model->setCurrentGameName(QStringLiteral("Alpha"));
  QCOMPARE(current.count(), 1);
  QVERIFY(!model->index(0).data(999).isValid());
}

void TestGameListModel::removeGameDeletesOnlyInsideTheLibrary() {
  TestDir outside;
  const auto precious = outside.createFile(QStringLiteral("precious.txt"), "keep me");
  installGame(QStringLiteral("Alpha"), "1");
  QVERIFY(QFile::link(outside.path(), gamesFolder() + QStringLiteral("/Linked")));
  outside.createFile(QStringLiteral("launcher.command"), "#!/bin/bash\n"); // the link looks like a game
  serveCatalogue({});
  const auto model = makeModel();
  QCOMPARE(rowNames(*model), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Linked")}));

  model->removeGame(gamesFolder() + QStringLiteral("/Linked"));
  QVERIFY(QFileInfo(precious).isFile()); // only the link went
  QVERIFY(!QFileInfo(gamesFolder() + QStringLiteral("/Linked")).isSymLink());

  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refusing to remove")));
  model->removeGame(outside.path() + QStringLiteral("/../Alpha")); // same name, elsewhere
  QVERIFY(QFileInfo::exists(gamesFolder() + QStringLiteral("/Alpha/launcher.command")));
  QCOMPARE(rowNames(*model), QStringList{QStringLiteral("Alpha")});
}

namespace {

/// Makes a file immutable (even to root) while it lives; false when the file system or the
/// process cannot.
class Immutable {
public:
  explicit Immutable(const QString& path)
      : fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)) {
    int flags = 0;
    set_ = fd_ >= 0 && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0 &&
           (flags |= FS_IMMUTABLE_FL, ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0);
  }
  ~Immutable() {
    int flags = 0;
    if (set_ && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
      flags &= ~FS_IMMUTABLE_FL;
      ::ioctl(fd_, FS_IOC_SETFLAGS, &flags);
    }
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  Q_DISABLE_COPY_MOVE(Immutable)
  bool isSet() const {
    return set_;
  }

private:
  int fd_;
  bool set_ = false;
};

} // namespace

void TestGameListModel::gameThatCannotBeDeletedStaysListed() {
  installGame(QStringLiteral("Stuck"), "1");
  serveCatalogue({});
  const auto model = makeModel();
  const QString script = gamesFolder() + QStringLiteral("/Stuck/launcher.command");
  const Immutable locked(script);
  if (!locked.isSet()) {
    QSKIP("this file system or process cannot make a file immutable");
  }
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Could not remove the game folder")));
  model->removeGame(gamesFolder() + QStringLiteral("/Stuck"));
  QVERIFY(QFileInfo::exists(script));
  QCOMPARE(rowNames(*model), QStringList{QStringLiteral("Stuck")});
  QCOMPARE(model->index(0).data(GameRole::Path).toString(), script);
}

void TestGameListModel::downloadInstallsGame() {
  const auto archive = TestArchive::game("new");
  server_->setResponse(QStringLiteral("/alpha.zip"), answer(200, archive));
  auto alpha = entry(QStringLiteral("Alpha"), QStringLiteral("2.1"),
                     server_->url(QStringLiteral("/alpha.zip")).toString());
  // The checksum is verified when the catalogue gives one (in upper case here).
  alpha.insert(
      QStringLiteral("sha256"),
      QString::fromLatin1(QCryptographicHash::hash(archive, QCryptographicHash::Sha256).toHex().toUpper()));
  serveCatalogue({alpha});
  const auto model = makeModel();
  QSignalSpy done(model.get(), &GameListModel::gameDownloadFinished);
  model->downloadAndInstallGame(QStringLiteral("Alpha"), model->gameDataByName(QStringLiteral("Alpha")).url);
  QVERIFY(model->gameDataByName(QStringLiteral("Alpha")).isBusy);
  QVERIFY(done.wait(10000));
  QCOMPARE(done.first().first().toString(), QStringLiteral("Alpha"));

  const auto& game = model->gameDataByName(QStringLiteral("Alpha"));
  QCOMPARE(game.path, gamesFolder() + QStringLiteral("/Alpha/launcher.command"));
  QVERIFY(!game.isBusy);
  QVERIFY(!game.updateAvailable);
  QCOMPARE(game.downloadProgress, -1.0);
  QVERIFY(QFileInfo(game.path).isExecutable());
  QCOMPARE(GameListModel::getLocalVersion(game.path), QStringLiteral("2.1"));
  QCOMPARE(temporaryLeftOvers(), QStringList());
  QTest::qWait(300); // a late watcher notice about our own install must not rescan
  QCOMPARE(server_->requestCount(QStringLiteral("/games.json")), 1);
}

void TestGameListModel::downloadProgress() {
  QByteArray noise(200000, Qt::Uninitialized); // incompressible, so the archive stays large
  QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
  auto slow = answer(200, TestArchive::game("x", {{QStringLiteral("data.bin"), noise}}));
  slow.bytesPerSecond = 400000;
  server_->setResponse(QStringLiteral("/alpha.zip"), slow);
  serveCatalogue({entry(QStringLiteral("Alpha"), QStringLiteral("1"),
                        server_->url(QStringLiteral("/alpha.zip")).toString())});
  const auto model = makeModel();
  QList<double> seen;
  connect(model.get(), &QAbstractItemModel::dataChanged, this,
          [&](const QModelIndex& from, const QModelIndex&, const QList<int>& roles) {
            if (roles.contains(GameRole::DownloadProgress)) {
              seen.append(from.data(GameRole::DownloadProgress).toDouble());
            }
          });
  QSignalSpy done(model.get(), &GameListModel::gameDownloadFinished);
  model->downloadAndInstallGame(QStringLiteral("Alpha"), model->gameDataByName(QStringLiteral("Alpha")).url);
  QVERIFY(done.wait(10000));
  QVERIFY(seen.size() > 2);
  QVERIFY(std::is_sorted(seen.begin(), seen.end()));
  QVERIFY(seen.first() >= 0.0 && seen.last() <= 1.0);
}

void TestGameListModel::failedDownloadLeavesNothing_data() {
  QTest::addColumn<TestHttpResponse>("response");
  QTest::addColumn<QString>("checksum");
  QTest::addColumn<QString>("warning");
  const auto good = TestArchive::game("x");
  auto dropped = answer(200, good);
  dropped.dropAfterBytes = good.size() / 2;
  auto stalled = answer(200, good);
  stalled.stallAfterBytes = good.size() / 2;
  const auto nested =
      TestArchive::zip({{QStringLiteral("Alpha/launcher.command"), "#!/bin/bash\n", 0100755}});
  const auto slip = TestArchive::zip({{QStringLiteral("launcher.command"), "#!/bin/bash\n", 0100755},
                                      {QStringLiteral("../../escaped.txt"), "gotcha", 0100644}});
  QTest::newRow("not found") << answer(404, "no") << QString() << QStringLiteral("^Download network error:");
  // Qt sometimes retries a dropped request by itself and reports the short second answer as a
  // success; the length check catches that.
  QTest::newRow("connection dropped")
      << dropped << QString() << QStringLiteral("^(Download network error:|Download ended early)");
  QTest::newRow("server stalls") << stalled << QString() << QStringLiteral("^Download network error:");
  QTest::newRow("not a zip") << answer(200, QByteArray(4096, 'z')) << QString()
                             << QStringLiteral("^Failed to extract");
  QTest::newRow("start script in a sub-folder")
      << answer(200, nested) << QString()
      << QStringLiteral("^No \"\\*.command\" file found after extraction in");
  QTest::newRow("zip-slip") << answer(200, slip) << QString() << QStringLiteral("^Failed to extract");
  QTest::newRow("checksum mismatch") << answer(200, good) << QStringLiteral("00ff")
                                     << QStringLiteral("^Checksum mismatch");
}

void TestGameListModel::failedDownloadLeavesNothing() {
  QFETCH(TestHttpResponse, response);
  QFETCH(QString, checksum);
  QFETCH(QString, warning);
  server_->setResponse(QStringLiteral("/alpha.zip"), response);
  auto catalogueEntry = entry(QStringLiteral("Alpha"), QStringLiteral("1"),
                              server_->url(QStringLiteral("/alpha.zip")).toString());
  if (!checksum.isEmpty()) {
    catalogueEntry.insert(QStringLiteral("sha256"), checksum);
  }
  serveCatalogue({catalogueEntry});
  const auto model = makeModel();
  QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
  model->downloadAndInstallGame(QStringLiteral("Alpha"), model->gameDataByName(QStringLiteral("Alpha")).url);
  QTRY_VERIFY_WITH_TIMEOUT(!model->gameDataByName(QStringLiteral("Alpha")).isBusy, 10000);

  const auto& game = model->gameDataByName(QStringLiteral("Alpha"));
  QVERIFY(game.path.isEmpty());
  QVERIFY(game.updateAvailable);
  QCOMPARE(game.downloadProgress, -1.0);
  QCOMPARE(QDir(gamesFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
           QStringList());
  QCOMPARE(temporaryLeftOvers(), QStringList());
  QVERIFY(!QFileInfo::exists(home_->filePath(QStringLiteral(".arvexhub/escaped.txt"))));
}

void TestGameListModel::failedUpdateKeepsInstalledGame_data() {
  QTest::addColumn<QByteArray>("archive");
  QTest::newRow("corrupt archive") << QByteArray("PK\x03\x04 broken");
  QTest::newRow("no start script") << TestArchive::zip({{QStringLiteral("readme.txt"), "hi", 0100644}});
}

void TestGameListModel::failedUpdateKeepsInstalledGame() {
  QFETCH(QByteArray, archive);
  const auto script = installGame(QStringLiteral("Alpha"), "1");
  const auto save = home_->createFile(QStringLiteral(".arvexhub/games/Alpha/save.dat"), "level 9");
  server_->setResponse(QStringLiteral("/alpha.zip"), answer(200, archive));
  serveCatalogue({entry(QStringLiteral("Alpha"), QStringLiteral("2"),
                        server_->url(QStringLiteral("/alpha.zip")).toString())});
  const auto model = makeModel();
  QVERIFY(model->gameDataByName(QStringLiteral("Alpha")).updateAvailable);

  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^(Failed to extract|No )")));
  model->downloadAndInstallGame(QStringLiteral("Alpha"), model->gameDataByName(QStringLiteral("Alpha")).url);
  QTRY_VERIFY_WITH_TIMEOUT(!model->gameDataByName(QStringLiteral("Alpha")).isBusy, 10000);

  QFile oldScript(script);
  QVERIFY(oldScript.open(QIODevice::ReadOnly));
  QCOMPARE(oldScript.readAll(), QByteArray("#!/bin/bash\necho old\n"));
  QFile saveFile(save);
  QVERIFY(saveFile.open(QIODevice::ReadOnly));
  QCOMPARE(saveFile.readAll(), QByteArray("level 9"));
  QCOMPARE(GameListModel::getLocalVersion(script), QStringLiteral("1"));
  QCOMPARE(model->gameDataByName(QStringLiteral("Alpha")).path, script);
  QCOMPARE(QDir(gamesFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
           QStringList{QStringLiteral("Alpha")});
}

void TestGameListModel::updateKeepsSavesAndReplacesFiles() {
  const auto script = installGame(QStringLiteral("Alpha"), "1", true);
  home_->createFile(QStringLiteral(".arvexhub/games/Alpha/saves/slot1.dat"), "level 9");
  server_->setResponse(QStringLiteral("/alpha.zip"), answer(200, TestArchive::game("new")));
  serveCatalogue({entry(QStringLiteral("Beta"), QStringLiteral("1")),
                  entry(QStringLiteral("Alpha"), QStringLiteral("2"),
                        server_->url(QStringLiteral("/alpha.zip")).toString())});
  const auto model = makeModel();
  const int row = model->gameRowByName(QStringLiteral("Alpha"));
  QSignalSpy done(model.get(), &GameListModel::gameDownloadFinished);
  model->downloadAndInstallGame(QStringLiteral("Alpha"), model->gameDataByName(QStringLiteral("Alpha")).url);
  QVERIFY(done.wait(10000));

  QCOMPARE(model->gameRowByName(QStringLiteral("Alpha")), row);
  QFile newScript(script);
  QVERIFY(newScript.open(QIODevice::ReadOnly));
  QVERIFY(newScript.readAll().contains("new"));
  QVERIFY(QFileInfo(gamesFolder() + QStringLiteral("/Alpha/saves/slot1.dat")).isFile());
  QVERIFY(QFileInfo(gamesFolder() + QStringLiteral("/Alpha/Alpha.png")).isFile());
  QCOMPARE(GameListModel::getLocalVersion(script), QStringLiteral("2"));
  QVERIFY(!model->gameDataByName(QStringLiteral("Alpha")).updateAvailable);
  QVERIFY(!model->gameDataByName(QStringLiteral("Alpha")).icon.isNull());
}

QTEST_MAIN(TestGameListModel)
#include "tst_gamelistmodel.moc"
