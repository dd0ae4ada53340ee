#include "cutting/Instance.h"

namespace engine {

bool Instance::fits(int item, int plate) const {
    const ItemType& it = items_[static_cast<size_t>(item)];
    const PlateType& pl = plates_[static_cast<size_t>(plate)];
    const Length w = pl.usableWidth();
    const Length h = pl.usableHeight();
    // What is left beside the piece must be nothing or thick enough to break off.
    const Length thin = rules_.minCutDistance > 0 ? rules_.kerf + rules_.minCutDistance : 0;
    auto room = [thin](Length space, Length size) {
        return size <= space && (space == size || space - size >= thin);
    };
    if (room(w, it.cutWidth) && room(h, it.cutHeight)) {
        return true;
    }
    return it.rotatable && room(w, it.cutHeight) && room(h, it.cutWidth);
}

bool Instance::fitsSomewhere(int item) const {
    for (size_t p = 0; p < plates_.size(); ++p) {
        if (plates_[p].quantity != 0 && fits(item, static_cast<int>(p))) {
            return true;
        }
    }
    return false;
}

}  // namespace engine
