#pragma once
// The engine input file: for one material, two fixed-width lines per usable plate (line A:
// size, stock, preference, first-cut letter; line B: the material's cutting lengths) and one
// line per piece. Every line is 190 characters; fields are read back column by column.

#include <string>
#include <vector>

struct EnginePlateRecord {
    std::string materialKey;
    long position = 0;  // 1-based position in the program's plate list
    // 1-based place of the plate among its material's plates in the program's stock (columns
    // 62-69, blank when the program gives none): what the plans call the plate, since the
    // position above is the place in a list sorted for the optimiser that no user ever sees.
    long stockPlace = 0;
    std::string customer;
    std::string order;
    long thickness = 0;  // hundredths of a millimetre
    long width = 0;      // tenths of a millimetre
    long height = 0;
    long quantity = 0;  // 99999: unlimited
    long priority = 0;  // higher first; 999 offcuts the job prefers, 0 unlimited plates
    long rank = 0;      // lower first among equal priorities
    std::string treatment;
    char orientation = 'R';  // 'L' first cuts vertical, 'Y' horizontal, 'R' either; lower case: offcut
    // Line B, tenths of a millimetre; 99990 means "no value".
    long minOffcutWidth = 0;   // p5
    long cutWidth = 0;         // p4
    long trimX = 0;            // p1
    long minOffcutHeight = 0;  // p6
    long trimY = 0;            // p2
    long minCutDistance = 0;   // p3
    long plateTrim = 99990;    // plate parameter: replaces p1 and p2 for this plate when set
    long grinding = 0;         // p7
    long weight = 0;           // tenths of the base weight unit
    std::string jobLabel;
};

struct EnginePieceRecord {
    std::string materialKey;
    long typeNumber = 0;
    std::string pieceKey;
    std::string customer;
    std::string order;
    long width = 0;  // tenths of a millimetre
    long height = 0;
    long quantity = 0;
    std::string text;
    std::string shortText;
    std::string pieceId;
    bool rotatable = false;  // 'S': the material lets pieces be turned
};

struct EngineInput {
    std::vector<EnginePlateRecord> plates;
    std::vector<EnginePieceRecord> pieces;
};

// Value of a length field that carries no value.
constexpr long kNoValue = 99990;
// Quantity of an unlimited plate.
constexpr long kUnlimited = 99999;

// Parses the text of an engine input file. Lines may end in "\r\n"; blank lines are skipped.
// Returns false with the line number and the reason in `error` on the first malformed line.
bool ParseEngineInput(const std::string& text, EngineInput& out, std::string* error = nullptr);
bool ReadEngineInput(const std::string& path, EngineInput& out, std::string* error = nullptr);
