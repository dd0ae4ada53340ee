#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "common/IniFile.h"
#include "common/UserPrompt.h"
#include "settings/AppSettings.h"
#include "settings/DataFolders.h"
#include "settings/SettingsFiles.h"
#include "support/TempDir.h"
#include "support/WriteProtected.h"

using namespace tavrel;

namespace fs = std::filesystem;

TEST(DataFolders, EveryKeyReachesItsOwnField) {
    TempDir dir;
    AppSettings s(dir.path());
    std::string ini = "[Directories]\n";
    for (const auto& row : DataFolders()) ini += std::string(row.iniKey) + "=/stored/" + row.iniKey + "\n";
    WriteText(s.iniPath, ini);
    LoadSettings(s);
    for (const auto& row : DataFolders()) EXPECT_EQ(s.*row.field, std::string("/stored/") + row.iniKey);

    // And back: a start writes every field under its own key.
    for (const auto& row : DataFolders()) s.*row.field = std::string("/saved/") + row.defaultName;
    EXPECT_TRUE(SaveDirectories(s, true).empty());
    for (const auto& row : DataFolders())
        EXPECT_EQ(IniFile::Read(s.iniPath, "Directories", row.iniKey),
                  std::string("/saved/") + row.defaultName);
}

TEST(DataFolders, TheTableHoldsEachFolderOnce) {
    std::set<std::string> names, keys, messages;
    std::set<int> controls;
    const AppSettings probe("/inst");
    std::set<const std::string*> fields;
    for (const auto& row : DataFolders()) {
        names.insert(row.defaultName);
        keys.insert(row.iniKey);
        messages.insert(row.messageId);
        controls.insert(row.editId);
        controls.insert(row.browseId);
        fields.insert(&(probe.*row.field));
    }
    EXPECT_EQ(names.size(), size_t(kDataFolderCount));
    EXPECT_EQ(keys.size(), size_t(kDataFolderCount));
    EXPECT_EQ(messages.size(), size_t(kDataFolderCount));
    EXPECT_EQ(fields.size(), size_t(kDataFolderCount));
    EXPECT_EQ(controls.size(), size_t(2 * kDataFolderCount)) << "no control serves two folders";
    EXPECT_EQ(DataFolders()[kCncFolderPosition].field, &AppSettings::cncFolder);
    // The defaults of a fresh installation are the table's names below it.
    TempDir dir;
    AppSettings s(dir.path());
    EXPECT_EQ(s.excelImportFolder, dir / "Addins/ExcelEXE");
}

TEST(DataFolders, OnlyAFolderAtItsDefaultPlaceIsCreated) {
    TempDir dir;
    AppSettings s(dir.path());
    bool missing = true, cannotCreate = true;
    EXPECT_EQ(FolderProblem(s, dir / "DAT", "DAT", "00014", &missing, &cannotCreate), "");
    EXPECT_TRUE(fs::is_directory(dir / "DAT"));
    EXPECT_FALSE(missing);
    EXPECT_FALSE(cannotCreate);
    EXPECT_EQ(FolderProblem(s, dir / "dat2", "DAT", "00014", &missing, &cannotCreate),
              "00014 ...... " + (dir / "dat2") + "\n");
    EXPECT_FALSE(fs::exists(dir / "dat2"));
    EXPECT_TRUE(missing);
    EXPECT_FALSE(cannotCreate) << "a moved folder is not ours to create";
    // Its parent missing, the import folder simply is not there.
    EXPECT_NE(FolderProblem(s, dir / "Addins/ExcelEXE", "Addins\\ExcelEXE", "00218", &missing, &cannotCreate),
              "");
    EXPECT_FALSE(cannotCreate);
    {
        WriteProtected readOnly(dir.path());
        EXPECT_NE(FolderProblem(s, dir / "TVL", "TVL", "00015", &missing, &cannotCreate), "");
        EXPECT_TRUE(cannotCreate);
        EXPECT_EQ(FolderProblem(s, dir / "DAT", "DAT", "00014", &missing, &cannotCreate), "")
            << "exists already";
    }
}

TEST(DataFolders, CheckFoldersSaysWhichAreMissingAndWhichCannotBeCreated) {
    TempDir dir;
    AppSettings s(dir.path());
    ScriptedPrompt prompt;
    fs::create_directories(dir / "DAT");
    s.jobFolder = dir / "moved/TVL";
    {
        WriteProtected readOnly(dir.path());
        EXPECT_FALSE(CheckFolders(s, prompt));
    }
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text, "00073\n\n\n00207\n\n00015 ...... " + (dir / "moved/TVL") +
                                          "\n00218 ...... " + (dir / "Addins/ExcelEXE") +
                                          "\n\n00270\n\n00016 ...... " + (dir / "M.R") + "\n00017 ...... " +
                                          (dir / "TEMP") + "\n00018 ...... " + (dir / "CNC") + "\n");
    prompt.clear();
    fs::create_directories(dir / "moved/TVL");
    fs::create_directories(dir / "Addins");
    EXPECT_TRUE(CheckFolders(s, prompt));
    EXPECT_TRUE(prompt.shown().empty()) << "all there: no box";
}

TEST(DataFolders, CncRuleLeavesTheDefaultInAnyLetterCaseAlone) {
    TempDir dir;
    AppSettings s(dir.path());
    ScriptedPrompt prompt;
    s.cncFolder = dir.path() + "/cnc";
    EXPECT_FALSE(EnforceCncFolder(s, prompt));
    EXPECT_TRUE(prompt.shown().empty());
    s.cncFolder = "/other/CNC";
    std::vector<FailedSave> failed;
    EXPECT_TRUE(EnforceCncFolder(s, prompt, &failed));
    EXPECT_EQ(s.cncFolder, dir / "CNC");
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(IniFile::Read(s.iniPath, "Directories", "CNCFilesLocation"), dir / "CNC");
}

TEST(DataFolders, AFormerInstallationIsKnownByItsCncFolder) {
    TempDir dir;
    std::string former;
    AppSettings s(dir.path());
    EXPECT_TRUE(AdoptFormerInstallationFolders(s, former).empty()) << "a fresh installation";
    EXPECT_EQ(former, "");

    // Only the CNC key elsewhere: a hand edit, which the CNC rule answers.
    s.cncFolder = "/old/CNC";
    EXPECT_TRUE(AdoptFormerInstallationFolders(s, former).empty());
    // A CNC folder of another name is no installation's.
    s.cncFolder = "/old/machine";
    s.dataFolder = "/old/DAT";
    EXPECT_TRUE(AdoptFormerInstallationFolders(s, former).empty());
    EXPECT_EQ(s.dataFolder, "/old/DAT");

    // The old installation holds this one (a copy put inside it): our own folders stay ours.
    AppSettings inner(dir / "copy");
    inner.cncFolder = dir / "CNC";
    inner.tempFolder = dir / "TEMP";
    inner.dataFolder = dir / "copy/DAT";
    const auto moved = AdoptFormerInstallationFolders(inner, former);
    EXPECT_EQ(former, dir.path());
    EXPECT_EQ(moved, (std::vector<int>{3, 4}));
    EXPECT_EQ(inner.tempFolder, dir / "copy/TEMP");
    EXPECT_EQ(inner.dataFolder, dir / "copy/DAT");

    // The same installation reached through a link is not a former one.
    fs::create_directories(dir / "real");
    fs::create_symlink(dir / "real", dir / "linked");
    AppSettings viaLink(dir / "real");
    viaLink.cncFolder = dir / "linked/CNC";
    viaLink.dataFolder = dir / "linked/DAT";
    EXPECT_TRUE(AdoptFormerInstallationFolders(viaLink, former).empty());
    EXPECT_EQ(viaLink.dataFolder, dir / "linked/DAT");

    // Stored with the other separator and in other letter case, as a Windows station may have.
    AppSettings win(dir.path());
    win.cncFolder = "/Old/Inst\\CNC";
    win.dataFolder = "/old/inst\\DAT";
    ASSERT_EQ(AdoptFormerInstallationFolders(win, former).size(), 2u);
    EXPECT_EQ(win.dataFolder, dir / "DAT");
    EXPECT_EQ(win.cncFolder, dir / "CNC");
}
