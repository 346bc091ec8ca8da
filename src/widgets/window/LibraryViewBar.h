#pragma once

#include "library/LibraryProxyModel.h"

#include <QPointer>
#include <QWidget>

class QActionGroup;
class QButtonGroup;
class QToolButton;

namespace arvexhub::launcher {

class Controller;
class LibraryModel;

/// The "Sort" menu and the row filters of the library tab shown. Each tab keeps its own order and
/// filter, remembered in the preferences; the search text filters on top of them.
class LibraryViewBar final : public QWidget {
  Q_OBJECT

public:
  LibraryViewBar(Controller* controller, QWidget* parent = nullptr);
  ~LibraryViewBar() override;
  Q_DISABLE_COPY_MOVE(LibraryViewBar)

  /// Follows the tab of that index; false for a tab that is no library.
  bool setActiveTab(int index);
  QToolButton* sortButton() const;
  QToolButton* filterButton(LibraryProxyModel::Filter filter) const;

private:
  using SortOrder = LibraryProxyModel::SortOrder;
  using Filter = LibraryProxyModel::Filter;

  void addSortMenu();
  void addFilterButtons();
  void applySaved(LibraryModel* library);
  /// The check marks and choices of the active tab: "Recently played" and "Updates" are the games'.
  void showActiveTab();
  void onSortChosen(SortOrder order);
  void onFilterChosen(Filter filter);
  LibraryModel* activeLibrary() const;
  bool gamesShown() const;

  QPointer<Controller> controller_;
  int activeTab_{0};
  QToolButton* sortButton_{nullptr};
  QActionGroup* sortActions_{nullptr};
  QButtonGroup* filterButtons_{nullptr};
};

} // namespace arvexhub::launcher
