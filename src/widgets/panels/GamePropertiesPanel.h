#pragma once

#include "widgets/panels/PropertiesPanel.h"

class QLabel;

namespace arvexhub::launcher {

class GameListModel;

/// The details of the game model's current game beside the games grid: picture, full name,
/// developer, publisher, release date and version. Empty and disabled without a current game.
class GamePropertiesPanel final : public PropertiesPanel {
  Q_OBJECT

public:
  GamePropertiesPanel(GameListModel* model, QWidget* parent = nullptr);
  ~GamePropertiesPanel() override;
  Q_DISABLE_COPY_MOVE(GamePropertiesPanel)

  void updateUi(const QString& name) override;

private:
  void setupUi();

  GameListModel* model_{nullptr};
  QLabel* fullName_{nullptr};
  QLabel* details_{nullptr};
  QLabel* version_{nullptr};
};

} // namespace arvexhub::launcher
