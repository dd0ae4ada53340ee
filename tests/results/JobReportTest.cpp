#include <cmath>
#include <map>
#include <random>

#include <gtest/gtest.h>

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "results/JobReport.h"
#include "results/JobResultsFixture.h"
#include "settings/UnitDef.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The rows of one record kind ("material", "plate", ...), by the header's column names.
std::vector<std::map<std::string, std::string>> Records(const Rows& rows, const std::string& record) {
    std::vector<std::map<std::string, std::string>> found;
    for (size_t r = 1; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].size(), rows[0].size()) << "row " << r << " has another number of columns";
        if (rows[r].empty() || rows[r][0] != record) continue;
        std::map<std::string, std::string> named;
        for (size_t c = 0; c < rows[0].size() && c < rows[r].size(); ++c) named[rows[0][c]] = rows[r][c];
        found.push_back(named);
    }
    return found;
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A hand-made result: 3 plates 3210.5 x 2250 with a 1000 x 500 piece, a 0.5 x 0.5 mm chip and an
// offcut across the plate; one offcut of the stock 1250 x 830 cut again for a 1180 x 760 piece;
// a second pattern on the same plate size with one piece, so the plate sizes add up.
ResultPlan WorkshopPlan() {
    ResultPlan plan;
    ResultPattern a = Pattern(3, 32105, 22500);
    a.pieces = {Placed(100, 100, 10000, 5000, "W1"), Placed(10100, 100, 5, 5, "CHIP")};
    a.infos = {Ordered("W1", 10000, 5000), Ordered("CHIP", 5, 5)};
    a.offcuts = {ResultOffcut{0, 18500, 32105, 4000}, ResultOffcut{0, 0, 0, 900}};
    ResultPattern b = Pattern(1, 12500, 8300, true);
    b.pieces = {Placed(100, 100, 7600, 11800, "K1", true)};
    b.infos = {Ordered("K1", 11800, 7600)};
    ResultPattern c = Pattern(2, 32105, 22500);
    c.pieces = {Placed(100, 100, 20000, 20000, "BIG")};
    c.infos = {Ordered("BIG", 20000, 20000)};
    c.offcuts = {ResultOffcut{0, 18500, 32105, 4000}};
    plan.patterns = {a, b, c};
    return plan;
}

}  // namespace

TEST_F(JobResultsTest, FiguresOfARealOptimisationAddUpFromTheJobAndThePatterns) {
    AddMaterial("4MM");
    AddMaterial("6MM");
    AddPlate("4MM", 3210, 2250, 30);
    AddPlate("6MM", 3210, 2250, 10);
    AddPlate("6MM", 1600.5, 1200, 2, PlateOffcut);
    job.preferOffcuts = 1;
    // Workshop sizes: tenths of a millimetre, a strip of glass, many small panes.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> side(300, 14000);
    for (int i = 0; i < 40; ++i)
        AddPiece("4MM", side(rng) / 10.0, side(rng) / 10.0, 1 + i % 7, "A" + std::to_string(i));
    AddPiece("4MM", 3000, 120.5, 3, "STRIP");
    AddPiece("6MM", 1500.5, 1100, 2, "D1");
    AddPiece("6MM", 800, 600.3, 5, "D2");
    const OptimiseReport run = OptimiseAll();
    ASSERT_EQ(run.materials.size(), 2u);
    for (const MaterialRunReport& m : run.materials)
        ASSERT_TRUE(m.accepted) << NotOptimisedText(m, settings->current);

    const std::vector<StoredMaterialResult> results = ReadStoredResults(*settings, job, jobPath);
    const JobReport report = BuildJobReport(job, results);
    ASSERT_EQ(report.materials.size(), 2u);
    EXPECT_TRUE(report.complete());
    ReportFigures sum;
    for (size_t i = 0; i < 2; ++i) {
        const MaterialReport& m = report.materials[i];
        const MaterialRunReport& accepted = run.materials[i];
        ASSERT_EQ(m.state, StoredResultState::Read) << m.problem;
        EXPECT_TRUE(m.key == accepted.key);
        // Pieces and their area from the job itself (the material has no grinding allowance).
        long pieces = 0;
        double pieceArea = 0;
        for (const Piece& p : job.pieces)
            if (p.code == m.key.code) {
                pieces += p.quantity;
                pieceArea += p.width * p.height * p.quantity;
            }
        EXPECT_EQ(m.figures.pieces, pieces);
        EXPECT_NEAR(m.figures.pieceArea, pieceArea, 1e-6 * pieceArea);
        // The same area as the sum of the placements, and the plates as the command split them.
        double placed = 0;
        long platesInFile = 0;
        for (const ResultPattern& p : StoredPlan(m.key).patterns) {
            platesInFile += p.count;
            for (const ResultPiece& q : p.pieces)
                placed += static_cast<double>(q.width) / 10.0 * (static_cast<double>(q.height) / 10.0) *
                          static_cast<double>(p.count);
        }
        EXPECT_NEAR(placed, m.figures.pieceArea, 1e-6 * placed);
        EXPECT_NEAR(m.figures.plateArea, accepted.platesArea, 1e-6 * accepted.platesArea);
        long used = 0, offcutsUsed = 0, offcuts = 0;
        for (const StockPlate& p : accepted.usedPlates) {
            used += p.quantity;
            if (p.kind == PlateOffcut) offcutsUsed += p.quantity;
        }
        for (const StockPlate& p : accepted.offcuts) offcuts += p.quantity;
        EXPECT_EQ(m.figures.plates, used);
        EXPECT_EQ(m.figures.plates, platesInFile);
        EXPECT_EQ(m.figures.offcutsConsumed, offcutsUsed);
        EXPECT_EQ(m.figures.offcutsProduced, offcuts);
        long byKind = 0, produced = 0;
        for (const PlateUse& p : m.plates) byKind += p.count;
        for (const OffcutUse& o : m.offcuts) produced += o.count;
        EXPECT_EQ(byKind, used);
        EXPECT_EQ(produced, offcuts);
        // The yield the engine wrote beside its plan, and the waste as what is left.
        EXPECT_NEAR(m.figures.yieldPercent(), 100.0 * pieceArea / accepted.platesArea, 1e-6);
        EXPECT_NEAR(m.figures.yieldPercent(), ToDouble(StoredPlan(m.key).headerValue("Yield")), 0.005);
        EXPECT_NEAR(m.figures.wasteArea(), accepted.platesArea - pieceArea - m.figures.offcutArea, 1e-3);
        EXPECT_GE(m.figures.wasteArea(), -1e-6);
        sum.add(m.figures);
    }
    EXPECT_GT(report.materials[1].figures.offcutsConsumed, 0) << "the job prefers the offcuts of the stock";
    EXPECT_EQ(report.totals.plates, sum.plates);
    EXPECT_EQ(report.totals.pieces, sum.pieces);
    EXPECT_DOUBLE_EQ(report.totals.plateArea, sum.plateArea);
    EXPECT_NEAR(report.totals.yieldPercent(), 100.0 * sum.pieceArea / sum.plateArea, 1e-9);

    // The CSV's total row holds the same figures, rounded as shown.
    const Rows rows = ParseCsv(JobReportCsv(report, settings->current));
    const auto totals = Records(rows, "total");
    ASSERT_EQ(totals.size(), 1u);
    EXPECT_EQ(totals[0].at("pieces"), std::to_string(sum.pieces));
    EXPECT_EQ(totals[0].at("plates"), std::to_string(sum.plates));
    EXPECT_EQ(totals[0].at("plate area [mq]"), Fixed(sum.plateArea / 1e6, 2));
    EXPECT_EQ(totals[0].at("yield [%]"), Fixed(100.0 * sum.pieceArea / sum.plateArea, 2));
    EXPECT_EQ(totals[0].at("status"), "ok");
}

TEST_F(JobResultsTest, PlatesAndOffcutsAreGroupedBySizeAndKindAndShownInEveryUnitAndDecimal) {
    StoreResult(MaterialKey("FL", "4MM", ""), 0, FormatResult(WorkshopPlan()));
    const JobReport report = BuildJobReport(job, ReadStoredResults(*settings, job, jobPath));
    ASSERT_EQ(report.materials.size(), 1u);
    const MaterialReport& m = report.materials[0];
    ASSERT_EQ(m.state, StoredResultState::Read) << m.problem;
    ASSERT_EQ(m.plates.size(), 2u);
    EXPECT_EQ(m.plates[0].width, 32105);
    EXPECT_EQ(m.plates[0].count, 5) << "the plates of two patterns of one size add up";
    EXPECT_FALSE(m.plates[0].offcut);
    EXPECT_TRUE(m.plates[1].offcut);
    EXPECT_EQ(m.plates[1].count, 1);
    ASSERT_EQ(m.offcuts.size(), 1u) << "an offcut without a width is no offcut";
    EXPECT_EQ(m.offcuts[0].count, 5);
    EXPECT_EQ(m.figures.offcutsProduced, 5);
    EXPECT_EQ(m.figures.offcutsConsumed, 1);
    EXPECT_EQ(m.figures.pieces, 3 * 2 + 1 + 2);
    const double plates = 5 * 3210.5 * 2250 + 1250 * 830;
    const double pieces = 3 * (1000 * 500 + 0.25) + 1180 * 760 + 2 * 2000 * 2000;
    const double offcuts = 5 * 3210.5 * 400;
    EXPECT_DOUBLE_EQ(m.figures.plateArea, plates);
    EXPECT_DOUBLE_EQ(m.figures.pieceArea, pieces);
    EXPECT_DOUBLE_EQ(m.figures.offcutArea, offcuts);

    for (const bool inches : {false, true}) {
        for (int decimals = kMinDecimals; decimals <= kMaxDecimals; ++decimals) {
            const CurrentUnit unit = inches ? Inches(decimals) : Millimetres(decimals);
            SCOPED_TRACE(unit.linearLabel + " with " + std::to_string(decimals) + " decimals");
            const Rows rows = ParseCsv(JobReportCsv(report, unit));
            const std::string len = " [" + unit.linearLabel + "]";
            const std::string area = " [" + unit.areaLabel + "]";
            const double perMm = inches ? 1 / 25.4 : 1.0;
            const double perSquareMm = inches ? 1 / 0.09290304 / 1e6 : 1 / 1e6;
            const auto plateRows = Records(rows, "plate");
            ASSERT_EQ(plateRows.size(), 2u);
            EXPECT_EQ(plateRows[0].at("kind"), "plate");
            EXPECT_EQ(plateRows[0].at("width" + len), Fixed(3210.5 * perMm, decimals));
            EXPECT_EQ(plateRows[0].at("height" + len), Fixed(2250 * perMm, decimals));
            EXPECT_EQ(plateRows[0].at("count"), "5");
            EXPECT_EQ(plateRows[1].at("kind"), "offcut");
            EXPECT_EQ(plateRows[1].at("width" + len), Fixed(1250 * perMm, decimals));
            const auto offcutRows = Records(rows, "offcut");
            ASSERT_EQ(offcutRows.size(), 1u);
            EXPECT_EQ(offcutRows[0].at("height" + len), Fixed(400 * perMm, decimals));
            const auto material = Records(rows, "material");
            ASSERT_EQ(material.size(), 1u);
            EXPECT_EQ(material[0].at("plate area" + area), Fixed(plates * perSquareMm, 2));
            EXPECT_EQ(material[0].at("piece area" + area), Fixed(pieces * perSquareMm, 2));
            EXPECT_EQ(material[0].at("waste area" + area),
                      Fixed((plates - pieces - offcuts) * perSquareMm, 2));
            EXPECT_EQ(material[0].at("yield [%]"), Fixed(100 * pieces / plates, 2));
            EXPECT_EQ(material[0].at("offcuts produced"), "5");
            EXPECT_EQ(material[0].at("offcuts consumed"), "1");
        }
    }
}

TEST_F(JobResultsTest, PieceAreaIsTheFinishedSizeWhenTheCutSizeHoldsAGrindingAllowance) {
    ResultPlan plan;
    ResultPattern p = Pattern(1, 32100, 22500);
    // 2 mm ground off every side: cut 1004 x 504 for 1000 x 500, turned or not; an identifier
    // whose information does not fit its cut size counts with its cut size.
    p.pieces = {Placed(0, 0, 10040, 5040, "G1"), Placed(0, 6000, 5040, 10040, "G1", true),
                Placed(12000, 0, 3000, 3000, "ODD"), Placed(16000, 0, 2000, 1000, "NOINFO")};
    p.infos = {Ordered("G1", 10000, 5000), Ordered("ODD", 4000, 2000)};
    plan.patterns = {p};
    StoreResult(MaterialKey("FL", "4MM", ""), 0, FormatResult(plan));
    const JobReport report = BuildJobReport(job, ReadStoredResults(*settings, job, jobPath));
    ASSERT_EQ(report.materials[0].state, StoredResultState::Read);
    EXPECT_DOUBLE_EQ(report.materials[0].figures.pieceArea, 2 * 1000 * 500 + 300 * 300 + 200 * 100);
    engine::Length w = 0, h = 0;
    FinishedSize(p, p.pieces[1], w, h);
    EXPECT_EQ(w, 5000);
    EXPECT_EQ(h, 10000);
}

TEST_F(JobResultsTest, AMaterialWithoutAReadableResultIsNamedAndLeftOutOfTheTotals) {
    ResultPlan good;
    ResultPattern p = Pattern(2, 32100, 22500);
    p.pieces = {Placed(0, 0, 10000, 5000, "P1")};
    good.patterns = {p};
    ResultPlan zero = good;
    zero.patterns[0].count = 0;
    StoreResult(MaterialKey("FL", "4MM", ""), 0, FormatResult(good));
    StoreResult(MaterialKey("FL", "6MM", ""), 1, "");  // missing
    StoreResult(MaterialKey("FL", "8MM", ""), 2, "BLOCKSTART\n[PATTERN]\nWidth=3210\n");
    StoreResult(MaterialKey("FL", "10MM", "SAT"), 3, FormatResult(zero));
    const std::vector<StoredMaterialResult> results = ReadStoredResults(*settings, job, jobPath);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[1].state, StoredResultState::Missing);
    EXPECT_EQ(results[2].state, StoredResultState::Unreadable);
    EXPECT_EQ(results[3].state, StoredResultState::Unreadable) << "a pattern cut from no plate";
    const JobReport report = BuildJobReport(job, results);
    EXPECT_EQ(report.unread, 3);
    EXPECT_FALSE(report.complete());
    EXPECT_EQ(report.totals.plates, 2);
    EXPECT_EQ(report.totals.pieces, 2);
    for (size_t i = 1; i < 4; ++i) {
        const std::string problem = report.materials[i].problem;
        EXPECT_NE(problem.find(results[i].path), std::string::npos) << problem;
        EXPECT_EQ(problem.rfind(i == 1 ? "00370" : "00371", 0), 0u) << problem;
    }
    EXPECT_NE(report.materials[3].problem.find("00372 1"), std::string::npos) << report.materials[3].problem;
    EXPECT_NE(report.materials[2].problem.find("BLOCKEND"), std::string::npos) << "the reader's reason";

    const Rows rows = ParseCsv(JobReportCsv(report, Millimetres()));
    const auto materials = Records(rows, "material");
    ASSERT_EQ(materials.size(), 4u);
    EXPECT_EQ(materials[0].at("status"), "ok");
    EXPECT_EQ(materials[1].at("status"), "missing");
    EXPECT_EQ(materials[1].at("serie") + " " + materials[1].at("code"), "FL 6MM");
    EXPECT_EQ(materials[1].at("plates"), "") << "no figures for a missing result";
    EXPECT_NE(materials[1].at("reason").find(results[1].path), std::string::npos);
    EXPECT_EQ(materials[1].at("reason").find('\n'), std::string::npos);
    EXPECT_EQ(materials[2].at("status"), "unreadable");
    EXPECT_EQ(materials[3].at("treatment"), "SAT");
    const auto total = Records(rows, "total");
    ASSERT_EQ(total.size(), 1u);
    EXPECT_EQ(total[0].at("status"), "incomplete");
    EXPECT_EQ(total[0].at("reason"), "00373 3");
    EXPECT_EQ(total[0].at("plates"), "2");

    // Whatever bytes a result file holds, the report names the material instead of failing.
    std::mt19937 rng(11);
    for (int i = 0; i < 200; ++i) {
        std::string bytes = RandomBytes(rng, 400);
        if (i % 3 == 0) bytes = "BLOCKSTART\n[PATTERN]\n" + bytes + "\nBLOCKEND\n";
        ASSERT_TRUE(WriteFileAtomically(results[2].path, bytes));
        const auto again = ReadStoredResults(*settings, job, jobPath);
        const MaterialReport m = ReportOfResult(again[2]);
        if (m.state == StoredResultState::Read) {
            EXPECT_GE(m.figures.plates, 1);
        } else {
            EXPECT_FALSE(m.problem.empty());
        }
    }
}

TEST(JobReportCsv, TextsAreQuotedWhenNeededAndWindowsTextsBecomeUtf8) {
    EXPECT_EQ(CsvField("FL"), "FL");
    EXPECT_EQ(CsvField("SAT, matt"), "\"SAT, matt\"");
    EXPECT_EQ(CsvField("6\" wide"), "\"6\"\" wide\"");
    EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
    EXPECT_EQ(CsvField(" edge"), "\" edge\"");
    JobReport report;
    MaterialReport m;
    m.key = MaterialKey("FL", "4MM", "SAT, \"mat\xE9\"");  // é as a Windows station writes it
    m.state = StoredResultState::Read;
    report.materials.push_back(m);
    const Rows rows = ParseCsv(JobReportCsv(report, Millimetres()));
    const auto material = Records(rows, "material");
    ASSERT_EQ(material.size(), 1u);
    EXPECT_EQ(material[0].at("treatment"), "SAT, \"mat\xC3\xA9\"");
    EXPECT_EQ(material[0].at("yield [%]"), "0.00") << "no plates: no division by zero";
}
