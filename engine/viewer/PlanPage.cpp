#include "viewer/PlanPage.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include "common/TextUtils.h"

using namespace tavrel;

namespace {

constexpr double kGapMm = 4.0;      // between header, drawing, table and footer
constexpr double kCellGapMm = 2.5;  // between table columns

QString Text(const std::string& s) { return QString::fromStdString(DisplayText(Trim(s))); }

struct TableRow {
    QStringList cells;
    bool heading = false;
    int pieceNumber = 0;  // 0: not a piece row
    long offcut = -1;     // index of the offcut, -1: not an offcut row
};

std::vector<TableRow> TableRows(const ResultPattern& pat, const std::vector<PieceRow>& pieces,
                                const PaintOptions& options, const PlanWords& words) {
    std::vector<TableRow> rows;
    for (const PieceRow& r : pieces) {
        rows.push_back(TableRow{{"#" + QString::number(r.number), Text(r.id),
                                 SizeText(r.width, r.height, options), QString::number(r.count)},
                                false,
                                r.number,
                                -1});
    }
    if (!pat.offcuts.empty()) {
        rows.push_back(TableRow{{"", words.offcutsToKeep, "", ""}, true, 0, -1});
        for (size_t k = 0; k < pat.offcuts.size(); ++k) {
            const ResultOffcut& o = pat.offcuts[k];
            rows.push_back(TableRow{{OffcutKey(k), words.offcut, SizeText(o.width, o.height, options), "1"},
                                    false,
                                    0,
                                    static_cast<long>(k)});
        }
    }
    return rows;
}

QStringList TableHead(const PaintOptions& options, const PlanWords& words) {
    return {"#", words.identifier, words.size + " (" + options.unit + ")", words.quantity};
}

// Lays the texts of one page out, in device pixels, from sizes in millimetres.
class PageWriter {
public:
    PageWriter(PlanPageLayout& page, const QFont& font, double dotsPerMm)
        : page_(page), font_(font), mm_(dotsPerMm) {}

    double mm(double v) const { return v * mm_; }
    int pixels(double typeMm) const { return static_cast<int>(std::ceil(typeMm * mm_ - 1e-9)); }
    QFont font(double typeMm, bool bold) const {
        QFont f = font_;
        f.setPixelSize(pixels(typeMm));
        f.setBold(bold);
        return f;
    }
    double width(const QString& text, double typeMm, bool bold) const {
        return QFontMetricsF(font(typeMm, bold)).horizontalAdvance(text);
    }
    double height(double typeMm) const { return QFontMetricsF(font(typeMm, false)).height(); }

    void add(const QString& text, const QRectF& box, double typeMm, bool bold,
             Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
        page_.texts.push_back(PageText{text, box, pixels(typeMm), bold, align});
    }

    // Writes the items left to right, starting a new line where the next one would not fit;
    // returns the height used.
    double flow(const QStringList& items, const QRectF& area, double typeMm, bool bold) {
        const double gap = mm(6);
        const double lineHeight = height(typeMm);
        double x = area.left();
        double y = area.top();
        for (const QString& item : items) {
            const double w = std::min(width(item, typeMm, bold), area.width());
            if (x > area.left() && x + w > area.right()) {
                x = area.left();
                y += lineHeight;
            }
            add(item, QRectF(x, y, w, lineHeight), typeMm, bold);
            x += w + gap;
        }
        return y + lineHeight - area.top();
    }

    PlanPageLayout& page() { return page_; }

private:
    PlanPageLayout& page_;
    QFont font_;
    double mm_;
};

struct Table {
    QStringList head;
    std::vector<TableRow> rows;
    std::vector<double> columns;  // widths of the four columns
    double width = 0;             // one table column block, gap included
    double rowHeight = 0;
};

Table MeasureTable(const PageWriter& w, std::vector<TableRow> rows, const QStringList& head) {
    Table t;
    t.head = head;
    t.rows = std::move(rows);
    t.columns.assign(4, 0.0);
    for (int c = 0; c < 4; ++c) {
        t.columns[c] = w.width(head[c], kTableTypeMm, true);
    }
    for (const TableRow& r : t.rows) {
        for (int c = 0; c < 4 && c < r.cells.size(); ++c) {
            // A heading spans the row; it does not widen the identifier column beyond need.
            if (r.heading) {
                continue;
            }
            // The key column is written bold.
            t.columns[c] = std::max(t.columns[c], w.width(r.cells[c], kTableTypeMm, c == 0));
        }
    }
    t.width = w.mm(kCellGapMm) * 4;
    for (double c : t.columns) {
        t.width += c;
    }
    t.rowHeight = w.height(kTableTypeMm) * 1.3;
    return t;
}

// Writes rows [from, from + count) into columns of `area`, each column headed; returns how many
// rows it wrote.
size_t WriteTable(PageWriter& w, const Table& t, size_t from, const QRectF& area) {
    const size_t perColumn =
        static_cast<size_t>(std::max(0.0, std::floor(area.height() / t.rowHeight) - 1.0));
    if (perColumn == 0) {
        return 0;
    }
    const size_t blocks = static_cast<size_t>(std::max(1.0, std::floor(area.width() / t.width)));
    const QStringList& head = t.head;
    const double gap = w.mm(kCellGapMm);
    size_t next = from;
    for (size_t b = 0; b < blocks && next < t.rows.size(); ++b) {
        const double left = area.left() + static_cast<double>(b) * t.width;
        auto cellBox = [&](int c, double y) {
            double x = left;
            for (int k = 0; k < c; ++k) {
                x += t.columns[static_cast<size_t>(k)] + gap;
            }
            return QRectF(x, y, t.columns[static_cast<size_t>(c)], t.rowHeight);
        };
        double y = area.top();
        for (int c = 0; c < 4; ++c) {
            w.add(head[c], cellBox(c, y), kTableTypeMm, true,
                  (c == 1 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        }
        y += t.rowHeight;
        w.page().rules.push_back(QLineF(left, y, left + t.width - gap, y));
        for (size_t k = 0; k < perColumn && next < t.rows.size(); ++k, ++next) {
            const TableRow& r = t.rows[next];
            if (r.heading) {
                QRectF box = cellBox(0, y);
                box.setRight(left + t.width - gap);
                w.add(r.cells[1], box, kTableTypeMm, true);
            } else {
                for (int c = 0; c < 4; ++c) {
                    w.add(r.cells[c], cellBox(c, y), kTableTypeMm, c == 0,
                          (c == 1 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
                }
            }
            if (r.pieceNumber > 0) {
                w.page().tableRows.push_back(r.pieceNumber);
            }
            if (r.offcut >= 0) {
                w.page().tableOffcuts.push_back(static_cast<size_t>(r.offcut));
            }
            y += t.rowHeight;
        }
    }
    return next - from;
}

// Header of a page; returns its height.
double WriteHeader(PageWriter& w, const ResultPlan& plan, size_t index, bool continued, const QRectF& page,
                   const PaintOptions& options, const PlanPageOptions& po) {
    const ResultPattern& pat = plan.patterns[index];
    const PlanWords& words = po.words;
    const PlanHeader& head = po.header;
    const QString title = words.job + ": " + (head.job.isEmpty() ? QString("-") : head.job);
    const QString which = QString("%1 %2 %3 %4%5")
                              .arg(words.pattern)
                              .arg(index + 1)
                              .arg(words.of)
                              .arg(plan.patterns.size())
                              .arg(continued ? " (" + words.continued + ")" : QString());
    const double titleHeight = w.height(kTitleTypeMm);
    const double whichWidth = w.width(which, kTitleTypeMm, true);
    w.add(title, QRectF(page.left(), page.top(), page.width() - whichWidth - w.mm(kGapMm), titleHeight),
          kTitleTypeMm, true);
    w.add(which, QRectF(page.right() - whichWidth, page.top(), whichWidth, titleHeight), kTitleTypeMm, true,
          Qt::AlignRight | Qt::AlignVCenter);

    QStringList items;
    items << words.material + ": " + head.material;
    QString plate = QString("%1 %2: %3 %4 (%5)")
                        .arg(words.plate)
                        .arg(PlateNumber(pat))
                        .arg(SizeText(pat.width, pat.height, options), options.unit,
                             pat.offcutPlate ? words.offcut : words.stockPlate);
    items << plate;
    items << QString("%1: %2").arg(words.plates).arg(pat.count) +
                 (head.planPlates.isEmpty() ? "" : " " + words.of + " " + head.planPlates);
    items << QString("%1: %2 %").arg(words.yield).arg(PatternYield(pat), 0, 'f', 2) +
                 (head.planYield.isEmpty() ? "" : " (" + words.plan + " " + head.planYield + " %)");
    items << QString("%1: %2").arg(words.piecesPerPlate).arg(pat.pieces.size());
    if (pat.thickness > 0) {
        items << words.thickness + ": " +
                     (options.thicknessText ? options.thicknessText(pat.thickness)
                                            : QString::fromStdString(HundredthsText(pat.thickness)) + " mm");
    }
    items << words.firstCuts + ": " + (pat.firstCut == 'V' ? words.vertical : words.horizontal);
    if (!head.customer.isEmpty()) {
        items << words.customer + ": " + head.customer;
    }
    if (!head.order.isEmpty()) {
        items << words.order + ": " + head.order;
    }
    const double top = page.top() + titleHeight + w.mm(1.0);
    const double used =
        w.flow(items, QRectF(page.left(), top, page.width(), page.height()), kHeaderTypeMm, false);
    const double bottom = top + used + w.mm(1.5);
    w.page().rules.push_back(QLineF(page.left(), bottom, page.right(), bottom));
    return bottom - page.top();
}

double FooterRoom(const PageWriter& w) { return w.height(kFooterTypeMm) * 2 + w.mm(kGapMm); }

}  // namespace

PlanHeader PlanHeaderOf(const ResultPlan& plan) {
    PlanHeader h;
    h.job = Text(plan.headerValue("Job"));
    h.customer = Text(plan.headerValue("Customer"));
    h.order = Text(plan.headerValue("Order"));
    h.material = MaterialText(plan);
    h.planPlates = Text(plan.headerValue("Plates"));
    h.planYield = Text(plan.headerValue("Yield"));
    return h;
}

QStringList DrawingLegend(const QString& unit) {
    return {"Sizes in " + unit + "; pieces at their finished size.", "Red numbers: cutting order.",
            "Hatched: offcuts to keep.", "Grey: waste, dark grey: edge trims.", "#n, A: see the table."};
}

void WritePageFooter(PlanPageLayout& layout, const QRectF& page, double dotsPerMm, const QFont& font,
                     int number, int count, const QStringList& legend, const PlanWords& words) {
    PageWriter w(layout, font, dotsPerMm);
    const QString pageText = QString("%1 %2 %3 %4").arg(words.page).arg(number).arg(words.of).arg(count);
    const double pageWidth = w.width(pageText, kFooterTypeMm, false);
    const QRectF area(page.left(), page.top(), page.width() - pageWidth - w.mm(kGapMm), page.height());
    // Written from the top of the area, then moved down to the bottom of the page.
    if (!legend.isEmpty()) {
        const size_t before = layout.texts.size();
        const double used = w.flow(legend, area, kFooterTypeMm, false);
        const double shift = page.bottom() - used - page.top();
        for (size_t k = before; k < layout.texts.size(); ++k) {
            layout.texts[k].box.translate(0, shift);
        }
    }
    const double lineHeight = w.height(kFooterTypeMm);
    w.add(pageText, QRectF(page.right() - pageWidth, page.bottom() - lineHeight, pageWidth, lineHeight),
          kFooterTypeMm, false, Qt::AlignRight | Qt::AlignVCenter);
}

QString MaterialText(const ResultPlan& plan) {
    const std::string key = Trim(plan.headerValue("Material"));
    QString text = Text(key);
    const size_t bar = key.find('_');
    if (bar != std::string::npos && bar > 0 && bar + 1 < key.size()) {
        text = Text(key.substr(0, bar)) + ", " + Text(key.substr(bar + 1));
    }
    const QString treatment = Text(plan.headerValue("Treatment"));
    if (!treatment.isEmpty()) {
        text += ", " + treatment;
    }
    return text;
}

double PatternYield(const ResultPattern& pat) {
    if (pat.width <= 0 || pat.height <= 0) {
        return 0.0;
    }
    double area = 0;
    for (const PieceRow& r : PieceRows(pat)) {
        area += static_cast<double>(r.width) * static_cast<double>(r.height) * static_cast<double>(r.count);
    }
    return 100.0 * area / (static_cast<double>(pat.width) * static_cast<double>(pat.height));
}

QString PatternTitle(const ResultPattern& p, size_t index) {
    return QString("Pattern %1: %2 x plate %3, %4, %5 pieces")
        .arg(index + 1)
        .arg(p.count)
        .arg(PlateNumber(p))
        .arg(SizeText(p.width, p.height))
        .arg(p.pieces.size());
}

std::vector<PlanPageLayout> LayOutPlan(const ResultPlan& plan, const QRectF& page, double dotsPerMm,
                                       const PaintOptions& options, const QFont& baseFont) {
    PlanPageOptions po;
    po.header = PlanHeaderOf(plan);
    return LayOutPlan(plan, page, dotsPerMm, options, baseFont, po);
}

std::vector<PlanPageLayout> LayOutPlan(const ResultPlan& plan, const QRectF& page, double dotsPerMm,
                                       const PaintOptions& options, const QFont& baseFont,
                                       const PlanPageOptions& po) {
    QFont font = baseFont;
    font.setStyleStrategy(QFont::PreferNoShaping);  // no ligatures in the PDF's text
    std::vector<PlanPageLayout> pages;
    for (size_t i = 0; i < plan.patterns.size(); ++i) {
        const ResultPattern& pat = plan.patterns[i];
        PlanPageLayout first;
        first.pattern = i;
        PageWriter w(first, font, dotsPerMm);
        const double head = WriteHeader(w, plan, i, false, page, options, po);
        // The footer is written once the page count is known; keep its room free.
        const double footRoom = FooterRoom(w);
        const QRectF body(page.left(), page.top() + head + w.mm(kGapMm), page.width(),
                          page.height() - head - w.mm(kGapMm) - footRoom);
        PatternDrawing probe = LayOutPattern(pat, QRectF(), dotsPerMm, options, font);
        const Table table =
            MeasureTable(w, TableRows(pat, probe.rows, options, po.words), TableHead(options, po.words));

        QRectF tableArea;
        QRectF drawingArea;
        const size_t perColumn =
            static_cast<size_t>(std::max(1.0, std::floor(body.height() / table.rowHeight) - 1.0));
        if (body.width() >= body.height()) {
            // Landscape: the table beside the drawing, in as many columns as it needs, up to
            // nearly half the page; the rest goes on to the next page.
            const size_t needed = (table.rows.size() + perColumn - 1) / perColumn;
            const size_t most =
                static_cast<size_t>(std::max(1.0, std::floor(body.width() * 0.45 / table.width)));
            const double tw = table.width * static_cast<double>(std::max<size_t>(1, std::min(needed, most)));
            tableArea = QRectF(body.right() - tw, body.top(), tw, body.height());
            drawingArea = QRectF(body.left(), body.top(), body.width() - tw - w.mm(kGapMm), body.height());
        } else {
            // Portrait: the table under the drawing, in one column while that takes no more than
            // two fifths of the page, else in columns across it.
            const size_t most =
                static_cast<size_t>(std::max(1.0, std::floor(body.height() * 0.4 / table.rowHeight) - 1.0));
            const double th = static_cast<double>(std::min(table.rows.size(), most) + 1) * table.rowHeight;
            tableArea = QRectF(body.left(), body.bottom() - th, body.width(), th);
            drawingArea = QRectF(body.left(), body.top(), body.width(), body.height() - th - w.mm(kGapMm));
        }
        first.hasDrawing = true;
        first.drawing = LayOutPattern(pat, drawingArea, dotsPerMm, options, font);
        if (!first.drawing.plate.isEmpty()) {
            // The drawing is centred in its area: move it up to the header and to the left edge,
            // and on a portrait page put the table right under the plate, where the eye goes next.
            const QRectF moved(drawingArea.topLeft(), first.drawing.plate.size());
            first.drawing = LayOutPattern(pat, moved, dotsPerMm, options, font);
            if (body.width() < body.height()) {
                tableArea.moveTop(std::min(tableArea.top(), first.drawing.plate.bottom() + w.mm(kGapMm)));
            }
        }
        size_t written = WriteTable(w, table, 0, tableArea);
        pages.push_back(std::move(first));
        while (written < table.rows.size()) {
            PlanPageLayout more;
            more.pattern = i;
            more.continued = true;
            more.drawing = LayOutPattern(pat, QRectF(), dotsPerMm, options, font);
            PageWriter mw(more, font, dotsPerMm);
            const double h = WriteHeader(mw, plan, i, true, page, options, po);
            const QRectF rest(page.left(), page.top() + h + mw.mm(kGapMm), page.width(),
                              page.height() - h - mw.mm(kGapMm) - footRoom);
            const size_t n = WriteTable(mw, table, written, rest);
            if (n == 0) {
                break;  // a page too small for even one row: stop rather than loop
            }
            written += n;
            pages.push_back(std::move(more));
        }
    }
    if (po.footer) {
        const QStringList legend = po.words.legend.isEmpty() ? DrawingLegend(options.unit) : po.words.legend;
        for (size_t k = 0; k < pages.size(); ++k) {
            WritePageFooter(pages[k], page, dotsPerMm, font, static_cast<int>(k + 1),
                            static_cast<int>(pages.size()), legend, po.words);
        }
    }
    return pages;
}

void PaintPage(QPainter& p, const ResultPlan& plan, const PlanPageLayout& layout) {
    p.save();
    if (layout.hasDrawing && layout.pattern < plan.patterns.size()) {
        PaintDrawing(p, plan.patterns[layout.pattern], layout.drawing);
    }
    p.setPen(QPen(Qt::black, 0.2 * layout.drawing.dotsPerMm));
    for (const QLineF& l : layout.rules) {
        p.drawLine(l);
    }
    QFont f = layout.drawing.font;
    for (const PageText& t : layout.texts) {
        f.setPixelSize(std::max(1, t.pixelSize));
        f.setBold(t.bold);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(t.box, static_cast<int>(t.align) | Qt::TextSingleLine, t.text);
    }
    p.restore();
}

bool PrintPlan(QPagedPaintDevice& device, const ResultPlan& plan, const PaintOptions& options) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    const double mm = DotsPerMm(device);
    const QRectF page(0, 0, device.width(), device.height());
    const std::vector<PlanPageLayout> pages = LayOutPlan(plan, page, mm, options, painter.font());
    for (size_t k = 0; k < pages.size(); ++k) {
        if (k > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        PaintPage(painter, plan, pages[k]);
    }
    return painter.end();
}
