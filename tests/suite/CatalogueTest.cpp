#include <filesystem>
#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "suite/KLanguage.h"
#include "support/TempDir.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {
std::string Shipped() { return std::string(TAVREL_SOURCE_DIR) + "/resources/Msg/Tavrel.msg"; }
}  // namespace

TEST(Catalogue, ShippedCatalogueIsComplete) {
    KLanguage lang(Shipped());
    ASSERT_GE(lang.LoadStrings(), 265);
    for (int i = 0; i <= 264; ++i) {
        char id[8];
        std::snprintf(id, sizeof id, "%05d", i);
        EXPECT_TRUE(lang.Has(id)) << id;
        EXPECT_NE(lang.Message(id), id) << id;
    }
    EXPECT_EQ(lang.Message("00000"), "English");
    EXPECT_EQ(lang.Message("00232"), "January");
    EXPECT_EQ(lang.Message("00243"), "December");
}

TEST(Catalogue, EveryIdInTheCodeIsShipped) {
    KLanguage lang(Shipped());
    lang.LoadStrings();
    const std::regex id("\"(\\d{5})\"");
    std::set<std::string> missing;
    int seen = 0;
    for (const char* top : {"src", "engine", "tools", "jobreader"}) {
        const fs::path root = fs::path(TAVREL_SOURCE_DIR) / top;
        if (!fs::exists(root)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const auto ext = entry.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            const std::string text = ReadText(entry.path().string());
            for (std::sregex_iterator it(text.begin(), text.end(), id), end; it != end; ++it) {
                ++seen;
                if (!lang.Has((*it)[1])) missing.insert((*it)[1]);
            }
        }
    }
    EXPECT_GT(seen, 10);
    EXPECT_TRUE(missing.empty()) << "first missing: " << (missing.empty() ? "" : *missing.begin());
}

TEST(Catalogue, FallsBackToTheIdAndKeepsFragments) {
    TempDir dir;
    WriteText(dir / "c.msg", "# comment\n00001=Two\\nlines\n00001=ignored duplicate\nbad line\n12=short\n");
    KLanguage lang(dir / "c.msg");
    EXPECT_EQ(lang.LoadStrings(), 1);
    EXPECT_EQ(lang.Message("00001"), "Two\nlines");
    EXPECT_EQ(lang.Message("00002"), "00002");
    EXPECT_EQ(lang.Message("  [ "), "  [ ");
    KLanguage none(dir / "missing.msg");
    EXPECT_EQ(none.LoadStrings(), 0);
    EXPECT_EQ(none.Message("00073"), "00073");
    std::mt19937 rng(3);
    for (int i = 0; i < 200; ++i) {
        WriteText(dir / "r.msg", RandomBytes(rng, 500));
        KLanguage r(dir / "r.msg");
        r.LoadStrings();
        (void)r.Message("00001");
    }
}
