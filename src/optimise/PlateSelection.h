#pragma once
// Which stock plates an optimisation may use for one material, and in which order.

#include "model/PlateList.h"

namespace tavrel {

struct Job;
struct Material;

struct PlateSelection {
    PlateList plates;          // the usable plates, most preferred first, equal plates merged
    long leftOutByLimits = 0;  // plates too large for the material's or the job's limits
};

PlateSelection SelectPlates(const PlateList& stock, const Material& material, const Job& job);

}  // namespace tavrel
