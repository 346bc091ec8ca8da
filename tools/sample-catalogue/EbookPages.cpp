#include "EbookPages.h"

#include "SampleMedia.h"
#include "SimplePdf.h"

#include <QPainter>

namespace arvexhub::sample {
namespace {

// Pages are drawn on an A5 canvas in points; the painter scales it to the device.
constexpr qreal pageWidth = 420;
constexpr qreal pageHeight = 595;
constexpr qreal margin = 48;

const char* const sentences[] = {
    "The lamps along the harbour were lit one by one, and each made its own small room in the dusk.",
    "Nobody remembered who had first written the rules down, only that they had always worked.",
    "By the third morning the fog had thinned enough to show the outline of the northern ridge.",
    "She kept a list of every sound the old house made, and after a month the list was shorter.",
    "Maps are promises made by people who have already left; the road keeps none of them.",
    "The workshop smelled of cut pine and warm solder, and the radio played something half familiar.",
    "Every river in the valley ran toward the same lake, though none of them seemed in a hurry.",
    "He counted the steps twice, found a different number each time, and decided both were right.",
    "Late in the season the orchard gave more fruit than anyone could carry, so the birds stayed.",
    "There is a kind of quiet that comes only after a long task is finished and put away.",
    "The letter arrived without a stamp, folded into a square, and smelling faintly of rain.",
};
constexpr int sentenceCount = sizeof(sentences) / sizeof(sentences[0]);

QFont font(int pixelSize, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Serif"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

void scaleToPage(QPainter& painter) {
  painter.scale(painter.device()->width() / pageWidth, painter.device()->height() / pageHeight);
}

void drawCover(QPainter& painter, const SampleEbook& ebook) {
  painter.fillRect(QRectF(0, 0, pageWidth, pageHeight), ebook.paperColour);
  painter.setPen(QPen(ebook.titleColour, 3));
  painter.drawRect(QRectF(24, 24, pageWidth - 48, pageHeight - 48));
  painter.setFont(font(46, true));
  painter.drawText(QRectF(margin, 110, pageWidth - 2 * margin, 260), Qt::AlignCenter | Qt::TextWordWrap,
                   ebook.fullName);
  painter.drawLine(QPointF(150, 395), QPointF(pageWidth - 150, 395));
  painter.setFont(font(20));
  painter.drawText(QRectF(margin, 410, pageWidth - 2 * margin, 40), Qt::AlignCenter, ebook.author);
  painter.setFont(font(13));
  painter.drawText(QRectF(margin, 510, pageWidth - 2 * margin, 30), Qt::AlignCenter, ebook.publisher);
}

/// Three sentences; a page's nine are all different, since 4 and the sentence count have no common
/// divisor, and each page takes them in another order.
QString paragraph(int page, int index) {
  QStringList text;
  for (int i = 0; i < 3; ++i) {
    text << QString::fromUtf8(sentences[((page * 9 + index * 3 + i) * 4) % sentenceCount]);
  }
  return text.join(QLatin1Char(' '));
}

void drawPdfCover(pdf::SimplePdf& book, const SampleEbook& ebook) {
  book.fillRect(QRectF(0, 0, pageWidth, pageHeight), ebook.paperColour);
  book.strokeRect(QRectF(24, 24, pageWidth - 48, pageHeight - 48), ebook.titleColour, 3);
  const auto bold = pdf::SimplePdf::Weight::Bold;
  const auto title = pdf::SimplePdf::wrap(ebook.fullName, 40, pageWidth - 2 * margin, bold);
  qreal baseline = 240 - title.size() * 48 / 2.0 + 36;
  for (const auto& line : title) {
    const qreal width = pdf::SimplePdf::textWidth(line, 40, bold);
    book.drawText(QPointF((pageWidth - width) / 2, baseline), line, 40, ebook.titleColour, bold);
    baseline += 48;
  }
  book.drawLine(QPointF(150, 395), QPointF(pageWidth - 150, 395), ebook.titleColour, 3);
  const auto centred = [&book, &ebook](const QString& text, qreal size, qreal y) {
    book.drawText(QPointF((pageWidth - pdf::SimplePdf::textWidth(text, size)) / 2, y), text, size,
                  ebook.titleColour);
  };
  centred(ebook.author, 20, 437);
  centred(ebook.publisher, 13, 530);
}

void drawTextPage(pdf::SimplePdf& book, const SampleEbook& ebook, int page) {
  const auto heading = QStringLiteral("Chapter %1").arg(page);
  book.drawText(QPointF(margin, margin + 26), heading, 22, ebook.titleColour.darker(120),
                pdf::SimplePdf::Weight::Bold);
  qreal baseline = margin + 72;
  for (int index = 0; index < 3; ++index) {
    for (const auto& line : pdf::SimplePdf::wrap(paragraph(page, index), 12, pageWidth - 2 * margin)) {
      book.drawText(QPointF(margin, baseline), line, 12, Qt::black);
      baseline += 16;
    }
    baseline += 12;
  }
  const auto number = QString::number(page + 1);
  book.drawText(QPointF((pageWidth - pdf::SimplePdf::textWidth(number, 10)) / 2, pageHeight - 24), number, 10,
                Qt::black);
}

} // namespace

QByteArray ebookPdf(const SampleEbook& ebook) {
  // Written by hand rather than with QPdfWriter, which cannot give the book its table of contents.
  pdf::SimplePdf book(QSizeF(pageWidth, pageHeight));
  book.newPage();
  drawPdfCover(book, ebook);
  book.addOutlineEntry(QStringLiteral("Cover"), 0);
  for (int page = 1; page <= ebook.textPages; ++page) {
    book.newPage();
    drawTextPage(book, ebook, page);
    book.addOutlineEntry(QStringLiteral("Chapter %1").arg(page), page);
  }
  return book.toPdf(ebook.fullName);
}

QImage drawEbookCover(const SampleEbook& ebook, int width) {
  QImage image(width, qRound(width * pageHeight / pageWidth), QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  scaleToPage(painter);
  drawCover(painter, ebook);
  painter.end();
  return image;
}

} // namespace arvexhub::sample
