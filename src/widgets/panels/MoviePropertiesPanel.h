#pragma once

#include "widgets/panels/MediaPropertiesPanel.h"

namespace arvexhub::launcher {

class MovieListModel;

/// The details of the movie model's current movie beside the movies grid: picture, title,
/// studio, publisher and release date. Empty and disabled without a current movie.
class MoviePropertiesPanel final : public MediaPropertiesPanel {
  Q_OBJECT

public:
  MoviePropertiesPanel(MovieListModel* model, QWidget* parent = nullptr);
};

} // namespace arvexhub::launcher
