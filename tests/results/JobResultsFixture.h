#pragma once
// An installation in a temporary folder where a job is optimised through the engine library's
// own calls (so its stored results are the real thing), or given hand-made stored results.
// Shared by the report and the plan export tests.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/FileUtils.h"
#include "common/UserPrompt.h"
#include "files/EngineResult.h"
#include "library/EditorCalls.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "optimise/OptimiseCommand.h"
#include "results/OptimisedMaterialList.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFiles.h"
#include "settings/Units.h"
#include "support/TempDir.h"

using namespace tavrel;

// The library's optimise and machine-file calls behind the entry point, with a fixed number of
// steps so a run repeats exactly.
struct LibraryEngine {
    static int LoadEditor(void*, char* path, char* params, int* status) {
        EditorStatus s = EditorStatus::Ok;
        const std::string file(path);
        if (std::string(params).rfind(" /OPT ", 0) == 0) {
            std::snprintf(path, 512, "%s",
                          RunOptimise(file, ParseEditorOptions("/STEPS=200 /SEED=3"), s).c_str());
        } else {
            WriteMachineFile(file, s);
        }
        *status = static_cast<int>(s);
        return s == EditorStatus::Ok;
    }
};

// OK to "optimise this material?", No to "should the stock follow?", OK to any notice.
class AcceptingPrompt : public UserPrompt {
public:
    PromptAnswer ask(const std::string& text, const std::string&, PromptIcon, PromptButtons buttons,
                     int) override {
        shown.push_back(text);
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
    std::vector<std::string> shown;
};

// Every material offered is optimised and every result accepted.
class AcceptingHost : public OptimiseHost {
public:
    bool CommitAndSave(bool& saved) override {
        saved = true;
        return true;
    }
    bool SaveAgain() override { return true; }
    bool ChooseMaterials(const MaterialList& used, MaterialKeyList& chosen) override {
        for (const Material& m : used) chosen.add(m.key(), true);
        return true;
    }
    bool ReviewPlates(PlateList&, const PlateList&, const std::string&, const std::string&) override {
        return false;
    }
    LoadEditorFn EngineEntry() override { return &LibraryEngine::LoadEditor; }
};

class JobResultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        cwd = std::filesystem::current_path().string();
        InstallSuiteFiles(dir.path());
        for (const char* f : {"DAT", "TVL", "M.R", "TEMP", "CNC", "iso"})
            std::filesystem::create_directories(dir / f);
        settings = std::make_unique<AppSettings>(dir.path());
        LoadSettings(*settings);
        SetCurrentSettings(settings.get());
        jobPath = dir / "TVL/JOB.TVL";
    }
    void TearDown() override {
        SetCurrentSettings(nullptr);
        std::filesystem::current_path(cwd);
    }

    // A material whose leftovers of at least 100 x 100 mm are kept, pieces free to turn.
    void AddMaterial(const std::string& code, double trim = 10) {
        Material m("FL", code, "");
        m.thickness = 4;
        m.cutParameters = {trim, trim, 0, 0, 100, 100, 0};
        catalogue.add(m);
    }
    void AddPlate(const std::string& code, double w, double h, int qty, int kind = PlateOrdinary) {
        stock.addOrMerge(StockPlate(MaterialKey("FL", code, ""), qty, w, h, 0, 0.0, 2, kind, 0.0), true);
    }
    void AddPiece(const std::string& code, double w, double h, int qty, const std::string& id) {
        job.pieces.append(Piece("FL", code, "", w, h, qty, id));
    }
    // Optimises every material of the job through the library and accepts every result; the
    // stock is left as it was (the report must not need it).
    OptimiseReport OptimiseAll() {
        EXPECT_TRUE(catalogue.save(dir / "DAT/Materials.dat", UnitInUse()));
        EXPECT_TRUE(stock.save(dir / "DAT/Plates.dat", UnitInUse()));
        AcceptingHost host;
        return Optimise(*settings, job, jobPath, prompt, host);
    }
    // A hand-made stored result for the job's material at `position`.
    void StoreResult(const MaterialKey& key, int position, const std::string& content) {
        job.materials.add(key, false, position);
        if (!content.empty()) {
            ASSERT_TRUE(WriteFileAtomically(StoredResultPath(*settings, jobPath, job.materials.at(position)),
                                            content));
        }
    }
    ResultPlan StoredPlan(const MaterialKey& key) {
        ResultPlan plan;
        EXPECT_TRUE(ReadResultFile(StoredResultPath(*settings, jobPath, key), plan));
        return plan;
    }

    std::string cwd;
    TempDir dir;
    AcceptingPrompt prompt;
    std::unique_ptr<AppSettings> settings;
    MaterialList catalogue;
    PlateList stock;
    Job job;
    std::string jobPath;
};

inline ResultPiece Placed(engine::Length x, engine::Length y, engine::Length w, engine::Length h,
                          const std::string& id, bool rotated = false) {
    ResultPiece p;
    p.x = x;
    p.y = y;
    p.width = w;
    p.height = h;
    p.id = id;
    p.rotated = rotated;
    return p;
}

inline ResultInfo Ordered(const std::string& id, engine::Length w, engine::Length h) {
    ResultInfo i;
    i.id = id;
    i.width = w;
    i.height = h;
    return i;
}

inline ResultPattern Pattern(long count, engine::Length w, engine::Length h, bool offcutPlate = false) {
    ResultPattern p;
    p.count = count;
    p.width = w;
    p.height = h;
    p.thickness = 400;
    p.offcutPlate = offcutPlate;
    return p;
}

// RFC 4180 reading, for checking what the program writes: quoted fields, doubled quotes, CR LF.
inline std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row.push_back(field);
            field.clear();
            rows.push_back(row);
            row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.empty() && row.empty()) << "the CSV does not end with CR LF";
    return rows;
}
