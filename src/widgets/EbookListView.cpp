#include "widgets/EbookListView.h"

#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/EbookListModel.h"
#include "widgets/EbookListItemDelegate.h"
#include "widgets/EmptyStateHint.h"
#include "widgets/LibraryGrid.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSortFilterProxyModel>

#include <utility>

namespace arvexhub::launcher {
EbookListView::EbookListView(Controller* controller, QWidget* parent)
    : QListView(parent)
    , controller_(controller) {
  setupUi();
}

EbookListView::~EbookListView() = default;

void EbookListView::setupUi() {
  setUpLibraryGrid(this);
  setItemDelegate(new EbookListItemDelegate(this));
  connect(this, &QWidget::customContextMenuRequested, this, &EbookListView::showContextMenu);
  connect(this, &QAbstractItemView::doubleClicked, this, &EbookListView::activate);
  if (ebookModel() != nullptr) {
    connectModel();
  }
  // Nothing is selected at start.
  clearCurrent();
}

void EbookListView::connectModel() {
  auto* ebooks = ebookModel();
  setModel(ebooks->proxyModel());
  setCurrentIndex(model()->index(0, 0));
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [ebooks](const QModelIndex& current) {
            const QString name = current.data(EbookRole::Name).toString();
            if (!name.isEmpty()) {
              ebooks->setCurrentEbookName(name);
            }
          });
  connect(ebooks, &EbookListModel::currentEbookChanged, this, &EbookListView::selectEbook);
}

EbookListModel* EbookListView::ebookModel() const {
  return controller_ ? controller_->ebookModel() : nullptr;
}

void EbookListView::selectEbook(const QString& name) {
  auto* ebooks = ebookModel();
  // Rows of the same name (in any case) count as that e-book: the selection stays where it is.
  if (ebooks == nullptr ||
      currentIndex().data(EbookRole::Name).toString().compare(name, Qt::CaseInsensitive) == 0) {
    return;
  }
  const int row = ebooks->ebookRowByName(name);
  const QModelIndex index = row < 0 ? QModelIndex() : ebooks->proxyModel()->mapFromSource(ebooks->index(row));
  if (index.isValid()) {
    setCurrentIndex(index);
  }
}

bool EbookListView::readEbookAt(const QModelIndex& index) {
  const QString path = index.data(EbookRole::Path).toString();
  if (!controller_ || !index.data(EbookRole::IsInstalled).toBool() || path.isEmpty()) {
    return false;
  }
  controller_->readEbook(path);
  return true;
}

void EbookListView::activate(const QModelIndex& index) {
  // A running download is not asked for a second time.
  if (readEbookAt(index) || index.data(EbookRole::IsBusy).toBool()) {
    return;
  }
  if (auto* ebooks = ebookModel()) {
    ebooks->downloadAndInstallEbook(index.data(EbookRole::Name).toString());
  }
}

void EbookListView::showInformation(const QString& name) {
  if (controller_) {
    controller_->ebookModel()->setCurrentEbookName(name);
    controller_->preferences()->setAppPropertiesPanelVisible(true);
  }
}

void EbookListView::clearCurrent() {
  clearSelection();
  if (selectionModel() != nullptr) {
    selectionModel()->clearCurrentIndex();
  }
}

void EbookListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QListView::currentChanged(current, previous);
  // An invalid index (a click on empty space) clears the current e-book.
  if (auto* ebooks = ebookModel()) {
    ebooks->setCurrentEbookName(current.data(EbookRole::Name).toString());
  }
}

void EbookListView::mousePressEvent(QMouseEvent* event) {
  if (indexAt(event->position().toPoint()).isValid()) {
    QListView::mousePressEvent(event);
    return;
  }
  clearCurrent();
  event->accept();
}

void EbookListView::keyPressEvent(QKeyEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  if (isActivationKey(event->key())) {
    // Taken here, so Space does not toggle the selection; the e-book opens on the release.
    pressedKey_ = event->key();
    event->accept();
    return;
  }
  QListView::keyPressEvent(event);
}

void EbookListView::keyReleaseEvent(QKeyEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  const int pressed = std::exchange(pressedKey_, static_cast<int>(Qt::Key_unknown));
  if (event->key() != pressed || !isActivationKey(pressed) || event->isAutoRepeat()) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  readEbookAt(currentIndex());
  event->accept();
}

void EbookListView::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  paintEmptyStateHint(this, QCoreApplication::translate("ArvexHubLauncher", "No ebooks added yet."));
}

void EbookListView::focusOutEvent(QFocusEvent* event) {
  // A key pressed here but released elsewhere must not open an e-book at a later release.
  pressedKey_ = Qt::Key_unknown;
  QListView::focusOutEvent(event);
}

QMenu* EbookListView::createContextMenu(const QModelIndex& index) {
  auto* ebooks = ebookModel();
  if (ebooks == nullptr || !index.isValid() || index.data(EbookRole::IsBusy).toBool()) {
    return nullptr;
  }
  const QString name = index.data(EbookRole::Name).toString();
  const QString path = index.data(EbookRole::Path).toString();
  const bool installed = index.data(EbookRole::IsInstalled).toBool();

  auto* menu = new QMenu(this);
  if (!installed) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Download"), ebooks,
                    [ebooks, name] { ebooks->downloadAndInstallEbook(name); });
    menu->addSeparator();
  }
  auto* read =
      menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Read Ebook"), this, [this, path] {
        if (controller_) {
          controller_->readEbook(path);
        }
      });
  read->setEnabled(installed);
  menu->addSeparator();
  menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Show Ebook Information"), this,
                  [this, name] { showInformation(name); });
  if (installed) {
    menu->addSeparator();
    // Through the controller: a file of the user's is deleted only after the usual confirmation.
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Remove Ebook"), this, [this, path] {
      if (controller_) {
        controller_->removeEbook(path);
      }
    });
  }
  return menu;
}

void EbookListView::showContextMenu(const QPoint& position) {
  // The position is in viewport coordinates, like the index look-up.
  QMenu* menu = createContextMenu(indexAt(position));
  if (menu == nullptr) {
    return;
  }
  menu->exec(viewport()->mapToGlobal(position));
  menu->deleteLater();
}

} // namespace arvexhub::launcher
