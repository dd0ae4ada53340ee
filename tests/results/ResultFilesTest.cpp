#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "common/IniFile.h"
#include "files/EngineResult.h"
#include "model/Material.h"
#include "model/PlateList.h"
#include "optimise/EngineResultSplit.h"
#include "results/OptimisedPlates.h"
#include "results/ResultFiles.h"
#include "settings/AppSettings.h"
#include "settings/UnitDef.h"
#include "settings/Units.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {

class ResultFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallSuiteFiles(dir.path());
        settings = std::make_unique<AppSettings>(dir.path());
        LoadUnits(*settings);
        SetCurrentSettings(settings.get());
    }
    void TearDown() override { SetCurrentSettings(nullptr); }
    StockPlate Plate(double w, double h, int quantity, int kind = PlateOrdinary) {
        return StockPlate(MaterialKey("FL", "4MM", ""), quantity, w, h, 0, 0.0, 0, kind, 0.0);
    }
    TempDir dir;
    std::unique_ptr<AppSettings> settings;
    Material material{"FL", "4MM", ""};
};

ResultPiece Cut(engine::Length x, engine::Length y, const std::string& id) {
    ResultPiece p;
    p.x = x;
    p.y = y;
    p.width = 5000;
    p.height = 4000;
    p.id = id;
    return p;
}

ResultOffcut Offcut(engine::Length w, engine::Length h) {
    ResultOffcut o;
    o.width = w;
    o.height = h;
    return o;
}

ResultInfo Info(const std::string& id) {
    ResultInfo i;
    i.id = id;
    return i;
}

// Two patterns as the engine writes them: 4 plates of the first candidate with one offcut, and
// 2 of the second with a zero-width offcut and two equal ones.
std::string TwoPatterns() {
    ResultPlan plan;
    plan.setHeader("Job", "JOB");
    ResultPattern a;
    a.count = 4;
    a.width = 32100;
    a.height = 22500;
    a.thickness = 400;
    a.position = 1;
    a.pieces = {Cut(0, 0, "P1"), Cut(0, 5000, "P2")};
    a.offcuts = {Offcut(1000, 2000)};
    a.infos = {Info("P1"), Info("P2")};
    ResultPattern b;
    b.count = 2;
    b.width = 60000;
    b.height = 32100;
    b.thickness = 400;
    b.position = 2;
    b.pieces = {Cut(0, 0, "P3")};
    b.offcuts = {Offcut(0, 3000), Offcut(1500, 1500), Offcut(1500, 1500)};
    b.infos = {Info("P1")};
    plan.patterns = {a, b};
    return FormatResult(plan);
}

}  // namespace

TEST_F(ResultFilesTest, ApplyResultConsumesAndAddsOffcuts) {
    PlateList stock;
    stock.addOrMerge(Plate(3210, 2250, 10), true);
    stock.addOrMerge(Plate(6000, 3210, 2), true);
    WriteText(dir / "r/JOB.R01", TwoPatterns());
    ASSERT_TRUE(ApplyResult(stock, dir / "r/JOB.R01", material, settings->current));
    ASSERT_EQ(stock.count(), 3);
    EXPECT_EQ(stock.at(0).quantity, 6) << "4 of 10 taken";
    EXPECT_DOUBLE_EQ(stock.at(1).width, 100) << "the 6000 entry holding 2 is gone";
    EXPECT_EQ(stock.at(1).quantity, 4);
    EXPECT_DOUBLE_EQ(stock.at(2).width, 150);
    EXPECT_EQ(stock.at(2).quantity, 4) << "two equal offcuts of a pattern cut twice";
    EXPECT_FALSE(fs::exists(dir / "r/JOB.R01"));
    EXPECT_FALSE(ApplyResult(stock, dir / "r/JOB.R01", material, settings->current))
        << "a result is applied once";
}

TEST_F(ResultFilesTest, AStoredResultThatCutAnOffcutLowersTheOffcutLine) {
    PlateList stock;
    stock.addOrMerge(Plate(3210, 2250, 10), true);
    StockPlate offcut = Plate(3210, 2250, 1);
    offcut.kind = PlateOffcut;
    stock.addOrMerge(offcut, true);
    ResultPlan plan;
    ResultPattern a;
    a.width = 32100;
    a.height = 22500;
    a.position = 2;
    a.offcutPlate = true;
    a.pieces = {Cut(0, 0, "P1")};
    a.infos = {Info("P1")};
    plan.patterns = {a};
    WriteText(dir / "r/JOB.R01", FormatResult(plan));
    ASSERT_TRUE(ApplyResult(stock, dir / "r/JOB.R01", material, settings->current));
    ASSERT_EQ(stock.count(), 1);
    EXPECT_EQ(stock.at(0).kind, PlateOrdinary);
    EXPECT_EQ(stock.at(0).quantity, 10) << "the new plates are all still there";
}

TEST_F(ResultFilesTest, SplitWritesLayoutHeaderAndUsedPlates) {
    PlateList selected;
    selected.addOrMerge(Plate(3210, 2250, 10), true);
    selected.addOrMerge(Plate(6000, 3210, 2), true);
    WriteText(dir / "CNC/JOB.R01", TwoPatterns());
    PlateList used, offcuts;
    ASSERT_TRUE(
        SplitEngineResult(dir / "CNC/JOB.R01", material, used, offcuts, 1, selected, settings->current));
    ASSERT_EQ(used.count(), 2);
    EXPECT_EQ(used.at(0).quantity, 4);
    EXPECT_EQ(used.at(0).sourceIndex, 0);
    EXPECT_EQ(used.at(1).sourceIndex, 1);
    ASSERT_EQ(offcuts.count(), 2);
    EXPECT_EQ(offcuts.at(1).quantity, 4);
    EXPECT_EQ(offcuts.at(1).kind, PlateOffcut);
    const std::string header = dir / "CNC/00000001.HLG";
    EXPECT_EQ(IniFile::Read(header, "MAT_1|MATERIAL", "PLATES"), "6");
    EXPECT_EQ(IniFile::Read(header, "MAT_1|MATERIAL", "PLATETYPES"), "2");
    EXPECT_EQ(IniFile::Read(header, "MAT_1|MATERIAL", "PIECES"), "3");
    EXPECT_EQ(IniFile::Read(header, "MAT_1|MATERIAL", "PIECETYPES"), "2");
    EXPECT_EQ(IniFile::Read(header, "MAT_1|MATERIAL", "___IDS___"), "P1|P2|");
    const std::string layout = dir / "CNC/00000001.LG";
    EXPECT_EQ(IniFile::Read(layout, "MAT_1_1|PIECES", "P_2"),
              "{X=0.0;Y=500.0;W=500.0;H=400.0;R=0;N=0;ID=P2}");
    EXPECT_EQ(IniFile::Read(layout, "MAT_1_1|PLATETYPE", "PLATEW"), "3210000");
    EXPECT_EQ(IniFile::Read(layout, "MAT_1_2|PLATETYPE", "OFFCUTS"), "3");
    EXPECT_EQ(IniFile::Read(layout, "MAT_1_1|PLATETYPE", "#_P2"), "INFO_2");
    EXPECT_NE(ReadText(layout).find("--- END: Material_{MAT_1}, Plate_Type_{2} ---"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "CNC/JOB.R01"));
}

TEST_F(ResultFilesTest, ResultSizesComeBackInTheGivenUnit) {
    CurrentUnit inches;
    inches.linearFactor = 25.4;
    inches.decimals = 2;
    inches.stdDecimals = 2;
    inches.numberFormat = "%.2lf";
    EXPECT_DOUBLE_EQ(ResultLength(32100, inches), 126.38);
    EXPECT_DOUBLE_EQ(ResultLength(254, inches), 1.0);
    CurrentUnit millimetres;
    millimetres.linearFactor = 1.0;
    millimetres.decimals = 1;
    millimetres.numberFormat = "%.1lf";
    EXPECT_DOUBLE_EQ(ResultLength(1, millimetres), 0.1);
    EXPECT_DOUBLE_EQ(ResultLength(25000000, millimetres), 2500000.0);
    EXPECT_DOUBLE_EQ(ResultLength(1000, CurrentUnit{}), 0.0);
    // A stock in inches follows a result in tenths of a millimetre.
    PlateList stock;
    stock.addOrMerge(Plate(126.38, 88.58, 10), true);
    WriteText(dir / "r/JOB.R01", TwoPatterns());
    ASSERT_TRUE(ApplyResult(stock, dir / "r/JOB.R01", material, inches));
    EXPECT_EQ(stock.at(0).quantity, 6);
    EXPECT_DOUBLE_EQ(stock.at(1).width, 3.94) << "the 100 mm offcut";
}

TEST_F(ResultFilesTest, AnInchStockUpdateStoresTheResultsMillimetres) {
    // 150 mm is 5.91 in on screen; converted back it would be stored as 150.114 mm, and the
    // offcut would no longer merge with the same offcut stored by a millimetre station.
    CurrentUnit inches;
    inches.linearFactor = 25.4;
    inches.decimals = 2;
    inches.stdDecimals = 2;
    inches.numberFormat = "%.2lf";
    PlateList stock;
    stock.addOrMerge(Plate(126.38, 88.58, 10), true);
    WriteText(dir / "r/JOB.R01", TwoPatterns());
    ASSERT_TRUE(ApplyResult(stock, dir / "r/JOB.R01", material, inches));
    const std::string path = dir / "Plates.dat";
    ASSERT_TRUE(stock.save(path, inches));
    const std::string text = ReadText(path);
    EXPECT_NE(text.find(";150.000;150.000;"), std::string::npos) << text;
    EXPECT_NE(text.find(";100.000;200.000;"), std::string::npos) << text;
}

TEST_F(ResultFilesTest, AnUnreadableResultMovesNothing) {
    PlateList stock;
    stock.addOrMerge(Plate(3210, 2250, 10), true);
    WriteText(dir / "r/JOB.R01", "BLOCKSTART\n[PATTERN]\nPieces=4\nWidth=3210\nHeight=2250\n");
    EXPECT_FALSE(ApplyResult(stock, dir / "r/JOB.R01", material, settings->current)) << "a block left open";
    EXPECT_EQ(stock.at(0).quantity, 10);
    EXPECT_FALSE(fs::exists(dir / "r/JOB.R01"));
    PlateList selected = stock, used, offcuts;
    bool readable = true;
    WriteText(dir / "CNC/JOB.R01", "no result at all\n");
    EXPECT_FALSE(SplitEngineResult(dir / "CNC/JOB.R01", material, used, offcuts, 1, selected,
                                   settings->current, &readable));
    EXPECT_FALSE(readable);
    EXPECT_FALSE(fs::exists(dir / "CNC/00000001.LG"));
}

TEST_F(ResultFilesTest, SplitIgnoresPositionsOutsideTheList) {
    PlateList selected;
    selected.addOrMerge(Plate(3210, 2250, 10), true);
    WriteText(dir / "CNC/JOB.R01", "BLOCKSTART\n[PATTERN]\nPieces=1\nWidth=100\nPos=7\nBLOCKEND\n");
    PlateList used, offcuts;
    EXPECT_FALSE(
        SplitEngineResult(dir / "CNC/JOB.R01", material, used, offcuts, 1, selected, settings->current));
    EXPECT_TRUE(used.empty());
}

TEST_F(ResultFilesTest, HostileResultsNeverCrash) {
    std::mt19937 rng(17);
    PlateList selected;
    selected.addOrMerge(Plate(3210, 2250, 10), true);
    for (int i = 0; i < 200; ++i) {
        std::string text = TwoPatterns();
        for (int k = 0; k < 5; ++k) text[rng() % text.size()] = static_cast<char>(rng());
        if (i % 4 == 0) text = RandomBytes(rng, 800);
        WriteText(dir / "CNC/JOB.R01", text);
        PlateList used, offcuts;
        SplitEngineResult(dir / "CNC/JOB.R01", material, used, offcuts, 1, selected, settings->current);
        for (const StockPlate& p : used) EXPECT_GT(p.quantity, 0);
        WriteText(dir / "CNC/JOB.R02", text);
        PlateList stock = selected;
        ApplyResult(stock, dir / "CNC/JOB.R02", material, settings->current);
    }
}

TEST_F(ResultFilesTest, ReviewRowsAndTicks) {
    PlateList candidates;
    StockPlate lot = Plate(1000, 1000, 3);
    lot.minimumLot = 5;
    candidates.addOrMerge(lot, true);
    candidates.addOrMerge(Plate(3210, 2550, 1, PlateUnlimited), true);
    candidates.addOrMerge(Plate(500, 500, 2), true);
    PlateList used;
    StockPlate u = candidates.at(0).duplicate();
    u.quantity = 3;
    u.sourceIndex = 0;
    used.addOrMerge(u, false);
    StockPlate v = candidates.at(1).duplicate();
    v.quantity = 7;
    v.sourceIndex = 1;
    used.addOrMerge(v, false);
    auto rows = BuildOptimisedRows(candidates, used);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_DOUBLE_EQ(rows[0].usedArea, 3.0);
    EXPECT_TRUE(rows[0].warning) << "3 m2 used of a 5 m2 minimum lot";
    EXPECT_TRUE(AnyWarning(rows));
    EXPECT_EQ(candidates.at(1).usedCount, 7);
    EXPECT_EQ(OptimisedCellText(rows[1], 1), "00153");
    EXPECT_EQ(OptimisedCellText(rows[1], 2), "7");
    EXPECT_EQ(OptimisedCellText(rows[1], 3), "00153");
    EXPECT_EQ(OptimisedCellText(rows[2], 4), "500.0 x 500.0");
    EXPECT_FALSE(rows[2].ticked) << "a plate nobody uses starts unticked";
    EXPECT_FALSE(rows[2].warning);
    SortOptimisedRows(rows, 2, 1);
    EXPECT_EQ(rows[0].index, 1) << "most used first";
    SortOptimisedRows(rows, 2, 0);
    EXPECT_EQ(rows[0].index, 2);
    SortOptimisedRows(rows, 1, 0);
    EXPECT_EQ(rows[2].index, 1) << "unlimited counts as very large";
    std::vector<bool> ticks(rows.size(), false);
    ApplyTicks(candidates, rows, ticks);
    for (const StockPlate& p : candidates) EXPECT_EQ(p.selected, 1);
}

TEST_F(ResultFilesTest, ReviewOrderStartsMostUsedFirstAndASecondClickReverses) {
    PlateList candidates;
    for (int i = 0; i < 4; ++i) candidates.addOrMerge(Plate(1000.0 + i, 500, 20), true);
    candidates.addOrMerge(Plate(6000, 3210, 1, PlateUnlimited), true);
    PlateList used;
    for (int i : {0, 1, 2, 3}) {
        StockPlate u = candidates.at(i).duplicate();
        u.quantity = std::vector<int>{4, 9, 1, 9}[size_t(i)];
        u.sourceIndex = i;
        used.addOrMerge(u, false);
    }
    auto rows = BuildOptimisedRows(candidates, used);
    auto order = [&rows] {
        std::vector<int> o;
        for (const OptimisedPlateRow& r : rows) o.push_back(r.index);
        return o;
    };
    OptimisedPlatesOrder sorting;
    sorting.Open(rows);
    EXPECT_EQ(order(), (std::vector<int>{3, 1, 0, 2, 4})) << "equal counts keep the higher index first";
    EXPECT_EQ(sorting.direction(2), 1);
    sorting.Click(rows, 1);  // stock: unlimited counts as the largest
    EXPECT_EQ(rows.front().index, 0);
    EXPECT_EQ(rows.back().index, 4);
    sorting.Click(rows, 1);
    EXPECT_EQ(rows.front().index, 4);
    sorting.Click(rows, 0);  // kind text, byte by byte: 00131 before 00132
    EXPECT_EQ(rows.back().index, 4);
    sorting.Click(rows, 9);  // no such column
    EXPECT_EQ(rows.back().index, 4);
    EXPECT_EQ(OpeningTicks(rows), (std::vector<bool>{true, true, true, true, false}));
    candidates.at(1).selected = 1;
    EXPECT_FALSE(BuildOptimisedRows(candidates, used)[1].ticked) << "a plate left out stays unticked";
}

TEST_F(ResultFilesTest, ReviewAreasAreInTheUsersAreaUnit) {
    // 3210 x 2250 mm is 7.2225 m2 or 77.74 sqft; the minimum lot is held in the same unit.
    settings->current = Inches();
    PlateList candidates;
    StockPlate plate = Plate(126.38, 88.58, 3);
    plate.minimumLot = 100.0;
    candidates.addOrMerge(plate, true);
    plate.minimumLot = 50.0;
    plate.quantity = 2;
    plate.width = 126.37;
    candidates.addOrMerge(plate, true);
    PlateList used;
    for (int i : {0, 1}) {
        StockPlate u = candidates.at(i).duplicate();
        u.quantity = 1;
        u.sourceIndex = i;
        used.addOrMerge(u, false);
    }
    auto rows = BuildOptimisedRows(candidates, used);
    EXPECT_NEAR(rows[0].usedArea, 77.74, 0.05);
    EXPECT_TRUE(rows[0].warning) << "77.7 sqft used of a 100 sqft lot";
    EXPECT_FALSE(rows[1].warning) << "77.7 sqft used of a 50 sqft lot";
    EXPECT_EQ(OptimisedCellText(rows[0], 5), "77.74");
    EXPECT_EQ(OptimisedCellText(rows[0], 4), "126.38 x 88.58");
    EXPECT_EQ(OptimisedColumnHeader(6), "00129 [sqft]");

    settings->current = Millimetres(3);
    candidates.at(0).width = 3210;
    candidates.at(0).height = 2250;
    candidates.at(0).minimumLot = 7.3;
    rows = BuildOptimisedRows(candidates, used);
    EXPECT_NEAR(rows[0].usedArea, 7.2225, 1e-9);
    EXPECT_TRUE(rows[0].warning);
    EXPECT_EQ(OptimisedCellText(rows[0], 5), "7.223");
    EXPECT_EQ(OptimisedColumnHeader(4), "00155 [mm x mm]");
}
