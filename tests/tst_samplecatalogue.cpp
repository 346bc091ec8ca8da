// The sample-catalogue tool through its command line: the catalogues of games, movies, e-books and
// music, their archives as an install reads them, the server, the installed game, start scripts.

#include <TestDir.h>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <QCryptographicHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QVersionNumber>
#include <QtTest>

#include <memory>

using arvexhub::test::TestDir;

namespace {

const QString tool = QStringLiteral(SAMPLE_CATALOGUE_PATH);

int runTool(const QStringList& arguments, const QString& path = qEnvironmentVariable("PATH")) {
  QProcess process;
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("PATH"), path);
  process.setProcessEnvironment(environment);
  process.start(tool, arguments);
  return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit ? process.exitCode()
                                                                                        : -1;
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString sha256Hex(const QByteArray& data) {
  return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

/// Content and Unix mode (from the external attributes) of one zip entry; mode 0 when missing.
std::pair<QByteArray, quint32> zipEntry(const QString& zipPath, const QString& name) {
  QuaZip zip(zipPath);
  QuaZipFileInfo64 info;
  QuaZipFile file(&zip);
  if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(name) || !zip.getCurrentFileInfo(&info) ||
      !file.open(QIODevice::ReadOnly)) {
    return {};
  }
  const QByteArray content = file.readAll();
  file.close();
  return {content, file.getZipError() == UNZ_OK ? info.externalAttr >> 16 : 0};
}

QStringList zipNames(const QString& zipPath) {
  QuaZip zip(zipPath);
  return zip.open(QuaZip::mdUnzip) ? zip.getFileNameList() : QStringList();
}

/// The kinds of the streams ffprobe finds in a file, e.g. "video audio".
QString streamTypes(const QString& ffprobe, const QString& path) {
  QProcess probe;
  probe.start(ffprobe,
              {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
               QStringLiteral("stream=codec_type"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), path});
  probe.waitForFinished(30000);
  return QString::fromLatin1(probe.readAllStandardOutput()).simplified();
}

/// Each catalogue document with the keys of its entries besides "url", "thumbnail" and "sha256", and
/// the suffixes of the files that must lie at the top level of an item's archive besides the picture.
struct Document {
  QString file;
  QString keys;
  QString suffixes;
};

const QList<Document> documents{
    {QStringLiteral("games.json"),
     QStringLiteral("name fullName developer publisher demo version launchDate"), QStringLiteral("command")},
    {QStringLiteral("movies.json"), QStringLiteral("name fullName animation publisher launchDate"),
     QStringLiteral("mp4")},
    {QStringLiteral("ebooks.json"), QStringLiteral("name fullName author publisher publicationDate"),
     QStringLiteral("pdf")},
    {QStringLiteral("music.json"), QStringLiteral("name fullName artist publisher releaseDate"),
     QStringLiteral("mp3 wav")},
};

QJsonArray readArray(const QString& path) {
  return QJsonDocument::fromJson(readFile(path)).array();
}

/// The media files of an item's archive open as what they claim to be: PDFs with a cover and at
/// least three pages of text, and, checked with ffprobe, movies with picture and sound and songs.
void checkMedia(const QString& zipPath, const QStringList& names) {
  const QRegularExpression page(QStringLiteral("/Type\\s*/Page\\b"));
  for (const auto& pdf : names.filter(QRegularExpression(QStringLiteral("\\.pdf$")))) {
    const auto text = QString::fromLatin1(zipEntry(zipPath, pdf).first);
    QVERIFY(text.startsWith(QStringLiteral("%PDF-")));
    QVERIFY2(text.count(page) >= 4, qPrintable(pdf));
  }
  const auto media = names.filter(QRegularExpression(QStringLiteral("\\.(mp4|mp3|wav)$")));
  if (media.isEmpty()) {
    return;
  }
  const auto ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
  if (ffprobe.isEmpty()) {
    QSKIP("ffprobe is not installed");
  }
  TestDir dir;
  for (const auto& name : media) {
    const auto types = streamTypes(ffprobe, dir.createFile(name, zipEntry(zipPath, name).first)).split(u' ');
    const QStringList expected = name.endsWith(QStringLiteral(".mp4"))
                                     ? QStringList{QStringLiteral("audio"), QStringLiteral("video")}
                                     : QStringList{QStringLiteral("audio")};
    QCOMPARE(QSet<QString>(types.cbegin(), types.cend()), QSet<QString>(expected.cbegin(), expected.cend()));
  }
}

/// Body of a GET, empty unless it answered 200.
QByteArray httpGet(QNetworkAccessManager& manager, const QString& url) {
  std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(url))));
  QSignalSpy finished(reply.get(), &QNetworkReply::finished);
  const bool done = reply->isFinished() || finished.wait(30000);
  return done && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200 ? reply->readAll()
                                                                                           : QByteArray();
}

} // namespace

class TestSampleCatalogue final : public QObject {
  Q_OBJECT

  TestDir written_;
  QMap<QString, QJsonArray> catalogues_; // by document
  TestDir servedDir_;
  QProcess server_;
  quint16 port_{0};
  QNetworkAccessManager network_;

  QMap<QString, QJsonObject> games_; // by name, sorted: rows and the launcher game stay the same

  /// The written file that an entry's "url" or "thumbnail" names.
  QString writtenFile(const QJsonObject& entry, const QString& key) const {
    return written_.filePath(entry.value(key).toString().remove(QStringLiteral("{server}/")));
  }

private slots:
  void initTestCase() {
    QCOMPARE(runTool({QStringLiteral("--write"), written_.path()}), 0);
    for (const auto& document : documents) {
      catalogues_.insert(document.file, readArray(written_.filePath(document.file)));
    }
    for (const auto& value : catalogues_.value(QStringLiteral("games.json"))) {
      games_.insert(value.toObject().value(QStringLiteral("name")).toString(), value.toObject());
    }
    const auto portFile = servedDir_.filePath(QStringLiteral("port"));
    server_.start(tool,
                  {QStringLiteral("--serve"), servedDir_.filePath(QStringLiteral("site")),
                   QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--port-file"), portFile});
    QVERIFY(server_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(portFile).size() > 0, 60000);
    port_ = readFile(portFile).trimmed().toUShort();
  }

  void cleanupTestCase() {
    server_.kill();
    server_.waitForFinished();
  }

  void writtenCatalogue_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("keys");
    for (const auto& document : documents) {
      QTest::newRow(qPrintable(document.file)) << document.file << document.keys;
    }
  }

  void writtenCatalogue() {
    QFETCH(QString, file);
    QFETCH(QString, keys);
    const auto catalogue = catalogues_.value(file);
    QVERIFY2(!catalogue.isEmpty(), "not a non-empty JSON array");
    const QRegularExpression safeName(QStringLiteral("^[A-Za-z][A-Za-z0-9]*$"));
    QSet<QString> names;
    for (const auto& value : catalogue) {
      const auto entry = value.toObject();
      for (const auto& key : (keys + QStringLiteral(" url thumbnail sha256")).split(QLatin1Char(' '))) {
        QVERIFY2(key == QStringLiteral("demo") ? entry.value(key).isBool()
                                               : !entry.value(key).toString().isEmpty(),
                 qPrintable(key));
      }
      QVERIFY(!entry.contains(QStringLiteral("version")) ||
              !QVersionNumber::fromString(entry.value(QStringLiteral("version")).toString()).isNull());
      const auto name = entry.value(QStringLiteral("name")).toString();
      QVERIFY2(safeName.match(name).hasMatch(), qPrintable(name));
      names.insert(name);
    }
    QCOMPARE(names.size(), catalogue.size());
  }

  void archive_data() {
    QTest::addColumn<QJsonObject>("entry");
    QTest::addColumn<QString>("suffixes");
    for (const auto& document : documents) {
      for (const auto& value : catalogues_.value(document.file)) {
        const auto entry = value.toObject();
        QTest::addRow("%s", qPrintable(entry.value(QStringLiteral("name")).toString()))
            << entry << document.suffixes;
      }
    }
  }

  // Installed as the download does it: the archive's top level becomes the item's folder, where the
  // library looks for the main file and the picture <name>.png.
  void archive() {
    QFETCH(QJsonObject, entry);
    QFETCH(QString, suffixes);
    const auto path = writtenFile(entry, QStringLiteral("url"));
    QCOMPARE(sha256Hex(readFile(path)), entry.value(QStringLiteral("sha256")).toString());
    const auto names = zipNames(path);
    QVERIFY2(!names.isEmpty() && names.filter(QStringLiteral("/")).isEmpty(), qPrintable(names.join(u',')));
    for (const auto& suffix : suffixes.split(QLatin1Char(' '))) {
      QVERIFY2(!names.filter(QRegularExpression(QStringLiteral("\\.%1$").arg(suffix))).isEmpty(),
               qPrintable(suffix));
    }
    if (suffixes == QStringLiteral("command")) {
      const auto [script, mode] = zipEntry(path, QStringLiteral("launcher.command"));
      QVERIFY(script.startsWith("#!"));
      QCOMPARE(mode & 0170111u, 0100111u); // a regular file, executable by everyone
      return;
    }
    const auto name = entry.value(QStringLiteral("name")).toString();
    QVERIFY(!QImage::fromData(zipEntry(path, name + QStringLiteral(".png")).first, "PNG").isNull());
    checkMedia(path, names);
  }

  void servedCatalogue_data() {
    QTest::addColumn<QString>("file");
    for (const auto& document : documents) {
      QTest::newRow(qPrintable(document.file)) << document.file;
    }
  }

  void servedCatalogue() {
    QFETCH(QString, file);
    const auto url = QStringLiteral("http://127.0.0.1:%1/%2").arg(port_).arg(file);
    const auto served = QJsonDocument::fromJson(httpGet(network_, url)).array();
    QCOMPARE(served.size(), catalogues_.value(file).size());
    for (const auto& value : served) {
      const auto entry = value.toObject();
      for (const auto& key : {QStringLiteral("url"), QStringLiteral("thumbnail")}) {
        const QUrl url(entry.value(key).toString());
        QVERIFY2(url.host() == QStringLiteral("127.0.0.1") && url.port() == port_,
                 qPrintable(url.toString()));
      }
      QCOMPARE(sha256Hex(httpGet(network_, entry.value(QStringLiteral("url")).toString())),
               entry.value(QStringLiteral("sha256")).toString());
      const auto png = httpGet(network_, entry.value(QStringLiteral("thumbnail")).toString());
      QVERIFY(!QImage::fromData(png, "PNG").isNull());
    }
  }

  void withoutFfmpegWritesTheRest() {
    TestDir folder;
    const auto emptyPath = folder.createDir(QStringLiteral("bin"));
    QCOMPARE(runTool({QStringLiteral("--write"), folder.filePath(QStringLiteral("site"))}, emptyPath), 1);
    QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("site/movies.json"))));
    for (const auto& file :
         {QStringLiteral("games.json"), QStringLiteral("ebooks.json"), QStringLiteral("music.json")}) {
      QCOMPARE(readArray(folder.filePath(QStringLiteral("site/") + file)).size(),
               catalogues_.value(file).size());
    }
    for (const auto& value : readArray(folder.filePath(QStringLiteral("site/music.json")))) {
      auto url = value.toObject().value(QStringLiteral("url")).toString();
      const auto songs =
          zipNames(folder.filePath(url.replace(QStringLiteral("{server}"), QStringLiteral("site"))));
      QVERIFY2(songs.filter(QStringLiteral(".mp3")).isEmpty() &&
                   !songs.filter(QStringLiteral(".wav")).isEmpty(),
               qPrintable(songs.join(u',')));
    }
  }

  void requestTarget_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<int>("status");
    QTest::newRow("catalogue") << QByteArray("/games.json") << 200;
    QTest::newRow("unknown file") << QByteArray("/nothing-here.json") << 404;
    QTest::newRow("parent") << QByteArray("/games/../games.json") << 404;
    QTest::newRow("escape") << QByteArray("/../port") << 404;
    QTest::newRow("encoded escape") << QByteArray("/%2e%2e/port") << 404;
  }

  // A raw socket: an HTTP client would tidy "..", "%2e%2e" and such away before sending.
  void requestTarget() {
    QFETCH(QByteArray, target);
    QFETCH(int, status);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port_);
    QVERIFY(socket.waitForConnected(30000));
    socket.write("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QByteArray response;
    while (!response.contains("\r\n") && socket.waitForReadyRead(30000)) {
      response += socket.readAll();
    }
    QVERIFY2(response.startsWith("HTTP/1.1 " + QByteArray::number(status) + ' '), response.constData());
  }

  void installIntoGivesOlderVersionAndKeepsExisting() {
    TestDir home;
    QCOMPARE(runTool({QStringLiteral("--install-into"), home.path()}), 0);
    const QDir games(home.filePath(QStringLiteral(".arvexhub/games")));
    const auto folders = games.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    QCOMPARE(folders.size(), 1);
    const QString version = games.filePath(folders.first() + QStringLiteral("/VERSION"));
    const auto installed = QVersionNumber::fromString(QString::fromUtf8(readFile(version).trimmed()));
    const auto offered = games_.value(folders.first()).value(QStringLiteral("version")).toString();
    QVERIFY2(!installed.isNull() && installed < QVersionNumber::fromString(offered), qPrintable(offered));

    home.createFile(QStringLiteral(".arvexhub/games/%1/VERSION").arg(folders.first()), "7.0.0\n");
    QCOMPARE(runTool({QStringLiteral("--install-into"), home.path()}), 0);
    QCOMPARE(readFile(version), QByteArray("7.0.0\n"));
    QCOMPARE(games.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), folders);
  }

  void launcherScriptAnswersCommands() {
    TestDir dir;
    const auto zip = writtenFile(games_.first(), QStringLiteral("url"));
    const auto script = dir.createFile(QStringLiteral("launcher.command"),
                                       zipEntry(zip, QStringLiteral("launcher.command")).first);
    QVERIFY(QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QProcess game;
    game.start(script, QStringList{});
    QVERIFY2(game.waitForStarted(), qPrintable(game.errorString()));
    QByteArray output;
    game.write("print(\"sample check\")\n");
    QTRY_VERIFY_WITH_TIMEOUT( // answered while stdin is still open
        (output += game.readAllStandardOutput()).contains("End Lua command #1"), 10000);
    game.closeWriteChannel();
    QVERIFY(game.waitForFinished(10000));
    output += game.readAllStandardOutput();
    QVERIFY(game.exitStatus() == QProcess::NormalExit && game.exitCode() == 0);
    const auto begin = output.indexOf("[ArvexHub] [4] Info: ====== Begin Lua command #1 ======\n");
    const auto result = output.indexOf("\nsample check\n");
    const auto end = output.indexOf("[ArvexHub] [4] Info: ====== End Lua command #1: success ======\n");
    QVERIFY2(begin >= 0 && begin < result && result < end, output.constData());
    QVERIFY2(output.endsWith("[ArvexHub] [5] Info: Shutting down\n"), output.constData());
  }
};

QTEST_MAIN(TestSampleCatalogue)
#include "tst_samplecatalogue.moc"
