#pragma once
// A stock plate entry: catalogue plates, plates an optimisation used and the offcuts it made.
// Lengths are in the user's unit while in memory.

#include <string>
#include <vector>

#include "model/MaterialKey.h"
#include "model/StoredNumbers.h"

namespace tavrel {

struct CurrentUnit;

constexpr int kUnlimitedQuantity = 99999;

enum PlateKind : int { PlateOrdinary = 0, PlateOffcut = 1, PlateUnlimited = 2 };

struct StockPlate {
    MaterialKey key;   // position -1
    int quantity = 0;  // kUnlimitedQuantity for an unlimited supply
    double width = 0.0;
    double height = 0.0;
    int priority = 0;  // 0..999, order of use
    double plateParameter = 0.0;
    int orientation = 0;       // 0, 1, 2
    int kind = PlateOrdinary;  // PlateKind
    double minimumLot = 0.0;   // area, for unlimited plates
    int selectionRank = 0;     // order given by an optimisation's plate selection
    int stockPlace = 0;        // set by that selection: 1-based place among the material's plates
    int modified = 0;          // 1: the catalogue must be written back
    int selected = 0;          // mark used by the plate windows
    int sourceIndex = -1;      // candidate index this entry was copied from
    int usedCount = 0;         // plates of this entry the shown result uses

    // The numbers as Plates.dat held them (see StoredNumbers.h), in these slots.
    enum StoredSlot : std::size_t {
        StoredWidth,
        StoredHeight,
        StoredParameter,
        StoredMinimumLot,
        StoredSlots
    };
    StoredNumbers<StoredSlots> stored;

    StockPlate() = default;
    StockPlate(MaterialKey theKey, int theQuantity, double theWidth, double theHeight, int thePriority,
               double thePlateParameter, int theOrientation, int theKind, double theMinimumLot)
        : key(std::move(theKey)),
          quantity(theQuantity),
          width(theWidth),
          height(theHeight),
          priority(thePriority),
          plateParameter(thePlateParameter),
          orientation(theOrientation),
          kind(theKind),
          minimumLot(theMinimumLot) {
        this->key.position = -1;
    }

    // The copy the windows and the optimisation make: every value, `modified` and `usedCount`,
    // but a fresh selection rank, stock place, selection mark and source index.
    StockPlate duplicate() const {
        StockPlate copy(key, quantity, width, height, priority, plateParameter, orientation, kind,
                        minimumLot);
        copy.modified = modified;
        copy.usedCount = usedCount;
        copy.stored = stored;
        return copy;
    }

    // Sets the size from millimetres, as the engine's results give an offcut's size: shown in
    // `unit`, and written back to Plates.dat as given while the user leaves it unchanged.
    void setSizeFromFile(double systemWidth, double systemHeight, const CurrentUnit& unit);

    bool isUnlimited() const { return kind == PlateUnlimited; }

    bool operator==(const StockPlate& other) const = default;
};

// The fields of a plate that make it unusable for cutting: a size not above 0, a quantity below
// 1 for an ordinary plate or an offcut, a priority outside 0..999 ("width", "height",
// "quantity", "priority", in field order). Empty for a plate the engine may be given.
std::vector<std::string> UnusableFields(const StockPlate& plate);
inline bool IsUsable(const StockPlate& plate) { return UnusableFields(plate).empty(); }

// Equal for merging: key, sizes, priority, plate parameter, orientation and kind, the reals
// compared exactly.
bool SameStock(const StockPlate& a, const StockPlate& b);
// SameStock and the same minimum lot.
bool FullyEqual(const StockPlate& a, const StockPlate& b);

}  // namespace tavrel
