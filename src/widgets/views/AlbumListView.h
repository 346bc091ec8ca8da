#pragma once

#include "widgets/views/KindListView.h"

namespace arvexhub::launcher {

struct AlbumListItemDelegate;
class AlbumListModel;

/// The music tab's grid of album cards over the album model's proxy. It keeps its selection
/// and the model's current album in step, plays an installed album (or downloads a catalogue
/// one) on double-click, offers a menu per album and says so when there are no albums. Every
/// album operation is given the album's installed folder.
class AlbumListView final : public KindListView<AlbumListModel, AlbumListItemDelegate> {
  Q_OBJECT

public:
  AlbumListView(Controller* controller, QWidget* parent = nullptr);

protected:
  void openItem(const QModelIndex& index) override;
  void fillContextMenu(QMenu* menu, const QModelIndex& index) override;
};

} // namespace arvexhub::launcher
