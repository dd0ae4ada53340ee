#pragma once
// What every PDF the program prints shares: the resolution it draws at, and a writer set up for
// a paper size given in millimetres, kept upright and turned for landscape.

#include <QMarginsF>
#include <QPdfWriter>
#include <QSizeF>
#include <QString>

namespace tavrel {

// Dots per inch of every printed PDF: fine enough for barcodes and 2 mm type.
constexpr int kPdfDpi = 600;

void SetUpPdfWriter(QPdfWriter& writer, const QString& title, QSizeF paperMm, bool landscape,
                    const QMarginsF& marginsMm);

}  // namespace tavrel
