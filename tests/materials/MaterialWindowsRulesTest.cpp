#include <gtest/gtest.h>

#include "materials/MaterialData.h"
#include "materials/MaterialGroups.h"
#include "model/UnitsForTests.h"

using namespace tavrel;

namespace {

Material Entry(const std::string& serie, const std::string& code, const std::string& treatment,
               double thickness = 4.0) {
    Material m(serie, code, treatment);
    m.description = serie + code;
    m.thickness = thickness;
    return m;
}

MaterialList Catalogue(int groups) {
    MaterialList list;
    for (int i = 0; i < groups; ++i) list.add(Entry("S", "C" + std::to_string(i), ""));
    return list;
}

std::vector<std::string> Column(const MaterialRows& rows, int column) {
    std::vector<std::string> out;
    for (int i = 0; i < rows.count(); ++i) out.push_back(rows.at(i).columns[size_t(column)]);
    return out;
}

}  // namespace

TEST(MaterialRows, GroupRowsShowEveryTreatmentAndTheLimits) {
    UnitsForTests units;
    MaterialList list;
    list.add(Entry("FL", "4MM", ""));
    list.add(Entry("FL", "4MM", "T1"));
    Material laminate = Entry("FL", "4MM", "T2");
    laminate.components.add(MaterialKey("FL", "6MM", ""), false);
    list.add(laminate);
    Material limited = Entry("FL", "6MM", "");
    limited.maxPlateHeight = 2000;
    list.add(limited);
    list.add(Entry("ST", "4MM", "ONLY"));  // a group without its base entry is not listed
    MaterialRows rows;
    rows.Fill(list);
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.at(0).columns[2], "T1 + ( T2 )");
    EXPECT_EQ(rows.at(1).columns[2], "");
    EXPECT_EQ(rows.at(1).columns[6], Msg("00185"));
    EXPECT_EQ(rows.at(0).columns[6], "");
    EXPECT_EQ(Column(rows, 7), (std::vector<std::string>{"1", "2"}));
}

TEST(MaterialRows, DeletingRowsRenumbersAndSelectsTheRowBefore) {
    UnitsForTests units;
    MaterialRows rows;
    rows.Fill(Catalogue(6));
    EXPECT_EQ(rows.Delete({1, 4}), 0);  // rows 2 and 5 (numbered from 1)
    EXPECT_EQ(Column(rows, 7), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(Column(rows, 1), (std::vector<std::string>{"C0", "C2", "C3", "C5"}));

    rows.Fill(Catalogue(6));
    EXPECT_EQ(rows.Delete({3, 5}), 2);
    EXPECT_EQ(rows.Delete({0}), 0);
    EXPECT_EQ(Column(rows, 7), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(rows.Delete({0, 1, 2}), -1);

    // After a sort the numbers follow the fill order, not the shown order.
    rows.Fill(Catalogue(4));
    rows.SortByColumn(7);
    rows.SortByColumn(7);  // descending: 4 3 2 1
    rows.Delete({1});      // the row numbered 3
    EXPECT_EQ(Column(rows, 7), (std::vector<std::string>{"3", "2", "1"}));
    EXPECT_EQ(Column(rows, 1), (std::vector<std::string>{"C3", "C1", "C0"}));
}

TEST(MaterialRows, ColumnSortAscendsThenDescendsKeepingEqualRowsInFillOrder) {
    UnitsForTests units;
    MaterialList list;
    list.add(Entry("A", "1", "", 10));
    list.add(Entry("B", "2", "", 4));
    list.add(Entry("C", "3", "", 10));
    list.add(Entry("D", "4", "", 8));
    MaterialRows rows;
    rows.Fill(list);
    rows.SortByColumn(4);
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"B", "D", "A", "C"})) << "10 after 8: numbers";
    rows.SortByColumn(4);
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"C", "A", "D", "B"}));
    rows.SortByColumn(0);
    EXPECT_EQ(Column(rows, 0), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(rows.sortColumn(), 0);
}

TEST(MaterialGroups, NewGroupIsRefusedWhenItExistsAndAddedWhenChanged) {
    UnitsForTests units;
    MaterialList catalogue;
    catalogue.add(Entry("FL", "4MM", ""));
    catalogue.add(Entry("FL", "6MM", ""));
    MaterialRows rows;
    rows.Fill(catalogue);
    MaterialList group = NewMaterialGroup();
    ASSERT_EQ(group.count(), 1);
    EXPECT_EQ(group.at(0).engineFlag, 1);
    group.at(0).serie = "FL";
    group.at(0).code = "4MM";
    EXPECT_EQ(AddMaterialGroup(catalogue, group, nullptr), GroupAddResult::Exists);
    EXPECT_EQ(catalogue.count(), 2);
    group.at(0).code = "5MM";
    int base = -1;
    EXPECT_EQ(AddMaterialGroup(catalogue, group, &base), GroupAddResult::Added);
    EXPECT_EQ(base, 1) << "sorted into its place in the catalogue";

    // The window appends the new row at the end of its list, not at the sorted place.
    rows.Append(catalogue, base);
    ASSERT_EQ(rows.count(), 3);
    EXPECT_EQ(Column(rows, 1), (std::vector<std::string>{"4MM", "6MM", "5MM"}));
    EXPECT_EQ(rows.at(2).columns[7], "3");
    EXPECT_EQ(rows.at(2).itemData, 2);

    // A change puts the group's entries at the end of the catalogue.
    MaterialList edited = catalogue.subset("FL", "4MM");
    edited.at(0).description = "changed";
    EXPECT_EQ(ReplaceMaterialGroup(catalogue, "FL", "4MM", edited), 2);
    EXPECT_EQ(catalogue.at(2).description, "changed");
}

TEST(MaterialData, KeyTypingRefusesForbiddenCharacters) {
    std::string text = "F";
    EXPECT_FALSE(CleanKeyText(text, kSerieWidth));
    text = "F.";
    int caret = 2;
    EXPECT_TRUE(CleanKeyText(text, kSerieWidth, &caret));
    EXPECT_EQ(text, "F");
    EXPECT_EQ(caret, 1);
    text = "FL";
    EXPECT_FALSE(CleanKeyText(text, kSerieWidth));
    text = "fl 4/x";
    EXPECT_TRUE(CleanKeyText(text, kCodeWidth));
    EXPECT_EQ(text, "FL4X");
    text = "ABCDEFGHIJ";
    EXPECT_TRUE(CleanKeyText(text, kSerieWidth));
    EXPECT_EQ(text, "ABCDEFG");
}

TEST(MaterialData, LimitSwitchedOffAndOnAgainShowsItsValue) {
    UnitsForTests units;
    PlateLimitBox box(1200);
    EXPECT_TRUE(box.on());
    EXPECT_EQ(box.EditText(), "1200.0");
    box.SwitchOff(1200);
    EXPECT_EQ(box.EditText(), Msg("00171"));
    box.SwitchOn();
    EXPECT_EQ(box.EditText(), "1200.0");
    box.SwitchOff(0);  // a box emptied before switching off keeps the last good value
    box.SwitchOn();
    EXPECT_EQ(box.EditText(), "1200.0");
    PlateLimitBox none(0);
    EXPECT_FALSE(none.on());
    none.SwitchOn();
    EXPECT_EQ(none.EditText(), "0.0");
}

TEST(MaterialData, OkChecksAndWritesTheSharedValuesIntoEveryEntry) {
    UnitsForTests units;
    MaterialList group;
    group.add(Entry("FL", "4MM", ""));
    Material t = Entry("FL", "4MM", "SATIN");
    t.description = "other";
    t.engineFlag = 0;
    group.add(t);
    MaterialDataForm form = FormOf(group.at(0));
    EXPECT_EQ(CheckMaterialForm(form, false), MaterialDataCheck::Ok);
    form.widthOn = true;
    form.width = "0";
    form.heightOn = true;
    form.height = "-3";
    EXPECT_EQ(CheckMaterialForm(form, false), MaterialDataCheck::HeightLimit);
    form.height = "2250";
    EXPECT_EQ(CheckMaterialForm(form, false), MaterialDataCheck::WidthLimit);
    EXPECT_EQ(MaterialDataMessage(MaterialDataCheck::WidthLimit), "00095");
    form.width = "3210.5";
    form.code = " ";
    EXPECT_EQ(CheckMaterialForm(form, false), MaterialDataCheck::KeyMissing);
    form.code = "4MM";
    form.thickness = "5.5";
    ApplyMaterialForm(form, group);
    for (const Material& m : group) {
        EXPECT_EQ(m.description, "FL4MM") << "the first entry's description wins";
        EXPECT_DOUBLE_EQ(m.thickness, 5.5);
        EXPECT_DOUBLE_EQ(m.maxPlateWidth, 3210.5);
        EXPECT_DOUBLE_EQ(m.maxPlateHeight, 2250);
    }
    EXPECT_EQ(group.at(1).engineFlag, 0) << "flags are per entry";
    EXPECT_EQ(group.at(1).treatment, "SATIN");
}

TEST(MaterialData, RoundingOnlyInInches) {
    auto typed = [] {
        MaterialDataForm form;
        form.thickness = "126.377";
        form.weight = "1.237";
        form.cutParameters.fill("1234.5");
        form.cutParameters[6] = "126.377";
        return form;
    };
    {
        UnitsForTests mm;
        MaterialDataForm form = typed();
        RoundMaterialForm(form);
        EXPECT_EQ(form.thickness, "126.377");
        EXPECT_EQ(form.weight, "1.237");
        EXPECT_EQ(form.cutParameters[0], "1234.5");
        EXPECT_EQ(form.cutParameters[6], "126.377");
    }
    UnitsForTests inches(UnitsForTests::Inches);
    MaterialDataForm form = typed();
    RoundMaterialForm(form);
    // 1234.5 in is exactly 31356.3 mm; 126.377 in loses its third decimal (unrounded it would
    // print 126.38) and comes back from 3209.8 mm as 126.37.
    EXPECT_EQ(form.cutParameters[0], "1234.50");
    EXPECT_EQ(form.cutParameters[6], "126.37");
    EXPECT_EQ(form.thickness, "126.37");
    EXPECT_EQ(form.weight, "1.23") << "weights keep two decimals, cut";

    // With a third decimal the step shows: 0.123 in = 3.1242 mm; a cut parameter keeps tenths
    // (3.1 mm = 0.12205 in), the thickness hundredths (3.12 mm = 0.12283 in).
    inches.settings->current.decimals = 3;
    inches.settings->current.numberFormat = "%.3lf";
    form.thickness = "0.123";
    form.cutParameters[0] = "0.123";
    RoundMaterialForm(form);
    EXPECT_EQ(form.cutParameters[0], "0.122");
    EXPECT_EQ(form.thickness, "0.123");
}

TEST(MaterialData, TreatmentNamesAreUniqueInTheGroup) {
    UnitsForTests units;
    MaterialList group;
    group.add(Entry("FL", "4MM", ""));
    int index = -1;
    EXPECT_EQ(AddTreatment(group, "SATIN", &index), TreatmentNameResult::Done);
    EXPECT_EQ(AddTreatment(group, "ACID", &index), TreatmentNameResult::Done);
    EXPECT_EQ(index, 1) << "sorted by treatment, base entry first";
    EXPECT_EQ(AddTreatment(group, "SATIN", &index), TreatmentNameResult::Exists);
    EXPECT_EQ(AddTreatment(group, "", &index), TreatmentNameResult::Empty);
    EXPECT_EQ(RenameTreatment(group, 2, "ACID", &index), TreatmentNameResult::Exists);
    EXPECT_EQ(RenameTreatment(group, 0, "X", &index), TreatmentNameResult::Empty) << "not the base";
    EXPECT_EQ(RenameTreatment(group, 2, "BLUE", &index), TreatmentNameResult::Done);
    EXPECT_EQ(group.at(index).treatment, "BLUE");
    EXPECT_EQ(TreatmentLine(group.at(0)), Msg("00086"));
    group.at(1).components.add(MaterialKey("FL", "6MM", ""), false);
    EXPECT_EQ(TreatmentLine(group.at(1)), "ACID " + Msg("00085"));
}
