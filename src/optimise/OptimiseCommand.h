#pragma once
// The optimise command of the pieces editor: from the job's pieces through the choice of
// materials, plate selection, engine runs and the user's review to stored results, an updated
// stock and the job's list of optimised materials. All user interaction goes through the
// prompt and the host, so the windows, the batch tool and the tests run the same code.

#include <string>
#include <vector>

#include "files/EngineStatus.h"
#include "model/MaterialKey.h"
#include "model/PieceList.h"
#include "model/PlateList.h"
#include "suite/SuiteLibrary.h"

namespace tavrel {

struct AppSettings;
struct CurrentUnit;
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

// Why a chosen material was not optimised; every way out of a material's run has one.
enum class NotOptimised {
    No,                 // it was: the result was accepted
    Cancelled,          // the user ended the run at its question, or at an earlier material's
    AlreadyOptimised,   // its key is already among the job's optimised materials
    InputNotWritten,    // the engine input file could not be created or written
    NoUsablePlate,      // every plate was skipped or left out by the size limits
    EveryPlateLeftOut,  // the user left every plate out in the review
    EngineUnavailable,  // the engine library could not be loaded
    EngineFailed,       // the engine made no result; `engineStatus` says why
    NoMachineFile,      // the machine-file call left no machine result to split
    UnreadableResult,   // the machine result could not be read
    ValueTooWide,       // a value does not fit its field of the engine input; `detail` names it
    PieceWithoutSize,   // a piece's width or height is not above 0; `detail` names it
};

struct MaterialRunReport {
    MaterialKey key;
    long runNumber = 0;
    bool accepted = false;
    bool stockUpdated = false;
    NotOptimised reason = NotOptimised::No;
    EngineStatus engineStatus = EngineStatus::Ok;
    EngineReport engineReport;  // what the engine told beside its status
    std::string detail;         // the piece, plate or value a reason names, ready to show
    int attempts = 0;           // engine runs, repeats included
    PlateList usedPlates;       // of the last run
    PlateList offcuts;
    double piecesArea = 0.0;  // square millimetres
    double platesArea = 0.0;
};

// Why the command ended before its run loop.
enum class RunStop {
    None,                    // the run loop was reached
    NotFromMainWindow,       // only the clean-up runs
    SaveRefused,             // the user did not commit or save the job
    NoMaterial,              // no piece has a material of the catalogue
    NothingChosen,           // the choice of materials was not confirmed
    MissingLayers,           // a laminate's layer is not in the catalogue
    UnreadableStock,         // Plates.dat is there but is not a plate catalogue that can be read
    MaterialsWithoutPlates,  // a material to optimise has no stock plate
};

struct OptimiseReport {
    bool reachedRunLoop = false;
    RunStop stop = RunStop::None;
    std::vector<MaterialRunReport> materials;  // every material of the run, in run order
};

// Why a material was not optimised, in the catalogue's words (for a message box or a console);
// empty for an optimised material. Sizes are shown in `unit`.
std::string NotOptimisedText(const MaterialRunReport& report, const CurrentUnit& unit);
// True when the reason is one the user did not choose and must be told about.
bool IsFailure(NotOptimised reason);

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
// How a material key is shown to the user: List "FL, 4MM, SAT" (lists and questions), Title
// "FL, 4MM [SAT]" (the review's title), Words "FL 4MM SAT" (the stock questions), SerieCode
// "FL, 4MM" (the no-usable-plate warning). The treatment is left out when empty.
enum class KeyStyle { List, Title, Words, SerieCode };
std::string MaterialText(const MaterialKey& key, KeyStyle style = KeyStyle::List);

}  // namespace tavrel
