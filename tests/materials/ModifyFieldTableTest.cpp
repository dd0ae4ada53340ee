#include <gtest/gtest.h>

#include "materials/ModifyFieldTable.h"
#include "model/UnitsForTests.h"

using namespace tavrel;

TEST(ModifyFieldTable, ChoicesAreThePartsBeforeEachComma) {
    EXPECT_EQ(ParseChoices("K0, K1, K2, "), (std::vector<std::string>{"K0", "K1", "K2"}));
    EXPECT_EQ(ParseChoices("K0, K1, K2"), (std::vector<std::string>{"K0", "K1"}));
    EXPECT_EQ(ParseChoices("  A ,B  ,"), (std::vector<std::string>{"  A", "B"}));
    EXPECT_TRUE(ParseChoices("").empty());
}

TEST(ModifyFieldTable, TypedValuesTakeTheFieldsFormAndRoundingInInches) {
    {
        UnitsForTests mm;
        EXPECT_EQ(ModifyValueText("1234.5", "%.1lf", -1), "1234.5");
        EXPECT_EQ(ModifyValueText("12abc", "%ld", 0), "12");
        EXPECT_EQ(ModifyValueText("any text", "%s", 0), "any text");
        EXPECT_EQ(ModifyValueText("", "%ld", 0), "");
    }
    UnitsForTests inches(UnitsForTests::Inches);
    // 1234.5 in is exactly 31356.3 mm, so rounding leaves it as it was.
    EXPECT_EQ(ModifyValueText("1234.5", LengthFormat(1), -1), "1234.50");
    EXPECT_EQ(ModifyValueText("1234.5", LengthFormat(1), 0), "1234.50");
    // 126.377 in: the third decimal is cut (126.37 in = 3209.798 mm), the tenth of a mm kept
    // (3209.8 mm = 126.3709 in); printed unrounded it would read 126.38.
    EXPECT_EQ(ModifyValueText("126.377", LengthFormat(1), -1), "126.37");
    EXPECT_EQ(ModifyValueText("126.377", LengthFormat(1), 1), "126.37");
    EXPECT_EQ(ModifyValueText("126.377", LengthFormat(1), 0), "126.38") << "a field without rounding";
    EXPECT_EQ(ModifyValueText("126.377", "%ld", -1), "126");
}

TEST(ModifyFieldTable, OkTakesTickedValuesAndRefusesTickedEmptyOnes) {
    ModifyFieldTable table;
    table.Add("Quantity:", "%ld");
    table.Add("Priority", "%ld", true);
    table.Add("Kind", "C", false, "K0, K1, K2, ");
    table.Add("Width", "%.1lf");
    EXPECT_EQ(table.at(0).caption, "Quantity");
    EXPECT_EQ(table.RowLabel(1), "2 [" + Msg("00224") + "]");

    std::vector<ModifyFieldTable::Answer> answers(4);
    answers[1] = {true, "  ", -1};  // may be empty
    answers[2] = {true, "K2", 2};
    answers[3] = {false, "1200", -1};  // set but not ticked
    EXPECT_EQ(table.TakeAnswers(answers), "");
    EXPECT_FALSE(table.at(0).changed);
    EXPECT_TRUE(table.at(1).changed);
    EXPECT_EQ(table.at(1).value, "");
    EXPECT_EQ(table.at(2).choiceIndex, 2);
    EXPECT_FALSE(table.at(3).changed);
    EXPECT_EQ(table.at(3).value, "");

    answers[0] = {true, "", -1};
    EXPECT_EQ(table.TakeAnswers(answers), "\n1 --> Quantity\n");
    for (int i = 0; i < table.count(); ++i) EXPECT_FALSE(table.at(i).changed) << i;
}

TEST(ModifyFieldTable, MaterialValueKeepsAnEmptyTreatment) {
    EXPECT_EQ(MaterialValue("FL, 4MM", ""), "FL, 4MM, ");
    std::string s, c, t;
    SplitMaterialValue("FL, 4MM, ", s, c, t);
    EXPECT_EQ(s + "|" + c + "|" + t, "FL|4MM|");
    SplitMaterialValue("FL, 4MM, SATIN", s, c, t);
    EXPECT_EQ(t, "SATIN");
}
