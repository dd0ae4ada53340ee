#include "model/PieceList.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "common/TextUtils.h"
#include "model/MaterialList.h"
#include "model/Names.h"
#include "model/RecordText.h"
#include "model/TextKey.h"

namespace tavrel {

int PieceList::appendWithId(Piece piece) {
    ++idCounter;
    piece.internalId = InternalPieceId(idCounter);
    items_.push_back(std::move(piece));
    return count() - 1;
}

int PieceList::addOrMerge(Piece piece) {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].sameLine(piece)) {
            items_[i].quantity = SaturatingAdd(items_[i].quantity, piece.quantity);
            return static_cast<int>(i);
        }
    }
    return appendWithId(std::move(piece));
}

int PieceList::append(Piece piece) { return appendWithId(std::move(piece)); }

PieceList PieceList::filterByMaterials(const MaterialKeyList& keys) const {
    std::unordered_set<TextKey, TextKeyHash> wanted;
    for (const MaterialKey& key : keys) wanted.insert(TextKey{key.serie, key.code, key.treatment});
    PieceList result;
    PieceMergeIndex index(result);
    for (const Piece& piece : items_)
        if (wanted.count(TextKey{piece.serie, piece.code, piece.treatment}))
            index.addOrMerge(piece.duplicate());
    return result;
}

PieceList PieceList::piecesOfMaterial(const Material& material) const {
    MaterialKeyList keys;
    keys.add(material.key(), false);
    return filterByMaterials(keys);
}

MaterialList PieceList::materialsUsed(const MaterialList& catalogue, MaterialKeyList& missing) const {
    std::unordered_map<TextKey, int, TextKeyHash> entries;
    for (int i = 0; i < catalogue.count(); ++i) {
        const Material& m = catalogue.at(i);
        entries.emplace(TextKey{m.serie, m.code, m.treatment}, i);  // first entry wins
    }
    MaterialList result;
    std::unordered_set<TextKey, TextKeyHash> seen;
    for (const Piece& piece : items_) {
        TextKey key{piece.serie, piece.code, piece.treatment};
        if (!seen.insert(key).second) continue;
        const auto found = entries.find(key);
        if (found != entries.end()) {
            result.appendUnchecked(catalogue.at(found->second));
            continue;
        }
        if (!piece.treatment.empty()) missing.add(MaterialKey(piece.serie, piece.code, ""), true);
        missing.add(MaterialKey(piece.serie, piece.code, piece.treatment), true);
    }
    return result;
}

namespace {

// Piece indices by identifier (PieceIdKey), each list in ascending order.
using IdIndex = std::unordered_map<std::string, std::vector<int>>;

IdIndex IndexPieceIds(const PieceList& pieces) {
    IdIndex index;
    for (int i = 0; i < pieces.count(); ++i) index[PieceIdKey(pieces.at(i).pieceId)].push_back(i);
    return index;
}

}  // namespace

int PieceList::assignPieceIds() {
    IdIndex index = IndexPieceIds(*this);

    // Step 1: generated identifiers. The number is not reset between pieces, so the numbers
    // given in one run rise strictly.
    int generated = 0;
    long n = 0;
    for (int i = 0; i < count(); ++i) {
        Piece& piece = at(i);
        if (!piece.pieceId.empty()) continue;
        std::string candidate;
        do {
            ++n;
            candidate = GeneratedPieceId(n);
        } while (index.count(PieceIdKey(candidate)) != 0);
        index[PieceIdKey(candidate)].push_back(i);
        piece.pieceId = candidate;
        ++generated;
    }
    if (generated > 0) index = IndexPieceIds(*this);

    // Step 2: imported pieces sharing an identifier get suffixes; the first of them too.
    if (idMode != PiecesTyped) {
        for (int j = 0; j < count(); ++j) {
            const std::string d = Trim(at(j).pieceId);
            const std::string oldKey = PieceIdKey(d);
            const std::vector<int> matches = index[oldKey];
            if (matches.size() < 2) continue;
            index[oldKey].clear();
            for (std::size_t k = 0; k < matches.size(); ++k) {
                const int piece = matches[k];
                at(piece).pieceId = SuffixedPieceId(d, static_cast<long>(k));
                std::vector<int>& target = index[PieceIdKey(at(piece).pieceId)];
                target.insert(std::lower_bound(target.begin(), target.end(), piece), piece);
            }
        }
    }
    return generated;
}

struct PieceMergeIndex::Impl {
    struct LineKey {
        std::string serie, code, treatment, pieceId;
        double width, height;
        bool operator==(const LineKey& o) const {
            return serie == o.serie && code == o.code && treatment == o.treatment && width == o.width &&
                   height == o.height && pieceId == o.pieceId;
        }
    };
    struct LineHash {
        std::size_t operator()(const LineKey& k) const {
            std::size_t h = std::hash<std::string>()(k.serie);
            auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
            mix(std::hash<std::string>()(k.code));
            mix(std::hash<std::string>()(k.treatment));
            mix(std::hash<std::string>()(k.pieceId));
            mix(std::hash<double>()(k.width));
            mix(std::hash<double>()(k.height));
            return h;
        }
    };
    static LineKey keyOf(const Piece& p) {
        return LineKey{p.serie, p.code, p.treatment, p.pieceId, p.width, p.height};
    }
    std::unordered_map<LineKey, int, LineHash> first;
};

PieceMergeIndex::PieceMergeIndex(PieceList& list) : list_(list), impl_(std::make_unique<Impl>()) {
    impl_->first.reserve(static_cast<std::size_t>(list.count()) * 2);
    for (int i = 0; i < list.count(); ++i) impl_->first.emplace(Impl::keyOf(list.at(i)), i);
}

PieceMergeIndex::~PieceMergeIndex() = default;

int PieceMergeIndex::addOrMerge(Piece piece, bool* merged) {
    Impl::LineKey key = Impl::keyOf(piece);
    const auto found = impl_->first.find(key);
    if (found != impl_->first.end()) {
        Piece& target = list_.at(found->second);
        target.quantity = SaturatingAdd(target.quantity, piece.quantity);
        if (merged) *merged = true;
        return found->second;
    }
    if (merged) *merged = false;
    const int index = list_.appendWithId(std::move(piece));
    impl_->first.emplace(std::move(key), index);
    return index;
}

}  // namespace tavrel
