#pragma once

#include "widgets/LibraryListView.h"

namespace arvexhub::launcher {

class GameListModel;

/// The games tab's grid of game cards over the game model's proxy. It keeps its selection
/// and the model's current game in step, starts a game on double-click or on the release of
/// Return, Enter or Space, offers a menu per game and says so when there are no games.
class GameListView final : public LibraryListView {
  Q_OBJECT

public:
  GameListView(Controller* controller, QWidget* parent = nullptr);
  ~GameListView() override;
  Q_DISABLE_COPY_MOVE(GameListView)

protected:
  void setCurrentItemName(const QString& name) override;
  int sourceRowByName(const QString& name) const override;
  void openItem(const QModelIndex& index) override;
  void fillContextMenu(QMenu* menu, const QModelIndex& index) override;
  QString emptyText() const override;

private:
  GameListModel* gameModel() const;
};

} // namespace arvexhub::launcher
