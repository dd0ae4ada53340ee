#include "optimise/PlateSelection.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/TextUtils.h"
#include "model/Job.h"
#include "model/Material.h"

namespace tavrel {

namespace {

struct Candidate {
    std::string sortText;
    long priorityKey;
    int stockIndex;
    int stockPlace;
};

}  // namespace

PlateSelection SelectPlates(const PlateList& stock, const Material& material, const Job& job) {
    PlateSelection result;
    std::vector<Candidate> candidates;
    // The plans name a plate by its place among the material's plates in the catalogue, the
    // order the user keeps them in, counting the ones that cannot be offered too.
    int place = 0;
    // The job's plate size limits as its file holds them, unless changed since.
    const auto widthFile = job.storedLimits.asRead(Job::StoredMaxWidth, job.maxPlateWidth);
    const auto heightFile = job.storedLimits.asRead(Job::StoredMaxHeight, job.maxPlateHeight);
    for (int i = 0; i < stock.count(); ++i) {
        const StockPlate& plate = stock.at(i);
        if (plate.key.serie != material.serie || plate.key.code != material.code) continue;
        if (plate.kind != PlateUnlimited && plate.key.treatment != material.treatment) continue;
        ++place;
        if (!IsUsable(plate)) continue;  // reported when the catalogue was read; never cut from
        long priorityKey = 0;
        if (plate.kind != PlateUnlimited) {
            priorityKey = (plate.kind == PlateOffcut && job.preferOffcuts == 1) ? 999 : plate.priority + 1;
        }
        if (stock.exceedsLimits(i, material, job.maxPlateWidth, job.maxPlateHeight, widthFile, heightFile)) {
            ++result.leftOutByLimits;
            continue;
        }
        const double area = job.preferLargePlates == 1
                                ? std::fabs(100000000000.0 - plate.width * plate.height)
                                : 100000000000.0;
        const long quantity =
            job.preferPlentifulPlates == 1 ? std::labs(1000000000L - plate.quantity) : 1000000000L;
        candidates.push_back(
            {Format("%08ld_%016.3lf_%08ld", priorityKey, area, quantity), priorityKey, i, place});
    }
    // Equal texts keep their catalogue order, as the adjacent-pair passes would leave them.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.sortText < b.sortText; });
    for (int rank = static_cast<int>(candidates.size()) - 1; rank >= 0; --rank) {
        const Candidate& c = candidates[size_t(rank)];
        StockPlate copy = stock.at(c.stockIndex).duplicate();
        copy.selectionRank = c.priorityKey == 999 ? 999 : rank;
        copy.stockPlace = c.stockPlace;
        // Two equal catalogue entries become one candidate, named by the one listed first.
        const int at = result.plates.addOrMerge(std::move(copy), true);
        StockPlate& merged = result.plates.at(at);
        merged.stockPlace = std::min(merged.stockPlace, c.stockPlace);
    }
    return result;
}

}  // namespace tavrel
