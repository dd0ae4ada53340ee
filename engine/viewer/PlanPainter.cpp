#include "viewer/PlanPainter.h"

#include <algorithm>
#include <map>

#include <QFontMetricsF>
#include <QPainter>

#include "common/TextUtils.h"
#include "plans/PlanRecords.h"

using namespace tavrel;

namespace {

const QColor kWaste(200, 200, 200);
const QColor kPiece(250, 250, 245);
const QColor kOffcut(200, 235, 200);
const QColor kCut(200, 30, 30);

QString Mm(engine::Length tenths) { return QString::fromStdString(TenthsText(tenths)); }

// Largest font pixel size (at most `cap`) at which every line fits the box.
double FittingSize(const QFont& base, const QStringList& lines, const QSizeF& box, double cap) {
    double size = std::min(cap, box.height() / (1.25 * double(std::max<qsizetype>(1, lines.size()))));
    QFont f = base;
    while (size >= 5.0) {
        f.setPixelSize(static_cast<int>(size));
        QFontMetricsF m(f);
        double widest = 0;
        for (const QString& l : lines) {
            widest = std::max(widest, m.horizontalAdvance(l));
        }
        if (widest <= box.width() * 0.92) {
            return size;
        }
        size *= 0.85;
    }
    return 0.0;
}

void Label(QPainter& p, const QRectF& r, const QStringList& lines) {
    QFont f = p.font();
    const double size = FittingSize(f, lines, r.size(), 14.0);
    if (size < 5.0) {
        return;
    }
    f.setPixelSize(static_cast<int>(size));
    p.setFont(f);
    p.drawText(r, Qt::AlignCenter, lines.join('\n'));
}

}  // namespace

QString SizeText(engine::Length width, engine::Length height) { return Mm(width) + " x " + Mm(height); }

void PaintPattern(QPainter& p, const ResultPattern& pat, const QRectF& target, const PaintOptions& options) {
    if (pat.width <= 0 || pat.height <= 0 || target.width() <= 0 || target.height() <= 0) {
        return;
    }
    const double scale = std::min(target.width() / static_cast<double>(pat.width),
                                  target.height() / static_cast<double>(pat.height));
    const double left = target.left() + (target.width() - scale * static_cast<double>(pat.width)) / 2;
    const double bottom = target.bottom() - (target.height() - scale * static_cast<double>(pat.height)) / 2;
    auto rect = [&](engine::Length x, engine::Length y, engine::Length w, engine::Length h) {
        return QRectF(left + scale * static_cast<double>(x), bottom - scale * static_cast<double>(y + h),
                      scale * static_cast<double>(w), scale * static_cast<double>(h));
    };
    auto point = [&](engine::Length x, engine::Length y) {
        return QPointF(left + scale * static_cast<double>(x), bottom - scale * static_cast<double>(y));
    };

    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF plate = rect(0, 0, pat.width, pat.height);
    p.fillRect(plate, kWaste);
    if (pat.trimX > 0 || pat.trimY > 0) {
        p.setPen(QPen(Qt::darkGray, 0, Qt::DashLine));
        p.drawRect(rect(pat.trimX, pat.trimY, pat.width - 2 * pat.trimX, pat.height - 2 * pat.trimY));
    }

    for (const ResultOffcut& o : pat.offcuts) {
        const QRectF r = rect(o.x, o.y, o.width, o.height);
        p.fillRect(r, kOffcut);
        p.fillRect(r, QBrush(QColor(90, 150, 90), Qt::BDiagPattern));
        p.setPen(QPen(QColor(60, 110, 60), 0));
        p.drawRect(r);
        if (options.labels) {
            Label(p, r, {SizeText(o.width, o.height)});
        }
    }

    std::map<std::string, const ResultInfo*> infoOf;
    for (const ResultInfo& i : pat.infos) {
        infoOf[i.id] = &i;
    }
    for (const ResultPiece& c : pat.pieces) {
        const QRectF r = rect(c.x, c.y, c.width, c.height);
        p.fillRect(r, kPiece);
        p.setPen(QPen(Qt::black, 0));
        p.drawRect(r);
        if (options.labels) {
            // The finished size, as ordered; the cut rectangle may carry a grinding allowance.
            auto found = infoOf.find(c.id);
            const engine::Length w = found != infoOf.end() ? found->second->width : c.width;
            const engine::Length h = found != infoOf.end() ? found->second->height : c.height;
            p.setPen(Qt::black);
            Label(p, r.adjusted(1, 1, -1, -1),
                  {QString::fromStdString(DisplayText(c.id)), c.rotated ? SizeText(h, w) : SizeText(w, h)});
        }
    }

    if (options.cutOrder) {
        const std::vector<engine::CutLine> cuts = PatternCuts(pat);
        QFont f = p.font();
        f.setPixelSize(9);
        p.setFont(f);
        for (size_t k = 0; k < cuts.size(); ++k) {
            const engine::CutLine& l = cuts[k];
            p.setPen(QPen(kCut, l.stage == 4 ? 0.5 : 1.2, l.stage == 4 ? Qt::DotLine : Qt::SolidLine));
            const QPointF a = point(l.x0, l.y0);
            const QPointF b = point(l.x1, l.y1);
            p.drawLine(a, b);
            const QString n = QString::number(k + 1);
            const QRectF tag(a.x() - 8, a.y() - 6, 16, 12);
            p.fillRect(tag.translated(l.x0 == l.x1 ? 0 : 8, l.x0 == l.x1 ? -6 : 0), Qt::white);
            p.setPen(kCut);
            p.drawText(tag.translated(l.x0 == l.x1 ? 0 : 8, l.x0 == l.x1 ? -6 : 0), Qt::AlignCenter, n);
        }
    }
    p.setPen(QPen(Qt::black, 1.5));
    p.drawRect(plate);
    p.restore();
}
