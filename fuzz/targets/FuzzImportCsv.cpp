// The .csv reader of the spreadsheet import programs: any bytes as a user's file, read by its
// name and content as the programs read it, and by the reader alone from memory (the two must
// agree); then the import's mapping, checks and writers on the sheet read.

#include "ImportFuzz.h"

using namespace tavrel;

namespace {

bool SameRows(const Sheet& a, const Sheet& b) {
    if (a.rows.size() != b.rows.size()) return false;
    for (std::size_t r = 0; r < a.rows.size(); ++r)
        if (a.rows[r].number != b.rows[r].number || a.rows[r].cells != b.rows[r].cells) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ImportChoice choice = SplitImportInput(data, size);
    static const std::string path = FuzzScratchPath("order.csv");
    WriteScratch(path, choice.content);
    Sheet sheet;
    std::string error;
    // A .csv file's one sheet answers to its base name.
    const bool read = ReadSheet(path, choice.namedSheet ? "ORDER" : "", sheet, error);
    FuzzCheck(read || !error.empty(), "a refused file says why");

    // Bytes that start as a zip file or an old binary workbook go to other readers.
    const bool csvBytes =
        !LooksLikeZip(choice.content) &&
        !(choice.content.size() >= 8 && static_cast<unsigned char>(choice.content[0]) == 0xD0 &&
          static_cast<unsigned char>(choice.content[1]) == 0xCF);
    if (csvBytes) {
        Sheet direct;
        std::string directError;
        const bool directRead = ReadCsv(choice.content, direct, directError);
        FuzzCheck(read == directRead, "the file and its bytes read alike");
        if (read) FuzzCheck(SameRows(sheet, direct), "the file and its bytes give the same rows");
    }
    if (read) RunImportPipeline(sheet, choice);
    return 0;
}
