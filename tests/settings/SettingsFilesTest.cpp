#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "common/TextUtils.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "support/TempDir.h"

using namespace tavrel;

namespace {
std::string ToUpperCopy(const std::string& s) { return ToUpper(s); }
}  // namespace

TEST(SettingsFiles, SaveDirectoriesWritesExactlyOurKeys) {
    TempDir dir;
    AppSettings s(dir.path());
    WriteText(s.iniPath, "[Directories]\nDATFilesLocation=\nTVLFilesLocation=/elsewhere/TVL\n[Extra]\nx=1\n");
    WriteText(s.cfgPath, "[Configuration]\nDlgOptiEditorParameters=/P\nOther=1\n");
    LoadSettings(s);
    EXPECT_EQ(s.dataFolder, dir / "DAT") << "an empty value keeps the default";
    EXPECT_EQ(s.jobFolder, "/elsewhere/TVL");
    EXPECT_EQ(s.editorParameters, "/P");
    SaveDirectories(s, true);
    EXPECT_EQ(ReadText(s.iniPath),
              "[Directories]\nDATFilesLocation=" + (dir / "DAT") + "\nTVLFilesLocation=/elsewhere/TVL\n" +
                  "R01FilesLocation=" + (dir / "M.R") + "\nTemporaryFilesLocation=" + (dir / "TEMP") +
                  "\nCNCFilesLocation=" + (dir / "CNC") +
                  "\nEXCELIMPORTFilesLocation=" + (dir / "Addins/ExcelEXE") + "\n");
    EXPECT_EQ(ReadText(s.cfgPath), "[Configuration]\nDlgOptiEditorParameters=/P\nLanguage=en\n");
}

TEST(SettingsFiles, TheLanguageSurvivesTheRewriteAndAnUnknownOneBecomesEnglish) {
    TempDir dir;
    AppSettings s(dir.path());
    WriteText(s.cfgPath, "[configuration]\r\nlanguage=IT\r\nDlgOptiEditorParameters=/P\r\n");
    LoadSettings(s);
    EXPECT_EQ(s.language, "it") << "a CR LF file edited by hand, in any letter case";
    SaveDirectories(s, true);
    EXPECT_EQ(ReadText(s.cfgPath), "[Configuration]\nDlgOptiEditorParameters=/P\nLanguage=it\n");

    WriteText(s.cfgPath, "[Configuration]\nLanguage=\n");
    LoadSettings(s);
    EXPECT_EQ(s.language, "it") << "an empty value keeps the language in use";
    WriteText(s.cfgPath, "[Configuration]\nLanguage=Deutsch\n");
    LoadSettings(s);
    EXPECT_EQ(s.language, "en");
    SaveDirectories(s, true);
    EXPECT_EQ(IniFile::Read(s.cfgPath, "Configuration", "Language"), "en");
}

TEST(SettingsFiles, MrPathIsMirroredOnlyWhenPresent) {
    TempDir dir;
    AppSettings s(dir.path());
    WriteText(s.suiteIniPath, "[GenGen]\nUMDef=Millimetri\n");
    SaveDirectories(s, true);
    EXPECT_EQ(IniFile::Read(s.suiteIniPath, "GenGen", "MRPath", "absent"), "absent");

    WriteText(s.suiteIniPath, "[GenGen]\nMRPath=" + ToUpperCopy(dir / "M.R") + "\n");
    const std::string before = ReadText(s.suiteIniPath);
    SaveDirectories(s, true);
    EXPECT_EQ(ReadText(s.suiteIniPath), before) << "equal but for case and the trailing separator";

    WriteText(s.suiteIniPath, "[GenGen]\nMRPath=/old/results/\n");
    SaveDirectories(s, true);
    EXPECT_EQ(IniFile::Read(s.suiteIniPath, "GenGen", "MRPath"), (dir / "M.R") + "/");
}

TEST(SettingsFiles, StartupSuiteValuesAreForced) {
    TempDir dir;
    AppSettings s(dir.path());
    WriteText(s.suiteIniPath,
              "[GenOtt]\nCompat=TRUE\nUtensil=True\n[PrintOttimizzaNoDBForm]\nStLasUsedChk=True\n"
              "[GenGen]\nLinguaPath=.\\brenmsg\\english\\\n[EditorFlags]\nFlagQuote=3\n");
    ApplyStartupSuiteValues(s);
    auto r = [&](const char* sec, const char* key) {
        return IniFile::Read(s.suiteIniPath, sec, key, "<none>");
    };
    EXPECT_EQ(r("GenGen", "Lingua"), "00000") << "no catalogue registered: the ID itself";
    EXPECT_EQ(r("EditorFlags", "FlagPzDesc"), "1025");
    EXPECT_EQ(r("GenOtt", "Compat"), "false");
    EXPECT_EQ(r("GenOtt", "Utensil"), "True") << "already right: untouched";
    EXPECT_EQ(r("PrintOttimizzaNoDBForm", "StLasUsedChk"), "True");
    EXPECT_EQ(r("GenGen", "LinguaPath"), ".\\brenmsg\\english\\") << "prefix match in any case";
    EXPECT_EQ(r("EditorFlags", "FlagQuote"), "2");
    EXPECT_EQ(r("EditorFlags", "FlagResiduoType"), "0");
    for (const char* key : {"PzStd", "PriorOrd", "PreferOrd", "Compat", "Exceed"})
        EXPECT_EQ(r("GenOrd", key), "false");
    EXPECT_EQ(IniFile::Read(dir / "Macchine.ini", "MACCHINA283", "ESTRATIFICATO"), "0");
    WriteText(s.suiteIniPath, "[PrintOttimizzaNoDBForm]\nStLasUsedChk=yes\n");
    ApplyStartupSuiteValues(s);
    EXPECT_EQ(r("PrintOttimizzaNoDBForm", "StLasUsedChk"), "TRUE");
}

TEST(SettingsFiles, SingleKeyReaders) {
    TempDir dir;
    AppSettings s(dir.path());
    EXPECT_EQ(ReadPrintPiecesPerimeter(s), -2);
    WriteText(s.optPath, "[OPTIONS]\nPRINT_PIECES_PERIMETER=\n");
    EXPECT_EQ(ReadPrintPiecesPerimeter(s), -1);
    ASSERT_TRUE(WritePrintPiecesPerimeter(s, true));
    EXPECT_EQ(ReadPrintPiecesPerimeter(s), 1);
    WriteText(s.optPath, "[OPTIONS]\n");
    EXPECT_EQ(ReadPrintPiecesPerimeter(s), 0);

    const std::string xml = dir / "Kelvarauser.xml";
    EXPECT_FALSE(ReadCheckWasteFlag(s));
    WriteText(xml, "<a><ControllaScarto>  1 </ControllaScarto></a>");
    EXPECT_TRUE(ReadCheckWasteFlag(s));
    WriteText(xml, "<ControllaScarto>2</ControllaScarto>");
    EXPECT_FALSE(ReadCheckWasteFlag(s));
    WriteText(xml, "<ControllaScarto>1");
    EXPECT_FALSE(ReadCheckWasteFlag(s));
    WriteText(xml, "");
    EXPECT_FALSE(ReadCheckWasteFlag(s));

    std::string line;
    EXPECT_FALSE(ReadServicePackLine(dir / "SvPack.INI", line));
    WriteText(dir / "SvPack.INI", "[SVPACK]\nVER=2.1\nDATE=2026-12-08\nCOMMENT=fixes\n");
    EXPECT_TRUE(ReadServicePackLine(dir / "SvPack.INI", line));
    EXPECT_EQ(line, " 2.1 - 08 00243 2026 - fixes");

    EXPECT_EQ(StepMoveText(1, "mm"), "0.0 mm");
    EXPECT_EQ(StepMoveText(0, "mm"), "0 mm");
    EXPECT_EQ(StepMoveText(9, "in"), "0.00000 in");
}

TEST(SettingsFiles, HostileSettingsFilesNeverCrash) {
    TempDir dir;
    std::mt19937 rng(5);
    AppSettings base(dir.path());
    for (int i = 0; i < 150; ++i) {
        WriteText(base.iniPath, (i % 2 ? "[Directories]\nDATFilesLocation=" : "") + RandomBytes(rng, 3000));
        WriteText(base.cfgPath, RandomBytes(rng, 3000));
        WriteText(dir / "Kelvarauser.xml", "<ControllaScarto>" + RandomBytes(rng, 50));
        WriteText(dir / "SvPack.INI", "[SVPACK]\nDATE=" + RandomBytes(rng, 30));
        AppSettings s(dir.path());
        LoadSettings(s);
        EXPECT_LE(s.dataFolder.size(), 2047u);
        ReadCheckWasteFlag(s);
        std::string line;
        ReadServicePackLine(dir / "SvPack.INI", line);
    }
}
