// The list models of the library: what the four kinds do alike (scan, catalogue merge, pictures,
// playing marks, download and removal), in tables over the kinds, then what games, albums and
// songs do on their own.

#include "library/DownloadQueue.h"
#include "library/DownloadRecord.h"
#include "library/ItemDownload.h"
#include "library/LibraryProxyModel.h"
#include "library/NetworkPolicy.h"
#include "library/PlayTimeStore.h"
#include "library/SongListModel.h"

#include "LibraryKinds.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSortFilterProxyModel>
#include <QtTest>

using namespace arvexhub::launcher;
using namespace arvexhub::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TestHttpResponse)

class TestLibraryModels final : public QObject, private LibraryFixture {
  Q_OBJECT

  std::unique_ptr<LibraryModel> model_;
  KindUnderTest kind_;

  /// A model of the kind over that catalogue, once it is merged; `hold` keeps the installed items'
  /// own pictures back, as the window does until its first frame.
  void makeModel(const QString& kind, const QJsonArray& catalogue = {}, bool hold = false) {
    server_->setResponse(documentOf(kind), answer(QJsonDocument(catalogue).toJson(QJsonDocument::Compact)));
    model_.reset();
    model_ = makeLibraryModel(kind);
    model_->holdLocalPictures(hold);
    kind_ = kindUnderTest(model_.get());
    QSignalSpy finished(model_.get(), &LibraryModel::updateCheckFinished);
    QVERIFY(finished.wait(10000));
  }
  QString folder(const QString& relative = {}) const {
    return libraryFolderOf(*home_, kind_.name) +
           (relative.isEmpty() ? QString() : QLatin1Char('/') + relative);
  }
  QStringList column(int role) const {
    QStringList values;
    for (int row = 0; row < model_->rowCount(); ++row) {
      values.append(model_->index(row).data(role).toString());
    }
    return values;
  }
  QStringList leftOvers(const QString& path) const {
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }
  static void kindColumn() {
    QTest::addColumn<QString>("kind");
    for (const QString& kind : libraryKinds()) {
      QTest::newRow(qPrintable(kind)) << kind;
    }
  }
  GameListModel* games() const {
    return qobject_cast<GameListModel*>(model_.get());
  }
  static QJsonObject gameEntry(const QString& name, const QString& version, const QString& link = {},
                               const QString& thumbnail = {}) {
    auto game = catalogueEntry(name, link, thumbnail, name + u" Deluxe"_s, u"Arvex"_s);
    game.insert(u"version"_s, version);
    return game;
  }
  QString gameFolder(const QString& game = {}) const {
    return home_->filePath(u".arvexhub/games/"_s + game);
  }
  QString installGame(const QString& name, const QByteArray& version = {}, bool picture = false) {
    const auto script = installItem(*home_, u"games"_s, name, picture, "#!/bin/bash\necho old\n");
    if (!version.isNull()) {
      home_->createFile(u".arvexhub/games/%1/VERSION"_s.arg(name), version);
    }
    return script;
  }
  /// A link that answered 404 is not asked for again until a day has passed.
  void checkMissingPictureWaitsADay(const QString& kind, const QJsonArray& catalogue) {
    const auto missing = home_->filePath(u".arvexhub/cache/%1-missing-pictures.json"_s.arg(kind));
    QTRY_VERIFY(QFileInfo::exists(missing)); // written off the main thread
    makeModel(kind, catalogue);
    QCOMPARE(server_->requestCount(u"/jazz.png"_s), 1);
    QJsonArray aged;
    for (const auto& pair : QJsonDocument::fromJson(contentOf(missing)).array()) {
      aged.append(
          QJsonArray{pair.toArray().at(0), double(QDateTime::currentSecsSinceEpoch() - 24 * 3600 - 1)});
    }
    QVERIFY(!aged.isEmpty());
    QVERIFY(QFile::remove(missing));
    home_->createFile(missing.mid(home_->path().size() + 1), QJsonDocument(aged).toJson());
    makeModel(kind, catalogue);
    QCOMPARE(server_->requestCount(u"/jazz.png"_s), 2);
  }
  static QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

private slots:
  void initTestCase() {
    NetworkPolicy::setStallTimeoutMs(700);
    ItemDownload::setRetryDelayMs(20);
  }

  void init() {
    QVERIFY(setUpLibrary());
  }

  void cleanup() {
    model_.reset();
    tearDownLibrary();
  }

  void scanNamesItemsByFolder_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("files"); // a trailing "/" makes a folder
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("folders"); // of the rows; empty: their names
    const auto row = [](const char* tag, const char* kind, const char* files, const char* names,
                        const char* folders = nullptr) {
      QTest::newRow(tag) << kind << words(files) << words(names) << words(folders ? folders : names);
    };
    row("game: one", "games", "Alpha/launcher.command", "Alpha");
    row("game: two scripts, one row", "games", "Alpha/a.command|Alpha/b.command", "Alpha");
    row("game: script at the top", "games", "loose.command", "");
    row("game: script deeper", "games", "Alpha/bin/launcher.command", "");
    row("game: hidden script", "games", "Alpha/.launcher.command", "");
    row("game: suffix in capitals", "games", "Alpha/Start.COMMAND", "Alpha");
    row("game: folder named like a script", "games", "Alpha/x.command/readme", "");
    row("game: hidden folder", "games", ".hidden/launcher.command|Beta/launcher.command", "Beta");
    row("games differing in case are two", "games", "beta/launcher.command|Beta/launcher.command",
        "Beta|beta");
    row("game: interrupted install left-over", "games",
        ".staging-Alpha-x1/launcher.command|Gamma/launcher.command", "Gamma");
    row("movie: named by its folder", "movies", "Space Trip/trip.mp4", "Space Trip");
    row("movies differing in case are one", "movies", "Space/a.mp4|space/a.mp4", "Space");
    row("movie: only mp4 files at the top of a folder", "movies", "Notes/readme.txt|Deep/x/a.mp4", "");
    row("book: named by its folder", "ebooks", "Dune/dune-v2.pdf", "Dune");
    row("books differing in case are one, the first by name", "ebooks", "dune/a.pdf|Dune/a.pdf", "Dune");
    row("book: several documents, one row", "ebooks", "Dune/a.pdf|Dune/b.pdf", "Dune");
    row("book: only pdf files at the top of a folder", "ebooks", "Notes/readme.txt|Deep/x/a.pdf|loose.pdf",
        "");
    row("album: an empty folder", "albums", "Quiet/", "Quiet");
    row("album: named up to the first dot", "albums", "Live.at.Home/", "Live", "Live.at.Home");
    row("albums differing in case before the dot are one", "albums", "live.2/|Live.1/", "Live", "Live.1");
    row("album: a loose file is none", "albums", "cover.png|Rock/", "Rock");
    row("album: a hidden folder is none", "albums", ".hidden/|Rock/", "Rock");
  }
  void scanNamesItemsByFolder() {
    QFETCH(QString, kind);
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, folders);
    // Half a download of a killed run is cleaned up; a file of someone else's is not.
    temp_->createFile(u"arvexhub-Alpha.zip-Ab12Cd.part"_s, "half");
    temp_->createFile(u"unrelated.part"_s, "not ours");
    for (const auto& file : files) {
      const auto path = u".arvexhub/%1/%2"_s.arg(kind, file);
      QVERIFY(!(file.endsWith(QLatin1Char('/')) ? home_->createDir(path) : home_->createFile(path, "x"))
                   .isEmpty());
    }
    makeModel(kind);
    QCOMPARE(column(kind_.nameRole), expected);
    QCOMPARE(column(Qt::DisplayRole), expected);
    for (int row = 0; row < model_->rowCount(); ++row) {
      const auto index = model_->index(row);
      const QFileInfo path(index.data(kind_.pathRole).toString());
      QVERIFY(path.exists());
      QCOMPARE(path.isDir() ? path.fileName() : path.dir().dirName(), folders.at(row));
      // A game found on disk counts as fully downloaded; the other kinds show no progress.
      QCOMPARE(index.data(kind_.progressRole).toDouble(), kind == QLatin1String("games") ? 1.0 : -1.0);
    }
    QVERIFY(QDir(home_->filePath(u".arvexhub/thumbnails/"_s + kind)).exists());
    QVERIFY(!QFileInfo::exists(folder(u".staging-Alpha-x1"_s)));
    QCOMPARE(QDir(temp_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"unrelated.part"_s});
  }

  // The window's first frame comes before the installed items' own pictures.
  void heldPicturesWaitForTheRelease_data() {
    kindColumn();
  }
  void heldPicturesWaitForTheRelease() {
    QFETCH(QString, kind);
    installItem(*home_, kind, u"Space"_s, true);
    makeModel(kind, {}, true);
    QCOMPARE(model_->rowCount(), 1); // the row is there before its picture
    QTest::qWait(50);
    QVERIFY(kind_.pictureOf(u"Space"_s).isNull());
    model_->holdLocalPictures(false);
    QTRY_VERIFY(!kind_.pictureOf(u"Space"_s).isNull());
    // Where it came from, for views that show it larger.
    QCOMPARE(kind_.indexOf(u"Space"_s).data(pictureFileRole).toString(), folder(u"Space/Space.png"_s));
  }

  void addRefusesASecondFolderOfTheSameName_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("movies") << "movies";
    QTest::newRow("ebooks") << "ebooks";
  }
  void addRefusesASecondFolderOfTheSameName() {
    QFETCH(QString, kind);
    makeModel(kind);
    QSignalSpy rowCount(model_.get(), &LibraryModel::rowCountChanged);
    const auto first = installItem(*home_, kind, u"Space"_s, true);
    kind_.addInstalled(first);
    kind_.addInstalled(installItem(*home_, kind, u"SPACE"_s));
    QCOMPARE(rowCount.count(), 1);
    QCOMPARE(column(kind_.nameRole), QStringList{u"Space"_s});
    QCOMPARE(kind_.pathOf(u"Space"_s), first);
    QTRY_VERIFY(!kind_.pictureOf(u"Space"_s).isNull());
    QVERIFY(!model_->index(0).data(Qt::DecorationRole).isValid()); // the picture is under its own role
  }

  void mergeKeepsInstalledRowsAndAppendsTheCatalogueByName_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("offerRole"); // what can be downloaded: the installed one, Alice, Zorro
    QTest::addColumn<QString>("offered");
    QTest::newRow("games: an installed game without version")
        << "games" << int(GameRole::UpdateAvailable) << "true|false|true";
    QTest::newRow("movies: not what is installed")
        << "movies" << int(MovieRole::UpdateAvailable) << "false|false|true";
    QTest::newRow("ebooks") << "ebooks" << 0 << QString();
    QTest::newRow("albums") << "albums" << 0 << QString();
  }
  void mergeKeepsInstalledRowsAndAppendsTheCatalogueByName() {
    QFETCH(QString, kind);
    QFETCH(int, offerRole);
    QFETCH(QString, offered);
    const auto dune = installItem(*home_, kind, u"dune"_s);
    makeModel(kind, {catalogueEntry(u"Zorro"_s, u"https://example.com/z.zip"_s), catalogueEntry(u"Dune"_s),
                     catalogueEntry(u"Alice"_s), QJsonValue(42), QJsonObject{{u"fullName"_s, u"no name"_s}}});
    // The installed row keeps its own name; the catalogue's rows follow by name, not as listed.
    QCOMPARE(column(kind_.nameRole), (QStringList{u"dune"_s, u"Alice"_s, u"Zorro"_s}));
    QCOMPARE(kind_.pathOf(u"DUNE"_s), dune);
    QCOMPARE(kind_.rowByName(u"DUNE"_s), 0);
    QCOMPARE(kind_.titleOf(u"DUNE"_s), u"Dune Tale"_s);
    QVERIFY(!kind_.isInstalled(u"Zorro"_s));
    QVERIFY(!kind_.isInstalled(u"Alice"_s));
    QVERIFY(!model_->index(0).data(Qt::UserRole + 100).isValid());
    QVERIFY(!model_->index(5).data().isValid());
    if (offerRole != 0) {
      QCOMPARE(column(offerRole).join(QLatin1Char('|')), offered);
    }
    auto* movies = qobject_cast<MovieListModel*>(model_.get());
    auto* ebooks = qobject_cast<EbookListModel*>(model_.get());
    if (movies != nullptr || ebooks != nullptr) {
      QCOMPARE(movies ? movies->movieNameByPath(dune) : ebooks->ebookNameByPath(dune), u"Dune Tale"_s);
      QVERIFY((movies ? movies->movieNameByPath(QString()) : ebooks->ebookNameByPath(QString())).isEmpty());
      QCOMPARE(model_->property("rowCount").toInt(), 3);
    }
    if (ebooks != nullptr) { // 258 is not an e-book role
      QCOMPARE(model_->roleNames().value(Qt::DisplayRole), QByteArray("fullName"));
      QCOMPARE(model_->roleNames().value(EbookRole::Path), QByteArray("path"));
      QVERIFY(!model_->roleNames().contains(258) && !model_->index(0).data(258).isValid());
    }
  }

  // A catalogue that cannot be fetched or read changes nothing, unless an earlier start kept a
  // good one: that one is merged, and the rows say since when they are offline.
  void badCatalogueChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<TestHttpResponse>("response");
    QTest::addColumn<bool>("handlerAlone"); // the reply handler called with no reply at all
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QJsonArray>("kept"); // fetched well by an earlier start
    auto tooLarge = answer("[]");
    tooLarge.declaredLength = QByteArray::number((qint64{64} << 20) + 1);
    const auto row = [](const char* tag, const char* kind, const TestHttpResponse& response,
                        const char* warnings, bool handlerAlone = false, const QJsonArray& kept = {}) {
      QTest::newRow(tag) << kind << response << handlerAlone << words(warnings) << kept;
    };
    const QJsonArray jazz{catalogueEntry(u"Jazz"_s)};
    row("games: server error, kept copy merged", "games", answer("[]", 500),
        "^Failed to download gamelist:", false, jazz);
    row("ebooks: not an array, kept copy merged", "ebooks", answer("{}"),
        "^Failed to parse ebooklist JSON:", false, jazz);
    row("albums: server error, kept copy merged", "albums", answer({}, 500),
        "^Failed to download album list: ", false, jazz);
    row("games: object", "games", answer(R"({"name": "Alpha"})"), "^Failed to parse gamelist JSON:");
    row("games: not JSON", "games", answer("[{"), "^Failed to parse gamelist JSON:");
    row("games: server error", "games", answer("[]", 500), "^Failed to download gamelist:");
    row("games: too large", "games", tooLarge,
        "^Aborting a reply larger than 67108864 bytes:|^Failed to download gamelist:");
    row("movies: server error", "movies", answer({}, 500), "^Failed to download movielist:");
    row("ebooks: not an array", "ebooks", answer("{}"), "^Failed to parse ebooklist JSON:");
    row("albums: server error", "albums", answer({}, 500), "^Failed to download album list: ");
    row("albums: not an array", "albums", answer("{}"), "^Failed to parse album list JSON: ");
    row("games: handler without a reply", "games", answer("[]"), "", true);
    row("movies: handler without a reply", "movies", answer("[]"), "", true);
    row("ebooks: handler without a reply", "ebooks", answer("[]"),
        "^Failed to download ebooklist: \"Unknown error\"$", true);
    row("albums: handler without a reply", "albums", answer("[]"), "", true);
  }
  void badCatalogueChangesNothing() {
    QFETCH(QString, kind);
    QFETCH(TestHttpResponse, response);
    QFETCH(bool, handlerAlone);
    QFETCH(QStringList, warnings);
    QFETCH(QJsonArray, kept);
    installItem(*home_, kind, u"Rock"_s);
    const auto keptFile = home_->filePath(u".arvexhub/cache"_s + documentOf(kind));
    if (!kept.isEmpty()) {
      makeModel(kind, kept);
      QTRY_VERIFY(QFileInfo::exists(keptFile)); // written off the main thread
      model_.reset();
    }
    const auto keptBytes = contentOf(keptFile);
    server_->setResponse(documentOf(kind), response);
    for (const auto& warning : warnings) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    }
    model_ = makeLibraryModel(kind);
    kind_ = kindUnderTest(model_.get());
    QSignalSpy finished(model_.get(), &LibraryModel::updateCheckFinished);
    QTRY_COMPARE(server_->requestCount(documentOf(kind)), 1);
    if (handlerAlone) {
      QTRY_COMPARE(finished.count(), 1);
      finished.clear();
      kind_.replyHandler();
    }
    // Without a kept copy, the reply was handled without announcing a merge.
    QCOMPARE(finished.wait(kept.isEmpty() ? 300 : 5000), !kept.isEmpty());
    const auto expected = kept.isEmpty() ? QStringList{u"Rock"_s} : QStringList{u"Rock"_s, u"Jazz"_s};
    QCOMPARE(column(kind_.nameRole), expected);
    QCOMPARE(model_->offlineCatalogueDate().isValid(), !kept.isEmpty());
    if (!handlerAlone) { // (there, the first reply was good and is kept)
      QTest::qWait(100); // a bad document would be written off the main thread; none may be
      QCOMPARE(contentOf(keptFile), keptBytes);
    }
  }

  // Someone else's change rebuilds the list and fetches the catalogue again; our own does not.
  void externalChangeRescans_data() {
    kindColumn();
  }
  void externalChangeRescans() {
    QFETCH(QString, kind);
    makeModel(kind, {catalogueEntry(u"Jazz"_s)});
    installItem(*home_, kind, u"Rock.Live"_s);
    QTRY_COMPARE_WITH_TIMEOUT(model_->rowCount(), 2, 10000);
    QVERIFY(kind_.isInstalled(u"Rock"_s) || kind_.isInstalled(u"Rock.Live"_s));
    QTRY_COMPARE(server_->requestCount(documentOf(kind)), 2);
    kind_.remove(kind == QLatin1String("albums") ? u"Rock"_s : u"Rock.Live"_s);
    QVERIFY(!kind_.isInstalled(u"Rock"_s) && !kind_.isInstalled(u"Rock.Live"_s));
    QTest::qWait(300); // give a stray watcher notice the time to arrive; none may rescan
    QCOMPARE(server_->requestCount(documentOf(kind)), 2);
  }

  void catalogueCoverIsCachedAsPng_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<TestHttpResponse>("response");
    QTest::addColumn<QByteArray>("cachedBefore"); // left in the cache by an earlier run
    QTest::addColumn<bool>("linked");             // the catalogue entry names its picture
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("fetches");
    QTest::addColumn<QString>("warning");
    const auto png = pngOf(Qt::blue);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImage::fromData(png).save(&buffer, "JPEG");
    for (const QString& kind : libraryKinds()) {
      const auto row = [&kind](const char* tag, const TestHttpResponse& response, const QByteArray& cached,
                               bool linked, bool shown, int fetches) {
        QTest::addRow("%s: %s", qPrintable(kind), tag)
            << kind << response << cached << linked << shown << fetches << QString();
      };
      row("a PNG, kept as received", answer(png), {}, true, true, 1);
      row("a JPEG, stored as PNG", answer(jpeg), {}, true, true, 1);
      row("an error page", answer("<html>not found</html>"), {}, true, false, 1);
      row("not found: asked again after a day", answer({}, 404), {}, true, false, 1);
      row("a cut-off cache file", answer(png), png.left(30), true, true, 1);
      row("cached", answer(png), png, true, true, 0);
      // Only a game shows a cached picture its catalogue entry no longer names.
      row("cached, no longer linked", answer(png), png, false, kind == QLatin1String("games"), 0);
    }
    auto huge = answer(QByteArray((qint64{16} << 20) + 1, 'x'));
    huge.sendContentLength = false;
    QTest::newRow("games: too large") << "games" << huge << QByteArray() << true << false << 1
                                      << "^Aborting a reply larger than 16777216 bytes:";
  }
  void catalogueCoverIsCachedAsPng() {
    QFETCH(QString, kind);
    QFETCH(TestHttpResponse, response);
    QFETCH(QByteArray, cachedBefore);
    QFETCH(bool, linked);
    QFETCH(bool, shown);
    QFETCH(int, fetches);
    QFETCH(QString, warning);
    const auto cache = home_->filePath(u".arvexhub/thumbnails/%1/Jazz.png"_s.arg(kind));
    if (!cachedBefore.isNull()) {
      home_->createFile(u".arvexhub/thumbnails/%1/Jazz.png"_s.arg(kind), cachedBefore);
    }
    // An installed item with its own picture needs none from the catalogue.
    installItem(*home_, kind, u"Own"_s, true);
    server_->setResponse(u"/jazz.png"_s, response);
    const QJsonArray catalogue{catalogueEntry(u"Jazz"_s, {}, linked ? url(u"/jazz.png"_s) : QString()),
                               catalogueEntry(u"Own"_s, {}, url(u"/jazz.png"_s))};
    if (!warning.isEmpty()) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    }
    makeModel(kind, catalogue);
    QCOMPARE(!kind_.pictureOf(u"Jazz"_s).isNull(), shown);
    QTRY_VERIFY(!kind_.pictureOf(u"Own"_s).isNull());
    QCOMPARE(server_->requestCount(u"/jazz.png"_s), fetches);
    QTRY_COMPARE(QFileInfo::exists(cache),
                 shown || !linked);        // an encoded picture is written off the main thread
    if (kind == QLatin1String("albums")) { // the player shows an album's cover from its file
      QCOMPARE(kind_.indexOf(u"Jazz"_s).data(AlbumRole::ThumbnailPath).toString(), shown ? cache : QString());
    }
    if (response.status == 404) {
      checkMissingPictureWaitsADay(kind, catalogue);
    }
    if (!shown || !linked) {
      return;
    }
    QFile file(cache);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto stored = file.readAll();
    QVERIFY(stored.startsWith("\x89PNG\r\n\x1a\n"));
    QVERIFY(!response.body.startsWith("\x89PNG") || stored == response.body); // a PNG as received
    makeModel(kind, catalogue); // the next start reads the cache
    QVERIFY(!kind_.pictureOf(u"Jazz"_s).isNull());
    QCOMPARE(server_->requestCount(u"/jazz.png"_s), fetches);
    QFile::remove(cache);
    makeModel(kind, catalogue);
    QCOMPARE(server_->requestCount(u"/jazz.png"_s), fetches + 1);
  }

  void playingItemMarksItsRow_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("playing"); // relative to the kind's folder
    QTest::addColumn<QStringList>("marked");
    const auto row = [](const char* tag, const char* kind, const char* playing, const char* marked) {
      QTest::newRow(tag) << kind << playing << words(marked);
    };
    row("games", "games", "Space/launcher.command", "Space");
    row("movies", "movies", "Space/feature.mp4", "Space");
    row("ebooks", "ebooks", "Space/book.pdf", "Space");
    row("albums: the album folder", "albums", "Space", "Space");
    row("albums: a song in it", "albums", "Space/01 Intro.mp3", "Space");
    row("albums: a folder whose name starts alike", "albums", "SpaceBand", "SpaceBand");
    row("albums: a folder elsewhere of the same name", "albums", "../Space", "");
  }
  void playingItemMarksItsRow() {
    QFETCH(QString, kind);
    QFETCH(QString, playing);
    QFETCH(QStringList, marked);
    {
      // Without rows, clearing the playing item is announced, with no row to change.
      makeModel(kind);
      kind_.setPlaying(folder(playing));
      QSignalSpy changed(model_.get(), &QAbstractItemModel::dataChanged);
      QSignalSpy playingChanged(model_.get(), kind_.playingChanged);
      kind_.setPlaying(QString());
      QCOMPARE(playingChanged.count(), 1);
      QCOMPARE(playingChanged.first().first().toString(), QString());
      QCOMPARE(changed.count(), 0);
    }
    installItem(*home_, kind, u"Space"_s);
    installItem(*home_, kind, u"SpaceBand"_s);
    makeModel(kind, {catalogueEntry(u"Ocean"_s)});
    QSignalSpy changed(model_.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy playingChanged(model_.get(), kind_.playingChanged);
    kind_.setPlaying(folder(playing));
    kind_.setPlaying(folder(playing));
    QCOMPARE(playingChanged.count(), 1);
    QCOMPARE(kind_.playing(), folder(playing));
    QCOMPARE(changed.count(), 1);
    // A game's row is refreshed whole; the other kinds name the role.
    QCOMPARE(changed.first().at(2).value<QList<int>>(),
             kind == QLatin1String("games") ? QList<int>() : QList<int>{kind_.playingRole});
    QSignalSpy selected(model_.get(), &LibraryModel::currentNameChanged);
    kind_.setCurrentName(u"Space"_s);
    kind_.setCurrentName(u"Space"_s);
    QCOMPARE(selected.count(), 1); // announced once
    QStringList shown;
    for (int row = 0; row < model_->rowCount(); ++row) {
      if (model_->index(row).data(kind_.playingRole).toBool()) {
        shown.append(model_->index(row).data(kind_.nameRole).toString());
      }
    }
    QCOMPARE(shown, marked);
    kind_.setPlaying({});
    QVERIFY(!kind_.indexOf(u"Space"_s).data(kind_.playingRole).toBool());
  }

  void removeKeepsTheRow_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("current");  // the selected name
    QTest::addColumn<QString>("playing");  // the installed item that plays
    QTest::addColumn<QString>("obstacle"); // "locked": its main file cannot be deleted; "downloading"
    QTest::addColumn<QString>("warning");
    QTest::addColumn<bool>("deleted");
    const QHash<QString, QString> failures{{u"movies"_s, u"^Could not remove the movie folder:"_s},
                                           {u"ebooks"_s, u"^Failed to remove ebook directory:"_s},
                                           {u"albums"_s, u"^Failed to remove album directory:"_s}};
    for (const char* kind : {"movies", "ebooks", "albums"}) {
      const auto row = [kind](const char* tag, const char* removed, const char* current, const char* playing,
                              const char* obstacle, const QString& warning, bool deleted) {
        QTest::addRow("%s: %s", kind, tag)
            << kind << removed << current << playing << obstacle << warning << deleted;
      };
      row("installed and playing", "Space", "Space", "Space", "", {}, true);
      // "Space" is a prefix of "SpaceBand": removing one must not stop the other. The selection
      // is let go only when it is the name removed, exactly.
      row("another plays, selected in another case", "space", "Space", "SpaceBand", "", {}, true);
      row("catalogue row has no folder", "Ocean", "Ocean", "Space", "", {}, false);
      row("unknown name", "Nothing", "Nothing", "Space", "", {}, false);
      row("cannot be deleted", "Space", "Space", "Space", "locked", failures.value(QLatin1String(kind)),
          false);
      row("while it is downloaded again", "Space", "Space", "Space", "downloading",
          u"^Refusing to remove an item while it is downloaded"_s, false);
    }
  }
  void removeKeepsTheRow() {
    QFETCH(QString, kind);
    QFETCH(QString, removed);
    QFETCH(QString, current);
    QFETCH(QString, playing);
    QFETCH(QString, obstacle);
    QFETCH(QString, warning);
    QFETCH(bool, deleted);
    const auto space = installItem(*home_, kind, u"Space"_s, true);
    const auto band = installItem(*home_, kind, u"SpaceBand"_s);
    auto stalled = answer(QByteArray(4096, 'x'));
    stalled.stallAfterBytes = 10;
    server_->setResponse(u"/space.zip"_s, stalled);
    const auto link = url(u"/space.zip"_s);
    makeModel(kind, {catalogueEntry(u"Space"_s, link), catalogueEntry(u"Ocean"_s, link)});
    QTRY_VERIFY(!kind_.pictureOf(u"Space"_s).isNull());
    std::unique_ptr<Immutable> locked;
    if (obstacle == QLatin1String("locked")) {
      locked = std::make_unique<Immutable>(folder(u"Space/"_s + mainFileOf(kind)));
      if (!locked->isSet()) {
        QSKIP("this file system or process cannot make a file immutable");
      }
    } else if (obstacle == QLatin1String("downloading")) {
      kind_.download(u"Space"_s);
    }
    if (!warning.isEmpty()) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    }
    // An empty path's folder is the working directory: it must survive whatever is removed.
    const auto bystander = temp_->createFile(u"work/keep.txt"_s, "mine");
    const auto previousDir = QDir::currentPath();
    QDir::setCurrent(QFileInfo(bystander).absolutePath());
    kind_.setCurrentName(current);
    const auto playingPath = kind_.pathOf(playing);
    kind_.setPlaying(playingPath);
    const int rowsBefore = model_->rowCount();
    QSignalSpy changed(model_.get(), &QAbstractItemModel::dataChanged);

    kind_.remove(removed);
    QDir::setCurrent(previousDir);
    QVERIFY(QFileInfo::exists(bystander));
    QCOMPARE(model_->rowCount(), rowsBefore);
    QCOMPARE(QFileInfo::exists(space), !deleted);
    QVERIFY(QFileInfo::exists(band));
    QCOMPARE(kind_.isInstalled(u"Space"_s), !deleted); // never offered over what is on disk
    if (kind == QLatin1String("albums")) {             // an album's picture is in its folder
      QCOMPARE(kind_.pictureOf(u"Space"_s).isNull(), deleted);
    }
    QCOMPARE(kind_.currentName(), deleted && current == removed ? QString() : current);
    const bool stillPlaying = !(deleted && playing == QLatin1String("Space"));
    QCOMPARE(kind_.playing(), stillPlaying ? playingPath : QString());
    QCOMPARE(kind_.indexOf(playing).data(kind_.playingRole).toBool(), stillPlaying);
    QCOMPARE(changed.isEmpty(), !deleted);
    if (kind == QLatin1String("movies")) { // offered again once it is gone
      QCOMPARE(kind_.indexOf(u"Space"_s).data(MovieRole::UpdateAvailable).toBool(), deleted);
    }
  }

  // The tab's order and filter, with the search on top. "Alpha" was installed before "Beta";
  // "Aardvark" and "Gamma" are the catalogue's; the game "Beta" has an update, "Alpha" was played.
  void sortAndFilter_data() {
    using P = LibraryProxyModel;
    QTest::addColumn<QString>("kind");
    QTest::addColumn<P::SortOrder>("order");
    QTest::addColumn<P::Filter>("filter");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");
    for (const QString& kind : libraryKinds()) {
      const auto row = [&kind](const char* tag, P::SortOrder order, P::Filter filter, const char* search,
                               const char* expected) {
        QTest::addRow("%s: %s", qPrintable(kind), tag)
            << kind << order << filter << search << words(expected);
      };
      row("by name", P::SortOrder::Name, P::Filter::All, "", "Aardvark|Alpha|Beta|Gamma");
      row("installed first", P::SortOrder::InstalledFirst, P::Filter::All, "", "Alpha|Beta|Aardvark|Gamma");
      row("recently added", P::SortOrder::RecentlyAdded, P::Filter::All, "", "Beta|Alpha|Aardvark|Gamma");
      row("installed", P::SortOrder::Name, P::Filter::Installed, "", "Alpha|Beta");
      row("installed, searched", P::SortOrder::RecentlyAdded, P::Filter::Installed, "L", "Alpha");
      row("installed, searched, none", P::SortOrder::Name, P::Filter::Installed, "r", "");
      row("updates", P::SortOrder::Name, P::Filter::Updates, "", kind == u"games"_s ? "Beta" : "");
      if (kind == u"games"_s) {
        row("recently played", P::SortOrder::RecentlyPlayed, P::Filter::All, "", "Alpha|Aardvark|Beta|Gamma");
      }
    }
  }
  void sortAndFilter() {
    QFETCH(QString, kind);
    QFETCH(LibraryProxyModel::SortOrder, order);
    QFETCH(LibraryProxyModel::Filter, filter);
    QFETCH(QString, search);
    QFETCH(QStringList, expected);
    const bool isGames = kind == u"games"_s;
    isGames ? installGame(u"Alpha"_s, "2") : installItem(*home_, kind, u"Alpha"_s);
    QTest::qWait(20); // install times are the files' change times, which tick coarsely
    isGames ? installGame(u"Beta"_s, "1") : installItem(*home_, kind, u"Beta"_s);
    QJsonArray catalogue;
    for (const auto& name : words("Aardvark|Alpha|Beta|Gamma")) {
      catalogue.append(isGames ? gameEntry(name, u"2"_s) : catalogueEntry(name, {}, {}, name));
    }
    makeModel(kind, catalogue);
    PlayTimeStore played(home_->filePath(u"playtime.json"_s));
    played.startSession(u"Alpha"_s);
    played.endSession();
    model_->setPlayTimes(&played);
    model_->libraryProxy()->setSortOrder(order);
    model_->libraryProxy()->setRowFilter(filter);
    model_->libraryProxy()->setSearchText(search);
    QStringList shown;
    for (int row = 0; row < model_->libraryProxy()->rowCount(); ++row) {
      shown.append(model_->libraryProxy()->index(row, 0).data().toString());
    }
    QCOMPARE(shown, expected);
  }

  // Play time by a clock the test moves: sessions add up, the running one is written every minute
  // (a crash loses no more), and a store that cannot be read is set aside, never reset.
  void playTimeAccounting() {
    auto now = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    const auto file = home_->filePath(u".arvexhub/playtime.json"_s);
    const auto open = [&] {
      auto store = std::make_unique<PlayTimeStore>(file);
      store->setClock([&now] { return now; });
      return store;
    };
    auto store = open();
    store->startSession(u"Alpha"_s);
    now = now.addSecs(600);
    store->startSession(u"Alpha"_s); // ends the first
    now = now.addSecs(90);
    QCOMPARE(store->record(u"Alpha"_s).seconds, 690);  // the running session counts
    QCOMPARE(open()->record(u"Alpha"_s).seconds, 600); // a crash now would lose the 90 s
    store->setSaveInterval(10);
    QTRY_COMPARE(open()->record(u"Alpha"_s).seconds, 690);
    const auto read = open()->record(u"Alpha"_s);
    QCOMPARE(read.sessions, 2);
    QCOMPARE(read.lastPlayed, now);
    store.reset();

    home_->createFile(u".arvexhub/playtime.json"_s, "{ not json");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Play time store unreadable, set aside as:"_s));
    store = open();
    QCOMPARE(store->record(u"Alpha"_s).sessions, 0);
    const auto aside = QDir(QFileInfo(file).path()).entryList({u"playtime.json.unreadable-*"_s});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(contentOf(QFileInfo(file).path() + u"/"_s + aside.first()), QByteArray("{ not json"));
    store->startSession(u"Beta"_s);
    store->endSession();
    QCOMPARE(open()->record(u"Beta"_s).sessions, 1);
  }

  // A card's tool tip: the name, then the state.
  void toolTipsNameTheState_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("installed"); // null: not installed
    QTest::addColumn<QString>("offered");
    QTest::addColumn<bool>("downloading");
    QTest::addColumn<QString>("expected");
    for (const QString& kind : libraryKinds()) {
      const auto title = kind == u"games"_s ? u"Alpha\n"_s : u"Alpha Tale\n"_s;
      const auto tag = kind.toLatin1();
      QTest::addRow("%s: offered", tag.data())
          << kind << QByteArray() << u"1.1.0"_s << false << title + u"Not installed · 240 MB"_s;
      QTest::addRow("%s: downloading", tag.data())
          << kind << QByteArray() << u"1.1.0"_s << true << title + u"Downloading 0 %"_s;
      QTest::addRow("%s: installed", tag.data())
          << kind << QByteArray("1.1.0") << u"1.1.0"_s << false
          << title + (kind == u"games"_s ? u"Installed · 1.1.0"_s : u"Installed"_s);
    }
    QTest::newRow("games: update") << u"games"_s << QByteArray("1.1.0") << u"1.2.0"_s << false
                                   << u"Alpha\nUpdate available: 1.1.0 → 1.2.0"_s;
  }
  void toolTipsNameTheState() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, installed);
    QFETCH(QString, offered);
    QFETCH(bool, downloading);
    QFETCH(QString, expected);
    auto stalled = answer(QByteArray(100, 'x'));
    stalled.stallAfterBytes = 0;
    server_->setResponse(u"/alpha.zip"_s, stalled);
    if (!installed.isNull()) {
      kind == u"games"_s ? installGame(u"Alpha"_s, installed) : installItem(*home_, kind, u"Alpha"_s);
    }
    auto entry = kind == u"games"_s ? gameEntry(u"Alpha"_s, offered, url(u"/alpha.zip"_s))
                                    : catalogueEntry(u"Alpha"_s, url(u"/alpha.zip"_s));
    entry.insert(u"size"_s, 240'000'000);
    makeModel(kind, {entry});
    if (downloading) {
      kind_.download(u"Alpha"_s);
    }
    QTRY_COMPARE(kind_.indexOf(u"Alpha"_s).data(Qt::ToolTipRole).toString(), expected);
  }

  void downloadInstalls_data() {
    kindColumn();
  }
  void downloadInstalls() {
    QFETCH(QString, kind);
    const bool anyCase = kind == QLatin1String("games") || kind == QLatin1String("movies"); // like "space"
    const auto installed = kind == QLatin1String("albums") ? u"Space"_s : u"Space/"_s + mainFileOf(kind);
    const auto archive = archiveOf(kind);
    auto paced = answer(archive); // over a second, so that the row shows its progress
    paced.bytesPerSecond = archive.size();
    server_->setResponse(u"/space.zip"_s, paced);
    server_->setResponse(u"/space.png"_s, answer(pngOf(Qt::green)));
    auto entry = catalogueEntry(u"Space"_s, url(u"/space.zip"_s), url(u"/space.png"_s));
    // The checksum is verified when the catalogue gives one (in upper case here).
    entry.insert(
        u"sha256"_s,
        QString::fromLatin1(QCryptographicHash::hash(archive, QCryptographicHash::Sha256).toHex().toUpper()));
    makeModel(kind, {entry});
    QSignalSpy done(model_.get(), kind_.downloadFinished);
    QList<QPair<qsizetype, bool>> changes; // the ends announced so far, and whether the row is busy
    QList<double> progress;
    connect(model_.get(), &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex& row, const QModelIndex&, const QList<int>& roles) {
              changes.append({done.count(), row.data(kind_.busyRole).toBool()});
              if (roles.contains(kind_.progressRole)) {
                progress.append(row.data(kind_.progressRole).toDouble());
              }
            });
    const QString space = u"Space"_s;
    kind_.download(u"space"_s);
    QCOMPARE(kind_.isBusy(space), anyCase);
    if (!anyCase) {
      kind_.download(space);
    }
    QVERIFY(kind_.isBusy(space));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Refusing to download"_s));
    kind_.download(space);     // the row is busy
    QVERIFY(done.wait(30000)); // a sanitizer build on a busy machine is slow
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.first().first().toString(), space);
    QCOMPARE(server_->requestCount(u"/space.zip"_s), 1);
    const auto path = kind_.pathOf(space);
    QCOMPARE(path, folder(installed));
    QVERIFY(!kind_.isBusy(space));
    QCOMPARE(kind_.indexOf(space).data(kind_.progressRole).toDouble(), -1.0);
    // The end is announced while the row still shows its download; the row goes idle after.
    QCOMPARE(changes.last(), qMakePair(qsizetype{1}, false));
    for (const auto& [ends, busy] : changes) {
      QVERIFY(ends == 1 || busy);
    }
    QVERIFY(progress.size() > 2);
    QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()) && progress.first() >= 0.0 &&
            progress.last() <= 1.0);
    QCOMPARE(leftOvers(temp_->path()), QStringList());
    if (kind == QLatin1String("games")) {
      QVERIFY(QFileInfo(path).isExecutable());
      QCOMPARE(GameListModel::getLocalVersion(path), u"1.0"_s);
    } else if (kind == QLatin1String("movies")) {
      QVERIFY(!kind_.indexOf(space).data(MovieRole::UpdateAvailable).toBool());
    }
    QTest::qWait(300); // a late watcher notice about our own install must not rescan
    QCOMPARE(server_->requestCount(kind_.document), 1);

    // At the next start the item shows a picture: its own, or the cached catalogue's when its
    // archive brought none, even while the installed items' own pictures wait for the window.
    makeModel(kind, {entry}, true);
    model_->holdLocalPictures(false);
    QTRY_VERIFY(!kind_.pictureOf(space).isNull());
    QCOMPARE(server_->requestCount(u"/space.png"_s), 1);
  }

  void failedDownloadLeavesNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("link"); // "served", "missing", "invalid" or empty for none
    QTest::addColumn<TestHttpResponse>("response");
    QTest::addColumn<QString>("checksum");
    QTest::addColumn<QString>("warning"); // "{folder}" stands for the item's folder; empty: none
    const auto good = TestArchive::game("x");
    auto dropped = answer(good);
    dropped.dropAfterBytes = good.size() / 2;
    auto stalled = answer(good);
    stalled.stallAfterBytes = good.size() / 2;
    const auto readme = answer(TestArchive::zip({{u"readme.txt"_s, "hi", 0100644}}));
    const auto notZip = answer(QByteArray(4096, 'z'));
    const auto nested = answer(TestArchive::zip({{u"Space/launcher.command"_s, "#!/bin/sh\n", 0100755}}));
    const auto slip = TestArchive::zip(
        {{u"launcher.command"_s, "#!/bin/bash\n", 0100755}, {u"../../escaped.txt"_s, "gotcha", 0100644}});
    const auto row = [](const char* tag, const char* kind, const char* link, const TestHttpResponse& response,
                        const char* warning, const char* checksum = "") {
      QTest::newRow(tag) << kind << link << response << checksum << warning;
    };
    row("game: not found", "games", "served", answer("no", 404), "^Download network error:");
    // Qt sometimes retries a dropped request by itself and reports the short second answer as a
    // success; the length check catches that.
    row("game: connection dropped", "games", "served", dropped,
        "^(Download network error:|Download ended early)");
    row("game: server stalls", "games", "served", stalled, "^Download network error:");
    row("game: not a zip", "games", "served", notZip,
        "^Failed to extract \"[^\"]*\\.part\" to \"{folder}\" \"");
    row("game: start script in a sub-folder", "games", "served", nested,
        "^No \\.command file found after extraction in \"{folder}\"$");
    row("game: zip-slip", "games", "served", answer(slip), "^Failed to extract");
    row("game: checksum mismatch", "games", "served", answer(good), "^Checksum mismatch", "00ff");
    row("movie: invalid link", "movies", "invalid", {},
        "^Download failed for \"Space\" due to invalid URL\\.$");
    row("movie: not a zip", "movies", "served", notZip, "^Failed to extract \"[^\"]*\\.part\" \"");
    row("movie: no movie file", "movies", "served", readme,
        "^No \\.mp4 file found after extraction for \"Space\"$");
    row("book: missing archive", "ebooks", "missing", {}, "");
    row("book: not a zip", "ebooks", "served", notZip, "");
    row("book: no document", "ebooks", "served", readme,
        "^No \\.pdf file found after extracting ebook archive: \"Space\"$");
    row("album: no link", "albums", "", {}, "^Refusing to fetch");
    row("album: missing archive", "albums", "missing", {}, "^Download failed: \"");
    row("album: not a zip", "albums", "served", notZip,
        "^Failed to extract album archive: \"[^\"]*\\.part\" \"");
  }
  void failedDownloadLeavesNothing() {
    QFETCH(QString, kind);
    QFETCH(QString, link);
    QFETCH(TestHttpResponse, response);
    QFETCH(QString, checksum);
    QFETCH(QString, warning);
    if (link == QLatin1String("served")) {
      server_->setResponse(u"/space.zip"_s, response);
    }
    const QString address = link.isEmpty()                     ? QString()
                            : link == QLatin1String("invalid") ? u"http://[::1"_s
                                                               : url(u"/space.zip"_s);
    auto entry = catalogueEntry(u"Space"_s, address);
    entry.insert(u"sha256"_s, checksum);
    makeModel(kind, {entry});
    if (!warning.isEmpty()) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning.replace(
                                             u"{folder}"_s, QRegularExpression::escape(folder(u"Space"_s)))));
    }
    const auto space = u"Space"_s;
    kind_.download(space);
    QTRY_VERIFY_WITH_TIMEOUT(!kind_.isBusy(space), 10000);
    QVERIFY(!kind_.isInstalled(space));
    QCOMPARE(kind_.indexOf(space).data(kind_.progressRole).toDouble(), -1.0);
    QCOMPARE(leftOvers(folder()), QStringList());
    QCOMPARE(leftOvers(temp_->path()), QStringList());
    QCOMPARE(leftOvers(model_->downloadFolder()), QStringList());
    QVERIFY(!QFileInfo::exists(home_->filePath(u".arvexhub/escaped.txt"_s)));
    if (kind == QLatin1String("games") || kind == QLatin1String("movies")) { // offered again
      QVERIFY(kind_.indexOf(space)
                  .data(kind == QLatin1String("games") ? int(GameRole::UpdateAvailable)
                                                       : int(MovieRole::UpdateAvailable))
                  .toBool());
    }
  }

  void resumeExtendsOnlyAValidatedRange_data() {
    QTest::addColumn<QList<TestHttpResponse>>("answers"); // in the order of the requests; the last stays
    QTest::addColumn<QByteArray>("installed");            // the archive the checksum names
    QTest::addColumn<QString>("message");                 // logged on the way
    const auto v1 = TestArchive::game("one");
    const auto v2 = TestArchive::game("two, a longer greeting than the first");
    const auto served = [](const QByteArray& body, const QByteArray& etag, qint64 cut = -1,
                           bool ranges = true) {
      auto response = answer(body);
      response.headers = {{"ETag", etag}};
      response.ranges = ranges;
      response.dropAfterBytes = cut;
      return response;
    };
    // Every answer is cut after 60 %: only a download that continues where it stopped gets it all.
    QTest::newRow("cut, then the rest") << QList{served(v1, "\"a\"", v1.size() * 6 / 10)} << v1 << QString();
    QTest::newRow("200 instead of 206")
        << QList{served(v1, "\"a\"", v1.size() / 2), served(v1, "\"a\"", -1, false)} << v1
        << u"^The server sent the whole file again"_s;
    QTest::newRow("changed validator") << QList{served(v1, "\"a\"", v1.size() / 2), served(v2, "\"b\"")} << v2
                                       << u"^The server sent the whole file again"_s;
    auto elsewhere = served(v1.mid(5), "\"a\"");
    elsewhere.status = 206;
    elsewhere.ranges = false;
    elsewhere.headers.append({"Content-Range", "bytes 5-" + QByteArray::number(v1.size() - 1) + '/' +
                                                   QByteArray::number(v1.size())});
    QTest::newRow("range from elsewhere")
        << QList{served(v1, "\"a\"", v1.size() / 2), elsewhere, served(v1, "\"a\"")} << v1
        << u"^Refusing a range that does not continue"_s;
  }
  void resumeExtendsOnlyAValidatedRange() {
    QFETCH(QList<TestHttpResponse>, answers);
    QFETCH(QByteArray, installed);
    QFETCH(QString, message);
    for (const auto& response : answers) {
      server_->appendResponse(u"/space.zip"_s, response);
    }
    auto entry = gameEntry(u"Space"_s, u"1.0"_s, url(u"/space.zip"_s));
    entry.insert(u"sha256"_s, QString::fromLatin1(
                                  QCryptographicHash::hash(installed, QCryptographicHash::Sha256).toHex()));
    makeModel(u"games"_s, {entry});
    if (!message.isEmpty()) {
      QTest::ignoreMessage(message.startsWith(u"^Refusing"_s) ? QtWarningMsg : QtDebugMsg,
                           QRegularExpression(message));
    }
    QSignalSpy done(model_.get(), kind_.downloadFinished);
    kind_.download(u"Space"_s);
    QVERIFY(done.wait(10000));
    QCOMPARE(leftOvers(model_->downloadFolder()), QStringList());
    QVERIFY(kind_.isInstalled(u"Space"_s)); // and the checksum says it is whole, never spliced
  }

  void recordsOfAnEarlierRun_data() {
    QTest::addColumn<QByteArray>("record"); // "{part}" stands for the part file, "{url}" for the archive
    QTest::addColumn<bool>("trusted");
    const auto row = [](const char* tag, const char* name, const char* file, bool trusted) {
      QTest::newRow(tag) << QByteArray(R"({"name":")" + QByteArray(name) +
                                       R"(","kind":"games","url":"{url}",)"
                                       R"("validator":"\"a\"","size":{size},"file":")" +
                                       file + "\"}")
                         << trusted;
    };
    row("continues", "Space", "{part}", true);
    row("path outside the folder", "Space", "{part}/../../../games/Space.part", false);
    row("unsafe name", "../Space", "{part}", false);
    QTest::newRow("not a record") << QByteArray("{\"name\": [") << false;
  }
  void recordsOfAnEarlierRun() {
    QFETCH(QByteArray, record);
    QFETCH(bool, trusted);
    const auto archive = TestArchive::game("resumed");
    auto response = answer(archive);
    response.headers = {{"ETag", "\"a\""}};
    response.ranges = true;
    server_->setResponse(u"/space.zip"_s, response);
    const auto downloads = home_->filePath(u".arvexhub/downloads/games/"_s);
    const auto part = DownloadRecord::partPath(downloads, u"Space"_s);
    home_->createFile(u".arvexhub/downloads/games/Space.part"_s, archive.left(archive.size() / 2));
    home_->createFile(u".arvexhub/downloads/games/Space.json"_s,
                      record.replace("{part}", part.toUtf8())
                          .replace("{url}", url(u"/space.zip"_s).toUtf8())
                          .replace("{size}", QByteArray::number(archive.size())));
    if (!trusted) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Deleting an untrusted download record"_s));
    }
    makeModel(u"games"_s, {gameEntry(u"Space"_s, u"1.0"_s, url(u"/space.zip"_s))});
    const auto space = kind_.indexOf(u"Space"_s);
    QCOMPARE(space.data(downloadStateRole).toInt(),
             int(trusted ? DownloadState::Paused : DownloadState::None));
    QCOMPARE(kind_.isBusy(u"Space"_s), trusted);
    if (!trusted) {
      QCOMPARE(leftOvers(downloads), QStringList());
      return;
    }
    QCOMPARE(space.data(kind_.progressRole).toDouble(), double(archive.size() / 2) / double(archive.size()));
    QSignalSpy done(model_.get(), kind_.downloadFinished);
    QVERIFY(model_->resumeDownload(u"Space"_s));
    QVERIFY(done.wait(10000));
    QVERIFY(contentOf(kind_.pathOf(u"Space"_s)).contains("resumed"));
    QCOMPARE(leftOvers(downloads), QStringList());
  }

  void pauseResumeCancelAndTheQueue() {
    const auto archive = TestArchive::game("slow");
    auto paced = answer(archive);
    paced.headers = {{"ETag", "\"a\""}};
    paced.ranges = true;
    paced.bytesPerSecond = archive.size() / 2; // two seconds each
    QJsonArray entries;
    for (const auto& name : {u"A"_s, u"B"_s, u"C"_s}) {
      server_->setResponse(u"/%1.zip"_s.arg(name), paced);
      entries.append(gameEntry(name, u"1.0"_s, url(u"/%1.zip"_s.arg(name))));
    }
    makeModel(u"games"_s, entries);
    DownloadQueue queue;
    queue.setMaximum(1);
    model_->setDownloadQueue(&queue);
    const auto state = [this](const QString& name) {
      return DownloadState(kind_.indexOf(name).data(downloadStateRole).toInt());
    };
    for (const auto& name : {u"A"_s, u"B"_s, u"C"_s}) {
      kind_.download(name);
    }
    QCOMPARE(state(u"A"_s), DownloadState::Running);
    QCOMPARE(state(u"B"_s), DownloadState::Queued);
    QCOMPARE(queue.waitingCount(), 2);
    QVERIFY(model_->cancelDownload(u"B"_s)); // waiting: C moves up
    QCOMPARE(state(u"B"_s), DownloadState::None);
    QVERIFY(!kind_.isBusy(u"B"_s));
    QTRY_VERIFY(kind_.indexOf(u"A"_s).data(kind_.progressRole).toDouble() > 0.0);
    QVERIFY(model_->pauseDownload(u"A"_s)); // C starts
    QCOMPARE(state(u"A"_s), DownloadState::Paused);
    QVERIFY(kind_.isBusy(u"A"_s));
    QCOMPARE(state(u"C"_s), DownloadState::Running);
    QVERIFY(QFileInfo(DownloadRecord::partPath(model_->downloadFolder(), u"A"_s)).size() > 0);
    QVERIFY(model_->resumeDownload(u"A"_s));
    QCOMPARE(state(u"A"_s), DownloadState::Queued);
    // The install step can be neither paused nor cancelled.
    QList<bool> refused;
    connect(model_.get(), &QAbstractItemModel::dataChanged, this, [&](const QModelIndex& row) {
      if (DownloadState(row.data(downloadStateRole).toInt()) == DownloadState::Installing) {
        const auto name = row.data(kind_.nameRole).toString();
        refused.append(!model_->pauseDownload(name) && !model_->cancelDownload(name));
      }
    });
    QSignalSpy done(model_.get(), kind_.downloadFinished);
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 2, 15000);
    QVERIFY(!refused.isEmpty() && !refused.contains(false));
    QCOMPARE(server_->requestCount(u"/B.zip"_s), 0);
    QVERIFY(kind_.isInstalled(u"A"_s) && kind_.isInstalled(u"C"_s) && !kind_.isInstalled(u"B"_s));
    model_->setDownloadQueue(new DownloadQueue(model_.get()));
  }

  // What the games do on their own: versions and updates, pictures that stall, removal.

  void gameLocalVersion_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trimmed") << QByteArray("1.2\n") << u"1.2"_s;
    QTest::newRow("empty file") << QByteArray("") << QString();
    QTest::newRow("missing file") << QByteArray() << u"0"_s;
    QTest::newRow("utf-8") << QByteArray("  2.0-β ") << u"2.0-β"_s;
  }
  void gameLocalVersion() {
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    const auto script = installGame(u"Alpha"_s, content);
    QCOMPARE(GameListModel::getLocalVersion(script), expected);
    QCOMPARE(GameListModel::getLocalVersion(QString()), u"0"_s);
  }

  // What is not installed is offered when it has a link: see the merge table above.
  void gameMergeDecidesUpdates_data() {
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
  }
  void gameMergeDecidesUpdates() {
    QFETCH(QByteArray, installed);
    QFETCH(QString, offered);
    QFETCH(QString, url);
    QFETCH(bool, updateAvailable);
    if (installed != "<none>") {
      installGame(u"alpha"_s, installed);
    }
    makeModel(u"games"_s, {gameEntry(u"Alpha"_s, offered, url)});
    QCOMPARE(model_->rowCount(), 1);
    QCOMPARE(model_->index(0).data(GameRole::UpdateAvailable).toBool(), updateAvailable);
    const auto& game = games()->gameDataByName(u"ALPHA"_s); // matched ignoring case
    QCOMPARE(game.developer, u"Arvex"_s);
    QCOMPARE(game.url, QUrl(url)); // an empty catalogue link empties the row's
    QCOMPARE(games()->gameRowByPath(game.path), game.path.isEmpty() ? -1 : 0);
    QCOMPARE(games()->gameRowByPath(game.path.toUpper()), -1);
    QVERIFY(games()->gameDataByName(u"Gamma"_s).name.isEmpty());
  }

  void gameLaterDuplicateEntryWins() {
    server_->setResponse(u"/first.png"_s, answer(pngOf(Qt::red)));
    server_->setResponse(u"/second.png"_s, answer(pngOf(Qt::blue)));
    makeModel(u"games"_s, {gameEntry(u"Alpha"_s, u"1"_s, {}, url(u"/first.png"_s)),
                           gameEntry(u"Alpha"_s, u"2"_s, {}, url(u"/second.png"_s))});
    QCOMPARE(model_->rowCount(), 1);
    QCOMPARE(games()->gameDataByName(u"Alpha"_s).version, u"2"_s);
    QCOMPARE(server_->requestCount(u"/first.png"_s), 0);
    QCOMPARE(server_->requestCount(u"/second.png"_s), 1);
  }

  void gameUnsafeCatalogueNameNeverBecomesAPath() {
    server_->setResponse(u"/evil.png"_s, answer(pngOf(Qt::green)));
    const auto picture = url(u"/evil.png"_s);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(u"^Skipping catalogue entry with an unsafe name"_s));
    makeModel(u"games"_s, {gameEntry(u"../../.bashrc"_s, u"1"_s, url(u"/evil.zip"_s), picture),
                           gameEntry(u"Good"_s, u"1"_s, QString(), picture)});
    QCOMPARE(column(Qt::DisplayRole), QStringList{u"Good"_s});
    QCOMPARE(server_->requestCount(u"/evil.png"_s), 1); // for "Good" only
    QCOMPARE(leftOvers(home_->path()), QStringList{u".arvexhub"_s});
    QTRY_COMPARE(QDir(home_->filePath(u".arvexhub/thumbnails/games"_s)).entryList(QDir::Files),
                 QStringList{u"Good.png"_s}); // written off the main thread
  }

  // The rows show while a picture still loads; a rescan meanwhile keeps the resets balanced, and
  // a picture that stalls gives up.
  void gameStalledPictureDuringARescan() {
    auto stalled = answer(pngOf(Qt::blue));
    stalled.stallAfterBytes = 10;
    server_->setResponse(u"/slow.png"_s, stalled);
    server_->setResponse(
        u"/games.json"_s,
        answer(QJsonDocument(QJsonArray{gameEntry(u"Alpha"_s, u"1"_s, {}, url(u"/slow.png"_s))}).toJson()));
    model_ = makeLibraryModel(u"games"_s);
    QSignalSpy aboutToReset(model_.get(), &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(model_.get(), &QAbstractItemModel::modelReset);
    QSignalSpy finished(model_.get(), &LibraryModel::updateCheckFinished);
    QTRY_COMPARE(model_->rowCount(), 1);
    QCOMPARE(finished.count(), 0);

    installGame(u"Copied"_s, "1"); // someone copies a game in while pictures load
    QTRY_COMPARE(server_->requestCount(u"/games.json"_s), 2);
    QVERIFY(finished.wait(5000));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(aboutToReset.count(), reset.count());
    QCOMPARE(column(Qt::DisplayRole), (QStringList{u"Copied"_s, u"Alpha"_s}));
    QVERIFY(games()->gameDataByName(u"Alpha"_s).icon.isNull());
  }

  void gameRemovalDeletesOnlyInsideTheLibrary() {
    TestDir outside;
    const auto precious = outside.createFile(u"precious.txt"_s, "keep me");
    installGame(u"Alpha"_s, "1");
    installGame(u"Stuck"_s, "1");
    QVERIFY(QFile::link(outside.path(), gameFolder(u"Linked"_s)));
    outside.createFile(u"launcher.command"_s, "#!/bin/bash\n"); // the link looks like a game
    makeModel(u"games"_s, {gameEntry(u"Linked"_s, u"1"_s, url(u"/linked.zip"_s))});
    QCOMPARE(column(Qt::DisplayRole), (QStringList{u"Alpha"_s, u"Linked"_s, u"Stuck"_s}));

    games()->removeGame(gameFolder(u"Linked"_s));
    QVERIFY(QFileInfo(precious).isFile()); // only the link went
    QVERIFY(!QFileInfo(gameFolder(u"Linked"_s)).isSymLink());
    // Back at once as the catalogue offers it, without asking the server again.
    QVERIFY(games()->gameDataByName(u"Linked"_s).path.isEmpty());
    QVERIFY(games()->gameDataByName(u"Linked"_s).updateAvailable);
    QCOMPARE(server_->requestCount(documentOf(u"games"_s)), 1);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Refusing to remove"_s));
    games()->removeGame(outside.path() + u"/../Alpha"_s); // same name, elsewhere
    QVERIFY(QFileInfo::exists(gameFolder(u"Alpha/launcher.command"_s)));

    // A game whose start script cannot be deleted stays listed: it is still on disk.
    const QString script = gameFolder(u"Stuck/launcher.command"_s);
    const Immutable locked(script);
    if (locked.isSet()) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Could not remove the game folder"_s));
      games()->removeGame(gameFolder(u"Stuck"_s));
      QVERIFY(QFileInfo::exists(script));
      QCOMPARE(games()->gameDataByName(u"Stuck"_s).path, script);
    }
    QCOMPARE(column(Qt::DisplayRole), (QStringList{u"Alpha"_s, u"Stuck"_s, u"Linked"_s}));
  }

  // An update replaces the game's files and keeps its saves and picture; a failed one keeps the
  // installed version as it was.
  void gameUpdate_data() {
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<bool>("updated");
    QTest::newRow("new version") << TestArchive::game("new") << true;
    QTest::newRow("corrupt archive") << QByteArray("PK\x03\x04 broken") << false;
    QTest::newRow("no start script") << TestArchive::zip({{u"readme.txt"_s, "hi", 0100644}}) << false;
  }
  void gameUpdate() {
    QFETCH(QByteArray, archive);
    QFETCH(bool, updated);
    const auto script = installGame(u"Alpha"_s, "1", true);
    const auto save = home_->createFile(u".arvexhub/games/Alpha/saves/slot1.dat"_s, "level 9");
    server_->setResponse(u"/alpha.zip"_s, answer(archive));
    makeModel(u"games"_s,
              {gameEntry(u"Beta"_s, u"1"_s), gameEntry(u"Alpha"_s, u"2"_s, url(u"/alpha.zip"_s))});
    const int row = games()->gameRowByName(u"Alpha"_s);
    QVERIFY(games()->gameDataByName(u"Alpha"_s).updateAvailable);
    if (!updated) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^(Failed to extract|No )"_s));
    }
    kind_.download(u"Alpha"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!kind_.isBusy(u"Alpha"_s), 10000);

    const auto& game = games()->gameDataByName(u"Alpha"_s);
    QCOMPARE(games()->gameRowByName(u"Alpha"_s), row);
    QCOMPARE(game.path, script);
    QCOMPARE(contentOf(script).contains("new"), updated);
    QCOMPARE(contentOf(save), QByteArray("level 9"));
    QCOMPARE(GameListModel::getLocalVersion(script), updated ? u"2"_s : u"1"_s);
    QCOMPARE(game.updateAvailable, !updated);
    QVERIFY(QFileInfo(gameFolder(u"Alpha/Alpha.png"_s)).isFile());
    QVERIFY(!game.icon.isNull());
    QCOMPARE(leftOvers(gameFolder()), QStringList{u"Alpha"_s});
  }

  void albumFoldersAndCovers() {
    const auto rock = installItem(*home_, u"albums"_s, u"Rock.Deluxe"_s, true);
    server_->setResponse(u"/jazz.png"_s, answer(pngOf(Qt::blue)));
    server_->setResponse(u"/jazz.zip"_s, answer(archiveOf(u"albums"_s)));
    // A dotted name could be installed but never found again under its folder's name.
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(u"^Skipping catalogue album whose name holds a dot"_s));
    makeModel(u"albums"_s, {catalogueEntry(u"Jazz"_s, url(u"/jazz.zip"_s), url(u"/jazz.png"_s)),
                            catalogueEntry(u"Jazz.Live"_s)});
    auto* albums = qobject_cast<AlbumListModel*>(model_.get());
    QCOMPARE(model_->rowCount(), 2);
    QTRY_COMPARE(kind_.indexOf(u"Rock"_s).data(AlbumRole::ThumbnailPath).toString(), rock + u"/Rock.png"_s);
    QCOMPARE(albums->findIndexByPath(rock).row(), kind_.rowByName(u"Rock"_s));
    QVERIFY(!albums->findIndexByPath(rock + QLatin1Char('/')).isValid());

    // A downloaded album keeps its catalogue cover in its folder.
    QSignalSpy done(albums, &AlbumListModel::albumDownloadFinished);
    kind_.download(u"Jazz"_s);
    QVERIFY(done.wait(10000));
    const auto jazz = folder(u"Jazz"_s);
    QCOMPARE(kind_.indexOf(u"Jazz"_s).data(AlbumRole::ThumbnailPath).toString(), jazz + u"/Jazz.png"_s);
    QVERIFY(!QImage(jazz + u"/Jazz.png"_s).isNull());
    QCOMPARE(albums->findIndexByPath(jazz), kind_.indexOf(u"Jazz"_s));
    SongListModel songs;
    songs.setCurrentFolder(jazz);
    QCOMPARE(songs.rowCount(), 2);

    // A removed album loses its folder and picture, not its row.
    albums->removeAlbum(u"rock"_s);
    QVERIFY(!QFileInfo::exists(rock));
    QVERIFY(kind_.indexOf(u"Rock"_s).data(AlbumRole::ThumbnailPath).toString().isEmpty());
    QVERIFY(!albums->findIndexByPath(rock).isValid());
  }

  void songsAreListedByNameAndType_data() {
    QTest::addColumn<QString>("files");
    QTest::addColumn<QString>("songs");
    QTest::addColumn<int>("row"); // whose path is asked for
    QTest::addColumn<bool>("fileGone");
    QTest::addColumn<QString>("warning"); // empty: the path of the song
    QTest::newRow("wav and mp3 by name, no ogg") << "b.mp3|a.wav|c.ogg"
                                                 << "a.wav|b.mp3" << 0 << false << QString();
    QTest::newRow("suffix in capitals, before the first")
        << "Loud.MP3"
        << "Loud.MP3" << -1 << false << "^Requested song path for invalid row: -1";
    QTest::newRow("a folder named like a song is no song, after the last")
        << "disc.mp3/x|z.mp3"
        << "z.mp3" << 1 << false << "^Requested song path for invalid row: 1";
    QTest::newRow("file gone since") << "a.mp3"
                                     << "a.mp3" << 0 << true << "^Song file not found at path: ";
  }
  void songsAreListedByNameAndType() {
    QFETCH(QString, files);
    QFETCH(QString, songs);
    QFETCH(int, row);
    QFETCH(bool, fileGone);
    QFETCH(QString, warning);
    for (const auto& file : files.split(QLatin1Char('|'))) {
      temp_->createFile(u"album/"_s + file, "x");
    }
    SongListModel model;
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.setCurrentFolder(temp_->filePath(u"album"_s));
    QCOMPARE(reset.count(), 1);
    QStringList listed;
    for (int song = 0; song < model.rowCount(); ++song) {
      listed.append(model.index(song).data().toString());
      QCOMPARE(model.index(song).data(SongListModel::NameRole), model.index(song).data());
    }
    QCOMPARE(listed.join(QLatin1Char('|')), songs);
    QVERIFY(!model.index(0).data(Qt::DecorationRole).isValid());
    if (fileGone) {
      QFile::remove(temp_->filePath(u"album/"_s + listed.first()));
    }
    if (!warning.isEmpty()) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    }
    QCOMPARE(model.getSongPathForRow(row),
             warning.isEmpty() ? temp_->filePath(u"album/"_s + listed.at(row)) : QString());

    // A folder that is not there lists nothing; no folder at all is not the current directory.
    const auto previous = QDir::currentPath();
    QDir::setCurrent(temp_->filePath(u"album"_s));
    for (const auto& missing : {temp_->filePath(u"gone"_s), QString()}) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Directory does not exist: "_s));
      model.setCurrentFolder(missing);
      QCOMPARE(model.rowCount(), 0);
    }
    QDir::setCurrent(previous);
  }
};

QTEST_MAIN(TestLibraryModels)
#include "tst_librarymodels.moc"
