#include "media/SearchHighlights.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfSearchModel>
#include <QPdfView>
#include <QScreen>
#include <QScrollBar>

namespace arvexhub::launcher {
namespace {

const QColor matchColour(255, 214, 0, 90);
const QColor currentColour(255, 120, 0, 130);

} // namespace

SearchHighlights::SearchHighlights(QPdfView* view, QPdfSearchModel* model)
    : QWidget(view->viewport())
    , view_(view)
    , model_(model) {
  setObjectName(QStringLiteral("searchHighlights"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGeometry(view->viewport()->rect());
  view->viewport()->installEventFilter(this);
  const auto repaint = [this] { update(); };
  connect(view->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this, repaint);
  connect(view, &QPdfView::zoomFactorChanged, this, repaint);
  connect(view, &QPdfView::zoomModeChanged, this, repaint);
  connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, repaint);
  connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, repaint);
  // A search adds the matches of one page at a time; only those of the page shown change the picture.
  connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& /*parent*/, int first) {
    const auto page = model_->index(first).data(int(QPdfSearchModel::Role::Page)).toInt();
    if (page == view_->pageNavigator()->currentPage()) {
      update();
    }
  });
  connect(model, &QAbstractItemModel::modelReset, this, repaint);
}

SearchHighlights::~SearchHighlights() = default;

void SearchHighlights::setCurrentResult(int row) {
  currentResult_ = row;
  update();
}

QRectF SearchHighlights::pageRect() const {
  auto* document = view_->document();
  const int page = view_->pageNavigator()->currentPage();
  const QSizeF points = document != nullptr ? document->pagePointSize(page) : QSizeF();
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (points.isEmpty() || screen == nullptr) {
    return {};
  }
  // The view lays a page out as follows: points scaled by the screen's dots per inch, then by the
  // zoom, or to the width of the page area less the margins; centred across; scrolled.
  const QMargins margins = view_->documentMargins();
  const int areaWidth = view_->viewport()->width();
  const QSizeF unzoomed = points * screen->logicalDotsPerInch() / 72.0;
  QSize size = (unzoomed * view_->zoomFactor()).toSize();
  if (view_->zoomMode() == QPdfView::ZoomMode::FitToWidth) {
    size =
        unzoomed.toSize() * (qreal(areaWidth - margins.left() - margins.right()) / unzoomed.toSize().width());
  }
  const int totalWidth = size.width() + margins.left() + margins.right();
  const int left = (std::max(totalWidth, areaWidth) - size.width()) / 2;
  return QRectF(left - view_->horizontalScrollBar()->value(),
                margins.top() - view_->verticalScrollBar()->value(), size.width(), size.height());
}

void SearchHighlights::paintEvent(QPaintEvent* /*event*/) {
  const QRectF page = pageRect();
  if (model_ == nullptr || model_->searchString().isEmpty() || page.isEmpty()) {
    return;
  }
  const int pageNumber = view_->pageNavigator()->currentPage();
  const qreal scale = page.width() / view_->document()->pagePointSize(pageNumber).width();
  const QPdfLink current = currentResult_ >= 0 ? model_->resultAtIndex(currentResult_) : QPdfLink();
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  for (const QPdfLink& match : model_->resultsOnPage(pageNumber)) {
    const bool isCurrent = current.page() == pageNumber && current.rectangles() == match.rectangles();
    painter.setBrush(isCurrent ? currentColour : matchColour);
    for (const QRectF& box : match.rectangles()) {
      const QRectF shown(page.topLeft() + box.topLeft() * scale, box.size() * scale);
      painter.drawRoundedRect(shown.adjusted(-1, -1, 1, 1), 2, 2);
    }
  }
}

bool SearchHighlights::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->viewport() && event->type() == QEvent::Resize) {
    setGeometry(view_->viewport()->rect());
  }
  return QWidget::eventFilter(watched, event);
}

} // namespace arvexhub::launcher
