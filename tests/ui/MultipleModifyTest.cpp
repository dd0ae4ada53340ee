#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "materials/MaterialsFile.h"
#include "model/MaterialList.h"
#include "settings/Units.h"
#include "suite/KLanguage.h"
#include "support/UiFixture.h"
#include "ui/MultipleModify.h"

using namespace tavrel;

namespace {

class BulkChange : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        settings = std::make_unique<AppSettings>(dir.path());
        LoadUnits(*settings);
        SetCurrentSettings(settings.get());
        std::filesystem::create_directories(settings->dataFolder);
        MaterialList list;
        list.add(Material("FL", "4MM", ""));
        list.add(Material("FL", "4MM", "SATIN"));
        list.add(Material("FL", "6MM", ""));
        ASSERT_TRUE(list.save(MaterialsFile::pathIn(settings->dataFolder), settings->current));
        table.Add("Material", "M");
        table.Add("Quantity:", "%ld");
        table.Add("Priority", "%ld", true);
        table.Add("Kind", "C", false, "K0, K1, K2, ");
    }
    void Select(MultipleModify& w, int row) {
        auto* list = w.findChild<QTreeWidget*>("1100");
        list->setCurrentItem(list->topLevelItem(row));
    }
    void Tick(MultipleModify& w, int row) {
        w.findChild<QTreeWidget*>("1100")->topLevelItem(row)->setCheckState(0, Qt::Checked);
    }
    QString Shown(MultipleModify& w, int row) {
        return w.findChild<QTreeWidget*>("1100")->topLevelItem(row)->text(2);
    }
    std::unique_ptr<AppSettings> settings;
    ModifyFieldTable table;
};

}  // namespace

TEST_F(BulkChange, FieldsAreSetTickedAndReturned) {
    MultipleModify window(*settings, table, 12);
    window.show();
    EXPECT_EQ(window.findChild<QLabel*>("1083")->text(), "12");
    auto* materials = window.findChild<QComboBox*>("1012");
    EXPECT_TRUE(materials->isVisible());
    EXPECT_EQ(materials->count(), 2);
    EXPECT_EQ(materials->currentText(), "FL, 4MM");
    window.SetValue();
    EXPECT_EQ(Shown(window, 0), "FL, 4MM, ");
    Tick(window, 0);

    Select(window, 3);
    auto* choices = window.findChild<QComboBox*>("1014");
    EXPECT_TRUE(choices->isVisible());
    ASSERT_EQ(choices->count(), 3);
    choices->setCurrentIndex(2);
    window.SetValue();
    Tick(window, 3);

    Select(window, 1);
    auto* edit = window.findChild<QLineEdit*>("1101");
    EXPECT_TRUE(edit->isVisible());
    edit->setText("7x");
    window.SetValue();
    EXPECT_EQ(Shown(window, 1), "7");  // set, but not ticked

    Tick(window, 2);  // may be empty
    window.accept();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_TRUE(table.at(0).changed);
    EXPECT_EQ(table.at(0).value, "FL, 4MM,");
    EXPECT_FALSE(table.at(1).changed);
    EXPECT_TRUE(table.at(2).changed);
    EXPECT_EQ(table.at(3).value, "K2");
    EXPECT_EQ(table.at(3).choiceIndex, 2);
}

TEST_F(BulkChange, TickedEmptyFieldKeepsTheWindowOpen) {
    MultipleModify window(*settings, table, 3);
    window.show();
    Tick(window, 1);
    window.accept();
    EXPECT_EQ(UiTest::Shown(Msg("00226")), 1);
    EXPECT_EQ(UiTest::Shown("2 --> Quantity"), 1);
    EXPECT_TRUE(window.isVisible());
    Select(window, 1);
    window.findChild<QLineEdit*>("1101")->setText("5");
    window.SetValue();
    window.ClearValue();
    EXPECT_EQ(Shown(window, 1), "");
}

TEST_F(BulkChange, RowLabelsAndHeadersReadWholeWithTheShippedTexts) {
    KLanguage language(dir / "Msg/Tavrel.msg");
    language.LoadStrings();
    SetCurrentCatalogue(&language);
    MultipleModify window(*settings, table, 6);
    window.show();
    auto* list = window.findChild<QTreeWidget*>("1100");
    ASSERT_EQ(list->topLevelItem(2)->text(0).toStdString(), "3 [" + Msg("00224") + "]");
    int total = 0;
    for (int c = 0; c < list->columnCount(); ++c) {
        EXPECT_GE(list->columnWidth(c), list->header()->sectionSizeHint(c)) << "header " << c;
        total += list->columnWidth(c);
    }
    EXPECT_LE(total, list->viewport()->width()) << "no sideways scrolling";
    for (int c : {0, 1}) {
        const int shown = list->columnWidth(c);
        list->resizeColumnToContents(c);
        EXPECT_GE(shown, list->columnWidth(c)) << (c == 0 ? "the row labels" : "the field names");
    }
}

// A material of a Windows station's catalogue (Windows-1252 bytes) is shown as letters and set
// on the rows as the catalogue's bytes.
TEST_F(BulkChange, AWindowsStationsMaterialIsSetAsItsBytes) {
    AddToCatalogue(*settings, "\xC4TZ", "4MM", "S\xC9");
    MultipleModify window(*settings, table, 3);
    window.show();
    ChooseShown(window.findChild<QComboBox*>("1012"), QString::fromUtf8("\xC3\x84TZ, 4MM"));
    auto* treatments = window.findChild<QComboBox*>("1013");
    ASSERT_EQ(treatments->count(), 2);
    treatments->setCurrentIndex(1);
    window.SetValue();
    EXPECT_EQ(Shown(window, 0), QString::fromUtf8("\xC3\x84TZ, 4MM, S\xC3\x89"));
    Tick(window, 0);
    window.accept();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(table.at(0).value, "\xC4TZ, 4MM, S\xC9");
}
