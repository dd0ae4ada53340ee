#pragma once
// The plan a cutter gets for the demo installation's kitchen job: its FL 4MM pieces and the
// demo stock of that material, handed to the real optimiser as the program's optimise command
// hands them (the same plate choice, the same input records), with a fixed number of steps so it
// repeats.

#include <string>

#include "files/EngineResult.h"
#include "library/EditorCalls.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PlateList.h"
#include "optimise/EngineInput.h"
#include "optimise/OptimiseCommand.h"
#include "optimise/PlateSelection.h"
#include "support/TempDir.h"
#include "support/TestUnits.h"

namespace demo {

inline bool MakeKitchenPlan(const TempDir& dir, ResultPlan& plan) {
    const std::string demo = std::string(TAVREL_SOURCE_DIR) + "/resources/demo/";
    const tavrel::CurrentUnit unit = TestUnit(TestUnitKind::Millimetres);
    tavrel::Job job;
    tavrel::MaterialList catalogue;
    tavrel::PlateList stock;
    if (!job.load(demo + "TVL/DEMO_KITCHEN.TVL", unit) || !catalogue.load(demo + "DAT/Materials.dat", unit) ||
        !stock.load(demo + "DAT/Plates.dat", unit)) {
        return false;
    }
    job.pieces.assignPieceIds();
    const std::optional<tavrel::Material> material = catalogue.find("FL", "4MM", "");
    if (!material) return false;
    tavrel::MaterialKeyList chosen, missing;
    chosen.add(material->key(), true);
    const tavrel::PieceList pieces =
        tavrel::MaterialPieces(tavrel::RunPieces(job.pieces, catalogue, chosen, missing), *material);
    const tavrel::PlateSelection selection = tavrel::SelectPlates(stock, *material, job);
    const std::string input = dir / "DEMO_KITCHEN.R01";
    if (pieces.empty() || selection.plates.empty() ||
        !tavrel::WriteEngineInput(input, job, *material, selection.plates, pieces, nullptr, unit)) {
        return false;
    }
    EditorOptions o;
    o.timeLimit = 5.0;
    o.steps = 200;
    o.seed = 7;
    EditorStatus status = EditorStatus::CannotWrite;
    const std::string result = RunOptimise(input, o, status);
    return status == EditorStatus::Ok && !result.empty() && ReadResultFile(result, plan);
}

}  // namespace demo
