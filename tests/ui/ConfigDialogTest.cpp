#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

#include "common/IniFile.h"
#include "platform/Platform.h"
#include "settings/FolderState.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"
#include "settings/ui/TVLConfigDialog.h"
#include "suite/KLanguage.h"
#include "support/UiFixture.h"
#include "support/WriteProtected.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {

class ConfigDialog : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC", "Addins/ExcelEXE"})
            fs::create_directories(dir / f);
        Load();
    }
    void Load() {
        settings = std::make_unique<AppSettings>(dir.path());
        SetCurrentSettings(settings.get());
        LoadSettings(*settings);
        language = std::make_unique<KLanguage>(dir / "Msg/Tavrel.msg");
        language->LoadStrings();
        SetCurrentCatalogue(language.get());
    }
    template <typename T = QLineEdit>
    T* Control(TVLConfigDialog& dialog, const char* id) {
        T* control = dialog.findChild<T*>(id);
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    static bool IsRed(QLineEdit* edit) {
        return edit->palette().color(QPalette::Base) == TVLConfigDialog::MissingBackground() &&
               edit->palette().color(QPalette::Text) == TVLConfigDialog::MissingText();
    }
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<KLanguage> language;
};

}  // namespace

TEST_F(ConfigDialog, MissingFolderBoxTurnsNormalAtTheKeystrokeThatCompletesIt) {
    fs::create_directories(dir / "STOCK");
    TVLConfigDialog dialog(*settings);
    dialog.show();
    QLineEdit* edit = Control(dialog, "1002");
    EXPECT_FALSE(IsRed(edit));
    edit->setText(QString::fromStdString(dir.path() + "/"));
    EXPECT_FALSE(IsRed(edit));
    for (char c : std::string("STOC")) {
        QTest::keyClick(edit, c);
        EXPECT_TRUE(IsRed(edit)) << edit->text().toStdString();
        EXPECT_FALSE(FolderState(0)) << "the flags follow the typing";
    }
    QTest::keyClick(edit, 'K');
    EXPECT_FALSE(IsRed(edit));
    EXPECT_TRUE(FolderState(0));
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_TRUE(IsRed(edit));
}

TEST_F(ConfigDialog, FoldersMissingAtOpeningShowRedIncludingTheLockedCncBox) {
    fs::remove_all(dir / "CNC");
    settings->tempFolder = dir / "nowhere";
    TVLConfigDialog dialog(*settings);
    EXPECT_TRUE(IsRed(Control(dialog, "1005")));
    EXPECT_TRUE(IsRed(Control(dialog, "1006")));
    EXPECT_FALSE(Control(dialog, "1006")->isEnabled());
    EXPECT_FALSE(Control<QPushButton>(dialog, "1009")->isEnabled());
    EXPECT_FALSE(IsRed(Control(dialog, "1002")));
    EXPECT_EQ(Control(dialog, "1072")->text().toStdString(), settings->excelImportFolder);
}

TEST_F(ConfigDialog, InchDecimalsStopOneBeyondTheStandardWithTheNoteShown) {
    TVLConfigDialog dialog(*settings);
    dialog.show();
    QLineEdit* decimals = Control(dialog, "1123");
    QLabel* note = Control<QLabel>(dialog, "1122");
    QLabel* mark = Control<QLabel>(dialog, "1086");
    EXPECT_FALSE(decimals->isEnabled()) << "millimetres are in use";
    EXPECT_FALSE(Control(dialog, "1124")->isEnabled());
    EXPECT_EQ(Control(dialog, "1124")->text(), "1");
    EXPECT_EQ(decimals->text(), "2");
    EXPECT_FALSE(note->isVisible());

    QTest::mouseClick(Control<QRadioButton>(dialog, "1108"), Qt::LeftButton);
    ASSERT_TRUE(decimals->isEnabled());
    EXPECT_TRUE(Control<QLabel>(dialog, "1116")->isVisible());
    EXPECT_FALSE(Control<QLabel>(dialog, "1110")->isVisible());

    decimals->selectAll();
    QTest::keyClick(decimals, '5');
    EXPECT_EQ(decimals->text(), "3");
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(mark->isVisible());
    decimals->selectAll();
    QTest::keyClick(decimals, '2');
    EXPECT_EQ(decimals->text(), "2");
    EXPECT_FALSE(note->isVisible());
    EXPECT_FALSE(mark->isVisible());
    decimals->selectAll();
    QTest::keyClick(decimals, 'x');
    EXPECT_EQ(decimals->text(), "2") << "digits only";
}

TEST_F(ConfigDialog, InchesAreOfferedOnlyWhenTheUnitTableHasThem) {
    WriteText(dir / "CONFIG.INI",
              "[UM0]\nDescrizione=Millimetri\nLinearFactToMM=1.0\nDefault=Y\nNumDecimali=1\nLinearPost=mm\n");
    Load();
    TVLConfigDialog dialog(*settings);
    EXPECT_FALSE(Control<QRadioButton>(dialog, "1108")->isEnabled());
    EXPECT_TRUE(Control<QRadioButton>(dialog, "1107")->isChecked());

    fs::copy_file(fs::path(TAVREL_SOURCE_DIR) / "resources/suite/CONFIG.INI", dir / "CONFIG.INI",
                  fs::copy_options::overwrite_existing);
    Load();
    TVLConfigDialog both(*settings);
    EXPECT_TRUE(Control<QRadioButton>(both, "1108")->isEnabled());
    EXPECT_EQ(Control<QLabel>(both, "1117")->text(), "mm");
    EXPECT_EQ(Control<QLabel>(both, "1111")->text(), "ft");
    EXPECT_EQ(Control<QLabel>(both, "1115")->text(), "lb");
}

TEST_F(ConfigDialog, OkSavesFoldersAndTheUnitChoice) {
    const std::string moved = dir / "elsewhere";
    TVLConfigDialog dialog(*settings);
    Control(dialog, "1002")->setText(QString::fromStdString(moved));
    QTest::mouseClick(Control<QRadioButton>(dialog, "1108"), Qt::LeftButton);
    QTest::mouseClick(Control<QPushButton>(dialog, "1"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    EXPECT_EQ(settings->dataFolder, moved);
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.INI", "Directories", "DATFilesLocation"), moved);
    EXPECT_EQ(Shown(Msg("00014") + " ...... " + moved), 1) << "a missing folder is saved and reported";
    EXPECT_FALSE(fs::exists(moved)) << "a moved folder is never created";

    // Inches chosen without touching their decimals: saved with the decimals they had.
    EXPECT_EQ(settings->selectedUnit, 1);
    EXPECT_TRUE(IsInches());
    EXPECT_EQ(IniFile::Read(dir / "BRENIX.INI", "GenGen", "UMDef"), "Pollici Americani");
    EXPECT_EQ(IniFile::Read(dir / "CONFIG.INI", "UM1", "NumDecimali"), "2");
    EXPECT_EQ(IniFile::Read(dir / "CONFIG.INI", "UM1", "Default"), "Y");
    EXPECT_EQ(IniFile::Read(dir / "CONFIG.INI", "UM0", "Default"), "N");
}

TEST_F(ConfigDialog, ClearedDecimalsAreSavedAsNone) {
    settings->selectedUnit = 1;
    TVLConfigDialog dialog(*settings);
    Control(dialog, "1123")->clear();
    QTest::mouseClick(Control<QPushButton>(dialog, "1"), Qt::LeftButton);
    EXPECT_EQ(Control(dialog, "1123")->text(), "0");
    EXPECT_EQ(IniFile::Read(dir / "CONFIG.INI", "UM1", "NumDecimali"), "0");
    EXPECT_EQ(settings->units[1].decimals, 0);
}

TEST_F(ConfigDialog, FailedUnitSaveOffersOnlyTheUnitInUseNextTime) {
    fs::remove(dir / "BRENIX.INI");  // no backup can be taken: the save refuses
    TVLConfigDialog dialog(*settings);
    QTest::mouseClick(Control<QRadioButton>(dialog, "1108"), Qt::LeftButton);
    QTest::mouseClick(Control<QPushButton>(dialog, "1"), Qt::LeftButton);
    EXPECT_EQ(settings->selectedUnit, 0);
    EXPECT_TRUE(IsMillimetres());
    TVLConfigDialog again(*settings);
    EXPECT_FALSE(Control<QRadioButton>(again, "1108")->isEnabled());
}

TEST_F(ConfigDialog, CancelWritesNothing) {
    const std::string before = ReadText(dir / "Tavrel.INI");
    TVLConfigDialog dialog(*settings);
    Control(dialog, "1003")->setText("/somewhere/else");
    QTest::mouseClick(Control<QRadioButton>(dialog, "1108"), Qt::LeftButton);
    QTest::mouseClick(Control<QPushButton>(dialog, "2"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(ReadText(dir / "Tavrel.INI"), before);
    EXPECT_EQ(settings->jobFolder, dir / "TVL");
    EXPECT_EQ(settings->selectedUnit, 0);
    EXPECT_TRUE(prompt.shown().empty());
}

TEST_F(ConfigDialog, BrowseStartsAtTheBoxsFolderAndFillsItIn) {
    fs::create_directories(dir / "jobs2");
    TVLConfigDialog dialog(*settings);
    FileDialogs::PushAnswer(QString::fromStdString(dir / "jobs2"));
    QTest::mouseClick(Control<QPushButton>(dialog, "1120"), Qt::LeftButton);
    ASSERT_EQ(FileDialogs::Requests().size(), 1u);
    EXPECT_TRUE(FileDialogs::Requests()[0].folderPicker);
    EXPECT_EQ(FileDialogs::Requests()[0].caption.toStdString(), Msg("00015"));
    EXPECT_EQ(FileDialogs::Requests()[0].startFolder.toStdString(), dir / "TVL");
    EXPECT_EQ(Control(dialog, "1003")->text().toStdString(), dir / "jobs2");

    // A box naming no folder starts the picker at the current folder; cancelling changes nothing.
    Control(dialog, "1004")->setText("/no/such/folder");
    FileDialogs::PushAnswer(QString());
    QTest::mouseClick(Control<QPushButton>(dialog, "1121"), Qt::LeftButton);
    EXPECT_EQ(FileDialogs::Requests()[1].startFolder.toStdString(), Platform::CurrentFolder());
    EXPECT_EQ(Control(dialog, "1004")->text(), "/no/such/folder");
    EXPECT_TRUE(IsRed(Control(dialog, "1004")));
}

TEST_F(ConfigDialog, OkOnAReadOnlyInstallationSaysWhatWasNotSaved) {
    TVLConfigDialog dialog(*settings);
    QTest::mouseClick(Control<QRadioButton>(dialog, "1108"), Qt::LeftButton);
    {
        WriteProtected readOnly(dir.path());
        QTest::mouseClick(Control<QPushButton>(dialog, "1"), Qt::LeftButton);
    }
    EXPECT_EQ(Shown(Msg("00275")), 1);
    EXPECT_EQ(Shown((dir / "Tavrel.INI") + " ...... " + Msg("00273")), 1);
    EXPECT_EQ(Shown(Msg("00276")), 1) << "the unit change that failed is told, not just greyed out";
    EXPECT_EQ(Shown(dir / "CONFIG.INI"), 1);
    TVLConfigDialog again(*settings);
    EXPECT_FALSE(Control<QRadioButton>(again, "1108")->isEnabled());
}

TEST_F(ConfigDialog, TheLanguageIsChosenByNameAndUsedFromTheNextStart) {
    fs::copy_file(fs::path(TAVREL_SOURCE_DIR) / "resources/Msg/Tavrel.it.msg", dir / "Msg/Tavrel.it.msg");
    TVLConfigDialog dialog(*settings);
    auto* languageBox = Control<QComboBox>(dialog, "1125");
    ASSERT_EQ(languageBox->count(), 2);
    EXPECT_EQ(languageBox->itemText(0), "English");
    EXPECT_EQ(languageBox->itemText(1), "Italiano");
    EXPECT_EQ(languageBox->currentIndex(), 0);
    languageBox->setCurrentIndex(1);
    QTest::mouseClick(Control<QPushButton>(dialog, "1"), Qt::LeftButton);
    EXPECT_EQ(settings->language, "it");
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.CFG", "Configuration", "Language"), "it");
    EXPECT_EQ(Shown(Msg("00391")), 1);
    EXPECT_EQ(Msg("00005"), "Settings") << "this run keeps its catalogue";

    prompt.clear();
    TVLConfigDialog again(*settings);
    EXPECT_EQ(Control<QComboBox>(again, "1125")->currentText(), "Italiano");
    QTest::mouseClick(Control<QPushButton>(again, "2"), Qt::LeftButton);
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.CFG", "Configuration", "Language"), "it");
    EXPECT_TRUE(prompt.shown().empty());
}

TEST_F(ConfigDialog, InItalianEveryTextShowsWholeWithItsAccents) {
    fs::create_directories(dir / "Msg");
    fs::copy_file(fs::path(TAVREL_SOURCE_DIR) / "resources/Msg/Tavrel.it.msg", dir / "Msg/Tavrel.it.msg");
    for (const char* file : {"Tavrel.msg", "Tavrel.it.msg"}) {
        SCOPED_TRACE(file);
        language = std::make_unique<KLanguage>(dir / ("Msg/" + std::string(file)));
        ASSERT_GT(language->LoadStrings(), 0);
        SetCurrentCatalogue(language.get());
        TVLConfigDialog dialog(*settings);
        settings->selectedUnit = 1;  // so the rounding note can show as well
        dialog.show();
        Control<QLineEdit>(dialog, "1123")->setEnabled(true);
        Control<QLabel>(dialog, "1122")->show();
        // A text wider than its control is cut on the screen.
        for (QWidget* child : dialog.findChildren<QWidget*>()) {
            QString text;
            int room = child->width();
            if (auto* label = qobject_cast<QLabel*>(child)) {
                text = label->text();
            } else if (auto* radio = qobject_cast<QRadioButton*>(child)) {
                text = radio->text();
                room -= radio->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                        radio->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
            } else if (auto* button = qobject_cast<QPushButton*>(child)) {
                text = button->text();
                room -= 6;
            } else if (auto* group = qobject_cast<QGroupBox*>(child)) {
                text = group->title();
                room -= 16;
            } else {
                continue;
            }
            if (text.isEmpty()) continue;
            EXPECT_LE(child->fontMetrics().horizontalAdvance(text), room)
                << child->objectName().toStdString() << " '" << text.toStdString() << "'";
            EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << text.toStdString();
            EXPECT_FALSE(KLanguage::IsMessageId(text.toStdString())) << "untranslated " << text.toStdString();
        }
        settings->selectedUnit = 0;
    }
    // The accented texts arrive as the letters they are.
    TVLConfigDialog dialog(*settings);
    EXPECT_EQ(dialog.windowTitle(), "Impostazioni");
    bool found = false;
    for (auto* group : dialog.findChildren<QGroupBox*>())
        found = found || group->title() == QString::fromUtf8("Unit\xC3\xA0 di misura");
    EXPECT_TRUE(found);
}

TEST_F(ConfigDialog, TheLabelSheetIsChosenFromTheKnownSheetsAndKeptInTheOptionsFile) {
    WriteText(dir / "Tavrel.OPT", "[OPTIONS]\nPRINT_PIECES_PERIMETER=1\nLABEL_SHEET=a4-2x7\n");
    {
        TVLConfigDialog dialog(*settings);
        dialog.show();
        auto* sheets = Control<QComboBox>(dialog, "1130");
        ASSERT_EQ(sheets->count(), 3);
        EXPECT_EQ(sheets->currentText().toStdString(), Msg("00382"));
        EXPECT_EQ(sheets->itemText(0).toStdString(), Msg("00381"));
        EXPECT_NE(Msg("00383"), "00383") << "every sheet has its name in the catalogue";
        EXPECT_TRUE(dialog.rect().contains(sheets->geometry())) << "the box lies inside the window";
        auto* ok = Control<QPushButton>(dialog, "1");
        EXPECT_GE(ok->geometry().top(), sheets->geometry().bottom()) << "OK sits below the box";
        sheets->setCurrentIndex(2);
        QTest::mouseClick(ok, Qt::LeftButton);
    }
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.OPT", "OPTIONS", "LABEL_SHEET"), "LABEL-100X50");
    EXPECT_EQ(IniFile::Read(dir / "Tavrel.OPT", "OPTIONS", "PRINT_PIECES_PERIMETER"), "1");
    TVLConfigDialog again(*settings);
    EXPECT_EQ(Control<QComboBox>(again, "1130")->currentIndex(), 2);
}
