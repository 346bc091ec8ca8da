#include "library/StagedInstall.h"

#include "TestDir.h"

#include <QDirIterator>
#include <QtTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using arvexhub::launcher::StagedInstall;
using arvexhub::test::TestDir;
using namespace Qt::StringLiterals;

namespace {

const QString itemName = u"Game"_s;

/// A tree, one entry after another separated by "|": "path=content" a file, "path/" a folder,
/// "path->target" a symbolic link.
QStringList lines(const char* tree) {
  return QString::fromUtf8(tree).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

bool fill(const QString& root, const QStringList& lines) {
  for (const QString& line : lines) {
    const qsizetype arrow = line.indexOf(QLatin1String("->"));
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    const QString path = root + QLatin1Char('/') + line.left(arrow >= 0 ? arrow : equals);
    QFile file(path);
    const QByteArray content = line.mid(equals + 1).toUtf8();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) ||
        !(arrow >= 0   ? QFile::link(line.mid(arrow + 2), path)
          : equals < 0 ? QDir().mkpath(path)
                       : file.open(QIODevice::WriteOnly) && file.write(content) == content.size())) {
      return false;
    }
  }
  return true;
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
      QByteArray target(4096, '\0');
      value += target.left(::readlink(QFile::encodeName(path).constData(), target.data(), 4096));
    } else if (QFile file(path); S_ISREG(st.st_mode) && file.open(QIODevice::ReadOnly)) {
      value += file.readAll();
    }
    entries.insert(QDir(root).relativeFilePath(path), value);
  }
  return entries;
}

QMap<QString, QByteArray> expectedTree(const QStringList& lines) {
  TestDir reference;
  return fill(reference.path(), lines) ? snapshot(reference.path()) : QMap<QString, QByteArray>{};
}

} // namespace

class TestStagedInstall : public QObject {
  Q_OBJECT

private slots:
  // An update keeps what the installed version has and the new one lacks (saves, mods).
  void commitPutsTheNewVersionInPlace_data() {
    QTest::addColumn<QStringList>("installed"); // below the library folder
    QTest::addColumn<QStringList>("staged");
    QTest::addColumn<QStringList>("after"); // below the library folder
    QTest::newRow("fresh item") << QStringList() << lines("launcher.command=#!/bin/sh|data/level=1")
                                << lines("Game/launcher.command=#!/bin/sh|Game/data/level=1");
    QTest::newRow("update")
        << lines("Game/game.bin=v1|Game/saves/slot1.sav=S1|Game/data/base.dat=old|Game/data/mods/user.mod=M")
        << lines("game.bin=v2|data/base.dat=new|data/new.dat=N")
        << lines("Game/game.bin=v2|Game/saves/slot1.sav=S1|Game/data/base.dat=new|Game/data/mods/"
                 "user.mod=M|Game/data/new.dat=N");
  }
  void commitPutsTheNewVersionInPlace() {
    QFETCH(QStringList, installed);
    QFETCH(QStringList, staged);
    QFETCH(QStringList, after);
    TestDir dir;
    const QString library = dir.filePath(u"library/"_s); // created on demand
    QVERIFY(fill(library, installed));
    StagedInstall install(library, itemName);
    QCOMPARE(install.itemPath(), dir.filePath(u"library/Game"_s)); // no "/" doubled
    QVERIFY2(install.create(), qPrintable(install.errorString()));
    QVERIFY(fill(install.stagingPath(), staged));
    QVERIFY2(install.commit(), qPrintable(install.errorString()));
    QCOMPARE(snapshot(library), expectedTree(after));
  }

  void failedUpdateKeepsInstalledVersion_data() {
    QTest::addColumn<QString>("failure");
    for (const char* failure : {"discarded", "destroyed", "staging removed", "staging replaced by a link"}) {
      QTest::newRow(failure) << QString::fromLatin1(failure);
    }
  }

  void failedUpdateKeepsInstalledVersion() {
    QFETCH(QString, failure);
    TestDir dir;
    const QString library = dir.filePath(u"library"_s);
    QVERIFY(fill(dir.path(), lines("outside/keep.txt=K|library/Game/game.bin=v1|library/Game/saves/"
                                   "s.sav=S|library/Game/link->../../outside")));
    const auto before = snapshot(dir.path());

    auto install = std::make_unique<StagedInstall>(library, itemName);
    QVERIFY(install->create());
    QVERIFY(fill(install->stagingPath(), lines("game.bin=v2|extra.dat=E")));
    if (failure == QLatin1String("discarded")) {
      install->discard();
    } else if (failure != QLatin1String("destroyed")) {
      QVERIFY(QDir(install->stagingPath()).removeRecursively());
      QVERIFY(failure.endsWith(QLatin1String("removed")) ||
              QFile::link(u"../outside"_s, install->stagingPath()));
    }
    if (failure != QLatin1String("destroyed")) {
      QVERIFY(!install->commit());
    }
    install.reset();
    QCOMPARE(snapshot(dir.path()), before);
  }

  void cleansUpLeftovers_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    const QStringList outside = lines("outside/keep.txt=K");
    QTest::newRow("staging removed")
        << outside + lines("lib/Game/a=1|lib/.staging-Game-abc123/a=2|lib/.staging-Game-x1->../outside")
        << outside + lines("lib/Game/a=1");
    QTest::newRow("old restored when the item is missing")
        << outside + lines("lib/.old-My-Game-abc123/save.dat=S|lib/.old-My-Game-abc123/data/game.bin=v1")
        << outside + lines("lib/My-Game/save.dat=S|lib/My-Game/data/game.bin=v1");
    QTest::newRow("old removed when the item exists")
        << outside + lines("lib/Game/game.bin=v2|lib/.old-Game-abc123/game.bin=v1|lib/.old-Game-abc123/l->../"
                           "../outside")
        << outside + lines("lib/Game/game.bin=v2");
    QTest::newRow("other entries kept")
        << lines("lib/.config/x=1|lib/.oldies=2|lib/.old-Game=3|lib/Game/a=1")
        << lines("lib/.config/x=1|lib/.oldies=2|lib/.old-Game=3|lib/Game/a=1");
  }

  void cleansUpLeftovers() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    TestDir dir;
    QVERIFY(fill(dir.path(), before));
    StagedInstall::cleanupLeftovers(dir.filePath(u"lib"_s));
    QCOMPARE(snapshot(dir.path()), expectedTree(after));
  }

  void removesOnlyItemFolders_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>(
        "gone"); // the entry that must disappear with everything below it; empty: nothing
    QTest::newRow("item folder with a link inside") << u"lib/Game"_s << u"lib/Game"_s;
    QTest::newRow("item that is a link to outside") << u"lib/Linked"_s << u"lib/Linked"_s;
    for (const char* path : {"lib/../x", "lib", "lib/a/b", "outside", "lib/Linked/sub"}) {
      QTest::newRow(path) << QString::fromLatin1(path) << QString();
    }
  }

  void removesOnlyItemFolders() {
    QFETCH(QString, path);
    QFETCH(QString, gone);
    const QStringList layout = lines("lib/Game/game.bin=1|lib/Game/escape->../../outside|lib/Linked->../"
                                     "outside|lib/a/b/f=F|outside/sub/deep.txt=D|x/keep.txt=X");
    TestDir dir;
    QVERIFY(fill(dir.path(), layout));
    QCOMPARE(StagedInstall::removeItemFolder(dir.filePath(u"lib"_s), dir.filePath(path)), !gone.isEmpty());
    QStringList remaining;
    for (const QString& line : layout) {
      if (gone.isEmpty() ||
          !(line.startsWith(gone + QLatin1Char('/')) || line.startsWith(gone + QLatin1String("->")))) {
        remaining.append(line);
      }
    }
    QCOMPARE(snapshot(dir.path()), expectedTree(remaining));
  }
};

QTEST_GUILESS_MAIN(TestStagedInstall)
#include "tst_stagedinstall.moc"
