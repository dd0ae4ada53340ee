#pragma once
// Why an optimise call produced no result: the status the engine library writes through the
// last argument of LoadEditor, which the program maps onto its own messages.

enum class EngineStatus {
    Ok = 0,
    UnreadableInput = 1,   // input file missing or malformed
    PieceTooLarge = 2,     // a piece fits on no plate of the stock
    StockTooSmall = 3,     // the plates in stock cannot take every piece
    CannotWrite = 4,       // result or machine file could not be written
    UnreadableResult = 5,  // the machine-file call got no readable result file
    InvalidPlan = 6,       // the best plan broke a cutting rule when checked: nothing is returned
};

// The status of a number written by the library; an unknown number counts as an unreadable input.
inline EngineStatus EngineStatusOf(int value) {
    return value >= 0 && value <= static_cast<int>(EngineStatus::InvalidPlan)
               ? static_cast<EngineStatus>(value)
               : EngineStatus::UnreadableInput;
}

#include <string>

// What the engine tells beside its status when it made no plan, as data the program turns into
// its own messages. Lengths in tenths of a millimetre, areas in square tenths.
struct EngineReport {
    EngineStatus status = EngineStatus::Ok;
    std::string pieceId;   // PieceTooLarge: the first piece that fits no usable plate
    long pieceNumber = 0;  // its piece type number in the input
    long pieceWidth = 0;   // its finished size
    long pieceHeight = 0;
    long piecesLeft = 0;  // StockTooSmall: pieces the stock could not take, of all pieces
    long piecesTotal = 0;
    long long areaLeft = 0;  // their finished area
    // StockTooSmall: usable plate area the stock lacks (cut sizes, allowances included); 0 when
    // the area would do and only plates of the right shape are missing.
    long long areaLacking = 0;
    std::string detail;  // UnreadableInput: what the reader said
};

// The report beside an engine input file: written by the engine when it makes no result.
std::string EngineReportPath(const std::string& inputPath);
std::string FormatEngineReport(const EngineReport& report);
bool ParseEngineReport(const std::string& text, EngineReport& out);
// False when there is no readable report.
bool ReadEngineReport(const std::string& path, EngineReport& out);
