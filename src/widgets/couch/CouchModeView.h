#pragma once

#include "input/ControllerInput.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QAction;
class QHBoxLayout;
class QLabel;
class QListView;
class QMenu;
class QPushButton;

namespace arvexhub::launcher {

class Controller;
class CouchCardDelegate;
class CouchDetailsPanel;
class LibraryListView;

/// The library full screen, for a controller and a television: one row of large cards of one
/// kind (games first; the shoulder buttons, or Page Up and Page Down, switch kinds), the selected
/// item's details beneath, and its actions as buttons with the controller's glyphs.
///
/// It is a second view over the window's grids, not a second library: the cards show the grids'
/// models and the buttons are the entries of the grids' own item menus, so every action runs
/// exactly what the window runs. Leaving it (B or Escape) hides it and the window is as it was.
class CouchModeView final : public QWidget {
  Q_OBJECT

public:
  /// The window's grids and the names of their tabs, games, movies, e-books and albums in order.
  CouchModeView(Controller* controller, const QList<LibraryListView*>& grids, const QStringList& titles,
                QWidget* parent);
  ~CouchModeView() override;
  Q_DISABLE_COPY_MOVE(CouchModeView)

  /// Shows the games full screen with the keyboard focus on their row.
  void open();
  int currentKind() const;
  /// Shows that kind (an index into the grids; one past either end wraps around).
  void showKind(int kind);
  QListView* cardRow() const;
  CouchDetailsPanel* detailsPanel() const;
  /// The selected item's actions (A, X, Y in order), then Back (B).
  QList<QPushButton*> buttons() const;
  /// X, Y, the shoulder buttons and Start; A and B come as Return and Escape.
  void handleControllerAction(ControllerInput::Action action);

signals:
  void closed();

protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  QWidget* makeKindBar(const QStringList& titles);
  void makeCardRow();
  QWidget* makeActionBar();
  void applyTheme();
  void leave();
  void watchModel();
  void onCurrentChanged();
  void refresh();
  void rebuildActions();
  QPushButton* addButton(const QString& glyph, const QString& text);
  void triggerAction(int position);
  void moveButtonFocus(int step);

  QPointer<Controller> controller_;
  QList<LibraryListView*> grids_;
  QList<CouchCardDelegate*> delegates_;
  QList<QLabel*> kindLabels_;
  QList<QLabel*> shoulderGlyphs_;
  QListView* cardRow_{nullptr};
  CouchDetailsPanel* details_{nullptr};
  QHBoxLayout* actionLayout_{nullptr};
  QPushButton* backButton_{nullptr};
  QList<QPushButton*> actionButtons_;
  QPointer<QMenu> menu_;             ///< the selected item's menu of its grid, never shown
  QList<QPointer<QAction>> actions_; ///< its entries, A first
  QStringList shownActions_;         ///< what the buttons say now, to rebuild them only on change
  QList<QMetaObject::Connection> modelConnections_;
  int kind_{0};
};

} // namespace arvexhub::launcher
