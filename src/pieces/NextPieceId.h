#pragma once
// The identifier a new piece is offered: the one after the last piece of the list, so that a
// workshop typing PZ_1, PZ_2 ... or A_007, A_008 ... need not type it.

#include <string>
#include <vector>

namespace tavrel {

// The identifier following `last` (trailing number incremented with its width kept, or "_1"
// appended when it has none; "PZ_1" when `last` is empty), skipping any already in `taken`
// (compared as piece identifiers are: trimmed, without regard to letter case).
std::string NextFreePieceId(const std::string& last, const std::vector<std::string>& taken);

}  // namespace tavrel
