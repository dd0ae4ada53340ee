#include "cutting/InstanceBuilder.h"

#include <algorithm>
#include <numeric>

namespace engine {

namespace {

bool InRange(Length v, Length lo, Length hi) { return v >= lo && v <= hi; }

std::string PlateName(const PlateType& p) { return "plate " + std::to_string(p.position); }
std::string ItemName(const ItemType& i) { return "piece type " + std::to_string(i.number); }

}  // namespace

int InstanceBuilder::addPlateType(const PlateType& plate) {
    plates_.push_back(plate);
    return static_cast<int>(plates_.size()) - 1;
}

int InstanceBuilder::addItemType(const ItemType& item) {
    items_.push_back(item);
    return static_cast<int>(items_.size()) - 1;
}

bool InstanceBuilder::build(Instance& out, std::string* error) const {
    auto fail = [error](const std::string& why) {
        if (error) {
            *error = why;
        }
        return false;
    };
    const Length M = kMaxLength;
    if (!InRange(rules_.kerf, 0, M) || !InRange(rules_.minCutDistance, 0, M) ||
        !InRange(rules_.minOffcutWidth, 0, M) || !InRange(rules_.minOffcutHeight, 0, M) ||
        !InRange(rules_.grinding, 0, M / 4)) {
        return fail("cutting rules out of range");
    }
    if (plates_.empty()) {
        return fail("no plate to cut from");
    }
    Instance inst;
    inst.rules_ = rules_;
    for (const PlateType& p : plates_) {
        if (!InRange(p.width, 1, M) || !InRange(p.height, 1, M)) {
            return fail(PlateName(p) + ": size out of range");
        }
        if (!InRange(p.trimX, 0, M) || !InRange(p.trimY, 0, M)) {
            return fail(PlateName(p) + ": edge trim out of range");
        }
        if (p.quantity < -1) {
            return fail(PlateName(p) + ": negative quantity");
        }
        PlateType q = p;
        if (q.usableWidth() <= 0 || q.usableHeight() <= 0) {
            q.quantity = 0;  // nothing can be cut from it
        }
        inst.plates_.push_back(q);
    }
    for (const ItemType& i : items_) {
        if (i.quantity < 0) {
            return fail(ItemName(i) + ": negative quantity");
        }
        if (i.quantity == 0) {
            continue;
        }
        if (!InRange(i.width, 1, M) || !InRange(i.height, 1, M)) {
            return fail(ItemName(i) + ": size out of range");
        }
        ItemType t = i;
        t.cutWidth = i.width + 2 * rules_.grinding;
        t.cutHeight = i.height + 2 * rules_.grinding;
        // Sizes up to kMaxLength times a large quantity overflow the totals: such a job is refused
        // as out of range like a size would be, never summed into a wrapped area.
        Area area = 0;
        int count = 0;
        if (__builtin_mul_overflow(t.cutArea(), static_cast<Area>(t.quantity), &area) ||
            __builtin_add_overflow(inst.pieceArea_, area, &inst.pieceArea_) ||
            __builtin_add_overflow(inst.pieceCount_, t.quantity, &count)) {
            return fail(ItemName(i) + ": quantity out of range");
        }
        inst.pieceCount_ = count;
        inst.items_.push_back(t);
    }
    if (inst.items_.empty()) {
        return fail("no piece to cut");
    }

    // Preference: priority (higher first), then order (lower first), then the caller's position.
    std::vector<int>& pref = inst.preference_;
    pref.resize(inst.plates_.size());
    std::iota(pref.begin(), pref.end(), 0);
    std::stable_sort(pref.begin(), pref.end(), [&inst](int a, int b) {
        const PlateType& pa = inst.plates_[static_cast<size_t>(a)];
        const PlateType& pb = inst.plates_[static_cast<size_t>(b)];
        if (pa.priority != pb.priority) {
            return pa.priority > pb.priority;
        }
        if (pa.order != pb.order) {
            return pa.order < pb.order;
        }
        return pa.position < pb.position;
    });
    // Plates of one preference level share a rank.
    int rank = 0;
    for (size_t k = 0; k < pref.size(); ++k) {
        PlateType& p = inst.plates_[static_cast<size_t>(pref[k])];
        if (k > 0) {
            const PlateType& prev = inst.plates_[static_cast<size_t>(pref[k - 1])];
            if (prev.priority != p.priority || prev.order != p.order) {
                ++rank;
            }
        }
        p.rank = rank;
    }
    inst.rankCount_ = rank + 1;
    out = std::move(inst);
    return true;
}

}  // namespace engine
