// Job-list files of the production program (.qjl): the job-list reader on any bytes.

#include "FuzzInput.h"
#include "JobListFile.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    const jobreader::ParsedJobList list = jobreader::ParseJobList(in.content, "ORD-24117.qjl");
    (void)list.job.itemCount();
    (void)jobreader::NameProblem(list.job.name);
    return 0;
}
