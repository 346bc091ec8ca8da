// The sample-catalogue tool: the catalogue it writes, the server, the installed example game and
// the games' start scripts, all driven through its command line.

#include <TestDir.h>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTcpSocket>
#include <QVersionNumber>
#include <QtTest>

#include <memory>
#include <optional>
#include <utility>

using arvexhub::test::TestDir;

namespace {

constexpr quint32 unixTypeMask = 0170000;
constexpr quint32 unixRegularFile = 0100000;
constexpr quint32 unixExecutableBits = 0111;
constexpr int toolTimeoutMs = 30000;

const QStringList catalogueKeys{
    QStringLiteral("name"),      QStringLiteral("fullName"),   QStringLiteral("developer"),
    QStringLiteral("publisher"), QStringLiteral("demo"),       QStringLiteral("url"),
    QStringLiteral("version"),   QStringLiteral("launchDate"), QStringLiteral("thumbnail"),
    QStringLiteral("sha256"),
};

QString toolPath() {
  return QStringLiteral(SAMPLE_CATALOGUE_PATH);
}

struct ToolRun {
  int exitCode{-1};
  QByteArray output;
};

ToolRun runTool(const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(toolPath(), arguments);
  if (!process.waitForFinished(toolTimeoutMs) || process.exitStatus() != QProcess::NormalExit) {
    process.kill();
    process.waitForFinished();
    return {-1, process.readAll()};
  }
  return {process.exitCode(), process.readAll()};
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray sha256Hex(const QByteArray& data) {
  return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

QJsonArray parseCatalogue(const QByteArray& json) {
  QJsonParseError error{};
  const auto document = QJsonDocument::fromJson(json, &error);
  return error.error == QJsonParseError::NoError && document.isArray() ? document.array() : QJsonArray();
}

/// One zip entry with the Unix mode from its external attributes.
struct ZipEntry {
  bool found{false};
  QByteArray content;
  quint32 unixMode{0};
};

ZipEntry readZipEntry(const QString& zipPath, const QString& name) {
  QuaZip zip(zipPath);
  if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(name)) {
    return {};
  }
  QuaZipFileInfo64 info;
  QuaZipFile file(&zip);
  if (!zip.getCurrentFileInfo(&info) || !file.open(QIODevice::ReadOnly)) {
    return {};
  }
  ZipEntry entry{true, file.readAll(), info.externalAttr >> 16};
  file.close();
  return file.getZipError() == UNZ_OK ? entry : ZipEntry{};
}

QStringList zipEntryNames(const QString& zipPath) {
  QuaZip zip(zipPath);
  return zip.open(QuaZip::mdUnzip) ? zip.getFileNameList() : QStringList();
}

/// Extracts the entry and gives the file the Unix permission bits recorded in the archive.
bool extractWithMode(const QString& zipPath, const QString& name, const QString& target) {
  const auto entry = readZipEntry(zipPath, name);
  QFile file(target);
  if (!entry.found || !file.open(QIODevice::WriteOnly) || file.write(entry.content) != entry.content.size()) {
    return false;
  }
  file.close();
  QFileDevice::Permissions permissions;
  const std::pair<quint32, QFileDevice::Permission> bits[] = {
      {0400, QFileDevice::ReadOwner}, {0200, QFileDevice::WriteOwner}, {0100, QFileDevice::ExeOwner},
      {0040, QFileDevice::ReadGroup}, {0020, QFileDevice::WriteGroup}, {0010, QFileDevice::ExeGroup},
      {0004, QFileDevice::ReadOther}, {0002, QFileDevice::WriteOther}, {0001, QFileDevice::ExeOther},
  };
  for (const auto& [bit, permission] : bits) {
    if ((entry.unixMode & bit) != 0) {
      permissions |= permission;
    }
  }
  return file.setPermissions(permissions);
}

struct HttpResult {
  int status{0};
  QByteArray body;
  QByteArray contentType;
  qint64 contentLength{-1};
};

std::optional<HttpResult> httpGet(QNetworkAccessManager& manager, const QUrl& url) {
  std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(url)));
  QSignalSpy finished(reply.get(), &QNetworkReply::finished);
  if (!reply->isFinished() && !finished.wait(toolTimeoutMs)) {
    return std::nullopt;
  }
  HttpResult result;
  result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  result.body = reply->readAll();
  result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
  const auto length = reply->header(QNetworkRequest::ContentLengthHeader);
  result.contentLength = length.isValid() ? length.toLongLong() : -1;
  return result;
}

/// Reads the process's output into `output` until it holds `text`; false after 10 s without it.
bool readUntil(QProcess& process, QByteArray& output, const QByteArray& text) {
  QDeadlineTimer deadline(10000);
  while (!(output += process.readAllStandardOutput()).contains(text)) {
    if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime()))) {
      output += process.readAllStandardOutput();
      return output.contains(text);
    }
  }
  return true;
}

/// Status code of a GET sent as raw bytes, so the target reaches the server exactly as written.
int rawStatus(quint16 port, const QByteArray& target) {
  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, port);
  if (!socket.waitForConnected(toolTimeoutMs)) {
    return -1;
  }
  socket.write("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\n\r\n");
  QByteArray response;
  while (!response.contains("\r\n") && socket.waitForReadyRead(toolTimeoutMs)) {
    response += socket.readAll();
  }
  const auto statusLine = response.left(response.indexOf("\r\n")).split(' ');
  return statusLine.size() >= 2 && statusLine.at(0).startsWith("HTTP/1.") ? statusLine.at(1).toInt() : -1;
}

QJsonObject entryNamed(const QJsonArray& catalogue, const QString& name) {
  for (const auto& value : catalogue) {
    if (value.toObject().value(QStringLiteral("name")).toString() == name) {
      return value.toObject();
    }
  }
  return {};
}

} // namespace

class TestSampleCatalogue final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void cleanupTestCase();

  void writtenCatalogueHasEveryKey();
  void gameNamesAreUniqueAndSafe();
  void archive_data();
  void archive();

  void servedCatalogueUrlsPointAtServer();
  void servedFiles_data();
  void servedFiles();
  void servedReleaseFeed();
  void requestTargets_data();
  void requestTargets();

  void installIntoAddsOlderVersion();
  void installIntoKeepsExistingGame();
  void rejectsBadArguments_data();
  void rejectsBadArguments();

  void launcherScript_data();
  void launcherScript();
  void launcherScriptStopsOnTerminate();

private:
  QUrl served(const QString& path) const;
  std::optional<HttpResult> get(const QString& path);

  TestDir written_;
  QJsonArray catalogue_;
  TestDir servedDir_;
  QProcess server_;
  quint16 port_{0};
  QJsonArray servedCatalogue_;
  QNetworkAccessManager network_;
};

void TestSampleCatalogue::initTestCase() {
  QVERIFY(QFileInfo(toolPath()).isExecutable());
  QVERIFY(written_.isValid() && servedDir_.isValid());
  const auto run = runTool({QStringLiteral("--write"), written_.path()});
  QVERIFY2(run.exitCode == 0, run.output.constData());
  catalogue_ = parseCatalogue(readFile(written_.filePath(QStringLiteral("games.json"))));
  QVERIFY2(!catalogue_.isEmpty(), "games.json is not a non-empty JSON array");

  // --serve on an empty folder writes the catalogue first.
  const auto portFile = servedDir_.filePath(QStringLiteral("port"));
  server_.setProcessChannelMode(QProcess::MergedChannels);
  server_.start(toolPath(),
                {QStringLiteral("--serve"), servedDir_.filePath(QStringLiteral("site")),
                 QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--port-file"), portFile});
  QVERIFY(server_.waitForStarted());
  QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(portFile).size() > 0, toolTimeoutMs);
  bool ok = false;
  port_ = readFile(portFile).trimmed().toUShort(&ok);
  QVERIFY(ok && port_ != 0);
  const auto banner = QStringLiteral("Serving http://127.0.0.1:%1").arg(port_).toUtf8();
  QTRY_VERIFY_WITH_TIMEOUT(server_.peek(1 << 16).contains(banner), toolTimeoutMs);

  // Present in the served folder but hidden: the server must not hand it out.
  QVERIFY(!servedDir_.createFile(QStringLiteral("site/.secret"), "hidden").isEmpty());

  const auto reply = get(QStringLiteral("/games.json"));
  QVERIFY(reply.has_value());
  QCOMPARE(reply->status, 200);
  servedCatalogue_ = parseCatalogue(reply->body);
  QCOMPARE(servedCatalogue_.size(), catalogue_.size());
}

void TestSampleCatalogue::cleanupTestCase() {
  if (server_.state() != QProcess::NotRunning) {
    server_.terminate();
    if (!server_.waitForFinished(5000)) {
      server_.kill();
      server_.waitForFinished();
    }
  }
}

QUrl TestSampleCatalogue::served(const QString& path) const {
  return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path));
}

std::optional<HttpResult> TestSampleCatalogue::get(const QString& path) {
  return httpGet(network_, served(path));
}

void TestSampleCatalogue::writtenCatalogueHasEveryKey() {
  QVERIFY(catalogue_.size() >= 6 && catalogue_.size() <= 8);
  for (const auto& value : std::as_const(catalogue_)) {
    QVERIFY(value.isObject());
    const auto entry = value.toObject();
    for (const auto& key : catalogueKeys) {
      QVERIFY2(
          entry.contains(key),
          qPrintable(
              QStringLiteral("missing %1 in %2").arg(key, QString::fromUtf8(QJsonDocument(entry).toJson()))));
      const auto field = entry.value(key);
      QVERIFY2(key == QStringLiteral("demo") ? field.isBool() : !field.toString().isEmpty(), qPrintable(key));
    }
    QVERIFY(!QVersionNumber::fromString(entry.value(QStringLiteral("version")).toString()).isNull());
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{64}$"))
                .match(entry.value(QStringLiteral("sha256")).toString())
                .hasMatch());
  }
}

void TestSampleCatalogue::gameNamesAreUniqueAndSafe() {
  const QRegularExpression folderName(QStringLiteral("^[A-Za-z][A-Za-z0-9]*$"));
  QSet<QString> names;
  for (const auto& value : std::as_const(catalogue_)) {
    const auto name = value.toObject().value(QStringLiteral("name")).toString();
    QVERIFY2(folderName.match(name).hasMatch(), qPrintable(name));
    QVERIFY(!name.contains(QLatin1Char('/')) && !name.contains(QStringLiteral("..")));
    QVERIFY2(!names.contains(name), qPrintable(name));
    names.insert(name);
  }
}

void TestSampleCatalogue::archive_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("sha256");
  for (const auto& value : std::as_const(catalogue_)) {
    const auto entry = value.toObject();
    const auto name = entry.value(QStringLiteral("name")).toString();
    QTest::newRow(qPrintable(name)) << name << entry.value(QStringLiteral("sha256")).toString();
  }
}

void TestSampleCatalogue::archive() {
  QFETCH(QString, name);
  QFETCH(QString, sha256);
  const auto path = written_.filePath(QStringLiteral("games/%1.zip").arg(name));
  const auto bytes = readFile(path);
  QVERIFY2(!bytes.isEmpty(), qPrintable(path));
  QCOMPARE(QString::fromLatin1(sha256Hex(bytes)), sha256);

  const auto names = zipEntryNames(path);
  QVERIFY(names.contains(QStringLiteral("launcher.command")));
  QVERIFY(names.contains(QStringLiteral("README.txt")));
  const auto script = readZipEntry(path, QStringLiteral("launcher.command"));
  QVERIFY(script.found);
  QVERIFY(script.content.startsWith("#!"));
  QCOMPARE(script.unixMode & unixTypeMask, unixRegularFile);
  QCOMPARE(script.unixMode & unixExecutableBits, unixExecutableBits);
  const auto readme = readZipEntry(path, QStringLiteral("README.txt"));
  QVERIFY(readme.found && !readme.content.isEmpty());
  QCOMPARE(readme.unixMode & unixExecutableBits, 0u);
}

void TestSampleCatalogue::servedCatalogueUrlsPointAtServer() {
  for (const auto& value : std::as_const(servedCatalogue_)) {
    const auto entry = value.toObject();
    const auto name = entry.value(QStringLiteral("name")).toString();
    for (const auto& key : {QStringLiteral("url"), QStringLiteral("thumbnail")}) {
      const QUrl url(entry.value(key).toString(), QUrl::StrictMode);
      QVERIFY2(url.isValid(), qPrintable(entry.value(key).toString()));
      QCOMPARE(url.scheme(), QStringLiteral("http"));
      QCOMPARE(url.host(), QStringLiteral("127.0.0.1"));
      QCOMPARE(url.port(), int(port_));
      QVERIFY2(url.path().endsWith(
                   QLatin1Char('/') + name +
                   (key == QStringLiteral("url") ? QStringLiteral(".zip") : QStringLiteral(".png"))),
               qPrintable(url.toString()));
    }
  }
}

void TestSampleCatalogue::servedFiles_data() {
  QTest::addColumn<QString>("name");
  for (const auto& value : std::as_const(servedCatalogue_)) {
    const auto name = value.toObject().value(QStringLiteral("name")).toString();
    QTest::newRow(qPrintable(name)) << name;
  }
}

void TestSampleCatalogue::servedFiles() {
  QFETCH(QString, name);
  const auto entry = entryNamed(servedCatalogue_, name);
  const auto archive = httpGet(network_, QUrl(entry.value(QStringLiteral("url")).toString()));
  QVERIFY(archive.has_value());
  QCOMPARE(archive->status, 200);
  QCOMPARE(archive->contentType, QByteArray("application/zip"));
  QCOMPARE(archive->contentLength, qint64(archive->body.size()));
  QCOMPARE(QString::fromLatin1(sha256Hex(archive->body)), entry.value(QStringLiteral("sha256")).toString());

  const auto thumbnail = httpGet(network_, QUrl(entry.value(QStringLiteral("thumbnail")).toString()));
  QVERIFY(thumbnail.has_value());
  QCOMPARE(thumbnail->status, 200);
  QCOMPARE(thumbnail->contentType, QByteArray("image/png"));
  QCOMPARE(thumbnail->contentLength, qint64(thumbnail->body.size()));
  const auto image = QImage::fromData(thumbnail->body, "PNG");
  QVERIFY(!image.isNull());
  QVERIFY(image.width() >= 64 && image.width() == image.height());
}

void TestSampleCatalogue::servedReleaseFeed() {
  const auto reply = get(QStringLiteral("/releases.json"));
  QVERIFY(reply.has_value());
  QCOMPARE(reply->status, 200);
  QCOMPARE(reply->contentType, QByteArray("application/json"));
  const auto feed = QJsonDocument::fromJson(reply->body).object();
  QVERIFY(!QVersionNumber::fromString(feed.value(QStringLiteral("version")).toString()).isNull());
  QVERIFY(!feed.value(QStringLiteral("notes")).toString().isEmpty());
  const QUrl url(feed.value(QStringLiteral("url")).toString());
  QCOMPARE(url.host(), QStringLiteral("127.0.0.1"));
  QCOMPARE(url.port(), int(port_));
}

void TestSampleCatalogue::requestTargets_data() {
  QTest::addColumn<QString>("target");
  QTest::addColumn<int>("status");
  QTest::newRow("catalogue") << QStringLiteral("/games.json") << 200;
  QTest::newRow("query ignored") << QStringLiteral("/releases.json?x=1") << 200;
  QTest::newRow("encoded name") << QStringLiteral("/games%2ejson") << 200;
  QTest::newRow("unknown file") << QStringLiteral("/nothing-here.json") << 404;
  QTest::newRow("unknown game") << QStringLiteral("/games/NoSuchGame.zip") << 404;
  QTest::newRow("root") << QStringLiteral("/") << 404;
  QTest::newRow("folder") << QStringLiteral("/games") << 404;
  QTest::newRow("below a file") << QStringLiteral("/games.json/x") << 404;
  QTest::newRow("hidden file") << QStringLiteral("/.secret") << 404;
  QTest::newRow("parent") << QStringLiteral("/games/../games.json") << 404;
  QTest::newRow("escape") << QStringLiteral("/../port") << 404;
  QTest::newRow("encoded parent") << QStringLiteral("/games/%2e%2e/games.json") << 404;
  QTest::newRow("encoded escape") << QStringLiteral("/%2e%2e/port") << 404;
  QTest::newRow("not a path") << QStringLiteral("games.json") << 404;
}

void TestSampleCatalogue::requestTargets() {
  QFETCH(QString, target);
  QFETCH(int, status);
  // Sent over a plain socket: an HTTP client would tidy "..", "%2e%2e" and such away before sending.
  QCOMPARE(rawStatus(port_, target.toLatin1()), status);
}

void TestSampleCatalogue::installIntoAddsOlderVersion() {
  TestDir home;
  const auto run = runTool({QStringLiteral("--install-into"), home.path()});
  QVERIFY2(run.exitCode == 0, run.output.constData());
  const QDir games(home.filePath(QStringLiteral(".arvexhub/games")));
  const auto folders = games.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
  QCOMPARE(folders.size(), 1);
  const auto name = folders.first();
  const auto entry = entryNamed(catalogue_, name);
  QVERIFY2(!entry.isEmpty(), qPrintable(name));

  const QDir game(games.filePath(name));
  const QFileInfo script(game.filePath(QStringLiteral("launcher.command")));
  QVERIFY(script.isFile() && script.isExecutable());
  QVERIFY(readFile(script.filePath()).startsWith("#!"));
  QVERIFY(QFileInfo(game.filePath(QStringLiteral("save.dat"))).isFile());
  QVERIFY(!QImage(game.filePath(name + QStringLiteral(".png"))).isNull());
  const auto installed = QVersionNumber::fromString(
      QString::fromUtf8(readFile(game.filePath(QStringLiteral("VERSION"))).trimmed()));
  const auto offered = QVersionNumber::fromString(entry.value(QStringLiteral("version")).toString());
  QVERIFY(!installed.isNull());
  QVERIFY2(installed < offered,
           qPrintable(installed.toString() + QStringLiteral(" vs ") + offered.toString()));
}

void TestSampleCatalogue::installIntoKeepsExistingGame() {
  TestDir home;
  QCOMPARE(runTool({QStringLiteral("--install-into"), home.path()}).exitCode, 0);
  const QDir games(home.filePath(QStringLiteral(".arvexhub/games")));
  const auto name = games.entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
  QVERIFY(!name.isEmpty());
  const auto save = home.createFile(QStringLiteral(".arvexhub/games/%1/save.dat").arg(name), "my progress");
  const auto version = home.createFile(QStringLiteral(".arvexhub/games/%1/VERSION").arg(name), "7.0.0\n");
  QVERIFY(!save.isEmpty() && !version.isEmpty());

  QCOMPARE(runTool({QStringLiteral("--install-into"), home.path()}).exitCode, 0);
  QCOMPARE(readFile(save), QByteArray("my progress"));
  QCOMPARE(readFile(version), QByteArray("7.0.0\n"));
  QCOMPARE(games.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{name});
}

void TestSampleCatalogue::rejectsBadArguments_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::newRow("nothing to do") << QStringList{};
  QTest::newRow("port not a number") << QStringList{QStringLiteral("--serve"), QStringLiteral("site"),
                                                    QStringLiteral("--port"), QStringLiteral("abc")};
  QTest::newRow("port too big") << QStringList{QStringLiteral("--serve"), QStringLiteral("site"),
                                               QStringLiteral("--port"), QStringLiteral("70000")};
}

void TestSampleCatalogue::rejectsBadArguments() {
  QFETCH(QStringList, arguments);
  TestDir dir;
  QProcess process;
  process.setWorkingDirectory(dir.path());
  process.start(toolPath(), arguments);
  QVERIFY(process.waitForFinished(toolTimeoutMs));
  QCOMPARE(process.exitStatus(), QProcess::NormalExit);
  QVERIFY(process.exitCode() != 0);
}

void TestSampleCatalogue::launcherScript_data() {
  archive_data();
}

void TestSampleCatalogue::launcherScript() {
  QFETCH(QString, name);
  TestDir dir;
  const auto script = dir.filePath(QStringLiteral("launcher.command"));
  QVERIFY(extractWithMode(written_.filePath(QStringLiteral("games/%1.zip").arg(name)),
                          QStringLiteral("launcher.command"), script));
  QProcess game;
  game.setWorkingDirectory(dir.path());
  game.start(script, QStringList{}); // runs only if the archive made it executable
  QVERIFY2(game.waitForStarted(), qPrintable(game.errorString()));

  QByteArray output;
  game.write("\nprint(\"sample check\")\n");
  QVERIFY2(readUntil(game, output, "====== End Lua command #1: success ======"), output.constData());
  game.write("no_such_function()\n");
  QVERIFY2(readUntil(game, output, "====== End Lua command #2"), output.constData());
  game.closeWriteChannel();
  QVERIFY(game.waitForFinished(10000));
  output += game.readAllStandardOutput();
  QCOMPARE(game.exitStatus(), QProcess::NormalExit);
  QCOMPARE(game.exitCode(), 0);

  const auto text = QString::fromUtf8(output);
  const auto begin =
      text.indexOf(QStringLiteral("[ArvexHub] [4] Info: ====== Begin Lua command #1 ======\n"));
  const auto result = text.indexOf(QStringLiteral("\nsample check\n"));
  const auto end =
      text.indexOf(QStringLiteral("[ArvexHub] [4] Info: ====== End Lua command #1: success ======\n"));
  QVERIFY2(begin >= 0 && begin < result && result < end, qPrintable(text));
  QVERIFY2(text.contains(QStringLiteral("Begin Lua command #2 ======")), qPrintable(text));
  QVERIFY2(text.contains(QStringLiteral("Error: In Lua command: [string \"no_such_function()\"]:1: ")),
           qPrintable(text));
  QVERIFY(!text.contains(QStringLiteral("Lua command #3")));
  const QRegularExpression level(
      QStringLiteral("^\\[ArvexHub\\] \\[\\d+\\] (Debug|Info|Warning|Error|Fatal): .+$"),
      QRegularExpression::MultilineOption);
  QVERIFY2(level.match(text).hasMatch(), qPrintable(text));
  QVERIFY(text.endsWith(QStringLiteral("[ArvexHub] [5] Info: Shutting down\n")));
}

void TestSampleCatalogue::launcherScriptStopsOnTerminate() {
  TestDir dir;
  const auto name = catalogue_.first().toObject().value(QStringLiteral("name")).toString();
  const auto script = dir.filePath(QStringLiteral("launcher.command"));
  QVERIFY(extractWithMode(written_.filePath(QStringLiteral("games/%1.zip").arg(name)),
                          QStringLiteral("launcher.command"), script));
  QProcess game;
  game.start(script, QStringList{});
  QVERIFY(game.waitForStarted());
  QByteArray output;
  QVERIFY2(readUntil(game, output, "[ArvexHub] [3] Info: Fullscreen: yes\n"), output.constData());
  game.terminate();
  QVERIFY(game.waitForFinished(5000));
  output += game.readAllStandardOutput();
  QCOMPARE(game.exitStatus(), QProcess::NormalExit);
  QCOMPARE(game.exitCode(), 0);
  QVERIFY2(output.endsWith("[ArvexHub] [5] Info: Shutting down\n"), output.constData());
}

QTEST_MAIN(TestSampleCatalogue)
#include "tst_samplecatalogue.moc"
