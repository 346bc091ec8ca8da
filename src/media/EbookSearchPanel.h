#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListView;
class QModelIndex;
class QPdfDocument;
class QPdfSearchModel;

namespace arvexhub::launcher {

/// The reader's text search: a field, the number of matches and their list, each with its page
/// and the words around it. The whole book is searched a few pages at a time, so that the window
/// keeps answering while a long book is searched; matches show as they are found.
class EbookSearchPanel final : public QWidget {
  Q_OBJECT

public:
  EbookSearchPanel(QPdfDocument* document, QWidget* parent);
  ~EbookSearchPanel() override;
  Q_DISABLE_COPY_MOVE(EbookSearchPanel)

  QPdfSearchModel* model() const;
  /// The row of the chosen match, -1 without one.
  int currentResult() const;
  bool isSearching() const;
  /// Puts the keyboard into the search field, its text selected.
  void focusField();
  /// Forgets the search, as when another book opens.
  void clear();

public slots:
  /// Searches for the text, or shows the next match when it is already searched for.
  void search(const QString& text);
  void nextResult();
  void previousResult();

signals:
  /// A match was chosen, from the list or with the keys; -1 when there is none any more.
  void currentResultChanged(int row);
  /// The whole book has been searched.
  void searchFinished();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void startSearch(const QString& text);
  void searchSomePages();
  void stepResult(int step);
  void onResultsInserted();
  void updateCount();

  QPdfDocument* document_;
  QPdfSearchModel* model_{nullptr};
  QLineEdit* field_{nullptr};
  QLabel* countLabel_{nullptr};
  QListView* results_{nullptr};
  QTimer pageTimer_;
  QTimer typingTimer_;
  int nextPage_{0};
  bool searching_{false};
};

} // namespace arvexhub::launcher
