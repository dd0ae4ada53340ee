#pragma once
// Basic quantities of the cutting optimiser. Lengths are whole engine units (tenths of a
// millimetre in the engine input file), so no rounding error can creep into the search.

#include <cstdint>

namespace engine {

using Length = int64_t;
using Area = int64_t;

// Direction of the first-stage cuts of a plate. Horizontal cuts split the plate into strips
// that run along its width; vertical cuts into strips that run along its height.
enum class CutDirection { Horizontal, Vertical };

// What a plate allows for its first-stage cuts.
enum class FirstCut { Horizontal, Vertical, Either };

inline bool Allows(FirstCut allowed, CutDirection d) {
    return allowed == FirstCut::Either ||
           (allowed == FirstCut::Horizontal) == (d == CutDirection::Horizontal);
}

}  // namespace engine
