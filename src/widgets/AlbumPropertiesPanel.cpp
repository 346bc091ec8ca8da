#include "widgets/AlbumPropertiesPanel.h"

#include "library/AlbumListModel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace arvexhub::launcher {

AlbumPropertiesPanel::AlbumPropertiesPanel(AlbumListModel* model, QWidget* parent)
    : PropertiesPanel(QStringLiteral("albumThumbnail"), parent)
    , model_(model) {
  setupUi();
  updateUi();
  connect(model_, &AlbumListModel::currentAlbumChanged, this,
          qOverload<const QString&>(&AlbumPropertiesPanel::updateUi));
  followShownRow();
}

AlbumPropertiesPanel::~AlbumPropertiesPanel() = default;

void AlbumPropertiesPanel::setupUi() {
  setObjectName(QStringLiteral("AlbumPropertiesPanel"));
  // Titles come from the catalogue: shown as text, never as markup.
  name_ = addLabel(QStringLiteral("albumName"), Qt::PlainText);
  name_->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 16px;"));
  details_ = addLabel(QStringLiteral("albumDetails"), Qt::RichText);
  contentLayout()->setAlignment(Qt::AlignTop);
}

void AlbumPropertiesPanel::followShownRow() {
  // The shown album can change under the panel: its cover arrives, its download ends, it is removed.
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
            const auto name = model_->currentAlbumName();
            const int row = name.isEmpty() ? -1 : model_->albumRowByName(name);
            const bool progressOnly = roles == QList<int>{AlbumRole::DownloadProgress};
            if (row >= topLeft.row() && row <= bottomRight.row() && !progressOnly) {
              updateUi(name);
            }
          });
  connect(model_, &QAbstractItemModel::modelReset, this, qOverload<>(&AlbumPropertiesPanel::updateUi));
}

void AlbumPropertiesPanel::clearLabels() {
  setPicture({});
  name_->clear();
  details_->clear();
}

void AlbumPropertiesPanel::updateUi() {
  updateUi(model_->currentAlbumName());
}

void AlbumPropertiesPanel::updateUi(const QString& name) {
  const int row = name.isEmpty() ? -1 : model_->albumRowByName(name);
  if (row < 0) {
    clearLabels();
    setEnabled(false);
    return;
  }
  setEnabled(true);
  const QModelIndex album = model_->index(row);
  const auto cover = album.data(AlbumRole::Thumbnail).value<QPixmap>();
  setPicture(cover);
  if (cover.isNull()) {
    thumbnail()->setText(QCoreApplication::translate("ArvexHubLauncher", "No Thumbnail"));
  }
  name_->setText(album.data(Qt::DisplayRole).toString());
  details_->setText(
      detailLines({{QStringLiteral("<b>Artist:</b> %1"), album.data(AlbumRole::Artist).toString()},
                   {QStringLiteral("<b>Publisher:</b> %1"), album.data(AlbumRole::Publisher).toString()},
                   {QStringLiteral("<b>Released:</b> %1"), album.data(AlbumRole::ReleaseDate).toString()}}));
  scrollToTop();
}

} // namespace arvexhub::launcher
