#include "widgets/panels/AlbumPropertiesPanel.h"

#include "library/AlbumListModel.h"

namespace arvexhub::launcher {

AlbumPropertiesPanel::AlbumPropertiesPanel(AlbumListModel* model, QWidget* parent)
    : MediaPropertiesPanel(model, Kind::Albums, parent)
    , albums_(model) {
  follow(model, &AlbumListModel::currentAlbumName, &AlbumListModel::currentAlbumChanged);
}

void AlbumPropertiesPanel::updateUi() {
  updateUi(albums_->currentAlbumName());
}

} // namespace arvexhub::launcher
