#include <library/ItemNames.h>
#include <library/NetworkPolicy.h>
#include <library/Versions.h>

#include <TestHttpServer.h>

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QtTest>

using namespace arvexhub::launcher;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

class TestLibraryPolicy final : public QObject {
  Q_OBJECT

private slots:
  void versions_data() {
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QString>("installed");
    QTest::addColumn<bool>("newer");
    QTest::newRow("1.10 > 1.9") << QStringLiteral("1.10") << QStringLiteral("1.9") << true;
    QTest::newRow("1.9 < 1.10") << QStringLiteral("1.9") << QStringLiteral("1.10") << false;
    QTest::newRow("1.2 == 1.2.0") << QStringLiteral("1.2") << QStringLiteral("1.2.0") << false;
    QTest::newRow("1.2.1 > 1.2") << QStringLiteral("1.2.1") << QStringLiteral("1.2") << true;
    QTest::newRow("equal") << QStringLiteral("2.0") << QStringLiteral("2.0") << false;
    QTest::newRow("anything > missing 0") << QStringLiteral("0.1") << QStringLiteral("0") << true;
    QTest::newRow("huge parts") << QStringLiteral("1.99999999999") << QStringLiteral("1.2") << true;
    QTest::newRow("text falls back to text order")
        << QStringLiteral("1.0-beta") << QStringLiteral("1.0") << true;
    QTest::newRow("text, older") << QStringLiteral("alpha") << QStringLiteral("beta") << false;
    QTest::newRow("empty offered") << QString() << QStringLiteral("1.0") << false;
    QTest::newRow("empty installed") << QStringLiteral("1.0") << QString() << true;
    QTest::newRow("leading sign is text") << QStringLiteral("+2") << QStringLiteral("1") << false;
  }

  void versions() {
    QFETCH(QString, offered);
    QFETCH(QString, installed);
    QFETCH(bool, newer);
    QCOMPARE(Versions::isNewer(offered, installed), newer);
  }

  void itemNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << QStringLiteral("StarlightOdyssey") << true;
    QTest::newRow("spaces and accents") << QStringLiteral("Été à Paris 2") << true;
    QTest::newRow("dots inside") << QStringLiteral("a..b") << true;
    QTest::newRow("255 bytes") << QString(255, QLatin1Char('x')) << true;
    QTest::newRow("256 bytes") << QString(256, QLatin1Char('x')) << false;
    QTest::newRow("255 characters, more bytes") << QString(200, QChar(0x00E9)) << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("dot") << QStringLiteral(".") << false;
    QTest::newRow("dot dot") << QStringLiteral("..") << false;
    QTest::newRow("hidden") << QStringLiteral(".hidden") << false;
    QTest::newRow("an installer folder") << QStringLiteral(".staging-Game-x1y2z3") << false;
    QTest::newRow("slash") << QStringLiteral("a/b") << false;
    QTest::newRow("backslash") << QStringLiteral("a\\b") << false;
    QTest::newRow("tab") << QStringLiteral("a\tb") << false;
    QTest::newRow("escape") << QStringLiteral("a\033[31m") << false;
    QTest::newRow("NUL") << QString::fromUtf16(u"a\u0000", 2) << false;
    QTest::newRow("right-to-left override") << QString::fromUtf16(u"a\u202Eexe.txt") << false;
  }

  void itemNames() {
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(ItemNames::isSafe(name), safe);
  }

  void temporaryFileStems_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("stem");
    QTest::newRow("plain") << QStringLiteral("https://x.example/games/Alpha-1.2.zip")
                           << QStringLiteral("Alpha-1.2.zip");
    QTest::newRow("no file name") << QStringLiteral("https://x.example/") << QStringLiteral("download");
    QTest::newRow("encoded slashes") << QStringLiteral("https://x.example/a%2F..%2F..%2Fetc")
                                     << QStringLiteral("etc");
    QTest::newRow("encoded control") << QStringLiteral("https://x.example/a%0Ab%00.zip")
                                     << QStringLiteral("a_b_.zip");
    QTest::newRow("hidden") << QStringLiteral("https://x.example/..zip") << QStringLiteral("zip");
    QTest::newRow("spaces") << QStringLiteral("https://x.example/My%20Game.zip")
                            << QStringLiteral("My_Game.zip");
  }

  void temporaryFileStems() {
    QFETCH(QString, url);
    QFETCH(QString, stem);
    QCOMPARE(ItemNames::temporaryFileStem(QUrl(url)), stem);
  }

  void catalogueAddress() {
    qputenv("ARVEXHUB_CATALOGUE_URL", "http://127.0.0.1:8080/base/");
    QCOMPARE(NetworkPolicy::catalogueDocumentUrl(QStringLiteral("/games.json")).toString(),
             QStringLiteral("http://127.0.0.1:8080/base/games.json"));
    qunsetenv("ARVEXHUB_CATALOGUE_URL");
    QCOMPARE(NetworkPolicy::catalogueServerUrl().scheme(), QStringLiteral("https"));
    QVERIFY(NetworkPolicy::releaseFeedUrl().isValid());
  }

  void redirects_data() {
    QTest::addColumn<bool>("fromHttps");
    QTest::addColumn<QString>("target"); // "plain": the plain server; else a literal URL
    QTest::addColumn<bool>("followed");
    QTest::newRow("http to local http") << false << QStringLiteral("plain") << true;
    QTest::newRow("https to http") << true << QStringLiteral("plain") << false;
    QTest::newRow("local http to remote http") << false << QStringLiteral("http://10.1.2.3/x") << false;
  }

  void redirects() {
    QFETCH(bool, fromHttps);
    QFETCH(QString, target);
    QFETCH(bool, followed);
    TestHttpServer::trustCertificate();
    TestHttpServer plain;
    TestHttpServer secure(TestHttpServer::Mode::Https);
    QVERIFY(plain.listen());
    QVERIFY(secure.listen());
    TestHttpResponse payload;
    payload.body = "payload";
    plain.setResponse(QStringLiteral("/target"), payload);
    TestHttpResponse redirect;
    redirect.redirectTo =
        target == QStringLiteral("plain") ? plain.url(QStringLiteral("/target")).toString() : target;
    auto& origin = fromHttps ? secure : plain;
    origin.setResponse(QStringLiteral("/start"), redirect);

    QNetworkAccessManager manager;
    if (!followed) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refusing redirect")));
    }
    auto* reply = NetworkPolicy::get(&manager, origin.url(QStringLiteral("/start")));
    QVERIFY(reply);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait(5000));
    QCOMPARE(reply->error() == QNetworkReply::NoError, followed);
    QCOMPARE(plain.requestCount(QStringLiteral("/target")), followed ? 1 : 0);
    if (followed) {
      QCOMPARE(reply->readAll(), QByteArray("payload"));
    }
    reply->deleteLater();
  }

  void allowedUrls_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("https") << QStringLiteral("https://catalogue.example.com/x.zip") << true;
    QTest::newRow("http, loopback address") << QStringLiteral("http://127.0.0.2/x.zip") << true;
    QTest::newRow("http, IPv6 loopback") << QStringLiteral("http://[::1]/x.zip") << true;
    QTest::newRow("http, localhost") << QStringLiteral("http://localhost/x.zip") << true;
    QTest::newRow("http, elsewhere") << QStringLiteral("http://10.0.0.1/x.zip") << false;
    QTest::newRow("http, by name") << QStringLiteral("http://catalogue.example.com/games.json") << false;
    QTest::newRow("file") << QStringLiteral("file:///etc/passwd") << false;
  }
  void allowedUrls() {
    QFETCH(QString, url);
    QFETCH(bool, allowed);
    QCOMPARE(NetworkPolicy::isAllowed(QUrl(url)), allowed);
    QNetworkAccessManager manager;
    if (!allowed) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refusing to fetch")));
      QCOMPARE(NetworkPolicy::get(&manager, QUrl(url)), nullptr);
    }
  }
};

QTEST_MAIN(TestLibraryPolicy)
#include "tst_librarypolicy.moc"
