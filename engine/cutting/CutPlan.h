#pragma once
// The guillotine cuts that a set of piece rectangles on a plate implies, derived from the
// positions alone: used by Solution::check() to judge a plan and by the layout viewer to number
// the cuts in an order the cutter can follow.

#include <string>
#include <vector>

#include "cutting/Types.h"

namespace engine {

struct Rect {
    Length x = 0;
    Length y = 0;
    Length w = 0;
    Length h = 0;
};

// A straight cut from (x0, y0) to (x1, y1); the cut width lies on the side of the larger
// coordinate. Stage 4 marks a trim cut that narrows a single piece.
struct CutLine {
    Length x0 = 0;
    Length y0 = 0;
    Length x1 = 0;
    Length y1 = 0;
    int stage = 1;
};

// Decomposes `pieces` (inside `usable`) into at most three guillotine stages starting with
// first cuts in direction `first`, keeping to the cut width and the minimum distance between
// cuts. Returns the number of cuts, or -1 with the reason in `why`. When `cuts` is given it
// receives the cuts in cutting order: a cut always runs across a piece of plate that earlier
// cuts have already separated.
int GuillotineCuts(const std::vector<Rect>& pieces, const Rect& usable, CutDirection first, Length kerf,
                   Length minDistance, std::string* why = nullptr, std::vector<CutLine>* cuts = nullptr);

}  // namespace engine
