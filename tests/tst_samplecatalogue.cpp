// The sample-catalogue tool through its command line: catalogue, server, installed game, start scripts.

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
#include <QTcpSocket>
#include <QVersionNumber>
#include <QtTest>

#include <memory>

using arvexhub::test::TestDir;

namespace {

const QString tool = QStringLiteral(SAMPLE_CATALOGUE_PATH);

int runTool(const QStringList& arguments) {
  QProcess process;
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
  QJsonArray catalogue_;
  TestDir servedDir_;
  QProcess server_;
  quint16 port_{0};
  QNetworkAccessManager network_;

  QMap<QString, QJsonObject> byName_; // sorted: rows and the launcher game stay the same

private slots:
  void initTestCase() {
    QCOMPARE(runTool({QStringLiteral("--write"), written_.path()}), 0);
    catalogue_ = QJsonDocument::fromJson(readFile(written_.filePath(QStringLiteral("games.json")))).array();
    QVERIFY2(!catalogue_.isEmpty(), "games.json is not a non-empty JSON array");
    for (const auto& value : std::as_const(catalogue_)) {
      byName_.insert(value.toObject().value(QStringLiteral("name")).toString(), value.toObject());
    }
    const auto portFile = servedDir_.filePath(QStringLiteral("port"));
    server_.start(tool,
                  {QStringLiteral("--serve"), servedDir_.filePath(QStringLiteral("site")),
                   QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--port-file"), portFile});
    QVERIFY(server_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(portFile).size() > 0, 30000);
    port_ = readFile(portFile).trimmed().toUShort();
  }

  void cleanupTestCase() {
    server_.kill();
    server_.waitForFinished();
  }

  void writtenCatalogue() {
    const auto keys =
        QStringLiteral("name fullName developer publisher demo url version launchDate thumbnail sha256")
            .split(QLatin1Char(' '));
    const QRegularExpression safeName(QStringLiteral("^[A-Za-z][A-Za-z0-9]*$"));
    QCOMPARE(byName_.size(), catalogue_.size()); // unique names
    for (const auto& value : std::as_const(catalogue_)) {
      const auto entry = value.toObject();
      for (const auto& key : keys) {
        QVERIFY2(key == QStringLiteral("demo") ? entry.value(key).isBool()
                                               : !entry.value(key).toString().isEmpty(),
                 qPrintable(key));
      }
      QVERIFY(!QVersionNumber::fromString(entry.value(QStringLiteral("version")).toString()).isNull());
      const auto name = entry.value(QStringLiteral("name")).toString();
      QVERIFY2(safeName.match(name).hasMatch(), qPrintable(name));
    }
  }

  void archive_data() {
    QTest::addColumn<QString>("name");
    for (const auto& name : byName_.keys()) {
      QTest::newRow(qPrintable(name)) << name;
    }
  }

  void archive() {
    QFETCH(QString, name);
    const auto path = written_.filePath(QStringLiteral("games/%1.zip").arg(name));
    QCOMPARE(sha256Hex(readFile(path)), byName_.value(name).value(QStringLiteral("sha256")).toString());
    const auto [script, mode] = zipEntry(path, QStringLiteral("launcher.command"));
    QVERIFY(script.startsWith("#!"));
    QCOMPARE(mode & 0170111u, 0100111u); // a regular file, executable by everyone
  }

  void servedCatalogue() {
    const auto url = QStringLiteral("http://127.0.0.1:%1/games.json").arg(port_);
    const auto served = QJsonDocument::fromJson(httpGet(network_, url)).array();
    QCOMPARE(served.size(), catalogue_.size());
    for (const auto& value : served) {
      const auto entry = value.toObject();
      for (const auto& key : {QStringLiteral("url"), QStringLiteral("thumbnail")}) {
        const QUrl url(entry.value(key).toString());
        QVERIFY2(url.host() == QStringLiteral("127.0.0.1") && url.port() == port_,
                 qPrintable(url.toString()));
      }
      const auto sha256 =
          byName_.value(entry.value(QStringLiteral("name")).toString()).value(QStringLiteral("sha256"));
      QCOMPARE(sha256Hex(httpGet(network_, entry.value(QStringLiteral("url")).toString())),
               sha256.toString());
      const auto png = httpGet(network_, entry.value(QStringLiteral("thumbnail")).toString());
      QVERIFY(!QImage::fromData(png, "PNG").isNull());
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
    const auto offered = byName_.value(folders.first()).value(QStringLiteral("version")).toString();
    QVERIFY2(!installed.isNull() && installed < QVersionNumber::fromString(offered), qPrintable(offered));

    home.createFile(QStringLiteral(".arvexhub/games/%1/VERSION").arg(folders.first()), "7.0.0\n");
    QCOMPARE(runTool({QStringLiteral("--install-into"), home.path()}), 0);
    QCOMPARE(readFile(version), QByteArray("7.0.0\n"));
    QCOMPARE(games.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), folders);
  }

  void launcherScriptAnswersCommands() {
    TestDir dir;
    const auto zip = written_.filePath(QStringLiteral("games/%1.zip").arg(byName_.constBegin().key()));
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
