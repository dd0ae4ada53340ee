// The .ods reader of the spreadsheet import programs. With bit 4 of the first byte the bytes are
// the whole file, read by name and content as the programs read it; otherwise they are its
// content.xml (and, after a kPartSeparator line, its mimetype), zipped in memory, so the XML
// reader gets the fuzzed bytes whole. Then the import's mapping, checks and writers on the sheet
// read.

#include "ImportFuzz.h"

using namespace tavrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ImportChoice choice = SplitImportInput(data, size);
    const std::string sheetName = choice.namedSheet ? "delivery" : "";
    Sheet sheet;
    std::string error;
    bool read = false;
    if (choice.wholeFile) {
        static const std::string path = FuzzScratchPath("order.ods");
        WriteScratch(path, choice.content);
        read = ReadSheet(path, sheetName, sheet, error);
    } else {
        const std::vector<std::string> given = SplitParts(choice.content);
        const std::string bytes = ZipInMemory(
            {{"mimetype", given.size() > 1 ? given[1] : "application/vnd.oasis.opendocument.spreadsheet"},
             {"content.xml", given[0]},
             {"META-INF/manifest.xml", "<?xml version=\"1.0\"?><manifest/>"}});
        FuzzCheck(!bytes.empty(), "the spreadsheet is zipped");
        std::vector<std::string> names;
        read = ReadOds(bytes, sheetName, sheet, error, &names);
        if (read) {
            bool listed = false;
            for (const std::string& name : names) listed = listed || name == sheet.name;
            FuzzCheck(listed, "the sheet read is among the sheets listed");
        }
    }
    FuzzCheck(read || !error.empty(), "a refused file says why");
    if (read) RunImportPipeline(sheet, choice);
    return 0;
}
