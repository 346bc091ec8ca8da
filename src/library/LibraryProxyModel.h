#pragma once

#include <QSortFilterProxyModel>

#include <optional>

namespace arvexhub::launcher {

class LibraryModel;

/// The sorted and filtered view of a library the grids show. It sorts on the rows' display
/// texts read straight from the library, without a QVariant per comparison: a catalogue merge
/// re-sorts tens of thousands of rows. The user may sort otherwise and show only some rows; the
/// search text filters on top of that.
class LibraryProxyModel final : public QSortFilterProxyModel {
  Q_OBJECT

public:
  enum class SortOrder { Name, RecentlyPlayed, RecentlyAdded, InstalledFirst };
  Q_ENUM(SortOrder)
  enum class Filter { All, Installed, Updates };
  Q_ENUM(Filter)

  explicit LibraryProxyModel(LibraryModel* library);
  ~LibraryProxyModel() override;
  Q_DISABLE_COPY_MOVE(LibraryProxyModel)

  SortOrder sortOrder() const;
  void setSortOrder(SortOrder order);
  Filter rowFilter() const;
  void setRowFilter(Filter filter);
  /// Shows only the rows whose display text holds the text, ignoring case. In another order than
  /// by name the rows that come back fall all over the list, and inserting them one by one took
  /// far longer than sorting the whole list afresh.
  void setSearchText(const QString& text);

protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
  /// Whether the left row comes first by the chosen order; nothing when they tie.
  std::optional<bool> orderedBefore(int left, int right) const;
  qint64 lastPlayedAt(const QString& name) const;

  LibraryModel* library_;
  SortOrder sortOrder_{SortOrder::Name};
  Filter filter_{Filter::All};
  QString searchText_;
};

} // namespace arvexhub::launcher
