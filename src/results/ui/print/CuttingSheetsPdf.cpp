#include "results/ui/print/CuttingSheetsPdf.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/TextUtils.h"
#include "model/Job.h"
#include "optimise/OptimiseCommand.h"
#include "results/JobReport.h"
#include "results/ResultFiles.h"
#include "results/ui/print/CuttingSheetsLayout.h"
#include "results/ui/print/PdfPages.h"
#include "settings/UnitDef.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

constexpr int kDpi = kPdfDpi;
constexpr double kGapMm = 4.0;
// Between the columns of the first page's and the report's tables: figures side by side need
// more room than the piece table's few columns to be read apart.
constexpr double kCellGapMm = 4.0;
// The tables of the first page and the report: this size while they fit the paper's width, else
// smaller down to the least size of every text on the sheets.
constexpr double kSheetTableTypeMm = 3.0;
constexpr double kSheetTableLeastMm = 2.5;

QString Q(const std::string& text) { return QString::fromStdString(DisplayText(Trim(text))); }
QString M(const char* id) { return QString::fromStdString(Msg(id)); }

QString MaterialName(const MaterialKey& key) { return Q(MaterialText(key, KeyStyle::List)); }

// A length of the results in the installation's unit with its decimals; millimetres where no
// unit is loaded (a unit without a factor would turn every size into 0).
QString LengthText(engine::Length tenths, const CurrentUnit& unit) {
    if (!(unit.linearFactor > 0)) return MmText(tenths);
    return QString::fromStdString(ResultLengthText(tenths, unit));
}

QString UnitLabel(const CurrentUnit& unit) {
    return unit.linearFactor > 0 && !unit.linearLabel.empty() ? Q(unit.linearLabel) : QStringLiteral("mm");
}

QString AreaText(double squareMillimetres, const CurrentUnit& unit) {
    const double shown =
        unit.areaFactor > 0 ? FromSystem(unit, squareMillimetres / 1e6, Kind::Area) : squareMillimetres / 1e6;
    const QString text = QString::number(shown, 'f', 2);
    return text == "-0.00" ? QStringLiteral("0.00") : text;
}

QString AreaLabel(const CurrentUnit& unit) {
    return unit.areaFactor > 0 && !unit.areaLabel.empty() ? Q(unit.areaLabel) : QStringLiteral("mq");
}

QString Percent(double value) { return QString::number(value, 'f', 2); }

PaintOptions DrawingOptions(const CurrentUnit& unit) {
    PaintOptions o;
    o.lengthText = [unit](engine::Length tenths) { return LengthText(tenths, unit); };
    o.unit = UnitLabel(unit);
    o.offcutWord = M("00069");
    o.thicknessText = [unit](long hundredths) {
        if (!(unit.linearFactor > 0) || NearlyEqual(unit.linearFactor, 1.0))
            return QString::fromStdString(HundredthsText(hundredths)) + " mm";
        const double value = static_cast<double>(hundredths) / 100.0 / unit.linearFactor;
        const std::string format = unit.numberFormat.empty() ? "%.2lf" : unit.numberFormat;
        return QString::fromStdString(FormatNumber(format, value)) + " " + UnitLabel(unit);
    };
    return o;
}

PlanWords ProgramWords(const QString& unit) {
    PlanWords w;
    w.job = M("00186");
    w.customer = M("00120");
    w.order = M("00121");
    w.material = M("00126");
    w.pattern = M("00384");
    w.of = M("00433");
    w.continued = M("00434");
    w.page = M("00432");
    w.plate = M("00127");
    w.plates = M("00128");
    w.stockPlate = M("00071");
    w.offcut = M("00069");
    w.thickness = M("00159");
    w.yield = M("00431");
    w.plan = M("00126");
    w.piecesPerPlate = M("00435");
    w.firstCuts = M("00436");
    w.vertical = M("00110");
    w.horizontal = M("00111");
    w.identifier = M("00124");
    w.size = M("00155");
    w.quantity = M("00134");
    w.offcutsToKeep = M("00437");
    w.legend = QStringList{M("00438") + " " + unit + ".", M("00439"), M("00440"), M("00441"), M("00442")};
    return w;
}

struct Cell {
    QString text;
    bool right = false;
};

// A row of the first page's or the report's tables. A row with `spanFrom` >= 0 writes its cell
// at that column across the rest of the row (a reason, a heading).
struct Row {
    QStringList cells;
    bool bold = false;
    bool ruleAbove = false;
    int spanFrom = -1;
};

// Where a row's last cell went: the page and the index of its text there.
struct RowPlace {
    size_t page = 0;
    size_t text = 0;
};

struct TableSpec {
    QStringList head;
    std::vector<bool> right;  // column aligned right (figures)
    std::vector<Row> rows;
};

// Writes the pages of one kind (the first page, the report) in device pixels: each starts with
// the title and the job's lines, the table goes on to as many pages as it needs.
class SheetWriter {
public:
    SheetWriter(CuttingSheetsLayout& layout, SheetPageKind kind, QString title, QStringList info)
        : out_(layout), kind_(kind), title_(std::move(title)), info_(std::move(info)) {}

    double mm(double v) const { return v * out_.dotsPerMm; }
    int pixels(double typeMm) const { return static_cast<int>(std::ceil(typeMm * out_.dotsPerMm - 1e-9)); }
    QFont font(double typeMm, bool bold) const {
        QFont f = out_.font;
        f.setPixelSize(pixels(typeMm));
        f.setBold(bold);
        return f;
    }
    double width(const QString& text, double typeMm, bool bold) const {
        return QFontMetricsF(font(typeMm, bold)).horizontalAdvance(text);
    }
    double lineHeight(double typeMm) const { return QFontMetricsF(font(typeMm, false)).height(); }

    void add(const QString& text, const QRectF& box, double typeMm, bool bold, Qt::Alignment align) {
        page().texts.push_back(PageText{text, box, pixels(typeMm), bold, align});
    }

    PlanPageLayout& page() { return out_.pages[current_].layout; }

    void newPage() {
        SheetPage p;
        p.kind = kind_;
        p.layout.drawing.dotsPerMm = out_.dotsPerMm;
        p.layout.drawing.font = out_.font;
        p.layout.continued = started_;
        out_.pages.push_back(std::move(p));
        current_ = out_.pages.size() - 1;
        const QRectF& area = out_.page;
        const QString title = started_ ? title_ + " (" + M("00434") + ")" : title_;
        const double titleHeight = lineHeight(kTitleTypeMm);
        add(title, QRectF(area.left(), area.top(), area.width(), titleHeight), kTitleTypeMm, true,
            Qt::AlignLeft | Qt::AlignVCenter);
        y_ = area.top() + titleHeight + mm(1.0);
        // The job's lines, flowed across the page.
        const double h = lineHeight(kHeaderTypeMm);
        double x = area.left();
        for (const QString& item : info_) {
            const double w = std::min(width(item, kHeaderTypeMm, false), area.width());
            if (x > area.left() && x + w > area.right()) {
                x = area.left();
                y_ += h;
            }
            add(item, QRectF(x, y_, w, h), kHeaderTypeMm, false, Qt::AlignLeft | Qt::AlignVCenter);
            x += w + mm(6);
        }
        y_ += h + mm(1.5);
        page().rules.push_back(QLineF(area.left(), y_, area.right(), y_));
        y_ += mm(kGapMm);
        started_ = true;
    }

    double bottom() const { return out_.page.bottom() - lineHeight(kFooterTypeMm) * 2 - mm(kGapMm); }

    // A heading line of its own (bold), kept with the room for two rows after it.
    void heading(const QString& text, double typeMm) {
        const double h = lineHeight(typeMm) * 1.4;
        if (y_ + h * 3 > bottom()) newPage();
        y_ += mm(1.5);
        add(text, QRectF(out_.page.left(), y_, out_.page.width(), h), typeMm, true,
            Qt::AlignLeft | Qt::AlignVCenter);
        y_ += h;
    }

    // Writes the table; returns, for each row, where its last cell went.
    std::vector<RowPlace> table(const TableSpec& t) {
        const size_t n = static_cast<size_t>(t.head.size());
        // The heads may take two lines: a head wider than its column's cells breaks at the space
        // nearest its middle.
        double typeMm = kSheetTableTypeMm;
        std::vector<double> columns;
        std::vector<QStringList> heads;
        for (;;) {
            columns.assign(n, 0.0);
            heads.assign(n, {});
            for (const Row& r : t.rows) {
                for (size_t c = 0; c < n && c < static_cast<size_t>(r.cells.size()); ++c) {
                    if (r.spanFrom >= 0 && c >= static_cast<size_t>(r.spanFrom)) break;
                    columns[c] = std::max(columns[c], width(r.cells[static_cast<int>(c)], typeMm, r.bold));
                }
            }
            for (size_t c = 0; c < n; ++c) {
                heads[c] = SplitHead(t.head[static_cast<int>(c)], columns[c], typeMm);
                for (const QString& line : heads[c])
                    columns[c] = std::max(columns[c], width(line, typeMm, true));
            }
            double total = mm(kCellGapMm) * static_cast<double>(n - 1);
            for (double c : columns) total += c;
            if (total <= out_.page.width() || typeMm <= kSheetTableLeastMm) break;
            typeMm = std::max(kSheetTableLeastMm, typeMm - 0.25);
        }
        // Still too wide at the least type (a portrait page, long words of a translation): the
        // gaps close up to a millimetre, then the first column (the material, the one free text)
        // gives up what is missing and its texts lose their end.
        double cells = 0;
        for (double c : columns) cells += c;
        const double gaps = static_cast<double>(std::max<size_t>(1, n - 1));
        const double gap = std::clamp((out_.page.width() - cells) / gaps, mm(1.0), mm(kCellGapMm));
        const double over = cells + gap * gaps - out_.page.width();
        if (over > 0) columns[0] = std::max(mm(15.0), columns[0] - over);
        const double rowHeight = lineHeight(typeMm) * 1.3;
        size_t headLines = 1;
        for (const QStringList& h : heads) headLines = std::max(headLines, static_cast<size_t>(h.size()));
        auto left = [&](size_t c) {
            double x = out_.page.left();
            for (size_t k = 0; k < c; ++k) x += columns[k] + gap;
            return x;
        };
        const double right = std::min(out_.page.right(), left(n - 1) + columns[n - 1]);
        const bool headed =
            std::any_of(t.head.begin(), t.head.end(), [](const QString& h) { return !h.isEmpty(); });
        auto writeHead = [&]() {
            if (!headed) return;
            for (size_t c = 0; c < n; ++c) {
                for (size_t l = 0; l < static_cast<size_t>(heads[c].size()); ++l) {
                    // A one-line head sits on the lower line, beside the second line of the others.
                    const size_t line = l + headLines - static_cast<size_t>(heads[c].size());
                    add(heads[c][static_cast<int>(l)],
                        QRectF(left(c), y_ + rowHeight * static_cast<double>(line), columns[c], rowHeight),
                        typeMm, true, (t.right[c] ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
                }
            }
            y_ += rowHeight * static_cast<double>(headLines);
            page().rules.push_back(QLineF(out_.page.left(), y_, right, y_));
        };
        if (y_ + rowHeight * static_cast<double>(headLines + 2) > bottom()) newPage();
        writeHead();
        std::vector<RowPlace> where;
        for (const Row& r : t.rows) {
            if (y_ + rowHeight > bottom()) {
                newPage();
                writeHead();
            }
            if (r.ruleAbove) page().rules.push_back(QLineF(out_.page.left(), y_, right, y_));
            for (size_t c = 0; c < n && c < static_cast<size_t>(r.cells.size()); ++c) {
                if (r.spanFrom >= 0 && c == static_cast<size_t>(r.spanFrom)) {
                    // Across the rest of the page, on as many lines as it needs.
                    const double w = out_.page.right() - left(c);
                    const QStringList lines = Wrapped(r.cells[static_cast<int>(c)], font(typeMm, r.bold), w);
                    for (int l = 0; l < lines.size(); ++l) {
                        if (l > 0) {
                            y_ += rowHeight;
                            if (y_ + rowHeight > bottom()) {
                                newPage();
                                writeHead();
                            }
                        }
                        // An explanation, never bold: the row's bold is for its name and figures.
                        add(lines[l], QRectF(left(c), y_, w, rowHeight), typeMm, false,
                            Qt::AlignLeft | Qt::AlignVCenter);
                    }
                    break;
                }
                const QString& text = r.cells[static_cast<int>(c)];
                add(c == 0 ? QFontMetricsF(font(typeMm, r.bold)).elidedText(text, Qt::ElideRight, columns[0])
                           : text,
                    QRectF(left(c), y_, columns[c], rowHeight), typeMm, r.bold,
                    (t.right[c] ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            }
            where.push_back(RowPlace{current_, page().texts.empty() ? 0 : page().texts.size() - 1});
            y_ += rowHeight;
        }
        y_ += mm(kGapMm);
        return where;
    }

    // Starts the first page of this kind.
    void begin() { newPage(); }

private:
    // The text's lines (its own line breaks kept) broken between words to fit `width`; a word
    // wider than the line (a long path) loses its middle.
    static QStringList Wrapped(const QString& text, const QFont& font, double width) {
        const QFontMetricsF metrics(font);
        QStringList lines;
        for (const QString& paragraph : text.split('\n')) {
            QString line;
            for (const QString& word : paragraph.split(' ', Qt::SkipEmptyParts)) {
                const QString longer = line.isEmpty() ? word : line + ' ' + word;
                if (line.isEmpty() || metrics.horizontalAdvance(longer) <= width) {
                    line = longer;
                } else {
                    lines << line;
                    line = word;
                }
            }
            lines << metrics.elidedText(line, Qt::ElideMiddle, width);
        }
        return lines;
    }

    QStringList SplitHead(const QString& head, double cells, double typeMm) const {
        if (width(head, typeMm, true) <= cells) return {head};
        int best = -1;
        for (int k = 0; k < head.size(); ++k) {
            if (head[k] == ' ' &&
                (best < 0 || std::abs(k - head.size() / 2) < std::abs(best - head.size() / 2)))
                best = k;
        }
        if (best < 0) return {head};
        return {head.left(best), head.mid(best + 1)};
    }

    CuttingSheetsLayout& out_;
    SheetPageKind kind_;
    QString title_;
    QStringList info_;
    size_t current_ = 0;
    double y_ = 0;
    bool started_ = false;
};

QStringList JobLines(const Job& job) {
    QStringList lines;
    if (!Q(job.customer).isEmpty()) lines << M("00120") + ": " + Q(job.customer);
    if (!Q(job.order).isEmpty()) lines << M("00121") + ": " + Q(job.order);
    return lines;
}

QString Title(const char* id, const Job& job) {
    const QString name = Q(job.name);
    return M(id) + ": " + (name.isEmpty() ? QStringLiteral("-") : name);
}

}  // namespace

bool ParseSheetPaper(const std::string& text, SheetPaper& paper) {
    const std::string t = ToUpper(Trim(text));
    if (t == "A4") {
        paper = SheetPaper::A4;
        return true;
    }
    if (t == "A3") {
        paper = SheetPaper::A3;
        return true;
    }
    return false;
}

QSizeF SheetPaperMm(const CuttingSheetOptions& options) {
    const QSizeF upright = options.paper == SheetPaper::A3 ? QSizeF(297, 420) : QSizeF(210, 297);
    return options.landscape ? upright.transposed() : upright;
}

QFont SheetFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    // No ligatures: "fi" stays two letters, so a text searched in the PDF is the text.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

CuttingSheetsLayout LayOutCuttingSheets(const Job& job, const std::vector<StoredMaterialResult>& results,
                                        const CurrentUnit& unit, const CuttingSheetOptions& options,
                                        double dotsPerMm) {
    CuttingSheetsLayout out;
    out.dotsPerMm = dotsPerMm;
    out.font = SheetFont();
    const QSizeF paper = SheetPaperMm(options);
    out.page = QRectF(0, 0, (paper.width() - 2 * kSheetMarginMm) * dotsPerMm,
                      (paper.height() - 2 * kSheetMarginMm) * dotsPerMm);
    const JobReport report = BuildJobReport(job, results);
    const PaintOptions drawing = DrawingOptions(unit);
    const QString unitLabel = drawing.unit;
    const QString areaLabel = AreaLabel(unit);
    const PlanWords words = ProgramWords(unitLabel);

    // The first page: every material with its patterns, and the ones that cannot be printed.
    TableSpec contents;
    contents.head = {M("00126"), M("00384"), M("00127"), M("00155") + " (" + unitLabel + ")",
                     M("00146"), M("00128"), M("00062"), M("00431") + " (%)",
                     M("00432")};
    contents.right = {false, true, true, true, false, true, true, true, true};
    std::vector<std::pair<size_t, size_t>> contentsRowOf;  // (result, pattern) of each row
    for (size_t r = 0; r < results.size(); ++r) {
        const StoredMaterialResult& result = results[r];
        if (result.state != StoredResultState::Read) {
            out.unprinted.push_back(UnprintedMaterial{result.key, StoredResultProblem(result)});
            continue;
        }
        ++out.materials;
        for (size_t k = 0; k < result.plan.patterns.size(); ++k) {
            const ResultPattern& p = result.plan.patterns[k];
            Row row;
            row.cells = {
                k == 0 ? MaterialName(result.key) : QString(),
                QString::number(k + 1),
                QString::number(PlateNumber(p)),
                LengthText(p.width, unit) + " x " + LengthText(p.height, unit),
                p.offcutPlate ? words.offcut : words.stockPlate,
                QString::number(p.count),
                QString::number(static_cast<long long>(p.count) * static_cast<long long>(p.pieces.size())),
                Percent(PatternYield(p)),
                QStringLiteral("000")};  // the page, once it is known
            row.ruleAbove = k == 0 && !contents.rows.empty();
            contents.rows.push_back(row);
            contentsRowOf.emplace_back(r, k);
        }
    }
    SheetWriter first(out, SheetPageKind::Contents, Title("00430", job), JobLines(job));
    first.begin();
    std::vector<RowPlace> contentsPages;
    if (!contents.rows.empty()) contentsPages = first.table(contents);
    if (!out.unprinted.empty()) {
        first.heading(M("00443"), kHeaderTypeMm);
        TableSpec left;
        left.head = {QString(), QString()};
        left.right = {false, false};
        for (const UnprintedMaterial& u : out.unprinted) {
            Row row;
            row.cells = {MaterialName(u.key), Q(u.reason)};
            row.spanFrom = 1;
            left.rows.push_back(row);
        }
        first.table(left);
    }

    // The patterns, material by material.
    std::vector<std::vector<int>> patternPage(results.size());
    for (size_t r = 0; r < results.size(); ++r) {
        const StoredMaterialResult& result = results[r];
        if (result.state != StoredResultState::Read) continue;
        PlanPageOptions po;
        po.words = words;
        po.footer = false;
        po.header.job = Q(job.name);
        po.header.customer = Q(job.customer);
        po.header.order = Q(job.order);
        po.header.material = MaterialName(result.key);
        const MaterialReport figures = ReportOfResult(result);
        po.header.planPlates = QString::number(figures.figures.plates);
        po.header.planYield = Percent(figures.figures.yieldPercent());
        std::vector<PlanPageLayout> pages =
            LayOutPlan(result.plan, out.page, dotsPerMm, drawing, out.font, po);
        patternPage[r].assign(result.plan.patterns.size(), 0);
        for (PlanPageLayout& l : pages) {
            if (!l.continued && l.pattern < patternPage[r].size())
                patternPage[r][l.pattern] = static_cast<int>(out.pages.size()) + 1;
            SheetPage page;
            page.kind = SheetPageKind::Pattern;
            page.result = r;
            page.layout = std::move(l);
            out.pages.push_back(std::move(page));
        }
    }

    // The report: per material the plates by size and kind, the figures, the offcuts.
    TableSpec table;
    table.head = {M("00126"),
                  M("00146"),
                  M("00155") + " (" + unitLabel + ")",
                  M("00449"),
                  M("00062"),
                  M("00445") + " (" + areaLabel + ")",
                  M("00446") + " (" + areaLabel + ")",
                  M("00157") + " (" + areaLabel + ")",
                  M("00431") + " (%)",
                  M("00447"),
                  M("00448")};
    table.right = {false, false, true, true, true, true, true, true, true, true, true};
    auto figureCells = [&](const QString& name, const ReportFigures& f) {
        return QStringList{name,
                           QString(),
                           QString(),
                           QString::number(f.plates),
                           QString::number(f.pieces),
                           AreaText(f.pieceArea, unit),
                           AreaText(f.plateArea, unit),
                           AreaText(f.wasteArea(), unit),
                           Percent(f.yieldPercent()),
                           QString::number(f.offcutsProduced),
                           QString::number(f.offcutsConsumed)};
    };
    for (const MaterialReport& m : report.materials) {
        Row head;
        head.bold = true;
        head.ruleAbove = !table.rows.empty();
        if (m.state != StoredResultState::Read) {
            head.cells = {MaterialName(m.key), Q(m.problem)};
            head.spanFrom = 1;
            table.rows.push_back(head);
            continue;
        }
        head.cells = figureCells(MaterialName(m.key), m.figures);
        table.rows.push_back(head);
        for (const PlateUse& p : m.plates) {
            Row row;
            row.cells = QStringList{QString(), p.offcut ? words.offcut : words.stockPlate,
                                    LengthText(p.width, unit) + " x " + LengthText(p.height, unit),
                                    QString::number(p.count)};
            table.rows.push_back(row);
        }
        // The offcuts it leaves: no kind, so they are not read as offcuts cut again; their
        // count stands under the offcuts produced.
        for (const OffcutUse& o : m.offcuts) {
            Row row;
            row.cells = QStringList{QString(),
                                    QString(),
                                    LengthText(o.width, unit) + " x " + LengthText(o.height, unit),
                                    QString(),
                                    QString(),
                                    QString(),
                                    QString(),
                                    QString(),
                                    QString(),
                                    QString::number(o.count)};
            table.rows.push_back(row);
        }
    }
    Row totals;
    totals.bold = true;
    totals.ruleAbove = true;
    totals.cells = figureCells(M("00259"), report.totals);
    table.rows.push_back(totals);
    if (!report.complete()) {
        Row left;
        left.cells = {QString(), M("00373") + " " + QString::number(report.unread)};
        left.spanFrom = 1;
        table.rows.push_back(left);
    }
    SheetWriter reportPages(out, SheetPageKind::Report, Title("00444", job), JobLines(job));
    reportPages.begin();
    reportPages.table(table);

    // The first page's rows point at their patterns' pages, now that these are known.
    for (size_t k = 0; k < contentsRowOf.size() && k < contentsPages.size(); ++k) {
        const auto [r, pattern] = contentsRowOf[k];
        std::vector<PageText>& texts = out.pages[contentsPages[k].page].layout.texts;
        const int number = patternPage[r].size() > pattern ? patternPage[r][pattern] : 0;
        if (contentsPages[k].text < texts.size()) texts[contentsPages[k].text].text = QString::number(number);
    }

    const int count = static_cast<int>(out.pages.size());
    for (int k = 0; k < count; ++k) {
        SheetPage& p = out.pages[static_cast<size_t>(k)];
        WritePageFooter(p.layout, out.page, dotsPerMm, out.font, k + 1, count,
                        p.kind == SheetPageKind::Pattern ? words.legend : QStringList(), words);
    }
    return out;
}

void PaintSheetPage(QPainter& painter, const std::vector<StoredMaterialResult>& results,
                    const SheetPage& page) {
    static const ResultPlan kNoPlan;
    const ResultPlan& plan = page.kind == SheetPageKind::Pattern && page.result < results.size()
                                 ? results[page.result].plan
                                 : kNoPlan;
    PaintPage(painter, plan, page.layout);
}

std::string CuttingSheetsPdf(const Job& job, const std::vector<StoredMaterialResult>& results,
                             const CurrentUnit& unit, const CuttingSheetOptions& options,
                             CuttingSheetsReport& report) {
    const CuttingSheetsLayout layout = LayOutCuttingSheets(job, results, unit, options, kDpi / 25.4);
    report.unprinted = layout.unprinted;
    report.materials = layout.materials;
    report.pages = 0;
    report.patternPages = 0;
    const QMarginsF margins(kSheetMarginMm, kSheetMarginMm, kSheetMarginMm, kSheetMarginMm);
    return RenderPdf(M("00430") + " - " + Q(job.name), SheetPaperMm(options), options.landscape, margins,
                     [&](QPdfWriter& writer, QPainter& painter) {
                         for (size_t k = 0; k < layout.pages.size(); ++k) {
                             if (k > 0 && !writer.newPage()) return false;
                             PaintSheetPage(painter, results, layout.pages[k]);
                             ++report.pages;
                             if (layout.pages[k].kind == SheetPageKind::Pattern) ++report.patternPages;
                         }
                         return true;
                     });
}

CuttingSheetsReport WriteCuttingSheetsPdf(const Job& job, const std::vector<StoredMaterialResult>& results,
                                          const CurrentUnit& unit, const CuttingSheetOptions& options,
                                          const std::string& path) {
    CuttingSheetsReport report;
    const bool any = std::any_of(results.begin(), results.end(), [](const StoredMaterialResult& r) {
        return r.state == StoredResultState::Read;
    });
    if (!any) {
        for (const StoredMaterialResult& r : results)
            report.unprinted.push_back(UnprintedMaterial{r.key, StoredResultProblem(r)});
        report.error = Msg(results.empty() ? "00103" : "00443") + ": " + path;
        return report;
    }
    const std::string pdf = CuttingSheetsPdf(job, results, unit, options, report);
    if (pdf.empty()) {
        report.error = SaveFailureMessage(path);
        return report;
    }
    report.written = WriteFileAtomically(path, pdf);
    if (!report.written) report.error = SaveFailureMessage(path);
    return report;
}

}  // namespace tavrel
