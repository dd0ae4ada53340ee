#pragma once
// What the library's LoadEditor entry does, apart from the C calling form: the optimise call
// (" /OPT ": engine input in, result file out) and the machine-file call (result in, machine
// result file out in the CNC folder of the current folder).

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace engine {
class Solution;
}

#include "files/EngineStatus.h"

// Why an optimise call produced no result (also the status LoadEditor writes).
using EditorStatus = EngineStatus;

struct EditorOptions {
    bool optimise = false;   // " /OPT " present
    double timeLimit = 3.0;  // "/TIME=seconds"
    uint64_t seed = 0;       // "/SEED=n"
    int64_t steps = -1;      // "/STEPS=n": improvement steps; with it a run repeats exactly
    int threads = 0;         // "/THREADS=n": searches side by side; 0 for one per core
};

// Reads the parameter text: words separated by blanks, case-insensitive.
EditorOptions ParseEditorOptions(const std::string& params);

// Splits an engine input or result file name into the job base name and the run extension:
// "A.R01" -> "A." + "R01"; "AR01" -> "A" + "R01"; "JOB.TXT" -> "JOB." + "TXT"; "JOB" -> "JOB" + "R01".
void SplitRunName(const std::string& fileName, std::string& base, std::string& extension);

// Hooks for the windows (set by the window layer when a parent window is given).
struct EditorUi {
    // Called from the optimising thread with each better plan.
    std::function<void(const engine::Solution&)> onPlan;
    const std::atomic<bool>* stopFlag = nullptr;  // set by a stop button; the best plan is kept
};

// Optimise call: returns the result path ("" when no plan was made) and the status.
std::string RunOptimise(const std::string& inputPath, const EditorOptions& options, EditorStatus& status,
                        const EditorUi* ui = nullptr);

// Machine-file call: writes CNC/<job base name><extension> relative to the current folder and
// returns its path ("" on failure).
std::string WriteMachineFile(const std::string& resultPath, EditorStatus& status);
