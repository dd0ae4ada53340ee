#include "model/PlateList.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "model/Material.h"
#include "model/RecordText.h"
#include "plates/PlatesFile.h"
#include "settings/Units.h"

namespace tavrel {

namespace {

// Shown in inches with no decimals, a 3210 mm plate and a 3200 mm limit both read 126 in: the
// files' numbers decide when both sides have them.
bool Over(double size, std::optional<double> sizeFile, double limit, std::optional<double> limitFile) {
    if (!(limit > 0)) return false;
    if (sizeFile && limitFile && *limitFile > 0) return *sizeFile > *limitFile + 1e-6;
    return size > limit;
}

// Equal as shown, and as the files hold them to a tenth of a millimetre (the engine's step) where
// both still are what was read: shown in inches without decimals, 3190 mm and 3210 mm plates
// both read 126 in, and merging them would turn five 3190 mm plates into 3210 mm ones.
bool SameFileNumber(const StockPlate& a, const StockPlate& b, std::size_t slot, double shownA,
                    double shownB) {
    const std::optional<double> fa = a.stored.asRead(slot, shownA);
    const std::optional<double> fb = b.stored.asRead(slot, shownB);
    return !fa || !fb || std::llround(*fa * 10.0) == std::llround(*fb * 10.0);
}

}  // namespace

void StockPlate::setSizeFromFile(double systemWidth, double systemHeight, const CurrentUnit& unit) {
    width = DisplayLength(unit, systemWidth, 10, 1);
    height = DisplayLength(unit, systemHeight, 10, 1);
    stored.keep(StoredWidth, systemWidth, width);
    stored.keep(StoredHeight, systemHeight, height);
}

std::vector<std::string> UnusableFields(const StockPlate& plate) {
    std::vector<std::string> fields;
    // A 10 mm strip shown in inches without decimals reads 0 in and is still a plate.
    auto missing = [&plate](std::size_t slot, double shown) {
        return !(shown > 0) && !(plate.stored.asRead(slot, shown).value_or(0.0) > 0);
    };
    if (missing(StockPlate::StoredWidth, plate.width)) fields.push_back("width");
    if (missing(StockPlate::StoredHeight, plate.height)) fields.push_back("height");
    if (plate.kind != PlateUnlimited && plate.quantity < 1) fields.push_back("quantity");
    if (plate.priority < 0 || plate.priority > 999) fields.push_back("priority");
    return fields;
}

bool SameStock(const StockPlate& a, const StockPlate& b) {
    return a.key == b.key && a.width == b.width && a.height == b.height && a.priority == b.priority &&
           a.plateParameter == b.plateParameter && a.orientation == b.orientation && a.kind == b.kind &&
           SameFileNumber(a, b, StockPlate::StoredWidth, a.width, b.width) &&
           SameFileNumber(a, b, StockPlate::StoredHeight, a.height, b.height) &&
           SameFileNumber(a, b, StockPlate::StoredParameter, a.plateParameter, b.plateParameter);
}

bool FullyEqual(const StockPlate& a, const StockPlate& b) {
    return SameStock(a, b) && a.minimumLot == b.minimumLot;
}

void MergeQuantity(StockPlate& target, const StockPlate& incoming, bool unlimitedStays) {
    if (target.kind == PlateUnlimited && unlimitedStays)
        target.quantity = kUnlimitedQuantity;
    else
        target.quantity = SaturatingAdd(target.quantity, incoming.quantity);
}

int PlateList::addOrMerge(StockPlate plate, bool unlimitedStays) {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (SameStock(items_[i], plate)) {
            MergeQuantity(items_[i], plate, unlimitedStays);
            return static_cast<int>(i);
        }
    }
    items_.push_back(std::move(plate));
    return count() - 1;
}

int PlateList::mergeInto(int index, bool& merged) {
    merged = false;
    if (index < 0 || index >= count()) return -1;
    for (int i = 0; i < count(); ++i) {
        if (i == index || !SameStock(items_[static_cast<std::size_t>(i)], at(index))) continue;
        MergeQuantity(at(i), at(index), true);
        removeAt(index);
        merged = true;
        return i > index ? i - 1 : i;
    }
    return index;
}

bool PlateList::hasPlateFor(const std::string& serie, const std::string& code,
                            const std::string& treatment) const {
    return std::any_of(items_.begin(), items_.end(), [&](const StockPlate& p) {
        return p.key.serie == serie && p.key.code == code &&
               (p.key.treatment == treatment || p.kind == PlateUnlimited);
    });
}

bool PlateList::consume(const Material& material, int count, double width, double height) {
    StockPlate any;
    any.width = width;
    any.height = height;
    return take(material, any, count, kAnySize);
}

bool PlateList::consume(const Material& material, const StockPlate& used) {
    // First the very entry the plates were offered from (an equal one counts the same), then
    // the entries of that size that are offcuts exactly when the used plates are, then any
    // entry of that size: an offcut that was cut leaves the stock, not a new plate of its size.
    int count = used.quantity;
    bool found = false;
    for (int tier = kSameEntry; tier <= kAnySize && count > 0; ++tier)
        found = take(material, used, count, tier) || found;
    return found;
}

bool PlateList::take(const Material& material, const StockPlate& used, int& count, int tier) {
    bool found = false;
    for (std::size_t i = 0; i < items_.size() && count > 0;) {
        StockPlate& plate = items_[i];
        const bool sameSize = plate.key.matches(material.serie, material.code, material.treatment) &&
                              plate.width == used.width && plate.height == used.height;
        const bool wanted =
            sameSize && (tier == kSameEntry  ? SameStock(plate, used)
                         : tier == kSameKind ? (plate.kind == PlateOffcut) == (used.kind == PlateOffcut)
                                             : true);
        if (!wanted) {
            ++i;
            continue;
        }
        found = true;
        if (plate.kind == PlateUnlimited) {
            plate.quantity = kUnlimitedQuantity;
            count = 0;
            return true;
        }
        if (count < plate.quantity) {
            plate.quantity -= count;
            count = 0;
            return true;
        }
        // The entry runs out: what it lacks was cut from the next entry of that size.
        count -= std::max(0, plate.quantity);
        removeAt(static_cast<int>(i));
    }
    return found;
}

bool PlateList::exceedsLimits(int index, const Material& material, double jobMaxWidth, double jobMaxHeight,
                              std::optional<double> jobMaxWidthFile,
                              std::optional<double> jobMaxHeightFile) const {
    if (index < 0 || index >= count()) return false;
    const StockPlate& p = at(index);
    const std::optional<double> w = p.stored.asRead(StockPlate::StoredWidth, p.width);
    const std::optional<double> h = p.stored.asRead(StockPlate::StoredHeight, p.height);
    return Over(p.width, w, material.maxPlateWidth,
                material.stored.asRead(Material::StoredMaxWidth, material.maxPlateWidth)) ||
           Over(p.height, h, material.maxPlateHeight,
                material.stored.asRead(Material::StoredMaxHeight, material.maxPlateHeight)) ||
           Over(p.width, w, jobMaxWidth, jobMaxWidthFile) ||
           Over(p.height, h, jobMaxHeight, jobMaxHeightFile);
}

int PlateList::indexOfObject(const StockPlate* plate) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (&items_[i] == plate) return static_cast<int>(i);
    return -1;
}

void PlateList::setSelected(bool flag, int index) {
    if (index < 0) {
        for (StockPlate& p : items_) p.selected = flag ? 1 : 0;
    } else if (index < count()) {
        at(index).selected = flag ? 1 : 0;
    }
}

bool PlateList::isSelected(int index) const {
    if (index < 0)
        return std::all_of(items_.begin(), items_.end(), [](const StockPlate& p) { return p.selected != 0; });
    if (index >= count()) return true;
    return at(index).selected != 0;
}

bool PlateList::anyModified() const {
    return std::any_of(items_.begin(), items_.end(), [](const StockPlate& p) { return p.modified != 0; });
}

bool PlateList::load(const std::string& path, const CurrentUnit& unit, ReadReport* report) {
    return PlatesFile::load(path, *this, unit, report);
}

bool PlateList::save(const std::string& path, const CurrentUnit& unit, const std::vector<int>* order) {
    PlatesFile::clean(*this);
    return PlatesFile::save(path, *this, unit, order);
}

// The merge index hashes exactly what SameStock compares. Reals hash through std::hash<double>,
// which gives 0.0 and -0.0 the same value, as == treats them.
namespace {

struct StockIdentity {
    const StockPlate* plate;
};

struct StockHash {
    std::size_t operator()(const StockIdentity& id) const {
        const StockPlate& p = *id.plate;
        std::size_t h = std::hash<std::string>()(p.key.serie);
        auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
        mix(std::hash<std::string>()(p.key.code));
        mix(std::hash<std::string>()(p.key.treatment));
        mix(std::hash<double>()(p.width));
        mix(std::hash<double>()(p.height));
        mix(std::hash<int>()(p.priority));
        mix(std::hash<double>()(p.plateParameter));
        mix(std::hash<int>()(p.orientation));
        mix(std::hash<int>()(p.kind));
        return h;
    }
};

struct StockEqual {
    bool operator()(const StockIdentity& a, const StockIdentity& b) const {
        return SameStock(*a.plate, *b.plate);
    }
};

}  // namespace

// The index maps each distinct stock to the index of its first entry. It keys on copies of the
// entries' identities, since the list's storage moves as it grows.
struct PlateMergeIndex::Impl {
    std::vector<std::unique_ptr<StockPlate>> identities;
    std::unordered_map<StockIdentity, int, StockHash, StockEqual> first;
};

PlateMergeIndex::PlateMergeIndex(PlateList& list) : list_(list), impl_(std::make_unique<Impl>()) {
    impl_->first.reserve(static_cast<std::size_t>(list.count()) * 2);
    for (int i = 0; i < list.count(); ++i) {
        auto identity = std::make_unique<StockPlate>(list.at(i));
        if (impl_->first.emplace(StockIdentity{identity.get()}, i).second)
            impl_->identities.push_back(std::move(identity));
    }
}

PlateMergeIndex::~PlateMergeIndex() = default;

int PlateMergeIndex::addOrMerge(StockPlate plate, bool unlimitedStays, bool* merged) {
    const auto found = impl_->first.find(StockIdentity{&plate});
    if (found != impl_->first.end()) {
        MergeQuantity(list_.at(found->second), plate, unlimitedStays);
        if (merged) *merged = true;
        return found->second;
    }
    if (merged) *merged = false;
    const int index = list_.count();
    auto identity = std::make_unique<StockPlate>(plate);
    impl_->first.emplace(StockIdentity{identity.get()}, index);
    impl_->identities.push_back(std::move(identity));
    list_.appendUnchecked(std::move(plate));
    return index;
}

}  // namespace tavrel
