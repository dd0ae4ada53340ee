#include "cutting/CutPlan.h"

#include <algorithm>
#include <utility>

namespace engine {

namespace {

struct Box {
    Length lo[2];  // [0] x, [1] y
    Length hi[2];
};

// At each stage the pieces of a region fall into atoms: groups that no single cut across the
// region can separate. A stage cuts between some of the atoms. With a minimum distance between
// cuts, cutting everywhere possible can leave waste too thin to break off where a coarser cut
// would not, so the first two stages search the ways of grouping atoms. The third stage must
// leave single pieces, which a trim cut may still narrow.
class Decomposer {
public:
    Decomposer(Length kerf, Length minDistance) : kerf_(kerf), minDist_(minDistance) {}

    // axis 1: this stage's cuts are horizontal and its slabs follow each other along y.
    // Returns the number of cuts, or -1 with a reason; `out` receives the cuts in order.
    int region(std::vector<Box> boxes, const Box& area, int axis, int stage, std::string& why,
               std::vector<CutLine>* out) {
        const int other = 1 - axis;
        std::sort(boxes.begin(), boxes.end(),
                  [axis](const Box& a, const Box& b) { return a.lo[axis] < b.lo[axis]; });
        std::vector<Atom> atoms;
        for (size_t s = 0; s < boxes.size();) {
            Atom a{s, s + 1, boxes[s].lo[axis], boxes[s].hi[axis]};
            while (a.end < boxes.size() &&
                   (boxes[a.end].lo[axis] < a.hi || !betweenOk(boxes[a.end].lo[axis] - a.hi))) {
                a.hi = std::max(a.hi, boxes[a.end].hi[axis]);
                ++a.end;
            }
            atoms.push_back(a);
            s = a.end;
        }
        const Length head = atoms.front().lo - area.lo[axis];
        const Length tail = area.hi[axis] - atoms.back().hi;
        if (!edgeOk(head) || !edgeOk(tail)) {
            why = "stage " + std::to_string(stage) + ": leftover of " +
                  std::to_string(edgeOk(head) ? tail : head) + " too thin to cut off";
            return -1;
        }
        const int edgeCuts = (head > 0) + (tail > 0);
        if (stage == 3) {
            return lastStage(boxes, atoms, area, axis, why, out);
        }
        auto group = [&](size_t i, size_t j, std::string& reason, std::vector<CutLine>* rec) {
            Box slab = area;
            slab.lo[axis] = atoms[i].lo;
            slab.hi[axis] = atoms[j].hi;
            std::vector<Box> inner(boxes.begin() + static_cast<long>(atoms[i].begin),
                                   boxes.begin() + static_cast<long>(atoms[j].end));
            return region(std::move(inner), slab, other, stage + 1, reason, rec);
        };
        // Cutting between every two atoms is the usual answer; try it first.
        std::vector<std::pair<size_t, size_t>> groups;
        int cuts = edgeCuts;
        std::string firstWhy;
        for (size_t k = 0; k < atoms.size() && cuts >= 0; ++k) {
            const int c = group(k, k, firstWhy, nullptr);
            cuts = c < 0 ? -1 : cuts + c + (k > 0 ? between(atoms[k].lo - atoms[k - 1].hi) : 0);
            groups.emplace_back(k, k);
        }
        if (cuts < 0) {
            // Otherwise look for a grouping of consecutive atoms that works: best[j] holds the
            // cuts of a valid decomposition of atoms 0..j (or -1), from[j] its last group's start.
            std::vector<int> best(atoms.size(), -1);
            std::vector<size_t> from(atoms.size(), 0);
            for (size_t j = 0; j < atoms.size(); ++j) {
                for (size_t i = 0; i <= j && best[j] < 0; ++i) {
                    if (i > 0 && best[i - 1] < 0) {
                        continue;
                    }
                    std::string reason;
                    const int c = group(i, j, reason, nullptr);
                    if (c >= 0) {
                        best[j] = c + (i > 0 ? best[i - 1] + between(atoms[i].lo - atoms[i - 1].hi) : 0);
                        from[j] = i;
                    }
                }
            }
            if (best.back() < 0) {
                why = firstWhy;
                return -1;
            }
            cuts = best.back() + edgeCuts;
            groups.clear();
            for (size_t j = atoms.size(); j > 0; j = from[j - 1]) {
                groups.emplace_back(from[j - 1], j - 1);
            }
            std::reverse(groups.begin(), groups.end());
        }
        if (out) {
            if (head > 0) {
                record(out, area, axis, atoms.front().lo - kerf_, stage);
            }
            for (size_t g = 0; g < groups.size(); ++g) {
                const Atom& last = atoms[groups[g].second];
                // Separate this slab from the rest of the region, then cut it up.
                if (g + 1 < groups.size()) {
                    separate(out, area, axis, last.hi, atoms[groups[g + 1].first].lo, stage);
                } else if (tail > 0) {
                    record(out, area, axis, last.hi, stage);
                }
                std::string reason;
                group(groups[g].first, groups[g].second, reason, out);
            }
        }
        return cuts;
    }

private:
    struct Atom {
        size_t begin, end;
        Length lo, hi;
    };

    int lastStage(const std::vector<Box>& boxes, const std::vector<Atom>& atoms, const Box& area, int axis,
                  std::string& why, std::vector<CutLine>* out) {
        const int other = 1 - axis;
        const Length head = atoms.front().lo - area.lo[axis];
        const Length tail = area.hi[axis] - atoms.back().hi;
        int cuts = (head > 0) + (tail > 0);
        if (out && head > 0) {
            record(out, area, axis, atoms.front().lo - kerf_, 3);
        }
        for (size_t k = 0; k < atoms.size(); ++k) {
            if (atoms[k].end - atoms[k].begin != 1) {
                why = "pieces that need more than three cutting stages";
                return -1;
            }
            const Box& b = boxes[atoms[k].begin];
            const Length before = b.lo[other] - area.lo[other];
            const Length after = area.hi[other] - b.hi[other];
            if (!edgeOk(before) || !edgeOk(after)) {
                why = "a trim cut too close to a piece edge";
                return -1;
            }
            cuts += (before > 0) + (after > 0) + (k > 0 ? between(atoms[k].lo - atoms[k - 1].hi) : 0);
            if (out) {
                if (k + 1 < atoms.size()) {
                    separate(out, area, axis, atoms[k].hi, atoms[k + 1].lo, 3);
                } else if (tail > 0) {
                    record(out, area, axis, atoms[k].hi, 3);
                }
                Box cell = area;
                cell.lo[axis] = b.lo[axis];
                cell.hi[axis] = b.hi[axis];
                if (before > 0) {
                    record(out, cell, other, b.lo[other] - kerf_, 4);
                }
                if (after > 0) {
                    record(out, cell, other, b.hi[other], 4);
                }
            }
        }
        return cuts;
    }

    // Waste at the edge of a region, taken off with one cut.
    bool edgeOk(Length g) const { return g >= 0 && (g == 0 || minDist_ == 0 || g >= kerf_ + minDist_); }
    // Space between two slabs: one cut, or two cuts with waste between them.
    bool betweenOk(Length g) const {
        if (minDist_ == 0) {
            return g >= kerf_;
        }
        return g == kerf_ || g >= 2 * kerf_ + minDist_;
    }
    bool twoCuts(Length g) const { return g >= 2 * kerf_ + minDist_ && g > kerf_; }
    int between(Length g) const { return twoCuts(g) && minDist_ > 0 ? 2 : 1; }

    // A cut across `area` at coordinate c of `axis`.
    void record(std::vector<CutLine>* out, const Box& area, int axis, Length c, int stage) const {
        c = std::max(c, area.lo[axis]);
        CutLine l;
        l.stage = stage;
        if (axis == 1) {
            l.x0 = area.lo[0];
            l.x1 = area.hi[0];
            l.y0 = l.y1 = c;
        } else {
            l.y0 = area.lo[1];
            l.y1 = area.hi[1];
            l.x0 = l.x1 = c;
        }
        out->push_back(l);
    }
    void separate(std::vector<CutLine>* out, const Box& area, int axis, Length prevHi, Length nextLo,
                  int stage) const {
        record(out, area, axis, prevHi, stage);
        if (minDist_ > 0 && twoCuts(nextLo - prevHi)) {
            record(out, area, axis, nextLo - kerf_, stage);
        }
    }

    Length kerf_;
    Length minDist_;
};

}  // namespace

int GuillotineCuts(const std::vector<Rect>& pieces, const Rect& usable, CutDirection first, Length kerf,
                   Length minDistance, std::string* why, std::vector<CutLine>* cuts) {
    if (pieces.empty()) {
        return 0;
    }
    std::vector<Box> boxes;
    boxes.reserve(pieces.size());
    for (const Rect& r : pieces) {
        boxes.push_back(Box{{r.x, r.y}, {r.x + r.w, r.y + r.h}});
    }
    const Box area{{usable.x, usable.y}, {usable.x + usable.w, usable.y + usable.h}};
    Decomposer d(kerf, minDistance);
    std::string reason;
    const int axis = first == CutDirection::Horizontal ? 1 : 0;
    const int n = d.region(std::move(boxes), area, axis, 1, reason, cuts);
    if (n < 0 && why) {
        *why = reason;
    }
    return n;
}

}  // namespace engine
