#include <QLabel>
#include <QPushButton>

#include "app/AboutText.h"
#include "app/ui/CAboutDlg.h"
#include "common/DateTime.h"
#include "suite/KLanguage.h"
#include "support/UiFixture.h"
#include "ui/CStaticLink.h"

using namespace tavrel;

namespace {

class About : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        SetCurrentSettings(settings.get());
        language = std::make_unique<KLanguage>(dir / "Msg/Tavrel.msg");
        language->LoadStrings();
        SetCurrentCatalogue(language.get());
    }
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<KLanguage> language;
};

}  // namespace

TEST(AboutText, ProductVersionDropsTheBuildNumberAndMarksThePatchLevel) {
    EXPECT_EQ(CleanProductVersion("3, 1, 0, 12"), "3.1/0");
    EXPECT_EQ(CleanProductVersion("1,0,0,7"), "1.0/0");
    EXPECT_EQ(CleanProductVersion("2, 5"), "2");
    EXPECT_EQ(CleanProductVersion("9"), "9");
    EXPECT_EQ(CleanProductVersion(""), "");
}

TEST(AboutText, ADateThatIsNoDateAddsNothingAndTheRestStays) {
    // Build dates come from the build machine's clock; one without "-" must not eat the line.
    EXPECT_EQ(VersionLine({"Tavrel", "2, 0, 1, 5", "g1a2b3c", "20101103"}),
              "Tavrel v. 2.0/1 (Build g1a2b3c) ");
    const std::string line = VersionLine({"Tavrel", "2, 0, 1, 5", "g1a2b3c-dirty", "2010-11-03"});
    EXPECT_EQ(line.rfind("Tavrel v. 2.0/1 (Build g1a2b3c-dirty)  - 03 ", 0), 0u)
        << "a '-' in the build is no date: " << line;
}

TEST_F(About, VersionLineCarriesNameVersionBuildAndDate) {
    const VersionInfo info{"Tavrel", "3, 1, 0, 12", "abc1234", "2010-11-03"};
    EXPECT_EQ(VersionLine(info), "Tavrel v. 3.1/0 (Build abc1234)  - 03 " + Msg("00242") + " 2010 - ");

    CAboutDlg dialog(info, nullptr);
    EXPECT_EQ(dialog.findChild<QLabel*>("1106")->text().toStdString(), VersionLine(info));
    EXPECT_EQ(dialog.windowTitle().toStdString(), Msg("00247"));
    EXPECT_EQ(dialog.findChild<QPushButton*>("1")->text().toStdString(), Msg("00008"));
}

TEST_F(About, TheProgramsOwnVersionComesFromTheBuild) {
    const VersionInfo info = CAboutDlg::ProgramVersionInfo();
    EXPECT_EQ(info.productName, "Tavrel");
    // The project version with commas, then the build number: a whole number.
    std::string commas = TAVREL_VERSION;
    for (size_t dot; (dot = commas.find('.')) != std::string::npos;) commas.replace(dot, 1, ", ");
    ASSERT_EQ(info.productVersion.rfind(commas + ", ", 0), 0u)
        << info.productVersion << " for " << TAVREL_VERSION;
    const std::string build = info.productVersion.substr(commas.size() + 2);
    EXPECT_FALSE(build.empty());
    EXPECT_EQ(build.find_first_not_of("0123456789"), std::string::npos) << build;
    std::string shown = TAVREL_VERSION;  // 1.0.0 shows as 1.0/0
    shown[shown.rfind('.')] = '/';
    EXPECT_EQ(CleanProductVersion(info.productVersion), shown);
    EXPECT_FALSE(info.privateBuild.empty());
    ASSERT_EQ(info.comments.size(), 10u) << "a year-month-day date";
    EXPECT_FALSE(DateText(info.comments).empty());
    CAboutDlg dialog(nullptr);
    EXPECT_EQ(dialog.findChild<QLabel*>("1106")->text().toStdString(), VersionLine(info));
}

TEST_F(About, ServicePackLineFollowsSvPackIni) {
    const std::string fixed = " " + Msg("00245") + ":   ";
    EXPECT_EQ(ServicePackLine(dir.path()), fixed);
    {
        CAboutDlg dialog(nullptr);
        EXPECT_EQ(dialog.findChild<QLabel*>("1107")->text().toStdString(), fixed);
    }
    WriteText(dir / "SvPack.INI", "[SVPACK]\r\nVER=2\r\nDATE=2024-03-05\r\nCOMMENT=glass edges\r\n");
    const std::string expected = fixed + " 2 - 05 " + Msg("00234") + " 2024 - glass edges";
    EXPECT_EQ(ServicePackLine(dir.path()), expected);
    CAboutDlg dialog(nullptr);
    EXPECT_EQ(dialog.findChild<QLabel*>("1107")->text().toStdString(), expected);

    auto* web = dialog.findChild<CStaticLink*>("1213");
    auto* mail = dialog.findChild<CStaticLink*>("1214");
    ASSERT_TRUE(web && mail);
    EXPECT_TRUE(web->target().startsWith("https://"));
    EXPECT_TRUE(mail->target().startsWith("mailto:"));
}
