#include "model/Piece.h"

#include "model/Names.h"
#include "model/RecordText.h"

namespace tavrel {

namespace {

// A line break or NUL inside a key becomes the blank it would be saved as before the key is
// cleaned, so the key in memory is the one a reload gives.
std::string Storable(std::string text) {
    MakeStorable(text, false);
    return text;
}

}  // namespace

Piece::Piece(std::string serie_, std::string code_, std::string treatment_, double width_, double height_,
             int quantity_, std::string pieceId_, std::string text1_, std::string text2_, std::string text3_)
    : serie(CleanSerieOrCode(Storable(std::move(serie_)))),
      code(CleanSerieOrCode(Storable(std::move(code_)))),
      treatment(CleanTreatment(Storable(std::move(treatment_)))),
      quantity(quantity_),
      width(width_),
      height(height_),
      pieceId(std::move(pieceId_)),
      text1(std::move(text1_)),
      text2(std::move(text2_)),
      text3(std::move(text3_)) {
    engineKey = EngineKey{serie, code, treatment};
    // The texts travel in ";" records of the job file; making them storable here, where every
    // piece is entered, imported or loaded, keeps what the user sees equal to what is saved.
    MakeStorable(pieceId, true);
    MakeStorable(text1, true);
    MakeStorable(text2, true);
    MakeStorable(text3, true);
}

Piece Piece::duplicate() const {
    Piece copy(serie, code, treatment, width, height, quantity, pieceId, text1, text2, text3);
    copy.stored = stored;
    return copy;
}

bool Piece::sameLine(const Piece& other) const {
    return serie == other.serie && code == other.code && treatment == other.treatment &&
           width == other.width && height == other.height && pieceId == other.pieceId;
}

}  // namespace tavrel
