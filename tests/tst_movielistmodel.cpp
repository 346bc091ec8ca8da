#include <library/MovieListModel.h>
#include <library/NetworkPolicy.h>

#include <TestArchive.h>
#include <TestDir.h>
#include <TestHttpServer.h>

#include <QBuffer>
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

QJsonObject entry(const QString& name, const QString& url = {}) {
  return {{QStringLiteral("name"), name},
          {QStringLiteral("fullName"), name + QStringLiteral(" (Director's Cut)")},
          {QStringLiteral("animation"), QStringLiteral("Arvex Studio")},
          {QStringLiteral("publisher"), QStringLiteral("Arvex")},
          {QStringLiteral("launchDate"), QStringLiteral("2024")},
          {QStringLiteral("url"), url}};
}

TestHttpResponse answer(const QByteArray& body) {
  TestHttpResponse response;
  response.body = body;
  return response;
}

QByteArray png() {
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

} // namespace

class TestMovieListModel final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void scanNamesMoviesByFolder_data();
  void scanNamesMoviesByFolder();
  void addMovieRefusesSecondFolderOfTheSameName();
  void mergeCopiesFieldsWithoutVersionCheck_data();
  void mergeCopiesFieldsWithoutVersionCheck();
  void playingMovieMarksItsRow();
  void removeMovieKeepsTheRow_data();
  void removeMovieKeepsTheRow();
  void downloadInstallsMovie();
  void failedDownloadOffersItAgain_data();
  void failedDownloadOffersItAgain();

private:
  std::unique_ptr<MovieListModel> makeModel(const QJsonArray& catalogue);
  QString installMovie(const QString& folder, bool picture = false);
  QString moviesFolder() const;
  QStringList titles(const MovieListModel& model) const;

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestHttpServer> server_;
};

void TestMovieListModel::initTestCase() {
  NetworkPolicy::setStallTimeoutMs(700);
}

void TestMovieListModel::init() {
  home_ = std::make_unique<TestDir>();
  qputenv("HOME", home_->path().toUtf8());
  server_ = std::make_unique<TestHttpServer>();
  QVERIFY(server_->listen());
  qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
}

void TestMovieListModel::cleanup() {
  server_.reset();
  home_.reset();
}

std::unique_ptr<MovieListModel> TestMovieListModel::makeModel(const QJsonArray& catalogue) {
  server_->setResponse(QStringLiteral("/movies.json"),
                       answer(QJsonDocument(catalogue).toJson(QJsonDocument::Compact)));
  auto model = std::make_unique<MovieListModel>();
  QSignalSpy finished(model.get(), &MovieListModel::updateCheckFinished);
  if (!finished.wait(10000)) {
    qWarning("the catalogue merge did not finish");
  }
  return model;
}

QString TestMovieListModel::installMovie(const QString& folder, bool picture) {
  const auto base = QStringLiteral(".arvexhub/movies/") + folder;
  if (picture) {
    home_->createFile(base + QLatin1Char('/') + folder + QStringLiteral(".png"), png());
  }
  return home_->createFile(base + QStringLiteral("/feature.mp4"), "frames");
}

QString TestMovieListModel::moviesFolder() const {
  return home_->filePath(QStringLiteral(".arvexhub/movies"));
}

QStringList TestMovieListModel::titles(const MovieListModel& model) const {
  QStringList names;
  for (int row = 0; row < model.rowCount(); ++row) {
    names.append(model.index(row).data().toString());
  }
  return names;
}

void TestMovieListModel::scanNamesMoviesByFolder_data() {
  QTest::addColumn<QStringList>("files");
  QTest::addColumn<QStringList>("expected");
  QTest::newRow("named by its folder")
      << QStringList{QStringLiteral("Space Trip/trip.mp4")} << QStringList{QStringLiteral("Space Trip")};
  QTest::newRow("folders differing in case give one row")
      << QStringList{QStringLiteral("Space/a.mp4"), QStringLiteral("space/a.mp4")}
      << QStringList{QStringLiteral("Space")};
  QTest::newRow("only mp4 files count")
      << QStringList{QStringLiteral("Notes/readme.txt"), QStringLiteral("Deep/x/a.mp4")} << QStringList();
}

void TestMovieListModel::scanNamesMoviesByFolder() {
  QFETCH(QStringList, files);
  QFETCH(QStringList, expected);
  for (const auto& file : files) {
    home_->createFile(QStringLiteral(".arvexhub/movies/") + file, "frames");
  }
  const auto model = makeModel({});
  QCOMPARE(titles(*model), expected);
  for (int row = 0; row < model->rowCount(); ++row) {
    const auto index = model->index(row);
    QCOMPARE(index.data(MovieRole::Name), index.data(Qt::DisplayRole));
    QVERIFY(index.data(MovieRole::IsInstalled).toBool());
    QCOMPARE(index.data(MovieRole::DownloadProgress).toDouble(), -1.0);
    QVERIFY(!index.data(Qt::DecorationRole).isValid()); // the picture is under its own role
  }
  QVERIFY(QDir(home_->filePath(QStringLiteral(".arvexhub/thumbnails/movies"))).exists());
}

void TestMovieListModel::addMovieRefusesSecondFolderOfTheSameName() {
  const auto model = makeModel({});
  QSignalSpy rowCount(model.get(), &MovieListModel::rowCountChanged);
  const auto first = installMovie(QStringLiteral("Space"), true);
  model->addMovie(first);
  model->addMovie(installMovie(QStringLiteral("SPACE")));
  QCOMPARE(rowCount.count(), 1);
  QCOMPARE(titles(*model), QStringList{QStringLiteral("Space")});
  QCOMPARE(model->index(0).data(MovieRole::Path).toString(), first);
  QVERIFY(!model->index(0).data(MovieRole::Thumbnail).value<QPixmap>().isNull());
}

void TestMovieListModel::mergeCopiesFieldsWithoutVersionCheck_data() {
  QTest::addColumn<bool>("installed");
  QTest::addColumn<QString>("url");
  QTest::addColumn<bool>("updateAvailable");
  const auto link = QStringLiteral("https://example.com/space.zip");
  QTest::newRow("installed, link") << true << link << false;
  QTest::newRow("catalogue only, link") << false << link << true;
  QTest::newRow("catalogue only, no link") << false << QString() << false;
}

void TestMovieListModel::mergeCopiesFieldsWithoutVersionCheck() {
  QFETCH(bool, installed);
  QFETCH(QString, url);
  QFETCH(bool, updateAvailable);
  if (installed) {
    installMovie(QStringLiteral("space"));
  }
  const auto model = makeModel({entry(QStringLiteral("Space"), url)});
  QCOMPARE(model->rowCount(), 1);
  const auto index = model->index(0);
  QCOMPARE(index.data().toString(), QStringLiteral("Space (Director's Cut)"));
  QCOMPARE(index.data(MovieRole::Animation).toString(), QStringLiteral("Arvex Studio"));
  QCOMPARE(index.data(MovieRole::LaunchDate).toString(), QStringLiteral("2024"));
  QCOMPARE(index.data(MovieRole::IsInstalled).toBool(), installed);
  QCOMPARE(index.data(MovieRole::UpdateAvailable).toBool(), updateAvailable);
  QCOMPARE(model->movieRowByName(QStringLiteral("SPACE")), 0);
}

void TestMovieListModel::playingMovieMarksItsRow() {
  const auto space = moviesFolder() + QStringLiteral("/Space/feature.mp4");
  {
    // Without rows, clearing the playing movie is announced, with no row to change.
    const auto empty = makeModel({});
    empty->setCurrentPlayingMovie(space);
    QSignalSpy changed(empty.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy playing(empty.get(), &MovieListModel::currentPlayingMovieChanged);
    empty->setCurrentPlayingMovie(QString());
    QCOMPARE(playing.count(), 1);
    QCOMPARE(playing.first().first().toString(), QString());
    QCOMPARE(changed.count(), 0);
  }
  installMovie(QStringLiteral("Space"));
  const auto model = makeModel({entry(QStringLiteral("Ocean"))});
  QCOMPARE(model->movieNameByPath(space), QStringLiteral("Space"));
  QCOMPARE(model->movieNameByPath(QString()), QString());
  QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
  QSignalSpy playing(model.get(), &MovieListModel::currentPlayingMovieChanged);
  model->setCurrentPlayingMovie(space);
  model->setCurrentPlayingMovie(space);
  QCOMPARE(playing.count(), 1);
  QCOMPARE(changed.count(), 1);
  QCOMPARE(changed.first().at(2).value<QList<int>>(), QList<int>{MovieRole::IsPlaying});
  QVERIFY(model->index(model->movieRowByName(QStringLiteral("Space"))).data(MovieRole::IsPlaying).toBool());
  QVERIFY(!model->index(model->movieRowByName(QStringLiteral("Ocean"))).data(MovieRole::IsPlaying).toBool());
  QCOMPARE(model->property("currentPlayingMovie").toString(), space);
  QCOMPARE(model->property("rowCount").toInt(), 2);
}

void TestMovieListModel::removeMovieKeepsTheRow_data() {
  QTest::addColumn<QString>("removed");
  QTest::addColumn<QString>("playing"); // folder whose movie plays
  QTest::addColumn<bool>("deleted");
  QTest::addColumn<bool>("stillPlaying");
  QTest::newRow("installed and playing")
      << QStringLiteral("space") << QStringLiteral("Space") << true << false;
  // "Space" is a prefix of "Spacecraft": removing one must not stop the other.
  QTest::newRow("another movie plays")
      << QStringLiteral("Space") << QStringLiteral("Spacecraft") << true << true;
  QTest::newRow("catalogue row has no folder")
      << QStringLiteral("Ocean") << QStringLiteral("Space") << false << true;
  QTest::newRow("unknown name") << QStringLiteral("Nothing") << QStringLiteral("Space") << false << true;
}

void TestMovieListModel::removeMovieKeepsTheRow() {
  QFETCH(QString, removed);
  QFETCH(QString, playing);
  QFETCH(bool, deleted);
  QFETCH(bool, stillPlaying);
  const auto space = installMovie(QStringLiteral("Space"));
  installMovie(QStringLiteral("Spacecraft"));
  const auto link = QStringLiteral("https://example.com/x.zip");
  const auto model = makeModel({entry(QStringLiteral("Space"), link), entry(QStringLiteral("Ocean"), link)});
  // An empty path's folder is the working directory: it must survive whatever is removed.
  TestDir workingDir;
  const auto bystander = workingDir.createFile(QStringLiteral("keep.txt"), "mine");
  const auto previousDir = QDir::currentPath();
  QDir::setCurrent(workingDir.path());
  model->setCurrentMovieName(removed);
  model->setCurrentPlayingMovie(moviesFolder() + QLatin1Char('/') + playing + QStringLiteral("/feature.mp4"));
  const int rowsBefore = model->rowCount();

  model->removeMovie(removed);
  QDir::setCurrent(previousDir);
  QVERIFY(QFileInfo::exists(bystander));
  QCOMPARE(model->rowCount(), rowsBefore);
  QCOMPARE(QFileInfo::exists(space), !deleted);
  QVERIFY(QFileInfo::exists(moviesFolder() + QStringLiteral("/Spacecraft/feature.mp4")));
  const auto row = model->index(model->movieRowByName(QStringLiteral("Space")));
  QCOMPARE(row.data(MovieRole::IsInstalled).toBool(), !deleted);
  QCOMPARE(row.data(MovieRole::Path).toString(), deleted ? QString() : space);
  QCOMPARE(row.data(MovieRole::UpdateAvailable).toBool(), deleted); // it can be downloaded again
  QCOMPARE(model->currentMovieName().isEmpty(), deleted);
  QCOMPARE(!model->currentPlayingMovie().isEmpty(), stillPlaying);
  QCOMPARE(row.data(MovieRole::IsPlaying).toBool(), stillPlaying && playing == QLatin1String("Space"));
  QCOMPARE(model->movieNameByPath(space).isEmpty(), deleted);
}

void TestMovieListModel::downloadInstallsMovie() {
  auto slow = answer(TestArchive::zip({{QStringLiteral("feature.mp4"), QByteArray(60000, 'f'), 0100644}}));
  slow.bytesPerSecond = 200000;
  server_->setResponse(QStringLiteral("/space.zip"), slow);
  const auto model =
      makeModel({entry(QStringLiteral("Space"), server_->url(QStringLiteral("/space.zip")).toString())});
  QSignalSpy done(model.get(), &MovieListModel::movieDownloadFinished);
  model->downloadAndInstallMovie(QStringLiteral("space"));
  QVERIFY(model->index(0).data(MovieRole::IsBusy).toBool());
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refusing to download")));
  model->downloadAndInstallMovie(QStringLiteral("Space")); // the row is busy
  QVERIFY(done.wait(30000)); // a sanitizer build on a busy machine is slow
  QCOMPARE(done.count(), 1);
  QCOMPARE(done.first().first().toString(), QStringLiteral("Space"));
  QCOMPARE(server_->requestCount(QStringLiteral("/space.zip")), 1);

  const auto index = model->index(0);
  const auto path = moviesFolder() + QStringLiteral("/Space/feature.mp4");
  QCOMPARE(index.data(MovieRole::Path).toString(), path);
  QVERIFY(index.data(MovieRole::IsInstalled).toBool());
  QVERIFY(!index.data(MovieRole::UpdateAvailable).toBool());
  QVERIFY(!index.data(MovieRole::IsBusy).toBool());
  QCOMPARE(index.data(MovieRole::DownloadProgress).toDouble(), -1.0);
  QCOMPARE(model->movieNameByPath(path), QStringLiteral("Space (Director's Cut)"));
}

void TestMovieListModel::failedDownloadOffersItAgain_data() {
  QTest::addColumn<QByteArray>("archive"); // null: an invalid link
  QTest::addColumn<QString>("warning");
  QTest::newRow("invalid link") << QByteArray()
                                << QStringLiteral("^Download failed for \"Space\" due to invalid URL.");
  QTest::newRow("no movie file") << TestArchive::zip({{QStringLiteral("readme.txt"), "hi", 0100644}})
                                 << QStringLiteral("^No \"\\*.mp4\" file found after extraction");
  QTest::newRow("movie in a sub-folder")
      << TestArchive::zip({{QStringLiteral("Space/feature.mp4"), "frames", 0100644}})
      << QStringLiteral("^No \"\\*.mp4\" file found after extraction");
}

void TestMovieListModel::failedDownloadOffersItAgain() {
  QFETCH(QByteArray, archive);
  QFETCH(QString, warning);
  server_->setResponse(QStringLiteral("/space.zip"), answer(archive));
  const auto url = archive.isNull() ? QStringLiteral("http://[::1")
                                    : server_->url(QStringLiteral("/space.zip")).toString();
  const auto model = makeModel({entry(QStringLiteral("Space"), url)});
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
  model->downloadAndInstallMovie(QStringLiteral("Space"));
  QTRY_VERIFY_WITH_TIMEOUT(!model->index(0).data(MovieRole::IsBusy).toBool(), 10000);
  QVERIFY(!model->index(0).data(MovieRole::IsInstalled).toBool());
  QVERIFY(model->index(0).data(MovieRole::UpdateAvailable).toBool());
  QCOMPARE(QDir(moviesFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
           QStringList());
}

QTEST_MAIN(TestMovieListModel)
#include "tst_movielistmodel.moc"
