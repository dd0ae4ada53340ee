#pragma once
// Spreadsheets and import templates made by the tests: .xlsx and .ods files written with libzip
// from XML the test gives, and the two templates as the program writes them.

#include <string>
#include <utility>
#include <vector>
#include <zip.h>

#include "support/TempDir.h"

using ZipParts = std::vector<std::pair<std::string, std::string>>;

// Writes a zip file holding the parts; the first part is stored uncompressed (as .ods wants its
// mimetype).
inline bool WriteZip(const std::string& path, const ZipParts& parts) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) return false;
    bool first = true;
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        if (first) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        first = false;
    }
    return zip_close(archive) == 0;
}

// A workbook of the given sheets (name, sheetData XML), with shared strings and styles parts.
// Style 1 shows a date (built-in format 14), style 2 a custom "dd/mm/yyyy", style 3 a number.
inline ZipParts XlsxParts(const std::vector<std::pair<std::string, std::string>>& sheets,
                          const std::string& sharedStrings) {
    std::string workbook =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>";
    std::string rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    ZipParts parts;
    parts.push_back({"[Content_Types].xml",
                     "<?xml version=\"1.0\"?><Types "
                     "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"});
    parts.push_back(
        {"_rels/.rels",
         "<?xml version=\"1.0\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
         "Target=\"xl/workbook.xml\"/></Relationships>"});
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        workbook += "<sheet name=\"" + sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                "Target=\"worksheets/sheet" +
                n + ".xml\"/>";
        parts.push_back({"xl/worksheets/sheet" + n + ".xml",
                         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
                         "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" +
                             sheets[i].second + "</sheetData></worksheet>"});
    }
    rels +=
        "<Relationship Id=\"rIdS\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
        "Target=\"sharedStrings.xml\"/>"
        "<Relationship Id=\"rIdT\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
        "Target=\"/xl/styles.xml\"/></Relationships>";
    workbook += "</sheets></workbook>";
    parts.push_back({"xl/workbook.xml", workbook});
    parts.push_back({"xl/_rels/workbook.xml.rels", rels});
    parts.push_back({"xl/sharedStrings.xml",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst "
                     "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                         sharedStrings + "</sst>"});
    parts.push_back({"xl/styles.xml",
                     "<?xml version=\"1.0\"?><styleSheet "
                     "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                     "<numFmts count=\"2\"><numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\"/>"
                     "<numFmt numFmtId=\"165\" formatCode=\"0.00&quot;mm&quot;\"/></numFmts>"
                     "<cellXfs count=\"4\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/>"
                     "<xf numFmtId=\"165\"/></cellXfs></styleSheet>"});
    return parts;
}

// Shared strings from plain texts.
inline std::string SharedStrings(const std::vector<std::string>& texts) {
    std::string xml;
    for (const std::string& t : texts) xml += "<si><t xml:space=\"preserve\">" + t + "</t></si>";
    return xml;
}

// A row of inline-string and number cells from texts: a text that reads as a number becomes a
// number cell.
inline std::string XlsxRow(int row, const std::vector<std::string>& cells) {
    std::string xml = "<row r=\"" + std::to_string(row) + "\">";
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (cells[c].empty()) continue;
        const std::string ref = std::string(1, char('A' + c)) + std::to_string(row);
        const bool number = cells[c].find_first_not_of("0123456789.-") == std::string::npos;
        if (number)
            xml += "<c r=\"" + ref + "\"><v>" + cells[c] + "</v></c>";
        else
            xml += "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + cells[c] + "</t></is></c>";
    }
    return xml + "</row>";
}

inline bool WriteXlsx(const std::string& path, const std::vector<std::vector<std::string>>& rows,
                      const std::string& sheetName = "Sheet1") {
    std::string data;
    for (std::size_t r = 0; r < rows.size(); ++r) data += XlsxRow(static_cast<int>(r + 1), rows[r]);
    return WriteZip(path, XlsxParts({{sheetName, data}}, ""));
}

// An .ods file whose content.xml body (inside office:spreadsheet) is given.
inline bool WriteOds(const std::string& path, const std::string& tables) {
    const std::string content =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\">"
        "<office:body><office:spreadsheet>" +
        tables + "</office:spreadsheet></office:body></office:document-content>";
    return WriteZip(path, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                           {"content.xml", content},
                           {"META-INF/manifest.xml", "<?xml version=\"1.0\"?><manifest/>"}});
}

inline std::string OdsText(const std::string& text) {
    return "<table:table-cell office:value-type=\"string\"><text:p>" + text + "</text:p></table:table-cell>";
}
inline std::string OdsNumber(const std::string& value, const std::string& shown) {
    return "<table:table-cell office:value-type=\"float\" office:value=\"" + value + "\"><text:p>" + shown +
           "</text:p></table:table-cell>";
}

// The material lines of a template: serie, code and treatment (none when empty).
using MaterialLines = std::vector<std::vector<std::string>>;

inline std::string ValueLines(const MaterialLines& materials) {
    std::string out;
    for (std::size_t i = 0; i < materials.size(); ++i) {
        out += "V_" + std::to_string(i + 1) + "=T_1";
        for (const std::string& part : materials[i])
            if (!part.empty()) out += "|" + part;
        out += "\n";
    }
    return out;
}

// The pieces template as the program writes it.
inline std::string PiecesTemplate(const std::string& outputFolder, const MaterialLines& materials) {
    return "; TAVREL. DATETIME=08/12/2026 10:00:00\n\n[XNI_GENERAL]\nOUTPUT_FOLDER=" + outputFolder +
           "\nOUTPUT_EXTENSION=TVX\nFORMAT=TAVREL\nTITLE=Tavrel - import pieces from a spreadsheet\n;\n"
           "FILE_VERSION=1\nDATA_SEPARATOR=|\nOUTPUT_DECIMAL_SEPARATOR=.\nOUTPUT_THOUSAND_SEPARATOR=,\n"
           "VALUES_DECIMAL_SEPARATOR=.\nVALUES_THOUSAND_SEPARATOR=,\nCREATE_UNIVOCAL_KEY=YES\nLANGUAGE="
           "English\n\n"
           "[XNI_FIELDS]\nF_1=Piece ID|S16|KEY\nF_2=Qty|N\nF_3=Width|N+3\nF_4=Height|N+3\nF_5=Series|WS7\n"
           "F_6=Code|WS8\nF_7=Treatment|OS\nF_8=SHIDDEN\nF_9=Extra text 1|OS|KEY\nF_10=Extra text 2|OS\n\n"
           "[XNI_OUT_FIELDS_MAP]\nO_1=F_5\nO_2=F_6\nO_3=F_7\nO_4=F_2\nO_5=F_3\nO_6=F_4\nO_7=F_1\nO_8=F_8\n"
           "O_9=F_9\nO_10=F_10\n\n[XNI_TREE_FIELDS]\nT_1=F_5|F_6|F_7\n\n[XNI_VALUES]\n" +
           ValueLines(materials);
}

// The plates template as the program writes it (the title ends in the code page's registered sign).
inline std::string PlatesTemplate(const std::string& outputFolder, const std::string& platesFile,
                                  const MaterialLines& materials) {
    return "; TAVREL. DATETIME=08/12/2026 10:00:00\n\n[XNI_GENERAL]\nOUTPUT_FOLDER=" + outputFolder +
           "\nOUTPUT_EXTENSION=PLX\nFORMAT=TAVREL_plates\nTITLE=Importazione di lastre da EXCEL \xAE\n;\n"
           "FILE_VERSION=1\nDATA_SEPARATOR=|\nOUTPUT_DECIMAL_SEPARATOR=.\nOUTPUT_THOUSAND_SEPARATOR=,\n"
           "VALUES_DECIMAL_SEPARATOR=.\nVALUES_THOUSAND_SEPARATOR=,\nCREATE_UNIVOCAL_KEY=YES\nLANGUAGE="
           "English\n"
           "DEFAULTCRITERIA=|#|#|#|#|#|#|0#|0#|0#\nPLATESORIGINALFILE=" +
           platesFile +
           "\n\n[XNI_FIELDS]\nF_1=Series|WS7\nF_2=Code|WS8\nF_3=Treatment|OS\nF_4=Quantity|N\nF_5=Width|N+3\n"
           "F_6=Height|N+3\nF_7=Priority|N\nF_8=Plate_edge_trim|N+3\n"
           "F_9=Orientation(0/1/2->Vert/Oriz/V+O)|N\nF_10=HIDDEN_0\nF_11=HIDDEN_0.000000\n\n"
           "[XNI_OUT_FIELDS_MAP]\nO_1=F_1\nO_2=F_2\nO_3=F_3\nO_4=F_4\nO_5=F_5\nO_6=F_6\nO_7=F_7\nO_8=F_8\n"
           "O_9=F_9\nO_10=F_10\nO_11=F_11\n\n[XNI_TREE_FIELDS]\nT_1=F_1|F_2|F_3\n\n[XNI_VALUES]\n" +
           ValueLines(materials);
}
