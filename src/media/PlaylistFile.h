#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace arvexhub::launcher {

/// One entry read from a playlist file: its URL and the title the file gives it, if any.
struct PlaylistEntry {
  QUrl url;
  QString title;
};

/// Reading and writing the media player's ".m3u" playlist files. This program writes one
/// absolute file path per line and nothing else; it reads that as well as the files of other
/// players ("#" comment and directive lines, "#EXTINF" titles, paths relative to the file's
/// folder, "file:" URLs).
namespace PlaylistFile {

/// The suffix every playlist the program saves carries.
QString suffix();

/// Whether a name typed by the user may become a playlist file name in the playlists folder:
/// one safe file name, so nothing lands outside that folder.
bool isValidName(const QString& name);

/// Writes the entries, replacing the file only once all of it is written: a failure leaves a
/// previous playlist of that name as it was. Refuses to write through a symbolic link.
bool write(const QString& path, const QList<QUrl>& urls);

/// The entries of the file in order; nothing when it cannot be read.
std::optional<QList<PlaylistEntry>> read(const QString& path);

} // namespace PlaylistFile

} // namespace arvexhub::launcher
