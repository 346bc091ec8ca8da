#include "widgets/panels/MoviePropertiesPanel.h"

#include "library/MovieListModel.h"

namespace arvexhub::launcher {

MoviePropertiesPanel::MoviePropertiesPanel(MovieListModel* model, QWidget* parent)
    : MediaPropertiesPanel(model, Kind::Movies, parent) {
  follow(model, &MovieListModel::currentMovieName, &MovieListModel::currentMovieChanged);
}

} // namespace arvexhub::launcher
