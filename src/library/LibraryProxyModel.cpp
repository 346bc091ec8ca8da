#include "library/LibraryProxyModel.h"

#include "library/LibraryModel.h"
#include "library/PlayTimeStore.h"

namespace arvexhub::launcher {

LibraryProxyModel::LibraryProxyModel(LibraryModel* library)
    : QSortFilterProxyModel(library)
    , library_(library) {
  setFilterCaseSensitivity(Qt::CaseInsensitive);
  setSortRole(Qt::DisplayRole);
  setDynamicSortFilter(true);
}

LibraryProxyModel::~LibraryProxyModel() = default;

LibraryProxyModel::SortOrder LibraryProxyModel::sortOrder() const {
  return sortOrder_;
}

void LibraryProxyModel::setSortOrder(SortOrder order) {
  if (order != sortOrder_) {
    sortOrder_ = order;
    invalidate();
  }
}

LibraryProxyModel::Filter LibraryProxyModel::rowFilter() const {
  return filter_;
}

void LibraryProxyModel::setRowFilter(Filter filter) {
  if (filter != filter_) {
    filter_ = filter;
    invalidateFilter();
  }
}

void LibraryProxyModel::setSearchText(const QString& text) {
  if (text == searchText_) {
    return;
  }
  searchText_ = text;
  // Played games are few: the others keep their name order and come back in runs. A whole sort by
  // play time would look up every row's record many times over.
  if (sortOrder_ == SortOrder::Name || sortOrder_ == SortOrder::RecentlyPlayed) {
    invalidateFilter();
  } else {
    invalidate();
  }
}

bool LibraryProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  if (sortOrder_ != SortOrder::Name) {
    if (const auto before = orderedBefore(left.row(), right.row())) {
      return *before;
    }
  }
  // The same order as comparing the display role's texts, case-sensitively.
  return library_->displayTextAt(left.row())
             .compare(library_->displayTextAt(right.row()), Qt::CaseSensitive) < 0;
}

std::optional<bool> LibraryProxyModel::orderedBefore(int left, int right) const {
  const auto a = library_->rowFactsAt(left);
  const auto b = library_->rowFactsAt(right);
  qint64 keyA = 0;
  qint64 keyB = 0;
  switch (sortOrder_) {
  case SortOrder::RecentlyPlayed:
    keyA = lastPlayedAt(a.name);
    keyB = lastPlayedAt(b.name);
    break;
  case SortOrder::RecentlyAdded:
    keyA = a.installedAt;
    keyB = b.installedAt;
    break;
  case SortOrder::InstalledFirst:
  case SortOrder::Name:
    keyA = a.installed ? 1 : 0;
    keyB = b.installed ? 1 : 0;
    break;
  }
  // The greater key first: the most recent, the installed.
  return keyA == keyB ? std::nullopt : std::optional<bool>(keyA > keyB);
}

qint64 LibraryProxyModel::lastPlayedAt(const QString& name) const {
  const auto* store = library_->playTimes();
  return store == nullptr ? 0 : store->lastPlayedMs(name);
}

bool LibraryProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  if (filter_ != Filter::All && !sourceParent.isValid()) {
    const auto facts = library_->rowFactsAt(sourceRow);
    if (filter_ == Filter::Installed ? !facts.installed : !facts.updateAvailable) {
      return false;
    }
  }
  if (!searchText_.isEmpty() && !sourceParent.isValid() &&
      !library_->displayTextAt(sourceRow).contains(searchText_, Qt::CaseInsensitive)) {
    return false;
  }
  return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
}

} // namespace arvexhub::launcher
