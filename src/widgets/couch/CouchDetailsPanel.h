#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QModelIndex;

namespace arvexhub::launcher {

class GameListModel;
struct CardKind;

/// What the couch mode says about the selected item, beneath the row of cards: its title, its
/// state (installed, in the catalogue, downloading, playing), the game's version and, once the
/// program keeps play times, how long it was played.
class CouchDetailsPanel final : public QWidget {
  Q_OBJECT

public:
  /// The play-time line of an item ("Played …"), or an empty text when it is not known. The
  /// program does not keep play times yet: until a provider is set, the line stays hidden.
  using PlayTimeText = std::function<QString(const QModelIndex& index)>;

  explicit CouchDetailsPanel(QWidget* parent = nullptr);
  ~CouchDetailsPanel() override;
  Q_DISABLE_COPY_MOVE(CouchDetailsPanel)

  void setPlayTimeText(PlayTimeText provider);
  /// Shows the item of a view of that kind; `games` gives a game's catalogue version (null for
  /// the other kinds). An invalid index empties the panel.
  void showItem(const QModelIndex& index, const CardKind& kind, const GameListModel* games);
  void applyTheme();

private:
  QLabel* addLine(const char* objectName);

  QLabel* title_{nullptr};
  QLabel* state_{nullptr};
  QLabel* version_{nullptr};
  QLabel* playTime_{nullptr};
  PlayTimeText playTimeText_;
};

} // namespace arvexhub::launcher
