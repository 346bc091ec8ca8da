#pragma once

#include <QWidget>

class QLabel;
class QModelIndex;

namespace arvexhub::launcher {

class GameListModel;
struct CardKind;

/// What the couch mode says about the selected item, beneath the row of cards: its title, its
/// state (installed, in the catalogue, downloading, playing), the game's version and how long it
/// was played.
class CouchDetailsPanel final : public QWidget {
  Q_OBJECT

public:
  explicit CouchDetailsPanel(QWidget* parent = nullptr);
  ~CouchDetailsPanel() override;
  Q_DISABLE_COPY_MOVE(CouchDetailsPanel)

  /// Shows the item of a view of that kind; `games` gives a game's catalogue version and play
  /// time (null for the other kinds). An invalid index empties the panel.
  void showItem(const QModelIndex& index, const CardKind& kind, const GameListModel* games);
  void applyTheme();

private:
  QLabel* addLine(const char* objectName);

  QLabel* title_{nullptr};
  QLabel* state_{nullptr};
  QLabel* version_{nullptr};
  QLabel* playTime_{nullptr};
};

} // namespace arvexhub::launcher
