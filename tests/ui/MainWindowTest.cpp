#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "app/ui/CAboutDlg.h"
#include "app/ui/CTavrelDlg.h"
#include "platform/Platform.h"
#include "settings/Units.h"
#include "settings/ui/TVLConfigDialog.h"
#include "support/UiFixture.h"
#include "ui/CSXButton.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {

class MainWindow : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        SuiteLibrary::instance().release();  // every start begins as a fresh process's would
    }
    void TearDown() override {
        SuiteLibrary::instance().release();
        UiTest::TearDown();
    }
    // The installation the tests start from: every folder there except the spreadsheet import
    // program's, and no engine library.
    std::unique_ptr<CTavrelDlg> Start() { return std::make_unique<CTavrelDlg>(nullptr, dir.path()); }
};

}  // namespace

TEST_F(MainWindow, StartsWithoutTheEngineLibraryTellingItOnce) {
    auto window = Start();
    EXPECT_EQ(Shown(Msg("00117")), 1);
    EXPECT_EQ(Shown("libZORUDIR.so"), 1);
    EXPECT_FALSE(window->startup().libraryOk);
    EXPECT_EQ(CTavrelDlg::Current(), window.get());
    EXPECT_EQ(CurrentSettings(), &window->settings());

    // The panel is there, translated, with its icons and Exit as the default button.
    const std::pair<int, int> icons[] = {{1000, 130}, {1001, 131}, {1002, 137},
                                         {1003, 138}, {1005, 133}, {1006, 134}};
    for (auto [id, icon] : icons) {
        CSXButton* b = window->button(id);
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->iconId(), icon) << id;
        EXPECT_EQ(b->imageMargin(), 8);
        EXPECT_EQ(b->text().toStdString(), Msg("0000" + std::to_string(id - 999))) << id;
    }
    EXPECT_TRUE(window->button(1006)->isDefaultButton());
    EXPECT_FALSE(window->button(1000)->isDefaultButton());
    EXPECT_EQ(window->windowTitle(), "Tavrel");

    // The window still works: the buttons whose windows are still to come do nothing, and
    // Exit closes it.
    prompt.clear();
    window->show();
    QTest::mouseClick(window->button(1000), Qt::LeftButton);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(prompt.shown().empty());
    QTest::mouseClick(window->button(1006), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

TEST_F(MainWindow, LoadsTheEngineLibraryOfTheInstallation) {
    fs::copy_file(FAKE_ENGINE, dir / kSuiteLibraryName);
    {
        auto window = Start();
        EXPECT_TRUE(window->startup().libraryOk);
        EXPECT_EQ(Shown(Msg("00117")), 0);
        LoadEditorFn editor = nullptr;
        EXPECT_TRUE(window->LoadSuiteLibrary(&editor));
        EXPECT_NE(editor, nullptr);
        EXPECT_NE(GetCnvDimFromSys(), nullptr) << "lengths are formatted by the library";
    }
    // A library without the editor entry is named in one message; the rest still loads.
    SuiteLibrary::instance().release();  // never overwrite a loaded library
    fs::copy_file(FAKE_ENGINE_PARTIAL, dir / kSuiteLibraryName, fs::copy_options::overwrite_existing);
    prompt.clear();
    {
        auto window = Start();
        LoadEditorFn editor = nullptr;
        EXPECT_FALSE(window->LoadSuiteLibrary(&editor, true));
        EXPECT_EQ(editor, nullptr);
        EXPECT_EQ(Shown(Msg("00115") + " 'LoadEditor' " + Msg("00116")), 2) << "at start and at the reload";
        EXPECT_EQ(Shown(Msg("00117")), 0);
    }
}

TEST_F(MainWindow, SettingsButtonShowsTheMissingFolderAndRecoversWithoutARestart) {
    auto window = Start();
    EXPECT_FALSE(window->startup().foldersOk);
    EXPECT_EQ(window->button(1004)->iconId(), 199);
    EXPECT_EQ(Shown(Msg("00218") + " ...... "), 1) << "the missing import folder is reported";

    const std::string addins = dir / "Addins";
    fs::create_directories(addins);
    bool wasRed = false;
    WhenModal([&](QWidget* w) {
        ASSERT_NE(qobject_cast<TVLConfigDialog*>(w), nullptr);
        auto* edit = w->findChild<QLineEdit*>("1072");
        wasRed = edit->palette().color(QPalette::Base) == TVLConfigDialog::MissingBackground();
        edit->setText(QString::fromStdString(addins));
        QTest::mouseClick(w->findChild<QPushButton*>("1"), Qt::LeftButton);
    });
    prompt.clear();
    window->OnSettings();
    EXPECT_TRUE(wasRed);
    EXPECT_EQ(window->button(1004)->iconId(), 132);
    EXPECT_TRUE(prompt.shown().empty()) << "every folder exists now: no report";
    EXPECT_EQ(window->settings().excelImportFolder, addins);

    // A folder that goes missing again shows at the next closing of the settings window.
    fs::remove_all(dir / "TEMP");
    WhenModal([](QWidget* w) { QTest::mouseClick(w->findChild<QPushButton*>("2"), Qt::LeftButton); });
    window->OnSettings();
    EXPECT_EQ(window->button(1004)->iconId(), 199);
}

TEST_F(MainWindow, CancellingTheJobChoiceLeavesTheCurrentFolderAtTheInstallation) {
    auto window = Start();
    FileDialogs::PushAnswer(QString());
    window->OnOpenJob();
    ASSERT_EQ(FileDialogs::Requests().size(), 1u);
    const auto& asked = FileDialogs::Requests()[0];
    EXPECT_EQ(asked.currentFolder.toStdString(), window->settings().jobFolder)
        << "the job folder is current while the user chooses";
    EXPECT_EQ(asked.startFolder.toStdString(), window->settings().jobFolder);
    EXPECT_TRUE(asked.filter.endsWith("(*.TVL)"));
    EXPECT_TRUE(asked.filter.startsWith(QString::fromStdString(Msg("00109"))));
    EXPECT_EQ(Platform::CurrentFolder(), dir.path());
}

TEST_F(MainWindow, ChosenJobKeepsItsLetterCase) {
    auto window = Start();
    const std::string job = dir / "TVL/Order-7.tvl";
    WriteText(job, "");
    FileDialogs::PushAnswer(QString::fromStdString(job));
    const CTavrelDlg::JobChoice choice = window->OpenJob();
    EXPECT_EQ(choice.path, job);
    EXPECT_TRUE(fs::exists(choice.path));
    EXPECT_EQ(choice.caption, QString::fromStdString(job).toUpper().toStdString());
    EXPECT_EQ(Platform::CurrentFolder(), dir.path());
}

TEST_F(MainWindow, AboutOpensFromItsButtonFromF1AndFromTheContextMenu) {
    auto window = Start();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    int opened = 0;
    auto closeAbout = [&](QWidget* w) {
        if (qobject_cast<CAboutDlg*>(w)) ++opened;
        QTest::mouseClick(w->findChild<QPushButton*>("1"), Qt::LeftButton);
    };
    WhenModal(closeAbout);
    QTest::mouseClick(window->button(1005), Qt::LeftButton);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    WhenModal(closeAbout);
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(opened, 2);

    const QList<QAction*> menu = window->actions();
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(window->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(menu[0]->text().toStdString(), Msg("00247") + "...");
    WhenModal(closeAbout);
    menu[0]->trigger();
    EXPECT_EQ(opened, 3);
    window->close();
}

TEST_F(MainWindow, UnitChangeReloadsTheEngineLibrary) {
    auto window = Start();
    prompt.clear();
    ASSERT_TRUE(SaveUnitChoice(window->settings(), 1, 2));
    EXPECT_EQ(Shown(Msg("00117")), 1) << "the forced reload looks for the library again";
    window.reset();
    prompt.clear();
    AppSettings alone(dir.path());
    LoadUnits(alone);
    ASSERT_TRUE(SaveUnitChoice(alone, 0, 1));
    EXPECT_TRUE(prompt.shown().empty()) << "no main window, no reload";
}
