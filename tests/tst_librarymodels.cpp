// The list models of the library: what the four kinds do alike (scan, catalogue merge, pictures,
// playing marks, download and removal), in tables over the kinds, then what movies, e-books and
// albums do on their own. The games' own behaviour is in tst_gamelistmodel.

#include <library/NetworkPolicy.h>
#include <library/SongListModel.h>

#include <LibraryKinds.h>
#include <TestHttpServer.h>

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSortFilterProxyModel>
#include <QtTest>

using namespace arvexhub::launcher;
using namespace arvexhub::test;

Q_DECLARE_METATYPE(TestHttpResponse)

class TestLibraryModels final : public QObject {
  Q_OBJECT

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestDir> temp_;
  std::unique_ptr<TestHttpServer> server_;
  std::unique_ptr<LibraryModel> model_;
  KindUnderTest kind_;

  static TestHttpResponse answer(const QByteArray& body, int status = 200) {
    TestHttpResponse response;
    response.status = status;
    response.body = body;
    return response;
  }
  QString url(const QString& path) const {
    return server_->url(path).toString();
  }
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
    model_.reset();
    server_.reset();
    temp_.reset();
    home_.reset();
  }

  void scanNamesItemsByFolder_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("files"); // a trailing "/" makes a folder
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("folders"); // of the rows; empty: their names
    const auto row = [](const char* tag, const char* kind, const QStringList& files, const QStringList& names,
                        const QStringList& folders = {}) {
      QTest::newRow(tag) << kind << files << names << (folders.isEmpty() ? names : folders);
    };
    const auto list = [](std::initializer_list<const char*> items) {
      QStringList strings;
      for (const char* item : items) {
        strings.append(QString::fromUtf8(item));
      }
      return strings;
    };
    row("game: one", "games", list({"Alpha/launcher.command"}), list({"Alpha"}));
    row("game: two scripts, one row", "games", list({"Alpha/a.command", "Alpha/b.command"}), list({"Alpha"}));
    row("game: script at the top", "games", list({"loose.command"}), {});
    row("game: script deeper", "games", list({"Alpha/bin/launcher.command"}), {});
    row("game: hidden script", "games", list({"Alpha/.launcher.command"}), {});
    row("game: suffix in capitals", "games", list({"Alpha/Start.COMMAND"}), list({"Alpha"}));
    row("game: folder named like a script", "games", list({"Alpha/x.command/readme"}), {});
    row("game: hidden folder", "games", list({".hidden/launcher.command", "Beta/launcher.command"}),
        list({"Beta"}));
    row("games differing in case are two", "games", list({"beta/launcher.command", "Beta/launcher.command"}),
        list({"Beta", "beta"}));
    row("game: interrupted install left-over", "games",
        list({".staging-Alpha-x1/launcher.command", "Gamma/launcher.command"}), list({"Gamma"}));
    row("movie: named by its folder", "movies", list({"Space Trip/trip.mp4"}), list({"Space Trip"}));
    row("movies differing in case are one", "movies", list({"Space/a.mp4", "space/a.mp4"}), list({"Space"}));
    row("movie: only mp4 files at the top of a folder", "movies", list({"Notes/readme.txt", "Deep/x/a.mp4"}),
        {});
    row("book: named by its folder", "ebooks", list({"Dune/dune-v2.pdf"}), list({"Dune"}));
    row("books differing in case are one, the first by name", "ebooks", list({"dune/a.pdf", "Dune/a.pdf"}),
        list({"Dune"}));
    row("book: several documents, one row", "ebooks", list({"Dune/a.pdf", "Dune/b.pdf"}), list({"Dune"}));
    row("book: only pdf files at the top of a folder", "ebooks",
        list({"Notes/readme.txt", "Deep/x/a.pdf", "loose.pdf"}), {});
    row("album: an empty folder", "albums", list({"Quiet/"}), list({"Quiet"}));
    row("album: named up to the first dot", "albums", list({"Live.at.Home/"}), list({"Live"}),
        list({"Live.at.Home"}));
    row("albums differing in case before the dot are one", "albums", list({"live.2/", "Live.1/"}),
        list({"Live"}), list({"Live.1"}));
    row("album: a loose file is none", "albums", list({"cover.png", "Rock/"}), list({"Rock"}));
    row("album: a hidden folder is none", "albums", list({".hidden/", "Rock/"}), list({"Rock"}));
  }
  void scanNamesItemsByFolder() {
    QFETCH(QString, kind);
    QFETCH(QStringList, files);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, folders);
    // Half a download of a killed run is cleaned up; a file of someone else's is not.
    temp_->createFile(QStringLiteral("arvexhub-Alpha.zip-Ab12Cd.part"), "half");
    temp_->createFile(QStringLiteral("unrelated.part"), "not ours");
    for (const auto& file : files) {
      const auto path = QStringLiteral(".arvexhub/%1/%2").arg(kind, file);
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
    QVERIFY(QDir(home_->filePath(QStringLiteral(".arvexhub/thumbnails/") + kind)).exists());
    QVERIFY(!QFileInfo::exists(folder(QStringLiteral(".staging-Alpha-x1"))));
    QCOMPARE(QDir(temp_->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("unrelated.part")});
  }

  // The window's first frame comes before the installed items' own pictures.
  // The window's first frame comes before the installed items' own pictures.
  void heldPicturesWaitForTheRelease_data() {
    kindColumn();
  }
  void heldPicturesWaitForTheRelease() {
    QFETCH(QString, kind);
    installItem(*home_, kind, QStringLiteral("Space"), true);
    makeModel(kind, {}, true);
    QCOMPARE(model_->rowCount(), 1); // the row is there before its picture
    QTest::qWait(50);
    QVERIFY(kind_.pictureOf(QStringLiteral("Space")).isNull());
    model_->holdLocalPictures(false);
    QTRY_VERIFY(!kind_.pictureOf(QStringLiteral("Space")).isNull());
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
    const auto first = installItem(*home_, kind, QStringLiteral("Space"), true);
    kind_.addInstalled(first);
    kind_.addInstalled(installItem(*home_, kind, QStringLiteral("SPACE")));
    QCOMPARE(rowCount.count(), 1);
    QCOMPARE(column(kind_.nameRole), QStringList{QStringLiteral("Space")});
    QCOMPARE(kind_.pathOf(QStringLiteral("Space")), first);
    QTRY_VERIFY(!kind_.pictureOf(QStringLiteral("Space")).isNull());
    QVERIFY(!model_->index(0).data(Qt::DecorationRole).isValid()); // the picture is under its own role
  }

  void mergeKeepsInstalledRowsAndAppendsTheCatalogueByName_data() {
    kindColumn();
  }
  void mergeKeepsInstalledRowsAndAppendsTheCatalogueByName() {
    QFETCH(QString, kind);
    const auto dune = installItem(*home_, kind, QStringLiteral("dune"));
    makeModel(kind, {catalogueEntry(QStringLiteral("Zorro"), QStringLiteral("https://example.com/z.zip")),
                     catalogueEntry(QStringLiteral("Dune")), catalogueEntry(QStringLiteral("Alice")),
                     QJsonValue(42), QJsonObject{{QStringLiteral("fullName"), QStringLiteral("no name")}}});
    // The installed row keeps its own name; the catalogue's rows follow by name, not as listed.
    QCOMPARE(column(kind_.nameRole),
             (QStringList{QStringLiteral("dune"), QStringLiteral("Alice"), QStringLiteral("Zorro")}));
    QCOMPARE(kind_.pathOf(QStringLiteral("DUNE")), dune);
    QCOMPARE(kind_.rowByName(QStringLiteral("DUNE")), 0);
    QCOMPARE(kind_.titleOf(QStringLiteral("DUNE")), QStringLiteral("Dune Tale"));
    QVERIFY(!kind_.isInstalled(QStringLiteral("Zorro")));
    QVERIFY(!kind_.isInstalled(QStringLiteral("Alice")));
    QVERIFY(!model_->index(0).data(Qt::UserRole + 100).isValid());
    QVERIFY(!model_->index(5).data().isValid());
  }

  void badCatalogueChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<TestHttpResponse>("response");
    QTest::addColumn<bool>("handlerAlone"); // the reply handler called with no reply at all
    QTest::addColumn<QStringList>("warnings");
    auto tooLarge = answer("[]");
    tooLarge.declaredLength = QByteArray::number((qint64{64} << 20) + 1);
    const auto row = [](const char* tag, const char* kind, const TestHttpResponse& response,
                        std::initializer_list<const char*> warnings, bool handlerAlone = false) {
      QStringList patterns;
      for (const char* warning : warnings) {
        patterns.append(QString::fromUtf8(warning));
      }
      QTest::newRow(tag) << kind << response << handlerAlone << patterns;
    };
    row("games: object", "games", answer(R"({"name": "Alpha"})"), {"^Failed to parse gamelist JSON:"});
    row("games: not JSON", "games", answer("[{"), {"^Failed to parse gamelist JSON:"});
    row("games: server error", "games", answer("[]", 500), {"^Failed to download gamelist:"});
    row("games: too large", "games", tooLarge,
        {"^Aborting a reply larger than 67108864 bytes:", "^Failed to download gamelist:"});
    row("movies: server error", "movies", answer({}, 500), {"^Failed to download movielist:"});
    row("ebooks: not an array", "ebooks", answer("{}"), {"^Failed to parse ebooklist JSON:"});
    row("albums: server error", "albums", answer({}, 500), {"^Failed to download album list: "});
    row("albums: not an array", "albums", answer("{}"), {"^Failed to parse album list JSON: "});
    row("games: handler without a reply", "games", answer("[]"), {}, true);
    row("movies: handler without a reply", "movies", answer("[]"), {}, true);
    row("ebooks: handler without a reply", "ebooks", answer("[]"),
        {"^Failed to download ebooklist: \"Unknown error\"$"}, true);
    row("albums: handler without a reply", "albums", answer("[]"), {}, true);
  }
  void badCatalogueChangesNothing() {
    QFETCH(QString, kind);
    QFETCH(TestHttpResponse, response);
    QFETCH(bool, handlerAlone);
    QFETCH(QStringList, warnings);
    installItem(*home_, kind, QStringLiteral("Rock"));
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
    QVERIFY(!finished.wait(300)); // the reply was handled without announcing a merge
    QCOMPARE(column(kind_.nameRole), QStringList{QStringLiteral("Rock")});
  }

  // Someone else's change rebuilds the list and fetches the catalogue again; our own does not.
  void externalChangeRescans_data() {
    kindColumn();
  }
  void externalChangeRescans() {
    QFETCH(QString, kind);
    makeModel(kind, {catalogueEntry(QStringLiteral("Jazz"))});
    installItem(*home_, kind, QStringLiteral("Rock.Live"));
    QTRY_COMPARE_WITH_TIMEOUT(model_->rowCount(), 2, 10000);
    QVERIFY(kind_.isInstalled(QStringLiteral("Rock")) || kind_.isInstalled(QStringLiteral("Rock.Live")));
    QTRY_COMPARE(server_->requestCount(documentOf(kind)), 2);
    kind_.remove(kind == QLatin1String("albums") ? QStringLiteral("Rock") : QStringLiteral("Rock.Live"));
    QVERIFY(!kind_.isInstalled(QStringLiteral("Rock")) && !kind_.isInstalled(QStringLiteral("Rock.Live")));
    QTest::qWait(300); // give a stray watcher notice the time to arrive; none may rescan
    QCOMPARE(server_->requestCount(documentOf(kind)), 2);
  }

  void catalogueCoverIsCachedAsPng_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<TestHttpResponse>("response");
    QTest::addColumn<QByteArray>("cachedBefore"); // left in the cache by an earlier run
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("warning");
    const auto png = pngOf(Qt::blue);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImage::fromData(png).save(&buffer, "JPEG");
    for (const QString& kind : libraryKinds()) {
      const auto row = [&kind](const char* tag, const TestHttpResponse& response, const QByteArray& cached,
                               bool shown) {
        QTest::addRow("%s: %s", qPrintable(kind), tag) << kind << response << cached << shown << QString();
      };
      row("a PNG, kept as received", answer(png), {}, true);
      row("a JPEG, stored as PNG", answer(jpeg), {}, true);
      row("an error page", answer("<html>not found</html>"), {}, false);
      row("a cut-off cache file", answer(png), png.left(30), true);
    }
    auto huge = answer(QByteArray((qint64{16} << 20) + 1, 'x'));
    huge.sendContentLength = false;
    QTest::newRow("games: too large")
        << "games" << huge << QByteArray() << false << "^Aborting a reply larger than 16777216 bytes:";
  }
  void catalogueCoverIsCachedAsPng() {
    QFETCH(QString, kind);
    QFETCH(TestHttpResponse, response);
    QFETCH(QByteArray, cachedBefore);
    QFETCH(bool, shown);
    QFETCH(QString, warning);
    const auto cache = home_->filePath(QStringLiteral(".arvexhub/thumbnails/%1/Jazz.png").arg(kind));
    if (!cachedBefore.isNull()) {
      home_->createFile(QStringLiteral(".arvexhub/thumbnails/%1/Jazz.png").arg(kind), cachedBefore);
    }
    // An installed item with its own picture needs none from the catalogue.
    installItem(*home_, kind, QStringLiteral("Own"), true);
    server_->setResponse(QStringLiteral("/jazz.png"), response);
    const QJsonArray catalogue{catalogueEntry(QStringLiteral("Jazz"), {}, url(QStringLiteral("/jazz.png"))),
                               catalogueEntry(QStringLiteral("Own"), {}, url(QStringLiteral("/jazz.png")))};
    if (!warning.isEmpty()) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    }
    makeModel(kind, catalogue);
    QCOMPARE(!kind_.pictureOf(QStringLiteral("Jazz")).isNull(), shown);
    QTRY_VERIFY(!kind_.pictureOf(QStringLiteral("Own")).isNull());
    QCOMPARE(server_->requestCount(QStringLiteral("/jazz.png")), 1);
    QTRY_COMPARE(QFileInfo::exists(cache), shown); // an encoded picture is written off the main thread
    if (kind == QLatin1String("albums")) {         // the player shows an album's cover from its file
      QCOMPARE(kind_.indexOf(QStringLiteral("Jazz")).data(AlbumRole::ThumbnailPath).toString(),
               shown ? cache : QString());
    }
    if (!shown) {
      return;
    }
    QFile file(cache);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto stored = file.readAll();
    QVERIFY(stored.startsWith("\x89PNG\r\n\x1a\n"));
    QVERIFY(!response.body.startsWith("\x89PNG") || stored == response.body); // a PNG as received
    makeModel(kind, catalogue); // the next start reads the cache
    QVERIFY(!kind_.pictureOf(QStringLiteral("Jazz")).isNull());
    QCOMPARE(server_->requestCount(QStringLiteral("/jazz.png")), 1);
    QFile::remove(cache);
    makeModel(kind, catalogue);
    QCOMPARE(server_->requestCount(QStringLiteral("/jazz.png")), 2);
  }

  void pictureNeedsItsCatalogueLink_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("ebooks") << "ebooks";
    QTest::newRow("albums") << "albums";
  }
  void pictureNeedsItsCatalogueLink() {
    QFETCH(QString, kind);
    for (const auto& name : {QStringLiteral("Cached"), QStringLiteral("Unlinked")}) {
      home_->createFile(QStringLiteral(".arvexhub/thumbnails/%1/%2.png").arg(kind, name), pngOf(Qt::blue));
    }
    server_->setResponse(QStringLiteral("/cover.png"), answer(pngOf(Qt::blue)));
    const auto cover = url(QStringLiteral("/cover.png"));
    makeModel(kind, {catalogueEntry(QStringLiteral("Cached"), {}, cover),
                     catalogueEntry(QStringLiteral("Unlinked")),
                     catalogueEntry(QStringLiteral("Fetched"), {}, cover)});
    QVERIFY(!kind_.pictureOf(QStringLiteral("Cached")).isNull());
    QVERIFY(kind_.pictureOf(QStringLiteral("Unlinked")).isNull()); // no link, no picture, cache or not
    QVERIFY(!kind_.pictureOf(QStringLiteral("Fetched")).isNull());
    QCOMPARE(server_->requestCount(QStringLiteral("/cover.png")), 1); // only the one not cached
  }

  void playingItemMarksItsRow_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("playing"); // relative to the kind's folder
    QTest::addColumn<QStringList>("marked");
    const QStringList space{QStringLiteral("Space")};
    QTest::newRow("games") << "games"
                           << "Space/launcher.command" << space;
    QTest::newRow("movies") << "movies"
                            << "Space/feature.mp4" << space;
    QTest::newRow("ebooks") << "ebooks"
                            << "Space/book.pdf" << space;
    QTest::newRow("albums: the album folder") << "albums"
                                              << "Space" << space;
    QTest::newRow("albums: a song in it") << "albums"
                                          << "Space/01 Intro.mp3" << space;
    QTest::newRow("albums: a folder whose name starts alike")
        << "albums"
        << "SpaceBand" << QStringList{QStringLiteral("SpaceBand")};
    QTest::newRow("albums: a folder elsewhere of the same name") << "albums"
                                                                 << "../Space" << QStringList();
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
    installItem(*home_, kind, QStringLiteral("Space"));
    installItem(*home_, kind, QStringLiteral("SpaceBand"));
    makeModel(kind, {catalogueEntry(QStringLiteral("Ocean"))});
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
    QStringList shown;
    for (int row = 0; row < model_->rowCount(); ++row) {
      if (model_->index(row).data(kind_.playingRole).toBool()) {
        shown.append(model_->index(row).data(kind_.nameRole).toString());
      }
    }
    QCOMPARE(shown, marked);
    kind_.setPlaying({});
    QVERIFY(!kind_.indexOf(QStringLiteral("Space")).data(kind_.playingRole).toBool());
  }

  void removeKeepsTheRow_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("current"); // the selected name
    QTest::addColumn<QString>("playing"); // the installed item that plays
    QTest::addColumn<QString>("failure"); // non-empty: its main file cannot be deleted, and this is logged
    QTest::addColumn<bool>("deleted");
    const QHash<QString, QString> failures{
        {QStringLiteral("movies"), QStringLiteral("^Could not remove the movie folder:")},
        {QStringLiteral("ebooks"), QStringLiteral("^Failed to remove ebook directory:")},
        {QStringLiteral("albums"), QStringLiteral("^Failed to remove album directory:")}};
    for (const char* kind : {"movies", "ebooks", "albums"}) {
      QTest::addRow("%s: installed and playing", kind) << kind << "Space"
                                                       << "Space"
                                                       << "Space" << QString() << true;
      // "Space" is a prefix of "SpaceBand": removing one must not stop the other. The selection
      // is let go only when it is the name removed, exactly.
      QTest::addRow("%s: another plays, selected in another case", kind) << kind << "space"
                                                                         << "Space"
                                                                         << "SpaceBand" << QString() << true;
      QTest::addRow("%s: catalogue row has no folder", kind) << kind << "Ocean"
                                                             << "Ocean"
                                                             << "Space" << QString() << false;
      QTest::addRow("%s: unknown name", kind) << kind << "Nothing"
                                              << "Nothing"
                                              << "Space" << QString() << false;
      QTest::addRow("%s: cannot be deleted", kind) << kind << "Space"
                                                   << "Space"
                                                   << "Space" << failures.value(QLatin1String(kind)) << false;
    }
  }
  void removeKeepsTheRow() {
    QFETCH(QString, kind);
    QFETCH(QString, removed);
    QFETCH(QString, current);
    QFETCH(QString, playing);
    QFETCH(QString, failure);
    QFETCH(bool, deleted);
    const auto space = installItem(*home_, kind, QStringLiteral("Space"), true);
    const auto band = installItem(*home_, kind, QStringLiteral("SpaceBand"));
    const auto link = QStringLiteral("https://example.com/x.zip");
    makeModel(kind,
              {catalogueEntry(QStringLiteral("Space"), link), catalogueEntry(QStringLiteral("Ocean"), link)});
    QTRY_VERIFY(!kind_.pictureOf(QStringLiteral("Space")).isNull());
    std::unique_ptr<Immutable> locked;
    if (!failure.isEmpty()) {
      locked = std::make_unique<Immutable>(folder(QStringLiteral("Space/") + mainFileOf(kind)));
      if (!locked->isSet()) {
        QSKIP("this file system or process cannot make a file immutable");
      }
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(failure));
    }
    // An empty path's folder is the working directory: it must survive whatever is removed.
    const auto bystander = temp_->createFile(QStringLiteral("work/keep.txt"), "mine");
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
    QCOMPARE(kind_.isInstalled(QStringLiteral("Space")), !deleted); // never offered over what is on disk
    if (kind == QLatin1String("albums")) {                          // an album's picture is in its folder
      QCOMPARE(kind_.pictureOf(QStringLiteral("Space")).isNull(), deleted);
    }
    QCOMPARE(kind_.currentName(), deleted && current == removed ? QString() : current);
    const bool stillPlaying = !(deleted && playing == QLatin1String("Space"));
    QCOMPARE(kind_.playing(), stillPlaying ? playingPath : QString());
    QCOMPARE(kind_.indexOf(playing).data(kind_.playingRole).toBool(), stillPlaying);
    QCOMPARE(changed.isEmpty(), !deleted);
  }

  void downloadInstalls_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("installed"); // relative to the kind's folder
    QTest::addColumn<bool>("anyCase");      // a name in another case downloads too
    QTest::newRow("games") << "games"
                           << "Space/launcher.command" << true;
    QTest::newRow("movies") << "movies"
                            << "Space/feature.mp4" << true;
    QTest::newRow("ebooks") << "ebooks"
                            << "Space/book.pdf" << false;
    QTest::newRow("albums") << "albums"
                            << "Space" << false;
  }
  void downloadInstalls() {
    QFETCH(QString, kind);
    QFETCH(QString, installed);
    QFETCH(bool, anyCase);
    const auto archive = archiveOf(kind);
    server_->setResponse(QStringLiteral("/space.zip"), answer(archive));
    server_->setResponse(QStringLiteral("/space.png"), answer(pngOf(Qt::green)));
    auto entry = catalogueEntry(QStringLiteral("Space"), url(QStringLiteral("/space.zip")),
                                url(QStringLiteral("/space.png")));
    // The checksum is verified when the catalogue gives one (in upper case here).
    entry.insert(
        QStringLiteral("sha256"),
        QString::fromLatin1(QCryptographicHash::hash(archive, QCryptographicHash::Sha256).toHex().toUpper()));
    makeModel(kind, {entry});
    QSignalSpy done(model_.get(), kind_.downloadFinished);
    QList<QPair<qsizetype, bool>> changes; // the ends announced so far, and whether the row is busy
    connect(model_.get(), &QAbstractItemModel::dataChanged, this, [&](const QModelIndex& row) {
      changes.append({done.count(), row.data(kind_.busyRole).toBool()});
    });
    const QString space = QStringLiteral("Space");
    kind_.download(QStringLiteral("space"));
    QCOMPARE(kind_.isBusy(space), anyCase);
    if (!anyCase) {
      kind_.download(space);
    }
    QVERIFY(kind_.isBusy(space));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refusing to download")));
    kind_.download(space);     // the row is busy
    QVERIFY(done.wait(30000)); // a sanitizer build on a busy machine is slow
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.first().first().toString(), space);
    QCOMPARE(server_->requestCount(QStringLiteral("/space.zip")), 1);
    const auto path = kind_.pathOf(space);
    QCOMPARE(path, folder(installed));
    QVERIFY(!kind_.isBusy(space));
    QCOMPARE(kind_.indexOf(space).data(kind_.progressRole).toDouble(), -1.0);
    // The end is announced while the row still shows its download; the row goes idle after.
    QCOMPARE(changes.last(), qMakePair(qsizetype{1}, false));
    for (const auto& [ends, busy] : changes) {
      QVERIFY(ends == 1 || busy);
    }
    QCOMPARE(leftOvers(temp_->path()), QStringList());
    if (kind == QLatin1String("games")) {
      QVERIFY(QFileInfo(path).isExecutable());
      QCOMPARE(GameListModel::getLocalVersion(path), QStringLiteral("1.0"));
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
    QCOMPARE(server_->requestCount(QStringLiteral("/space.png")), 1);
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
    const auto readme = answer(TestArchive::zip({{QStringLiteral("readme.txt"), "hi", 0100644}}));
    const auto notZip = answer(QByteArray(4096, 'z'));
    const auto nested = [](const QString& file) {
      return answer(TestArchive::zip({{QStringLiteral("Space/") + file, "#!/bin/sh\n", 0100755}}));
    };
    const auto slip = TestArchive::zip({{QStringLiteral("launcher.command"), "#!/bin/bash\n", 0100755},
                                        {QStringLiteral("../../escaped.txt"), "gotcha", 0100644}});
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
    row("game: start script in a sub-folder", "games", "served", nested(QStringLiteral("launcher.command")),
        "^No \\.command file found after extraction in \"{folder}\"$");
    row("game: zip-slip", "games", "served", answer(slip), "^Failed to extract");
    row("game: checksum mismatch", "games", "served", answer(good), "^Checksum mismatch", "00ff");
    row("movie: invalid link", "movies", "invalid", {},
        "^Download failed for \"Space\" due to invalid URL\\.$");
    row("movie: not a zip", "movies", "served", notZip, "^Failed to extract \"[^\"]*\\.part\" \"");
    row("movie: no movie file", "movies", "served", readme,
        "^No \\.mp4 file found after extraction for \"Space\"$");
    row("movie in a sub-folder", "movies", "served", nested(QStringLiteral("feature.mp4")),
        "^No \\.mp4 file found after extraction for \"Space\"$");
    row("book: missing archive", "ebooks", "missing", {}, "");
    row("book: not a zip", "ebooks", "served", notZip, "");
    row("book: no document", "ebooks", "served", readme,
        "^No \\.pdf file found after extracting ebook archive: \"Space\"$");
    row("book in a sub-folder", "ebooks", "served", nested(QStringLiteral("book.pdf")),
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
      server_->setResponse(QStringLiteral("/space.zip"), response);
    }
    const QString address = link.isEmpty()                     ? QString()
                            : link == QLatin1String("invalid") ? QStringLiteral("http://[::1")
                                                               : url(QStringLiteral("/space.zip"));
    auto entry = catalogueEntry(QStringLiteral("Space"), address);
    entry.insert(QStringLiteral("sha256"), checksum);
    makeModel(kind, {entry});
    if (!warning.isEmpty()) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning.replace(
                                             QStringLiteral("{folder}"),
                                             QRegularExpression::escape(folder(QStringLiteral("Space"))))));
    }
    const auto space = QStringLiteral("Space");
    kind_.download(space);
    QTRY_VERIFY_WITH_TIMEOUT(!kind_.isBusy(space), 10000);
    QVERIFY(!kind_.isInstalled(space));
    QCOMPARE(kind_.indexOf(space).data(kind_.progressRole).toDouble(), -1.0);
    QCOMPARE(leftOvers(folder()), QStringList());
    QCOMPARE(leftOvers(temp_->path()), QStringList());
    QVERIFY(!QFileInfo::exists(home_->filePath(QStringLiteral(".arvexhub/escaped.txt"))));
    if (kind == QLatin1String("games") || kind == QLatin1String("movies")) { // offered again
      QVERIFY(kind_.indexOf(space)
                  .data(kind == QLatin1String("games") ? int(GameRole::UpdateAvailable)
                                                       : int(MovieRole::UpdateAvailable))
                  .toBool());
    }
  }

  // What movies do on their own.

  void movieMergeOffersOnlyWhatIsNotInstalled_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("updateAvailable");
    const auto link = QStringLiteral("https://example.com/space.zip");
    QTest::newRow("installed, link") << true << link << false;
    QTest::newRow("catalogue only, link") << false << link << true;
    QTest::newRow("catalogue only, no link") << false << QString() << false;
  }
  void movieMergeOffersOnlyWhatIsNotInstalled() {
    QFETCH(bool, installed);
    QFETCH(QString, link);
    QFETCH(bool, updateAvailable);
    if (installed) {
      installItem(*home_, QStringLiteral("movies"), QStringLiteral("space"));
    }
    makeModel(QStringLiteral("movies"), {catalogueEntry(QStringLiteral("Space"), link)});
    QCOMPARE(model_->index(0).data(MovieRole::UpdateAvailable).toBool(), updateAvailable);
    auto* movies = qobject_cast<MovieListModel*>(model_.get());
    movies->removeMovie(QStringLiteral("Space"));
    QCOMPARE(model_->index(0).data(MovieRole::UpdateAvailable).toBool(), !link.isEmpty()); // offered again
  }

  void namesByPathAndProperties_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("movies") << "movies";
    QTest::newRow("ebooks") << "ebooks";
  }
  void namesByPathAndProperties() {
    QFETCH(QString, kind);
    const auto ocean = installItem(*home_, kind, QStringLiteral("Ocean"));
    const auto space = installItem(*home_, kind, QStringLiteral("Space"));
    makeModel(kind, {catalogueEntry(QStringLiteral("Space"))});
    const auto nameByPath = [this](const QString& path) {
      auto* movies = qobject_cast<MovieListModel*>(model_.get());
      return movies != nullptr ? movies->movieNameByPath(path)
                               : qobject_cast<EbookListModel*>(model_.get())->ebookNameByPath(path);
    };
    QCOMPARE(nameByPath(ocean), QStringLiteral("Ocean"));
    QCOMPARE(nameByPath(space), QStringLiteral("Space Tale"));
    QCOMPARE(nameByPath(QString()), QString());
    kind_.setPlaying(space);
    const char* playing = kind == QLatin1String("movies") ? "currentPlayingMovie" : "currentReadingEbook";
    QCOMPARE(model_->property(playing).toString(), space);
    QCOMPARE(model_->property("rowCount").toInt(), 2);
    kind_.remove(QStringLiteral("Space"));
    QVERIFY(nameByPath(space).isEmpty());
  }

  // What e-books do on their own.

  void ebookRolesAndRoleNames() {
    installItem(*home_, QStringLiteral("ebooks"), QStringLiteral("Dune"));
    makeModel(QStringLiteral("ebooks"));
    const auto names = model_->roleNames();
    QCOMPARE(names.value(Qt::DisplayRole), QByteArray("fullName"));
    QCOMPARE(names.value(EbookRole::Path), QByteArray("path"));
    QVERIFY(!names.contains(258));
    QVERIFY(!model_->index(0).data(258).isValid());
  }

  void ebookOutsideTheLibraryIsNotRemoved() {
    makeModel(QStringLiteral("ebooks"));
    TestDir elsewhere;
    const auto outside = elsewhere.createFile(QStringLiteral("Outside/book.pdf"), "%PDF-1.4");
    kind_.addInstalled(outside);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Not removing")));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^Failed to remove ebook directory:")));
    kind_.remove(QStringLiteral("Outside"));
    QVERIFY(QFileInfo::exists(outside));
    QVERIFY(kind_.isInstalled(QStringLiteral("Outside"))); // a book still on disk stays installed
  }

  // What albums do on their own.

  void albumRemovalRefusedWhileDownloadingAgain() {
    const auto rock = installItem(*home_, QStringLiteral("albums"), QStringLiteral("Rock"));
    auto stalled = answer(QByteArray(4096, 'x'));
    stalled.stallAfterBytes = 10;
    server_->setResponse(QStringLiteral("/rock.zip"), stalled);
    makeModel(QStringLiteral("albums"),
              {catalogueEntry(QStringLiteral("Rock"), url(QStringLiteral("/rock.zip")))});
    kind_.download(QStringLiteral("Rock"));
    kind_.setCurrentName(QStringLiteral("Rock"));
    QSignalSpy changed(model_.get(), &QAbstractItemModel::dataChanged);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refusing to remove an album")));
    kind_.remove(QStringLiteral("Rock"));
    QVERIFY(QFileInfo::exists(rock));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(kind_.currentName(), QStringLiteral("Rock"));
  }

  void albumFoldersAndCovers() {
    const auto rock = installItem(*home_, QStringLiteral("albums"), QStringLiteral("Rock.Deluxe"), true);
    server_->setResponse(QStringLiteral("/jazz.png"), answer(pngOf(Qt::blue)));
    server_->setResponse(QStringLiteral("/jazz.zip"), answer(archiveOf(QStringLiteral("albums"))));
    // A dotted name could be installed but never found again under its folder's name.
    QTest::ignoreMessage(
        QtWarningMsg, QRegularExpression(QStringLiteral("^Skipping catalogue album whose name holds a dot")));
    makeModel(QStringLiteral("albums"),
              {catalogueEntry(QStringLiteral("Jazz"), url(QStringLiteral("/jazz.zip")),
                              url(QStringLiteral("/jazz.png"))),
               catalogueEntry(QStringLiteral("Jazz.Live"))});
    auto* albums = qobject_cast<AlbumListModel*>(model_.get());
    QCOMPARE(model_->rowCount(), 2);
    QTRY_COMPARE(kind_.indexOf(QStringLiteral("Rock")).data(AlbumRole::ThumbnailPath).toString(),
                 rock + QStringLiteral("/Rock.png"));
    QCOMPARE(albums->findIndexByPath(rock).row(), kind_.rowByName(QStringLiteral("Rock")));
    QVERIFY(!albums->findIndexByPath(rock + QLatin1Char('/')).isValid());

    // A downloaded album keeps its catalogue cover in its folder.
    QSignalSpy done(albums, &AlbumListModel::albumDownloadFinished);
    kind_.download(QStringLiteral("Jazz"));
    QVERIFY(done.wait(10000));
    const auto jazz = folder(QStringLiteral("Jazz"));
    QCOMPARE(kind_.indexOf(QStringLiteral("Jazz")).data(AlbumRole::ThumbnailPath).toString(),
             jazz + QStringLiteral("/Jazz.png"));
    QVERIFY(!QImage(jazz + QStringLiteral("/Jazz.png")).isNull());
    QCOMPARE(albums->findIndexByPath(jazz), kind_.indexOf(QStringLiteral("Jazz")));
    SongListModel songs;
    songs.setCurrentFolder(jazz);
    QCOMPARE(songs.rowCount(), 2);

    // A removed album loses its folder and picture, not its row.
    albums->removeAlbum(QStringLiteral("rock"));
    QVERIFY(!QFileInfo::exists(rock));
    QVERIFY(kind_.indexOf(QStringLiteral("Rock")).data(AlbumRole::ThumbnailPath).toString().isEmpty());
    QVERIFY(!albums->findIndexByPath(rock).isValid());
  }

  void songsAreListedByNameAndType_data() {
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
  void songsAreListedByNameAndType() {
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

  void songPathForRow_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("removeFile");
    QTest::addColumn<QString>("warning");
    QTest::newRow("first song") << 0 << false << QString();
    QTest::newRow("before the first") << -1 << false << "^Requested song path for invalid row: -1";
    QTest::newRow("after the last") << 2 << false << "^Requested song path for invalid row: 2";
    QTest::newRow("file gone since") << 0 << true << "^Song file not found at path: ";
  }
  void songPathForRow() {
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
};

QTEST_MAIN(TestLibraryModels)
#include "tst_librarymodels.moc"
