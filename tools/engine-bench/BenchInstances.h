#pragma once
// Reading the classic two-dimensional bin packing benchmark files (.2bp: several instances per
// file, each a header of four lines and one line per item, height before width) and the
// reference values that come with them.

#include <map>
#include <string>
#include <vector>

#include "cutting/Instance.h"

struct BenchInstance {
    std::string name;   // "Class_01.2bp_20_1"
    std::string group;  // the file's name; totals are given per group
    engine::Instance instance;
};

struct BenchReference {
    long areaBound = -1;
    long bestNoRotation = -1;
    long bestRotation = -1;
};

// Reads every instance of a .2bp file. Returns false with a reason on a malformed file.
// Every length is multiplied by `scale`, to try the optimiser at workshop magnitudes.
bool Read2bp(const std::string& path, bool rotation, engine::FirstCut firstCut, long scale,
             std::vector<BenchInstance>& out, std::string* error);

// Reads reference.csv (instance name -> values). A missing file gives an empty map.
std::map<std::string, BenchReference> ReadReference(const std::string& path);
