#pragma once

#include <QList>
#include <QPair>
#include <QPixmap>
#include <QScrollArea>
#include <QString>

class QAbstractItemModel;
class QLabel;
class QVBoxLayout;

namespace arvexhub::launcher {

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
  PropertiesPanel(const QString& thumbnailObjectName, QWidget* parent);

  QVBoxLayout* contentLayout() const;
  QLabel* thumbnail() const;
  /// A word-wrapped label added below the others.
  QLabel* addLabel(const QString& objectName, Qt::TextFormat format);

  /// Shows the picture scaled to the width inside the content margins; a null picture
  /// empties the picture label.
  void setPicture(const QPixmap& picture);
  void scrollToTop();

  /// Detail lines for rich text: each pattern with its value, skipped when the value is
  /// empty, joined with line breaks. Values are escaped: they come from the catalogue.
  static QString detailLines(const QList<QPair<QString, QString>>& patternsAndValues);

  /// Shows the model's current item now, and again whenever its row changes (but for its
  /// download progress alone) or the model is reset: its picture arrives, its download ends,
  /// it is removed.
  void followCurrentItem(QAbstractItemModel* model, int progressRole);
  virtual QString currentName() const = 0;
  /// The row of that name in the model; -1 when none.
  virtual int rowByName(const QString& name) const = 0;

  void resizeEvent(QResizeEvent* event) override;

private:
  void showPicture();

  QVBoxLayout* layout_{nullptr};
  QLabel* thumbnail_{nullptr};
  QPixmap picture_;
};

} // namespace arvexhub::launcher
