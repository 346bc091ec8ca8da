#pragma once

#include "media/ReadingPositions.h"

#include <QKeySequence>
#include <QPdfDocument>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QModelIndex;
class QPdfBookmarkModel;
class QPdfView;
class QPushButton;
class QSlider;
class QTabWidget;
class QToolButton;
class QTreeView;
class QVBoxLayout;

namespace arvexhub::launcher {

class EbookListModel;
class EbookSearchPanel;
class IdlePointerHider;
class SearchHighlights;

/// The e-book tab: one PDF page at a time beside a panel of page and zoom controls. In full
/// screen the panel goes away and its controls float over the page, behind a menu button.
/// The open document is reported to the e-book model so that its row shows as being read. Beside
/// the controls, the book's table of contents and a text search; each book opens again at the page
/// and zoom it was left at.
class EbookReaderTab final : public QWidget {
  Q_OBJECT

public:
  EbookReaderTab(QWidget* parent, EbookListModel* ebookModel);
  ~EbookReaderTab() override;
  Q_DISABLE_COPY_MOVE(EbookReaderTab)

  /// How long the pointer must rest before the full-screen controls and the pointer hide.
  void setControlsHideDelay(int msec);

public slots:
  /// Opens a local PDF file; other addresses are ignored.
  void openEbook(const QUrl& url, const QString& name);
  void stopReading();
  void setReaderPanelVisible(bool visible);
  void onHostIsFullscreen(bool isFullscreen);
  void pageChanged(int page);
  void onDocumentStatusChanged(QPdfDocument::Status status);
  void nextPage();
  void previousPage();
  /// Enlarges the page by a fifth, up to ten times its size.
  void zoomIn();
  /// Shrinks the page by a fifth, down to a tenth of its size.
  void zoomOut();
  void toggleFullscreen();
  void onMenuButtonClicked();
  void updateFloatingWidgetsPosition();
  /// Shows the search, its field ready for typing (Ctrl+F).
  void showSearch();

signals:
  void fullscreenRequested();

protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  QWidget* createControls();
  QWidget* createNavigationGroup();
  QWidget* createZoomGroup();
  QToolButton* createToolButton(const QString& objectName, const QString& toolTip);
  QPushButton* createMenuButton();
  QWidget* createSidebar();
  void addKeys();
  void addShortcut(const QList<QKeySequence>& keys, void (EbookReaderTab::*slot)());
  void connectControls();
  void connectSidebar();
  void onContentsChanged();
  void openContentsEntry(const QModelIndex& index);
  void showSearchResult(int row);
  void restorePosition();
  void rememberPosition();
  void enterFullscreen();
  void leaveFullscreen();
  void jumpTo(int page);
  void goToFirstPage();
  void goToLastPage();
  void turnPagesByWheel(int verticalDelta);
  void setPageControls(int pageCount);
  void setCustomZoom(qreal factor);
  qreal shownZoomFactor() const;
  bool hasOpenDocument() const;

  QPointer<EbookListModel> ebookModel_;
  QPdfDocument* document_{nullptr};
  QPdfView* view_{nullptr};
  QWidget* panel_{nullptr};
  QVBoxLayout* panelLayout_{nullptr};
  QWidget* controls_{nullptr};
  QToolButton* closeButton_{nullptr};
  QToolButton* previousButton_{nullptr};
  QToolButton* nextButton_{nullptr};
  QToolButton* zoomInButton_{nullptr};
  QToolButton* zoomOutButton_{nullptr};
  QToolButton* fullscreenButton_{nullptr};
  QHBoxLayout* fullscreenRow_{nullptr};
  QSlider* pageSlider_{nullptr};
  QLabel* pageLabel_{nullptr};
  QPushButton* menuButton_{nullptr};
  IdlePointerHider* idleHider_{nullptr};
  QTabWidget* sidebar_{nullptr};
  QPdfBookmarkModel* contentsModel_{nullptr};
  QTreeView* contentsView_{nullptr};
  EbookSearchPanel* searchPanel_{nullptr};
  SearchHighlights* highlights_{nullptr};
  ReadingPositions positions_;
  QString bookPath_;
  QTimer savePositionsTimer_;
  int pendingWheelDelta_{0};
  bool fullscreen_{false};
};

} // namespace arvexhub::launcher
