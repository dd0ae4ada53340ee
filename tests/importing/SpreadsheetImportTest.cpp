#include <filesystem>

#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/UserPrompt.h"
#include "importing/ImportProgram.h"
#include "importing/SpreadsheetImport.h"
#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/SpreadsheetResult.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "support/FakeImportProgram.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) { return SplitLines(text); }

class PieceImport : public ::testing::Test {
protected:
    void SetUp() override {
        settings = std::make_unique<AppSettings>(dir.path());
        settings->current = Millimetres();
        fs::create_directories(settings->dataFolder);
        fs::create_directories(settings->excelImportFolder);
        MaterialList materials;
        materials.add(Material("FL", "4MM", "SAT"));
        materials.add(Material("FL", "4MM", ""));
        materials.add(Material("", "NOSERIE", ""));
        Material laminate("LAM", "33", "");
        laminate.components.add(MaterialKey("FL", "4MM", ""), false);
        materials.add(laminate);
        ASSERT_TRUE(materials.save(MaterialsFile::pathIn(settings->dataFolder), settings->current));
    }
    void TearDown() override { ProbeExcelImport(std::string()); }
    std::string program() const { return settings->excelImportFolder + "/ExcelImport"; }
    std::string importFolder() const { return settings->excelImportFolder + "/IMPORT"; }
    std::string seen(const std::string& name) const {
        return ReadText(settings->excelImportFolder + "/" + name);
    }

    TempDir dir;
    std::unique_ptr<AppSettings> settings;
    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(PieceImport, TemplateLinesInTheirOrder) {
    MaterialList materials;
    ASSERT_TRUE(materials.load(MaterialsFile::pathIn(settings->dataFolder), settings->current));
    materials.sort(false);
    const auto lines = Lines(PieceTemplateText("/imp/IMPORT", "12/08/26 10:11:12", materials));
    const std::vector<std::string> expected = {
        "; TAVREL. DATETIME=12/08/26 10:11:12", "", "[XNI_GENERAL]", "OUTPUT_FOLDER=/imp/IMPORT",
        "OUTPUT_EXTENSION=TVX", "FORMAT=TAVREL", "TITLE=00219", ";", "FILE_VERSION=1", "DATA_SEPARATOR=|",
        "OUTPUT_DECIMAL_SEPARATOR=.", "OUTPUT_THOUSAND_SEPARATOR=,", "VALUES_DECIMAL_SEPARATOR=.",
        "VALUES_THOUSAND_SEPARATOR=,", "CREATE_UNIVOCAL_KEY=YES", "LANGUAGE=00000", "", "[XNI_FIELDS]",
        "F_1=00124|S16|KEY", "F_2=00134|N", "F_3=00135|N+3", "F_4=00136|N+3", "F_5=00137|WS7",
        "F_6=00138|WS8", "F_7=00139|OS", "F_8=SHIDDEN", "F_9=00141|OS|KEY", "F_10=00142|OS", "",
        "[XNI_OUT_FIELDS_MAP]", "O_1=F_5", "O_2=F_6", "O_3=F_7", "O_4=F_2", "O_5=F_3", "O_6=F_4", "O_7=F_1",
        "O_8=F_8", "O_9=F_9", "O_10=F_10", "", "[XNI_TREE_FIELDS]", "T_1=F_5|F_6|F_7", "", "[XNI_VALUES]",
        // Sorted by serie + code + treatment; the laminate is listed, the entry without a serie
        // is skipped without using a number.
        "V_1=T_1|FL|4MM", "V_2=T_1|FL|4MM|SAT", "V_3=T_1|LAM|33"};
    EXPECT_EQ(lines, expected);
}

TEST_F(PieceImport, AvailabilityIsRememberedUntilTheFolderIsTestedAgain) {
    std::string path = "x";
    EXPECT_FALSE(ProbeExcelImport(settings->excelImportFolder));
    EXPECT_FALSE(ExcelImportAvailable(&path));
    EXPECT_EQ(path, "");
    WriteFakeImportProgram(program(), "exit 0");
    EXPECT_FALSE(ExcelImportAvailable()) << "not looked at again until the folder is tested";
    EXPECT_TRUE(ProbeExcelImport(settings->excelImportFolder));
    EXPECT_TRUE(ExcelImportAvailable(&path));
    EXPECT_EQ(path, program());
    fs::remove(program());
    EXPECT_TRUE(ExcelImportAvailable()) << "the cache stays";
    fs::create_directories(program());
    EXPECT_FALSE(ProbeExcelImport(settings->excelImportFolder)) << "a folder is no program";
    EXPECT_FALSE(ProbeExcelImport(std::string()));

    // Reading the settings tests the folder they name.
    fs::remove(program());
    WriteFakeImportProgram(program(), "exit 0");
    InstallSuiteFiles(dir.path());
    LoadSettings(*settings);
    EXPECT_TRUE(ExcelImportAvailable(&path));
    EXPECT_EQ(path, program());
}

TEST_F(PieceImport, CommandLineNamesTheTemplateAsOneArgument) {
    std::string program, line;
    EXPECT_FALSE(ImportCommand("/a/TAVREL.XNI", program, line)) << "not available";
    WriteFakeImportProgram(this->program(), "exit 0");
    ASSERT_TRUE(ProbeExcelImport(settings->excelImportFolder));
    ASSERT_TRUE(ImportCommand("/a/IMPORT/TAVREL.XNI", program, line));
    EXPECT_EQ(program, this->program());
    EXPECT_EQ(line, "ExcelImport /INI=[/a/IMPORT/TAVREL.XNI]");
    ASSERT_TRUE(ImportCommand("/My Tavrel/IMPORT/TAVREL.XNI", program, line));
    EXPECT_EQ(line, "ExcelImport \"/INI=[/My Tavrel/IMPORT/TAVREL.XNI]\"");
    EXPECT_FALSE(ImportCommand("/a\"b/TAVREL.XNI", program, line));
}

TEST_F(PieceImport, ImportFolderNeedsTheProgramFolder) {
    std::string folder;
    EXPECT_TRUE(ImportFolder(*settings, false, folder)) << "missing IMPORT is fine without create";
    EXPECT_EQ(folder, importFolder());
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(ImportFolder(*settings, true, folder));
    EXPECT_TRUE(fs::is_directory(folder));
    settings->excelImportFolder = dir / "nowhere";
    EXPECT_FALSE(ImportFolder(*settings, true, folder));
    EXPECT_FALSE(fs::exists(dir / "nowhere"));
}

TEST_F(PieceImport, RunHandsTheTemplateOverWaitsAndListsTheNewResult) {
    // A folder with a blank, as an installation in "Program Files" would have.
    settings->excelImportFolder = dir / "Add ins/ExcelEXE";
    fs::create_directories(settings->excelImportFolder);
    WriteFakeImportProgram(program(),
                           "cat > \"$HERE/IMPORT/order.TVX\" <<'END'\n"
                           "FL;4MM;SAT;2;1000;500;P1\n"
                           "FL;4MM;;x;1000;500;P2\n"
                           "[XNI_GENERAL]\nFORMAT=TAVREL\nDESCRIPTION=Customer X\nFILE_VERSION=1\n"
                           "END\n"
                           "exit 3");
    ASSERT_TRUE(ProbeExcelImport(settings->excelImportFolder));
    std::vector<std::string> rows{"stale"};
    ASSERT_TRUE(ListResults(*settings, rows));
    EXPECT_TRUE(rows.empty()) << "an empty folder lists nothing";

    const SpreadsheetImportRun run = RunSpreadsheetImport(*settings, prompt);
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(prompt.shown().empty()) << "the exit code is the program's own affair";
    const std::string templatePath = importFolder() + "/TAVREL.XNI";
    EXPECT_EQ(Lines(seen("args.txt")), (std::vector<std::string>{"1", "/INI=[" + templatePath + "]"}));
    const auto lines = Lines(seen("template.seen"));
    ASSERT_GT(lines.size(), 45u);
    EXPECT_EQ(lines[3], "OUTPUT_FOLDER=" + importFolder());
    EXPECT_EQ(lines[45], "V_1=T_1|FL|4MM");
    EXPECT_FALSE(fs::exists(templatePath)) << "the template is removed after the run";

    ASSERT_TRUE(ListResults(*settings, rows));
    ASSERT_EQ(rows, (std::vector<std::string>{"order\t[Customer X]"}));
    ChosenResult chosen;
    ASSERT_TRUE(ChooseResult(*settings, rows[0], chosen));
    EXPECT_EQ(chosen.name, "order");
    EXPECT_EQ(chosen.description, "Customer X");
    Job job;
    const SpreadsheetResultReport report = job.importSpreadsheet(chosen.path, settings->current);
    ASSERT_EQ(job.pieces.count(), 1);
    EXPECT_EQ(job.pieces.at(0).quantity, 2);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].line, 2);
}

TEST_F(PieceImport, AProgramThatWritesNothingOrCannotRun) {
    // Missing: nothing runs, no template is left, no box (the window has no import button).
    ASSERT_FALSE(ProbeExcelImport(settings->excelImportFolder));
    SpreadsheetImportRun run = RunSpreadsheetImport(*settings, prompt);
    EXPECT_FALSE(run.available);
    EXPECT_FALSE(fs::exists(importFolder() + "/TAVREL.XNI"));
    EXPECT_TRUE(prompt.shown().empty());

    // A program that is cancelled and writes nothing.
    WriteFakeImportProgram(program(), "exit 0");
    ASSERT_TRUE(ProbeExcelImport(settings->excelImportFolder));
    run = RunSpreadsheetImport(*settings, prompt);
    EXPECT_TRUE(run.started);
    std::vector<std::string> rows;
    ASSERT_TRUE(ListResults(*settings, rows));
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(prompt.shown().empty());

    // Found at the last test, gone (or not runnable) when the button is pressed: the user is told.
    fs::permissions(program(), fs::perms::owner_read, fs::perm_options::replace);
    run = RunSpreadsheetImport(*settings, prompt);
    EXPECT_FALSE(run.started);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text.rfind("00410\n" + program(), 0), 0u) << prompt.shown()[0].text;
    fs::remove(program());
    run = RunSpreadsheetImport(*settings, prompt);
    EXPECT_FALSE(run.started);
    EXPECT_EQ(prompt.shown().size(), 2u);
    EXPECT_FALSE(fs::exists(importFolder() + "/TAVREL.XNI"));

    // The import folder cannot be made.
    WriteFakeImportProgram(program(), "exit 0");
    fs::remove_all(importFolder());
    WriteText(importFolder(), "a file where the folder belongs");
    run = RunSpreadsheetImport(*settings, prompt);
    EXPECT_FALSE(run.templateWritten);
    ASSERT_EQ(prompt.shown().size(), 3u);
    EXPECT_EQ(prompt.shown()[2].text.rfind("00412\n", 0), 0u);
}

TEST_F(PieceImport, ListingTakesEveryResultOfTheFormat) {
    fs::create_directories(importFolder());
    auto result = [&](const std::string& name, const std::string& format, const std::string& description) {
        std::string text = "FL;4MM;;1;100;100\r\n[XNI_GENERAL]\r\nFORMAT=" + format +
                           "\r\nDESCRIPTION=" + description + "\r\nFILE_VERSION=1\r\n";
        WriteText(importFolder() + "/" + name, text);
    };
    result("a.TVX.TVX", "TAVREL", "twice");
    result("b.tvx", "tavrel", "lower case \xC9");
    result("c.TVX", "OTHER", "not ours");
    result("d.TVX", "TAVREL", "");
    result("e.TVX", "TAVREL", "read-only");
    fs::permissions(importFolder() + "/e.TVX", fs::perms::owner_read, fs::perm_options::replace);
    fs::create_directories(importFolder() + "/f.TVX");
    result("g.txt", "TAVREL", "other extension");
    std::vector<std::string> rows;
    ASSERT_TRUE(ListResults(*settings, rows));
    EXPECT_EQ(rows,
              (std::vector<std::string>{"a\t[twice]", "b\t[lower case \xC9]", "d\t[]", "e\t[read-only]"}));

    ChosenResult chosen;
    ASSERT_TRUE(ChooseResult(*settings, rows[0], chosen));
    EXPECT_EQ(chosen.path, importFolder() + "/a.TVX.TVX");
    ASSERT_TRUE(ChooseResult(*settings, rows[1], chosen));
    EXPECT_EQ(chosen.path, importFolder() + "/b.tvx") << "the file as the disk spells it";
    EXPECT_EQ(chosen.description, "lower case \xC9");
    EXPECT_FALSE(ChooseResult(*settings, "no tab", chosen));
    fs::remove(importFolder() + "/d.TVX");
    EXPECT_FALSE(ChooseResult(*settings, rows[2], chosen)) << "gone since the listing";

    settings->excelImportFolder = dir / "nowhere";
    rows = {"kept"};
    EXPECT_FALSE(ListResults(*settings, rows));
    EXPECT_EQ(rows, std::vector<std::string>{"kept"});
}
