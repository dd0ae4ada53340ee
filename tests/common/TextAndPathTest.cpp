#include <gtest/gtest.h>

#include "common/PathUtils.h"
#include "common/TextUtils.h"

using namespace tavrel;

TEST(SplitPath, SplitsFolderDriveAndFirstDot) {
    PathParts p = SplitPath("C:\\jobs\\order.1.TVL");
    EXPECT_EQ(p.folder, "C:\\jobs");
    EXPECT_EQ(p.drive, "C");
    EXPECT_EQ(p.fileName, "order.1.TVL");
    EXPECT_EQ(p.baseName, "order");
    EXPECT_EQ(p.extension, "1.TVL");

    p = SplitPath("\\x.txt");
    EXPECT_EQ(p.folder, "");
    EXPECT_EQ(p.drive, "");
    EXPECT_EQ(p.fileName, "x.txt");

    p = SplitPath("/home/u/job.TVL");  // our own separator splits the same way
    EXPECT_EQ(p.folder, "/home/u");
    EXPECT_EQ(p.baseName, "job");

    p = SplitPath("dir/.hidden");
    EXPECT_EQ(p.baseName, "");
    EXPECT_EQ(p.extension, "");
    p = SplitPath("README");
    EXPECT_EQ(p.baseName, "README");
    EXPECT_EQ(p.extension, "");
    EXPECT_EQ(SplitPath("").fileName, "");
}

TEST(SplitPath, HasExtensionIgnoresCase) {
    EXPECT_TRUE(HasExtension("a/b.tvl", "TVL"));
    EXPECT_FALSE(HasExtension("a/b.tvl.bak", "TVL"));
    EXPECT_FALSE(HasExtension("", ""));
}

TEST(TextUtils, RemoveAndReplace) {
    std::string t = "abc";
    EXPECT_EQ(ReplaceChars(t, "ab", 'x'), 2);
    EXPECT_EQ(t, "xxc");
    t = "a'b\"c;d|e,f:g\\h";
    EXPECT_EQ(RemoveChars(t, "'\";|,:\\"), 7);
    EXPECT_EQ(t, "abcdefgh");
    t = "aaa";
    EXPECT_EQ(ReplaceChars(t, "a", 'a'), 0) << "a replacement inside the set must not loop";
}

TEST(TextUtils, TrailingNumber) {
    int prefix = -1, digits = -1, zeros = -1;
    EXPECT_EQ(TrailingNumber("AB007", &prefix, &digits, &zeros), 7);
    EXPECT_EQ(prefix, 2);
    EXPECT_EQ(digits, 3);
    EXPECT_EQ(zeros, 2);
    EXPECT_EQ(TrailingNumber("P000", nullptr, nullptr, &zeros), 0);
    EXPECT_EQ(zeros, 3);
    EXPECT_EQ(TrailingNumber("ABC", nullptr, &digits), -1);
    EXPECT_EQ(digits, 0);
    EXPECT_EQ(TrailingNumber(""), -1);
    EXPECT_EQ(TrailingNumber("X99999999999999999999"), 2147483647) << "saturates, never overflows";
}

TEST(TextUtils, WrapSortAndFields) {
    EXPECT_EQ(Wrap("x", "[", "]"), "[x]");
    EXPECT_EQ(Wrap("x", "", "]"), "x");
    std::vector<int> v{3, 9, 1, 9};
    SortDescending(v);
    EXPECT_EQ(v, (std::vector<int>{9, 9, 3, 1}));
    auto f = SplitFields("\"FL\";4MM;\"Float glass\";;x\"");
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[0], "FL");
    EXPECT_EQ(f[2], "Float glass");
    EXPECT_EQ(f[3], "");
    EXPECT_EQ(f[4], "x");
}

// A text written by a Windows station in its code page shows as the letters it meant; UTF-8
// text, including four-byte characters, shows as it is.
// A field of 12 bytes: UTF-8 loses the whole letter that would not fit, Windows-1252 (one byte a
// letter) is cut where the field ends, and a text that fits stays whole.
TEST(DisplayText, LeadingBytesNeverCutALetterInHalf) {
    EXPECT_EQ(LeadingBytes("ABCDEFGHIJK\xC3\xA4rger", 12), "ABCDEFGHIJK");
    EXPECT_EQ(LeadingBytes("ABCDEFGHIJ\xE2\x82\xAC", 12), "ABCDEFGHIJ");  // a 3-byte euro sign
    EXPECT_EQ(LeadingBytes("ABCDEFGHI\xE2\x82\xAC", 12), "ABCDEFGHI\xE2\x82\xAC");
    EXPECT_EQ(LeadingBytes("ABCDEFGHIJK\xE4rger", 12), "ABCDEFGHIJK\xE4");  // Windows-1252
    EXPECT_EQ(LeadingBytes("K\xC3\xBC"
                           "che",
                           16),
              "K\xC3\xBC"
              "che");
    EXPECT_EQ(LeadingBytes("\xC3\xA4", 1), "");
    EXPECT_EQ(LeadingBytes("", 0), "");
}

TEST(DisplayText, NonUtf8TextShowsAsWindows1252) {
    EXPECT_EQ(DisplayText("\xC9tag\xE8re"), "\xC3\x89tag\xC3\xA8re");  // Étagère
    EXPECT_EQ(DisplayText("\x80 \x93q\x94 \x8A"), "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC5\xA0");
    EXPECT_EQ(DisplayText("a\x81z"), "a\xEF\xBF\xBDz") << "a byte the code page leaves unassigned";
    for (const std::string utf8 :
         {"", "plain", "\xC3\x89tag\xC3\xA8re", "\xE2\x82\xAC", "\xF0\x9F\x98\x80 smile"}) {
        EXPECT_TRUE(IsValidUtf8(utf8)) << utf8;
        EXPECT_EQ(DisplayText(utf8), utf8);
    }
    for (const std::string broken :
         {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3\x28", "ok\xE2\x82"}) {
        EXPECT_FALSE(IsValidUtf8(broken)) << "overlong, surrogate, beyond the range or cut short";
        EXPECT_TRUE(IsValidUtf8(DisplayText(broken)));
    }
}
