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
inline EngineStatus EngineStatusOf(int value)
{
    return value >= 0 && value <= static_cast<int>(EngineStatus::InvalidPlan) ? static_cast<EngineStatus>(value)
                                                                              : EngineStatus::UnreadableInput;
}
