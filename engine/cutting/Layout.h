#pragma once
// The optimiser's working form of a plate cut in three stages. Everything is expressed in the
// plate's own frame, turned so that the first-stage cuts are always horizontal: a plate holds
// strips one above the other, a strip holds stacks side by side, a stack holds pieces one above
// the other, each piece left-aligned and trimmed to its width. Sizes of stacks, strips and the
// used height are kept up to date by the operations below, so a candidate insertion is judged
// in constant time.

#include <vector>

#include "cutting/Instance.h"
#include "cutting/Solution.h"

namespace engine::detail {

struct Piece {
    int item = 0;
    bool rotated = false;  // turned on the real plate
    Length w = 0;          // size in the frame
    Length h = 0;
};

struct Stack {
    Length w = 0;
    Length h = 0;
    std::vector<Piece> pieces;
};

struct Strip {
    Length w = 0;
    Length h = 0;
    std::vector<Stack> stacks;
};

struct Bin {
    int plate = -1;
    bool transposed = false;  // frame x is the plate's y: the first cuts are vertical
    Length W = 0;             // usable size in the frame
    Length H = 0;
    Length usedH = 0;
    Area area = 0;  // area of the pieces
    int pieceCount = 0;
    // Piece types known to fit nowhere on the bin as it is now, the last few found. Cleared by
    // every change: the copies of a piece type that follow one another, and the loose pieces
    // of the steps that leave the bin alone, then skip the bins already full for them.
    struct Refusals {
        static constexpr int kSize = 8;
        int type[kSize] = {-1, -1, -1, -1, -1, -1, -1, -1};
        int next = 0;
        bool has(int t) const {
            for (int v : type) {
                if (v == t) {
                    return true;
                }
            }
            return false;
        }
        void add(int t) {
            type[next] = t;
            next = (next + 1) % kSize;
        }
        void clear() {
            for (int& v : type) {
                v = -1;
            }
            next = 0;
        }
    } refused;
    std::vector<Strip> strips;
};

// Cut width and minimum distance between cuts, as the layout needs them.
struct Geometry {
    Length kerf = 0;
    Length minGap = 0;

    // Waste left between a cut and the edge of its region: none, or thick enough to break off.
    bool gapOk(Length g) const { return g == 0 || (g > 0 && (minGap == 0 || g >= kerf + minGap)); }
    // Length of a row after appending an element of length `add` to a row of length `used`.
    Length append(Length used, Length add) const { return used == 0 ? add : used + kerf + add; }

    bool stackValid(const Stack& s) const;
    bool stripValid(const Strip& s, Length W) const;
    bool binValid(const Bin& b) const;
};

// Recomputes the sizes of a stack, a strip and a bin from their contents.
void Refresh(Stack& s, const Geometry& g);
void Refresh(Strip& s, const Geometry& g);
void RefreshHeight(Bin& b, const Geometry& g);

// Frame size of a piece type placed with the given real rotation on a bin.
inline void FrameSize(const Instance& inst, int item, bool rotated, bool transposed, Length& w, Length& h) {
    const Length rw = inst.placedWidth(item, rotated);
    const Length rh = inst.placedHeight(item, rotated);
    w = transposed ? rh : rw;
    h = transposed ? rw : rh;
}

// Sets a bin up empty on a plate type in the given frame.
void MakeEmptyBin(Bin& b, const Instance& inst, int plate, bool transposed);

// Converts a bin into plate coordinates, with its reusable offcuts.
CutPlate ToCutPlate(const Bin& b, const Instance& inst);

}  // namespace engine::detail
