#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace arvexhub::test {

/// The game the reliability tests install, update and remove: two versions whose archives differ
/// in their start script, in some data files and in files only one of them has, so a half-done
/// installation cannot pass for either.
///
/// Its start script prints "version <n>" and then does what ARVEXHUB_TEST_GAME says: nothing
/// (ends at once), "run" (keeps running with a child process until stopped) or "ignore-term"
/// (the same, deaf to SIGTERM). While running it records its own and its child's process ids in
/// the folder ARVEXHUB_TEST_PIDS names, when set.
class TestGame {
public:
  static const QString name;

  /// The zip archive of version 1 or 2.
  static QByteArray archive(int version);
  /// The files the archive of that version holds, path -> content.
  static QMap<QString, QByteArray> files(int version);
  /// The catalogue offering that version at `url`.
  static QByteArray catalogue(int version, const QUrl& url);
  /// What the game's folder must hold once that version is installed over `previous` (0: a first
  /// installation), with the user's `extra` files: the version's files and "VERSION", plus
  /// whatever the previous version had that this one lacks (it is kept), plus `extra`.
  static QMap<QString, QByteArray> installedFolder(int version, int previous,
                                                   const QMap<QString, QByteArray>& extra = {});

  /// Every file below `folder`, relative path -> content; a symbolic link or anything else that
  /// is not a plain file or folder is listed with the content "<not a file>".
  static QMap<QString, QByteArray> readFolder(const QString& folder);
  /// Entries an interrupted installation would leave: ".staging-*" and ".old-*" in the games
  /// folder, "arvexhub-*.part" in the temporary folder.
  static QStringList leftovers(const QString& gamesFolder, const QString& temporaryFolder);
};

} // namespace arvexhub::test
