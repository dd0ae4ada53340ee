#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/Startup.h"
#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "common/UserPrompt.h"
#include "settings/AppSettings.h"
#include "suite/KLanguage.h"
#include "suite/SuiteLibrary.h"
#include "support/TempDir.h"
#include "support/WriteProtected.h"

using namespace tavrel;

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
    // The one box whose text contains `part`; empty when none or several do.
    std::string Box(const std::string& part) const {
        std::string found;
        int n = 0;
        for (const auto& s : prompt.shown())
            if (s.text.find(part) != std::string::npos) found = s.text, ++n;
        return n == 1 ? found : std::string();
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& s : prompt.shown()) t.push_back(s.text);
        return t;
    }
};

const std::string kExpectedIniKeys[] = {"DATFilesLocation", "TVLFilesLocation",
                                        "R01FilesLocation", "TemporaryFilesLocation",
                                        "CNCFilesLocation", "EXCELIMPORTFilesLocation"};

}  // namespace

TEST(Startup, FirstStartInAnEmptyInstallation) {
    TempDir dir;
    {
        Started run(dir.path());
        for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC"})
            EXPECT_TRUE(fs::is_directory(dir / f)) << f;
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

TEST(Startup, ReadOnlyInstallationSaysTheFoldersCannotBeCreated) {
    TempDir dir;
    InstallSuiteFiles(dir.path());
    WriteProtected readOnly(dir.path());
    Started run(dir.path());
    for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC"}) EXPECT_FALSE(fs::exists(dir / f)) << f;
    EXPECT_FALSE(run.result.foldersOk);
    EXPECT_FALSE(run.result.settingsSaved);

    const std::string folders = run.Box(Msg("00270"));
    ASSERT_FALSE(folders.empty()) << "the folder report says they cannot be created";
    const size_t cannot = folders.find(Msg("00270"));
    for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC"})
        EXPECT_GT(folders.find(" ...... " + (dir / f) + "\n"), cannot)
            << f << " listed under 'cannot be created'";
    // The import folder's parent is simply not there: that one does not exist, as before.
    const size_t missing = folders.find(Msg("00207"));
    ASSERT_NE(missing, std::string::npos);
    EXPECT_LT(folders.find(dir / "Addins/ExcelEXE"), cannot);

    const std::string files = run.Box(Msg("00275"));
    ASSERT_FALSE(files.empty()) << "the settings files that could not be written are named";
    EXPECT_NE(files.find((dir / "Tavrel.INI") + " ...... " + Msg("00273")), std::string::npos) << files;
    EXPECT_NE(files.find(dir / "Tavrel.CFG"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "Tavrel.INI"));
    EXPECT_EQ(run.settings->dataFolder, dir / "DAT") << "the settings still apply for this run";
}

TEST(Startup, ReadOnlyInstallationWithRealPermissions) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write into read-only folders; the seam test above covers this";
    TempDir dir;
    InstallSuiteFiles(dir.path());
    fs::permissions(dir.path(), fs::perms(0555));
    Started run(dir.path());
    fs::permissions(dir.path(), fs::perms(0755));
    EXPECT_FALSE(run.Box(Msg("00270")).empty());
    EXPECT_FALSE(run.Box(Msg("00275")).empty());
}

TEST(Startup, ASuiteFileThatIsAlreadyRightIsNotRewritten) {
    TempDir dir;
    InstallSuiteFiles(dir.path());
    { Started first(dir.path()); }
    // Marked read-only once the forced values are in: later starts have nothing to change there.
    fs::permissions(dir / "BRENIX.INI", fs::perms(0444));
    fs::permissions(dir / "Macchine.ini", fs::perms(0444));
    Started run(dir.path());
    EXPECT_TRUE(run.result.settingsSaved) << (run.prompt.shown().empty() ? "" : run.Texts().back());
    EXPECT_TRUE(run.Box(Msg("00275")).empty());

    WriteText(dir / "Macchine.ini.new", "[MACCHINA283]\nESTRATIFICATO=1\n");
    fs::permissions(dir / "Macchine.ini", fs::perms(0644));
    fs::rename(dir / "Macchine.ini.new", dir / "Macchine.ini");
    fs::permissions(dir / "Macchine.ini", fs::perms(0444));
    Started again(dir.path());
    const std::string files = again.Box(Msg("00275"));
    EXPECT_NE(files.find((dir / "Macchine.ini") + " ...... " + Msg("00272")), std::string::npos) << files;
    EXPECT_EQ(IniFile::Read(dir / "Macchine.ini", "MACCHINA283", "ESTRATIFICATO"), "1") << "left as it was";
}

TEST(Startup, CncFolderThatCannotBeCreatedIsNotClaimedReplaced) {
    TempDir dir;
    InstallSuiteFiles(dir.path());
    fs::create_directories(dir / "elsewhere/CNC");
    WriteText(dir / "Tavrel.INI", "[Directories]\nCNCFilesLocation=" + (dir / "elsewhere/CNC") + "\n");
    WriteProtected readOnly(dir.path());
    Started run(dir.path());
    EXPECT_FALSE(run.result.cncReset);
    EXPECT_EQ(run.settings->cncFolder, dir / "elsewhere/CNC");
    const std::string warning = run.Box(Msg("00257"));
    EXPECT_NE(warning.find(Msg("00280")), std::string::npos) << warning;
    EXPECT_EQ(warning.find(Msg("00258")), std::string::npos) << "nothing was replaced";
}

TEST(Startup, ACopiedInstallationUsesItsOwnFolders) {
    TempDir root;
    const std::string old = root / "old/Tavrel";
    const std::string copy = root / "new/Tavrel";
    fs::create_directories(old);
    InstallSuiteFiles(old);
    // The user keeps the job files on a server, outside the installation.
    const std::string server = root / "server/jobs";
    fs::create_directories(server);
    WriteText(old + "/Tavrel.INI", "[Directories]\nTVLFilesLocation=" + server + "\n");
    { Started first(old); }
    WriteText(old + "/DAT/Plates.dat", "old stock\n");
    fs::create_directories(root / "new");
    fs::copy(old, copy, fs::copy_options::recursive);
    WriteText(copy + "/DAT/Plates.dat", "copied stock\n");

    Started run(copy);
    EXPECT_TRUE(run.result.foldersAdopted);
    EXPECT_FALSE(run.result.cncReset) << "no 'CNC folder cannot be moved' warning";
    EXPECT_EQ(run.settings->dataFolder, copy + "/DAT");
    EXPECT_EQ(run.settings->mrFolder, copy + "/M.R");
    EXPECT_EQ(run.settings->tempFolder, copy + "/TEMP");
    EXPECT_EQ(run.settings->cncFolder, copy + "/CNC");
    EXPECT_EQ(run.settings->excelImportFolder, copy + "/Addins/ExcelEXE");
    EXPECT_EQ(run.settings->jobFolder, server) << "a folder kept outside the old installation stays";
    EXPECT_EQ(IniFile::Read(copy + "/Tavrel.INI", "Directories", "DATFilesLocation"), copy + "/DAT");
    EXPECT_EQ(IniFile::Read(old + "/Tavrel.INI", "Directories", "DATFilesLocation"), old + "/DAT");
    EXPECT_EQ(ReadText(old + "/DAT/Plates.dat"), "old stock\n");

    const std::string told = run.Box(Msg("00277"));
    ASSERT_FALSE(told.empty());
    EXPECT_NE(told.find("  [ " + old + " ]"), std::string::npos) << told;
    EXPECT_NE(told.find(Msg("00014") + " ...... " + copy + "/DAT\n"), std::string::npos) << told;
    EXPECT_EQ(told.find(server), std::string::npos);

    Started again(copy);
    EXPECT_FALSE(again.result.foldersAdopted) << "told once; the settings now name this installation";
    EXPECT_TRUE(again.Box(Msg("00277")).empty());
}

TEST(Startup, FoldersPlacedBelowTheOldInstallationMoveWithIt) {
    TempDir root;
    const std::string copy = root / "b";
    fs::create_directories(copy);
    InstallSuiteFiles(copy);
    // Relative folders from a start on a relative installation path, and a folder one level down.
    WriteText(copy + "/Tavrel.INI",
              "[Directories]\nDATFilesLocation=/gone/a/data/stock\n"
              "TVLFilesLocation=/gone/a/TVL\nCNCFilesLocation=/gone/a/CNC\n"
              "R01FilesLocation=/gone/ab/M.R\n");
    Started run(copy);
    EXPECT_EQ(run.settings->dataFolder, copy + "/data/stock");
    EXPECT_EQ(run.settings->jobFolder, copy + "/TVL");
    EXPECT_EQ(run.settings->cncFolder, copy + "/CNC");
    EXPECT_EQ(run.settings->mrFolder, "/gone/ab/M.R") << "a folder beside the old one, not inside it";
}

TEST(Startup, AnInstallationFolderGivenRelativeIsMadeAbsolute) {
    TempDir dir;
    fs::create_directories(dir / "inst");
    const std::string cwd = fs::current_path().string();
    fs::current_path(dir.path());
    AppSettings relative("./inst/");
    fs::current_path(cwd);
    EXPECT_EQ(relative.installFolder, dir / "inst");
    EXPECT_EQ(relative.dataFolder, dir / "inst/DAT");
    EXPECT_EQ(AbsolutePath("/a/./b//c/../d/"), "/a/b/d");
    EXPECT_EQ(AbsolutePath("/.."), "/");
}

namespace {

// An installation with both shipped catalogues and every folder, Italian chosen.
void InstallItalian(const TempDir& dir) {
    InstallSuiteFiles(dir.path());
    fs::copy_file(fs::path(TAVREL_SOURCE_DIR) / "resources/Msg/Tavrel.it.msg", dir / "Msg/Tavrel.it.msg");
    for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC", "Addins/ExcelEXE"})
        fs::create_directories(dir / f);
    WriteText(dir / "Tavrel.CFG", "[Configuration]\nLanguage=it\n");
}

}  // namespace

TEST(Startup, ItalianChosenLoadsTheItalianCatalogue) {
    TempDir dir;
    InstallItalian(dir);
    Started run(dir.path());
    EXPECT_FALSE(run.result.catalogueFallback);
    EXPECT_EQ(run.language->path(), dir / "Msg/Tavrel.it.msg");
    EXPECT_EQ(Msg("00000"), "Italiano");
    EXPECT_EQ(Msg("00005"), "Impostazioni");
    EXPECT_EQ(Msg("00055"), "Quantit\xC3\xA0:") << "accents as UTF-8";
    EXPECT_EQ(Msg("00236"), "maggio") << "month names for the dates";
    EXPECT_EQ(IniFile::Read(dir / "BRENIX.INI", "GenGen", "Lingua"), "Italiano") << "the suite follows";
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.CFG", "Configuration", "Language"), "it") << "kept by the rewrite";
    // The only box is the missing engine library's, in Italian.
    ASSERT_EQ(run.prompt.shown().size(), 1u);
    EXPECT_EQ(run.Texts()[0], Msg("00117") + " 'libZORUDIR.so'");
    EXPECT_EQ(run.Texts()[0].find("00117"), std::string::npos);

    // Back to English: the next start speaks English again and tells the suite.
    WriteText(dir / "Tavrel.CFG", "[Configuration]\nLanguage=en\n");
    Started english(dir.path());
    EXPECT_EQ(Msg("00005"), "Settings");
    EXPECT_EQ(IniFile::Read(dir / "BRENIX.INI", "GenGen", "Lingua"), "English");
}

TEST(Startup, AMissingOrUnreadableItalianCatalogueFallsBackToEnglishAndSaysSo) {
    TempDir dir;
    InstallItalian(dir);
    const std::string italian = dir / "Msg/Tavrel.it.msg";
    fs::remove(italian);
    for (const std::string& content : {std::string(), std::string("\x01\xFF garbage\nno ids here\n")}) {
        if (!content.empty()) WriteText(italian, content);
        Started run(dir.path());
        EXPECT_TRUE(run.result.catalogueFallback);
        EXPECT_EQ(Msg("00000"), "English");
        EXPECT_EQ(Msg("00005"), "Settings");
        // Told first, before the boxes in the language it speaks now (the engine library's).
        ASSERT_EQ(run.prompt.shown().size(), 2u);
        const auto& box = run.prompt.shown()[0];
        EXPECT_EQ(box.text, Msg("00392") + "\n\n" + italian);
        EXPECT_NE(box.text.find("English"), std::string::npos) << "in English, which the user now sees";
        EXPECT_EQ(box.icon, PromptIcon::Exclamation);
        EXPECT_EQ(IniFile::Read(dir / "BRENIX.INI", "GenGen", "Lingua"), "English");
        EXPECT_EQ(IniFile::Read(dir / "Tavrel.CFG", "Configuration", "Language"), "it")
            << "the choice stays for when the file is back";
    }

    // Neither catalogue: the IDs themselves, still no crash, still told.
    fs::remove(italian);
    fs::remove(dir / "Msg/Tavrel.msg");
    Started bare(dir.path());
    EXPECT_TRUE(bare.result.catalogueFallback);
    EXPECT_EQ(Msg("00005"), "00005");
    EXPECT_EQ(bare.Box("00392"), "00392\n\n" + italian);
}

TEST(Startup, AnItalianCatalogueFromAWindowsStationShowsItsAccents) {
    TempDir dir;
    InstallItalian(dir);
    // Saved in Windows-1252 with CR LF, a byte order mark before the first line, and lacking an
    // ID that the English catalogue has (a text added since it was translated).
    WriteText(dir / "Msg/Tavrel.it.msg",
              "\xEF\xBB\xBF"
              "00000=Italiano\r\n00005=Impostazioni\r\n00055=Quantit\xE0:\r\n"
              "00056=Larghezza:\r\n00190=S\xEC\r\n");
    Started run(dir.path());
    EXPECT_FALSE(run.result.catalogueFallback);
    EXPECT_EQ(Msg("00000"), "Italiano") << "the mark does not hide the first ID";
    EXPECT_EQ(Msg("00055"), "Quantit\xC3\xA0:");
    EXPECT_EQ(Msg("00190"), "S\xC3\xAC");
    EXPECT_EQ(Msg("00057"), "Height:") << "an untranslated text comes from the English catalogue";
    EXPECT_EQ(Msg("00073"), "Tavrel");
    EXPECT_TRUE(run.Box(Msg("00392")).empty());
}

TEST(Startup, AnUnknownLanguageStartsInEnglish) {
    TempDir dir;
    InstallItalian(dir);
    WriteText(dir / "Tavrel.CFG", "[Configuration]\nLanguage=Klingon\n");
    Started run(dir.path());
    EXPECT_FALSE(run.result.catalogueFallback);
    EXPECT_EQ(run.language->path(), dir / "Msg/Tavrel.msg");
    EXPECT_EQ(Msg("00005"), "Settings");
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.CFG", "Configuration", "Language"), "en");
    EXPECT_TRUE(run.Box(Msg("00392")).empty());
}
