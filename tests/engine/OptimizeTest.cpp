// What the optimiser promises its callers: every piece cut when it can be, plates used in
// their preference order and never beyond stock, rotation and first-cut direction as the
// plate and the material allow, a stop that keeps the best plan, and repeatable results.

#include <atomic>
#include <thread>
#include <vector>

#include "TestInstances.h"
#include "cutting/Optimize.h"

using namespace engine;
using namespace enginetest;

namespace {

Parameters Quick(int64_t iterations = 2000) {
    Parameters p;
    p.timeLimit = 5.0;
    p.iterationLimit = iterations;
    return p;
}

// Every piece of the two plans on the same plate at the same place.
void ExpectSamePlan(const Solution& a, const Solution& c) {
    ASSERT_EQ(a.plateCount(), c.plateCount());
    for (size_t i = 0; i < a.plates().size(); ++i) {
        const auto& pa = a.plates()[i].pieces;
        const auto& pc = c.plates()[i].pieces;
        ASSERT_EQ(pa.size(), pc.size());
        for (size_t k = 0; k < pa.size(); ++k) {
            EXPECT_TRUE(pa[k].x == pc[k].x && pa[k].y == pc[k].y && pa[k].item == pc[k].item);
        }
    }
}

int PlatesOfType(const Solution& s, int type) {
    int n = 0;
    for (const CutPlate& cp : s.plates()) {
        n += cp.plate == type;
    }
    return n;
}

}  // namespace

TEST(Optimize, FillsAPlateExactly) {
    InstanceBuilder b;
    b.addPlateType(Plate(100, 100));
    b.addItemType(Item(50, 50, 2));
    b.addItemType(Item(100, 25, 2));
    const Instance inst = Build(b);
    const Output out = Optimize(inst, Quick());
    std::string why;
    ASSERT_TRUE(out.solution.check(&why)) << why;
    EXPECT_TRUE(out.solution.complete());
    EXPECT_EQ(out.solution.plateCount(), 1);
    EXPECT_DOUBLE_EQ(out.solution.yieldPercent(), 100.0);
    EXPECT_EQ(out.plateBound, 1);
}

TEST(Optimize, FindsTheBestKnownNumberOfPlates) {
    // Twelve pieces that fit three plates only when the 60-wide ones pair with the 40-wide.
    InstanceBuilder b;
    b.addPlateType(Plate(100, 100));
    b.addItemType(Item(60, 50, 6));
    b.addItemType(Item(40, 50, 6));
    const Instance inst = Build(b);
    const Output out = Optimize(inst, Quick());
    ASSERT_TRUE(out.solution.check());
    EXPECT_EQ(out.solution.plateCount(), 3);
}

TEST(Optimize, UsesThePreferredPlateAndRespectsStock) {
    InstanceBuilder b;
    PlateType plain = Plate(200, 200, -1, FirstCut::Either, 1);
    PlateType preferred = Plate(200, 200, 2, FirstCut::Either, 2);
    preferred.priority = 999;
    b.addPlateType(plain);
    b.addPlateType(preferred);
    b.addItemType(Item(100, 100, 12));  // three plates' worth
    const Instance inst = Build(b);
    ASSERT_EQ(inst.preferenceOrder().front(), 1);
    const Output out = Optimize(inst, Quick());
    std::string why;
    ASSERT_TRUE(out.solution.check(&why)) << why;
    ASSERT_TRUE(out.solution.complete());
    EXPECT_EQ(PlatesOfType(out.solution, 1), 2) << "both preferred plates are used";
    EXPECT_EQ(PlatesOfType(out.solution, 0), 1);
}

TEST(Optimize, LimitedStockLeavesPiecesOutButNeverOverdraws) {
    InstanceBuilder b;
    b.addPlateType(Plate(100, 100, 1));
    b.addItemType(Item(60, 60, 3));
    const Instance inst = Build(b);
    const Output out = Optimize(inst, Quick(200));
    ASSERT_TRUE(out.solution.check());
    EXPECT_FALSE(out.solution.complete());
    EXPECT_EQ(out.solution.plateCount(), 1);
    EXPECT_EQ(out.solution.pieceCount(), 1);
}

TEST(Optimize, TurnsPiecesOnlyWhenAllowed) {
    for (bool rotatable : {false, true}) {
        InstanceBuilder b;
        b.addPlateType(Plate(30, 100));
        b.addItemType(Item(80, 20, 2, rotatable));
        const Instance inst = Build(b);
        EXPECT_EQ(inst.fitsSomewhere(0), rotatable);
        const Output out = Optimize(inst, Quick(100));
        ASSERT_TRUE(out.solution.check());
        EXPECT_EQ(out.solution.complete(), rotatable);
        EXPECT_EQ(out.feasible, rotatable);
    }
}

TEST(Optimize, FollowsThePlateFirstCutLetter) {
    for (FirstCut cut : {FirstCut::Horizontal, FirstCut::Vertical}) {
        InstanceBuilder b;
        b.addPlateType(Plate(100, 100, -1, cut));
        b.addItemType(Item(30, 70, 5));
        b.addItemType(Item(45, 20, 4));
        const Instance inst = Build(b);
        const Output out = Optimize(inst, Quick(500));
        std::string why;
        ASSERT_TRUE(out.solution.check(&why)) << why;
        ASSERT_TRUE(out.solution.complete());
        const CutDirection want =
            cut == FirstCut::Horizontal ? CutDirection::Horizontal : CutDirection::Vertical;
        for (const CutPlate& cp : out.solution.plates()) {
            EXPECT_EQ(cp.firstCut, want);
        }
    }
}

TEST(Optimize, GrindingAllowanceAndTrimsTakeRoom) {
    CutRules r;
    r.grinding = 1;
    InstanceBuilder b;
    b.setRules(r);
    PlateType p = Plate(104, 104);
    p.trimX = 1;
    p.trimY = 1;
    b.addPlateType(p);
    b.addItemType(Item(48, 48, 4));  // cut 50 x 50: four fit the 102 x 102 usable area
    const Instance inst = Build(b);
    EXPECT_EQ(inst.item(0).cutWidth, 50);
    const Output out = Optimize(inst, Quick());
    std::string why;
    ASSERT_TRUE(out.solution.check(&why)) << why;
    EXPECT_EQ(out.solution.plateCount(), 1);
    for (const PlacedPiece& pp : out.solution.plates()[0].pieces) {
        EXPECT_GE(pp.x, 1);
        EXPECT_GE(pp.y, 1);
    }
}

TEST(Optimize, ReportsReusableOffcuts) {
    CutRules r;
    r.minOffcutWidth = 100;
    r.minOffcutHeight = 50;
    InstanceBuilder b;
    b.setRules(r);
    b.addPlateType(Plate(1000, 1000));
    b.addItemType(Item(1000, 300, 1));
    const Instance inst = Build(b);
    const Output out = Optimize(inst, Quick());
    ASSERT_TRUE(out.solution.check());
    ASSERT_EQ(out.solution.plateCount(), 1);
    EXPECT_EQ(out.solution.largestOffcut(), 1000 * 700);
}

TEST(Optimize, SameSeedSamePlanAndStopKeepsTheBest) {
    InstanceBuilder b;
    b.addPlateType(Plate(300, 300));
    for (int i = 0; i < 12; ++i) {
        b.addItemType(Item(20 + 13 * i % 150, 30 + 29 * i % 140, 1 + i % 3, i % 2 == 0));
    }
    const Instance inst = Build(b);
    const Output a = Optimize(inst, Quick(3000));
    const Output c = Optimize(inst, Quick(3000));
    ExpectSamePlan(a.solution, c.solution);

    std::atomic<bool> stop{true};
    int plans = 0;
    Parameters p;
    p.timeLimit = 30.0;
    p.stop = &stop;
    p.onNewSolution = [&plans](const Solution& s) {
        ++plans;
        EXPECT_TRUE(s.check());
    };
    const Output stopped = Optimize(inst, p);
    EXPECT_LT(stopped.seconds, 5.0);
    EXPECT_TRUE(stopped.solution.complete());
    EXPECT_GE(plans, 1);
}

TEST(Optimize, SearchesSideBySideKeepTheBestAndRepeat) {
    // Two plate types: no lower bound ends a search before its steps are done.
    InstanceBuilder b;
    b.addPlateType(Plate(3000, 2000));
    b.addPlateType(Plate(2500, 1800, 4, FirstCut::Either, 2));
    for (int i = 0; i < 30; ++i) {
        b.addItemType(Item(150 + 97 * i % 1300, 120 + 71 * i % 900, 1 + i % 4, i % 3 != 0));
    }
    const Instance inst = Build(b);
    Parameters one = Quick(400);
    one.timeLimit = 60.0;
    Parameters three = one;
    three.threads = 3;
    std::vector<Solution> shown;
    three.onNewSolution = [&shown](const Solution& s) { shown.push_back(s); };
    const Output single = Optimize(inst, one);
    const Output a = Optimize(inst, three);
    three.onNewSolution = nullptr;
    const Output c = Optimize(inst, three);
    EXPECT_EQ(single.searches, 1);
    EXPECT_EQ(a.searches, 3);
    EXPECT_EQ(a.iterations, 3 * 400) << "every search makes all its steps";
    std::string why;
    ASSERT_TRUE(a.solution.check(&why)) << why;
    ASSERT_TRUE(a.solution.complete());
    // The first search starts from the caller's seed, so the best of three is never worse.
    EXPECT_FALSE(PlanBetter(single.solution, a.solution));
    // With a step limit the plan repeats exactly, whichever search finishes first.
    ExpectSamePlan(a.solution, c.solution);
    // The searches' plans reach the caller one at a time, each better than the one before,
    // and the last one shown is the plan returned.
    ASSERT_FALSE(shown.empty());
    for (size_t i = 1; i < shown.size(); ++i) {
        EXPECT_TRUE(PlanBetter(shown[i], shown[i - 1])) << "plan " << i;
    }
    EXPECT_FALSE(PlanBetter(shown.back(), a.solution));
    EXPECT_EQ(SearchCount(0), std::max(1, static_cast<int>(std::thread::hardware_concurrency())));
}

TEST(Optimize, PlateBoundCountsPiecesThatCannotShare) {
    InstanceBuilder b;
    b.addPlateType(Plate(100, 100));
    b.addItemType(Item(60, 60, 3));
    const Instance inst = Build(b);
    EXPECT_EQ(AreaPlateBound(inst), 2);
    EXPECT_EQ(PlateLowerBound(inst), 3);
}

TEST(Optimize, ImprovesOnTheGreedyPlanAtWorkshopScale) {
    // A benchmark job (Berkey and Wang, class 1) whose greedy plan takes 19 plates and the best
    // 18, also in the magnitudes of a workshop's plates: costs then run to 1e12, and rounding
    // must not let a plan of equal cost pass for a cheaper one.
    const std::vector<std::pair<Length, Length>> sizes = {
        {5, 6},  {6, 1},  {7, 2}, {2, 8}, {2, 3},   {8, 1},  {5, 1},  {4, 5},  {5, 10},  {4, 4},
        {1, 9},  {7, 10}, {8, 8}, {3, 3}, {5, 1},   {8, 2},  {2, 7},  {8, 2},  {3, 7},   {5, 2},
        {7, 4},  {4, 2},  {5, 8}, {2, 7}, {10, 8},  {10, 4}, {2, 10}, {3, 4},  {10, 10}, {8, 3},
        {10, 2}, {7, 8},  {9, 7}, {3, 9}, {8, 6},   {6, 2},  {2, 8},  {6, 4},  {9, 7},   {7, 6},
        {9, 3},  {7, 3},  {7, 6}, {7, 3}, {10, 10}, {2, 6},  {1, 3},  {10, 7}, {3, 7},   {1, 4},
        {5, 5},  {10, 8}, {6, 5}, {5, 3}, {2, 10},  {7, 7},  {1, 2},  {10, 2}, {3, 10},  {3, 1}};
    for (Length scale : {1, 32100}) {
        InstanceBuilder b;
        b.addPlateType(Plate(10 * scale, 10 * scale, -1, FirstCut::Horizontal));
        for (const auto& [w, h] : sizes) {
            b.addItemType(Item(w * scale, h * scale));
        }
        const Instance inst = Build(b);
        EXPECT_EQ(Optimize(inst, Quick(0)).solution.plateCount(), 19);
        const Output out = Optimize(inst, Quick(20000));
        ASSERT_TRUE(out.solution.check());
        EXPECT_EQ(out.solution.plateCount(), 18) << "scale " << scale;
    }
}

TEST(Optimize, PlatesInTheirOrderOfUse) {
    // The 3210 x 2250 plates come first (priority 11); the 2550 x 1605 plates (priority 4) are
    // smaller, yet only worth cutting for what the preferred plates in stock cannot take.
    for (int preferredInStock : {10, 1}) {
        InstanceBuilder b;
        PlateType small = Plate(25500, 16050, -1, FirstCut::Either, 1);
        small.priority = 4;
        PlateType large = Plate(32100, 22500, preferredInStock, FirstCut::Either, 2);
        large.priority = 11;
        b.addPlateType(small);
        b.addPlateType(large);
        for (int t = 0; t < 12; ++t) {
            b.addItemType(Item(3000 + 731 * t % 6000, 2500 + 419 * t % 5000, 5, t % 3 != 0));
        }
        const Instance inst = Build(b);
        // More than one preferred plate's worth; weighing area by preference, as the optimiser
        // once did, cut two preferred plates and one of the cheaper small ones here.
        ASSERT_GT(inst.pieceArea(), 32100 * 22500);
        const Output out = Optimize(inst, Quick());
        std::string why;
        ASSERT_TRUE(out.solution.check(&why)) << why;
        ASSERT_TRUE(out.solution.complete());
        if (preferredInStock == 10) {
            EXPECT_EQ(PlatesOfType(out.solution, 0), 0) << "the preferred plates take everything";
        } else {
            EXPECT_EQ(PlatesOfType(out.solution, 1), 1) << "the preferred plate before the others";
            EXPECT_GE(PlatesOfType(out.solution, 0), 1);
        }
    }
}

TEST(Optimize, APreferredOffcutInStockIsCutBeforeAPlateWithRoomToSpare) {
    // All fifteen pieces fit one new plate, so leaving the offcut out costs nothing at the new
    // plates' level, and the search finds that plan as soon as it gives up the offcut, the
    // plate it fills worst; the workshop still cuts what it can from the offcut it put first.
    for (uint64_t seed = 1; seed <= 8; ++seed) {
        InstanceBuilder b;
        b.addPlateType(Plate(30000, 20000, -1, FirstCut::Either, 1));
        PlateType offcut = Plate(10000, 10000, 1, FirstCut::Either, 2);
        offcut.priority = 999;
        offcut.offcut = true;
        b.addPlateType(offcut);
        b.addItemType(Item(6000, 6000, 15));
        const Instance inst = Build(b);
        Parameters params = Quick();
        params.seed = seed;
        const Output out = Optimize(inst, params);
        std::string why;
        ASSERT_TRUE(out.solution.check(&why)) << why;
        ASSERT_TRUE(out.solution.complete());
        EXPECT_EQ(PlatesOfType(out.solution, 1), 1) << "seed " << seed;
        EXPECT_EQ(PlatesOfType(out.solution, 0), 1) << "seed " << seed;
    }
}

TEST(Optimize, TellsWhyAPlanIsIncomplete) {
    // One 1000 square in stock and a 500 x 3000 strip; three 600 squares and one piece too
    // long for either plate unless turned, which it may not.
    InstanceBuilder b;
    b.addPlateType(Plate(1000, 1000, 1, FirstCut::Either, 1));
    b.addPlateType(Plate(500, 3000, 1, FirstCut::Either, 2));
    b.addItemType(Item(600, 600, 3));
    const Instance short1 = Build(b);
    const Output a = Optimize(short1, Quick(200));
    ASSERT_FALSE(a.solution.complete());
    EXPECT_EQ(a.shortfall.itemTooLarge, -1);
    EXPECT_EQ(a.shortfall.piecesLeft, 2);
    EXPECT_EQ(a.shortfall.pieceAreaLeft, 2 * 600 * 600);
    // The strip takes no 600 square: its area does not count as room for them.
    EXPECT_EQ(a.shortfall.plateAreaLacking, 2 * 600 * 600);

    // With grinding the pieces need more plate than their finished size says.
    CutRules r;
    r.grinding = 10;
    InstanceBuilder g;
    g.setRules(r);
    g.addPlateType(Plate(1000, 1000, 1));
    g.addItemType(Item(580, 580, 3));
    // The plan points into its instance, so the instance must outlive it.
    const Instance ground = Build(g);
    const Output c = Optimize(ground, Quick(200));
    EXPECT_EQ(c.shortfall.piecesLeft, 2);
    EXPECT_EQ(c.shortfall.pieceAreaLeft, 2 * 580 * 580);
    EXPECT_EQ(c.shortfall.plateAreaLacking, 2 * 600 * 600);

    b.addItemType(Item(2000, 400, 1, false));
    const Instance tooLong = Build(b);
    const Output d = Optimize(tooLong, Quick(200));
    EXPECT_FALSE(d.feasible);
    EXPECT_EQ(d.shortfall.itemTooLarge, 1);

    // A complete plan has no shortfall; an unlimited plate leaves no area missing.
    InstanceBuilder e;
    e.addPlateType(Plate(1000, 1000));
    e.addItemType(Item(600, 600, 3));
    const Instance endless = Build(e);
    const Output full = Optimize(endless, Quick(200));
    ASSERT_TRUE(full.solution.complete());
    EXPECT_EQ(full.shortfall.piecesLeft, 0);
    EXPECT_EQ(full.shortfall.plateAreaLacking, 0);
    EXPECT_EQ(full.shortfall.itemTooLarge, -1);
}

// Pieces of the largest size in a quantity whose total area leaves the 64-bit range are refused
// like a size out of range, never summed into a wrapped area; the same pieces a few at a time
// are an ordinary job.
TEST(Optimize, AShortfallOnAStockOfHugePlatesKeepsItsSums) {
    // 20 000 plates of 10 km square hold more area than a 64-bit count: the shortfall of a plan
    // that cuts nothing still says no area is missing.
    InstanceBuilder b;
    const Length huge = InstanceBuilder::kMaxLength;
    b.addPlateType(Plate(huge, huge, 20000));
    b.addItemType(Item(3000, 2000, 4));
    const Instance inst = Build(b);
    const Shortfall none = ExplainShortfall(Solution(inst));
    EXPECT_EQ(none.piecesLeft, 4);
    EXPECT_EQ(none.itemTooLarge, -1);
    EXPECT_EQ(none.plateAreaLacking, 0);
}

TEST(Optimize, RefusesATotalAreaBeyondRange) {
    const Length m = InstanceBuilder::kMaxLength;
    InstanceBuilder huge;
    huge.addPlateType(Plate(m, m));
    huge.addItemType(Item(m, m, 1000));
    Instance inst;
    std::string why;
    EXPECT_FALSE(huge.build(inst, &why));
    EXPECT_NE(why.find("quantity out of range"), std::string::npos) << why;

    InstanceBuilder few;
    few.addPlateType(Plate(m, m));
    few.addItemType(Item(m, m, 3));
    ASSERT_TRUE(few.build(inst, &why)) << why;
    EXPECT_EQ(inst.pieceArea(), 3 * static_cast<Area>(m) * m);
}
