#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace arvexhub::pdf {

/// Writes a PDF of pages holding text in the standard Helvetica fonts (so that readers can find it
/// in a search), filled and stroked rectangles and lines, and an outline of entries leading to
/// pages. Coordinates are points from the top-left corner of the page.
class SimplePdf final {
public:
  enum class Weight { Regular, Bold };

  explicit SimplePdf(QSizeF pageSize = {420, 595});

  QSizeF pageSize() const;
  int pageCount() const;
  /// Starts a page; what is drawn next goes on it.
  void newPage();
  void fillRect(const QRectF& rect, const QColor& colour);
  void strokeRect(const QRectF& rect, const QColor& colour, qreal width);
  void drawLine(QPointF from, QPointF to, const QColor& colour, qreal width);
  /// One line of text, its baseline starting at `origin`.
  void drawText(QPointF origin, const QString& text, qreal size, const QColor& colour,
                Weight weight = Weight::Regular);
  /// The advance of the text in points.
  static qreal textWidth(const QString& text, qreal size, Weight weight = Weight::Regular);
  /// The text broken at blanks into lines no wider than `width` (a longer word keeps a line).
  static QStringList wrap(const QString& text, qreal size, qreal width, Weight weight = Weight::Regular);
  /// An entry of the outline (the reader's table of contents) that leads to a page, 0-based.
  void addOutlineEntry(const QString& title, int page);
  /// The whole document. The title goes into its information dictionary.
  QByteArray toPdf(const QString& title) const;

private:
  struct OutlineEntry {
    QString title;
    int page;
  };

  QByteArray& content();

  QSizeF pageSize_;
  QList<QByteArray> pages_;
  QList<OutlineEntry> outline_;
};

} // namespace arvexhub::pdf
