#pragma once
// The catalogue lists sort ascending by a text built from each element, comparing bytes as
// unsigned values, and keep equal elements in their order (the order an adjacent-pair exchange
// sort gives). Keys are built once per element rather than once per comparison.

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace tavrel {

template <typename T, typename KeyOf>
void SortByText(std::vector<T>& items, KeyOf keyOf) {
    if (items.size() < 2) return;
    std::vector<std::string> keys;
    keys.reserve(items.size());
    for (const T& item : items) keys.push_back(keyOf(item));
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // std::string compares through char_traits<char>, which orders bytes as unsigned char.
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (std::size_t index : order) sorted.push_back(std::move(items[index]));
    items = std::move(sorted);
}

}  // namespace tavrel
