#pragma once
// A (serie, code, treatment) triple as a hash-map key, for the readers and bulk operations that
// keep the lists' first-match rules with an index instead of a scan per element.

#include <functional>
#include <string>

namespace tavrel {

struct TextKey {
    std::string serie;
    std::string code;
    std::string treatment;
    bool operator==(const TextKey& other) const = default;
};

struct TextKeyHash {
    std::size_t operator()(const TextKey& key) const {
        std::size_t h = std::hash<std::string>()(key.serie);
        h ^= std::hash<std::string>()(key.code) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        h ^= std::hash<std::string>()(key.treatment) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        return h;
    }
};

}  // namespace tavrel
