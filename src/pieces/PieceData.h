#pragma once
// The rules of the piece data window: what the identifier and the free texts accept while
// typed, the identifier's uniqueness within the job, the shape path that a size change drops,
// the rounding of typed sizes and the OK check that writes the values into the piece.

#include <string>

namespace tavrel {

struct Piece;
class PieceList;
class ShapeSections;
class UserPrompt;

// The identifier as typed, cleaned: blanks in front dropped, cut to 16 characters, every
// character a section name may not hold (the blank among them) replaced by "_", trimmed. `caret`, when given,
// is the caret after the typed text and receives where it goes in the cleaned one. True when the text
// changed.
bool CleanTypedPieceId(std::string& text, int* caret = nullptr);
// A free text as typed: blanks in front dropped, the characters a treatment may not hold
// replaced by "_", trimmed.
bool CleanTypedPieceText(std::string& text, int* caret = nullptr);

// True when no piece of `pieces` other than the one at `skipIndex` (-1 while adding) has the
// identifier (cut to 16 characters; compared trimmed, in any letter case).
bool PieceIdIsFree(const std::string& id, const PieceList& pieces, int skipIndex);
// As PieceIdIsFree; when taken, tells the user so ("00130").
bool CheckPieceIdFree(const std::string& id, const PieceList& pieces, int skipIndex, UserPrompt& prompt);

// The shape file path of a piece belongs to its size: the path shows while both typed sizes are
// within 0.1 of the size the piece had, and is dropped once either moves further.
class ShapePathRule {
public:
    ShapePathRule(double width, double height, std::string path)
        : width_(width), height_(height), path_(std::move(path)) {}
    // What the path box shows for the typed sizes.
    std::string pathFor(double width, double height) const;
    const std::string& original() const { return path_; }

private:
    double width_;
    double height_;
    std::string path_;
};

// The texts of the window's boxes, as the user left them.
struct PieceDataForm {
    std::string material;   // "serie, code" as the material list shows it
    std::string treatment;  // empty for the base material
    std::string pieceId;
    std::string quantity;
    std::string width;
    std::string height;
    std::string shapePath;  // what the path box shows
    std::string text2;
    std::string text3;
};

// The form as the window opens on `piece`: the identifier trimmed when the piece exists.
PieceDataForm FormOf(const Piece& piece, bool existing);

// The typed sizes brought to what the engine will cut when the unit is not millimetres; in
// millimetres nothing changes.
void RoundPieceForm(PieceDataForm& form);

enum class PieceDataCheck { Ok, NoMaterial, IdTaken, IdEmpty, BadValues };
// The message of a failed check ("00091", "00130", "00179", "00095"); empty for Ok.
std::string PieceDataMessage(PieceDataCheck check);
// The OK checks in order; the first that fails is told to the user and returned.
PieceDataCheck CheckPieceForm(const PieceDataForm& form, const PieceList& pieces, int skipIndex,
                              UserPrompt& prompt);
// Writes the form into the piece (material split at the first ","; texts cleaned as a piece's
// always are). Call only after CheckPieceForm answered Ok.
void ApplyPieceForm(const PieceDataForm& form, Piece& piece);

// The shape sections after OK: an identifier changed takes the piece's sections along; a shape
// path dropped by a size change drops them too, so no later paste copies a stale shape.
bool UpdatePieceShapes(const ShapeSections& shapes, const std::string& oldId, const std::string& newId,
                       bool pathDropped);

}  // namespace tavrel
