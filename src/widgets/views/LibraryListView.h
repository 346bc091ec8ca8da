#pragma once

#include <QListView>
#include <QPointer>

class QMenu;

namespace arvexhub::launcher {

class Controller;
class LibraryModel;

/// What the four library grids share: a wrapping, non-movable grid of uniform cards over a kind's
/// proxy, one selected at a time and nothing at start; the selection and the model's current item
/// kept in step; a click on empty space clears both; an item opened on double-click or on the
/// release of Return, Enter or Space; a menu per item (none while its download runs); a hint
/// when nothing is shown. Each kind says what opening an item does and what its menu holds, and
/// its traits where it departs from the rest.
class LibraryListView : public QListView {
  Q_OBJECT

public:
  /// Where the kinds' grids behave apart.
  struct Traits {
    int nameRole{Qt::DisplayRole};
    int busyRole{0};
    /// Return, Enter and Space open the current item on their release.
    bool keysOpen{true};
    /// The grid starts without a current item, and getting the focus does not make one.
    bool startsWithoutCurrent{true};
    /// A selection cleared by a click on empty space clears the model's current item too.
    bool clearingClearsCurrentItem{true};
    /// A press on a card selects it and nothing else until the release.
    bool dragKeepsSelection{false};
  };

  /// Set on the menu entry that opens the properties panel, for views that show the item's
  /// details themselves (couch mode).
  static constexpr const char* informationEntryProperty = "arvexhubInformationEntry";

  ~LibraryListView() override;
  Q_DISABLE_COPY_MOVE(LibraryListView)

  /// The menu of the item at that index of the view's model, parented to the view and not shown
  /// yet: pause, resume or cancel while its download runs, waits or is paused; null when there is
  /// no item there or its download is being installed.
  QMenu* createContextMenu(const QModelIndex& index);

public slots:
  /// Shows the menu of the item at that position of the viewport.
  void showContextMenu(const QPoint& position);

protected:
  LibraryListView(Controller* controller, const Traits& traits, QWidget* parent);

  /// Shows the kind's items; the kind's constructor calls it last, after its delegate is set.
  void setUpModel(LibraryModel* items);
  Controller* controller() const;
  QString nameAt(const QModelIndex& index) const;
  /// Makes the item of that name (in any case) current; an unknown name changes nothing.
  void selectItem(const QString& name);
  void clearCurrent();
  /// Adds the entry that makes the item current and opens the properties panel.
  void addInformationEntry(QMenu* menu, const QString& text, const QString& name);
  /// Pause or resume, and cancel; false when the download can be neither.
  bool fillDownloadMenu(QMenu* menu, const QModelIndex& index);

  // What each kind provides.
  virtual void setCurrentItemName(const QString& name) = 0;
  /// The row of that name in the kind's own model (not the proxy); -1 when none.
  virtual int sourceRowByName(const QString& name) const = 0;
  /// What the keys do with the current item.
  virtual void openItem(const QModelIndex& index) = 0;
  /// What a double-click does: by default the same as the keys.
  virtual void activateItem(const QModelIndex& index);
  virtual void fillContextMenu(QMenu* menu, const QModelIndex& index) = 0;
  virtual QString emptyText() const = 0;

  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void paintEvent(QPaintEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

private:
  /// What an empty view says: the kind's own text, unless a filter hides every row.
  QString emptyHint() const;

  QPointer<Controller> controller_;
  QPointer<LibraryModel> items_;
  Traits traits_;
  int pressedKey_{Qt::Key_unknown};
};

} // namespace arvexhub::launcher
