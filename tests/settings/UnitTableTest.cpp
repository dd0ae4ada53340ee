#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

std::string Section(int n, const std::string& name, const std::string& factor, const std::string& def,
                    const std::string& extra = "") {
    return "[UM" + std::to_string(n) + "]\nDescrizione=" + name + "\nLinearFactToMM=" + factor +
           "\nDefault=" + def + "\n" + extra;
}

AppSettings Load(TempDir& dir, const std::string& config, const std::string& umdef) {
    WriteText(dir / "CONFIG.INI", config);
    WriteText(dir / "BRENIX.INI", "[GenGen]\nUMDef=" + umdef + "\n");
    AppSettings s(dir.path());
    LoadUnits(s);
    return s;
}

}  // namespace

TEST(UnitTable, MatchingRules) {
    TempDir dir;
    // Lower-case y matches; 25.400001 is within the tolerance; decimals 7 are clamped to 3.
    AppSettings s = Load(dir,
                         Section(0, "millimetri", "1", "y", "NumDecimali=1\nLinearPost=mm\n") +
                             Section(3, "Pollici Americani", "25.400001", "N",
                                     "NumDecimali=7\nLinearPost=in\nLengthpost=ft\n"),
                         "POLLICI AMERICANI");
    EXPECT_EQ(s.selectedUnit, 1);
    EXPECT_EQ(s.units[1].found, 1);
    EXPECT_EQ(s.units[1].sectionName, "UM3");
    EXPECT_EQ(s.current.decimals, 3);
    EXPECT_EQ(s.current.numberFormat, "%.3lf");
    EXPECT_EQ(s.current.sectionNumber, 3);
    EXPECT_EQ(s.current.lengthLabel, "ft");

    // 25.4001 is too far off: only one unit matches, so the millimetre fallback applies.
    s = Load(dir, Section(0, "Millimetri", "1", "Y") + Section(1, "Pollici Americani", "25.4001", "N"),
             "Pollici Americani");
    EXPECT_EQ(s.selectedUnit, 0);
    EXPECT_EQ(s.units[1].found, 0);
    EXPECT_DOUBLE_EQ(s.current.linearFactor, 1.0);
    EXPECT_EQ(s.current.linearLabel, "mm");

    // An empty Default never matches.
    s = Load(dir, Section(0, "Millimetri", "1", "") + Section(1, "Pollici Americani", "25.4", "N"),
             "Pollici Americani");
    EXPECT_EQ(s.units[0].sectionName, "");
    EXPECT_EQ(s.current.linearFactor, 1.0);

    // A UMDef naming neither unit falls back to millimetres too.
    s = Load(dir, Section(0, "Millimetri", "1", "Y") + Section(1, "Pollici Americani", "25.4", "N"), "Yards");
    EXPECT_EQ(s.selectedUnit, 0);
    EXPECT_EQ(s.current.decimals, 1);
}

TEST(UnitTable, SaveUnitChoiceWritesBothFiles) {
    TempDir dir;
    InstallSuiteFiles(dir.path());
    AppSettings s(dir.path());
    LoadUnits(s);
    SetCurrentSettings(&s);
    ASSERT_EQ(s.selectedUnit, 0);
    ASSERT_TRUE(SaveUnitChoice(s, 1, 3));
    EXPECT_EQ(s.selectedUnit, 1);
    EXPECT_TRUE(IsInches());
    EXPECT_EQ(Decimals(), 3);
    EXPECT_EQ(IniFile::Read(s.configIniPath, "UM1", "NumDecimali"), "3");
    EXPECT_EQ(IniFile::Read(s.configIniPath, "UM1", "Default"), "Y");
    EXPECT_EQ(IniFile::Read(s.configIniPath, "UM0", "Default"), "N");
    EXPECT_EQ(IniFile::Read(s.suiteIniPath, "GenGen", "UMDef"), "Pollici Americani");
    EXPECT_EQ(IniFile::Read(s.suiteIniPath, "Kelvara", "StepMoveX"), "0.000 in");
    EXPECT_FALSE(PathExists(s.configIniPath + "_SAV"));
    AppSettings again(dir.path());
    LoadUnits(again);
    EXPECT_EQ(again.selectedUnit, 1) << "the choice survives a restart";
    SetCurrentSettings(nullptr);
}

TEST(UnitTable, SaveUnitChoiceRestoresBothFilesWhenAWriteFails) {
    TempDir dir;
    InstallSuiteFiles(dir.path());
    AppSettings s(dir.path());
    LoadUnits(s);
    const std::string config = ReadText(s.configIniPath);
    const std::string brenix = ReadText(s.suiteIniPath);
    for (int okWrites = 0; okWrites < 5; ++okWrites) {
        SetWriteFailureAfterFiles(okWrites);
        EXPECT_FALSE(SaveUnitChoice(s, 1, 3)) << okWrites;
        SetWriteFailureAfterFiles(-1);
        EXPECT_EQ(ReadText(s.configIniPath), config) << okWrites;
        EXPECT_EQ(ReadText(s.suiteIniPath), brenix) << okWrites;
        EXPECT_EQ(s.selectedUnit, 0);
        EXPECT_FALSE(PathExists(s.suiteIniPath + "_SAV"));
    }
}

TEST(UnitTable, HostileFilesGiveTheFallback) {
    TempDir dir;
    std::mt19937 rng(11);
    for (int i = 0; i < 200; ++i) {
        std::string bytes = RandomBytes(rng, 600);
        if (i % 2) bytes = "[UM0]\nDescrizione=Millimetri\nLinearFactToMM=" + bytes;
        AppSettings s = Load(dir, bytes, RandomBytes(rng, 40));
        EXPECT_TRUE(s.selectedUnit == 0 || s.selectedUnit == 1);
        EXPECT_GE(s.current.decimals, 0);
        EXPECT_LE(s.current.decimals, 3);
    }
}

// The format tests convert with units built in memory; they must be the units the shipped table
// gives, or those tests would prove nothing about an installation.
TEST(UnitTable, TestUnitsAreTheShippedUnits) {
    for (const char* name : {"Millimetri", "Pollici Americani"}) {
        TempDir dir;
        InstallSuiteFiles(dir.path());
        const AppSettings s = Load(dir, ReadText(dir / "CONFIG.INI"), name);
        const CurrentUnit expected = s.selectedUnit == 1 ? Inches() : Millimetres();
        EXPECT_EQ(s.current.linearFactor, expected.linearFactor) << name;
        EXPECT_EQ(s.current.areaFactor, expected.areaFactor) << name;
        EXPECT_EQ(s.current.weightFactor, expected.weightFactor) << name;
        EXPECT_EQ(s.current.decimals, expected.decimals) << name;
        EXPECT_EQ(s.current.stdDecimals, expected.stdDecimals) << name;
        EXPECT_EQ(s.current.numberFormat, expected.numberFormat) << name;
        EXPECT_EQ(s.current.sectionNumber, expected.sectionNumber) << name;
        EXPECT_EQ(s.current.linearLabel, expected.linearLabel) << name;
    }
}
