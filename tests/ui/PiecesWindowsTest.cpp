// The pieces editor and the piece data window driven by their control identifiers, and the
// user's whole road from the main window: open a demo job, add a piece, optimise two materials
// with the engine library of the build, one of them again without a plate, accept, let the stock
// follow, and find the results, the stock and the job as they should be.

#include <map>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/ui/CTavrelDlg.h"
#include "common/Messages.h"
#include "common/TextUtils.h"
#include "materials/MaterialsFile.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "optimise/OptimiseCommand.h"
#include "pieces/NewJob.h"
#include "pieces/ui/TVLPieceDataDialog.h"
#include "pieces/ui/TVLPiecesDialog.h"
#include "plates/PlatesFile.h"
#include "results/ResultFiles.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"
#include "support/UiFixture.h"
#include "ui/CSXButton.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {

class PiecesWindows : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        SuiteLibrary::instance().release();
        for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC", "Addins/ExcelEXE"})
            fs::create_directories(dir / f);
        const fs::path demo = fs::path(TAVREL_SOURCE_DIR) / "resources/demo";
        for (const char* f : {"DAT/Materials.dat", "DAT/Plates.dat", "TVL/DEMO_KITCHEN.TVL"})
            fs::copy_file(demo / f, dir / f, fs::copy_options::overwrite_existing);
        jobPath = dir / "TVL/DEMO_KITCHEN.TVL";
    }
    void TearDown() override {
        SuiteLibrary::instance().release();
        UiTest::TearDown();
    }
    void UseOwnSettings() {
        settings = std::make_unique<AppSettings>(dir.path());
        LoadSettings(*settings);
        SetCurrentSettings(settings.get());
    }

    template <typename W = QWidget>
    static W* Child(QWidget* w, const char* id) {
        W* child = w->findChild<W*>(QString::fromLatin1(id));
        EXPECT_NE(child, nullptr) << id;
        return child;
    }
    static void Click(QWidget* w, const char* id) {
        if (auto* b = Child<QPushButton>(w, id)) QTest::mouseClick(b, Qt::LeftButton);
    }
    static std::vector<std::string> Column(QTreeWidget* list, int column) {
        std::vector<std::string> out;
        for (int r = 0; r < list->topLevelItemCount(); ++r)
            out.push_back(list->topLevelItem(r)->text(column).toStdString());
        return out;
    }
    static void SelectRows(QTreeWidget* list, const std::vector<int>& rows) {
        list->clearSelection();
        for (int r : rows) list->topLevelItem(r)->setSelected(true);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& box : prompt.shown()) out.push_back(box.text);
        return out;
    }

    std::unique_ptr<AppSettings> settings;
    std::string jobPath;
};

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

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last_.data() || next_ >= steps_.size()) return;
        if (steps_[next_].window != modal->objectName()) return;  // an outer window, or not yet
        last_ = modal;
        steps_[next_++].act(modal);
    }
    std::vector<Step> steps_;
    size_t next_ = 0;
    QPointer<QWidget> last_;
    QTimer timer_;
};

}  // namespace

TEST_F(PiecesWindows, TheNewJobButtonOpensAnEmptyJobWhoseOkSaysItHasNoPieces) {
    CTavrelDlg main(nullptr, dir.path());
    prompt.clear();
    bool checked = false;
    // The new job window comes first; OK with its first choice asks for an empty job.
    ModalScript script({{"153", [](QWidget* w) { Click(w, "1"); }},
                        {"146", [&](QWidget* w) {
                             EXPECT_EQ(w->windowTitle().toStdString(), Msg("00189"));
                             EXPECT_FALSE(Child(w, "1066")->isVisible())
                                 << "a new job says it is changed only once edited";
                             EXPECT_EQ(Child<QTreeWidget>(w, "1028")->topLevelItemCount(), 0);
                             EXPECT_EQ(Child<QLabel>(w, "1083")->text(), "0");
                             EXPECT_FALSE(Child(w, "1005")->isEnabled())
                                 << "no engine library in this installation";
                             EXPECT_FALSE(Child(w, "1127")->isVisible()) << "no options file";
                             // Cancel at the save question keeps the editor open.
                             prompt.push(PromptAnswer::Ok);
                             prompt.push(PromptAnswer::Cancel);
                             Click(w, "1");
                             EXPECT_TRUE(w->isVisible());
                             const std::vector<std::string> texts = Texts();
                             ASSERT_GE(texts.size(), 2u);
                             EXPECT_EQ(std::vector<std::string>(texts.end() - 2, texts.end()),
                                       (std::vector<std::string>{Msg("00107"), Msg("00108")}));
                             // No closes it without a file.
                             prompt.push(PromptAnswer::Ok);
                             prompt.push(PromptAnswer::No);
                             Click(w, "1");
                             EXPECT_FALSE(w->isVisible());
                             checked = true;
                         }}});
    QTest::mouseClick(main.button(1000), Qt::LeftButton);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(fs::is_empty(dir / "TVL/../M.R"));
}

TEST_F(PiecesWindows, ThePieceDataWindowCleansTheIdentifierAndRefusesWhatTheJobCannotHold) {
    UseOwnSettings();
    Job job;
    job.setWorkingPaths(settings->tempFolder);
    job.pieces.append(Piece("FL", "4MM", "", 1180, 760, 2, "K1", "shape/K1.PRM"));
    job.pieces.append(Piece("FL", "6MM", "SATIN", 900, 2000, 1, "K2"));
    Piece piece = job.pieces.at(0);
    TVLPieceDataDialog data(*settings, piece, job, 0, nullptr);
    data.SetTitle("00097");
    data.SetRowNumber(1);
    data.show();
    EXPECT_EQ(data.objectName(), "147");
    EXPECT_EQ(data.windowTitle().toStdString(), Msg("00097"));
    auto* material = Child<QComboBox>(&data, "1012");
    auto* treatment = Child<QComboBox>(&data, "1013");
    auto* id = Child<QLineEdit>(&data, "1026");
    auto* width = Child<QLineEdit>(&data, "1003");
    auto* path = Child<QLineEdit>(&data, "1025");
    EXPECT_EQ(material->currentText(), "FL, 4MM");
    EXPECT_TRUE(treatment->itemText(0).isEmpty()) << "the base material can always be chosen";
    EXPECT_GE(treatment->findText("SATIN"), 1);
    EXPECT_EQ(Child<QLabel>(&data, "1084")->text(), "1");

    id->clear();
    QTest::keyClicks(id, "A B/1");
    EXPECT_EQ(id->text(), "A_B_1");
    id->clear();
    QTest::keyClicks(id, "ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(id->text(), "ABCDEFGHIJKLMNOP");

    // The size moved by more than 0.1 drops the shape path; moved back, it returns.
    EXPECT_EQ(path->text(), "shape/K1.PRM");
    width->clear();
    QTest::keyClicks(width, "1180.2");
    EXPECT_TRUE(path->text().isEmpty());
    width->clear();
    QTest::keyClicks(width, "1180.1");
    EXPECT_EQ(path->text(), "shape/K1.PRM");

    // Another piece's identifier in other letters is refused, as are quantity 0 and width 0.
    id->setText("k2");
    Click(&data, "1");
    EXPECT_TRUE(data.isVisible());
    id->setText("K1");
    Child<QLineEdit>(&data, "1002")->setText("0");
    Click(&data, "1");
    EXPECT_TRUE(data.isVisible());
    Child<QLineEdit>(&data, "1002")->setText("3");
    width->setText("0");
    Click(&data, "1");
    EXPECT_TRUE(data.isVisible());
    EXPECT_EQ(Texts(), (std::vector<std::string>{Msg("00130"), Msg("00095"), Msg("00095")}));
    EXPECT_EQ(piece.quantity, 2) << "nothing written before OK succeeds";

    // A changed size reaches the piece without its shape path.
    QTest::keyClicks(width, "1500");
    treatment->setCurrentIndex(treatment->findText("SATIN"));
    Child<QLineEdit>(&data, "1028")->setText("Polished; edges");
    Click(&data, "1");
    EXPECT_FALSE(data.isVisible());
    EXPECT_EQ(piece.quantity, 3);
    EXPECT_DOUBLE_EQ(piece.width, 1500);
    EXPECT_EQ(piece.treatment, "SATIN");
    EXPECT_EQ(piece.text1, "");
    EXPECT_EQ(piece.pieceId, "K1");
    EXPECT_EQ(piece.text3.find(';'), std::string::npos) << "a text never breaks the job file's fields";
}

TEST_F(PiecesWindows, TheEditorListsSortsDeletesAndPastesPieces) {
    UseOwnSettings();
    ASSERT_TRUE(WritePrintPiecesPerimeter(*settings, false));
    TVLPiecesDialog editor(*settings, nullptr);
    ASSERT_TRUE(editor.OpenJobFile(jobPath, "DEMO"));
    editor.show();
    auto* list = Child<QTreeWidget>(&editor, "1028");
    EXPECT_EQ(list->topLevelItemCount(), 8);
    EXPECT_EQ(Child<QLabel>(&editor, "1083")->text(), "8");
    EXPECT_EQ(Child<QLabel>(&editor, "1085")->text(), "15");
    // 2 x quantity x (width + height) over the eight lines, in metres.
    EXPECT_EQ(Child<QLabel>(&editor, "1084")->text().toStdString(), "53.48 " + LongLengthLabel());
    EXPECT_FALSE(Child(&editor, "1066")->isVisible());
    EXPECT_TRUE(Child(&editor, "1127")->isVisible());
    EXPECT_FALSE(Child<QCheckBox>(&editor, "1127")->isChecked());
    Child<QCheckBox>(&editor, "1127")->click();
    EXPECT_EQ(ReadPrintPiecesPerimeter(*settings), 1);

    // The width limit: switched on, a value typed, off and on again keeps it.
    auto* limit = Child<QCheckBox>(&editor, "1048");
    auto* limitEdit = Child<QLineEdit>(&editor, "1088");
    EXPECT_TRUE(limitEdit->isReadOnly());
    limit->click();
    EXPECT_FALSE(limitEdit->isReadOnly());
    limitEdit->clear();
    QTest::keyClicks(limitEdit, "2750.5");
    EXPECT_TRUE(Child(&editor, "1066")->isVisible());
    EXPECT_EQ(Child<QPushButton>(&editor, "1006")->text().toStdString(), "[*] " + Msg("00049"));
    limit->click();
    EXPECT_EQ(limitEdit->text().toStdString(), Msg("00171"));
    EXPECT_FALSE(Child(&editor, "1066")->isVisible()) << "back as the job has it";
    limit->click();
    EXPECT_EQ(limitEdit->text(), "2750.5");
    limit->click();

    // A header click sorts by that column, a second one reverses; the selection follows its piece.
    auto clickHeader = [list](int column) {
        QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {},
                          QPoint(list->header()->sectionViewportPosition(column) + 5, 5));
    };
    SelectRows(list, {4});  // K5, quantity 3
    clickHeader(1);
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"1", "1", "1", "1", "2", "2", "3", "4"}));
    EXPECT_EQ(Column(list, 0).front(), "K3") << "equal quantities keep the job's order";
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems().front()->text(0), "K5");
    clickHeader(0);
    clickHeader(0);
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"K8", "K7", "K6", "K5", "K4", "K3", "K2", "K1"}));
    EXPECT_EQ(Column(list, 7).front(), "8") << "row numbers stay the pieces' places in the job";

    // Delete rows 2 and 3 of the first five (after re-opening in job order).
    TVLPiecesDialog fresh(*settings, nullptr);
    ASSERT_TRUE(fresh.OpenJobFile(jobPath, "DEMO"));
    fresh.show();
    list = Child<QTreeWidget>(&fresh, "1028");
    SelectRows(list, {1, 2});
    prompt.push(PromptAnswer::Yes);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(Texts().back(), Msg("00074"));
    EXPECT_EQ(Column(list, 7), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"K1", "K4", "K5", "K6", "K7", "K8"}));
    EXPECT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->indexOfTopLevelItem(list->selectedItems().front()), 0);

    // Copy and paste with the keys: the copies get the next free identifiers.
    SelectRows(list, {5});
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Column(list, 0).back(), "K10");
    EXPECT_EQ(list->topLevelItem(6)->text(0), "K9");
    EXPECT_EQ(Child<QLabel>(&fresh, "1083")->text(), "8");
    EXPECT_TRUE(Child(&fresh, "1066")->isVisible());

    // Two rows changed at once through the bulk change: only the ticked quantity moves.
    SelectRows(list, {0, 1});
    WhenModal([](QWidget* bulk) {
        auto* fields = bulk->findChild<QTreeWidget*>();
        ASSERT_NE(fields, nullptr);
        fields->setCurrentItem(fields->topLevelItem(1));
        fields->topLevelItem(1)->setCheckState(0, Qt::Checked);
        fields->topLevelItem(1)->setText(2, "7");
        Click(bulk, "1");
    });
    Click(&fresh, "1002");
    EXPECT_EQ(Column(list, 1)[0], "7");
    EXPECT_EQ(Column(list, 1)[1], "7");
    EXPECT_EQ(Column(list, 1)[2], "3");
    EXPECT_EQ(Column(list, 0)[1], "K4");

    // OK with No: nothing is written.
    const std::string before = ReadText(jobPath);
    prompt.push(PromptAnswer::No);
    Click(&fresh, "1");
    EXPECT_FALSE(fresh.isVisible());
    EXPECT_EQ(ReadText(jobPath), before);
}

TEST_F(PiecesWindows, TheCatalogueButtonsChangeTheCatalogueTheEditorAndThePieceWindowShow) {
    UseOwnSettings();
    TVLPiecesDialog editor(*settings, nullptr);
    ASSERT_TRUE(editor.OpenJobFile(jobPath, "DEMO"));
    editor.show();
    auto* list = Child<QTreeWidget>(&editor, "1028");
    ASSERT_EQ(list->topLevelItemCount(), 8);
    const std::vector<std::string> labelsBefore = Column(list, 6);
    ASSERT_EQ(Column(list, 0)[5], "K6");
    EXPECT_EQ(labelsBefore[5], "") << "FL 8MM, a plain material";
    EXPECT_EQ(labelsBefore[6], "(  )") << "LAM 44-2, a laminate";
    auto typeInto = [](QWidget* w, const char* id, const QString& text) {
        auto* e = Child<QLineEdit>(w, id);
        ASSERT_NE(e, nullptr);
        e->selectAll();
        e->del();
        QTest::keyClicks(e, text);
    };
    auto selectGroup = [](QWidget* materials, const QString& serie, const QString& code) {
        auto* groups = Child<QTreeWidget>(materials, "1003");
        ASSERT_NE(groups, nullptr);
        groups->setCurrentItem(nullptr);
        for (int i = 0; i < groups->topLevelItemCount(); ++i)
            if (groups->topLevelItem(i)->text(0) == serie && groups->topLevelItem(i)->text(1) == code)
                groups->setCurrentItem(groups->topLevelItem(i));
        ASSERT_NE(groups->currentItem(), nullptr) << code.toStdString();
    };

    // 1011: FL 8MM given two layers becomes a laminate; its row is relabelled, no other.
    bool changed = false;
    WhenModal([&](QWidget* materials) {
        EXPECT_EQ(materials->objectName(), "141");
        selectGroup(materials, "FL", "8MM");
        WhenModal([&](QWidget* data) {
            WhenModal([&](QWidget* layers) {
                for (int layer = 0; layer < 2; ++layer) {
                    WhenModal([](QWidget* choice) {
                        auto* groups = Child<QComboBox>(choice, "1012");
                        groups->setCurrentIndex(groups->findText("FL, 4MM"));
                        Click(choice, "1");
                    });
                    Click(layers, "1000");
                }
                Click(layers, "1");
            });
            Click(data, "1000");
            Click(data, "1");
            changed = true;
        });
        Click(materials, "1001");
        Click(materials, "2");
    });
    Click(&editor, "1011");
    ASSERT_TRUE(changed);
    std::vector<std::string> labelsAfter = labelsBefore;
    labelsAfter[5] = "(  )";
    EXPECT_EQ(Column(list, 6), labelsAfter);
    EXPECT_EQ(editor.editor().rows().at(5).columns[6], "(  )");
    EXPECT_FALSE(editor.editor().piecesChanged()) << "the catalogue is not the job";

    // 1007: the plates window opens and closes, the editor keeps its rows.
    bool platesShown = false;
    WhenModal([&](QWidget* plates) {
        EXPECT_EQ(plates->objectName(), "143");
        EXPECT_GT(Child<QTreeWidget>(plates, "1003")->topLevelItemCount(), 0);
        platesShown = true;
        Click(plates, "2");
    });
    Click(&editor, "1007");
    EXPECT_TRUE(platesShown);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(Column(list, 6), labelsAfter);

    // 1000 of the piece data window: a new group and a new treatment are offered at once, and
    // the choices made stay.
    SelectRows(list, {0});
    QStringList materialLines, treatmentLines;
    QString materialChoice;
    WhenModal([&](QWidget* data) {
        EXPECT_EQ(data->objectName(), "147");
        auto* material = Child<QComboBox>(data, "1012");
        auto* treatment = Child<QComboBox>(data, "1013");
        EXPECT_EQ(material->findText("FL, 12MM"), -1);
        EXPECT_EQ(treatment->findText("ACID"), -1);
        WhenModal([&](QWidget* materials) {
            WhenModal([&](QWidget* group) {
                typeInto(group, "1002", "FL");
                typeInto(group, "1003", "12MM");
                typeInto(group, "1011", "Float glass 12 mm, clear");
                typeInto(group, "1012", "12");
                Click(group, "1");
            });
            Click(materials, "1000");
            selectGroup(materials, "FL", "4MM");
            WhenModal([&](QWidget* group) {
                WhenModal([](QWidget* input) {
                    QTest::keyClicks(input->findChild<QLineEdit*>("1002"), "acid");
                    Click(input, "1");
                });
                Click(group, "1001");
                Click(group, "1");
            });
            Click(materials, "1001");
            Click(materials, "2");
        });
        Click(data, "1000");
        for (int i = 0; i < material->count(); ++i) materialLines << material->itemText(i);
        for (int i = 0; i < treatment->count(); ++i) treatmentLines << treatment->itemText(i);
        materialChoice = material->currentText();
        Click(data, "2");
    });
    Click(&editor, "1002");
    EXPECT_TRUE(materialLines.contains("FL, 12MM")) << materialLines.join('|').toStdString();
    EXPECT_TRUE(treatmentLines.contains("ACID")) << treatmentLines.join('|').toStdString();
    EXPECT_TRUE(treatmentLines.contains("SATIN"));
    EXPECT_EQ(materialChoice, "FL, 4MM");
    MaterialList disk;
    disk.load(MaterialsFile::pathIn(settings->dataFolder), settings->current);
    EXPECT_GE(disk.indexOf("FL", "12MM", ""), 0);
    EXPECT_GE(disk.indexOf("FL", "4MM", "ACID"), 0);
    EXPECT_EQ(editor.editor().catalogue().indexOf("FL", "4MM", "ACID") >= 0, true)
        << "the editor reloads a catalogue changed from the piece window";
    EXPECT_FALSE(editor.editor().piecesChanged()) << "the piece window was cancelled";
}

TEST_F(PiecesWindows, TheUsersWholeRoadFromAJobToAcceptedResultsAndTheStock) {
    CTavrelDlg main(nullptr, dir.path());
    main.settings().editorParameters = "/STEPS=200 /SEED=7";  // the same plans on every machine
    PlateList stockBefore;
    ASSERT_TRUE(stockBefore.load(PlatesFile::pathIn(main.settings().dataFolder), UnitInUse()));
    prompt.clear();
    bool reached = false;
    int reviews = 0;
    QStringList optimisedLines;

    WhenModal([&](QWidget* w) {
        auto* editor = qobject_cast<TVLPiecesDialog*>(w);
        ASSERT_NE(editor, nullptr);
        editor->SetEngineLibrary(TAVREL_INSTALL_TREE "/libZORUDIR.so");
        EXPECT_EQ(w->windowTitle(), QString::fromStdString(jobPath).toUpper());
        EXPECT_EQ(Child<QLabel>(w, "1092")->text(), "DEMO_KITCHEN.TVL");
        EXPECT_FALSE(Child(w, "1006")->isEnabled()) << "no results yet";
        auto* list = Child<QTreeWidget>(w, "1028");
        ASSERT_EQ(list->topLevelItemCount(), 8);

        // Add a piece: the data window offers the next identifier after the last row's.
        WhenModal([](QWidget* data) {
            EXPECT_EQ(data->objectName(), "147");
            EXPECT_EQ(Child<QLineEdit>(data, "1026")->text(), "K9");
            EXPECT_EQ(Child<QLabel>(data, "1084")->text(), "9");
            auto* material = Child<QComboBox>(data, "1012");
            material->setCurrentIndex(material->findText("FL, 4MM"));
            Child<QLineEdit>(data, "1002")->setText("3");
            Child<QLineEdit>(data, "1003")->setText("640.5");
            Child<QLineEdit>(data, "1004")->setText("480");
            Click(data, "1");
        });
        Click(w, "1001");
        ASSERT_EQ(list->topLevelItemCount(), 9);
        EXPECT_EQ(list->topLevelItem(8)->text(0), "K9");
        EXPECT_TRUE(Child(w, "1066")->isVisible());

        // Optimise FL, 4MM and FL, 6MM; the first again without its unlimited plate.
        const QString ordinary = QString::fromStdString(Msg("00131"));
        auto review = [&, ordinary](bool again) {
            return [&, ordinary, again](QWidget* r) {
                ++reviews;
                auto* plates = r->findChild<QTreeWidget*>("1030");
                ASSERT_NE(plates, nullptr);
                if (again)
                    for (int i = 0; i < plates->topLevelItemCount(); ++i)
                        plates->topLevelItem(i)->setCheckState(
                            0, plates->topLevelItem(i)->text(0) == ordinary ? Qt::Checked : Qt::Unchecked);
                Click(r, again ? "1" : "2");
            };
        };
        FileDialogs::PushAnswer(QString::fromStdString(jobPath));  // the save dialog keeps the name
        prompt.push(PromptAnswer::Yes);                            // save the changed job first
        prompt.push(PromptAnswer::Ok);                             // optimise FL, 4MM
        prompt.push(PromptAnswer::Yes);                            // the stock follows
        prompt.push(PromptAnswer::Ok);                             // optimise FL, 6MM
        prompt.push(PromptAnswer::Yes);                            // the stock follows
        {
            ModalScript script({{"151",
                                 [](QWidget* choice) {
                                     auto* lines = choice->findChild<QListWidget*>("1003");
                                     ASSERT_NE(lines, nullptr);
                                     for (int i = 0; i < lines->count(); ++i)
                                         lines->item(i)->setSelected(lines->item(i)->text() == "FL, 4MM" ||
                                                                     lines->item(i)->text() == "FL, 6MM");
                                     Click(choice, "1");
                                 }},
                                {"172", review(true)},
                                {"172", review(false)},
                                {"172", review(false)}});
            Click(w, "1005");
        }
        ASSERT_NE(editor->lastOptimisation(), nullptr);
        const OptimiseReport& report = *editor->lastOptimisation();
        ASSERT_EQ(report.materials.size(), 2u);
        EXPECT_TRUE(report.materials[0].accepted);
        EXPECT_EQ(report.materials[0].attempts, 2);
        EXPECT_TRUE(report.materials[0].stockUpdated);
        EXPECT_TRUE(report.materials[1].stockUpdated);
        EXPECT_TRUE(Child(w, "1006")->isEnabled());
        EXPECT_FALSE(Child(w, "1066")->isVisible()) << "saved again with its results";

        // The results button lists the two optimised materials.
        WhenModal([&optimisedLines](QWidget* results) {
            EXPECT_EQ(results->objectName(), "152");
            auto* lines = results->findChild<QListWidget*>("1003");
            if (lines)
                for (int i = 0; i < lines->count(); ++i) optimisedLines << lines->item(i)->text();
            Click(results, "2");
        });
        Click(w, "1006");

        // Nothing left to save: OK closes without a question.
        const size_t boxes = prompt.shown().size();
        Click(w, "1");
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(prompt.shown().size(), boxes);
        reached = true;
    });
    FileDialogs::PushAnswer(QString::fromStdString(jobPath));
    QTest::mouseClick(main.button(1001), Qt::LeftButton);
    ASSERT_TRUE(reached);
    EXPECT_EQ(reviews, 3);
    EXPECT_EQ(optimisedLines, (QStringList{"FL, 4MM", "FL, 6MM"}));
    const std::vector<std::string> texts = Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), Msg("00108")), texts.end());

    // The results in M.R, nothing left in the temporary folder's backup.
    const std::string mr = main.settings().mrFolder;
    EXPECT_TRUE(fs::exists(mr + "/DEMO_KITCHEN.R01"));
    EXPECT_TRUE(fs::exists(mr + "/DEMO_KITCHEN.R02"));
    EXPECT_FALSE(fs::exists(mr + "/DEMO_KITCHEN.R03"));
    EXPECT_FALSE(fs::exists(main.settings().tempFolder + "/DEMO_KITCHEN.___R01___"));

    // The job file holds the added piece and the optimised materials in run order.
    Job saved;
    ASSERT_TRUE(saved.load(jobPath, UnitInUse()));
    ASSERT_EQ(saved.pieces.count(), 9);
    EXPECT_EQ(saved.pieces.at(8).pieceId, "K9");
    EXPECT_DOUBLE_EQ(saved.pieces.at(8).width, 640.5);
    ASSERT_EQ(saved.materials.count(), 2);
    EXPECT_EQ(saved.materials.at(0).code, "4MM");
    EXPECT_EQ(saved.materials.at(1).code, "6MM");

    // Each result, read back as the program reads it, holds its material's plan: the job, the
    // material, every piece of that material in full, and the plates it is cut from.
    struct Used {
        std::map<std::pair<double, double>, int> plates;   // plate size -> plates cut
        std::map<std::pair<double, double>, int> offcuts;  // offcut size -> offcuts left
    };
    std::map<std::string, Used> used;  // by material code
    const std::vector<std::pair<std::string, std::string>> runs = {{"R01", "4MM"}, {"R02", "6MM"}};
    for (const auto& [run, code] : runs) {
        ResultPlan plan;
        std::string error;
        ASSERT_TRUE(ReadResultFile(mr + "/DEMO_KITCHEN." + run, plan, &error)) << run << ": " << error;
        EXPECT_EQ(plan.headerValue("Material"), "FL_" + code) << run;
        // A material without treatment is named by its description; the input's field holds 12.
        EXPECT_EQ(plan.headerValue("Treatment"), "Float glass " + std::string(1, code[0]) + " mm, clear")
            << run;
        EXPECT_EQ(plan.headerValue("Customer"), "Hansen & Dau") << run;
        EXPECT_EQ(plan.headerValue("Job").rfind("Kitchen refit", 0), 0u) << plan.headerValue("Job");
        ASSERT_FALSE(plan.patterns.empty()) << run;
        std::map<std::string, long> placed;
        long plates = 0;
        for (const ResultPattern& pattern : plan.patterns) {
            ASSERT_GE(pattern.count, 1);
            plates += pattern.count;
            const auto size = std::make_pair(ResultLength(pattern.width, UnitInUse()),
                                             ResultLength(pattern.height, UnitInUse()));
            used[code].plates[size] += int(pattern.count);
            for (const ResultPiece& piece : pattern.pieces) placed[piece.id] += pattern.count;
            for (const ResultOffcut& o : pattern.offcuts)
                used[code]
                    .offcuts[{ResultLength(o.width, UnitInUse()), ResultLength(o.height, UnitInUse())}] +=
                    int(pattern.count);
        }
        EXPECT_EQ(plan.headerValue("Plates"), std::to_string(plates)) << run;
        std::map<std::string, long> wanted;
        for (int i = 0; i < saved.pieces.count(); ++i)
            if (saved.pieces.at(i).serie == "FL" && saved.pieces.at(i).code == code &&
                saved.pieces.at(i).treatment.empty())
                wanted[saved.pieces.at(i).pieceId] += saved.pieces.at(i).quantity;
        EXPECT_EQ(placed, wanted) << run << ": every piece of the material, each as often as wanted";
    }
    EXPECT_EQ(used["4MM"].plates.count({6000, 3210}), 0u) << "the repeat left the unlimited plate out";

    // The stock followed both results exactly: each plate a pattern was cut from left it, each
    // offcut joined it; the unlimited plates and the other materials are as they were.
    PlateList stockAfter;
    ASSERT_TRUE(stockAfter.load(PlatesFile::pathIn(main.settings().dataFolder), UnitInUse()));
    auto quantities = [](const PlateList& stock, const std::string& code, int kind) {
        std::map<std::pair<double, double>, int> out;
        for (const StockPlate& p : stock)
            if (p.key.serie == "FL" && p.key.code == code && p.key.treatment.empty() && p.kind == kind)
                out[{p.width, p.height}] += p.quantity;
        return out;
    };
    for (const char* code : {"4MM", "6MM"}) {
        std::map<std::pair<double, double>, int> expected = quantities(stockBefore, code, PlateOrdinary);
        std::map<std::pair<double, double>, int> expectedOffcuts = quantities(stockBefore, code, PlateOffcut);
        for (const auto& [size, n] : used[code].plates) {
            // A plate comes out of the ordinary stock, or is one of the stored offcuts.
            auto& from = expected.count(size) ? expected : expectedOffcuts;
            ASSERT_GE(from[size], n) << code << " " << size.first << " x " << size.second;
            if ((from[size] -= n) == 0) from.erase(size);
        }
        for (const auto& [size, n] : used[code].offcuts) expectedOffcuts[size] += n;
        EXPECT_EQ(quantities(stockAfter, code, PlateOrdinary), expected) << code;
        EXPECT_EQ(quantities(stockAfter, code, PlateOffcut), expectedOffcuts) << code;
        EXPECT_EQ(quantities(stockAfter, code, PlateUnlimited), quantities(stockBefore, code, PlateUnlimited))
            << code;
    }
    const std::pair<double, double> jumbo{3210, 2250};
    EXPECT_LT(quantities(stockAfter, "4MM", PlateOrdinary)[jumbo],
              quantities(stockBefore, "4MM", PlateOrdinary)[jumbo])
        << "stock plates were cut";
    auto others = [](const PlateList& stock) {
        std::vector<std::string> out;
        for (const StockPlate& p : stock)
            if (!(p.key.serie == "FL" && (p.key.code == "4MM" || p.key.code == "6MM") &&
                  p.key.treatment.empty()))
                out.push_back(Format("%s|%s|%s|%d|%.3f|%.3f|%d", p.key.serie.c_str(), p.key.code.c_str(),
                                     p.key.treatment.c_str(), p.kind, p.width, p.height, p.quantity));
        return out;
    };
    EXPECT_EQ(others(stockAfter), others(stockBefore)) << "materials that were not optimised";
}

TEST_F(PiecesWindows, LeavingATakenIdentifierBringsBackTheLastOneAcceptedAndCancelDropsTheWork) {
    UseOwnSettings();
    Job job;
    job.setWorkingPaths(settings->tempFolder);
    job.pieces.append(Piece("FL", "4MM", "", 1180, 760, 2, "K1", "shape/K1.PRM"));
    job.pieces.append(Piece("FL", "6MM", "", 900, 2000, 1, "K2"));
    Piece piece = job.pieces.at(0);
    ASSERT_FALSE(piece.internalId.empty());
    // The piece's own sections, the working ones the shape editor left under its internal
    // identifier, and another piece's.
    const std::string shapes =
        "[K1|ARC]\r\nR=50\r\n[" + piece.internalId + "|ARC]\r\nR=55\r\n[K2|CUT]\r\nX=1\r\n";
    WriteText(job.auxPanelPath, shapes);
    TVLPieceDataDialog data(*settings, piece, job, 0, nullptr);
    data.show();
    QApplication::setActiveWindow(&data);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&data));
    auto* id = Child<QLineEdit>(&data, "1026");
    id->setFocus();
    id->selectAll();
    QTest::keyClicks(id, "K3");
    Child<QLineEdit>(&data, "1002")->setFocus();
    EXPECT_EQ(id->text(), "K3");
    EXPECT_TRUE(prompt.shown().empty());
    id->setFocus();
    id->selectAll();
    QTest::keyClicks(id, "k2");
    Child<QLineEdit>(&data, "1002")->setFocus();
    EXPECT_EQ(Texts(), std::vector<std::string>{Msg("00130")});
    EXPECT_EQ(id->text(), "K3") << "the last identifier that was free";
    QApplication::processEvents();
    EXPECT_TRUE(id->hasFocus());
    // While the window is open the shape editor's exchange file holds the piece's sections.
    ASSERT_TRUE(fs::exists(job.tmpPanelVarPath));
    EXPECT_NE(ReadText(job.tmpPanelVarPath).find("[ARC]"), std::string::npos);
    EXPECT_NE(ReadText(job.tmpPanelVarPath).find("R=50"), std::string::npos);
    // Cancel leaves the piece as it was and drops only the work of this window.
    Click(&data, "2");
    EXPECT_FALSE(data.isVisible());
    EXPECT_EQ(piece.pieceId, "K1");
    EXPECT_EQ(piece.text1, "shape/K1.PRM");
    EXPECT_EQ(piece.quantity, 2);
    EXPECT_FALSE(fs::exists(job.tmpPanelVarPath));
    const std::string after = ReadText(job.auxPanelPath);
    EXPECT_EQ(after.find(piece.internalId), std::string::npos) << after;
    EXPECT_NE(after.find("[K1|ARC]"), std::string::npos) << "the piece keeps its shape";
    EXPECT_NE(after.find("R=50"), std::string::npos);
    EXPECT_NE(after.find("[K2|CUT]"), std::string::npos);

    // Closing the window is a cancel too.
    WriteText(job.auxPanelPath, shapes);
    TVLPieceDataDialog again(*settings, piece, job, 0, nullptr);
    again.show();
    ASSERT_TRUE(fs::exists(job.tmpPanelVarPath));
    again.close();
    EXPECT_FALSE(fs::exists(job.tmpPanelVarPath));
    EXPECT_EQ(ReadText(job.auxPanelPath).find(piece.internalId), std::string::npos);
    EXPECT_NE(ReadText(job.auxPanelPath).find("[K1|ARC]"), std::string::npos);
}

TEST_F(PiecesWindows, ANewJobFromASpreadsheetResultListsItsPiecesAndIsChanged) {
    UseOwnSettings();
    fs::create_directories(dir / "Addins/ExcelEXE/IMPORT");
    NewJobTexts texts;
    texts.resultName = "cucina";
    texts.resultDescription = "Rossi\tkitchen";
    texts.resultPath = dir / "Addins/ExcelEXE/IMPORT/cucina.TVX";
    WriteText(
        texts.resultPath,
        "\"FL\";\"4MM\";\"\";2;1000.500;500.000;\"A1\";\"\";\"\";\"\"\r\n"
        "\"FL\";\"4MM\";\"\";5;0.500;3210.000;\"A2\";\"\";\"\";\"\"\r\n"
        "[XNI_GENERAL]\r\nFORMAT=TAVREL\r\nDESCRIPTION=Rossi\tkitchen\r\nFILE_VERSION=1\r\nITEMS=2\r\n");
    TVLPiecesDialog editor(*settings, nullptr);
    editor.OpenNewJob(texts);
    editor.show();
    EXPECT_EQ(editor.windowTitle().toStdString(), "cucina");
    EXPECT_EQ(Child<QLabel>(&editor, "1092")->text(), "cucina.TVL");
    EXPECT_EQ(Child<QLineEdit>(&editor, "1067")->text().toStdString(), "Rossi\tkitchen");
    auto* list = Child<QTreeWidget>(&editor, "1028");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"A1", "A2"}));
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"2", "5"}));
    EXPECT_TRUE(Child(&editor, "1066")->isVisible()) << "an imported job shows it is changed at once";
    EXPECT_FALSE(fs::exists(dir / "TVL/cucina.TVL")) << "nothing saved before the user says so";
    EXPECT_TRUE(prompt.shown().empty());
}

TEST_F(PiecesWindows, EscapeAsksBeforeChangesAreLostAndANewJobIsNamedBeforeItIsOptimised) {
    UseOwnSettings();
    TVLPiecesDialog editor(*settings, nullptr);
    editor.OpenNewJob();
    editor.SetEngineLibrary(TAVREL_INSTALL_TREE "/libZORUDIR.so");
    editor.show();
    EXPECT_TRUE(Child(&editor, "1005")->isEnabled());
    editor.editor().addPiece(Piece("FL", "4MM", "", 500, 400, 1, "PZ_1"));

    // Escape is the save step too; Cancel there keeps the editor.
    prompt.push(PromptAnswer::Cancel);
    QTest::keyClick(&editor, Qt::Key_Escape);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(Texts(), std::vector<std::string>{Msg("00108")});

    // Optimise on a job without a name: the save dialog cancelled, nothing runs.
    prompt.clear();
    prompt.push(PromptAnswer::Yes);
    FileDialogs::PushAnswer(QString());
    Click(&editor, "1005");
    EXPECT_EQ(editor.lastOptimisation(), nullptr);
    // Going on unsaved: the user learns why it cannot be optimised yet.
    prompt.push(PromptAnswer::No);
    Click(&editor, "1005");
    EXPECT_EQ(editor.lastOptimisation(), nullptr);
    EXPECT_EQ(Texts(), (std::vector<std::string>{Msg("00108"), Msg("00108"), Msg("00341")}));
    EXPECT_TRUE(fs::is_empty(settings->mrFolder)) << "no result named after no job";

    // Saved under a name, the job can be closed without another question.
    prompt.clear();
    prompt.push(PromptAnswer::Yes);
    FileDialogs::PushAnswer(QString::fromStdString(dir / "TVL/NEW.TVL"));
    Click(&editor, "1");
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(Texts(), std::vector<std::string>{Msg("00108")});
    Job saved;
    ASSERT_TRUE(saved.load(dir / "TVL/NEW.TVL", UnitInUse()));
    EXPECT_EQ(saved.pieces.count(), 1);
}

TEST_F(PiecesWindows, AJobSavedUnderANewNameAtTheOptimiseQuestionIsOptimisedUnderThatName) {
    UseOwnSettings();
    TVLPiecesDialog editor(*settings, nullptr);
    ASSERT_TRUE(editor.OpenJobFile(jobPath, "DEMO"));
    editor.SetEngineLibrary(TAVREL_INSTALL_TREE "/libZORUDIR.so");
    settings->editorParameters = "/STEPS=100 /SEED=3";
    editor.show();
    editor.editor().addPiece(Piece("FL", "8MM", "", 500, 400, 1, "K9"));
    const std::string renamed = dir / "TVL/KITCHEN_B.TVL";
    prompt.push(PromptAnswer::Yes);  // save the changed job
    FileDialogs::PushAnswer(QString::fromStdString(renamed));
    prompt.push(PromptAnswer::Ok);  // optimise FL, 8MM
    {
        ModalScript script({{"151",
                             [](QWidget* choice) {
                                 auto* lines = choice->findChild<QListWidget*>("1003");
                                 for (int i = 0; i < lines->count(); ++i)
                                     lines->item(i)->setSelected(lines->item(i)->text() == "FL, 8MM");
                                 Click(choice, "1");
                             }},
                            {"172", [](QWidget* review) { Click(review, "2"); }}});
        Click(&editor, "1005");
    }
    EXPECT_EQ(editor.editor().jobPath(), renamed);
    EXPECT_TRUE(fs::exists(settings->mrFolder + "/KITCHEN_B.R01"));
    EXPECT_FALSE(fs::exists(settings->mrFolder + "/DEMO_KITCHEN.R01"));
    Job saved;
    ASSERT_TRUE(saved.load(renamed, UnitInUse()));
    EXPECT_EQ(saved.materials.count(), 1);
    const std::vector<std::string> texts = Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), Msg("00108")), 1) << "asked once";
}

TEST_F(PiecesWindows, TextsFromAWindowsStationStayAsTheyWereRead) {
    UseOwnSettings();
    // A job and a catalogue line written on a Windows station: Windows-1252, CR LF.
    WriteText(dir / "DAT/Materials.dat",
              ReadText(dir / "DAT/Materials.dat") +
                  "\"VETR\xC8\";\"4MM\";\"Vetro\";\"\";4.000;10.000;10.000;10.000;20.000;0.000;\r\n0\r\n");
    WriteText(jobPath,
              "FILE_VERSION=3\r\n\"K\xFC"
              "che\"\r\n\"M\xFCller\"\r\n\"\"\r\n\"0.000;0.000;0;0;0\"\r\n1\r\n"
              "\"VETR\xC8\";\"4MM\";\"\";1;500.000;400.000;\"T\xD6R\";\"\";\"Gro\xDF\";\"\"\r\n0\r\n");
    const std::string before = ReadText(jobPath);
    TVLPiecesDialog editor(*settings, nullptr);
    ASSERT_TRUE(editor.OpenJobFile(jobPath, "W"));
    editor.show();
    EXPECT_EQ(Child<QLineEdit>(&editor, "1068")->text(), QString::fromUtf8("M\u00FCller"));
    EXPECT_NE(editor.editor().rows().at(0).columns[6], Msg("00197")) << "found in the catalogue";

    // The piece opened and confirmed unchanged keeps its bytes and its catalogue material.
    WhenModal([](QWidget* data) {
        EXPECT_EQ(Child<QComboBox>(data, "1012")->currentText(), QString::fromUtf8("VETR\u00C8, 4MM"));
        Click(data, "1");
    });
    Click(&editor, "1002");
    const Piece& piece = editor.editor().job().pieces.at(0);
    EXPECT_EQ(piece.serie, "VETR\xC8");
    EXPECT_EQ(piece.text2, "Gro\xDF");
    EXPECT_NE(editor.editor().rows().at(0).columns[6], Msg("00197"));

    // Nothing typed in the header: no question at OK beyond the one the change above asks.
    prompt.push(PromptAnswer::No);
    Click(&editor, "1");
    EXPECT_EQ(Texts(), std::vector<std::string>{Msg("00108")});
    EXPECT_EQ(ReadText(jobPath), before);
    EXPECT_EQ(editor.editor().job().customer, "M\xFCller");
}
