// The layout rules of the printed and shown plan: type sizes in millimetres of the device (A4 and
// A3 pages at the PDF writer's resolution, a screen), labels inside their pieces, keys for the
// pieces too small to carry a label, each key listed in its page's table; and the viewer's
// pattern list and header texts.

#include <algorithm>
#include <set>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPageLayout>
#include <QPageSize>
#include <gtest/gtest.h>

#include "DemoPlan.h"
#include "viewer/LayoutViewer.h"
#include "viewer/PatternWidget.h"
#include "viewer/PlanPage.h"

namespace {

// A 6000 x 3210 plate: a large pane, a 30 mm sliver as tall as the pane, a 30 mm square, a
// 300 mm strip across the plate, a large offcut and one of 40 mm.
ResultPattern SmallPiecesPattern() {
    ResultPattern p;
    p.width = 60000;
    p.height = 32100;
    p.position = 4;
    p.count = 3;
    p.pieces.push_back(ResultPiece{0, 0, 30000, 20000, false, 1, "BIG_PANE"});
    p.pieces.push_back(ResultPiece{30000, 0, 300, 20000, false, 2, "SLIVER"});
    p.pieces.push_back(ResultPiece{30300, 0, 300, 300, false, 3, "DOT"});
    p.pieces.push_back(ResultPiece{0, 20000, 60000, 3000, false, 4, "STRIP_ACROSS"});
    p.offcuts.push_back(ResultOffcut{0, 23000, 60000, 9100});
    p.offcuts.push_back(ResultOffcut{30600, 0, 400, 400});
    p.infos.push_back(ResultInfo{"BIG_PANE", 1, 30000, 20000, 1});
    p.infos.push_back(ResultInfo{"SLIVER", 2, 300, 20000, 1});
    p.infos.push_back(ResultInfo{"DOT", 3, 300, 300, 1});
    p.infos.push_back(ResultInfo{"STRIP_ACROSS", 4, 60000, 3000, 1});
    return p;
}

struct Device {
    const char* name;
    QPageSize::PageSizeId size;
    QPageLayout::Orientation orientation;
};

// The page of a PDF writer at its usual 1200 dpi, 10 mm margins.
QRectF PagePixels(const Device& d, double dotsPerMm) {
    const QPageLayout layout(QPageSize(d.size), d.orientation, QMarginsF(10, 10, 10, 10),
                             QPageLayout::Millimeter);
    const QRectF mm = layout.paintRect(QPageLayout::Millimeter);
    return QRectF(0, 0, mm.width() * dotsPerMm, mm.height() * dotsPerMm);
}

double Mm(const DrawnText& t, double dotsPerMm) { return t.pixelSize / dotsPerMm; }

// Every rule of the drawing on one device: sizes, one text a piece, labels inside their piece,
// keys in the table. Returns the identifiers that got keys.
std::set<std::string> CheckDrawing(const ResultPattern& pat, const PatternDrawing& d,
                                   const std::vector<int>& table, const std::string& where) {
    std::set<std::string> keyed;
    std::vector<int> textsOfPiece(pat.pieces.size(), 0);
    for (const DrawnText& t : d.texts) {
        switch (t.kind) {
            case TextKind::PieceLabel: {
                EXPECT_GE(Mm(t, d.dotsPerMm), kPieceTypeMm) << where;
                const ResultPiece& c = pat.pieces[t.item];
                ++textsOfPiece[t.item];
                EXPECT_TRUE(t.lines.join(' ').startsWith(QString::fromStdString(c.id)))
                    << where << " " << c.id;
                const QRectF piece = d.rect(c.x, c.y, c.width, c.height);
                EXPECT_TRUE(piece.contains(t.box)) << where << ": label of " << c.id << " leaves its piece";
                break;
            }
            case TextKind::PieceKey: {
                EXPECT_GE(Mm(t, d.dotsPerMm), kPieceTypeMm) << where;
                const ResultPiece& c = pat.pieces[t.item];
                ++textsOfPiece[t.item];
                keyed.insert(c.id);
                // "#n" names the row of that identifier, and the row is on the same page.
                const int n = t.lines.join("").mid(1).toInt();
                const auto row = std::find_if(d.rows.begin(), d.rows.end(),
                                              [&](const PieceRow& r) { return r.number == n; });
                EXPECT_NE(row, d.rows.end()) << where << " " << t.lines.join("").toStdString();
                if (row != d.rows.end()) {
                    EXPECT_EQ(row->id, c.id) << where;
                }
                EXPECT_NE(std::find(table.begin(), table.end(), n), table.end())
                    << where << ": #" << n << " not in the table";
                break;
            }
            case TextKind::OffcutLabel:
            case TextKind::OffcutKey:
                EXPECT_GE(Mm(t, d.dotsPerMm), kOffcutTypeMm) << where;
                break;
            case TextKind::CutNumber:
                EXPECT_GE(Mm(t, d.dotsPerMm), kCutTypeMm) << where;
                break;
        }
    }
    for (size_t k = 0; k < pat.pieces.size(); ++k) {
        EXPECT_EQ(textsOfPiece[k], 1) << where << ": piece " << pat.pieces[k].id;
    }
    return keyed;
}

}  // namespace

TEST(PlanLayout, TypeSizesInMillimetresOnA4AndA3WithKeysForSmallPieces) {
    const double dpm = 1200 / 25.4;
    ResultPlan plan;
    plan.setHeader("Material", "FL_4MM");
    plan.setHeader("Treatment", "CLEAR");
    plan.setHeader("Job", "KITCHEN");
    plan.patterns.push_back(SmallPiecesPattern());
    for (const Device& device : {Device{"A4 landscape", QPageSize::A4, QPageLayout::Landscape},
                                 Device{"A3 landscape", QPageSize::A3, QPageLayout::Landscape},
                                 Device{"A4 portrait", QPageSize::A4, QPageLayout::Portrait}}) {
        const std::vector<PlanPageLayout> pages = LayOutPlan(plan, PagePixels(device, dpm), dpm);
        ASSERT_EQ(pages.size(), 1u) << device.name;
        const PlanPageLayout& page = pages.front();
        ASSERT_TRUE(page.hasDrawing);
        const std::set<std::string> keyed =
            CheckDrawing(plan.patterns[0], page.drawing, page.tableRows, device.name);
        // 30 mm of a 6 m plate is about a millimetre on paper: those pieces are keyed.
        EXPECT_EQ(keyed, (std::set<std::string>{"DOT", "SLIVER"})) << device.name;
        // The big pane shows its finished size.
        const auto labels = page.drawing.textsOf(TextKind::PieceLabel);
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const DrawnText* t) {
            return t->lines.join(' ') == "BIG_PANE 3000 x 2000";
        })) << device.name;
        // The 40 mm offcut is keyed "B", the large one labelled with its size; both are listed.
        const auto offcutKeys = page.drawing.textsOf(TextKind::OffcutKey);
        ASSERT_EQ(offcutKeys.size(), 1u) << device.name;
        EXPECT_EQ(offcutKeys[0]->lines.join(""), "B");
        EXPECT_EQ(page.tableOffcuts, (std::vector<size_t>{0, 1}));
        // Every text of the page itself: header, table and footer.
        for (const PageText& t : page.texts) {
            EXPECT_GE(t.pixelSize / dpm, kPieceTypeMm) << device.name << " " << t.text.toStdString();
            EXPECT_TRUE(PagePixels(device, dpm).adjusted(-1, -1, 1, 1).contains(t.box))
                << device.name << " " << t.text.toStdString();
        }
    }
}

TEST(PlanLayout, DemoPlanOnPagesAndScreenKeepsTheRules) {
    TempDir dir;
    ResultPlan plan;
    ASSERT_TRUE(demo::MakePlan(dir, plan));
    const double dpm = 1200 / 25.4;
    size_t cuts = 0;
    for (const Device& device : {Device{"A4", QPageSize::A4, QPageLayout::Landscape},
                                 Device{"A3", QPageSize::A3, QPageLayout::Landscape}}) {
        const std::vector<PlanPageLayout> pages = LayOutPlan(plan, PagePixels(device, dpm), dpm);
        // One pattern a page: its header names it, its table lists every identifier on it.
        ASSERT_EQ(pages.size(), plan.patterns.size()) << device.name;
        for (size_t k = 0; k < pages.size(); ++k) {
            const ResultPattern& pat = plan.patterns[k];
            const std::string where = std::string(device.name) + " page " + std::to_string(k + 1);
            CheckDrawing(pat, pages[k].drawing, pages[k].tableRows, where);
            EXPECT_EQ(pages[k].tableRows.size(), PieceRows(pat).size()) << where;
            cuts += pages[k].drawing.textsOf(TextKind::CutNumber).size();
            QStringList texts;
            for (const PageText& t : pages[k].texts) {
                texts << t.text;
            }
            const QString all = texts.join('\n');
            EXPECT_TRUE(all.contains("Material: FL, 4MM, CLEAR")) << where;
            EXPECT_TRUE(all.contains(QString("Plate %1: ").arg(PlateNumber(pat)))) << where;
            EXPECT_TRUE(all.contains(QString("Plates: %1").arg(pat.count))) << where;
            EXPECT_TRUE(all.contains("Yield: ")) << where;
            for (const PieceRow& r : PieceRows(pat)) {
                EXPECT_TRUE(texts.contains(QString::fromStdString(r.id))) << where << " " << r.id;
            }
        }
    }
    EXPECT_GT(cuts, 0u) << "the demo plan's cuts are numbered";

    // On screen the rules hold in the screen's millimetres, at any window size.
    PatternWidget widget;
    widget.setPattern(plan.patterns.front());
    for (const QSize size : {QSize(400, 260), QSize(1200, 800)}) {
        widget.resize(size);
        const PatternDrawing d = widget.drawing();
        EXPECT_NEAR(d.dotsPerMm, DotsPerMm(widget), 1e-9);
        CheckDrawing(
            plan.patterns.front(), d,
            [&] {
                std::vector<int> all;
                for (const PieceRow& r : d.rows) all.push_back(r.number);
                return all;
            }(),
            "screen");
    }
}

TEST(PlanLayout, LongPieceTableGoesOnToTheNextPage) {
    // 120 identifiers of 100 x 100 on one plate: the table cannot fit beside the drawing.
    ResultPattern p;
    p.width = 32100;
    p.height = 22500;
    for (int k = 0; k < 120; ++k) {
        const std::string id = "PZ_" + std::to_string(k + 1);
        p.pieces.push_back(ResultPiece{(k % 30) * 1000, (k / 30) * 1000, 1000, 1000, false, k + 1, id});
        p.infos.push_back(ResultInfo{id, k + 1, 1000, 1000, 1});
    }
    ResultPlan plan;
    plan.patterns.push_back(p);
    const double dpm = 1200 / 25.4;
    const std::vector<PlanPageLayout> pages =
        LayOutPlan(plan, PagePixels({"A4", QPageSize::A4, QPageLayout::Landscape}, dpm), dpm);
    ASSERT_GE(pages.size(), 2u);
    EXPECT_TRUE(pages[1].continued);
    EXPECT_FALSE(pages[1].hasDrawing);
    std::vector<int> listed;
    for (const PlanPageLayout& page : pages) {
        listed.insert(listed.end(), page.tableRows.begin(), page.tableRows.end());
    }
    std::vector<int> expected(120);
    for (int k = 0; k < 120; ++k) expected[k] = k + 1;
    EXPECT_EQ(listed, expected) << "every row once, in order";
    // The piece table is numbered in the job's piece order, PZ_2 before PZ_10.
    EXPECT_EQ(PieceRows(p)[1].id, "PZ_2");
    EXPECT_EQ(PieceRows(p)[9].id, "PZ_10");
}

TEST(PlanLayout, HeaderTextsAndPatternList) {
    ResultPlan plan;
    plan.setHeader("Material", "FL_4MM");
    plan.setHeader("Treatment", "SAT");
    EXPECT_EQ(MaterialText(plan), "FL, 4MM, SAT");
    plan.setHeader("Treatment", "");
    EXPECT_EQ(MaterialText(plan), "FL, 4MM");
    // A key the program had to cut (serie and code 16 letters together) has no separator left.
    plan.setHeader("Material", "LAMINATEDSAFETY1");
    EXPECT_EQ(MaterialText(plan), "LAMINATEDSAFETY1");

    EXPECT_EQ(SizeText(32100, 22500), "3210 x 2250");
    EXPECT_EQ(SizeText(9505, 3), "950.5 x 0.3");
    EXPECT_EQ(SizeText(123456789, 1), "12345678.9 x 0.1");
    EXPECT_EQ(OffcutKey(0), "A");
    EXPECT_EQ(OffcutKey(25), "Z");
    EXPECT_EQ(OffcutKey(26), "AA");

    ResultPattern p = SmallPiecesPattern();
    // Finished area of one plate over the plate's: 3000 x 2000 + 30 x 2000 + 30 x 30 + 6000 x 300.
    EXPECT_NEAR(PatternYield(p), 100.0 * (6e6 + 6e4 + 900 + 1.8e6) / (6000.0 * 3210.0), 1e-9);

    // The list, the caption and the page name the plate by its place in the material's stock
    // (plate 9), not by its position in the list the engine was handed (1); a result without
    // the place names the position (plate 12). The lines are whole: the list is at least as
    // wide as its longest line.
    p.position = 1;
    p.stockPlace = 9;
    plan.patterns.push_back(p);
    p.position = 12;
    p.stockPlace = 0;
    p.count = 999;
    p.width = 123456789;
    plan.patterns.push_back(p);
    LayoutViewer viewer(plan);
    auto* list = viewer.findChild<QListWidget*>("patterns");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), "Pattern 1: 3 x plate 9, 6000 x 3210, 4 pieces");
    EXPECT_EQ(list->item(1)->text(), "Pattern 2: 999 x plate 12, 12345678.9 x 3210, 4 pieces");
    auto* caption = viewer.findChild<QLabel*>("caption");
    ASSERT_NE(caption, nullptr);
    EXPECT_TRUE(caption->text().startsWith("Plate 9: 6000 x 3210 mm")) << caption->text().toStdString();
    const double dpm = 1200 / 25.4;
    const std::vector<PlanPageLayout> pages =
        LayOutPlan(plan, PagePixels({"A4", QPageSize::A4, QPageLayout::Landscape}, dpm), dpm);
    ASSERT_EQ(pages.size(), 2u);
    const auto pageHas = [](const PlanPageLayout& page, const QString& text) {
        return std::any_of(page.texts.begin(), page.texts.end(),
                           [&](const PageText& t) { return t.text.startsWith(text); });
    };
    EXPECT_TRUE(pageHas(pages[0], "Plate 9: 6000 x 3210 mm"));
    EXPECT_TRUE(pageHas(pages[1], "Plate 12: "));
    viewer.show();
    QApplication::processEvents();
    EXPECT_GE(list->viewport()->width(), list->fontMetrics().horizontalAdvance(list->item(1)->text()));
}

TEST(PlanLayout, ThousandPiecesAndOddPlatesStayWithinTheRules) {
    // 34 strips of 30 pieces of 100 x 60 mm on a 3210 x 2250 plate: every piece keyed on A4, every
    // cut numbered, the table spread over the following pages.
    ResultPattern p;
    p.width = 32100;
    p.height = 22500;
    p.firstCut = 'H';
    for (int row = 0; row < 34; ++row) {
        for (int col = 0; col < 30; ++col) {
            const int k = row * 30 + col;
            const std::string id = "P" + std::to_string(k + 1);
            p.pieces.push_back(ResultPiece{col * 1000, row * 600, 1000, 600, false, k + 1, id});
            p.infos.push_back(ResultInfo{id, k + 1, 1000, 600, 1});
        }
    }
    ResultPlan plan;
    plan.patterns.push_back(p);
    // A plate of a fraction of a millimetre and one of kilometres draw without a text too small.
    ResultPattern tiny;
    tiny.width = 3;
    tiny.height = 2;
    tiny.pieces.push_back(ResultPiece{0, 0, 3, 2, false, 1, "TINY"});
    plan.patterns.push_back(tiny);
    ResultPattern huge = tiny;
    huge.width = 90000000;
    huge.height = 30000000;
    huge.pieces = {ResultPiece{0, 0, 90000000, 30000000, false, 1, "HUGE"}};
    plan.patterns.push_back(huge);
    const double dpm = 1200 / 25.4;
    const std::vector<PlanPageLayout> pages =
        LayOutPlan(plan, PagePixels({"A4", QPageSize::A4, QPageLayout::Landscape}, dpm), dpm);
    size_t listed = 0;
    for (const PlanPageLayout& page : pages) {
        if (page.pattern == 0) {
            listed += page.tableRows.size();
        }
        if (page.hasDrawing) {
            const ResultPattern& pat = plan.patterns[page.pattern];
            CheckDrawing(
                pat, page.drawing,
                [&] {
                    std::vector<int> all;
                    for (const PlanPageLayout& q : pages)
                        if (q.pattern == page.pattern)
                            all.insert(all.end(), q.tableRows.begin(), q.tableRows.end());
                    return all;
                }(),
                "page of pattern " + std::to_string(page.pattern + 1));
        }
    }
    EXPECT_EQ(listed, 1020u);
    EXPECT_EQ(pages.front().drawing.textsOf(TextKind::PieceKey).size(), 1020u);
    EXPECT_GT(pages.front().drawing.textsOf(TextKind::CutNumber).size(), 1000u);
    EXPECT_EQ(pages.back().pattern, 2u);
    EXPECT_EQ(pages.back().drawing.textsOf(TextKind::PieceLabel).size(), 1u);
}

// A pattern of the demo job as the engine wrote it: a strip of four 45 mm pieces between shelves,
// where five cuts start within a few millimetres of each other on paper.
const char* const kCrowdedPattern = R"(BLOCKSTART
[PATTERN]
Pieces=1
Width=2550.0
Height=1605.0
Pos=2
FirstCut=H
TrimX=10.0
TrimY=10.0
MinCutDistance=20.0
[CUT]
X=10.0;Y=10.0;W=2000.0;H=600.0;R=0;N=3;ID=DOOR_L
X=10.0;Y=610.0;W=2000.0;H=600.0;R=0;N=3;ID=DOOR_L
X=2010.0;Y=10.0;W=500.0;H=700.0;R=1;N=6;ID=MIRROR_BATHROOM1
X=10.0;Y=1210.0;W=900.0;H=150.0;R=0;N=4;ID=SHELF
X=910.0;Y=1210.0;W=900.0;H=150.0;R=0;N=4;ID=SHELF
X=1810.0;Y=1210.0;W=300.0;H=45.0;R=1;N=7;ID=PZ_10
X=1810.0;Y=1255.0;W=300.0;H=45.0;R=1;N=7;ID=PZ_10
X=2110.0;Y=1210.0;W=300.0;H=45.0;R=1;N=7;ID=PZ_10
X=2110.0;Y=1255.0;W=300.0;H=45.0;R=1;N=7;ID=PZ_10
[OFFCUT]
Width=500.0
Height=500.0
X=2010.0
Y=710.0
BLOCKEND
)";

namespace {

// Every cut number of a drawing covers no other text and sits on its cut or just beside it.
void CheckCutNumbers(const PatternDrawing& d, const std::string& where) {
    const auto numbers = d.textsOf(TextKind::CutNumber);
    ASSERT_EQ(numbers.size(), d.cuts.size()) << where;
    ASSERT_GE(numbers.size(), 10u) << where;
    for (const DrawnText* n : numbers) {
        for (const DrawnText& other : d.texts) {
            EXPECT_TRUE(&other == n || !other.box.intersects(n->box))
                << where << ": cut " << n->lines.join("").toStdString() << " covers "
                << other.lines.join(" ").toStdString();
        }
        // On its cut or just beside it: the cut passes through the number's box grown by half
        // its size.
        const engine::CutLine& l = d.cuts[n->item];
        const QRectF near = n->box.adjusted(-n->box.width() / 2, -n->box.height() / 2, n->box.width() / 2,
                                            n->box.height() / 2);
        const QPointF a = d.point(l.x0, l.y0);
        const QPointF b = d.point(l.x1, l.y1);
        const bool crosses =
            l.x0 == l.x1 ? (near.left() <= a.x() && a.x() <= near.right() &&
                            std::min(a.y(), b.y()) <= near.bottom() && std::max(a.y(), b.y()) >= near.top())
                         : (near.top() <= a.y() && a.y() <= near.bottom() &&
                            std::min(a.x(), b.x()) <= near.right() && std::max(a.x(), b.x()) >= near.left());
        EXPECT_TRUE(crosses) << where << ": cut " << n->lines.join("").toStdString() << " strays";
    }
}

}  // namespace

TEST(PlanLayout, CutNumbersSitOnTheirCutAndCoverNoOtherText) {
    ResultPlan plan;
    ASSERT_TRUE(ParseResult(kCrowdedPattern, plan));
    const double dpm = 1200 / 25.4;
    for (const Device& device : {Device{"A4", QPageSize::A4, QPageLayout::Landscape},
                                 Device{"A3", QPageSize::A3, QPageLayout::Landscape},
                                 Device{"A4 portrait", QPageSize::A4, QPageLayout::Portrait}}) {
        const std::vector<PlanPageLayout> pages = LayOutPlan(plan, PagePixels(device, dpm), dpm);
        CheckCutNumbers(pages.front().drawing, device.name);
    }

    // The viewer as it opens on the demo plan: the screen's type is larger than a page's for the
    // same plate, so the numbers of the crowded strip have less room there.
    TempDir dir;
    ResultPlan demoPlan;
    ASSERT_TRUE(demo::MakePlan(dir, demoPlan));
    LayoutViewer viewer(demoPlan);
    viewer.resize(1280, 760);
    viewer.show();
    QApplication::processEvents();
    auto* view = viewer.findChild<PatternWidget*>("drawing");
    ASSERT_NE(view, nullptr);
    CheckCutNumbers(view->drawing(), "viewer at 1280 x 760");
    // A full-screen window, and the crowded pattern alone in a small widget.
    viewer.resize(1920, 1080);
    QApplication::processEvents();
    CheckCutNumbers(view->drawing(), "viewer at 1920 x 1080");
    PatternWidget small;
    small.resize(640, 420);
    small.setPattern(plan.patterns.front());
    CheckCutNumbers(small.drawing(), "widget at 640 x 420");
}

TEST(PlanLayout, ZoomingInOnScreenGivesSmallPiecesTheirLabels) {
    ResultPlan plan;
    ASSERT_TRUE(ParseResult(kCrowdedPattern, plan));
    PatternWidget widget;
    widget.resize(640, 420);
    widget.setPattern(plan.patterns.front());
    const auto keysAt = [&]() { return widget.drawing().textsOf(TextKind::PieceKey).size(); };
    EXPECT_EQ(keysAt(), 4u) << "the 45 mm pieces are keyed at the whole plate's scale";
    // Zoom in on the strip of 45 mm pieces: it stays under the pointer and gets labels.
    const PatternDrawing whole = widget.drawing();
    const QPointF strip = whole.point(2110, 1255);
    widget.zoomAt(8.0, strip);
    EXPECT_EQ(widget.zoom(), 8.0);
    const PatternDrawing zoomed = widget.drawing();
    EXPECT_NEAR(zoomed.point(2110, 1255).x(), strip.x(), 1e-6);
    EXPECT_NEAR(zoomed.point(2110, 1255).y(), strip.y(), 1e-6);
    EXPECT_EQ(keysAt(), 0u);
    CheckDrawing(plan.patterns.front(), zoomed, {}, "zoomed");
    // Never below the whole plate, never beyond the largest zoom; a new pattern starts whole.
    widget.zoomAt(1000.0, strip);
    EXPECT_EQ(widget.zoom(), PatternWidget::kMostZoom);
    widget.zoomAt(0.01, strip);
    EXPECT_EQ(widget.zoom(), 1.0);
    EXPECT_EQ(widget.drawing().plate, whole.plate);
    widget.zoomAt(3.0, strip);
    widget.setPattern(plan.patterns.front());
    EXPECT_EQ(widget.zoom(), 1.0);
}
