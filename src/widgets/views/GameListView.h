#pragma once

#include "widgets/views/KindListView.h"

namespace arvexhub::launcher {

struct GameListItemDelegate;
class GameListModel;

/// The games tab's grid of game cards over the game model's proxy. It keeps its selection
/// and the model's current game in step, starts a game on double-click or on the release of
/// Return, Enter or Space, offers a menu per game and says so when there are no games.
class GameListView final : public KindListView<GameListModel, GameListItemDelegate> {
  Q_OBJECT

public:
  GameListView(Controller* controller, QWidget* parent = nullptr);

protected:
  void openItem(const QModelIndex& index) override;
  void fillContextMenu(QMenu* menu, const QModelIndex& index) override;
};

} // namespace arvexhub::launcher
