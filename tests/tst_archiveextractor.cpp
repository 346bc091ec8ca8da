#include "library/ArchiveExtractor.h"

#include "TestArchive.h"
#include "TestDir.h"

#include <zlib.h>

#include <QDirIterator>
#include <QtTest>

#include <limits>
#include <optional>
#include <sys/stat.h>

using arvexhub::launcher::ArchiveExtractor;
using arvexhub::launcher::ArchiveLimits;
using arvexhub::test::TestArchive;
using arvexhub::test::TestDir;

namespace {

constexpr quint32 modeFile = 0100644;
constexpr qint64 noLimit = std::numeric_limits<qint64>::max();

quint32 crcOf(const QByteArray& data) {
  return quint32(crc32(0, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
}

/// An entry written byte by byte, for what QuaZip will not write: odd names, flags and lying headers.
/// The data is always stored; the declared size and CRC may differ from it.
struct RawEntry {
  QByteArray name;
  QByteArray data = {};
  quint32 mode = modeFile;
  quint16 flags = 0;
  std::optional<quint64> declaredSize = std::nullopt;
  std::optional<quint32> crc = std::nullopt;
};

void put(QByteArray& out, quint64 value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.append(char((value >> (8 * i)) & 0xff));
  }
}

QByteArray rawArchive(const QList<RawEntry>& entries) {
  QByteArray out;
  QByteArray directory;
  for (const RawEntry& entry : entries) {
    const quint64 size = entry.declaredSize.value_or(quint64(entry.data.size()));
    QByteArray extra; // a zip64 field carries sizes that do not fit in 32 bits
    if (size >= 0xffffffff) {
      put(extra, 1 | 8 << 16, 4); // zip64 tag, field length
      put(extra, size, 8);
    }
    QByteArray common; // shared by the local header and the directory record, from "version needed" on
    put(common, (extra.isEmpty() ? 20 : 45) | quint64(entry.flags) << 16, 4); // version needed, flags
    put(common, quint64(0x00210000) << 16, 6);                                // stored, 1980-01-01 00:00
    put(common, entry.crc.value_or(crcOf(entry.data)) | quint64(entry.data.size()) << 32, 8);
    put(common, extra.isEmpty() ? size : 0xffffffff, 4);
    put(common, quint64(entry.name.size()) | quint64(extra.size()) << 16, 4);
    const quint64 offset = quint64(out.size());
    put(out, 0x04034b50, 4);
    out += common + entry.name + extra + entry.data;
    put(directory, 0x02014b50 | quint64(0x031e) << 32, 6); // made by Unix
    directory += common;
    put(directory, 0, 6); // comment length, disk number, internal attributes
    put(directory, quint64(entry.mode) << 16, 4);
    put(directory, offset, 4);
    directory += entry.name + extra;
  }
  const quint64 directoryOffset = quint64(out.size());
  out += directory;
  put(out, 0x06054b50, 8);
  put(out, quint64(entries.size()) * 0x10001 | quint64(directory.size()) << 32, 8);
  put(out, directoryOffset, 6);
  return out;
}

/// Hard to compress, so that the data spans several reads and steps.
QByteArray patternData(qsizetype size) {
  QByteArray data(size, Qt::Uninitialized);
  quint32 state = 12345;
  for (char& c : data) {
    state = state * 1103515245u + 12345u;
    c = char(state >> 24);
  }
  return data;
}

const QList<TestArchive::Entry>& goodEntries() {
  static const QList<TestArchive::Entry> entries = {
      {QStringLiteral("launcher.command"), "#!/bin/sh\necho started\n", 0100755},
      {QStringLiteral("data/"), {}, 040755},
      {QStringLiteral("data/levels/level1.dat"), "level one", modeFile},
      {QStringLiteral("data/big.bin"), patternData(3 * 1024 * 1024 + 17), modeFile},
      {QStringLiteral("tools/run.sh"), "#!/bin/sh\n", 0100710},
      {QStringLiteral("readme.txt"), "no Unix mode", 0},
      {QStringLiteral("empty.txt"), {}, modeFile},
  };
  return entries;
}

int permissionsOf(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

/// Every path below `root` (links not followed) with its permissions and content.
QMap<QString, QByteArray> snapshot(const QString& root) {
  QMap<QString, QByteArray> entries;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile file(path);
    const QByteArray content =
        QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : "";
    entries.insert(QDir(root).relativeFilePath(path),
                   QByteArray::number(permissionsOf(path), 8) + ':' + content);
  }
  return entries;
}

/// A test folder with the archive, an empty target folder and an empty folder beside it.
struct Layout {
  TestDir dir;
  QString archive = dir.filePath(QStringLiteral("archive.zip"));
  QString target = dir.createDir(QStringLiteral("work/target"));
  QString outside = dir.createDir(QStringLiteral("outside"));

  /// True when nothing but the archive and the two empty folders is there.
  bool untouched() const {
    return snapshot(dir.path()).keys().join(QLatin1Char(' ')) ==
           QLatin1String("archive.zip outside work work/target");
  }
};

} // namespace

class TestArchiveExtractor : public QObject {
  Q_OBJECT

private slots:
  void extractsGoodArchiveWholeAndInSteps() {
    const mode_t savedUmask = ::umask(077); // shows that the permissions are set, not inherited
    const auto restoreUmask = qScopeGuard([savedUmask] { ::umask(savedUmask); });
    Layout layout;
    QVERIFY(TestArchive::write(layout.archive, TestArchive::zip(goodEntries())));
    ArchiveExtractor whole(layout.archive);
    QVERIFY2(whole.extractTo(layout.target), qPrintable(whole.errorString()));
    for (const auto& entry : goodEntries()) {
      const QString path = layout.target + QLatin1Char('/') + entry.name;
      QFile file(path);
      QVERIFY2(entry.name.endsWith(QLatin1Char('/')) || file.open(QIODevice::ReadOnly),
               qPrintable(entry.name));
      QCOMPARE(file.readAll(), entry.content);
      QCOMPARE(permissionsOf(path), (entry.unixMode & 0111) ? 0755 : 0644);
    }
    QCOMPARE(permissionsOf(layout.target + QStringLiteral("/data/levels")), 0755);
    QVERIFY(snapshot(layout.outside).isEmpty());

    const QString stepTarget = layout.dir.createDir(QStringLiteral("steps"));
    ArchiveExtractor stepwise(layout.archive);
    QVERIFY2(stepwise.beginExtraction(stepTarget), qPrintable(stepwise.errorString()));
    int steps = 1;
    while (stepwise.extractSome(64 * 1024) == ArchiveExtractor::Progress::Running && steps < 100000) {
      ++steps;
    }
    QVERIFY(steps > 1); // really in steps, not all at once
    QCOMPARE(snapshot(stepTarget), snapshot(layout.target));

    const QString readme = layout.target + QStringLiteral("/readme.txt");
    const QString link = layout.target + QStringLiteral("/link");
    QVERIFY(QFile::link(readme, link));
    QVERIFY(!ArchiveExtractor::makeExecutable(link)); // never through a link
    QVERIFY(!ArchiveExtractor::makeExecutable(layout.target + QStringLiteral("/data")));
    QCOMPARE(permissionsOf(readme), 0644);
    QVERIFY(ArchiveExtractor::makeExecutable(readme));
    QCOMPARE(permissionsOf(readme), 0755);
  }

  void refusesUnsafeNames_data() {
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char* tag, const QByteArray& name, const char* reason) {
      QTest::newRow(tag) << rawArchive({{"ok.txt", "fine"}, {name, "x"}}) << QString::fromLatin1(reason);
    };
    row("parent folder", "../x", "\"..\"");
    row("nested parent folder", "a/../../x", "\"..\"");
    row("absolute path", "/tmp/x", "absolute");
    row("backslash", "..\\x", "backslash");
    row("drive letter", "C:/x", "drive letter");
    row("empty component", "a//b", "empty path component");
    row("NUL in name", QByteArray("a\0/../../b", 10), "control character");
    row("control character", "a\001b", "control character");
    row("not UTF-8", "caf\xe9.txt", "UTF-8");
  }

  void refusesUnsafeNames() {
    verifyRefused();
  }
  void refusesUnsafeEntries_data() {
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char* tag, const QList<RawEntry>& bad, const char* reason) {
      QTest::newRow(tag) << rawArchive(QList<RawEntry>{{"ok.txt", "fine"}} + bad)
                         << QString::fromLatin1(reason);
    };
    row("symlink, then a file through it", {{"link", "../../outside", 0120777}, {"link/evil.txt", "evil"}},
        "symbolic link");
    row("symlink folder", {{"dir/", "../../outside", 0120777}, {"dir/evil.txt", "evil"}}, "symbolic link");
    row("character device", {{"tty", {}, 0020644}}, "character device");
    row("block device", {{"disk", {}, 0060644}}, "block device");
    row("FIFO", {{"pipe", {}, 0010644}}, "FIFO");
    row("encrypted", {{"secret.txt", "secret", modeFile, 1}}, "encrypted");
    row("duplicate file", {{"same.txt", "1"}, {"same.txt", "2"}}, "duplicate");
    row("folder and file of one name", {{"dir/", {}, 040755}, {"dir", "x"}}, "duplicate");
    row("file, then a path below it", {{"a", "x"}, {"a/b", "y"}}, "same path as a folder");
  }

  void refusesUnsafeEntries() {
    verifyRefused();
  }
  void refusesOverLimitsAndDamage_data() {
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<qint64>("maxEntries");
    QTest::addColumn<qint64>("maxTotalBytes");
    QTest::addColumn<bool>("checks");
    QTest::addColumn<bool>("extracts");

    const QByteArray three =
        rawArchive({{"a", QByteArray(60, 'a')}, {"b/", {}, 040755}, {"c", QByteArray(40, 'c')}});
    QTest::newRow("at both limits") << three << qint64(3) << qint64(100) << true << true;
    QTest::newRow("entries above the limit") << three << qint64(2) << qint64(100) << false << false;
    QTest::newRow("size above the limit") << three << qint64(3) << qint64(99) << false << false;
    const QByteArray data = "0123456789abcdef";
    const auto row = [](const char* tag, const QByteArray& archive, bool checks) {
      QTest::newRow(tag) << archive << qint64(10) << qint64(100) << checks << false;
    };
    row("declared size above the limit", rawArchive({{"a", data, modeFile, 0, 1000}}), false);
    // A pebibyte: within the limits, but no disk has room for it.
    QTest::newRow("more than the free space")
        << rawArchive({{"huge.bin", "x", modeFile, 0, quint64(1) << 50}}) << qint64(10) << noLimit << true
        << false;
    row("wrong CRC", rawArchive({{"a.txt", data, modeFile, 0, {}, crcOf(data) ^ 1}}), true);
    row("declared larger", rawArchive({{"a.txt", data, modeFile, 0, 50}}), true);
    row("declared smaller", rawArchive({{"a.txt", data, modeFile, 0, 4}}), true);
    QByteArray deflated = TestArchive::zip({{QStringLiteral("big.bin"), patternData(300000), modeFile}});
    QTest::newRow("truncated") << deflated.left(deflated.size() / 2) << qint64(10) << noLimit << false
                               << false;
    deflated.replace(150000, 8, QByteArray(8, '\xa5'));
    QTest::newRow("damaged deflate stream") << deflated << qint64(10) << noLimit << true << false;
    row("not a zip", "just some text, not an archive\n", false);
    row("empty file", {}, false);
    row("no entries", rawArchive({}), false);
  }

  void refusesOverLimitsAndDamage() {
    QFETCH(QByteArray, archive);
    QFETCH(qint64, maxEntries);
    QFETCH(qint64, maxTotalBytes);
    QFETCH(bool, checks);
    QFETCH(bool, extracts);
    Layout layout;
    QVERIFY(TestArchive::write(layout.archive, archive));
    ArchiveExtractor extractor(layout.archive, ArchiveLimits{maxEntries, maxTotalBytes});
    QCOMPARE(extractor.check(), checks);
    QCOMPARE(extractor.extractTo(layout.target), extracts);
    QCOMPARE(extractor.errorString().isEmpty(), extracts);
    QVERIFY(snapshot(layout.outside).isEmpty());
    if (!checks || extractor.errorString().contains(QLatin1String("free space"))) {
      QVERIFY(layout.untouched()); // refused before anything was written
    }
  }

  void stepsFailCleanlyOnCorruptEntry() {
    Layout layout;
    const QByteArray bad = "corrupt";
    QVERIFY(TestArchive::write(layout.archive, rawArchive({{"a.txt", "first"},
                                                           {"b.bin", patternData(200000)},
                                                           {"c.txt", bad, modeFile, 0, {}, crcOf(bad) ^ 1},
                                                           {"d.txt", "never"}})));
    ArchiveExtractor stepwise(layout.archive);
    QVERIFY2(stepwise.beginExtraction(layout.target), qPrintable(stepwise.errorString()));
    int steps = 1;
    auto progress = ArchiveExtractor::Progress::Running;
    while ((progress = stepwise.extractSome(64 * 1024)) == ArchiveExtractor::Progress::Running) {
      ++steps;
    }
    QVERIFY(steps > 1); // failed mid-way, after the good entries
    QCOMPARE(progress, ArchiveExtractor::Progress::Failed);
    QVERIFY2(stepwise.errorString().contains(QLatin1String("c.txt")), qPrintable(stepwise.errorString()));
    QCOMPARE(stepwise.extractSome(64 * 1024), ArchiveExtractor::Progress::Failed); // stays failed
    QVERIFY(!QFileInfo::exists(layout.target + QStringLiteral("/d.txt")));
    QVERIFY(snapshot(layout.outside).isEmpty());
  }

private:
  /// The whole archive is refused by every entry point, and nothing is written anywhere.
  void verifyRefused() {
    QFETCH(QByteArray, archive);
    QFETCH(QString, reason);
    Layout layout;
    QVERIFY(TestArchive::write(layout.archive, archive));
    ArchiveExtractor checked(layout.archive);
    QVERIFY(!checked.check());
    QVERIFY2(checked.errorString().contains(reason), qPrintable(checked.errorString()));
    QVERIFY(!checked.extractTo(layout.target));
    QVERIFY(!ArchiveExtractor(layout.archive).extractTo(layout.target));
    QVERIFY(!ArchiveExtractor(layout.archive).beginExtraction(layout.target));
    QVERIFY2(layout.untouched(), qPrintable(snapshot(layout.dir.path()).keys().join(QLatin1Char(' '))));
  }
};

QTEST_GUILESS_MAIN(TestArchiveExtractor)
#include "tst_archiveextractor.moc"
