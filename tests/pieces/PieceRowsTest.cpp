#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/ShapeSections.h"
#include "model/UnitsForTests.h"
#include "pieces/PieceRows.h"

using namespace tavrel;

namespace {

Piece Sized(const std::string& id, double width, double height, int quantity = 1,
            const std::string& serie = "FL", const std::string& code = "4MM") {
    return Piece(serie, code, "", width, height, quantity, id);
}

PieceList Pieces(const std::vector<std::string>& ids) {
    PieceList list;
    for (const std::string& id : ids) list.append(Sized(id, 100, 50));
    return list;
}

std::vector<std::string> Column(const PieceRows& rows, int column) {
    std::vector<std::string> out;
    for (int i = 0; i < rows.count(); ++i) out.push_back(rows.at(i).columns[size_t(column)]);
    return out;
}

}  // namespace

TEST(PieceRows, IdentifierNumbersSortAsNumbersAndASecondClickReverses) {
    UnitsForTests units;
    PieceRows rows;
    // Generated identifiers keep their trailing spaces until the job is saved.
    rows.Fill(Pieces({"PZ_10", "PZ_2           ", "pz_1", "PZ_002", "B", "A_100"}), MaterialList());
    rows.SortByColumn(0);
    // "A_100" and "B" differ in their texts, so they compare byte by byte with the others.
    EXPECT_EQ(Column(rows, 0),
              (std::vector<std::string>{"A_100", "B", "pz_1", "PZ_2           ", "PZ_002", "PZ_10"}));
    rows.SortByColumn(0);
    EXPECT_EQ(Column(rows, 0),
              (std::vector<std::string>{"PZ_10", "PZ_002", "PZ_2           ", "pz_1", "B", "A_100"}));
    EXPECT_EQ(rows.sortColumn(), 0);
}

TEST(PieceRows, IdentifierComparison) {
    EXPECT_LT(ComparePieceIds("PZ_2", "PZ_10"), 0);
    EXPECT_GT(ComparePieceIds("PZ_10", "pz_9"), 0);
    EXPECT_EQ(ComparePieceIds("PZ_07", "pz_7"), 0);
    // Texts of different lengths before the digits are not one series: bytes decide.
    EXPECT_GT(ComparePieceIds("PZ_10", "PZX_2"), 0);  // "_" sorts after "X"
    EXPECT_LT(ComparePieceIds("AB", "Ab"), 0);
    // Digit runs longer than any integer still compare by value.
    EXPECT_LT(ComparePieceIds("P99999999999999", "P100000000000000"), 0);
}

TEST(PieceRows, NumberColumnsSortByValueWithTiesInJobOrder) {
    UnitsForTests units(UnitsForTests::Inches);
    PieceList list;
    list.append(Sized("A", 12.5, 3, 20));
    list.append(Sized("B", 0.25, 3, 3));
    list.append(Sized("C", 1200000, 3, 100));
    list.append(Sized("D", 12.5, 3, 3));
    PieceRows rows;
    rows.Fill(list, MaterialList());
    rows.SortByColumn(2);
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"B", "A", "D", "C"}));
    rows.SortByColumn(1);  // another column starts ascending too
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"B", "D", "A", "C"}));
    rows.SortByColumn(1);
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"C", "A", "D", "B"}));
    rows.SortByColumn(7);
    EXPECT_EQ(Column(rows, 7), (std::vector<std::string>{"1", "2", "3", "4"}));
    rows.SortByColumn(9);  // no such column: nothing moves
    EXPECT_EQ(rows.sortColumn(), 7);
}

TEST(PieceRows, RowTextsFollowTheUnitFormat) {
    UnitsForTests units(UnitsForTests::Inches);
    MaterialList catalogue;
    catalogue.add(Material("FL", "4MM", ""));
    PieceList list;
    list.append(Piece("FL", "4MM", "", 12.5, 0.25, 7, "X"));
    const PieceRow row = MakePieceRow(list.at(0), catalogue, 0);
    EXPECT_EQ(row.columns[1], "7");
    EXPECT_EQ(row.columns[2], "12.50");
    EXPECT_EQ(row.columns[3], "0.25");
    EXPECT_EQ(row.columns[4], "FL");
    EXPECT_EQ(row.columns[6], catalogue.labelFor("FL", "4MM", ""));
    EXPECT_EQ(row.columns[7], "1");
}

TEST(PieceRows, DeletingRowsTwoAndThreeOfFiveRenumbersTheRest) {
    UnitsForTests units;
    Job job;
    job.setWorkingPaths(units.dir.path());
    job.pieces = Pieces({"P1", "P2", "P3", "P4", "P5"});
    WriteText(job.auxPanelPath, "[P2|A]\nX=1\n[P4|B]\nY=2\n[P3|C]\nZ=3\n");
    PieceRows rows;
    rows.Fill(job.pieces, MaterialList());
    const int select = DeletePieces(job, rows, {1, 2}, ShapeSections(job));
    EXPECT_EQ(select, 0);  // the row before the first deleted one
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"P1", "P4", "P5"}));
    EXPECT_EQ(Column(rows, 7), (std::vector<std::string>{"1", "2", "3"}));
    ASSERT_EQ(job.pieces.count(), 3);
    for (int r = 0; r < rows.count(); ++r)
        EXPECT_EQ(job.pieces.at(rows.at(r).itemData).pieceId, rows.at(r).columns[0]);
    EXPECT_EQ(ReadText(job.auxPanelPath), "[P4|B]\nY=2\n");
}

TEST(PieceRows, DeletingFromASortedListKeepsRowsOnTheirPieces) {
    UnitsForTests units;
    Job job;
    job.setWorkingPaths(units.dir.path());
    job.pieces = Pieces({"PZ_3", "PZ_1", "PZ_5", "PZ_2", "PZ_4"});
    PieceRows rows;
    rows.Fill(job.pieces, MaterialList());
    rows.SortByColumn(0);  // PZ_1 .. PZ_5
    // Rows 4 and 5 hold PZ_4 (piece 4) and PZ_5 (piece 2).
    EXPECT_EQ(DeletePieces(job, rows, {4, 3}, ShapeSections(job)), 2);
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"PZ_1", "PZ_2", "PZ_3"}));
    for (int r = 0; r < rows.count(); ++r) {
        EXPECT_EQ(job.pieces.at(rows.at(r).itemData).pieceId, rows.at(r).columns[0]);
        EXPECT_EQ(rows.at(r).columns[7], std::to_string(rows.at(r).itemData + 1));
    }
    EXPECT_EQ(DeletePieces(job, rows, {0, 1, 2}, ShapeSections(job)), -1);
    EXPECT_EQ(job.pieces.count(), 0);
    EXPECT_EQ(rows.Delete({0, 7, -1}), -1);  // nothing left, nothing to go wrong
}

TEST(PieceRows, TotalsInMetresAndFeet) {
    PieceList list;
    list.append(Sized("A", 1000, 500, 3));
    list.append(Sized("B", 0.5, 0.5, 1000));
    {
        UnitsForTests units;
        const PieceTotals totals = TotalsOf(list);
        EXPECT_EQ(totals.rows, 2);
        EXPECT_EQ(totals.quantity, 1003);
        EXPECT_NEAR(totals.perimeter, (2.0 * 3 * 1500 + 2.0 * 1000 * 1) / 1000.0, 1e-9);
        EXPECT_EQ(PerimeterText(totals.perimeter), "11.00 m");
    }
    UnitsForTests inches(UnitsForTests::Inches);
    EXPECT_NEAR(TotalsOf(list).perimeter, 11000.0 / 12.0, 1e-9);
    EXPECT_EQ(PerimeterText(TotalsOf(list).perimeter), "916.67 ft");
}

TEST(PieceRows, ThousandsOfPiecesTotalWithoutOverflow) {
    UnitsForTests units;
    PieceList list;
    for (int i = 0; i < 5000; ++i) list.append(Sized("P" + std::to_string(i), 3000000, 2000000, 999999));
    const PieceTotals totals = TotalsOf(list);
    EXPECT_EQ(totals.quantity, 5000LL * 999999);
    EXPECT_NEAR(totals.perimeter, 5000.0 * 2 * 999999 * 5000000 / 1000, 1e6);
    PieceRows rows;
    rows.Fill(list, MaterialList());
    rows.SortByColumn(0);
    EXPECT_EQ(rows.at(0).columns[0], "P0");
    EXPECT_EQ(rows.at(4999).columns[0], "P4999");
}
