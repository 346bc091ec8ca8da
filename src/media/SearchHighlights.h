#pragma once

#include <QPointer>
#include <QWidget>

class QPdfSearchModel;
class QPdfView;

namespace arvexhub::launcher {

/// Marks the search's matches on the page the view shows, the chosen one in a stronger colour.
/// It lies over the view's page area and lets the mouse through to it.
class SearchHighlights final : public QWidget {
  Q_OBJECT

public:
  SearchHighlights(QPdfView* view, QPdfSearchModel* model);
  ~SearchHighlights() override;
  Q_DISABLE_COPY_MOVE(SearchHighlights)

  void setCurrentResult(int row);
  /// Where the view draws the current page, in the page area's coordinates; empty without one.
  QRectF pageRect() const;

protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QPdfView* view_;
  QPointer<QPdfSearchModel> model_;
  int currentResult_{-1};
};

} // namespace arvexhub::launcher
