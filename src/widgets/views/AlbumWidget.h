#pragma once

#include <QPointer>
#include <QWidget>

namespace arvexhub::style {
class Expander;
}

namespace arvexhub::launcher {

class AlbumListView;
class AlbumPropertiesPanel;
class Controller;

/// The music tab's content: the album grid with the album properties panel in a collapsible
/// expander to its right. The panel's open state is remembered while the music tab is shown.
class AlbumWidget final : public QWidget {
  Q_OBJECT

public:
  AlbumWidget(Controller* controller, QWidget* parent = nullptr);
  ~AlbumWidget() override;
  Q_DISABLE_COPY_MOVE(AlbumWidget)

  AlbumListView* listView() const;
  style::Expander* expander() const;
  AlbumPropertiesPanel* propertiesPanel() const;

private:
  void setupUi();
  void onExpandedChanged(bool expanded);

  QPointer<Controller> controller_;
  AlbumListView* listView_{nullptr};
  style::Expander* expander_{nullptr};
  AlbumPropertiesPanel* propertiesPanel_{nullptr};
};

} // namespace arvexhub::launcher
