#include "widgets/panels/PropertiesPanel.h"

#include "library/LibraryModel.h"
#include "widgets/panels/DownloadProgressLine.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QScrollBar>
#include <QStringList>
#include <QVBoxLayout>

#include <utility>

namespace arvexhub::launcher {

PropertiesPanel::PropertiesPanel(const QString& thumbnailObjectName, int progressRole, QWidget* parent)
    : QScrollArea(parent)
    , progressRole_(progressRole) {
  setWidgetResizable(true);
  setFixedWidth(300);
  auto* content = new QWidget(this);
  layout_ = new QVBoxLayout(content);
  layout_->setContentsMargins(16, 16, 16, 16);
  layout_->setSpacing(12);
  thumbnail_ = new QLabel(content);
  thumbnail_->setObjectName(thumbnailObjectName);
  thumbnail_->setAlignment(Qt::AlignCenter);
  // The picture follows the panel's width, never the other way round: one fitted while the panel
  // was hidden (and had a default width) would otherwise widen the content past the panel.
  thumbnail_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  layout_->addWidget(thumbnail_);
  setWidget(content);
}

PropertiesPanel::~PropertiesPanel() = default;

QVBoxLayout* PropertiesPanel::contentLayout() const {
  return layout_;
}

QLabel* PropertiesPanel::thumbnail() const {
  return thumbnail_;
}

QLabel* PropertiesPanel::addLabel(const QString& objectName, Qt::TextFormat format) {
  auto* label = new QLabel(widget());
  label->setObjectName(objectName);
  label->setTextFormat(format);
  label->setWordWrap(true);
  layout_->addWidget(label);
  labels_.append(label);
  return label;
}

void PropertiesPanel::clearLabels() {
  setPicture({});
  for (QLabel* label : std::as_const(labels_)) {
    label->clear();
  }
}

void PropertiesPanel::setPicture(const QPixmap& picture) {
  picture_ = picture;
  showPicture();
}

void PropertiesPanel::showPicture() {
  if (picture_.isNull()) {
    thumbnail_->clear();
    return;
  }
  const QMargins margins = layout_->contentsMargins();
  const int available = viewport()->width() - margins.left() - margins.right();
  thumbnail_->setPixmap(available >= 1 ? picture_.scaledToWidth(available, Qt::SmoothTransformation)
                                       : picture_);
}

void PropertiesPanel::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  // A panel filled while hidden had no width yet: its picture is fitted once it has one.
  if (!picture_.isNull()) {
    showPicture();
  }
}

void PropertiesPanel::scrollToTop() {
  verticalScrollBar()->setValue(0);
}

QString PropertiesPanel::detailLines(const QList<QPair<QString, QString>>& labelsAndValues) {
  QStringList lines;
  for (const auto& [label, value] : labelsAndValues) {
    if (!value.isEmpty()) {
      lines.append(QStringLiteral("<b>%1:</b> %2").arg(label, value.toHtmlEscaped()));
    }
  }
  return lines.join(QStringLiteral("<br>"));
}

QString PropertiesPanel::currentName() const {
  return currentName_ ? currentName_() : QString();
}

int PropertiesPanel::rowByName(const QString& name) const {
  return rowByName_ ? rowByName_(name) : -1;
}

void PropertiesPanel::addDownloadLine(LibraryModel* model) {
  auto* line = new DownloadProgressLine(
      model, [this] { return currentName(); }, widget());
  layout_->insertWidget(layout_->indexOf(thumbnail_) + 1, line);
  connect(model, &LibraryModel::currentNameChanged, line, &DownloadProgressLine::refresh);
}

void PropertiesPanel::followRows(QAbstractItemModel* model) {
  updateUi(currentName());
  connect(model, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
            const QString name = currentName();
            const int row = name.isEmpty() ? -1 : rowByName(name);
            const bool progressOnly = roles == QList<int>{progressRole_};
            if (row >= topLeft.row() && row <= bottomRight.row() && !progressOnly) {
              updateUi(name);
            }
          });
  connect(model, &QAbstractItemModel::modelReset, this, [this] { updateUi(currentName()); });
}

} // namespace arvexhub::launcher
