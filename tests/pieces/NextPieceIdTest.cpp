#include <string>
#include <unordered_set>
#include <vector>

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

TEST(NextPieceIdTest, LongDigitRunsCountOn) {
    EXPECT_EQ(NextFreePieceId("12345678901234", {}), "12345678901235");
    EXPECT_EQ(NextFreePieceId("9999999999999998", {}), "9999999999999999");
    EXPECT_EQ(NextFreePieceId("0000000000000009", {}), "0000000000000010");
}

// Identifiers hold 16 characters; a proposal longer than that could not be confirmed.
TEST(NextPieceIdTest, StaysWithinSixteenCharacters) {
    // Sixteen characters without a number: the generated series.
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMNOP", {"ABCDEFGHIJKLMNOP"}), "PZ_1");
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMNOP", {"ABCDEFGHIJKLMNOP", "PZ_1"}), "PZ_2");
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMNOPQRS", {}), "PZ_1");
    // Fifteen: the number follows without a separator.
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMNO", {}), "ABCDEFGHIJKLMNO1");
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMN", {}), "ABCDEFGHIJKLMN_1");
    // The number is cut to the room left: 100 shows as 10.
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMN99", {"ABCDEFGHIJKLMN99"}), "ABCDEFGHIJKLMN10");
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLM999", {}), "ABCDEFGHIJKLM100");
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLM_07", {}), "ABCDEFGHIJKLM_08");
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMN_9", {}), "ABCDEFGHIJKLMN_1");
    // Longer than 16 with a number (an imported job): no room left behind that prefix.
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMNOPQ1", {}), "PZ_1");
}

TEST(NextPieceIdTest, TrailingSeparatorIsNotDoubled) {
    EXPECT_EQ(NextFreePieceId("ABC_", {"ABC_"}), "ABC_1");
    EXPECT_EQ(NextFreePieceId("ABC_", {"ABC_", "abc_1 "}), "ABC_2");
}

TEST(NextPieceIdTest, CutNumbersSkipTakenOnesAndNeverRepeatForEver) {
    std::vector<std::string> taken = {"ABCDEFGHIJKLMN99", "ABCDEFGHIJKLMN10", "abcdefghijklmn11"};
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMN99", taken), "ABCDEFGHIJKLMN12");
    // Fifteen characters leave one digit: 6 to 9 first, then round to 1 to 5.
    taken = {"ABCDEFGHIJKLMNO5", "ABCDEFGHIJKLMNO6", "ABCDEFGHIJKLMNO7",
             "ABCDEFGHIJKLMNO8", "ABCDEFGHIJKLMNO9", "ABCDEFGHIJKLMNO1"};
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMNO5", taken), "ABCDEFGHIJKLMNO2");
    // Every one-digit number taken: counting on would go round for ever.
    for (char digit = '2'; digit <= '4'; ++digit) taken.push_back(std::string("ABCDEFGHIJKLMNO") + digit);
    taken.push_back("PZ_1");
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMNO5", taken), "PZ_2");
    EXPECT_EQ(NextFreePieceId("ABCDEFGHIJKLMNO", taken), "PZ_2");
}

TEST(NextPieceIdTest, ThousandsOfPastesStayFreeAndShort) {
    std::vector<std::string> taken = {"ABCDEFGHIJKLMN99"};
    std::unordered_set<std::string> seen = {"ABCDEFGHIJKLMN99"};
    // 89 two-digit numbers fit behind the 14 characters, then the generated series takes over.
    for (int i = 0; i < 500; ++i) {
        const std::string id = NextFreePieceId("ABCDEFGHIJKLMN99", taken);
        ASSERT_LE(id.size(), 16u) << id;
        ASSERT_TRUE(seen.insert(id).second) << id;
        taken.push_back(id);
    }
    EXPECT_EQ(taken[89], "ABCDEFGHIJKLMN98");
    EXPECT_EQ(taken[90], "PZ_1");
}

}  // namespace
