// The cutting sheets of a job laid out as the PDF prints them: every piece of a pattern on that
// pattern's page, labels of large pieces in readable type, the job's unit on the drawing and in
// the tables, the paper and orientation asked for, the first page pointing at the right pages,
// a material without a readable result named instead of dropped, and the file written through
// the safe save or not at all.

#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "model/Job.h"
#include "results/JobReport.h"
#include "results/ui/print/CuttingSheetsLayout.h"
#include "results/ui/print/CuttingSheetsPdf.h"
#include "results/ui/print/LabelSheetPdf.h"
#include "suite/KLanguage.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

constexpr double kDpm = 600 / 25.4;

ResultPiece Cut(engine::Length x, engine::Length y, engine::Length w, engine::Length h, long number,
                const std::string& id) {
    ResultPiece p;
    p.x = x;
    p.y = y;
    p.width = w;
    p.height = h;
    p.number = number;
    p.id = id;
    return p;
}

// A 3210 x 2250 plate with 10 mm trims: two windows, a door, a 20 mm strip too narrow for its
// label, and an offcut.
ResultPattern KitchenPattern(long count, bool offcutPlate) {
    ResultPattern p;
    p.count = count;
    p.width = 32100;
    p.height = 22500;
    // Its place in the engine's list, and the one in the material's stock the sheets show.
    p.position = offcutPlate ? 2 : 1;
    p.stockPlace = offcutPlate ? 7 : 4;
    p.offcutPlate = offcutPlate;
    p.trimX = 100;
    p.trimY = 100;
    p.thickness = 400;
    p.pieces.push_back(Cut(100, 100, 11800, 7600, 1, "K1"));
    p.pieces.push_back(Cut(11900, 100, 11800, 7600, 2, "K2-Ä"));
    p.pieces.push_back(Cut(100, 7700, 9000, 14000, 3, "DOOR"));
    p.pieces.push_back(Cut(9100, 7700, 200, 14000, 4, "STRIP"));
    ResultOffcut o;
    o.x = 23700;
    o.y = 100;
    o.width = 8300;
    o.height = 22300;
    p.offcuts.push_back(o);
    for (const ResultPiece& c : p.pieces) {
        ResultInfo i;
        i.id = c.id;
        i.number = c.number;
        i.width = c.width;
        i.height = c.height;
        i.count = 1;
        p.infos.push_back(i);
    }
    return p;
}

StoredMaterialResult Read(const std::string& code, std::vector<ResultPattern> patterns) {
    StoredMaterialResult r;
    r.key = MaterialKey("FL", code, "");
    r.state = StoredResultState::Read;
    r.path = "/results/JOB.R01";
    r.plan.patterns = std::move(patterns);
    return r;
}

StoredMaterialResult Missing(const std::string& code, const std::string& path) {
    StoredMaterialResult r;
    r.key = MaterialKey("FL", code, "SATIN");
    r.state = StoredResultState::Missing;
    r.path = path;
    return r;
}

Job KitchenJob() {
    Job job;
    job.name = "Kitchen refit, Elm Street 14";
    job.customer = "Hansen & Daughters";
    job.order = "PO-2291";
    return job;
}

QString AllText(const PlanPageLayout& page) {
    QString all;
    for (const PageText& t : page.texts) all += t.text + "\n";
    for (const DrawnText& t : page.drawing.texts) all += t.lines.join(' ') + "\n";
    return all;
}

class CuttingSheets : public ::testing::Test {
protected:
    static void SetUpTestSuite() { printing = std::make_unique<PrintingApplication>(); }
    static void TearDownTestSuite() { printing.reset(); }
    void SetUp() override {
        language = std::make_unique<KLanguage>(std::string(TAVREL_SOURCE_DIR) + "/resources/Msg/Tavrel.msg");
        ASSERT_GT(language->LoadStrings(), 0);
        SetCurrentCatalogue(language.get());
    }
    void TearDown() override { SetCurrentCatalogue(nullptr); }

    static std::unique_ptr<PrintingApplication> printing;
    std::unique_ptr<KLanguage> language;
};

std::unique_ptr<PrintingApplication> CuttingSheets::printing;

}  // namespace

TEST_F(CuttingSheets, EveryPieceOnItsPatternsPageInTheUnitAndOnThePaperAsked) {
    const Job job = KitchenJob();
    const std::vector<StoredMaterialResult> results = {
        Read("4MM", {KitchenPattern(3, false), KitchenPattern(1, true)}),
        Read("6MM", {KitchenPattern(2, false)})};
    struct Paper {
        CuttingSheetOptions options;
        double width;  // printable millimetres
        double height;
    };
    const std::vector<Paper> papers = {{{SheetPaper::A4, true}, 277, 190},
                                       {{SheetPaper::A4, false}, 190, 277},
                                       {{SheetPaper::A3, true}, 400, 277},
                                       {{SheetPaper::A3, false}, 277, 400}};
    for (const bool inches : {false, true}) {
        const CurrentUnit unit = inches ? Inches() : Millimetres();
        for (const Paper& paper : papers) {
            const std::string where = std::string(inches ? "inches " : "mm ") +
                                      (paper.options.paper == SheetPaper::A3 ? "A3 " : "A4 ") +
                                      (paper.options.landscape ? "landscape" : "portrait");
            const CuttingSheetsLayout l = LayOutCuttingSheets(job, results, unit, paper.options, kDpm);
            EXPECT_NEAR(l.page.width() / kDpm, paper.width, 0.01) << where;
            EXPECT_NEAR(l.page.height() / kDpm, paper.height, 0.01) << where;
            // The first page, a page a pattern, the report.
            ASSERT_EQ(l.pages.size(), 5u) << where;
            EXPECT_EQ(l.pages.front().kind, SheetPageKind::Contents) << where;
            EXPECT_EQ(l.pages.back().kind, SheetPageKind::Report) << where;
            for (size_t k = 0; k < l.pages.size(); ++k) {
                const PlanPageLayout& page = l.pages[k].layout;
                // Nothing off the paper, and no text below the least size.
                for (const PageText& t : page.texts) {
                    EXPECT_TRUE(l.page.adjusted(-1, -1, 1, 1).contains(t.box))
                        << where << " page " << k + 1 << ": " << t.text.toStdString();
                    EXPECT_GE(t.pixelSize / kDpm, kFooterTypeMm - 0.01)
                        << where << ": " << t.text.toStdString();
                }
                EXPECT_TRUE(AllText(page).contains(QString("Page %1 of 5").arg(k + 1))) << where;
                if (l.pages[k].kind != SheetPageKind::Pattern) continue;
                const ResultPattern& pat = results[l.pages[k].result].plan.patterns[page.pattern];
                const PatternDrawing& d = page.drawing;
                EXPECT_TRUE(l.page.contains(d.plate)) << where;
                std::map<size_t, int> textsOfPiece;
                for (const DrawnText& t : d.texts) {
                    if (t.kind != TextKind::PieceLabel && t.kind != TextKind::PieceKey) continue;
                    ++textsOfPiece[t.item];
                    const ResultPiece& c = pat.pieces[t.item];
                    const QRectF piece = d.rect(c.x, c.y, c.width, c.height);
                    // A piece of 40 mm on the paper or more carries its identifier and size.
                    if (std::min(piece.width(), piece.height()) >= 40 * kDpm) {
                        EXPECT_EQ(t.kind, TextKind::PieceLabel) << where << ": " << c.id;
                        EXPECT_GE(t.pixelSize / kDpm, kPieceTypeMm) << where << ": " << c.id;
                        EXPECT_TRUE(piece.contains(t.box)) << where << ": " << c.id;
                        EXPECT_EQ(t.lines.join(' ').split(' ').front().toStdString(), c.id) << where;
                    }
                }
                for (size_t p = 0; p < pat.pieces.size(); ++p)
                    EXPECT_EQ(textsOfPiece[p], 1) << where << ": piece " << pat.pieces[p].id;
                const QString all = AllText(page);
                // Sizes in the unit with its decimals: 1180 x 760 mm is 46.46 x 29.92 in.
                const QString size = inches ? "46.46 x 29.92" : "1180.0 x 760.0";
                EXPECT_GE(all.count(size), 3) << where << ": two labels and the table";
                EXPECT_TRUE(all.contains(inches ? "Size (in)" : "Size (mm)")) << where;
                EXPECT_EQ(all.contains("1180.0"), !inches) << where;
                EXPECT_TRUE(all.contains("Material: FL, " +
                                         QString::fromStdString(results[l.pages[k].result].key.code)))
                    << where;
                EXPECT_TRUE(all.contains("Customer: Hansen & Daughters")) << where;
                EXPECT_TRUE(all.contains("Order: PO-2291")) << where;
                EXPECT_TRUE(all.contains(pat.offcutPlate ? "(Offcut)" : "(Stock plate)")) << where;
                EXPECT_TRUE(all.contains(QString("Plates: %1").arg(pat.count))) << where;
                EXPECT_TRUE(all.contains(inches ? "Thickness: 0.16 in" : "Thickness: 4.00 mm")) << where;
            }
            const QString report = AllText(l.pages.back().layout);
            EXPECT_TRUE(report.contains(inches ? "(sqft)" : "(mq)")) << where;
            EXPECT_FALSE(report.contains(inches ? "(mq)" : "(sqft)")) << where;
            // The totals' piece area in the unit: six plates (4 of 4MM, 2 of 6MM), each with two
            // windows, the door and the strip; square feet on an inch station.
            const double pieceArea = 6.0 * (2 * 1.18 * 0.76 + 0.9 * 1.4 + 0.02 * 1.4);
            const double shown = inches ? pieceArea / 0.09290304 : pieceArea;
            EXPECT_TRUE(report.contains(QString::number(shown, 'f', 2))) << where << " " << shown;
        }
    }
}

TEST_F(CuttingSheets, SizesWithTheDecimalsOfTheUnit) {
    const Job job = KitchenJob();
    const std::vector<StoredMaterialResult> results = {Read("4MM", {KitchenPattern(1, false)})};
    struct Case {
        CurrentUnit unit;
        QString window;  // 1180 x 760 mm
        QString plate;   // 3210 x 2250 mm
    };
    for (const Case& c :
         {Case{Millimetres(0), "1180 x 760", "3210 x 2250"},
          Case{Millimetres(3), "1180.000 x 760.000", "3210.000 x 2250.000"},
          Case{Inches(0), "46 x 30", "126 x 89"}, Case{Inches(3), "46.457 x 29.921", "126.378 x 88.583"}}) {
        const CuttingSheetsLayout l = LayOutCuttingSheets(job, results, c.unit, {}, kDpm);
        ASSERT_EQ(l.pages.size(), 3u);
        const QString first = AllText(l.pages[0].layout);
        const QString pattern = AllText(l.pages[1].layout);
        const QString report = AllText(l.pages[2].layout);
        EXPECT_TRUE(first.contains(c.plate)) << c.plate.toStdString();
        EXPECT_TRUE(pattern.contains(c.plate)) << c.plate.toStdString();
        EXPECT_GE(pattern.count(c.window), 3) << c.window.toStdString();
        EXPECT_TRUE(report.contains(c.plate)) << c.plate.toStdString();
    }
}

TEST_F(CuttingSheets, ItalianOnAPortraitPageStaysOnThePaper) {
    KLanguage italian(std::string(TAVREL_SOURCE_DIR) + "/resources/Msg/Tavrel.it.msg");
    italian.SetFallback(std::string(TAVREL_SOURCE_DIR) + "/resources/Msg/Tavrel.msg");
    ASSERT_GT(italian.LoadStrings(), 0);
    SetCurrentCatalogue(&italian);
    Job job = KitchenJob();
    std::vector<StoredMaterialResult> results = {
        Read("4MM", {KitchenPattern(2, false), KitchenPattern(1, true)})};
    // The longest names a catalogue allows, and a result that could not be read.
    results.push_back(Read("10MM", {KitchenPattern(1, false)}));
    results.back().key = MaterialKey("FLOAT-EXTRACLEAR", "10MM-LAMINATED-33.1", "SATIN-ACID-ETCHED");
    results.push_back(Missing("8MM", "/srv/workshop/jobs/results/M.R/KITCHEN_REFIT_ELM_STREET_14.R03"));
    for (const SheetPaper paper : {SheetPaper::A4, SheetPaper::A3}) {
        const CuttingSheetsLayout l = LayOutCuttingSheets(job, results, Inches(3), {paper, false}, kDpm);
        ASSERT_EQ(l.pages.size(), 5u);
        EXPECT_TRUE(AllText(l.pages.front().layout).startsWith("Fogli di taglio: Kitchen refit"));
        EXPECT_TRUE(AllText(l.pages.back().layout).contains("consumati"));
        EXPECT_TRUE(AllText(l.pages.front().layout).contains("Materiali non stampati"));
        for (size_t k = 0; k < l.pages.size(); ++k) {
            for (const PageText& t : l.pages[k].layout.texts) {
                QFont f = l.font;
                f.setPixelSize(t.pixelSize);
                f.setBold(t.bold);
                const double drawn = QFontMetricsF(f).horizontalAdvance(t.text);
                // The box on the page, and the text inside its box.
                EXPECT_TRUE(l.page.adjusted(-1, -1, 1, 1).contains(t.box))
                    << k << ": " << t.text.toStdString();
                EXPECT_LE(drawn, t.box.width() + 1) << k << ": " << t.text.toStdString();
            }
        }
    }
    SetCurrentCatalogue(language.get());
}

TEST_F(CuttingSheets, FirstPagePointsAtThePatternsAndNamesWhatIsLeftOut) {
    // Enough materials and patterns for the first page to go on to a second one.
    Job job = KitchenJob();
    std::vector<StoredMaterialResult> results;
    for (int m = 0; m < 12; ++m) {
        std::vector<ResultPattern> patterns;
        for (int k = 0; k < 4; ++k) patterns.push_back(KitchenPattern(k + 1, k % 2 == 1));
        results.push_back(Read(std::to_string(m + 3) + "MM", patterns));
        job.materials.add(results.back().key, false);
    }
    results.insert(results.begin() + 5, Missing("10MM", "/work/M.R/JOB.R06"));
    // A pattern of 600 different small pieces (a 30 x 20 grid of 100 x 100 mm), whose piece
    // table runs on over several pages; and a customer typed on a Windows station.
    ResultPattern grid;
    grid.width = 30000;
    grid.height = 20000;
    grid.position = 1;
    for (int k = 0; k < 600; ++k)
        grid.pieces.push_back(
            Cut((k % 30) * 1000, (k / 30) * 1000, 1000, 1000, k + 1, "G" + std::to_string(k + 1)));
    results.push_back(Read("GRID", {grid}));
    job.customer = "M\xfcller & S\xf6hne";
    const CuttingSheetsLayout l = LayOutCuttingSheets(job, results, Millimetres(), {}, kDpm);
    EXPECT_EQ(l.materials, 13);
    ASSERT_EQ(l.unprinted.size(), 1u);
    EXPECT_EQ(l.unprinted[0].key.code, "10MM");
    EXPECT_NE(l.unprinted[0].reason.find("/work/M.R/JOB.R06"), std::string::npos);

    size_t contents = 0;
    while (contents < l.pages.size() && l.pages[contents].kind == SheetPageKind::Contents) ++contents;
    ASSERT_GE(contents, 2u) << "48 patterns do not fit one page";
    QString first;
    for (size_t k = 0; k < contents; ++k) first += AllText(l.pages[k].layout);
    EXPECT_TRUE(first.contains("Customer: Müller & Söhne"));
    EXPECT_TRUE(first.contains("Materials not printed"));
    EXPECT_TRUE(first.contains("FL, 10MM, SATIN"));
    EXPECT_TRUE(first.contains("missing"));
    for (const StoredMaterialResult& r : results)
        EXPECT_TRUE(first.contains(QString::fromStdString("FL, " + r.key.code))) << r.key.code;

    // Each pattern row's last cell is the page of that pattern: the page at that number shows it.
    size_t checked = 0;
    for (size_t k = 0; k < contents; ++k) {
        const std::vector<PageText>& texts = l.pages[k].layout.texts;
        for (size_t t = 2; t + 5 < texts.size(); ++t) {
            // A pattern row: plate size "3210.0 x 2250.0", then kind, plates, pieces, yield, page.
            if (texts[t].text != "3210.0 x 2250.0") continue;
            const int pattern = texts[t - 2].text.toInt();
            const int pageNumber = texts[t + 5].text.toInt();
            ASSERT_GE(pageNumber, 1);
            ASSERT_LE(static_cast<size_t>(pageNumber), l.pages.size());
            const SheetPage& target = l.pages[static_cast<size_t>(pageNumber) - 1];
            EXPECT_EQ(target.kind, SheetPageKind::Pattern);
            EXPECT_FALSE(target.layout.continued);
            EXPECT_EQ(target.layout.pattern + 1, static_cast<size_t>(pattern));
            const ResultPattern& shown = results[target.result].plan.patterns[target.layout.pattern];
            EXPECT_EQ(texts[t + 2].text.toInt(), shown.count);
            // The plate as the stock lists it, on the first page and on the pattern's own.
            EXPECT_EQ(texts[t - 1].text.toLong(), shown.stockPlace);
            EXPECT_TRUE(
                AllText(target.layout).contains(QString(" %1: 3210.0 x 2250.0").arg(shown.stockPlace)))
                << pageNumber;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 48u) << "the grid's plate is 3000.0 x 2000.0";

    // The grid's pages: the first with the drawing, the rest its table; every piece listed once,
    // every page numbered in the whole document's count.
    std::multiset<QString> listed;
    size_t gridPages = 0;
    for (size_t k = 0; k < l.pages.size(); ++k) {
        const SheetPage& p = l.pages[k];
        const QString all = AllText(p.layout);
        EXPECT_TRUE(all.contains(QString("Page %1 of %2").arg(k + 1).arg(l.pages.size()))) << k;
        if (p.kind != SheetPageKind::Pattern || results[p.result].key.code != "GRID") continue;
        EXPECT_EQ(p.layout.hasDrawing, gridPages == 0);
        EXPECT_EQ(p.layout.continued, gridPages > 0);
        ++gridPages;
        for (const PageText& t : p.layout.texts)
            if (t.text.startsWith('G') && t.text.mid(1).toInt() > 0) listed.insert(t.text);
    }
    EXPECT_GE(gridPages, 3u);
    EXPECT_EQ(listed.size(), 600u);
    EXPECT_EQ(std::set<QString>(listed.begin(), listed.end()).size(), 600u) << "a piece listed twice";

    // The report keeps the material with its reason and counts it out of the totals.
    QString report;
    for (const SheetPage& p : l.pages)
        if (p.kind == SheetPageKind::Report) report += AllText(p.layout);
    EXPECT_TRUE(report.contains("FL, 10MM, SATIN"));
    EXPECT_TRUE(report.contains("Materials left out of the totals"));
    const JobReport expected = BuildJobReport(job, results);
    EXPECT_TRUE(report.contains(QString::number(expected.totals.plates)));
}

TEST_F(CuttingSheets, WrittenThroughTheSafeSaveOrNotAtAll) {
    TempDir dir;
    const Job job = KitchenJob();
    const std::vector<StoredMaterialResult> results = {Read("4MM", {KitchenPattern(3, false)}),
                                                       Missing("6MM", dir / "M.R/JOB.R02")};
    const std::string path = dir / "sheets.pdf";
    const CuttingSheetsReport written = WriteCuttingSheetsPdf(job, results, Millimetres(), {}, path);
    EXPECT_TRUE(written.written);
    EXPECT_FALSE(written.complete()) << "a material was left out";
    EXPECT_EQ(written.pages, 3);
    EXPECT_EQ(written.patternPages, 1);
    ASSERT_EQ(written.unprinted.size(), 1u);
    EXPECT_NE(written.unprinted[0].reason.find("JOB.R02"), std::string::npos);
    const std::string pdf = ReadText(path);
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);

    // A folder that is not there: not written, the file named, the old file untouched.
    const std::string nowhere = dir / "no-such-folder/sheets.pdf";
    const CuttingSheetsReport failed = WriteCuttingSheetsPdf(job, results, Millimetres(), {}, nowhere);
    EXPECT_FALSE(failed.written);
    EXPECT_NE(failed.error.find(nowhere), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(nowhere));

    // Nothing readable: no sheets that would pass for a plan.
    const CuttingSheetsReport none =
        WriteCuttingSheetsPdf(job, {Missing("6MM", dir / "M.R/JOB.R02")}, Millimetres(), {}, path);
    EXPECT_FALSE(none.written);
    EXPECT_FALSE(none.error.empty());
    ASSERT_EQ(none.unprinted.size(), 1u);
    EXPECT_EQ(ReadText(path), pdf) << "the earlier sheets were overwritten";

    SheetPaper paper = SheetPaper::A4;
    EXPECT_TRUE(ParseSheetPaper(" a3", paper));
    EXPECT_EQ(paper, SheetPaper::A3);
    EXPECT_FALSE(ParseSheetPaper("A5", paper));
    EXPECT_FALSE(ParseSheetPaper("", paper));
}

TEST_F(CuttingSheets, EdgeTrimsAreShadedApartFromTheWaste) {
    // A plate with 100 mm trims and one piece: the trim band, the waste beside the piece and the
    // piece itself come out in three different shades.
    ResultPattern p;
    p.width = 20000;
    p.height = 10000;
    p.trimX = 1000;
    p.trimY = 1000;
    p.pieces.push_back(Cut(1000, 1000, 9000, 8000, 1, "P"));
    const double dpm = 4;  // 4 pixels a mm: the plate is 800 x 400 pixels at 1:10 scale
    QImage image(1000, 500, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintOptions o;
        o.cutOrder = false;
        o.labels = false;
        const PatternDrawing d = LayOutPattern(p, QRectF(0, 0, 800, 400), dpm, o);
        PaintDrawing(painter, p, d);
    }
    const QColor trim = image.pixelColor(20, 200);    // 50 mm in from the left edge
    const QColor waste = image.pixelColor(600, 200);  // right of the piece
    const QColor piece = image.pixelColor(200, 200);
    EXPECT_NE(trim, waste);
    EXPECT_NE(trim, piece);
    EXPECT_LT(trim.lightness(), waste.lightness()) << "trims darker than the waste";
    EXPECT_EQ(image.pixelColor(780, 20), trim) << "the trim runs round the plate";
}
