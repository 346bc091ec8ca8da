#include "widgets/cards/CardKind.h"

#include "library/AlbumData.h"
#include "library/EbookData.h"
#include "library/GameData.h"
#include "library/MovieData.h"

#include <QtGlobal>

namespace arvexhub::launcher {
namespace {

// The kinds side by side, an aspect a line, in the order games, movies, e-books, albums.
constexpr int pictureRole[] = {Qt::DecorationRole, MovieRole::Thumbnail, EbookRole::Thumbnail,
                               AlbumRole::Thumbnail};
constexpr int installedRole[] = {GameRole::Path, MovieRole::IsInstalled, EbookRole::IsInstalled,
                                 AlbumRole::IsInstalled};
constexpr bool installedIsPath[] = {true, false, false, false};
constexpr int busyRole[] = {GameRole::IsBusy, MovieRole::IsBusy, EbookRole::IsBusy, AlbumRole::IsBusy};
constexpr int progressRole[] = {GameRole::DownloadProgress, MovieRole::DownloadProgress,
                                EbookRole::DownloadProgress, AlbumRole::DownloadProgress};
constexpr int activeRole[] = {-1, MovieRole::IsPlaying, EbookRole::IsReading, AlbumRole::IsPlaying};
constexpr const char* activeBadge[] = {nullptr, QT_TRANSLATE_NOOP("ArvexHubLauncher", "Watching"),
                                       QT_TRANSLATE_NOOP("ArvexHubLauncher", "Reading"),
                                       QT_TRANSLATE_NOOP("ArvexHubLauncher", "Playing")};
constexpr PictureFit fit[] = {PictureFit::Fill, PictureFit::Fill, PictureFit::Height, PictureFit::Height};
constexpr bool clipToCard[] = {false, false, true, false};
constexpr bool splitNeedsProgress[] = {true, false, false, false};
constexpr int percentDecimals[] = {0, 1, 1, 1};
constexpr PercentBadgeShape percentBadge[] = {PercentBadgeShape::TextHeight, PercentBadgeShape::LowStrip,
                                              PercentBadgeShape::LowStrip, PercentBadgeShape::LowStrip};
constexpr Qt::PenCapStyle selectionCap[] = {Qt::RoundCap, Qt::SquareCap, Qt::SquareCap, Qt::SquareCap};
constexpr Qt::PenJoinStyle selectionJoin[] = {Qt::RoundJoin, Qt::BevelJoin, Qt::BevelJoin, Qt::BevelJoin};

constexpr CardKind column(int kind) {
  return {pictureRole[kind],  installedRole[kind],      installedIsPath[kind], busyRole[kind],
          progressRole[kind], activeRole[kind],         activeBadge[kind],     fit[kind],
          clipToCard[kind],   splitNeedsProgress[kind], percentDecimals[kind], percentBadge[kind],
          selectionCap[kind], selectionJoin[kind]};
}

} // namespace

const CardKind CardKind::games = column(0);
const CardKind CardKind::movies = column(1);
const CardKind CardKind::ebooks = column(2);
const CardKind CardKind::albums = column(3);

} // namespace arvexhub::launcher
