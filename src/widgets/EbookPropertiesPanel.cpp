#include "widgets/EbookPropertiesPanel.h"

#include "library/EbookListModel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace arvexhub::launcher {

EbookPropertiesPanel::EbookPropertiesPanel(EbookListModel* model, QWidget* parent)
    : PropertiesPanel(QStringLiteral("ebookThumbnail"), parent)
    , model_(model) {
  setupUi();
  updateUi(model_->currentEbookName());
  connect(model_, &EbookListModel::currentEbookChanged, this, &EbookPropertiesPanel::updateUi);
  followShownRow();
}

EbookPropertiesPanel::~EbookPropertiesPanel() = default;

void EbookPropertiesPanel::setupUi() {
  setObjectName(QStringLiteral("EbookPropertiesPanel"));
  // Titles come from the catalogue: shown as text, never as markup.
  fullName_ = addLabel(QStringLiteral("ebookFullName"), Qt::PlainText);
  fullName_->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 16px;"));
  details_ = addLabel(QStringLiteral("ebookDetails"), Qt::RichText);
  contentLayout()->setAlignment(Qt::AlignTop);
}

void EbookPropertiesPanel::followShownRow() {
  // The shown e-book can change under the panel: its cover or title arrives, it is removed.
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
            const int row = model_->ebookRowByName(model_->currentEbookName());
            const bool progressOnly = roles == QList<int>{EbookRole::DownloadProgress};
            if (row >= topLeft.row() && row <= bottomRight.row() && !progressOnly) {
              updateUi(model_->currentEbookName());
            }
          });
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { updateUi(model_->currentEbookName()); });
}

void EbookPropertiesPanel::clearLabels() {
  setPicture({});
  fullName_->clear();
  details_->clear();
}

void EbookPropertiesPanel::updateUi(const QString& name) {
  const int row = name.isEmpty() ? -1 : model_->ebookRowByName(name);
  if (row < 0) {
    clearLabels();
    setEnabled(false);
    return;
  }
  setEnabled(true);
  const QModelIndex ebook = model_->index(row);
  const auto cover = ebook.data(EbookRole::Thumbnail).value<QPixmap>();
  setPicture(cover);
  if (cover.isNull()) {
    thumbnail()->setText(QCoreApplication::translate("ArvexHubLauncher", "No Thumbnail"));
  }
  fullName_->setText(ebook.data(Qt::DisplayRole).toString());
  details_->setText(detailLines(
      {{QStringLiteral("<b>Author:</b> %1"), ebook.data(EbookRole::Author).toString()},
       {QStringLiteral("<b>Publisher:</b> %1"), ebook.data(EbookRole::Publisher).toString()},
       {QStringLiteral("<b>Published:</b> %1"), ebook.data(EbookRole::PublicationDate).toString()}}));
  scrollToTop();
}

} // namespace arvexhub::launcher
