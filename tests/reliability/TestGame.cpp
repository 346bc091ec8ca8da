#include "TestGame.h"

#include "TestArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

namespace arvexhub::test {
namespace {

const QString startScript = QStringLiteral("launcher.command");

/// Bytes that do not compress, so the archive is as large as its files and downloads in many
/// pieces; the same for the same seed.
QByteArray noise(quint32 seed, int size) {
  QRandomGenerator generator(seed);
  QByteArray bytes(size, Qt::Uninitialized);
  for (char& byte : bytes) {
    byte = static_cast<char>(generator.bounded(256));
  }
  return bytes;
}

QByteArray script(int version) {
  return QByteArray("#!/bin/sh\n"
                    "echo \"version ") +
         QByteArray::number(version) +
         QByteArray(
             "\"\n"
             "case \"$ARVEXHUB_TEST_GAME\" in\n"
             "  ignore-term) trap '' TERM ;;\n"
             "  run) ;;\n"
             "  *) exit 0 ;;\n"
             "esac\n"
             "sleep 300 &\n"
             "child=$!\n"
             "if [ -n \"$ARVEXHUB_TEST_PIDS\" ]; then echo \"$$ $child\" > \"$ARVEXHUB_TEST_PIDS/$$\"; fi\n"
             "while kill -0 \"$child\" 2>/dev/null; do wait \"$child\"; done\n");
}

} // namespace

const QString TestGame::name = QStringLiteral("Crash Test Racer");

QMap<QString, QByteArray> TestGame::files(int version) {
  QMap<QString, QByteArray> files;
  files.insert(startScript, script(version));
  files.insert(QStringLiteral("data/level1.dat"), noise(version * 100 + 1, 240 * 1024));
  files.insert(version == 1 ? QStringLiteral("data/common.dat") : QStringLiteral("data/level2.dat"),
               noise(version * 100 + 2, 160 * 1024));
  for (int map = 0; map < 16; ++map) {
    // Half of the maps change between the versions.
    const int edition = map % 2 == 0 ? 1 : version;
    files.insert(QStringLiteral("data/maps/map%1.txt").arg(map),
                 QByteArray("map ") + QByteArray::number(map) + " edition " + QByteArray::number(edition) +
                     QByteArray(512, static_cast<char>('a' + map)));
  }
  return files;
}

QByteArray TestGame::archive(int version) {
  QList<TestArchive::Entry> entries;
  const auto contents = files(version);
  for (auto it = contents.cbegin(); it != contents.cend(); ++it) {
    entries.append({it.key(), it.value(), it.key() == startScript ? 0100755u : 0100644u});
  }
  return TestArchive::zip(entries);
}

QByteArray TestGame::catalogue(int version, const QUrl& url) {
  const QJsonObject game{{QStringLiteral("name"), name},
                         {QStringLiteral("fullName"), name},
                         {QStringLiteral("developer"), QStringLiteral("Arvex Games")},
                         {QStringLiteral("version"), QStringLiteral("%1.0").arg(version)},
                         {QStringLiteral("url"), url.toString()}};
  return QJsonDocument(QJsonArray{game}).toJson(QJsonDocument::Compact);
}

QMap<QString, QByteArray> TestGame::installedFolder(int version, int previous,
                                                    const QMap<QString, QByteArray>& extra) {
  QMap<QString, QByteArray> expected =
      previous > 0 ? installedFolder(previous, 0) : QMap<QString, QByteArray>{};
  const auto contents = files(version);
  for (auto it = contents.cbegin(); it != contents.cend(); ++it) {
    expected.insert(it.key(), it.value());
  }
  expected.insert(QStringLiteral("VERSION"), QByteArray::number(version) + ".0");
  for (auto it = extra.cbegin(); it != extra.cend(); ++it) {
    expected.insert(it.key(), it.value());
  }
  return expected;
}

QMap<QString, QByteArray> TestGame::readFolder(const QString& folder) {
  QMap<QString, QByteArray> contents;
  const QDir root(folder);
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    const QString relative = root.relativeFilePath(info.filePath());
    if (info.isSymLink() || (!info.isFile() && !info.isDir())) {
      contents.insert(relative, QByteArrayLiteral("<not a file>"));
    } else if (info.isFile()) {
      QFile file(info.filePath());
      contents.insert(relative,
                      file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("<unreadable>"));
    }
  }
  return contents;
}

QStringList TestGame::leftovers(const QString& gamesFolder, const QString& temporaryFolder) {
  const auto hidden = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
  QStringList found =
      QDir(gamesFolder).entryList({QStringLiteral(".staging-*"), QStringLiteral(".old-*")}, hidden);
  for (const QString& part : QDir(temporaryFolder).entryList({QStringLiteral("arvexhub-*.part")}, hidden)) {
    found.append(QDir(temporaryFolder).filePath(part));
  }
  return found;
}

} // namespace arvexhub::test
