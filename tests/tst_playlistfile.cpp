#include "media/PlaylistFile.h"

#include "TestDir.h"

#include <QFile>
#include <QtTest>

using namespace arvexhub::launcher;
using arvexhub::test::TestDir;

class TestPlaylistFile final : public QObject {
  Q_OBJECT

  QList<QUrl> urlsOf(const QList<PlaylistEntry>& entries) const {
    QList<QUrl> urls;
    for (const auto& entry : entries) {
      urls.append(entry.url);
    }
    return urls;
  }
  QStringList titlesOf(const QList<PlaylistEntry>& entries) const {
    QStringList titles;
    for (const auto& entry : entries) {
      titles.append(entry.title);
    }
    return titles;
  }

private slots:
  void writeThenRead_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("plain paths, one a line")
        << QStringList{QStringLiteral("/music/a b.mp3"), QStringLiteral("/films/été #1.mp4")}
        << QByteArray("/music/a b.mp3\n/films/\xc3\xa9t\xc3\xa9 #1.mp4\n");
    QTest::newRow("a line break in a name is kept as an encoded URL")
        << QStringList{QStringLiteral("/music/two\nlines.mp3")}
        << QByteArray("file:///music/two%0Alines.mp3\n");
    QTest::newRow("empty") << QStringList() << QByteArray();
  }
  void writeThenRead() {
    QFETCH(QStringList, files);
    QFETCH(QByteArray, expected);
    TestDir dir;
    QList<QUrl> urls;
    for (const auto& file : files) {
      urls.append(QUrl::fromLocalFile(file));
    }
    const QString path = dir.filePath(QStringLiteral("list.m3u"));
    QVERIFY(PlaylistFile::write(path, urls));
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected);
    const auto entries = PlaylistFile::read(path);
    QVERIFY(entries);
    QCOMPARE(urlsOf(*entries), urls);
    QCOMPARE(titlesOf(*entries), QStringList(files.size(), QString()));
  }

  void readOtherPlayers_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("paths"); // relative ones are inside the playlist's folder
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("extended m3u") << QByteArray(
                                         "#EXTM3U\n#EXTINF:215,Arvex - Opening\n/m/one.mp3\n/m/two.mp3\n")
                                  << QStringList{QStringLiteral("/m/one.mp3"), QStringLiteral("/m/two.mp3")}
                                  << QStringList{QStringLiteral("Arvex - Opening"), QString()};
    QTest::newRow("directive between title and path")
        << QByteArray("#EXTINF:-1,Live\n#EXTGRP:Shows\n/m/live.mp4\n")
        << QStringList{QStringLiteral("/m/live.mp4")} << QStringList{QStringLiteral("Live")};
    QTest::newRow("relative paths, blank lines, CRLF")
        << QByteArray("songs/a.mp3\r\n\r\n  \r\n../up.mp3\r\n")
        << QStringList{QStringLiteral("songs/a.mp3"), QStringLiteral("../up.mp3")}
        << QStringList{QString(), QString()};
    QTest::newRow("byte order mark and file URLs")
        << QByteArray("\xef\xbb\xbf/m/first.mp3\nfile:///m/with%20blank.mp3\n")
        << QStringList{QStringLiteral("/m/first.mp3"), QStringLiteral("/m/with blank.mp3")}
        << QStringList{QString(), QString()};
    QTest::newRow("comments only") << QByteArray("# saved by another player\n#EXTINF:1,Orphan\n")
                                   << QStringList() << QStringList();
    QTest::newRow("names starting with a colon are files beside the list")
        << QByteArray(":intro.mp3\n:/..\n")
        << QStringList{QStringLiteral(":intro.mp3"), QStringLiteral(":/..")}
        << QStringList{QString(), QString()};
  }
  void readOtherPlayers() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, paths);
    QFETCH(QStringList, titles);
    TestDir dir;
    const QString path = dir.createFile(QStringLiteral("lists/other.m3u"), content);
    const QDir folder(dir.filePath(QStringLiteral("lists")));
    QList<QUrl> expected;
    for (const auto& file : paths) {
      const QString absolute =
          file.startsWith(QLatin1Char('/')) ? file : folder.path() + QLatin1Char('/') + file;
      expected.append(QUrl::fromLocalFile(QDir::cleanPath(absolute)));
    }
    const auto entries = PlaylistFile::read(path);
    QVERIFY(entries);
    QCOMPARE(urlsOf(*entries), expected);
    QCOMPARE(titlesOf(*entries), titles);
  }

  void streamsStayNonLocal() {
    TestDir dir;
    const auto entries =
        PlaylistFile::read(dir.createFile(QStringLiteral("radio.m3u"), "https://radio.example/stream\n"));
    QVERIFY(entries && entries->size() == 1);
    QVERIFY(!entries->first().url.isLocalFile());
  }

  void names_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << QStringLiteral("Road trip 2") << true;
    QTest::newRow("parent folder") << QStringLiteral("../x") << false;
    QTest::newRow("sub folder") << QStringLiteral("a/b") << false;
    QTest::newRow("backslash") << QStringLiteral("a\\b") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("dot dot") << QStringLiteral("..") << false;
    QTest::newRow("line break") << QStringLiteral("a\nb") << false;
    QTest::newRow("too long with its suffix") << QString(253, QLatin1Char('x')) << false;
  }
  void names() {
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QCOMPARE(PlaylistFile::isValidName(name), valid);
  }

  void failuresLeaveFilesAlone() {
    TestDir dir;
    QVERIFY(!PlaylistFile::read(dir.filePath(QStringLiteral("missing.m3u"))));
    QVERIFY(!PlaylistFile::write(dir.filePath(QStringLiteral("no/such/folder/x.m3u")), {}));
    const QString outside = dir.createFile(QStringLiteral("outside.txt"), "mine");
    const QString link = dir.filePath(QStringLiteral("link.m3u"));
    QVERIFY(QFile::link(outside, link));
    QVERIFY(!PlaylistFile::write(link, {QUrl::fromLocalFile(QStringLiteral("/m/a.mp3"))}));
    QFile target(outside);
    QVERIFY(target.open(QIODevice::ReadOnly));
    QCOMPARE(target.readAll(), QByteArray("mine"));
  }
};

QTEST_GUILESS_MAIN(TestPlaylistFile)
#include "tst_playlistfile.moc"
