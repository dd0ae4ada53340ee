#pragma once
// A cutting plan: the plates used, where every piece lies on them and the reusable offcuts.
// A Solution knows nothing of how it was found; check() re-derives the cuts from the piece
// positions alone, so it is an independent judge of every plan the optimiser returns.

#include <string>
#include <vector>

#include "cutting/Instance.h"

namespace engine {

// A piece on a plate: the lower-left corner of its cut rectangle (grinding allowance
// included), in plate coordinates with the origin at the plate's lower-left corner.
struct PlacedPiece {
    int item = 0;
    Length x = 0;
    Length y = 0;
    bool rotated = false;  // width and height swapped
};

// A reusable leftover, in plate coordinates (it may reach into the edge trim: the trim is cut
// off again when the offcut is used).
struct OffcutRect {
    Length x = 0;
    Length y = 0;
    Length width = 0;
    Length height = 0;
};

struct CutPlate {
    int plate = 0;  // plate type index
    CutDirection firstCut = CutDirection::Horizontal;
    std::vector<PlacedPiece> pieces;
    std::vector<OffcutRect> offcuts;
};

class Solution {
public:
    Solution() = default;
    explicit Solution(const Instance& instance) : instance_(&instance) {}

    const Instance& instance() const { return *instance_; }
    bool hasInstance() const { return instance_ != nullptr; }
    const std::vector<CutPlate>& plates() const { return plates_; }

    void addPlate(CutPlate plate);

    int plateCount() const { return static_cast<int>(plates_.size()); }
    int pieceCount() const { return pieceCount_; }
    Area pieceArea() const { return pieceArea_; }  // finished sizes
    Area plateArea() const { return plateArea_; }
    // Every piece of the instance is on a plate.
    bool complete() const;
    // Finished piece area over the area of the plates used, in percent.
    double yieldPercent() const;
    // Area of the largest offcut and the sum of squared offcut areas (more is better: the
    // leftover is gathered into few large pieces).
    Area largestOffcut() const;
    double offcutMeasure() const;

    // Re-derives the cuts and checks every rule: pieces inside the usable area of their plate,
    // three guillotine stages starting with an allowed direction, cut width and minimum
    // distance between cuts, rotation only where allowed, piece and plate quantities, offcuts
    // on free plate area and of reusable size, and the order of use: no plate may be one that
    // a plate of a higher preference level, still in stock, could replace with the very same
    // cuts (LayoutFits). Returns false with a reason in `error`.
    bool check(std::string* error = nullptr) const;

    // Number of cuts needed (the guillotine decomposition's cut lines); 0 when check() fails.
    int cutCount() const;

private:
    const Instance* instance_ = nullptr;
    std::vector<CutPlate> plates_;
    int pieceCount_ = 0;
    Area pieceArea_ = 0;
    Area plateArea_ = 0;
};

// True when the pieces of `plate`, as they lie relative to its usable area, could be cut from a
// plate of type `type` instead: the type is in stock at all, allows the plate's first-cut
// direction, its usable area holds the layout, what is left at its far edges can be cut off, and
// the moved pieces still come apart in three guillotine stages. Stock counts are the caller's.
bool LayoutFits(const Instance& instance, const CutPlate& plate, int type);

}  // namespace engine
