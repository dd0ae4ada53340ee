// The message catalogue: any bytes load, and every ID the catalogue holds resolves.

#include "FuzzInput.h"
#include "suite/KLanguage.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput in = SplitFuzzInput(data, size);
    static const std::string path = FuzzScratchPath("Tavrel.msg");
    WriteScratch(path, in.content);
    KLanguage catalogue(path);
    catalogue.LoadStrings();
    (void)catalogue.Message("10001");
    (void)catalogue.Message(in.content.substr(0, 5));
    (void)KLanguage::IsMessageId(in.content.substr(0, 5));
    return 0;
}
