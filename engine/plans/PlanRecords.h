#pragma once
// The optimiser's side of the engine files: an instance built from the input records, and the
// result records of a plan. The formats themselves live in files/ and know nothing of the
// optimiser.

#include <string>
#include <vector>

#include "cutting/CutPlan.h"
#include "cutting/Instance.h"
#include "cutting/Solution.h"
#include "files/EngineInput.h"
#include "files/EngineResult.h"

// Turns the records into an optimiser instance (plate and piece types in record order).
bool BuildInstance(const EngineInput& in, engine::Instance& out, std::string* error = nullptr);

// Builds the plan of a solution; identical plates become one pattern with a count.
ResultPlan PlanFromSolution(const engine::Solution& solution, const EngineInput& input);

// The rectangles of a pattern's pieces and its usable area, and the cuts between them in
// cutting order (empty when the pieces cannot be cut in three stages).
std::vector<engine::CutLine> PatternCuts(const ResultPattern& pattern);
