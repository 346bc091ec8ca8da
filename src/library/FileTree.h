#pragma once

#include <QByteArray>
#include <QString>

/// Folder tree operations that never follow a symbolic link: every step works on an open folder
/// descriptor and looks at entries with lstat semantics, so a link planted in a tree is handled as
/// the link itself, never as what it points to.
namespace arvexhub::launcher::filetree {

/// Removes `path`: a symbolic link or a file is unlinked, a folder is emptied recursively and removed.
/// A missing path counts as removed.
bool removeTree(const QString& path);
/// The same for the entry `name` of the open folder `folderFd`.
bool removeTreeAt(int folderFd, const QByteArray& name);

/// Brings into `to` every entry of `from` that `to` lacks, descending into folders both have; files
/// are hard-linked when possible, else copied, symbolic links are recreated as links. `from` is only
/// read. Entries `to` already has are kept as they are.
enum class Sharing {
  HardLinks, ///< files are hard-linked when possible (within the library: nothing writes them in place)
  Copies,    ///< files are always copied (from outside the library: the two trees stay independent)
};
bool carryOver(const QString& from, const QString& to, QString* error, Sharing sharing = Sharing::HardLinks);

} // namespace arvexhub::launcher::filetree
