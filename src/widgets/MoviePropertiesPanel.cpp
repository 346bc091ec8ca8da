#include "widgets/MoviePropertiesPanel.h"

#include "library/MovieListModel.h"

namespace arvexhub::launcher {

MoviePropertiesPanel::MoviePropertiesPanel(MovieListModel* model, QWidget* parent)
    : MediaPropertiesPanel(model,
                           {QStringLiteral("MoviePropertiesPanel"),
                            QStringLiteral("movieThumbnail"),
                            QStringLiteral("movieFullName"),
                            QStringLiteral("movieDetails"),
                            MovieRole::Thumbnail,
                            MovieRole::DownloadProgress,
                            {{QStringLiteral("<b>Studio:</b> %1"), MovieRole::Animation},
                             {QStringLiteral("<b>Publisher:</b> %1"), MovieRole::Publisher},
                             {QStringLiteral("<b>Released:</b> %1"), MovieRole::LaunchDate}}},
                           parent)
    , model_(model) {
  connect(model_, &MovieListModel::currentMovieChanged, this, &MoviePropertiesPanel::updateUi);
  followCurrentItem(model_, MovieRole::DownloadProgress);
}

MoviePropertiesPanel::~MoviePropertiesPanel() = default;

QString MoviePropertiesPanel::currentName() const {
  return model_->currentMovieName();
}

int MoviePropertiesPanel::rowByName(const QString& name) const {
  return model_->movieRowByName(name);
}

} // namespace arvexhub::launcher
