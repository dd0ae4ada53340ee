#pragma once
// One line of a job: a piece type and how many are wanted. Lengths are in the user's unit.

#include <string>

#include "model/StoredNumbers.h"

namespace tavrel {

struct EngineKey {
    std::string serie;
    std::string code;
    std::string treatment;
    bool operator==(const EngineKey& other) const = default;
};

struct Piece {
    std::string serie;      // cleaned (see Names.h)
    std::string code;       // cleaned
    std::string treatment;  // cleaned
    EngineKey engineKey;    // the material name the engine input uses; equal to the key above
    int quantity = 0;
    double width = 0.0;
    double height = 0.0;
    std::string internalId;  // "INT_ID_%09ld", given by the owning list; empty until added
    std::string pieceId;     // what the user sees; empty: not yet given
    std::string text1;       // filled only by the spreadsheet import
    std::string text2;
    std::string text3;

    // The sizes as the job file held them (see StoredNumbers.h).
    enum StoredSlot : std::size_t { StoredWidth, StoredHeight, StoredSlots };
    StoredNumbers<StoredSlots> stored;

    Piece() = default;
    // Cleans the three material texts and sets engineKey from them. The other texts are taken as
    // they are, except that a line break inside one (which no file could hold) becomes a blank.
    Piece(std::string serie, std::string code, std::string treatment, double width, double height,
          int quantity, std::string pieceId = "", std::string text1 = "", std::string text2 = "",
          std::string text3 = "");

    // A new piece built from this one's values: cleaned again, internalId empty.
    Piece duplicate() const;

    // Equal for merging: material, size (exact) and pieceId (case-sensitive).
    bool sameLine(const Piece& other) const;

    bool operator==(const Piece& other) const = default;
};

}  // namespace tavrel
