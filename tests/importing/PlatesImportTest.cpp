#include <filesystem>

#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/Messages.h"
#include "common/UserPrompt.h"
#include "importing/PlatesImport.h"
#include "materials/MaterialsFile.h"
#include "model/MaterialList.h"
#include "plates/PlatesFile.h"
#include "settings/AppSettings.h"
#include "support/FakeImportProgram.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;
namespace fs = std::filesystem;

namespace {

// The labels of a catalogue in another language, to see how they become field names.
class Labels : public MessageCatalogue {
public:
    std::string Message(const std::string& id) const override {
        if (id == "00194") return "Quantità :";
        if (id == "00066") return "Priorità:";
        if (id == "00067") return "Bordo lastra:";
        if (id == "00068") return "Verso di taglio:";
        return id;
    }
};

class PlatesImport : public ::testing::Test {
protected:
    void SetUp() override {
        settings = std::make_unique<AppSettings>(dir.path());
        settings->current = Millimetres();
        fs::create_directories(settings->dataFolder);
        fs::create_directories(settings->excelImportFolder);
        MaterialList materials;
        materials.add(Material("FL", "4MM", "SAT"));
        Material laminate("LAM", "33", "");
        laminate.components.add(MaterialKey("FL", "4MM", ""), false);
        materials.add(laminate);
        materials.add(Material("FL", "4MM", ""));
        ASSERT_TRUE(materials.save(MaterialsFile::pathIn(settings->dataFolder), settings->current));
        WriteText(catalogue(),
                  "FILE_VERSION=2\r\n\"FL\";\"4MM\";\"\";4;3210.000;2250.000;0;0.000;2;0;0.000000\r\n");
    }
    std::string program() const { return settings->excelImportFolder + "/PlatesExcelImport"; }
    std::string catalogue() const { return PlatesFile::pathIn(settings->dataFolder); }
    std::string folder() const { return settings->excelImportFolder + "/IMPORT/PLATES"; }

    TempDir dir;
    std::unique_ptr<AppSettings> settings;
    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(PlatesImport, TemplateLinesWithPlainMaterialsOnly) {
    MaterialList materials;
    ASSERT_TRUE(materials.load(MaterialsFile::pathIn(settings->dataFolder), settings->current));
    materials.sort(false);
    const std::vector<std::string> expected = {"; TAVREL. DATETIME=now",
                                               "",
                                               "[XNI_GENERAL]",
                                               "OUTPUT_FOLDER=/i/IMPORT/PLATES",
                                               "OUTPUT_EXTENSION=PLX",
                                               "FORMAT=TAVREL_plates",
                                               "TITLE=Importazione di lastre da EXCEL \xC2\xAE",
                                               ";",
                                               "FILE_VERSION=1",
                                               "DATA_SEPARATOR=|",
                                               "OUTPUT_DECIMAL_SEPARATOR=.",
                                               "OUTPUT_THOUSAND_SEPARATOR=,",
                                               "VALUES_DECIMAL_SEPARATOR=.",
                                               "VALUES_THOUSAND_SEPARATOR=,",
                                               "CREATE_UNIVOCAL_KEY=YES",
                                               "LANGUAGE=00000",
                                               "DEFAULTCRITERIA=|#|#|#|#|#|#|0#|0#|0#",
                                               "PLATESORIGINALFILE=/d/Plates.dat",
                                               "",
                                               "[XNI_FIELDS]",
                                               "F_1=00137|WS7",
                                               "F_2=00138|WS8",
                                               "F_3=00139|OS",
                                               "F_4=00194|N",
                                               "F_5=00135|N+3",
                                               "F_6=00136|N+3",
                                               "F_7=00066|N",
                                               "F_8=00067|N+3",
                                               "F_9=00068(0/1/2->Vert/Oriz/V+O)|N",
                                               "F_10=HIDDEN_0",
                                               "F_11=HIDDEN_0.000000",
                                               "",
                                               "[XNI_OUT_FIELDS_MAP]",
                                               "O_1=F_1",
                                               "O_2=F_2",
                                               "O_3=F_3",
                                               "O_4=F_4",
                                               "O_5=F_5",
                                               "O_6=F_6",
                                               "O_7=F_7",
                                               "O_8=F_8",
                                               "O_9=F_9",
                                               "O_10=F_10",
                                               "O_11=F_11",
                                               "",
                                               "[XNI_TREE_FIELDS]",
                                               "T_1=F_1|F_2|F_3",
                                               "",
                                               "[XNI_VALUES]",
                                               "V_1=T_1|FL|4MM",
                                               "V_2=T_1|FL|4MM|SAT"};
    EXPECT_EQ(SplitLines(PlatesTemplateText("/i/IMPORT/PLATES", "/d/Plates.dat", "now", materials)),
              expected);

    Labels labels;
    SetCurrentCatalogue(&labels);
    const auto lines = SplitLines(PlatesTemplateText("/i", "/d", "now", materials));
    SetCurrentCatalogue(nullptr);
    EXPECT_EQ(lines[23], "F_4=Quantità|N") << "colon and blanks removed";
    EXPECT_EQ(lines[26], "F_7=Priorità|N");
    EXPECT_EQ(lines[27], "F_8=Bordo_lastra|N+3") << "blank to underscore, no colon";
    EXPECT_EQ(lines[28], "F_9=Verso_di_taglio(0/1/2->Vert/Oriz/V+O)|N");
}

TEST_F(PlatesImport, FoldersAndTheProgramAreLookedFor) {
    EXPECT_EQ(ProbePlatesImport(*settings), "");
    WriteFakeImportProgram(program(), "exit 0");
    EXPECT_EQ(ProbePlatesImport(*settings), program());
    std::string path;
    EXPECT_TRUE(PlatesImportFolder(*settings, false, path));
    EXPECT_EQ(path, folder());
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(PlatesImportFolder(*settings, true, path));
    EXPECT_TRUE(fs::is_directory(path)) << "both levels made";
    settings->excelImportFolder = dir / "nowhere";
    EXPECT_EQ(ProbePlatesImport(*settings), "");
    EXPECT_FALSE(PlatesImportFolder(*settings, true, path));
}

TEST_F(PlatesImport, AChangeThatKeepsTheSizeIsSeen) {
    const std::string before = ReadText(catalogue());
    // Quantity 4 becomes 7: the file keeps its size.
    WriteFakeImportProgram(program(),
                           "sed -i 's/;4;3210/;7;3210/' \"$(sed -n 's/^PLATESORIGINALFILE=//p' \"$INI\")\"");
    PlatesImportRun run = RunPlatesImport(*settings, program(), prompt);
    EXPECT_TRUE(run.started);
    const std::string after = ReadText(catalogue());
    ASSERT_EQ(after.size(), before.size());
    ASSERT_NE(after, before) << "the fake changed the catalogue named in the template";
    EXPECT_TRUE(run.changed);
    EXPECT_EQ(SplitLines(ReadText(settings->excelImportFolder + "/args.txt")),
              (std::vector<std::string>{"1", "/INI=[" + folder() + "/TAVREL_plates.XNI]"}));
    EXPECT_FALSE(fs::exists(folder() + "/TAVREL_plates.XNI"));
    EXPECT_TRUE(prompt.shown().empty());

    // Rewritten with the same bytes under another modification time, or not touched: no
    // change, as the plates the window shows are still those of the file.
    const auto stamp = fs::last_write_time(catalogue());
    WriteFakeImportProgram(program(),
                           "P=$(sed -n 's/^PLATESORIGINALFILE=//p' \"$INI\")\n"
                           "cp \"$P\" \"$P.new\" && touch -d @1000000000 \"$P.new\" && mv \"$P.new\" \"$P\"");
    run = RunPlatesImport(*settings, program(), prompt);
    EXPECT_TRUE(run.started);
    ASSERT_NE(fs::last_write_time(catalogue()), stamp) << "the fake rewrote the catalogue";
    EXPECT_EQ(ReadText(catalogue()), after);
    EXPECT_FALSE(run.changed);
    // A change that keeps both the size and the modification time is still seen.
    WriteFakeImportProgram(program(),
                           "P=$(sed -n 's/^PLATESORIGINALFILE=//p' \"$INI\")\n"
                           "cp -p \"$P\" \"$P.ref\" && sed -i 's/;7;3210/;9;3210/' \"$P\" && "
                           "touch -r \"$P.ref\" \"$P\" && rm \"$P.ref\"");
    const auto kept = fs::last_write_time(catalogue());
    run = RunPlatesImport(*settings, program(), prompt);
    ASSERT_EQ(fs::last_write_time(catalogue()), kept);
    ASSERT_EQ(ReadText(catalogue()).size(), after.size());
    ASSERT_NE(ReadText(catalogue()), after);
    EXPECT_TRUE(run.changed);
    WriteFakeImportProgram(program(), "exit 1");
    run = RunPlatesImport(*settings, program(), prompt);
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.changed);

    // A catalogue made by the first import counts as a change.
    fs::remove(catalogue());
    WriteFakeImportProgram(program(),
                           "printf 'FILE_VERSION=2\\n' > \"$(sed -n 's/^PLATESORIGINALFILE=//p' \"$INI\")\"");
    EXPECT_TRUE(RunPlatesImport(*settings, program(), prompt).changed);
}

TEST_F(PlatesImport, NothingRunsWithoutAProgramAndFailuresAreTold) {
    PlatesImportRun run = RunPlatesImport(*settings, "", prompt);
    EXPECT_FALSE(run.templateWritten);
    EXPECT_FALSE(fs::exists(folder()));
    EXPECT_TRUE(prompt.shown().empty());

    run = RunPlatesImport(*settings, program(), prompt);  // found when the window opened, gone now
    EXPECT_FALSE(run.started);
    EXPECT_FALSE(run.changed);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text.rfind("00410\n" + program(), 0), 0u);
    EXPECT_FALSE(fs::exists(folder() + "/TAVREL_plates.XNI"));

    settings->excelImportFolder = dir / "nowhere";
    run = RunPlatesImport(*settings, program(), prompt);
    EXPECT_FALSE(run.templateWritten);
    ASSERT_EQ(prompt.shown().size(), 2u);
    EXPECT_EQ(prompt.shown()[1].text.rfind("00412\n", 0), 0u);
}
