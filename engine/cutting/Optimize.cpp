#include "cutting/Optimize.h"

#include <algorithm>
#include <vector>

#include "cutting/Search.h"

namespace engine {

namespace {

// The one plate type in stock, or -1.
int SinglePlateType(const Instance& instance) {
    const auto& plates = instance.plateTypes();
    int usable = -1;
    for (size_t p = 0; p < plates.size(); ++p) {
        if (plates[p].quantity == 0) {
            continue;
        }
        if (usable >= 0) {
            return -1;
        }
        usable = static_cast<int>(p);
    }
    return usable;
}

}  // namespace

int64_t AreaPlateBound(const Instance& instance) {
    const int usable = SinglePlateType(instance);
    if (usable < 0) {
        return 0;
    }
    const PlateType& pt = instance.plate(usable);
    const Area plateArea = pt.usableWidth() * pt.usableHeight();
    return (instance.pieceArea() + plateArea - 1) / plateArea;
}

int64_t PlateLowerBound(const Instance& instance) {
    const int usable = SinglePlateType(instance);
    if (usable < 0) {
        return 0;  // several plate types: counting plates says little
    }
    const PlateType& pt = instance.plate(usable);
    const Length W = pt.usableWidth();
    const Length H = pt.usableHeight();
    const Area plateArea = W * H;
    bool anyTurn = false;
    std::vector<std::pair<Length, Length>> pieces;
    std::vector<Length> widths;
    for (const ItemType& it : instance.itemTypes()) {
        anyTurn = anyTurn || it.rotatable;
        for (int q = 0; q < it.quantity; ++q) {
            pieces.emplace_back(it.cutWidth, it.cutHeight);
        }
        widths.push_back(it.cutWidth);
        widths.push_back(it.cutHeight);
    }
    // With turning pieces the bound below holds only on a square plate with equal thresholds
    // both ways, where turning a piece changes none of its tests.
    if (anyTurn && W != H) {
        int64_t large = 0;
        for (const auto& [w, h] : pieces) {
            large += 2 * w > W && 2 * h > H && 2 * h > W && 2 * w > H;
        }
        return std::max(AreaPlateBound(instance), large);
    }
    // For thresholds p, q: pieces longer than W - p and H - q each need a plate of their own
    // that nothing at least p by q can join; pieces longer than half both ways too, though
    // those plates may still take some of the area of the pieces at least p by q.
    std::vector<Length> ps = {1};
    for (Length w : widths) {
        if (w <= W / 2) {
            ps.push_back(w);
        }
    }
    std::sort(ps.begin(), ps.end());
    ps.erase(std::unique(ps.begin(), ps.end()), ps.end());
    std::vector<Length> qs = ps;
    if (!anyTurn) {
        qs = {1};
        for (const ItemType& it : instance.itemTypes()) {
            if (it.cutHeight <= H / 2) {
                qs.push_back(it.cutHeight);
            }
        }
        std::sort(qs.begin(), qs.end());
        qs.erase(std::unique(qs.begin(), qs.end()), qs.end());
    }
    int64_t best = AreaPlateBound(instance);
    for (Length p : ps) {
        for (Length q : qs) {
            if (anyTurn && p != q) {
                continue;
            }
            int64_t own = 0;
            int64_t halves = 0;
            Area halvesArea = 0;
            Area rest = 0;
            for (const auto& [w, h] : pieces) {
                if (w > W - p && h > H - q) {
                    ++own;
                } else if (2 * w > W && 2 * h > H) {
                    ++halves;
                    halvesArea += w * h;
                } else if (w >= p && h >= q) {
                    rest += w * h;
                }
            }
            const Area spare = halves * plateArea - halvesArea;
            const Area extra = rest - spare;  // area the halves' plates cannot take
            const int64_t more = extra > 0 ? (extra + plateArea - 1) / plateArea : 0;
            best = std::max(best, own + halves + more);
        }
    }
    return best;
}

Output Optimize(const Instance& instance, const Parameters& parameters) {
    detail::Search search(instance, parameters);
    return search.run();
}

}  // namespace engine
