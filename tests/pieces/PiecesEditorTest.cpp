#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "materials/ModifyFieldTable.h"
#include "model/Job.h"
#include "model/ShapeSections.h"
#include "model/UnitsForTests.h"
#include "optimise/EngineInput.h"
#include "pieces/PieceData.h"
#include "pieces/PiecesEditor.h"
#include "settings/SettingsFiles.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {

class Editor : public ::testing::Test {
protected:
    void SetUp() override {
        for (const std::string* f : {&s().mrFolder, &s().tempFolder, &s().jobFolder, &s().dataFolder})
            fs::create_directories(*f);
        jobPath = JoinPath(s().jobFolder, "KITCHEN.TVL");
    }
    AppSettings& s() { return *units.settings; }

    // A job on disk with two optimised materials whose results are in the results folder.
    Job SavedJobWithResults() {
        Job job;
        job.setWorkingPaths(s().tempFolder);
        job.name = "Kitchen";
        job.pieces.append(Piece("FL", "4MM", "", 1180, 760, 2, "K1"));
        job.pieces.append(Piece("FL", "6MM", "", 2400, 600, 1, "K2"));
        job.materials.add(MaterialKey("FL", "4MM", ""), true);
        job.materials.add(MaterialKey("FL", "6MM", ""), true);
        EXPECT_TRUE(job.save(jobPath, s().current));
        WriteText(Result(1), "result one");
        WriteText(Result(2), "result two");
        return job;
    }
    std::string Result(int run) { return JoinPath(s().mrFolder, Format("KITCHEN.R%02d", run)); }

    static PiecesHeader HeaderOf(const Job& job) {
        PiecesHeader h;
        h.name = job.name;
        h.customer = job.customer;
        h.order = job.order;
        h.widthOn = job.maxPlateWidth > 0;
        h.widthText = h.widthOn ? std::to_string(job.maxPlateWidth) : Msg("00171");
        h.heightOn = job.maxPlateHeight > 0;
        h.heightText = h.heightOn ? std::to_string(job.maxPlateHeight) : Msg("00171");
        h.preferOffcuts = job.preferOffcuts;
        h.preferLargePlates = job.preferLargePlates;
        h.preferPlentifulPlates = job.preferPlentifulPlates;
        return h;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& box : prompt.shown()) out.push_back(box.text);
        return out;
    }

    UnitsForTests units;
    ScriptedPrompt prompt;
    std::string jobPath;
    int choices = 0;
    std::string chosen;
    PiecesEditor::SavePathChooser Chooser() {
        return [this](const std::string& folder, const std::string& current) {
            ++choices;
            EXPECT_EQ(folder, s().jobFolder);
            return chosen.empty() ? current : chosen;
        };
    }
};

}  // namespace

TEST_F(Editor, OkOnAnUnchangedEmptyJobSaysItHasNoPiecesThenAsksToSave) {
    PiecesEditor editor(s());
    Job job;
    job.setWorkingPaths(s().tempFolder);
    ASSERT_TRUE(job.save(jobPath, s().current));
    editor.open(job, jobPath, true);
    EXPECT_FALSE(editor.indicator().shown);
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::Cancel);
    EXPECT_EQ(editor.saveStep(HeaderOf(editor.job()), prompt, Chooser()), SaveStepAnswer::Refused);
    ASSERT_EQ(Texts(), (std::vector<std::string>{Msg("00107"), Msg("00108")}));
    EXPECT_EQ(prompt.shown()[1].buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(prompt.shown()[1].defaultButton, 2);
    EXPECT_EQ(choices, 0);

    // A job with pieces and nothing changed closes without a question.
    prompt.clear();
    editor.addPiece(Piece("FL", "4MM", "", 100, 100, 1, "A"));
    prompt.push(PromptAnswer::Yes);
    EXPECT_EQ(editor.saveStep(HeaderOf(editor.job()), prompt, Chooser()), SaveStepAnswer::Saved);
    EXPECT_EQ(choices, 1);
    EXPECT_FALSE(editor.indicator().shown);
    prompt.clear();
    EXPECT_EQ(editor.saveStep(HeaderOf(editor.job()), prompt, Chooser()), SaveStepAnswer::Saved);
    EXPECT_TRUE(prompt.shown().empty());
    Job reread;
    ASSERT_TRUE(reread.load(jobPath, s().current));
    EXPECT_EQ(reread.pieces.count(), 1);
}

TEST_F(Editor, NoToTheSaveQuestionPutsBackTheResultsTheJobFileBelongsTo) {
    PiecesEditor editor(s());
    editor.open(SavedJobWithResults(), jobPath, true);
    EXPECT_EQ(editor.backup().count(), 2);
    EXPECT_TRUE(editor.hasResultFile());
    // An optimisation run left unsaved has replaced one result and removed the other.
    WriteText(Result(1), "result of the unsaved run");
    fs::remove(Result(2));
    editor.addPiece(Piece("FL", "4MM", "", 300, 200, 1, "K3"));
    prompt.push(PromptAnswer::No);
    const SaveStepAnswer answer = editor.saveStep(HeaderOf(editor.job()), prompt, Chooser());
    EXPECT_EQ(answer, SaveStepAnswer::NotSaved);
    editor.close(answer, prompt);
    EXPECT_EQ(ReadText(Result(1)), "result one");
    EXPECT_EQ(ReadText(Result(2)), "result two");
    EXPECT_FALSE(fs::exists(editor.backup().copyPath(jobPath, 1))) << "the copies went back";
    EXPECT_EQ(prompt.shown().size(), 1u);
}

TEST_F(Editor, AResultThatCannotGoBackStaysInTheTemporaryFolderAndTheUserIsTold) {
    PiecesEditor editor(s());
    editor.open(SavedJobWithResults(), jobPath, true);
    // The results folder became a file's name: nothing can be copied into it.
    fs::remove_all(s().mrFolder);
    WriteText(s().mrFolder, "not a folder");
    editor.close(SaveStepAnswer::NotSaved, prompt);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_NE(prompt.shown()[0].text.find(Msg("00340")), std::string::npos);
    EXPECT_EQ(ReadText(editor.backup().copyPath(jobPath, 1)), "result one");
}

TEST_F(Editor, SavingTheChangedJobDropsItsStaleResultsButNotThoseOfTheJobItCameFrom) {
    {
        PiecesEditor editor(s());
        editor.open(SavedJobWithResults(), jobPath, true);
        editor.addPiece(Piece("FL", "4MM", "", 300, 200, 1, "K3"));
        // Saved under another name: the original job file and its results stay as they were.
        chosen = JoinPath(s().jobFolder, "KITCHEN2.TVL");
        WriteText(JoinPath(s().mrFolder, "KITCHEN2.R01"), "stale result of an older KITCHEN2");
        prompt.push(PromptAnswer::Yes);
        EXPECT_EQ(editor.saveStep(HeaderOf(editor.job()), prompt, Chooser()), SaveStepAnswer::Saved);
        EXPECT_EQ(editor.jobPath(), chosen);
        EXPECT_FALSE(fs::exists(JoinPath(s().mrFolder, "KITCHEN2.R01")));
        EXPECT_EQ(ReadText(Result(1)), "result one");
        EXPECT_EQ(ReadText(Result(2)), "result two");
    }
    {
        // Saved over itself: its results no longer fit the pieces and go.
        chosen.clear();
        PiecesEditor editor(s());
        Job job;
        ASSERT_TRUE(job.load(jobPath, s().current));
        editor.open(job, jobPath, true);
        editor.addPiece(Piece("FL", "4MM", "", 300, 200, 1, "K3"));
        prompt.push(PromptAnswer::Yes);
        EXPECT_EQ(editor.saveStep(HeaderOf(editor.job()), prompt, Chooser()), SaveStepAnswer::Saved);
        EXPECT_FALSE(fs::exists(Result(1)));
        EXPECT_EQ(editor.backup().count(), 0);
    }
    {
        // Results made in this session are the job's and stay.
        PiecesEditor editor(s());
        Job job;
        ASSERT_TRUE(job.load(jobPath, s().current));
        editor.open(job, jobPath, true);
        WriteText(Result(1), "fresh result");
        editor.setResultsPresent(true);
        ASSERT_TRUE(editor.save(jobPath, prompt));
        EXPECT_EQ(ReadText(Result(1)), "fresh result");
        EXPECT_EQ(editor.backup().count(), 2) << "backed up again, for a later No";
    }
}

TEST_F(Editor, AFailedSaveIsToldAndTheJobStaysChanged) {
    PiecesEditor editor(s());
    editor.open(Job(), std::string(), false);
    EXPECT_TRUE(editor.indicator().shown);
    editor.addPiece(Piece("FL", "4MM", "", 300, 200, 1, "K3"));
    chosen = JoinPath(s().installFolder, "no/such/folder/JOB.TVL");
    prompt.push(PromptAnswer::Yes);
    EXPECT_EQ(editor.saveStep(HeaderOf(editor.job()), prompt, Chooser()), SaveStepAnswer::Refused);
    ASSERT_EQ(prompt.shown().size(), 2u);
    EXPECT_NE(prompt.shown()[1].text.find(Msg("00106")), std::string::npos);
    EXPECT_NE(prompt.shown()[1].text.find("JOB.TVL"), std::string::npos);
    EXPECT_TRUE(editor.piecesChanged());
    EXPECT_TRUE(editor.jobPath().empty());
}

TEST_F(Editor, HeaderChangesShowTheIndicatorAndGoIntoTheJobOnlyThroughTheSaveStep) {
    PiecesEditor editor(s());
    editor.open(SavedJobWithResults(), jobPath, true);
    PiecesHeader h = HeaderOf(editor.job());
    h.name = "  KITCHEN ";  // letter case and blanks are not a change
    editor.headerEdited(h);
    EXPECT_FALSE(editor.indicator().shown);
    EXPECT_EQ(editor.indicator().resultsLabel, Msg("00049"));
    h.customer = "Hansen";
    editor.headerEdited(h);
    h.name = "Kitchen";  // the field edited last is back, the other still differs
    editor.headerEdited(h);
    EXPECT_TRUE(editor.indicator().shown);
    EXPECT_EQ(editor.indicator().resultsLabel, "[*] " + Msg("00049"));
    h.customer.clear();
    h.preferLargePlates = 1;
    editor.headerEdited(h);
    EXPECT_TRUE(editor.headerChanged());
    h.preferLargePlates = 0;
    h.widthOn = true;
    h.widthText = "3210.5";
    editor.headerEdited(h);
    EXPECT_TRUE(editor.headerChanged());
    EXPECT_EQ(editor.job().maxPlateWidth, 0.0);

    // A limit switched on without a value is refused before any question.
    h.widthText = "0";
    SaveStepFocus focus = SaveStepFocus::None;
    EXPECT_EQ(editor.saveStep(h, prompt, Chooser(), &focus), SaveStepAnswer::Refused);
    EXPECT_EQ(focus, SaveStepFocus::Width);
    EXPECT_EQ(Texts(), std::vector<std::string>{Msg("00095")});
    h.widthText = "3210.5";
    h.heightOn = true;
    h.heightText = "abc";
    EXPECT_EQ(editor.saveStep(h, prompt, Chooser(), &focus), SaveStepAnswer::Refused);
    EXPECT_EQ(focus, SaveStepFocus::Height);

    h.heightText = "1605.25";
    prompt.clear();
    prompt.push(PromptAnswer::No);
    EXPECT_EQ(editor.saveStep(h, prompt, Chooser()), SaveStepAnswer::NotSaved);
    EXPECT_DOUBLE_EQ(editor.job().maxPlateWidth, 3210.5);
    EXPECT_DOUBLE_EQ(editor.job().maxPlateHeight, 1605.25);
    EXPECT_TRUE(editor.indicator().shown) << "not saved";
}

TEST_F(Editor, LimitsRememberATypedValueWhileSwitchedOff) {
    PlateLimit limit;
    limit.open(-5);  // a damaged file's negative limit is no limit
    EXPECT_FALSE(limit.on());
    EXPECT_EQ(limit.view().editText, Msg("00171"));
    EXPECT_EQ(limit.view().checkText, "[ " + Msg("00173") + " ]");
    EXPECT_TRUE(limit.view().readOnly);
    EXPECT_FALSE(limit.view().icon);
    limit.toggle(Msg("00171"));
    EXPECT_TRUE(limit.on());
    EXPECT_EQ(limit.view().editText, "0.0");
    EXPECT_EQ(limit.view().checkText, Msg("00172"));
    limit.toggle("2750.5");  // off: the typed value is remembered
    EXPECT_FALSE(limit.on());
    limit.toggle(Msg("00171"));
    EXPECT_EQ(limit.view().editText, "2750.5");
    limit.toggle("-3");  // a value not above 0 is not remembered
    limit.toggle("");
    EXPECT_EQ(limit.view().editText, "2750.5");
    EXPECT_EQ(LimitValue(false, "2750.5"), 0.0);
}

TEST_F(Editor, AddCopyPasteGiveTheNextFreeIdentifierAndTakeTheShapesAlong) {
    PiecesEditor editor(s());
    Job job;
    job.setWorkingPaths(s().tempFolder);
    job.pieces.append(Piece("FL", "4MM", "", 1180, 760, 2, "PZ_9"));
    job.pieces.append(Piece("FL", "6MM", "", 600, 400, 1, "A_007"));
    job.pieces.append(Piece("FL", "6MM", "", 600, 400, 1, "PZ_10"));
    WriteText(job.auxPanelPath, "[A_007|ARC]\nR=50\n[PZ_9|CUT]\nX=1\n");
    editor.open(job, jobPath, true);
    EXPECT_EQ(editor.newPiece().pieceId, "PZ_11");
    editor.copyRows({1, 0});
    std::vector<int> rows = editor.paste();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(editor.job().pieces.at(3).pieceId, "A_008");
    EXPECT_EQ(editor.job().pieces.at(4).pieceId, "PZ_11");
    EXPECT_EQ(editor.job().pieces.at(4).width, 1180);
    EXPECT_EQ(editor.rows().at(rows[1]).columns[7], "5");
    const std::string shapes = ReadText(editor.job().auxPanelPath);
    EXPECT_NE(shapes.find("[A_008|ARC]"), std::string::npos);
    EXPECT_NE(shapes.find("[PZ_11|CUT]"), std::string::npos);
    EXPECT_TRUE(editor.piecesChanged());

    // A copied piece deleted since is not pasted, nor is the piece that took its place.
    editor.copyRows({0});
    editor.deleteRows({0});
    EXPECT_TRUE(editor.paste().empty());
    EXPECT_EQ(editor.job().pieces.count(), 4);
    EXPECT_EQ(ReadText(editor.job().auxPanelPath).find("[PZ_9|"), std::string::npos);
    EXPECT_EQ(editor.newPiece().pieceId, "PZ_12");
    EXPECT_EQ(editor.totals().quantity, 1 + 1 + 1 + 2);

    // A full-length identifier: its copy must still fit the 16 characters, or the piece data
    // window could not confirm it and the engine, which reads 16, would see the original twice.
    const std::string full = "WINDOWFRAMELEFT1";
    ASSERT_EQ(full.size(), 16u);
    const int letterRow = editor.addPiece(Piece("FL", "4MM", "", 500, 300, 1, "ABCDEFGHIJKLMNOP"));
    const int fullRow = editor.addPiece(Piece("FL", "4MM", "", 500, 300, 1, full));
    const int count = editor.job().pieces.count();
    editor.copyRows({letterRow, fullRow});
    ASSERT_EQ(editor.paste().size(), 2u);
    const PieceList& pieces = editor.job().pieces;
    const std::string copyOfLetters = pieces.at(count).pieceId;
    const std::string copyOfFull = pieces.at(count + 1).pieceId;
    EXPECT_EQ(copyOfLetters, "PZ_1");
    EXPECT_EQ(copyOfFull, "WINDOWFRAMELEFT2");
    for (int i = count; i < count + 2; ++i) {
        EXPECT_LE(pieces.at(i).pieceId.size(), 16u);
        EXPECT_TRUE(PieceIdIsFree(pieces.at(i).pieceId, pieces, i)) << pieces.at(i).pieceId;
    }
    Material material;
    material.serie = "FL";
    material.code = "4MM";
    PieceList forEngine;
    for (int i = count - 2; i < count + 2; ++i) forEngine.append(Piece(pieces.at(i)));
    std::set<std::string> engineIds;
    std::set<std::string> engineTypes;
    for (int i = 0; i < forEngine.count(); ++i) {
        const std::string line = PieceLine(editor.job(), material, forEngine, i, s().current);
        ASSERT_EQ(line.size(), 191u);
        engineTypes.insert(line.substr(16, 5));
        engineIds.insert(Trim(line.substr(172, 16)));
    }
    EXPECT_EQ(engineIds, (std::set<std::string>{"ABCDEFGHIJKLMNOP", full, copyOfLetters, copyOfFull}));
    EXPECT_EQ(engineTypes.size(), 4u);
}

TEST_F(Editor, BulkChangeSetsOnlyTheTickedFieldsAndRefusesImpossibleValues) {
    PiecesEditor editor(s());
    Job job;
    for (int i = 0; i < 4; ++i)
        job.pieces.append(Piece("FL", "4MM", "", 100 + i, 50, 1, "P" + std::to_string(i)));
    editor.open(job, jobPath, true);
    ModifyFieldTable table = PiecesModifyTable();
    ASSERT_EQ(table.count(), PieceModifyFields);
    table.at(ModifyPieceMaterial).changed = true;
    table.at(ModifyPieceMaterial).value = MaterialValue("LAM, 44-2", "SATIN");
    table.at(ModifyPieceText3).changed = true;
    table.at(ModifyPieceText3).value = " polished ";
    table.at(ModifyPieceQuantity).changed = true;
    table.at(ModifyPieceQuantity).value = "0";
    EXPECT_EQ(CheckPieceModify(table), "00095");
    table.at(ModifyPieceQuantity).value = "12";
    table.at(ModifyPieceHeight).changed = true;
    table.at(ModifyPieceHeight).value = "-1";
    EXPECT_EQ(CheckPieceModify(table), "00095");
    table.at(ModifyPieceHeight).value = "0.4";
    EXPECT_EQ(CheckPieceModify(table), "");
    editor.applyModify(table, {1, 3});
    const Piece& changed = editor.job().pieces.at(3);
    EXPECT_EQ(changed.serie, "LAM");
    EXPECT_EQ(changed.code, "44-2");
    EXPECT_EQ(changed.treatment, "SATIN");
    EXPECT_EQ(changed.engineKey.treatment, "SATIN");
    EXPECT_EQ(changed.quantity, 12);
    EXPECT_DOUBLE_EQ(changed.height, 0.4);
    EXPECT_DOUBLE_EQ(changed.width, 103) << "not ticked";
    EXPECT_EQ(changed.text3, "polished");
    EXPECT_EQ(changed.pieceId, "P3");
    EXPECT_EQ(editor.job().pieces.at(2).serie, "FL");
    EXPECT_EQ(editor.rows().at(3).columns[4], "LAM");
}

TEST_F(Editor, ThePerimeterOptionShowsOnlyWhenTheOptionsFileHoldsAValue) {
    EXPECT_FALSE(ReadPerimeterOption(s()).shown);
    ASSERT_TRUE(WritePrintPiecesPerimeter(s(), true));
    EXPECT_TRUE(ReadPerimeterOption(s()).shown);
    EXPECT_TRUE(ReadPerimeterOption(s()).checked);
    ASSERT_TRUE(WritePrintPiecesPerimeter(s(), false));
    EXPECT_TRUE(ReadPerimeterOption(s()).shown);
    EXPECT_FALSE(ReadPerimeterOption(s()).checked);
}

TEST(EditorAtScale, ThousandsOfPiecesPasteAndDeleteKeepIdentifiersDistinctAndRowsNumbered) {
    UnitsForTests units;
    PiecesEditor editor(*units.settings);
    Job job;
    for (int i = 1; i <= 5000; ++i)
        job.pieces.append(
            Piece("FL", "4MM", "", 100 + i % 700, 0.4 + i % 3, 1 + i % 5, "A_" + Format("%04d", i)));
    editor.open(job, std::string(), true);
    std::vector<int> rows;
    for (int r = 4900; r < 5000; ++r) rows.push_back(r);
    editor.copyRows(rows);
    const std::vector<int> added = editor.paste();
    ASSERT_EQ(added.size(), 100u);
    EXPECT_EQ(editor.job().pieces.at(5000).pieceId, "A_5001");
    EXPECT_EQ(editor.job().pieces.at(5099).pieceId, "A_5100");
    std::vector<int> gone;
    for (int r = 0; r < 5100; r += 5) gone.push_back(r);
    editor.deleteRows(gone);
    ASSERT_EQ(editor.rows().count(), 5100 - 1020);
    std::set<std::string> ids;
    for (int r = 0; r < editor.rows().count(); ++r) {
        EXPECT_EQ(editor.rows().at(r).columns[7], std::to_string(r + 1));
        ids.insert(ToLower(editor.job().pieces.at(editor.rows().at(r).itemData).pieceId));
    }
    EXPECT_EQ(int(ids.size()), editor.rows().count());
    EXPECT_EQ(editor.newPiece().pieceId, "A_5101");
}

TEST(EditorInInches, LimitsAndBulkChangesTakeInchValues) {
    UnitsForTests units(UnitsForTests::Inches);
    PlateLimit limit;
    limit.open(126.378);
    EXPECT_EQ(limit.view().editText, FormatNumber(LengthFormat(1), 126.378));
    limit.toggle("98.4252");
    limit.toggle("");
    EXPECT_EQ(limit.view().editText, FormatNumber(LengthFormat(1), 98.4252));
    EXPECT_DOUBLE_EQ(LimitValue(true, "98.4252"), 98.4252);

    ModifyFieldTable table = PiecesModifyTable();
    table.at(ModifyPieceWidth).changed = true;
    table.at(ModifyPieceWidth).value = "0.016";  // under half a millimetre, still a size
    EXPECT_EQ(CheckPieceModify(table), "");
    Piece piece("FL", "4MM", "", 46.457, 29.921, 2, "K1");
    ApplyPieceModify(table, piece);
    EXPECT_DOUBLE_EQ(piece.width, 0.016);
    EXPECT_DOUBLE_EQ(piece.height, 29.921);
    table.at(ModifyPieceWidth).value = "1e400";  // not a size a job file can hold
    EXPECT_EQ(CheckPieceModify(table), "00095");
}
