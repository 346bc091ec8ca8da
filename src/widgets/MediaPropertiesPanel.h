#pragma once

#include "widgets/PropertiesPanel.h"

class QLabel;

namespace arvexhub::launcher {

class LibraryModel;

/// What the properties panels of movies, e-books and albums share: the current item's picture
/// ("No Thumbnail" without one), its title as plain text and its detail lines, all read from
/// the model's roles.
class MediaPropertiesPanel : public PropertiesPanel {
  Q_OBJECT

public:
  ~MediaPropertiesPanel() override;
  Q_DISABLE_COPY_MOVE(MediaPropertiesPanel)

  void updateUi(const QString& name) override;

protected:
  /// The object names, roles and detail lines of a kind.
  struct Fields {
    QString panelName;
    QString thumbnailName;
    QString titleName;
    QString detailsName;
    int thumbnailRole{0};
    int progressRole{0};
    /// A line pattern ("<b>Author:</b> %1") and the role of its value, in the order shown.
    QList<QPair<QString, int>> details;
  };

  MediaPropertiesPanel(LibraryModel* model, Fields fields, QWidget* parent);

private:
  void clearLabels();

  LibraryModel* model_{nullptr};
  Fields fields_;
  QLabel* title_{nullptr};
  QLabel* details_{nullptr};
};

} // namespace arvexhub::launcher
