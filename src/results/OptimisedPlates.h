#pragma once
// The rows of the optimised-plates review: every candidate plate of one material's optimisation,
// how many the result uses, what would remain, and whether the used area stays below the plate's
// minimum lot. The window shows these rows; the rules live here.

#include <string>
#include <vector>

namespace tavrel {

class PlateList;

struct OptimisedPlateRow {
    int index = 0;  // the candidate's index in the plate list (the row data)
    int kind = 0;
    int stock = 0;
    int used = 0;
    int remaining = 0;
    double width = 0.0;
    double height = 0.0;
    double usedArea = 0.0;
    double minimumLot = 0.0;
    bool warning = false;
    bool ticked = false;  // as the review opens: not marked and used
};

// Builds one row per candidate and stores each used count in the candidate's usedCount.
std::vector<OptimisedPlateRow> BuildOptimisedRows(PlateList& candidates, const PlateList& usedPlates);
bool AnyWarning(const std::vector<OptimisedPlateRow>& rows);

// The text a column shows for a row (columns 0..6).
std::string OptimisedCellText(const OptimisedPlateRow& row, int column);
// Column headers with their unit labels.
std::string OptimisedColumnHeader(int column);
// Row order for a column: negative when a comes first. `direction` above 0 reverses.
int CompareOptimisedRows(const OptimisedPlateRow& a, const OptimisedPlateRow& b, int column, int direction);
// Sorts rows as the window does for a click on `column` with the given direction.
void SortOptimisedRows(std::vector<OptimisedPlateRow>& rows, int column, int direction);

// The review's column directions: every column starts at 1, a header click toggles its column's
// direction and sorts by it, so a second click on the same column reverses the order.
class OptimisedPlatesOrder {
public:
    static constexpr int kColumns = 7;
    // The opening order: used count, highest first (column 2 toggled to 0, sorted, toggled back
    // to 1 and sorted again).
    void Open(std::vector<OptimisedPlateRow>& rows);
    // A click on a column header; out-of-range columns change nothing.
    void Click(std::vector<OptimisedPlateRow>& rows, int column);
    int direction(int column) const { return column >= 0 && column < kColumns ? directions_[column] : 1; }

private:
    int directions_[kColumns] = {1, 1, 1, 1, 1, 1, 1};
};

// The ticks the restore button gives back: exactly the rows the opening rule ticks.
std::vector<bool> OpeningTicks(const std::vector<OptimisedPlateRow>& rows);

// On closing, by either button: a ticked row's plate is unmarked, every other plate marked.
void ApplyTicks(PlateList& candidates, const std::vector<OptimisedPlateRow>& rows,
                const std::vector<bool>& ticked);

}  // namespace tavrel
