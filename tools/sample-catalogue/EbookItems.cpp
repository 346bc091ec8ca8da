#include "EbookItems.h"

#include "EbookPages.h"
#include "SampleMedia.h"
#include "Thumbnail.h"

namespace arvexhub::sample {

CataloguePart ebookItems() {
  CataloguePart part;
  for (const auto& ebook : sampleEbooks()) {
    const auto pdf = ebookPdf(ebook);
    const auto cover = pngBytes(drawEbookCover(ebook));
    if (pdf.isEmpty() || cover.isEmpty()) {
      return {{}, QStringLiteral("cannot draw the e-book %1").arg(ebook.name)};
    }
    const QJsonObject fields{
        {QStringLiteral("fullName"), ebook.fullName},
        {QStringLiteral("author"), ebook.author},
        {QStringLiteral("publisher"), ebook.publisher},
        {QStringLiteral("publicationDate"), ebook.publicationDate},
    };
    const QList<ArchiveEntry> files{{ebook.name + QStringLiteral(".pdf"), pdf},
                                    {ebook.name + QStringLiteral(".png"), cover}};
    part.items.append({ebook.name, fields, files, cover});
  }
  return part;
}

} // namespace arvexhub::sample
