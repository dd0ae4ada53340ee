// The .xlsx reader: the workbook's parts found through their relationships (so files from any
// office program read, whatever they call their parts), shared and inline strings, numbers
// with the dates among them recognised by their cell style, formulas by their cached values.
// Names are matched by their local part, so transitional and strict files read alike.

#include <map>
#include <set>

#include <QXmlStreamReader>

#include "Sheet.h"
#include "SheetBuilder.h"
#include "ZipArchive.h"
#include "common/TextUtils.h"

namespace tavrel {

namespace {

using Attributes = QXmlStreamAttributes;

QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

std::string Attribute(const Attributes& attributes, const char* localName) {
    for (const auto& a : attributes)
        if (a.name() == QLatin1String(localName)) return a.value().toString().toStdString();
    return "";
}

std::string XmlError(const QXmlStreamReader& xml, const std::string& part) {
    return "the part " + part + " is not well-formed XML (line " + std::to_string(xml.lineNumber()) + ": " +
           xml.errorString().toStdString() + ")";
}

// "xl/worksheets/../x.xml" style paths of a relationship target resolved against the folder of
// the part that names it.
std::string ResolveTarget(const std::string& baseFolder, const std::string& target) {
    std::string path = !target.empty() && target[0] == '/' ? target.substr(1) : baseFolder + target;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string joined;
    for (const std::string& p : parts) joined += (joined.empty() ? "" : "/") + p;
    return joined;
}

std::string FolderOf(const std::string& part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? "" : part.substr(0, slash + 1);
}

std::string RelsOf(const std::string& part) {
    const std::size_t slash = part.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
    return folder + "_rels/" + name + ".rels";
}

struct Relationship {
    std::string type;  // the last word of the type address: "officeDocument", "worksheet", ...
    std::string target;
};

bool ReadRelationships(const ZipArchive& zip, const std::string& part,
                       std::map<std::string, Relationship>& rels, std::string& error) {
    const std::string relsPart = RelsOf(part);
    if (!zip.has(relsPart)) return true;
    std::string content;
    if (!zip.read(relsPart, content, error, kMaxPartBytes)) return false;
    QXmlStreamReader xml(Bytes(content));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("Relationship"))
            continue;
        std::string type = Attribute(xml.attributes(), "Type");
        const std::size_t slash = type.rfind('/');
        if (slash != std::string::npos) type.erase(0, slash + 1);
        rels[Attribute(xml.attributes(), "Id")] = {
            type, ResolveTarget(FolderOf(part), Attribute(xml.attributes(), "Target"))};
    }
    if (xml.hasError()) {
        error = XmlError(xml, relsPart);
        return false;
    }
    return true;
}

// The text of a string item: its runs' texts, leaving out phonetic guides.
std::string ReadStringItem(QXmlStreamReader& xml) {
    std::string text;
    int phonetic = 0;
    const int depthEnd = 1;
    int depth = depthEnd;
    while (depth > 0 && !xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (xml.name() == QLatin1String("rPh")) ++phonetic;
            if (xml.name() == QLatin1String("t") && !phonetic) {
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements).toStdString();
                --depth;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (xml.name() == QLatin1String("rPh")) --phonetic;
        }
    }
    return text;
}

bool ReadSharedStrings(const ZipArchive& zip, const std::string& part, std::vector<std::string>& strings,
                       std::string& error) {
    std::string content;
    if (!zip.read(part, content, error, kMaxPartBytes)) return false;
    QXmlStreamReader xml(Bytes(content));
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si")) {
            if (static_cast<long>(strings.size()) >= MaxSheetCells()) {
                error = "the workbook holds too many texts";
                return false;
            }
            strings.push_back(ReadStringItem(xml));
        }
    }
    if (xml.hasError()) {
        error = XmlError(xml, part);
        return false;
    }
    return true;
}

// A number format code that shows a date: it holds d, m or y outside quotes, brackets and
// escaped characters (so "0.00" and "[Red]0" are not dates, "dd/mm/yyyy" is).
bool IsDateFormatCode(const std::string& code) {
    bool quoted = false;
    int bracket = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\\' || c == '_' || c == '*') {
            ++i;
            continue;
        }
        if (c == '[') ++bracket;
        if (c == ']' && bracket) --bracket;
        if (bracket) continue;
        if (c == 'd' || c == 'D' || c == 'y' || c == 'Y' || c == 'm' || c == 'M') return true;
    }
    return false;
}

// The cell styles (indices of cellXfs) that show their number as a date.
bool ReadDateStyles(const ZipArchive& zip, const std::string& part, std::set<long>& dateStyles,
                    std::string& error) {
    std::string content;
    if (!zip.read(part, content, error, kMaxPartBytes)) return false;
    std::set<long> dateFormats = {14, 15, 16, 17, 18, 19, 20, 21, 22, 27, 30, 36, 45, 46, 47, 50, 57};
    QXmlStreamReader xml(Bytes(content));
    bool inCellXfs = false;
    long xfIndex = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("numFmt")) {
                const long id = ToLong(Attribute(xml.attributes(), "numFmtId"));
                if (IsDateFormatCode(Attribute(xml.attributes(), "formatCode")))
                    dateFormats.insert(id);
                else
                    dateFormats.erase(id);
            } else if (xml.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == QLatin1String("xf")) {
                if (dateFormats.count(ToLong(Attribute(xml.attributes(), "numFmtId"))))
                    dateStyles.insert(xfIndex);
                ++xfIndex;
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    if (xml.hasError()) {
        error = XmlError(xml, part);
        return false;
    }
    return true;
}

// "AB12" into column 27 and row 12; false for anything else.
bool ParseCellReference(const std::string& ref, long& row, long& column) {
    std::size_t i = 0;
    while (i < ref.size() && ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z'))) ++i;
    const int c = ParseColumnName(ref.substr(0, i));
    if (c < 0 || i == ref.size() || i + 8 < ref.size()) return false;
    long r = 0;
    for (std::size_t k = i; k < ref.size(); ++k) {
        if (ref[k] < '0' || ref[k] > '9') return false;
        r = r * 10 + (ref[k] - '0');
    }
    row = r;
    column = c;
    return true;
}

struct CellValue {
    std::string type;   // t="..."
    long style = 0;     // s="..."
    std::string value;  // <v>
    std::string inlineText;
    bool hasInline = false;
};

std::string CellText(const CellValue& cell, const std::vector<std::string>& shared,
                     const std::set<long>& dateStyles, bool& bad) {
    const std::string& t = cell.type;
    if (t == "s") {
        const std::string v = Trim(cell.value);
        if (v.empty() || v.find_first_not_of("0123456789") != std::string::npos || v.size() > 9 ||
            ToLong(v) >= static_cast<long>(shared.size())) {
            bad = true;
            return "";
        }
        return shared[static_cast<std::size_t>(ToLong(v))];
    }
    if (t == "inlineStr") return cell.hasInline ? cell.inlineText : cell.value;
    if (t == "b") return Trim(cell.value) == "1" ? "TRUE" : Trim(cell.value).empty() ? "" : "FALSE";
    if (t == "str" || t == "e" || t == "d") return cell.value;
    if (cell.hasInline && cell.value.empty()) return cell.inlineText;
    const std::string v = Trim(cell.value);
    if (v.empty()) return "";
    char* end = nullptr;
    const double number = std::strtod(v.c_str(), &end);
    if (!end || *end != '\0') return v;  // not a number after all: keep what the file says
    return dateStyles.count(cell.style) ? SerialDateText(number) : NumberText(number);
}

bool ReadWorksheet(const ZipArchive& zip, const std::string& part, const std::vector<std::string>& shared,
                   const std::set<long>& dateStyles, Sheet& sheet, std::string& error) {
    std::string content;
    if (!zip.read(part, content, error, kMaxPartBytes)) return false;
    QXmlStreamReader xml(Bytes(content));
    SheetBuilder builder;
    long row = 0;
    long column = -1;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("row")) {
            const std::string r = Attribute(xml.attributes(), "r");
            row = r.empty() ? row + 1 : ToLong(r);
            column = -1;
            if (row < 1 || row > kMaxSheetRows) {
                error = "the sheet names a row " + r + " that no sheet can have";
                return false;
            }
            continue;
        }
        if (xml.name() != QLatin1String("c")) continue;
        const Attributes attributes = xml.attributes();
        const std::string ref = Attribute(attributes, "r");
        long cellRow = row;
        long cellColumn = column + 1;
        if (!ref.empty() && !ParseCellReference(ref, cellRow, cellColumn)) {
            error = "the sheet names a cell \"" + ref + "\" that no sheet can have";
            return false;
        }
        if (cellRow < 1) cellRow = row < 1 ? 1 : row;
        column = cellColumn;
        CellValue cell;
        cell.type = Attribute(attributes, "t");
        cell.style = ToLong(Attribute(attributes, "s"));
        // The cell's children up to its end: the value, an inline string, a formula (whose
        // cached value is the <v> beside it).
        int depth = 1;
        while (depth > 0 && !xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (xml.name() == QLatin1String("v")) {
                    cell.value = xml.readElementText(QXmlStreamReader::IncludeChildElements).toStdString();
                } else if (xml.name() == QLatin1String("is")) {
                    cell.inlineText = ReadStringItem(xml);
                    cell.hasInline = true;
                } else {
                    ++depth;
                }
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
            }
        }
        bool bad = false;
        std::string text = CellText(cell, shared, dateStyles, bad);
        if (bad) {
            error = "the cell " + ColumnName(int(cellColumn)) + std::to_string(cellRow) +
                    " points to a shared text the workbook does not hold";
            return false;
        }
        if (!builder.set(cellRow, cellColumn, std::move(text), error)) return false;
    }
    if (xml.hasError()) {
        error = XmlError(xml, part);
        return false;
    }
    builder.finish(sheet);
    return true;
}

}  // namespace

bool ReadXlsx(const std::string& bytes, const std::string& sheetName, Sheet& sheet, std::string& error,
              std::vector<std::string>* names) {
    ZipArchive zip;
    if (!zip.open(bytes, error)) {
        error = "not a readable .xlsx workbook (" + error + ")";
        return false;
    }
    // The workbook part is named by the package's own relationships.
    std::map<std::string, Relationship> packageRels;
    if (!ReadRelationships(zip, "", packageRels, error)) return false;
    std::string workbook = "xl/workbook.xml";
    for (const auto& [id, rel] : packageRels)
        if (rel.type == "officeDocument") workbook = rel.target;
    if (!zip.has(workbook)) {
        error = "not a .xlsx workbook (it holds no workbook part)";
        return false;
    }
    std::map<std::string, Relationship> rels;
    if (!ReadRelationships(zip, workbook, rels, error)) return false;

    std::string content;
    if (!zip.read(workbook, content, error, kMaxPartBytes)) return false;
    struct SheetEntry {
        std::string name;
        std::string part;
    };
    std::vector<SheetEntry> sheets;
    QXmlStreamReader xml(Bytes(content));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("sheet"))
            continue;
        const std::string id = Attribute(xml.attributes(), "id");
        const auto rel = rels.find(id);
        // Chart sheets and dialog sheets have no cells to import.
        if (rel == rels.end() || rel->second.type != "worksheet") continue;
        sheets.push_back({Attribute(xml.attributes(), "name"), rel->second.target});
    }
    if (xml.hasError()) {
        error = XmlError(xml, workbook);
        return false;
    }
    if (names) {
        names->clear();
        for (const SheetEntry& s : sheets) names->push_back(s.name);
    }
    if (sheets.empty()) {
        error = "the workbook holds no worksheet";
        return false;
    }
    const SheetEntry* chosen = &sheets.front();
    if (!sheetName.empty()) {
        chosen = nullptr;
        for (const SheetEntry& s : sheets)
            if (s.name == sheetName) chosen = &s;
        for (const SheetEntry& s : sheets)
            if (!chosen && EqualsNoCase(s.name, sheetName)) chosen = &s;
        if (!chosen) {
            std::string list;
            for (const SheetEntry& s : sheets) list += (list.empty() ? "" : ", ") + s.name;
            error = "the workbook has no sheet \"" + sheetName + "\" (its sheets: " + list + ")";
            return false;
        }
    }

    std::vector<std::string> shared;
    std::set<long> dateStyles;
    for (const auto& [id, rel] : rels) {
        if (rel.type == "sharedStrings" && !ReadSharedStrings(zip, rel.target, shared, error)) return false;
        if (rel.type == "styles" && !ReadDateStyles(zip, rel.target, dateStyles, error)) return false;
    }
    if (!zip.has(chosen->part)) {
        error = "the sheet \"" + chosen->name + "\" is missing from the workbook";
        return false;
    }
    if (!ReadWorksheet(zip, chosen->part, shared, dateStyles, sheet, error)) return false;
    sheet.name = chosen->name;
    return true;
}

}  // namespace tavrel
