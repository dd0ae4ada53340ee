#include "plans/PlanRecords.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>

#include "cutting/InstanceBuilder.h"

namespace {

// A length field read as a cutting length: no value, or a negative one, counts as none.
engine::Length CutLength(long v) { return (v == kNoValue || v < 0) ? 0 : v; }

bool SamePlate(const engine::CutPlate& a, const engine::CutPlate& b) {
    if (a.plate != b.plate || a.firstCut != b.firstCut || a.pieces.size() != b.pieces.size() ||
        a.offcuts.size() != b.offcuts.size()) {
        return false;
    }
    for (size_t i = 0; i < a.pieces.size(); ++i) {
        const engine::PlacedPiece& p = a.pieces[i];
        const engine::PlacedPiece& q = b.pieces[i];
        if (p.item != q.item || p.x != q.x || p.y != q.y || p.rotated != q.rotated) {
            return false;
        }
    }
    for (size_t i = 0; i < a.offcuts.size(); ++i) {
        const engine::OffcutRect& p = a.offcuts[i];
        const engine::OffcutRect& q = b.offcuts[i];
        if (p.x != q.x || p.y != q.y || p.width != q.width || p.height != q.height) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool BuildInstance(const EngineInput& in, engine::Instance& out, std::string* error) {
    if (in.plates.empty() || in.pieces.empty()) {
        if (error) {
            *error = in.plates.empty() ? "no plate" : "no piece";
        }
        return false;
    }
    engine::InstanceBuilder b;
    // The cutting lengths are the material's: every line B carries the same; take the first.
    const EnginePlateRecord& first = in.plates.front();
    engine::CutRules rules;
    rules.kerf = CutLength(first.cutWidth);
    rules.minCutDistance = CutLength(first.minCutDistance);
    rules.minOffcutWidth = CutLength(first.minOffcutWidth);
    rules.minOffcutHeight = CutLength(first.minOffcutHeight);
    rules.grinding = CutLength(first.grinding);
    b.setRules(rules);
    for (const EnginePlateRecord& r : in.plates) {
        engine::PlateType p;
        p.position = static_cast<int>(r.position);
        p.width = r.width == kNoValue ? 0 : r.width;
        p.height = r.height == kNoValue ? 0 : r.height;
        p.quantity = r.quantity >= kUnlimited ? -1 : static_cast<int>(std::max(0L, r.quantity));
        p.priority = static_cast<int>(r.priority);
        p.order = static_cast<int>(r.rank);
        const char o = static_cast<char>(std::toupper(static_cast<unsigned char>(r.orientation)));
        p.firstCut = o == 'L'   ? engine::FirstCut::Vertical
                     : o == 'Y' ? engine::FirstCut::Horizontal
                                : engine::FirstCut::Either;
        p.offcut = std::islower(static_cast<unsigned char>(r.orientation)) != 0;
        if (r.plateTrim != kNoValue && r.plateTrim >= 0) {
            p.trimX = p.trimY = r.plateTrim;
        } else {
            p.trimX = CutLength(r.trimX);
            p.trimY = CutLength(r.trimY);
        }
        if (p.width <= 0 || p.height <= 0) {
            // A plate without a size cannot be cut; keep its place so positions stay valid.
            p.width = p.height = 1;
            p.quantity = 0;
        }
        b.addPlateType(p);
    }
    for (const EnginePieceRecord& r : in.pieces) {
        engine::ItemType it;
        it.number = static_cast<int>(r.typeNumber);
        it.identifier = r.pieceId;
        it.text = r.text;
        it.width = r.width;
        it.height = r.height;
        it.quantity = static_cast<int>(std::max(0L, std::min(r.quantity, 1000000L)));
        it.rotatable = r.rotatable;
        b.addItemType(it);
    }
    return b.build(out, error);
}

ResultPlan PlanFromSolution(const engine::Solution& solution, const EngineInput& input) {
    const engine::Instance& inst = solution.instance();
    ResultPlan plan;
    const EnginePlateRecord* first = input.plates.empty() ? nullptr : &input.plates.front();
    plan.setHeader("Program", "Tavrel cutting optimiser");
    plan.setHeader("Material", first ? first->materialKey : "");
    plan.setHeader("Customer", first ? first->customer : "");
    plan.setHeader("Order", first ? first->order : "");
    plan.setHeader("Treatment", first ? first->treatment : "");
    plan.setHeader("Job", first ? first->jobLabel : "");
    plan.setHeader("Plates", std::to_string(solution.plateCount()));
    plan.setHeader("Pieces", std::to_string(solution.pieceCount()));
    char yield[32];
    const auto r =
        std::to_chars(yield, yield + sizeof yield, solution.yieldPercent(), std::chars_format::fixed, 2);
    plan.setHeader("Yield", std::string(yield, r.ec == std::errc() ? r.ptr : yield));

    std::vector<std::pair<const engine::CutPlate*, long>> groups;
    for (const engine::CutPlate& cp : solution.plates()) {
        bool merged = false;
        for (auto& g : groups) {
            if (SamePlate(*g.first, cp)) {
                ++g.second;
                merged = true;
                break;
            }
        }
        if (!merged) {
            groups.emplace_back(&cp, 1);
        }
    }
    for (const auto& [cp, count] : groups) {
        const engine::PlateType& pt = inst.plate(cp->plate);
        ResultPattern pat;
        pat.count = count;
        pat.width = pt.width;
        pat.height = pt.height;
        pat.position = pt.position;
        for (const EnginePlateRecord& record : input.plates) {
            if (record.position == pt.position) {
                pat.thickness = record.thickness;
                pat.stockPlace = record.stockPlace;
                break;
            }
        }
        pat.firstCut = cp->firstCut == engine::CutDirection::Horizontal ? 'H' : 'V';
        pat.trimX = pt.trimX;
        pat.trimY = pt.trimY;
        pat.kerf = inst.rules().kerf;
        pat.minCutDistance = inst.rules().minCutDistance;
        pat.offcutPlate = pt.offcut;
        std::map<std::string, size_t> infoOf;
        for (const engine::PlacedPiece& p : cp->pieces) {
            const engine::ItemType& it = inst.item(p.item);
            ResultPiece rp;
            rp.x = p.x;
            rp.y = p.y;
            rp.width = inst.placedWidth(p.item, p.rotated);
            rp.height = inst.placedHeight(p.item, p.rotated);
            rp.rotated = p.rotated;
            rp.number = it.number;
            rp.id = it.identifier;
            pat.pieces.push_back(rp);
            auto found = infoOf.find(it.identifier);
            if (found == infoOf.end()) {
                ResultInfo info;
                info.id = it.identifier;
                info.number = it.number;
                info.width = it.width;
                info.height = it.height;
                infoOf[it.identifier] = pat.infos.size();
                pat.infos.push_back(info);
                found = infoOf.find(it.identifier);
            }
            ++pat.infos[found->second].count;
        }
        for (const engine::OffcutRect& o : cp->offcuts) {
            pat.offcuts.push_back(ResultOffcut{o.x, o.y, o.width, o.height});
        }
        plan.patterns.push_back(std::move(pat));
    }
    plan.setHeader("PlateTypes", std::to_string(plan.patterns.size()));
    return plan;
}

std::vector<engine::CutLine> PatternCuts(const ResultPattern& pattern) {
    std::vector<engine::Rect> pieces;
    for (const ResultPiece& p : pattern.pieces) {
        pieces.push_back(engine::Rect{p.x, p.y, p.width, p.height});
    }
    const engine::Rect usable{pattern.trimX, pattern.trimY, pattern.width - 2 * pattern.trimX,
                              pattern.height - 2 * pattern.trimY};
    std::vector<engine::CutLine> cuts;
    const engine::CutDirection first =
        pattern.firstCut == 'V' ? engine::CutDirection::Vertical : engine::CutDirection::Horizontal;
    if (engine::GuillotineCuts(pieces, usable, first, pattern.kerf, pattern.minCutDistance, nullptr, &cuts) <
        0) {
        cuts.clear();
    }
    return cuts;
}
