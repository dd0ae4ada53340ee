#pragma once
// The stock-plate catalogue in memory, in file order. Equal plates (SameStock) are merged by
// adding their quantities; an unlimited plate stays at kUnlimitedQuantity.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/OwningList.h"
#include "model/StockPlate.h"

namespace tavrel {

struct CurrentUnit;
struct Material;
struct ReadReport;

class PlateList : public OwningList<StockPlate> {
public:
    // Merges `plate` into the first equal entry (its quantity added, or kUnlimitedQuantity for an
    // unlimited entry when `unlimitedStays`) and returns that entry's index; otherwise appends it
    // and returns its new index.
    int addOrMerge(StockPlate plate, bool unlimitedStays);
    // For the entry at `index`: when another entry is equal, adds this one's quantity to it (an
    // unlimited one gets kUnlimitedQuantity), removes this one, sets `merged` and returns the
    // other entry's index (as it is after the removal). Otherwise returns `index` with `merged`
    // false. An index outside the list returns -1.
    int mergeInto(int index, bool& merged);
    static bool fullyEqual(const StockPlate& a, const StockPlate& b) { return FullyEqual(a, b); }

    // A plate of that serie and code whose treatment is equal, or an unlimited one (it serves
    // every treatment of its group).
    bool hasPlateFor(const std::string& serie, const std::string& code, const std::string& treatment) const;
    // Takes `count` plates of exactly that size and the material's key out of stock: an
    // unlimited entry keeps its supply, an entry holding more loses `count`, else it is removed
    // and the rest comes from the next entry of that size. False when no entry matched.
    bool consume(const Material& material, int count, double width, double height);
    // Takes the plates a plan cut, `used` (a copy of the entry they were offered from, with the
    // count cut), out of stock: from an equal entry first, then from entries of that size that
    // are offcuts exactly when `used` is one, then from any entry of that size.
    bool consume(const Material& material, const StockPlate& used);
    // The plate at `index` is larger than a positive limit of the material or of the job. A size
    // and a limit that both still are what their files held are compared as the files hold them
    // (`jobMaxWidthFile` and `jobMaxHeightFile`: the job file's numbers, when known), so that no
    // rounding to the shown decimals decides.
    bool exceedsLimits(int index, const Material& material, double jobMaxWidth, double jobMaxHeight,
                       std::optional<double> jobMaxWidthFile = std::nullopt,
                       std::optional<double> jobMaxHeightFile = std::nullopt) const;
    // Index of that very object (a pointer into this list), -1 when it is not one of ours.
    int indexOfObject(const StockPlate* plate) const;

    // index < 0 marks every plate; an index beyond the end does nothing.
    void setSelected(bool flag, int index);
    // index < 0: every plate selected; beyond the end: true; else the plate's mark.
    bool isSelected(int index) const;
    bool anyModified() const;

    // Plates.dat, converted into and from `unit`: see plates/PlatesFile.h. load() empties the
    // list and returns false when the file cannot be read or has no positive version.
    bool load(const std::string& path, const CurrentUnit& unit, ReadReport* report = nullptr);
    // Makes the key texts storable in place (PlatesFile::clean), then writes every plate, in
    // `order` when it is a permutation of the list's indices (the order the user sorted the
    // window by), else in list order. Through a temporary file; false when it could not be
    // written.
    [[nodiscard]] bool save(const std::string& path, const CurrentUnit& unit,
                            const std::vector<int>* order = nullptr);

    bool operator==(const PlateList& other) const = default;

private:
    enum Tier { kSameEntry, kSameKind, kAnySize };
    // Takes up to `count` plates from the entries of the tier, lowering `count`; whether one
    // matched.
    bool take(const Material& material, const StockPlate& used, int& count, int tier);
    friend class PlatesFile;
    friend class PlateMergeIndex;
    void appendUnchecked(StockPlate plate) { items_.push_back(std::move(plate)); }
};

// Does what PlateList::addOrMerge does for many plates in a row, with a hash index instead of a
// scan per plate, so a large catalogue loads in linear time. The list must not be changed by
// other means while the index lives.
class PlateMergeIndex {
public:
    explicit PlateMergeIndex(PlateList& list);
    ~PlateMergeIndex();
    PlateMergeIndex(const PlateMergeIndex&) = delete;
    PlateMergeIndex& operator=(const PlateMergeIndex&) = delete;

    // As PlateList::addOrMerge; `merged` tells whether an equal entry took the plate.
    int addOrMerge(StockPlate plate, bool unlimitedStays, bool* merged = nullptr);

private:
    struct Impl;
    PlateList& list_;
    std::unique_ptr<Impl> impl_;
};

// Adds the quantity of `incoming` to the equal entry `target`.
void MergeQuantity(StockPlate& target, const StockPlate& incoming, bool unlimitedStays);

}  // namespace tavrel
