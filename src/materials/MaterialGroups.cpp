#include "materials/MaterialGroups.h"

#include <algorithm>

#include "common/Messages.h"
#include "common/TextUtils.h"
#include "materials/MaterialsFile.h"
#include "model/RecordText.h"
#include "settings/AppSettings.h"
#include "settings/Units.h"

namespace tavrel {

std::string GroupTreatmentsText(const MaterialList& catalogue, int baseIndex) {
    if (baseIndex < 0 || baseIndex >= catalogue.count()) return std::string();
    const Material& base = catalogue.at(baseIndex);
    std::string text;
    for (int i = baseIndex; i < catalogue.count(); ++i) {
        const Material& m = catalogue.at(i);
        if (m.serie != base.serie || m.code != base.code) continue;
        const std::string label = catalogue.labelFor(i);
        if (!label.empty()) text += label + " + ";
    }
    if (!text.empty()) text.resize(text.size() - 3);
    return Trim(text);
}

std::string LimitsText(const Material& m) {
    const bool width = m.maxPlateWidth > 0.0;
    const bool height = m.maxPlateHeight > 0.0;
    if (width && height) return Msg("00183");
    if (width) return Msg("00184");
    if (height) return Msg("00185");
    return std::string();
}

MaterialRow MakeMaterialRow(const MaterialList& catalogue, int baseIndex, int itemData) {
    const Material& m = catalogue.at(baseIndex);
    MaterialRow row;
    row.itemData = itemData;
    row.columns = {m.serie,
                   m.code,
                   GroupTreatmentsText(catalogue, baseIndex),
                   m.description,
                   FormatNumber(LengthFormat(1), m.thickness),
                   FormatNumber(LengthFormat(1), m.weight),
                   LimitsText(m),
                   std::to_string(itemData + 1)};
    return row;
}

MaterialList NewMaterialGroup() {
    MaterialList group;
    group.add(Material());
    return group;
}

void MaterialRows::Fill(const MaterialList& catalogue) {
    rows_.clear();
    for (int i = 0; i < catalogue.count(); ++i)
        if (catalogue.at(i).treatment.empty()) Append(catalogue, i);
}

void MaterialRows::Append(const MaterialList& catalogue, int baseIndex) {
    rows_.push_back(MakeMaterialRow(catalogue, baseIndex, count()));
}

void MaterialRows::Refill(int row, const MaterialList& catalogue, int baseIndex) {
    if (row < 0 || row >= count() || baseIndex < 0 || baseIndex >= catalogue.count()) return;
    rows_[size_t(row)] = MakeMaterialRow(catalogue, baseIndex, rows_[size_t(row)].itemData);
}

int MaterialRows::Delete(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    int lowest = -1;
    for (int row : rows) {
        if (row < 0 || row >= count()) continue;
        const int number = rows_[size_t(row)].itemData;
        rows_.erase(rows_.begin() + row);
        for (MaterialRow& r : rows_)
            if (r.itemData > number) {
                --r.itemData;
                r.columns[7] = std::to_string(r.itemData + 1);
            }
        lowest = row;
    }
    if (rows_.empty()) return -1;
    return lowest > 0 ? std::min(lowest - 1, count() - 1) : 0;
}

void MaterialRows::SortByColumn(int column) {
    if (column < 0 || column >= int(direction_.size())) return;
    sortColumn_ = column;
    int& d = direction_[size_t(column)];
    d = 1 - d;
    const bool numeric = column == 4 || column == 5 || column == 7;
    auto compare = [column, numeric](const MaterialRow& a, const MaterialRow& b) {
        if (numeric) {
            const double x = ParseReal(a.columns[size_t(column)]);
            const double y = ParseReal(b.columns[size_t(column)]);
            if (x != y) return x < y ? -1 : 1;
            return a.itemData < b.itemData ? -1 : (a.itemData > b.itemData ? 1 : 0);
        }
        const int c = a.columns[size_t(column)].compare(b.columns[size_t(column)]);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    };
    const bool descending = d > 0;
    std::stable_sort(rows_.begin(), rows_.end(), [&](const MaterialRow& a, const MaterialRow& b) {
        const int c = compare(a, b);
        return descending ? c > 0 : c < 0;
    });
}

GroupAddResult AddMaterialGroup(MaterialList& catalogue, MaterialList group, int* baseIndex) {
    if (group.empty()) return GroupAddResult::Exists;
    const std::string serie = group.at(0).serie;
    const std::string code = group.at(0).code;
    if (catalogue.contains(serie, code)) return GroupAddResult::Exists;
    catalogue.addAll(std::move(group));
    catalogue.sort(false);
    if (baseIndex) *baseIndex = catalogue.indexOf(serie, code, "");
    return GroupAddResult::Added;
}

int ReplaceMaterialGroup(MaterialList& catalogue, const std::string& oldSerie, const std::string& oldCode,
                         MaterialList group) {
    if (group.empty()) return -1;
    const Material first = group.at(0);
    catalogue.removeAll(oldSerie, oldCode);
    catalogue.addAll(std::move(group));
    return catalogue.indexOf(first.serie, first.code, first.treatment);
}

MaterialList SortedCatalogue(const AppSettings& settings) {
    MaterialList list;
    // A missing catalogue offers an empty list; the materials window is where it is made.
    if (!list.load(MaterialsFile::pathIn(settings.dataFolder), settings.current)) list.clear();
    list.sort(false);
    return list;
}

}  // namespace tavrel
