#include "cutting/Layout.h"

#include <algorithm>

namespace engine::detail {

bool Geometry::stackValid(const Stack& s) const {
    for (const Piece& p : s.pieces) {
        if (!gapOk(s.w - p.w)) {
            return false;
        }
    }
    return true;
}

bool Geometry::stripValid(const Strip& s, Length W) const {
    if (s.w > W || !gapOk(W - s.w)) {
        return false;
    }
    for (const Stack& st : s.stacks) {
        if (!gapOk(s.h - st.h) || !stackValid(st)) {
            return false;
        }
    }
    return true;
}

bool Geometry::binValid(const Bin& b) const {
    if (b.usedH > b.H || !gapOk(b.H - b.usedH)) {
        return false;
    }
    for (const Strip& s : b.strips) {
        if (!stripValid(s, b.W)) {
            return false;
        }
    }
    return true;
}

void Refresh(Stack& s, const Geometry& g) {
    s.w = 0;
    s.h = 0;
    for (const Piece& p : s.pieces) {
        s.w = std::max(s.w, p.w);
        s.h = g.append(s.h, p.h);
    }
}

void Refresh(Strip& s, const Geometry& g) {
    s.w = 0;
    s.h = 0;
    for (const Stack& st : s.stacks) {
        s.w = g.append(s.w, st.w);
        s.h = std::max(s.h, st.h);
    }
}

void RefreshHeight(Bin& b, const Geometry& g) {
    b.usedH = 0;
    for (const Strip& s : b.strips) {
        b.usedH = g.append(b.usedH, s.h);
    }
}

void MakeEmptyBin(Bin& b, const Instance& inst, int plate, bool transposed) {
    const PlateType& p = inst.plate(plate);
    b.plate = plate;
    b.transposed = transposed;
    b.W = transposed ? p.usableHeight() : p.usableWidth();
    b.H = transposed ? p.usableWidth() : p.usableHeight();
    b.usedH = 0;
    b.area = 0;
    b.pieceCount = 0;
    b.refused.clear();
    b.strips.clear();
}

namespace {

struct FrameRect {
    Length x, y, w, h;
};

void AddOffcut(CutPlate& cp, const PlateType& pt, bool transposed, const FrameRect& r,
               const CutRules& rules) {
    if (r.w <= 0 || r.h <= 0 || (rules.minOffcutWidth == 0 && rules.minOffcutHeight == 0)) {
        return;  // a material without a reusable size keeps no offcuts
    }
    OffcutRect o;
    o.x = transposed ? r.y : r.x;
    o.y = transposed ? r.x : r.y;
    o.width = transposed ? r.h : r.w;
    o.height = transposed ? r.w : r.h;
    o.width = std::min(o.width, pt.width - o.x);
    o.height = std::min(o.height, pt.height - o.y);
    const bool reusable = (o.width >= rules.minOffcutWidth && o.height >= rules.minOffcutHeight) ||
                          (o.height >= rules.minOffcutWidth && o.width >= rules.minOffcutHeight);
    if (reusable && o.width > 0 && o.height > 0) {
        cp.offcuts.push_back(o);
    }
}

}  // namespace

CutPlate ToCutPlate(const Bin& b, const Instance& inst) {
    const PlateType& pt = inst.plate(b.plate);
    const Length k = inst.rules().kerf;
    // Frame origin in plate coordinates, and the frame's extent up to the plate edges.
    const Length ox = b.transposed ? pt.trimY : pt.trimX;
    const Length oy = b.transposed ? pt.trimX : pt.trimY;
    const Length fullW = b.transposed ? pt.height : pt.width;
    const Length fullH = b.transposed ? pt.width : pt.height;
    CutPlate cp;
    cp.plate = b.plate;
    cp.firstCut = b.transposed ? CutDirection::Vertical : CutDirection::Horizontal;
    Length y = oy;
    for (const Strip& s : b.strips) {
        Length x = ox;
        for (const Stack& st : s.stacks) {
            Length py = y;
            for (const Piece& p : st.pieces) {
                PlacedPiece pp;
                pp.item = p.item;
                pp.rotated = p.rotated;
                pp.x = b.transposed ? py : x;
                pp.y = b.transposed ? x : py;
                cp.pieces.push_back(pp);
                py += p.h + k;
            }
            if (s.h > st.h) {
                const Length top = y + st.h + (st.h > 0 ? k : 0);
                AddOffcut(cp, pt, b.transposed, {x, top, st.w, y + s.h - top}, inst.rules());
            }
            x += st.w + k;
        }
        if (x < fullW) {
            // The rest of the strip, up to the plate edge.
            AddOffcut(cp, pt, b.transposed, {x, y, fullW - x, s.h}, inst.rules());
        }
        y += s.h + k;
    }
    if (b.strips.empty()) {
        y = 0;
    }
    if (y < fullH) {
        AddOffcut(cp, pt, b.transposed, {0, y, fullW, fullH - y}, inst.rules());
    }
    return cp;
}

}  // namespace engine::detail
