#include "results/ui/print/PdfPages.h"

#include <algorithm>

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>

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

std::string RenderPdf(const QString& title, QSizeF paperMm, bool landscape, const QMarginsF& marginsMm,
                      const std::function<bool(QPdfWriter&, QPainter&)>& paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        SetUpPdfWriter(writer, title, paperMm, landscape, marginsMm);
        QPainter painter;
        if (!painter.begin(&writer)) return {};
        const bool drawn = paint(writer, painter);
        if (!painter.end() || !drawn) return {};
    }
    buffer.close();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace tavrel
