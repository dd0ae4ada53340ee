#pragma once
// The rules of the pieces list in the editor: the texts of a row, the column sort (identifier
// numbers compared as numbers, so PZ_2 comes before PZ_10), deleting rows with the renumbering
// that follows, and the totals under the list. The window only shows the rows this builds.

#include <array>
#include <string>
#include <vector>

namespace tavrel {

struct Job;
struct Piece;
class MaterialList;
class PieceList;
class ShapeSections;

// One row of the pieces list.
struct PieceRow {
    std::array<std::string, 8> columns;  // identifier, quantity, width, height, serie, code,
                                         // material label, row number
    int itemData = 0;                    // index of the piece in the job
};

PieceRow MakePieceRow(const Piece& piece, const MaterialList& catalogue, int index);

// Order of two piece identifiers in the list: when both end in digits behind equal texts (in
// any letter case), by the numbers; otherwise byte by byte. Negative, 0 or positive.
int ComparePieceIds(const std::string& a, const std::string& b);

class PieceRows {
public:
    // One row per piece, in job order.
    void Fill(const PieceList& pieces, const MaterialList& catalogue);
    int count() const { return int(rows_.size()); }
    const PieceRow& at(int row) const { return rows_[size_t(row)]; }
    void Append(const PieceList& pieces, const MaterialList& catalogue, int index);
    // Rewrites the row (after a change or a new catalogue), keeping its place.
    void Refill(int row, const PieceList& pieces, const MaterialList& catalogue);
    // The piece indices of the given rows (rows out of range are left out).
    std::vector<int> PieceIndices(const std::vector<int>& rows) const;

    // Removes the given rows; every row whose piece came after a removed one moves up a number.
    // Returns the row to select: the one before the lowest removed row (0 when that was the
    // first), -1 when no row is left.
    int Delete(std::vector<int> rows);

    // Sorts by a column clicked: the first click ascending, the next descending. Quantity, sizes
    // and row number compare as numbers, equal ones by piece index; the identifier as
    // ComparePieceIds; the material texts as bytes.
    void SortByColumn(int column);
    int sortColumn() const { return sortColumn_; }

private:
    std::vector<PieceRow> rows_;
    std::array<int, 8> direction_{1, 1, 1, 1, 1, 1, 1, 1};
    int sortColumn_ = -1;
};

// Deletes the pieces of the selected rows: their shape sections, the pieces themselves and
// their rows. Returns the row to select as PieceRows::Delete does.
int DeletePieces(Job& job, PieceRows& rows, const std::vector<int>& selected, const ShapeSections& shapes);

// The figures under the list.
struct PieceTotals {
    int rows = 0;
    long long quantity = 0;
    double perimeter = 0.0;  // in the large length unit (m or ft)
};
// Perimeter: 2 x quantity x (width + height) over all pieces, in metres for millimetres and in
// feet for inches.
PieceTotals TotalsOf(const PieceList& pieces);
// "%.2lf" of the perimeter and the large length unit's label.
std::string PerimeterText(double perimeter);

}  // namespace tavrel
