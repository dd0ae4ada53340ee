#include "cutting/Solution.h"

#include <algorithm>

#include "cutting/CutPlan.h"

namespace engine {

void Solution::addPlate(CutPlate plate) {
    const PlateType& p = instance_->plate(plate.plate);
    plateArea_ += p.width * p.height;
    for (const PlacedPiece& pc : plate.pieces) {
        const ItemType& it = instance_->item(pc.item);
        ++pieceCount_;
        pieceArea_ += it.width * it.height;
    }
    plates_.push_back(std::move(plate));
}

bool Solution::complete() const { return instance_ && pieceCount_ == instance_->pieceCount(); }

double Solution::yieldPercent() const {
    return plateArea_ > 0 ? 100.0 * static_cast<double>(pieceArea_) / static_cast<double>(plateArea_) : 0.0;
}

Area Solution::largestOffcut() const {
    Area best = 0;
    for (const CutPlate& cp : plates_) {
        for (const OffcutRect& o : cp.offcuts) {
            best = std::max(best, o.width * o.height);
        }
    }
    return best;
}

double Solution::offcutMeasure() const {
    double sum = 0.0;
    for (const CutPlate& cp : plates_) {
        for (const OffcutRect& o : cp.offcuts) {
            const double a = static_cast<double>(o.width * o.height);
            sum += a * a;
        }
    }
    return sum;
}

bool Solution::check(std::string* error) const {
    auto fail = [error](const std::string& why) {
        if (error) {
            *error = why;
        }
        return false;
    };
    if (!instance_) {
        return fail("no instance");
    }
    const Instance& inst = *instance_;
    const CutRules& rules = inst.rules();
    std::vector<int> platesUsed(inst.plateTypes().size(), 0);
    std::vector<int> piecesCut(inst.itemTypes().size(), 0);
    for (size_t n = 0; n < plates_.size(); ++n) {
        const CutPlate& cp = plates_[n];
        const std::string where = "plate " + std::to_string(n + 1) + ": ";
        if (cp.plate < 0 || cp.plate >= static_cast<int>(inst.plateTypes().size())) {
            return fail(where + "unknown plate type");
        }
        const PlateType& pt = inst.plate(cp.plate);
        if (!pt.unlimited() && ++platesUsed[static_cast<size_t>(cp.plate)] > pt.quantity) {
            return fail(where + "more plates of this type than in stock");
        }
        if (!Allows(pt.firstCut, cp.firstCut)) {
            return fail(where + "first cuts in a direction the plate does not allow");
        }
        const Rect usable{pt.trimX, pt.trimY, pt.usableWidth(), pt.usableHeight()};
        std::vector<Rect> boxes;
        boxes.reserve(cp.pieces.size());
        for (const PlacedPiece& pc : cp.pieces) {
            if (pc.item < 0 || pc.item >= static_cast<int>(inst.itemTypes().size())) {
                return fail(where + "unknown piece type");
            }
            const ItemType& it = inst.item(pc.item);
            if (pc.rotated && !it.rotatable) {
                return fail(where + "piece " + it.identifier + " turned although it may not be");
            }
            ++piecesCut[static_cast<size_t>(pc.item)];
            const Rect b{pc.x, pc.y, inst.placedWidth(pc.item, pc.rotated),
                         inst.placedHeight(pc.item, pc.rotated)};
            if (b.x < usable.x || b.y < usable.y || b.x + b.w > usable.x + usable.w ||
                b.y + b.h > usable.y + usable.h) {
                return fail(where + "piece " + it.identifier + " outside the usable area");
            }
            boxes.push_back(b);
        }
        std::string why;
        if (!boxes.empty() &&
            GuillotineCuts(boxes, usable, cp.firstCut, rules.kerf, rules.minCutDistance, &why) < 0) {
            return fail(where + why);
        }
        for (size_t a = 0; a < cp.offcuts.size(); ++a) {
            const OffcutRect& o = cp.offcuts[a];
            const bool reusable = (o.width >= rules.minOffcutWidth && o.height >= rules.minOffcutHeight) ||
                                  (o.height >= rules.minOffcutWidth && o.width >= rules.minOffcutHeight);
            if (o.width <= 0 || o.height <= 0 || !reusable) {
                return fail(where + "offcut smaller than the reusable size");
            }
            if (o.x < 0 || o.y < 0 || o.x + o.width > pt.width || o.y + o.height > pt.height) {
                return fail(where + "offcut outside the plate");
            }
            auto overlaps = [&o](Length x0, Length y0, Length x1, Length y1) {
                return o.x < x1 && x0 < o.x + o.width && o.y < y1 && y0 < o.y + o.height;
            };
            for (const Rect& b : boxes) {
                if (overlaps(b.x, b.y, b.x + b.w, b.y + b.h)) {
                    return fail(where + "offcut over a piece");
                }
            }
            for (size_t c = 0; c < a; ++c) {
                const OffcutRect& q = cp.offcuts[c];
                if (overlaps(q.x, q.y, q.x + q.width, q.y + q.height)) {
                    return fail(where + "offcuts overlap");
                }
            }
        }
    }
    for (size_t i = 0; i < piecesCut.size(); ++i) {
        if (piecesCut[i] > inst.itemTypes()[i].quantity) {
            return fail("piece type " + std::to_string(inst.itemTypes()[i].number) +
                        " cut more often than ordered");
        }
    }
    // Order of use: a plate of a lower level is only there for pieces the plates above it, still
    // in stock, cannot take. Only a replacement that keeps every cut is judged here; whether
    // some other layout would fit the preferred plate is the optimiser's question, not a rule.
    std::vector<int> used(inst.plateTypes().size(), 0);
    for (const CutPlate& cp : plates_) {
        ++used[static_cast<size_t>(cp.plate)];
    }
    for (size_t n = 0; n < plates_.size(); ++n) {
        const CutPlate& cp = plates_[n];
        const int rank = inst.plate(cp.plate).rank;
        for (int q : inst.preferenceOrder()) {
            const PlateType& pt = inst.plate(q);
            if (pt.rank >= rank) {
                break;
            }
            const bool inStock = pt.unlimited() || used[static_cast<size_t>(q)] < pt.quantity;
            if (inStock && LayoutFits(inst, cp, q)) {
                return fail("plate " + std::to_string(n + 1) + ": plate " + std::to_string(pt.position) +
                            ", used before it and still in stock, could take its pieces");
            }
        }
    }
    return true;
}

bool LayoutFits(const Instance& inst, const CutPlate& plate, int type) {
    const PlateType& from = inst.plate(plate.plate);
    const PlateType& to = inst.plate(type);
    if (to.quantity == 0 || !Allows(to.firstCut, plate.firstCut)) {
        return false;
    }
    // The layout's far corner, measured from the usable area's lower-left corner.
    Length right = 0;
    Length top = 0;
    for (const PlacedPiece& pc : plate.pieces) {
        right = std::max(right, pc.x - from.trimX + inst.placedWidth(pc.item, pc.rotated));
        top = std::max(top, pc.y - from.trimY + inst.placedHeight(pc.item, pc.rotated));
    }
    const Length W = to.usableWidth();
    const Length H = to.usableHeight();
    if (right > W || top > H) {
        return false;
    }
    const CutRules& rules = inst.rules();
    auto edgeOk = [&rules](Length g) {
        return g == 0 || rules.minCutDistance == 0 || g >= rules.kerf + rules.minCutDistance;
    };
    if (!edgeOk(W - right) || !edgeOk(H - top)) {
        return false;
    }
    if (plate.pieces.empty()) {
        return true;
    }
    std::vector<Rect> boxes;
    boxes.reserve(plate.pieces.size());
    for (const PlacedPiece& pc : plate.pieces) {
        boxes.push_back(Rect{pc.x - from.trimX + to.trimX, pc.y - from.trimY + to.trimY,
                             inst.placedWidth(pc.item, pc.rotated), inst.placedHeight(pc.item, pc.rotated)});
    }
    return GuillotineCuts(boxes, {to.trimX, to.trimY, W, H}, plate.firstCut, rules.kerf,
                          rules.minCutDistance) >= 0;
}

int Solution::cutCount() const {
    if (!instance_) {
        return 0;
    }
    int total = 0;
    for (const CutPlate& cp : plates_) {
        const PlateType& pt = instance_->plate(cp.plate);
        std::vector<Rect> boxes;
        for (const PlacedPiece& pc : cp.pieces) {
            boxes.push_back(Rect{pc.x, pc.y, instance_->placedWidth(pc.item, pc.rotated),
                                 instance_->placedHeight(pc.item, pc.rotated)});
        }
        const int cuts =
            boxes.empty()
                ? 0
                : GuillotineCuts(boxes, {pt.trimX, pt.trimY, pt.usableWidth(), pt.usableHeight()},
                                 cp.firstCut, instance_->rules().kerf, instance_->rules().minCutDistance);
        if (cuts < 0) {
            return 0;
        }
        total += cuts;
    }
    return total;
}

}  // namespace engine
