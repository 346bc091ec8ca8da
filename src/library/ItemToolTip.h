#pragma once

#include <QString>

namespace arvexhub::launcher {

/// What a card's tool tip says of its item: the name, then its state, then its play time.
struct ItemToolTip {
  QString title;
  bool installed{false};
  bool busy{false};
  double progress{-1.0}; ///< 0..1 while downloading
  bool updateAvailable{false};
  QString installedVersion; ///< empty when the kind has none or it is unknown
  QString offeredVersion;
  qint64 archiveSize{0};
  QString playTime; ///< empty when never played

  /// The lines, translated. A name that would read as markup is escaped: names come from
  /// catalogues and folders, and the tool tip shows them as they are.
  QString text() const;

private:
  QString state() const;
};

} // namespace arvexhub::launcher
