#pragma once
// The rules of the plates window's list: one row per catalogue plate, the texts of its nine
// columns, the column sort, the multi-key sort, the renumbering after a merge or a delete, the
// order the catalogue is stored in, and the marking of a plate the optimisation cannot use.

#include <array>
#include <string>
#include <vector>

#include "model/MaterialList.h"
#include "model/PlateList.h"

namespace tavrel {

enum PlateColumn {
    ColumnKind,
    ColumnQuantity,
    ColumnWidth,
    ColumnHeight,
    ColumnMinimumLot,
    ColumnSerie,
    ColumnCode,
    ColumnTreatment,
    ColumnNumber,
    PlateColumns
};

struct PlateRow {
    std::array<std::string, PlateColumns> columns;
    int itemData = 0;  // index of the plate in the catalogue
    // The quantity column shows the unlimited text: it sorts after every count and counts as 0
    // in the multi-key sort, whatever the translation of that text looks like.
    bool unlimited = false;
    // A plate the optimisation cannot be given: it stays in the catalogue, marked, until the
    // user changes or deletes it, so nothing a hand-edited file holds is lost unseen.
    bool unusable = false;
    std::string reason;  // why, for the row's tooltip and the window's note
};

// "00131", "00069" or "00132" for kinds 0, 1, 2 (an unknown kind reads as ordinary).
std::string PlateKindText(int kind);
// Headers with the unit labels of the current unit.
std::string PlateColumnHeader(int column);
// The reason a plate cannot be used ("" when it can): the data window's message for a value
// out of range followed by the wrong fields' labels.
std::string UnusableReason(const StockPlate& plate);
PlateRow MakePlateRow(const StockPlate& plate, const MaterialList& materials, int itemData);

class PlateRows {
public:
    // One row per plate, in catalogue order; sort directions and the sort column reset.
    void fill(const PlateList& plates, const MaterialList& materials);
    int count() const { return int(rows_.size()); }
    const PlateRow& at(int row) const { return rows_[size_t(row)]; }
    // The row whose item data is `itemData`, -1 when none.
    int rowOf(int itemData) const;
    // Refills the row of the plate at `index`, appending one when it has none; returns the row.
    int show(const PlateList& plates, const MaterialList& materials, int index);
    // The plate with item data `itemData` left the catalogue (merged or deleted): its row goes
    // and the rows of later plates move up a number.
    void removePlate(int itemData);
    // Removes the given rows (and their plates' numbers, as above). Returns the row to select:
    // the one before the lowest deleted row (0 when that was the first), -1 when none remain.
    int deleteRows(std::vector<int> rows);
    // Recomputes the treatment column after the material catalogue changed.
    void refreshTreatments(const PlateList& plates, const MaterialList& materials);

    // A column click: the first ascending, the next descending.
    void sortByColumn(int column);
    // Serie, code, treatment, kind, area, width, height, quantity; without regard to case.
    void sortByKeys();
    int sortColumn() const { return sortColumn_; }
    // 0 ascending, 1 descending: the direction of the last sort.
    int lastDirection() const { return lastDirection_; }
    // "MIN ---> MAX" or "MAX ---> MIN" for the last sort.
    std::string directionText() const;
    // The multi-key sort's text for static 1085.
    static std::string keysText();

    // The catalogue index of each row from top to bottom, for saving in the order shown.
    std::vector<int> storeOrder() const;

private:
    std::vector<PlateRow> rows_;
    std::array<int, PlateColumns> direction_{1, 1, 1, 1, 1, 1, 1, 1, 1};
    int keysDirection_ = 1;
    int sortColumn_ = -1;
    int lastDirection_ = 0;
};

// The multi-key sort key of a row, built from its shown texts.
std::string PlateSortKey(const PlateRow& row);

}  // namespace tavrel
