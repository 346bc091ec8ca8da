#pragma once

#include "widgets/panels/MediaPropertiesPanel.h"

namespace arvexhub::launcher {

class AlbumListModel;

/// The details of the album model's current album beside the music grid: cover, title, artist,
/// publisher and release date. Empty and disabled without a current album.
class AlbumPropertiesPanel final : public MediaPropertiesPanel {
  Q_OBJECT

public:
  AlbumPropertiesPanel(AlbumListModel* model, QWidget* parent = nullptr);

  using MediaPropertiesPanel::updateUi;
  /// Shows the album model's current album.
  void updateUi();

private:
  AlbumListModel* albums_;
};

} // namespace arvexhub::launcher
