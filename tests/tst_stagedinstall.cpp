#include <library/StagedInstall.h>

#include <TestDir.h>

#include <QDirIterator>
#include <QtTest>

#include <initializer_list>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using arvexhub::launcher::StagedInstall;
using arvexhub::test::TestDir;

namespace {

const QString itemName = QStringLiteral("Game");

QStringList lines(std::initializer_list<const char*> list) {
  QStringList result;
  for (const char* line : list) {
    result.append(QString::fromUtf8(line));
  }
  return result;
}

/// Creates what the lines describe below `root`: "path=content" a file, "path/" a folder,
/// "path->target" a symbolic link.
bool fill(const QString& root, const QStringList& lines) {
  for (const QString& line : lines) {
    const qsizetype arrow = line.indexOf(QLatin1String("->"));
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    const QString relative = arrow >= 0 ? line.left(arrow) : equals >= 0 ? line.left(equals) : line;
    const QString path = root + QLatin1Char('/') + relative;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
      return false;
    }
    bool ok = true;
    if (arrow >= 0) {
      ok = QFile::link(line.mid(arrow + 2), path);
    } else if (equals < 0) {
      ok = QDir().mkpath(path);
    } else {
      QFile file(path);
      const QByteArray content = line.mid(equals + 1).toUtf8();
      ok = file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
    if (!ok) {
      return false;
    }
  }
  return true;
}

QByteArray linkTarget(const QString& path) {
  QByteArray target(4096, '\0');
  const ssize_t length =
      ::readlink(QFile::encodeName(path).constData(), target.data(), size_t(target.size()));
  return target.left(length < 0 ? 0 : length);
}

/// Everything below `root` without following links: type, permissions and content or link target.
QMap<QString, QByteArray> snapshot(const QString& root) {
  QMap<QString, QByteArray> entries;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    QByteArray value = QByteArray::number(st.st_mode, 8) + ':';
    if (S_ISLNK(st.st_mode)) {
      value += linkTarget(path);
    } else if (S_ISREG(st.st_mode)) {
      QFile file(path);
      value += file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    entries.insert(QDir(root).relativeFilePath(path), value);
  }
  return entries;
}

/// The snapshot of a tree made from lines, to compare a result with.
QMap<QString, QByteArray> expectedTree(const QStringList& lines) {
  TestDir reference;
  return fill(reference.path(), lines) ? snapshot(reference.path()) : QMap<QString, QByteArray>{};
}

QStringList libraryListing(const QString& library) {
  return QDir(library).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                 QDir::Name);
}

enum class Failure { Discarded, Destroyed, StagingRemoved, StagingReplacedByLink, ItemIsAFile };

} // namespace

Q_DECLARE_METATYPE(Failure)

class TestStagedInstall : public QObject {
  Q_OBJECT

private slots:
  void installsFreshItem();
  void updateKeepsUserFiles_data();
  void updateKeepsUserFiles();
  void failedUpdateKeepsInstalledVersion_data();
  void failedUpdateKeepsInstalledVersion();
  void commitNeedsStagingFolder();
  void cleansUpLeftovers_data();
  void cleansUpLeftovers();
  void removesOnlyItemFolders_data();
  void removesOnlyItemFolders();
};

void TestStagedInstall::installsFreshItem() {
  TestDir dir;
  const QString library = dir.filePath(QStringLiteral("library")); // created on demand
  StagedInstall install(library, itemName);
  QVERIFY2(install.create(), qPrintable(install.errorString()));
  StagedInstall other(library, itemName);
  QVERIFY(other.create());
  QVERIFY(other.stagingPath() != install.stagingPath());

  const QFileInfo staging(install.stagingPath());
  QVERIFY(staging.isDir());
  QCOMPARE(staging.absolutePath(), QFileInfo(library).absoluteFilePath());
  QVERIFY(staging.fileName().startsWith(QLatin1String(".staging-Game-")));
  QCOMPARE(install.itemPath(), library + QStringLiteral("/Game"));

  const QStringList content = {QStringLiteral("launcher.command=#!/bin/sh"), QStringLiteral("data/level=1")};
  QVERIFY(fill(install.stagingPath(), content));
  QVERIFY2(install.commit(), qPrintable(install.errorString()));
  QCOMPARE(snapshot(install.itemPath()), expectedTree(content));
  other.discard();
  QCOMPARE(libraryListing(library), QStringList{itemName});
}

void TestStagedInstall::updateKeepsUserFiles_data() {
  QTest::addColumn<QStringList>("installed");
  QTest::addColumn<QStringList>("update");
  QTest::addColumn<QStringList>("expected");

  QTest::newRow("saves kept, shipped files replaced")
      << lines({"game.bin=v1", "saves/slot1.sav=S1", "settings.ini=user"})
      << lines({"game.bin=v2", "data/new.dat=N"})
      << lines({"game.bin=v2", "data/new.dat=N", "saves/slot1.sav=S1", "settings.ini=user"});
  QTest::newRow("folders both have are merged")
      << lines({"data/base.dat=old", "data/mods/user.mod=M", "data/mods/deep/more.mod=D"})
      << lines({"data/base.dat=new", "data/mods/shipped.mod=X"})
      << lines({"data/base.dat=new", "data/mods/shipped.mod=X", "data/mods/user.mod=M",
                "data/mods/deep/more.mod=D"});
  QTest::newRow("empty folders kept")
      << lines({"screenshots/"}) << lines({"game.bin=v2"}) << lines({"game.bin=v2", "screenshots/"});
  QTest::newRow("links the game made are kept as links")
      << lines({"game.bin=v1", "shared->../../outside", "current.sav->saves/slot1.sav"})
      << lines({"game.bin=v2"})
      << lines({"game.bin=v2", "shared->../../outside", "current.sav->saves/slot1.sav"});
  QTest::newRow("new version wins a file/folder clash")
      << lines({"maps=old"}) << lines({"maps/a.map=A"}) << lines({"maps/a.map=A"});
  QTest::newRow("empty installed folder") << QStringList() << lines({"a=1"}) << lines({"a=1"});
}

void TestStagedInstall::updateKeepsUserFiles() {
  QFETCH(QStringList, installed);
  QFETCH(QStringList, update);
  QFETCH(QStringList, expected);
  TestDir dir;
  const QString library = dir.filePath(QStringLiteral("library"));
  QVERIFY(fill(dir.path(), {QStringLiteral("outside/keep.txt=K"), QStringLiteral("library/Game/")}));
  QVERIFY(fill(library + QStringLiteral("/Game"), installed));
  const auto outsideBefore = snapshot(dir.filePath(QStringLiteral("outside")));

  StagedInstall install(library, itemName);
  QVERIFY(install.create());
  QVERIFY(fill(install.stagingPath(), update));
  QVERIFY2(install.commit(), qPrintable(install.errorString()));

  QCOMPARE(snapshot(install.itemPath()), expectedTree(expected));
  QCOMPARE(libraryListing(library), QStringList{itemName});
  QCOMPARE(snapshot(dir.filePath(QStringLiteral("outside"))), outsideBefore);
}

void TestStagedInstall::failedUpdateKeepsInstalledVersion_data() {
  QTest::addColumn<Failure>("failure");
  QTest::newRow("discarded") << Failure::Discarded;
  QTest::newRow("destroyed without commit") << Failure::Destroyed;
  QTest::newRow("staging folder gone before commit") << Failure::StagingRemoved;
  QTest::newRow("staging folder replaced by a link") << Failure::StagingReplacedByLink;
  QTest::newRow("item is a file") << Failure::ItemIsAFile;
}

void TestStagedInstall::failedUpdateKeepsInstalledVersion() {
  QFETCH(Failure, failure);
  TestDir dir;
  const QString library = dir.filePath(QStringLiteral("library"));
  QVERIFY(fill(dir.path(), {QStringLiteral("outside/keep.txt=K")}));
  if (failure == Failure::ItemIsAFile) {
    QVERIFY(fill(library, {QStringLiteral("Game=a file, not a folder")}));
  } else {
    QVERIFY(fill(library, {QStringLiteral("Game/game.bin=v1"), QStringLiteral("Game/saves/slot1.sav=S1"),
                           QStringLiteral("Game/link->../../outside")}));
  }
  const auto before = snapshot(dir.path());

  auto install = std::make_unique<StagedInstall>(library, itemName);
  QVERIFY(install->create());
  QVERIFY(fill(install->stagingPath(), {QStringLiteral("game.bin=v2"), QStringLiteral("extra.dat=E")}));
  if (failure == Failure::Discarded) {
    install->discard();
    QVERIFY(!install->commit());
  } else if (failure == Failure::StagingRemoved) {
    QVERIFY(QDir(install->stagingPath()).removeRecursively());
    QVERIFY(!install->commit());
  } else if (failure == Failure::StagingReplacedByLink) {
    QVERIFY(QDir(install->stagingPath()).removeRecursively());
    QVERIFY(QFile::link(QStringLiteral("../outside"), install->stagingPath()));
    QVERIFY(!install->commit());
  } else if (failure == Failure::ItemIsAFile) {
    QVERIFY(!install->commit());
    QVERIFY(!install->errorString().isEmpty());
  }
  install.reset();

  QCOMPARE(snapshot(dir.path()), before);
}

void TestStagedInstall::commitNeedsStagingFolder() {
  TestDir dir;
  StagedInstall install(dir.path(), itemName);
  QVERIFY(!install.commit());
  QVERIFY(!install.errorString().isEmpty());
  QVERIFY(!QFileInfo::exists(install.itemPath()));
}

void TestStagedInstall::cleansUpLeftovers_data() {
  QTest::addColumn<QStringList>("before");
  QTest::addColumn<QStringList>("after");

  const QStringList outside = lines({"outside/keep.txt=K"});
  QTest::newRow("staging left-over removed")
      << outside + lines({"lib/Game/a=1", "lib/.staging-Game-abc123/a=2", "lib/.staging-Game-abc123/sub/b=3"})
      << outside + lines({"lib/Game/a=1"});
  QTest::newRow("old folder restored when the item is missing")
      << outside + lines({"lib/.old-Game-abc123/save.dat=S", "lib/.old-Game-abc123/data/game.bin=v1"})
      << outside + lines({"lib/Game/save.dat=S", "lib/Game/data/game.bin=v1"});
  QTest::newRow("old folder removed when the item exists")
      << outside + lines({"lib/Game/game.bin=v2", "lib/.old-Game-abc123/game.bin=v1"})
      << outside + lines({"lib/Game/game.bin=v2"});
  QTest::newRow("item name with dashes restored")
      << outside + lines({"lib/.old-My-Game-2-x9y8z7/f=1"}) << outside + lines({"lib/My-Game-2/f=1"});
  QTest::newRow("killed between the two renames")
      << outside + lines({"lib/.staging-Game-aaa111/game.bin=v2", "lib/.old-Game-bbb222/save=S"})
      << outside + lines({"lib/Game/save=S"});
  QTest::newRow("left-overs holding links to outside")
      << outside + lines({"lib/.staging-Game-abc123->../outside", "lib/.old-Game-abc123/link->../../outside",
                          "lib/Game/a=1"})
      << outside + lines({"lib/Game/a=1"});
  QTest::newRow("other entries kept")
      << outside + lines({"lib/.config/x=1", "lib/.oldies=2", "lib/.old-Game=3", "lib/Game/a=1"})
      << outside + lines({"lib/.config/x=1", "lib/.oldies=2", "lib/.old-Game=3", "lib/Game/a=1"});
}

void TestStagedInstall::cleansUpLeftovers() {
  QFETCH(QStringList, before);
  QFETCH(QStringList, after);
  TestDir dir;
  QVERIFY(fill(dir.path(), before));
  StagedInstall::cleanupLeftovers(dir.filePath(QStringLiteral("lib")));
  QCOMPARE(snapshot(dir.path()), expectedTree(after));
}

void TestStagedInstall::removesOnlyItemFolders_data() {
  QTest::addColumn<QString>("library");
  QTest::addColumn<QString>("path");
  QTest::addColumn<bool>("removed");
  QTest::addColumn<QString>("gone"); // the entry that must disappear with everything below it

  QTest::newRow("item folder") << QStringLiteral("lib") << QStringLiteral("lib/Game") << true
                               << QStringLiteral("lib/Game");
  QTest::newRow("item that is a link to an outside folder")
      << QStringLiteral("lib") << QStringLiteral("lib/Linked") << true << QStringLiteral("lib/Linked");
  QTest::newRow("link item with a trailing slash")
      << QStringLiteral("lib") << QStringLiteral("lib/Linked/") << true << QStringLiteral("lib/Linked");
  QTest::newRow("item reached through a link to the library")
      << QStringLiteral("lib") << QStringLiteral("libLink/Game") << true << QStringLiteral("lib/Game");
  QTest::newRow("library given as a link")
      << QStringLiteral("libLink") << QStringLiteral("lib/Game") << true << QStringLiteral("lib/Game");
  QTest::newRow("parent folder") << QStringLiteral("lib") << QStringLiteral("lib/../x") << false << QString();
  QTest::newRow("outside through a link item")
      << QStringLiteral("lib") << QStringLiteral("lib/Linked/keep.txt") << false << QString();
  QTest::newRow("library folder itself")
      << QStringLiteral("lib") << QStringLiteral("lib") << false << QString();
  QTest::newRow("library folder with a slash")
      << QStringLiteral("lib") << QStringLiteral("lib/") << false << QString();
  QTest::newRow("current folder") << QStringLiteral("lib") << QStringLiteral("lib/.") << false << QString();
  QTest::newRow("nested folder") << QStringLiteral("lib") << QStringLiteral("lib/a/b") << false << QString();
  QTest::newRow("folder outside") << QStringLiteral("lib") << QStringLiteral("outside") << false << QString();
  QTest::newRow("missing item") << QStringLiteral("lib") << QStringLiteral("lib/None") << false << QString();
  QTest::newRow("file, not a folder")
      << QStringLiteral("lib") << QStringLiteral("lib/file.txt") << false << QString();
  QTest::newRow("missing library") << QStringLiteral("nolib") << QStringLiteral("nolib/Game") << false
                                   << QString();
}

void TestStagedInstall::removesOnlyItemFolders() {
  QFETCH(QString, library);
  QFETCH(QString, path);
  QFETCH(bool, removed);
  QFETCH(QString, gone);
  const QStringList layout = lines({
      "lib/Game/game.bin=1",
      "lib/Game/saves/s.sav=S",
      "lib/Game/escape->../../outside",
      "lib/Game/escapefile->../../outside/keep.txt",
      "lib/Linked->../outside",
      "lib/a/b/f=F",
      "lib/file.txt=T",
      "outside/keep.txt=K",
      "outside/sub/deep.txt=D",
      "x/keep.txt=X",
      "libLink->lib",
  });
  TestDir dir;
  QVERIFY(fill(dir.path(), layout));

  QCOMPARE(StagedInstall::removeItemFolder(dir.filePath(library), dir.filePath(path)), removed);
  QStringList remaining;
  for (const QString& line : layout) {
    if (gone.isEmpty() ||
        !(line.startsWith(gone + QLatin1Char('/')) || line.startsWith(gone + QLatin1String("->")))) {
      remaining.append(line);
    }
  }
  QCOMPARE(snapshot(dir.path()), expectedTree(remaining));
}

QTEST_GUILESS_MAIN(TestStagedInstall)
#include "tst_stagedinstall.moc"
