#pragma once
// The rules of the materials window: one row per serie/code group, the texts of its columns,
// the column sort and the renumbering after a delete, and the catalogue changes behind new,
// change and delete. The window only shows the rows this builds.

#include <array>
#include <string>
#include <vector>

#include "model/MaterialList.h"

namespace tavrel {

struct AppSettings;

// One row of the materials list.
struct MaterialRow {
    std::array<std::string, 8> columns;  // serie, code, treatments, description, thickness,
                                         // weight, limits, row number
    int itemData = 0;                    // 0-based row number when the row was filled
    std::string serie() const { return columns[0]; }
    std::string code() const { return columns[1]; }
};

// The labels of every entry of the group of the base entry at `baseIndex`, joined with " + ".
std::string GroupTreatmentsText(const MaterialList& catalogue, int baseIndex);
// Message text of the limits column: "00183" both, "00184" width only, "00185" height only.
std::string LimitsText(const Material& material);
MaterialRow MakeMaterialRow(const MaterialList& catalogue, int baseIndex, int itemData);

// A new group as the data window starts it: one base entry, empty texts, flag on.
MaterialList NewMaterialGroup();
// The catalogue of the installation, sorted by key, as the choice lists offer it.
MaterialList SortedCatalogue(const AppSettings& settings);

class MaterialRows {
public:
    // One row per base entry of `catalogue`, in catalogue order.
    void Fill(const MaterialList& catalogue);
    int count() const { return int(rows_.size()); }
    const MaterialRow& at(int row) const { return rows_[size_t(row)]; }
    void Append(const MaterialList& catalogue, int baseIndex);
    void Refill(int row, const MaterialList& catalogue, int baseIndex);

    // Removes the given rows; rows after each deleted one move up a number. Returns the row to
    // select: the one before the lowest deleted row (0 when that was the first), -1 when empty.
    int Delete(std::vector<int> rows);

    // Sorts by a column clicked: the first click ascending, the next descending. Thickness,
    // weight and row number compare as numbers, equal ones by row number; the others as bytes.
    void SortByColumn(int column);
    int sortColumn() const { return sortColumn_; }

private:
    std::vector<MaterialRow> rows_;
    std::array<int, 8> direction_{1, 1, 1, 1, 1, 1, 1, 1};
    int sortColumn_ = -1;
};

// Catalogue operations of the window; each saves the catalogue to `path` when it changed it.
enum class GroupAddResult { Added, Exists };
// Adds the group unless its serie and code exist; then sorts. `baseIndex` receives the index of
// the new base entry.
GroupAddResult AddMaterialGroup(MaterialList& catalogue, MaterialList group, int* baseIndex);
// Replaces the group (oldSerie, oldCode) by the edited copy; the entries go to the end.
// Returns the index of the edited group's first entry.
int ReplaceMaterialGroup(MaterialList& catalogue, const std::string& oldSerie, const std::string& oldCode,
                         MaterialList group);

}  // namespace tavrel
