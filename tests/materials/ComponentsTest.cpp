#include <gtest/gtest.h>

#include "materials/Components.h"

using namespace tavrel;

TEST(Components, LayersAreSortedAndRepeatsNeedOneDeleteEach) {
    MaterialKeyList layers;
    EXPECT_EQ(AddComponent(layers, MaterialKey("FL", "6MM", "")), 0);
    EXPECT_EQ(AddComponent(layers, MaterialKey("FL", "4MM", "")), 0) << "FL/4MM sorts first";
    EXPECT_EQ(ComponentLine(layers.at(0)), "FL, 4MM");
    EXPECT_EQ(AddComponent(layers, MaterialKey("FL", "4MM", "")), 0);
    EXPECT_EQ(layers.count(), 3);
    EXPECT_EQ(RemoveComponent(layers, 1), 1);
    EXPECT_EQ(layers.count(), 2);
    EXPECT_EQ(ComponentLine(layers.at(0)), "FL, 4MM") << "one occurrence goes";
    EXPECT_EQ(RemoveComponent(layers, 1), 0) << "the last line when the position is gone";
    EXPECT_EQ(RemoveComponent(layers, 0), -1);
    EXPECT_TRUE(layers.empty());
}

TEST(Components, LinesReadBackIntoKeys) {
    for (const MaterialKey& key : {MaterialKey("FL", "4MM", ""), MaterialKey("FL", "4MM", "SATIN"),
                                   MaterialKey("A", "", ""), MaterialKey("LAM", "44-2", "T 1")}) {
        const MaterialKey back = ParseComponentLine(ComponentLine(key));
        EXPECT_TRUE(back == key) << ComponentLine(key);
    }
    EXPECT_TRUE(ParseComponentLine("X") == MaterialKey("X", "", ""));
}

TEST(Components, ChoiceLeavesOutTheLaminateItselfAndComposites) {
    MaterialList catalogue;
    catalogue.add(Material("FL", "4MM", ""));
    catalogue.add(Material("FL", "4MM", "SATIN"));
    Material laminateTreatment("FL", "4MM", "LAMI");
    laminateTreatment.components.add(MaterialKey("FL", "6MM", ""), false);
    catalogue.add(laminateTreatment);
    catalogue.add(Material("FL", "6MM", ""));
    Material laminate("LAM", "44-2", "");
    laminate.components.add(MaterialKey("FL", "4MM", ""), false);
    catalogue.add(laminate);
    EXPECT_EQ(ChoosableGroups(catalogue, false, "FL, 6MM"), std::vector<std::string>{"FL, 4MM"});
    EXPECT_EQ(ChoosableGroups(catalogue, true, "-").size(), 3u);
    EXPECT_EQ(ChoosableTreatments(catalogue, "FL, 4MM", false), (std::vector<std::string>{"", "SATIN"}));
    EXPECT_EQ(ChoosableTreatments(catalogue, "FL, 4MM", true).size(), 3u);
    std::string serie, code;
    SplitSerieCode("LAM, 44-2", serie, code);
    EXPECT_EQ(serie + "|" + code, "LAM|44-2");
}
