#include "widgets/MediaPropertiesPanel.h"

#include "library/LibraryModel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

#include <utility>

namespace arvexhub::launcher {

MediaPropertiesPanel::MediaPropertiesPanel(LibraryModel* model, Fields fields, QWidget* parent)
    : PropertiesPanel(fields.thumbnailName, parent)
    , model_(model)
    , fields_(std::move(fields)) {
  setObjectName(fields_.panelName);
  // Titles come from the catalogue: shown as text, never as markup.
  title_ = addLabel(fields_.titleName, Qt::PlainText);
  title_->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 16px;"));
  details_ = addLabel(fields_.detailsName, Qt::RichText);
  contentLayout()->setAlignment(Qt::AlignTop);
}

MediaPropertiesPanel::~MediaPropertiesPanel() = default;

void MediaPropertiesPanel::clearLabels() {
  setPicture({});
  title_->clear();
  details_->clear();
}

void MediaPropertiesPanel::updateUi(const QString& name) {
  const int row = name.isEmpty() ? -1 : rowByName(name);
  if (row < 0) {
    clearLabels();
    setEnabled(false);
    return;
  }
  setEnabled(true);
  const QModelIndex item = model_->index(row);
  const auto picture = item.data(fields_.thumbnailRole).value<QPixmap>();
  setPicture(picture);
  if (picture.isNull()) {
    thumbnail()->setText(QCoreApplication::translate("ArvexHubLauncher", "No Thumbnail"));
  }
  title_->setText(item.data(Qt::DisplayRole).toString());
  QList<QPair<QString, QString>> lines;
  for (const auto& [pattern, role] : std::as_const(fields_.details)) {
    lines.append({pattern, item.data(role).toString()});
  }
  details_->setText(detailLines(lines));
  scrollToTop();
}

} // namespace arvexhub::launcher
