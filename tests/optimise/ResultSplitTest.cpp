// The whole exchange with the program: the program writes the engine input, the engine reads
// it, optimises and writes its result, and the program's own splitter takes the result apart
// into used plates and offcuts.

#include <filesystem>

#include <gtest/gtest.h>

#include "cutting/Optimize.h"
#include "files/EngineInput.h"
#include "files/EngineResult.h"
#include "files/TextFile.h"
#include "model/Job.h"
#include "model/Material.h"
#include "model/PieceList.h"
#include "model/PlateList.h"
#include "model/UnitsForTests.h"
#include "optimise/EngineInput.h"
#include "optimise/EngineResultSplit.h"
#include "plans/PlanRecords.h"

using namespace tavrel;

namespace {

StockPlate Stock(double w, double h, int quantity, int kind, int priority) {
    return StockPlate(MaterialKey("FL", "4MM", ""), quantity, w, h, priority, 0.0, 2, kind, 0.0);
}

}  // namespace

TEST(ResultSplit, ProgramReadsBackPlatesAndOffcuts) {
    UnitsForTests units;
    Material material("FL", "4MM", "");
    material.thickness = 4.0;
    material.cutParameters = {10, 10, 20, 0, 300, 200, 0};  // trims, min distance, offcut size
    Job job;
    job.name = "Kitchen";
    PieceList pieces;
    pieces.append(Piece("FL", "4MM", "", 1500, 1000, 5, "W1"));
    pieces.append(Piece("FL", "4MM", "", 700, 450, 7, "W2"));
    PlateList selected;
    selected.addOrMerge(Stock(3210, 2250, 99999, PlateUnlimited, 0), true);
    selected.addOrMerge(Stock(2000, 1600, 1, PlateOffcut, 0), true);
    job.preferOffcuts = 1;

    const std::string inputPath = units.path("JOB.R01");
    ASSERT_TRUE(WriteEngineInput(inputPath, job, material, selected, pieces, units.settings.get(),
                                 units.settings->current));
    EngineInput input;
    engine::Instance inst;
    std::string why;
    ASSERT_TRUE(ReadEngineInput(inputPath, input, &why)) << why;
    ASSERT_TRUE(BuildInstance(input, inst, &why)) << why;
    EXPECT_EQ(inst.rules().minCutDistance, 200);
    EXPECT_EQ(inst.plate(0).trimX, 100);

    engine::Parameters p;
    p.iterationLimit = 2000;
    const engine::Output out = engine::Optimize(inst, p);
    ASSERT_TRUE(out.solution.check(&why)) << why;
    ASSERT_TRUE(out.solution.complete());
    const ResultPlan plan = PlanFromSolution(out.solution, input);
    const std::string resultPath = units.path("JOB.OPT.R01");
    ASSERT_TRUE(WriteTextFile(resultPath, FormatResult(plan)));

    PlateList used;
    PlateList offcuts;
    ASSERT_TRUE(SplitEngineResult(resultPath, material, used, offcuts, 1, selected, units.settings->current));
    EXPECT_FALSE(std::filesystem::exists(resultPath));
    EXPECT_TRUE(std::filesystem::exists(units.path("00000001.LG")));
    const std::string header = ReadText(units.path("00000001.HLG"));
    EXPECT_NE(header.find("PLATES=" + std::to_string(out.solution.plateCount())), std::string::npos)
        << header;
    EXPECT_NE(header.find("PIECETYPES=2"), std::string::npos) << header;

    // Every plate of the plan comes back as a use of the candidate it was cut from.
    int perCandidate[2] = {0, 0};
    for (const engine::CutPlate& cp : out.solution.plates()) {
        ++perCandidate[inst.plate(cp.plate).position - 1];
    }
    int usedTotal = 0;
    for (const StockPlate& u : used) {
        ASSERT_GE(u.sourceIndex, 0);
        ASSERT_LT(u.sourceIndex, 2);
        EXPECT_EQ(u.quantity, perCandidate[u.sourceIndex]);
        EXPECT_DOUBLE_EQ(u.width, selected.at(u.sourceIndex).width);
        usedTotal += u.quantity;
    }
    EXPECT_EQ(usedTotal, out.solution.plateCount());
    EXPECT_LE(perCandidate[1], 1) << "one offcut plate in stock";

    // Offcuts: what the plan reported, at least the reusable size, as offcut plates.
    double planArea = 0;
    for (const ResultPattern& pat : plan.patterns) {
        for (const ResultOffcut& o : pat.offcuts) {
            planArea += double(pat.count) * (double(o.width) / 10.0) * (double(o.height) / 10.0);
        }
    }
    double readArea = 0;
    for (const StockPlate& o : offcuts) {
        EXPECT_EQ(o.kind, PlateOffcut);
        EXPECT_TRUE((o.width >= 300 && o.height >= 200) || (o.width >= 200 && o.height >= 300));
        readArea += o.quantity * o.width * o.height;
    }
    EXPECT_NEAR(readArea, planArea, 1e-6);
    EXPECT_GT(readArea, 0.0);
}
