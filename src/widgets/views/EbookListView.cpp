#include "widgets/views/EbookListView.h"

#include "widgets/views/ListViewKinds.h"

#include <QCoreApplication>
#include <QMenu>

namespace arvexhub::launcher {

EbookListView::EbookListView(Controller* controller, QWidget* parent)
    : KindListView(controller, listViewKinds::ebooks, parent) {}

bool EbookListView::readEbookAt(const QModelIndex& index) {
  return index.data(EbookRole::IsInstalled).toBool() &&
         openPath(index, EbookRole::Path, &Controller::readEbook);
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
  addControllerEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Read Ebook"),
                     &Controller::readEbook, path)
      ->setEnabled(installed);
  menu->addSeparator();
  addInformationEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Show Ebook Information"), name);
  if (installed) {
    menu->addSeparator();
    // Through the controller: a file of the user's is deleted only after the usual confirmation.
    addControllerEntry(menu, QCoreApplication::translate("ArvexHubLauncher", "Remove Ebook"),
                       &Controller::removeEbook, path);
  }
}

} // namespace arvexhub::launcher
