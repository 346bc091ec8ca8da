#include "media/EbookSearchPanel.h"

#include "media/SearchResultDelegate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPdfDocument>
#include <QPdfSearchModel>
#include <QTimerEvent>
#include <QVBoxLayout>

namespace arvexhub::launcher {
namespace {

/// How long one turn of the search may hold the event loop.
constexpr int sliceMsec = 8;
/// The pause in typing after which the search starts by itself.
constexpr int typingPauseMsec = 300;

} // namespace

EbookSearchPanel::EbookSearchPanel(QPdfDocument* document, QWidget* parent)
    : QWidget(parent)
    , document_(document)
    , model_(new QPdfSearchModel(this)) {
  model_->setDocument(document_);
  // The model searches by itself on a timer of its own, and leaves a timer running for good when a
  // search replaces another that was not finished. This panel does the searching instead, in
  // slices it controls, and stops every timer of the model.
  model_->installEventFilter(this);
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("searchField"));
  field_->setClearButtonEnabled(true);
  field_->setPlaceholderText(QCoreApplication::translate("EbookSearchPanel", "Search"));
  field_->setToolTip(QCoreApplication::translate(
                         "EbookSearchPanel",
                         "Search the book (%1). Enter shows the next match, Shift+Enter the previous one.")
                         .arg(QKeySequence(QKeySequence::Find).toString(QKeySequence::NativeText)));
  field_->installEventFilter(this);
  countLabel_ = new QLabel(this);
  countLabel_->setObjectName(QStringLiteral("searchCount"));
  results_ = new QListView(this);
  results_->setObjectName(QStringLiteral("searchResults"));
  results_->setModel(model_);
  auto* delegate = new SearchResultDelegate(results_);
  results_->setItemDelegate(delegate);
  connect(model_, &QAbstractItemModel::modelReset, delegate, &SearchResultDelegate::forgetPages);
  results_->setUniformItemSizes(true);
  // A common word is found tens of thousands of times: the list lays its rows out a batch at a
  // time rather than all of them after every page searched.
  results_->setLayoutMode(QListView::Batched);
  results_->setBatchSize(500);
  results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(field_);
  layout->addWidget(countLabel_);
  layout->addWidget(results_, 1);

  pageTimer_.setInterval(0);
  typingTimer_.setSingleShot(true);
  typingTimer_.setInterval(typingPauseMsec);
  connect(&pageTimer_, &QTimer::timeout, this, &EbookSearchPanel::searchSomePages);
  connect(&typingTimer_, &QTimer::timeout, this, [this] {
    if (field_->text() != model_->searchString()) {
      startSearch(field_->text());
    }
  });
  connect(field_, &QLineEdit::textEdited, &typingTimer_, qOverload<>(&QTimer::start));
  connect(model_, &QAbstractItemModel::rowsInserted, this, &EbookSearchPanel::onResultsInserted);
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    updateCount();
    emit currentResultChanged(-1);
  });
  connect(results_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            updateCount();
            emit currentResultChanged(current.row());
          });
  connect(results_, &QListView::clicked, this, [this](const QModelIndex& index) {
    emit currentResultChanged(index.row()); // back to the match after reading elsewhere
  });
  updateCount();
}

EbookSearchPanel::~EbookSearchPanel() {
  model_->removeEventFilter(this);
}

QPdfSearchModel* EbookSearchPanel::model() const {
  return model_;
}

int EbookSearchPanel::currentResult() const {
  return results_->currentIndex().row();
}

bool EbookSearchPanel::isSearching() const {
  return searching_;
}

void EbookSearchPanel::focusField() {
  field_->setFocus(Qt::ShortcutFocusReason);
  field_->selectAll();
}

void EbookSearchPanel::clear() {
  field_->clear();
  startSearch(QString());
}

void EbookSearchPanel::search(const QString& text) {
  if (text == model_->searchString() && !text.isEmpty()) {
    nextResult();
  } else {
    startSearch(text);
  }
}

void EbookSearchPanel::nextResult() {
  stepResult(1);
}

void EbookSearchPanel::previousResult() {
  stepResult(-1);
}

void EbookSearchPanel::startSearch(const QString& text) {
  typingTimer_.stop();
  if (field_->text() != text) {
    field_->setText(text);
  }
  nextPage_ = 0;
  searching_ = !text.isEmpty() && document_->pageCount() > 0;
  // The same text again after another book opened must search that book: the model only starts
  // afresh on a change of text.
  model_->setSearchString(QString());
  model_->setSearchString(text);
  if (searching_) {
    pageTimer_.start();
  } else {
    pageTimer_.stop();
  }
  updateCount();
}

void EbookSearchPanel::searchSomePages() {
  QElapsedTimer slice;
  slice.start();
  const int pageCount = document_->pageCount();
  while (nextPage_ < pageCount && slice.elapsed() < sliceMsec) {
    model_->resultsOnPage(nextPage_++); // searches the page once, adding its matches to the rows
  }
  if (nextPage_ >= pageCount) {
    pageTimer_.stop();
    searching_ = false;
    updateCount();
    emit searchFinished();
  }
}

void EbookSearchPanel::stepResult(int step) {
  const int count = model_->rowCount(QModelIndex());
  if (count == 0) {
    return;
  }
  const int row = results_->currentIndex().isValid() ? (currentResult() + step + count) % count
                  : step > 0                         ? 0
                                                     : count - 1;
  const auto index = model_->index(row);
  if (index == results_->currentIndex()) {
    emit currentResultChanged(row); // the only match: back to it
  }
  results_->setCurrentIndex(index);
  results_->scrollTo(index);
}

void EbookSearchPanel::onResultsInserted() {
  // The first match found is shown at once, as a reader expects.
  if (!results_->currentIndex().isValid()) {
    results_->setCurrentIndex(model_->index(0));
  }
  updateCount();
}

void EbookSearchPanel::updateCount() {
  const int count = model_->rowCount(QModelIndex());
  if (model_->searchString().isEmpty()) {
    countLabel_->clear();
  } else if (searching_) {
    countLabel_->setText(
        QCoreApplication::translate("EbookSearchPanel", "Searching… matches so far: %1").arg(count));
  } else if (count == 0) {
    countLabel_->setText(QCoreApplication::translate("EbookSearchPanel", "No matches"));
  } else if (currentResult() >= 0) {
    countLabel_->setText(QCoreApplication::translate("EbookSearchPanel", "Match %1 of %2")
                             .arg(currentResult() + 1)
                             .arg(count));
  } else {
    countLabel_->setText(QCoreApplication::translate("EbookSearchPanel", "Matches: %1").arg(count));
  }
}

bool EbookSearchPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == model_ && event->type() == QEvent::Timer) {
    model_->killTimer(static_cast<QTimerEvent*>(event)->timerId());
    return true;
  }
  if (watched == field_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (key->modifiers() & Qt::ShiftModifier) {
        previousResult();
      } else {
        search(field_->text());
      }
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

} // namespace arvexhub::launcher
