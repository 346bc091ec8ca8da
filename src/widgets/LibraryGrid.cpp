#include "widgets/LibraryGrid.h"

#include <QListView>

namespace arvexhub::launcher {

void setUpLibraryGrid(QListView* view) {
  view->ensurePolished();
  view->setFlow(QListView::LeftToRight);
  view->setSpacing(16);
  view->setResizeMode(QListView::Adjust);
  view->setViewMode(QListView::IconMode);
  // Icon mode lets cards be dragged about the grid; they stay where the sort puts them.
  view->setDragEnabled(false);
  view->setItemAlignment(Qt::AlignCenter);
  view->setMovement(QListView::Static);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectItems);
  view->setWrapping(true);
  view->setContentsMargins(0, 0, 0, 0);
  view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  view->setUniformItemSizes(true);
  view->setContextMenuPolicy(Qt::CustomContextMenu);
}

bool isActivationKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

} // namespace arvexhub::launcher
