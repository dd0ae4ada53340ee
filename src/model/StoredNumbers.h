#pragma once
// The numbers of a record as its file held them, beside what reading made of them in the user's
// unit. Reading converts a stored length into the user's unit rounded to the shown decimals, and
// writing converts it back; in inches that round trip moves the value (3210 mm becomes
// 3210.052 mm), so a value the user did not change is written back as it was read instead. A
// value that differs from what reading gave was typed or computed, and is converted.
//
// The stored numbers are bookkeeping, not part of the record's value: two records that differ
// only in them compare equal.

#include <array>
#include <cstddef>
#include <optional>

namespace tavrel {

struct StoredNumber {
    double stored = 0.0;  // in the file's unit, as read
    double shown = 0.0;   // the in-memory value reading gave
    bool held = false;
};

template <std::size_t N>
class StoredNumbers {
public:
    void keep(std::size_t slot, double stored, double shown) {
        if (slot < N) numbers_[slot] = StoredNumber{stored, shown, true};
    }
    void forget(std::size_t slot) {
        if (slot < N) numbers_[slot] = StoredNumber{};
    }
    // What to store for the in-memory value `shown`: the number read when `shown` is still what
    // reading gave, else `converted()`.
    template <typename Convert>
    double storedFor(std::size_t slot, double shown, Convert&& converted) const {
        const std::optional<double> read = asRead(slot, shown);
        return read ? *read : converted();
    }
    // The number read for `slot` while `shown` is still what reading gave; none otherwise.
    std::optional<double> asRead(std::size_t slot, double shown) const {
        if (slot < N && numbers_[slot].held && numbers_[slot].shown == shown) return numbers_[slot].stored;
        return std::nullopt;
    }
    bool holds(std::size_t slot) const { return slot < N && numbers_[slot].held; }

    bool operator==(const StoredNumbers&) const { return true; }

private:
    std::array<StoredNumber, N> numbers_{};
};

}  // namespace tavrel
