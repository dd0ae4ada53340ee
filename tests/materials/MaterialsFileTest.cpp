#include <random>

#include <gtest/gtest.h>

#include "materials/MaterialsFile.h"
#include "model/MaterialList.h"
#include "model/ReadReport.h"
#include "support/FormatSuite.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

const char* const kHeader = "FILE_VERSION=2\n";

std::string Entry(const std::string& keyAndDescription, const std::string& numbers = "4.000") {
    return keyAndDescription + ";" + numbers +
           ";0.000;0.000;0.000;0.000;0.000;0.000;0.000;0.000;1;0.000;0.000\n0\n";
}

const CurrentUnit kMm = Millimetres();

MaterialList Read(const std::string& text, ReadReport* report = nullptr, const CurrentUnit& unit = kMm) {
    MaterialList list;
    EXPECT_TRUE(MaterialsFile::read(text, list, unit, report));
    return list;
}

}  // namespace

TEST(MaterialsFile, TheExampleEntryIsThreeLines) {
    TempDir dir;
    MaterialList list;
    Material fl("FL", "4MM", "");
    fl.description = "Float";
    fl.thickness = 4;
    list.add(fl);
    const std::string expected = std::string(kHeader) +
                                 "\"FL\";\"4MM\";\"Float\";\"\";4.000;0.000;0.000;0.000;0.000;"
                                 "0.000;0.000;0.000;0.000;1;0.000;0.000\n0\n";
    ASSERT_TRUE(list.save(dir / "Materials.dat", kMm));
    EXPECT_EQ(ReadText(dir / "Materials.dat"), expected);
    MaterialList back;
    ASSERT_TRUE(back.load(dir / "Materials.dat", kMm));
    EXPECT_EQ(back, list);
}

TEST(MaterialsFile, VersionOneBlankLinesDuplicatesAndFlags) {
    ReadReport report;
    MaterialList list = Read(
        "FILE_VERSION=1\n"
        "\"FL\";\"4MM\";\"Float\";\"\";4;0;1;2;3;4;5;6;7;2\n0\n"
        "\"FL\";\"4MM\";\"Other\";\"\";5;0;0;0;0;0;0;0;0;1\n0\n"
        "\"FL\";\"4MM\";\"Float\";\"SAT\";4;0;0;0;0;0;0;0;0;1;999;999\n0\n"
        " \t \n"
        "\"FL\";\"6MM\";\"after a blank line\";\"\";6;0;0;0;0;0;0;0;0;1\n\r\n1\n\"FL\";\"4MM\";\"\"\n"
        "\n\n",
        &report);
    ASSERT_EQ(list.count(), 3) << "blank lines end nothing";
    EXPECT_EQ(list.at(0).description, "Float") << "the first entry with a key wins";
    EXPECT_EQ(list.at(0).engineFlag, 0) << "a flag of 2 is off";
    EXPECT_EQ(list.at(0).cutParameters[6], 7.0);
    EXPECT_EQ(list.at(1).maxPlateWidth, 0.0) << "version 1 has no plate limits";
    EXPECT_EQ(list.at(2).description, "after a blank line");
    ASSERT_EQ(list.at(2).components.count(), 1) << "a blank line before the component count is skipped";
    EXPECT_EQ(report.dropped, 1);
    EXPECT_EQ(report.blankLines, 4);

    const std::string written = MaterialsFile::write(list, kMm);
    EXPECT_EQ(written.rfind(kHeader, 0), 0u);
    EXPECT_NE(written.find(";7.000;0;0.000;0.000\n"), std::string::npos)
        << "written as version 2, the flag as 0";
}

TEST(MaterialsFile, LaminatesKeepRepeatedLayers) {
    MaterialList list;
    Material lam("LAM", "44.2", "");
    lam.components.add(MaterialKey("FL", "4MM", ""), false);
    lam.components.add(MaterialKey("FL", "4MM", ""), false);
    list.add(lam);
    list.add(Material("FL", "4MM", ""));
    MaterialList back = Read(MaterialsFile::write(list, kMm));
    ASSERT_EQ(back.count(), 2);
    ASSERT_EQ(back.at(0).components.count(), 2);
    EXPECT_EQ(back.at(0).components.at(1).position, 1);
    EXPECT_EQ(back, list);

    // A component count beyond the end of the file stops there.
    ReadReport report;
    back = Read(std::string(kHeader) + "\"A\";\"B\";\"\";\"\";4;0;0;0;0;0;0;0;0;1;0;0\n5\n\"X\";\"Y\";\"\"\n",
                &report);
    EXPECT_EQ(back.at(0).components.count(), 1);
    EXPECT_EQ(report.missingLines, 4);
}

TEST(MaterialsFile, InchesConvert) {
    const CurrentUnit inches = Inches();
    MaterialList list = Read(std::string(kHeader) +
                                 "\"FL\";\"1IN\";\"\";\"\";25.400;0.454;254.000;0;0;0;0;0;0;1;2540.000;"
                                 "1270.000\n0\n",
                             nullptr, inches);
    EXPECT_DOUBLE_EQ(list.at(0).thickness, 1.0);
    EXPECT_DOUBLE_EQ(list.at(0).cutParameters[0], 10.0);
    EXPECT_DOUBLE_EQ(list.at(0).maxPlateWidth, 100.0);
    EXPECT_DOUBLE_EQ(list.at(0).maxPlateHeight, 50.0);
    EXPECT_DOUBLE_EQ(list.at(0).weight, 1.0);
    EXPECT_NE(MaterialsFile::write(list, inches).find(";25.400;0.454;254.000;"), std::string::npos);
}

TEST(MaterialsFile, TextsAndLongLinesReadBackAsSaved) {
    MaterialList list;
    Material m("FL", "4MM", "");
    m.description = "\"clear\"; extra-clear " + std::string(300, 'x');
    list.add(m);
    ReadReport report;
    MaterialsFile::clean(list, &report);
    EXPECT_EQ(report.storableFixes, 1);
    MaterialList back = Read(MaterialsFile::write(list, kMm), &report);
    EXPECT_EQ(list.at(0).description, "\"clear\", extra-clear " + std::string(300, 'x'));
    EXPECT_EQ(report.longLines, 1);
    EXPECT_EQ(back, list);
}

TEST(MaterialsFile, KeysMadeEqualByCleaningKeepTheFirst) {
    // "A;B" and "A,B" are two materials in memory; stored, both treatments read "A,B".
    MaterialList list;
    Material first("FL", "4MM", "A;B");
    first.thickness = 4;
    Material second("FL", "4MM", "A,B");
    second.thickness = 6;
    list.add(first);
    list.add(second);
    list.add(Material("FL", "6MM", "A\rB"));
    ReadReport report;
    MaterialsFile::clean(list, &report);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(report.dropped, 1);
    EXPECT_EQ(list.at(0).treatment, "A,B");
    EXPECT_DOUBLE_EQ(list.at(0).thickness, 4.0);
    EXPECT_EQ(list.at(1).treatment, "A B");
    EXPECT_EQ(Read(MaterialsFile::write(list, kMm)), list);
}

TEST(MaterialsFile, RefusedAndMissingFilesGiveAnEmptyCatalogue) {
    MaterialList list = Read(std::string(kHeader) + Entry("\"A\";\"B\";\"\";\"\""));
    EXPECT_FALSE(MaterialsFile::read("FILE_VERSION=0\n" + Entry("\"A\";\"B\";\"\";\"\""), list, kMm));
    EXPECT_TRUE(list.empty());
    list = Read(std::string(kHeader) + Entry("\"A\";\"B\";\"\";\"\""));
    TempDir dir;
    EXPECT_FALSE(list.load(dir / "none.dat", kMm));
    EXPECT_TRUE(list.empty());
}

TEST(MaterialsFile, DemoCatalogueLoads) {
    MaterialList list;
    ReadReport report;
    ASSERT_TRUE(
        list.load(std::string(TAVREL_SOURCE_DIR) + "/resources/demo/DAT/Materials.dat", kMm, &report));
    EXPECT_GE(list.count(), 10);
    EXPECT_EQ(report.dropped, 0);
    EXPECT_EQ(report.longLines, 0);
    int laminates = 0;
    for (const Material& m : list) {
        if (!m.isComposite()) continue;
        ++laminates;
        for (const MaterialKey& layer : m.components)
            EXPECT_GE(list.indexOf(layer.serie, layer.code, layer.treatment), 0)
                << "every layer is in the catalogue";
    }
    EXPECT_GE(laminates, 2);
}

// In inches a thickness of 4 mm shows as 0.16 and would be saved as 4.064 mm; unchanged, it is
// saved as it was read.
TEST(MaterialsFile, AnInchStationKeepsTheStoredMillimetres) {
    const CurrentUnit inches = Inches();
    const std::string file = std::string(kHeader) +
                             "\"FL\";\"4MM\";\"Float\";\"\";4.000;12.350;3.000;0.000;0.000;0.000;0.000;"
                             "0.000;0.000;1;3210.000;2250.000\n0\n";
    MaterialList list = Read(file, nullptr, inches);
    EXPECT_DOUBLE_EQ(list.at(0).thickness, 0.16);
    EXPECT_EQ(MaterialsFile::write(list, inches), file);
    list.at(0).thickness = 0.25;
    EXPECT_NE(MaterialsFile::write(list, inches).find(";6.350;12.350;3.000;"), std::string::npos);
}

namespace {

struct MaterialsFormat : ListFormat<MaterialList, MaterialsFile> {
    static Model Random(std::mt19937& rng, const FormatValues& values) {
        auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        auto text = [&](const std::string& alphabet, int maxLength) {
            std::string s;
            for (int n = pick(maxLength + 1); n > 0; --n)
                s += alphabet[std::size_t(pick(int(alphabet.size())))];
            return s;
        };
        const std::string keyChars = "ABCXYZ0123_-";
        MaterialList list;
        for (int i = pick(30); i > 0; --i) {
            Material m(text(keyChars, 3), text(keyChars, 4), text(keyChars + " .", 4));
            m.description = text("abc \"'|/.,\xC3\xA9\xC9", 30);
            m.thickness = values.Length(rng);
            m.weight = values.Weight(rng);
            for (double& p : m.cutParameters) p = values.Length(rng);
            m.engineFlag = pick(2);
            m.maxPlateWidth = values.Length(rng);
            m.maxPlateHeight = values.Length(rng);
            for (int c = pick(4) - 1; c > 0; --c)
                m.components.add(MaterialKey(text(keyChars, 3), text(keyChars, 3), ""), false);
            list.add(m);
        }
        return list;
    }
    static void SetFirstLength(Model& model, double value) { model.at(0).thickness = value; }
    static constexpr int kFirstLengthLine = 1;
    static constexpr int kFirstLengthField = 4;
    static const char* Sample() {
        return "FILE_VERSION=2\n"
               "\"FL\";\"4MM\";\"Float\";\"\";4.000;10.000;1.000;2.000;3.000;4.000;5.000;6.000;7.000;1;0.000;"
               "0.000\n0\n"
               "\"LAM\";\"33.1\";\"Laminate\";\"\";6.380;15.000;0.000;0.000;0.000;0.000;0.000;0.000;0.000;1;"
               "3000.000;2000.000\n2\n\"FL\";\"3MM\";\"\"\n\"FL\";\"3MM\";\"\"\n";
    }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Materials, FormatSuite, MaterialsFormat);
