#include "TestArchive.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QBuffer>
#include <QFile>

namespace arvexhub::test {

QByteArray TestArchive::zip(const QList<Entry>& entries) {
  QBuffer buffer;
  QuaZip archive(&buffer);
  if (!archive.open(QuaZip::mdCreate)) {
    return {};
  }
  for (const auto& entry : entries) {
    QuaZipNewInfo info(entry.name);
    if (entry.unixMode != 0) {
      info.externalAttr = entry.unixMode << 16;
    }
    QuaZipFile file(&archive);
    if (!file.open(QIODevice::WriteOnly, info) || file.write(entry.content) != entry.content.size()) {
      return {};
    }
    file.close();
  }
  archive.close();
  return archive.getZipError() == 0 ? buffer.data() : QByteArray();
}

QByteArray TestArchive::game(const QByteArray& greeting, const QList<Entry>& extra) {
  QList<Entry> entries{{QStringLiteral("launcher.command"),
                        QByteArray("#!/bin/bash\necho \"") + greeting + QByteArray("\"\n"), 0100644}};
  entries.append(extra);
  return zip(entries);
}

bool TestArchive::write(const QString& path, const QByteArray& archive) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(archive) == archive.size();
}

} // namespace arvexhub::test
