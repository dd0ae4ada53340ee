#include "pieces/PieceData.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

#include "common/TextUtils.h"
#include "common/UserPrompt.h"
#include "model/Names.h"
#include "model/PieceList.h"
#include "model/RecordText.h"
#include "model/ShapeSections.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

// The cleaning both boxes share: blanks in front dropped, then `replace`, then what is left
// trimmed. A replaced character keeps the length, so the caret stays; blanks dropped in front
// take it back with them; it never goes past the text.
template <typename Replace>
bool CleanTyped(std::string& text, int* caret, Replace&& replace) {
    const std::string typed = text;
    std::size_t lead = 0;
    while (lead < typed.size() && std::isspace(static_cast<unsigned char>(typed[lead]))) ++lead;
    const std::string clean = Trim(replace(typed.substr(lead)));
    text = clean;
    if (clean == typed) return false;
    if (caret) *caret = std::max(0, std::min(*caret - int(lead), int(clean.size())));
    return true;
}

std::string CutId(const std::string& id) { return LeadingBytes(id, kMaxPieceIdLength); }

}  // namespace

bool CleanTypedPieceId(std::string& text, int* caret) {
    // A blank inside or at the end is replaced, not trimmed: typing "A B" key by key must give
    // A_B, where trimming first would swallow the blank as soon as it was typed.
    return CleanTyped(text, caret, [](const std::string& t) { return CleanSerieOrCode(CutId(t)); });
}

bool CleanTypedPieceText(std::string& text, int* caret) {
    return CleanTyped(text, caret, [](const std::string& t) { return CleanTreatment(t); });
}

bool PieceIdIsFree(const std::string& id, const PieceList& pieces, int skipIndex) {
    const std::string wanted = CutId(id);
    for (int i = 0; i < pieces.count(); ++i)
        if (i != skipIndex && SamePieceId(wanted, pieces.at(i).pieceId)) return false;
    return true;
}

bool CheckPieceIdFree(const std::string& id, const PieceList& pieces, int skipIndex, UserPrompt& prompt) {
    if (PieceIdIsFree(id, pieces, skipIndex)) return true;
    Warn(prompt, "00130");
    return false;
}

std::string ShapePathRule::pathFor(double width, double height) const {
    // Typed sizes have at most three decimals, so the margin only absorbs the binary error of
    // a difference like 1200.1 - 1200, never a real change.
    constexpr double kWithin = 0.1 + 1e-6;
    const bool sameSize = std::fabs(width - width_) <= kWithin && std::fabs(height - height_) <= kWithin;
    return sameSize ? path_ : std::string();
}

PieceDataForm FormOf(const Piece& piece, bool existing) {
    PieceDataForm form;
    if (!Trim(piece.serie).empty()) form.material = piece.serie + ", " + piece.code;
    form.treatment = piece.treatment;
    form.pieceId = existing ? Trim(piece.pieceId) : piece.pieceId;
    form.quantity = std::to_string(piece.quantity);
    const std::string format = LengthFormat(1);
    form.width = FormatNumber(format, piece.width);
    form.height = FormatNumber(format, piece.height);
    form.shapePath = piece.text1;
    form.text2 = piece.text2;
    form.text3 = piece.text3;
    return form;
}

void RoundPieceForm(PieceDataForm& form) {
    if (NearlyEqual(LinearFactor(), 1.0)) return;
    auto length = [](std::string& text) {
        text = FormatNumber(LengthFormat(1), ToSystemScaledValue(ParseReal(text), 10, 1));
    };
    length(form.width);
    length(form.height);
}

std::string PieceDataMessage(PieceDataCheck check) {
    switch (check) {
        case PieceDataCheck::NoMaterial:
            return "00091";
        case PieceDataCheck::IdTaken:
            return "00130";
        case PieceDataCheck::IdEmpty:
            return "00179";
        case PieceDataCheck::BadValues:
            return "00095";
        case PieceDataCheck::Ok:
            break;
    }
    return std::string();
}

PieceDataCheck CheckPieceForm(const PieceDataForm& form, const PieceList& pieces, int skipIndex,
                              UserPrompt& prompt) {
    auto check = [&]() {
        if (Trim(form.material).empty()) return PieceDataCheck::NoMaterial;
        if (!PieceIdIsFree(form.pieceId, pieces, skipIndex)) return PieceDataCheck::IdTaken;
        if (Trim(CutId(form.pieceId)).empty()) return PieceDataCheck::IdEmpty;
        // A quantity beyond what a piece holds would wrap round to a negative one.
        const long quantity = ToLong(form.quantity);
        const double width = ParseReal(form.width);
        const double height = ParseReal(form.height);
        if (quantity < 1 || quantity > INT_MAX || !(width > 0.0) || !(height > 0.0) ||
            !std::isfinite(width) || !std::isfinite(height))
            return PieceDataCheck::BadValues;
        return PieceDataCheck::Ok;
    };
    const PieceDataCheck result = check();
    if (result != PieceDataCheck::Ok) Warn(prompt, PieceDataMessage(result));
    return result;
}

void ApplyPieceForm(const PieceDataForm& form, Piece& piece) {
    const auto comma = form.material.find(',');
    std::string serie = form.material.substr(0, comma);
    std::string code;
    if (comma != std::string::npos) {
        code = form.material.substr(comma + 1);
        if (!code.empty() && code[0] == ' ') code.erase(0, 1);
    }
    // Built through the constructor so the material texts are cleaned and the engine key set.
    Piece edited(serie, code, form.treatment, ParseReal(form.width), ParseReal(form.height),
                 int(ToLong(form.quantity)), Trim(CutId(form.pieceId)), form.shapePath, form.text2,
                 form.text3);
    edited.internalId = piece.internalId;
    edited.stored = piece.stored;
    piece = edited;
}

bool UpdatePieceShapes(const ShapeSections& shapes, const std::string& oldId, const std::string& newId,
                       bool pathDropped) {
    if (pathDropped) return shapes.deleteShapes(oldId);
    if (Trim(oldId) == Trim(newId)) return true;
    return shapes.renameShapes(oldId, newId);
}

}  // namespace tavrel
