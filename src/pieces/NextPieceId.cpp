#include "pieces/NextPieceId.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "model/Names.h"

namespace tavrel {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string NextFreePieceId(const std::string& last, const std::vector<std::string>& taken) {
    const std::string base = Trimmed(last);
    std::string prefix = "PZ_";
    std::string digits = "0";
    if (!base.empty()) {
        auto split = base.size();
        while (split > 0 && std::isdigit(static_cast<unsigned char>(base[split - 1]))) --split;
        // A run of digits too long to count in stays text and gets its own number.
        if (split == base.size() || base.size() - split > 9) {
            prefix = base + "_";
            digits = "0";
        } else {
            prefix = base.substr(0, split);
            digits = base.substr(split);
        }
    }
    long number = std::stol(digits);
    const std::size_t width = digits.size();
    // Hashed once: pasting many pieces into a job of thousands counts up past many taken ones.
    std::unordered_set<std::string> keys;
    keys.reserve(taken.size());
    for (const std::string& id : taken) keys.insert(PieceIdKey(id));
    // Bounded: every taken identifier can block at most one number.
    for (std::size_t attempt = 0; attempt <= taken.size(); ++attempt) {
        ++number;
        std::string text = std::to_string(number);
        if (text.size() < width) text.insert(0, width - text.size(), '0');
        const std::string candidate = prefix + text;
        if (keys.count(PieceIdKey(candidate)) == 0) return candidate;
    }
    return prefix + std::to_string(number + 1);
}

}  // namespace tavrel
