#include <random>
#include <set>

#include <gtest/gtest.h>

#include "common/Messages.h"
#include "model/Job.h"
#include "model/Material.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "model/ReadReport.h"
#include "optimise/PlateSelection.h"
#include "plates/PlatesFile.h"
#include "support/FormatSuite.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

const char* const kHeader = "FILE_VERSION=2\n";

const CurrentUnit kMm = Millimetres();

PlateList Read(const std::string& text, ReadReport* report = nullptr, const CurrentUnit& unit = kMm) {
    PlateList list;
    EXPECT_TRUE(PlatesFile::read(text, list, unit, report));
    return list;
}

std::string Line(const std::string& treatment, int quantity, const std::string& width, int kind,
                 const std::string& lot = "0.000000") {
    return "\"FL\";\"4MM\";\"" + treatment + "\";" + std::to_string(quantity) + ";" + width +
           ";2250.000;0;0.000;0;" + std::to_string(kind) + ";" + lot + "\n";
}

}  // namespace

TEST(PlatesFile, EqualLinesMerge) {
    ReadReport report;
    PlateList list = Read(std::string(kHeader) + Line("", 5, "3210.000", 0) + Line("", 3, "3210.000", 0) +
                              Line("", 99999, "6000.000", 2) + Line("", 99999, "6000.000", 2) +
                              Line("", 10, "5000.000", 2) + Line("S", 1, "100.000", 1, "1.000000") +
                              Line("S", 1, "100.000", 1, "7.000000"),
                          &report);
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.at(0).quantity, 8);
    EXPECT_EQ(list.at(1).quantity, kUnlimitedQuantity);
    EXPECT_EQ(list.at(1).modified, 0);
    EXPECT_EQ(list.at(2).quantity, kUnlimitedQuantity) << "an unlimited plate read with 10";
    EXPECT_EQ(list.at(2).modified, 1);
    EXPECT_TRUE(list.anyModified());
    EXPECT_EQ(list.at(3).minimumLot, 1.0) << "the first line's minimum lot stays";
    EXPECT_EQ(report.records, 7);
    EXPECT_EQ(report.merged, 3);
    EXPECT_EQ(report.corrected, 1);

    const std::string written = PlatesFile::write(list, kMm);
    EXPECT_NE(written.find(";8;3210.000;"), std::string::npos);
    EXPECT_EQ(written.find(";3;3210.000;"), std::string::npos);
}

TEST(PlatesFile, VersionOneInchesAndShortLines) {
    const CurrentUnit inches = Inches();
    ReadReport report;
    PlateList list = Read(
        "FILE_VERSION=1\n"
        "\"FL\";\"4MM\";\"\";2;2540.000;1270.000;3;25.400;1;0;77.000000\n"
        "\"FL\";\"5MM\";\"\";4\n"
        "\n  \r\n\"FL\";\"6MM\";\"\";1;1;1;0;0;0;0\n",
        &report, inches);
    ASSERT_EQ(list.count(), 3) << "the plates after a blank line are stock too";
    EXPECT_DOUBLE_EQ(list.at(0).width, 100.0);
    EXPECT_DOUBLE_EQ(list.at(0).height, 50.0);
    EXPECT_DOUBLE_EQ(list.at(0).plateParameter, 1.0);
    EXPECT_EQ(list.at(0).minimumLot, 0.0) << "version 1 has ten fields";
    EXPECT_EQ(list.at(1).quantity, 4);
    EXPECT_EQ(list.at(1).width, 0.0) << "missing fields read as 0";
    EXPECT_EQ(list.at(2).key.code, "6MM");
    EXPECT_EQ(report.blankLines, 2);
    EXPECT_NE(PlatesFile::write(list, inches).find("2540.000;1270.000;3;25.400;1;0;0.000000\n"),
              std::string::npos);
}

TEST(PlatesFile, OrderArray) {
    PlateList list = Read(std::string(kHeader) + Line("A", 1, "1.000", 0) + Line("B", 1, "1.000", 0) +
                          Line("C", 1, "1.000", 0));
    const std::vector<int> order = {2, 0, 1};
    TempDir dir;
    ASSERT_TRUE(list.save(dir / "Plates.dat", kMm, &order));
    PlateList back;
    ASSERT_TRUE(back.load(dir / "Plates.dat", kMm));
    ASSERT_EQ(back.count(), 3);
    EXPECT_EQ(back.at(0).key.treatment, "C");
    EXPECT_EQ(back.at(1).key.treatment, "A");
    EXPECT_EQ(back.at(2).key.treatment, "B");

    // An order that would repeat or drop a plate is not used.
    for (const std::vector<int>& bad :
         {std::vector<int>{0, 0, 1}, std::vector<int>{2, 0}, std::vector<int>{0, 1, 5}}) {
        const std::string written = PlatesFile::write(list, kMm, &bad);
        EXPECT_EQ(written, PlatesFile::write(list, kMm));
    }
}

TEST(PlatesFile, TextsReadBackAsSaved) {
    TempDir dir;
    PlateList list;
    list.addOrMerge(StockPlate(MaterialKey("F;L", "4\"MM", "x\ny"), 3, 1000, 500, 1, 0, 0, 0, 0), true);
    const std::string path = PlatesFile::pathIn(dir.path());
    EXPECT_EQ(PlatesFile::write(list, kMm).substr(15, 20), "\"F,L\";\"4\"MM\";\"x y\";3")
        << "an uncleaned plate still writes a readable record";
    ASSERT_TRUE(list.save(path, kMm));
    EXPECT_EQ(list.at(0).key, MaterialKey("F,L", "4\"MM", "x y"));
    PlateList back;
    ASSERT_TRUE(back.load(path, kMm));
    EXPECT_EQ(back, list);
    EXPECT_FALSE(back.load(dir / "none.dat", kMm));
    EXPECT_TRUE(back.empty());
}

TEST(PlatesFile, DemoStockLoads) {
    PlateList list;
    ReadReport report;
    ASSERT_TRUE(list.load(std::string(TAVREL_SOURCE_DIR) + "/resources/demo/DAT/Plates.dat", kMm, &report));
    EXPECT_GE(list.count(), 10);
    EXPECT_EQ(report.merged, 0);
    EXPECT_EQ(report.corrected, 0);
    // The plates window's screenshot shows every kind, several priorities, and plates of a
    // treated and of a laminated material, all of them usable and in the demo catalogue.
    MaterialList materials;
    ASSERT_TRUE(materials.load(std::string(TAVREL_SOURCE_DIR) + "/resources/demo/DAT/Materials.dat", kMm));
    std::set<int> kinds, priorities;
    bool treated = false, laminated = false, unlimitedLot = false;
    for (const StockPlate& p : list) {
        kinds.insert(p.kind);
        priorities.insert(p.priority);
        EXPECT_TRUE(IsUsable(p)) << p.key.serie << " " << p.key.code;
        EXPECT_NE(materials.labelFor(p.key.serie, p.key.code, p.key.treatment), Msg("00197"))
            << p.key.serie << " " << p.key.code << " " << p.key.treatment;
        treated = treated || !p.key.treatment.empty();
        const int m = materials.indexOf(p.key.serie, p.key.code, p.key.treatment);
        laminated = laminated || (m >= 0 && materials.at(m).isComposite());
        unlimitedLot = unlimitedLot || (p.isUnlimited() && p.minimumLot > 0);
    }
    EXPECT_EQ(kinds, (std::set<int>{PlateOrdinary, PlateOffcut, PlateUnlimited}));
    EXPECT_GE(priorities.size(), 4u);
    EXPECT_TRUE(treated && laminated && unlimitedLot);
}

// An inch station shares the data folder with a millimetre one: what it did not change stays
// as the millimetre station stored it, so their plates still merge; what it changed, and the
// plates an optimisation took and made, are stored as converted.
TEST(PlatesFile, AnInchStationKeepsTheStoredMillimetres) {
    const CurrentUnit inches = Inches();
    const std::string file = std::string(kHeader) +
                             "\"FL\";\"4MM\";\"\";10;3210.000;2250.000;1;0.000;0;0;0.000000\n"
                             "\"FL\";\"4MM\";\"\";99999;6000.000;3210.000;0;4.000;2;2;2.000000\n";
    PlateList list = Read(file, nullptr, inches);
    ASSERT_EQ(list.count(), 2);
    EXPECT_DOUBLE_EQ(list.at(0).width, 126.38);
    EXPECT_EQ(PlatesFile::write(list, inches), file);

    // The stock update of an accepted result: two plates of the first size consumed, an offcut
    // of 1000 x 500 mm from the engine's result added.
    Material fl("FL", "4MM", "");
    ASSERT_TRUE(list.consume(fl, 2, list.at(0).width, list.at(0).height));
    StockPlate offcut(fl.key(), 1, 0, 0, 0, 0.0, 0, PlateOffcut, 0.0);
    offcut.setSizeFromFile(1000.0, 500.0, inches);
    EXPECT_DOUBLE_EQ(offcut.width, 39.37);
    list.addOrMerge(offcut, true);
    list.at(1).width = 240.0;  // typed by the user
    EXPECT_EQ(PlatesFile::write(list, inches),
              std::string(kHeader) +
                  "\"FL\";\"4MM\";\"\";8;3210.000;2250.000;1;0.000;0;0;0.000000\n"
                  "\"FL\";\"4MM\";\"\";99999;6096.000;3210.000;0;4.000;2;2;2.000000\n"
                  "\"FL\";\"4MM\";\"\";1;1000.000;500.000;0;0.000;0;1;0.000000\n");

    // A copy of a plate (as the windows and the plate selection make) keeps what was read.
    EXPECT_EQ(PlatesFile::write(
                  [&] {
                      PlateList copies;
                      copies.addOrMerge(list.at(0).duplicate(), true);
                      return copies;
                  }(),
                  inches),
              std::string(kHeader) + "\"FL\";\"4MM\";\"\";8;3210.000;2250.000;1;0.000;0;0;0.000000\n");
}

// Shown in whole inches, plates of 3190 and 3210 mm read alike, and a 10 mm strip reads 0 in. Only
// equal stock merges: equal as shown and, to the engine's tenth of a millimetre, as the file holds
// it. Before, the 3190 mm plates became 3210 mm ones on every save, and the strip an unusable
// plate of width 0.
TEST(PlatesFile, PlatesThatReadAlikeInWholeInchesKeepTheirSizes) {
    const std::string file = std::string(kHeader) +
                             "\"FL\";\"4MM\";\"\";5;3210.000;2250.000;0;0.000;2;0;0.000000\n"
                             "\"FL\";\"4MM\";\"\";5;3190.000;2250.000;0;0.000;2;0;0.000000\n"
                             "\"FL\";\"4MM\";\"\";2;10.000;2250.000;0;0.000;2;1;0.000000\n";
    for (int decimals = kMinDecimals; decimals <= kMaxDecimals; ++decimals) {
        SCOPED_TRACE(decimals);
        const CurrentUnit inches = Inches(decimals);
        ReadReport report;
        PlateList list = Read(file, &report, inches);
        ASSERT_EQ(list.count(), 3);
        EXPECT_EQ(report.merged, 0);
        EXPECT_TRUE(UnusableFields(list.at(2)).empty());
        EXPECT_EQ(PlatesFile::write(list, inches), file);
        // Taking the plates a plan cut takes them from the entry of their size.
        Material fl("FL", "4MM", "");
        StockPlate used = list.at(1).duplicate();
        used.quantity = 2;
        ASSERT_TRUE(list.consume(fl, used));
        EXPECT_EQ(list.at(0).quantity, 5);
        EXPECT_EQ(list.at(1).quantity, 3);
    }
    // Sizes the engine cannot tell apart still merge, as they did.
    EXPECT_EQ(Read(std::string(kHeader) + "\"FL\";\"4MM\";\"\";5;3210.000;2250.000;0;0.000;2;0;0.000000\n"
                                          "\"FL\";\"4MM\";\"\";1;3210.040;2250.000;0;0.000;2;0;0.000000\n")
                  .count(),
              1);
}

// Lines no plate can be cut from are kept in the file, each on its own line, reported by line
// and field, and never offered to the engine.
TEST(PlatesFile, UnusableLinesAreKeptReportedAndNeverSelected) {
    const std::string good = "\"FL\";\"4MM\";\"\";5;3210.000;2250.000;1;0.000;0;0;0.000000\n";
    const std::string file = std::string(kHeader) + good +
                             "\"FL\";\"4MM\";\"\";-3;3210.000;2250.000;1;0.000;0;0;0.000000\n"
                             "\"FL\";\"4MM\";\"\";2;-3210.000;0.000;1;0.000;0;0;0.000000\n"
                             "\"FL\";\"4MM\";\"\";0;1000.000;500.000;0;0.000;0;1;0.000000\n"
                             "\"FL\";\"4MM\";\"\";1;1000.000;500.000;1000;0.000;0;0;0.000000\n"
                             "\"FL\";\"4MM\";\"\";99999;6000.000;3210.000;-1;0.000;0;2;0.000000\n"
                             "\xff\xfe garbage\n"
                             "\"FL\";\"4MM\";\"\";3;3210.000;2250.000;1;0.000;0;0;0.000000\n";
    ReadReport report;
    const PlateList list = Read(file, &report);
    ASSERT_EQ(list.count(), 7) << "the bad lines stay, the two good equal ones merge";
    EXPECT_EQ(list.at(0).quantity, 8);
    const std::vector<std::pair<int, std::string>> expected = {
        {3, "quantity"}, {4, "width"}, {4, "height"}, {5, "quantity"}, {6, "priority"},
        {7, "priority"}, {8, "width"}, {8, "height"}, {8, "quantity"}};
    ASSERT_EQ(report.problems.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(report.problems[i].line, expected[i].first) << i;
        EXPECT_EQ(report.problems[i].field, expected[i].second) << i;
    }
    EXPECT_NE(DescribeProblems("DAT/Plates.dat", report).find("DAT/Plates.dat, line 3: quantity\n"),
              std::string::npos);
    const std::string written = PlatesFile::write(list, kMm);
    EXPECT_NE(written.find(";-3;3210.000;"), std::string::npos) << "kept as it was";
    EXPECT_NE(written.find(";2;-3210.000;0.000;"), std::string::npos);

    Material fl("FL", "4MM", "");
    const PlateSelection selection = SelectPlates(list, fl, Job());
    ASSERT_EQ(selection.plates.count(), 1) << "only the good plate reaches the engine";
    EXPECT_EQ(selection.plates.at(0).quantity, 8);
}

namespace {

struct PlatesFormat : ListFormat<PlateList, PlatesFile> {
    static Model Random(std::mt19937& rng, const FormatValues& values) {
        auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        PlateList list;
        for (int i = pick(60); i > 0; --i) {
            const int kind = pick(3);
            list.addOrMerge(
                StockPlate(MaterialKey("S" + std::to_string(pick(3)), "C" + std::to_string(pick(3)),
                                       kind == PlateUnlimited ? "" : (pick(2) ? "SAT IN" : "\xC9")),
                           kind == PlateUnlimited ? kUnlimitedQuantity : 1 + pick(40), values.Length(rng),
                           values.Length(rng), pick(1000), values.Length(rng), pick(3), kind,
                           kind == PlateUnlimited ? values.Weight(rng) : 0.0),
                true);
        }
        return list;
    }
    static void SetFirstLength(Model& model, double value) { model.at(0).width = value; }
    static constexpr int kFirstLengthLine = 1;
    static constexpr int kFirstLengthField = 4;
    static const char* Sample() {
        return "FILE_VERSION=2\n"
               "\"FL\";\"4MM\";\"\";10;3210.000;2250.000;1;0.000;0;0;0.000000\n"
               "\"FL\";\"4MM\";\"\";99999;6000.000;3210.000;0;0.000;2;2;1.500000\n"
               "\"FL\";\"4MM\";\"SAT\";2;1200.000;800.000;5;10.000;1;1;0.000000\n";
    }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Plates, FormatSuite, PlatesFormat);
