#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/IniFile.h"
#include "common/UserPrompt.h"
#include "settings/AppSettings.h"
#include "settings/LabelSheets.h"
#include "settings/SettingsChoice.h"
#include "settings/SettingsFiles.h"
#include "support/TempDir.h"
#include "support/WriteProtected.h"

using namespace tavrel;

TEST(LabelSheets, EveryLabelLiesOnItsPageAndNoTwoOverlap) {
    ASSERT_EQ(LabelSheets().size(), 3u);
    for (const LabelSheet& sheet : LabelSheets()) {
        SCOPED_TRACE(sheet.key);
        const int per = sheet.perPage();
        // Three pages' worth: the fourth page starts where the first did.
        for (long i = 0; i < 3L * per; ++i) {
            const LabelPlace place = PlaceOfLabel(sheet, i);
            EXPECT_EQ(place.page, i / per);
            EXPECT_GE(place.x, 0.0);
            EXPECT_GE(place.y, 0.0);
            EXPECT_LE(place.x + sheet.labelWidth, sheet.pageWidth + 1e-9);
            EXPECT_LE(place.y + sheet.labelHeight, sheet.pageHeight + 1e-9);
            for (long j = i - i % per; j < i; ++j) {
                const LabelPlace other = PlaceOfLabel(sheet, j);
                const bool apart = other.x + sheet.labelWidth <= place.x + 1e-9 ||
                                   place.x + sheet.labelWidth <= other.x + 1e-9 ||
                                   other.y + sheet.labelHeight <= place.y + 1e-9 ||
                                   place.y + sheet.labelHeight <= other.y + 1e-9;
                EXPECT_TRUE(apart) << "labels " << j << " and " << i;
            }
        }
        const LabelPlace next = PlaceOfLabel(sheet, 3L * per);
        EXPECT_EQ(next.page, 3);
        EXPECT_DOUBLE_EQ(next.x, sheet.left);
        EXPECT_DOUBLE_EQ(next.y, sheet.top);
    }
    // Row by row: the second label is beside the first, not beneath it.
    const LabelSheet& a4 = *FindLabelSheet("A4-3X8");
    EXPECT_EQ(a4.perPage(), 24);
    EXPECT_DOUBLE_EQ(PlaceOfLabel(a4, 1).y, PlaceOfLabel(a4, 0).y);
    EXPECT_DOUBLE_EQ(PlaceOfLabel(a4, 3).x, PlaceOfLabel(a4, 0).x);
    EXPECT_EQ(FindLabelSheet("A4-2X7")->perPage(), 14);
    EXPECT_EQ(FindLabelSheet("label-100x50"), FindLabelSheet(" LABEL-100X50 "))
        << "case and blanks do not matter";
    EXPECT_EQ(FindLabelSheet("LETTER"), nullptr);
}

TEST(LabelSheets, TheChoiceIsKeptInTheOptionsFileBesideItsOtherKey) {
    TempDir dir;
    AppSettings s(dir.path());
    EXPECT_STREQ(ChosenLabelSheet(s).key, "A4-3X8") << "no Tavrel.OPT: the first sheet";
    WriteText(s.optPath, "[OPTIONS]\r\nPRINT_PIECES_PERIMETER=1\r\nLABEL_SHEET=A5-SOMETHING\r\n");
    EXPECT_STREQ(ChosenLabelSheet(s).key, "A4-3X8") << "an unknown sheet falls back to the first";
    ASSERT_TRUE(WriteLabelSheet(s, *FindLabelSheet("LABEL-100X50")));
    EXPECT_STREQ(ChosenLabelSheet(s).key, "LABEL-100X50");
    EXPECT_EQ(ReadPrintPiecesPerimeter(s), 1) << "the other print option stays";
    {
        WriteProtected readOnly(dir.path());
        EXPECT_FALSE(WriteLabelSheet(s, *FindLabelSheet("A4-2X7")));
    }
    EXPECT_STREQ(ChosenLabelSheet(s).key, "LABEL-100X50");
}

TEST(LabelSheets, TheSettingsWindowsChoiceIsStoredOnlyWhenItChangesAndAFailureIsNamed) {
    TempDir dir;
    InstallSuiteFiles(dir.path());
    AppSettings s(dir.path());
    LoadSettings(s);
    ScriptedPrompt prompt;
    SettingsChoice choice = CurrentChoice(s);
    EXPECT_EQ(choice.labelSheet, "A4-3X8");
    EXPECT_TRUE(ApplySettingsChoice(s, choice, prompt));
    EXPECT_FALSE(PathExists(s.optPath)) << "the default kept writes no options file";

    choice.labelSheet = "A4-2X7";
    EXPECT_TRUE(ApplySettingsChoice(s, choice, prompt));
    EXPECT_STREQ(ChosenLabelSheet(s).key, "A4-2X7");
    EXPECT_EQ(CurrentChoice(s).labelSheet, "A4-2X7");

    choice.labelSheet = "LABEL-100X50";
    {
        WriteProtected readOnly(dir.path());
        EXPECT_FALSE(ApplySettingsChoice(s, choice, prompt));
    }
    EXPECT_STREQ(ChosenLabelSheet(s).key, "A4-2X7");
    bool named = false;
    for (const auto& shown : prompt.shown())
        named = named || shown.text.find(s.optPath + " ...... ") != std::string::npos;
    EXPECT_TRUE(named) << "the options file that could not be written is named";
}
