#pragma once
// The pieces of a job, in order. Equal lines merge; every appended piece gets an internal
// identifier from a counter that never goes down while the list lives.

#include <memory>
#include <string>
#include <vector>

#include "model/MaterialKey.h"
#include "model/OwningList.h"
#include "model/Piece.h"

namespace tavrel {

struct Material;
class MaterialList;

// Where the pieces came from; imported identifiers are made distinct by assignPieceIds.
enum PieceIdMode : int { PiecesTyped = 0, PiecesFromJobList = 1, PiecesFromSpreadsheet = 2 };

class PieceList : public OwningList<Piece> {
public:
    int idCounter = 0;
    int idMode = PiecesTyped;

    // Adds the quantity to the first equal line (Piece::sameLine) and returns its index, or
    // appends the piece with a new internal identifier and returns its new index.
    int addOrMerge(Piece piece);
    // Appends without looking for an equal line, with a new internal identifier.
    int append(Piece piece);
    // clear() empties the list; the counter stays, so identifiers are never reused.

    // A new list (counter from 0, mode typed) with copies of the pieces whose material is in
    // `keys`, merged as addOrMerge does.
    PieceList filterByMaterials(const MaterialKeyList& keys) const;
    PieceList piecesOfMaterial(const Material& material) const;
    // The catalogue entries of every distinct piece material, in order of first use. A material
    // missing from the catalogue adds to `missing` (without duplicates) its base key (empty
    // treatment) when it has a treatment, then its own key.
    MaterialList materialsUsed(const MaterialList& catalogue, MaterialKeyList& missing) const;

    // Gives an identifier to every piece without one and, for imported pieces, makes clashing
    // identifiers distinct with suffixes. Returns how many identifiers were generated (the
    // renamings are not counted).
    int assignPieceIds();

    bool operator==(const PieceList& other) const = default;

private:
    friend class PieceMergeIndex;
    int appendWithId(Piece piece);
};

// Does what PieceList::addOrMerge does for many pieces in a row, with a hash index instead of a
// scan per piece. The list must not be changed by other means while the index lives.
class PieceMergeIndex {
public:
    explicit PieceMergeIndex(PieceList& list);
    ~PieceMergeIndex();
    PieceMergeIndex(const PieceMergeIndex&) = delete;
    PieceMergeIndex& operator=(const PieceMergeIndex&) = delete;

    int addOrMerge(Piece piece, bool* merged = nullptr);

private:
    struct Impl;
    PieceList& list_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tavrel
