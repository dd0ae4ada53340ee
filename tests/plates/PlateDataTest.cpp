#include <gtest/gtest.h>

#include "common/Messages.h"
#include "materials/ModifyFieldTable.h"
#include "model/RecordText.h"
#include "model/UnitsForTests.h"
#include "plates/PlateData.h"
#include "settings/Units.h"

using namespace tavrel;

namespace {

PlateKindForm Form(int kind) {
    PlateKindForm form;
    form.kind = kind;
    form.minimumLot = "0.00";
    form.quantity = "12";
    form.priority = "7";
    form.treatmentLines = {"", "SATIN", "TEMPERED"};
    form.treatmentLine = 2;
    return form;
}

StockPlate Plate(const std::string& treatment, int quantity, double width, double height, int kind = 0,
                 int priority = 0) {
    return StockPlate(MaterialKey("FL", "4MM", treatment), quantity, width, height, priority, 0.0, 0, kind,
                      0.0);
}

PlateDataTexts Texts(int kind, const std::string& quantity, const std::string& priority) {
    PlateDataTexts t;
    t.kind = kind;
    t.material = "FL, 4MM";
    t.treatment = "SATIN";
    t.quantity = quantity;
    t.width = "3210";
    t.height = "2250";
    t.priority = priority;
    t.plateParameter = "0";
    t.minimumLot = "1.5";
    return t;
}

}  // namespace

TEST(PlateKindState, UnlimitedHidesAndGoingBackRestoresWhatWasTyped) {
    PlateKindForm form = Form(PlateOrdinary);
    PlateKindState state;
    state.open(form);
    EXPECT_EQ(form.minimumLot, "") << "the lot is kept out of sight for a counted plate";
    EXPECT_EQ(form.quantity, "12");
    EXPECT_FALSE(form.minimumLotEnabled());

    form.quantity = "25";  // typed after opening
    state.choose(form, PlateUnlimited);
    EXPECT_EQ(form.quantity, Msg("00171"));
    EXPECT_EQ(form.priority, "");
    ASSERT_EQ(form.treatmentLines.size(), 4u);
    EXPECT_EQ(form.treatmentLines.back(), Msg("00133"));
    EXPECT_EQ(form.treatmentLine, 3);
    EXPECT_EQ(form.minimumLot, "0.00");
    EXPECT_TRUE(form.minimumLotEnabled());
    EXPECT_FALSE(form.quantityEnabled() || form.priorityEnabled() || form.treatmentEnabled());
    EXPECT_TRUE(form.showsIcon());

    state.choose(form, PlateUnlimited);  // a second click on the same button
    state.choose(form, PlateOffcut);
    EXPECT_EQ(form.quantity, "25");
    EXPECT_EQ(form.priority, "7");
    EXPECT_EQ(form.treatmentLines.size(), 3u) << "the unlimited line is taken out again";
    EXPECT_EQ(form.treatmentLine, 2);
    EXPECT_EQ(form.minimumLot, "");
    EXPECT_FALSE(form.showsIcon());

    form.quantity = "3";
    state.choose(form, PlateOrdinary);  // offcut to ordinary moves nothing
    EXPECT_EQ(form.quantity, "3");
    EXPECT_EQ(form.treatmentLines.size(), 3u);
    state.choose(form, 5);  // not a kind
    EXPECT_EQ(form.kind, PlateOrdinary);
}

TEST(PlateKindState, OpeningUnlimitedAndTheLotComesBack) {
    PlateKindForm form = Form(PlateUnlimited);
    form.quantity = "99999";
    form.minimumLot = "2.50";
    PlateKindState state;
    state.open(form);
    EXPECT_EQ(form.quantity, Msg("00171"));
    EXPECT_EQ(form.minimumLot, "2.50");
    EXPECT_EQ(form.treatmentLines.back(), Msg("00133"));
    state.choose(form, PlateOrdinary);
    EXPECT_EQ(form.quantity, "99999");
    EXPECT_EQ(form.treatmentLine, 2);
    EXPECT_EQ(form.minimumLot, "");
    state.choose(form, PlateUnlimited);
    EXPECT_EQ(form.minimumLot, "2.50") << "the lot typed before survives the round trip";
}

TEST(PlateData, OkChecksTheRangesPerKind) {
    StockPlate plate;
    EXPECT_EQ(ReadPlateData(Texts(0, "5", "1000"), plate), "00095");
    EXPECT_EQ(plate.width, 0.0) << "a refused plate is left as it was";
    EXPECT_EQ(ReadPlateData(Texts(0, "0", "5"), plate), "00095");
    EXPECT_EQ(ReadPlateData(Texts(0, "5", "-1"), plate), "00095");
    PlateDataTexts noMaterial = Texts(0, "5", "5");
    noMaterial.material = "  ";
    EXPECT_EQ(ReadPlateData(noMaterial, plate), "00091");
    PlateDataTexts tiny = Texts(1, "5", "999");
    tiny.width = "0.004";  // a fraction of a millimetre is still a size
    ASSERT_EQ(ReadPlateData(tiny, plate), "");
    EXPECT_EQ(plate.priority, 999);
    EXPECT_EQ(plate.key.serie, "FL");
    EXPECT_EQ(plate.key.code, "4MM");
    EXPECT_EQ(plate.key.treatment, "SATIN");
    EXPECT_EQ(plate.minimumLot, 0.0) << "only an unlimited plate has a lot";
    PlateDataTexts negative = Texts(0, "5", "5");
    negative.height = "-2250";
    EXPECT_EQ(ReadPlateData(negative, plate), "00095");

    // The unlimited text and an empty priority are what kind 2 shows; they must not block OK.
    ASSERT_EQ(ReadPlateData(Texts(2, Msg("00171"), ""), plate), "");
    EXPECT_EQ(plate.quantity, kUnlimitedQuantity);
    EXPECT_EQ(plate.priority, 0);
    EXPECT_EQ(plate.key.treatment, "");
    EXPECT_DOUBLE_EQ(plate.minimumLot, 1.5);
}

TEST(PlateData, ChangedIntoAnEqualPlateMerges) {
    PlateList plates;
    plates.addOrMerge(Plate("", 3, 3210, 2250), true);
    plates.addOrMerge(Plate("", 4, 3210, 2000), true);
    plates.addOrMerge(Plate("", 99999, 6000, 3210, PlateUnlimited), true);
    plates.addOrMerge(Plate("", 99999, 6000, 3000, PlateUnlimited), true);
    plates.addOrMerge(Plate("SATIN", 1, 100.5, 80.25), true);

    bool merged = false;
    StockPlate edited = plates.at(1);
    edited.height = 2250;
    edited.quantity = 5;
    EXPECT_EQ(ChangePlate(plates, 1, edited, &merged), 0);
    EXPECT_TRUE(merged);
    ASSERT_EQ(plates.count(), 4);
    EXPECT_EQ(plates.at(0).quantity, 8);

    edited = plates.at(2);  // 6000 x 3000 unlimited, now at index 2
    edited.height = 3210;
    EXPECT_EQ(ChangePlate(plates, 2, edited, &merged), 1);
    EXPECT_TRUE(merged);
    EXPECT_EQ(plates.at(1).quantity, kUnlimitedQuantity) << "unlimited stays unlimited";
    ASSERT_EQ(plates.count(), 3);

    edited = plates.at(2);
    edited.quantity = 9;  // no other plate is equal
    EXPECT_EQ(ChangePlate(plates, 2, edited, &merged), 2);
    EXPECT_FALSE(merged);
    EXPECT_EQ(plates.at(2).quantity, 9);
    EXPECT_EQ(ChangePlate(plates, 7, edited, &merged), -1);
}

TEST(PlateBulkChange, KindUnlimitedHoldsQuantityTreatmentAndPriority) {
    for (auto unit : {UnitsForTests::Millimetres, UnitsForTests::Inches}) {
        UnitsForTests units(unit);
        ModifyFieldTable table = PlatesModifyTable();
        ASSERT_EQ(table.count(), PlateModifyFields);
        ASSERT_EQ(ParseChoices(table.at(ModifyKind).choices).size(), 3u);
        ASSERT_EQ(ParseChoices(table.at(ModifyOrientation).choices).size(), 3u);
        EXPECT_EQ(table.at(ModifyWidth).rounding, -1);
        EXPECT_EQ(table.at(ModifyPlateParameter).rounding, 1);
        EXPECT_TRUE(table.at(ModifyPriority).emptyAllowed);
        EXPECT_FALSE(table.at(ModifyQuantity).emptyAllowed);

        std::vector<ModifyFieldTable::Answer> answers(PlateModifyFields);
        answers[ModifyKind] = {true, Msg("00132"), 2};
        answers[ModifyQuantity] = {true, "7", -1};
        answers[ModifyMinimumLot] = {true, "2.5", -1};
        answers[ModifyWidth] = {true, unit == UnitsForTests::Inches ? "126.375" : "3210", -1};
        ASSERT_EQ(table.TakeAnswers(answers), "");
        for (StockPlate plate : {Plate("SATIN", 3, 1000, 500, 0, 12), Plate("", 1, 2000, 1000, 1, 999),
                                 Plate("TEMPERED", 40, 6000, 3210, 0, 3)}) {
            ApplyPlateModify(table, plate);
            EXPECT_EQ(plate.kind, PlateUnlimited);
            EXPECT_EQ(plate.quantity, kUnlimitedQuantity);
            EXPECT_EQ(plate.key.treatment, "");
            EXPECT_EQ(plate.priority, 0);
            EXPECT_DOUBLE_EQ(plate.minimumLot, 2.5);
            EXPECT_DOUBLE_EQ(plate.width, unit == UnitsForTests::Inches ? 126.375 : 3210);
            EXPECT_TRUE(IsUsable(plate));
        }
    }
}

TEST(PlateBulkChange, OnlyTickedFieldsAndTheLotOnlyForUnlimited) {
    ModifyFieldTable table = PlatesModifyTable();
    std::vector<ModifyFieldTable::Answer> answers(PlateModifyFields);
    answers[ModifyMinimumLot] = {true, "4", -1};
    answers[ModifyMaterial] = {true, "LAM, 33.1, SATIN", -1};
    answers[ModifyPriority] = {true, "", -1};  // may be emptied: reads as 0
    answers[ModifyOrientation] = {true, Msg("00112"), 2};
    ASSERT_EQ(table.TakeAnswers(answers), "");
    StockPlate counted = Plate("", 3, 1000, 500, 0, 12);
    ApplyPlateModify(table, counted);
    EXPECT_EQ(counted.minimumLot, 0.0);
    EXPECT_EQ(counted.key.serie, "LAM");
    EXPECT_EQ(counted.key.code, "33.1");
    EXPECT_EQ(counted.key.treatment, "SATIN");
    EXPECT_EQ(counted.priority, 0);
    EXPECT_EQ(counted.orientation, 2);
    EXPECT_EQ(counted.quantity, 3);
    EXPECT_EQ(counted.width, 1000.0);

    StockPlate unlimited = Plate("", 99999, 6000, 3210, PlateUnlimited);
    ApplyPlateModify(table, unlimited);
    EXPECT_EQ(unlimited.minimumLot, 4.0);
    EXPECT_EQ(unlimited.key.treatment, "") << "an unlimited plate serves every treatment";
}

TEST(PlateData, RoundingButtonOnlyOutsideMillimetres) {
    {
        UnitsForTests units(UnitsForTests::Millimetres);
        PlateDataTexts texts = Texts(0, "5", "5");
        texts.width = "3210.04";
        RoundPlateTexts(texts);
        EXPECT_EQ(texts.width, "3210.04") << "millimetres are typed as they are cut";
    }
    UnitsForTests units(UnitsForTests::Inches);
    PlateDataTexts texts = Texts(0, "5", "5");
    texts.width = "126.377";
    texts.height = "88.58";
    texts.plateParameter = "";
    RoundPlateTexts(texts);
    EXPECT_EQ(texts.width, FormatNumber(LengthFormat(1), ToSystemScaledValue(126.377, 10, -1)));
    EXPECT_EQ(texts.width, "126.37") << "decimals beyond the unit's are cut, as every length input does";
    EXPECT_EQ(texts.height, "88.58");
    EXPECT_EQ(texts.plateParameter, "") << "an empty edit stays empty for the OK check";
}
