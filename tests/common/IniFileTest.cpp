#include <filesystem>

#include <gtest/gtest.h>

#include "common/IniFile.h"
#include "support/TempDir.h"

using namespace tavrel;

TEST(IniFile, PrivateProfileSemantics) {
    TempDir dir;
    const std::string ini = dir / "t.ini";
    WriteText(ini, "; comment=1\n[Directories]\r\nDATFilesLocation = C:\\x\\DAT\nEmpty=\n\n[Other]\nk=v\n");
    std::string v;
    EXPECT_EQ(IniFile::ReadString(ini, "directories", "datfileslocation", "d", v), 8);
    EXPECT_EQ(v, "C:\\x\\DAT");
    EXPECT_EQ(IniFile::ReadString(ini, "Directories", "Empty", "d", v), 0);
    EXPECT_EQ(IniFile::ReadString(ini, "Directories", "Missing", "def", v), 3);
    EXPECT_EQ(v, "def");
    EXPECT_EQ(IniFile::ReadString(ini, "Directories", "DATFilesLocation", "", v, 4), 3)
        << "cut to buffer - 1";
    EXPECT_EQ(v, "C:\\");
    EXPECT_EQ(IniFile::Read(dir / "none.ini", "a", "b", "fallback"), "fallback");
    EXPECT_EQ(IniFile::Read(ini, "", "comment", "none"), "none") << "comment lines hold no keys";
}

TEST(IniFile, WritesCreateAndReplace) {
    TempDir dir;
    const std::string ini = dir / "w.ini";
    EXPECT_TRUE(IniFile::WriteString(ini, "GenGen", "UMDef", "Millimetri"));
    EXPECT_TRUE(IniFile::WriteString(ini, "genGEN", "umdef", "Pollici Americani"));
    EXPECT_TRUE(IniFile::WriteString(ini, "GenGen", "Lingua", "English"));
    EXPECT_TRUE(IniFile::WriteString(ini, "Kelvara", "StepMoveX", "0.0 mm"));
    EXPECT_EQ(IniFile::Read(ini, "GenGen", "UMDef"), "Pollici Americani");
    EXPECT_EQ(IniFile::Read(ini, "GenGen", "Lingua"), "English");
    EXPECT_EQ(IniFile::Read(ini, "Kelvara", "StepMoveX"), "0.0 mm");
    EXPECT_EQ(ReadText(ini),
              "[GenGen]\nUMDef=Pollici Americani\nLingua=English\n\n[Kelvara]\nStepMoveX=0.0 mm\n");
    EXPECT_TRUE(IniFile::DeleteSection(ini, "gengen"));
    EXPECT_EQ(IniFile::Read(ini, "GenGen", "Lingua", "gone"), "gone");
    EXPECT_EQ(IniFile::Read(ini, "Kelvara", "StepMoveX"), "0.0 mm");
    EXPECT_FALSE(IniFile::WriteString(ini, "A", "B", "two\nlines")) << "a value cannot add lines";
    EXPECT_FALSE(IniFile::WriteString(dir / "missing/dir/x.ini", "A", "B", "C"));
}

TEST(IniFile, SurvivesHostileBytes) {
    TempDir dir;
    std::mt19937 rng(7);
    const std::string ini = dir / "r.ini";
    for (int i = 0; i < 300; ++i) {
        std::string bytes = RandomBytes(rng, 400);
        if (i % 3 == 0) bytes = "[S]\nk=" + bytes;
        WriteText(ini, bytes);
        std::string v;
        IniFile::ReadString(ini, "S", "k", "d", v, 2048);
        EXPECT_LE(v.size(), 2047u);
        // Whatever the file held, a write lands where a read finds it and leaves other keys be.
        ASSERT_TRUE(IniFile::WriteString(ini, "S", "k2", "v"));
        EXPECT_EQ(IniFile::Read(ini, "S", "k2"), "v") << i;
        EXPECT_EQ(IniFile::Read(ini, "S", "k", "d", 2048), v) << i;
    }
}

TEST(IniFile, AWriteKeepsALinkedSettingsFileLinked) {
    // A suite file shared by several programs through a link: every key write goes to the target.
    TempDir dir;
    WriteText(dir / "shared/BRENIX.INI", "[GenGen]\nUMDef=Millimetri\n");
    std::filesystem::create_symlink(dir / "shared/BRENIX.INI", dir / "BRENIX.INI");
    ASSERT_TRUE(IniFile::WriteString(dir / "BRENIX.INI", "GenGen", "UMDef", "Pollici Americani"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "BRENIX.INI"));
    EXPECT_EQ(IniFile::Read(dir / "shared/BRENIX.INI", "GenGen", "UMDef"), "Pollici Americani");
}
