#pragma once

#include "widgets/views/KindListView.h"

namespace arvexhub::launcher {

struct MovieListItemDelegate;
class MovieListModel;

/// The movies tab's grid of movie cards over the movie model's proxy. It keeps its selection
/// and the model's current movie in step, plays a movie (or downloads one from the catalogue)
/// on double-click, plays on the release of Return, Enter or Space, offers a menu per movie
/// and says so when there are no movies.
class MovieListView final : public KindListView<MovieListModel, MovieListItemDelegate> {
  Q_OBJECT

public:
  MovieListView(Controller* controller, QWidget* parent = nullptr);

protected:
  void openItem(const QModelIndex& index) override;
  void activateItem(const QModelIndex& index) override;
  void fillContextMenu(QMenu* menu, const QModelIndex& index) override;

private:
  void addWatchEntries(QMenu* menu, const QModelIndex& index);
};

} // namespace arvexhub::launcher
