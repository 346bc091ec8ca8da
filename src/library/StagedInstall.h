#pragma once

#include <QString>
#include <QtGlobal>

namespace arvexhub::launcher {

/// Installs an unpacked item into its library folder atomically. The new version is prepared in a
/// hidden staging folder beside the item and swapped in with a single rename, so whatever fails or
/// whenever the program is killed, the installed version is still complete and the files the user's
/// game wrote into its folder (saves, settings) are kept.
class StagedInstall final {
public:
  /// `itemName` must already be a safe single path component.
  StagedInstall(const QString& libraryFolder, QString itemName);
  /// Discards the staging folder if it was not committed.
  ~StagedInstall();
  Q_DISABLE_COPY_MOVE(StagedInstall)

  /// Creates a fresh hidden staging folder beside the item: <libraryFolder>/.staging-<itemName>-<random>.
  bool create();
  QString stagingPath() const;
  /// <libraryFolder>/<itemName>
  QString itemPath() const;
  /// Makes the staging folder the item folder. Entries of an installed version that the new one lacks
  /// (saves, settings, downloaded extras) are carried over first (hard links when possible, else copies)
  /// without touching the installed folder, then both folders are exchanged atomically and the old one is
  /// removed. On failure the installed version is left as it was and false is returned.
  bool commit();
  /// Removes the staging folder unless it was committed.
  void discard();
  QString errorString() const;

  /// At start-up: removes the ".staging-*" left-overs of an interrupted install; an ".old-<name>-*"
  /// folder is renamed back to <name> when that is missing (killed between two renames), else removed.
  static void cleanupLeftovers(const QString& libraryFolder);
  /// Deletes a direct child folder of the library folder and everything in it without ever following a
  /// symbolic link: when `path` is a symbolic link only the link goes. Anything that is not a direct child
  /// of the library folder once canonicalized removes nothing and returns false.
  static bool removeItemFolder(const QString& libraryFolder, const QString& path);

private:
  bool swapIn(QString* oldFolder);
  bool swapByRenames(QString* oldFolder);
  bool moveIntoPlace();
  bool fail(const QString& message);

  QString libraryFolder_;
  QString itemName_;
  QString stagingPath_;
  QString error_;
  bool active_ = false;
};

} // namespace arvexhub::launcher
