#include "pieces/PieceRows.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "common/TextUtils.h"
#include "model/Job.h"
#include "model/MaterialList.h"
#include "model/PieceList.h"
#include "model/RecordText.h"
#include "model/ShapeSections.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

// Where the digits that end `text` begin (text.size() when it does not end in one).
std::size_t DigitsStart(const std::string& text) {
    std::size_t start = text.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1]))) --start;
    return start;
}

// Two runs of decimal digits compared by value, however long they are: an identifier may end in
// more digits than any integer type holds.
int CompareDigitRuns(const std::string& a, const std::string& b) {
    const auto significant = [](const std::string& digits) {
        const auto first = digits.find_first_not_of('0');
        return first == std::string::npos ? std::string() : digits.substr(first);
    };
    const std::string x = significant(a);
    const std::string y = significant(b);
    if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
    const int c = x.compare(y);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

}  // namespace

PieceRow MakePieceRow(const Piece& piece, const MaterialList& catalogue, int index) {
    PieceRow row;
    row.itemData = index;
    const std::string format = LengthFormat(1);
    row.columns = {piece.pieceId,
                   std::to_string(piece.quantity),
                   FormatNumber(format, piece.width),
                   FormatNumber(format, piece.height),
                   Trim(piece.serie),
                   Trim(piece.code),
                   catalogue.labelFor(piece.serie, piece.code, piece.treatment),
                   std::to_string(index + 1)};
    return row;
}

int ComparePieceIds(const std::string& a, const std::string& b) {
    // Generated identifiers carry trailing spaces, which would hide their numbers.
    const std::string x = Trim(a);
    const std::string y = Trim(b);
    const std::size_t xs = DigitsStart(x);
    const std::size_t ys = DigitsStart(y);
    if (xs < x.size() && ys < y.size() && xs == ys && EqualsNoCase(x.substr(0, xs), y.substr(0, ys)))
        return CompareDigitRuns(x.substr(xs), y.substr(ys));
    return Sign(x.compare(y));
}

void PieceRows::Fill(const PieceList& pieces, const MaterialList& catalogue) {
    rows_.clear();
    for (int i = 0; i < pieces.count(); ++i) rows_.push_back(MakePieceRow(pieces.at(i), catalogue, i));
}

void PieceRows::Append(const PieceList& pieces, const MaterialList& catalogue, int index) {
    if (index < 0 || index >= pieces.count()) return;
    rows_.push_back(MakePieceRow(pieces.at(index), catalogue, index));
}

void PieceRows::Refill(int row, const PieceList& pieces, const MaterialList& catalogue) {
    if (row < 0 || row >= count()) return;
    const int index = rows_[size_t(row)].itemData;
    if (index < 0 || index >= pieces.count()) return;
    rows_[size_t(row)] = MakePieceRow(pieces.at(index), catalogue, index);
}

std::vector<int> PieceRows::PieceIndices(const std::vector<int>& rows) const {
    std::vector<int> indices;
    for (int row : rows)
        if (row >= 0 && row < count()) indices.push_back(rows_[size_t(row)].itemData);
    return indices;
}

int PieceRows::Delete(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    int lowest = -1;
    for (int row : rows) {
        if (row < 0 || row >= count()) continue;
        const int index = rows_[size_t(row)].itemData;
        rows_.erase(rows_.begin() + row);
        for (PieceRow& r : rows_)
            if (r.itemData > index) {
                --r.itemData;
                r.columns[7] = std::to_string(r.itemData + 1);
            }
        lowest = row;
    }
    if (rows_.empty()) return -1;
    if (lowest < 0) return 0;
    return lowest > 0 ? std::min(lowest - 1, count() - 1) : 0;
}

void PieceRows::SortByColumn(int column) {
    if (column < 0 || column >= int(direction_.size())) return;
    sortColumn_ = column;
    int& d = direction_[size_t(column)];
    d = 1 - d;
    const bool numeric = column == 1 || column == 2 || column == 3 || column == 7;
    auto byIndex = [](const PieceRow& a, const PieceRow& b) {
        return a.itemData < b.itemData ? -1 : (a.itemData > b.itemData ? 1 : 0);
    };
    auto compare = [&](const PieceRow& a, const PieceRow& b) {
        const std::string& x = a.columns[size_t(column)];
        const std::string& y = b.columns[size_t(column)];
        if (numeric) {
            const double u = ParseReal(x);
            const double v = ParseReal(y);
            if (u != v) return u < v ? -1 : 1;
            return byIndex(a, b);
        }
        if (column == 0) {
            const int c = ComparePieceIds(x, y);
            return c != 0 ? c : byIndex(a, b);
        }
        return Sign(x.compare(y));
    };
    const bool descending = d > 0;
    std::stable_sort(rows_.begin(), rows_.end(), [&](const PieceRow& a, const PieceRow& b) {
        const int c = compare(a, b);
        return descending ? c > 0 : c < 0;
    });
}

int DeletePieces(Job& job, PieceRows& rows, const std::vector<int>& selected, const ShapeSections& shapes) {
    const std::vector<int> indices = rows.PieceIndices(selected);
    for (int index : indices) shapes.deleteShapes(job.pieces.at(index).pieceId);
    job.pieces.removeIndices(indices);
    return rows.Delete(selected);
}

PieceTotals TotalsOf(const PieceList& pieces) {
    PieceTotals totals;
    totals.rows = pieces.count();
    double perimeter = 0.0;
    for (int i = 0; i < pieces.count(); ++i) {
        const Piece& p = pieces.at(i);
        totals.quantity += p.quantity;
        perimeter += 2.0 * p.quantity * (p.width + p.height);
    }
    if (IsMillimetres())
        perimeter /= 1000.0;
    else if (IsInches())
        perimeter /= 12.0;
    totals.perimeter = perimeter;
    return totals;
}

std::string PerimeterText(double perimeter) {
    return Format("%.2lf %s", perimeter, UnitInUse().lengthLabel.c_str());
}

}  // namespace tavrel
