#include "library/FolderImport.h"

#include "library/ArchiveExtractor.h"
#include "library/FileTree.h"
#include "library/StagedInstall.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>

namespace arvexhub::launcher {
namespace {
QString firstMatch(const QString& folder, const QString& pattern) {
  QDirIterator files(folder, {pattern}, QDir::Files | QDir::NoSymLinks);
  return files.hasNext() ? files.next() : QString();
}
} // namespace

QString FolderImport::run(QString* error) const {
  StagedInstall staged(libraryFolder, itemName);
  QString reason;
  if (!staged.create() ||
      !filetree::carryOver(source, staged.stagingPath(), &reason, filetree::Sharing::Copies)) {
    *error = QCoreApplication::translate("ArvexHubLauncher", "The folder could not be copied: %1")
                 .arg(reason.isEmpty() ? staged.errorString() : reason);
    return {};
  }
  const auto mainFile =
      mainFilePattern.isEmpty() ? QString() : firstMatch(staged.stagingPath(), mainFilePattern);
  if (!mainFilePattern.isEmpty() && mainFile.isEmpty()) {
    *error = QCoreApplication::translate("ArvexHubLauncher", "The folder holds no start file.");
    return {};
  }
  if (mainFileExecutable && !ArchiveExtractor::makeExecutable(mainFile)) {
    *error = QCoreApplication::translate("ArvexHubLauncher", "The start file cannot be made executable.");
    return {};
  }
  if (!staged.commit()) {
    *error = QCoreApplication::translate("ArvexHubLauncher", "The files could not be put in place: %1")
                 .arg(staged.errorString());
    return {};
  }
  const QDir item(staged.itemPath());
  return mainFile.isEmpty() ? item.absolutePath() : item.absoluteFilePath(QFileInfo(mainFile).fileName());
}

} // namespace arvexhub::launcher
