#pragma once

#include <QSortFilterProxyModel>

namespace arvexhub::launcher {

class LibraryModel;

/// The sorted and filtered view of a library the grids show. It sorts on the rows' display
/// texts read straight from the library, without a QVariant per comparison: a catalogue merge
/// re-sorts tens of thousands of rows.
class LibraryProxyModel final : public QSortFilterProxyModel {
  Q_OBJECT

public:
  explicit LibraryProxyModel(LibraryModel* library);
  ~LibraryProxyModel() override;
  Q_DISABLE_COPY_MOVE(LibraryProxyModel)

protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
  LibraryModel* library_;
};

} // namespace arvexhub::launcher
