#pragma once

#include "widgets/PropertiesPanel.h"

class QLabel;

namespace arvexhub::launcher {

class MovieListModel;

/// The details of the movie model's current movie beside the movies grid: picture, title,
/// studio, publisher and release date. Empty and disabled without a current movie.
class MoviePropertiesPanel final : public PropertiesPanel {
  Q_OBJECT

public:
  MoviePropertiesPanel(MovieListModel* model, QWidget* parent = nullptr);
  ~MoviePropertiesPanel() override;
  Q_DISABLE_COPY_MOVE(MoviePropertiesPanel)

  /// Shows the movie of that name.
  void updateUi(const QString& name);

private:
  void setupUi();
  void followShownRow();
  void clearLabels();

  MovieListModel* model_{nullptr};
  QLabel* fullName_{nullptr};
  QLabel* details_{nullptr};
};

} // namespace arvexhub::launcher
