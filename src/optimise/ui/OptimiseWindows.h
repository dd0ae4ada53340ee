#pragma once
// The optimise and results buttons of the pieces editor: the optimise command run with the
// windows (the choice of materials, the review of each result, the engine's own progress window
// and layout viewer) and the list of the job's optimised materials.

#include <functional>
#include <string>

#include "optimise/OptimiseCommand.h"
class QWidget;

namespace tavrel {

struct AppSettings;
struct Job;
class UserPrompt;

// The editor's own steps that the optimise command calls back.
struct EditorSteps {
    std::function<bool(bool& saved)> commitAndSave;  // OptimiseHost::CommitAndSave; empty: not saved
    std::function<bool()> saveAgain;                 // OptimiseHost::SaveAgain
    std::function<void(bool)> setResultsPresent;     // may be empty
    std::function<void(bool)> enableResultsButton;   // may be empty
    std::function<void()> refreshModified;           // may be empty
    bool openedFromMainWindow = true;
    // Empty: the installation's engine library, loaded through the program's one loader. Else
    // the library at this path (a test's or a tool's build of it).
    std::string engineLibrary;
};

// Runs the optimise command from a window: TVLOptimizeWhatDialog for the choice,
// TVLOptimizedPlatesDialog for each review, the engine's progress window over `parent` (parent
// nullptr: no engine window, as in tests). Every message goes to `prompt`.
OptimiseReport OptimiseFromWindow(QWidget* parent, AppSettings& settings, Job& job,
                                  const std::string& jobPath, UserPrompt& prompt, EditorSteps steps);

// The results button: TVLOptimizedMaterialListDialog for the job (modal), or message "00103"
// when the job has no optimised material.
void ShowOptimisedMaterials(QWidget* parent, AppSettings& settings, Job& job, const std::string& jobPath,
                            UserPrompt& prompt);

}  // namespace tavrel
