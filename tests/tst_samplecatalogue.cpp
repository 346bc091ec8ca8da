// The sample-catalogue tool through its command line: the catalogues of games, movies, e-books and
// music, their archives as an install reads them, the server, the installed game, start scripts.

#include "TestDir.h"

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

#include <csignal>
#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;
using arvexhub::test::TestDir;

namespace {

const QString tool = QStringLiteral(SAMPLE_CATALOGUE_PATH);

int runTool(const QStringList& arguments, const QString& path = qEnvironmentVariable("PATH")) {
  QProcess process;
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert(u"PATH"_s, path);
  process.setProcessEnvironment(environment);
  process.start(tool, arguments);
  return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit ? process.exitCode()
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

/// Each catalogue document with the keys of its entries besides "url", "thumbnail" and "sha256", and
/// the suffixes of the files that must lie at the top level of an item's archive besides the picture.
struct Document {
  QString file;
  QString keys;
  QString suffixes;
};

const QList<Document> documents{
    {u"games.json"_s, u"name fullName developer publisher demo version launchDate"_s, u"command"_s},
    {u"movies.json"_s, u"name fullName animation publisher launchDate"_s, u"mp4"_s},
    {u"ebooks.json"_s, u"name fullName author publisher publicationDate"_s, u"pdf"_s},
    {u"music.json"_s, u"name fullName artist publisher releaseDate"_s, u"mp3 wav"_s},
};

QJsonArray readArray(const QString& path) {
  return QJsonDocument::fromJson(readFile(path)).array();
}

QString nameOf(const QJsonValue& entry) {
  return entry.toObject().value(u"name"_s).toString();
}

/// The media files of an item's archive open as what they claim to be: PDFs with a cover and at
/// least three pages of text, and, checked with ffprobe, movies with picture and sound and songs.
void checkMedia(const QString& zipPath, const QStringList& names) {
  const QRegularExpression page(u"/Type\\s*/Page\\b"_s);
  for (const auto& pdf : names.filter(QRegularExpression(u"\\.pdf$"_s))) {
    const auto text = QString::fromLatin1(zipEntry(zipPath, pdf).first);
    QVERIFY(text.startsWith(u"%PDF-"_s));
    QVERIFY2(text.count(page) >= 4, qPrintable(pdf));
  }
  TestDir dir;
  for (const auto& name : names.filter(QRegularExpression(u"\\.(mp4|mp3|wav)$"_s))) {
    const auto ffprobe = QStandardPaths::findExecutable(u"ffprobe"_s);
    if (ffprobe.isEmpty()) {
      QSKIP("ffprobe is not installed");
    }
    QProcess probe; // the kinds of the streams, one a line
    probe.start(ffprobe, {u"-v"_s, u"error"_s, u"-show_entries"_s, u"stream=codec_type"_s, u"-of"_s,
                          u"csv=p=0"_s, dir.createFile(name, zipEntry(zipPath, name).first)});
    probe.waitForFinished(30000);
    auto types = QString::fromLatin1(probe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    types.removeDuplicates();
    types.sort();
    QCOMPARE(types.join(u' '), name.endsWith(u".mp4"_s) ? u"audio video"_s : u"audio"_s);
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
  QString address_; // http://127.0.0.1:<port>
  quint16 port_{0};
  QNetworkAccessManager network_;

  QMap<QString, QJsonObject> games_; // by name

  /// The written file that an entry's "url" or "thumbnail" names.
  QString writtenFile(const QJsonObject& entry, const QString& key) const {
    return written_.filePath(entry.value(key).toString().remove(u"{server}/"_s));
  }

  /// What the server answers for a written link.
  QByteArray served(QString link) {
    return httpGet(network_, link.replace(u"{server}"_s, address_));
  }

private slots:
  void initTestCase() {
    QCOMPARE(runTool({u"--write"_s, written_.path()}), 0);
    for (const auto& document : documents) {
      catalogues_.insert(document.file, readArray(written_.filePath(document.file)));
    }
    for (const auto& value : catalogues_.value(u"games.json"_s)) {
      games_.insert(nameOf(value), value.toObject());
    }
    const auto portFile = servedDir_.filePath(u"port"_s);
    server_.start(tool, {u"--serve"_s, servedDir_.filePath(u"site"_s), u"--port"_s, u"0"_s, u"--port-file"_s,
                         portFile});
    QVERIFY(server_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(portFile).size() > 0, 60000);
    port_ = readFile(portFile).trimmed().toUShort();
    address_ = u"http://127.0.0.1:%1"_s.arg(port_);
  }

  void cleanupTestCase() {
    server_.kill();
    server_.waitForFinished();
  }

  void catalogue_data() {
    QTest::addColumn<QString>("file");
    for (const auto& document : documents) {
      QTest::newRow(qPrintable(document.file)) << document.file;
    }
  }

  // Entries of unique names; the server gives the same document with its own address in the links.
  void catalogue() {
    QFETCH(QString, file);
    const auto catalogue = catalogues_.value(file);
    QVERIFY2(!catalogue.isEmpty(), "not a non-empty JSON array");
    QSet<QString> names;
    for (const auto& value : catalogue) {
      names.insert(nameOf(value));
    }
    QCOMPARE(names.size(), catalogue.size());
    QCOMPARE(served(u"{server}/"_s + file),
             readFile(written_.filePath(file)).replace("{server}", address_.toLatin1()));
  }

  void item_data() {
    QTest::addColumn<QJsonObject>("entry");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("suffixes");
    for (const auto& document : documents) {
      for (const auto& value : catalogues_.value(document.file)) {
        QTest::addRow("%s", qPrintable(nameOf(value)))
            << value.toObject() << document.keys + u" url thumbnail sha256"_s << document.suffixes;
      }
    }
  }

  // Each entry has its keys and is served; its archive installs as the download does it: the top
  // level becomes the item's folder, where the library looks for the main file and <name>.png.
  void item() {
    QFETCH(QJsonObject, entry);
    QFETCH(QString, keys);
    QFETCH(QString, suffixes);
    for (const auto& key : keys.split(QLatin1Char(' '))) {
      QVERIFY2(key == u"demo"_s ? entry.value(key).isBool() : !entry.value(key).toString().isEmpty(),
               qPrintable(key));
    }
    QVERIFY(!entry.contains(u"version"_s) ||
            !QVersionNumber::fromString(entry.value(u"version"_s).toString()).isNull());
    const auto name = entry.value(u"name"_s).toString();
    QVERIFY2(QRegularExpression(u"^[A-Za-z][A-Za-z0-9]*$"_s).match(name).hasMatch(), qPrintable(name));
    const auto archive = served(entry.value(u"url"_s).toString());
    QCOMPARE(sha256Hex(archive), entry.value(u"sha256"_s).toString());
    QCOMPARE(entry.value(u"size"_s).toInteger(), archive.size());
    QVERIFY(!QImage::fromData(served(entry.value(u"thumbnail"_s).toString()), "PNG").isNull());
    const auto path = writtenFile(entry, u"url"_s);
    QCOMPARE(sha256Hex(readFile(path)), entry.value(u"sha256"_s).toString());
    const auto names = zipNames(path);
    QVERIFY2(!names.isEmpty() && names.filter(u"/"_s).isEmpty(), qPrintable(names.join(u',')));
    for (const auto& suffix : suffixes.split(QLatin1Char(' '))) {
      QVERIFY2(!names.filter(QRegularExpression(u"\\.%1$"_s.arg(suffix))).isEmpty(), qPrintable(suffix));
    }
    if (suffixes == u"command"_s) {
      const auto [script, mode] = zipEntry(path, u"launcher.command"_s);
      QVERIFY(script.startsWith("#!"));
      QCOMPARE(mode & 0170111u, 0100111u); // a regular file, executable by everyone
      return;
    }
    QVERIFY(!QImage::fromData(zipEntry(path, name + u".png"_s).first, "PNG").isNull());
    checkMedia(path, names);
  }

  // Without ffmpeg: no movies, the songs as WAV only, the rest as always; the exit code tells it.
  void withoutFfmpeg() {
    TestDir site;
    QCOMPARE(runTool({u"--write"_s, site.path()}, site.createDir(u"bin"_s)), 1);
    QVERIFY(!QFileInfo::exists(site.filePath(u"movies.json"_s)));
    for (const auto& file : {u"games.json"_s, u"ebooks.json"_s}) {
      QCOMPARE(readFile(site.filePath(file)), readFile(written_.filePath(file)));
    }
    const auto music = readArray(site.filePath(u"music.json"_s));
    QCOMPARE(music.size(), catalogues_.value(u"music.json"_s).size());
    for (const auto& value : music) {
      const auto songs =
          zipNames(site.filePath(value.toObject().value(u"url"_s).toString().remove(u"{server}/"_s)));
      QVERIFY2(songs.filter(u".mp3"_s).isEmpty() && !songs.filter(u".wav"_s).isEmpty(),
               qPrintable(songs.join(u',')));
    }
  }

  void requestTarget_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("unknown file") << QByteArray("/nothing-here.json");
    QTest::newRow("parent") << QByteArray("/games/../games.json");
    QTest::newRow("escape") << QByteArray("/../port");
    QTest::newRow("encoded escape") << QByteArray("/%2e%2e/port");
  }

  // Not found, through a raw socket: an HTTP client would tidy "..", "%2e%2e" and such away.
  void requestTarget() {
    QFETCH(QByteArray, target);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port_);
    QVERIFY(socket.waitForConnected(30000));
    socket.write("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QByteArray response;
    while (!response.contains("\r\n") && socket.waitForReadyRead(30000)) {
      response += socket.readAll();
    }
    QVERIFY2(response.startsWith("HTTP/1.1 404 "), response.constData());
  }

  void installIntoGivesOlderVersionAndKeepsExisting() {
    TestDir home;
    QCOMPARE(runTool({u"--install-into"_s, home.path()}), 0);
    const QDir games(home.filePath(u".arvexhub/games"_s));
    const auto folders = games.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    QCOMPARE(folders.size(), 1);
    const QString version = games.filePath(folders.first() + u"/VERSION"_s);
    const auto installed = QVersionNumber::fromString(QString::fromUtf8(readFile(version).trimmed()));
    const auto offered = games_.value(folders.first()).value(u"version"_s).toString();
    QVERIFY2(!installed.isNull() && installed < QVersionNumber::fromString(offered), qPrintable(offered));

    home.createFile(u".arvexhub/games/%1/VERSION"_s.arg(folders.first()), "7.0.0\n");
    QCOMPARE(runTool({u"--install-into"_s, home.path()}), 0);
    QCOMPARE(readFile(version), QByteArray("7.0.0\n"));
    QCOMPARE(games.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), folders);
  }

  void launcherScript_data() {
    QTest::addColumn<bool>("signalled");
    QTest::newRow("input closed") << false;
    // Empty lines keep the script between reads of the clock, where a stop once broke it; ten stops
    // make landing there all but certain.
    for (int run = 1; run <= 10; ++run) {
      QTest::addRow("stopped %d", run) << true;
    }
  }

  // The installed game's script, in its own process group and stopped with SIGTERM to the group as
  // the launcher does it; either way it answers, says it shuts down and writes nothing to stderr.
  void launcherScript() {
    QFETCH(bool, signalled);
    TestDir home;
    QCOMPARE(runTool({u"--install-into"_s, home.path()}), 0);
    QDirIterator scripts(home.filePath(u".arvexhub/games"_s), {u"launcher.command"_s}, QDir::Files,
                         QDirIterator::Subdirectories);
    const auto script = scripts.next();
    QProcess game;
    game.setChildProcessModifier([] { ::setpgid(0, 0); });
    game.start(script, QStringList{});
    QVERIFY2(game.waitForStarted(), qPrintable(game.errorString()));
    QByteArray output;
    const QByteArray flood(signalled ? 2000 : 0, '\n'); // the stop comes while the script reads it
    game.write("print(\"sample check\")\n" + flood);
    QTRY_VERIFY_WITH_TIMEOUT( // answered while stdin is still open
        (output += game.readAllStandardOutput()).contains("End Lua command #0"), 10000);
    if (signalled) {
      QCOMPARE(::kill(-static_cast<pid_t>(game.processId()), SIGTERM), 0);
    } else {
      game.closeWriteChannel();
    }
    QVERIFY(game.waitForFinished(10000));
    output += game.readAllStandardOutput();
    QVERIFY(game.exitStatus() == QProcess::NormalExit && game.exitCode() == 0);
    QCOMPARE(game.readAllStandardError(), QByteArray());
    QVERIFY2(output.contains("[ArvexHub] [4] Info: ====== Begin Lua command #0 ======\nsample check\n"
                             "[ArvexHub] [4] Info: ====== End Lua command #0: success ======\n"),
             output.constData());
    QVERIFY2(output.endsWith("[ArvexHub] [5] Info: Shutting down\n"), output.constData());
  }
};

QTEST_MAIN(TestSampleCatalogue)
#include "tst_samplecatalogue.moc"
