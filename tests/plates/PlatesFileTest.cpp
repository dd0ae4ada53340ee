#include <gtest/gtest.h>

#include <random>

#include "common/FileUtils.h"
#include "model/PlateList.h"
#include "model/ReadReport.h"
#include "model/UnitsForTests.h"
#include "plates/PlatesFile.h"

namespace {

const char* const kHeader = "FILE_VERSION=2\n";

PlateList Read(const std::string& text, ReadReport* report = nullptr)
{
    PlateList list;
    EXPECT_TRUE(PlatesFile::read(text, list, report));
    return list;
}

std::string Line(const std::string& treatment, int quantity, const std::string& width,
                 int kind, const std::string& lot = "0.000000")
{
    return "\"FL\";\"4MM\";\"" + treatment + "\";" + std::to_string(quantity) + ";" + width +
           ";2250.000;0;0.000;0;" + std::to_string(kind) + ";" + lot + "\n";
}

}  // namespace

TEST(PlatesFile, EqualLinesMerge)
{
    UnitsForTests units;
    ReadReport report;
    PlateList list = Read(std::string(kHeader) + Line("", 5, "3210.000", 0) +
                              Line("", 3, "3210.000", 0) + Line("", 99999, "6000.000", 2) +
                              Line("", 99999, "6000.000", 2) + Line("", 10, "5000.000", 2) +
                              Line("S", 1, "100.000", 1, "1.000000") +
                              Line("S", 1, "100.000", 1, "7.000000"),
                          &report);
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.at(0).quantity, 8);
    EXPECT_EQ(list.at(1).quantity, UNLIMITED_QUANTITY);
    EXPECT_EQ(list.at(1).modified, 0);
    EXPECT_EQ(list.at(2).quantity, UNLIMITED_QUANTITY) << "an unlimited plate read with 10";
    EXPECT_EQ(list.at(2).modified, 1);
    EXPECT_TRUE(list.anyModified());
    EXPECT_EQ(list.at(3).minimumLot, 1.0) << "the first line's minimum lot stays";
    EXPECT_EQ(report.records, 7);
    EXPECT_EQ(report.merged, 3);
    EXPECT_EQ(report.corrected, 1);

    const std::string written = PlatesFile::write(list);
    EXPECT_NE(written.find(";8;3210.000;"), std::string::npos);
    EXPECT_EQ(written.find(";3;3210.000;"), std::string::npos);
}

TEST(PlatesFile, VersionOneInchesAndShortLines)
{
    UnitsForTests units(UnitsForTests::Inches);
    ReadReport report;
    PlateList list = Read("FILE_VERSION=1\n"
                          "\"FL\";\"4MM\";\"\";2;2540.000;1270.000;3;25.400;1;0;77.000000\n"
                          "\"FL\";\"5MM\";\"\";4\n"
                          "\n\"FL\";\"6MM\";\"\";1;1;1;0;0;0;0\n",
                          &report);
    ASSERT_EQ(list.count(), 2);
    EXPECT_DOUBLE_EQ(list.at(0).width, 100.0);
    EXPECT_DOUBLE_EQ(list.at(0).height, 50.0);
    EXPECT_DOUBLE_EQ(list.at(0).plateParameter, 1.0);
    EXPECT_EQ(list.at(0).minimumLot, 0.0) << "version 1 has ten fields";
    EXPECT_EQ(list.at(1).quantity, 4);
    EXPECT_EQ(list.at(1).width, 0.0) << "missing fields read as 0";
    EXPECT_EQ(report.ignoredLines, 1) << "a blank line ends the plates";
    EXPECT_NE(PlatesFile::write(list).find("2540.000;1270.000;3;25.400;1;0;0.000000\n"),
              std::string::npos);
}

TEST(PlatesFile, OrderArray)
{
    UnitsForTests units;
    PlateList list = Read(std::string(kHeader) + Line("A", 1, "1.000", 0) +
                          Line("B", 1, "1.000", 0) + Line("C", 1, "1.000", 0));
    const std::vector<int> order = {2, 0, 1};
    ASSERT_TRUE(list.save(units.path("Plates.dat"), &order));
    PlateList back;
    ASSERT_TRUE(back.load(units.path("Plates.dat")));
    ASSERT_EQ(back.count(), 3);
    EXPECT_EQ(back.at(0).key.treatment, "C");
    EXPECT_EQ(back.at(1).key.treatment, "A");
    EXPECT_EQ(back.at(2).key.treatment, "B");

    // An order that would repeat or drop a plate is not used.
    for (const std::vector<int>& bad : {std::vector<int>{0, 0, 1}, std::vector<int>{2, 0},
                                        std::vector<int>{0, 1, 5}}) {
        const std::string written = PlatesFile::write(list, &bad);
        EXPECT_EQ(written, PlatesFile::write(list));
    }
}

TEST(PlatesFile, TextsReadBackAsSavedAndFailedSavesKeepTheOldFile)
{
    UnitsForTests units;
    PlateList list;
    list.addOrMerge(StockPlate(MaterialKey("F;L", "4\"MM", "x\ny"), 3, 1000, 500, 1, 0, 0, 0, 0),
                    true);
    const std::string path = PlatesFile::pathIn(units.dir.path());
    ASSERT_TRUE(list.save(path));
    EXPECT_EQ(list.at(0).key, MaterialKey("F,L", "4\"MM", "x y"));
    PlateList back;
    ASSERT_TRUE(back.load(path));
    EXPECT_EQ(back, list);

    const std::string before = ReadText(path);
    for (int i = 0; i < 30; ++i) list.addOrMerge(StockPlate(MaterialKey("S", "C", ""), 1, 1 + i, 1, 0, 0, 0, 0, 0), true);
    SetWriteFailureAfterBytes(static_cast<long long>(PlatesFile::write(list).size() / 2));
    EXPECT_FALSE(list.save(path));
    SetWriteFailureAfterBytes(-1);
    EXPECT_EQ(ReadText(path), before);
    EXPECT_FALSE(back.load(units.path("none.dat")));
    EXPECT_TRUE(back.empty());
}

TEST(PlatesFile, DemoStockLoads)
{
    UnitsForTests units;
    PlateList list;
    ReadReport report;
    ASSERT_TRUE(list.load(std::string(TAVREL_SOURCE_DIR) + "/resources/demo/DAT/Plates.dat",
                          &report));
    EXPECT_GE(list.count(), 10);
    EXPECT_EQ(report.merged, 0);
    EXPECT_EQ(report.corrected, 0);
    bool unlimited = false, offcut = false;
    for (const StockPlate& p : list) {
        unlimited = unlimited || p.kind == PlateUnlimited;
        offcut = offcut || p.kind == PlateOffcut;
    }
    EXPECT_TRUE(unlimited);
    EXPECT_TRUE(offcut);
}

// Random stock written and read back gives the stock that was written, in both units.
TEST(PlatesFile, RoundTripOfRandomStock)
{
    for (auto unit : {UnitsForTests::Millimetres, UnitsForTests::Inches}) {
        UnitsForTests units(unit);
        std::mt19937 rng(unit == UnitsForTests::Inches ? 8 : 9);
        auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        const double step = unit == UnitsForTests::Inches ? 100.0 : 10.0;
        for (int round = 0; round < 20; ++round) {
            PlateList list;
            for (int i = pick(60); i > 0; --i) {
                const int kind = pick(3);
                list.addOrMerge(
                    StockPlate(MaterialKey("S" + std::to_string(pick(3)), "C" + std::to_string(pick(3)),
                                           kind == PlateUnlimited ? "" : (pick(2) ? "SAT;IN" : "")),
                               kind == PlateUnlimited ? UNLIMITED_QUANTITY : 1 + pick(40),
                               pick(4) * 100 + pick(100) / step, 1000 + pick(30) / step, pick(1000),
                               pick(100) / step, pick(3), kind,
                               kind == PlateUnlimited ? pick(500) / step : 0.0),
                    true);
            }
            const std::string written = PlatesFile::write(list);
            PlateList back = Read(written);
            EXPECT_EQ(back, list);
            EXPECT_EQ(PlatesFile::write(back), written);
        }
    }
}
