#include <filesystem>

#include <gtest/gtest.h>

#include "common/IniFile.h"
#include "common/UserPrompt.h"
#include "settings/AppSettings.h"
#include "settings/Languages.h"
#include "settings/SettingsChoice.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"
#include "support/TempDir.h"
#include "support/WriteProtected.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {

// A fresh installation with the shipped unit table and every data folder, settings loaded.
class SettingsChoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallSuiteFiles(dir.path());
        for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC", "Addins/ExcelEXE"})
            fs::create_directories(dir / f);
        settings = std::make_unique<AppSettings>(dir.path());
        SetCurrentSettings(settings.get());
        LoadSettings(*settings);
    }
    void TearDown() override { SetCurrentSettings(nullptr); }

    // The one box whose text contains `part`; empty when none or several do.
    std::string Box(const std::string& part) const {
        std::string found;
        int n = 0;
        for (const auto& s : prompt.shown())
            if (s.text.find(part) != std::string::npos) found = s.text, ++n;
        return n == 1 ? found : std::string();
    }

    TempDir dir;
    std::unique_ptr<AppSettings> settings;
    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(SettingsChoiceTest, TheChoiceStartsFromTheSettings) {
    settings->tempFolder = "/scratch";
    const SettingsChoice choice = CurrentChoice(*settings);
    EXPECT_EQ(choice.folders[0], dir / "DAT");
    EXPECT_EQ(choice.folders[3], "/scratch");
    EXPECT_EQ(choice.folders[5], dir / "Addins/ExcelEXE");
    EXPECT_EQ(choice.unit, 0);
    EXPECT_EQ(choice.decimals, (std::array<std::string, 2>{"1", "2"}));
    EXPECT_EQ(choice.initialDecimals, choice.decimals);
}

TEST_F(SettingsChoiceTest, FoldersAloneLeaveTheUnitFilesUntouched) {
    const std::string config = ReadText(dir / "CONFIG.INI");
    const std::string brenix = ReadText(dir / "BRENIX.INI");
    SettingsChoice choice = CurrentChoice(*settings);
    choice.folders[1] = dir / "jobs";
    fs::create_directories(dir / "jobs");
    EXPECT_TRUE(ApplySettingsChoice(*settings, choice, prompt));
    EXPECT_EQ(settings->jobFolder, dir / "jobs");
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.INI", "Directories", "TVLFilesLocation"), dir / "jobs");
    EXPECT_EQ(ReadText(dir / "CONFIG.INI"), config);
    EXPECT_EQ(ReadText(dir / "BRENIX.INI"), brenix);
    EXPECT_TRUE(prompt.shown().empty());
}

TEST_F(SettingsChoiceTest, ChangedDecimalsAreSavedForTheChosenUnitOnly) {
    SettingsChoice choice = CurrentChoice(*settings);
    // Millimetres stay chosen; the inch box was changed too, but only the chosen unit's box counts.
    choice.decimals = {" 2 ", "3"};
    EXPECT_TRUE(ApplySettingsChoice(*settings, choice, prompt));
    EXPECT_EQ(IniFile::Read(dir / "CONFIG.INI", "UM0", "NumDecimali"), "2");
    EXPECT_EQ(IniFile::Read(dir / "CONFIG.INI", "UM1", "NumDecimali"), "2") << "inches untouched";
    EXPECT_EQ(settings->current.decimals, 2);
    EXPECT_EQ(choice.decimals[0], "2") << "trimmed";
    EXPECT_EQ(choice.initialDecimals, choice.decimals) << "a second OK saves nothing new";

    choice.unit = 1;
    choice.decimals[1] = "";
    EXPECT_TRUE(ApplySettingsChoice(*settings, choice, prompt));
    EXPECT_EQ(choice.decimals[1], "0") << "an empty box counts as none";
    EXPECT_TRUE(IsInches());
    EXPECT_EQ(IniFile::Read(dir / "CONFIG.INI", "UM1", "NumDecimali"), "0");
    EXPECT_EQ(IniFile::Read(dir / "BRENIX.INI", "GenGen", "UMDef"), "Pollici Americani");
}

TEST_F(SettingsChoiceTest, AReadOnlyInstallationReportsEveryFileItCouldNotWrite) {
    SettingsChoice choice = CurrentChoice(*settings);
    choice.folders[0] = dir / "stock";
    fs::create_directories(dir / "stock");
    choice.unit = 1;
    const std::string ini = ReadText(dir / "Tavrel.INI");
    {
        WriteProtected readOnly(dir.path());
        EXPECT_FALSE(ApplySettingsChoice(*settings, choice, prompt)) << "nothing claims a save that failed";
    }
    EXPECT_EQ(ReadText(dir / "Tavrel.INI"), ini);
    EXPECT_EQ(settings->dataFolder, dir / "stock") << "the choice applies for this run";

    const std::string folders = Box("00275");
    ASSERT_FALSE(folders.empty());
    EXPECT_NE(folders.find((dir / "Tavrel.INI") + " ...... 00273\n"), std::string::npos) << folders;
    EXPECT_NE(folders.find((dir / "Tavrel.CFG") + " ...... 00273\n"), std::string::npos) << folders;

    const std::string unit = Box("00276");
    ASSERT_FALSE(unit.empty()) << "the failed unit change says so";
    EXPECT_NE(unit.find((dir / "CONFIG.INI") + " ...... 00273"), std::string::npos) << unit;
    EXPECT_TRUE(IsMillimetres());
    EXPECT_EQ(settings->units[1].found, 0) << "inches are not offered again until a restart";
    EXPECT_EQ(IniFile::Read(dir / "BRENIX.INI", "GenGen", "UMDef"), "Millimetri");
}

TEST_F(SettingsChoiceTest, AFailedUnitChangeNamesTheFileInTheWay) {
    fs::permissions(dir / "CONFIG.INI", fs::perms(0444));
    SettingsChoice choice = CurrentChoice(*settings);
    choice.unit = 1;
    EXPECT_FALSE(ApplySettingsChoice(*settings, choice, prompt));
    const std::string unit = Box("00276");
    EXPECT_NE(unit.find((dir / "CONFIG.INI") + " ...... 00272"), std::string::npos) << unit;
    EXPECT_EQ(unit.find("BRENIX.INI"), std::string::npos) << "that one could be written: " << unit;
    EXPECT_EQ(fs::status(dir / "CONFIG.INI").permissions(), fs::perms(0444)) << "restored as it was";
    EXPECT_FALSE(fs::exists(dir / "CONFIG.INI_SAV"));
    EXPECT_TRUE(Box("00275").empty()) << "the folders were saved";

    prompt.clear();
    fs::permissions(dir / "CONFIG.INI", fs::perms(0644));
    fs::remove(dir / "BRENIX.INI");
    settings->units[1].found = 1;
    choice.unit = 1;
    EXPECT_FALSE(ApplySettingsChoice(*settings, choice, prompt));
    EXPECT_NE(Box("00276").find((dir / "BRENIX.INI") + " ...... 00279"), std::string::npos) << Box("00276");
}

TEST_F(SettingsChoiceTest, TheLanguageIsStoredAndTakesEffectAtTheNextStart) {
    EXPECT_EQ(CurrentChoice(*settings).language, "en");
    fs::copy_file(fs::path(TAVREL_SOURCE_DIR) / "resources/Msg/Tavrel.it.msg", dir / "Msg/Tavrel.it.msg");
    const std::string config = ReadText(dir / "CONFIG.INI");
    SettingsChoice choice = CurrentChoice(*settings);
    choice.language = "it";
    EXPECT_TRUE(ApplySettingsChoice(*settings, choice, prompt));
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.CFG", "Configuration", "Language"), "it");
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.INI", "Directories", "DATFilesLocation"), dir / "DAT")
        << "the folders are saved beside it";
    EXPECT_EQ(ReadText(dir / "CONFIG.INI"), config) << "the unit did not change";
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text, "00391") << "the user learns it applies from the next start";
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Information);

    // The next start reads it back, and the window offers it.
    AppSettings next(dir.path());
    LoadSettings(next);
    EXPECT_EQ(next.language, "it");
    EXPECT_EQ(CurrentChoice(next).language, "it");
    EXPECT_EQ(CataloguePath(next), dir / "Msg/Tavrel.it.msg");

    // OK again without a change says nothing more; a return to English is told and stored.
    prompt.clear();
    choice = CurrentChoice(*settings);
    EXPECT_TRUE(ApplySettingsChoice(*settings, choice, prompt));
    EXPECT_TRUE(prompt.shown().empty());
    choice.language = "EN";
    EXPECT_TRUE(ApplySettingsChoice(*settings, choice, prompt));
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.CFG", "Configuration", "Language"), "en");
    EXPECT_EQ(Box("00391"), "00391");
}

TEST_F(SettingsChoiceTest, ALanguageWhoseCatalogueIsMissingIsStoredWithAWarning) {
    SettingsChoice choice = CurrentChoice(*settings);
    choice.language = "it";
    EXPECT_TRUE(ApplySettingsChoice(*settings, choice, prompt));
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.CFG", "Configuration", "Language"), "it")
        << "installed later, it is used";
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text, "00393\n\n" + (dir / "Msg/Tavrel.it.msg"));
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Exclamation);
}

TEST_F(SettingsChoiceTest, ALanguageThatCouldNotBeSavedIsNotPromisedForTheNextStart) {
    fs::copy_file(fs::path(TAVREL_SOURCE_DIR) / "resources/Msg/Tavrel.it.msg", dir / "Msg/Tavrel.it.msg");
    SettingsChoice choice = CurrentChoice(*settings);
    choice.language = "it";
    {
        WriteProtected readOnly(dir.path());
        EXPECT_FALSE(ApplySettingsChoice(*settings, choice, prompt));
    }
    EXPECT_FALSE(Box("00275").empty());
    EXPECT_TRUE(Box("00391").empty());
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.CFG", "Configuration", "Language", "<none>"), "<none>");
}
