#pragma once

#include "widgets/PropertiesPanel.h"

class QLabel;

namespace arvexhub::launcher {

class AlbumListModel;

/// The details of the album model's current album beside the music grid: cover, title, artist,
/// publisher and release date. Empty and disabled without a current album.
class AlbumPropertiesPanel final : public PropertiesPanel {
  Q_OBJECT

public:
  AlbumPropertiesPanel(AlbumListModel* model, QWidget* parent = nullptr);
  ~AlbumPropertiesPanel() override;
  Q_DISABLE_COPY_MOVE(AlbumPropertiesPanel)

  /// Shows the album of that name.
  void updateUi(const QString& name);
  /// Shows the model's current album.
  void updateUi();

private:
  void setupUi();
  void followShownRow();
  void clearLabels();

  AlbumListModel* model_{nullptr};
  QLabel* name_{nullptr};
  QLabel* details_{nullptr};
};

} // namespace arvexhub::launcher
