#pragma once

#include <QtGlobal>

namespace arvexhub::launcher {

/// Where an item's download stands, for the cards, the panels and the menus.
enum class DownloadState : int {
  None = 0,   ///< no download
  Queued,     ///< waits for one of the transfers allowed at once
  Running,    ///< transferring (or waiting to try again after a dropped connection)
  Paused,     ///< stopped by the user or by the end of the program; the part on disk is kept
  Installing, ///< checked, unpacked and swapped in: can be neither paused nor cancelled
};

/// The item-data role every kind's model answers with the row's DownloadState (as an int).
inline constexpr int downloadStateRole = 400;

/// How far a download has come, for a progress line.
struct DownloadStatus {
  DownloadState state{DownloadState::None};
  double fraction{-1.0};      ///< 0..1; negative when the size is unknown
  double bytesPerSecond{0.0}; ///< 0 while unknown
  qint64 secondsLeft{-1};     ///< negative while unknown
};

} // namespace arvexhub::launcher
