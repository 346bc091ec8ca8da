#pragma once

#include "widgets/panels/PropertiesPanel.h"

class QLabel;

namespace arvexhub::launcher {

class GameListModel;
struct GameData;

/// The details of the game model's current game beside the games grid: picture, full name,
/// developer, publisher, release date, version and play time. Empty and disabled without a current
/// game.
class GamePropertiesPanel final : public PropertiesPanel {
  Q_OBJECT

public:
  GamePropertiesPanel(GameListModel* model, QWidget* parent = nullptr);
  ~GamePropertiesPanel() override;
  Q_DISABLE_COPY_MOVE(GamePropertiesPanel)

  void updateUi(const QString& name) override;

private:
  void setupUi();
  QString playTimeText(const GameData& game) const;

  GameListModel* model_{nullptr};
  QLabel* fullName_{nullptr};
  QLabel* details_{nullptr};
  QLabel* version_{nullptr};
  QLabel* playTime_{nullptr};
};

} // namespace arvexhub::launcher
