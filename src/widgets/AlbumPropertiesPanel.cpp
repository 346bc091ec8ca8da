#include "widgets/AlbumPropertiesPanel.h"

#include "library/AlbumListModel.h"

namespace arvexhub::launcher {

AlbumPropertiesPanel::AlbumPropertiesPanel(AlbumListModel* model, QWidget* parent)
    : MediaPropertiesPanel(model,
                           {QStringLiteral("AlbumPropertiesPanel"),
                            QStringLiteral("albumThumbnail"),
                            QStringLiteral("albumName"),
                            QStringLiteral("albumDetails"),
                            AlbumRole::Thumbnail,
                            AlbumRole::DownloadProgress,
                            {{QStringLiteral("<b>Artist:</b> %1"), AlbumRole::Artist},
                             {QStringLiteral("<b>Publisher:</b> %1"), AlbumRole::Publisher},
                             {QStringLiteral("<b>Released:</b> %1"), AlbumRole::ReleaseDate}}},
                           parent)
    , model_(model) {
  connect(model_, &AlbumListModel::currentAlbumChanged, this, &AlbumPropertiesPanel::updateUi);
  followCurrentItem(model_, AlbumRole::DownloadProgress);
}

AlbumPropertiesPanel::~AlbumPropertiesPanel() = default;

QString AlbumPropertiesPanel::currentName() const {
  return model_->currentAlbumName();
}

int AlbumPropertiesPanel::rowByName(const QString& name) const {
  return model_->albumRowByName(name);
}

} // namespace arvexhub::launcher
