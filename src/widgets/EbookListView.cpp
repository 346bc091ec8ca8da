#include "widgets/EbookListView.h"

#include "library/EbookListModel.h"
#include "widgets/EbookListItemDelegate.h"

#include <QCoreApplication>
#include <QMenu>

namespace arvexhub::launcher {
namespace {
LibraryListView::Traits ebookTraits() {
  LibraryListView::Traits traits;
  traits.nameRole = EbookRole::Name;
  traits.busyRole = EbookRole::IsBusy;
  return traits;
}
} // namespace

EbookListView::EbookListView(Controller* controller, QWidget* parent)
    : KindListView(controller, ebookTraits(),
                   {&Controller::ebookModel, &EbookListModel::setCurrentEbookName,
                    &EbookListModel::currentEbookChanged,
                    QT_TRANSLATE_NOOP("ArvexHubLauncher", "No ebooks added yet.")},
                   parent) {}

bool EbookListView::readEbookAt(const QModelIndex& index) {
  const QString path = index.data(EbookRole::Path).toString();
  if (controller() == nullptr || !index.data(EbookRole::IsInstalled).toBool() || path.isEmpty()) {
    return false;
  }
  controller()->readEbook(path);
  return true;
}

void EbookListView::openItem(const QModelIndex& index) {
  readEbookAt(index);
}

void EbookListView::activateItem(const QModelIndex& index) {
  // A running download is not asked for a second time.
  if (readEbookAt(index) || index.data(EbookRole::IsBusy).toBool()) {
    return;
  }
  if (auto* ebooks = items()) {
    ebooks->downloadAndInstallEbook(nameAt(index));
  }
}

void EbookListView::fillContextMenu(QMenu* menu, const QModelIndex& index) {
  auto* ebooks = items();
  const QString name = nameAt(index);
  const QString path = index.data(EbookRole::Path).toString();
  const bool installed = index.data(EbookRole::IsInstalled).toBool();
  if (!installed) {
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Download"), ebooks,
                    [ebooks, name] { ebooks->downloadAndInstallEbook(name); });
    menu->addSeparator();
  }
  auto* read =
      menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Read Ebook"), this, [this, path] {
        if (controller() != nullptr) {
          controller()->readEbook(path);
        }
      });
  read->setEnabled(installed);
  menu->addSeparator();
  addInformationEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Show Ebook Information"), name);
  if (installed) {
    menu->addSeparator();
    // Through the controller: a file of the user's is deleted only after the usual confirmation.
    menu->addAction(QCoreApplication::translate("ArvexHubLauncher", "Remove Ebook"), this, [this, path] {
      if (controller() != nullptr) {
        controller()->removeEbook(path);
      }
    });
  }
}

} // namespace arvexhub::launcher
