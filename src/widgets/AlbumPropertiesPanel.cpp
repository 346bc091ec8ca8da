#include "widgets/AlbumPropertiesPanel.h"

#include "library/AlbumListModel.h"

namespace arvexhub::launcher {

AlbumPropertiesPanel::AlbumPropertiesPanel(AlbumListModel* model, QWidget* parent)
    : MediaPropertiesPanel(model, Kind::Albums, parent) {
  follow(model, &AlbumListModel::currentAlbumName, &AlbumListModel::currentAlbumChanged);
}

} // namespace arvexhub::launcher
