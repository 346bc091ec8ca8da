#pragma once

#include <QList>
#include <QPair>
#include <QPixmap>
#include <QScrollArea>
#include <QString>

#include <functional>

class QAbstractItemModel;
class QLabel;
class QVBoxLayout;

namespace arvexhub::launcher {

class DownloadProgressLine;
class LibraryModel;

/// What the properties panels of the four libraries share: a scroll area of fixed width whose
/// content stacks the item's picture, as wide as the panel, above its text labels, and shows
/// the model's current item, following changes of its row.
class PropertiesPanel : public QScrollArea {
  Q_OBJECT

public:
  ~PropertiesPanel() override;
  Q_DISABLE_COPY_MOVE(PropertiesPanel)

  /// Shows the item of that name; empty and disabled when there is none.
  virtual void updateUi(const QString& name) = 0;

protected:
  /// Builds the scroll area and its content with the centred picture label as first row.
  /// `progressRole` carries the download progress in the kind's model.
  PropertiesPanel(const QString& thumbnailObjectName, int progressRole, QWidget* parent);

  QVBoxLayout* contentLayout() const;
  QLabel* thumbnail() const;
  /// A word-wrapped label added below the others.
  QLabel* addLabel(const QString& objectName, Qt::TextFormat format);
  /// Empties the picture and every label.
  void clearLabels();

  /// Shows the picture scaled to the width inside the content margins; a null picture
  /// empties the picture label.
  void setPicture(const QPixmap& picture);
  void scrollToTop();

  /// Detail lines for rich text, "<b>Label:</b> value", each skipped when its value is empty,
  /// joined with line breaks. Values are escaped: they come from the catalogue.
  static QString detailLines(const QList<QPair<QString, QString>>& labelsAndValues);

  /// Shows the model's current item now, and again whenever it changes, its row changes (but
  /// for its download progress alone) or the model is reset: its picture arrives, its download
  /// ends, it is removed.
  template <typename Model>
  void follow(Model* model, QString (Model::*current)() const, void (Model::*changed)(const QString&)) {
    currentName_ = [model, current] { return (model->*current)(); };
    rowByName_ = [model](const QString& name) { return model->rowByName(name); };
    connect(model, changed, this, &PropertiesPanel::updateUi);
    addDownloadLine(model);
    followRows(model);
  }
  QString currentName() const;
  /// The row of that name in the model; -1 when none.
  int rowByName(const QString& name) const;

  void resizeEvent(QResizeEvent* event) override;

private:
  void followRows(QAbstractItemModel* model);
  /// The current item's download, below its picture.
  void addDownloadLine(LibraryModel* model);
  void showPicture();

  QVBoxLayout* layout_{nullptr};
  QLabel* thumbnail_{nullptr};
  QList<QLabel*> labels_;
  QPixmap picture_;
  int progressRole_;
  std::function<QString()> currentName_;
  std::function<int(const QString&)> rowByName_;
};

} // namespace arvexhub::launcher
