#pragma once
// The optimise command of the pieces editor: from the job's pieces through the choice of
// materials, plate selection, engine runs and the user's review to stored results, an updated
// stock and the job's list of optimised materials. All user interaction goes through the
// prompt and the host, so the windows, the batch tool and the tests run the same code.

#include <string>
#include <vector>

#include "model/MaterialKey.h"
#include "model/PieceList.h"
#include "model/PlateList.h"
#include "suite/SuiteLibrary.h"

struct AppSettings;
struct Job;
class MaterialList;
struct Material;
class UserPrompt;

// What the command needs from the window that runs it.
class OptimiseHost {
public:
    virtual ~OptimiseHost() = default;
    // False when the editor was not opened from the main window: only the clean-up runs then.
    virtual bool openedFromMainWindow() const { return true; }
    // Puts the editor's fields into the job and saves it when the user agrees. False ends the
    // command; `saved` tells whether the job on disk now equals the one in memory.
    virtual bool CommitAndSave(bool& saved) = 0;
    // Saves the job again to the same path, so that its optimised materials are stored.
    virtual bool SaveAgain() = 0;
    // The what-to-optimise choice. False when the user did not confirm it.
    virtual bool ChooseMaterials(const MaterialList& used, MaterialKeyList& chosen) = 0;
    // The review of one material's result. True when the user asks for another optimisation
    // (first button); the plates' `selected` marks carry the plates to leave out.
    virtual bool ReviewPlates(PlateList& candidates, const PlateList& usedPlates, const std::string& caption,
                              const std::string& info) = 0;
    // The engine entry, after loading the library when needed; nullptr when it is unavailable.
    virtual LoadEditorFn EngineEntry() = 0;
    virtual void* ParentWindow() { return nullptr; }
    virtual void SetResultsPresent(bool /*present*/) {}
    virtual void EnableResultsButton(bool /*enable*/) {}
    virtual void RefreshModified() {}
};

struct MaterialRunReport {
    MaterialKey key;
    long runNumber = 0;
    bool accepted = false;
    bool stockUpdated = false;
    int attempts = 0;            // engine runs, repeats included
    PlateList usedPlates;        // of the last run
    PlateList offcuts;
    double piecesArea = 0.0;     // user's unit squared
    double platesArea = 0.0;
};

struct OptimiseReport {
    bool reachedRunLoop = false;
    std::vector<MaterialRunReport> materials;
};

OptimiseReport Optimise(AppSettings& settings, Job& job, const std::string& jobPath, UserPrompt& prompt,
                        OptimiseHost& host);

// The choice window's OK: the keys of the selected materials, in list order. With nothing
// selected it tells the user (the window stays open) and returns false.
bool ChosenMaterials(const MaterialList& used, const std::vector<bool>& selected, MaterialKeyList& chosen,
                     UserPrompt& prompt);
// The pieces of the chosen materials with every laminate replaced by one copy per layer, each
// still named after the laminate for the engine. Materials not in the catalogue go to `missing`
// and their pieces are dropped.
PieceList RunPieces(const PieceList& pieces, const MaterialList& catalogue, const MaterialKeyList& chosen,
                    MaterialKeyList& missing);
// The run pieces of one material, keeping their engine names.
PieceList MaterialPieces(const PieceList& runPieces, const Material& material);
// The line the choice window and the messages show for a material: "serie, code[, treatment]".
std::string MaterialLine(const std::string& serie, const std::string& code, const std::string& treatment);
