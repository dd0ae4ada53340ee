#include <gtest/gtest.h>

#include "pieces/NextPieceId.h"

using namespace tavrel;

namespace {

TEST(NextPieceIdTest, FollowsTheLastIdentifier) {
    EXPECT_EQ(NextFreePieceId("PZ_9", {"PZ_9"}), "PZ_10");
    EXPECT_EQ(NextFreePieceId("A_007", {"A_007"}), "A_008");
    EXPECT_EQ(NextFreePieceId("A_099", {}), "A_100");
    EXPECT_EQ(NextFreePieceId("ABC", {"ABC"}), "ABC_1");
    EXPECT_EQ(NextFreePieceId("PZ_7       ", {}), "PZ_8");
}

TEST(NextPieceIdTest, EmptyListStartsAtOne) {
    EXPECT_EQ(NextFreePieceId("", {}), "PZ_1");
    EXPECT_EQ(NextFreePieceId("   ", {}), "PZ_1");
}

TEST(NextPieceIdTest, SkipsTakenIdentifiersInAnyLetterCase) {
    EXPECT_EQ(NextFreePieceId("PZ_9", {"PZ_9", "PZ_10"}), "PZ_11");
    EXPECT_EQ(NextFreePieceId("pz_9", {"PZ_10 ", "Pz_11"}), "pz_12");
}

TEST(NextPieceIdTest, OverlongDigitRunDoesNotOverflow) {
    EXPECT_EQ(NextFreePieceId("12345678901234", {}), "12345678901234_1");
}

}  // namespace
