#include "results/OptimisedPlates.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "common/TextUtils.h"
#include "model/PlateList.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"

namespace tavrel {

std::vector<OptimisedPlateRow> BuildOptimisedRows(PlateList& candidates, const PlateList& usedPlates) {
    std::vector<OptimisedPlateRow> rows;
    // Square metres of the plate, then the user's area unit, which the minimum lot is held in:
    // the area factor turns a user's area into square metres, so its inverse goes the other way.
    const double l = LinearFactor();
    const double a = InverseAreaFactor();
    for (int i = 0; i < candidates.count(); ++i) {
        StockPlate& plate = candidates.at(i);
        OptimisedPlateRow row;
        row.index = i;
        row.kind = plate.kind;
        for (const StockPlate& used : usedPlates) {
            if (used.sourceIndex == i) {
                row.used = used.quantity;
                break;
            }
        }
        plate.usedCount = row.used;
        row.stock = plate.quantity;
        row.remaining = row.stock - row.used;
        row.width = plate.width;
        row.height = plate.height;
        row.usedArea = (plate.width * l / 1000.0) * (plate.height * l / 1000.0) * a * row.used;
        row.minimumLot = plate.minimumLot;
        row.warning = plate.minimumLot > row.usedArea && row.used > 0;
        row.ticked = plate.selected == 0 && row.used > 0;
        rows.push_back(row);
    }
    return rows;
}

bool AnyWarning(const std::vector<OptimisedPlateRow>& rows) {
    return std::any_of(rows.begin(), rows.end(), [](const OptimisedPlateRow& r) { return r.warning; });
}

std::string OptimisedCellText(const OptimisedPlateRow& row, int column) {
    const bool unlimited = row.kind == PlateUnlimited;
    const std::string fmt = LengthFormat(1);
    switch (column) {
        case 0:
            return Msg(row.kind == 0 ? "00131" : row.kind == 1 ? "00069" : "00132");
        case 1:
            return unlimited ? Msg("00153") : Format("%d", row.stock);
        case 2:
            return Format("%d", row.used);
        case 3:
            return unlimited ? Msg("00153") : Format("%d", row.remaining);
        case 4:
            return FormatNumber(fmt, row.width) + " x " + FormatNumber(fmt, row.height);
        case 5:
            return FormatNumber(fmt, row.usedArea);
        case 6:
            return FormatNumber(fmt, row.minimumLot);
        default:
            return std::string();
    }
}

std::string OptimisedColumnHeader(int column) {
    static const char* const ids[] = {"00146", "00148", "00149", "00150", "00155", "00151", "00129"};
    if (column < 0 || column > 6) return std::string();
    std::string header = Msg(ids[column]);
    const std::string length = WithLinearLabel();
    if (column == 4) header += " [" + length + " x " + length + "]";
    if (column == 5 || column == 6) header += " [" + WithAreaLabel() + "]";
    return header;
}

namespace {

// Stock and remaining: a number when the cell starts with a digit, else (unlimited) very large.
double CountValue(const std::string& cell) {
    std::string t = cell;
    t.erase(0, t.find_first_not_of(" \t"));
    if (t.empty() || !std::isdigit(static_cast<unsigned char>(t[0]))) return 999999999.0;
    return std::strtod(t.c_str(), nullptr);
}

double SizeValue(const std::string& cell) {
    auto x = cell.find('x');
    if (x == std::string::npos) return std::strtod(cell.c_str(), nullptr);
    return std::strtod(cell.substr(0, x).c_str(), nullptr) * std::strtod(cell.substr(x + 1).c_str(), nullptr);
}

}  // namespace

int CompareOptimisedRows(const OptimisedPlateRow& a, const OptimisedPlateRow& b, int column, int direction) {
    const std::string ta = OptimisedCellText(a, column);
    const std::string tb = OptimisedCellText(b, column);
    int result = 0;
    if (column == 0) {
        result = ta < tb ? -1 : ta > tb ? 1 : 0;
    } else {
        double va, vb;
        if (column == 1 || column == 3) {
            va = CountValue(ta);
            vb = CountValue(tb);
        } else if (column == 4) {
            va = SizeValue(ta);
            vb = SizeValue(tb);
        } else {
            va = std::strtod(ta.c_str(), nullptr);
            vb = std::strtod(tb.c_str(), nullptr);
        }
        if (va == vb)
            result = a.index < b.index ? -1 : a.index > b.index ? 1 : 0;
        else
            result = va < vb ? -1 : 1;
    }
    return direction > 0 ? -result : result;
}

void SortOptimisedRows(std::vector<OptimisedPlateRow>& rows, int column, int direction) {
    std::stable_sort(rows.begin(), rows.end(), [&](const OptimisedPlateRow& a, const OptimisedPlateRow& b) {
        return CompareOptimisedRows(a, b, column, direction) < 0;
    });
}

void OptimisedPlatesOrder::Open(std::vector<OptimisedPlateRow>& rows) {
    Click(rows, 2);
    Click(rows, 2);
}

void OptimisedPlatesOrder::Click(std::vector<OptimisedPlateRow>& rows, int column) {
    if (column < 0 || column >= kColumns) return;
    directions_[column] = directions_[column] > 0 ? 0 : 1;
    SortOptimisedRows(rows, column, directions_[column]);
}

std::vector<bool> OpeningTicks(const std::vector<OptimisedPlateRow>& rows) {
    std::vector<bool> ticks;
    for (const OptimisedPlateRow& row : rows) ticks.push_back(row.ticked);
    return ticks;
}

void ApplyTicks(PlateList& candidates, const std::vector<OptimisedPlateRow>& rows,
                const std::vector<bool>& ticked) {
    for (size_t r = 0; r < rows.size() && r < ticked.size(); ++r) {
        if (rows[r].index < 0 || rows[r].index >= candidates.count()) continue;
        candidates.at(rows[r].index).selected = ticked[r] ? 0 : 1;
    }
}

}  // namespace tavrel
