#pragma once
// What every PDF the program prints shares: the resolution it draws at, a writer set up for a
// paper size given in millimetres, kept upright and turned for landscape, and the drawing of
// the file in memory, so a file is only written once it is whole.

#include <functional>
#include <string>

#include <QMarginsF>
#include <QPdfWriter>
#include <QSizeF>
#include <QString>

class QPainter;

namespace tavrel {

// Dots per inch of every printed PDF: fine enough for barcodes and 2 mm type.
constexpr int kPdfDpi = 600;

void SetUpPdfWriter(QPdfWriter& writer, const QString& title, QSizeF paperMm, bool landscape,
                    const QMarginsF& marginsMm);

// Draws a PDF in memory: `paint` gets the writer, set up as above, and an active painter, and
// draws every page; it returns false when a page could not be made. Returns the file's bytes,
// empty when no PDF was made.
std::string RenderPdf(const QString& title, QSizeF paperMm, bool landscape, const QMarginsF& marginsMm,
                      const std::function<bool(QPdfWriter&, QPainter&)>& paint);

}  // namespace tavrel
