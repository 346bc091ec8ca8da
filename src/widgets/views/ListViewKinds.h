#pragma once

// The four library grids side by side: where each finds its model and current item, where it
// departs from the others and what it says when empty. Only the grids' own sources include it.

#include "library/AlbumListModel.h"
#include "library/EbookListModel.h"
#include "library/GameListModel.h"
#include "library/MovieListModel.h"
#include "widgets/cards/AlbumListItemDelegate.h"
#include "widgets/cards/EbookListItemDelegate.h"
#include "widgets/cards/GameListItemDelegate.h"
#include "widgets/cards/MovieListItemDelegate.h"
#include "widgets/views/KindListView.h"

#include <initializer_list>
#include <utility>

namespace arvexhub::launcher::listViewKinds {

using Traits = LibraryListView::Traits;

/// A grid's traits: its roles, and the flags it sets otherwise than the others.
inline Traits traits(int nameRole, int busyRole,
                     std::initializer_list<std::pair<bool Traits::*, bool>> flags) {
  Traits result;
  result.nameRole = nameRole;
  result.busyRole = busyRole;
  for (const auto& [flag, value] : flags) {
    result.*flag = value;
  }
  return result;
}

inline const KindListView<GameListModel, GameListItemDelegate>::Kind games{
    &Controller::model, &GameListModel::setCurrentGameName, &GameListModel::currentGameChanged,
    traits(Qt::DisplayRole, GameRole::IsBusy, {{&Traits::dragKeepsSelection, true}}),
    QT_TRANSLATE_NOOP("ArvexHubLauncher", "No Arvex games added yet.")};

// The panel keeps showing the last movie when the selection is cleared.
inline const KindListView<MovieListModel, MovieListItemDelegate>::Kind movies{
    &Controller::movieModel, &MovieListModel::setCurrentMovieName, &MovieListModel::currentMovieChanged,
    traits(MovieRole::Name, MovieRole::IsBusy, {{&Traits::clearingClearsCurrentItem, false}}),
    QT_TRANSLATE_NOOP("ArvexHubLauncher", "No movies added yet.")};

inline const KindListView<EbookListModel, EbookListItemDelegate>::Kind ebooks{
    &Controller::ebookModel, &EbookListModel::setCurrentEbookName, &EbookListModel::currentEbookChanged,
    traits(EbookRole::Name, EbookRole::IsBusy, {}),
    QT_TRANSLATE_NOOP("ArvexHubLauncher", "No ebooks added yet.")};

// Albums open on double-click only, and the grid's first album becomes current with the focus.
inline const KindListView<AlbumListModel, AlbumListItemDelegate>::Kind albums{
    &Controller::albumModel, &AlbumListModel::setCurrentAlbumName, &AlbumListModel::currentAlbumChanged,
    traits(AlbumRole::Name, AlbumRole::IsBusy,
           {{&Traits::keysOpen, false}, {&Traits::startsWithoutCurrent, false}}),
    QT_TRANSLATE_NOOP("ArvexHubLauncher", "No albums added yet.")};

} // namespace arvexhub::launcher::listViewKinds
