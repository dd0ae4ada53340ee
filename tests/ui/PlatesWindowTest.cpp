#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app/ui/CTavrelDlg.h"
#include "common/Messages.h"
#include "common/TextUtils.h"
#include "materials/MaterialsFile.h"
#include "materials/ui/TVLMaterialsDialog.h"
#include "model/MaterialList.h"
#include "model/RecordText.h"
#include "plates/PlateRows.h"
#include "plates/PlatesFile.h"
#include "plates/ui/TVLAutomaticPlatesDialog.h"
#include "plates/ui/TVLPlateDataDialog.h"
#include "plates/ui/TVLPlatesDialog.h"
#include "settings/Units.h"
#include "support/FakeImportProgram.h"
#include "support/UiFixture.h"
#include "ui/CSXButton.h"
#include "ui/MultipleModify.h"

using namespace tavrel;

namespace {

class PlatesWindow : public UiTest {
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
    }
    std::string path() const { return PlatesFile::pathIn(settings->dataFolder); }
    // Lines of a Windows station's file: CR LF.
    void WritePlates(std::initializer_list<const char*> lines) {
        std::string text = "FILE_VERSION=2\r\n";
        for (const char* line : lines) text += std::string(line) + "\r\n";
        WriteText(path(), text);
    }
    PlateList OnDisk() const {
        PlateList list;
        list.load(path(), settings->current);
        return list;
    }
    static QTreeWidget* List(QWidget& w) { return w.findChild<QTreeWidget*>("1003"); }
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
    static void Select(QWidget& w, std::initializer_list<int> rows) {
        QTreeWidget* list = List(w);
        list->clearSelection();
        for (int row : rows) list->topLevelItem(row)->setSelected(true);
    }
    static QString Cell(QWidget& w, int row, int column) { return List(w)->topLevelItem(row)->text(column); }
    static QString Text(QWidget* w, const char* id) { return w->findChild<QLabel*>(id)->text(); }
    // Fills the plate data window with a FL/4MM plate and presses OK.
    static void FillPlate(QWidget* data, const QString& quantity, const QString& width,
                          const QString& height) {
        auto* material = data->findChild<QComboBox*>("1012");
        material->setCurrentIndex(material->findText("FL, 4MM"));
        Type(data, "1004", quantity);
        Type(data, "1002", width);
        Type(data, "1003", height);
        Type(data, "1005", "0");
        data->findChild<QComboBox*>("1013")->setCurrentIndex(2);  // as the stock lines have it
        Click(data, "1");
    }
    std::unique_ptr<AppSettings> settings;
};

const char* kA = "\"FL\";\"4MM\";\"\";3;3210.000;2250.000;0;0.000;2;0;0.000000";
const char* kB = "\"FL\";\"4MM\";\"\";4;3210.000;2000.000;0;0.000;2;0;0.000000";
const char* kC = "\"FL\";\"6MM\";\"\";1;2000.000;1000.000;5;0.000;2;1;0.000000";

}  // namespace

TEST_F(PlatesWindow, NewPlateMergesIntoAnEqualOneOrIsAppended) {
    WritePlates({kA, kC});
    TVLPlatesDialog window(*settings);
    window.show();
    ASSERT_EQ(List(window)->topLevelItemCount(), 2);
    EXPECT_EQ(Text(&window, "1083"), "2");
    EXPECT_EQ(Cell(window, 1, ColumnKind).toStdString(), Msg("00069"));

    WhenModal([](QWidget* data) {
        EXPECT_EQ(data->objectName(), "144");
        EXPECT_EQ(data->findChild<QLabel*>("1084")->text(), "3");
        FillPlate(data, "5", "3210", "2250");
    });
    Click(&window, "1000");
    ASSERT_EQ(List(window)->topLevelItemCount(), 2) << "no row is added";
    EXPECT_EQ(Cell(window, 0, ColumnQuantity), "8");
    EXPECT_TRUE(List(window)->topLevelItem(0)->isSelected());
    PlateList disk = OnDisk();
    ASSERT_EQ(disk.count(), 2);
    EXPECT_EQ(disk.at(0).quantity, 8);

    WhenModal([](QWidget* data) { FillPlate(data, "2", "1605.5", "1200"); });
    Click(&window, "1000");
    ASSERT_EQ(List(window)->topLevelItemCount(), 3);
    EXPECT_EQ(Cell(window, 2, ColumnWidth).toStdString(), FormatNumber(LengthFormat(1), 1605.5));
    EXPECT_EQ(Cell(window, 2, ColumnNumber), "3");
    EXPECT_EQ(Text(&window, "1083"), "3");
    EXPECT_EQ(OnDisk().count(), 3);

    WhenModal([](QWidget* data) { Click(data, "2"); });
    Click(&window, "1000");
    EXPECT_EQ(OnDisk().count(), 3) << "Cancel adds nothing";
}

TEST_F(PlatesWindow, ChangeIntoAnEqualPlateMergesAndRenumbers) {
    WritePlates({kA, kB, kC});
    TVLPlatesDialog window(*settings);
    window.show();
    Select(window, {1});
    WhenModal([](QWidget* data) {
        EXPECT_EQ(data->findChild<QLabel*>("1084")->text(), "2");
        EXPECT_EQ(data->findChild<QLineEdit*>("1004")->text(), "4");
        Type(data, "1003", "2250");
        Click(data, "1");
    });
    Click(&window, "1001");
    ASSERT_EQ(List(window)->topLevelItemCount(), 2);
    EXPECT_EQ(Cell(window, 0, ColumnQuantity), "7");
    EXPECT_EQ(Cell(window, 1, ColumnCode), "6MM");
    EXPECT_EQ(Cell(window, 1, ColumnNumber), "2") << "the row below moves up a number";
    PlateList disk = OnDisk();
    ASSERT_EQ(disk.count(), 2);
    EXPECT_EQ(disk.at(0).quantity, 7);
    EXPECT_EQ(disk.at(1).key.code, "6MM");
}

TEST_F(PlatesWindow, DeleteAsksAndRenumbers) {
    WritePlates({kA, kB, kC});
    TVLPlatesDialog window(*settings);
    window.show();
    Select(window, {0, 2});
    QTest::keyClick(List(window), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(window.clipboardRow(), 0) << "the copy key remembers the first selected row";
    QTest::keyClick(List(window), Qt::Key_Delete);  // unscripted: the default answer, No
    EXPECT_EQ(Shown(Msg("00074")), 1);
    EXPECT_EQ(List(window)->topLevelItemCount(), 3);
    EXPECT_EQ(OnDisk().count(), 3);

    prompt.push(PromptAnswer::Yes);
    Click(&window, "1002");
    ASSERT_EQ(List(window)->topLevelItemCount(), 1);
    EXPECT_EQ(Cell(window, 0, ColumnHeight).toStdString(), FormatNumber(LengthFormat(1), 2000));
    EXPECT_EQ(Cell(window, 0, ColumnNumber), "1");
    EXPECT_TRUE(List(window)->topLevelItem(0)->isSelected());
    PlateList disk = OnDisk();
    ASSERT_EQ(disk.count(), 1);
    EXPECT_EQ(disk.at(0).quantity, 4);
}

TEST_F(PlatesWindow, SeriesAddsThePlatesAndShowsTheCount) {
    WritePlates({kC});
    TVLPlatesDialog window(*settings);
    window.show();
    QString count;
    WhenModal([&](QWidget* series) {
        EXPECT_EQ(series->windowTitle().toStdString(), Msg("00162"));
        auto* material = series->findChild<QComboBox*>("1012");
        material->setCurrentIndex(material->findText("FL, 4MM"));
        Type(series, "1004", "2");
        Type(series, "1064", "1000");
        Type(series, "1065", "500");
        EXPECT_EQ(series->findChild<QLineEdit*>("1037")->text().toStdString(),
                  FormatNumber(LengthFormat(1), 1000))
            << "the width starts the row";
        Type(series, "1044", "100");
        Type(series, "1046", "1200");
        Type(series, "1048", "50");
        Type(series, "1050", "600");
        EXPECT_FALSE(series->findChild<QPushButton*>("1")->isEnabled()) << "stale until calculated";
        Click(series, "3");
        EXPECT_EQ(series->findChild<QLineEdit*>("1045")->text(), "2");
        EXPECT_EQ(series->findChild<QLineEdit*>("1049")->text(), "2");
        count = series->findChild<QLabel*>("1083")->text();
        Click(series, "1");
    });
    Click(&window, "1035");
    EXPECT_EQ(count, "5");
    ASSERT_EQ(List(window)->topLevelItemCount(), 6);
    EXPECT_EQ(Text(&window, "1083"), "6");
    EXPECT_EQ(List(window)->selectedItems().size(), 5);
    PlateList disk = OnDisk();
    ASSERT_EQ(disk.count(), 6);
    std::vector<std::pair<double, double>> sizes;
    for (int i = 1; i < disk.count(); ++i) {
        sizes.emplace_back(disk.at(i).width, disk.at(i).height);
        EXPECT_EQ(disk.at(i).quantity, 2);
        EXPECT_EQ(disk.at(i).key.code, "4MM");
    }
    EXPECT_EQ(sizes, (std::vector<std::pair<double, double>>{
                         {1000, 500}, {1100, 550}, {1100, 600}, {1200, 550}, {1200, 600}}));

    // The paste key starts from the selected plate; with two selected it refuses.
    Select(window, {0, 1});
    QTest::keyClick(List(window), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Shown(Msg("00170")), 1);
    Select(window, {0});
    QString caption;
    WhenModal([&](QWidget* series) {
        caption = series->windowTitle();
        EXPECT_EQ(series->findChild<QLineEdit*>("1004")->text(), "1");
        Click(series, "1");  // unchanged, no series: nothing to add
    });
    QTest::keyClick(List(window), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_NE(caption.toStdString().find(Msg("00176")), std::string::npos);
    EXPECT_EQ(OnDisk().count(), 6);
    EXPECT_EQ(OnDisk().at(0).quantity, 1);
}

TEST_F(PlatesWindow, SeriesWindowRefusesAStepZeroWithACount) {
    StockPlate plate(MaterialKey("FL", "4MM", ""), 2, 1000, 500, 0, 0, 2, PlateOrdinary, 0);
    TVLAutomaticPlatesDialog series(*settings, plate, false);
    series.show();
    auto* ok = series.findChild<QPushButton*>("1");
    // Count computed: 1000 step 250 to 2100 gives 5 steps, and the end moves to the last one.
    Type(&series, "1044", "250");
    Type(&series, "1046", "2100");
    Click(&series, "3");
    EXPECT_EQ(series.findChild<QLineEdit*>("1045")->text(), "5");
    EXPECT_EQ(series.findChild<QLineEdit*>("1046")->text().toStdString(),
              FormatNumber(LengthFormat(1), 2250));
    EXPECT_EQ(Text(&series, "1083"), "6");
    EXPECT_TRUE(ok->isEnabled());

    Click(&series, "1069");  // the end is computed now, the count typed
    EXPECT_TRUE(series.findChild<QLineEdit*>("1046")->isReadOnly());
    EXPECT_FALSE(series.findChild<QLineEdit*>("1045")->isReadOnly());
    Type(&series, "1044", "0");
    Type(&series, "1045", "3");
    Click(&series, "3");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(Text(&series, "1083"), "0");
    series.accept();
    EXPECT_EQ(Shown(Msg("00095")), 1);
    EXPECT_TRUE(series.isVisible());
    EXPECT_EQ(series.seriesResult().widthCount, -1);
    EXPECT_EQ(plate.quantity, 2);

    // Unlimited: the quantity shows its text and OK stores the unlimited supply.
    Type(&series, "1045", "0");
    Click(&series, "3");
    QTest::mouseClick(series.findChild<QWidget*>("1030"), Qt::LeftButton);
    EXPECT_EQ(series.findChild<QLineEdit*>("1004")->text().toStdString(), Msg("00171"));
    Click(&series, "1");
    EXPECT_EQ(series.QDialog::result(), QDialog::Accepted);
    EXPECT_EQ(plate.quantity, kUnlimitedQuantity);
    EXPECT_EQ(plate.kind, PlateUnlimited);
    EXPECT_EQ(series.seriesResult().widthCount, 0);
}

TEST_F(PlatesWindow, BulkChangeToUnlimited) {
    WritePlates({"\"FL\";\"4MM\";\"SATIN\";3;3210.000;2250.000;12;0.000;2;0;0.000000", kB, kC});
    TVLPlatesDialog window(*settings);
    window.show();
    Select(window, {0, 1, 2});
    WhenModal([](QWidget* w) {
        auto* bulk = qobject_cast<MultipleModify*>(w);
        ASSERT_NE(bulk, nullptr);
        EXPECT_EQ(w->findChild<QLabel*>("1083")->text(), "3");
        auto* fields = w->findChild<QTreeWidget*>("1100");
        fields->setCurrentItem(fields->topLevelItem(0));
        w->findChild<QComboBox*>("1014")->setCurrentIndex(2);
        bulk->SetValue();
        fields->topLevelItem(0)->setCheckState(0, Qt::Checked);
        fields->setCurrentItem(fields->topLevelItem(3));
        w->findChild<QLineEdit*>("1101")->setText("7");
        bulk->SetValue();
        fields->topLevelItem(3)->setCheckState(0, Qt::Checked);
        Click(w, "1");
    });
    Click(&window, "1001");
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Cell(window, row, ColumnKind).toStdString(), Msg("00132"));
        EXPECT_EQ(Cell(window, row, ColumnQuantity).toStdString(), Msg("00171"));
    }
    const PlateList disk = OnDisk();
    ASSERT_EQ(disk.count(), 3) << "plates the change made equal are not merged";
    for (const StockPlate& p : disk) {
        EXPECT_EQ(p.kind, PlateUnlimited);
        EXPECT_EQ(p.quantity, kUnlimitedQuantity);
        EXPECT_EQ(p.key.treatment, "");
        EXPECT_EQ(p.priority, 0);
    }
}

TEST_F(PlatesWindow, StoreOrderWritesTheShownOrder) {
    WritePlates({kB, kC, kA, "\"FL\";\"4MM\";\"\";99999;6000.000;3210.000;0;0.000;2;2;2.000000"});
    TVLPlatesDialog window(*settings);
    window.show();
    QHeaderView* header = List(window)->header();
    const QPoint height(header->sectionViewportPosition(ColumnHeight) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, height);
    EXPECT_EQ(Text(&window, "1084"), "MIN ---> MAX");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, height);
    EXPECT_EQ(Text(&window, "1084"), "MAX ---> MIN");
    EXPECT_EQ(Text(&window, "1085").toStdString(), "[ " + PlateColumnHeader(ColumnHeight) + " ]");
    EXPECT_EQ(Cell(window, 0, ColumnNumber), "4");

    Click(&window, "1036");
    const PlateList disk = OnDisk();
    ASSERT_EQ(disk.count(), 4);
    const double heights[4] = {3210, 2250, 2000, 1000};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(disk.at(i).height, heights[i]) << i;
        EXPECT_EQ(Cell(window, i, ColumnNumber), QString::number(i + 1));
    }
    EXPECT_EQ(Text(&window, "1084"), "MIN ---> MAX");
    EXPECT_EQ(Text(&window, "1083"), "4");

    Click(&window, "1037");
    EXPECT_EQ(Text(&window, "1085").toStdString(), PlateRows::keysText());
    EXPECT_EQ(Cell(window, 0, ColumnCode), "4MM");
    EXPECT_EQ(Cell(window, 3, ColumnCode), "6MM");
}

TEST_F(PlatesWindow, UnusableLineIsMarkedAndKeptUntilChanged) {
    WritePlates({kA, "\"FL\";\"4MM\";\"\";0;1000.000;500.000;0;0.000;2;0;0.000000", kC});
    TVLPlatesDialog window(*settings);
    window.show();
    QTreeWidgetItem* bad = List(window)->topLevelItem(1);
    EXPECT_EQ(bad->text(ColumnKind).toStdString(), "! " + Msg("00131"));
    EXPECT_NE(bad->toolTip(ColumnQuantity).toStdString().find(Msg("00055")), std::string::npos);
    EXPECT_TRUE(window.findChild<QLabel*>("1115")->isVisible());
    EXPECT_TRUE(List(window)->topLevelItem(0)->toolTip(0).isEmpty());

    // Deleting another plate saves the catalogue: the unusable line goes with it.
    prompt.push(PromptAnswer::Yes);
    Select(window, {2});
    Click(&window, "1002");
    ASSERT_EQ(OnDisk().count(), 2);
    EXPECT_EQ(OnDisk().at(1).quantity, 0);

    Select(window, {1});
    WhenModal([](QWidget* data) {
        Type(data, "1004", "6");
        Click(data, "1");
    });
    Click(&window, "1001");
    EXPECT_EQ(Cell(window, 1, ColumnKind).toStdString(), Msg("00131"));
    EXPECT_FALSE(window.findChild<QLabel*>("1115")->isVisible());
    EXPECT_EQ(OnDisk().at(1).quantity, 6);
}

TEST_F(PlatesWindow, ClosingWritesOnlyACorrectedCatalogue) {
    WritePlates({kA, kC});
    const std::string before = ReadText(path());
    {
        TVLPlatesDialog window(*settings);
        window.show();
        Click(&window, "2");
    }
    EXPECT_EQ(ReadText(path()), before) << "nothing changed, nothing written";

    WritePlates({kA, "\"FL\";\"4MM\";\"\";10;6000.000;3210.000;0;0.000;2;2;0.000000"});
    {
        TVLPlatesDialog window(*settings);
        window.show();
        EXPECT_EQ(Cell(window, 1, ColumnQuantity).toStdString(), Msg("00171"));
        Click(&window, "2");
    }
    EXPECT_NE(ReadText(path()).find("99999;6000.000"), std::string::npos);
}

TEST_F(PlatesWindow, MainWindowOpensThePlatesWindow) {
    CTavrelDlg main(nullptr, dir.path());
    bool opened = false;
    WhenModal([&](QWidget* w) {
        opened = qobject_cast<TVLPlatesDialog*>(w) != nullptr;
        Click(w, "2");
    });
    QTest::mouseClick(main.button(1003), Qt::LeftButton);
    EXPECT_TRUE(opened);
}

TEST_F(PlatesWindow, PlateWindowOpensTheMaterialsWindowNested) {
    WritePlates({kA});
    StockPlate plate = OnDisk().at(0).duplicate();
    MaterialList materials;
    materials.load(MaterialsFile::pathIn(settings->dataFolder), settings->current);
    TVLPlateDataDialog data(plate, materials);
    data.SetSettings(settings.get());
    data.show();
    bool nested = false;
    WhenModal([&](QWidget* w) {
        nested = qobject_cast<TVLMaterialsDialog*>(w) && !w->findChild<QPushButton*>("1002")->isEnabled();
        Click(w, "2");
    });
    Click(&data, "1000");
    EXPECT_TRUE(nested) << "opened from a plate, the materials window cannot delete";
    EXPECT_EQ(data.materialChanges(), 0);
    EXPECT_EQ(data.findChild<QComboBox*>("1012")->currentText(), "FL, 4MM");
    data.close();
}

// A workshop's catalogue of thousands of plates, kept in inches: sorting and storing the order
// keep every plate.
TEST_F(PlatesWindow, ThousandsOfPlatesInInchesSortAndStore) {
    WriteText(dir / "BRENIX.INI", "[GenGen]\nUMDef=Pollici Americani\n");
    settings = std::make_unique<AppSettings>(dir.path());
    LoadUnits(*settings);
    SetCurrentSettings(settings.get());
    std::string text = "FILE_VERSION=2\r\n";
    for (int i = 0; i < 3000; ++i)
        text += Format("\"FL\";\"4MM\";\"\";%d;%.3f;%.3f;%d;0.000;2;%d;0.000000\r\n", 1 + i % 40,
                       254.0 * (1 + i % 97), 25.4 * (1 + i), i % 1000, i % 2);
    WriteText(path(), text);
    TVLPlatesDialog window(*settings);
    window.show();
    ASSERT_EQ(List(window)->topLevelItemCount(), 3000);
    EXPECT_EQ(Cell(window, 0, ColumnWidth).toStdString(), FormatNumber(LengthFormat(1), 10.0));
    window.OnColumn(ColumnWidth);
    window.OnColumn(ColumnWidth);
    Click(&window, "1036");
    const PlateList disk = OnDisk();
    ASSERT_EQ(disk.count(), 3000);
    for (int i = 1; i < disk.count(); ++i) ASSERT_GE(disk.at(i - 1).width, disk.at(i).width) << i;
    EXPECT_EQ(Cell(window, 2999, ColumnNumber), "3000");
}

TEST_F(PlatesWindow, AnImportThatRewritesTheSameBytesKeepsTheUsersSort) {
    WritePlates({kA, kC});
    std::filesystem::create_directories(settings->excelImportFolder);
    // The program writes the catalogue anew, byte for byte as it was, under another time.
    WriteFakeImportProgram(settings->excelImportFolder + "/PlatesExcelImport",
                           "P=$(sed -n 's/^PLATESORIGINALFILE=//p' \"$INI\")\n"
                           "cp \"$P\" \"$P.new\" && touch -d @1000000000 \"$P.new\" && mv \"$P.new\" \"$P\"");
    const std::string before = ReadText(path());
    TVLPlatesDialog window(*settings);
    window.show();
    const QString stored = Cell(window, 0, ColumnWidth);
    window.OnColumn(ColumnWidth);
    if (Cell(window, 0, ColumnWidth) == stored) window.OnColumn(ColumnWidth);  // the other way round
    const QString first = Cell(window, 0, ColumnWidth);
    const QString key = Text(&window, "1085");
    ASSERT_NE(first, stored) << "the sort must differ from the store order";
    const auto stamp = std::filesystem::last_write_time(path());
    Click(&window, "1097");
    ASSERT_NE(std::filesystem::last_write_time(path()), stamp) << "the fake rewrote the catalogue";
    EXPECT_EQ(ReadText(path()), before) << "nothing stored again over the Windows line ends";
    EXPECT_EQ(Cell(window, 0, ColumnWidth), first);
    EXPECT_EQ(Text(&window, "1085"), key);
    EXPECT_EQ(prompt.shown().size(), 0u);
}

TEST_F(PlatesWindow, AFailedSaveIsToldAndTheChangeStaysShown) {
    WritePlates({kA});
    TVLPlatesDialog window(*settings);
    window.show();
    std::filesystem::remove_all(settings->dataFolder);  // the catalogue folder went away
    WhenModal([](QWidget* data) { FillPlate(data, "2", "1000", "800"); });
    Click(&window, "1000");
    EXPECT_EQ(Shown(Msg("00330")), 1);
    EXPECT_EQ(Shown(PlatesFile::kFileName), 1) << "the message names the file";
    EXPECT_EQ(List(window)->topLevelItemCount(), 2);
}

TEST_F(PlatesWindow, ImportButtonOnlyWithTheImportProgram) {
    WritePlates({kA});
    {
        TVLPlatesDialog window(*settings);
        window.show();
        auto* import = window.findChild<QPushButton*>("1097");
        ASSERT_NE(import, nullptr);
        EXPECT_FALSE(import->isVisible());
        EXPECT_FALSE(import->isEnabled());
        window.OnImport();
        EXPECT_FALSE(std::filesystem::exists(settings->excelImportFolder + "/IMPORT")) << "nothing is run";
    }
    std::filesystem::create_directories(settings->excelImportFolder);
    WriteFakeImportProgram(settings->excelImportFolder + "/PlatesExcelImport", "exit 0");
    TVLPlatesDialog window(*settings);
    window.show();
    auto* import = window.findChild<QPushButton*>("1097");
    EXPECT_TRUE(import->isVisible());
    EXPECT_TRUE(import->isEnabled());
    EXPECT_EQ(import->text().toStdString(), Msg("00208"));
}

TEST_F(PlatesWindow, AnImportIsReloadedMergedAndStoredEvenWhenTheSizeStays) {
    WritePlates({kA, kC});
    std::filesystem::create_directories(settings->excelImportFolder);
    const std::string program = settings->excelImportFolder + "/PlatesExcelImport";
    // The program turns quantity 3 into 7: same size of file.
    WriteFakeImportProgram(program,
                           "P=$(sed -n 's/^PLATESORIGINALFILE=//p' \"$INI\")\n"
                           "wc -c < \"$P\" > \"$HERE/size.before\"\n"
                           "sed -i 's/;3;3210/;7;3210/' \"$P\"\n"
                           "wc -c < \"$P\" > \"$HERE/size.after\"");
    TVLPlatesDialog window(*settings);
    window.show();
    Click(&window, "1097");
    const std::string sizes = settings->excelImportFolder + "/size.";
    EXPECT_EQ(ReadText(sizes + "before"), ReadText(sizes + "after"));
    EXPECT_FALSE(ReadText(sizes + "after").empty());
    ASSERT_EQ(List(window)->topLevelItemCount(), 2);
    EXPECT_EQ(Cell(window, 0, ColumnQuantity), "7") << "the list shows the imported quantity";
    EXPECT_EQ(window.plates().at(0).quantity, 7);

    // The program appends a plate equal to the first but for its quantity, and an unlimited plate
    // with a quantity other than 99999: after the reload and store order they are one plate, in
    // our own format.
    WriteFakeImportProgram(program,
                           "P=$(sed -n 's/^PLATESORIGINALFILE=//p' \"$INI\")\n"
                           "printf '%s\\r\\n' '\"FL\";\"4MM\";\"\";5;3210.000;2250.000;0;0.000;2;0;0.000000'"
                           " '\"FL\";\"6MM\";\"\";3;6000.000;3210.000;0;0.000;2;2;0.000000' >> \"$P\"");
    Click(&window, "1097");
    ASSERT_EQ(List(window)->topLevelItemCount(), 3);
    EXPECT_EQ(Cell(window, 0, ColumnQuantity), "12");
    EXPECT_EQ(Text(&window, "1083"), "3");
    const std::string disk = ReadText(path());
    EXPECT_EQ(disk.find('\r'), std::string::npos) << "stored again by our writer";
    EXPECT_NE(disk.find(";12;3210.000;2250.000"), std::string::npos) << disk;
    EXPECT_NE(disk.find("99999;6000.000"), std::string::npos) << disk;
    EXPECT_EQ(OnDisk().count(), 3);
    EXPECT_EQ(prompt.shown().size(), 0u);

    // The program leaves a catalogue that cannot be read: the user is told before changing
    // anything.
    WriteFakeImportProgram(program,
                           "P=$(sed -n 's/^PLATESORIGINALFILE=//p' \"$INI\")\n"
                           "printf 'garbage\\n' > \"$P\"");
    Click(&window, "1097");
    EXPECT_EQ(Shown(Msg("00427")), 1);
    EXPECT_EQ(ReadText(path()), "garbage\n") << "the window wrote nothing over it";
}

// The series window keeps a Windows station's material bytes as the single plate window does.
TEST_F(PlatesWindow, SeriesWindowKeepsAWindowsStationsMaterialBytes) {
    AddToCatalogue(*settings, "VSG", "44.2 MATT\xC4", "S\xC9");
    StockPlate plate(MaterialKey("VSG", "44.2 MATT\xC4", "S\xC9"), 3, 3210, 2250, 0, 0, 0, PlateOrdinary, 0);
    TVLAutomaticPlatesDialog series(*settings, plate, false);
    series.show();
    EXPECT_EQ(series.findChild<QComboBox*>("1012")->currentText(),
              QString::fromUtf8("VSG, 44.2 MATT\xC3\x84"));
    EXPECT_EQ(series.findChild<QComboBox*>("1015")->currentText(), QString::fromUtf8("S\xC3\x89"));
    Type(&series, "1004", "5");
    Click(&series, "3");
    Click(&series, "1");
    EXPECT_FALSE(series.isVisible());
    EXPECT_EQ(plate.key.code, "44.2 MATT\xC4");
    EXPECT_EQ(plate.key.treatment, "S\xC9");
    EXPECT_EQ(plate.quantity, 5);
}
