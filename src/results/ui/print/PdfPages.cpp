#include "results/ui/print/PdfPages.h"

#include <algorithm>

#include <QPageLayout>
#include <QPageSize>

namespace tavrel {

void SetUpPdfWriter(QPdfWriter& writer, const QString& title, QSizeF paperMm, bool landscape,
                    const QMarginsF& marginsMm) {
    writer.setResolution(kPdfDpi);
    writer.setCreator(QStringLiteral("Tavrel"));
    writer.setTitle(title);
    // The page size is kept upright; a landscape page is an upright page turned.
    const QSizeF upright(std::min(paperMm.width(), paperMm.height()),
                         std::max(paperMm.width(), paperMm.height()));
    writer.setPageLayout(QPageLayout(QPageSize(upright, QPageSize::Millimeter),
                                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait, marginsMm,
                                     QPageLayout::Millimeter));
}

}  // namespace tavrel
