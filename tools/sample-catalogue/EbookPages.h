#pragma once

#include <QByteArray>
#include <QImage>

namespace arvexhub::sample {

struct SampleEbook;

/// The e-book as a PDF of A5 pages: the cover, then its text pages. Empty if writing fails.
QByteArray ebookPdf(const SampleEbook& ebook);

/// The cover page as a picture `width` pixels wide.
QImage drawEbookCover(const SampleEbook& ebook, int width = 210);

} // namespace arvexhub::sample
