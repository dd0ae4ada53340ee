#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app/ui/CTavrelDlg.h"
#include "materials/MaterialsFile.h"
#include "materials/ui/TVLMaterialDataDialog.h"
#include "materials/ui/TVLMaterialSelectionDialog.h"
#include "materials/ui/TVLMaterialsDialog.h"
#include "settings/Units.h"
#include "suite/KLanguage.h"
#include "support/UiFixture.h"
#include "ui/CSXButton.h"

using namespace tavrel;

namespace {

class MaterialsWindows : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        LoadUnits(*settings);
        SetCurrentSettings(settings.get());
        std::filesystem::create_directories(settings->dataFolder);
        MaterialList list;
        for (const char* code : {"4MM", "6MM", "8MM"}) {
            Material m("FL", code, "");
            m.description = std::string("Float ") + code;
            m.thickness = std::atof(code);
            list.add(m);
        }
        Material satin("FL", "4MM", "SATIN");
        satin.description = "Float 4MM";
        satin.thickness = 4;
        list.add(satin);
        ASSERT_TRUE(list.save(path(), settings->current));
    }
    std::string path() const { return MaterialsFile::pathIn(settings->dataFolder); }
    MaterialList OnDisk() const {
        MaterialList list;
        list.load(path(), settings->current);
        return list;
    }
    static void Click(QWidget* w, const char* id) {
        auto* b = w->findChild<QPushButton*>(id);
        ASSERT_NE(b, nullptr) << id;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    static void Type(QWidget* w, const char* id, const QString& text) {
        auto* e = w->findChild<QLineEdit*>(id);
        ASSERT_NE(e, nullptr) << id;
        e->selectAll();
        e->del();
        QTest::keyClicks(e, text);
    }
    std::unique_ptr<AppSettings> settings;
};

QTreeWidget* List(QWidget& w) { return w.findChild<QTreeWidget*>("1003"); }

}  // namespace

TEST_F(MaterialsWindows, ListsGroupsAndANestedWindowCannotDelete) {
    TVLMaterialsDialog window(*settings);
    window.show();
    QTreeWidget* list = List(window);
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(2), "SATIN");
    EXPECT_EQ(list->topLevelItem(2)->text(7), "3");
    EXPECT_EQ(window.findChild<QLabel*>("1083")->text(), "3");
    EXPECT_TRUE(window.findChild<QPushButton*>("1002")->isEnabled());

    TVLMaterialsDialog nested(*settings);
    nested.SetNested(true);
    nested.show();
    EXPECT_FALSE(nested.findChild<QPushButton*>("1002")->isEnabled());
    List(nested)->setCurrentItem(List(nested)->topLevelItem(0));
    QTest::keyClick(List(nested), Qt::Key_Delete);
    EXPECT_EQ(List(nested)->topLevelItemCount(), 3) << "the key follows the disabled button";
    EXPECT_TRUE(prompt.shown().empty());
}

TEST_F(MaterialsWindows, HeadersReadWholeWithTheShippedTexts) {
    KLanguage language(dir / "Msg/Tavrel.msg");
    language.LoadStrings();
    SetCurrentCatalogue(&language);
    TVLMaterialsDialog window(*settings);
    window.show();
    QTreeWidget* list = List(window);
    ASSERT_EQ(list->headerItem()->text(4).toStdString(), Msg("00159") + " [mm]");
    int total = 0;
    for (int c = 0; c < list->columnCount(); ++c) {
        EXPECT_GE(list->columnWidth(c), list->header()->sectionSizeHint(c))
            << list->headerItem()->text(c).toStdString() << " reads whole";
        total += list->columnWidth(c);
    }
    EXPECT_LE(total, list->viewport()->width()) << "no sideways scrolling";
}

TEST_F(MaterialsWindows, NewGroupThatExistsIsRefusedAndReopensWithTheTypedValues) {
    TVLMaterialsDialog window(*settings);
    window.show();
    QString reopened;
    WhenModal([&](QWidget* data) {
        Type(data, "1002", "FL");
        Type(data, "1003", "4MM");
        Type(data, "1011", "Float 4 again");
        Click(data, "1");
        // The refused group comes back in a new run of the window.
        WhenModal([&](QWidget* again) {
            reopened = again->findChild<QLineEdit*>("1011")->text();
            Type(again, "1003", "5MM");
            Click(again, "1");
        });
    });
    window.OnNew();
    EXPECT_EQ(Shown(Msg("00088")), 1);
    EXPECT_EQ(reopened, "Float 4 again");
    QTreeWidget* list = List(window);
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(list->topLevelItem(3)->text(1), "5MM") << "appended at the end";
    EXPECT_EQ(list->currentItem(), list->topLevelItem(3));
    const MaterialList disk = OnDisk();
    EXPECT_EQ(disk.indexOf("FL", "5MM", ""), 2) << "sorted in the file";
    EXPECT_EQ(window.changeCount(), 2);
}

TEST_F(MaterialsWindows, DeleteAsksAndRemovesTheWholeGroup) {
    TVLMaterialsDialog window(*settings);
    window.show();
    QTreeWidget* list = List(window);
    list->topLevelItem(0)->setSelected(true);
    list->topLevelItem(2)->setSelected(true);
    prompt.push(PromptAnswer::No);
    window.OnDelete();
    EXPECT_EQ(list->topLevelItemCount(), 3);
    prompt.push(PromptAnswer::Yes);
    window.OnDelete();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(7), "1");
    EXPECT_EQ(OnDisk().count(), 1) << "FL/4MM went with its treatment";
    EXPECT_EQ(prompt.shown().front().defaultButton, 1) << "No is the default";
}

TEST_F(MaterialsWindows, ChangeKeepsTheRowAndWritesTheLimits) {
    TVLMaterialsDialog window(*settings);
    window.show();
    QTreeWidget* list = List(window);
    list->setCurrentItem(list->topLevelItem(1));
    QString offText, backText;
    bool keyReadOnly = false;
    WhenModal([&](QWidget* data) {
        keyReadOnly = data->findChild<QLineEdit*>("1002")->isReadOnly();
        auto* check = data->findChild<QCheckBox*>("1048");
        auto* edit = data->findChild<QLineEdit*>("1015");
        check->click();  // on
        Type(data, "1015", "1200");
        check->click();  // off
        offText = edit->text();
        check->click();  // on again
        backText = edit->text();
        Click(data, "1");
    });
    window.OnChange();
    EXPECT_TRUE(keyReadOnly);
    EXPECT_EQ(offText.toStdString(), Msg("00171"));
    EXPECT_EQ(backText.toStdString(), FormatNumber(LengthFormat(1), 1200));
    EXPECT_EQ(list->topLevelItem(1)->text(6).toStdString(), Msg("00184"));
    EXPECT_DOUBLE_EQ(OnDisk().find("FL", "6MM", "")->maxPlateWidth, 1200);

    // More than one row: told, nothing opens.
    list->topLevelItem(0)->setSelected(true);
    list->topLevelItem(1)->setSelected(true);
    window.OnChange();
    EXPECT_EQ(Shown(Msg("00170")), 1);
}

TEST_F(MaterialsWindows, DataWindowCleansTheKeyAndChecksTheLimits) {
    MaterialList group = NewMaterialGroup();
    TVLMaterialDataDialog data(group);
    data.show();
    auto* serie = data.findChild<QLineEdit*>("1002");
    QTest::keyClicks(serie, "F.L");
    EXPECT_EQ(serie->text(), "FL");
    Type(&data, "1003", "4MM");
    data.findChild<QCheckBox*>("1049")->click();
    Type(&data, "1016", "0");
    data.accept();
    EXPECT_EQ(Shown(Msg("00095")), 1);
    EXPECT_TRUE(data.isVisible());
    Type(&data, "1016", "2250");
    data.accept();
    EXPECT_FALSE(data.isVisible());
    EXPECT_EQ(group.at(0).serie, "FL");
    EXPECT_DOUBLE_EQ(group.at(0).maxPlateHeight, 2250);
}

TEST_F(MaterialsWindows, RoundingControlsShowOnlyWhenTheUnitHasExtraDecimals) {
    auto controls = [](QWidget& data) {
        std::vector<QWidget*> all;
        for (int id = 1085; id <= 1093; ++id) all.push_back(data.findChild<QLabel*>(QString::number(id)));
        all.push_back(data.findChild<QLabel*>("1113"));
        all.push_back(data.findChild<QPushButton*>("3"));
        return all;
    };
    {
        MaterialList group = NewMaterialGroup();
        TVLMaterialDataDialog data(group);
        data.show();
        for (QWidget* w : controls(data)) {
            ASSERT_NE(w, nullptr);
            EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString() << " in millimetres";
        }
    }

    // Inches printed with three decimals, one more than the files keep.
    WriteText(dir / "BRENIX.INI", "[GenGen]\nUMDef=Pollici Americani\n");
    std::string config = ReadText(dir / "CONFIG.INI");
    const auto at = config.find("NumDecimali=2");
    ASSERT_NE(at, std::string::npos);
    config.replace(at, 13, "NumDecimali=3");
    WriteText(dir / "CONFIG.INI", config);
    settings = std::make_unique<AppSettings>(dir.path());
    LoadUnits(*settings);
    SetCurrentSettings(settings.get());
    ASSERT_TRUE(IsInches());

    MaterialList group = NewMaterialGroup();
    TVLMaterialDataDialog data(group);
    data.show();
    for (QWidget* w : controls(data)) {
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString() << " in inches";
    }
    // 0.123 in is 3.1242 mm: a cut parameter keeps tenths of a mm (3.1 mm = 0.12205 in), the
    // thickness hundredths (3.12 mm = 0.12283 in); digits past the unit's are cut, not rounded.
    Type(&data, "1004", "0.123");
    Type(&data, "1012", "0.1239");
    Type(&data, "1013", "1.237");
    Click(&data, "3");
    EXPECT_EQ(data.findChild<QLineEdit*>("1004")->text().toStdString(), "0.122");
    EXPECT_EQ(data.findChild<QLineEdit*>("1012")->text().toStdString(), "0.123");
    EXPECT_EQ(data.findChild<QLineEdit*>("1013")->text().toStdString(), "1.23");
    EXPECT_TRUE(data.isVisible()) << "rounding does not close the window";
}

TEST_F(MaterialsWindows, NestedDataWindowAddsButDoesNotRenameTreatments) {
    MaterialList group;
    group.add(Material("FL", "4MM", ""));
    group.add(Material("FL", "4MM", "SATIN"));
    TVLMaterialDataDialog data(group);
    data.SetKeyEditable(false);
    data.SetReadOnlyTreatments(true);
    data.show();
    auto* treatments = data.findChild<QListWidget*>("1017");
    treatments->setCurrentRow(1);
    EXPECT_FALSE(data.findChild<QPushButton*>("1018")->isEnabled());
    EXPECT_FALSE(data.findChild<QPushButton*>("1019")->isEnabled());
    WhenModal([](QWidget* input) {
        QTest::keyClicks(input->findChild<QLineEdit*>("1002"), "acid");
        Click(input, "1");
    });
    Click(&data, "1001");
    ASSERT_EQ(treatments->count(), 3);
    EXPECT_EQ(treatments->item(1)->text(), "ACID");
    EXPECT_EQ(treatments->currentRow(), 1);
}

TEST_F(MaterialsWindows, MainWindowOpensTheMaterialsWindow) {
    CTavrelDlg main(nullptr, dir.path());
    bool opened = false;
    WhenModal([&](QWidget* w) {
        opened = qobject_cast<TVLMaterialsDialog*>(w) != nullptr;
        Click(w, "2");
    });
    QTest::mouseClick(main.button(1002), Qt::LeftButton);
    EXPECT_TRUE(opened);
}

TEST_F(MaterialsWindows, LayersAreChosenFromOtherPlainMaterials) {
    MaterialList group;
    group.add(Material("LAM", "44-2", ""));
    TVLMaterialDataDialog data(group);
    data.SetKeyEditable(false);
    data.SetReadOnlyTreatments(true);  // nested: layers can be added, not deleted
    data.show();
    QStringList offered;
    bool deleteEnabled = true;
    WhenModal([&](QWidget* layers) {
        deleteEnabled = layers->findChild<QPushButton*>("1001")->isEnabled();
        for (const char* code : {"6MM", "4MM"}) {
            WhenModal([&, code](QWidget* choice) {
                auto* groups = choice->findChild<QComboBox*>("1012");
                offered.clear();
                for (int i = 0; i < groups->count(); ++i) offered << groups->itemText(i);
                groups->setCurrentIndex(groups->findText(QString("FL, ") + code));
                Click(choice, "1");
            });
            Click(layers, "1000");
        }
        auto* list = layers->findChild<QListWidget*>("1003");
        EXPECT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->text(), "FL, 4MM");
        EXPECT_EQ(list->currentRow(), 0);
        Click(layers, "1");
    });
    Click(&data, "1000");
    EXPECT_FALSE(deleteEnabled);
    EXPECT_EQ(offered, (QStringList{"FL, 4MM", "FL, 6MM", "FL, 8MM"}));
    ASSERT_EQ(group.at(0).components.count(), 2);
    EXPECT_EQ(data.findChild<QListWidget*>("1017")->item(0)->text().toStdString(),
              Msg("00086") + " " + Msg("00085"));

    // Without serie and code there is nothing to name the layers after.
    MaterialList fresh = NewMaterialGroup();
    TVLMaterialDataDialog empty(fresh);
    empty.show();
    Click(&empty, "1000");
    EXPECT_EQ(Shown(Msg("00079")), 1);
}

TEST_F(MaterialsWindows, SelectionWithoutAMaterialIsRefused) {
    TVLMaterialSelectionDialog choice(*settings);
    choice.show();
    choice.accept();
    EXPECT_EQ(Shown(Msg("00091")), 1);
    EXPECT_TRUE(choice.isVisible());
    auto* groups = choice.findChild<QComboBox*>("1012");
    groups->setCurrentIndex(0);
    emit groups->activated(0);
    auto* treatments = choice.findChild<QComboBox*>("1013");
    ASSERT_EQ(treatments->count(), 2);
    treatments->setCurrentIndex(1);
    choice.accept();
    EXPECT_TRUE(choice.chosen() == MaterialKey("FL", "4MM", "SATIN"));
}

TEST_F(MaterialsWindows, ListKeysAndHeaderClicksAreWindowCommands) {
    TVLMaterialsDialog window(*settings);
    window.show();
    QTreeWidget* list = List(window);
    list->setCurrentItem(list->topLevelItem(1));
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(window.clipboardRow(), 1);
    QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);  // nothing to paste in this window
    EXPECT_EQ(list->topLevelItemCount(), 3);

    // Thickness: ascending, then descending.
    list->header()->sectionClicked(4);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "4MM");
    list->header()->sectionClicked(4);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "8MM");

    prompt.push(PromptAnswer::Yes);
    list->setCurrentItem(list->topLevelItem(0));
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(Shown(Msg("00074")), 1);
    EXPECT_EQ(list->topLevelItemCount(), 2);
    EXPECT_FALSE(OnDisk().contains("FL", "8MM"));
}

TEST_F(MaterialsWindows, CatalogueThatCannotBeSavedIsTold) {
    TVLMaterialsDialog window(*settings);
    window.show();
    std::filesystem::remove_all(settings->dataFolder);  // the folder went away while open
    List(window)->setCurrentItem(List(window)->topLevelItem(0));
    prompt.push(PromptAnswer::Yes);
    window.OnDelete();
    EXPECT_EQ(Shown(Msg("00267")), 1);
    EXPECT_EQ(List(window)->topLevelItemCount(), 2) << "the window goes on with its list";
}

// A group a Windows station wrote (Windows-1252 bytes) is shown as letters and chosen as the
// bytes the catalogue holds, so the choice is found in the catalogue again.
TEST_F(MaterialsWindows, SelectionOfAWindowsStationsGroupKeepsItsBytes) {
    AddToCatalogue(*settings, "\xC4TZ", "4MM", "S\xC9");
    TVLMaterialSelectionDialog choice(*settings);
    choice.show();
    ChooseShown(choice.findChild<QComboBox*>("1012"), QString::fromUtf8("\xC3\x84TZ, 4MM"));
    auto* treatments = choice.findChild<QComboBox*>("1013");
    ASSERT_EQ(treatments->count(), 2);
    EXPECT_EQ(treatments->itemText(1), QString::fromUtf8("S\xC3\x89"));
    treatments->setCurrentIndex(1);
    choice.accept();
    EXPECT_TRUE(choice.chosen() == MaterialKey("\xC4TZ", "4MM", "S\xC9"));
}

// Changing a material a Windows station wrote: the key and description show as letters, and what
// the user leaves alone is stored in its own bytes, so the group keeps its name and the plates
// and pieces that name it still find it.
TEST_F(MaterialsWindows, DataWindowKeepsAWindowsStationsTextsTheUserLeavesAlone) {
    MaterialList group;
    Material m("\xC4TZ", "4MM", "");
    m.description = "Gl\xE4ser";
    m.thickness = 4;
    group.add(m);
    for (bool keyEditable : {true, false}) {
        TVLMaterialDataDialog data(group);
        data.SetKeyEditable(keyEditable);
        data.show();
        EXPECT_EQ(data.findChild<QLineEdit*>("1002")->text(), QString::fromUtf8("\xC3\x84TZ"));
        EXPECT_EQ(data.findChild<QLineEdit*>("1011")->text(), QString::fromUtf8("Gl\xC3\xA4ser"));
        Type(&data, "1012", "5");
        data.accept();
        EXPECT_FALSE(data.isVisible());
        ASSERT_EQ(group.count(), 1);
        EXPECT_EQ(group.at(0).serie, "\xC4TZ");
        EXPECT_EQ(group.at(0).description, "Gl\xE4ser");
        EXPECT_DOUBLE_EQ(group.at(0).thickness, 5);
    }
}
