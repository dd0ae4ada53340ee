#include <gtest/gtest.h>

#include "common/DateTime.h"
#include "common/Process.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "suite/KLanguage.h"
#include "support/TempDir.h"

using namespace tavrel;

TEST(Process, RunAndWaitReportsExitCode) {
    int err = -1, code = -1;
    EXPECT_TRUE(RunAndWait("/bin/sh", "sh -c \"exit 3\"", &err, &code));
    EXPECT_EQ(code, 3);
    EXPECT_FALSE(RunAndWait("/no/such/program", "x", &err, &code));
    EXPECT_EQ(err, 0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(SplitCommandLine("a \"b c\"  d"), (std::vector<std::string>{"a", "b c", "d"}));
    EXPECT_FALSE(OpenDocument(""));
}

TEST(Process, ThisSystemIsNeverTakenForAnOldOne) {
    // The engine calls wait half a second after each call on old systems; a current one must not.
    const std::string version = Platform::OsVersion();
    const size_t blank = version.find(' ');
    ASSERT_NE(blank, std::string::npos) << "system name, blank, release: " << version;
    EXPECT_GT(blank, 0u);
    EXPECT_LT(blank + 1, version.size());
    EXPECT_NE(IsOldWindows(), 1);
    EXPECT_NE(IsOldWindows(), 0) << "0 means the version could not be read, and it was";
}

TEST(DateTime, DateTextUsesCatalogueMonths) {
    TempDir dir;
    WriteText(dir / "m.msg", "00242=November\n");
    KLanguage lang(dir / "m.msg");
    lang.LoadStrings();
    SetCurrentCatalogue(&lang);
    EXPECT_EQ(DateText("2010-11-03"), " - 03 November 2010 - ");
    EXPECT_EQ(DateText("20101103"), "");
    EXPECT_EQ(DateText("2010-1103"), "");
    EXPECT_EQ(MonthName(1), "00232") << "an unknown ID shows itself";
    SetCurrentCatalogue(nullptr);
}

TEST(DateTime, NowTextFollowsDateOrder) {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 4;
    t.tm_min = 5;
    t.tm_sec = 6;
    EXPECT_EQ(DateTimeText(t, 1, '.'), "08.12.26 04:05:06");
    EXPECT_EQ(DateTimeText(t, 2, '-'), "26-12-08 04:05:06");
    EXPECT_EQ(DateTimeText(t, 0, '/'), "12/08/26 04:05:06");
    EXPECT_EQ(FormatTime(t, ""), "");
    EXPECT_EQ(NowText().size(), 17u);
}
