#pragma once

#include "widgets/panels/PropertiesPanel.h"

class QLabel;

namespace arvexhub::launcher {

class LibraryModel;

/// What the properties panels of movies, e-books and albums share: the current item's picture
/// ("No Thumbnail" without one), its title as plain text and its detail lines, all read from
/// the model's roles. Each kind is a row of one table: its object names, roles and detail
/// lines.
class MediaPropertiesPanel : public PropertiesPanel {
  Q_OBJECT

public:
  enum class Kind { Movies, Ebooks, Albums };

  ~MediaPropertiesPanel() override;
  Q_DISABLE_COPY_MOVE(MediaPropertiesPanel)

  void updateUi(const QString& name) override;

protected:
  /// Builds the kind's labels; the kind's constructor then follows the model's current item.
  MediaPropertiesPanel(LibraryModel* model, Kind kind, QWidget* parent);

private:
  LibraryModel* model_{nullptr};
  Kind kind_;
  QLabel* title_{nullptr};
  QLabel* details_{nullptr};
};

} // namespace arvexhub::launcher
