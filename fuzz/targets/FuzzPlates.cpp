// Plates.dat: any bytes read in any unit; what was read and cleaned is written, and the
// written stock reads back to the same text (a save followed by a load changes nothing).

#include <cstdlib>

#include "FuzzInput.h"
#include "model/PlateList.h"
#include "model/ReadReport.h"
#include "plates/PlatesFile.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    PlateList list;
    ReadReport report;
    if (!PlatesFile::read(in.content, list, in.unit, &report)) return 0;
    PlatesFile::clean(list);
    const std::string saved = PlatesFile::write(list, in.unit);
    PlateList again;
    if (!PlatesFile::read(saved, again, in.unit)) std::abort();
    if (PlatesFile::write(again, in.unit) != saved) std::abort();
    return 0;
}
