#include <gtest/gtest.h>

#include <filesystem>

#include "settings/AppSettings.h"
#include "app/Startup.h"
#include "common/IniFile.h"
#include "common/UserPrompt.h"
#include "suite/KLanguage.h"
#include "suite/SuiteLibrary.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct Started {
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<KLanguage> language;
    SuiteLibrary library;
    ScriptedPrompt prompt;
    StartupResult result;

    explicit Started(const std::string& folder) {
        const std::string cwd = fs::current_path().string();
        settings = std::make_unique<AppSettings>(folder);
        result = RunStartup(*settings, prompt, language, library);
        fs::current_path(cwd);
    }
    ~Started() {
        SetCurrentSettings(nullptr);
        SetCurrentCatalogue(nullptr);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& s : prompt.shown()) t.push_back(s.text);
        return t;
    }
};

const std::string kExpectedIniKeys[] = {"DATFilesLocation",       "TVLFilesLocation", "R01FilesLocation",
                                        "TemporaryFilesLocation", "CNCFilesLocation", "EXCELIMPORTFilesLocation"};

}  // namespace

TEST(Startup, FirstStartInAnEmptyInstallation) {
    TempDir dir;
    {
        Started run(dir.path());
        for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC"}) EXPECT_TRUE(fs::is_directory(dir / f)) << f;
        EXPECT_FALSE(fs::exists(dir / "Addins")) << "only one folder level is ever created";
        EXPECT_FALSE(run.result.foldersOk);
        EXPECT_FALSE(run.result.libraryOk);
        // Two boxes: the missing engine library, then the one folder report naming the import folder.
        ASSERT_EQ(run.prompt.shown().size(), 2u);
        EXPECT_NE(run.Texts()[0].find("00117 'libZORUDIR.so'"), std::string::npos);
        EXPECT_EQ(run.prompt.shown()[1].icon, PromptIcon::Information);
        EXPECT_EQ(run.Texts()[1], "00073\n\n\n00207\n\n00218 ...... " + (dir / "Addins/ExcelEXE") + "\n");
        for (const auto& key : kExpectedIniKeys)
            EXPECT_NE(IniFile::Read(dir / "Tavrel.INI", "Directories", key), "") << key;
        EXPECT_NE(IniFile::Read(dir / "Tavrel.CFG", "Configuration", "DlgOptiEditorParameters"), "");
        EXPECT_EQ(run.settings->selectedUnit, 0) << "no unit table: the millimetre fallback";
    }
    fs::create_directories(dir / "Addins");
    Started again(dir.path());
    EXPECT_TRUE(fs::is_directory(dir / "Addins/ExcelEXE")) << "created once Addins exists";
    EXPECT_TRUE(again.result.foldersOk);
}

TEST(Startup, MovedDataFolderIsReportedNotCreated) {
    TempDir dir;
    InstallSuiteFiles(dir.path());
    fs::create_directories(dir / "Addins/ExcelEXE");
    const std::string moved = dir / "elsewhere/DAT";
    WriteText(dir / "Tavrel.INI", "[Directories]\nDATFilesLocation=" + moved + "\n");
    Started run(dir.path());
    EXPECT_FALSE(fs::exists(moved));
    EXPECT_FALSE(run.result.foldersOk);
    const std::string last = run.Texts().back();
    EXPECT_NE(last.find("Catalogue files folder"), std::string::npos) << "message 00014 from the catalogue";
    EXPECT_NE(last.find(" ...... " + moved + "\n"), std::string::npos);
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.INI", "Directories", "DATFilesLocation"), moved);
    EXPECT_TRUE(FoldersPresent(*run.settings) == false);
}

TEST(Startup, CncFolderIsForcedBack) {
    TempDir dir;
    InstallSuiteFiles(dir.path());
    fs::create_directories(dir / "Addins/ExcelEXE");
    WriteText(dir / "Tavrel.INI", "[Directories]\nCNCFilesLocation=/somewhere/else/CNC\n");
    Started run(dir.path());
    EXPECT_TRUE(run.result.cncReset);
    EXPECT_EQ(run.settings->cncFolder, dir / "CNC");
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.INI", "Directories", "CNCFilesLocation"), dir / "CNC");
    ASSERT_GE(run.prompt.shown().size(), 2u);
    const auto& warning = run.prompt.shown()[1];
    EXPECT_EQ(warning.icon, PromptIcon::Exclamation);
    EXPECT_NE(warning.text.find("  [ /somewhere/else/CNC ] ...\n\n... "), std::string::npos) << warning.text;
    EXPECT_TRUE(run.result.foldersOk);
}

TEST(Startup, CncFolderDifferingOnlyInCaseIsAccepted) {
    TempDir dir;
    InstallSuiteFiles(dir.path());
    std::string upper = dir.path() + "/cnc";
    WriteText(dir / "Tavrel.INI", "[Directories]\nCNCFilesLocation=" + upper + "\n");
    Started run(dir.path());
    EXPECT_FALSE(run.result.cncReset);
    EXPECT_EQ(run.settings->cncFolder, upper);
    EXPECT_TRUE(fs::is_directory(upper)) << "equal to its default place without regard to case: created";
}

TEST(Startup, CatalogueAndUnitsComeFromTheInstallation) {
    TempDir dir;
    InstallSuiteFiles(dir.path());
    Started run(dir.path());
    EXPECT_EQ(Msg("00000"), "English");
    EXPECT_EQ(IniFile::Read(dir / "BRENIX.INI", "GenGen", "Lingua"), "English");
    EXPECT_EQ(run.settings->selectedUnit, 0);
    EXPECT_EQ(run.settings->units[1].found, 1);
    EXPECT_EQ(run.prompt.shown()[0].captionId, "00073");
}
