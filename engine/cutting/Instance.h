#pragma once
// What the optimiser is asked to cut: the plate types in stock, the piece types of the job and
// the cutting rules of the material. An Instance is immutable; InstanceBuilder is the only way
// to make one, so every Instance the optimiser sees has been validated.

#include <string>
#include <vector>

#include "cutting/Types.h"

namespace engine {

struct CutRules {
    Length kerf = 0;            // width the cutting tool takes away (0 for glass)
    Length minCutDistance = 0;  // closest two parallel cuts may be; thinner waste cannot be broken off
    Length minOffcutWidth = 0;  // leftovers at least this wide and high are reusable offcuts
    Length minOffcutHeight = 0;
    Length grinding = 0;  // allowance added to every side of every piece
};

struct PlateType {
    int position = 0;  // 1-based position in the caller's plate list (reported back)
    Length width = 0;  // full size of the plate
    Length height = 0;
    int quantity = -1;  // plates in stock; -1 for an unlimited supply
    int priority = 0;   // order of use: higher is used first
    int order = 0;      // among equal priorities, lower is used first
    FirstCut firstCut = FirstCut::Either;
    bool offcut = false;  // a leftover of an earlier job
    Length trimX = 0;     // trimmed off the left and the right edge
    Length trimY = 0;     // trimmed off the bottom and the top edge

    // Filled in by the builder: the preference level, 0 for the most preferred. Plates of one
    // priority and order share a level; a plate of a lower level is only worth using for pieces
    // the plates of the levels above cannot take.
    int rank = 0;

    Length usableWidth() const { return width - 2 * trimX; }
    Length usableHeight() const { return height - 2 * trimY; }
    bool unlimited() const { return quantity < 0; }
};

struct ItemType {
    int number = 0;          // the caller's piece type number (reported back)
    std::string identifier;  // piece identifier
    std::string text;        // free text of the piece
    Length width = 0;        // finished size
    Length height = 0;
    int quantity = 1;
    bool rotatable = false;

    // Filled in by the builder: the size cut from the plate, grinding allowance included.
    Length cutWidth = 0;
    Length cutHeight = 0;

    Area cutArea() const { return cutWidth * cutHeight; }
};

class Instance {
public:
    const std::vector<PlateType>& plateTypes() const { return plates_; }
    const std::vector<ItemType>& itemTypes() const { return items_; }
    const PlateType& plate(int i) const { return plates_[static_cast<size_t>(i)]; }
    const ItemType& item(int i) const { return items_[static_cast<size_t>(i)]; }
    const CutRules& rules() const { return rules_; }

    // Plate type indices, most preferred first.
    const std::vector<int>& preferenceOrder() const { return preference_; }
    // Number of preference levels (the largest rank + 1).
    int rankCount() const { return rankCount_; }

    int pieceCount() const { return pieceCount_; }
    Area pieceArea() const { return pieceArea_; }

    // True when a piece of the type fits on the plate type in some allowed way.
    bool fits(int item, int plate) const;
    // True when some plate type of the stock can take a piece of the type.
    bool fitsSomewhere(int item) const;

    // Width and height of a piece as placed on a plate.
    Length placedWidth(int item, bool rotated) const {
        return rotated ? items_[static_cast<size_t>(item)].cutHeight
                       : items_[static_cast<size_t>(item)].cutWidth;
    }
    Length placedHeight(int item, bool rotated) const {
        return rotated ? items_[static_cast<size_t>(item)].cutWidth
                       : items_[static_cast<size_t>(item)].cutHeight;
    }

private:
    friend class InstanceBuilder;
    std::vector<PlateType> plates_;
    std::vector<ItemType> items_;
    std::vector<int> preference_;
    CutRules rules_;
    int rankCount_ = 1;
    int pieceCount_ = 0;
    Area pieceArea_ = 0;
};

}  // namespace engine
