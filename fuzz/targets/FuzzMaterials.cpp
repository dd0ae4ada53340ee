// Materials.dat: any bytes read in any unit; what was read and cleaned is written, and the
// written catalogue reads back to the same text (a save followed by a load changes nothing).

#include <cstdlib>

#include "FuzzInput.h"
#include "materials/MaterialsFile.h"
#include "model/MaterialList.h"
#include "model/ReadReport.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    MaterialList list;
    ReadReport report;
    if (!MaterialsFile::read(in.content, list, in.unit, &report)) return 0;
    MaterialsFile::clean(list);
    const std::string saved = MaterialsFile::write(list, in.unit);
    MaterialList again;
    if (!MaterialsFile::read(saved, again, in.unit)) std::abort();
    if (MaterialsFile::write(again, in.unit) != saved) std::abort();
    return 0;
}
