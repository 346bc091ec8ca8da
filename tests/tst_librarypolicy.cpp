#include "library/ItemNames.h"
#include "library/NetworkPolicy.h"
#include "library/Versions.h"

#include "TestHttpServer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QtTest>

using namespace arvexhub::launcher;
using namespace arvexhub::test;
using namespace Qt::StringLiterals;

class TestLibraryPolicy final : public QObject {
  Q_OBJECT

private slots:
  void versions_data() {
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QString>("installed");
    QTest::addColumn<bool>("newer");
    QTest::newRow("1.10 > 1.9") << u"1.10"_s << u"1.9"_s << true;
    QTest::newRow("1.9 < 1.10") << u"1.9"_s << u"1.10"_s << false;
    QTest::newRow("1.2 == 1.2.0") << u"1.2"_s << u"1.2.0"_s << false;
    QTest::newRow("1.2.1 > 1.2") << u"1.2.1"_s << u"1.2"_s << true;
    QTest::newRow("equal") << u"2.0"_s << u"2.0"_s << false;
    QTest::newRow("anything > missing 0") << u"0.1"_s << u"0"_s << true;
    QTest::newRow("huge parts") << u"1.99999999999"_s << u"1.2"_s << true;
    QTest::newRow("text falls back to text order") << u"1.0-beta"_s << u"1.0"_s << true;
    QTest::newRow("text, older") << u"alpha"_s << u"beta"_s << false;
    QTest::newRow("empty offered") << QString() << u"1.0"_s << false;
    QTest::newRow("empty installed") << u"1.0"_s << QString() << true;
    QTest::newRow("leading sign is text") << u"+2"_s << u"1"_s << false;
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
    QTest::newRow("plain") << u"StarlightOdyssey"_s << true;
    QTest::newRow("spaces and accents") << u"Été à Paris 2"_s << true;
    QTest::newRow("dots inside") << u"a..b"_s << true;
    QTest::newRow("255 bytes") << QString(255, QLatin1Char('x')) << true;
    QTest::newRow("256 bytes") << QString(256, QLatin1Char('x')) << false;
    QTest::newRow("255 characters, more bytes") << QString(200, QChar(0x00E9)) << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("dot") << u"."_s << false;
    QTest::newRow("dot dot") << u".."_s << false;
    QTest::newRow("hidden") << u".hidden"_s << false;
    QTest::newRow("an installer folder") << u".staging-Game-x1y2z3"_s << false;
    QTest::newRow("slash") << u"a/b"_s << false;
    QTest::newRow("backslash") << u"a\\b"_s << false;
    QTest::newRow("tab") << u"a\tb"_s << false;
    QTest::newRow("escape") << u"a\033[31m"_s << false;
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
    QTest::newRow("plain") << u"https://x.example/games/Alpha-1.2.zip"_s << u"Alpha-1.2.zip"_s;
    QTest::newRow("no file name") << u"https://x.example/"_s << u"download"_s;
    QTest::newRow("encoded slashes") << u"https://x.example/a%2F..%2F..%2Fetc"_s << u"etc"_s;
    QTest::newRow("encoded control") << u"https://x.example/a%0Ab%00.zip"_s << u"a_b_.zip"_s;
    QTest::newRow("hidden") << u"https://x.example/..zip"_s << u"zip"_s;
    QTest::newRow("spaces") << u"https://x.example/My%20Game.zip"_s << u"My_Game.zip"_s;
  }

  void temporaryFileStems() {
    QFETCH(QString, url);
    QFETCH(QString, stem);
    QCOMPARE(ItemNames::temporaryFileStem(QUrl(url)), stem);
  }

  void catalogueAddress() {
    qputenv("ARVEXHUB_CATALOGUE_URL", "http://127.0.0.1:8080/base/");
    QCOMPARE(NetworkPolicy::catalogueDocumentUrl(u"/games.json"_s).toString(),
             u"http://127.0.0.1:8080/base/games.json"_s);
    qunsetenv("ARVEXHUB_CATALOGUE_URL");
    QCOMPARE(NetworkPolicy::catalogueServerUrl().scheme(), u"https"_s);
    QVERIFY(NetworkPolicy::releaseFeedUrl().isValid());
  }

  void redirects_data() {
    QTest::addColumn<bool>("fromHttps");
    QTest::addColumn<QString>("target"); // "plain": the plain server; else a literal URL
    QTest::addColumn<bool>("followed");
    QTest::newRow("http to local http") << false << u"plain"_s << true;
    QTest::newRow("https to http") << true << u"plain"_s << false;
    QTest::newRow("local http to remote http") << false << u"http://10.1.2.3/x"_s << false;
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
    plain.setResponse(u"/target"_s, payload);
    TestHttpResponse redirect;
    redirect.redirectTo = target == u"plain"_s ? plain.url(u"/target"_s).toString() : target;
    auto& origin = fromHttps ? secure : plain;
    origin.setResponse(u"/start"_s, redirect);

    QNetworkAccessManager manager;
    if (!followed) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Refusing redirect"_s));
    }
    auto* reply = NetworkPolicy::get(&manager, origin.url(u"/start"_s));
    QVERIFY(reply);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait(5000));
    QCOMPARE(reply->error() == QNetworkReply::NoError, followed);
    QCOMPARE(plain.requestCount(u"/target"_s), followed ? 1 : 0);
    if (followed) {
      QCOMPARE(reply->readAll(), QByteArray("payload"));
    }
    reply->deleteLater();
  }

  void allowedUrls_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("https") << u"https://catalogue.example.com/x.zip"_s << true;
    QTest::newRow("http, loopback address") << u"http://127.0.0.2/x.zip"_s << true;
    QTest::newRow("http, IPv6 loopback") << u"http://[::1]/x.zip"_s << true;
    QTest::newRow("http, localhost") << u"http://localhost/x.zip"_s << true;
    QTest::newRow("http, elsewhere") << u"http://10.0.0.1/x.zip"_s << false;
    QTest::newRow("http, by name") << u"http://catalogue.example.com/games.json"_s << false;
    QTest::newRow("file") << u"file:///etc/passwd"_s << false;
  }
  void allowedUrls() {
    QFETCH(QString, url);
    QFETCH(bool, allowed);
    QCOMPARE(NetworkPolicy::isAllowed(QUrl(url)), allowed);
    QNetworkAccessManager manager;
    if (!allowed) {
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Refusing to fetch"_s));
      QCOMPARE(NetworkPolicy::get(&manager, QUrl(url)), nullptr);
    }
  }
};

QTEST_MAIN(TestLibraryPolicy)
#include "tst_librarypolicy.moc"
