#include "results/PieceLabels.h"

#include <algorithm>

#include "common/PathUtils.h"
#include "common/TextUtils.h"
#include "model/Job.h"
#include "optimise/OptimiseCommand.h"
#include "plans/PlanRecords.h"
#include "results/ResultFiles.h"
#include "settings/UnitDef.h"

namespace tavrel {

namespace {

// The cut runs along one of the piece's edges: on its line (the cut's width lying outside the
// piece) and over part of the edge, not only touching a corner.
bool AlongEdge(const engine::CutLine& cut, const ResultPiece& p, engine::Length kerf) {
    if (cut.y0 == cut.y1) {
        const engine::Length c = cut.y0;
        const bool onEdge = c == p.y + p.height || (c >= p.y - kerf && c <= p.y);
        return onEdge && std::max(cut.x0, p.x) < std::min(cut.x1, p.x + p.width);
    }
    const engine::Length c = cut.x0;
    const bool onEdge = c == p.x + p.width || (c >= p.x - kerf && c <= p.x);
    return onEdge && std::max(cut.y0, p.y) < std::min(cut.y1, p.y + p.height);
}

// The job's piece a result piece was cut for: the input's type number points at it (the
// optimise command numbers piece types after the job's lines); when the job was edited since,
// the first piece with the identifier, one of the same material preferred.
const Piece* JobPiece(const Job& job, const MaterialKey& key, const ResultPiece& cut) {
    const std::string id = Trim(cut.id);
    auto same = [&](const Piece& p) { return EqualsNoCase(Trim(p.pieceId), id); };
    if (cut.number >= 1 && cut.number <= job.pieces.count()) {
        const Piece& p = job.pieces.at(static_cast<int>(cut.number - 1));
        if (same(p)) return &p;
    }
    const Piece* any = nullptr;
    for (const Piece& p : job.pieces) {
        if (!same(p)) continue;
        if (p.serie == key.serie && p.code == key.code && p.treatment == key.treatment) return &p;
        if (!any) any = &p;
    }
    return any;
}

std::string SizeText(const ResultPattern& pattern, const ResultPiece& piece, const CurrentUnit& unit) {
    engine::Length w = 0;
    engine::Length h = 0;
    FinishedSize(pattern, piece, w, h);
    // FinishedSize gives the size as placed; the label gives it as ordered.
    if (piece.rotated) std::swap(w, h);
    std::string text = ResultLengthText(w, unit) + " x " + ResultLengthText(h, unit);
    if (!unit.linearLabel.empty()) text += " " + unit.linearLabel;
    return text;
}

}  // namespace

std::vector<size_t> PiecesInCutOrder(const ResultPattern& pattern) {
    const size_t n = pattern.pieces.size();
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    if (n < 2) return order;
    const std::vector<engine::CutLine> cuts = PatternCuts(pattern);
    if (cuts.empty()) return order;
    struct Freed {
        long cut = -1;              // the last cut along the piece's edges
        engine::Length across = 0;  // the piece's lower edge across that cut
    };
    std::vector<Freed> freed(n);
    for (size_t i = 0; i < n; ++i) {
        const ResultPiece& p = pattern.pieces[i];
        for (size_t k = 0; k < cuts.size(); ++k) {
            if (!AlongEdge(cuts[k], p, pattern.kerf)) continue;
            freed[i].cut = static_cast<long>(k);
            freed[i].across = cuts[k].y0 == cuts[k].y1 ? p.y : p.x;
        }
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (freed[a].cut != freed[b].cut) return freed[a].cut < freed[b].cut;
        return freed[a].across < freed[b].across;
    });
    return order;
}

std::string LabelBarcodeText(const std::string& jobCode, const std::string& pieceId) {
    return jobCode + "/" + pieceId;
}

PieceLabelSet BuildPieceLabels(const Job& job, const std::string& jobPath,
                               const std::vector<StoredMaterialResult>& results, const CurrentUnit& unit) {
    PieceLabelSet set;
    for (const StoredMaterialResult& r : results) {
        if (r.state != StoredResultState::Read) {
            ++set.unread;
            continue;
        }
        for (const ResultPattern& p : r.plan.patterns)
            set.wanted += static_cast<long>(p.pieces.size()) * std::max(p.count, 0L);
    }
    if (set.wanted > kMaxPieceLabels) {
        set.tooMany = true;
        return set;
    }
    set.labels.reserve(static_cast<size_t>(set.wanted));

    const std::string jobCode = DisplayText(SplitPath(jobPath).baseName);
    const std::string jobName = DisplayText(job.name);
    const std::string customer = DisplayText(job.customer);
    for (const StoredMaterialResult& r : results) {
        if (r.state != StoredResultState::Read) continue;
        const std::string material = DisplayText(MaterialText(r.key, KeyStyle::List));
        long plates = 0;
        for (const ResultPattern& p : r.plan.patterns) plates += p.count;
        long plate = 0;
        for (size_t pattern = 0; pattern < r.plan.patterns.size(); ++pattern) {
            const ResultPattern& p = r.plan.patterns[pattern];
            const std::vector<size_t> order = PiecesInCutOrder(p);
            for (long copy = 0; copy < p.count; ++copy) {
                ++plate;
                for (const size_t i : order) {
                    const ResultPiece& cut = p.pieces[i];
                    PieceLabel label;
                    label.job = jobName;
                    label.jobCode = jobCode;
                    label.customer = customer;
                    label.pieceId = DisplayText(cut.id);
                    label.size = SizeText(p, cut, unit);
                    label.material = material;
                    if (const Piece* piece = JobPiece(job, r.key, cut)) {
                        label.text1 = DisplayText(piece->text2);
                        label.text2 = DisplayText(piece->text3);
                    }
                    label.run = r.run;
                    label.pattern = static_cast<long>(pattern) + 1;
                    label.plate = plate;
                    label.plates = plates;
                    label.barcode = LabelBarcodeText(jobCode, label.pieceId);
                    set.labels.push_back(std::move(label));
                }
            }
        }
    }
    return set;
}

}  // namespace tavrel
