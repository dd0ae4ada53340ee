#include <filesystem>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/UserPrompt.h"
#include "files/EngineInput.h"
#include "files/EngineResult.h"
#include "library/EditorCalls.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "optimise/EngineInput.h"
#include "optimise/OptimiseCommand.h"
#include "pieces/JobOpening.h"
#include "results/OptimisedMaterialList.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"
#include "support/TempDir.h"

using namespace tavrel;

namespace fs = std::filesystem;

namespace {

// A stand-in engine that honours the library contract: the optimise call reads the input with
// the engine's own reader, writes a result with one pattern cut from the first plate offered
// (one offcut 100 x 200 holding the first piece) and returns its path; the machine-file call
// copies the result to CNC/ + job base name + the result's extension.
struct FakeEngine {
    static inline std::vector<std::string> inputs;   // the engine input of every optimise call
    static inline std::vector<EngineInput> records;  // the same, as the engine read it
    static inline bool produceResult = true;
    static inline int calls = 0;

    static int LoadEditor(void*, char* path, char* params, int*) {
        ++calls;
        const std::string p(path);
        if (std::string(params).rfind(" /OPT ", 0) == 0) {
            std::string input;
            EXPECT_TRUE(ReadWholeFile(p, input));
            inputs.push_back(input);
            EngineInput read;
            if (!ParseEngineInput(input, read) || read.plates.empty() || read.pieces.empty() ||
                !produceResult) {
                path[0] = 0;
                return 0;
            }
            records.push_back(read);
            const EnginePlateRecord& plate = read.plates.front();
            ResultPattern pattern;
            pattern.width = plate.width;
            pattern.height = plate.height;
            pattern.thickness = plate.thickness;
            pattern.position = plate.position;
            ResultPiece piece;
            piece.width = read.pieces.front().width;
            piece.height = read.pieces.front().height;
            piece.id = read.pieces.front().pieceId;
            pattern.pieces.push_back(piece);
            ResultOffcut offcut;
            offcut.width = 1000;
            offcut.height = 2000;
            pattern.offcuts.push_back(offcut);
            ResultInfo info;
            info.id = piece.id;
            pattern.infos.push_back(info);
            ResultPlan plan;
            plan.patterns.push_back(pattern);
            const std::string out = p + "X";  // extension R01X: the program renames the machine file
            EXPECT_TRUE(WriteFileAtomically(out, FormatResult(plan)));
            std::snprintf(path, 512, "%s", out.c_str());
        } else {
            const std::string name = SplitPath(p).fileName;
            const std::string base = name.substr(0, name.rfind('.') + 1);
            const std::string ext = name.substr(name.rfind('.') + 1);
            std::string content;
            EXPECT_TRUE(ReadWholeFile(p, content));
            EXPECT_TRUE(WriteFileAtomically("CNC/" + base + ext, content));
        }
        return 0;
    }
};

// The engine library's own calls behind the entry point, so its statuses and reports are real.
struct RealEngine {
    static int LoadEditor(void*, char* path, char* params, int* status) {
        ++FakeEngine::calls;
        EditorStatus s = EditorStatus::Ok;
        const std::string file(path);
        if (std::string(params).rfind(" /OPT ", 0) == 0) {
            EditorOptions options = ParseEditorOptions("/STEPS=300 /SEED=1");
            std::snprintf(path, 512, "%s", RunOptimise(file, options, s).c_str());
        } else {
            WriteMachineFile(file, s);
        }
        *status = static_cast<int>(s);
        return s == EditorStatus::Ok;
    }
};

class ScriptedHost : public OptimiseHost {
public:
    bool CommitAndSave(bool& saved) override {
        saved = true;
        return commit;
    }
    bool SaveAgain() override {
        ++savesAgain;
        return true;
    }
    bool ChooseMaterials(const MaterialList& used, MaterialKeyList& chosen) override {
        offered = used.count();
        for (const Material& m : used) chosen.add(m.key(), true);
        return choose;
    }
    bool ReviewPlates(PlateList& candidates, const PlateList& used, const std::string&,
                      const std::string& info) override {
        ++reviews;
        infos.push_back(info);
        layoutPresent = fs::exists(cnc + "/00000001.LG") || fs::exists(cnc + "/00000001.HLG");
        usedCounts.push_back(used.empty() ? 0 : used.at(0).quantity);
        return review ? review(candidates) : false;
    }
    LoadEditorFn EngineEntry() override {
        return engineAvailable ? (realEngine ? &RealEngine::LoadEditor : &FakeEngine::LoadEditor) : nullptr;
    }

    bool commit = true, choose = true, engineAvailable = true, layoutPresent = false, realEngine = false;
    int offered = 0, reviews = 0, savesAgain = 0;
    std::vector<std::string> infos;
    std::vector<int> usedCounts;
    std::function<bool(PlateList&)> review;
    std::string cnc;
};

class OptimiseCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        cwd = fs::current_path().string();
        InstallSuiteFiles(dir.path());
        for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC", "Addins/ExcelEXE", "iso"})
            fs::create_directories(dir / f);
        settings = std::make_unique<AppSettings>(dir.path());
        LoadSettings(*settings);
        SetCurrentSettings(settings.get());
        host.cnc = settings->cncFolder;
        FakeEngine::inputs.clear();
        FakeEngine::records.clear();
        FakeEngine::produceResult = true;
        FakeEngine::calls = 0;
        jobPath = dir / "TVL/JOB.TVL";
        AddMaterial("FL", "4MM");
        AddMaterial("FL", "6MM");
    }
    void TearDown() override {
        SetCurrentSettings(nullptr);
        fs::current_path(cwd);
    }
    void AddMaterial(const std::string& serie, const std::string& code) {
        Material m(serie, code, "");
        m.thickness = 4;
        catalogue.add(m);
    }
    void AddPlate(const std::string& code, double w, double h, int qty, int kind = PlateOrdinary) {
        stock.addOrMerge(StockPlate(MaterialKey("FL", code, ""), qty, w, h, 0, 0.0, 2, kind, 0.0), true);
    }
    void AddPiece(const std::string& code, double w, double h, int qty, const std::string& id) {
        job.pieces.append(Piece("FL", code, "", w, h, qty, id));
    }
    OptimiseReport Run() {
        EXPECT_TRUE(catalogue.save(dir / "DAT/Materials.dat", UnitInUse()));
        EXPECT_TRUE(stock.save(dir / "DAT/Plates.dat", UnitInUse()));
        return Optimise(*settings, job, jobPath, prompt, host);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& s : prompt.shown()) t.push_back(s.text);
        return t;
    }

    std::string cwd;
    TempDir dir;
    std::unique_ptr<AppSettings> settings;
    MaterialList catalogue;
    PlateList stock;
    Job job;
    std::string jobPath;
    ScriptedPrompt prompt;
    ScriptedHost host;
};

}  // namespace

TEST_F(OptimiseCommandTest, OneMaterialGivesRunOneAndUpdatesTheStock) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPiece("4MM", 500, 400, 2, "P1");
    prompt.push(PromptAnswer::Ok);   // 00100
    prompt.push(PromptAnswer::Yes);  // stock question
    OptimiseReport report = Run();
    ASSERT_EQ(report.materials.size(), 1u);
    EXPECT_EQ(report.materials[0].runNumber, 1);
    EXPECT_TRUE(report.materials[0].accepted);
    EXPECT_TRUE(report.materials[0].stockUpdated);
    EXPECT_TRUE(fs::exists(dir / "TEMP/JOB.R01")) << "engine input named after the job";
    EXPECT_TRUE(fs::exists(dir / "M.R/JOB.R01")) << "result stored under the run number";
    EXPECT_TRUE(host.layoutPresent) << "00000001.LG/.HLG exist while the review is open";
    EXPECT_FALSE(fs::exists(dir / "CNC/00000001.LG")) << "and are gone afterwards";
    ASSERT_EQ(job.materials.count(), 1);
    EXPECT_EQ(job.materials.at(0).code, "4MM");
    EXPECT_EQ(job.materials.at(0).position, 0);
    EXPECT_EQ(host.savesAgain, 1);
    PlateList after;
    ASSERT_TRUE(after.load(dir / "DAT/Plates.dat", UnitInUse()));
    ASSERT_EQ(after.count(), 2);
    EXPECT_EQ(after.at(0).quantity, 4) << "one plate consumed";
    EXPECT_EQ(after.at(1).kind, PlateOffcut);
    EXPECT_DOUBLE_EQ(after.at(1).width, 100);
    EXPECT_DOUBLE_EQ(after.at(1).height, 200);
    EXPECT_EQ(prompt.shown()[1].defaultButton, 1) << "No is the default of the stock question";
    EXPECT_FALSE(fs::exists(dir / "TEMP/__KZWtmp__/JOB.R01")) << "staged copy moved";
}

TEST_F(OptimiseCommandTest, AMaterialNotAcceptedLeavesItsRunNumberToTheNext) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPlate("6MM", 3210, 2250, 5);
    AddPiece("4MM", 500, 400, 1, "P1");
    AddPiece("6MM", 500, 400, 1, "P2");
    FakeEngine::produceResult = false;
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::Ok);  // the box telling that the first material was not optimised
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::No);
    host.review = [&](PlateList&) { return false; };
    // The first material gets no result, the second does.
    struct Toggle {
        static int Entry(void* w, char* p, char* params, int* r) {
            FakeEngine::produceResult = FakeEngine::inputs.size() >= 1;
            return FakeEngine::LoadEditor(w, p, params, r);
        }
    };
    class Host2 : public ScriptedHost {
    public:
        LoadEditorFn EngineEntry() override { return &Toggle::Entry; }
    } host2;
    host2.cnc = settings->cncFolder;
    EXPECT_TRUE(catalogue.save(dir / "DAT/Materials.dat", UnitInUse()));
    EXPECT_TRUE(stock.save(dir / "DAT/Plates.dat", UnitInUse()));
    OptimiseReport report = Optimise(*settings, job, jobPath, prompt, host2);
    ASSERT_EQ(FakeEngine::inputs.size(), 2u);
    ASSERT_EQ(report.materials.size(), 2u);
    EXPECT_EQ(report.materials[0].key.code, "4MM");
    EXPECT_FALSE(report.materials[0].accepted);
    EXPECT_EQ(report.materials[0].reason, NotOptimised::EngineFailed);
    EXPECT_EQ(report.materials[1].key.code, "6MM");
    EXPECT_EQ(report.materials[1].reason, NotOptimised::No);
    EXPECT_EQ(report.materials[1].runNumber, 1);
    EXPECT_TRUE(fs::exists(dir / "M.R/JOB.R01"));
    EXPECT_EQ(job.materials.count(), 1);
    PlateList after;
    after.load(dir / "DAT/Plates.dat", UnitInUse());
    EXPECT_EQ(after.count(), 2) << "stock question answered No: unchanged";
    EXPECT_EQ(after.at(1).quantity, 5);
}

TEST_F(OptimiseCommandTest, ARepeatKeepsTheRunNumberAndLeavesMarkedPlatesOut) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPlate("4MM", 6000, 3210, 2);
    AddPiece("4MM", 500, 400, 1, "P1");
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::No);
    int review = 0;
    host.review = [&](PlateList& candidates) {
        if (review++ > 0) return false;
        candidates.at(0).selected = 1;  // leave the first plate out and optimise again
        return true;
    };
    OptimiseReport report = Run();
    ASSERT_EQ(FakeEngine::records.size(), 2u);
    EXPECT_EQ(FakeEngine::records[0].plates.size(), 2u);
    ASSERT_EQ(FakeEngine::records[1].plates.size(), 1u) << "one plate line pair fewer";
    EXPECT_EQ(FakeEngine::records[1].plates[0].position, 2) << "positions stay those of the full list";
    ASSERT_EQ(report.materials.size(), 1u);
    EXPECT_EQ(report.materials[0].runNumber, 1);
    EXPECT_EQ(report.materials[0].attempts, 2);
    EXPECT_EQ(prompt.shown().size(), 2u) << "no second 00100 question for a repeat";
}

TEST_F(OptimiseCommandTest, PlatesBeyondTheJobLimitAreCounted) {
    AddPlate("4MM", 6000, 3210, 2);
    AddPiece("4MM", 500, 400, 1, "P1");
    job.maxPlateWidth = 5000;
    prompt.push(PromptAnswer::Ok);
    OptimiseReport report = Run();
    ASSERT_EQ(report.materials.size(), 1u);
    EXPECT_EQ(report.materials[0].reason, NotOptimised::NoUsablePlate);
    ASSERT_EQ(prompt.shown().size(), 2u);
    EXPECT_EQ(prompt.shown()[1].text.rfind("FL, 4MM\n\n[1] ", 0), 0u) << prompt.shown()[1].text;
    EXPECT_EQ(FakeEngine::calls, 0);
}

TEST_F(OptimiseCommandTest, CancellingTheFirstQuestionStillCleansUp) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPiece("4MM", 500, 400, 1, "P1");
    WriteText(dir / "iso/a.INF", "x");
    WriteText(dir / "CNC/00000007.LG", "x");
    WriteText(dir / "M.R/JOB.R03", "old result");
    WriteText(dir / "M.R/OTHER.R01", "other job");
    prompt.push(PromptAnswer::Cancel);
    OptimiseReport report = Run();
    EXPECT_TRUE(report.reachedRunLoop);
    EXPECT_FALSE(fs::exists(dir / "iso/a.INF"));
    EXPECT_FALSE(fs::exists(dir / "CNC/00000007.LG"));
    EXPECT_FALSE(fs::exists(dir / "M.R/JOB.R03"));
    EXPECT_TRUE(fs::exists(dir / "M.R/OTHER.R01"));
    EXPECT_EQ(FakeEngine::calls, 0);
}

TEST_F(OptimiseCommandTest, LaminatePiecesRunOncePerLayerUnderTheLaminateName) {
    Material laminate("VS", "33_1", "");
    laminate.components.add(MaterialKey("FL", "4MM", ""), false);
    laminate.components.add(MaterialKey("FL", "6MM", ""), false);
    catalogue.add(laminate);
    AddPlate("4MM", 3210, 2250, 5);
    AddPlate("6MM", 3210, 2250, 5);
    job.pieces.append(Piece("VS", "33_1", "", 700, 500, 1, "L1"));
    for (int i = 0; i < 4; ++i) prompt.push(i % 2 ? PromptAnswer::No : PromptAnswer::Ok);
    OptimiseReport report = Run();
    ASSERT_EQ(FakeEngine::records.size(), 2u) << (prompt.shown().empty() ? "" : prompt.shown()[0].text);
    for (const EngineInput& input : FakeEngine::records) {
        ASSERT_EQ(input.pieces.size(), 1u);
        EXPECT_EQ(input.pieces[0].pieceKey, "VS_33_1") << "field 3 carries the laminate";
    }
    EXPECT_EQ(FakeEngine::records[0].pieces[0].materialKey, "FL_4MM");
    EXPECT_EQ(FakeEngine::records[1].pieces[0].materialKey, "FL_6MM");
    EXPECT_EQ(report.materials.size(), 2u);
    EXPECT_EQ(report.materials[1].runNumber, 2);
}

TEST_F(OptimiseCommandTest, AMaterialWithoutPlatesStopsTheCommand) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPiece("4MM", 500, 400, 1, "P1");
    AddPiece("6MM", 500, 400, 1, "P2");
    OptimiseReport report = Run();
    EXPECT_FALSE(report.reachedRunLoop);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Exclamation);
    EXPECT_NE(prompt.shown()[0].text.find("\n\nFL, 6MM"), std::string::npos);
    EXPECT_EQ(prompt.shown()[0].text.find("FL, 4MM"), std::string::npos);
    EXPECT_EQ(FakeEngine::calls, 0);
}

TEST_F(OptimiseCommandTest, MissingMaterialsAreReportedAndTheRestRuns) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPiece("4MM", 500, 400, 1, "P1");
    job.pieces.append(Piece("XX", "9MM", "", 100, 100, 1, "P9"));
    prompt.push(PromptAnswer::Ok);  // the missing-material box
    prompt.push(PromptAnswer::Ok);  // 00100
    prompt.push(PromptAnswer::No);
    OptimiseReport report = Run();
    EXPECT_NE(prompt.shown()[0].text.find("XX, 9MM"), std::string::npos);
    EXPECT_EQ(host.offered, 1);
    EXPECT_EQ(report.materials.size(), 1u);
}

TEST_F(OptimiseCommandTest, RefusedSaveOrChoiceEndsEarly) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPiece("4MM", 500, 400, 1, "P1");
    host.commit = false;
    EXPECT_FALSE(Run().reachedRunLoop);
    host.commit = true;
    host.choose = false;
    EXPECT_FALSE(Run().reachedRunLoop);
    EXPECT_EQ(FakeEngine::calls, 0);
}

TEST(ChoiceWindow, NothingSelectedIsRefused) {
    MaterialList used;
    used.add(Material("FL", "4MM", ""));
    used.add(Material("FL", "6MM", "SAT"));
    ScriptedPrompt prompt;
    MaterialKeyList chosen;
    EXPECT_FALSE(ChosenMaterials(used, {false, false}, chosen, prompt));
    EXPECT_EQ(prompt.shown().size(), 1u);
    EXPECT_TRUE(ChosenMaterials(used, {false, true}, chosen, prompt));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).treatment, "SAT");
    EXPECT_EQ(chosen.at(0).position, 1);
    const MaterialKey satin("FL", "6MM", "SAT");
    EXPECT_EQ(MaterialText(satin), "FL, 6MM, SAT");
    EXPECT_EQ(MaterialText(MaterialKey("FL", "6MM", "")), "FL, 6MM");
    EXPECT_EQ(MaterialText(satin, KeyStyle::Title), "FL, 6MM [SAT]");
    EXPECT_EQ(MaterialText(satin, KeyStyle::Words), "FL 6MM SAT");
    EXPECT_EQ(MaterialText(satin, KeyStyle::SerieCode), "FL, 6MM");
    EXPECT_EQ(MaterialText(MaterialKey("FL", "6MM", ""), KeyStyle::Title), "FL, 6MM");
}

TEST_F(OptimiseCommandTest, AStoredResultMovesTheStockExactlyOnce) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPiece("4MM", 500, 400, 2, "P1");
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::No);  // keep the stock at optimisation time
    Run();
    ASSERT_EQ(job.materials.count(), 1);
    const MaterialKey key = job.materials.at(0);
    EXPECT_TRUE(fs::exists(StoredResultPath(*settings, jobPath, key)));
    auto quantity = [&] {
        PlateList now;
        now.load(dir / "DAT/Plates.dat", UnitInUse());
        return now.at(0).quantity;
    };
    ASSERT_EQ(quantity(), 5);

    prompt.clear();
    prompt.push(PromptAnswer::No);
    EXPECT_FALSE(ProcessOptimisedMaterial(key, jobPath, *settings, &FakeEngine::LoadEditor, nullptr, prompt));
    EXPECT_FALSE(fs::exists(MachineResultPath(*settings, jobPath, key))) << "No deletes the machine file";
    ASSERT_EQ(prompt.shown().size(), 2u);
    EXPECT_EQ(prompt.shown()[1].text, "00316")
        << "No says what is left: the stock as it was, the stored result";
    EXPECT_EQ(prompt.shown()[1].icon, PromptIcon::Information);
    EXPECT_TRUE(fs::exists(StoredResultPath(*settings, jobPath, key)));
    EXPECT_EQ(quantity(), 5);

    prompt.push(PromptAnswer::Yes);
    EXPECT_TRUE(ProcessOptimisedMaterial(key, jobPath, *settings, &FakeEngine::LoadEditor, nullptr, prompt));
    EXPECT_EQ(quantity(), 4);
    EXPECT_FALSE(fs::exists(MachineResultPath(*settings, jobPath, key)));

    prompt.clear();
    prompt.push(PromptAnswer::Yes);
    EXPECT_FALSE(ProcessOptimisedMaterial(key, jobPath, *settings, &FakeEngine::LoadEditor, nullptr, prompt));
    EXPECT_EQ(quantity(), 4) << "a second Yes would consume the same plates twice";
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].buttons, PromptButtons::Ok);
}

TEST_F(OptimiseCommandTest, AcceptingWithTheStockUpdateMarksTheResultApplied) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPiece("4MM", 500, 400, 2, "P1");
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::Yes);
    Run();
    const MaterialKey key = job.materials.at(0);
    prompt.clear();
    prompt.push(PromptAnswer::Yes);
    EXPECT_FALSE(ProcessOptimisedMaterial(key, jobPath, *settings, &FakeEngine::LoadEditor, nullptr, prompt));
    PlateList now;
    now.load(dir / "DAT/Plates.dat", UnitInUse());
    EXPECT_EQ(now.at(0).quantity, 4);
    EXPECT_FALSE(
        ProcessOptimisedMaterial(key, "JOB.TVL", *settings, &FakeEngine::LoadEditor, nullptr, prompt))
        << "a job path without a folder does nothing";
    EXPECT_FALSE(ProcessOptimisedMaterial(key, jobPath, *settings, nullptr, nullptr, prompt));
}

TEST(OptimisedMaterialList, LinesAreSortedAndKeepTheirPositions) {
    MaterialKeyList keys;
    keys.add(MaterialKey("FL", "6MM", ""), true, 0);
    keys.add(MaterialKey("FL", "4MM", "SAT"), true, 1);
    auto lines = OptimisedMaterialLines(keys);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "FL, 4MM, SAT");
    EXPECT_EQ(lines[1], "FL, 6MM");
    EXPECT_EQ(keys.at(0).position, 1) << "the result number stays the material's own";
}

TEST_F(OptimiseCommandTest, ALaminateWithAMissingLayerStopsTheCommand) {
    Material laminate("VS", "44_2", "");
    laminate.components.add(MaterialKey("FL", "4MM", ""), false);
    laminate.components.add(MaterialKey("PVB", "076", ""), false);  // not in the catalogue
    catalogue.add(laminate);
    AddPlate("4MM", 3210, 2250, 5);
    job.pieces.append(Piece("VS", "44_2", "", 700, 500, 1, "L1"));
    AddPiece("4MM", 500, 400, 1, "P1");
    OptimiseReport report = Run();
    EXPECT_FALSE(report.reachedRunLoop);
    EXPECT_EQ(report.stop, RunStop::MissingLayers);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].icon, PromptIcon::Exclamation);
    EXPECT_NE(prompt.shown()[0].text.find("\nPVB, 076"), std::string::npos) << prompt.shown()[0].text;
    EXPECT_EQ(FakeEngine::calls, 0) << "no layer is cut without the other";
}

TEST_F(OptimiseCommandTest, StalePatternFilesNeverMoveTheStock) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPlate("4MM", 6000, 3210, 3);
    AddPiece("4MM", 500, 400, 1, "P1");
    // Left by an earlier run: two large plates used, a large offcut left.
    WriteText(dir / "CNC/00000007.PSA",
              "[Pattern]\nPieces=2\nWidth=6000\nHeight=3210\nPos=2\n[Offcut_1]\nWidth=2000\nHeight=1000\n");
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::Yes);
    OptimiseReport report = Run();
    ASSERT_EQ(report.materials.size(), 1u);
    ASSERT_TRUE(report.materials[0].accepted);
    EXPECT_EQ(report.materials[0].usedPlates.count(), 1);
    EXPECT_FALSE(fs::exists(dir / "CNC/00000007.PSA")) << "leftovers are removed";
    PlateList after;
    ASSERT_TRUE(after.load(dir / "DAT/Plates.dat", UnitInUse()));
    int ordinary = 0;
    for (const StockPlate& p : after) {
        if (p.kind == PlateOrdinary) ordinary += p.quantity;
        if (p.kind == PlateOffcut) {
            EXPECT_DOUBLE_EQ(p.width, 100) << "no phantom offcut added";
        }
    }
    EXPECT_EQ(ordinary, 7) << "one plate cut, no phantom plates taken";
}

TEST_F(OptimiseCommandTest, EveryRunCleansUpWhatItMade) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPiece("4MM", 500, 400, 1, "P1");
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::No);
    Run();
    for (const auto& entry : fs::directory_iterator(dir / "TEMP"))
        EXPECT_EQ(entry.path().filename().string().find(".OPT."), std::string::npos)
            << entry.path() << ": the engine's result file is left behind";
    // A temporary folder that cannot hold the scratch folder: it goes to the installation
    // folder, and away again even when the command stops before the run.
    WriteText(dir / "blocked", "a file, not a folder");
    settings->tempFolder = dir / "blocked";
    host.choose = false;
    EXPECT_FALSE(Run().reachedRunLoop);
    EXPECT_FALSE(fs::exists(dir / "__KZWtmp__"));
    host.choose = true;
    host.commit = false;
    Run();
    EXPECT_FALSE(fs::exists(dir / "__KZWtmp__"));
}

// The texts of the boxes that said a material was not optimised.
std::vector<std::string> NotOptimisedBoxes(const ScriptedPrompt& prompt) {
    std::vector<std::string> boxes;
    for (const auto& s : prompt.shown())
        if (s.text.rfind("00300", 0) == 0) boxes.push_back(s.text);
    return boxes;
}

TEST_F(OptimiseCommandTest, AMaterialTheEngineCannotPlanIsNamedWithItsReason) {
    host.realEngine = true;
    AddPlate("4MM", 3210, 2250, 5);
    AddPlate("6MM", 3210, 2250, 1);
    AddPiece("4MM", 4000, 3000, 1, "BIG");
    AddPiece("4MM", 500, 400, 1, "P1");
    AddPiece("6MM", 2000, 2000, 3, "D1");
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::Ok);  // the box about 4MM
    prompt.push(PromptAnswer::Ok);
    OptimiseReport report = Run();
    ASSERT_EQ(report.materials.size(), 2u);
    for (const MaterialRunReport& m : report.materials) {
        EXPECT_FALSE(m.accepted);
        EXPECT_EQ(m.reason, NotOptimised::EngineFailed);
    }
    EXPECT_EQ(report.materials[0].engineStatus, EngineStatus::PieceTooLarge);
    EXPECT_EQ(report.materials[1].engineStatus, EngineStatus::StockTooSmall);
    const auto boxes = NotOptimisedBoxes(prompt);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].find("FL, 4MM"), std::string::npos);
    EXPECT_NE(boxes[0].find("00301\n00054 BIG (4000.0 x 3000.0)"), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[1].find("00302\n2 / 3 00261, 8.00 mq\n00317 8.00 mq"), std::string::npos) << boxes[1];
    const std::string text = NotOptimisedText(report.materials[0], settings->current);
    EXPECT_NE(text.find("BIG"), std::string::npos);
    for (const auto& entry : fs::directory_iterator(dir / "TEMP"))
        if (!entry.is_directory()) {
            EXPECT_EQ(entry.path().extension(), ".R01") << entry.path() << " left behind";
        }
}

TEST_F(OptimiseCommandTest, AStockShortOfPlatesSaysWhetherAreaOrSizesAreMissing) {
    // All five plates are cut and two 2 x 2 m pieces are left: the stock lacks their area.
    host.realEngine = true;
    AddPlate("4MM", 3210, 2250, 5);
    AddPiece("4MM", 2000, 2000, 7, "D1");
    for (int i = 0; i < 2; ++i) prompt.push(PromptAnswer::Ok);
    OptimiseReport report = Run();
    ASSERT_EQ(report.materials.size(), 1u);
    EXPECT_EQ(report.materials[0].engineStatus, EngineStatus::StockTooSmall);
    const auto boxes = NotOptimisedBoxes(prompt);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("00302\n2 / 7 00261, 8.00 mq\n00317 8.00 mq"), std::string::npos) << boxes[0];
    // Unused plates with room enough that still took no piece (a search stopped early): the
    // sizes are what is missing, not the area.
    MaterialRunReport shape = report.materials[0];
    shape.engineReport.areaLacking = 0;
    const std::string text = NotOptimisedText(shape, settings->current);
    EXPECT_NE(text.find("8.00 mq\n00318"), std::string::npos) << text;
    EXPECT_EQ(text.find("00317"), std::string::npos) << text;
}

TEST_F(OptimiseCommandTest, ValuesTooWideForTheEngineInputAreNamedBeforeAnyRun) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPlate("6MM", 3210, 2250, 5);
    AddPiece("4MM", 500, 400, 100000, "MANY");
    AddPiece("6MM", 0, 400, 1, "FLAT");
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::Ok);
    OptimiseReport report = Run();
    ASSERT_EQ(report.materials.size(), 2u);
    EXPECT_EQ(report.materials[0].reason, NotOptimised::ValueTooWide);
    EXPECT_EQ(report.materials[1].reason, NotOptimised::PieceWithoutSize);
    EXPECT_EQ(FakeEngine::calls, 0) << "no 191-character line reaches the engine";
    const auto boxes = NotOptimisedBoxes(prompt);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].find("00054 MANY (500.0 x 400.0), 00055 100000"), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[1].find("00315\n00054 FLAT"), std::string::npos) << boxes[1];
    // A plate as wide as a field allows is still written; one digit more is not.
    PlateList plates;
    plates.addOrMerge(
        StockPlate(MaterialKey("FL", "4MM", ""), 1, 9999999.9, 100, 0, 0.0, 0, PlateOrdinary, 0), true);
    PieceList pieces;
    pieces.append(Piece("FL", "4MM", "", 100, 100, 99999, "OK"));
    EXPECT_FALSE(CheckEngineInput(job, catalogue.at(0), plates, pieces, settings->current).found);
    plates.at(0).width = 10000000;
    EXPECT_TRUE(CheckEngineInput(job, catalogue.at(0), plates, pieces, settings->current).found);
}

TEST_F(OptimiseCommandTest, UserTextsCannotFakeTheResultMarkers) {
    host.realEngine = true;
    Material m("FL", "4MM", "");
    m.cutParameters = {0, 0, 0, 0, 100, 100, 0};  // offcuts of 10 x 10 cm and more are kept
    catalogue = MaterialList();
    catalogue.add(m);
    AddPlate("4MM", 3210, 2250, 5);
    job.name = "Job BLOCKSTART x";
    job.customer = "[CUT] BlockEnd";
    AddPiece("4MM", 1000, 800, 1, "BLOCKEND");
    AddPiece("4MM", 700, 500, 1, "[INFO]");
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::No);
    OptimiseReport report = Run();
    ASSERT_EQ(report.materials.size(), 1u);
    EXPECT_TRUE(report.materials[0].accepted) << NotOptimisedText(report.materials[0], settings->current);
    EXPECT_EQ(report.materials[0].usedPlates.count(), 1);
    EXPECT_GT(report.materials[0].offcuts.count(), 0)
        << "the pattern's offcuts survive a piece named BLOCKEND";
    EXPECT_TRUE(fs::is_empty(dir / "CNC")) << "no stray file in the CNC folder";
    ResultPlan plan;
    ASSERT_TRUE(ReadResultFile(dir / "M.R/JOB.R01", plan));
    EXPECT_EQ(plan.headerValue("Job"), "Job BLOCKSTART x") << "the texts read back unchanged";
    ASSERT_EQ(plan.patterns.size(), 1u);
    ASSERT_EQ(plan.patterns[0].infos.size(), 2u);
    EXPECT_EQ(plan.patterns[0].infos[0].id, "BLOCKEND");
    EXPECT_EQ(plan.patterns[0].infos[1].id, "[INFO]");
}

TEST_F(OptimiseCommandTest, AJobIsOptimisedAsTheEditorOpensIt) {
    AddPlate("4MM", 3210, 2250, 5);
    AddPiece("4MM", 500, 400, 1, "");
    AddPiece("4MM", 300, 200, 2, "");
    job.pieces.append(Piece("NEW", "8MM", "", 100, 100, 1, "N1"));  // not in the catalogue
    EXPECT_TRUE(catalogue.save(dir / "DAT/Materials.dat", UnitInUse()));
    EXPECT_TRUE(stock.save(dir / "DAT/Plates.dat", UnitInUse()));
    ASSERT_TRUE(job.save(jobPath, UnitInUse()));
    Job opened;
    JobOpening opening;
    ASSERT_TRUE(OpenJobAsEditor(*settings, jobPath, opened, prompt, &opening));
    EXPECT_TRUE(opening.modified);
    EXPECT_EQ(opening.generatedIds, 2);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].text, "00104\n\nNEW, 8MM");
    MaterialList after;
    ASSERT_TRUE(after.load(dir / "DAT/Materials.dat", UnitInUse()));
    EXPECT_TRUE(after.find("NEW", "8MM", "")) << "the missing material is catalogued";
    EXPECT_FALSE(opened.auxPanelPath.empty()) << "working paths set";

    prompt.clear();
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::No);
    host.choose = true;
    class OnlyFloat : public ScriptedHost {
    public:
        bool ChooseMaterials(const MaterialList& used, MaterialKeyList& chosen) override {
            for (const Material& m : used)
                if (m.code == "4MM") chosen.add(m.key(), true);
            return true;
        }
    } floatHost;
    floatHost.cnc = settings->cncFolder;
    Optimise(*settings, opened, jobPath, prompt, floatHost);
    ASSERT_EQ(FakeEngine::records.size(), 1u);
    ASSERT_EQ(FakeEngine::records[0].pieces.size(), 2u);
    for (const EnginePieceRecord& p : FakeEngine::records[0].pieces)
        EXPECT_FALSE(p.pieceId.empty()) << "no blank identifier reaches the engine";
    EXPECT_NE(FakeEngine::records[0].pieces[0].pieceId, FakeEngine::records[0].pieces[1].pieceId);
    EXPECT_FALSE(OpenJobAsEditor(*settings, dir / "TVL/NONE.TVL", opened, prompt));
}

TEST_F(OptimiseCommandTest, ADamagedStockCatalogueIsNamedAndUnusableLinesAreLeftOut) {
    AddPiece("4MM", 500, 400, 1, "P1");
    EXPECT_TRUE(catalogue.save(dir / "DAT/Materials.dat", UnitInUse()));
    const std::string platesPath = dir / "DAT/Plates.dat";
    // Binary bytes where the catalogue should be: not "no stock plates, add some".
    EXPECT_TRUE(WriteFileAtomically(platesPath, std::string("\x7f"
                                                            "ELF\x02\x01\x01\0\0\0",
                                                            10)));
    OptimiseReport report = Optimise(*settings, job, jobPath, prompt, host);
    EXPECT_EQ(report.stop, RunStop::UnreadableStock);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_NE(prompt.shown()[0].text.find("00320"), std::string::npos);
    EXPECT_NE(prompt.shown()[0].text.find(platesPath), std::string::npos) << "the file is named";
    EXPECT_EQ(FakeEngine::calls, 0);

    // A hand-edited line with a width of 0 and one with priority 1000 stay in the file, are
    // named by line and field, and never reach the engine.
    prompt.clear();
    ASSERT_TRUE(WriteFileAtomically(platesPath,
                                    "FILE_VERSION=2\n"
                                    "\"FL\";\"4MM\";\"\";5;3210.000;2250.000;0;0.000;2;0;0.000000\n"
                                    "\"FL\";\"4MM\";\"\";5;0.000;2250.000;0;0.000;2;0;0.000000\n"
                                    "\"FL\";\"4MM\";\"\";5;6000.000;3210.000;1000;0.000;2;0;0.000000\n"));
    prompt.push(PromptAnswer::Ok);  // the unusable lines
    prompt.push(PromptAnswer::Ok);  // optimise this material
    prompt.push(PromptAnswer::No);  // stock question
    report = Optimise(*settings, job, jobPath, prompt, host);
    ASSERT_TRUE(report.reachedRunLoop);
    ASSERT_FALSE(prompt.shown().empty());
    const std::string& named = prompt.shown()[0].text;
    EXPECT_NE(named.find("00321"), std::string::npos) << named;
    EXPECT_NE(named.find("Plates.dat, line 3: width"), std::string::npos) << named;
    EXPECT_NE(named.find("Plates.dat, line 4: priority"), std::string::npos) << named;
    ASSERT_EQ(FakeEngine::records.size(), 1u);
    EXPECT_EQ(FakeEngine::records[0].plates.size(), 1u) << "only the usable plate reaches the engine";
    std::string kept;
    ASSERT_TRUE(ReadWholeFile(platesPath, kept));
    EXPECT_NE(kept.find(";0.000;2250.000;"), std::string::npos) << "the line stays in the file";
}

TEST_F(OptimiseCommandTest, PlansNameEachPlateByItsPlaceInTheMaterialsStock) {
    // The demo catalogues. Of FL 4MM (no treatment) Plates.dat lists, in this order: 3210 x 2250,
    // the unlimited 6000 x 3210, the offcuts 1250 x 830 and 980 x 640; a SATIN plate lies between
    // them and belongs to another material.
    const fs::path demo = fs::path(TAVREL_SOURCE_DIR) / "resources/demo/DAT";
    for (const char* f : {"Materials.dat", "Plates.dat"})
        fs::copy_file(demo / f, dir / ("DAT/" + std::string(f)), fs::copy_options::overwrite_existing);
    const std::map<std::pair<long, long>, long> placeOfSize = {
        {{32100, 22500}, 1}, {{60000, 32100}, 2}, {{12500, 8300}, 3}, {{9800, 6400}, 4}};
    host.realEngine = true;
    job.preferOffcuts = 1;  // the offcuts go to the engine first: 980 x 640 is the first plate offered
    // Pieces the offcuts can take: the engine cuts no new plate.
    AddPiece("4MM", 400, 250, 8, "SMALL");
    AddPiece("4MM", 1100, 700, 1, "MEDIUM");
    prompt.push(PromptAnswer::Ok);
    prompt.push(PromptAnswer::Yes);  // the stock follows
    const OptimiseReport report = Optimise(*settings, job, jobPath, prompt, host);
    ASSERT_EQ(report.materials.size(), 1u);
    ASSERT_TRUE(report.materials[0].accepted);

    // The input names each plate by its place in the spare field and still numbers the list the
    // engine works on in field 2.
    EngineInput input;
    ASSERT_TRUE(ReadEngineInput(dir / "TEMP/JOB.R01", input));
    ASSERT_EQ(input.plates.size(), 4u);
    EXPECT_EQ(input.plates[0].position, 1);
    EXPECT_EQ(input.plates[0].width, 9800);
    for (const EnginePlateRecord& r : input.plates)
        EXPECT_EQ(r.stockPlace, placeOfSize.at({r.width, r.height})) << r.width << " x " << r.height;

    // The stored result the cutting sheets and the viewer read: the 980 x 640 offcut, plate 1
    // of the engine's list, is plate 4, and every plate is named by its place.
    ResultPlan plan;
    ASSERT_TRUE(ReadResultFile(dir / "M.R/JOB.R01", plan));
    bool smallOffcutCut = false;
    long fromSmallOffcut = 0;
    for (const ResultPattern& p : plan.patterns) {
        EXPECT_EQ(PlateNumber(p), placeOfSize.at({p.width, p.height})) << p.width << " x " << p.height;
        if (p.width == 9800) {
            smallOffcutCut = true;
            fromSmallOffcut += p.count;
            EXPECT_EQ(p.position, 1);
        }
    }
    EXPECT_TRUE(smallOffcutCut) << "the offcuts come first";

    // The stock still follows the engine's list: the plates of the 980 x 640 offcut left it.
    PlateList after;
    ASSERT_TRUE(after.load(dir / "DAT/Plates.dat", UnitInUse()));
    long offcutsLeft = -1;
    for (const StockPlate& s : after)
        if (s.key.code == "4MM" && s.key.treatment.empty() && s.width == 980 && s.height == 640)
            offcutsLeft = s.quantity;
    EXPECT_EQ(offcutsLeft, fromSmallOffcut >= 2 ? -1 : 2 - fromSmallOffcut);
}
