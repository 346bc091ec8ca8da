#include "library/LibraryProxyModel.h"

#include "library/LibraryModel.h"

namespace arvexhub::launcher {

LibraryProxyModel::LibraryProxyModel(LibraryModel* library)
    : QSortFilterProxyModel(library)
    , library_(library) {
  setFilterCaseSensitivity(Qt::CaseInsensitive);
  setSortRole(Qt::DisplayRole);
  setDynamicSortFilter(true);
}

LibraryProxyModel::~LibraryProxyModel() = default;

bool LibraryProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  // The same order as comparing the display role's texts, case-sensitively.
  return library_->displayTextAt(left.row())
             .compare(library_->displayTextAt(right.row()), Qt::CaseSensitive) < 0;
}

} // namespace arvexhub::launcher
