// The new job window by its controls: the three choices, their lists and what OK returns.

#include <filesystem>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "common/FileUtils.h"
#include "common/Messages.h"
#include "pieces/ui/TVLNewJobDialog.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "support/UiFixture.h"

using namespace tavrel;
namespace fs = std::filesystem;

namespace {

template <typename T = QWidget>
T* Control(QWidget* window, const char* id) {
    T* control = window->findChild<T*>(QString::fromLatin1(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

class NewJobWindow : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        fs::create_directories(settings->excelImportFolder + "/IMPORT");
        WriteText(
            settings->excelImportFolder + "/IMPORT/order.TVX",
            "\"FL\";\"4MM\";\"\";2;1000.000;500.000;\"A1\";\"\";\"\";\"\"\n[XNI_GENERAL]\nFORMAT=TAVREL\n"
            "DESCRIPTION=Customer X\nFILE_VERSION=1\nITEMS=1\n");
    }
    void TearDown() override {
        ProbeExcelImport(std::string());
        UiTest::TearDown();
    }
    std::unique_ptr<AppSettings> settings;
};

}  // namespace

TEST_F(NewJobWindow, TheThreeChoices) {
    ProbeExcelImport(std::string());
    TVLNewJobDialog window(*settings, {"ORD-1\tRossi\tkitchen", "ORD-2\t"});
    auto* list = Control<QListWidget>(&window, "1003");
    auto* ok = Control<QPushButton>(&window, "1");
    EXPECT_TRUE(Control<QRadioButton>(&window, "1021")->isChecked());
    EXPECT_FALSE(list->isEnabled());
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(Control(&window, "1097")->isEnabled()) << "no import program was found";

    Control<QRadioButton>(&window, "1022")->click();
    EXPECT_TRUE(list->isEnabled());
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(Control<QLabel>(&window, "1094")->text().toStdString(), Msg("00217"));
    list->setCurrentRow(0);
    ok->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.texts().jobListName, "ORD-1");
    EXPECT_EQ(window.texts().jobListDescription, "Rossi\tkitchen");

    // The result whose file vanished keeps the window open; the listed one is taken.
    WriteText(settings->excelImportFolder + "/IMPORT/later.TVX",
              "[XNI_GENERAL]\nFORMAT=TAVREL\nDESCRIPTION=\nFILE_VERSION=1\n");
    TVLNewJobDialog results(*settings, {});
    fs::remove(settings->excelImportFolder + "/IMPORT/later.TVX");
    Control<QRadioButton>(&results, "1023")->click();
    auto* resultList = Control<QListWidget>(&results, "1003");
    ASSERT_EQ(resultList->count(), 2);
    resultList->setCurrentRow(0);  // later, gone
    Control<QPushButton>(&results, "1")->click();
    EXPECT_NE(results.result(), QDialog::Accepted);
    resultList->setCurrentRow(1);
    Control<QPushButton>(&results, "1")->click();
    EXPECT_EQ(results.result(), QDialog::Accepted);
    EXPECT_EQ(results.texts().resultName, "order");
    EXPECT_EQ(results.texts().resultDescription, "Customer X");

    // Back to the empty job: the list empties and OK returns five empty texts.
    TVLNewJobDialog empty(*settings, {"ORD-1\tRossi"});
    Control<QRadioButton>(&empty, "1022")->click();
    Control<QRadioButton>(&empty, "1021")->click();
    EXPECT_EQ(Control<QListWidget>(&empty, "1003")->count(), 0);
    EXPECT_TRUE(Control<QLabel>(&empty, "1094")->text().isEmpty());
    Control<QPushButton>(&empty, "1")->click();
    EXPECT_EQ(empty.result(), QDialog::Accepted);
    EXPECT_TRUE(empty.texts().jobListName.empty() && empty.texts().resultPath.empty());
}

TEST_F(NewJobWindow, TheImportButtonFollowsTheProgram) {
    WriteText(settings->excelImportFolder + "/ExcelImport", "#!/bin/sh\nexit 0\n");
    fs::permissions(settings->excelImportFolder + "/ExcelImport", fs::perms::owner_all);
    ASSERT_TRUE(ProbeExcelImport(settings->excelImportFolder));
    TVLNewJobDialog window(*settings, {});
    EXPECT_TRUE(Control(&window, "1097")->isEnabled());
}
