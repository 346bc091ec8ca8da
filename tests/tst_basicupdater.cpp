#include "app/BasicUpdater.h"

#include "TestHttpServer.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using arvexhub::launcher::BasicUpdater;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

class TestBasicUpdater final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
  }

  void init() {
    server_ = std::make_unique<TestHttpServer>();
    QVERIFY(server_->listen());
  }

  void cleanup() {
    server_.reset();
  }

  void reportsTheFeed_data();

  void reportsTheFeed() {
    QFETCH(QString, feed);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    QFETCH(QString, latest);
    QFETCH(QString, address);
    QFETCH(int, error);

    TestHttpResponse response;
    response.status = status;
    response.body = expand(QString::fromUtf8(body)).toUtf8();
    server_->setResponse(QStringLiteral("/releases.json"), response);
    TestHttpResponse moved;
    moved.redirectTo = expand(QStringLiteral("{server}/releases.json"));
    server_->setResponse(QStringLiteral("/moved"), moved);
    moved.redirectTo = expand(QStringLiteral("{other}/releases.json"));
    server_->setResponse(QStringLiteral("/elsewhere"), moved);

    if (error == QNetworkReply::ProtocolUnknownError) { // refused before sending, for both checks
      for (int check = 0; check < 2; ++check) {
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^Refusing to check for updates")));
      }
    }
    BasicUpdater updater;
    QSignalSpy started(&updater, &BasicUpdater::checkStarted);
    QSignalSpy finished(&updater, &BasicUpdater::checkFinished);
    updater.checkForUpdates(expand(feed));
    QCOMPARE(started.count(), 1);
    QTRY_COMPARE(finished.count(), 1);

    const auto result = finished.first().first().value<BasicUpdater::Result>();
    QCOMPARE(result.code, code);
    QCOMPARE(result.currentVersion, QStringLiteral("1.0.0"));
    QCOMPARE(result.latestVersion, latest);
    QCOMPARE(result.releaseUrl, expand(address));
    QCOMPARE(result.error, error);

    // Whatever the outcome, the check is over: the next one starts.
    updater.checkForUpdates(expand(feed));
    QCOMPARE(started.count(), 2);
  }

  void secondCheckWhileBusySendsNothing() {
    TestHttpResponse response;
    response.body = R"({"tag_name": "v1.0.0"})";
    server_->setResponse(QStringLiteral("/releases.json"), response);
    const QString feed = server_->url(QStringLiteral("/releases.json")).toString();

    BasicUpdater updater;
    QSignalSpy started(&updater, &BasicUpdater::checkStarted);
    QSignalSpy finished(&updater, &BasicUpdater::checkFinished);
    updater.checkForUpdates(feed);
    updater.checkForUpdates(feed);
    QCOMPARE(started.count(), 1);
    QVERIFY(finished.wait());
    QCOMPARE(server_->requestCount(QStringLiteral("/releases.json")), 1);
    QCOMPARE(finished.count(), 1);
  }

private:
  /// "{server}" stands for this test's server, "{other}" for the same server by another name.
  QString expand(QString text) const {
    text.replace(QStringLiteral("{server}"), server_->url(QString()).toString());
    return text.replace(QStringLiteral("{other}"),
                        QStringLiteral("http://localhost:%1").arg(server_->port()));
  }

  std::unique_ptr<TestHttpServer> server_;
};

// Kept out of the class: moc misreads the raw strings in it.
void TestBasicUpdater::reportsTheFeed_data() {
  QTest::addColumn<QString>("feed");
  QTest::addColumn<int>("status");
  QTest::addColumn<QByteArray>("body");
  QTest::addColumn<int>("code");
  QTest::addColumn<QString>("latest");
  QTest::addColumn<QString>("address");
  QTest::addColumn<int>("error");

  const QString feed = QStringLiteral("{server}/releases.json");
  const QString page = QStringLiteral("{server}/releases/v1.0.1");
  const QByteArray patch = R"({"tag_name": "v1.0.1", "_links": {"self": "{server}/releases/v1.0.1"}})";
  QTest::newRow("running version with a v") << feed << 200 << QByteArray(R"({"tag_name": "v1.0.0"})") << 0
                                            << QStringLiteral("1.0.0") << QString() << 0;
  QTest::newRow("older, capital V, no links") << feed << 200 << QByteArray(R"({"tag_name": "V0.9"})") << 0
                                              << QStringLiteral("1.0.0") << QString() << 0;
  QTest::newRow("one patch above") << feed << 200 << patch << 1 << QStringLiteral("1.0.1") << page << 0;
  QTest::newRow("leading zero normalised")
      << feed << 200
      << QByteArray(R"({"tag_name": "v1.0.01", "_links": {"self": "{server}/releases/v1.0.1"}})") << 1
      << QStringLiteral("1.0.1") << page << 0;
  QTest::newRow("redirect on the same server followed")
      << QStringLiteral("{server}/moved") << 200 << patch << 1 << QStringLiteral("1.0.1") << page << 0;
  QTest::newRow("empty body") << feed << 200 << QByteArray() << 2 << QString() << QString() << -1;
  QTest::newRow("not an object") << feed << 200 << QByteArray(R"(["v2.0"])") << 2 << QString() << QString()
                                 << -1;
  QTest::newRow("tag is no version") << feed << 200 << QByteArray(R"({"tag_name": "vNext"})") << 2
                                     << QString() << QString() << -1;
  QTest::newRow("newer without self")
      << feed << 200 << QByteArray(R"({"tag_name": "v2.0.0", "_links": {"html": "{server}/r"}})") << 2
      << QString() << QString() << -1;
  QTest::newRow("newer with a local file as its page")
      << feed << 200 << QByteArray(R"({"tag_name": "v2.0.0", "_links": {"self": "file:///etc/passwd"}})") << 2
      << QString() << QString() << -1;
  QTest::newRow("nobody listening") << QStringLiteral("http://127.0.0.1:1/releases.json") << 200 << patch << 2
                                    << QString() << QString() << int(QNetworkReply::ConnectionRefusedError);
  QTest::newRow("server error") << feed << 404 << patch << 2 << QString() << QString()
                                << int(QNetworkReply::ContentNotFoundError);
  QTest::newRow("redirect to another origin refused")
      << QStringLiteral("{server}/elsewhere") << 200 << patch << 2 << QString() << QString()
      << int(QNetworkReply::InsecureRedirectError);
  QTest::newRow("plain http to a remote host refused")
      << QStringLiteral("http://arvexgames.example/releases.json") << 200 << patch << 2 << QString()
      << QString() << int(QNetworkReply::ProtocolUnknownError);
}

QTEST_GUILESS_MAIN(TestBasicUpdater)
#include "tst_basicupdater.moc"
