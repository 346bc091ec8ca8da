#include "widgets/views/LibraryListView.h"

#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/LibraryModel.h"
#include "library/LibraryProxyModel.h"
#include "widgets/views/EmptyStateHint.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSortFilterProxyModel>

#include <utility>

namespace arvexhub::launcher {
namespace {
bool isActivationKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}
} // namespace

LibraryListView::LibraryListView(Controller* controller, const Traits& traits, QWidget* parent)
    : QListView(parent)
    , controller_(controller)
    , traits_(traits) {
  ensurePolished();
  setFlow(QListView::LeftToRight);
  setSpacing(16);
  setResizeMode(QListView::Adjust);
  setViewMode(QListView::IconMode);
  // Icon mode lets cards be dragged about the grid; they stay where the sort puts them.
  setDragEnabled(false);
  setItemAlignment(Qt::AlignCenter);
  setMovement(QListView::Static);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setWrapping(true);
  setContentsMargins(0, 0, 0, 0);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setUniformItemSizes(true);
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, &LibraryListView::showContextMenu);
  connect(this, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { activateItem(index); });
}

LibraryListView::~LibraryListView() = default;

void LibraryListView::setUpModel(LibraryModel* items) {
  items_ = items;
  if (items != nullptr) {
    setModel(items->proxyModel());
  }
  if (traits_.startsWithoutCurrent) {
    // A view that once had a current index does not make its first item current when it gets
    // the focus; the set-up clears it again.
    if (model() != nullptr) {
      setCurrentIndex(model()->index(0, 0));
    }
    clearCurrent();
  }
}

Controller* LibraryListView::controller() const {
  return controller_;
}

QString LibraryListView::nameAt(const QModelIndex& index) const {
  return index.data(traits_.nameRole).toString();
}

void LibraryListView::selectItem(const QString& name) {
  // Rows of the same name (in any case) count as that item: the selection stays where it is.
  if (!items_ || nameAt(currentIndex()).compare(name, Qt::CaseInsensitive) == 0) {
    return;
  }
  const int row = sourceRowByName(name);
  const QModelIndex index = row < 0 ? QModelIndex() : items_->proxyModel()->mapFromSource(items_->index(row));
  if (index.isValid()) {
    setCurrentIndex(index);
  }
}

void LibraryListView::clearCurrent() {
  clearSelection();
  if (selectionModel() != nullptr) {
    selectionModel()->clearCurrentIndex();
  }
}

void LibraryListView::activateItem(const QModelIndex& index) {
  openItem(index);
}

void LibraryListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QListView::currentChanged(current, previous);
  // An invalid index (a click on empty space) has no name.
  const QString name = nameAt(current);
  if (items_ && (!name.isEmpty() || traits_.clearingClearsCurrentItem)) {
    setCurrentItemName(name);
  }
}

void LibraryListView::mousePressEvent(QMouseEvent* event) {
  if (indexAt(event->position().toPoint()).isValid()) {
    QListView::mousePressEvent(event);
    return;
  }
  clearCurrent();
  event->accept();
}

void LibraryListView::mouseMoveEvent(QMouseEvent* event) {
  // No selection dragged along with a held button.
  if (traits_.dragKeepsSelection && event->buttons() != Qt::NoButton) {
    event->ignore();
    return;
  }
  QListView::mouseMoveEvent(event);
}

void LibraryListView::keyPressEvent(QKeyEvent* event) {
  if (!traits_.keysOpen) {
    QListView::keyPressEvent(event);
    return;
  }
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  if (isActivationKey(event->key())) {
    // Taken here, so Space does not toggle the selection; the item opens on the release.
    pressedKey_ = event->key();
    event->accept();
    return;
  }
  QListView::keyPressEvent(event);
}

void LibraryListView::keyReleaseEvent(QKeyEvent* event) {
  if (!traits_.keysOpen) {
    QListView::keyReleaseEvent(event);
    return;
  }
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  const int pressed = std::exchange(pressedKey_, static_cast<int>(Qt::Key_unknown));
  if (event->key() != pressed || !isActivationKey(pressed) || event->isAutoRepeat()) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  openItem(currentIndex());
  event->accept();
}

void LibraryListView::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  paintEmptyStateHint(this, emptyHint());
}

QString LibraryListView::emptyHint() const {
  // The library has rows, but the Installed or Updates choice hides them all: saying that nothing
  // was added would tell the user their library is gone.
  const bool hiddenByFilter = items_ != nullptr && items_->rowCount() > 0 &&
                              items_->libraryProxy()->rowFilter() != LibraryProxyModel::Filter::All;
  return hiddenByFilter
             ? QCoreApplication::translate("ArvexHubLauncher", "Nothing here matches the chosen filter.")
             : emptyText();
}

void LibraryListView::focusOutEvent(QFocusEvent* event) {
  // A key pressed here but released elsewhere must not open an item at a later release.
  pressedKey_ = Qt::Key_unknown;
  QListView::focusOutEvent(event);
}

QMenu* LibraryListView::createContextMenu(const QModelIndex& index) {
  if (!items_ || !index.isValid()) {
    return nullptr;
  }
  auto* menu = new QMenu(this);
  if (!index.data(traits_.busyRole).toBool()) {
    fillContextMenu(menu, index);
  } else if (!fillDownloadMenu(menu, index)) {
    delete menu;
    return nullptr;
  }
  return menu;
}

bool LibraryListView::fillDownloadMenu(QMenu* menu, const QModelIndex& index) {
  const auto state = DownloadState(index.data(downloadStateRole).toInt());
  if (state == DownloadState::None || state == DownloadState::Installing) {
    return false; // an install step runs to its end
  }
  const auto name = nameAt(index);
  const auto call = [this, name](bool (Controller::*operation)(LibraryModel*, const QString&)) {
    return [this, name, operation] {
      if (controller_ && items_) {
        (controller_->*operation)(items_, name);
      }
    };
  };
  if (state == DownloadState::Paused) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Resume"), this,
                    call(&Controller::resumeDownload));
  } else {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Pause"), this,
                    call(&Controller::pauseDownload));
  }
  menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Cancel Download"), this,
                  call(&Controller::cancelDownload));
  return true;
}

void LibraryListView::addInformationEntry(QMenu* menu, const QString& text, const QString& name) {
  auto* entry = menu->addAction(text, this, [this, name] {
    if (controller_) {
      setCurrentItemName(name);
      controller_->preferences()->setAppPropertiesPanelVisible(true);
    }
  });
  entry->setProperty(informationEntryProperty, true);
}

void LibraryListView::showContextMenu(const QPoint& position) {
  // The position is in viewport coordinates, like the index look-up.
  // Guarded: the view, and the menu with it, may be destroyed while the menu's loop runs.
  const QPointer<QMenu> menu = createContextMenu(indexAt(position));
  if (menu.isNull()) {
    return;
  }
  menu->exec(viewport()->mapToGlobal(position));
  if (menu) {
    menu->deleteLater();
  }
}

} // namespace arvexhub::launcher
