#pragma once
// What every list of the model shares: elements held by value, in order, reached by index or by
// iteration, removed by index. The lists add their own rules for adding and merging.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace tavrel {

template <typename T>
class OwningList {
public:
    int count() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }
    const T& at(int index) const { return items_[static_cast<std::size_t>(index)]; }
    T& at(int index) { return items_[static_cast<std::size_t>(index)]; }
    typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
    typename std::vector<T>::const_iterator end() const { return items_.end(); }

    void removeAt(int index)  // ignored outside the list
    {
        if (index < 0 || index >= count()) return;
        items_.erase(items_.begin() + index);
    }
    // Removes every listed index (repeats and indices outside the list are ignored).
    void removeIndices(const std::vector<int>& indices) {
        std::vector<char> doomed(items_.size(), 0);
        for (int index : indices)
            if (index >= 0 && index < count()) doomed[static_cast<std::size_t>(index)] = 1;
        std::size_t next = 0;
        std::erase_if(items_, [&](const T&) { return doomed[next++] != 0; });
    }
    void clear() { items_.clear(); }

    bool operator==(const OwningList& other) const = default;

protected:
    std::vector<T> items_;
};

}  // namespace tavrel
