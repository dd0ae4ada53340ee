// The report the engine leaves beside its input when it makes no plan: any bytes, and a report
// written again reads back the same.

#include <cstdlib>

#include "FuzzInput.h"
#include "files/EngineStatus.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    EngineReport report;
    if (!ParseEngineReport(in.content, report)) return 0;
    const std::string written = FormatEngineReport(report);
    EngineReport again;
    if (!ParseEngineReport(written, again) || FormatEngineReport(again) != written) std::abort();
    return 0;
}
