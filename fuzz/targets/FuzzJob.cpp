// Job files (.TVL): any bytes read in any unit; the cleaned job is written, and the written job
// reads back to the same text.

#include <cstdlib>

#include "FuzzInput.h"
#include "model/Job.h"
#include "model/JobFile.h"
#include "model/ReadReport.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    Job job;
    ReadReport report;
    if (!JobFile::read(in.content, job, in.unit, &report)) return 0;
    JobFile::clean(job);
    const std::string saved = JobFile::write(job, in.unit);
    Job again;
    if (!JobFile::read(saved, again, in.unit)) std::abort();
    if (JobFile::write(again, in.unit) != saved) std::abort();
    return 0;
}
