// Plates.dat: any bytes read in any unit; what was read and cleaned is written, and the written
// stock reads back without losing a plate. Two plates that differ only beyond the decimals the
// file keeps are written alike and merge when read again (their quantities added), so the text
// may change once; from then on a save followed by a load changes nothing.

#include <cstdlib>

#include "FuzzInput.h"
#include "model/PlateList.h"
#include "model/ReadReport.h"
#include "plates/PlatesFile.h"

using namespace tavrel;

namespace {

// Plates in stock, each unlimited supply counted once by itself.
struct StockCount {
    long long plates = 0;
    long long unlimited = 0;
    bool operator==(const StockCount&) const = default;
};

StockCount Count(const PlateList& list) {
    StockCount c;
    for (int i = 0; i < list.count(); ++i) {
        const StockPlate& p = list.at(i);
        if (p.quantity == kUnlimitedQuantity)
            ++c.unlimited;
        else
            c.plates += p.quantity;
    }
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    PlateList list;
    ReadReport report;
    if (!PlatesFile::read(in.content, list, in.unit, &report)) return 0;
    PlatesFile::clean(list);
    const std::string saved = PlatesFile::write(list, in.unit);
    PlateList again;
    if (!PlatesFile::read(saved, again, in.unit)) std::abort();
    const StockCount before = Count(list);
    const StockCount after = Count(again);
    // A merge adds quantities, so no plate is lost; only an unlimited supply may take in the
    // plates equal to it.
    if (after.plates > before.plates || after.unlimited > before.unlimited) std::abort();
    if (before.unlimited == 0 && after.plates != before.plates) std::abort();
    const std::string resaved = PlatesFile::write(again, in.unit);
    PlateList third;
    if (!PlatesFile::read(resaved, third, in.unit)) std::abort();
    if (PlatesFile::write(third, in.unit) != resaved) std::abort();
    return 0;
}
