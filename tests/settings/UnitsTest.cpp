#include <gtest/gtest.h>

#include "settings/AppSettings.h"
#include "settings/Units.h"
#include "suite/KLanguage.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

using namespace tavrel;

namespace {

// An installation with the shipped unit table, the given unit selected.
class UnitsFixture : public ::testing::Test {
protected:
    void Use(const std::string& unitName, int inchDecimals = 2) {
        InstallSuiteFiles(dir.path());
        WriteText(dir / "BRENIX.INI", "[GenGen]\nUMDef=" + unitName + "\n");
        std::string config = ReadText(dir / "CONFIG.INI");
        auto at = config.find("NumDecimali=2");
        config.replace(at, 13, "NumDecimali=" + std::to_string(inchDecimals));
        WriteText(dir / "CONFIG.INI", config);
        settings = std::make_unique<AppSettings>(dir.path());
        LoadUnits(*settings);
        SetCurrentSettings(settings.get());
    }
    void TearDown() override {
        SetCurrentSettings(nullptr);
        SetCnvDimFromSys(nullptr);
    }
    TempDir dir;
    std::unique_ptr<AppSettings> settings;
};

}  // namespace

TEST(Numbers, RoundingAndTruncation) {
    EXPECT_DOUBLE_EQ(RoundDecimals(-1.25, 1, 0), -1.3);
    EXPECT_DOUBLE_EQ(RoundDecimals(1.25, 1, 0), 1.3);
    EXPECT_DOUBLE_EQ(RoundDecimals(2.675, 2, 0), 2.67) << "judged on the stored digits";
    EXPECT_DOUBLE_EQ(RoundDecimals(9.96, 1, 0), 10.0);
    EXPECT_DOUBLE_EQ(RoundDecimals(1.26, 1, 1), 1.3);
    EXPECT_DOUBLE_EQ(RoundDecimals(1.26, -1, 0), 1.26);
    EXPECT_DOUBLE_EQ(RoundDecimals(1.26, 1, 5), 1.26);
    std::string text;
    EXPECT_DOUBLE_EQ(TruncateDecimals(2.999, &text, 0), 2.0);
    EXPECT_EQ(text, "2.");
    EXPECT_DOUBLE_EQ(TruncateDecimals(-12.3456, &text, 2), -12.34);
    EXPECT_EQ(text, "-12.34");
}

TEST(Numbers, NeutralWithoutSettings) {
    SetCurrentSettings(nullptr);
    EXPECT_EQ(LinearFactor(), 0.0);
    EXPECT_EQ(Decimals(), 1);
    EXPECT_EQ(LengthFormat(1), "%.1lf");
    EXPECT_EQ(LengthFormat(25.4), "%.2lf");
    EXPECT_EQ(WithLinearLabel("[", "]"), "");
    EXPECT_TRUE(ExceedsStdDecimals(-1, -1));
    EXPECT_EQ(ToSystemLength(12.0), 0.0);
    EXPECT_EQ(ToSystemScaled(12.0, 10, 1), 0);
    EXPECT_EQ(ToSystemScaled(-1.0, 10, 1), 99990);
}

TEST_F(UnitsFixture, MillimetreConversions) {
    Use("Millimetri");
    ASSERT_EQ(settings->selectedUnit, 0);
    EXPECT_TRUE(IsMillimetres());
    std::string text, text2;
    EXPECT_EQ(ToSystemScaled(12.34, 10, 1, &text, &text2), 123);
    EXPECT_EQ(text, "12.3");
    EXPECT_EQ(ToSystemScaled(-1, 100, 1), 99990);
    EXPECT_EQ(ToSystemScaled(1000.05, 10, 1), 10000);
    EXPECT_EQ(ToSystemScaled(5, 0, 1), 0);
    EXPECT_DOUBLE_EQ(ToSystemLength(12.39), 12.3) << "entered values are truncated, never rounded";
    EXPECT_DOUBLE_EQ(DisplayLength(12.36), 12.4);
    EXPECT_EQ(WithLinearLabel("[", "]"), "[mm]");
    EXPECT_DOUBLE_EQ(ToLongLength(2500), 2.5);
}

TEST_F(UnitsFixture, InchConversions) {
    Use("Pollici Americani");
    ASSERT_EQ(settings->selectedUnit, 1);
    EXPECT_TRUE(IsInches());
    EXPECT_DOUBLE_EQ(DisplayLength(2540.000), 100.0);
    EXPECT_DOUBLE_EQ(DisplayLength(25.400), 1.0);
    EXPECT_NEAR(ToSystemLength(100.0), 2540.0, 1e-9);
    std::string text;
    EXPECT_EQ(ToSystemScaled(1.5, 10, 1, &text), 381);
    EXPECT_EQ(text, "1.50") << "without the library the text is the user value in the unit's format";
    EXPECT_DOUBLE_EQ(ToLongLength(24.0), 2.0);
    EXPECT_EQ(WithLengthLabel(), "ft");
}

TEST_F(UnitsFixture, InchesWithExtraDecimalsPassThroughTheLibrary) {
    Use("Pollici Americani", 3);
    EXPECT_EQ(Decimals(), 3);
    EXPECT_TRUE(ExceedsStdDecimals(-1, -1));
    static int calls = 0;
    calls = 0;
    SetCnvDimFromSys([](char* out, int, int section, int, double value) {
        ++calls;
        std::snprintf(out, 64, "%.3f", value / 25.4 + (section == 1 ? 0 : 1000));
        return 1;
    });
    EXPECT_NEAR(DisplayLength(2540.0), 100.0, 1e-9);
    EXPECT_GT(calls, 0);
}

TEST_F(UnitsFixture, SummaryLabelFitsInto32) {
    Use("Millimetri");
    KLanguage lang(std::string(TAVREL_SOURCE_DIR) + "/resources/Msg/Tavrel.msg");
    lang.LoadStrings();
    SetCurrentCatalogue(&lang);
    const std::string name(40, 'N');
    std::string label = SummaryLabel(name, 12.5);
    EXPECT_LE(label.size(), 32u);
    EXPECT_EQ(label.substr(0, 3), "NNN");
    EXPECT_NE(label.find("12.50 m]"), std::string::npos) << label;
    EXPECT_EQ(SummaryLabel("  short  ", 1.0).substr(0, 6), "short ");
    SetCurrentCatalogue(nullptr);
}

// Truncation keeps every digit before the point and never rounds the ones after it, whatever
// the size of the value: lengths of millions of millimetres and three decimals included.
TEST(Numbers, TruncationKeepsLargeValuesWhole) {
    std::string text;
    EXPECT_DOUBLE_EQ(TruncateDecimals(1234567.8, &text, 1), 1234567.8);
    EXPECT_EQ(text, "1234567.8");
    EXPECT_DOUBLE_EQ(TruncateDecimals(1500000.0, &text, 1), 1500000.0);
    EXPECT_EQ(text, "1500000.0") << "a whole number keeps its point";
    EXPECT_DOUBLE_EQ(TruncateDecimals(3456789.0, &text, 0), 3456789.0);
    EXPECT_DOUBLE_EQ(TruncateDecimals(3210.123, &text, 3), 3210.123);
    EXPECT_EQ(text, "3210.123");
    EXPECT_DOUBLE_EQ(TruncateDecimals(9999999.999, &text, 2), 9999999.99);
    EXPECT_DOUBLE_EQ(TruncateDecimals(0.001, &text, 3), 0.001);
    EXPECT_DOUBLE_EQ(TruncateDecimals(0.0019, &text, 2), 0.0);
}

// Weights and areas are typed and shown with two decimals in every unit and with any length
// decimals, so the stored value keeps both of them.
TEST(Numbers, WeightsAndAreasKeepTheirTwoDecimals) {
    for (int decimals = 0; decimals <= 3; ++decimals) {
        const CurrentUnit mm = Millimetres(decimals);
        EXPECT_DOUBLE_EQ(ToSystemWeight(mm, 12.35), 12.35) << decimals << " decimals";
        EXPECT_DOUBLE_EQ(ToSystemArea(mm, 0.25), 0.25) << decimals << " decimals";
        EXPECT_DOUBLE_EQ(ToSystemWeight(mm, 12.359), 12.35) << "truncated, never rounded";
        const CurrentUnit inches = Inches(decimals);
        EXPECT_NEAR(ToSystemWeight(inches, 12.35), 12.35 * 0.45359237, 1e-12);
        EXPECT_NEAR(ToSystemArea(inches, 0.25), 0.25 * 0.09290304, 1e-12);
        EXPECT_DOUBLE_EQ(DisplayWeight(inches, ToSystemWeight(inches, 12.35)), 12.35);
    }
}

// A length from a damaged catalogue far beyond any whole number of tenths (22 500 km) is shown in
// inches with three decimals as its own value, not as the wrapped count of tenths.
TEST(Numbers, LengthsBeyondTheTenthsCountKeepTheirValue) {
    const CurrentUnit inches = Inches(3);
    EXPECT_NEAR(DisplayLength(inches, 2.25e10), 2.25e10 / 25.4, 0.01);
    EXPECT_NEAR(DisplayLength(inches, -2.25e10), -2.25e10 / 25.4, 0.01);
    EXPECT_NEAR(DisplayLength(inches, 1234.5), 48.602, 0.0005);
}
