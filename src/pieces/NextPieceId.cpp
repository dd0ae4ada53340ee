#include "pieces/NextPieceId.h"

#include <cctype>
#include <cstdint>
#include <unordered_set>

#include "model/Names.h"

namespace tavrel {

namespace {

constexpr std::size_t kMaxPieceId = 16;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::int64_t PowerOfTen(std::size_t exponent) {
    std::int64_t value = 1;
    for (std::size_t i = 0; i < exponent; ++i) value *= 10;
    return value;
}

std::string NumberText(std::int64_t number, std::size_t width) {
    std::string text = std::to_string(number);
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

// Counts up from `start` behind `prefix`, the number text cut to what is left of the 16
// characters. Once the numbers outgrow that room only their leading digits show, so the
// candidates go round the same set of room-digit texts for ever; each is tried once, and when
// all of them are taken the prefix is used up (empty answer).
std::string FirstFree(const std::string& prefix, std::int64_t start, std::size_t width,
                      const std::unordered_set<std::string>& keys, std::size_t limit) {
    if (prefix.size() >= kMaxPieceId) return {};
    const std::size_t room = kMaxPieceId - prefix.size();
    const std::int64_t roomEnd = PowerOfTen(room);  // first number too long for the room
    std::size_t attempts = 0;
    const auto isFree = [&](const std::string& text) {
        ++attempts;
        return keys.count(PieceIdKey(prefix + text)) == 0;
    };
    for (std::int64_t number = start + 1; number < roomEnd && attempts <= limit; ++number) {
        const std::string text = NumberText(number, width);
        if (isFree(text)) return prefix + text;
    }
    // The cut texts run from 10...0 upwards; those above `start` were tried already.
    const std::int64_t cycleEnd = start < roomEnd ? start + 1 : roomEnd;
    for (std::int64_t number = roomEnd / 10; number < cycleEnd && attempts <= limit; ++number) {
        const std::string text = std::to_string(number);
        if (isFree(text)) return prefix + text;
    }
    return {};
}

}  // namespace

std::string NextFreePieceId(const std::string& last, const std::vector<std::string>& taken) {
    const std::string base = Trimmed(last);
    std::string prefix = "PZ_";
    std::int64_t start = 0;
    std::size_t width = 0;
    auto split = base.size();
    while (split > 0 && std::isdigit(static_cast<unsigned char>(base[split - 1]))) --split;
    if (split < base.size() && base.size() <= kMaxPieceId) {
        prefix = base.substr(0, split);
        const std::string digits = base.substr(split);
        start = std::stoll(digits);  // at most 16 digits
        if (digits[0] == '0') width = digits.size();
    } else if (!base.empty() && base.size() < kMaxPieceId) {
        prefix = base;
        if (base.size() < kMaxPieceId - 1 && base.back() != '_') prefix += '_';
    }
    // Hashed once: pasting many pieces into a job of thousands counts up past many taken ones.
    std::unordered_set<std::string> keys;
    keys.reserve(taken.size());
    for (const std::string& id : taken) keys.insert(PieceIdKey(id));
    // Every taken identifier blocks at most one candidate, so taken.size() + 1 tries suffice.
    std::string id = FirstFree(prefix, start, width, keys, taken.size());
    // A prefix whose short number room is all taken would leave the piece without a free
    // identifier; the generated series always has room.
    if (id.empty()) id = FirstFree("PZ_", 0, 0, keys, taken.size());
    return id;
}

}  // namespace tavrel
