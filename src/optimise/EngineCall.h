#pragma once
// The two calls of the engine library for one material: optimise the input file, then write the
// machine result file of the result it returned.

#include <string>

#include "files/EngineStatus.h"
#include "suite/SuiteLibrary.h"

namespace tavrel {

struct AppSettings;

struct OptimiseCallResult {
    std::string resultPath;                  // "" when the engine wrote no result
    EngineStatus status = EngineStatus::Ok;  // why, as the engine tells it
};

// The optimise call: the result file the engine wrote, or why it wrote none.
OptimiseCallResult RunOptimiseCall(LoadEditorFn entry, const AppSettings& settings,
                                   const std::string& inputPath, void* parentWindow);
// The machine-file call for a result path returned by the optimise call.
void RunMachineFileCall(LoadEditorFn entry, const AppSettings& settings, const std::string& resultPath,
                        void* parentWindow);
// The extension the machine result file takes: the text after the result path's last ".",
// "R01" when there is none.
std::string MachineFileExtension(const std::string& resultPath);

}  // namespace tavrel
