// Writes the two sample workbooks of the demo installation (a kitchen order of pieces and a
// delivery of stock plates) for the first-job walk-through. They are made at build time rather
// than kept as binary files in the repository, so their rows can be read and changed here. The
// materials are those of the demo's Materials.dat.
//
// Usage: MakeSamples <folder>; writes <folder>/pieces.xlsx and <folder>/plates.xlsx.

#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>
#include <zip.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;

const Rows kPieces = {
    {"Piece ID", "Series", "Code", "Treatment", "Qty", "Width (mm)", "Height (mm)", "Customer"},
    {"K1", "FL", "4MM", "", "2", "1000", "500", "Rossi kitchen"},
    {"K2", "FL", "4MM", "SATIN", "4", "716.5", "1250", "Rossi kitchen"},
    {"K3", "FL", "6MM", "", "1", "2400", "600", "Rossi kitchen"},
    {"K4", "FL", "6MM", "SATIN", "3", "450", "450", "Rossi kitchen"},
    {"K5", "LAM", "44-2", "", "2", "900", "2100", "Rossi kitchen"}};

// Orientation 2: first cuts either way, as the demo's own stock plates have it.
const Rows kPlates = {
    {"Series", "Code", "Treatment", "Quantity", "Width", "Height", "Priority", "Orientation"},
    {"FL", "4MM", "", "10", "3210", "2250", "10", "2"},
    {"FL", "6MM", "", "5", "3210", "2250", "10", "2"},
    {"FL", "8MM", "", "2", "3210", "2550", "20", "2"}};

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

std::string SheetXml(const Rows& rows) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string row = std::to_string(r + 1);
        xml += "<row r=\"" + row + "\">";
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const std::string& cell = rows[r][c];
            if (cell.empty()) continue;
            const std::string ref = std::string(1, static_cast<char>('A' + c)) + row;
            if (r > 0 && cell.find_first_not_of("0123456789.") == std::string::npos)
                xml += "<c r=\"" + ref + "\"><v>" + cell + "</v></c>";
            else
                xml += "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + Escaped(cell) + "</t></is></c>";
        }
        xml += "</row>";
    }
    return xml + "</sheetData></worksheet>";
}

bool WriteWorkbook(const std::string& path, const std::string& sheetName, const Rows& rows) {
    const std::vector<std::pair<std::string, std::string>> parts = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/xl/workbook.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
         "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/></"
         "Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
         "Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook "
         "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets><sheet "
         "name=\"" +
             sheetName + "\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
         "Target=\"worksheets/sheet1.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", SheetXml(rows)}};
    // Written beside the target and renamed, so a failed build never leaves half a workbook.
    const std::string temporary = path + ".tmp";
    int error = 0;
    zip_t* archive = zip_open(temporary.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) return false;
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        if (!source || zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE) < 0) {
            if (source) zip_source_free(source);
            zip_discard(archive);
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        std::remove(temporary.c_str());
        return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeSamples <folder>\n");
        return 1;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (const auto& [name, sheet, rows] :
         {std::tuple{"pieces.xlsx", "Kitchen", &kPieces}, std::tuple{"plates.xlsx", "Delivery", &kPlates}}) {
        if (!WriteWorkbook(folder + "/" + name, sheet, *rows)) {
            std::fprintf(stderr, "MakeSamples: cannot write %s/%s\n", folder.c_str(), name);
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
