// The engine input file the program writes for each material: the engine's reader on any bytes,
// the optimiser instance built from what it read, and for small jobs a short optimisation whose
// plan is written as a result and read back.

#include <cstdlib>

#include "FuzzInput.h"
#include "cutting/Optimize.h"
#include "files/EngineInput.h"
#include "files/EngineResult.h"
#include "plans/PlanRecords.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    EngineInput input;
    std::string error;
    if (!ParseEngineInput(in.content, input, &error)) return 0;
    engine::Instance instance;
    if (!BuildInstance(input, instance, &error)) return 0;

    long pieces = 0;
    for (const EnginePieceRecord& piece : input.pieces) pieces += piece.quantity > 0 ? piece.quantity : 0;
    if (pieces > 12 || input.plates.size() > 4) return 0;
    engine::Parameters parameters;
    parameters.iterationLimit = 5;
    parameters.timeLimit = 0.5;
    parameters.seed = in.content.size();
    const engine::Output output = engine::Optimize(instance, parameters);
    const ResultPlan plan = PlanFromSolution(output.solution, input);
    ResultPlan again;
    if (!plan.patterns.empty() && !ParseResult(FormatResult(plan), again)) std::abort();
    return 0;
}
