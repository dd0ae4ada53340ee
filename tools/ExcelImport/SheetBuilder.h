#pragma once
// Collects the cells a reader finds, in any order, within the sheet bounds of Sheet.h, and
// hands them over as a Sheet. Shared by the three readers so every one keeps the same limits.

#include <map>
#include <string>

#include "Sheet.h"

namespace tavrel {

class SheetBuilder {
public:
    // Places a text; empty texts are not kept. False with the reason in `error` when the cell is
    // outside the sheet bounds or the sheet holds too many cells.
    bool set(long row, long column, std::string text, std::string& error);
    // Moves the rows, in row order, into `sheet`.
    void finish(Sheet& sheet);

private:
    std::map<long, SheetRow> rows_;
    long cells_ = 0;
};

}  // namespace tavrel
