#include <gtest/gtest.h>

#include "common/Messages.h"
#include "model/Material.h"
#include "model/ReadReport.h"
#include "model/UnitsForTests.h"
#include "plates/PlateData.h"
#include "plates/PlateRows.h"
#include "plates/PlatesFile.h"

using namespace tavrel;

namespace {

StockPlate Plate(const std::string& serie, const std::string& treatment, int quantity, double width,
                 double height, int kind = 0, int priority = 0) {
    return StockPlate(MaterialKey(serie, "4MM", treatment), quantity, width, height, priority, 0.0, 0, kind,
                      0.0);
}

MaterialList Materials() {
    MaterialList list;
    list.add(Material("FL", "4MM", ""));
    list.add(Material("FL", "4MM", "SATIN"));
    return list;
}

std::vector<std::string> Column(const PlateRows& rows, int column) {
    std::vector<std::string> out;
    for (int i = 0; i < rows.count(); ++i) out.push_back(rows.at(i).columns[size_t(column)]);
    return out;
}

PlateList Catalogue() {
    PlateList plates;
    plates.addOrMerge(Plate("FL", "", 5, 3210, 2250), true);
    plates.addOrMerge(Plate("FL", "", 99999, 6000, 3210, PlateUnlimited), true);
    plates.addOrMerge(Plate("FL", "SATIN", 12, 2000, 1000, PlateOffcut, 3), true);
    plates.addOrMerge(Plate("XX", "", 40, 3210, 2000), true);
    plates.addOrMerge(Plate("fl", "", 2, 500.5, 400.25), true);
    return plates;
}

}  // namespace

TEST(PlateRows, ColumnTexts) {
    for (auto unit : {UnitsForTests::Millimetres, UnitsForTests::Inches}) {
        UnitsForTests units(unit);
        PlateRows rows;
        rows.fill(Catalogue(), Materials());
        ASSERT_EQ(rows.count(), 5);
        EXPECT_EQ(
            Column(rows, ColumnKind),
            (std::vector<std::string>{Msg("00131"), Msg("00132"), Msg("00069"), Msg("00131"), Msg("00131")}));
        EXPECT_EQ(Column(rows, ColumnQuantity),
                  (std::vector<std::string>{"5", Msg("00171"), "12", "40", "2"}));
        EXPECT_EQ(rows.at(4).columns[ColumnWidth], FormatNumber(LengthFormat(1), 500.5));
        EXPECT_EQ(rows.at(2).columns[ColumnTreatment], "SATIN");
        EXPECT_EQ(rows.at(3).columns[ColumnTreatment], Msg("00197"))
            << "a plate of a material not in the catalogue";
        EXPECT_EQ(Column(rows, ColumnNumber), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
        EXPECT_NE(PlateColumnHeader(ColumnWidth).find(WithLinearLabel(" [", "]")), std::string::npos);
        EXPECT_FALSE(rows.at(0).unusable);
    }
}

TEST(PlateRows, ColumnSortPutsUnlimitedLastAndKeepsTiesInCatalogueOrder) {
    PlateRows rows;
    rows.fill(Catalogue(), Materials());
    rows.sortByColumn(ColumnQuantity);
    EXPECT_EQ(rows.directionText(), "MIN ---> MAX");
    EXPECT_EQ(Column(rows, ColumnQuantity), (std::vector<std::string>{"2", "5", "12", "40", Msg("00171")}));
    rows.sortByColumn(ColumnQuantity);
    EXPECT_EQ(rows.directionText(), "MAX ---> MIN");
    EXPECT_EQ(rows.at(0).columns[ColumnQuantity], Msg("00171"));

    rows.sortByColumn(ColumnWidth);  // 3210 twice: catalogue order decides
    EXPECT_EQ(rows.storeOrder(), (std::vector<int>{4, 2, 0, 3, 1}));
    rows.sortByColumn(ColumnWidth);
    EXPECT_EQ(rows.storeOrder(), (std::vector<int>{1, 3, 0, 2, 4}));

    rows.sortByColumn(ColumnSerie);  // bytes: upper case before lower case
    EXPECT_EQ(Column(rows, ColumnSerie), (std::vector<std::string>{"FL", "FL", "FL", "XX", "fl"}));
    rows.sortByColumn(-1);
    rows.sortByColumn(PlateColumns);
    EXPECT_EQ(rows.sortColumn(), ColumnSerie);
}

TEST(PlateRows, MultiKeySortIgnoresCase) {
    PlateRows rows;
    rows.fill(Catalogue(), Materials());
    EXPECT_EQ(PlateSortKey(rows.at(1)).substr(0, 9), "FL      _");
    EXPECT_NE(PlateSortKey(rows.at(1)).find("_00000000"), std::string::npos) << "unlimited counts as 0";
    rows.sortByKeys();
    EXPECT_EQ(rows.directionText(), "MIN ---> MAX");
    // fl/4MM sorts with the FL plates; blank treatments come before any label, the kind text
    // decides between the two plates without one.
    const std::vector<int> ascending = rows.storeOrder();
    EXPECT_EQ(ascending, (std::vector<int>{0, 1, 4, 2, 3}));
    rows.sortByKeys();
    std::vector<int> descending = rows.storeOrder();
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(descending, ascending);
    EXPECT_NE(PlateRows::keysText().find(" ]+[ "), std::string::npos);
}

TEST(PlateRows, StoreOrderAfterHeightSortWritesHighestFirst) {
    for (auto unit : {UnitsForTests::Millimetres, UnitsForTests::Inches}) {
        UnitsForTests units(unit);
        PlateList plates = Catalogue();
        PlateRows rows;
        rows.fill(plates, Materials());
        rows.sortByColumn(ColumnHeight);
        rows.sortByColumn(ColumnHeight);
        const std::vector<int> order = rows.storeOrder();
        const std::string path = units.path("Plates.dat");
        ASSERT_TRUE(plates.save(path, UnitInUse(), &order));
        PlateList reloaded;
        ASSERT_TRUE(reloaded.load(path, UnitInUse()));
        ASSERT_EQ(reloaded.count(), 5);
        for (int i = 1; i < reloaded.count(); ++i)
            EXPECT_GE(reloaded.at(i - 1).height, reloaded.at(i).height) << i;
        EXPECT_EQ(reloaded.at(0).kind, PlateUnlimited);
        rows.fill(reloaded, Materials());
        EXPECT_EQ(Column(rows, ColumnNumber), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
        EXPECT_EQ(rows.sortColumn(), -1);
    }
}

TEST(PlateRows, MergeAndDeleteRenumber) {
    PlateList plates = Catalogue();
    PlateRows rows;
    rows.fill(plates, Materials());
    StockPlate edited = plates.at(3);
    edited.key.serie = "FL";
    edited.height = 2250;  // now equal to plate 0
    bool merged = false;
    const int kept = ChangePlate(plates, 3, edited, &merged);
    ASSERT_TRUE(merged);
    rows.removePlate(3);
    rows.show(plates, Materials(), kept);
    EXPECT_EQ(rows.count(), 4);
    EXPECT_EQ(rows.at(0).columns[ColumnQuantity], "45");
    EXPECT_EQ(rows.at(3).itemData, 3);
    EXPECT_EQ(rows.at(3).columns[ColumnNumber], "4");

    const int select = rows.deleteRows({3, 1, 3});
    EXPECT_EQ(select, 0);
    EXPECT_EQ(Column(rows, ColumnNumber), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(rows.deleteRows({0, 1}), -1);
    EXPECT_EQ(rows.count(), 0);
    EXPECT_EQ(rows.show(plates, Materials(), 99), -1);
}

TEST(PlateRows, UnusableLineIsMarkedAndKeptUntilChanged) {
    UnitsForTests units(UnitsForTests::Inches);
    const std::string path = units.path("Plates.dat");
    const std::string text =
        "FILE_VERSION=2\r\n"
        "\"FL\";\"4MM\";\"\";5;2540.000;1270.000;0;0.000;0;0;0.000000\r\n"
        "\"FL\";\"4MM\";\"\";0;2540.000;0.000;0;0.000;0;0;0.000000\r\n"
        "\"FL\";\"4MM\";\"\";3;2540.000;1270.000;1000;0.000;0;0;0.000000\r\n";
    WriteText(path, text);
    PlateList plates;
    ReadReport report;
    ASSERT_TRUE(plates.load(path, UnitInUse(), &report));
    ASSERT_EQ(plates.count(), 3);
    EXPECT_EQ(report.problems.size(), 3u);
    PlateRows rows;
    rows.fill(plates, Materials());
    EXPECT_FALSE(rows.at(0).unusable);
    ASSERT_TRUE(rows.at(1).unusable);
    EXPECT_EQ(rows.at(1).columns[ColumnKind], "! " + Msg("00131"));
    EXPECT_EQ(rows.at(1).reason, Msg("00095") + " (" + Msg("00057") + ", " + Msg("00055") + ")");
    EXPECT_EQ(rows.at(2).reason, Msg("00095") + " (" + Msg("00066") + ")");
    EXPECT_EQ(rows.at(0).columns[ColumnWidth], FormatNumber(LengthFormat(1), 100.0));

    // Another plate's change saves the whole catalogue: the bad lines go with it.
    ASSERT_TRUE(plates.save(path, UnitInUse()));
    PlateList again;
    ASSERT_TRUE(again.load(path, UnitInUse()));
    EXPECT_EQ(again.count(), 3);

    StockPlate fixed = again.at(2);
    fixed.priority = 999;
    const int index = ChangePlate(again, 2, fixed);
    rows.fill(again, Materials());
    EXPECT_FALSE(rows.at(index).unusable);
    EXPECT_EQ(rows.at(index).columns[ColumnKind], Msg("00131"));
    EXPECT_EQ(rows.rowOf(1), 1);
    EXPECT_TRUE(rows.at(1).unusable);
}
