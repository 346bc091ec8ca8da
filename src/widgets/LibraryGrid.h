#pragma once

class QListView;

namespace arvexhub::launcher {

/// What the four library grids share: a wrapping, non-movable grid of uniform cards, one
/// selected at a time, scrolled by pixel.
void setUpLibraryGrid(QListView* view);

/// Return, Enter and Space start the current item of a grid, on their release.
bool isActivationKey(int key);

} // namespace arvexhub::launcher
