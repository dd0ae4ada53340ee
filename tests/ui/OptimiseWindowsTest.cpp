// The optimisation windows driven by their control identifiers: the choice of materials, the
// review of a result with its ticks, sort and warnings, the list of optimised materials, and the
// optimise command run from a window with the real engine library.

#include <filesystem>
#include <regex>

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "common/FileUtils.h"
#include "files/EngineResult.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "optimise/ui/OptimiseWindows.h"
#include "optimise/ui/TVLOptimizeWhatDialog.h"
#include "plates/PlatesFile.h"
#include "results/OptimisedMaterialList.h"
#include "results/ui/TVLOptimizedMaterialListDialog.h"
#include "results/ui/TVLOptimizedPlatesDialog.h"
#include "settings/LabelSheets.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"
#include "support/UiFixture.h"
#include "ui/AppIcons.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {

class OptimiseWindows : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC", "Addins/ExcelEXE"})
            fs::create_directories(dir / f);
        settings = std::make_unique<AppSettings>(dir.path());
        LoadSettings(*settings);
        SetCurrentSettings(settings.get());
        jobPath = dir / "TVL/JOB.TVL";
    }
    static void Click(QWidget* w, const char* id) {
        auto* b = w->findChild<QPushButton*>(id);
        ASSERT_NE(b, nullptr) << id;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // Copies the demo catalogues into the installation.
    void InstallDemoCatalogues() {
        const fs::path demo = fs::path(TAVREL_SOURCE_DIR) / "resources/demo/DAT";
        for (const char* f : {"Materials.dat", "Plates.dat"})
            fs::copy_file(demo / f, dir / ("DAT/" + std::string(f)), fs::copy_options::overwrite_existing);
    }
    PlateList Stock() const {
        PlateList stock;
        EXPECT_TRUE(stock.load(PlatesFile::pathIn(settings->dataFolder), UnitInUse()));
        return stock;
    }

    std::unique_ptr<AppSettings> settings;
    std::string jobPath;
};

std::vector<QString> Lines(QListWidget* list) {
    std::vector<QString> lines;
    for (int i = 0; i < list->count(); ++i) lines.push_back(list->item(i)->text());
    return lines;
}

StockPlate Plate(const std::string& code, int quantity, double w, double h, int kind = PlateOrdinary,
                 double minimumLot = 0.0) {
    return StockPlate(MaterialKey("FL", code, ""), quantity, w, h, 0, 0.0, 2, kind, minimumLot);
}

StockPlate Used(const PlateList& candidates, int index, int quantity) {
    StockPlate u = candidates.at(index).duplicate();
    u.quantity = quantity;
    u.sourceIndex = index;
    return u;
}

// Row r's plate index, tick and cell texts.
int RowPlate(QTreeWidget* list, int r) { return list->topLevelItem(r)->data(0, Qt::UserRole).toInt(); }
bool Ticked(QTreeWidget* list, int r) { return list->topLevelItem(r)->checkState(0) == Qt::Checked; }

bool SameIcon(const QIcon& icon, int iconId) {
    return icon.pixmap(16, 16).toImage() == IconPixmap(iconId, 16).toImage();
}

// Acts on every modal window of a long command in turn, by its identifier; a window that is
// not the one the script expects fails the test and is closed.
class ModalScript {
public:
    struct Step {
        QString window;
        std::function<void(QWidget*)> act;
    };
    explicit ModalScript(std::vector<Step> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(20);
    }
    ~ModalScript() { EXPECT_EQ(next_, steps_.size()) << "windows the command never opened"; }
    std::vector<QString> seen;

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last_.data()) return;
        last_ = modal;
        seen.push_back(modal->objectName());
        if (next_ >= steps_.size() || steps_[next_].window != modal->objectName()) {
            ADD_FAILURE() << "unexpected window " << modal->objectName().toStdString();
            modal->close();
            return;
        }
        steps_[next_++].act(modal);
    }
    std::vector<Step> steps_;
    size_t next_ = 0;
    QPointer<QWidget> last_;
    QTimer timer_;
};

}  // namespace

TEST_F(OptimiseWindows, ChoiceStartsAllSelectedAndRefusesAnEmptyChoice) {
    MaterialList used;
    used.add(Material("FL", "4MM", ""));
    used.add(Material("FL", "6MM", "SATIN"));
    used.add(Material("ST", "4MM", ""));
    used.add(Material("VETRO\xC8", "4MM", ""));  // written by a Windows station
    TVLOptimizeWhatDialog choice(used, prompt);
    choice.show();
    EXPECT_EQ(choice.objectName(), "151");
    auto* list = choice.findChild<QListWidget*>("1003");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Lines(list), (std::vector<QString>{"FL, 4MM", "FL, 6MM, SATIN", "ST, 4MM",
                                                 QString::fromUtf8("VETRO\u00C8, 4MM")}));
    EXPECT_EQ(list->selectedItems().size(), 4);
    EXPECT_EQ(list->currentRow(), 0);

    // Nothing selected: the user is told and the window stays.
    Click(&choice, "1001");
    EXPECT_TRUE(list->selectedItems().isEmpty());
    Click(&choice, "1");
    EXPECT_TRUE(choice.isVisible());
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text, "00094");
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Exclamation);

    // Select all, then leave the first out: the others come back with their list places.
    Click(&choice, "1000");
    EXPECT_EQ(list->selectedItems().size(), 4);
    list->item(0)->setSelected(false);
    list->item(3)->setSelected(false);
    Click(&choice, "1");
    EXPECT_FALSE(choice.isVisible());
    EXPECT_EQ(choice.result(), QDialog::Accepted);
    ASSERT_EQ(choice.chosen().count(), 2);
    EXPECT_EQ(choice.chosen().at(0).treatment, "SATIN");
    EXPECT_EQ(choice.chosen().at(0).position, 1);
    EXPECT_EQ(choice.chosen().at(1).serie, "ST");
    EXPECT_EQ(prompt.shown().size(), 1u);

    TVLOptimizeWhatDialog cancelled(used, prompt);
    cancelled.show();
    Click(&cancelled, "2");
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_TRUE(cancelled.chosen().empty());
}

TEST_F(OptimiseWindows, ReviewShowsUseWarningsAndTicksAndSortsByColumn) {
    PlateList candidates;
    candidates.addOrMerge(Plate("4MM", 24, 3210, 2250), true);                     // 0: used 3
    candidates.addOrMerge(Plate("4MM", 1, 1000, 800, PlateOffcut, 5.0), true);     // 1: used 1, 0.8 of 5 m2
    candidates.addOrMerge(Plate("4MM", 99999, 6000, 3210, PlateUnlimited), true);  // 2: used 2
    candidates.addOrMerge(Plate("4MM", 4, 2550, 1605, PlateOrdinary, 9.0), true);  // 3: unused
    candidates.at(2).minimumLot = 2.0;
    PlateList used;
    used.addOrMerge(Used(candidates, 0, 3), false);
    used.addOrMerge(Used(candidates, 1, 1), false);
    used.addOrMerge(Used(candidates, 2, 2), false);

    TVLOptimizedPlatesDialog review(candidates, used, "00147", "FL, 4MM. ---> [2] 00174");
    review.show();
    EXPECT_EQ(review.objectName(), "172");
    EXPECT_EQ(review.windowTitle(), "00147");
    EXPECT_EQ(review.findChild<QLabel*>("1049")->text(), "FL, 4MM. ---> [2] 00174");
    EXPECT_EQ(candidates.at(0).usedCount, 3);
    auto* list = review.findChild<QTreeWidget*>("1030");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 4);
    ASSERT_EQ(list->columnCount(), 7);
    EXPECT_EQ(list->headerItem()->text(4), "00155 [mm x mm]");
    EXPECT_EQ(list->headerItem()->text(5), "00151 [mq]");

    // Opening order: most used first; ticked = used and not left out.
    EXPECT_EQ((std::vector<int>{RowPlate(list, 0), RowPlate(list, 1), RowPlate(list, 2), RowPlate(list, 3)}),
              (std::vector<int>{0, 2, 1, 3}));
    EXPECT_TRUE(Ticked(list, 0) && Ticked(list, 1) && Ticked(list, 2));
    EXPECT_FALSE(Ticked(list, 3)) << "a plate the result does not use starts unticked";
    QTreeWidgetItem* unlimited = list->topLevelItem(1);
    EXPECT_EQ(unlimited->text(0), "00132");
    EXPECT_EQ(unlimited->text(1), "00153");
    EXPECT_EQ(unlimited->text(2), "2");
    EXPECT_EQ(unlimited->text(3), "00153");
    EXPECT_EQ(unlimited->text(4), "6000.0 x 3210.0");
    EXPECT_EQ(list->topLevelItem(0)->text(3), "21");
    QTreeWidgetItem* offcut = list->topLevelItem(2);
    EXPECT_EQ(offcut->text(0), "00069");
    EXPECT_EQ(offcut->text(5), "0.8");
    EXPECT_EQ(offcut->text(6), "5.0");
    // The warning sign: the offcut (0.8 m2 used of 5), not the unused plate with a lot of 9,
    // not the unlimited plate using 38.5 m2 of its 2.
    EXPECT_TRUE(SameIcon(offcut->icon(0), 178));
    EXPECT_TRUE(SameIcon(list->topLevelItem(3)->icon(0), 180));
    EXPECT_TRUE(SameIcon(unlimited->icon(0), 180));
    EXPECT_EQ(review.findChild<QPlainTextEdit*>("1031")->toPlainText(), "00152");
    EXPECT_EQ(list->currentItem(), list->topLevelItem(0));

    // A size click sorts by area, a second one reverses; the ticks stay with their plates.
    list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);  // plate 0
    list->topLevelItem(3)->setCheckState(0, Qt::Checked);    // plate 3
    QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {},
                      QPoint(list->header()->sectionViewportPosition(4) + 5, 5));
    std::vector<int> order;
    for (int r = 0; r < 4; ++r) order.push_back(RowPlate(list, r));
    EXPECT_EQ(order, (std::vector<int>{1, 3, 0, 2})) << "smallest first after the first click";
    for (int r = 0; r < 4; ++r) EXPECT_EQ(Ticked(list, r), RowPlate(list, r) != 0) << "row " << r;
    QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {},
                      QPoint(list->header()->sectionViewportPosition(4) + 5, 5));
    EXPECT_EQ(RowPlate(list, 0), 2);
    EXPECT_EQ(RowPlate(list, 3), 1);

    // Restore gives back the opening ticks; check none / check all set every row.
    Click(&review, "1106");
    for (int r = 0; r < 4; ++r) EXPECT_EQ(Ticked(list, r), RowPlate(list, r) != 3);
    Click(&review, "1105");
    for (int r = 0; r < 4; ++r) EXPECT_FALSE(Ticked(list, r));
    Click(&review, "1104");
    for (int r = 0; r < 4; ++r) EXPECT_TRUE(Ticked(list, r));

    // Accept (Cancel) still writes the marks: only the unticked plate is left out.
    for (int r = 0; r < 4; ++r)
        if (RowPlate(list, r) == 1) list->topLevelItem(r)->setCheckState(0, Qt::Unchecked);
    Click(&review, "2");
    EXPECT_EQ(review.result(), QDialog::Rejected);
    EXPECT_EQ(candidates.at(0).selected, 0);
    EXPECT_EQ(candidates.at(1).selected, 1);
    EXPECT_EQ(candidates.at(2).selected, 0);
    EXPECT_EQ(candidates.at(3).selected, 0);
    EXPECT_TRUE(prompt.shown().empty());
}

TEST_F(OptimiseWindows, AReviewAgainKeepsThePlatesLeftOutAndShowsNoWarningWithoutOne) {
    PlateList candidates;
    candidates.addOrMerge(Plate("6MM", 15, 3210, 2250), true);
    candidates.addOrMerge(Plate("6MM", 4, 2550, 1605), true);
    candidates.at(1).selected = 1;  // left out by the review before
    candidates.at(1).minimumLot = 3.0;
    PlateList used;
    used.addOrMerge(Used(candidates, 0, 2), false);
    used.addOrMerge(Used(candidates, 1, 1), false);  // 4.1 m2 of a 3 m2 lot: no warning

    TVLOptimizedPlatesDialog review(candidates, used, "00147", "FL, 6MM");
    review.show();
    auto* list = review.findChild<QTreeWidget*>("1030");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(RowPlate(list, 1), 1);
    EXPECT_FALSE(Ticked(list, 1)) << "a plate left out stays out";
    EXPECT_TRUE(review.findChild<QPlainTextEdit*>("1031")->toPlainText().isEmpty());
    for (int r = 0; r < 2; ++r) EXPECT_TRUE(SameIcon(list->topLevelItem(r)->icon(0), 180));

    // Optimise again (OK), and closing by the window's own close: the marks follow the ticks.
    Click(&review, "1104");
    Click(&review, "1");
    EXPECT_EQ(review.result(), QDialog::Accepted);
    EXPECT_EQ(candidates.at(1).selected, 0);

    TVLOptimizedPlatesDialog closed(candidates, used, "00147", "FL, 6MM");
    closed.show();
    Click(&closed, "1105");
    closed.close();
    EXPECT_EQ(closed.result(), QDialog::Rejected);
    EXPECT_EQ(candidates.at(0).selected, 1);
    EXPECT_EQ(candidates.at(1).selected, 1);
}

namespace {

// A stand-in for the library's reopening of a stored result: records what it was given and
// writes a machine file that takes one 3210 x 2250 plate and leaves a 1000 x 800 offcut.
struct ReopeningEngine {
    static inline std::vector<std::string> paths;
    static inline bool writeMachineFile = true;
    static inline std::string cncFolder;
    static int LoadEditor(void* parent, char* path, char* params, int*) {
        paths.push_back(path);
        EXPECT_NE(parent, nullptr) << "the list window is the engine's parent";
        EXPECT_EQ(std::string(params).find("/OPT"), std::string::npos);
        if (!writeMachineFile) return 1;
        ResultPattern pattern;
        pattern.width = 32100;
        pattern.height = 22500;
        pattern.position = 1;
        ResultOffcut offcut;
        offcut.width = 10000;
        offcut.height = 8000;
        pattern.offcuts.push_back(offcut);
        ResultPlan plan;
        plan.patterns.push_back(pattern);
        const std::string name = fs::path(path).filename().string();
        EXPECT_TRUE(WriteFileAtomically(cncFolder + "/" + name, FormatResult(plan)));
        return 1;
    }
};

}  // namespace

TEST_F(OptimiseWindows, MaterialListShowsSortedLinesAndReopensEachResultByItsOwnNumber) {
    InstallDemoCatalogues();
    ReopeningEngine::paths.clear();
    ReopeningEngine::writeMachineFile = true;
    ReopeningEngine::cncFolder = settings->cncFolder;
    Job job;
    job.materials.add(MaterialKey("FL", "6MM", ""), false, 0);
    job.materials.add(MaterialKey("FL", "4MM", "SATIN"), false, 1);
    job.materials.add(MaterialKey("FL", "10MM", ""), false, 2);
    int entries = 0;
    TVLOptimizedMaterialListDialog window(*settings, job, jobPath, prompt, [&entries]() -> LoadEditorFn {
        ++entries;
        return &ReopeningEngine::LoadEditor;
    });
    window.show();
    EXPECT_EQ(window.objectName(), "152");
    EXPECT_EQ(window.windowTitle(), "00048");
    auto* list = window.findChild<QListWidget*>("1003");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Lines(list), (std::vector<QString>{"FL, 10MM", "FL, 4MM, SATIN", "FL, 6MM"}));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(window.findChild<QPushButton*>("1")->text(), "00049");
    EXPECT_EQ(window.findChild<QPushButton*>("2")->text(), "00041");

    // FL, 6MM was optimised first: its result is R01 although it is listed last. No: the machine
    // file goes, the stock stays, and the window stays open.
    const PlateList before = Stock();
    list->setCurrentRow(2);
    prompt.push(PromptAnswer::No);
    Click(&window, "1");
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(ReopeningEngine::paths.size(), 1u);
    EXPECT_EQ(ReopeningEngine::paths[0], settings->mrFolder + "/JOB.R01");
    ASSERT_GE(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text, "00092 FL 6MM\n00093");
    EXPECT_EQ(prompt.shown()[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompt.shown()[0].defaultButton, 1);
    EXPECT_FALSE(fs::exists(settings->cncFolder + "/JOB.R01"));
    EXPECT_EQ(Stock(), before);

    // A double click on FL, 10MM (third optimised: R03), Yes: its plate goes, the offcut comes.
    prompt.clear();
    prompt.push(PromptAnswer::Yes);
    QListWidgetItem* tenMm = list->item(0);
    list->setCurrentItem(tenMm);
    const QPoint onTenMm = list->visualItemRect(tenMm).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onTenMm);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onTenMm);
    ASSERT_EQ(ReopeningEngine::paths.size(), 2u);
    EXPECT_EQ(ReopeningEngine::paths[1], settings->mrFolder + "/JOB.R03");
    EXPECT_EQ(prompt.shown().at(0).text, "00092 FL 10MM\n00093");
    const PlateList after = Stock();
    int tenBefore = 0, tenAfter = 0;
    for (const StockPlate& p : before)
        if (p.key.code == "10MM" && p.kind == PlateOrdinary) tenBefore = p.quantity;
    bool offcut = false;
    for (const StockPlate& p : after) {
        if (p.key.code == "10MM" && p.kind == PlateOrdinary) tenAfter = p.quantity;
        offcut = offcut || (p.key.code == "10MM" && p.kind == PlateOffcut && p.width == 1000.0);
    }
    EXPECT_EQ(tenAfter, tenBefore - 1);
    EXPECT_TRUE(offcut);
    EXPECT_FALSE(fs::exists(settings->cncFolder + "/JOB.R03"));
    EXPECT_TRUE(window.isVisible());

    // The same result again: the stock already follows it and is not moved a second time.
    prompt.clear();
    Click(&window, "1");
    EXPECT_EQ(Stock(), after);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text, "00266");

    // When the library writes no machine file nothing is asked; without a line nothing is run.
    prompt.clear();
    ReopeningEngine::writeMachineFile = false;
    list->setCurrentRow(1);
    Click(&window, "1");
    EXPECT_EQ(ReopeningEngine::paths.back(), settings->mrFolder + "/JOB.R02");
    EXPECT_TRUE(prompt.shown().empty());
    list->clearSelection();
    const size_t runs = ReopeningEngine::paths.size();
    Click(&window, "1");
    EXPECT_EQ(ReopeningEngine::paths.size(), runs);
    EXPECT_EQ(entries, 5) << "the entry is asked for at every OK, as the library may be reloaded";

    Click(&window, "2");
    EXPECT_FALSE(window.isVisible());
}

TEST_F(OptimiseWindows, ResultsButtonOfAJobWithoutResultsTellsTheUser) {
    Job job;
    ShowOptimisedMaterials(nullptr, *settings, job, jobPath, prompt);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text, "00103");
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Exclamation);

    // With results, the list opens over the editor, listing the job's materials.
    job.materials.add(MaterialKey("FL", "8MM", ""), false, 0);
    prompt.clear();
    QStringList lines;
    WhenModal([&lines](QWidget* w) {
        EXPECT_EQ(w->objectName(), "152");
        for (const QString& line : Lines(w->findChild<QListWidget*>("1003"))) lines << line;
        Click(w, "2");
    });
    ShowOptimisedMaterials(nullptr, *settings, job, jobPath, prompt);
    EXPECT_EQ(lines, QStringList{"FL, 8MM"});
    EXPECT_TRUE(prompt.shown().empty());
}

namespace {

// A stored result of two plates 3210 x 2250 with three panes each and one offcut of the stock
// with two: eight labels.
std::string EightPieceResult() {
    ResultPattern a;
    a.count = 2;
    a.width = 32100;
    a.height = 22500;
    for (int i = 0; i < 3; ++i) {
        ResultPiece p;
        p.x = i * 10000;
        p.width = 10000;
        p.height = 5000;
        p.id = "W" + std::to_string(i + 1);
        a.pieces.push_back(p);
    }
    ResultPattern b = a;
    b.count = 1;
    b.width = 12500;
    b.height = 8300;
    b.offcutPlate = true;
    b.pieces.resize(2);
    b.pieces[1].x = 0;
    b.pieces[1].y = 5000;
    b.pieces[1].height = 3000;
    b.pieces[1].id = "K1";
    b.pieces[0].width = 12000;
    ResultPlan plan;
    plan.patterns = {a, b};
    return FormatResult(plan);
}

// The pages a PDF file holds, counted by its page objects; -1 when it is no PDF.
int PdfPages(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes) || bytes.rfind("%PDF", 0) != 0) return -1;
    const std::regex page(R"(/Type\s*/Page[^s])");
    return static_cast<int>(
        std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()));
}

QTreeWidgetItem* Heading(QTreeWidget* tree, const QString& text) {
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0) == text) return tree->topLevelItem(i);
    return nullptr;
}

QString ChildValue(QTreeWidgetItem* heading, const QString& label) {
    for (int i = 0; heading && i < heading->childCount(); ++i)
        if (heading->child(i)->text(0) == label) return heading->child(i)->text(1);
    return QStringLiteral("(none)");
}

}  // namespace

TEST_F(OptimiseWindows, MaterialListShowsTheJobReportAndPrintsTheLabelsOfTheStoredResults) {
    // FL, 6MM was optimised first but its result is gone; FL, 4MM second (R02) is listed first.
    Job job;
    job.name = "Kitchen";
    job.materials.add(MaterialKey("FL", "6MM", ""), false, 0);
    job.materials.add(MaterialKey("FL", "4MM", ""), false, 1);
    ASSERT_TRUE(
        WriteFileAtomically(StoredResultPath(*settings, jobPath, job.materials.at(1)), EightPieceResult()));
    // One label per page: the pages count the labels, so the sheet chosen in the settings is used.
    ASSERT_TRUE(WriteLabelSheet(*settings, *FindLabelSheet("LABEL-100X50")));
    TVLOptimizedMaterialListDialog window(*settings, job, jobPath, prompt, nullptr);
    window.show();

    auto* report = window.findChild<QTreeWidget*>("1010");
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(report->topLevelItemCount(), 3);
    EXPECT_EQ(report->topLevelItem(0)->text(0), "FL, 4MM") << "the report follows the sorted list";
    EXPECT_EQ(report->topLevelItem(2)->text(0), "00148");
    QTreeWidgetItem* four = Heading(report, "FL, 4MM");
    EXPECT_EQ(ChildValue(four, "00450 3210.0 x 2250.0 mm"), "2");
    EXPECT_EQ(ChildValue(four, "00451 1250.0 x 830.0 mm"), "1");
    EXPECT_EQ(ChildValue(four, "00062"), "8");
    EXPECT_EQ(ChildValue(four, "00457"), "1");
    QTreeWidgetItem* six = Heading(report, "FL, 6MM");
    ASSERT_NE(six, nullptr);
    EXPECT_EQ(six->text(1), "00458");
    ASSERT_GE(six->childCount(), 2);
    EXPECT_TRUE(six->child(1)->text(0).endsWith("JOB.R01")) << six->child(1)->text(0).toStdString();
    EXPECT_EQ(ChildValue(Heading(report, "00148"), "00373"), "1");
    // Choosing a material in the list brings its part of the report forward.
    window.findChild<QListWidget*>("1003")->setCurrentRow(1);
    EXPECT_EQ(report->currentItem(), six);

    auto* labels = window.findChild<QPushButton*>("1011");
    ASSERT_NE(labels, nullptr);
    EXPECT_EQ(labels->text(), "00459");
    EXPECT_EQ(window.findChild<QPushButton*>("1012")->text(), "00460");

    // Cancelled in the file dialog: nothing written, nothing said.
    fs::create_directories(dir / "out");
    FileDialogs::PushAnswer(QString());
    Click(&window, "1011");
    ASSERT_EQ(FileDialogs::Requests().size(), 1u);
    EXPECT_EQ(FileDialogs::Requests()[0].caption, "00459");
    EXPECT_EQ(FileDialogs::Requests()[0].startFolder.toStdString(), dir / "TVL");
    EXPECT_TRUE(prompt.shown().empty());

    // Written: the pages, the file and the material that is not in it.
    const std::string pdf = dir / "out/kitchen labels.pdf";
    FileDialogs::PushAnswer(QString::fromStdString(pdf));
    Click(&window, "1011");
    ASSERT_EQ(prompt.shown().size(), 1u);
    const std::string told = prompt.shown()[0].text;
    EXPECT_EQ(told.rfind("00461 8\n" + pdf + "\n\n00462\nFL, 6MM: 00370\n", 0), 0u) << told;
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Exclamation);
    EXPECT_EQ(PdfPages(pdf), 8);

    // The cutting sheets of the same results: the pages the file holds, the same material left out.
    prompt.clear();
    const std::string sheetsPdf = dir / "out/kitchen sheets.pdf";
    FileDialogs::PushAnswer(QString::fromStdString(sheetsPdf));
    Click(&window, "1012");
    EXPECT_EQ(FileDialogs::Requests().back().caption, "00460");
    EXPECT_EQ(FileDialogs::Requests().back().filter, "PDF (*.pdf)");
    ASSERT_EQ(prompt.shown().size(), 1u);
    const int sheetPages = PdfPages(sheetsPdf);
    EXPECT_GE(sheetPages, 3) << "a first page and a page for each of the two patterns at the least";
    EXPECT_EQ(
        prompt.shown()[0].text.rfind(
            "00461 " + std::to_string(sheetPages) + "\n" + sheetsPdf + "\n\n00462\nFL, 6MM: 00370\n", 0),
        0u)
        << prompt.shown()[0].text;
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Exclamation);

    // A folder that is not there: the file named, and no success.
    prompt.clear();
    const std::string nowhere = dir / "gone/labels.pdf";
    FileDialogs::PushAnswer(QString::fromStdString(nowhere));
    Click(&window, "1011");
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_NE(prompt.shown()[0].text.find(nowhere), std::string::npos);
    EXPECT_EQ(prompt.shown()[0].text.find("00461"), std::string::npos);
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Exclamation);
    EXPECT_FALSE(fs::exists(nowhere));

    // Without any readable result there is nothing to label: said before a file is asked for.
    fs::remove(StoredResultPath(*settings, jobPath, job.materials.at(0)));
    prompt.clear();
    FileDialogs::ClearScript();
    Click(&window, "1011");
    EXPECT_TRUE(FileDialogs::Requests().empty());
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text.rfind("00463\n\n00462\n", 0), 0u) << prompt.shown()[0].text;
    prompt.clear();
    Click(&window, "1012");
    EXPECT_TRUE(FileDialogs::Requests().empty());
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text.rfind("00468\n\n00462\nFL, 4MM: 00370", 0), 0u)
        << prompt.shown()[0].text;
}

namespace {

// The optimise command from a window, with the engine library of the build.
class OptimiseWithEngine : public OptimiseWindows {
protected:
    void SetUp() override {
        OptimiseWindows::SetUp();
        InstallDemoCatalogues();
        // A fixed number of search steps: the same plans on every machine, and fast.
        settings->editorParameters = "/STEPS=200 /SEED=7";
        for (int i = 0; i < 6; ++i)
            job.pieces.append(Piece("FL", "4MM", "", 1180, 760, 2, "K" + std::to_string(i)));
        job.pieces.append(Piece("FL", "8MM", "", 800, 350, 4, "S1"));
        steps.engineLibrary = TAVREL_INSTALL_TREE "/libZORUDIR.so";
        steps.commitAndSave = [this](bool& saved) {
            ++commits;
            saved = job.save(jobPath, UnitInUse());
            return true;
        };
        steps.saveAgain = [this] {
            ++savesAgain;
            return job.save(jobPath, UnitInUse());
        };
        steps.setResultsPresent = [this](bool present) { resultsPresent = present; };
        steps.enableResultsButton = [this](bool enable) { resultsButton = enable; };
    }
    static int Quantity(const PlateList& stock, const std::string& code, double w) {
        for (const StockPlate& p : stock)
            if (p.key.code == code && p.key.treatment.empty() && p.kind == PlateOrdinary && p.width == w)
                return p.quantity;
        return -1;
    }
    Job job;
    EditorSteps steps;
    int commits = 0, savesAgain = 0;
    bool resultsPresent = false, resultsButton = false;
};

}  // namespace

TEST_F(OptimiseWithEngine, TwoMaterialsWithARepeatEndInStoredResultsAndTheStock) {
    const PlateList before = Stock();
    int reviews = 0;
    std::vector<int> usedRows;
    auto review = [&](bool again) {
        return [&, again](QWidget* w) {
            ++reviews;
            auto* list = w->findChild<QTreeWidget*>("1030");
            int usedHere = 0;
            for (int r = 0; r < list->topLevelItemCount(); ++r)
                usedHere += list->topLevelItem(r)->text(2).toInt();
            usedRows.push_back(usedHere);
            if (again) {
                // Leave the unlimited plate out of the next run: only the 24 stock plates stay.
                for (int r = 0; r < list->topLevelItemCount(); ++r)
                    list->topLevelItem(r)->setCheckState(
                        0, list->topLevelItem(r)->text(0) == "00131" ? Qt::Checked : Qt::Unchecked);
            }
            Click(w, again ? "1" : "2");
        };
    };
    ModalScript script({{"151", [](QWidget* w) { Click(w, "1"); }},
                        {"172", review(true)},
                        {"172", review(false)},
                        {"172", review(false)}});
    prompt.push(PromptAnswer::Ok);   // optimise FL, 4MM
    prompt.push(PromptAnswer::Yes);  // the stock follows
    prompt.push(PromptAnswer::Ok);   // optimise FL, 8MM
    prompt.push(PromptAnswer::No);   // the stock stays
    const OptimiseReport report = OptimiseFromWindow(nullptr, *settings, job, jobPath, prompt, steps);

    EXPECT_TRUE(report.reachedRunLoop);
    ASSERT_EQ(report.materials.size(), 2u);
    EXPECT_TRUE(report.materials[0].accepted);
    EXPECT_EQ(report.materials[0].attempts, 2) << "optimised again once";
    EXPECT_TRUE(report.materials[0].stockUpdated);
    EXPECT_TRUE(report.materials[1].accepted);
    EXPECT_FALSE(report.materials[1].stockUpdated);
    EXPECT_EQ(reviews, 3);
    for (int used : usedRows) EXPECT_GT(used, 0) << "every review shows plates in use";
    // The repeat ran without the unlimited plate: the accepted 4MM result uses stock plates.
    int stockUsed = 0;
    for (const StockPlate& p : report.materials[0].usedPlates)
        if (p.width == 3210.0) stockUsed += p.quantity;
    EXPECT_GT(stockUsed, 0);
    const PlateList after = Stock();
    EXPECT_EQ(Quantity(after, "4MM", 3210), Quantity(before, "4MM", 3210) - stockUsed);
    EXPECT_EQ(Quantity(after, "8MM", 3210), Quantity(before, "8MM", 3210)) << "No leaves the stock";

    EXPECT_TRUE(fs::exists(settings->mrFolder + "/JOB.R01"));
    EXPECT_TRUE(fs::exists(settings->mrFolder + "/JOB.R02"));
    EXPECT_FALSE(fs::exists(settings->cncFolder + "/JOB.R02")) << "a declined machine file goes";
    ASSERT_EQ(job.materials.count(), 2);
    EXPECT_EQ(job.materials.at(0).code, "4MM");
    EXPECT_EQ(job.materials.at(1).position, 1);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(savesAgain, 1);
    EXPECT_TRUE(resultsPresent);
    EXPECT_TRUE(resultsButton);
    Job saved;
    ASSERT_TRUE(saved.load(jobPath, UnitInUse()));
    EXPECT_EQ(saved.materials, job.materials) << "the optimised materials are in the job file";
}

TEST_F(OptimiseWithEngine, CancellingTheChoiceRunsNothingAndAMissingLibraryIsNamed) {
    {
        ModalScript script({{"151", [](QWidget* w) { Click(w, "2"); }}});
        const OptimiseReport report = OptimiseFromWindow(nullptr, *settings, job, jobPath, prompt, steps);
        EXPECT_EQ(report.stop, RunStop::NothingChosen);
        EXPECT_TRUE(prompt.shown().empty());
    }
    steps.engineLibrary = dir / "none/libZORUDIR.so";
    ModalScript script({{"151", [](QWidget* w) { Click(w, "1"); }}});
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::Ok);
    const OptimiseReport report = OptimiseFromWindow(nullptr, *settings, job, jobPath, prompt, steps);
    ASSERT_EQ(report.materials.size(), 2u);
    EXPECT_EQ(report.materials[0].reason, NotOptimised::EngineUnavailable);
    EXPECT_EQ(report.materials[1].reason, NotOptimised::EngineUnavailable);
    EXPECT_EQ(Shown("00117 '" + steps.engineLibrary + "'"), 2);
    EXPECT_TRUE(job.materials.empty());
    EXPECT_FALSE(resultsButton);
}

TEST_F(OptimiseWithEngine, WhileTheEngineWorksItsProgressWindowShowsAndTheEditorRepaints) {
    // A real run over a parent window: a second of search with the engine's progress window,
    // then its layout viewer, then the review.
    settings->editorParameters = "/TIME=1 /SEED=3";
    job.pieces.removeAt(job.pieces.count() - 1);  // FL, 4MM only
    QDialog editor;
    editor.setObjectName("editor");
    editor.resize(400, 300);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    // Paints of the editor while the engine's window is up: they only happen when an event loop
    // runs beside the search.
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() != QEvent::Paint) return false;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "engineProgress" && w->isVisible()) ++paints;
            return false;
        }
    } counter;
    editor.installEventFilter(&counter);
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, &editor, [&editor] { editor.update(); });
    repaint.start(25);
    bool progressSeen = false;
    auto progress = [&](QWidget* w) {
        progressSeen = true;
        EXPECT_EQ(w->parentWidget(), &editor);
        EXPECT_NE(w->findChild<QPushButton*>("stop"), nullptr);
        auto* bar = w->findChild<QProgressBar*>();
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(bar->isTextVisible());
        EXPECT_TRUE(bar->text().startsWith("Time left: ")) << bar->text().toStdString();
    };
    ModalScript script({{"151", [](QWidget* w) { Click(w, "1"); }},
                        {"engineProgress", progress},
                        {"layoutViewer", [](QWidget* w) { w->close(); }},
                        {"172", [](QWidget* w) { Click(w, "2"); }}});
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::No);
    const OptimiseReport report = OptimiseFromWindow(&editor, *settings, job, jobPath, prompt, steps);
    EXPECT_TRUE(progressSeen);
    EXPECT_GE(counter.paints, 3);
    ASSERT_EQ(report.materials.size(), 1u);
    EXPECT_TRUE(report.materials[0].accepted);
}
