#include "viewer/PlanPainter.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include "common/TextUtils.h"
#include "plans/PlanRecords.h"

using namespace tavrel;

namespace {

const QColor kWaste(205, 205, 205);
const QColor kTrim(150, 150, 150);
const QColor kPiece(252, 252, 246);
const QColor kOffcut(212, 238, 212);
const QColor kOffcutLine(60, 120, 60);
const QColor kCut(200, 20, 20);

// Line widths in millimetres, so a printed plan shows them as a screen does.
constexpr double kPieceLineMm = 0.2;
constexpr double kCutLineMm = 0.35;
constexpr double kTrimLineMm = 0.25;
constexpr double kPlateLineMm = 0.5;
constexpr double kHatchStepMm = 2.5;
// Room kept free around a label inside its piece.
constexpr double kPaddingMm = 0.6;

int LeastPixels(double mm, double dotsPerMm) { return static_cast<int>(std::ceil(mm * dotsPerMm - 1e-9)); }

QFont Sized(const QFont& base, int pixels, bool bold = false) {
    QFont f = base;
    f.setPixelSize(std::max(1, pixels));
    f.setBold(bold);
    return f;
}

QSizeF TextSize(const QFont& font, const QStringList& lines) {
    const QFontMetricsF m(font);
    double widest = 0;
    for (const QString& l : lines) {
        widest = std::max(widest, m.horizontalAdvance(l));
    }
    return {widest, m.height() + m.lineSpacing() * double(std::max<qsizetype>(0, lines.size() - 1))};
}

struct Fit {
    int pixels = 0;  // 0: does not fit at the least size
    bool turned = false;
    QStringList lines;
};

// Largest whole pixel size in [least, most] at which the lines fit the box, or 0.
int FittingPixels(const QFont& base, bool bold, const QStringList& lines, const QSizeF& box, int least,
                  int most) {
    if (box.width() <= 0 || box.height() <= 0 || most < least) {
        return 0;
    }
    // Text grows with its size almost linearly: guess from one measurement, then step down.
    const QSizeF at100 = TextSize(Sized(base, 100, bold), lines);
    double guess = most;
    if (at100.width() > 0) {
        guess = std::min(guess, 100.0 * box.width() / at100.width());
    }
    if (at100.height() > 0) {
        guess = std::min(guess, 100.0 * box.height() / at100.height());
    }
    for (int px = std::min(most, static_cast<int>(guess) + 1); px >= least; --px) {
        const QSizeF s = TextSize(Sized(base, px, bold), lines);
        if (s.width() <= box.width() && s.height() <= box.height()) {
            return px;
        }
        if (px > least + 8) {
            px = std::max(least + 1, static_cast<int>(px * 0.97));  // far above: shrink faster
        }
    }
    return 0;
}

// The best way of writing one of the line sets into the box: upright when it fits at the least
// size and is not much smaller than turned, else turned when the box is tall.
Fit BestFit(const QFont& base, bool bold, const std::vector<QStringList>& choices, const QSizeF& box,
            int least, int most) {
    Fit upright;
    Fit turned;
    for (const QStringList& lines : choices) {
        const int u = FittingPixels(base, bold, lines, box, least, most);
        if (u > upright.pixels) {
            upright = Fit{u, false, lines};
        }
        if (box.height() > box.width()) {
            const int t = FittingPixels(base, bold, lines, box.transposed(), least, most);
            if (t > turned.pixels) {
                turned = Fit{t, true, lines};
            }
        }
        // The first choice (the fullest text) wins whenever it fits at all: a cutter prefers the
        // usual two lines at a smaller size to one long line.
        if (upright.pixels > 0 || turned.pixels > 0) {
            break;
        }
    }
    if (upright.pixels > 0 && (turned.pixels == 0 || upright.pixels * 5 >= turned.pixels * 3)) {
        return upright;
    }
    return turned;
}

QRectF CentredBox(const QRectF& area, const QSizeF& size) {
    return QRectF(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2, size.width(),
                  size.height());
}

DrawnText Placed(TextKind kind, size_t item, const QRectF& area, const QFont& base, bool bold,
                 const Fit& fit) {
    DrawnText t;
    t.kind = kind;
    t.item = item;
    t.lines = fit.lines;
    t.pixelSize = fit.pixels;
    t.turned = fit.turned;
    const QSizeF s = TextSize(Sized(base, fit.pixels, bold), fit.lines);
    t.box = CentredBox(area, fit.turned ? s.transposed() : s);
    return t;
}

// A key where even the key does not fit: drawn at the least size on a white ground, centred on
// its piece, so it stays readable even where it covers the neighbours.
DrawnText KeyTag(TextKind kind, size_t item, const QRectF& area, const QFont& base, const QString& key,
                 int least, int most, double pad) {
    Fit fit = BestFit(base, true, {{key}}, area.size(), least, most);
    DrawnText t;
    if (fit.pixels > 0) {
        t = Placed(kind, item, area, base, true, fit);
    } else {
        t = Placed(kind, item, area, base, true, Fit{least, false, {key}});
        t.box.adjust(-pad, 0, pad, 0);
        t.tag = true;
    }
    return t;
}

bool Overlaps(const QRectF& r, const std::vector<QRectF>& taken) {
    return std::any_of(taken.begin(), taken.end(), [&](const QRectF& t) { return t.intersects(r); });
}

struct CutEnds {
    QPointF a;  // where the cut starts, on the device
    QPointF b;
    bool vertical = false;
};

struct CutPlace {
    QRectF box;
    bool free = false;  // covers no text placed before it
};

// The place of a cut number of size `s`, as near the cut's start as there is room: on the cut,
// else just beside it on either side, a step further along, and so on; then beyond its two ends
// (where labels fill the pieces on both sides of a short cut). First at steps of half the
// number, then, where all of those are taken, at fine steps, so a number also finds the gap of a
// few pixels between two neighbours that a crowded strip of small pieces leaves on a screen. A
// number that wandered far along its cut would take the place a later cut's number needs, and
// the cutter looks for it where the cut starts. With no free place at all, the place that
// covers least of the others.
CutPlace PlaceCutNumber(const CutEnds& cut, const QSizeF& s, double pad, const std::vector<QRectF>& taken) {
    const double length = cut.vertical ? std::abs(cut.b.y() - cut.a.y()) : std::abs(cut.b.x() - cut.a.x());
    const double extent = cut.vertical ? s.height() : s.width();
    const QPointF dir = length > 0 ? (cut.b - cut.a) / length : QPointF(0, 0);
    const double gap = pad / 2;
    const QPointF across = cut.vertical ? QPointF(s.width() / 2 + gap, 0) : QPointF(0, s.height() / 2 + gap);
    // Only the texts near the cut can be covered: a plan of a thousand pieces stays quick.
    const double reach = 2 * (s.width() + s.height()) + pad;
    const QRectF near = QRectF(cut.a, cut.b).normalized().adjusted(-reach, -reach, reach, reach);
    std::vector<QRectF> neighbours;
    for (const QRectF& t : taken) {
        if (t.intersects(near)) {
            neighbours.push_back(t);
        }
    }
    const auto boxAt = [&](double t, double side) {
        return CentredBox(QRectF(cut.a + dir * t + across * side, QSizeF(0, 0)), s);
    };
    const double first = gap + extent / 2;
    const double last = std::max(length - extent / 2, first);
    for (double t = first; t <= last; t += extent / 2) {
        for (const double side : {0.0, 1.0, -1.0}) {
            if (!Overlaps(boxAt(t, side), neighbours)) {
                return {boxAt(t, side), true};
            }
        }
    }
    for (const double t : {-first, length + first}) {
        if (!Overlaps(boxAt(t, 0), neighbours)) {
            return {boxAt(t, 0), true};
        }
    }
    const double step = std::max(1.0, extent / 8);
    CutPlace best{boxAt(first, 0), false};
    double leastCovered = -1;
    for (double t = -first; t <= length + first; t += step) {
        for (const double side : {0.0, 1.0, -1.0}) {
            const QRectF box = boxAt(t, side);
            double covered = 0;
            for (const QRectF& n : neighbours) {
                const QRectF both = box.intersected(n);
                covered += both.isEmpty() ? 0 : both.width() * both.height();
            }
            if (covered == 0) {
                return {box, true};
            }
            if (leastCovered < 0 || covered < leastCovered) {
                leastCovered = covered;
                best.box = box;
            }
        }
    }
    return best;
}

}  // namespace

double DotsPerMm(const QPaintDevice& device) { return std::max(1, device.logicalDpiY()) / 25.4; }

QString MmText(engine::Length tenths) {
    const bool negative = tenths < 0;
    const engine::Length a = negative ? -tenths : tenths;
    QString text = QString::number(a / 10);
    if (a % 10 != 0) {
        text += "." + QString::number(a % 10);
    }
    return negative ? "-" + text : text;
}

QString SizeText(engine::Length width, engine::Length height) {
    return MmText(width) + " x " + MmText(height);
}

QString SizeText(engine::Length width, engine::Length height, const PaintOptions& options) {
    if (!options.lengthText) {
        return SizeText(width, height);
    }
    return options.lengthText(width) + " x " + options.lengthText(height);
}

QString OffcutKey(size_t index) {
    QString key;
    size_t n = index + 1;
    while (n > 0) {
        key.prepend(QChar('A' + static_cast<char>((n - 1) % 26)));
        n = (n - 1) / 26;
    }
    return key;
}

std::vector<PieceRow> PieceRows(const ResultPattern& pattern) {
    std::vector<PieceRow> rows;
    std::map<std::string, size_t> rowOf;
    for (const ResultInfo& i : pattern.infos) {
        if (rowOf.count(i.id) == 0) {
            rowOf[i.id] = rows.size();
            rows.push_back(PieceRow{0, i.id, i.width, i.height, 0});
        }
    }
    // A file without info entries still names every piece in its cut lines.
    for (const ResultPiece& p : pattern.pieces) {
        auto found = rowOf.find(p.id);
        if (found == rowOf.end()) {
            rowOf[p.id] = rows.size();
            rows.push_back(
                PieceRow{0, p.id, p.rotated ? p.height : p.width, p.rotated ? p.width : p.height, 0});
            found = rowOf.find(p.id);
        }
        ++rows[found->second].count;
    }
    // The job's piece list order: piece type number, then identifier.
    std::map<std::string, long> numberOf;
    for (const ResultPiece& p : pattern.pieces) {
        numberOf.emplace(p.id, p.number);
    }
    for (const ResultInfo& i : pattern.infos) {
        numberOf[i.id] = i.number;
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const PieceRow& a, const PieceRow& b) {
        const long na = numberOf[a.id];
        const long nb = numberOf[b.id];
        return na != nb ? na < nb : a.id < b.id;
    });
    for (size_t k = 0; k < rows.size(); ++k) {
        rows[k].number = static_cast<int>(k + 1);
    }
    return rows;
}

QRectF PatternDrawing::rect(engine::Length x, engine::Length y, engine::Length w, engine::Length h) const {
    return QRectF(plate.left() + scale * static_cast<double>(x),
                  plate.bottom() - scale * static_cast<double>(y + h), scale * static_cast<double>(w),
                  scale * static_cast<double>(h));
}

QPointF PatternDrawing::point(engine::Length x, engine::Length y) const {
    return QPointF(plate.left() + scale * static_cast<double>(x),
                   plate.bottom() - scale * static_cast<double>(y));
}

std::vector<const DrawnText*> PatternDrawing::textsOf(TextKind kind) const {
    std::vector<const DrawnText*> out;
    for (const DrawnText& t : texts) {
        if (t.kind == kind) {
            out.push_back(&t);
        }
    }
    return out;
}

PatternDrawing LayOutPattern(const ResultPattern& pat, const QRectF& target, double dotsPerMm,
                             const PaintOptions& options, const QFont& baseFont) {
    PatternDrawing d;
    d.dotsPerMm = dotsPerMm;
    d.font = baseFont;
    // No ligatures: "ffi" drawn as one glyph reaches the PDF's text as one character, and a
    // search for "offcut" or an identifier would miss it.
    d.font.setStyleStrategy(QFont::PreferNoShaping);
    d.rows = PieceRows(pat);
    if (pat.width <= 0 || pat.height <= 0 || target.width() <= 0 || target.height() <= 0 || dotsPerMm <= 0) {
        return d;
    }
    d.scale = std::min(target.width() / static_cast<double>(pat.width),
                       target.height() / static_cast<double>(pat.height));
    const double w = d.scale * static_cast<double>(pat.width);
    const double h = d.scale * static_cast<double>(pat.height);
    d.plate =
        QRectF(target.left() + (target.width() - w) / 2, target.top() + (target.height() - h) / 2, w, h);
    const QFont& font = d.font;
    if (options.cutOrder) {
        d.cuts = PatternCuts(pat);
    }
    if (!options.labels && !options.cutOrder) {
        return d;
    }

    const double pad = kPaddingMm * dotsPerMm;
    const double raise = std::max(1.0, options.typeScale);
    const int pieceLeast = LeastPixels(kPieceTypeMm * raise, dotsPerMm);
    const int pieceMost = std::max(pieceLeast, LeastPixels(kPieceTypeMaxMm, dotsPerMm));
    const int keyMost = std::max(pieceLeast, LeastPixels(kKeyTypeMaxMm, dotsPerMm));
    const int offcutLeast = LeastPixels(kOffcutTypeMm * raise, dotsPerMm);
    const int offcutMost = std::max(offcutLeast, LeastPixels(kOffcutTypeMaxMm, dotsPerMm));
    std::vector<QRectF> taken;

    if (options.labels) {
        std::map<std::string, const PieceRow*> rowOf;
        for (const PieceRow& r : d.rows) {
            rowOf[r.id] = &r;
        }
        for (size_t k = 0; k < pat.pieces.size(); ++k) {
            const ResultPiece& c = pat.pieces[k];
            const QRectF area = d.rect(c.x, c.y, c.width, c.height).adjusted(pad, pad, -pad, -pad);
            const PieceRow* row = rowOf.count(c.id) ? rowOf[c.id] : nullptr;
            // The finished size as it lies on the plate; the cut rectangle may carry a grinding
            // allowance, so the size comes from the piece table, which has the ordered one.
            const engine::Length fw = row ? (c.rotated ? row->height : row->width) : c.width;
            const engine::Length fh = row ? (c.rotated ? row->width : row->height) : c.height;
            const QString id = QString::fromStdString(DisplayText(c.id));
            const QString size = SizeText(fw, fh, options);
            const Fit fit =
                BestFit(font, false, {{id, size}, {id + "  " + size}}, area.size(), pieceLeast, pieceMost);
            DrawnText t;
            if (fit.pixels > 0) {
                t = Placed(TextKind::PieceLabel, k, area, font, false, fit);
            } else {
                const QString key = "#" + QString::number(row ? row->number : 0);
                t = KeyTag(TextKind::PieceKey, k, area, font, key, pieceLeast, keyMost, pad);
            }
            taken.push_back(t.box);
            d.texts.push_back(t);
        }
        for (size_t k = 0; k < pat.offcuts.size(); ++k) {
            const ResultOffcut& o = pat.offcuts[k];
            const QRectF area = d.rect(o.x, o.y, o.width, o.height).adjusted(pad, pad, -pad, -pad);
            const QString size = SizeText(o.width, o.height, options);
            const Fit fit = BestFit(
                font, false, {{options.offcutWord + " " + OffcutKey(k), size}, {OffcutKey(k) + "  " + size}},
                area.size(), offcutLeast, offcutMost);
            DrawnText t;
            if (fit.pixels > 0) {
                t = Placed(TextKind::OffcutLabel, k, area, font, false, fit);
                t.box.adjust(-pad / 2, 0, pad / 2, 0);
                t.tag = true;  // the hatching would cross the digits
            } else {
                t = KeyTag(TextKind::OffcutKey, k, area, font, OffcutKey(k), offcutLeast, offcutMost, pad);
                t.tag = true;
            }
            taken.push_back(t.box);
            d.texts.push_back(t);
        }
    }

    // Cut numbers sit on their cut, next to where it starts; one that would cover another
    // number or a label slides along the cut to the first free place (see PlaceCutNumber).
    const int cutPixels = LeastPixels(kCutTypeDrawnMm * raise, dotsPerMm);
    const int cutLeast = std::min(cutPixels, LeastPixels(kCutTypeMm, dotsPerMm));
    for (size_t k = 0; k < d.cuts.size(); ++k) {
        const engine::CutLine& l = d.cuts[k];
        const QStringList lines{QString::number(k + 1)};
        const CutEnds ends{d.point(l.x0, l.y0), d.point(l.x1, l.y1), l.x0 == l.x1};
        // Where the screen's larger type leaves no free place beside a short cut, the number
        // falls back to the least size a page uses before it would cover a neighbour.
        int pixels = cutPixels;
        CutPlace place =
            PlaceCutNumber(ends, TextSize(Sized(font, pixels, true), lines) + QSizeF(pad, 0), pad, taken);
        if (!place.free && cutLeast < cutPixels) {
            const CutPlace smaller = PlaceCutNumber(
                ends, TextSize(Sized(font, cutLeast, true), lines) + QSizeF(pad, 0), pad, taken);
            if (smaller.free) {
                place = smaller;
                pixels = cutLeast;
            }
        }
        DrawnText t;
        t.kind = TextKind::CutNumber;
        t.item = k;
        t.lines = lines;
        t.pixelSize = pixels;
        t.box = place.box;
        t.tag = true;
        taken.push_back(t.box);
        d.texts.push_back(t);
    }
    return d;
}

void PaintDrawing(QPainter& p, const ResultPattern& pat, const PatternDrawing& d) {
    if (d.plate.isEmpty()) {
        return;
    }
    const double mm = d.dotsPerMm;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillRect(d.plate, kWaste);
    if (pat.trimX > 0 || pat.trimY > 0) {
        // The edge trims are cut off and thrown away first: shaded darker than the waste between
        // the pieces, so the cutter sees where the usable plate starts.
        const QRectF inner =
            d.rect(pat.trimX, pat.trimY, pat.width - 2 * pat.trimX, pat.height - 2 * pat.trimY);
        QPainterPath trims;
        trims.addRect(d.plate);
        if (inner.width() > 0 && inner.height() > 0) {
            QPainterPath usable;
            usable.addRect(inner);
            trims = trims.subtracted(usable);
        }
        p.fillPath(trims, kTrim);
        p.setPen(QPen(Qt::darkGray, kTrimLineMm * mm, Qt::DashLine));
        p.drawRect(inner);
    }

    for (const ResultOffcut& o : pat.offcuts) {
        const QRectF r = d.rect(o.x, o.y, o.width, o.height);
        p.fillRect(r, kOffcut);
        // Hatching at a spacing in millimetres: a brush pattern is in device pixels and turns
        // into a grey haze on a 1200 dpi page.
        p.save();
        p.setClipRect(r, Qt::IntersectClip);
        p.setPen(QPen(kOffcutLine, kPieceLineMm * mm * 0.7));
        const double step = kHatchStepMm * mm;
        for (double x = r.left() - r.height(); x < r.right(); x += step) {
            p.drawLine(QPointF(x, r.bottom()), QPointF(x + r.height(), r.top()));
        }
        p.restore();
        p.setPen(QPen(kOffcutLine, kPieceLineMm * mm));
        p.drawRect(r);
    }
    for (const ResultPiece& c : pat.pieces) {
        const QRectF r = d.rect(c.x, c.y, c.width, c.height);
        p.fillRect(r, kPiece);
        p.setPen(QPen(Qt::black, kPieceLineMm * mm));
        p.drawRect(r);
    }
    for (const engine::CutLine& l : d.cuts) {
        const bool trim = l.stage == 4;
        p.setPen(QPen(kCut, (trim ? 0.6 : 1.0) * kCutLineMm * mm, trim ? Qt::DashLine : Qt::SolidLine));
        p.drawLine(d.point(l.x0, l.y0), d.point(l.x1, l.y1));
    }
    p.setPen(QPen(Qt::black, kPlateLineMm * mm));
    p.setBrush(Qt::NoBrush);
    p.drawRect(d.plate);

    for (const DrawnText& t : d.texts) {
        const bool bold =
            t.kind == TextKind::PieceKey || t.kind == TextKind::OffcutKey || t.kind == TextKind::CutNumber;
        p.setFont(Sized(d.font, t.pixelSize, bold));
        if (t.tag) {
            p.setPen(QPen(t.kind == TextKind::CutNumber ? kCut : Qt::black, 0.15 * mm));
            p.setBrush(Qt::white);
            p.drawRect(t.box);
        }
        p.setPen(t.kind == TextKind::CutNumber ? kCut : Qt::black);
        if (t.turned) {
            p.save();
            p.translate(t.box.center());
            p.rotate(-90);
            const QRectF upright(-t.box.height() / 2, -t.box.width() / 2, t.box.height(), t.box.width());
            p.drawText(upright, Qt::AlignCenter, t.lines.join('\n'));
            p.restore();
        } else {
            p.drawText(t.box, Qt::AlignCenter, t.lines.join('\n'));
        }
    }
    p.restore();
}

void PaintPattern(QPainter& painter, const ResultPattern& pattern, const QRectF& target,
                  const PaintOptions& options) {
    const double mm = painter.device() ? DotsPerMm(*painter.device()) : 96 / 25.4;
    PaintDrawing(painter, pattern, LayOutPattern(pattern, target, mm, options, painter.font()));
}
