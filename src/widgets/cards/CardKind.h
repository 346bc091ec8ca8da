#pragma once

#include "library/LibraryKind.h"

#include <Qt>

namespace arvexhub::launcher {

/// Where the percentage badge of a running download sits.
enum class PercentBadgeShape {
  TextHeight, ///< bottom-right, as high as the text and its padding
  LowStrip,   ///< bottom-right, from 16 px above the card's bottom, clipped to the card
};

/// One kind's cards: where its rows keep what a card shows, and how its card differs from the
/// other kinds' (see CardPainter for what they share).
struct CardKind {
  int pictureRole;
  int installedRole;
  bool installedIsPath;    ///< installed when the role holds a path (a start script), else a flag
  int busyRole;            ///< a download and installation is running
  int progressRole;        ///< 0..1 while downloading; negative or no value when unknown
  int activeRole;          ///< playing or being read; negative for a kind whose cards show no state
  const char* activeBadge; ///< source text in "ArvexHubLauncher", shown while active and not busy
  PictureFit fit;
  bool clipToCard;         ///< clip everything to the card's rounded outline
  bool splitNeedsProgress; ///< a busy row without a known progress looks idle
  int percentDecimals;
  PercentBadgeShape percentBadge;
  Qt::PenCapStyle selectionCap;
  Qt::PenJoinStyle selectionJoin;

  static const CardKind games;
  static const CardKind movies;
  static const CardKind ebooks;
  static const CardKind albums;
};

} // namespace arvexhub::launcher
