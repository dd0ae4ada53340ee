#include "plates/PlateRows.h"

#include <algorithm>
#include <cctype>

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "model/RecordText.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

constexpr const char* kMark = "! ";

int CompareItemData(const PlateRow& a, const PlateRow& b) {
    return a.itemData < b.itemData ? -1 : (a.itemData > b.itemData ? 1 : 0);
}

// The quantity column: a number, or the unlimited text, which counts as more than any stock.
double QuantityValue(const PlateRow& row) {
    const std::string& text = row.columns[ColumnQuantity];
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (!row.unlimited && i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        return ParseReal(text.substr(i));
    return 999999999.0;
}

std::string KindWithoutMark(const std::string& text) {
    return text.rfind(kMark, 0) == 0 ? text.substr(std::string(kMark).size()) : text;
}

}  // namespace

std::string PlateKindText(int kind) {
    return Msg(kind == PlateOffcut ? "00069" : kind == PlateUnlimited ? "00132" : "00131");
}

std::string PlateColumnHeader(int column) {
    switch (column) {
        case ColumnKind:
            return Msg("00146");
        case ColumnQuantity:
            return Msg("00161");
        case ColumnWidth:
            return Msg("00135") + WithLinearLabel(" [", "]");
        case ColumnHeight:
            return Msg("00136") + WithLinearLabel(" [", "]");
        case ColumnMinimumLot:
            return Msg("00129") + WithAreaLabel(" [", "]");
        case ColumnSerie:
            return Msg("00137");
        case ColumnCode:
            return Msg("00138");
        case ColumnTreatment:
            return Msg("00139");
        case ColumnNumber:
            return Msg("00180");
        default:
            return std::string();
    }
}

std::string UnusableReason(const StockPlate& plate) {
    const std::vector<std::string> fields = UnusableFields(plate);
    if (fields.empty()) return std::string();
    std::string labels;
    for (const std::string& field : fields) {
        const char* id = field == "width"      ? "00056"
                         : field == "height"   ? "00057"
                         : field == "quantity" ? "00055"
                                               : "00066";
        if (!labels.empty()) labels += ", ";
        labels += Trim(Msg(id));
    }
    return Msg("00095") + " (" + labels + ")";
}

PlateRow MakePlateRow(const StockPlate& plate, const MaterialList& materials, int itemData) {
    PlateRow row;
    row.itemData = itemData;
    row.reason = UnusableReason(plate);
    row.unusable = !row.reason.empty();
    row.unlimited = plate.isUnlimited();
    const std::string number = LengthFormat(1);
    row.columns[ColumnKind] = (row.unusable ? kMark : "") + PlateKindText(plate.kind);
    row.columns[ColumnQuantity] = plate.isUnlimited() ? Msg("00171") : Format("%ld", long(plate.quantity));
    row.columns[ColumnWidth] = FormatNumber(number, plate.width);
    row.columns[ColumnHeight] = FormatNumber(number, plate.height);
    row.columns[ColumnMinimumLot] = FormatNumber(AreaFormat(), plate.minimumLot);
    row.columns[ColumnSerie] = plate.key.serie;
    row.columns[ColumnCode] = plate.key.code;
    row.columns[ColumnTreatment] = materials.labelFor(plate.key.serie, plate.key.code, plate.key.treatment);
    row.columns[ColumnNumber] = Format("%d", itemData + 1);
    return row;
}

void PlateRows::fill(const PlateList& plates, const MaterialList& materials) {
    rows_.clear();
    for (int i = 0; i < plates.count(); ++i) rows_.push_back(MakePlateRow(plates.at(i), materials, i));
    direction_.fill(1);
    keysDirection_ = 1;
    sortColumn_ = -1;
    lastDirection_ = 0;
}

int PlateRows::rowOf(int itemData) const {
    for (int r = 0; r < count(); ++r)
        if (rows_[size_t(r)].itemData == itemData) return r;
    return -1;
}

int PlateRows::show(const PlateList& plates, const MaterialList& materials, int index) {
    if (index < 0 || index >= plates.count()) return -1;
    int row = rowOf(index);
    if (row < 0) {
        rows_.emplace_back();
        row = count() - 1;
    }
    rows_[size_t(row)] = MakePlateRow(plates.at(index), materials, index);
    return row;
}

void PlateRows::removePlate(int itemData) {
    const int row = rowOf(itemData);
    if (row >= 0) rows_.erase(rows_.begin() + row);
    for (PlateRow& r : rows_)
        if (r.itemData > itemData) {
            --r.itemData;
            r.columns[ColumnNumber] = Format("%d", r.itemData + 1);
        }
}

int PlateRows::deleteRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= count(); }),
               rows.end());
    if (rows.empty()) return count() > 0 ? 0 : -1;
    const int lowest = rows.front();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) removePlate(rows_[size_t(*it)].itemData);
    if (rows_.empty()) return -1;
    return std::min(std::max(lowest - 1, 0), count() - 1);
}

void PlateRows::refreshTreatments(const PlateList& plates, const MaterialList& materials) {
    for (PlateRow& r : rows_) {
        if (r.itemData < 0 || r.itemData >= plates.count()) continue;
        const MaterialKey& key = plates.at(r.itemData).key;
        r.columns[ColumnTreatment] = materials.labelFor(key.serie, key.code, key.treatment);
    }
}

void PlateRows::sortByColumn(int column) {
    if (column < 0 || column >= PlateColumns) return;
    sortColumn_ = column;
    int& d = direction_[size_t(column)];
    d = 1 - d;
    lastDirection_ = d;
    auto compare = [column](const PlateRow& a, const PlateRow& b) {
        const std::string& x = a.columns[size_t(column)];
        const std::string& y = b.columns[size_t(column)];
        if (column == ColumnQuantity || column == ColumnWidth || column == ColumnHeight ||
            column == ColumnMinimumLot || column == ColumnNumber) {
            const double u = column == ColumnQuantity ? QuantityValue(a) : ParseReal(x);
            const double v = column == ColumnQuantity ? QuantityValue(b) : ParseReal(y);
            if (u != v) return u < v ? -1 : 1;
            return CompareItemData(a, b);
        }
        const int c = x.compare(y);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    };
    const bool descending = d > 0;
    std::stable_sort(rows_.begin(), rows_.end(), [&](const PlateRow& a, const PlateRow& b) {
        const int c = compare(a, b);
        return descending ? c > 0 : c < 0;
    });
}

std::string PlateSortKey(const PlateRow& row) {
    const double width = ParseReal(row.columns[ColumnWidth]);
    const double height = ParseReal(row.columns[ColumnHeight]);
    const long quantity =
        QuantityValue(row) >= 999999999.0 ? 0 : long(ParseInt(Trim(row.columns[ColumnQuantity])));
    return Format("%-8s_%-9s_%-32s_%-12s_", row.columns[ColumnSerie].c_str(), row.columns[ColumnCode].c_str(),
                  row.columns[ColumnTreatment].c_str(), KindWithoutMark(row.columns[ColumnKind]).c_str()) +
           Format("%016.3lf_%011.3lf_%011.3lf_%08ld", width * height, width, height, quantity);
}

void PlateRows::sortByKeys() {
    keysDirection_ = 1 - keysDirection_;
    lastDirection_ = keysDirection_;
    sortColumn_ = -1;
    std::vector<std::pair<std::string, PlateRow>> keyed;
    keyed.reserve(rows_.size());
    for (PlateRow& r : rows_) keyed.emplace_back(ToLower(PlateSortKey(r)), std::move(r));
    const bool descending = keysDirection_ > 0;
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
        return descending ? a.first > b.first : a.first < b.first;
    });
    rows_.clear();
    for (auto& k : keyed) rows_.push_back(std::move(k.second));
}

std::string PlateRows::directionText() const { return lastDirection_ == 0 ? "MIN ---> MAX" : "MAX ---> MIN"; }

std::string PlateRows::keysText() {
    std::string text = "[ ";
    const char* ids[] = {"00137", "00138", "00139", "00146", "00135", "00136", "00161"};
    for (std::size_t i = 0; i < std::size(ids); ++i) text += (i ? " ]+[ " : "") + Msg(ids[i]);
    return text + " ]";
}

std::vector<int> PlateRows::storeOrder() const {
    std::vector<int> order;
    order.reserve(rows_.size());
    for (const PlateRow& r : rows_) order.push_back(r.itemData);
    return order;
}

}  // namespace tavrel
