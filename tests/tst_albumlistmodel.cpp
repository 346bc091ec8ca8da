#include <library/AlbumListModel.h>
#include <library/NetworkPolicy.h>
#include <library/SongListModel.h>

#include <TestArchive.h>
#include <TestDir.h>
#include <TestHttpServer.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace arvexhub::launcher;
using arvexhub::test::TestArchive;
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

QJsonObject entry(const QString& name, const QString& url = {}, const QString& thumbnail = {}) {
  return {{QStringLiteral("name"), name},
          {QStringLiteral("fullName"), name + QStringLiteral(" Anthology")},
          {QStringLiteral("artist"), QStringLiteral("The Arvex Band")},
          {QStringLiteral("publisher"), QStringLiteral("Arvex Records")},
          {QStringLiteral("releaseDate"), QStringLiteral("2024-05-01")},
          {QStringLiteral("url"), url},
          {QStringLiteral("thumbnail"), thumbnail}};
}

TestHttpResponse answer(int status, const QByteArray& body) {
  TestHttpResponse response;
  response.status = status;
  response.body = body;
  return response;
}

QByteArray png(const QColor& color) {
  QImage image(40, 40, QImage::Format_ARGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

} // namespace

class TestAlbumListModel final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void scanListsEveryAlbumFolder_data();
  void scanListsEveryAlbumFolder();
  void installedAlbumShowsItsOwnCover();
  void mergeCopiesFieldsAndAppendsCatalogueAlbums();
  void badCatalogueIsLoggedAsAlbumList_data();
  void badCatalogueIsLoggedAsAlbumList();
  void catalogueCoverIsCachedOnlyWhenItIsAPicture_data();
  void catalogueCoverIsCachedOnlyWhenItIsAPicture();
  void playingAlbumFollowsItsFolder_data();
  void playingAlbumFollowsItsFolder();
  void removeAlbumKeepsTheRowWithoutFolderOrPicture_data();
  void removeAlbumKeepsTheRowWithoutFolderOrPicture();
  void removeAlbumDeletesNothingItMustNot_data();
  void removeAlbumDeletesNothingItMustNot();
  void downloadInstallsAlbumWithItsCover();
  void downloadThatCannotCompleteLeavesNothing_data();
  void downloadThatCannotCompleteLeavesNothing();
  void externalChangeRescans();

  void songsAreListedByNameAndType_data();
  void songsAreListedByNameAndType();
  void songPathForRow_data();
  void songPathForRow();

private:
  std::unique_ptr<AlbumListModel> makeModel(const QJsonArray& catalogue = {});
  QString albumsFolder() const;
  QString installAlbum(const QString& folder, bool cover = false);

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestDir> temp_;
  std::unique_ptr<TestHttpServer> server_;
};

void TestAlbumListModel::initTestCase() {
  NetworkPolicy::setStallTimeoutMs(700);
}

void TestAlbumListModel::init() {
  home_ = std::make_unique<TestDir>();
  temp_ = std::make_unique<TestDir>();
  qputenv("HOME", home_->path().toUtf8());
  qputenv("TMPDIR", temp_->path().toUtf8());
  server_ = std::make_unique<TestHttpServer>();
  QVERIFY(server_->listen());
  qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
}

void TestAlbumListModel::cleanup() {
  server_.reset();
  temp_.reset();
  home_.reset();
}

std::unique_ptr<AlbumListModel> TestAlbumListModel::makeModel(const QJsonArray& catalogue) {
  server_->setResponse(QStringLiteral("/music.json"),
                       answer(200, QJsonDocument(catalogue).toJson(QJsonDocument::Compact)));
  auto model = std::make_unique<AlbumListModel>();
  QSignalSpy finished(model.get(), &AlbumListModel::updateCheckFinished);
  if (!finished.wait(10000)) {
    qWarning("the catalogue merge did not finish");
  }
  return model;
}

QString TestAlbumListModel::albumsFolder() const {
  return home_->filePath(QStringLiteral(".arvexhub/albums"));
}

QString TestAlbumListModel::installAlbum(const QString& folder, bool cover) {
  const auto path = home_->createDir(QStringLiteral(".arvexhub/albums/") + folder);
  home_->createFile(QStringLiteral(".arvexhub/albums/") + folder + QStringLiteral("/01 Intro.mp3"), "ID3");
  if (cover) {
    home_->createFile(QStringLiteral(".arvexhub/albums/%1/%2.png").arg(folder, QFileInfo(folder).baseName()),
                      png(Qt::red));
  }
  return path;
}

void TestAlbumListModel::scanListsEveryAlbumFolder_data() {
  QTest::addColumn<QStringList>("entries"); // a trailing "/" makes a folder
  QTest::addColumn<QStringList>("names");
  QTest::addColumn<QString>("firstFolder");
  QTest::newRow("an empty folder is an album")
      << QStringList{QStringLiteral("Quiet/")} << QStringList{QStringLiteral("Quiet")}
      << QStringLiteral("Quiet");
  QTest::newRow("named up to the first dot")
      << QStringList{QStringLiteral("Live.at.Home/")} << QStringList{QStringLiteral("Live")}
      << QStringLiteral("Live.at.Home");
  QTest::newRow("same name before the dot in any case gives one row")
      << QStringList{QStringLiteral("live.2/"), QStringLiteral("Live.1/")}
      << QStringList{QStringLiteral("Live")} << QStringLiteral("Live.1");
  QTest::newRow("a loose file is no album")
      << QStringList{QStringLiteral("cover.png"), QStringLiteral("Rock/")}
      << QStringList{QStringLiteral("Rock")} << QStringLiteral("Rock");
  QTest::newRow("a hidden folder is no album")
      << QStringList{QStringLiteral(".hidden/"), QStringLiteral("Rock/")}
      << QStringList{QStringLiteral("Rock")} << QStringLiteral("Rock");
}

void TestAlbumListModel::scanListsEveryAlbumFolder() {
  QFETCH(QStringList, entries);
  QFETCH(QStringList, names);
  QFETCH(QString, firstFolder);
  for (const auto& item : entries) {
    const auto path = QStringLiteral(".arvexhub/albums/") + item;
    QVERIFY(!(item.endsWith(QLatin1Char('/')) ? home_->createDir(path) : home_->createFile(path)).isEmpty());
  }
  const auto model = makeModel();
  QStringList listed;
  for (int row = 0; row < model->rowCount(); ++row) {
    const auto index = model->index(row);
    listed.append(index.data(AlbumRole::Name).toString());
    QCOMPARE(index.data(Qt::DisplayRole), index.data(AlbumRole::Name));
    QVERIFY(index.data(AlbumRole::IsInstalled).toBool());
  }
  QCOMPARE(listed, names);
  const auto folder = albumsFolder() + QLatin1Char('/') + firstFolder;
  QCOMPARE(model->index(0).data(AlbumRole::Path).toString(), folder);
  QCOMPARE(model->findIndexByPath(folder).row(), 0);
  QVERIFY(!model->findIndexByPath(folder + QLatin1Char('/')).isValid());
}

void TestAlbumListModel::installedAlbumShowsItsOwnCover() {
  const auto folder = installAlbum(QStringLiteral("Rock.Deluxe"), true);
  const auto model = makeModel();
  const auto index = model->index(model->albumRowByName(QStringLiteral("Rock")));
  QTRY_VERIFY(!index.data(AlbumRole::Thumbnail).value<QPixmap>().isNull());
  QCOMPARE(index.data(AlbumRole::ThumbnailPath).toString(), folder + QStringLiteral("/Rock.png"));
}

void TestAlbumListModel::mergeCopiesFieldsAndAppendsCatalogueAlbums() {
  const auto folder = installAlbum(QStringLiteral("rock"));
  // A dotted name could be installed but never found again under its folder's name.
  QTest::ignoreMessage(
      QtWarningMsg, QRegularExpression(QStringLiteral("^Skipping catalogue album whose name holds a dot")));
  const auto model = makeModel(
      {entry(QStringLiteral("Rock")), entry(QStringLiteral("Jazz")), entry(QStringLiteral("Jazz.Live"))});
  QCOMPARE(model->rowCount(), 2);
  const auto rock = model->index(model->albumRowByName(QStringLiteral("Rock")));
  QCOMPARE(rock.data(AlbumRole::Name).toString(), QStringLiteral("rock"));
  QCOMPARE(rock.data().toString(), QStringLiteral("Rock Anthology"));
  QCOMPARE(rock.data(AlbumRole::Path).toString(), folder);
  QVERIFY(rock.data(AlbumRole::IsInstalled).toBool());
  const auto jazz = model->index(model->albumRowByName(QStringLiteral("Jazz")));
  QCOMPARE(jazz.data(AlbumRole::Artist).toString(), QStringLiteral("The Arvex Band"));
  QCOMPARE(jazz.data(AlbumRole::Publisher).toString(), QStringLiteral("Arvex Records"));
  QCOMPARE(jazz.data(AlbumRole::ReleaseDate).toString(), QStringLiteral("2024-05-01"));
  QVERIFY(!jazz.data(AlbumRole::IsInstalled).toBool());
  QVERIFY(jazz.data(AlbumRole::Path).toString().isEmpty());
  QVERIFY(!jazz.data(AlbumRole::IsPlaying).toBool());
  QVERIFY(!rock.data(Qt::UserRole + 100).isValid());
}

void TestAlbumListModel::badCatalogueIsLoggedAsAlbumList_data() {
  QTest::addColumn<int>("status");
  QTest::addColumn<QByteArray>("body");
  QTest::addColumn<QString>("warning");
  QTest::newRow("server error") << 500 << QByteArray() << QStringLiteral("^Failed to download album list: ");
  QTest::newRow("not an array") << 200 << QByteArray("{}")
                                << QStringLiteral("^Failed to parse album list JSON: ");
}

void TestAlbumListModel::badCatalogueIsLoggedAsAlbumList() {
  QFETCH(int, status);
  QFETCH(QByteArray, body);
  QFETCH(QString, warning);
  installAlbum(QStringLiteral("Rock"));
  server_->setResponse(QStringLiteral("/music.json"), answer(status, body));
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
  const AlbumListModel model;
  QSignalSpy finished(&model, &AlbumListModel::updateCheckFinished);
  QTRY_COMPARE(server_->requestCount(QStringLiteral("/music.json")), 1);
  QVERIFY(!finished.wait(300)); // the reply was handled without announcing a merge
  QCOMPARE(model.rowCount(), 1);
}

void TestAlbumListModel::catalogueCoverIsCachedOnlyWhenItIsAPicture_data() {
  QTest::addColumn<QByteArray>("body");
  QTest::addColumn<bool>("linked");
  QTest::addColumn<bool>("shown");
  QTest::newRow("a picture") << png(Qt::blue) << true << true;
  QTest::newRow("an error page") << QByteArray("<html>not found</html>") << true << false;
  QTest::newRow("a cached picture the catalogue no longer links") << png(Qt::blue) << false << false;
}

void TestAlbumListModel::catalogueCoverIsCachedOnlyWhenItIsAPicture() {
  QFETCH(QByteArray, body);
  QFETCH(bool, linked);
  QFETCH(bool, shown);
  const auto cache = home_->filePath(QStringLiteral(".arvexhub/thumbnails/albums/Jazz.png"));
  if (!linked) {
    home_->createFile(QStringLiteral(".arvexhub/thumbnails/albums/Jazz.png"), body);
  }
  server_->setResponse(QStringLiteral("/jazz.png"), answer(200, body));
  const auto model =
      makeModel({entry(QStringLiteral("Jazz"), {},
                       linked ? server_->url(QStringLiteral("/jazz.png")).toString() : QString())});
  const auto jazz = model->index(model->albumRowByName(QStringLiteral("Jazz")));
  QCOMPARE(!jazz.data(AlbumRole::Thumbnail).value<QPixmap>().isNull(), shown);
  QCOMPARE(jazz.data(AlbumRole::ThumbnailPath).toString(), shown ? cache : QString());
  if (linked) {
    QCOMPARE(QFileInfo::exists(cache), shown);
  }
  if (shown) {
    QFile file(cache);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), body); // the bytes as received
  }
}

void TestAlbumListModel::playingAlbumFollowsItsFolder_data() {
  QTest::addColumn<QString>("playing"); // relative to the albums folder
  QTest::addColumn<QStringList>("marked");
  QTest::newRow("the album folder") << QStringLiteral("Rock") << QStringList{QStringLiteral("Rock")};
  QTest::newRow("a song in it") << QStringLiteral("Rock/01 Intro.mp3") << QStringList{QStringLiteral("Rock")};
  QTest::newRow("a folder whose name starts alike")
      << QStringLiteral("RockBand") << QStringList{QStringLiteral("RockBand")};
  QTest::newRow("a folder elsewhere of the same name") << QStringLiteral("../Rock") << QStringList();
}

void TestAlbumListModel::playingAlbumFollowsItsFolder() {
  QFETCH(QString, playing);
  QFETCH(QStringList, marked);
  installAlbum(QStringLiteral("Rock"));
  installAlbum(QStringLiteral("RockBand"));
  const auto model = makeModel({entry(QStringLiteral("Jazz"))});
  QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
  QSignalSpy playingChanged(model.get(), &AlbumListModel::currentPlayingAlbumChanged);
  const auto path = albumsFolder() + QLatin1Char('/') + playing;
  model->setCurrentPlayingAlbumPath(path);
  model->setCurrentPlayingAlbumPath(path);
  QCOMPARE(playingChanged.count(), 1);
  QCOMPARE(model->currentPlayingAlbumPath(), path);
  QCOMPARE(changed.count(), 1);
  QCOMPARE(changed.first().at(2).value<QList<int>>(), QList<int>{AlbumRole::IsPlaying});
  QStringList shown;
  for (int row = 0; row < model->rowCount(); ++row) {
    if (model->index(row).data(AlbumRole::IsPlaying).toBool()) {
      shown.append(model->index(row).data(AlbumRole::Name).toString());
    }
  }
  QCOMPARE(shown, marked);
  model->setCurrentPlayingAlbumPath({});
  QVERIFY(!model->index(model->albumRowByName(QStringLiteral("Rock"))).data(AlbumRole::IsPlaying).toBool());
}

void TestAlbumListModel::removeAlbumKeepsTheRowWithoutFolderOrPicture_data() {
  QTest::addColumn<QString>("playing");
  QTest::addColumn<bool>("playingCleared");
  QTest::newRow("the removed album plays") << QStringLiteral("Rock/01 Intro.mp3") << true;
  QTest::newRow("an album named alike plays") << QStringLiteral("RockBand") << false;
}

void TestAlbumListModel::removeAlbumKeepsTheRowWithoutFolderOrPicture() {
  QFETCH(QString, playing);
  QFETCH(bool, playingCleared);
  const auto folder = installAlbum(QStringLiteral("Rock"), true);
  installAlbum(QStringLiteral("RockBand"));
  const auto model = makeModel({entry(QStringLiteral("Rock"))});
  const int row = model->albumRowByName(QStringLiteral("Rock"));
  QTRY_VERIFY(!model->index(row).data(AlbumRole::Thumbnail).value<QPixmap>().isNull());
  model->setCurrentAlbumName(QStringLiteral("Rock"));
  model->setCurrentPlayingAlbumPath(albumsFolder() + QLatin1Char('/') + playing);
  QSignalSpy current(model.get(), &AlbumListModel::currentAlbumChanged);

  model->removeAlbum(QStringLiteral("rock"));
  QVERIFY(!QFileInfo::exists(folder));
  QCOMPARE(model->rowCount(), 2);
  const auto rock = model->index(row);
  QCOMPARE(rock.data(AlbumRole::Name).toString(), QStringLiteral("Rock"));
  QVERIFY(!rock.data(AlbumRole::IsInstalled).toBool());
  QVERIFY(rock.data(AlbumRole::Path).toString().isEmpty());
  QVERIFY(rock.data(AlbumRole::ThumbnailPath).toString().isEmpty());
  QVERIFY(rock.data(AlbumRole::Thumbnail).value<QPixmap>().isNull());
  QVERIFY(!model->findIndexByPath(folder).isValid());
  QCOMPARE(current.count(), 1);
  QCOMPARE(model->currentAlbumName(), QString());
  QCOMPARE(model->currentPlayingAlbumPath().isEmpty(), playingCleared);
  QVERIFY(QFileInfo::exists(albumsFolder() + QStringLiteral("/RockBand")));
}

void TestAlbumListModel::removeAlbumDeletesNothingItMustNot_data() {
  QTest::addColumn<QString>("name");
  QTest::newRow("a catalogue album has no folder") << QStringLiteral("Jazz");
  QTest::newRow("an unknown album") << QStringLiteral("Unknown");
  QTest::newRow("an album being downloaded again") << QStringLiteral("Rock");
}

void TestAlbumListModel::removeAlbumDeletesNothingItMustNot() {
  QFETCH(QString, name);
  const auto rock = installAlbum(QStringLiteral("Rock"));
  auto stalled = answer(200, QByteArray(4096, 'x'));
  stalled.stallAfterBytes = 10;
  server_->setResponse(QStringLiteral("/rock.zip"), stalled);
  const auto model =
      makeModel({entry(QStringLiteral("Jazz")),
                 entry(QStringLiteral("Rock"), server_->url(QStringLiteral("/rock.zip")).toString())});
  model->downloadAndInstallAlbum(QStringLiteral("Rock"));
  // Without a folder, the current directory must not be what is deleted.
  const auto keep = temp_->createFile(QStringLiteral("work/keep.txt"), "x");
  const auto previous = QDir::currentPath();
  QVERIFY(QDir::setCurrent(QFileInfo(keep).absolutePath()));
  model->setCurrentAlbumName(name);
  QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
  if (name == QStringLiteral("Rock")) {
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refusing to remove an album")));
  }
  model->removeAlbum(name);
  QDir::setCurrent(previous);
  QVERIFY(QFileInfo::exists(keep));
  QVERIFY(QFileInfo::exists(rock));
  QCOMPARE(changed.count(), 0);
  QCOMPARE(model->currentAlbumName(), name);
}

void TestAlbumListModel::downloadInstallsAlbumWithItsCover() {
  server_->setResponse(QStringLiteral("/jazz.png"), answer(200, png(Qt::blue)));
  server_->setResponse(
      QStringLiteral("/jazz.zip"),
      answer(200, TestArchive::zip({{QStringLiteral("b.mp3"), "ID3"}, {QStringLiteral("a.wav"), "RIFF"}})));
  const auto model =
      makeModel({entry(QStringLiteral("Jazz"), server_->url(QStringLiteral("/jazz.zip")).toString(),
                       server_->url(QStringLiteral("/jazz.png")).toString())});
  QSignalSpy done(model.get(), &AlbumListModel::albumDownloadFinished);
  const auto jazz = model->index(model->albumRowByName(QStringLiteral("Jazz")));
  model->downloadAndInstallAlbum(QStringLiteral("jazz")); // only the catalogue's exact name
  QVERIFY(!jazz.data(AlbumRole::IsBusy).toBool());
  model->downloadAndInstallAlbum(QStringLiteral("Jazz"));
  QVERIFY(jazz.data(AlbumRole::IsBusy).toBool());
  QVERIFY(done.wait(10000));
  QCOMPARE(done.count(), 1);
  const auto folder = albumsFolder() + QStringLiteral("/Jazz");
  QCOMPARE(jazz.data(AlbumRole::Path).toString(), folder);
  QVERIFY(jazz.data(AlbumRole::IsInstalled).toBool());
  QVERIFY(!jazz.data(AlbumRole::IsBusy).toBool());
  QCOMPARE(jazz.data(AlbumRole::DownloadProgress).toDouble(), -1.0);
  QCOMPARE(jazz.data(AlbumRole::ThumbnailPath).toString(), folder + QStringLiteral("/Jazz.png"));
  QVERIFY(!QImage(folder + QStringLiteral("/Jazz.png")).isNull());
  QCOMPARE(model->findIndexByPath(folder), jazz);
  SongListModel songs;
  songs.setCurrentFolder(jazz.data(AlbumRole::Path).toString());
  QCOMPARE(songs.rowCount(), 2);
}

void TestAlbumListModel::downloadThatCannotCompleteLeavesNothing_data() {
  QTest::addColumn<QString>("url");
  QTest::addColumn<QString>("warning");
  QTest::newRow("no link") << QString() << QStringLiteral("^Refusing to fetch");
  QTest::newRow("missing archive") << QStringLiteral("/missing.zip")
                                   << QStringLiteral("^Download network error:");
  QTest::newRow("not an archive") << QStringLiteral("/bad.zip") << QStringLiteral("^Failed to extract");
}

void TestAlbumListModel::downloadThatCannotCompleteLeavesNothing() {
  QFETCH(QString, url);
  QFETCH(QString, warning);
  server_->setResponse(QStringLiteral("/bad.zip"), answer(200, "not a zip"));
  const auto model =
      makeModel({entry(QStringLiteral("Jazz"), url.isEmpty() ? url : server_->url(url).toString())});
  QSignalSpy failed(model.get(), &AlbumListModel::downloadFailed);
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
  model->downloadAndInstallAlbum(QStringLiteral("Jazz"));
  QVERIFY(failed.count() == 1 || failed.wait(10000));
  const auto jazz = model->index(model->albumRowByName(QStringLiteral("Jazz")));
  QVERIFY(!jazz.data(AlbumRole::IsBusy).toBool());
  QVERIFY(!jazz.data(AlbumRole::IsInstalled).toBool());
  QCOMPARE(jazz.data(AlbumRole::DownloadProgress).toDouble(), -1.0);
  QCOMPARE(QDir(albumsFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
           QStringList());
  QCOMPARE(QDir(temp_->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestAlbumListModel::externalChangeRescans() {
  const auto model = makeModel({entry(QStringLiteral("Jazz"))});
  QSignalSpy finished(model.get(), &AlbumListModel::updateCheckFinished);
  QTest::ignoreMessage(QtDebugMsg,
                       QRegularExpression(QStringLiteral("^Album directory changed, rescanning: ")));
  installAlbum(QStringLiteral("Rock.Live"));
  QVERIFY(finished.wait(10000));
  QCOMPARE(model->rowCount(), 2);
  QVERIFY(model->index(model->albumRowByName(QStringLiteral("Rock"))).data(AlbumRole::IsInstalled).toBool());
}

void TestAlbumListModel::songsAreListedByNameAndType_data() {
  QTest::addColumn<QStringList>("files");
  QTest::addColumn<QStringList>("songs");
  QTest::newRow("wav and mp3 by name, no ogg")
      << QStringList{QStringLiteral("b.mp3"), QStringLiteral("a.wav"), QStringLiteral("c.ogg")}
      << QStringList{QStringLiteral("a.wav"), QStringLiteral("b.mp3")};
  QTest::newRow("suffix in capitals")
      << QStringList{QStringLiteral("Loud.MP3")} << QStringList{QStringLiteral("Loud.MP3")};
  QTest::newRow("a folder named like a song is no song")
      << QStringList{QStringLiteral("disc.mp3/x"), QStringLiteral("z.mp3")}
      << QStringList{QStringLiteral("z.mp3")};
}

void TestAlbumListModel::songsAreListedByNameAndType() {
  QFETCH(QStringList, files);
  QFETCH(QStringList, songs);
  for (const auto& file : files) {
    temp_->createFile(QStringLiteral("album/") + file, "x");
  }
  SongListModel model;
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  model.setCurrentFolder(temp_->filePath(QStringLiteral("album")));
  QCOMPARE(reset.count(), 1);
  QStringList listed;
  for (int row = 0; row < model.rowCount(); ++row) {
    listed.append(model.index(row).data().toString());
    QCOMPARE(model.index(row).data(SongListModel::NameRole), model.index(row).data());
  }
  QCOMPARE(listed, songs);
  QVERIFY(!model.index(0).data(Qt::DecorationRole).isValid());

  // A folder that is not there lists nothing; no folder at all is not the current directory.
  const auto previous = QDir::currentPath();
  QDir::setCurrent(temp_->filePath(QStringLiteral("album")));
  for (const auto& missing : {temp_->filePath(QStringLiteral("gone")), QString()}) {
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Directory does not exist: ")));
    model.setCurrentFolder(missing);
    QCOMPARE(model.rowCount(), 0);
  }
  QDir::setCurrent(previous);
}

void TestAlbumListModel::songPathForRow_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<bool>("removeFile");
  QTest::addColumn<QString>("warning");
  QTest::newRow("first song") << 0 << false << QString();
  QTest::newRow("before the first") << -1 << false
                                    << QStringLiteral("^Requested song path for invalid row: -1");
  QTest::newRow("after the last") << 2 << false << QStringLiteral("^Requested song path for invalid row: 2");
  QTest::newRow("file gone since") << 0 << true << QStringLiteral("^Song file not found at path: ");
}

void TestAlbumListModel::songPathForRow() {
  QFETCH(int, row);
  QFETCH(bool, removeFile);
  QFETCH(QString, warning);
  const auto first = temp_->createFile(QStringLiteral("album/a.mp3"), "x");
  temp_->createFile(QStringLiteral("album/b.mp3"), "x");
  SongListModel model;
  model.setCurrentFolder(temp_->filePath(QStringLiteral("album")));
  if (removeFile) {
    QFile::remove(first);
  }
  if (!warning.isEmpty()) {
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
  }
  QCOMPARE(model.getSongPathForRow(row), warning.isEmpty() ? first : QString());
}

QTEST_MAIN(TestAlbumListModel)
#include "tst_albumlistmodel.moc"
