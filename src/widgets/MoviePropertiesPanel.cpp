#include "widgets/MoviePropertiesPanel.h"

#include "library/MovieListModel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace arvexhub::launcher {

MoviePropertiesPanel::MoviePropertiesPanel(MovieListModel* model, QWidget* parent)
    : PropertiesPanel(QStringLiteral("movieThumbnail"), parent)
    , model_(model) {
  setupUi();
  updateUi(model_->currentMovieName());
  connect(model_, &MovieListModel::currentMovieChanged, this, &MoviePropertiesPanel::updateUi);
  followShownRow();
}

MoviePropertiesPanel::~MoviePropertiesPanel() = default;

void MoviePropertiesPanel::setupUi() {
  setObjectName(QStringLiteral("MoviePropertiesPanel"));
  // Titles come from the catalogue: shown as text, never as markup.
  fullName_ = addLabel(QStringLiteral("movieFullName"), Qt::PlainText);
  fullName_->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 16px;"));
  details_ = addLabel(QStringLiteral("movieDetails"), Qt::RichText);
  contentLayout()->setAlignment(Qt::AlignTop);
}

void MoviePropertiesPanel::followShownRow() {
  // The shown movie can change under the panel: its picture or title arrives, its download ends.
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
            const int row = model_->movieRowByName(model_->currentMovieName());
            const bool progressOnly = roles == QList<int>{MovieRole::DownloadProgress};
            if (row >= topLeft.row() && row <= bottomRight.row() && !progressOnly) {
              updateUi(model_->currentMovieName());
            }
          });
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { updateUi(model_->currentMovieName()); });
}

void MoviePropertiesPanel::clearLabels() {
  setPicture({});
  fullName_->clear();
  details_->clear();
}

void MoviePropertiesPanel::updateUi(const QString& name) {
  const int row = name.isEmpty() ? -1 : model_->movieRowByName(name);
  if (row < 0) {
    clearLabels();
    setEnabled(false);
    return;
  }
  setEnabled(true);
  const QModelIndex movie = model_->index(row);
  const auto picture = movie.data(MovieRole::Thumbnail).value<QPixmap>();
  setPicture(picture);
  if (picture.isNull()) {
    thumbnail()->setText(QCoreApplication::translate("ArvexHubLauncher", "No Thumbnail"));
  }
  fullName_->setText(movie.data(Qt::DisplayRole).toString());
  details_->setText(
      detailLines({{QStringLiteral("<b>Studio:</b> %1"), movie.data(MovieRole::Animation).toString()},
                   {QStringLiteral("<b>Publisher:</b> %1"), movie.data(MovieRole::Publisher).toString()},
                   {QStringLiteral("<b>Released:</b> %1"), movie.data(MovieRole::LaunchDate).toString()}}));
  scrollToTop();
}

} // namespace arvexhub::launcher
