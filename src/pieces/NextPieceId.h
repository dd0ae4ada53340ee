#pragma once
// The identifier a new piece is offered: the one after the last piece of the list, so that a
// workshop typing PZ_1, PZ_2 ... or A_007, A_008 ... need not type it.

#include <string>
#include <vector>

namespace tavrel {

// The identifier following `last`: its trailing number incremented (zero-padded to its width
// when it starts with 0), or a number appended after "_" when it has none ("PZ_" when `last` is
// empty or longer than 15 characters). The result never exceeds the 16 characters of an
// identifier: the number is cut to the room left, and when no cut number is free the generated
// "PZ_" series is used. Identifiers in `taken` (compared trimmed, without regard to letter case)
// are skipped.
std::string NextFreePieceId(const std::string& last, const std::vector<std::string>& taken);

}  // namespace tavrel
