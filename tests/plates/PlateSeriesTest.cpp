#include <gtest/gtest.h>

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
