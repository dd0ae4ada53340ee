#pragma once
// Collects plate types, piece types and rules, checks them and makes an Instance.

#include <string>

#include "cutting/Instance.h"

namespace engine {

class InstanceBuilder {
public:
    void setRules(const CutRules& rules) { rules_ = rules; }
    // Returns the index the type will have in the instance.
    int addPlateType(const PlateType& plate);
    int addItemType(const ItemType& item);

    // Largest length the builder accepts; keeps every area product far from overflow.
    static constexpr Length kMaxLength = 100000000;  // 10 km in tenths of a millimetre

    // Validates what was added. On success fills `out` and returns true; otherwise leaves `out`
    // alone, writes the first problem found into `error` (when given) and returns false.
    // Piece types with quantity 0 are dropped. Plate types whose trims leave no usable area are
    // kept (the caller's positions must stay valid) but never used.
    bool build(Instance& out, std::string* error = nullptr) const;

private:
    CutRules rules_;
    std::vector<PlateType> plates_;
    std::vector<ItemType> items_;
};

}  // namespace engine
