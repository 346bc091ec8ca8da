#include "widgets/window/LibraryViewBar.h"

#include "app/Controller.h"
#include "app/Preferences.h"
#include "library/LibraryModel.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMetaEnum>
#include <QToolButton>

namespace arvexhub::launcher {
namespace {

template <typename Enum>
QString keyOf(Enum value) {
  return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(static_cast<int>(value)));
}

/// The value a preference names; the first (the default) for an empty or unknown name.
template <typename Enum>
Enum valueOf(const QString& key) {
  bool known = false;
  const int value = QMetaEnum::fromType<Enum>().keyToValue(key.toLatin1().constData(), &known);
  return known ? static_cast<Enum>(value) : Enum{};
}

QToolButton* makeButton(const QString& text, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

} // namespace

LibraryViewBar::LibraryViewBar(Controller* controller, QWidget* parent)
    : QWidget(parent)
    , controller_(controller) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  addSortMenu();
  addFilterButtons();
  if (controller_) {
    for (auto* library : controller_->libraries()) {
      applySaved(library);
    }
  }
  showActiveTab();
}

LibraryViewBar::~LibraryViewBar() = default;

QToolButton* LibraryViewBar::sortButton() const {
  return sortButton_;
}

QToolButton* LibraryViewBar::filterButton(Filter filter) const {
  return qobject_cast<QToolButton*>(filterButtons_->button(static_cast<int>(filter)));
}

void LibraryViewBar::addSortMenu() {
  sortButton_ = makeButton(QCoreApplication::translate("ArvexHubLauncher", "Sort"), this);
  sortButton_->setToolTip(QCoreApplication::translate("ArvexHubLauncher", "Sort the library"));
  sortButton_->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(sortButton_);
  sortActions_ = new QActionGroup(menu);
  const std::pair<SortOrder, const char*> orders[] = {
      {SortOrder::Name, QT_TRANSLATE_NOOP("ArvexHubLauncher", "Name")},
      {SortOrder::RecentlyPlayed, QT_TRANSLATE_NOOP("ArvexHubLauncher", "Recently played")},
      {SortOrder::RecentlyAdded, QT_TRANSLATE_NOOP("ArvexHubLauncher", "Recently added")},
      {SortOrder::InstalledFirst, QT_TRANSLATE_NOOP("ArvexHubLauncher", "Installed first")}};
  for (const auto& [order, text] : orders) {
    auto* action = menu->addAction(QCoreApplication::translate("ArvexHubLauncher", text));
    action->setCheckable(true);
    action->setData(static_cast<int>(order));
    sortActions_->addAction(action);
    connect(action, &QAction::triggered, this, [this, order = order] { onSortChosen(order); });
  }
  sortButton_->setMenu(menu);
  layout()->addWidget(sortButton_);
}

void LibraryViewBar::addFilterButtons() {
  filterButtons_ = new QButtonGroup(this);
  filterButtons_->setExclusive(true);
  // "library filter": the button, apart from the same words elsewhere.
  const std::pair<Filter, QString> filters[] = {
      {Filter::All, QCoreApplication::translate("ArvexHubLauncher", "All", "library filter")},
      {Filter::Installed, QCoreApplication::translate("ArvexHubLauncher", "Installed", "library filter")},
      {Filter::Updates, QCoreApplication::translate("ArvexHubLauncher", "Updates", "library filter")}};
  for (const auto& [filter, text] : filters) {
    auto* button = makeButton(text, this);
    button->setCheckable(true);
    filterButtons_->addButton(button, static_cast<int>(filter));
    layout()->addWidget(button);
  }
  connect(filterButtons_, &QButtonGroup::idClicked, this,
          [this](int id) { onFilterChosen(static_cast<Filter>(id)); });
}

void LibraryViewBar::applySaved(LibraryModel* library) {
  auto* preferences = controller_->preferences();
  const auto& kind = library->kind().folderName;
  library->libraryProxy()->setSortOrder(valueOf<SortOrder>(preferences->librarySortOrder(kind)));
  library->libraryProxy()->setRowFilter(valueOf<Filter>(preferences->libraryFilter(kind)));
}

bool LibraryViewBar::setActiveTab(int index) {
  activeTab_ = index;
  showActiveTab();
  return activeLibrary() != nullptr;
}

LibraryModel* LibraryViewBar::activeLibrary() const {
  return controller_ ? controller_->libraries().value(activeTab_) : nullptr;
}

bool LibraryViewBar::gamesShown() const {
  return controller_ && activeLibrary() == controller_->libraries().value(0);
}

void LibraryViewBar::showActiveTab() {
  const auto* library = activeLibrary();
  setEnabled(library != nullptr);
  const bool games = gamesShown();
  filterButton(Filter::Updates)->setVisible(games);
  for (auto* action : sortActions_->actions()) {
    action->setVisible(games || action->data().toInt() != static_cast<int>(SortOrder::RecentlyPlayed));
    action->setChecked(library &&
                       action->data().toInt() == static_cast<int>(library->libraryProxy()->sortOrder()));
  }
  const auto filter = library ? library->libraryProxy()->rowFilter() : Filter::All;
  filterButtons_->button(static_cast<int>(filter))->setChecked(true);
}

void LibraryViewBar::onSortChosen(SortOrder order) {
  if (auto* library = activeLibrary()) {
    library->libraryProxy()->setSortOrder(order);
    controller_->preferences()->setLibrarySortOrder(library->kind().folderName, keyOf(order));
  }
}

void LibraryViewBar::onFilterChosen(Filter filter) {
  if (auto* library = activeLibrary()) {
    library->libraryProxy()->setRowFilter(filter);
    controller_->preferences()->setLibraryFilter(library->kind().folderName, keyOf(filter));
  }
}

} // namespace arvexhub::launcher
