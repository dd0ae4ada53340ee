#include <gtest/gtest.h>

#include <filesystem>

#include "settings/AppSettings.h"
#include "common/IniFile.h"
#include "model/Material.h"
#include "model/PlateList.h"
#include "optimise/EngineResultSplit.h"
#include "results/OptimisedPlates.h"
#include "results/ResultFiles.h"
#include "settings/Units.h"
#include "support/TempDir.h"

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

const char* const kTwoBlocks =
    "header line\n"
    "BLOCKSTART\n[PATTERN]\nPieces=4\nWidth=3210\nHeight=2250\nThickness=4\nPos=1\n[CUT]\nP1 0 0\n\nP2 0 500\n"
    "[OFFCUT]\nWidth=100\nHeight=200\n[INFO]\nID=P1\n[INFO]\nID=P2\nBLOCKEND\n"
    "blockappend\n[Pattern]\nPieces=2\nWidth=6000\nHeight=3210\nThickness=4\nPos=2\n[CUT]\nP3 0 0\n"
    "[offcut]\nWidth=0\nHeight=300\n[OFFCUT]\nWidth=150\nHeight=150\n[OFFCUT]\nWidth=150\nHeight=150\n"
    "[INFO]\nID=P1\nBlockEnd\n";

}  // namespace

TEST_F(ResultFilesTest, CuttingMakesOnePatternFilePerBlock) {
    WriteText(dir / "r/JOB.R01", kTwoBlocks);
    EXPECT_EQ(CutResultIntoPatternFiles(dir / "r/JOB.R01"), 2);
    const std::string second = ReadText(dir / "r/00000002.PSA");
    EXPECT_NE(second.find("[Offcut_1]\n"), std::string::npos);
    EXPECT_NE(second.find("[Offcut_3]\n"), std::string::npos);
    EXPECT_EQ(second.find("BLOCK"), std::string::npos);
    EXPECT_EQ(second.find("[offcut]"), std::string::npos);
    EXPECT_EQ(CutResultIntoPatternFiles(dir / "r/missing"), -1);
}

TEST_F(ResultFilesTest, ApplyResultConsumesAndAddsOffcuts) {
    PlateList stock;
    stock.addOrMerge(Plate(3210, 2250, 10), true);
    stock.addOrMerge(Plate(6000, 3210, 2), true);
    WriteText(dir / "r/JOB.R01", kTwoBlocks);
    ASSERT_TRUE(ApplyResult(stock, dir / "r/JOB.R01", material));
    ASSERT_EQ(stock.count(), 3);
    EXPECT_EQ(stock.at(0).quantity, 6) << "4 of 10 taken";
    EXPECT_DOUBLE_EQ(stock.at(1).width, 100) << "the 6000 entry holding 2 is gone";
    EXPECT_EQ(stock.at(1).quantity, 4);
    EXPECT_DOUBLE_EQ(stock.at(2).width, 150);
    EXPECT_EQ(stock.at(2).quantity, 4) << "two equal offcuts of a pattern cut twice";
    EXPECT_FALSE(fs::exists(dir / "r/JOB.R01"));
    EXPECT_FALSE(fs::exists(dir / "r/00000001.PSA"));
    EXPECT_FALSE(ApplyResult(stock, dir / "r/JOB.R01", material)) << "a result is applied once";
}

TEST_F(ResultFilesTest, SplitWritesLayoutHeaderAndUsedPlates) {
    PlateList selected;
    selected.addOrMerge(Plate(3210, 2250, 10), true);
    selected.addOrMerge(Plate(6000, 3210, 2), true);
    WriteText(dir / "CNC/JOB.R01", kTwoBlocks);
    PlateList used, offcuts;
    ASSERT_TRUE(SplitEngineResult(dir / "CNC/JOB.R01", material, used, offcuts, 1, selected));
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
    EXPECT_EQ(IniFile::Read(layout, "MAT_1_1|PIECES", "P_2"), "{P2 0 500}");
    EXPECT_EQ(IniFile::Read(layout, "MAT_1_1|PLATETYPE", "PLATEW"), "3210000");
    EXPECT_EQ(IniFile::Read(layout, "MAT_1_2|PLATETYPE", "OFFCUTS"), "3");
    EXPECT_EQ(IniFile::Read(layout, "MAT_1_1|PLATETYPE", "#_P2"), "INFO_2");
    EXPECT_NE(ReadText(layout).find("--- END: Material_{MAT_1}, Plate_Type_{2} ---"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "CNC/JOB.R01"));
}

TEST_F(ResultFilesTest, SplitIgnoresPositionsOutsideTheList) {
    PlateList selected;
    selected.addOrMerge(Plate(3210, 2250, 10), true);
    WriteText(dir / "CNC/JOB.R01", "BLOCKSTART\n[PATTERN]\nPieces=1\nPos=7\nBLOCKEND\n");
    PlateList used, offcuts;
    EXPECT_FALSE(SplitEngineResult(dir / "CNC/JOB.R01", material, used, offcuts, 1, selected));
    EXPECT_TRUE(used.empty());
}

TEST_F(ResultFilesTest, HostileResultsNeverCrash) {
    std::mt19937 rng(17);
    PlateList selected;
    selected.addOrMerge(Plate(3210, 2250, 10), true);
    for (int i = 0; i < 200; ++i) {
        std::string text = std::string(kTwoBlocks);
        for (int k = 0; k < 5; ++k) text[rng() % text.size()] = static_cast<char>(rng());
        if (i % 4 == 0) text = RandomBytes(rng, 800);
        WriteText(dir / "CNC/JOB.R01", text);
        PlateList used, offcuts;
        SplitEngineResult(dir / "CNC/JOB.R01", material, used, offcuts, 1, selected);
        for (const StockPlate& p : used) EXPECT_GT(p.quantity, 0);
        WriteText(dir / "CNC/JOB.R02", text);
        PlateList stock = selected;
        ApplyResult(stock, dir / "CNC/JOB.R02", material);
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
