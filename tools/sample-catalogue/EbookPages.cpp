#include "EbookPages.h"

#include "SampleMedia.h"

#include <QBuffer>
#include <QDate>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

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

void drawTextPage(QPainter& painter, const SampleEbook& ebook, int page) {
  painter.fillRect(QRectF(0, 0, pageWidth, pageHeight), Qt::white);
  painter.setPen(ebook.titleColour.darker(120));
  painter.setFont(font(22, true));
  painter.drawText(QRectF(margin, margin, pageWidth - 2 * margin, 40), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Chapter %1").arg(page));
  painter.setPen(Qt::black);
  painter.setFont(font(12));
  qreal top = margin + 60;
  for (int index = 0; index < 3; ++index) {
    const QRectF box(margin, top, pageWidth - 2 * margin, pageHeight - margin - top);
    const auto used = painter.boundingRect(box, Qt::TextWordWrap, paragraph(page, index));
    painter.drawText(box, Qt::TextWordWrap, paragraph(page, index));
    top += used.height() + 12;
  }
  painter.setFont(font(10));
  painter.drawText(QRectF(0, pageHeight - 36, pageWidth, 20), Qt::AlignCenter, QString::number(page + 1));
}

/// Qt stamps a PDF with the time it was written. The book's own date, in as many digits, keeps the
/// byte offsets of the file right and its bytes the same on every write.
void stampCreationDate(QByteArray& pdf, const SampleEbook& ebook) {
  const QByteArray key("/CreationDate (D:");
  const auto stamp =
      QDate::fromString(ebook.publicationDate, Qt::ISODate).toString(u"yyyyMMdd120000").toLatin1();
  const auto at = pdf.indexOf(key);
  if (at >= 0 && stamp.size() == 14) {
    pdf.replace(at + key.size(), stamp.size(), stamp);
  }
}

} // namespace

QByteArray ebookPdf(const SampleEbook& ebook) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setTitle(ebook.fullName);
  writer.setCreator(QStringLiteral("Arvex Hub sample catalogue"));
  writer.setResolution(72);
  writer.setPageSize(QPageSize(QPageSize::A5));
  writer.setPageMargins(QMarginsF());
  QPainter painter;
  if (!painter.begin(&writer)) {
    return {};
  }
  painter.setRenderHint(QPainter::Antialiasing);
  scaleToPage(painter);
  drawCover(painter, ebook);
  for (int page = 1; page <= ebook.textPages; ++page) {
    writer.newPage();
    drawTextPage(painter, ebook, page);
  }
  if (!painter.end()) {
    return {};
  }
  stampCreationDate(bytes, ebook);
  return bytes;
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
