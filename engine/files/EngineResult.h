#pragma once
// The result file of an optimisation (and the machine file written from it): a header, then
// one block per cutting pattern, from BLOCKSTART to BLOCKEND, with the sub-blocks [PATTERN]
// (how many plates, plate size, thickness, position in the plate list), [CUT] (one line per
// piece), [OFFCUT] (one per reusable leftover) and [INFO] (one per piece identifier). The
// format is documented in engine/README.md; the program's splitter relies on its keywords.

#include <string>
#include <utility>
#include <vector>

#include "cutting/Types.h"
#include "files/EngineInput.h"

struct ResultPiece {
    engine::Length x = 0;  // tenths of a millimetre, plate coordinates
    engine::Length y = 0;
    engine::Length width = 0;  // cut size as placed (grinding allowance included)
    engine::Length height = 0;
    bool rotated = false;
    long number = 0;  // piece type number of the input
    std::string id;   // piece identifier
};

struct ResultOffcut {
    engine::Length x = 0;
    engine::Length y = 0;
    engine::Length width = 0;
    engine::Length height = 0;
};

struct ResultInfo {
    std::string id;
    long number = 0;
    engine::Length width = 0;  // finished size
    engine::Length height = 0;
    long count = 0;  // pieces of this identifier on one plate of the pattern
};

struct ResultPattern {
    long count = 1;            // plates cut with this pattern
    engine::Length width = 0;  // plate size
    engine::Length height = 0;
    long thickness = 0;   // hundredths of a millimetre
    long position = 0;    // 1-based position of the plate in the input
    long stockPlace = 0;  // the plate's place in its material's stock; 0 when the input gave none
    char firstCut = 'H';  // 'H' first cuts horizontal, 'V' vertical
    engine::Length trimX = 0;
    engine::Length trimY = 0;
    engine::Length kerf = 0;
    engine::Length minCutDistance = 0;
    bool offcutPlate = false;
    std::vector<ResultPiece> pieces;
    std::vector<ResultOffcut> offcuts;
    std::vector<ResultInfo> infos;
};

// The number a plan shows for the plate of a pattern ("plate 4"): its place in the material's
// stock, or its position in the input where the input named no place.
long PlateNumber(const ResultPattern& pattern);

struct ResultPlan {
    std::vector<std::pair<std::string, std::string>> header;  // key, value in file order
    std::vector<ResultPattern> patterns;

    std::string headerValue(const std::string& key) const;
    void setHeader(const std::string& key, const std::string& value);
};

// User texts (job, customer, order, material, piece identifiers, paths) are written escaped:
// "%", "K", "k", "[", "]" and control bytes as "%XX". Every marker a reader looks for anywhere in
// a line holds a "K" (BLOCKSTART, BLOCKAPPEND, BLOCKEND) or a "[" ([PATTERN], [CUT], ...), so a
// text can never fake one; the reader gives the texts back unchanged.
std::string EscapeResultText(const std::string& text);
std::string UnescapeResultText(const std::string& text);

std::string FormatResult(const ResultPlan& plan);
// The lines of one sub-block as FormatResult writes them (each line ends in "\n"; a cut line
// has none): the program's layout file repeats them under its own section names.
std::string PatternLines(const ResultPattern& pattern);
std::string CutLine(const ResultPiece& piece);
std::string OffcutLines(const ResultOffcut& offcut);
std::string InfoLines(const ResultInfo& info);
// Reads a result or machine file's text. Unknown keys and lines are skipped; returns false
// when no block could be read, or a block is left open.
bool ParseResult(const std::string& text, ResultPlan& out, std::string* error = nullptr);
// The one reader of result and machine files on disk: the engine, its layout viewer, the
// program's splitter and its stock update all read them through it.
bool ReadResultFile(const std::string& path, ResultPlan& out, std::string* error = nullptr);

// Decimal texts of engine lengths: tenths as "123.4", hundredths as "4.00".
std::string TenthsText(engine::Length v);
std::string HundredthsText(long v);
// Reads a decimal text as a whole number of 1/scale units, rounding to the nearest; false
// when the text is not a number.
bool ParseScaled(const std::string& text, long scale, engine::Length& out);
