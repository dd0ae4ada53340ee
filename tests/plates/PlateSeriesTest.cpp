#include <gtest/gtest.h>

#include "model/PlateList.h"
#include "model/UnitsForTests.h"
#include "plates/PlateSeries.h"

using namespace tavrel;

TEST(PlateSeries, CountOrEndFollowsFromTheOthers) {
    SeriesRow row{1000, 250, 2000, 0};
    ComputeSeriesRow(row, false);
    EXPECT_EQ(row.count, 4);
    EXPECT_DOUBLE_EQ(row.end, 2000);
    row.end = 2100;
    ComputeSeriesRow(row, false);
    EXPECT_EQ(row.count, 5);
    EXPECT_DOUBLE_EQ(row.end, 2250);
    row = {1000, 250, 0, 3};
    ComputeSeriesRow(row, true);
    EXPECT_DOUBLE_EQ(row.end, 1750);
    row = {0, 0.7, 2.1, 0};  // decimals that are not exact in binary: 3.0000000000000004 steps
    ComputeSeriesRow(row, false);
    EXPECT_EQ(row.count, 3);
    row = {1000, 0, 2000, 7};  // without a step the count stays as typed
    ComputeSeriesRow(row, false);
    EXPECT_EQ(row.count, 7);
}

TEST(PlateSeries, StepsCrossedMakeThePlatesAndTheCount) {
    const SeriesRow widths{3000, 100, 3300, 3};
    const SeriesRow heights{2000, 50, 2100, 2};
    EXPECT_EQ(ValidateSeries(3000, 2000, widths, heights), 4);
    EXPECT_EQ(SeriesPlateCount(widths, heights), 7);
    const auto sizes = SeriesSizes(3000, 2000, 100, 3, 50, 2);
    ASSERT_EQ(sizes.size(), 6u);
    EXPECT_EQ(sizes.front(), std::make_pair(3100.0, 2050.0));
    EXPECT_EQ(sizes.back(), std::make_pair(3300.0, 2100.0));
    EXPECT_EQ(SeriesPlateCount(widths, SeriesRow{2000, 0, 2000, 0}), 4);
    EXPECT_EQ(SeriesSizes(3000, 2000, 100, 3, 0, 0).size(), 3u);
    EXPECT_EQ(SeriesPlateCount(SeriesRow{}, SeriesRow{}), 1);
    EXPECT_TRUE(SeriesSizes(3000, 2000, 0, 0, 0, 0).empty());
}

TEST(PlateSeries, StepZeroWithACountIsInvalid) {
    const SeriesRow widths{1000, 0, 1000, 3};
    EXPECT_EQ(SeriesRowState(widths), -1);
    EXPECT_LT(ValidateSeries(1000, 500, widths, SeriesRow{}), 0);
    EXPECT_EQ(SeriesPlateCount(widths, SeriesRow{500, 50, 600, 2}), 0);
    EXPECT_LT(ValidateSeries(1000, 500, SeriesRow{1000, -10, 900, 2}, SeriesRow{}), 0);
    EXPECT_LT(ValidateSeries(-1, 500, SeriesRow{}, SeriesRow{}), 0);
}

TEST(PlateSeries, TypedSizeStartsTheRow) {
    SeriesRow row{1000, 100, 1500, 5};
    double value = 1200;
    EXPECT_FALSE(StartSeriesAt(row, value)) << "the end is still above the start";
    EXPECT_DOUBLE_EQ(row.start, 1200);
    EXPECT_DOUBLE_EQ(row.end, 1500);
    value = -2000;  // a minus typed by mistake
    EXPECT_TRUE(StartSeriesAt(row, value));
    EXPECT_DOUBLE_EQ(value, 2000);
    EXPECT_DOUBLE_EQ(row.start, 2000);
    EXPECT_DOUBLE_EQ(row.end, 2000);
    value = 2000;
    EXPECT_TRUE(StartSeriesAt(row, value)) << "an end equal to the start moves too";
}

TEST(PlateSeries, RoundingOnlyOutsideMillimetres) {
    {
        UnitsForTests units(UnitsForTests::Millimetres);
        SeriesRow row{1000.04, 0.33, 1500.06, 0};
        RoundSeriesRow(row);
        EXPECT_DOUBLE_EQ(row.start, 1000.04);
        EXPECT_DOUBLE_EQ(row.step, 0.33);
    }
    UnitsForTests units(UnitsForTests::Inches);
    SeriesRow row{48.004, 0.5, 96.0, 0};
    RoundSeriesRow(row);
    EXPECT_NEAR(row.start, 48.0, 0.005) << "the tenth of a millimetre an inch value can hold";
    EXPECT_DOUBLE_EQ(row.step, 0.5);
    EXPECT_DOUBLE_EQ(row.end, 96.0);
}

TEST(PlateSeries, AddedPlatesMergeAndTheTemplateOnlyWhenChanged) {
    PlateList plates;
    const StockPlate start(MaterialKey("FL", "4MM", ""), 2, 1000, 500, 10, 0, 2, PlateOrdinary, 0);
    plates.addOrMerge(StockPlate(MaterialKey("FL", "4MM", ""), 3, 1100, 600, 10, 0, 2, PlateOrdinary, 0),
                      true);
    SeriesResult result{100, 2, 50, 2};
    std::vector<int> touched = AddPlateSeries(plates, start, start, result);
    ASSERT_EQ(touched.size(), 4u) << "the unchanged template is not added";
    ASSERT_EQ(plates.count(), 4);
    EXPECT_EQ(touched[1], 0) << "1100 x 600 already in stock";
    EXPECT_EQ(plates.at(0).quantity, 5);
    std::vector<std::pair<double, double>> sizes;
    for (const StockPlate& p : plates) sizes.emplace_back(p.width, p.height);
    EXPECT_EQ(sizes,
              (std::vector<std::pair<double, double>>{{1100, 600}, {1100, 550}, {1200, 550}, {1200, 600}}));

    StockPlate edited = start.duplicate();
    edited.quantity = 7;  // only the quantity changed: still a plate the user asked for
    touched = AddPlateSeries(plates, edited, start, SeriesResult{});
    ASSERT_EQ(touched.size(), 1u);
    EXPECT_EQ(plates.at(touched[0]).width, 1000);
    EXPECT_EQ(plates.at(touched[0]).quantity, 7);
    EXPECT_TRUE(AddPlateSeries(plates, start, start, SeriesResult{}).empty()) << "Cancel's -1 answers";
    // A width row only; a height row with a step but no count adds nothing of its own.
    EXPECT_EQ(AddPlateSeries(plates, start, start, SeriesResult{250, 3, 50, 0}).size(), 3u);
    EXPECT_EQ(plates.count(), 8);
}
