#include "SimplePdf.h"

#include <algorithm>
#include <array>

namespace arvexhub::pdf {
namespace {

// Advances of the printable ASCII characters (32 to 126) in thousandths of the font size, from
// the metrics of the two standard fonts; other characters count as a digit.
constexpr std::array<short, 95> regularWidths{
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333,  278, 278, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667,
    611, 778, 722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667,  611, 722, 667, 944, 667,
    667, 611, 278, 278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278,  556, 556, 222, 222, 500,
    222, 833, 556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500,  500, 334, 260, 334, 584};
constexpr std::array<short, 95> boldWidths{
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611, 975, 722, 722, 722, 722, 667,
    611, 778, 722, 278, 556, 722, 611, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667,
    667, 611, 333, 278, 333, 584, 556, 333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556,
    278, 889, 611, 611, 611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584};
constexpr short otherWidth = 556;

/// The byte of the character in the fonts' encoding (WinAnsi): Latin-1 and the common typographic
/// quotes and dashes; anything else becomes a question mark.
char encoded(QChar c) {
  switch (c.unicode()) {
  case 0x2018:
    return char(0x91);
  case 0x2019:
    return char(0x92);
  case 0x201C:
    return char(0x93);
  case 0x201D:
    return char(0x94);
  case 0x2013:
    return char(0x96);
  case 0x2014:
    return char(0x97);
  case 0x2026:
    return char(0x85);
  default:
    return c.unicode() >= 32 && c.unicode() <= 255 && c.unicode() != 127 ? char(c.unicode()) : '?';
  }
}

QByteArray number(qreal value) {
  return QByteArray::number(value, 'f', 2);
}

QByteArray colourOperands(const QColor& colour) {
  return number(colour.redF()) + ' ' + number(colour.greenF()) + ' ' + number(colour.blueF());
}

/// A PDF text string in UTF-16 with its byte order mark, as hexadecimal digits: no escaping needed.
QByteArray textString(const QString& text) {
  QByteArray bytes("\xFE\xFF");
  for (const QChar c : text) {
    bytes.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
  }
  return '<' + bytes.toHex() + '>';
}

QByteArray reference(int object) {
  return QByteArray::number(object) + " 0 R";
}

/// The objects of the file in order of their numbers (1 and up), joined with the cross-reference
/// table and trailer that lead to them.
QByteArray assemble(const QList<QByteArray>& objects) {
  QByteArray file("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
  QList<qsizetype> offsets;
  for (qsizetype i = 0; i < objects.size(); ++i) {
    offsets.append(file.size());
    file += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const auto xref = file.size();
  file += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (const auto offset : offsets) {
    file += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
  }
  file += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R /Info 6 0 R >>\n";
  return file + "startxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
}

} // namespace

SimplePdf::SimplePdf(QSizeF pageSize)
    : pageSize_(pageSize) {}

QSizeF SimplePdf::pageSize() const {
  return pageSize_;
}

int SimplePdf::pageCount() const {
  return int(pages_.size());
}

void SimplePdf::newPage() {
  pages_.append(QByteArray());
}

QByteArray& SimplePdf::content() {
  if (pages_.isEmpty()) {
    newPage();
  }
  return pages_.last();
}

void SimplePdf::fillRect(const QRectF& rect, const QColor& colour) {
  content() += colourOperands(colour) + " rg " + number(rect.left()) + ' ' +
               number(pageSize_.height() - rect.bottom()) + ' ' + number(rect.width()) + ' ' +
               number(rect.height()) + " re f\n";
}

void SimplePdf::strokeRect(const QRectF& rect, const QColor& colour, qreal width) {
  content() += colourOperands(colour) + " RG " + number(width) + " w " + number(rect.left()) + ' ' +
               number(pageSize_.height() - rect.bottom()) + ' ' + number(rect.width()) + ' ' +
               number(rect.height()) + " re S\n";
}

void SimplePdf::drawLine(QPointF from, QPointF to, const QColor& colour, qreal width) {
  content() += colourOperands(colour) + " RG " + number(width) + " w " + number(from.x()) + ' ' +
               number(pageSize_.height() - from.y()) + " m " + number(to.x()) + ' ' +
               number(pageSize_.height() - to.y()) + " l S\n";
}

void SimplePdf::drawText(QPointF origin, const QString& text, qreal size, const QColor& colour,
                         Weight weight) {
  QByteArray bytes;
  for (const QChar c : text) {
    bytes.append(encoded(c));
  }
  content() += "BT " + colourOperands(colour) + " rg /F" + (weight == Weight::Bold ? "2 " : "1 ") +
               number(size) + " Tf " + number(origin.x()) + ' ' + number(pageSize_.height() - origin.y()) +
               " Td <" + bytes.toHex() + "> Tj ET\n";
}

qreal SimplePdf::textWidth(const QString& text, qreal size, Weight weight) {
  const auto& widths = weight == Weight::Bold ? boldWidths : regularWidths;
  int total = 0;
  for (const QChar c : text) {
    const auto code = c.unicode();
    total += code >= 32 && code <= 126 ? widths[code - 32] : otherWidth;
  }
  return total * size / 1000;
}

QStringList SimplePdf::wrap(const QString& text, qreal size, qreal width, Weight weight) {
  QStringList lines;
  QString line;
  for (const auto& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
    if (!line.isEmpty() && textWidth(longer, size, weight) > width) {
      lines.append(line);
      line = word;
    } else {
      line = longer;
    }
  }
  if (!line.isEmpty()) {
    lines.append(line);
  }
  return lines;
}

void SimplePdf::addOutlineEntry(const QString& title, int page) {
  outline_.append({title, page});
}

QByteArray SimplePdf::toPdf(const QString& title) const {
  // 1 catalogue, 2 page tree, 3 outline, 4 and 5 the fonts, 6 information, then a page and its
  // content for each page, then the outline's entries.
  const int firstPage = 7;
  const int firstEntry = firstPage + 2 * pageCount();
  const auto entries = int(outline_.size());
  QList<QByteArray> objects{
      "<< /Type /Catalog /Pages 2 0 R /Outlines 3 0 R" +
          QByteArray(entries > 0 ? " /PageMode /UseOutlines >>" : " >>"),
      {},
      entries > 0 ? "<< /Type /Outlines /First " + reference(firstEntry) + " /Last " +
                        reference(firstEntry + entries - 1) + " /Count " + QByteArray::number(entries) + " >>"
                  : QByteArray("<< /Type /Outlines /Count 0 >>"),
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>",
      "<< /Title " + textString(title) + " /Producer (Arvex Hub) >>"};
  QByteArray kids;
  const QByteArray box = "[0 0 " + number(pageSize_.width()) + ' ' + number(pageSize_.height()) + ']';
  for (int page = 0; page < pageCount(); ++page) {
    kids += reference(firstPage + 2 * page) + ' ';
    objects.append("<< /Type /Page /Parent 2 0 R /MediaBox " + box +
                   " /Resources << /Font << /F1 4 0 R /F2 5 0 R >> >> /Contents " +
                   reference(firstPage + 2 * page + 1) + " >>");
    objects.append("<< /Length " + QByteArray::number(pages_[page].size()) + " >>\nstream\n" + pages_[page] +
                   "endstream");
  }
  objects[1] =
      "<< /Type /Pages /Kids [" + kids.trimmed() + "] /Count " + QByteArray::number(pageCount()) + " >>";
  for (int i = 0; i < entries; ++i) {
    const int page = std::clamp(outline_[i].page, 0, std::max(0, pageCount() - 1));
    QByteArray entry = "<< /Title " + textString(outline_[i].title) + " /Parent 3 0 R /Dest [" +
                       reference(firstPage + 2 * page) + " /XYZ 0 " + number(pageSize_.height()) + " 0]";
    if (i > 0) {
      entry += " /Prev " + reference(firstEntry + i - 1);
    }
    if (i + 1 < entries) {
      entry += " /Next " + reference(firstEntry + i + 1);
    }
    objects.append(entry + " >>");
  }
  return assemble(objects);
}

} // namespace arvexhub::pdf
