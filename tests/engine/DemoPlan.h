#pragma once
// A workshop job for the viewer's tests and pictures: float glass 4 mm, three plate types (the
// offcut plates at place 3 of the material's plate list come first), window panes, doors, thin
// shelves and spacers too small to carry their label on a printed page. The plan is made by the
// real optimiser with a fixed number of steps, so it repeats.

#include <string>

#include "GoldenLines.h"
#include "files/EngineResult.h"
#include "library/EditorCalls.h"
#include "support/TempDir.h"

namespace demo {

inline std::string WriteJob(const TempDir& dir) {
    const std::string path = dir / "KITCHEN.R01";
    WriteText(path, golden::LineA("FL_4MM", 1, 32100, 22500, 99999, 0, 'R') + golden::LineB(100, 200, 3000) +
                        golden::LineA("FL_4MM", 2, 25500, 16050, 4, 1, 'Y') + golden::LineB(100, 200, 3000) +
                        golden::LineA("FL_4MM", 3, 15000, 12000, 2, 999, 'r') +
                        golden::LineB(100, 200, 3000) +
                        golden::Piece("FL_4MM", 1, 12000, 8000, 4, "WIN_0101", true) +
                        golden::Piece("FL_4MM", 2, 9505, 6200, 6, "WIN_0102", true) +
                        golden::Piece("FL_4MM", 3, 20000, 6000, 2, "DOOR_L", true) +
                        golden::Piece("FL_4MM", 4, 9000, 1500, 8, "SHELF", true) +
                        golden::Piece("FL_4MM", 5, 1200, 800, 6, "SPACER", true) +
                        golden::Piece("FL_4MM", 6, 7000, 5000, 3, "MIRROR_BATHROOM1", true) +
                        golden::Piece("FL_4MM", 7, 450, 3000, 4, "PZ_10", true));
    return path;
}

// The plan of the job, read back from the result file the engine wrote; empty when it failed.
inline bool MakePlan(const TempDir& dir, ResultPlan& plan) {
    EditorOptions o;
    o.timeLimit = 5.0;
    o.steps = 200;
    o.seed = 7;
    EditorStatus status = EditorStatus::CannotWrite;
    const std::string result = RunOptimise(WriteJob(dir), o, status);
    return status == EditorStatus::Ok && !result.empty() && ReadResultFile(result, plan);
}

}  // namespace demo
