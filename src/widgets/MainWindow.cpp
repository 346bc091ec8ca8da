#include "widgets/MainWindow.h"

#include "app/Controller.h"
#include "library/GameListModel.h"

#include <style/StyleUtils.h>

#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QListView>
#include <QSortFilterProxyModel>
#include <QSysInfo>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>

namespace arvexhub::launcher {

MainWindow::MainWindow(Controller* controller, QWidget* parent)
  : QWidget(parent)
  , controller_(controller) {
  ensurePolished();
  setMinimumSize(900, 700);
  style::centerWidget(this);
  setWindowTitle(QGuiApplication::applicationDisplayName());
  setupUi();
  connect(controller_, &Controller::mainWindowRaiseRequested, this, &QWidget::raise);
}

MainWindow::~MainWindow() = default;

QTabWidget* MainWindow::tabWidget() const {
  return tabWidget_;
}

void MainWindow::setupUi() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  tabWidget_ = new QTabWidget(this);
  tabWidget_->setDocumentMode(true);
  // Tab labels are names of places, not translated.
  tabWidget_->addTab(makeGamesTab(), QStringLiteral("Games"));
  for (const auto* title : {"Movies", "Ebooks", "Music", "Media Player", "Ebook Reader"}) {
    tabWidget_->addTab(new QWidget(tabWidget_), QString::fromLatin1(title));
  }
  layout->addWidget(tabWidget_);
}

QWidget* MainWindow::makeGamesTab() {
  // A plain grid of the game library until its card view arrives.
  auto* view = new QListView(tabWidget_);
  view->setIconSize(QSize(100, 51));
  view->setSpacing(4);
  view->setUniformItemSizes(true);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setModel(controller_->model()->proxyModel());
  connect(view, &QListView::activated, this, [this](const QModelIndex& index) {
    auto* games = controller_->model();
    const auto& game = games->gameDataByName(index.data().toString());
    if (game.updateAvailable && !game.isBusy) {
      games->downloadAndInstallGame(game.name, game.url);
    }
  });
  return view;
}

void MainWindow::setAppIcon() {
  const auto product = QSysInfo::productType();
  if (product == QStringLiteral("macos") || product == QStringLiteral("osx")) {
    return; // the bundle carries the icon there
  }
  static constexpr std::array sizes{16, 20, 24, 32, 40, 48, 64, 96, 128, 256, 512, 1024};
  QIcon icon;
  for (const int size : sizes) {
    const auto path =
      QStringLiteral(":/arvexhub/launcher/resources/app_icon/arvexhub_launcher_icon_%1.png").arg(size);
    if (!QFile::exists(path)) {
      continue;
    }
    for (const auto mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected}) {
      for (const auto state : {QIcon::On, QIcon::Off}) {
        icon.addFile(path, QSize(size, size), mode, state);
      }
    }
  }
  QGuiApplication::setWindowIcon(icon);
}

} // namespace arvexhub::launcher
