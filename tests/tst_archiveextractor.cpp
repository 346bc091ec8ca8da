#include <library/ArchiveExtractor.h>

#include <TestDir.h>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QBuffer>
#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QtTest>

#include <limits>
#include <optional>
#include <sys/stat.h>
#include <zlib.h>

using arvexhub::launcher::ArchiveExtractor;
using arvexhub::launcher::ArchiveLimits;
using arvexhub::test::TestDir;

namespace {

constexpr quint32 modeFile = 0100644;
constexpr quint32 modeExecutable = 0100755;
constexpr quint32 modeFolder = 040755;
constexpr quint32 modeSymlink = 0120777;
constexpr qint64 noLimit = std::numeric_limits<qint64>::max();

quint32 crcOf(const QByteArray& data) {
  return quint32(crc32(0, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
}

/// An entry written with QuaZip's own writing API.
struct Item {
  QString name;
  QByteArray data = {};
  quint32 mode = 0; // Unix mode, 0 for none
  int method = Z_DEFLATED;
  const char* password = nullptr;
};

QByteArray quazipArchive(const QList<Item>& items) {
  QBuffer buffer;
  QuaZip zip(&buffer);
  zip.setUtf8Enabled(true);
  if (!zip.open(QuaZip::mdCreate)) {
    return {};
  }
  for (const Item& item : items) {
    QuaZipNewInfo info(item.name);
    info.externalAttr = item.mode << 16;
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::WriteOnly, info, item.password, crcOf(item.data), item.method) ||
        file.write(item.data) != item.data.size()) {
      return {};
    }
    file.close();
  }
  zip.close();
  return zip.getZipError() == ZIP_OK ? buffer.data() : QByteArray();
}

/// An entry written byte by byte, for what QuaZip refuses to write: odd names and lying headers.
/// The data is always stored; the declared size and CRC may differ from it.
struct RawEntry {
  QByteArray name;
  QByteArray data = {};
  quint32 mode = 0;
  quint16 flags = 0;
  quint16 method = 0;
  std::optional<quint64> declaredSize = std::nullopt;
  std::optional<quint32> crc = std::nullopt;
};

void put16(QByteArray& out, quint64 value) {
  out.append(char(value & 0xff)).append(char((value >> 8) & 0xff));
}

void put32(QByteArray& out, quint64 value) {
  put16(out, value & 0xffff);
  put16(out, (value >> 16) & 0xffff);
}

void put64(QByteArray& out, quint64 value) {
  put32(out, value & 0xffffffff);
  put32(out, value >> 32);
}

/// The fields the local header and the central directory record share, from "version needed" on.
QByteArray commonFields(const RawEntry& entry, quint64 size, const QByteArray& extra) {
  QByteArray out;
  put16(out, extra.isEmpty() ? 20 : 45);
  put16(out, entry.flags);
  put16(out, entry.method);
  put32(out, 0x00210000); // 1980-01-01 00:00
  put32(out, entry.crc.value_or(crcOf(entry.data)));
  put32(out, quint64(entry.data.size()));
  put32(out, extra.isEmpty() ? size : 0xffffffff);
  put16(out, quint64(entry.name.size()));
  put16(out, quint64(extra.size()));
  return out;
}

QByteArray rawArchive(const QList<RawEntry>& entries) {
  QByteArray out;
  QByteArray directory;
  for (const RawEntry& entry : entries) {
    const quint64 size = entry.declaredSize.value_or(quint64(entry.data.size()));
    QByteArray extra; // a zip64 field carries sizes that do not fit in 32 bits
    if (size >= 0xffffffff) {
      put16(extra, 1);
      put16(extra, 8);
      put64(extra, size);
    }
    const quint64 offset = quint64(out.size());
    put32(out, 0x04034b50);
    out += commonFields(entry, size, extra) + entry.name + extra + entry.data;
    put32(directory, 0x02014b50);
    put16(directory, 0x031e); // made by Unix
    directory += commonFields(entry, size, extra);
    put32(directory, 0); // comment length, disk number
    put16(directory, 0); // internal attributes
    put32(directory, quint64(entry.mode) << 16);
    put32(directory, offset);
    directory += entry.name + extra;
  }
  const quint64 directoryOffset = quint64(out.size());
  out += directory;
  put32(out, 0x06054b50);
  put32(out, 0);
  put16(out, quint64(entries.size()));
  put16(out, quint64(entries.size()));
  put32(out, quint64(directory.size()));
  put32(out, directoryOffset);
  put16(out, 0);
  return out;
}

/// Rewrites the uncompressed size of every local and central record of a 32-bit archive.
QByteArray withDeclaredSize(QByteArray archive, quint32 size) {
  const auto patch = [&](const QByteArray& signature, qsizetype fieldOffset) {
    for (qsizetype at = archive.indexOf(signature); at >= 0; at = archive.indexOf(signature, at + 4)) {
      QByteArray field;
      put32(field, size);
      archive.replace(at + fieldOffset, 4, field);
    }
  };
  patch(QByteArrayLiteral("PK\x03\x04"), 22);
  patch(QByteArrayLiteral("PK\x01\x02"), 24);
  return archive;
}

/// Overwrites bytes in the middle of the data of the first entry.
QByteArray withDamagedData(QByteArray archive) {
  const qsizetype header = archive.indexOf(QByteArrayLiteral("PK\x03\x04"));
  const auto nameLength = qsizetype(quint8(archive.at(header + 26)) | quint8(archive.at(header + 27)) << 8);
  const auto extraLength = qsizetype(quint8(archive.at(header + 28)) | quint8(archive.at(header + 29)) << 8);
  const qsizetype data = header + 30 + nameLength + extraLength;
  const qsizetype end = archive.indexOf(QByteArrayLiteral("PK\x01\x02"));
  archive.replace((data + end) / 2, 8, QByteArray(8, '\xa5'));
  return archive;
}

/// Hard to compress, so that the data spans several reads of the copy buffer.
QByteArray patternData(qsizetype size) {
  QByteArray data(size, Qt::Uninitialized);
  quint32 state = 12345;
  for (char& c : data) {
    state = state * 1103515245u + 12345u;
    c = char(state >> 24);
  }
  return data;
}

QList<Item> goodItems(bool unixModes, int method) {
  const auto mode = [unixModes](quint32 m) { return unixModes ? m : 0u; };
  return {
      {QStringLiteral("launcher.command"), "#!/bin/sh\necho started\n", mode(modeExecutable), method},
      {QStringLiteral("data/"), {}, mode(modeFolder), method},
      {QStringLiteral("data/levels/level1.dat"), "level one", mode(modeFile), method},
      {QStringLiteral("data/big.bin"), patternData(3 * 1024 * 1024 + 17), mode(modeFile), method},
      {QStringLiteral("docs/caf\u00e9.txt"), "menu", mode(modeFile), method},
      {QStringLiteral("tools/run.sh"), "#!/bin/sh\n", mode(0100710), method},
      {QStringLiteral("empty.txt"), {}, mode(modeFile), method},
  };
}

/// Every path below `root`, symbolic links listed but not followed.
QStringList tree(const QString& root) {
  QStringList paths;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    paths.append(QDir(root).relativeFilePath(it.next()));
  }
  paths.sort();
  return paths;
}

int permissionsOf(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

/// A test folder with the archive, an empty target folder and an empty folder beside it.
struct Layout {
  TestDir dir;
  QString archive = dir.filePath(QStringLiteral("archive.zip"));
  QString target = dir.createDir(QStringLiteral("work/target"));
  QString outside = dir.createDir(QStringLiteral("outside"));

  bool write(const QByteArray& bytes) {
    QFile file(archive);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
  }
  /// True when nothing but the archive and the two empty folders is there.
  bool untouched() const {
    return tree(dir.path()) == QStringList{QStringLiteral("archive.zip"), QStringLiteral("outside"),
                                           QStringLiteral("work"), QStringLiteral("work/target")};
  }
};

} // namespace

class TestArchiveExtractor : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void cleanupTestCase();
  void extractsGoodArchive_data();
  void extractsGoodArchive();
  void refusesUnsafeNames_data();
  void refusesUnsafeNames();
  void refusesUnsafeEntries_data();
  void refusesUnsafeEntries();
  void refusesSymlinkStoredByInfoZip();
  void neverWritesThroughExistingLinks_data();
  void neverWritesThroughExistingLinks();
  void enforcesLimits_data();
  void enforcesLimits();
  void refusesWhenFreeSpaceTooSmall();
  void failsOnDamagedData_data();
  void failsOnDamagedData();
  void refusesUnreadableArchive_data();
  void refusesUnreadableArchive();
  void needsExistingTargetFolder();
  void makesExecutable_data();
  void makesExecutable();

private:
  void verifyRefused();

  mode_t savedUmask_ = 0;
};

void TestArchiveExtractor::initTestCase() {
  // A strict umask shows that the permissions are set, not inherited.
  savedUmask_ = ::umask(077);
}

void TestArchiveExtractor::cleanupTestCase() {
  ::umask(savedUmask_);
}

void TestArchiveExtractor::extractsGoodArchive_data() {
  QTest::addColumn<bool>("unixModes");
  QTest::addColumn<int>("method");
  QTest::newRow("deflated, Unix modes") << true << int(Z_DEFLATED);
  QTest::newRow("stored, Unix modes") << true << 0;
  QTest::newRow("deflated, no Unix modes") << false << int(Z_DEFLATED);
}

void TestArchiveExtractor::extractsGoodArchive() {
  QFETCH(bool, unixModes);
  QFETCH(int, method);
  const QList<Item> items = goodItems(unixModes, method);
  Layout layout;
  QVERIFY(layout.write(quazipArchive(items)));

  ArchiveExtractor extractor(layout.archive);
  QVERIFY2(extractor.check(), qPrintable(extractor.errorString()));
  QStringList names;
  qint64 total = 0;
  for (const Item& item : items) {
    names.append(item.name.endsWith(QLatin1Char('/')) ? item.name.chopped(1) : item.name);
    total += item.data.size();
  }
  QCOMPARE(extractor.entryNames(), names);
  QCOMPARE(extractor.entryCount(), int(items.size()));
  QCOMPARE(extractor.totalUnpackedSize(), total);
  QVERIFY2(extractor.extractTo(layout.target), qPrintable(extractor.errorString()));

  for (const Item& item : items) {
    const QString path = layout.target + QLatin1Char('/') + item.name;
    if (item.name.endsWith(QLatin1Char('/'))) {
      QCOMPARE(permissionsOf(path), 0755);
      continue;
    }
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(item.name));
    QCOMPARE(file.readAll(), item.data);
    QCOMPARE(permissionsOf(path), (item.mode & 0111) ? 0755 : 0644);
  }
  for (const char* folder : {"data/levels", "docs", "tools"}) {
    QCOMPARE(permissionsOf(layout.target + QLatin1Char('/') + QLatin1String(folder)), 0755);
  }
  QCOMPARE(tree(layout.outside), QStringList());

  const QString launcher = layout.target + QStringLiteral("/launcher.command");
  QVERIFY(ArchiveExtractor::makeExecutable(launcher));
  QCOMPARE(permissionsOf(launcher), 0755);
}

/// Columns: the archive, the same archive without its bad entries, and a word of the expected refusal.
void addRefusalColumns() {
  QTest::addColumn<QByteArray>("archive");
  QTest::addColumn<QByteArray>("control");
  QTest::addColumn<QString>("reason");
}

void TestArchiveExtractor::refusesUnsafeNames_data() {
  addRefusalColumns();
  const QList<RawEntry> good = {{"ok.txt", "fine"}};
  const auto row = [&good](const char* tag, const QList<RawEntry>& bad, const char* reason) {
    QTest::newRow(tag) << rawArchive(good + bad) << rawArchive(good) << QString::fromLatin1(reason);
  };
  row("parent folder", {{"../evil", "x"}}, "\"..\"");
  row("nested parent folder", {{"a/../../evil", "x"}}, "\"..\"");
  row("current folder component", {{"a/./b", "x"}}, "\".\"");
  row("absolute path", {{"/tmp/evil", "x"}}, "absolute");
  row("backslash", {{"..\\evil", "x"}}, "backslash");
  row("drive letter", {{"C:/x", "x"}}, "drive letter");
  row("drive letter without slash", {{"c:x", "x"}}, "drive letter");
  row("empty component", {{"a//b", "x"}}, "empty path component");
  row("empty name", {{"", "x"}}, "empty name");
  row("NUL in name", {{QByteArray("a\0/../../b", 10), "x"}}, "control character");
  row("control character", {{"a\001b", "x"}}, "control character");
  row("newline", {{"a\nb", "x"}}, "control character");
  row("not UTF-8", {{"caf\xe9.txt", "x"}}, "UTF-8");
  row("unsupported compression", {{"a.bin", "x", modeFile, 0, 99}}, "compression method");
  row("size overflows", {{"a.bin", "x", modeFile, 0, 0, 0xfffffffffffffff0ull}}, "overflows");
  row("folder with data", {{"dir/", "x"}}, "folder entry with data");
  row("file named like a folder", {{"dir/", {}, modeFile}}, "named like a folder");
}

void TestArchiveExtractor::refusesUnsafeNames() {
  verifyRefused();
}

void TestArchiveExtractor::refusesUnsafeEntries_data() {
  addRefusalColumns();
  const QList<Item> good = {{QStringLiteral("ok.txt"), "fine"}};
  const auto row = [&good](const char* tag, const QList<Item>& bad, const char* reason) {
    QTest::newRow(tag) << quazipArchive(good + bad) << quazipArchive(good) << QString::fromLatin1(reason);
  };
  const QString link = QStringLiteral("link");
  const QString linkFolder = QStringLiteral("linkdir/");
  row("symlink, then a file through it",
      {{link, "../../outside", modeSymlink}, {link + QStringLiteral("/evil.txt"), "evil"}}, "symbolic link");
  row("symlink folder entry",
      {{linkFolder, "../../outside", modeSymlink}, {linkFolder + QStringLiteral("evil.txt"), "evil"}},
      "symbolic link");
  row("character device", {{QStringLiteral("tty"), {}, 0020644}}, "character device");
  row("block device", {{QStringLiteral("disk"), {}, 0060644}}, "block device");
  row("FIFO", {{QStringLiteral("pipe"), {}, 0010644}}, "FIFO");
  row("socket", {{QStringLiteral("socket"), {}, 0140644}}, "socket");
  row("encrypted", {{QStringLiteral("secret.txt"), "secret", modeFile, Z_DEFLATED, "password"}}, "encrypted");
  row("duplicate file", {{QStringLiteral("same.txt"), "1"}, {QStringLiteral("same.txt"), "2"}}, "duplicate");
  row("duplicate folder", {{QStringLiteral("dir/")}, {QStringLiteral("dir/")}}, "duplicate");
  row("folder and file of one name", {{QStringLiteral("dir/")}, {QStringLiteral("dir"), "x"}}, "duplicate");
  row("file, then a path below it", {{QStringLiteral("a"), "x"}, {QStringLiteral("a/b"), "y"}},
      "same path as a folder");
  row("path below a later file", {{QStringLiteral("a/b/c"), "x"}, {QStringLiteral("a/b"), "y"}},
      "same path as a folder");
}

void TestArchiveExtractor::refusesUnsafeEntries() {
  verifyRefused();
}

/// The whole archive is refused, by check() and by extractTo() alone, and nothing is written anywhere.
void TestArchiveExtractor::verifyRefused() {
  QFETCH(QByteArray, archive);
  QFETCH(QByteArray, control);
  QFETCH(QString, reason);
  Layout layout;
  QVERIFY(layout.write(control));
  QVERIFY(ArchiveExtractor(layout.archive).check());

  QVERIFY(layout.write(archive));
  ArchiveExtractor checked(layout.archive);
  QVERIFY(!checked.check());
  QVERIFY2(checked.errorString().contains(reason), qPrintable(checked.errorString()));
  QCOMPARE(checked.entryCount(), 0);
  QCOMPARE(checked.entryNames(), QStringList());
  QVERIFY(!checked.extractTo(layout.target));

  ArchiveExtractor unchecked(layout.archive);
  QVERIFY(!unchecked.extractTo(layout.target));
  QVERIFY2(layout.untouched(), qPrintable(tree(layout.dir.path()).join(QLatin1Char(' '))));
}

void TestArchiveExtractor::refusesSymlinkStoredByInfoZip() {
  const QString zip = QStandardPaths::findExecutable(QStringLiteral("zip"));
  if (zip.isEmpty()) {
    QSKIP("Info-ZIP's zip is not installed");
  }
  Layout layout;
  const auto runZip = [&](const QString& folder, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(layout.dir.filePath(folder));
    process.start(zip, arguments);
    return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
  };
  // First a real symbolic link, then a file with a path through it, as a crafted archive has them.
  QVERIFY(!layout.dir.createDir(QStringLiteral("links")).isEmpty());
  QVERIFY(QFile::link(QStringLiteral("../../outside"), layout.dir.filePath(QStringLiteral("links/link"))));
  QVERIFY(!layout.dir.createFile(QStringLiteral("files/link/evil.txt"), "evil").isEmpty());
  QVERIFY(runZip(QStringLiteral("links"), {QStringLiteral("-qy"), layout.archive, QStringLiteral("link")}));
  QVERIFY(runZip(QStringLiteral("files"),
                 {QStringLiteral("-q"), layout.archive, QStringLiteral("link/evil.txt")}));

  ArchiveExtractor extractor(layout.archive);
  QVERIFY(!extractor.extractTo(layout.target));
  QVERIFY2(extractor.errorString().contains(QLatin1String("symbolic link")),
           qPrintable(extractor.errorString()));
  QCOMPARE(tree(layout.target), QStringList());
  QCOMPARE(tree(layout.outside), QStringList());
}

void TestArchiveExtractor::neverWritesThroughExistingLinks_data() {
  QTest::addColumn<QString>("linkName");
  QTest::addColumn<QString>("linkTarget");
  QTest::newRow("link in place of a folder") << QStringLiteral("data") << QStringLiteral("../../outside");
  QTest::newRow("link in place of a file")
      << QStringLiteral("launcher.command") << QStringLiteral("../../outside/victim");
}

void TestArchiveExtractor::neverWritesThroughExistingLinks() {
  QFETCH(QString, linkName);
  QFETCH(QString, linkTarget);
  Layout layout;
  QVERIFY(layout.write(quazipArchive(goodItems(true, Z_DEFLATED))));
  QVERIFY(QFile::link(linkTarget, layout.target + QLatin1Char('/') + linkName));

  ArchiveExtractor extractor(layout.archive);
  QVERIFY(!extractor.extractTo(layout.target));
  QCOMPARE(tree(layout.outside), QStringList());
}

void TestArchiveExtractor::enforcesLimits_data() {
  QTest::addColumn<QByteArray>("archive");
  QTest::addColumn<qint64>("maxEntries");
  QTest::addColumn<qint64>("maxTotalBytes");
  QTest::addColumn<bool>("accepted");

  const QList<Item> three = {
      {QStringLiteral("a"), "1"}, {QStringLiteral("b"), "2"}, {QStringLiteral("c"), "3"}};
  QTest::newRow("entries at the limit") << quazipArchive(three) << qint64(3) << noLimit << true;
  QTest::newRow("entries above the limit") << quazipArchive(three) << qint64(2) << noLimit << false;
  QTest::newRow("folders count as entries")
      << quazipArchive({{QStringLiteral("a"), "1"}, {QStringLiteral("d/")}}) << qint64(1) << noLimit << false;
  const QList<Item> hundred = {{QStringLiteral("a"), QByteArray(60, 'a')},
                               {QStringLiteral("b"), QByteArray(40, 'b')}};
  QTest::newRow("size at the limit") << quazipArchive(hundred) << qint64(10) << qint64(100) << true;
  QTest::newRow("size above the limit") << quazipArchive(hundred) << qint64(10) << qint64(99) << false;
  QTest::newRow("declared size above the limit")
      << rawArchive({{"a", QByteArray(10, 'a'), modeFile, 0, 0, 1000}}) << qint64(10) << qint64(100) << false;
  const quint64 nearMax = 0x7ffffffffffffff0ull;
  QTest::newRow("total size overflows")
      << rawArchive({{"a", "a", modeFile, 0, 0, nearMax}, {"b", "b", modeFile, 0, 0, nearMax}}) << qint64(10)
      << noLimit << false;
}

void TestArchiveExtractor::enforcesLimits() {
  QFETCH(QByteArray, archive);
  QFETCH(qint64, maxEntries);
  QFETCH(qint64, maxTotalBytes);
  QFETCH(bool, accepted);
  Layout layout;
  QVERIFY(layout.write(archive));
  ArchiveExtractor extractor(layout.archive, ArchiveLimits{maxEntries, maxTotalBytes});
  QCOMPARE(extractor.check(), accepted);
  QCOMPARE(extractor.extractTo(layout.target), accepted);
  if (!accepted) {
    QVERIFY(layout.untouched());
  }
}

void TestArchiveExtractor::refusesWhenFreeSpaceTooSmall() {
  Layout layout;
  const quint64 declared = quint64(1) << 50; // a pebibyte
  QVERIFY(QStorageInfo(layout.target).bytesAvailable() < qint64(declared));
  QVERIFY(layout.write(rawArchive({{"huge.bin", "x", modeFile, 0, 0, declared}})));

  ArchiveExtractor extractor(layout.archive, ArchiveLimits{10, noLimit});
  QVERIFY(extractor.check());
  QCOMPARE(extractor.totalUnpackedSize(), qint64(declared));
  QVERIFY(!extractor.extractTo(layout.target));
  QVERIFY2(extractor.errorString().contains(QLatin1String("free space")),
           qPrintable(extractor.errorString()));
  QVERIFY(layout.untouched());
}

void TestArchiveExtractor::failsOnDamagedData_data() {
  QTest::addColumn<QByteArray>("archive");
  QTest::addColumn<qint64>("declaredSize");

  const QByteArray data = "0123456789abcdef";
  QTest::newRow("wrong CRC") << rawArchive({{"a.txt", data, modeFile, 0, 0, {}, crcOf(data) ^ 1}})
                             << qint64(data.size());
  QTest::newRow("stored, declared larger")
      << rawArchive({{"a.txt", data, modeFile, 0, 0, 100}}) << qint64(100);
  QTest::newRow("stored, declared smaller") << rawArchive({{"a.txt", data, modeFile, 0, 0, 4}}) << qint64(4);

  const QByteArray big = patternData(300000);
  const QByteArray deflated = quazipArchive({{QStringLiteral("big.bin"), big, modeFile}});
  QTest::newRow("deflated, declared larger") << withDeclaredSize(deflated, 400000) << qint64(400000);
  QTest::newRow("deflated, declared smaller") << withDeclaredSize(deflated, 1000) << qint64(1000);
  QTest::newRow("damaged deflate stream") << withDamagedData(deflated) << qint64(big.size());
  const QByteArray text = QByteArray("All work and no play. ").repeated(20000);
  QTest::newRow("damaged compressible stream")
      << withDamagedData(quazipArchive({{QStringLiteral("text.txt"), text, modeFile}}))
      << qint64(text.size());
}

void TestArchiveExtractor::failsOnDamagedData() {
  QFETCH(QByteArray, archive);
  QFETCH(qint64, declaredSize);
  Layout layout;
  QVERIFY(layout.write(archive));
  ArchiveExtractor extractor(layout.archive);
  QVERIFY2(extractor.check(), qPrintable(extractor.errorString()));
  QVERIFY(!extractor.extractTo(layout.target));
  QVERIFY(!extractor.errorString().isEmpty());
  // What was written never goes past the declared size.
  for (const QString& path : tree(layout.target)) {
    QVERIFY(QFileInfo(layout.target + QLatin1Char('/') + path).size() <= declaredSize);
  }
  QCOMPARE(tree(layout.outside), QStringList());
}

void TestArchiveExtractor::refusesUnreadableArchive_data() {
  QTest::addColumn<QByteArray>("archive");
  QTest::addColumn<bool>("exists");
  const QByteArray good = quazipArchive(goodItems(true, Z_DEFLATED));
  QTest::newRow("not a zip") << QByteArray("just some text, not an archive\n") << true;
  QTest::newRow("empty file") << QByteArray() << true;
  QTest::newRow("no entries") << rawArchive({}) << true;
  QTest::newRow("cut in half") << good.left(good.size() / 2) << true;
  QTest::newRow("end record cut") << good.chopped(10) << true;
  QTest::newRow("missing file") << QByteArray() << false;
}

void TestArchiveExtractor::refusesUnreadableArchive() {
  QFETCH(QByteArray, archive);
  QFETCH(bool, exists);
  Layout layout;
  if (exists) {
    QVERIFY(layout.write(archive));
  }
  ArchiveExtractor extractor(layout.archive);
  QVERIFY(!extractor.check());
  QVERIFY(!extractor.errorString().isEmpty());
  QVERIFY(!extractor.extractTo(layout.target));
  QCOMPARE(tree(layout.target), QStringList());
}

void TestArchiveExtractor::needsExistingTargetFolder() {
  Layout layout;
  QVERIFY(layout.write(quazipArchive(goodItems(true, Z_DEFLATED))));
  const QString missing = layout.dir.filePath(QStringLiteral("work/missing"));
  ArchiveExtractor extractor(layout.archive);
  QVERIFY(!extractor.extractTo(missing));
  QVERIFY(!QFileInfo::exists(missing));
}

void TestArchiveExtractor::makesExecutable_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<bool>("result");
  QTest::newRow("file") << QStringLiteral("start.sh") << true;
  QTest::newRow("missing") << QStringLiteral("missing.sh") << false;
  QTest::newRow("folder") << QStringLiteral("folder") << false;
  QTest::newRow("symlink to a file") << QStringLiteral("link.sh") << false;
}

void TestArchiveExtractor::makesExecutable() {
  QFETCH(QString, path);
  QFETCH(bool, result);
  TestDir dir;
  const QString file = dir.createFile(QStringLiteral("start.sh"), "#!/bin/sh\n");
  QVERIFY(::chmod(QFile::encodeName(file).constData(), 0640) == 0);
  QVERIFY(!dir.createDir(QStringLiteral("folder")).isEmpty());
  QVERIFY(QFile::link(QStringLiteral("start.sh"), dir.filePath(QStringLiteral("link.sh"))));

  QCOMPARE(ArchiveExtractor::makeExecutable(dir.filePath(path)), result);
  QCOMPARE(permissionsOf(file), result ? 0751 : 0640);
}

QTEST_GUILESS_MAIN(TestArchiveExtractor)
#include "tst_archiveextractor.moc"
