#include <random>

#include <gtest/gtest.h>

#include "model/MaterialList.h"
#include "model/PieceList.h"
#include "model/PlateList.h"
#include "settings/AppSettings.h"

using namespace tavrel;

namespace {

StockPlate Plate(const std::string& treatment, int quantity, double width = 3210, int kind = PlateOrdinary,
                 double minimumLot = 0) {
    return StockPlate(MaterialKey("FL", "4MM", treatment), quantity, width, 2250, 0, 0, 0, kind, minimumLot);
}

Material Mat(const std::string& serie, const std::string& code, const std::string& treatment) {
    return Material(serie, code, treatment);
}

}  // namespace

TEST(MaterialKeyList, DuplicatesPositionsAndSort) {
    MaterialKeyList keys;
    EXPECT_TRUE(keys.add(MaterialKey("AB", "XY", ""), true));
    EXPECT_FALSE(keys.add(MaterialKey("AB", "XY", ""), true));
    EXPECT_TRUE(keys.add(MaterialKey("A", "BXY", ""), true));
    EXPECT_TRUE(keys.add(MaterialKey("A", "A", "z"), false, 7));
    EXPECT_EQ(keys.count(), 3);
    EXPECT_EQ(keys.at(1).position, 1);
    EXPECT_EQ(keys.at(2).position, 7);
    EXPECT_EQ(keys.indexOf("a", "a", "z"), -1) << "case-sensitive";

    // AB+XY and A+BXY build the same sort key: they keep their order.
    keys.sort();
    EXPECT_EQ(keys.at(0), MaterialKey("A", "A", "z"));
    EXPECT_EQ(keys.at(1), MaterialKey("AB", "XY", ""));
    EXPECT_EQ(keys.at(2), MaterialKey("A", "BXY", ""));
    EXPECT_EQ(keys.at(0).position, 7) << "sorting moves keys, it does not renumber them";

    MaterialKeyList copy = keys.copy();
    EXPECT_EQ(copy.at(0).position, 0);
    keys.remove("AB", "XY", "");
    keys.removeAt(99);
    EXPECT_EQ(keys.count(), 2);
}

TEST(MaterialList, OperationsOfTheCatalogueWindows) {
    MaterialList list;
    EXPECT_TRUE(list.add(Mat("FL", "4MM", "")));
    EXPECT_TRUE(list.add(Mat("FL", "4MM", "SAT")));
    Material dup = Mat("FL", "4MM", "");
    dup.description = "second";
    EXPECT_FALSE(list.add(dup)) << "the first entry with a key wins";
    EXPECT_EQ(list.find("FL", "4MM", "")->description, "");
    EXPECT_FALSE(list.find("FL", "4MM", "X").has_value());

    Material laminate = Mat("LAM", "44.2", "X");
    laminate.components.add(MaterialKey("FL", "4MM", ""), false);
    laminate.components.add(MaterialKey("FL", "4MM", ""), false);
    list.add(laminate);
    EXPECT_EQ(list.labelFor(2), "( X )");
    EXPECT_EQ(list.labelFor("FL", "4MM", "SAT"), "SAT");
    EXPECT_EQ(list.labelFor(-1), Msg("00197"));
    EXPECT_EQ(list.labelFor(3), Msg("00197"));

    EXPECT_TRUE(list.contains("FL", "4MM"));
    EXPECT_EQ(list.indexOfTreatment("X"), 2);
    EXPECT_EQ(list.subset("FL", "4MM").count(), 2);

    MaterialKeyList missing;
    missing.add(MaterialKey("NEW", "1", ""), true);
    missing.add(MaterialKey("FL", "4MM", ""), true);
    list.addMissing(std::move(missing));
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.at(3).engineFlag, 1);

    MaterialList group = list.subset("FL", "4MM");
    group.at(0).description = "edited";
    list.removeAll("FL", "4MM");
    list.addAll(std::move(group));
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.at(2).description, "edited") << "a changed group goes to the end";
    list.sort(false);
    EXPECT_EQ(list.at(0).serie, "FL");
    EXPECT_EQ(list.at(3).serie, "NEW");
    list.sort(true);
    EXPECT_EQ(list.at(3).treatment, "X");
    list.removeAllWithTreatment("");
    EXPECT_EQ(list.count(), 2);
}

TEST(PlateList, MergingAndStock) {
    PlateList plates;
    EXPECT_EQ(plates.addOrMerge(Plate("", 5), true), 0);
    EXPECT_EQ(plates.addOrMerge(Plate("", 3), true), 0);
    EXPECT_EQ(plates.at(0).quantity, 8);
    EXPECT_EQ(plates.addOrMerge(Plate("", 1, 3210, PlateUnlimited, 2.0), true), 1);
    EXPECT_EQ(plates.addOrMerge(Plate("", 1, 3210, PlateUnlimited, 9.0), true), 1);
    EXPECT_EQ(plates.at(1).quantity, kUnlimitedQuantity);
    EXPECT_EQ(plates.at(1).minimumLot, 2.0) << "minimumLot is not part of the merge";
    EXPECT_FALSE(PlateList::fullyEqual(Plate("", 1, 3210, 2, 2.0), Plate("", 1, 3210, 2, 9.0)));

    // Sums never overflow into negative stock.
    plates.addOrMerge(Plate("", 2147483000), true);
    plates.addOrMerge(Plate("", 2147483000), true);
    EXPECT_EQ(plates.at(0).quantity, 2147483647);

    EXPECT_TRUE(plates.hasPlateFor("FL", "4MM", "ANY")) << "the unlimited plate serves all";
    EXPECT_FALSE(plates.hasPlateFor("FL", "5MM", ""));

    PlateList stock;
    stock.addOrMerge(Plate("SAT", 3), true);
    Material sat = Mat("FL", "4MM", "SAT");
    EXPECT_TRUE(stock.consume(sat, 2, 3210, 2250));
    EXPECT_EQ(stock.at(0).quantity, 1);
    EXPECT_FALSE(stock.consume(sat, 1, 3210, 2000));
    EXPECT_TRUE(stock.consume(sat, 1, 3210, 2250));
    EXPECT_TRUE(stock.empty());

    // Five plates of one size cut from a line of two offcuts and a line of four plates: both
    // lines give, and no cut plate stays in stock.
    stock.addOrMerge(Plate("SAT", 2, 3210, PlateOffcut), true);
    stock.addOrMerge(Plate("SAT", 4), true);
    stock.addOrMerge(Plate("SAT", 7, 2000), true);
    ASSERT_EQ(stock.count(), 3);
    EXPECT_TRUE(stock.consume(sat, 5, 3210, 2250));
    ASSERT_EQ(stock.count(), 2);
    EXPECT_EQ(stock.at(0).quantity, 1);
    EXPECT_EQ(stock.at(0).kind, PlateOrdinary);
    EXPECT_EQ(stock.at(1).quantity, 7) << "another size is left alone";
    EXPECT_TRUE(stock.consume(sat, 3, 3210, 2250)) << "more than the stock holds empties it";
    ASSERT_EQ(stock.count(), 1);
    EXPECT_EQ(stock.at(0).width, 2000);
    stock.removeAt(0);

    // A plan that cut the offcut of a size a plate line has too lowers the offcut line, though
    // the plate line comes first; cut beyond it, the rest comes off the plate line.
    stock.addOrMerge(Plate("SAT", 3), true);
    stock.addOrMerge(Plate("SAT", 1, 3210, PlateOffcut), true);
    StockPlate cut = stock.at(1).duplicate();
    cut.quantity = 1;
    EXPECT_TRUE(stock.consume(sat, cut));
    ASSERT_EQ(stock.count(), 1);
    EXPECT_EQ(stock.at(0).kind, PlateOrdinary);
    EXPECT_EQ(stock.at(0).quantity, 3);
    stock.addOrMerge(Plate("SAT", 1, 3210, PlateOffcut), true);
    cut.quantity = 2;
    EXPECT_TRUE(stock.consume(sat, cut));
    ASSERT_EQ(stock.count(), 1);
    EXPECT_EQ(stock.at(0).quantity, 2);
    // An offcut whose entry differs in priority is still an offcut first.
    stock.addOrMerge(Plate("SAT", 1, 3210, PlateOffcut), true);
    cut.priority = 77;
    cut.quantity = 1;
    EXPECT_TRUE(stock.consume(sat, cut));
    ASSERT_EQ(stock.count(), 1);
    EXPECT_EQ(stock.at(0).kind, PlateOrdinary);
    stock.removeAt(0);

    Material limited = sat;
    limited.maxPlateWidth = 3000;
    plates.addOrMerge(Plate("", 1, 2000), true);
    EXPECT_TRUE(plates.exceedsLimits(0, limited, 0, 0));
    EXPECT_FALSE(plates.exceedsLimits(2, limited, 0, 0));
    EXPECT_TRUE(plates.exceedsLimits(2, sat, 1999, 0));
    EXPECT_EQ(plates.indexOfObject(&plates.at(2)), 2);
    const StockPlate outsider = plates.at(2);
    EXPECT_EQ(plates.indexOfObject(&outsider), -1);
}

TEST(PlateList, MergeIntoSelectionAndRemoval) {
    PlateList plates;
    plates.addOrMerge(Plate("A", 1), true);
    plates.addOrMerge(Plate("B", 2), true);
    plates.addOrMerge(Plate("C", 4), true);
    plates.at(2).key.treatment = "A";  // an edit made it equal to the first
    bool merged = false;
    EXPECT_EQ(plates.mergeInto(2, merged), 0);
    EXPECT_TRUE(merged);
    EXPECT_EQ(plates.count(), 2);
    EXPECT_EQ(plates.at(0).quantity, 5);
    plates.at(0).key.treatment = "B";
    EXPECT_EQ(plates.mergeInto(0, merged), 0) << "the index of the other entry after removal";
    EXPECT_EQ(plates.at(0).quantity, 7);
    EXPECT_EQ(plates.mergeInto(0, merged), 0);
    EXPECT_FALSE(merged);
    EXPECT_EQ(plates.mergeInto(5, merged), -1);

    plates.addOrMerge(Plate("C", 1), true);
    plates.addOrMerge(Plate("D", 1), true);
    EXPECT_FALSE(plates.isSelected(-1));
    EXPECT_TRUE(plates.isSelected(10));
    plates.setSelected(true, -1);
    EXPECT_TRUE(plates.isSelected(-1));
    plates.setSelected(false, 1);
    EXPECT_FALSE(plates.isSelected(-1));
    EXPECT_FALSE(plates.anyModified());

    plates.removeIndices({2, 0, 2, -1, 40});
    ASSERT_EQ(plates.count(), 1);
    EXPECT_EQ(plates.at(0).key.treatment, "C");

    StockPlate p = Plate("Z", 3);
    p.selectionRank = 4;
    p.selected = 1;
    p.sourceIndex = 9;
    p.usedCount = 2;
    p.modified = 1;
    StockPlate copy = p.duplicate();
    EXPECT_EQ(copy.selectionRank, 0);
    EXPECT_EQ(copy.selected, 0);
    EXPECT_EQ(copy.sourceIndex, -1);
    EXPECT_EQ(copy.usedCount, 2);
    EXPECT_EQ(copy.modified, 1);
}

TEST(PieceList, MergeCountersAndFilters) {
    PieceList pieces;
    EXPECT_EQ(pieces.addOrMerge(Piece("FL", "4MM", "", 100, 200, 2, "A")), 0);
    EXPECT_EQ(pieces.addOrMerge(Piece("FL", "4MM", "", 100, 200, 3, "A")), 0);
    EXPECT_EQ(pieces.count(), 1);
    EXPECT_EQ(pieces.at(0).quantity, 5);
    EXPECT_EQ(pieces.idCounter, 1);
    EXPECT_EQ(pieces.addOrMerge(Piece("FL", "4MM", "", 100, 200, 1, "a")), 1)
        << "pieceId compares case-sensitively here";
    pieces.append(Piece("FL", "4MM", "", 100, 200, 1, "a"));
    pieces.removeIndices({1});
    EXPECT_EQ(pieces.addOrMerge(Piece("FL", "5MM", "SAT", 1, 2, 1)), 2);
    EXPECT_EQ(pieces.at(2).internalId, "INT_ID_000000004") << "numbers are never reused";
    pieces.clear();
    pieces.append(Piece("X", "Y", "", 1, 1, 1));
    EXPECT_EQ(pieces.at(0).internalId, "INT_ID_000000005");

    PieceList job;
    job.addOrMerge(Piece("FL", "4MM", "", 100, 200, 2, "A"));
    job.addOrMerge(Piece("FL", "5MM", "", 100, 200, 2, "B"));
    job.addOrMerge(Piece("FL", "4MM", "", 300, 200, 2, "C"));
    job.addOrMerge(Piece("S", "C", "T", 1, 1, 1, "D"));
    job.addOrMerge(Piece("S", "C", "T", 2, 1, 1, "E"));
    PieceList four = job.piecesOfMaterial(Material("FL", "4MM", ""));
    ASSERT_EQ(four.count(), 2);
    EXPECT_EQ(four.at(1).pieceId, "C");
    EXPECT_EQ(four.at(1).internalId, "INT_ID_000000002") << "a filtered list counts from 1";

    MaterialList catalogue;
    catalogue.add(Material("FL", "5MM", ""));
    catalogue.add(Material("FL", "4MM", ""));
    MaterialKeyList missing;
    MaterialList used = job.materialsUsed(catalogue, missing);
    ASSERT_EQ(used.count(), 2);
    EXPECT_EQ(used.at(0).code, "4MM") << "in order of first use";
    ASSERT_EQ(missing.count(), 2);
    EXPECT_EQ(missing.at(0), MaterialKey("S", "C", ""));
    EXPECT_EQ(missing.at(1), MaterialKey("S", "C", "T"));
}

// The indexed bulk paths that the readers use must give exactly what adding one by one gives.
TEST(MergeIndex, SameResultAsAddingOneByOne) {
    std::mt19937 rng(7);
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (int round = 0; round < 20; ++round) {
        PlateList linear, indexed;
        PieceList linearPieces, indexedPieces;
        linear.addOrMerge(Plate("", 1), true);
        indexed.addOrMerge(Plate("", 1), true);
        {
            PlateMergeIndex plateIndex(indexed);
            PieceMergeIndex pieceIndex(indexedPieces);
            for (int i = 0; i < 300; ++i) {
                StockPlate p(MaterialKey("S", std::to_string(pick(3)), pick(2) ? "" : "T"), 1 + pick(5),
                             1000 + pick(3), pick(2) ? -0.0 : 0.0, pick(2), 0, pick(2), pick(3), pick(3));
                const bool stays = pick(2) != 0;
                EXPECT_EQ(linear.addOrMerge(p, stays), plateIndex.addOrMerge(p, stays));
                Piece piece("S", std::to_string(pick(3)), "", 100 + pick(3), 50, 1 + pick(4),
                            pick(3) ? "" : "X");
                EXPECT_EQ(linearPieces.addOrMerge(piece), pieceIndex.addOrMerge(piece));
            }
        }
        EXPECT_EQ(linear, indexed);
        EXPECT_EQ(linearPieces, indexedPieces);
    }
}
