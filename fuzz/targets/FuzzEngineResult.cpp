// Engine result and machine files (the stored results of a job, <job>R01...): the engine's
// reader on any bytes, the cuts of every pattern, the plan written again reads back to the same
// text, and the program's two readers of a result (the split after an optimisation and the stock
// update from a stored result) take the file without harm.

#include <cstdlib>

#include "FuzzInput.h"
#include "files/EngineResult.h"
#include "model/Material.h"
#include "model/PlateList.h"
#include "optimise/EngineResultSplit.h"
#include "plans/PlanRecords.h"
#include "results/ResultFiles.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    ResultPlan plan;
    std::string error;
    if (ParseResult(in.content, plan, &error)) {
        std::size_t pieces = 0;
        for (const ResultPattern& pattern : plan.patterns) {
            pieces += pattern.pieces.size();
            // The cut search grows with the pieces of a pattern; real patterns hold a few dozen.
            if (pieces < 400) (void)PatternCuts(pattern);
        }
        const std::string written = FormatResult(plan);
        ResultPlan again;
        if (!ParseResult(written, again)) std::abort();
        if (FormatResult(again) != written) std::abort();
    }

    static const std::string path = FuzzScratchPath("JOBR01");
    const Material material("FL_4MM", "", "");
    WriteScratch(path, in.content);
    PlateList stock;
    (void)ApplyResult(stock, path, material, in.unit);

    WriteScratch(path, in.content);
    PlateList used, offcuts, selected;
    bool readable = false;
    (void)SplitEngineResult(path, material, used, offcuts, 1, selected, in.unit, &readable);
    return 0;
}
