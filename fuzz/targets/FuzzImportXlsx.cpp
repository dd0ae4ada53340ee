// The .xlsx reader of the spreadsheet import programs. With bit 4 of the first byte the bytes are
// the whole file, read by name and content as the programs read it; otherwise they are the parts
// of a workbook (the worksheet, the shared strings, the styles, the workbook, its relationships
// and the package's, separated by kPartSeparator lines; a part left off is a valid default),
// zipped in memory, so the XML readers get the fuzzed bytes whole. Then the import's mapping,
// checks and writers on the sheet read.

#include "ImportFuzz.h"

using namespace tavrel;

namespace {

const char* const kDefaultParts[] = {
    // xl/worksheets/sheet1.xml
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
    "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>"
    "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>FL</t></is></c><c r=\"B2\"><v>1000</v></c></row>"
    "</sheetData></worksheet>",
    // xl/sharedStrings.xml
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst "
    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>Series</t></si>"
    "<si><r><t>Wid</t></r><r><t>th</t></r></si></sst>",
    // xl/styles.xml
    "<?xml version=\"1.0\"?><styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\"/></numFmts>"
    "<cellXfs count=\"3\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf "
    "numFmtId=\"164\"/></cellXfs></styleSheet>",
    // xl/workbook.xml
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook "
    "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
    "<sheet name=\"Chart\" sheetId=\"2\" r:id=\"rId2\"/><sheet name=\"Kitchen\" sheetId=\"1\" r:id=\"rId1\"/>"
    "</sheets></workbook>",
    // xl/_rels/workbook.xml.rels
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
    "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "worksheet\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "chartsheet\" Target=\"chartsheets/sheet1.xml\"/>"
    "<Relationship Id=\"rIdS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "sharedStrings\" Target=\"sharedStrings.xml\"/>"
    "<Relationship Id=\"rIdT\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "styles\" Target=\"/xl/styles.xml\"/></Relationships>",
    // _rels/.rels
    "<?xml version=\"1.0\"?><Relationships "
    "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>",
};
const char* const kPartNames[] = {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml",       "xl/styles.xml",
                                  "xl/workbook.xml",          "xl/_rels/workbook.xml.rels", "_rels/.rels"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ImportChoice choice = SplitImportInput(data, size);
    const std::string sheetName = choice.namedSheet ? "kitchen" : "";
    Sheet sheet;
    std::string error;
    bool read = false;
    if (choice.wholeFile) {
        static const std::string path = FuzzScratchPath("order.xlsx");
        WriteScratch(path, choice.content);
        read = ReadSheet(path, sheetName, sheet, error);
    } else {
        const std::vector<std::string> given = SplitParts(choice.content);
        std::vector<std::pair<std::string, std::string>> parts;
        for (std::size_t i = 0; i < 6; ++i)
            parts.emplace_back(kPartNames[i], i < given.size() ? given[i] : std::string(kDefaultParts[i]));
        const std::string bytes = ZipInMemory(parts);
        FuzzCheck(!bytes.empty(), "the workbook is zipped");
        std::vector<std::string> names;
        read = ReadXlsx(bytes, sheetName, sheet, error, &names);
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
