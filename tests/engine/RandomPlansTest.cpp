// Hundreds of random small jobs, with every rule switched on in turn: the independent checker
// must accept every plan the optimiser returns.

#include <algorithm>
#include <random>

#include "TestInstances.h"
#include "cutting/Optimize.h"

using namespace engine;
using namespace enginetest;

namespace {

struct Mix {
    bool rotation;
    bool limitedStock;
    bool trims;
    bool minDistance;
    bool kerf;
    bool grinding;
    int firstCut;  // 0 horizontal, 1 vertical, 2 either, 3 mixed per plate
};

Instance RandomInstance(std::mt19937& rng, const Mix& mix) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    InstanceBuilder b;
    CutRules r;
    r.kerf = mix.kerf ? pick(1, 4) : 0;
    r.minCutDistance = mix.minDistance ? pick(5, 25) : 0;
    r.grinding = mix.grinding ? pick(1, 3) : 0;
    r.minOffcutWidth = pick(0, 1) ? pick(10, 60) : 0;
    r.minOffcutHeight = r.minOffcutWidth ? pick(10, 60) : 0;
    b.setRules(r);
    const int plates = pick(1, 3);
    for (int p = 0; p < plates; ++p) {
        PlateType pt = Plate(pick(120, 400), pick(120, 400), mix.limitedStock ? pick(1, 3) : -1);
        const int cut = mix.firstCut == 3 ? pick(0, 2) : mix.firstCut;
        pt.firstCut = cut == 0 ? FirstCut::Horizontal : cut == 1 ? FirstCut::Vertical : FirstCut::Either;
        pt.priority = pick(0, 2);
        pt.position = p + 1;
        if (mix.trims) {
            pt.trimX = pick(0, 12);
            pt.trimY = pick(0, 12);
        }
        b.addPlateType(pt);
    }
    const int types = pick(1, 8);
    for (int i = 0; i < types; ++i) {
        ItemType it = Item(pick(5, 220), pick(5, 220), pick(1, 6), mix.rotation && pick(0, 3) > 0,
                           "T" + std::to_string(i));
        it.number = i + 1;
        b.addItemType(it);
    }
    Instance inst;
    std::string why;
    EXPECT_TRUE(b.build(inst, &why)) << why;
    return inst;
}

// The plan in a few lines, for the failure message.
std::string Describe(const Instance& inst, const Solution& s) {
    std::string out = "kerf " + std::to_string(inst.rules().kerf) + " min distance " +
                      std::to_string(inst.rules().minCutDistance) + "\n";
    for (const CutPlate& cp : s.plates()) {
        const PlateType& pt = inst.plate(cp.plate);
        out += "plate " + std::to_string(pt.width) + "x" + std::to_string(pt.height) + " trims " +
               std::to_string(pt.trimX) + "," + std::to_string(pt.trimY) +
               (cp.firstCut == CutDirection::Horizontal ? " H:" : " V:");
        for (const PlacedPiece& p : cp.pieces) {
            out += " (" + std::to_string(p.x) + "," + std::to_string(p.y) + " " +
                   std::to_string(inst.placedWidth(p.item, p.rotated)) + "x" +
                   std::to_string(inst.placedHeight(p.item, p.rotated)) + ")";
        }
        out += "\n";
    }
    return out;
}

}  // namespace

TEST(RandomPlans, EveryPlanPassesTheChecker) {
    std::mt19937 rng(12345);
    int complete = 0;
    int total = 0;
    for (int n = 0; n < 400; ++n) {
        const Mix mix{n % 2 == 0,
                      (n / 2) % 3 == 0,
                      (n / 3) % 2 == 0,
                      (n / 5) % 3 == 0,
                      (n / 7) % 4 == 0,
                      (n / 11) % 3 == 0,
                      n % 4};
        const Instance inst = RandomInstance(rng, mix);
        Parameters p;
        p.timeLimit = 1.0;
        p.iterationLimit = 400;
        p.seed = static_cast<uint64_t>(n);
        const Output out = Optimize(inst, p);
        std::string why;
        ASSERT_TRUE(out.solution.check(&why)) << "instance " << n << ": " << why << "\n"
                                              << Describe(inst, out.solution);
        bool unlimited = true;
        bool fits = true;
        for (const PlateType& pt : inst.plateTypes()) {
            unlimited = unlimited && pt.unlimited();
        }
        for (size_t i = 0; i < inst.itemTypes().size(); ++i) {
            fits = fits && inst.fitsSomewhere(static_cast<int>(i));
        }
        EXPECT_EQ(out.feasible, fits) << "instance " << n;
        if (unlimited && fits) {
            EXPECT_TRUE(out.solution.complete()) << "instance " << n;
        }
        complete += out.solution.complete();
        ++total;
    }
    // The mix must exercise both outcomes, or the test proves little.
    EXPECT_GT(complete, total / 3);
    EXPECT_LT(complete, total);
}

TEST(RandomPlans, PlatesInTheirOrderOfUse) {
    // Jobs for several plate sizes of several priorities, some in short supply: every plan
    // must keep the order of use (part of the checker) and the preferred plates in stock must
    // take their share.
    std::mt19937 rng(777);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int mixed = 0;
    for (int n = 0; n < 150; ++n) {
        InstanceBuilder b;
        CutRules r;
        r.minCutDistance = n % 3 == 0 ? pick(5, 15) : 0;
        r.kerf = n % 4 == 0 ? pick(1, 3) : 0;
        b.setRules(r);
        const int plates = pick(2, 4);
        for (int p = 0; p < plates; ++p) {
            PlateType pt = Plate(pick(150, 400), pick(150, 400), p + 1 == plates ? -1 : pick(1, 4),
                                 p % 3 == 1 ? FirstCut::Vertical : FirstCut::Either, p + 1);
            pt.priority = p == 0 && n % 2 == 0 ? 999 : pick(0, 12);
            pt.order = pick(0, 2);
            pt.offcut = pt.priority == 999;
            b.addPlateType(pt);
        }
        const int types = pick(2, 8);
        for (int i = 0; i < types; ++i) {
            ItemType it = Item(pick(20, 150), pick(20, 150), pick(1, 8), n % 2 == 1, "R" + std::to_string(i));
            it.number = i + 1;
            b.addItemType(it);
        }
        const Instance inst = Build(b);
        Parameters p;
        p.iterationLimit = 300;
        p.seed = static_cast<uint64_t>(n);
        const Output out = Optimize(inst, p);
        std::string why;
        ASSERT_TRUE(out.solution.check(&why)) << "job " << n << ": " << why;
        std::vector<int> levels;
        for (const CutPlate& cp : out.solution.plates()) {
            levels.push_back(inst.plate(cp.plate).rank);
        }
        std::sort(levels.begin(), levels.end());
        mixed += !levels.empty() && levels.front() != levels.back();
    }
    // Plans that mix levels are where the rule has something to judge.
    EXPECT_GT(mixed, 20);
}
