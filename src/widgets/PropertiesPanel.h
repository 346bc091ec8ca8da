#pragma once

#include <QPixmap>
#include <QScrollArea>
#include <QString>

#include <initializer_list>
#include <utility>

class QLabel;
class QVBoxLayout;

namespace arvexhub::launcher {

/// What the properties panels of the four libraries share: a scroll area of fixed width whose
/// content stacks the item's picture, as wide as the panel, above its text labels.
class PropertiesPanel : public QScrollArea {
  Q_OBJECT

public:
  ~PropertiesPanel() override;
  Q_DISABLE_COPY_MOVE(PropertiesPanel)

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
  static QString detailLines(std::initializer_list<std::pair<QString, QString>> patternsAndValues);

  void resizeEvent(QResizeEvent* event) override;

private:
  void showPicture();

  QVBoxLayout* layout_{nullptr};
  QLabel* thumbnail_{nullptr};
  QPixmap picture_;
};

} // namespace arvexhub::launcher
