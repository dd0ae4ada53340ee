#include "model/MaterialKey.h"

#include <algorithm>

#include "model/SortByText.h"

namespace tavrel {

bool operator==(const MaterialKey& a, const MaterialKey& b) {
    return a.serie == b.serie && a.code == b.code && a.treatment == b.treatment;
}

bool MaterialKeyList::add(MaterialKey key, bool rejectDuplicate, int position) {
    if (rejectDuplicate && contains(key.serie, key.code, key.treatment)) return false;
    key.position = position < 0 ? count() : position;
    items_.push_back(std::move(key));
    return true;
}

bool MaterialKeyList::contains(const std::string& serie, const std::string& code,
                               const std::string& treatment) const {
    return indexOf(serie, code, treatment) >= 0;
}

int MaterialKeyList::indexOf(const std::string& serie, const std::string& code,
                             const std::string& treatment) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].matches(serie, code, treatment)) return static_cast<int>(i);
    return -1;
}

void MaterialKeyList::remove(const std::string& serie, const std::string& code,
                             const std::string& treatment) {
    removeAt(indexOf(serie, code, treatment));
}

MaterialKeyList MaterialKeyList::copy() const {
    MaterialKeyList result;
    result.items_.reserve(items_.size());
    for (const MaterialKey& key : items_) result.add(MaterialKey(key.serie, key.code, key.treatment), false);
    return result;
}

void MaterialKeyList::sort() {
    SortByText(items_, [](const MaterialKey& key) { return key.sortKey(); });
}

}  // namespace tavrel
