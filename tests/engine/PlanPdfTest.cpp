// The exported PDF of a plan read back as a cutter's reader would, for a workshop job with
// pieces too small for their labels and for the demo installation's kitchen job: poppler's
// pdftotext finds every piece identifier of each pattern on that pattern's page and each label's
// finished size where the label is drawn, and the word boxes it reports show every text at least
// the smallest type size; pdftoppm turns the pages into pictures. Skipped where poppler-utils is
// not installed.

#include <cstdlib>
#include <map>
#include <regex>
#include <vector>

#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <gtest/gtest.h>

#include "DemoKitchenPlan.h"
#include "DemoPlan.h"
#include "viewer/LayoutViewer.h"
#include "viewer/PlanPage.h"

namespace {

bool Have(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

struct Word {
    double width = 0;  // points
    double height = 0;
    std::string text;
    QPointF centre;  // points from the page's top left corner
};

std::vector<Word> Words(const std::string& bboxHtml) {
    std::vector<Word> words;
    static const std::regex word(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
    for (auto it = std::sregex_iterator(bboxHtml.begin(), bboxHtml.end(), word); it != std::sregex_iterator();
         ++it) {
        const std::smatch& m = *it;
        const double x0 = std::stod(m[1]), y0 = std::stod(m[2]), x1 = std::stod(m[3]), y1 = std::stod(m[4]);
        words.push_back(Word{x1 - x0, y1 - y0, m[5], QPointF((x0 + x1) / 2, (y0 + y1) / 2)});
    }
    return words;
}

// The type size of a word from its box: poppler's box runs from the font's ascent to its descent,
// `box` em high; a word turned upright has its box the other way round. A word of one or two
// letters is never longer than the box is high, so the larger side is the height.
double TypeMm(const Word& w, double box) {
    const double side = w.text.size() <= 2 ? std::max(w.width, w.height) : std::min(w.width, w.height);
    return side / box * 25.4 / 72.0;
}

// Exports the plan on A4 and A3 and reads every page back; `material` is the header's material
// line as the cutter should read it.
// At least `minLabels` piece labels (both paper sizes together) must show their finished size.
void CheckExportedPlan(const TempDir& dir, const ResultPlan& plan, const std::string& material,
                       int minLabels) {
    LayoutViewer viewer(plan);
    // How high poppler's word box is for one em of the font the plan is written in.
    QFont font = viewer.font();
    font.setPixelSize(1000);
    const double box = QFontMetricsF(font).height() / 1000.0;
    ASSERT_GT(box, 0.9);

    int sizesRead = 0;
    for (const QPageSize::PageSizeId size : {QPageSize::A4, QPageSize::A3}) {
        const std::string pdf = dir / (size == QPageSize::A4 ? "plan-a4.pdf" : "plan-a3.pdf");
        ASSERT_TRUE(viewer.exportPdf(QString::fromStdString(pdf), size));
        // The same layout the export made: 1200 dpi, landscape, 10 mm margins.
        const double dpm = 1200 / 25.4;
        const QRectF paper = QPageLayout(QPageSize(size), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                         QPageLayout::Millimeter)
                                 .paintRect(QPageLayout::Millimeter);
        const std::vector<PlanPageLayout> pages =
            LayOutPlan(plan, QRectF(0, 0, paper.width() * dpm, paper.height() * dpm), dpm, viewer.options(),
                       viewer.font());
        ASSERT_EQ(pages.size(), plan.patterns.size());
        for (size_t k = 0; k < plan.patterns.size(); ++k) {
            const std::string page = std::to_string(k + 1);
            const std::string where = pdf + " page " + page;
            const std::string text = dir / "page.txt";
            ASSERT_TRUE(
                Shell("pdftotext -layout -f " + page + " -l " + page + " '" + pdf + "' '" + text + "'"));
            const std::string layout = ReadText(text);
            EXPECT_NE(layout.find("Material: " + material), std::string::npos) << where;
            EXPECT_NE(layout.find("Pattern " + page + " of " + std::to_string(plan.patterns.size())),
                      std::string::npos)
                << where;

            const std::string html = dir / "page.html";
            ASSERT_TRUE(
                Shell("pdftotext -bbox -f " + page + " -l " + page + " '" + pdf + "' '" + html + "'"));
            const std::vector<Word> words = Words(ReadText(html));
            ASSERT_FALSE(words.empty()) << where;
            std::map<std::string, int> seen;
            for (const Word& w : words) {
                ++seen[w.text];
                EXPECT_GE(TypeMm(w, box), kCutTypeMm - 0.05) << where << ": \"" << w.text << "\"";
            }
            // Every identifier of the pattern: in the table, and on each piece that has room for
            // its label, in type of at least the identifiers' size.
            std::map<std::string, int> labels;
            for (const DrawnText* t : pages[k].drawing.textsOf(TextKind::PieceLabel)) {
                ++labels[plan.patterns[k].pieces[t->item].id];
            }
            // Each label's finished size too, read where the label is drawn: the same numbers
            // elsewhere on the page (offcut sizes, the table) say nothing about the label.
            for (const DrawnText* t : pages[k].drawing.textsOf(TextKind::PieceLabel)) {
                const ResultPiece& piece = plan.patterns[k].pieces[t->item];
                const QRectF area((t->box.left() / dpm + paper.left()) * 72 / 25.4,
                                  (t->box.top() / dpm + paper.top()) * 72 / 25.4,
                                  t->box.width() / dpm * 72 / 25.4, t->box.height() / dpm * 72 / 25.4);
                std::vector<std::string> inside;
                for (const Word& w : words) {
                    if (!area.adjusted(-1, -1, 1, 1).contains(w.centre)) continue;
                    inside.push_back(w.text);
                    EXPECT_GE(TypeMm(w, box), kPieceTypeMm - 0.05)
                        << where << ": \"" << w.text << "\" in the label of " << piece.id;
                }
                const QString label = t->lines.join(' ');
                for (const QString& part : label.split(' ', Qt::SkipEmptyParts)) {
                    EXPECT_NE(std::find(inside.begin(), inside.end(), part.toStdString()), inside.end())
                        << where << ": \"" << part.toStdString() << "\" of " << piece.id << " ("
                        << label.toStdString() << ")";
                }
                ASSERT_GE(t->lines.size(), 1);
                ++sizesRead;
                EXPECT_TRUE(t->lines.join(' ').contains(" x ")) << "a label shows the finished size";
            }
            for (const PieceRow& r : PieceRows(plan.patterns[k])) {
                EXPECT_GE(seen[r.id], 1 + labels[r.id]) << where << ": " << r.id;
                for (const Word& w : words) {
                    if (w.text == r.id) {
                        EXPECT_GE(TypeMm(w, box), kPieceTypeMm - 0.05) << where << ": " << r.id;
                    }
                }
            }
        }
    }

    EXPECT_GE(sizesRead, minLabels) << "labels with their sizes on the pages";

    // The pages as pictures: one PNG a page, of the page's shape, with ink on it.
    const std::string pdf = dir / "plan-a4.pdf";
    ASSERT_TRUE(Shell("pdftoppm -r 30 -png '" + pdf + "' '" + (dir / "page") + "'"));
    for (size_t k = 0; k < plan.patterns.size(); ++k) {
        QImage image;
        std::string name = dir / ("page-" + std::to_string(k + 1) + ".png");
        ASSERT_TRUE(image.load(QString::fromStdString(name))) << name;
        EXPECT_NEAR(double(image.width()) / image.height(), 297.0 / 210.0, 0.02);
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                dark += image.pixelColor(x, y).lightness() < 128;
            }
        }
        EXPECT_GT(dark, image.width()) << name;
    }
}

}  // namespace

TEST(PlanPdf, EveryIdentifierOnItsPageInReadableType) {
    if (!Have("pdftotext") || !Have("pdftoppm")) {
        GTEST_SKIP() << "poppler-utils (pdftotext, pdftoppm) not installed";
    }
    TempDir dir;
    ResultPlan plan;
    ASSERT_TRUE(demo::MakePlan(dir, plan));
    CheckExportedPlan(dir, plan, "FL, 4MM, CLEAR", 10);
}

// The demo installation's kitchen job, optimised from the program's own files as a user's first
// job would be.
TEST(PlanPdf, TheDemoKitchenReadsAsWell) {
    if (!Have("pdftotext") || !Have("pdftoppm")) {
        GTEST_SKIP() << "poppler-utils (pdftotext, pdftoppm) not installed";
    }
    TempDir dir;
    ResultPlan plan;
    ASSERT_TRUE(demo::MakeKitchenPlan(dir, plan));
    ASSERT_FALSE(plan.patterns.empty());
    std::map<std::string, long> placed;
    for (const ResultPattern& pattern : plan.patterns) {
        for (const ResultPiece& piece : pattern.pieces) {
            placed[piece.id] += pattern.count;
        }
    }
    EXPECT_EQ(placed, (std::map<std::string, long>{{"K1", 2}, {"K2", 2}, {"K8", 1}}));
    // Window panes and a picture frame: every one is large enough for its label, on A4 and A3.
    int drawn = 0;
    for (const ResultPattern& pattern : plan.patterns) {
        drawn += int(pattern.pieces.size());
    }
    CheckExportedPlan(dir, plan, "FL, 4MM, Float glass 4 mm, clear", 2 * drawn);
}
