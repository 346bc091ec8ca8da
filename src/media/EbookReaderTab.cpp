#include "media/EbookReaderTab.h"

#include "library/EbookListModel.h"
#include "media/EbookSearchPanel.h"
#include "media/IdlePointerHider.h"
#include "media/SearchHighlights.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPdfBookmarkModel>
#include <QPdfPageNavigator>
#include <QPdfSearchModel>
#include <QPdfView>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace arvexhub::launcher {
namespace {

constexpr int panelWidth = 300;
constexpr int floatingControlsWidth = 220;
constexpr int floatingMargin = 10;
constexpr int floatingGap = 5;
constexpr qreal zoomStep = 1.2;
constexpr qreal minimumZoom = 0.1;
constexpr qreal maximumZoom = 10.0;
/// Page turns come in bursts; the store is written once they have settled.
constexpr int savePositionsDelayMsec = 1000;

const QList<QKeySequence> previousKeys{QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::SHIFT | Qt::Key_Space)};
const QList<QKeySequence> nextKeys{QKeySequence(Qt::Key_PageDown), QKeySequence(Qt::Key_Space)};
const QList<QKeySequence> zoomInKeys{QKeySequence(Qt::CTRL | Qt::Key_Plus),
                                     QKeySequence(Qt::CTRL | Qt::Key_Equal)};
const QList<QKeySequence> zoomOutKeys{QKeySequence(Qt::CTRL | Qt::Key_Minus)};

/// A tool tip naming the keys that do the same, e.g. "Next Page (PgDown, Space)".
QString withKeys(const QString& toolTip, const QList<QKeySequence>& keys) {
  QStringList names;
  for (const auto& key : keys) {
    names.append(key.toString(QKeySequence::NativeText));
  }
  return QStringLiteral("%1 (%2)").arg(toolTip, names.join(QStringLiteral(", ")));
}

QFont zoomButtonFont(QFont font) {
  font.setWeight(QFont::Bold);
  font.setPointSize(14);
  return font;
}

} // namespace

EbookReaderTab::EbookReaderTab(QWidget* parent, EbookListModel* ebookModel)
    : QWidget(parent)
    , ebookModel_(ebookModel)
    , document_(new QPdfDocument(this)) {
  view_ = new QPdfView(this);
  view_->setDocument(document_);
  view_->setPageMode(QPdfView::PageMode::SinglePage);
  view_->setZoomMode(QPdfView::ZoomMode::FitToWidth);

  panel_ = new QWidget(this);
  panel_->setObjectName(QStringLiteral("readerPanel"));
  panel_->setFixedWidth(panelWidth);
  panel_->hide();
  panelLayout_ = new QVBoxLayout(panel_);
  panelLayout_->addWidget(createControls());
  panelLayout_->addWidget(createSidebar(), 1);
  menuButton_ = createMenuButton();

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(view_);
  splitter->addWidget(panel_);
  splitter->setCollapsible(0, false);
  splitter->setSizes({width() - panelWidth, panelWidth});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);

  idleHider_ = new IdlePointerHider(view_->viewport(), this);
  if (ebookModel_ != nullptr) {
    // A book removed from the library while it is open closes here too: its file is gone.
    connect(ebookModel_, &EbookListModel::currentReadingEbookChanged, this, [this](const QString& path) {
      if (path.isEmpty() && document_->status() != QPdfDocument::Status::Null) {
        stopReading();
      }
    });
  }
  idleHider_->setWidgets({fullscreenButton_, menuButton_, controls_});
  highlights_ = new SearchHighlights(view_, searchPanel_->model());
  savePositionsTimer_.setSingleShot(true);
  savePositionsTimer_.setInterval(savePositionsDelayMsec);
  connect(&savePositionsTimer_, &QTimer::timeout, this, [this] { positions_.save(); });
  setPageControls(0);
  connectControls();
  connectSidebar();
  addKeys();
  view_->viewport()->installEventFilter(this);
}

EbookReaderTab::~EbookReaderTab() {
  rememberPosition();
  positions_.save();
  // The document closes itself when it goes, and must not report that (nor its contents going) to
  // a tab half gone.
  disconnect(document_, nullptr, this, nullptr);
  disconnect(contentsModel_, nullptr, this, nullptr);
}

void EbookReaderTab::setControlsHideDelay(int msec) {
  idleHider_->setDelay(msec);
}

QWidget* EbookReaderTab::createControls() {
  controls_ = new QWidget(panel_);
  controls_->setObjectName(QStringLiteral("readerControls"));
  controls_->setAutoFillBackground(true); // it floats over the page in full screen
  auto* layout = new QVBoxLayout(controls_);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->setSpacing(15);

  auto* closeRow = new QHBoxLayout;
  closeButton_ = createToolButton(QStringLiteral("closeButton"),
                                  QCoreApplication::translate("EbookReaderTab", "Close Ebook"));
  closeButton_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  closeRow->addStretch();
  closeRow->addWidget(closeButton_);
  layout->addLayout(closeRow);
  layout->addWidget(createNavigationGroup());
  layout->addWidget(createZoomGroup());

  fullscreenRow_ = new QHBoxLayout;
  fullscreenButton_ = createToolButton(QStringLiteral("fullscreenButton"),
                                       QCoreApplication::translate("EbookReaderTab", "Toggle Fullscreen"));
  fullscreenButton_->setIcon(style()->standardIcon(QStyle::SP_TitleBarMaxButton));
  fullscreenButton_->setCheckable(true);
  fullscreenRow_->addStretch();
  fullscreenRow_->addWidget(fullscreenButton_);
  layout->addLayout(fullscreenRow_);
  layout->addStretch();
  return controls_;
}

QWidget* EbookReaderTab::createNavigationGroup() {
  auto* group = new QGroupBox(QCoreApplication::translate("EbookReaderTab", "Navigation"), controls_);
  previousButton_ = createToolButton(
      QStringLiteral("previousButton"),
      withKeys(QCoreApplication::translate("EbookReaderTab", "Previous Page"), previousKeys));
  previousButton_->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
  nextButton_ =
      createToolButton(QStringLiteral("nextButton"),
                       withKeys(QCoreApplication::translate("EbookReaderTab", "Next Page"), nextKeys));
  nextButton_->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
  pageLabel_ = new QLabel(QStringLiteral("0 / 0"), group);
  pageLabel_->setObjectName(QStringLiteral("pageLabel"));
  pageLabel_->setAlignment(Qt::AlignCenter);
  pageSlider_ = new QSlider(Qt::Horizontal, group);
  pageSlider_->setObjectName(QStringLiteral("pageSlider"));
  pageSlider_->setToolTip(withKeys(QCoreApplication::translate("EbookReaderTab", "First and last page"),
                                   {QKeySequence(Qt::Key_Home), QKeySequence(Qt::Key_End)}));

  auto* row = new QHBoxLayout;
  row->addWidget(previousButton_);
  row->addStretch();
  row->addWidget(pageLabel_);
  row->addStretch();
  row->addWidget(nextButton_);
  auto* layout = new QVBoxLayout(group);
  layout->addLayout(row);
  layout->addWidget(pageSlider_);
  return group;
}

QWidget* EbookReaderTab::createZoomGroup() {
  auto* group = new QGroupBox(QCoreApplication::translate("EbookReaderTab", "Zoom"), controls_);
  zoomOutButton_ =
      createToolButton(QStringLiteral("zoomOutButton"),
                       withKeys(QCoreApplication::translate("EbookReaderTab", "Zoom Out"), zoomOutKeys));
  zoomOutButton_->setText(QStringLiteral("-"));
  zoomOutButton_->setFont(zoomButtonFont(zoomOutButton_->font()));
  zoomInButton_ =
      createToolButton(QStringLiteral("zoomInButton"),
                       withKeys(QCoreApplication::translate("EbookReaderTab", "Zoom In"), zoomInKeys));
  zoomInButton_->setText(QStringLiteral("+"));
  zoomInButton_->setFont(zoomButtonFont(zoomInButton_->font()));
  auto* row = new QHBoxLayout(group);
  row->addStretch();
  row->addWidget(zoomOutButton_);
  row->addWidget(zoomInButton_);
  row->addStretch();
  return group;
}

QToolButton* EbookReaderTab::createToolButton(const QString& objectName, const QString& toolTip) {
  auto* button = new QToolButton(controls_);
  button->setObjectName(objectName);
  button->setAutoRaise(true);
  button->setToolTip(toolTip);
  return button;
}

QPushButton* EbookReaderTab::createMenuButton() {
  auto* button = new QPushButton(this);
  button->setObjectName(QStringLiteral("menuButton"));
  button->setIcon(style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton));
  button->setToolTip(QCoreApplication::translate("EbookReaderTab", "Toggle Controls"));
  button->hide();
  return button;
}

QWidget* EbookReaderTab::createSidebar() {
  sidebar_ = new QTabWidget(panel_);
  sidebar_->setObjectName(QStringLiteral("readerSidebar"));
  contentsModel_ = new QPdfBookmarkModel(this);
  contentsModel_->setDocument(document_);
  contentsView_ = new QTreeView(sidebar_);
  contentsView_->setObjectName(QStringLiteral("contentsView"));
  contentsView_->setModel(contentsModel_);
  contentsView_->setHeaderHidden(true);
  contentsView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  contentsView_->setToolTip(QCoreApplication::translate("EbookReaderTab", "Click a chapter to go to it"));
  searchPanel_ = new EbookSearchPanel(document_, sidebar_);
  searchPanel_->setObjectName(QStringLiteral("searchPanel"));
  sidebar_->addTab(contentsView_, QCoreApplication::translate("EbookReaderTab", "Contents"));
  sidebar_->addTab(searchPanel_, QCoreApplication::translate("EbookReaderTab", "Search"));
  sidebar_->setTabToolTip(1, withKeys(QCoreApplication::translate("EbookReaderTab", "Search"),
                                      {QKeySequence(QKeySequence::Find)}));
  return sidebar_;
}

void EbookReaderTab::addKeys() {
  addShortcut(previousKeys, &EbookReaderTab::previousPage);
  addShortcut(nextKeys, &EbookReaderTab::nextPage);
  addShortcut({QKeySequence(Qt::Key_Home)}, &EbookReaderTab::goToFirstPage);
  addShortcut({QKeySequence(Qt::Key_End)}, &EbookReaderTab::goToLastPage);
  addShortcut(zoomInKeys, &EbookReaderTab::zoomIn);
  addShortcut(zoomOutKeys, &EbookReaderTab::zoomOut);
  view_->setFocusPolicy(Qt::StrongFocus); // a click on the page gives the reader the keys
}

void EbookReaderTab::addShortcut(const QList<QKeySequence>& keys, void (EbookReaderTab::*slot)()) {
  // Only while the reader has the keyboard: other tabs use some of the same keys.
  auto* shortcut = new QShortcut(this);
  shortcut->setKeys(keys);
  shortcut->setContext(Qt::WidgetWithChildrenShortcut);
  connect(shortcut, &QShortcut::activated, this, slot);
}

void EbookReaderTab::connectSidebar() {
  connect(contentsView_, &QTreeView::clicked, this, &EbookReaderTab::openContentsEntry);
  connect(contentsView_, &QTreeView::activated, this, &EbookReaderTab::openContentsEntry);
  connect(searchPanel_, &EbookSearchPanel::currentResultChanged, this, &EbookReaderTab::showSearchResult);
  connect(contentsModel_, &QAbstractItemModel::modelReset, this, &EbookReaderTab::onContentsChanged);
}

void EbookReaderTab::onContentsChanged() {
  const int rows = contentsModel_->rowCount();
  const bool hasContents = rows > 0;
  bool nested = false;
  for (int row = 0; row < rows && !nested; ++row) {
    nested = contentsModel_->hasChildren(contentsModel_->index(row, 0));
  }
  contentsView_->setRootIsDecorated(nested); // a flat list needs no room for branches
  // A book without a table of contents opens on its search.
  sidebar_->setTabEnabled(0, hasContents);
  sidebar_->setCurrentIndex(hasContents ? 0 : 1);
}

void EbookReaderTab::openContentsEntry(const QModelIndex& index) {
  jumpTo(index.data(int(QPdfBookmarkModel::Role::Page)).toInt());
}

void EbookReaderTab::showSearchResult(int row) {
  highlights_->setCurrentResult(row);
  if (row >= 0) {
    jumpTo(searchPanel_->model()->resultAtIndex(row).page());
  }
}

void EbookReaderTab::showSearch() {
  if (fullscreen_) {
    emit fullscreenRequested(); // the search lives in the panel
  }
  setReaderPanelVisible(hasOpenDocument());
  sidebar_->setCurrentWidget(searchPanel_);
  searchPanel_->focusField();
}

void EbookReaderTab::connectControls() {
  connect(view_->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this, &EbookReaderTab::pageChanged);
  connect(document_, &QPdfDocument::statusChanged, this, &EbookReaderTab::onDocumentStatusChanged);
  connect(closeButton_, &QToolButton::clicked, this, &EbookReaderTab::stopReading);
  connect(previousButton_, &QToolButton::clicked, this, &EbookReaderTab::previousPage);
  connect(nextButton_, &QToolButton::clicked, this, &EbookReaderTab::nextPage);
  connect(zoomInButton_, &QToolButton::clicked, this, &EbookReaderTab::zoomIn);
  connect(zoomOutButton_, &QToolButton::clicked, this, &EbookReaderTab::zoomOut);
  connect(fullscreenButton_, &QToolButton::clicked, this, &EbookReaderTab::toggleFullscreen);
  connect(menuButton_, &QPushButton::clicked, this, &EbookReaderTab::onMenuButtonClicked);
  connect(pageSlider_, &QSlider::valueChanged, this, [this](int value) {
    if (value != view_->pageNavigator()->currentPage()) {
      jumpTo(value);
    }
  });
}

void EbookReaderTab::openEbook(const QUrl& url, const QString& /*name*/) {
  if (!url.isValid() || !url.isLocalFile()) {
    return;
  }
  rememberPosition(); // of the book open until now
  bookPath_ = url.path(QUrl::FullyDecoded);
  // Marked and shown first: a file that cannot be read fails inside load(), which undoes both.
  if (ebookModel_ != nullptr) {
    ebookModel_->setCurrentReadingEbook(url.path(QUrl::FullyDecoded));
  }
  setReaderPanelVisible(true);
  document_->load(url.toLocalFile());
}

void EbookReaderTab::stopReading() {
  rememberPosition();
  positions_.save();
  bookPath_.clear();
  searchPanel_->clear();
  document_->close();
  if (ebookModel_ != nullptr) {
    ebookModel_->setCurrentReadingEbook(QString());
  }
  panel_->hide();
  pageLabel_->setText(QStringLiteral("0 / 0"));
  setPageControls(0);
  const QSignalBlocker blocker(pageSlider_);
  pageSlider_->setValue(0);
}

void EbookReaderTab::setReaderPanelVisible(bool visible) {
  // In full screen the controls float over the page; the panel would only be an empty strip.
  panel_->setVisible(visible && !fullscreen_);
}

void EbookReaderTab::onHostIsFullscreen(bool isFullscreen) {
  // The window reports every change of its state, full screen or not: only a real switch
  // moves the controls.
  if (isFullscreen == fullscreen_) {
    return;
  }
  fullscreen_ = isFullscreen;
  if (isFullscreen) {
    enterFullscreen();
  } else {
    leaveFullscreen();
  }
}

void EbookReaderTab::enterFullscreen() {
  fullscreenButton_->setChecked(true);
  panel_->hide();
  fullscreenRow_->removeWidget(fullscreenButton_);
  fullscreenButton_->setParent(view_);
  menuButton_->setParent(view_);
  controls_->setParent(view_);
  fullscreenButton_->setIcon(style()->standardIcon(QStyle::SP_TitleBarNormalButton));
  fullscreenButton_->setToolTip(QCoreApplication::translate("EbookReaderTab", "Exit Fullscreen"));
  fullscreenButton_->setAutoRaise(false); // over the page it needs a face of its own to be seen
  fullscreenButton_->show();
  menuButton_->show();
  controls_->hide();
  controls_->setFixedWidth(floatingControlsWidth);
  controls_->adjustSize();
  updateFloatingWidgetsPosition();
  fullscreenButton_->raise();
  menuButton_->raise();
  idleHider_->setActive(true);
}

void EbookReaderTab::leaveFullscreen() {
  idleHider_->setActive(false);
  fullscreenButton_->setChecked(false);
  // The panel gives the controls its own width again.
  controls_->setMinimumWidth(0);
  controls_->setMaximumWidth(QWIDGETSIZE_MAX);
  panelLayout_->insertWidget(0, controls_); // above the contents and the search again
  controls_->show();
  fullscreenRow_->addWidget(fullscreenButton_);
  fullscreenButton_->setIcon(style()->standardIcon(QStyle::SP_TitleBarMaxButton));
  fullscreenButton_->setToolTip(QCoreApplication::translate("EbookReaderTab", "Toggle Fullscreen"));
  fullscreenButton_->setAutoRaise(true);
  fullscreenButton_->show();
  menuButton_->hide();
  menuButton_->setParent(this);
  panel_->setVisible(hasOpenDocument());
}

void EbookReaderTab::pageChanged(int page) {
  {
    const QSignalBlocker blocker(pageSlider_);
    pageSlider_->setValue(page);
  }
  pageLabel_->setText(QStringLiteral("%1 / %2").arg(page + 1).arg(document_->pageCount()));
  rememberPosition();
}

void EbookReaderTab::onDocumentStatusChanged(QPdfDocument::Status status) {
  if (status == QPdfDocument::Status::Ready) {
    const int pageCount = document_->pageCount();
    setPageControls(pageCount);
    pageLabel_->setText(QStringLiteral("1 / %1").arg(pageCount));
    searchPanel_->clear();
    restorePosition();
  } else if (status == QPdfDocument::Status::Error) {
    qDebug() << "Error loading PDF:" << document_->error();
    // Nothing was opened: the row must not show as being read, and the panel must not keep
    // the pages of a document that is gone.
    stopReading();
  }
}

void EbookReaderTab::nextPage() {
  jumpTo(view_->pageNavigator()->currentPage() + 1);
}

void EbookReaderTab::previousPage() {
  jumpTo(view_->pageNavigator()->currentPage() - 1);
}

void EbookReaderTab::zoomIn() {
  setCustomZoom(shownZoomFactor() * zoomStep);
  rememberPosition();
}

void EbookReaderTab::zoomOut() {
  setCustomZoom(shownZoomFactor() / zoomStep);
  rememberPosition();
}

void EbookReaderTab::toggleFullscreen() {
  // The button shows the window's state, which only the window changes.
  fullscreenButton_->setChecked(fullscreen_);
  emit fullscreenRequested();
}

void EbookReaderTab::onMenuButtonClicked() {
  if (!fullscreen_) {
    return;
  }
  const bool show = controls_->isHidden();
  controls_->setVisible(show);
  if (show) {
    controls_->raise();
  }
}

void EbookReaderTab::updateFloatingWidgetsPosition() {
  if (!fullscreen_) {
    return;
  }
  // Measured from the page area's right edge, so that the scroll bar stays free to use.
  const int width = view_->viewport()->geometry().right() + 1;
  fullscreenButton_->resize(fullscreenButton_->sizeHint());
  fullscreenButton_->move(width - fullscreenButton_->width() - floatingMargin, floatingMargin);
  menuButton_->resize(menuButton_->sizeHint());
  menuButton_->move(fullscreenButton_->x() - menuButton_->width() - floatingGap, floatingMargin);
  controls_->move(width - controls_->width() - floatingMargin,
                  fullscreenButton_->y() + fullscreenButton_->height() + floatingGap);
}

bool EbookReaderTab::event(QEvent* event) {
  // The window's own search takes the same key; within the reader, the key searches the book.
  if (event->type() == QEvent::ShortcutOverride &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Find)) {
    event->accept();
    return true;
  }
  return QWidget::event(event);
}

void EbookReaderTab::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Find)) {
    showSearch();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool EbookReaderTab::eventFilter(QObject* watched, QEvent* event) {
  // The page area follows every resize of the view, and also changes when a scroll bar comes or goes.
  if (watched == view_->viewport() && event->type() == QEvent::Resize) {
    updateFloatingWidgetsPosition();
  } else if (watched == view_->viewport() && event->type() == QEvent::Wheel) {
    turnPagesByWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
    return true; // the wheel turns pages; it never scrolls within one
  } else if (watched == view_->viewport() && fullscreen_ && event->type() == QEvent::MouseButtonPress &&
             static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    emit fullscreenRequested(); // a click on the page leaves full screen
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void EbookReaderTab::jumpTo(int page) {
  // The navigator goes to any number it is given, even past the document's end.
  if (page >= 0 && page < document_->pageCount()) {
    view_->pageNavigator()->jump(page, QPointF(0, 0), 0);
  }
}

void EbookReaderTab::goToFirstPage() {
  jumpTo(0);
}

void EbookReaderTab::goToLastPage() {
  jumpTo(document_->pageCount() - 1);
}

void EbookReaderTab::restorePosition() {
  const auto position = positions_.position(bookPath_);
  if (position.zoom > 0) {
    setCustomZoom(position.zoom);
  } else {
    view_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
  }
  // A book replaced by a shorter edition opens at its last page.
  const int page = std::clamp(position.page, 0, std::max(0, document_->pageCount() - 1));
  view_->pageNavigator()->jump(page, QPointF(0, 0), 0);
  pageChanged(page); // the navigator says nothing when it stays on the same page number
}

void EbookReaderTab::rememberPosition() {
  if (bookPath_.isEmpty() || document_->status() != QPdfDocument::Status::Ready) {
    return;
  }
  const bool custom = view_->zoomMode() == QPdfView::ZoomMode::Custom;
  positions_.setPosition(bookPath_,
                         {view_->pageNavigator()->currentPage(), custom ? view_->zoomFactor() : 0});
  savePositionsTimer_.start();
}

void EbookReaderTab::turnPagesByWheel(int verticalDelta) {
  if (verticalDelta == 0) {
    return;
  }
  // A mouse wheel turns a page per notch. Touchpads send many small steps: they add up to a
  // notch, so that one swipe does not race through the book.
  if ((pendingWheelDelta_ < 0) != (verticalDelta < 0)) {
    pendingWheelDelta_ = 0;
  }
  pendingWheelDelta_ += verticalDelta;
  if (std::abs(pendingWheelDelta_) < QWheelEvent::DefaultDeltasPerStep) {
    return;
  }
  const bool towardsUser = pendingWheelDelta_ > 0;
  pendingWheelDelta_ = 0;
  if (towardsUser) {
    previousPage();
  } else {
    nextPage();
  }
}

void EbookReaderTab::setPageControls(int pageCount) {
  const QSignalBlocker blocker(pageSlider_);
  pageSlider_->setRange(0, std::max(0, pageCount - 1));
  const bool severalPages = pageCount >= 2;
  previousButton_->setEnabled(severalPages);
  nextButton_->setEnabled(severalPages);
  pageSlider_->setEnabled(severalPages);
}

void EbookReaderTab::setCustomZoom(qreal factor) {
  view_->setZoomMode(QPdfView::ZoomMode::Custom);
  view_->setZoomFactor(std::clamp(factor, minimumZoom, maximumZoom));
}

qreal EbookReaderTab::shownZoomFactor() const {
  const qreal pointWidth = document_->pagePointSize(view_->pageNavigator()->currentPage()).width();
  // Without a screen attached there is no scale to go on from.
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (view_->zoomMode() == QPdfView::ZoomMode::Custom || pointWidth <= 0 || screen == nullptr) {
    return view_->zoomFactor();
  }
  // While fitting the width, zoomFactor() keeps its last custom value; zooming must go on from
  // the scale the page is drawn at. The view scales points by the primary screen's dots per inch.
  const qreal pixelWidth = pointWidth * screen->logicalDotsPerInch() / 72.0;
  const QMargins margins = view_->documentMargins();
  return (view_->viewport()->width() - margins.left() - margins.right()) / pixelWidth;
}

bool EbookReaderTab::hasOpenDocument() const {
  const auto status = document_->status();
  return status == QPdfDocument::Status::Ready || status == QPdfDocument::Status::Loading;
}

} // namespace arvexhub::launcher
