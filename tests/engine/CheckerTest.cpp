// The solution's own checker judges hand-made plans: it must accept what can be cut in three
// guillotine stages and refuse every way a plan can be wrong.

#include "TestInstances.h"
#include "cutting/CutPlan.h"

using namespace engine;
using namespace enginetest;

namespace {

// One plate type, one piece type per entry of `items`, the given rules.
Instance Make(PlateType plate, const std::vector<ItemType>& items, CutRules rules = {}) {
    InstanceBuilder b;
    b.setRules(rules);
    b.addPlateType(plate);
    for (const ItemType& i : items) {
        b.addItemType(i);
    }
    return Build(b);
}

bool Check(const Instance& inst, CutDirection d, std::vector<PlacedPiece> pieces, std::string* why = nullptr,
           std::vector<OffcutRect> offcuts = {}) {
    Solution s(inst);
    CutPlate cp;
    cp.plate = 0;
    cp.firstCut = d;
    cp.pieces = std::move(pieces);
    cp.offcuts = std::move(offcuts);
    s.addPlate(cp);
    return s.check(why);
}

}  // namespace

TEST(Checker, AcceptsStripsStacksAndTrimmedPieces) {
    // Strip 1 (height 50): a stack of two pieces 40 and 30 wide (the narrower trimmed), and a
    // piece 60 wide. Strip 2 (height 30): one piece.
    const Instance inst =
        Make(Plate(100, 100), {Item(40, 25, 1), Item(30, 25, 1), Item(60, 50, 1), Item(100, 30, 1)});
    std::string why;
    EXPECT_TRUE(
        Check(inst, CutDirection::Horizontal, {At(0, 0, 0), At(1, 0, 25), At(2, 40, 0), At(3, 0, 50)}, &why))
        << why;
}

TEST(Checker, RefusesOverlapOutsideAndPinwheel) {
    const Instance inst = Make(Plate(100, 100), {Item(60, 40, 4), Item(40, 40, 1)});
    std::string why;
    EXPECT_FALSE(Check(inst, CutDirection::Horizontal, {At(0, 0, 0), At(0, 30, 20)}));
    EXPECT_FALSE(Check(inst, CutDirection::Horizontal, {At(0, 50, 0)}, &why));
    EXPECT_NE(why.find("outside"), std::string::npos);
    // Four pieces turning around a centre square: no straight cut goes through the plate.
    const Instance pin = Make(Plate(100, 100), {Item(60, 40, 2), Item(40, 60, 2), Item(20, 20, 1)});
    EXPECT_FALSE(Check(pin, CutDirection::Horizontal,
                       {At(0, 0, 0), At(1, 60, 0), At(0, 40, 60), At(1, 0, 40), At(2, 40, 40)}));
    EXPECT_FALSE(Check(pin, CutDirection::Vertical,
                       {At(0, 0, 0), At(1, 60, 0), At(0, 40, 60), At(1, 0, 40), At(2, 40, 40)}));
}

TEST(Checker, KeepsToThreeStagesAndTheFirstCutDirection) {
    // Columns first: left column holds a row of two pieces under a wide one; the right column
    // is cut at another height. Vertical, horizontal, vertical: three stages. Starting with a
    // horizontal cut it would need a fourth.
    const Instance inst =
        Make(Plate(100, 100), {Item(25, 50, 2), Item(50, 50, 1), Item(50, 30, 1), Item(50, 70, 1)});
    const std::vector<PlacedPiece> plan = {At(0, 0, 0), At(0, 25, 0), At(1, 0, 50), At(2, 50, 0),
                                           At(3, 50, 30)};
    std::string why;
    EXPECT_TRUE(Check(inst, CutDirection::Vertical, plan, &why)) << why;
    EXPECT_FALSE(Check(inst, CutDirection::Horizontal, plan, &why));
    EXPECT_NE(why.find("three"), std::string::npos);

    // A plate that only allows horizontal first cuts refuses a plan declared vertical.
    const Instance fixed = Make(Plate(100, 100, -1, FirstCut::Horizontal),
                                {Item(25, 50, 2), Item(50, 50, 1), Item(50, 30, 1), Item(50, 70, 1)});
    EXPECT_FALSE(Check(fixed, CutDirection::Vertical, plan, &why));
    EXPECT_NE(why.find("direction"), std::string::npos);
}

TEST(Checker, RotationOnlyWhereAllowed) {
    const Instance fixed = Make(Plate(100, 100), {Item(80, 20, 1, false)});
    const Instance free = Make(Plate(100, 100), {Item(80, 20, 1, true)});
    EXPECT_FALSE(Check(fixed, CutDirection::Horizontal, {At(0, 0, 0, true)}));
    EXPECT_TRUE(Check(free, CutDirection::Horizontal, {At(0, 0, 0, true)}));
}

TEST(Checker, TrimsCutWidthAndMinimumDistance) {
    PlateType p = Plate(100, 100);
    p.trimX = 5;
    p.trimY = 10;
    const Instance trimmed = Make(p, {Item(90, 80, 1)});
    EXPECT_TRUE(Check(trimmed, CutDirection::Horizontal, {At(0, 5, 10)}));
    EXPECT_FALSE(Check(trimmed, CutDirection::Horizontal, {At(0, 0, 10)}));
    EXPECT_FALSE(Check(trimmed, CutDirection::Horizontal, {At(0, 5, 15)}));

    CutRules kerf;
    kerf.kerf = 3;
    const Instance sawn = Make(Plate(100, 100), {Item(40, 40, 2)});
    const Instance sawnK = Make(Plate(100, 100), {Item(40, 40, 2)}, kerf);
    EXPECT_TRUE(Check(sawn, CutDirection::Horizontal, {At(0, 0, 0), At(0, 40, 0)}));
    EXPECT_FALSE(Check(sawnK, CutDirection::Horizontal, {At(0, 0, 0), At(0, 40, 0)}));
    EXPECT_TRUE(Check(sawnK, CutDirection::Horizontal, {At(0, 0, 0), At(0, 43, 0)}));

    // With a minimum distance of 10 a 2 wide strip of waste cannot be broken off, neither
    // beside a piece at the plate edge nor as the trim of a piece narrower than its stack.
    CutRules dist;
    dist.minCutDistance = 10;
    const std::vector<ItemType> items = {Item(50, 50, 1), Item(98, 50, 1), Item(48, 50, 1), Item(30, 50, 1),
                                         Item(40, 100, 1)};
    const Instance glass = Make(Plate(100, 100), items, dist);
    const Instance plain = Make(Plate(100, 100), items);
    std::string why;
    EXPECT_FALSE(Check(glass, CutDirection::Horizontal, {At(1, 0, 0)}, &why));
    EXPECT_TRUE(Check(plain, CutDirection::Horizontal, {At(1, 0, 0)}, &why)) << why;
    EXPECT_FALSE(Check(glass, CutDirection::Horizontal, {At(0, 0, 0), At(2, 0, 50), At(4, 50, 0)}));
    EXPECT_TRUE(Check(glass, CutDirection::Horizontal, {At(0, 0, 0), At(3, 0, 50), At(4, 50, 0)}, &why))
        << why;
}

TEST(Checker, QuantitiesOfPiecesAndPlates) {
    InstanceBuilder b;
    b.addPlateType(Plate(100, 100, 1));
    b.addItemType(Item(100, 100, 1));
    const Instance inst = Build(b);
    Solution s(inst);
    CutPlate cp;
    cp.pieces = {At(0, 0, 0)};
    s.addPlate(cp);
    EXPECT_TRUE(s.check());
    EXPECT_TRUE(s.complete());
    s.addPlate(cp);
    std::string why;
    EXPECT_FALSE(s.check(&why));
    EXPECT_NE(why.find("stock"), std::string::npos);
}

TEST(Checker, OffcutsOnFreeAreaOfReusableSize) {
    CutRules r;
    r.minOffcutWidth = 20;
    r.minOffcutHeight = 10;
    const Instance inst = Make(Plate(100, 100), {Item(100, 60, 1)}, r);
    EXPECT_TRUE(Check(inst, CutDirection::Horizontal, {At(0, 0, 0)}, nullptr, {{0, 60, 100, 40}}));
    EXPECT_FALSE(Check(inst, CutDirection::Horizontal, {At(0, 0, 0)}, nullptr, {{0, 50, 100, 50}}));
    EXPECT_FALSE(Check(inst, CutDirection::Horizontal, {At(0, 0, 0)}, nullptr, {{0, 60, 15, 8}}));
    EXPECT_FALSE(
        Check(inst, CutDirection::Horizontal, {At(0, 0, 0)}, nullptr, {{0, 60, 100, 40}, {50, 70, 20, 20}}));
}

TEST(CutPlan, CutsInAnOrderTheCutterCanFollow) {
    // Strip 1: A and B side by side, room to the right; strip 2: C across the plate.
    const std::vector<Rect> pieces = {{0, 0, 50, 30}, {50, 0, 30, 30}, {0, 30, 100, 50}};
    std::vector<CutLine> cuts;
    ASSERT_EQ(GuillotineCuts(pieces, {0, 0, 100, 100}, CutDirection::Horizontal, 0, 0, nullptr, &cuts), 4);
    ASSERT_EQ(cuts.size(), 4u);
    auto is = [](const CutLine& c, Length x0, Length y0, Length x1, Length y1, int stage) {
        return c.x0 == x0 && c.y0 == y0 && c.x1 == x1 && c.y1 == y1 && c.stage == stage;
    };
    EXPECT_TRUE(is(cuts[0], 0, 30, 100, 30, 1)) << "strip 1 comes off first";
    EXPECT_TRUE(is(cuts[1], 50, 0, 50, 30, 2));
    EXPECT_TRUE(is(cuts[2], 80, 0, 80, 30, 2));
    EXPECT_TRUE(is(cuts[3], 0, 80, 100, 80, 1)) << "then the leftover above strip 2";

    // A piece narrower than its stack gets a trim cut (stage 4) after it is cut free.
    cuts.clear();
    ASSERT_EQ(GuillotineCuts({{0, 0, 40, 20}, {0, 20, 30, 20}, {40, 0, 60, 40}}, {0, 0, 100, 40},
                             CutDirection::Horizontal, 0, 0, nullptr, &cuts),
              3);
    EXPECT_TRUE(is(cuts.back(), 30, 20, 30, 40, 4));
}

TEST(Checker, OrderOfUse) {
    // Plate types by position: 1 a 1000 square of priority 0, 2 a 1200 x 1000 offcut of
    // priority 999 (used first), 3 a 900 square of priority 0 too, and 4 a 1010 square of
    // priority 5 that only allows vertical first cuts. Waste under 20 cannot be broken off.
    CutRules r;
    r.minCutDistance = 20;
    InstanceBuilder b;
    b.setRules(r);
    b.addPlateType(Plate(1000, 1000, -1, FirstCut::Either, 1));
    PlateType offcut = Plate(1200, 1000, 1, FirstCut::Either, 2);
    offcut.priority = 999;
    b.addPlateType(offcut);
    b.addPlateType(Plate(900, 900, -1, FirstCut::Either, 3));
    PlateType upright = Plate(1010, 1010, 2, FirstCut::Vertical, 4);
    upright.priority = 5;
    b.addPlateType(upright);
    b.addItemType(Item(600, 500, 8));
    b.addItemType(Item(1000, 1000, 1));
    const Instance inst = Build(b);
    auto plan = [&inst](std::vector<CutPlate> plates, std::string* why) {
        Solution s(inst);
        for (CutPlate& cp : plates) {
            s.addPlate(std::move(cp));
        }
        return s.check(why);
    };
    auto plate = [](int type, CutDirection d, std::vector<PlacedPiece> pieces) {
        CutPlate cp;
        cp.plate = type;
        cp.firstCut = d;
        cp.pieces = std::move(pieces);
        return cp;
    };
    const CutDirection H = CutDirection::Horizontal;
    const CutDirection V = CutDirection::Vertical;
    std::string why;
    // Two pieces on a plain plate while the offcut, larger, lies unused: refused, naming it.
    const CutPlate two = plate(0, H, {At(0, 0, 0), At(0, 0, 500)});
    EXPECT_FALSE(plan({two}, &why));
    EXPECT_NE(why.find("plate 2"), std::string::npos) << why;
    // Once the offcut is used, the plain plate is right; the upright plate, of a higher
    // priority and in stock, does not allow the horizontal first cuts of this layout.
    const CutPlate used = plate(1, H, {At(0, 0, 0)});
    EXPECT_TRUE(plan({used, two}, &why)) << why;
    // Cut in vertical strips, the upright plate could take the same cuts: refused.
    EXPECT_FALSE(plan({used, plate(0, V, {At(0, 0, 0)})}, &why));
    EXPECT_NE(why.find("plate 4"), std::string::npos) << why;
    // With both upright plates used the plain plate is fine.
    const CutPlate up = plate(3, V, {At(0, 0, 0)});
    EXPECT_TRUE(plan({used, up, up, plate(0, V, {At(0, 0, 0)})}, &why)) << why;
    // Equal preference is no rule: the 900 plate could take the pieces of the 1000 one.
    EXPECT_TRUE(plan({used, up, up, plate(0, V, {At(0, 0, 0)}), plate(2, V, {At(0, 0, 0)})}, &why)) << why;
    // A preferred plate that would leave waste too thin to break off cannot replace a plate:
    // the 1000 square piece leaves 10 on the upright plate. On the offcut it leaves 200.
    EXPECT_TRUE(plan({used, plate(0, V, {At(1, 0, 0)})}, &why)) << why;
    EXPECT_FALSE(plan({plate(0, V, {At(1, 0, 0)})}, &why));
    EXPECT_NE(why.find("plate 2"), std::string::npos) << why;
}
